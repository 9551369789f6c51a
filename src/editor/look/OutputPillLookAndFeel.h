#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The output pills and the chip toggles (legato, Shimmer style): an "on" pill is outlined in its
// own accent, which the code that builds the button sets under `accentColourId`.
class OutputPillLookAndFeel : public juce::LookAndFeel_V4
{
public:
    static constexpr int accentColourId = 0x2001102;

    OutputPillLookAndFeel();

    void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour& backgroundColour,
                               bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
};
