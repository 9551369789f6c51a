// The project overlays on a real window: keyboard focus and where keys go, the pointer over
// the paste button (moved by xdotool), and the system clipboard filled by another program (xclip).
#include "projects/ChordJsonOverlay.h"
#include "projects/ProjectLibraryOverlay.h"

#include "support/MessagePump.h"
#include "support/OtherProgram.h"

#include <gtest/gtest.h>

namespace
{
    using corvessa::test::pumpMessagesFor;
    using corvessa::test::pumpMessagesUntil;

    // Runs a tool of the X server's session and waits for it.
    bool runTool (const juce::StringArray& command) { return corvessa::test::runOtherProgram (command) == 0; }

    // A key as the window's peer receives it from the system: it goes to the component that
    // has the keyboard focus and travels up through its parents until one takes it.
    void pressKey (juce::Component& window, int keyCode)
    {
        window.getPeer()->handleKeyPress (juce::KeyPress (keyCode));
        pumpMessagesFor (50);
    }

    // A window of the editor's size holding one overlay, on the desktop with the focus.
    struct Window : juce::Component
    {
        explicit Window (juce::Component& overlay)
        {
            setSize (600, 860);
            addChildComponent (overlay);
            setWantsKeyboardFocus (true);
            addToDesktop (juce::ComponentPeer::windowIsTemporary);
            setTopLeftPosition (0, 0);
            setVisible (true);
            pumpMessagesFor (200);
            toFront (true);
            grabKeyboardFocus();

            // The system's focus event arrives later and gives the focus to the window itself,
            // whatever child held it by then: wait for it before a test moves the focus.
            EXPECT_TRUE (pumpMessagesUntil ([this] { return getPeer()->isFocused(); }, 3000));
            pumpMessagesFor (200);
        }

        ~Window() override { removeFromDesktop(); }
    };

    std::vector<ProjectLibraryOverlay::Entry> entries()
    {
        return { { juce::File ("/library/One.json"), "One", "first" }, { juce::File ("/library/Two.json"), "Two", "" } };
    }
} // namespace

TEST (ProjectOverlaysDisplay, LibraryKeysReachTheQuestionAfterDelete)
{
    juce::ScopedJuceInitialiser_GUI gui;
    ProjectLibraryOverlay overlay;
    Window window (overlay);

    juce::Array<juce::File> deleted;
    juce::StringArray saved;
    overlay.onDelete = [&] (const juce::File& f) { deleted.add (f); };
    overlay.onSave = [&] (const juce::String& name, const juce::String&) { saved.add (name); };

    // Showing the overlay puts the focus into the name field, where Return saves.
    overlay.setEntries (entries());
    ASSERT_TRUE (overlay.getNameEditor().hasKeyboardFocus (false));
    overlay.getNameEditor().setText ("Live Set", false);
    pressKey (window, juce::KeyPress::returnKey);
    EXPECT_EQ (saved, juce::StringArray ("Live Set"));

    // Delete, then Escape: the question goes, the file stays.
    overlay.selectRow (0);
    overlay.getDeleteButton().triggerClick();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return overlay.isConfirming() && overlay.hasKeyboardFocus (false); }, 3000));
    pressKey (window, juce::KeyPress::escapeKey);
    EXPECT_FALSE (overlay.isConfirming());
    EXPECT_TRUE (overlay.isVisible());
    EXPECT_TRUE (deleted.isEmpty());

    // Delete, then Return: reported once.
    overlay.getDeleteButton().triggerClick();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return overlay.isConfirming() && overlay.hasKeyboardFocus (false); }, 3000));
    pressKey (window, juce::KeyPress::returnKey);
    pressKey (window, juce::KeyPress::returnKey);
    ASSERT_EQ (deleted.size(), 1);
    EXPECT_EQ (deleted[0], juce::File ("/library/One.json"));

    // Escape in the description field closes the overlay.
    overlay.getDescriptionEditor().grabKeyboardFocus();
    ASSERT_TRUE (overlay.getDescriptionEditor().hasKeyboardFocus (false));
    pressKey (window, juce::KeyPress::escapeKey);
    EXPECT_FALSE (overlay.isVisible());
}

TEST (ProjectOverlaysDisplay, ChordJsonPastesFromTheSystemClipboardAndShowsTheHint)
{
    juce::ScopedJuceInitialiser_GUI gui;
    ChordJsonOverlay overlay;
    overlay.setBounds (0, 0, 600, 860);
    overlay.setVisible (true);
    Window window (overlay);

    // Another program owns the clipboard.
    const auto json = juce::String ("[{\"name\": \"Verse\", \"progression\": \"C G Am F\"}]");
    const auto file = juce::File::createTempFile ("json");
    ASSERT_TRUE (file.replaceWithText (json));
    ASSERT_TRUE (runTool ({ "xclip", "-selection", "clipboard", "-i", file.getFullPathName() }));
    pumpMessagesFor (100);

    overlay.getPasteButton().triggerClick();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return overlay.getJsonEditor().getText() == json; }, 3000));
    EXPECT_TRUE (overlay.getMessageLabel().getText().isEmpty());

    // The hint shows while the pointer is over the paste button (a click's flash counts too).
    EXPECT_TRUE (pumpMessagesUntil ([&] { return ! overlay.getPasteHintLabel().isVisible(); }, 3000));
    const auto centre = overlay.getPasteButton().getScreenBounds().getCentre();
    ASSERT_TRUE (runTool ({ "xdotool", "mousemove", juce::String (centre.x), juce::String (centre.y) }));
    EXPECT_TRUE (pumpMessagesUntil ([&] { return overlay.getPasteHintLabel().isVisible(); }, 3000));
    ASSERT_TRUE (runTool ({ "xdotool", "mousemove", "5", "5" }));
    EXPECT_TRUE (pumpMessagesUntil ([&] { return ! overlay.getPasteHintLabel().isVisible(); }, 3000));

    // Escape typed into the JSON field closes the overlay.
    int closes = 0;
    overlay.onClose = [&] { ++closes; };
    overlay.getJsonEditor().grabKeyboardFocus();
    pumpMessagesFor (100);
    pressKey (window, juce::KeyPress::escapeKey);
    EXPECT_EQ (closes, 1);
    EXPECT_FALSE (overlay.isVisible());

    file.deleteFile();
}
