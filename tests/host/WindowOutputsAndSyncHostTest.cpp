// The built plug-in's window pressed on a private display as a user presses it: the output
// pills choose which layers MIDI channel 1 plays, and two instances made leader and follower
// from their own windows share one song; the follower's window asks before taking the lead,
// closes the mood panel and refuses edits. Each test runs again in a child of this executable
// on a private X server.
#include "HostDisplay.h"
#include "HostedPlayback.h"
#include "PluginHost.h"
#include "support/WindowLandmarks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace
{
namespace landmarks = corvessa::test::landmarks;

// Songs without a tempo, so the header gives the sync control its full width.
const char* const leaderSong = R"(
<CorvessaState>
  <PersistentState progression="C G Am F" selectedSectionViewIndex="0" arrangeShimmerTopNoteEnabled="1"
                   arrangeShimmerColorNotesEnabled="1" selectedArrangementVoiceTab="2">
    <Sections><SectionChain>
      <Section name="Intro" progression="C G Am F" arrangeShimmerTopNoteEnabled="1" arrangeShimmerColorNotesEnabled="1"/>
      <Section name="Verse" progression="Dm7 G7 Cmaj7" arrangeShimmerTopNoteEnabled="1" arrangeShimmerColorNotesEnabled="1"/>
    </SectionChain></Sections>
  </PersistentState>
</CorvessaState>)";

const char* const followerOwnSong = R"(
<CorvessaState>
  <PersistentState progression="E B C#m A" selectedSectionViewIndex="0" arrangeShimmerTopNoteEnabled="1"
                   arrangeShimmerColorNotesEnabled="0" selectedArrangementVoiceTab="2">
    <Sections><SectionChain><Section name="Mine" progression="E B C#m A" arrangeShimmerTopNoteEnabled="1"
                                     arrangeShimmerColorNotesEnabled="0"/></SectionChain></Sections>
  </PersistentState>
</CorvessaState>)";

// An instance with its song, played under a test transport, and its window on the screen at a
// place of its own.
struct WindowedInstance
{
    WindowedInstance (const char* songXml, juce::Point<int> topLeft)
        : host (songXml), instance (host.instance)
    {
        if (instance == nullptr)
            return;

        window.reset (instance->createEditorIfNeeded());
        if (window == nullptr)
        {
            ADD_FAILURE() << "no window";
            return;
        }
        window->setTopLeftPosition (topLeft);
        window->addToDesktop (juce::ComponentPeer::windowIsTemporary);
        window->setVisible (true);
    }

    ~WindowedInstance()
    {
        if (window != nullptr)
        {
            window->removeFromDesktop();
            window.reset();
            PluginHost::pumpMessages (300);
        }
    }

    // A left click at a point of the canvas, given as the user gives it.
    void click (const landmarks::Landmark& landmark) { HostDisplay::pressAt (*window, { landmark.x, landmark.y }); }

    juce::String parameterText (const juce::String& name)
    {
        auto* parameter = PluginHost::findParameter (*instance, name);
        return parameter != nullptr ? parameter->getCurrentValueAsText() : juce::String ("<missing>");
    }

    juce::var saved (const juce::Identifier& property) { return PluginHost::getPersistentState (*instance)[property]; }

    // "name=progression" per section of the saved song.
    juce::StringArray song()
    {
        juce::StringArray sections;
        for (const auto& section : PluginHost::getPersistentState (*instance).getChildWithName ("Sections").getChild (0))
            sections.add (section["name"].toString() + "=" + section["progression"].toString());
        return sections;
    }

    // The note-ons of the song's first block, from a stopped transport.
    HostedPlayback::Events firstBlock()
    {
        host.stop();
        auto events = host.playAt (0.0);
        events.erase (std::remove_if (events.begin(), events.end(), [] (const MidiEvent& e) { return ! e.on; }), events.end());
        return events;
    }

    HostedPlayback host;
    std::unique_ptr<juce::AudioPluginInstance>& instance;
    std::unique_ptr<juce::AudioProcessorEditor> window;
};

