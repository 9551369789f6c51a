#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The base of the window's modal panels: a mantle card with a base-coloured header band that
// carries the panel's title, framed in overlay2. Message thread only.
class PanelComponent : public juce::Component
{
public:
    PanelComponent() = default;

    // Stores the title the header shows (hides the framework's accessibility title setter).
    void setTitle (const juce::String& newTitle);

    void paint (juce::Graphics&) override;

    juce::String title;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PanelComponent)
};
