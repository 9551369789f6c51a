// The window on a display: a right press on a chord of the piano roll opens the real chord menu
// inside the window, and the answer, which arrives later, acts on the chord pressed.
#include "chord_editor/ChordDraftFixture.h"
#include "editor/views/ViewTestSupport.h"
#include "support/ComponentSnapshot.h"
#include "support/MessagePump.h"

namespace
{
using corvessa::test::pumpMessagesFor;
using corvessa::test::pumpMessagesUntil;

// Opens the chord menu with a right press at the middle of the second of three equal chords,
// pictures the window with it, and picks the item `downs` steps down with the keyboard.
void pickFromChordMenu (CorvessaEditor& window, PianoRollComponent& roll, int downs, const juce::String& picture)
{
    viewtest::press (roll, { (float) roll.getWidth() / 2.0f, 50.0f }, viewtest::rightButton);
    ASSERT_TRUE (pumpMessagesUntil ([] { return juce::Component::getCurrentlyModalComponent() != nullptr; }));
    auto* menu = juce::Component::getCurrentlyModalComponent();
    EXPECT_TRUE (window.getScreenBounds().contains (menu->getScreenBounds())) << menu->getScreenBounds().toString();
    pumpMessagesFor (100);
    corvessa::test::writeSnapshot (window, picture);

    for (int i = 0; i < downs; ++i)
        menu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));
    menu->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
    pumpMessagesUntil ([] { return juce::Component::getCurrentlyModalComponent() == nullptr; });
    pumpMessagesFor (50);
}
} // namespace

using ChordDraftDisplayTest = ChordDraftTest;

TEST_F (ChordDraftDisplayTest, ARightPressOnAChordOpensTheRealChordMenuAndItsAnswerActsOnThatChord)
{
    useSong ("C Am F");
    editor->addToDesktop (juce::ComponentPeer::windowIsTemporary);
    editor->setVisible (true);
    pumpMessagesFor (200);
    editor->grabKeyboardFocus();
    pumpMessagesFor (200);
    probe->tick();

    // Without a draft: "Edit chord", "Edit progression".
    pickFromChordMenu (*editor, draft->roll(), 1, "chord-menu-without-draft");
    ASSERT_TRUE (draft->panel().isVisible());
    EXPECT_EQ (draft->panel().chordIndex, 1);
    EXPECT_EQ (draft->panel().buildChordText(), "Am");

    // With the draft: "Add chord before", "Add chord after", "Edit chord", "Delete chord".
    pickFromChordMenu (*editor, draft->roll(), 4, "chord-menu-with-draft");
    EXPECT_EQ (draft->draftText(), "C F");

    juce::PopupMenu::dismissAllActiveMenus();
    pumpMessagesFor (100);
    editor->removeFromDesktop();
}
