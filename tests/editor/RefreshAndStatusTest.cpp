// The 33 ms tick: status texts, their colours and holds under a clock the test moves; outside
// edits, Auto-Advance follow and host automation reaching the controls and the sections.
#include "EditorFixture.h"

#include "editor/look/Palette.h"
#include "kit/services/SettingsStore.h"
#include "processor/playback/TransportSnapshot.h"
#include "processor/sync/InstanceSyncLink.h"
#include "support/TestPlayHead.h"

namespace
{
juce::var portableProjectWith (CorvessaProcessor& processor, const juce::String& progression)
{
    auto project = processor.exportPortableProject();
    auto* sections = project["sections"].getArray();
    sections->getReference (0).getDynamicObject()->setProperty ("progression", progression);
    return project;
}

void playBlock (CorvessaProcessor& processor, corvessa::test::TestPlayHead& head)
{
    juce::AudioBuffer<float> audio (2, 512);
    juce::MidiBuffer midi;
    processor.setPlayHead (&head);
    processor.processBlock (audio, midi);
    processor.setPlayHead (nullptr);
}
} // namespace

TEST_F (EditorTest, StartsIdleThenReportsTheCompileState)
{
    EXPECT_EQ (probe->status().getText(), "Status: Idle");
    EXPECT_EQ (probe->status().findColour (juce::Label::textColourId), Palette::subtext0);

    processor->setSections (song ({ { "A", "C Xyz G Qq" } }), true);
    processor->setSelectedSectionViewIndex (0);
    waitForCompile();
    probe->tick();
    EXPECT_EQ (probe->status().getText(), "Status: Warning - Unrecognized: Xyz, Qq");
    EXPECT_EQ (probe->status().findColour (juce::Label::textColourId), Palette::yellow);

    // Nothing playable left: the last good result stays in use.
    processor->setSections (song ({ { "A", "C G" } }), true);
    waitForCompile();
    processor->setSections (song ({ { "A", "Xyz Qq" } }), true);
    waitForCompile();
    probe->tick();
    EXPECT_EQ (probe->status().getText(), "Status: Using last valid result - Unrecognized: Xyz, Qq");
    EXPECT_EQ (probe->status().findColour (juce::Label::textColourId), Palette::yellow);

    processor->setSections (song ({ { "A", "D A" } }), true);
    waitForCompile();
    probe->tick();
    EXPECT_EQ (probe->status().getText(), "Status: Ready");
    EXPECT_EQ (probe->status().findColour (juce::Label::textColourId), Palette::green);
}

TEST_F (EditorTest, AnOutsideEditIsAnnouncedAndHeldForTwoSeconds)
{
    waitForCompile();
    probe->tick();
    editor->showStatus ("Status: Bass MIDI drag started");
    EXPECT_EQ (probe->status().findColour (juce::Label::textColourId), Palette::green);

    // An outside edit replaces a held text at once and starts its own hold.
    clock.now += 500;
    ASSERT_TRUE (processor->applyPortableProject (portableProjectWith (*processor, "Am F C G")).wasOk());
    probe->tick();
    EXPECT_EQ (probe->status().getText(), "Status: Updated by Velmar MCP");
    EXPECT_EQ (probe->status().findColour (juce::Label::textColourId), Palette::mauve);

    // The compile it started does not show while the hold runs...
    clock.now += 1999;
    probe->tick();
    EXPECT_EQ (probe->status().getText(), "Status: Updated by Velmar MCP");

    // ...and the compile state takes over once it has passed.
    waitForCompile();
    clock.now += 1;
    probe->tick();
    EXPECT_EQ (probe->status().getText(), "Status: Ready");

    // The same count again is not announced twice.
    editor->showStatus ("Status: something else");
    clock.now += 2000;
    probe->tick();
    EXPECT_EQ (probe->status().getText(), "Status: Ready");
}

