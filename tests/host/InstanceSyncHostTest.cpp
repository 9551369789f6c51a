// Instances of the built plug-in keeping in step through the shared sync file, as a host runs
// them: roles chosen through the host's "Sync Mode" parameter, songs loaded as project chunks,
// and the MIDI each instance plays checked block by block. The leader runs in this process or
// in a second one (this executable started again with a child role).
#include "PluginHost.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
const char* const leaderSong = R"(
<CorvessaState>
  <PersistentState progression="C G Am F" currentScaleName="Major" currentRootKey="C" selectedSectionViewIndex="0">
    <Sections>
      <SectionChain>
        <Section name="Intro" progression="C G Am F" bodyVoicing="Pianist" scale="Major" rootKey="C"/>
        <Section name="Verse" progression="Dm7 G7 Cmaj7" scale="Major" rootKey="C"/>
      </SectionChain>
    </Sections>
  </PersistentState>
</CorvessaState>)";

const char* const followerOwnSong = R"(
<CorvessaState>
  <PersistentState progression="E B C#m A" selectedSectionViewIndex="0">
    <Sections>
      <SectionChain>
        <Section name="Mine" progression="E B C#m A" shimmerVoicing="Jazz"/>
      </SectionChain>
    </Sections>
  </PersistentState>
</CorvessaState>)";

// Environment of the child role: the HOME to share and the folder of the marker files.
const char* const childHomeVariable = "CORVESSA_SYNC_CHILD_HOME";
const char* const childMarkersVariable = "CORVESSA_SYNC_CHILD_MARKERS";

juce::File getSyncFile()
{
    return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory)
        .getChildFile ("VELMAR").getChildFile ("Corvessa").getChildFile ("leader-sync.json");
}

std::unique_ptr<juce::AudioPluginInstance> makeInstanceWithSong (const char* songXml)
{
    juce::String error;
    auto instance = PluginHost::createInstance (44100.0, 512, &error);

    if (instance != nullptr)
        PluginHost::setProcessorChunk (*instance, PluginHost::chunkFromXml (songXml));
    else
        ADD_FAILURE() << error;

    return instance;
}

// Runs one stopped block. Once an instance has played, the plug-in takes host parameter changes
// from the audio callback only (as a host delivers automation), so a change needs a block.
void runStoppedBlock (juce::AudioPluginInstance& instance)
{
    PluginHost::TestPlayHead playHead;
    playHead.stop();
    instance.setPlayHead (&playHead);
    juce::AudioBuffer<float> audio (2, 512);
    juce::MidiBuffer midi;
    PluginHost::processBlock (instance, audio, midi);
    instance.setPlayHead (nullptr);
}

// Sets a parameter by its text as a host does, and delivers it with a block.
void setParameterText (juce::AudioPluginInstance& instance, const juce::String& name, const juce::String& text)
{
    auto* parameter = PluginHost::findParameter (instance, name);
    ASSERT_NE (parameter, nullptr);
    parameter->setValueNotifyingHost (parameter->getValueForText (text));
    runStoppedBlock (instance);
}

// Chooses a role as a host does: through the "Sync Mode" parameter.
void chooseRole (juce::AudioPluginInstance& instance, const juce::String& role)
{
    setParameterText (instance, "Sync Mode", role);
}

juce::String parameterText (juce::AudioPluginInstance& instance, const juce::String& name)
{
    auto* parameter = PluginHost::findParameter (instance, name);
    return parameter != nullptr ? parameter->getCurrentValueAsText() : juce::String ("<missing>");
}

// The song as saved in the instance's chunk: one "name=progression" line per section.
juce::StringArray savedSong (juce::AudioPluginInstance& instance)
{
    juce::StringArray song;
    const auto chain = PluginHost::getPersistentState (instance).getChildWithName ("Sections").getChild (0);

    for (const auto& section : chain)
        song.add (section["name"].toString() + "=" + section["progression"].toString());

    return song;
}

// What the instance plays from the top: one stopped block (which ends whatever sounds and
// forgets the playing section), then one playing block at the start of the timeline.
juce::StringArray playFromTheTop (juce::AudioPluginInstance& instance)
{
    PluginHost::TestPlayHead playHead;
    instance.setPlayHead (&playHead);

    juce::AudioBuffer<float> audio (2, 512);
    juce::MidiBuffer midi;

    playHead.stop();
    PluginHost::processBlock (instance, audio, midi);

    playHead.play (0.0);
    PluginHost::processBlock (instance, audio, midi);
    instance.setPlayHead (nullptr);

    juce::StringArray events;
    for (const auto metadata : midi)
        events.add (juce::String (metadata.samplePosition) + " " + metadata.getMessage().getDescription());

    return events;
}

