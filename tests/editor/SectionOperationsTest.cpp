// The window's section operations: add, copy, rename, delete, the section menu and the
// section labels, as the processor's sections and the status line show them; the reorder by
// drag through the window; and what a follower's window refuses.
#include "EditorFixture.h"

#include "editor/look/Palette.h"
#include "editor/views/ViewTestSupport.h"
#include "support/ComponentSnapshot.h"

namespace
{
const juce::KeyPress undoKey ('z', juce::ModifierKeys::commandModifier, 0);

std::vector<juce::String> namesOf (const SectionList& sections)
{
    std::vector<juce::String> names;
    for (const auto& section : sections)
        names.push_back (section.name);
    return names;
}

juce::Colour colourOf (juce::Label& label) { return label.findColour (juce::Label::textColourId); }

// A song of `count` sections named "A", "B", ... with distinct progressions.
SectionList lettered (int count)
{
    SectionList list;
    for (int i = 0; i < count; ++i)
    {
        list.emplace_back();
        list.back().name = i < 26 ? juce::String::charToString ((juce::juce_wchar) ('A' + i)) : juce::String (i + 1);
        list.back().progression = "C:" + juce::String (i + 1) + " G";
    }
    return list;
}
} // namespace

class SectionOperationsTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        probe->tick();   // the first tick loads the controls
    }

    void useSong (const SectionList& sections, int selected)
    {
        processor->setSections (sections, true);
        probe->selectSection (selected);
    }

    // One recorded step, so that a test can see whether an operation keeps or clears the history.
    void recordAStep()
    {
        processor->setProgression ("Em A");
        probe->storeControls();
        probe->commitHistory();
        ASSERT_EQ (probe->history().getUndoStack().size(), 1u);
    }
};

TEST_F (SectionOperationsTest, AddingAppendsAnEmptySectionWithTheFirstFreeNameAndSelectsIt)
{
    struct Case { std::vector<const char*> names; const char* added; };
    const Case cases[] = {
        { { "A", "B" }, "C" },
        { { "A", "C" }, "B" },
        { { "a - Intro", "Verse" }, "B" },
    };

    for (const auto& c : cases)
    {
        SectionList sections;
        for (auto* name : c.names)
            sections.push_back (song ({ { name, "C G" } }).front());
        useSong (sections, 0);
        processor->setBodyVoicing (6);   // working settings of the section left behind
        recordAStep();

        probe->addSection();

        const auto after = processor->getSections();
        ASSERT_EQ (after.size(), c.names.size() + 1) << c.added;
        SectionMode::SectionData expected;
        expected.name = c.added;
        EXPECT_EQ (after.back(), expected) << c.added;
        EXPECT_EQ (processor->getSelectedSectionViewIndex(), (int) c.names.size()) << c.added;
        EXPECT_EQ (processor->getWorkingSection().bodyVoicing, "Smooth") << c.added;
        EXPECT_EQ (probe->sectionRow().sections, after) << c.added;
        EXPECT_EQ (probe->sectionRow().selectedIndex, (int) c.names.size()) << c.added;
        EXPECT_EQ (probe->status().getText(), juce::String ("Status: Empty section ") + c.added + " added");
        EXPECT_EQ (colourOf (probe->status()), Palette::green);
        EXPECT_TRUE (probe->history().getUndoStack().empty()) << "adding starts a new history";
    }
}

TEST_F (SectionOperationsTest, CopyAppendsAnExactCopyOfTheStoredControlsAndSelectsIt)
{
    useSong (song ({ { "A", "C G" }, { "B", "Am F" } }), 1);
    processor->setBodyVoicing (6);   // not yet stored into B
    recordAStep();

    probe->copySection (1);

    const auto after = processor->getSections();
    ASSERT_EQ (after.size(), 3u);
    EXPECT_EQ (after[2], after[1]);
    EXPECT_EQ (after[2].name, "B");
    EXPECT_EQ (after[2].bodyVoicing, "Jazz");
    EXPECT_EQ (processor->getSelectedSectionViewIndex(), 2);
    EXPECT_EQ (probe->sectionRow().selectedIndex, 2);
    EXPECT_EQ (probe->status().getText(), "Status: Section copied to B");
    EXPECT_EQ (colourOf (probe->status()), Palette::libraryGreen);
    EXPECT_TRUE (probe->history().getUndoStack().empty()) << "copying starts a new history";

    probe->status().setText ("unchanged", juce::dontSendNotification);
    for (int outside : { -1, 3 })
        probe->copySection (outside);
    EXPECT_EQ (processor->getSections().size(), 3u);
    EXPECT_EQ (probe->status().getText(), "unchanged");
}

