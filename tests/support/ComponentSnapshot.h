#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvessa::test
{

// Renders a component (and its children) into an image at the given scale, without a display.
juce::Image renderComponent (juce::Component& component, float scale = 1.0f);

// Renders a component and writes it as <build>/screenshots/<name>.png, so that a person can
// look at what the tests saw. Returns the image for the test's own checks.
juce::Image writeSnapshot (juce::Component& component, const juce::String& name, float scale = 1.0f);

// The folder the snapshots go to (created on first use).
juce::File getScreenshotFolder();

// True when the area holds at least `minimum` pixels that differ clearly from `background`:
// the check that text or shapes were drawn at all (without fonts JUCE draws no text).
bool hasInk (const juce::Image& image, juce::Rectangle<int> area, juce::Colour background, int minimum = 8);

} // namespace corvessa::test
