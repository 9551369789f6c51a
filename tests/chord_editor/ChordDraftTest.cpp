// The window's chord draft through a real processor: opening chords, the draft's preview,
// storing, removing, apply and cancel, the draft's own history, and the forced close that
// project loads, presets, generated sections and the follower switch use.
#include "ChordDraftFixture.h"

#include "editor/look/Palette.h"

TEST_F (ChordDraftTest, ClosingChordEditingDropsTheDraftAndShowsTheSongAgainWithoutAWord)
{
    useSong ("C Am F G");
    EXPECT_FALSE (draft->isEditingProgression());

    draft->openChord (1);
    draft->changeChordTo ("Dm7");
    ASSERT_TRUE (draft->draftActive());
    EXPECT_EQ (draft->liveStep().progressionText, "C Dm7 F G");
    EXPECT_TRUE (draft->isEditingProgression());
    const auto statusBefore = draft->status().getText();

    draft->closeChordEditing();

    EXPECT_FALSE (draft->draftActive());
    EXPECT_FALSE (draft->panel().isVisible());
    EXPECT_FALSE (draft->textPanel().isVisible());
    EXPECT_FALSE (draft->isEditingProgression());
    EXPECT_EQ (draft->undoSteps(), 0u);
    EXPECT_EQ (processor->getProgression(), "C Am F G");
    EXPECT_EQ (draft->status().getText(), statusBefore);
    // The views show the song's compiled chords again, not the draft's.
    EXPECT_EQ (draft->roll().chords, processor->getCompiledChords());
    EXPECT_EQ (draft->roll().labels[1].name, "Am");
    EXPECT_EQ (draft->strip().tokens.size(), 4u);
    EXPECT_EQ (draft->strip().selectedIndex, -1);
    EXPECT_EQ (draft->roll().selectedChord, -1);
    EXPECT_EQ (draft->roll().hoveredChord, -1);
}

TEST_F (ChordDraftTest, AnOpenTextPanelOrChordEditorCountsAsEditingUntilClosed)
{
    useSong ("C G");

    draft->openTextPanel();
    EXPECT_TRUE (draft->isEditingProgression());
    draft->closeChordEditing();
    EXPECT_FALSE (draft->isEditingProgression());

    draft->openForAppend();
    EXPECT_TRUE (draft->isEditingProgression());
    draft->closeChordEditing();
    EXPECT_FALSE (draft->isEditingProgression());
}
