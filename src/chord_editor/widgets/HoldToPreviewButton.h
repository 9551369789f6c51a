#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// A card button that reports the start and the end of a press-and-hold, so that the chord is
// heard for exactly as long as the button is held. A hold also ends when the button is
// disabled while held (a chord turned into a rest cannot sound), and its owner may end it.
// Message thread only.
class HoldToPreviewButton : public juce::TextButton
{
public:
    HoldToPreviewButton() = default;

    std::function<void()> onHoldStart;
    std::function<void()> onHoldEnd;
    bool holding = false;

    // Ends a running hold: clears it, reports its end and repaints. Nothing without a hold.
    void endHold();

    void mouseDown (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void enablementChanged() override;
    void paintButton (juce::Graphics&, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HoldToPreviewButton)
};
