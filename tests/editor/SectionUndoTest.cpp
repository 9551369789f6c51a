// Undo and redo of the song from the window: what a snapshot holds, how a step is applied to
// the processor, the row and the controls, the keys, and the pattern of an undoable replace.
#include "EditorFixture.h"

#include "editor/look/Palette.h"

namespace
{
const juce::KeyPress undoKey ('z', juce::ModifierKeys::commandModifier, 0);
const juce::KeyPress redoKey ('Z', juce::ModifierKeys::commandModifier | juce::ModifierKeys::shiftModifier, 0);
} // namespace

TEST_F (EditorTest, ASnapshotHoldsWhatTheControlsShowInTheSelectedSection)
{
    processor->setSections (song ({ { "A", "C G" }, { "B", "Am F" } }), true);
    probe->selectSection (1);

    // Working settings not yet stored into the list.
    const juce::String typed ("dm   g");
    ASSERT_NE (normaliseProgressionText (typed), typed);
    processor->setProgression (typed);
    processor->setBodyVoicing (5);

    const auto snapshot = probe->capture();
    EXPECT_EQ (snapshot.activeIndex, 1);
    ASSERT_EQ (snapshot.sections.size(), 2u);
    EXPECT_EQ (snapshot.sections[0], processor->getSections()[0]);
    EXPECT_EQ (snapshot.sections[1].name, "B");
    EXPECT_EQ (snapshot.sections[1].progression, normaliseProgressionText (typed));
    EXPECT_EQ (snapshot.sections[1].bodyVoicing, "Bassist");
    EXPECT_EQ (processor->getSections()[1].progression, "Am F") << "taking a snapshot changes nothing";

    // Without a selection the list is taken as it stands.
    processor->setSelectedSectionViewIndex (-1);
    const auto unselected = probe->capture();
    EXPECT_EQ (unselected.activeIndex, -1);
    EXPECT_EQ (unselected.sections, processor->getSections());
}

TEST_F (EditorTest, UndoAndRedoKeysWalkTheStepsThroughProcessorRowAndControls)
{
    processor->setSections (song ({ { "A", "C G" }, { "B", "Am F" } }), true);
    probe->tick();   // the first tick loads every control, which starts the history afresh
    probe->selectSection (0);
    const auto start = probe->capture();

    processor->setProgression ("F G");
    probe->storeControls();
    probe->commitHistory();
    processor->setBodyVoicing (5);
    probe->storeControls();
    probe->commitHistory();
    ASSERT_EQ (probe->history().getUndoStack().size(), 2u);

    const auto holdBefore = probe->holdUntil();
    EXPECT_TRUE (probe->press (undoKey));
    EXPECT_EQ (processor->getSections()[0].bodyVoicing, "Smooth");
    EXPECT_EQ (processor->getSections()[0].progression, "F G");
    EXPECT_EQ (probe->bodyVoicingCombo().getSelectedId(), 3);
    EXPECT_EQ (probe->status().getText(), "Status: Progression undone");
    EXPECT_EQ (probe->status().findColour (juce::Label::textColourId), Palette::green);
    EXPECT_EQ (probe->holdUntil(), holdBefore) << "undo sets no hold";

    // The refresh tick between two key presses keeps the history.
    probe->tick();

    EXPECT_TRUE (probe->press (undoKey));
    EXPECT_EQ (probe->capture(), start);
    EXPECT_EQ (processor->getWorkingSection().progression, "C G");
    EXPECT_EQ (probe->sectionRow().sections, processor->getSections());
    EXPECT_EQ (probe->sectionRow().selectedIndex, 0);

    probe->status().setText ("unchanged", juce::dontSendNotification);
    EXPECT_TRUE (probe->press (undoKey)) << "nothing left to undo, the key is still taken";
    EXPECT_EQ (probe->status().getText(), "unchanged");

    EXPECT_TRUE (probe->press (redoKey));
    EXPECT_EQ (processor->getSections()[0].progression, "F G");
    EXPECT_EQ (probe->status().getText(), "Status: Progression redone");
    EXPECT_TRUE (probe->press (redoKey));
    EXPECT_EQ (processor->getSections()[0].bodyVoicing, "Bassist");
    EXPECT_FALSE (probe->applyingHistory());

    // Selecting a section refreshes the controls, which starts the history afresh.
    probe->selectSection (1);
    EXPECT_TRUE (probe->history().getUndoStack().empty());
    EXPECT_TRUE (probe->history().getRedoStack().empty());
}

