// The built plug-in playing under a host transport while an outside client process edits its
// song through the AI-client bridge's folders (bridge_client.py beside this file): the client
// finds the instance by its presence file, reads, validates, sets, undoes and runs two
// transactions; the MIDI the host receives follows each song the client sets.
#include "HostedPlayback.h"
#include "PluginHost.h"

#include <gtest/gtest.h>

namespace
{
// One one-bar section "C", selected: Bass strikes note 60 on channel 2.
const char* const oneSectionChunk = R"(
<CorvessaState>
  <PersistentState selectedSectionViewIndex="0">
    <Sections><SectionChain><Section name="A" progression="C"/></SectionChain></Sections>
  </PersistentState>
</CorvessaState>)";

juce::File instancesRoot()
{
    return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory)
        .getChildFile ("VELMAR/MCP/bridge/v1/instances");
}

juce::File clientScript()
{
    return juce::File (CORVESSA_TEST_DATA_DIR).getSiblingFile ("host").getChildFile ("bridge_client.py");
}

// A host that keeps playing: every call runs one block further along the timeline and serves
// the host's messages, and remembers the pitch class of every Bass note struck.
class PlayingHost
{
public:
    PlayingHost() : playback (oneSectionChunk) {}

    void playBlock()
    {
        const auto events = playback.playAt (ppq);
        ppq += HostedPlayback::blockBeats;

        for (const auto& e : events)
            if (e.on && e.channel == 2)
                lastBassPitchClass = e.note % 12;

        PluginHost::pumpMessages (1);
    }

    // Stops the transport and starts again from the top of the song.
    void restart()
    {
        playback.stop();
        ppq = 0.0;
        lastBassPitchClass = -1;
    }

    // Plays until a Bass note of this pitch class is struck (or the time is up).
    bool playUntilBass (int pitchClass, int timeoutMs = 20000)
    {
        const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
        while (juce::Time::getMillisecondCounter() < end)
        {
            playBlock();
            if (lastBassPitchClass == pitchClass)
                return true;
        }
        return false;
    }

    HostedPlayback playback;
    int lastBassPitchClass = -1;

private:
    double ppq = 0.0;
};

constexpr int pitchC = 0, pitchA = 9, pitchF = 5;
} // namespace

TEST (HostedBridge, AnOutsideClientEditsThePlayingSongThroughFiles)
{
    ASSERT_TRUE (clientScript().existsAsFile()) << clientScript().getFullPathName();

    PlayingHost host;
    ASSERT_NE (host.playback.instance, nullptr);
    ASSERT_TRUE (host.playUntilBass (pitchC)) << "the song as loaded";

    const auto work = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("bridge-client");
    ASSERT_TRUE (work.createDirectory().wasOk());

    juce::ChildProcess client;
    ASSERT_TRUE (client.start (juce::StringArray { "python3", clientScript().getFullPathName(),
                                                   "--root", instancesRoot().getFullPathName(),
                                                   "--work", work.getFullPathName() },
                               juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr));

    // The client sets a song in A minor and waits; the host plays on, and the new song sounds.
    const auto end = juce::Time::getMillisecondCounter() + 60000;
    while (client.isRunning() && ! work.getChildFile ("set-done.json").existsAsFile()
           && juce::Time::getMillisecondCounter() < end)
        host.playBlock();

    ASSERT_TRUE (work.getChildFile ("set-done.json").existsAsFile()) << client.readAllProcessOutput();
    EXPECT_TRUE (host.playUntilBass (pitchA)) << "the song after the set, last Bass pitch class " << host.lastBassPitchClass;
    ASSERT_TRUE (work.getChildFile ("continue").create().wasOk());

    // Undo, a finalized transaction in F and one rolled back, all while the host plays.
    while (client.isRunning() && juce::Time::getMillisecondCounter() < end)
        host.playBlock();

    const auto output = client.readAllProcessOutput();
    ASSERT_FALSE (client.isRunning()) << "the client did not finish: " << output;
    ASSERT_EQ (client.getExitCode(), 0u) << output;

    const auto result = juce::JSON::parse (work.getChildFile ("result.json"));
    EXPECT_EQ (result["steps"].size(), 5) << output;
    EXPECT_TRUE (instancesRoot().getChildFile (result["instanceId"].toString()).isDirectory());

    // The song kept is the finalized one; the rolled-back one no longer sounds.
    host.restart();
    EXPECT_TRUE (host.playUntilBass (pitchF)) << "the song after the transactions, last Bass pitch class "
                                               << host.lastBassPitchClass;

    // Unloading the plug-in takes its folder away.
    host.playback.instance.reset();
    EXPECT_FALSE (instancesRoot().getChildFile (result["instanceId"].toString()).exists());
}