// Plays until the instance has compiled its song and plays notes; empty when it never does.
juce::StringArray waitForNotes (juce::AudioPluginInstance& instance)
{
    juce::StringArray events;
    PluginHost::pumpUntil ([&] { events = playFromTheTop (instance); return ! events.isEmpty(); }, 20000);
    return events;
}

// Starts this executable again running only the child role, in this process's HOME.
juce::ChildProcess* startChildLeader (juce::ChildProcess& child, const juce::File& markers)
{
    const auto self = juce::File::getSpecialLocation (juce::File::currentExecutableFile).getFullPathName();

    // A child started by the framework inherits our environment.
    ::setenv (childHomeVariable, juce::SystemStats::getEnvironmentVariable ("HOME", {}).toRawUTF8(), 1);
    ::setenv (childMarkersVariable, markers.getFullPathName().toRawUTF8(), 1);
    const bool started = child.start (juce::StringArray { self, "--gtest_filter=InstanceSyncChildRole.LeadUntilTold" },
                                      juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr);
    ::unsetenv (childHomeVariable);
    ::unsetenv (childMarkersVariable);
    return started ? &child : nullptr;
}
} // namespace

TEST (HostedInstanceSync, FollowerPlaysTheLeadersSongAndRefusesHostEdits)
{
    auto leader = makeInstanceWithSong (leaderSong);
    auto follower = makeInstanceWithSong (followerOwnSong);
    auto reference = makeInstanceWithSong (leaderSong);   // the leader's song, not synchronised
    ASSERT_TRUE (leader != nullptr && follower != nullptr && reference != nullptr);

    const auto ownSong = savedSong (*follower);
    const auto ownMidi = waitForNotes (*follower);
    const auto leaderMidi = waitForNotes (*reference);
    ASSERT_FALSE (ownMidi.isEmpty());
    ASSERT_FALSE (leaderMidi.isEmpty());
    ASSERT_NE (ownMidi, leaderMidi);

    chooseRole (*leader, "Leader");
    ASSERT_TRUE (PluginHost::pumpUntil ([&] { return getSyncFile().existsAsFile(); }));
    EXPECT_EQ (parameterText (*leader, "Sync Mode"), "Leader");

    chooseRole (*follower, "Follower");
    ASSERT_TRUE (PluginHost::pumpUntil ([&] { return savedSong (*follower) == savedSong (*leader); }))
        << savedSong (*follower).joinIntoString (", ");
    EXPECT_EQ (parameterText (*follower, "Sync Mode"), "Follower");
    EXPECT_EQ (parameterText (*follower, "Body Voicing"), "Pianist") << "the first section's settings became the working ones";

    // The follower plays what the leader's song plays.
    juce::StringArray followerMidi;
    EXPECT_TRUE (PluginHost::pumpUntil ([&] { followerMidi = playFromTheTop (*follower); return followerMidi == leaderMidi; }, 20000))
        << followerMidi.joinIntoString ("\n") << "\nversus\n" << leaderMidi.joinIntoString ("\n");

    // The host's changes of the follower's legato and voicing parameters are set back.
    const struct { const char* name; const char* hostText; } edits[] = {
        { "Body Voicing", "Jazz" }, { "Shimmer Voicing", "None" }, { "Bass Legato", "On" }, { "Body Legato", "Off" },
    };

    for (const auto& edit : edits)
    {
        SCOPED_TRACE (edit.name);
        auto* parameter = PluginHost::findParameter (*follower, edit.name);
        ASSERT_NE (parameter, nullptr);
        const auto before = parameter->getCurrentValueAsText();
        ASSERT_NE (before, edit.hostText);

        setParameterText (*follower, edit.name, edit.hostText);
        EXPECT_TRUE (PluginHost::pumpUntil ([&] { return parameter->getCurrentValueAsText() == before; }))
            << parameter->getCurrentValueAsText();
    }

    EXPECT_EQ (playFromTheTop (*follower), leaderMidi) << "nothing the host sent reached the follower's notes";
}

