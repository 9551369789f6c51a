// Chord presses through the views' callbacks with the hold timer fired by the test: click,
// hold, drag and release; the preview reaching the processor's MIDI output; the chord menu for
// each state; the chord highlight; the question that protects a chord edit.
#include "ChordDraftFixture.h"

#include "../processor/MidiEventList.h"

#include <set>

namespace
{
using NotePairs = std::set<std::pair<int, int>>;   // (channel, note)

// One block of the processor with the transport stopped; previews sound whether or not it runs.
std::vector<MidiEvent> renderBlock (CorvessaProcessor& processor)
{
    juce::AudioBuffer<float> audio (2, 512);
    juce::MidiBuffer midi;
    processor.processBlock (audio, midi);
    return eventsOf (midi);
}

NotePairs pairsOf (const std::vector<MidiEvent>& events, bool on)
{
    NotePairs pairs;
    for (const auto& e : events)
        if (e.on == on)
            pairs.insert ({ e.channel, e.note });
    return pairs;
}

NotePairs layerPairs (const std::array<std::vector<int>, 3>& layers)
{
    NotePairs pairs;
    for (int layer = 0; layer < 3; ++layer)
        for (int note : layers[(size_t) layer])
            pairs.insert ({ layer + 2, note });
    return pairs;
}

NotePairs onLayerChannels (const NotePairs& pairs)
{
    NotePairs layers;
    for (const auto& p : pairs)
        if (p.first >= 2)
            layers.insert (p);
    return layers;
}
} // namespace

TEST_F (ChordDraftTest, PressGesturesClickHoldDragAndRelease)
{
    using Step = std::function<void (ChordDraftTestProbe&)>;
    const Step releaseOnRoll = [] (auto& d) { d.releaseRoll (1); };

    struct Case
    {
        const char* what;
        Step gesture;     // everything up to the release
        Step release;
        bool previewed;   // the hold preview plays when the press is released
        bool opened;      // the chord editor opened the chord
    };
    const Case cases[] = {
        { "click", [] (auto& d) { d.pressRoll (1); }, releaseOnRoll, false, true },
        { "hold", [] (auto& d) { d.pressRoll (1); d.fireHoldTimer(); }, releaseOnRoll, true, false },
        { "move 6 px", [] (auto& d) { d.pressRoll (1, { 50, 100 }); d.dragRoll (1, { 56, 100 }); d.fireHoldTimer(); }, releaseOnRoll, false, false },
        { "move 5 px is still a click", [] (auto& d) { d.pressRoll (1, { 50, 100 }); d.dragRoll (1, { 53, 104 }); }, releaseOnRoll, false, true },
        { "hold, then drag 20 px", [] (auto& d) { d.pressRoll (1, { 50, 100 }); d.fireHoldTimer(); d.dragRoll (1, { 70, 100 }); }, releaseOnRoll, true, false },
        { "release over another view", [] (auto& d) { d.pressRoll (1); }, [] (auto& d) { d.releaseStrip (1); }, false, false },
        { "press beside the chords", [] (auto& d) { d.pressRoll (-1); d.fireHoldTimer(); }, [] (auto& d) { d.releaseRoll (-1); }, false, false },
    };

    for (const auto& c : cases)
    {
        useSong ("C Am F");
        c.gesture (*draft);
        EXPECT_EQ (draft->pressPreviewing(), c.previewed) << c.what;
        c.release (*draft);

        EXPECT_EQ (draft->panel().isVisible(), c.opened) << c.what;
        EXPECT_EQ (draft->draftActive(), c.opened) << c.what;
        EXPECT_FALSE (draft->pressActive()) << c.what;
        EXPECT_FALSE (draft->pressPreviewing()) << c.what;
        EXPECT_FALSE (draft->holdTimerRunning()) << c.what;
        draft->closeChordEditing();
    }
}

