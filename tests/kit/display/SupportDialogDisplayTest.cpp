// The support form on a real display: opening it puts the cursor in the e-mail field, and a
// validation message moves the focus to the field that needs fixing.
#include "kit/dialogs/SupportDialog.h"

#include "kit/KitTestSupport.h"

#include <gtest/gtest.h>

TEST (SupportDialogDisplay, FocusGoesToTheFieldThatNeedsAttention)
{
    juce::ScopedJuceInitialiser_GUI gui;

    velmar::SupportDialog dialog ({ "corvessa", "Corvessa", "1.3.4", "vst3", "Include current project JSON",
                                    "http://127.0.0.1:9/api/plugin-support" });
    dialog.setBounds (20, 20, 600, 860);
    dialog.addToDesktop (juce::ComponentPeer::windowIsTemporary);
    dialog.setVisible (true);   // the plug-in window is on the screen before the form opens
    kittest::pumpMessagesFor (200);
    dialog.grabKeyboardFocus();
    ASSERT_TRUE (kittest::pumpMessagesUntil ([&] { return dialog.hasKeyboardFocus (true); }, 5000));

    dialog.open ("not an address");
    ASSERT_TRUE (dialog.isShowing());
    EXPECT_TRUE (dialog.getEmailField().hasKeyboardFocus (false));

    dialog.getMessageField().grabKeyboardFocus();
    ASSERT_TRUE (kittest::pumpMessagesUntil ([&] { return dialog.getMessageField().hasKeyboardFocus (false); }, 2000));
    dialog.getMessageField().setText ("The chords stop after bar four.", false);
    dialog.sendRequest();
    EXPECT_EQ (dialog.getStatusText(), "Enter a valid reply email.");
    EXPECT_TRUE (dialog.getEmailField().hasKeyboardFocus (false));

    dialog.getEmailField().setText ("user@example.com", false);
    dialog.getMessageField().setText ("short", false);
    dialog.sendRequest();
    EXPECT_EQ (dialog.getStatusText(), "Describe the issue in at least 10 characters.");
    EXPECT_TRUE (dialog.getMessageField().hasKeyboardFocus (false));

    dialog.removeFromDesktop();
}