TEST_F (SectionOperationsTest, ThirtyTwoSectionsLeaveNoRoomToAddOrCopy)
{
    useSong (lettered (32), 4);
    probe->status().setText ("unchanged", juce::dontSendNotification);

    probe->addSection();
    probe->copySection (0);
    EXPECT_EQ (processor->getSections().size(), 32u);
    EXPECT_EQ (probe->status().getText(), "unchanged");
    EXPECT_TRUE (probe->sectionRow().getAddButtonBounds (probe->sectionRow().computeLayout()).isEmpty());

    struct Case { int count; bool copyEnabled; };
    for (const auto& c : { Case { 31, true }, Case { 32, false } })
    {
        std::vector<std::tuple<int, juce::String, bool>> items;
        const auto menu = CorvessaEditorTestProbe::sectionMenu (c.count);
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
            items.emplace_back (it.getItem().itemID, it.getItem().text, it.getItem().isEnabled);

        const std::vector<std::tuple<int, juce::String, bool>> expected {
            { 1, "Rename section...", true }, { 2, "Copy section", c.copyEnabled }, { 3, "Delete section...", true }
        };
        EXPECT_EQ (items, expected) << c.count;
    }
}

TEST_F (SectionOperationsTest, DeleteSelectsTheFollowingSectionAndUndoBringsItBack)
{
    struct Case { int deleted; int selectedBefore; std::vector<juce::String> left; int selectedAfter; };
    const Case cases[] = {
        { 1, 0, { "A", "C" }, 1 },   // the section that followed it
        { 2, 2, { "A", "B" }, 1 },   // the new last one
        { 0, 2, { "B", "C" }, 0 },
    };

    for (const auto& c : cases)
    {
        useSong (song ({ { "A", "C G" }, { "B", "Am F" }, { "C", "Dm G" } }), c.selectedBefore);
        processor->setBodyVoicing (6);   // unstored working settings of the selected section
        const auto before = probe->capture();

        probe->deleteSection (c.deleted);

        EXPECT_EQ (namesOf (processor->getSections()), c.left) << c.deleted;
        EXPECT_EQ (processor->getSelectedSectionViewIndex(), c.selectedAfter) << c.deleted;
        EXPECT_EQ (probe->sectionRow().selectedIndex, c.selectedAfter) << c.deleted;
        EXPECT_EQ (processor->getWorkingSection().progression, processor->getSections()[(size_t) c.selectedAfter].progression);
        EXPECT_EQ (probe->status().getText(), "Status: Section deleted");
        EXPECT_EQ (colourOf (probe->status()), Palette::libraryGreen);
        ASSERT_EQ (probe->history().getUndoStack().size(), 1u) << c.deleted;

        EXPECT_TRUE (probe->press (undoKey));
        EXPECT_EQ (probe->capture(), before) << c.deleted;
        EXPECT_EQ (processor->getSelectedSectionViewIndex(), c.selectedBefore) << c.deleted;
    }
}

TEST_F (SectionOperationsTest, DeletingTheOnlySectionResetsItToAnEmptyAKeepingTheWorkingSettings)
{
    useSong (song ({ { "Verse", "Am F" } }), 0);
    processor->setBodyVoicing (6);

    probe->deleteSection (0);

    const auto after = processor->getSections();
    ASSERT_EQ (after.size(), 1u);
    EXPECT_EQ (after[0].name, "A");
    EXPECT_EQ (after[0].progression, "");
    EXPECT_EQ (after[0].bodyVoicing, "Jazz");
    EXPECT_EQ (probe->status().getText(), "Status: Section reset to A");

    probe->status().setText ("unchanged", juce::dontSendNotification);
    probe->deleteSection (1);
    EXPECT_EQ (processor->getSections().size(), 1u);
    EXPECT_EQ (probe->status().getText(), "unchanged");
}