TEST_F (EditorTest, AHoldSurvivesTheMillisecondCounterWrapping)
{
    waitForCompile();

    struct Case { const char* name; juce::uint32 start; };
    const Case cases[] = {
        { "ordinary", 5000u },
        { "set just before the wrap", 0xffffffffu - 500u },
        { "set across the signed midpoint", 0x7fffffffu - 500u },
    };

    for (const auto& c : cases)
    {
        clock.now = c.start;
        editor->showStatus ("Status: held");

        for (const juce::uint32 later : { 100u, 1000u, 1999u })
        {
            clock.now = c.start + later;
            probe->tick();
            EXPECT_EQ (probe->status().getText(), "Status: held") << c.name << " after " << later << " ms";
        }

        clock.now = c.start + 2000u;
        probe->tick();
        EXPECT_EQ (probe->status().getText(), "Status: Ready") << c.name;
    }
}

TEST_F (EditorTest, TextsWithoutAHoldGiveWayAtTheNextTick)
{
    waitForCompile();
    probe->tick();

    probe->autoAdvance().setToggleState (true, juce::dontSendNotification);
    probe->autoAdvance().onClick();
    EXPECT_EQ (probe->status().getText(), "Following the DAW playhead through Sections");
    EXPECT_TRUE (processor->isAutoAdvanceSelected());

    probe->autoAdvance().setToggleState (false, juce::dontSendNotification);
    probe->autoAdvance().onClick();
    EXPECT_EQ (probe->status().getText(), "This section will repeat");
    EXPECT_FALSE (processor->isAutoAdvanceSelected());

    waitForCompile();
    probe->tick();
    EXPECT_EQ (probe->status().getText(), "Status: Ready");
}

TEST_F (EditorTest, AnUpdateTurnsTheHelpButtonAndTheStatusIntoALink)
{
    waitForCompile();
    probe->tick();
    EXPECT_EQ (probe->helpButton().getButtonText(), "?");

    announceUpdate();

    editor->changeListenerCallback (&processor->getUpdateChecker());
    EXPECT_EQ (probe->helpButton().getButtonText(), "!");
    EXPECT_EQ (probe->helpButton().findColour (juce::TextButton::buttonColourId), Palette::mauve);
    EXPECT_EQ (probe->helpButton().getTooltip(), "Update available - show details");
    EXPECT_EQ (probe->help().getContent().updateVersion, "9.9.9");

    probe->tick();
    EXPECT_EQ (probe->status().getText(), "Update available: v9.9.9");
    EXPECT_EQ (probe->status().findColour (juce::Label::textColourId), Palette::mauve);
    EXPECT_EQ (probe->status().getTooltip(), "Open Corvessa download page");

    // A held text is not replaced by the notice until its hold has passed.
    editor->showStatus ("Status: Body MIDI saved");
    probe->tick();
    EXPECT_EQ (probe->status().getText(), "Status: Body MIDI saved");
    clock.now += 2000;
    probe->tick();
    EXPECT_EQ (probe->status().getText(), "Update available: v9.9.9");
}

TEST_F (EditorTest, ASectionClickedWhileTheHostPlaysIsQueuedOrFollowed)
{
    processor->setSections (song ({ { "A", "C G" }, { "Verse", "Am F" } }), true);
    processor->setSelectedSectionViewIndex (0);
    probe->tick();

    processor->prepareToPlay (44100.0, 512);
    corvessa::test::TestPlayHead head;
    head.play (0.0);

    struct Case { bool autoAdvance; const char* text; };
    const Case cases[] = {
        { false, "Queued: Verse after the current section" },
        { true, "Editing Section: Verse; playback follows the DAW" },
    };

    for (const auto& c : cases)
    {
        processor->setSectionPlaybackMode (c.autoAdvance ? 1 : 0);
        playBlock (*processor, head);
        processor->setSelectedSectionViewIndex (0);
        probe->selectSection (1);
        EXPECT_EQ (probe->status().getText(), c.text);
        EXPECT_EQ (processor->getSelectedSectionViewIndex(), 1);
        EXPECT_EQ (processor->getWorkingSection().progression, "Am F");
    }

    // A stopped transport writes nothing; an index outside the list is ignored.
    head.stop();
    playBlock (*processor, head);
    probe->status().setText ("unchanged", juce::dontSendNotification);
    probe->selectSection (0);
    probe->selectSection (5);
    EXPECT_EQ (probe->status().getText(), "unchanged");
    EXPECT_EQ (processor->getSelectedSectionViewIndex(), 0);
}

