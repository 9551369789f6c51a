#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The hint line of the status row. It lies over the status text and covers it only while it
// holds a hint: an empty hint paints nothing and lets clicks through to the status text (whose
// update link must stay reachable). Message thread only.
class StatusHintLabel : public juce::Label
{
public:
    void paint (juce::Graphics& g) override;
    bool hitTest (int x, int y) override;
};