TEST_F (ChordDraftTest, MovingAwayBeforeTheHoldStopsTheTimerButAStartedPreviewPlaysOn)
{
    useSong ("C Am F");

    draft->pressRoll (0, { 10, 100 });
    EXPECT_TRUE (draft->holdTimerRunning());
    EXPECT_EQ (draft->strip().selectedIndex, 0);
    EXPECT_EQ (draft->roll().hoveredChord, 0);
    draft->dragRoll (0, { 16, 100 });
    EXPECT_FALSE (draft->holdTimerRunning());
    draft->releaseRoll (0);

    draft->pressRoll (0, { 10, 100 });
    ASSERT_TRUE (draft->fireHoldTimer());
    draft->dragRoll (2, { 200, 100 });
    EXPECT_TRUE (draft->pressPreviewing());
    draft->releaseRoll (2);
    EXPECT_FALSE (draft->pressPreviewing());
}

TEST_F (ChordDraftTest, AHeldChordSoundsAtVelocity100UntilRelease)
{
    useSong ("C Am F");
    processor->prepareToPlay (44100.0, 512);
    renderBlock (*processor);

    draft->pressRoll (1);
    EXPECT_TRUE (renderBlock (*processor).empty()) << "nothing sounds before the hold";
    ASSERT_TRUE (draft->fireHoldTimer());

    const auto started = renderBlock (*processor);
    ASSERT_FALSE (started.empty());
    for (const auto& e : started)
    {
        EXPECT_TRUE (e.on) << e;
        EXPECT_EQ (e.velocity, 100) << e;
    }
    std::array<std::vector<int>, 3> layers;
    for (int layer = 1; layer <= 3; ++layer)
        layers[(size_t) layer - 1] = processor->getCompiledLayerNotes (1, layer);
    EXPECT_EQ (onLayerChannels (pairsOf (started, true)), layerPairs (layers));
    EXPECT_TRUE (pairsOf (started, true).count ({ 1, layers[1].front() }));

    EXPECT_TRUE (renderBlock (*processor).empty()) << "the preview holds while the press holds";

    draft->releaseRoll (1);
    const auto stopped = renderBlock (*processor);
    EXPECT_EQ (pairsOf (stopped, false), pairsOf (started, true));
    EXPECT_TRUE (pairsOf (stopped, true).empty());
    EXPECT_FALSE (draft->panel().isVisible());

    processor->releaseResources();
}

TEST_F (ChordDraftTest, HoldingADraftChordSoundsTheDraftAndARestSilencesThePreview)
{
    useSong ("C R F");
    processor->prepareToPlay (44100.0, 512);
    renderBlock (*processor);

    draft->openChord (0);
    draft->changeChordTo ("E");
    draft->pressRoll (0);
    ASSERT_TRUE (draft->fireHoldTimer());
    const auto started = renderBlock (*processor);
    const auto& preview = draft->draftPreview();
    ASSERT_EQ (preview.chords[0].symbol, "E");
    EXPECT_EQ (onLayerChannels (pairsOf (started, true)),
               layerPairs ({ preview.layerNotes[0][0], preview.layerNotes[0][1], preview.layerNotes[0][2] }));

    // Moving on to the rest while the preview plays: a hold there stops it.
    draft->releaseRoll (0);
    renderBlock (*processor);
    draft->pressRoll (0);
    ASSERT_TRUE (draft->fireHoldTimer());
    renderBlock (*processor);
    draft->pressRoll (1);   // a new press cancels the sounding one
    ASSERT_TRUE (draft->fireHoldTimer());
    const auto onRest = renderBlock (*processor);
    EXPECT_TRUE (pairsOf (onRest, true).empty());
    EXPECT_FALSE (pairsOf (onRest, false).empty());

    processor->releaseResources();
}

TEST_F (ChordDraftTest, TheHighlightFillsTheChordInfoAndTheHint)
{
    useSong ("C Am");
    draft->applyGlobalScale ("C", "Major", "");

    draft->roll().onChordHovered (1);
    EXPECT_EQ (draft->roll().hoveredChord, 1);
    EXPECT_EQ (draft->strip().hoveredIndex, 1);
    EXPECT_EQ (draft->chordInfo().getText(), "Am | vi");
    EXPECT_EQ (draft->hint().getText(), "Click to edit; hold to preview");

    draft->roll().onChordHovered (-1);
    EXPECT_EQ (draft->chordInfo().getText(), "");
    EXPECT_EQ (draft->hint().getText(), "");

    // Another hint stays when the highlight goes.
    draft->hint().setText ("Add chord at end", juce::dontSendNotification);
    draft->roll().onChordHovered (-1);
    EXPECT_EQ (draft->hint().getText(), "Add chord at end");
}