TEST_F (EditorTest, HostAutomationOfVoicingReachesTheControlsAndTheActiveSection)
{
    processor->setSections (song ({ { "A", "C G" } }), true);
    processor->setSelectedSectionViewIndex (0);
    probe->tick();

    processor->setBodyVoicing (5);
    probe->tick();
    EXPECT_EQ (probe->bodyVoicingCombo().getSelectedId(), 6);
    EXPECT_EQ (processor->getSections()[0].bodyVoicing, "Bassist");
}

TEST_F (EditorTest, AFollowerNeverWritesLegatoOrVoicingIntoItsOwnSections)
{
    struct Case { const char* name; int syncMode; bool written; };
    const Case cases[] = {
        { "independent", 0, true },
        { "follower", 2, false },
    };

    for (const auto& c : cases)
    {
        processor->setSections (song ({ { "A", "C G" } }), true);
        processor->setSelectedSectionViewIndex (0);
        processor->setSyncMode (c.syncMode);
        ASSERT_EQ (processor->getSyncMode(), c.syncMode) << c.name;
        probe->tick();
        const auto before = processor->getSections();

        // The change a leader (or a refused host edit being set back) brings to a follower.
        processor->setBodyLegato (! processor->getBodyLegato());
        processor->setShimmerVoicing (6);
        probe->tick();

        EXPECT_EQ (processor->getSections() != before, c.written) << c.name;
        processor->setSyncMode (0);
    }
}

TEST_F (EditorTest, ASongReplacedByTheHostOrTheSyncLeaderReachesTheRowAndTheControls)
{
    // The selection stays at the first section in both cases, so only the song's replacement
    // itself can tell the window that its row and controls are stale.
    processor->setSections (song ({ { "A", "C G" }, { "B", "Am F" } }), true);
    processor->setSelectedSectionViewIndex (0);
    probe->tick();
    ASSERT_EQ (probe->sectionRow().sections.size(), 2u);

    const auto rowNames = [this]
    {
        juce::StringArray names;
        for (const auto& section : probe->sectionRow().sections)
            names.add (section.name);
        return names.joinIntoString (" ");
    };

    {
        SCOPED_TRACE ("the host restores a state");
        CorvessaProcessor other;
        auto sections = song ({ { "Intro", "Dm G" }, { "Verse", "C" }, { "Outro", "F" } });
        sections[0].bodyVoicing = "Jazz";
        other.setSections (sections, true);
        other.setSelectedSectionViewIndex (0);
        juce::MemoryBlock chunk;
        other.getStateInformation (chunk);

        processor->setStateInformation (chunk.getData(), (int) chunk.getSize());
        probe->tick();
        EXPECT_EQ (rowNames(), "Intro Verse Outro");
        EXPECT_EQ (probe->bodyVoicingCombo().getText(), "Jazz");
    }

    {
        SCOPED_TRACE ("a sync leader's song reaches this follower");
        const auto syncFile = InstanceSyncLink::makeCoordinatorConfig().syncFile;
        syncFile.deleteFile();
        CorvessaProcessor leader;
        auto sections = song ({ { "Intro", "Em" }, { "Verse", "C" }, { "Bridge", "G" }, { "Outro", "F" } });
        sections[0].bodyVoicing = "Pianist";
        leader.setSections (sections, true);
        leader.setSelectedSectionViewIndex (0);
        ASSERT_TRUE (leader.setSyncMode (1));
        ASSERT_TRUE (processor->setSyncMode (2));
        ASSERT_TRUE (pumpUntil ([this] { return processor->getSections().size() == 4; }));

        probe->tick();
        EXPECT_EQ (rowNames(), "Intro Verse Bridge Outro");
        EXPECT_EQ (probe->bodyVoicingCombo().getText(), "Pianist");

        processor->setSyncMode (0);
        leader.setSyncMode (0);
        syncFile.deleteFile();
    }
}
