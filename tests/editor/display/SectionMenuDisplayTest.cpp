// The section menu and the rename panel on a real display: a right press on a section opens
// the menu inside the window at the press, and its items rename (with the name field focused
// and its text selected), copy or delete that section.
#include "../EditorFixture.h"

#include "editor/views/ViewTestSupport.h"

namespace
{
juce::Component* currentMenu() { return juce::Component::getCurrentlyModalComponent(); }
} // namespace

class SectionMenuOnScreenTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        processor->setSections (song ({ { "A", "C G" }, { "B - Verse", "Am F" }, { "C", "Dm G" } }), true);
        probe->selectSection (0);
        probe->tick();

        showOnDesktop();
    }

    void TearDown() override
    {
        editor->removeFromDesktop();
        EditorTest::TearDown();
    }

    // Right-presses section `index`'s button; returns the menu that opens and where the press was.
    std::pair<juce::Component*, juce::Point<int>> openMenuOn (int index)
    {
        auto& row = probe->sectionRow();
        const auto centre = row.getSectionButtonBounds (row.computeLayout(), index).getCentre();
        viewtest::press (row, centre, viewtest::rightButton);
        pumpUntil ([] { return currentMenu() != nullptr; }, 5000);
        return { currentMenu(), row.localPointToGlobal (centre).roundToInt() };
    }

    void choose (juce::Component& menu, int item)
    {
        for (int i = 0; i < item; ++i)
            menu.keyPressed (juce::KeyPress (juce::KeyPress::downKey));
        menu.keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
        pumpUntil ([] { return currentMenu() == nullptr; }, 5000);
        pumpUntil ([] { return false; }, 100);
    }
};

TEST_F (SectionMenuOnScreenTest, RenameOpensTheFieldFocusedAndSelectedAndTakesTheTypedName)
{
    const auto [menu, press] = openMenuOn (1);
    ASSERT_NE (menu, nullptr);
    const auto menuOnScreen = menu->getScreenBounds();
    EXPECT_TRUE (editor->getScreenBounds().contains (menuOnScreen)) << menuOnScreen.toString();
    EXPECT_TRUE (menuOnScreen.getY() >= press.y || menuOnScreen.getBottom() <= press.y) << menuOnScreen.toString();
    EXPECT_LT (std::abs (menuOnScreen.getX() - press.x), 60) << menuOnScreen.toString() << " / " << press.toString();
    EXPECT_EQ (processor->getSelectedSectionViewIndex(), 0) << "a right press does not select";

    choose (*menu, 1);

    auto& dialog = probe->renameDialog();
    ASSERT_TRUE (dialog.isVisible());
    // The focus may come only once the menu's window is gone.
    EXPECT_TRUE (pumpUntil ([&dialog] { return dialog.nameEditor.hasKeyboardFocus (false); }, 2000));
    EXPECT_EQ (dialog.nameEditor.getHighlightedRegion(), juce::Range<int> (0, 9));

    // Typing replaces the selected name; Return submits.
    for (const auto c : juce::String ("Bridge"))
        dialog.nameEditor.keyPressed (juce::KeyPress (c, {}, c));
    dialog.nameEditor.keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
    ASSERT_TRUE (pumpUntil ([&dialog] { return ! dialog.isVisible(); }, 5000));

    EXPECT_EQ (processor->getSections()[1].name, "Bridge");
    EXPECT_EQ (probe->status().getText(), "Status: Section renamed");
}

// A menu's window holds the focus until it is gone, so the rename panel may open while the
// window is still without it; the name field must then take the focus when the window gets it back.
TEST_F (SectionMenuOnScreenTest, TheRenameFieldTakesTheFocusTheWindowGetsBackAfterTheMenu)
{
    auto* peer = editor->getPeer();
    ASSERT_NE (peer, nullptr);
    peer->handleFocusLoss();

    probe->chooseFromSectionMenu (1, 1);
    auto& dialog = probe->renameDialog();
    ASSERT_TRUE (dialog.isVisible());

    peer->handleFocusGain();
    EXPECT_TRUE (dialog.nameEditor.hasKeyboardFocus (false));
    EXPECT_EQ (dialog.nameEditor.getHighlightedRegion(), juce::Range<int> (0, 9));
}

TEST_F (SectionMenuOnScreenTest, CopyAndDeleteActOnThePressedSection)
{
    {
        const auto [menu, press] = openMenuOn (2);
        ASSERT_NE (menu, nullptr);
        choose (*menu, 2);
        ASSERT_EQ (processor->getSections().size(), 4u);
        EXPECT_EQ (processor->getSections()[3], processor->getSections()[2]);
        EXPECT_EQ (probe->status().getText(), "Status: Section copied to C");
    }

    {
        const auto [menu, press] = openMenuOn (1);
        ASSERT_NE (menu, nullptr);
        choose (*menu, 3);
        auto& confirmation = probe->confirmation();
        ASSERT_TRUE (confirmation.isVisible());
        confirmation.confirmButton.triggerClick();
        ASSERT_TRUE (pumpUntil ([&confirmation] { return ! confirmation.isVisible(); }, 5000));

        std::vector<juce::String> names;
        for (const auto& section : processor->getSections())
            names.push_back (section.name);
        EXPECT_EQ (names, (std::vector<juce::String> { "A", "C", "C" }));
        EXPECT_EQ (probe->status().getText(), "Status: Section deleted");
    }
}
