#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The stacked Bass, Body and Shimmer tabs: the tab that is on carries its layer colour (set by
// the code that builds it under `accentColourId`) as its outline and as a bar inside its left edge.
class RoleTabLookAndFeel : public juce::LookAndFeel_V4
{
public:
    static constexpr int accentColourId = 0x2001101;

    RoleTabLookAndFeel();

    void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour& backgroundColour,
                               bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
};