// The pitches the block strikes on these channels (channel 1 strikes a pitch two layers share
// once).
std::set<int> pitchesOn (const std::vector<MidiEvent>& events, std::initializer_list<int> channels)
{
    std::set<int> pitches;
    for (const auto& event : events)
        if (std::find (channels.begin(), channels.end(), event.channel) != channels.end())
            pitches.insert (event.note);
    return pitches;
}
} // namespace

TEST (HostedWindow, OutputPillsChooseTheLayersChannelOnePlays)
{
    if (! HostDisplay::isOnPrivateDisplay ("HostedWindow.OutputPillsChooseTheLayersChannelOnePlays"))
        return;

    HostDisplay::markWelcomeSeen();
    WindowedInstance hosted (leaderSong, { 30, 30 });
    ASSERT_NE (hosted.window, nullptr);

    std::vector<MidiEvent> block;
    ASSERT_TRUE (PluginHost::pumpUntil ([&] { block = hosted.firstBlock(); return ! block.empty(); }, 20000));
    ASSERT_FALSE (pitchesOn (block, { 4 }).empty()) << "the song has Shimmer notes";
    PluginHost::pumpMessages (500);

    // Each press, what the pills then choose and the layers (channels 2 to 4) it puts on channel 1.
    const struct { landmarks::Landmark pill; const char* choice; std::initializer_list<int> layers; } presses[] = {
        { landmarks::pillBass, "Bass", { 2 } },
        { landmarks::pillBody, "Bass + Body", { 2, 3 } },
        { landmarks::pillBass, "Body", { 3 } },
        { landmarks::pillShimmer, "Body + Shimmer", { 3, 4 } },
        { landmarks::pillBass, "All", { 2, 3, 4 } },
        { landmarks::pillShimmer, "Shimmer", { 4 } },
        { landmarks::pillAll, "All", { 2, 3, 4 } },
    };

    for (const auto& press : presses)
    {
        SCOPED_TRACE (juce::String (press.pill.control) + " -> " + press.choice);
        hosted.click (press.pill);
        EXPECT_TRUE (PluginHost::pumpUntil ([&] { return hosted.parameterText ("Output Layer") == press.choice; }, 5000))
            << hosted.parameterText ("Output Layer");

        block = hosted.firstBlock();
        EXPECT_EQ (pitchesOn (block, { 1 }), pitchesOn (block, press.layers));
    }

    HostDisplay::screenshot ("host-window-output-pills");
}

TEST (HostedWindow, LeaderAndFollowerChosenInTheirWindowsShareTheSong)
{
    if (! HostDisplay::isOnPrivateDisplay ("HostedWindow.LeaderAndFollowerChosenInTheirWindowsShareTheSong"))
        return;

    HostDisplay::markWelcomeSeen();
    WindowedInstance leader (leaderSong, { 10, 10 });
    WindowedInstance follower (followerOwnSong, { 640, 10 });
    ASSERT_TRUE (leader.window != nullptr && follower.window != nullptr);

    const auto ownSong = follower.song();
    std::vector<MidiEvent> leaderBlock;
    ASSERT_TRUE (PluginHost::pumpUntil ([&] { leaderBlock = leader.firstBlock(); return ! leaderBlock.empty(); }, 20000));
    PluginHost::pumpMessages (500);

    // Pressed on the Shimmer tab, "Top" changes the style of an instance that does not follow.
    leader.click (landmarks::shimmerTop);
    ASSERT_TRUE (PluginHost::pumpUntil ([&] { return ! (bool) leader.saved ("arrangeShimmerColorNotesEnabled"); }, 5000));

    leader.click (landmarks::syncLeader);
    ASSERT_TRUE (PluginHost::pumpUntil ([&] { return leader.parameterText ("Sync Mode") == "Leader"; }, 5000));

    follower.click (landmarks::syncFollower);
    ASSERT_TRUE (PluginHost::pumpUntil ([&] { return follower.parameterText ("Sync Mode") == "Follower"; }, 5000));
    EXPECT_TRUE (PluginHost::pumpUntil ([&] { return follower.song() == leader.song(); }, 10000))
        << follower.song().joinIntoString (", ");

    std::vector<MidiEvent> followerBlock;
    EXPECT_TRUE (PluginHost::pumpUntil ([&]
    {
        leaderBlock = leader.firstBlock();
        followerBlock = follower.firstBlock();
        return ! leaderBlock.empty() && followerBlock == leaderBlock;
    }, 20000));
    HostDisplay::screenshot ("host-window-leader-and-follower");

    // The follower's window refuses the style it took before.
    const auto topNote = follower.saved ("arrangeShimmerTopNoteEnabled");
    const auto colorNotes = follower.saved ("arrangeShimmerColorNotesEnabled");
    follower.click (landmarks::shimmerHalo);
    PluginHost::pumpMessages (500);
    EXPECT_EQ (follower.saved ("arrangeShimmerTopNoteEnabled"), topNote);
    EXPECT_EQ (follower.saved ("arrangeShimmerColorNotesEnabled"), colorNotes);

    // Leading while the other leads is a question first; cancelled, nothing changes.
    follower.click (landmarks::syncLeader);
    PluginHost::pumpMessages (300);
    HostDisplay::screenshot ("host-window-take-over-question");
    EXPECT_EQ (follower.parameterText ("Sync Mode"), "Follower");
    follower.click (landmarks::dialogCancel);
    PluginHost::pumpMessages (300);
    EXPECT_EQ (follower.parameterText ("Sync Mode"), "Follower");
    EXPECT_EQ (leader.parameterText ("Sync Mode"), "Leader");

    // "Kick Off" takes the lead with the instance's own song back; the former leader's window
    // sees it taken over and lets go.
    follower.click (landmarks::syncLeader);
    follower.click (landmarks::dialogConfirm);
    EXPECT_TRUE (PluginHost::pumpUntil ([&] { return follower.parameterText ("Sync Mode") == "Leader"; }, 5000))
        << follower.parameterText ("Sync Mode");
    EXPECT_EQ (follower.song(), ownSong);
    EXPECT_TRUE (PluginHost::pumpUntil ([&] { return leader.parameterText ("Sync Mode") == "Off"; }, 10000))
        << leader.parameterText ("Sync Mode");
}

