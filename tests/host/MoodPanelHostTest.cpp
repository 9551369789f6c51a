// The built plug-in's mood panel driven as a user drives it: "Generate 5" clicked in the hosted
// window on a display replaces the song, and the host's transport then plays the first new
// section.
#include "HostedPlayback.h"
#include "PluginHost.h"

#include "HostDisplay.h"

#include <gtest/gtest.h>

namespace
{
using Events = HostedPlayback::Events;

// One section of one chord, and the mood panel left open with 8 bars chosen.
const char* const songWithMoodPanelOpen = R"(
<CorvessaState>
  <PersistentState moodVisible="1" moodBars="8">
    <Sections><SectionChain><Section name="Verse" progression="F#m"/></SectionChain></Sections>
  </PersistentState>
</CorvessaState>)";

// From the start of the timeline once the song is compiled.
Events playBarsOnceCompiled (HostedPlayback& playback, int bars)
{
    playback.firstBlockOnceCompiled();
    return playback.playBars (bars);
}

juce::ValueTree sectionsOf (const juce::ValueTree& persistentState)
{
    return persistentState.getChildWithName ("Sections").getChild (0);
}

// The chunk of a song of this one section, everything else at its defaults.
juce::MemoryBlock chunkOfOnly (const juce::ValueTree& section)
{
    juce::XmlElement root ("CorvessaState");
    auto* chain = root.createNewChildElement ("PersistentState")->createNewChildElement ("Sections")->createNewChildElement ("SectionChain");
    chain->addChildElement (section.createXml().release());

    juce::MemoryBlock chunk;
    juce::AudioProcessor::copyXmlToBinary (root, chunk);
    return chunk;
}
} // namespace

TEST (HostedMoodPanel, Generate5ClickedInTheWindowReplacesTheSongAndPlayingFollowsItsFirstSection)
{
    if (! HostDisplay::isOnPrivateDisplay ("HostedMoodPanel.Generate5ClickedInTheWindowReplacesTheSongAndPlayingFollowsItsFirstSection"))
        return;

    HostDisplay::markWelcomeSeen();

    HostedPlayback player (songWithMoodPanelOpen);
    ASSERT_NE (player.instance, nullptr);
    const auto before = playBarsOnceCompiled (player, 16);
    ASSERT_FALSE (before.empty());

    auto editor = HostDisplay::showEditor (*player.instance);
    ASSERT_NE (editor, nullptr);

    // The panel stands where the window puts it: (60, 94), 480 wide, "Generate 5" 195 from its
    // right edge and 14 from its top, 90 x 28.
    const auto origin = editor->getScreenPosition();
    const auto screen = HostDisplay::screenshot ("host-mood-panel");
    ASSERT_TRUE (screen.isValid());
    ASSERT_EQ (screen.getPixelAt (origin.x + 70, origin.y + 174).withAlpha (1.0f), juce::Colour (0xff181825));   // panel body

    HostDisplay::clickOnScreen (origin + juce::Point<int> (60 + 480 - 195 + 45, 94 + 14 + 14));

    ASSERT_TRUE (PluginHost::pumpUntil ([&]
    {
        const auto chain = sectionsOf (PluginHost::getPersistentState (*player.instance));
        return chain.getNumChildren() > 0 && chain.getChild (0).getProperty ("name").toString() == "A";
    }, 20000));

    const auto state = PluginHost::getPersistentState (*player.instance);
    EXPECT_FALSE ((bool) state.getProperty ("moodVisible"));   // the panel closed itself
    EXPECT_EQ ((int) state.getProperty ("selectedSectionViewIndex"), 0);

    const auto chain = sectionsOf (state);
    ASSERT_GE (chain.getNumChildren(), 1);
    ASSERT_LE (chain.getNumChildren(), 5);
    juce::StringArray progressions;
    for (int i = 0; i < chain.getNumChildren(); ++i)
    {
        const auto section = chain.getChild (i);
        EXPECT_EQ (section.getProperty ("name").toString(), juce::String::charToString ((juce::juce_wchar) ('A' + i)));
        EXPECT_EQ (section.getProperty ("scale").toString(), "Lydian");   // Space, the stored mood
        const auto progression = section.getProperty ("progression").toString();
        EXPECT_TRUE (progression.isNotEmpty());
        EXPECT_FALSE (progressions.contains (progression)) << progression;
        progressions.add (progression);
    }

    editor->removeFromDesktop();
    editor.reset();
    PluginHost::pumpMessages (300);

    // What plays is what an instance holding only the first new section plays.
    HostedPlayback reference (chunkOfOnly (chain.getChild (0)));
    ASSERT_NE (reference.instance, nullptr);
    const auto expected = playBarsOnceCompiled (reference, 16);
    ASSERT_FALSE (expected.empty());
    EXPECT_NE (expected, before);

    Events after;
    EXPECT_TRUE (PluginHost::pumpUntil ([&]
    {
        after = player.playBars (16);
        return after == expected;
    }, 20000));
    EXPECT_EQ (after, expected);
}
