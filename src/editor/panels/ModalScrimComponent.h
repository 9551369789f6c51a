#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The layer between the canvas and a visible panel: it swallows every click that reaches it
// and, while dimmed, darkens the window behind. Message thread only.
class ModalScrimComponent : public juce::Component
{
public:
    ModalScrimComponent();

    void paint (juce::Graphics&) override;

    bool dimmed = true;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModalScrimComponent)
};