TEST_F (SectionOperationsTest, DeleteAsksFirstNamingTheSection)
{
    struct Case { SectionList sections; int index; const char* message; };
    const Case cases[] = {
        { song ({ { "A", "C G" }, { "B - Verse", "Am F" } }), 1,
          "Delete section \"B - Verse\"? Its chords and settings will be removed." },
        { song ({ { "A", "C G" } }), 0, "Delete the only section? It will reset to an empty A section." },
    };

    for (const auto& c : cases)
    {
        useSong (c.sections, 0);
        probe->confirmDelete (c.index);

        auto& dialog = probe->confirmation();
        ASSERT_TRUE (dialog.isVisible());
        EXPECT_EQ (dialog.title, "Delete Section");
        EXPECT_EQ (dialog.message, c.message);
        EXPECT_EQ (dialog.confirmButton.getButtonText(), "Delete");
        EXPECT_TRUE (probe->scrim().isVisible()) << "laid out over the scrim";
        EXPECT_EQ (processor->getSections(), c.sections) << "nothing happens before the answer";

        dialog.buttonClicked (&dialog.confirmButton);
        EXPECT_EQ (processor->getSections().size(), std::max<size_t> (c.sections.size() - 1, 1));
    }

    probe->confirmDelete (4);
    EXPECT_FALSE (probe->confirmation().isVisible());
}

TEST_F (SectionOperationsTest, RenameTrimsTheNameKeepsTheSelectionAndRecordsNoStep)
{
    useSong (song ({ { "A", "C G" }, { "B", "Am F" } }), 0);
    recordAStep();

    probe->renameSection (1, "  Verse - soft ");
    EXPECT_EQ (namesOf (processor->getSections()), (std::vector<juce::String> { "A", "Verse - soft" }));
    EXPECT_EQ (processor->getSelectedSectionViewIndex(), 0);
    EXPECT_EQ (probe->sectionRow().sections, processor->getSections());
    EXPECT_EQ (probe->status().getText(), "Status: Section renamed");
    EXPECT_EQ (colourOf (probe->status()), Palette::libraryGreen);
    EXPECT_EQ (probe->history().getUndoStack().size(), 1u) << "neither a step nor a new history";

    probe->renameSection (1, "   ");
    EXPECT_EQ (processor->getSections()[1].name, "Verse - soft");
    EXPECT_EQ (probe->status().getText(), "Status: Section name required");
    EXPECT_EQ (colourOf (probe->status()), Palette::libraryOrange);

    probe->status().setText ("unchanged", juce::dontSendNotification);
    probe->renameSection (2, "Outro");
    EXPECT_EQ (namesOf (processor->getSections()), (std::vector<juce::String> { "A", "Verse - soft" }));
    EXPECT_EQ (probe->status().getText(), "unchanged");
}

TEST_F (SectionOperationsTest, MenuChoicesOpenTheRenameDialogCopyOrAskToDelete)
{
    useSong (song ({ { "A", "C G" }, { "B - Verse", "Am F" } }), 0);

    probe->chooseFromSectionMenu (1, 1);
    auto& rename = probe->renameDialog();
    ASSERT_TRUE (rename.isVisible());
    EXPECT_EQ (rename.sectionIndex, 1);
    EXPECT_EQ (rename.nameEditor.getText(), "B - Verse");
    EXPECT_TRUE (probe->scrim().isVisible());

    // Submitting through the dialog renames and lays the window out again.
    rename.nameEditor.setText ("Bridge", juce::dontSendNotification);
    rename.buttonClicked (&rename.getRenameButton());
    EXPECT_EQ (processor->getSections()[1].name, "Bridge");
    EXPECT_FALSE (probe->scrim().isVisible());

    probe->chooseFromSectionMenu (0, 2);
    EXPECT_EQ (namesOf (processor->getSections()), (std::vector<juce::String> { "A", "Bridge", "A" }));

    probe->chooseFromSectionMenu (1, 3);
    EXPECT_TRUE (probe->confirmation().isVisible());
    probe->confirmation().buttonClicked (&probe->confirmation().getCancelButton());

    // A dismissed menu, an unknown item and an index the list no longer holds do nothing.
    const auto before = processor->getSections();
    for (const auto& [index, result] : { std::pair (1, 0), std::pair (1, 4), std::pair (3, 1), std::pair (3, 2), std::pair (3, 3) })
        probe->chooseFromSectionMenu (index, result);
    EXPECT_EQ (processor->getSections(), before);
    EXPECT_FALSE (probe->renameDialog().isVisible());
    EXPECT_FALSE (probe->confirmation().isVisible());
}