TEST (HostedInstanceSync, LeaderTearDownDeletesTheFileAndTheFollowerGetsItsOwnSongBack)
{
    auto leader = makeInstanceWithSong (leaderSong);
    auto follower = makeInstanceWithSong (followerOwnSong);
    ASSERT_TRUE (leader != nullptr && follower != nullptr);

    const auto ownSong = savedSong (*follower);
    const auto ownMidi = waitForNotes (*follower);

    chooseRole (*leader, "Leader");
    ASSERT_TRUE (PluginHost::pumpUntil ([&] { return getSyncFile().existsAsFile(); }));
    chooseRole (*follower, "Follower");
    ASSERT_TRUE (PluginHost::pumpUntil ([&] { return savedSong (*follower) == savedSong (*leader); }));

    // The follower's project keeps its own song while it follows.
    const auto saved = PluginHost::getPersistentState (*follower);
    EXPECT_EQ ((int) saved["syncMode"], 2);
    EXPECT_TRUE (saved.getChildWithName ("PreFollowerState").isValid());

    const auto leadersSong = savedSong (*leader);
    leader.reset();
    EXPECT_FALSE (getSyncFile().exists());

    // Without a leader the follower keeps the last song it received.
    PluginHost::pumpMessages (300);
    EXPECT_EQ (savedSong (*follower), leadersSong);
    EXPECT_EQ (parameterText (*follower, "Sync Mode"), "Follower");

    chooseRole (*follower, "Off");
    ASSERT_TRUE (PluginHost::pumpUntil ([&] { return savedSong (*follower) == ownSong; }))
        << savedSong (*follower).joinIntoString (", ");
    EXPECT_EQ (parameterText (*follower, "Sync Mode"), "Off");
    EXPECT_FALSE (PluginHost::getPersistentState (*follower).getChildWithName ("PreFollowerState").isValid());

    juce::StringArray midi;
    EXPECT_TRUE (PluginHost::pumpUntil ([&] { midi = playFromTheTop (*follower); return midi == ownMidi; }, 20000))
        << midi.joinIntoString ("\n");
}

TEST (HostedInstanceSync, FollowsALeaderInAnotherProcess)
{
    auto follower = makeInstanceWithSong (followerOwnSong);
    auto reference = makeInstanceWithSong (leaderSong);
    ASSERT_TRUE (follower != nullptr && reference != nullptr);
    const auto ownSong = savedSong (*follower);
    const auto leaderMidi = waitForNotes (*reference);
    const auto leadersSong = savedSong (*reference);

    const auto markers = juce::File::getSpecialLocation (juce::File::tempDirectory)
                             .getChildFile ("corvessa-sync-markers-" + juce::Uuid().toString());
    ASSERT_TRUE (markers.createDirectory().wasOk());
    const auto leading = markers.getChildFile ("leading");
    const auto release = markers.getChildFile ("release");

    juce::ChildProcess child;
    ASSERT_NE (startChildLeader (child, markers), nullptr);
    ASSERT_TRUE (PluginHost::pumpUntil ([&] { return leading.existsAsFile() || ! child.isRunning(); }, 60000));
    ASSERT_TRUE (leading.existsAsFile()) << child.readAllProcessOutput();
    EXPECT_TRUE (getSyncFile().existsAsFile());

    // Another process's leader is refused as a second leader here.
    chooseRole (*follower, "Leader");
    PluginHost::pumpMessages (300);
    EXPECT_EQ (parameterText (*follower, "Sync Mode"), "Off");

    chooseRole (*follower, "Follower");
    EXPECT_TRUE (PluginHost::pumpUntil ([&] { return savedSong (*follower) == leadersSong; }, 20000))
        << savedSong (*follower).joinIntoString (", ");

    juce::StringArray followerMidi;
    EXPECT_TRUE (PluginHost::pumpUntil ([&] { followerMidi = playFromTheTop (*follower); return followerMidi == leaderMidi; }, 20000))
        << followerMidi.joinIntoString ("\n");

    // The leader's process tears its instance down: the file goes, the follower keeps the song.
    ASSERT_TRUE (release.create().wasOk());
    ASSERT_TRUE (child.waitForProcessToFinish (60000));
    EXPECT_EQ (child.getExitCode(), 0u) << child.readAllProcessOutput();
    EXPECT_FALSE (getSyncFile().exists());
    EXPECT_EQ (savedSong (*follower), leadersSong);

    chooseRole (*follower, "Off");
    EXPECT_TRUE (PluginHost::pumpUntil ([&] { return savedSong (*follower) == ownSong; }));
    markers.deleteRecursively();
}

// The leader of FollowsALeaderInAnotherProcess. Run only as a child (it is skipped otherwise):
// loads the leader's song, leads, tells the parent, and tears down when the parent says so.
TEST (InstanceSyncChildRole, LeadUntilTold)
{
    const auto home = juce::SystemStats::getEnvironmentVariable (childHomeVariable, {});
    const juce::File markers (juce::SystemStats::getEnvironmentVariable (childMarkersVariable, {}));

    if (home.isEmpty() || markers.getFullPathName().isEmpty())
        GTEST_SKIP() << "runs only as the child of a cross-process sync test";

    ::setenv ("HOME", home.toRawUTF8(), 1);

    auto leader = makeInstanceWithSong (leaderSong);
    ASSERT_NE (leader, nullptr);
    chooseRole (*leader, "Leader");
    ASSERT_TRUE (PluginHost::pumpUntil ([&] { return getSyncFile().existsAsFile(); }));
    ASSERT_TRUE (markers.getChildFile ("leading").create().wasOk());

    ASSERT_TRUE (PluginHost::pumpUntil ([&] { return markers.getChildFile ("release").existsAsFile(); }, 90000));
    leader.reset();
    EXPECT_FALSE (getSyncFile().exists());
}
