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

namespace
{
juce::KeyPress ctrlZ (bool shift = false)
{
    return juce::KeyPress ('z', juce::ModifierKeys::commandModifier | (shift ? juce::ModifierKeys::shiftModifier : 0), 0);
}
} // namespace

TEST_F (ChordDraftTest, EditedAppendedAndInsertedChordsLandWhereTheyBelongOnApply)
{
    struct Case
    {
        const char* what;
        std::function<void (ChordDraftTestProbe&)> open;
        int shownAt;           // where the draft shows the chord while it is edited
        const char* applied;
    };
    const Case cases[] = {
        { "edit the second chord", [] (auto& d) { d.openChord (1); }, 1, "C G F" },
        { "append", [] (auto& d) { d.openForAppend(); }, 3, "C Am F G" },
        { "add before the first", [] (auto& d) { d.openForInsert (0, true); }, 0, "G C Am F" },
        { "add after the first", [] (auto& d) { d.openForInsert (0, false); }, 1, "C G Am F" },
        { "add before the last", [] (auto& d) { d.openForInsert (2, true); }, 2, "C Am G F" },
        { "add after the last", [] (auto& d) { d.openForInsert (2, false); }, 3, "C Am F G" },
        { "add past the end appends", [] (auto& d) { d.openForInsert (5, true); }, 3, "C Am F G" },
    };

    for (const auto& c : cases)
    {
        useSong ("C Am F");
        c.open (*draft);
        draft->changeChordTo ("G");

        EXPECT_EQ (draft->draftSelectedIndex(), c.shownAt) << c.what;
        EXPECT_EQ (draft->roll().selectedChord, c.shownAt) << c.what;
        ASSERT_LT ((size_t) c.shownAt, draft->roll().chords.size()) << c.what;
        EXPECT_EQ (draft->roll().chords[(size_t) c.shownAt].symbol, "G") << c.what;
        EXPECT_EQ (draft->strip().tokens[(size_t) c.shownAt].text, "G") << c.what;
        EXPECT_EQ (processor->getProgression(), "C Am F") << c.what << ": nothing is written before apply";

        draft->applyPanel();
        EXPECT_EQ (processor->getProgression(), c.applied) << c.what;
        EXPECT_EQ (processor->getSections()[0].progression, c.applied) << c.what;
        EXPECT_FALSE (draft->draftActive()) << c.what;
        EXPECT_FALSE (draft->panel().isVisible()) << c.what;
        EXPECT_EQ (draft->status().getText(), "Status: Chord updated") << c.what;
        EXPECT_EQ (draft->status().findColour (juce::Label::textColourId), Palette::libraryGreen) << c.what;
    }
}

TEST_F (ChordDraftTest, ANewChordStartsAsTheKeysTonicAndAChordPastTheEndOpensNothing)
{
    useSong ("C Am");
    processor->setCurrentScale ("Minor", "D", "");
    draft->openForAppend();
    EXPECT_EQ (draft->panel().buildChordText(), "Dm");
    EXPECT_EQ (draft->liveStep().progressionText, "C Am Dm");
    draft->closeChordEditing();

    draft->openChord (2);
    EXPECT_FALSE (draft->draftActive());
    EXPECT_FALSE (draft->panel().isVisible());
}

TEST_F (ChordDraftTest, ApplyWithoutAChangeStillWritesTheNormalisedText)
{
    useSong ("CM7 Am");
    draft->openChord (0);
    EXPECT_FALSE (draft->draftChanged());

    draft->applyPanel();

    EXPECT_EQ (processor->getProgression(), "Cmaj7 Am");
    EXPECT_EQ (draft->status().getText(), "Status: Chord updated");
}

TEST_F (ChordDraftTest, OpeningAnotherChordStoresTheOpenOne)
{
    useSong ("C Am F G");
    draft->openChord (1);
    draft->changeChordTo ("Dm");

    draft->openChord (2);

    EXPECT_EQ (draft->draftText(), "C Dm F G");
    EXPECT_TRUE (draft->draftEditing());
    EXPECT_EQ (draft->panel().chordIndex, 2);
    EXPECT_EQ (draft->panel().buildChordText(), "F");
    EXPECT_EQ (processor->getProgression(), "C Am F G");
}

TEST_F (ChordDraftTest, AnUnreadableChordOpensTheTextPanelInstead)
{
    useSong ("C Xyz G");
    draft->openChord (1);

    EXPECT_FALSE (draft->draftActive());
    EXPECT_FALSE (draft->panel().isVisible());
    EXPECT_TRUE (draft->textPanel().isVisible());
    EXPECT_EQ (draft->textField().getText(), "C Xyz G");
    EXPECT_EQ (draft->status().getText(), "Status: Opened text editor for advanced chord syntax");
    EXPECT_EQ (draft->status().findColour (juce::Label::textColourId), Palette::libraryOrange);
}