// The role can also change from outside (the host's "Sync Mode" parameter): a window that shows
// its mood panel then closes it, and the window's own controls take presses again.
TEST (HostedWindow, AFollowerChosenByTheHostClosesTheMoodPanel)
{
    if (! HostDisplay::isOnPrivateDisplay ("HostedWindow.AFollowerChosenByTheHostClosesTheMoodPanel"))
        return;

    HostDisplay::markWelcomeSeen();
    auto leader = PluginHost::createInstance();
    ASSERT_NE (leader, nullptr);
    PluginHost::setProcessorChunk (*leader, PluginHost::chunkFromXml (leaderSong));
    auto* leaderRole = PluginHost::findParameter (*leader, "Sync Mode");
    ASSERT_NE (leaderRole, nullptr);
    leaderRole->setValueNotifyingHost (leaderRole->getValueForText ("Leader"));

    const auto withMoodPanel = juce::String (followerOwnSong).replace ("<PersistentState ", "<PersistentState moodVisible=\"1\" ");
    WindowedInstance follower (withMoodPanel.toRawUTF8(), { 30, 30 });
    ASSERT_NE (follower.window, nullptr);
    ASSERT_TRUE ((bool) follower.saved ("moodVisible"));
    PluginHost::pumpMessages (500);

    // The mood panel's scrim takes the press meant for the role buttons.
    follower.click (landmarks::syncFollower);
    PluginHost::pumpMessages (300);
    ASSERT_EQ (follower.parameterText ("Sync Mode"), "Off");

    auto* role = PluginHost::findParameter (*follower.instance, "Sync Mode");
    ASSERT_NE (role, nullptr);
    role->setValueNotifyingHost (role->getValueForText ("Follower"));
    EXPECT_TRUE (PluginHost::pumpUntil ([&] { follower.firstBlock(); return follower.parameterText ("Sync Mode") == "Follower"; }, 5000));
    EXPECT_TRUE (PluginHost::pumpUntil ([&] { return ! (bool) follower.saved ("moodVisible"); }, 5000));
    PluginHost::pumpMessages (300);
    HostDisplay::screenshot ("host-window-follower-set-by-the-host");

    follower.click (landmarks::syncOff);
    EXPECT_TRUE (PluginHost::pumpUntil ([&] { return follower.parameterText ("Sync Mode") == "Off"; }, 5000));
}