TEST_F (SectionOperationsTest, ARefreshRepairsAnEmptySongAndALostSelection)
{
    // No sections: the working settings become the only section, "A" without chords.
    processor->setSections ({}, true);
    processor->setBodyVoicing (6);
    editor->syncControlsFromProcessor (false);
    auto sections = processor->getSections();
    ASSERT_EQ (sections.size(), 1u);
    EXPECT_EQ (sections[0].name, "A");
    EXPECT_EQ (sections[0].progression, "");
    EXPECT_EQ (sections[0].bodyVoicing, "Jazz");
    EXPECT_EQ (processor->getSelectedSectionViewIndex(), 0);
    EXPECT_EQ (probe->sectionNameLabel().getText(), "A");

    // No selection: the first section is selected and loaded.
    processor->setSections (song ({ { "Intro", "C G" }, { "B", "Am F" } }), true);
    processor->setSelectedSectionViewIndex (-1);
    editor->syncControlsFromProcessor (false);
    EXPECT_EQ (processor->getSelectedSectionViewIndex(), 0);
    EXPECT_EQ (probe->sectionRow().selectedIndex, 0);
    EXPECT_EQ (processor->getWorkingSection().progression, "C G");
    EXPECT_EQ (probe->sectionNameLabel().getText(), "A - Intro");
}

TEST_F (SectionOperationsTest, LabelsNameTheHoveredAndTheSelectedSection)
{
    useSong (song ({ { "A - Intro", "C G" }, { "b", "Am F" }, { "Verse", "Dm G" } }), 2);
    EXPECT_EQ (probe->sectionNameLabel().getText(), "C - Verse");

    auto& row = probe->sectionRow();
    ASSERT_GT (row.getWidth(), 0);
    const auto layout = row.computeLayout();

    struct Case { juce::Point<float> position; const char* hover; };
    const Case cases[] = {
        { row.getSectionButtonBounds (layout, 0).getCentre(), "A - Intro" },
        { row.getSectionButtonBounds (layout, 1).getCentre(), "b" },
        { row.getAddButtonBounds (layout).getCentre(), "Add empty section" },
        { { (float) row.getWidth() - 2.0f, 2.0f }, "" },
    };
    for (const auto& c : cases)
    {
        viewtest::move (row, c.position);
        EXPECT_EQ (probe->sectionHoverLabel().getText(), c.hover);
    }

    viewtest::move (row, row.getSectionButtonBounds (layout, 0).getCentre());
    viewtest::leave (row);
    EXPECT_EQ (probe->sectionHoverLabel().getText(), "");
}

TEST_F (SectionOperationsTest, DraggingASectionKeepsTheWorkingSectionOnTheSelectedOne)
{
    auto sections = song ({ { "A", "C G" }, { "B", "Am F" }, { "C", "Dm G" } });
    sections[0].bodyVoicing = "Pianist";
    processor->setSections (sections, true);
    probe->selectSection (1);
    probe->tick();

    auto& row = probe->sectionRow();
    const auto layout = row.computeLayout();
    const auto centre = [&] (int slot) { return row.getSectionButtonBounds (layout, slot).getCentre(); };

    // Press A (which selects it and loads it into the working section), drag it over C.
    viewtest::press (row, centre (0));
    viewtest::drag (row, centre (2));
    viewtest::release (row, centre (2));

    EXPECT_EQ (namesOf (processor->getSections()), (std::vector<juce::String> { "C", "B", "A" }));
    EXPECT_EQ (processor->getSelectedSectionViewIndex(), 2);
    EXPECT_EQ (row.selectedIndex, 2);
    EXPECT_EQ (probe->sectionNameLabel().getText(), "A");
    EXPECT_EQ (processor->getWorkingSection().progression, "C G");

    // The next control change lands in A, and C keeps its own settings.
    processor->setBodyVoicing (6);
    probe->storeControls();
    probe->tick();
    const auto after = processor->getSections();
    EXPECT_EQ (after[2].bodyVoicing, "Jazz");
    EXPECT_EQ (after[2].progression, "C G");
    EXPECT_EQ (after[0].bodyVoicing, "Smooth");
    EXPECT_EQ (after[0].progression, "Dm G");
}

