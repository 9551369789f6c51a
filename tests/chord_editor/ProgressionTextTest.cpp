// The "Chord Progression" text panel (typing delay, Return, Close) and the global scale, through
// a real processor; and how both meet a chord draft that is open at the time.
#include "ChordDraftFixture.h"

#include "editor/look/Palette.h"
#include "support/TestPlayHead.h"

TEST_F (ChordDraftTest, TypedTextIsAppliedHalfASecondAfterTheLastKeystroke)
{
    useSong ("C G");
    draft->openTextPanel();
    EXPECT_TRUE (draft->textPanel().isVisible());
    EXPECT_EQ (draft->textField().getText(), "C G");

    draft->type ("C  Am");
    EXPECT_TRUE (draft->textTimerRunning());
    EXPECT_EQ (draft->status().getText(), "Status: Typing...");
    EXPECT_EQ (draft->status().findColour (juce::Label::textColourId), Palette::libraryOrange);
    draft->type ("C  Am   F  G ");
    EXPECT_EQ (processor->getProgression(), "C G") << "nothing is applied while typing goes on";

    ASSERT_TRUE (draft->fireTextTimer());

    EXPECT_FALSE (draft->textTimerRunning());
    EXPECT_EQ (processor->getProgression(), "C Am F G");
    EXPECT_EQ (processor->getSections()[0].progression, "C Am F G");
    EXPECT_EQ (draft->textField().getText(), "C Am F G");
    EXPECT_EQ (draft->strip().tokens.size(), 4u);
    EXPECT_EQ (draft->status().getText(), "Status: Progression generated");
    EXPECT_EQ (draft->status().findColour (juce::Label::textColourId), Palette::libraryGreen);
}

TEST_F (ChordDraftTest, ReturnAndCloseApplyAtOnce)
{
    useSong ("C G");
    draft->openTextPanel();

    draft->type ("Dm G");
    draft->pressReturn();
    EXPECT_EQ (processor->getProgression(), "Dm G");
    EXPECT_TRUE (draft->textPanel().isVisible());

    // The delay still pending applies the same text again, which changes nothing.
    ASSERT_TRUE (draft->fireTextTimer());
    EXPECT_EQ (processor->getProgression(), "Dm G");

    draft->type ("Em   A");
    draft->window().buttonClicked (&draft->textPanelCloseButton());
    EXPECT_EQ (processor->getProgression(), "Em A");
    EXPECT_FALSE (draft->textPanel().isVisible());
}

TEST_F (ChordDraftTest, TheGlobalScaleGivesEverySectionTheSameKeyScaleAndTempo)
{
    processor->setSections (song ({ { "A", "C G" }, { "B", "Am F" }, { "C", "F G" } }), true);
    processor->setSelectedSectionViewIndex (1);
    processor->setWorkingSection (processor->getSections()[1]);
    probe->tick();

    struct Case { const char* root; const char* scale; const char* bpm; const char* key; const char* scaleName; };
    const Case cases[] = {
        { "D", "Dorian", "90-110", "D", "Dorian" },
        { "H", "Phrygian", "70", "C", "Phrygian" },   // not a note name
        { "F#", "", "", "F#", "Major" },
    };

    for (const auto& c : cases)
    {
        draft->applyGlobalScale (c.root, c.scale, c.bpm);

        EXPECT_EQ (processor->getCurrentRootKey(), c.key) << c.root;
        EXPECT_EQ (processor->getCurrentScaleName(), c.scaleName) << c.root;
        EXPECT_EQ (processor->getCurrentSuggestedBpm(), c.bpm) << c.root;
        for (const auto& section : processor->getSections())
        {
            EXPECT_EQ (section.rootKey, c.key) << c.root << " " << section.name;
            EXPECT_EQ (section.scale, c.scaleName) << c.root << " " << section.name;
            EXPECT_EQ (section.suggestedBpm, c.bpm) << c.root << " " << section.name;
        }
        EXPECT_EQ (probe->sectionRow().sections, processor->getSections()) << c.root;
        EXPECT_EQ (processor->getSelectedSectionViewIndex(), 1) << c.root;
        EXPECT_EQ (draft->status().getText(), "Status: Global scale updated") << c.root;
        EXPECT_NE (probe->holdUntil(), 0u) << c.root << ": held for 2000 ms";
    }

    // The song's chords are labelled in the new key.
    draft->applyGlobalScale ("F", "Major", "");
    ASSERT_EQ (draft->roll().labels.size(), 2u);
    EXPECT_EQ (draft->roll().labels[0].tag, "iii");   // Am in F major
}

