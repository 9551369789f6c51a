#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The shape every button of the window is drawn in: a rounded rectangle half a pixel inside the
// button, whose corners stay square where the button joins a neighbour, so that joined buttons
// (the stacked role tabs, the pill row, the sync segments) read as one control.
namespace ButtonShape
{
constexpr float cornerSize = 6.0f;

juce::Path make (const juce::Button& button);

juce::Path make (juce::Rectangle<float> bounds, bool connectedLeft, bool connectedRight,
                 bool connectedTop, bool connectedBottom);

// Strokes the lavender ring of a button that holds the keyboard focus and is enabled.
void drawFocusRing (juce::Graphics& g, const juce::Button& button, const juce::Path& shape);
} // namespace ButtonShape
