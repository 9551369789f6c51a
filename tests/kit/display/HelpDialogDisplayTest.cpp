// "Copy ID" on a real display: the instance id reaches the system clipboard, the button reads
// "Copied" for 1200 ms, and a dialog closed meanwhile leaves nothing behind.
#include "kit/dialogs/HelpDialog.h"

#include "kit/KitTestSupport.h"

#include <gtest/gtest.h>

namespace
{
std::unique_ptr<velmar::HelpDialog> dialogOnDesktop (const juce::String& instanceId)
{
    velmar::HelpDialog::Info info;
    info.productName = "Corvessa";
    info.version = "1.3.4";
    info.mcpDescription = "An AI client can read and edit the arrangement.";

    auto dialog = std::make_unique<velmar::HelpDialog> (info);
    dialog->setBounds (20, 20, 600, 860);
    dialog->getContent().instanceId = instanceId;
    dialog->resized();
    dialog->addToDesktop (juce::ComponentPeer::windowIsTemporary);
    dialog->setVisible (true);
    kittest::pumpMessagesFor (200);
    return dialog;
}
} // namespace

TEST (HelpDialogDisplay, CopyIdPutsTheIdOnTheClipboardAndReadsCopiedForAWhile)
{
    juce::ScopedJuceInitialiser_GUI gui;
    const juce::String id ("2b0c4f3e-7d3a-4c55-9a51-0f1e2d3c4b5a");
    auto dialog = dialogOnDesktop (id);
    auto& button = dialog->getContent().copyIdButton;

    juce::SystemClipboard::copyTextToClipboard ("before");
    const auto firstPress = juce::Time::getMillisecondCounter();
    button.triggerClick();
    ASSERT_TRUE (kittest::pumpMessagesUntil ([&] { return button.getButtonText() == "Copied"; }, 2000));
    EXPECT_EQ (juce::SystemClipboard::getTextFromClipboard(), id);

    // A second press while "Copied" shows schedules a reset of its own; the first one still
    // brings the text back, never sooner than 1200 ms after the first press.
    kittest::pumpMessagesFor (300);
    button.triggerClick();
    ASSERT_TRUE (kittest::pumpMessagesUntil ([&] { return button.getButtonText() == "Copy ID"; }, 10000));
    EXPECT_GE (juce::Time::getMillisecondCounter() - firstPress, 1200u);

    // Closing the dialog while a reset is pending: the late reset finds nothing to touch.
    button.triggerClick();
    ASSERT_TRUE (kittest::pumpMessagesUntil ([&] { return button.getButtonText() == "Copied"; }, 2000));
    dialog.reset();
    kittest::pumpMessagesFor (1500);
}