TEST_F (ChordDraftTest, TheDraftIsShownWithItsOwnLabelsAndTheTickLeavesItAlone)
{
    useSong ("C Am F");
    processor->setCurrentScale ("Major", "C", "");
    draft->openChord (1);
    draft->changeChordTo ("Bb:2");

    const auto shown = draft->roll().chords;
    ASSERT_EQ (shown.size(), 3u);
    EXPECT_EQ (shown[1].symbol, "Bb");
    EXPECT_EQ (shown[1].lengthTicks, 1024.0);
    EXPECT_FALSE (draft->roll().layerNotes.empty());
    ASSERT_EQ (draft->roll().labels.size(), 3u);
    EXPECT_EQ (draft->roll().labels[0].tag, "I");
    EXPECT_EQ (draft->roll().labels[1].scaleFit, 2);
    EXPECT_EQ (draft->roll().hoveredChord, 1);

    probe->tick();
    EXPECT_EQ (draft->roll().chords, shown);
}

TEST_F (ChordDraftTest, CancelDropsTheDraftAndSaysSo)
{
    useSong ("C Am");
    draft->openChord (0);
    draft->changeChordTo ("E");

    draft->cancelPanel();

    EXPECT_FALSE (draft->draftActive());
    EXPECT_FALSE (draft->panel().isVisible());
    EXPECT_EQ (processor->getProgression(), "C Am");
    EXPECT_EQ (draft->roll().chords, processor->getCompiledChords());
    EXPECT_EQ (draft->status().getText(), "Status: Chord edit cancelled");
    EXPECT_EQ (draft->status().findColour (juce::Label::textColourId), Palette::yellow);
}

TEST_F (ChordDraftTest, RemovingChordsFromTheDraft)
{
    useSong ("C Am F");
    draft->openChord (0);
    draft->changeChordTo ("E");

    draft->removeChord (2);
    EXPECT_EQ (draft->draftText(), "E Am");   // the open chord was stored first
    EXPECT_FALSE (draft->draftEditing());
    EXPECT_FALSE (draft->panel().hasChord);
    EXPECT_EQ (draft->status().getText(), "Status: Chord removed from draft");

    draft->removeChord (5);
    EXPECT_EQ (draft->draftText(), "E Am");

    draft->openChord (1);
    draft->changeChordTo ("Dm");
    draft->chooseMenuItem (-1, 6);
    EXPECT_EQ (draft->draftText(), "");       // the pending chord is not stored first
    EXPECT_EQ (draft->status().getText(), "Status: All chords removed from draft");

    draft->applyPanel();
    EXPECT_EQ (processor->getProgression(), "");
}

//==== the draft's history ===========================================================================

TEST_F (ChordDraftTest, SeventyChangesLeaveTheNewestSixtyFourSteps)
{
    useSong ("C G");
    draft->openChord (0);
    for (int i = 1; i <= 70; ++i)
        draft->changeChordTo ("C:" + juce::String (i));

    EXPECT_EQ (draft->undoSteps(), 64u);

    int undone = 0;
    while (probe->press (ctrlZ()) && draft->redoSteps() > (size_t) undone)
        ++undone;
    EXPECT_EQ (undone, 64);
    EXPECT_EQ (draft->liveStep().progressionText, "C:6 G");
    EXPECT_EQ (draft->status().getText(), "Status: Chord edit undone");
    EXPECT_EQ (draft->redoSteps(), 64u);

    probe->press (ctrlZ (true));
    EXPECT_EQ (draft->liveStep().progressionText, "C:7 G");
    EXPECT_EQ (draft->status().getText(), "Status: Chord edit redone");
}

TEST_F (ChordDraftTest, OpeningAChordRecordsAStepOnlyWhenItAddsOne)
{
    useSong ("C G");
    draft->openChord (0);
    EXPECT_EQ (draft->undoSteps(), 0u);
    probe->press (ctrlZ());
    EXPECT_TRUE (draft->draftEditing());
    EXPECT_EQ (draft->liveStep().progressionText, "C G");
    draft->closeChordEditing();

    draft->openForAppend();
    EXPECT_EQ (draft->undoSteps(), 1u);
    probe->press (ctrlZ());
    EXPECT_EQ (draft->draftText(), "C G");
    EXPECT_FALSE (draft->draftEditing());
    EXPECT_FALSE (draft->panel().hasChord);
    EXPECT_TRUE (draft->draftActive());
}

TEST_F (ChordDraftTest, MovingToAnotherChordWithTheSameTextOnlyMovesTheCurrentStep)
{
    useSong ("C C");
    draft->openChord (0);
    EXPECT_EQ (draft->currentStep().chordIndex, 0);

    draft->openChord (1);

    EXPECT_EQ (draft->undoSteps(), 0u);
    EXPECT_EQ (draft->currentStep().chordIndex, 1);
    EXPECT_TRUE (draft->currentStep().chordOpen);
}

TEST_F (ChordDraftTest, UndoAfterRemovingEveryChordBringsThemBackWithTheOpenChord)
{
    useSong ("C Am F");
    draft->openChord (1);
    draft->changeChordTo ("Dm");
    draft->chooseMenuItem (-1, 6);
    ASSERT_EQ (draft->draftText(), "");

    probe->press (ctrlZ());

    EXPECT_EQ (draft->draftText(), "C Dm F");
    EXPECT_TRUE (draft->draftEditing());
    EXPECT_EQ (draft->draftSelectedIndex(), 1);
    EXPECT_TRUE (draft->panel().isVisible());
    EXPECT_EQ (draft->panel().buildChordText(), "Dm");
    EXPECT_EQ (draft->roll().chords.size(), 3u);
}

