#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <cstdlib>

// Sampled-colour checks for window tests: components are rendered headless over a known
// background and single pixels are compared with the colour the drawing rules give.
namespace PixelTest
{
// What a fill of `colour` (with its alpha) over an opaque `background` gives.
inline juce::Colour over (juce::Colour background, juce::Colour colour)
{
    return background.overlaidWith (colour);
}

inline ::testing::AssertionResult near (juce::Colour actual, juce::Colour expected, int tolerance = 3)
{
    const int difference = std::abs (actual.getRed() - expected.getRed())
                         + std::abs (actual.getGreen() - expected.getGreen())
                         + std::abs (actual.getBlue() - expected.getBlue());
    if (difference <= tolerance * 3)
        return ::testing::AssertionSuccess();

    return ::testing::AssertionFailure() << "pixel " << actual.toDisplayString (false)
                                         << " differs from " << expected.toDisplayString (false);
}

// A parent that paints one colour and holds the component under test at its own bounds.
class Backdrop : public juce::Component
{
public:
    Backdrop (juce::Component& child, juce::Colour fill) : background (fill)
    {
        setBounds (0, 0, child.getRight(), child.getBottom());
        addAndMakeVisible (child);
        setVisible (true);
    }

    ~Backdrop() override { removeAllChildren(); }

    void paint (juce::Graphics& g) override { g.fillAll (background); }

    juce::Image render() { return createComponentSnapshot (getLocalBounds(), true, 1.0f); }

private:
    juce::Colour background;
};
} // namespace PixelTest