TEST_F (SectionOperationsTest, AFollowersWindowLeavesTheSectionsAlone)
{
    useSong (song ({ { "A", "C G" }, { "B", "Am F" } }), 0);
    processor->setSyncMode (2);
    ASSERT_EQ (processor->getSyncMode(), 2);
    probe->tick();
    const auto before = processor->getSections();
    probe->status().setText ("unchanged", juce::dontSendNotification);

    const std::pair<const char*, std::function<void()>> attempts[] = {
        { "add", [this] { probe->addSection(); } },
        { "copy", [this] { probe->copySection (0); } },
        { "delete", [this] { probe->deleteSection (0); } },
        { "rename", [this] { probe->renameSection (0, "Intro"); } },
        { "menu", [this] { probe->showSectionMenu (0); } },   // headless, a shown menu would crash
        { "menu rename", [this] { probe->chooseFromSectionMenu (0, 1); } },
        { "menu delete", [this] { probe->chooseFromSectionMenu (0, 3); } },
        { "dialog rename", [this] { probe->renameDialog().onRename (0, "Intro"); } },
        { "reorder", [this]
          {
              auto& row = probe->sectionRow();
              std::swap (row.sections[0], row.sections[1]);
              row.onSectionsReordered();
          } },
    };

    for (const auto& [what, attempt] : attempts)
    {
        attempt();
        EXPECT_EQ (processor->getSections(), before) << what;
        EXPECT_EQ (processor->getSelectedSectionViewIndex(), 0) << what;
        EXPECT_FALSE (probe->renameDialog().isVisible()) << what;
        EXPECT_FALSE (probe->confirmation().isVisible()) << what;
        EXPECT_EQ (probe->status().getText(), "unchanged") << what;
    }

    processor->setSyncMode (0);
}

TEST_F (SectionOperationsTest, AnOutsideChangeWhileADialogIsOpenNeverHitsAnotherSection)
{
    const auto removeFirstByClient = [this]
    {
        auto project = processor->exportPortableProject();
        project["sections"].getArray()->remove (0);
        ASSERT_TRUE (processor->applyPortableProject (project).wasOk());
    };
    const auto renameByHost = [this]
    {
        auto sections = processor->getSections();
        sections[1].name = "Chorus";
        processor->setSections (sections, true);
    };
    const auto changeAnotherByHost = [this]
    {
        auto sections = processor->getSections();
        sections[0].progression = "F C";
        processor->setSections (sections, true);
    };

    struct Case { const char* name; std::function<void()> outside; bool acts; };
    const Case cases[] = {
        { "no outside change", [] {}, true },
        { "another section changed", changeAnotherByHost, true },
        { "a client removed the section before it", removeFirstByClient, false },
        { "the host renamed it", renameByHost, false },
    };

    for (const auto& c : cases)
    {
        for (const bool deleting : { false, true })
        {
            const auto what = juce::String (c.name) + (deleting ? " (delete)" : " (rename)");
            useSong (song ({ { "A", "C G" }, { "B", "Am F" }, { "C", "Dm G" } }), 0);

            if (deleting)
                probe->chooseFromSectionMenu (1, 3);
            else
                probe->chooseFromSectionMenu (1, 1);

            c.outside();
            probe->tick();
            const auto beforeAnswer = processor->getSections();

            if (deleting)
            {
                probe->confirmation().buttonClicked (&probe->confirmation().confirmButton);
            }
            else
            {
                probe->renameDialog().nameEditor.setText ("Bridge", juce::dontSendNotification);
                probe->renameDialog().buttonClicked (&probe->renameDialog().getRenameButton());
            }

            const auto after = processor->getSections();
            if (c.acts)
            {
                auto expected = beforeAnswer;
                if (deleting)
                    expected.erase (expected.begin() + 1);
                else
                    expected[1].name = "Bridge";
                EXPECT_EQ (namesOf (after), namesOf (expected)) << what;
            }
            else
            {
                EXPECT_EQ (after, beforeAnswer) << what;
                EXPECT_EQ (probe->status().getText(), deleting ? "Status: Section changed elsewhere; not deleted"
                                                               : "Status: Section changed elsewhere; not renamed") << what;
                EXPECT_EQ (colourOf (probe->status()), Palette::yellow) << what;
            }
        }
    }
}

TEST_F (SectionOperationsTest, PicturesOfTheSectionDialogsOverTheWindow)
{
    useSong (song ({ { "A - Intro", "C G" }, { "B - Verse", "Am F" }, { "C", "Dm G" } }), 1);
    probe->tick();

    const auto picture = [this] (const juce::String& name, juce::Rectangle<int> dialog)
    {
        probe->layout();
        const auto image = corvessa::test::writeSnapshot (*editor, name);
        EXPECT_TRUE (corvessa::test::hasInk (image, dialog.withHeight (55), Palette::base)) << name << ": the dialog's title";
    };

    probe->chooseFromSectionMenu (1, 1);
    EXPECT_EQ (probe->renameDialog().getBounds(), juce::Rectangle<int> (90, 345, 420, 170));
    picture ("window-rename-section", probe->renameDialog().getBounds());
    probe->renameDialog().buttonClicked (&probe->renameDialog().getCancelButton());

    probe->chooseFromSectionMenu (1, 3);
    picture ("window-delete-section", probe->confirmation().getBounds());
}