TEST_F (EditorTest, WithTheChordEditorOpenButNoDraftTheKeysUndoSectionSteps)
{
    processor->setSections (song ({ { "A", "C G" } }), true);
    probe->selectSection (0);
    processor->setProgression ("F G");
    probe->storeControls();
    probe->commitHistory();

    probe->chordEditor().setVisible (true);
    probe->draftActive() = false;
    EXPECT_TRUE (probe->press (undoKey));
    EXPECT_EQ (processor->getSections()[0].progression, "C G");
}

TEST_F (EditorTest, AnAppliedStepClampsItsSelectionAndRepairsAnEmptySong)
{
    struct Case { const char* name; int sectionCount; int active; int selected; };
    const Case cases[] = {
        { "past the end", 3, 5, 2 },
        { "none selected", 2, -1, 0 },
        { "inside", 3, 1, 1 },
        { "no sections", 0, 0, 0 },
    };

    for (const auto& c : cases)
    {
        SectionHistory::Snapshot snapshot;
        const char* names[] = { "A", "B", "C" };
        const char* progressions[] = { "C G", "Am F", "Dm G" };
        for (int i = 0; i < c.sectionCount; ++i)
            snapshot.sections.push_back (song ({ { names[i], progressions[i] } }).front());
        snapshot.activeIndex = c.active;

        probe->startTextApply();
        probe->apply (snapshot);

        const auto sections = processor->getSections();
        ASSERT_EQ (sections.size(), (size_t) std::max (c.sectionCount, 1)) << c.name;
        EXPECT_EQ (processor->getSelectedSectionViewIndex(), c.selected) << c.name;
        EXPECT_EQ (probe->sectionRow().selectedIndex, c.selected) << c.name;
        EXPECT_EQ (probe->sectionRow().sections, sections) << c.name;
        EXPECT_EQ (processor->getWorkingSection().progression, sections[(size_t) c.selected].progression) << c.name;
        EXPECT_FALSE (probe->textApplyPending()) << c.name << ": a typed text of the left state is dropped";
        EXPECT_FALSE (probe->applyingHistory()) << c.name;
    }

    EXPECT_EQ (processor->getSections()[0].name, "A");
    EXPECT_EQ (processor->getSections()[0].progression, "");
}

TEST_F (EditorTest, AnUndoableReplaceIsOneStepBackToTheLiveState)
{
    processor->setSections (song ({ { "A", "C G" } }), true);
    probe->selectSection (0);

    // A control change that records no step of its own.
    processor->setProgression ("Dm G");
    probe->storeControls();
    const auto beforeReplace = probe->capture();

    probe->beginHistoryStep();
    const auto replacement = song ({ { "X", "E A" }, { "Y", "B E" } });
    processor->setSections (replacement, true);
    processor->setSelectedSectionViewIndex (0);
    processor->setWorkingSection (replacement[0]);
    probe->syncKeepingHistory (true);
    EXPECT_FALSE (probe->applyingHistory());
    probe->commitHistory();

    ASSERT_EQ (probe->history().getUndoStack().size(), 1u);
    EXPECT_EQ (probe->history().getUndoStack().back(), beforeReplace);

    EXPECT_TRUE (probe->press (undoKey));
    EXPECT_EQ (probe->capture(), beforeReplace);
    EXPECT_TRUE (probe->press (redoKey));
    EXPECT_EQ (processor->getSections(), replacement);
}