TEST_F (ChordDraftTest, TheKeyAndScaleCombosSetTheGlobalScaleWithTheSongsTempo)
{
    useSong ("C G");
    processor->setCurrentScale ("Major", "C", "120");

    // The user picks a key, then a scale: each choice takes effect at once.
    const auto choose = [] (juce::ComboBox& combo, const juce::String& text)
    {
        for (int i = 0; i < combo.getNumItems(); ++i)
            if (combo.getItemText (i) == text)
                combo.setSelectedItemIndex (i, juce::sendNotificationSync);
    };
    choose (draft->keyCombo(), "E");
    EXPECT_EQ (processor->getSections()[0].rootKey, "E");
    EXPECT_EQ (processor->getSections()[0].scale, "Major");
    choose (draft->scaleCombo(), "Minor");

    const auto section = processor->getSections()[0];
    EXPECT_EQ (section.rootKey, "E");
    EXPECT_EQ (section.scale, "Minor");
    EXPECT_EQ (section.suggestedBpm, "120");
    EXPECT_EQ (processor->getCurrentRootKey(), "E");

    // The window putting the song's key into the combos changes nothing.
    const auto edits = processor->getSections();
    processor->setCurrentScale ("Dorian", "A", "120");
    waitForCompile();
    probe->tick();
    EXPECT_EQ (draft->keyCombo().getText(), "A");
    EXPECT_EQ (processor->getSections(), edits);
}

TEST_F (ChordDraftTest, TheGlobalScaleKeepsAnOpenDraftAndHearsItInTheNewKey)
{
    useSong ("C Am");
    draft->applyGlobalScale ("C", "Major", "");
    draft->openChord (1);
    draft->changeChordTo ("Dm");
    ASSERT_EQ (draft->roll().labels[1].scaleFit, 1);

    draft->applyGlobalScale ("D", "Major", "");

    EXPECT_TRUE (draft->draftActive());
    EXPECT_EQ (draft->liveStep().progressionText, "C Dm");
    EXPECT_EQ (processor->getProgression(), "C Am");
    EXPECT_EQ (draft->roll().labels[1].scaleFit, 2);   // F is outside D major
    EXPECT_EQ (draft->panel().keyRoot, "D");
    EXPECT_EQ (draft->panel().quickChords.front().label, "I D");
}

TEST_F (ChordDraftTest, ApplyingTypedTextEndsAChordDraftSoItsApplyCannotWriteOverTheText)
{
    useSong ("C Xyz F");
    draft->openChord (0);
    draft->changeChordTo ("E");
    draft->openChord (1);   // unreadable: the text panel opens over the draft
    ASSERT_TRUE (draft->textPanel().isVisible());
    ASSERT_TRUE (draft->draftActive());

    draft->type ("Dm G");
    draft->pressReturn();
    EXPECT_EQ (processor->getProgression(), "Dm G");
    EXPECT_FALSE (draft->draftActive());
    EXPECT_FALSE (draft->panel().isVisible());
    EXPECT_TRUE (draft->textPanel().isVisible());

    // What the chord editor's "Apply & Close" would have written over the text.
    draft->applyPanel();
    EXPECT_EQ (processor->getProgression(), "Dm G");
}

TEST_F (ChordDraftTest, AutoAdvanceDoesNotMoveTheViewWhileADraftIsOpen)
{
    processor->setSections (song ({ { "A", "C" }, { "B", "Am" } }), true);
    processor->setSelectedSectionViewIndex (0);
    processor->setWorkingSection (processor->getSections()[0]);
    processor->setSectionPlaybackMode (1);
    waitForCompile();
    probe->tick();

    draft->openChord (0);
    draft->changeChordTo ("E");

    // The host plays on into section B.
    processor->prepareToPlay (44100.0, 512);
    corvessa::test::TestPlayHead head;
    head.play (4.5);
    processor->setPlayHead (&head);
    juce::AudioBuffer<float> audio (2, 512);
    juce::MidiBuffer midi;
    processor->processBlock (audio, midi);
    processor->setPlayHead (nullptr);
    ASSERT_EQ (processor->getCurrentSectionIndex(), 1);

    probe->tick();
    EXPECT_EQ (processor->getSelectedSectionViewIndex(), 0);
    EXPECT_TRUE (draft->draftActive());

    draft->applyPanel();
    const auto sections = processor->getSections();
    EXPECT_EQ (sections[0].progression, "E");
    EXPECT_EQ (sections[1].progression, "Am");

    // With the draft gone the view follows the playing section again.
    probe->tick();
    EXPECT_EQ (processor->getSelectedSectionViewIndex(), 1);
    processor->releaseResources();
}