TEST_F (ChordDraftTest, TheChordMenuOffersWhatFitsTheState)
{
    using Items = std::vector<std::pair<int, juce::String>>;
    useSong ("C Am F");

    EXPECT_EQ (itemsOf (draft->chordMenu (1)), (Items { { 3, "Edit chord" }, { 7, "Edit progression" } }));
    EXPECT_EQ (itemsOf (draft->chordMenu (-1)), (Items { { 7, "Edit progression" } }));

    draft->openChord (0);
    EXPECT_EQ (itemsOf (draft->chordMenu (1)), (Items { { 1, "Add chord before" }, { 2, "Add chord after" }, { 3, "Edit chord" },
                                                       { 5, "Delete chord" }, { 0, "-" }, { 6, "Remove all chords" } }));
    EXPECT_EQ (itemsOf (draft->chordMenu (-1)), (Items { { 4, "Add chord" }, { 0, "-" }, { 6, "Remove all chords" } }));

    draft->chooseMenuItem (-1, 6);
    EXPECT_EQ (itemsOf (draft->chordMenu (-1)), (Items { { 4, "Add chord" } }));

    // The iterator keeps a reference: the menu must outlive it.
    const auto menu = draft->chordMenu (-1);
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        EXPECT_TRUE (it.getItem().isEnabled);
        EXPECT_FALSE (it.getItem().isTicked);
    }
}

TEST_F (ChordDraftTest, ChordMenuAnswersActOnTheChordTheMenuWasOpenedFor)
{
    useSong ("C Am F");

    draft->chooseMenuItem (1, 0);
    EXPECT_FALSE (draft->draftActive());

    draft->chooseMenuItem (1, 3);
    ASSERT_TRUE (draft->draftActive());
    EXPECT_EQ (draft->panel().chordIndex, 1);
    draft->changeChordTo ("Dm");

    draft->chooseMenuItem (2, 1);   // add before the third: the open chord is stored first
    EXPECT_EQ (draft->draftText(), "C Dm F");
    EXPECT_EQ (draft->insertAnchor(), 2);
    draft->changeChordTo ("G");
    EXPECT_EQ (draft->liveStep().progressionText, "C Dm G F");

    draft->chooseMenuItem (0, 5);
    EXPECT_EQ (draft->draftText(), "Dm G F");

    draft->closeChordEditing();
    draft->chooseMenuItem (-1, 7);
    EXPECT_TRUE (draft->textPanel().isVisible());
}

TEST_F (ChordDraftTest, OpeningAnotherPanelAsksBeforeAbandoningAChordEdit)
{
    useSong ("C Am");
    int actions = 0;
    const auto action = [&actions] { ++actions; };

    draft->confirmAbandon (action);
    EXPECT_EQ (actions, 1) << "nothing to abandon: at once";
    EXPECT_FALSE (draft->confirmation().isVisible());

    draft->openChord (1);
    draft->changeChordTo ("Em");
    draft->confirmAbandon (action);
    EXPECT_EQ (actions, 1);
    ASSERT_TRUE (draft->confirmation().isVisible());
    EXPECT_EQ (draft->confirmation().title, "Abandon Chord Edit");
    EXPECT_EQ (draft->confirmation().message, "Opening this dialog will abandon your current chord editor changes.");
    EXPECT_EQ (draft->confirmation().confirmButton.getButtonText(), "Abandon");

    draft->confirmation().buttonClicked (&draft->confirmation().getCancelButton());
    EXPECT_EQ (actions, 1);
    EXPECT_TRUE (draft->draftActive());
    EXPECT_EQ (draft->liveStep().progressionText, "C Em");

    draft->confirmAbandon (action);
    draft->confirmation().buttonClicked (&draft->confirmation().confirmButton);
    EXPECT_EQ (actions, 2);
    EXPECT_FALSE (draft->draftActive());
    EXPECT_FALSE (draft->panel().isVisible());
    EXPECT_FALSE (draft->confirmation().isVisible());
    EXPECT_EQ (processor->getProgression(), "C Am");
}

