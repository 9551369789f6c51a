// Without a font and fontconfig's configuration JUCE draws no text at all, and every snapshot
// of a window would still look plausible: this test fails instead.
#include "support/ComponentSnapshot.h"

#include <gtest/gtest.h>

TEST (HeadlessRendering, DrawsTextWithoutADisplay)
{
    juce::ScopedJuceInitialiser_GUI gui;
    juce::Label label ({}, "Corvessa");
    label.setColour (juce::Label::textColourId, juce::Colours::white);
    label.setColour (juce::Label::backgroundColourId, juce::Colours::black);
    label.setFont (juce::Font (24.0f));
    label.setBounds (0, 0, 200, 40);

    for (const float scale : { 1.0f, 2.0f })
    {
        const auto image = corvessa::test::renderComponent (label, scale);
        EXPECT_EQ (image.getWidth(), (int) (200 * scale));
        EXPECT_TRUE (corvessa::test::hasInk (image, image.getBounds(), juce::Colours::black)) << scale;
    }
}
