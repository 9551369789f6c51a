#pragma once

#include "editor/panels/PanelComponent.h"

#include <functional>

// A yes/no question over the scrim. The caller sets the title, the message, the confirm
// button's text and the action, then shows the dialog; either button hides it, the action runs
// only on Confirm, and `onClosed` always runs last. Message thread only.
class ConfirmationDialog : public PanelComponent,
                           private juce::Button::Listener
{
public:
    ConfirmationDialog();
    ~ConfirmationDialog() override;

    std::function<void()> onClosed;
    juce::String message;
    std::function<void()> onConfirm;
    juce::TextButton confirmButton;

    juce::TextButton& getCancelButton() noexcept { return cancelButton; }

    void paint (juce::Graphics&) override;
    void resized() override;
    void buttonClicked (juce::Button*) override;

private:
    juce::TextButton cancelButton { "Cancel" };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ConfirmationDialog)
};