TEST_F (ChordDraftTest, TheProjectsPresetAndMoodButtonsAskBeforeAbandoningAChordEdit)
{
    struct Case { const char* button; juce::Component* opens; };
    const Case cases[] = {
        { "Projects", &probe->projectLibrary() },
        { "{}", &probe->jsonOverlay() },
        { "Mood Generator", &probe->moodPanel() },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.button);
        useSong ("C Am");
        draft->openChord (1);
        draft->changeChordTo ("Em");
        ASSERT_TRUE (draft->draftActive());

        auto* button = dynamic_cast<juce::Button*> (probe->find (c.button));
        ASSERT_NE (button, nullptr);
        button->triggerClick();
        ASSERT_TRUE (pumpUntil ([this] { return draft->confirmation().isVisible(); }));
        EXPECT_FALSE (c.opens->isVisible()) << "nothing opens before the edit is settled";
        EXPECT_TRUE (draft->draftActive());

        draft->confirmation().buttonClicked (&draft->confirmation().confirmButton);
        EXPECT_FALSE (draft->draftActive());
        EXPECT_TRUE (c.opens->isVisible());
        EXPECT_EQ (processor->getProgression(), "C Am") << "the abandoned draft was not written";

        c.opens->setVisible (false);
    }
}

TEST_F (ChordDraftTest, BecomingAFollowerDropsAnOpenChordEditWithoutWritingIt)
{
    struct Case { const char* what; std::function<void()> open; };
    const Case cases[] = {
        { "a chord draft", [this] { draft->openChord (1); draft->changeChordTo ("Em"); } },
        { "the progression text panel", [this] { draft->chooseMenuItem (-1, 7); } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        useSong ("C Am");
        c.open();
        ASSERT_TRUE (draft->isEditingProgression());

        ASSERT_TRUE (processor->setSyncMode (2));
        probe->tick();

        EXPECT_FALSE (draft->isEditingProgression());
        EXPECT_FALSE (draft->draftActive());
        EXPECT_FALSE (draft->panel().isVisible());
        EXPECT_FALSE (draft->textPanel().isVisible());
        EXPECT_EQ (processor->getProgression(), "C Am");

        processor->setSyncMode (0);
        probe->tick();
    }
}

TEST_F (ChordDraftTest, AVoicingChosenWhileADraftIsOpenIsHeardInTheDraftAtOnce)
{
    struct Case { const char* what; bool panelOpen; };
    const Case cases[] = { { "chord panel open", true }, { "chord panel closed", false } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        useSong ("C Am F G");
        probe->bodyVoicingCombo().setSelectedId (1, juce::sendNotificationSync);   // None
        draft->openChord (1);
        draft->changeChordTo ("Em");
        if (! c.panelOpen)
        {
            ASSERT_TRUE (draft->storeChord());
            draft->panel().setVisible (false);
        }
        ASSERT_TRUE (draft->draftActive());

        const auto bodyNotes = [this]
        {
            std::vector<std::vector<int>> notes;
            for (const auto& chord : draft->draftPreview().layerNotes)
                notes.emplace_back (chord[1].begin(), chord[1].end());
            return notes;
        };
        const auto before = bodyNotes();

        probe->bodyVoicingCombo().setSelectedId (7, juce::sendNotificationSync);   // Jazz
        EXPECT_NE (bodyNotes(), before) << "the draft keeps the voicing it was compiled with";
        EXPECT_EQ (draft->draftPreview().chords[1].symbol, "Em") << "the draft itself stays";
        EXPECT_EQ (processor->getProgression(), "C Am F G");

        draft->closeChordEditing();
    }
}
