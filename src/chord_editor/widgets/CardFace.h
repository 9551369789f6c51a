#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The face the chord editor's card buttons (preview, suggestions) are drawn on: the button
// half a pixel inside its bounds, and the accent ring that marks keyboard focus inside it.
namespace CardFace
{
inline juce::Rectangle<float> bounds (const juce::Component& component)
{
    return { 0.5f, 0.5f,
             (float) juce::jmax (component.getWidth() - 1, 0),
             (float) juce::jmax (component.getHeight() - 1, 0) };
}

void drawFocusOutline (juce::Graphics& g, const juce::Component& component);
} // namespace CardFace