TEST_F (ChordDraftTest, UndoAndRedoThenApplyWriteTheStateReached)
{
    useSong ("C G");
    const auto songStepsBefore = probe->history().getUndoStack().size();
    draft->openChord (1);
    draft->changeChordTo ("Em");
    draft->changeChordTo ("Am");

    // The panel's Ctrl+Z reaches the draft's history, not the panel's own.
    draft->panel().keyPressed (ctrlZ());
    EXPECT_EQ (draft->liveStep().progressionText, "C Em");
    draft->panel().keyPressed (ctrlZ (true));
    EXPECT_EQ (draft->liveStep().progressionText, "C Am");
    draft->panel().keyPressed (ctrlZ());
    draft->changeChordTo ("Em:2");
    EXPECT_EQ (draft->redoSteps(), 0u);   // a new change clears what could be redone

    // The draft's steps stay its own: the song's history takes the whole apply as one step.
    EXPECT_EQ (probe->history().getUndoStack().size(), songStepsBefore);
    draft->applyPanel();
    EXPECT_EQ (processor->getProgression(), "C Em:2");
    EXPECT_EQ (draft->undoSteps(), 0u);
    EXPECT_EQ (probe->history().getUndoStack().size(), songStepsBefore + 1);

    // With the panel gone the keys step the section history; the draft's is gone.
    EXPECT_TRUE (probe->press (ctrlZ()));
    EXPECT_FALSE (draft->draftActive());
    EXPECT_EQ (processor->getProgression(), "C G");
    EXPECT_EQ (processor->getSections()[0].progression, "C G");
    EXPECT_TRUE (probe->press (ctrlZ (true)));
    EXPECT_EQ (processor->getSections()[0].progression, "C Em:2");
}

//==== followers =====================================================================================

TEST_F (ChordDraftTest, AFollowersWindowEditsNoChord)
{
    useSong ("C Am F");
    // A press already running when the instance starts following is only cancelled.
    draft->pressRoll (1);
    processor->setSyncMode (2);
    ASSERT_EQ (processor->getSyncMode(), 2);
    ASSERT_TRUE (draft->fireHoldTimer());
    EXPECT_FALSE (draft->pressActive());
    EXPECT_FALSE (draft->pressPreviewing());

    const std::pair<const char*, std::function<void (ChordDraftTestProbe&)>> entryPoints[] = {
        { "open", [] (auto& d) { d.openChord (1); } },
        { "append", [] (auto& d) { d.openForAppend(); } },
        { "insert", [] (auto& d) { d.openForInsert (0, true); } },
        { "press and hold", [] (auto& d) { d.pressRoll (1); d.fireHoldTimer(); d.releaseRoll (1); } },
        { "click", [] (auto& d) { d.pressRoll (1); d.releaseRoll (1); } },
        { "menu: edit chord", [] (auto& d) { d.chooseMenuItem (1, 3); } },
        { "menu: edit progression", [] (auto& d) { d.chooseMenuItem (1, 7); } },
        { "text panel", [] (auto& d) { d.openTextPanel(); } },
        { "typing", [] (auto& d) { d.type ("Em"); d.pressReturn(); d.closeTextPanel(); } },
        { "global scale", [] (auto& d) { d.applyGlobalScale ("E", "Minor", "90"); } },
        { "key and scale combos", [] (auto& d) { d.applyKeyScaleFromCombos(); } },
    };

    const auto sections = processor->getSections();
    for (const auto& [what, entry] : entryPoints)
    {
        entry (*draft);
        EXPECT_FALSE (draft->draftActive()) << what;
        EXPECT_FALSE (draft->panel().isVisible()) << what;
        EXPECT_FALSE (draft->textPanel().isVisible()) << what;
        EXPECT_FALSE (draft->holdTimerRunning()) << what;
        EXPECT_FALSE (draft->textTimerRunning()) << what;
        EXPECT_EQ (processor->getProgression(), "C Am F") << what;
        EXPECT_EQ (processor->getSections(), sections) << what;
    }
}

TEST_F (ChordDraftTest, ADraftLeftOpenWhenTheInstanceStartsFollowingIsNeverWritten)
{
    useSong ("C Am F");
    draft->openChord (1);
    draft->changeChordTo ("Dm");
    processor->setSyncMode (2);
    ASSERT_EQ (processor->getSyncMode(), 2);

    draft->changeChordTo ("Em");
    EXPECT_EQ (draft->roll().chords[1].symbol, "Dm") << "no preview of the change";
    EXPECT_FALSE (draft->storeChord());
    draft->removeChord (0);
    draft->chooseMenuItem (-1, 6);
    EXPECT_TRUE (probe->press (ctrlZ()));   // swallowed
    EXPECT_EQ (draft->draftText(), "C Am F");

    draft->applyPanel();
    EXPECT_EQ (processor->getProgression(), "C Am F");
}
