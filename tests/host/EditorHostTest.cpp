// The built plug-in's window as a host opens it: through the VST3 view, at the canvas size,
// again after closing, drawn into a real host window on a display, and used there: what the
// user changes in the window is heard in the MIDI the transport plays next.
#include "HostedPlayback.h"
#include "PluginHost.h"

#include "HostDisplay.h"

#include <gtest/gtest.h>

TEST (HostedEditor, OpensAtTheCanvasSizeAgainAndAgain)
{
    auto instance = PluginHost::createInstance();
    ASSERT_NE (instance, nullptr);
    ASSERT_TRUE (instance->hasEditor());

    for (int opening = 0; opening < 2; ++opening)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (instance->createEditorIfNeeded());
        ASSERT_NE (editor, nullptr) << opening;
        PluginHost::pumpMessages (100);
        EXPECT_EQ (editor->getWidth(), 600) << opening;
        EXPECT_EQ (editor->getHeight(), 860) << opening;
        editor.reset();
        PluginHost::pumpMessages (300);   // the window's delayed calls find it gone
    }

    // The instance plays on without a window.
    juce::AudioBuffer<float> audio (2, 512);
    juce::MidiBuffer midi;
    instance->processBlock (audio, midi);
}

// Shown on a private display in a child run of this test, the plug-in draws its window into the
// host's: the screen holds the canvas colours where the host window stands.
TEST (HostedEditor, DrawsIntoTheHostWindowOnADisplay)
{
    if (! HostDisplay::isOnPrivateDisplay ("HostedEditor.DrawsIntoTheHostWindowOnADisplay"))
        return;

    HostDisplay::markWelcomeSeen();

    auto instance = PluginHost::createInstance();
    ASSERT_NE (instance, nullptr);
    auto editor = HostDisplay::showEditor (*instance);
    ASSERT_NE (editor, nullptr);

    const auto screen = HostDisplay::screenshot ("host-editor");
    ASSERT_TRUE (screen.isValid());

    const auto origin = editor->getScreenPosition();
    const auto at = [&] (int x, int y) { return screen.getPixelAt (origin.x + x, origin.y + y).withAlpha (1.0f); };
    EXPECT_EQ (at (5, 150), juce::Colour (0xff1e1e2e));     // window background
    EXPECT_EQ (at (14, 150), juce::Colour (0xff313244));    // sections card
    EXPECT_EQ (at (300, 55), juce::Colour (0xff585b70));    // header separator
    EXPECT_EQ (at (14, 828), juce::Colour (0xff313244));    // status card

    int titleInk = 0;
    for (int y = 24; y < 58; ++y)
        for (int x = 10; x < 170; ++x)
            if (at (x, y).getPerceivedBrightness() > 0.5f)
                ++titleInk;
    EXPECT_GT (titleInk, 50);   // "CORVESSA" is drawn

    HostDisplay::closeEditor (editor);
}

// One section "C": Bass 60 on channel 2, Body 60 64 67 on channel 3. The window opens on the
// Body tab. A wheel step up on the Body octave knob moves the Body an octave up; the Bass tab
// and its "+Oct" toggle add a lower octave to the Bass. Each is heard when the transport next
// starts the song. The points are where the window lays those controls out at 100 %.
TEST (HostedEditor, ControlsUsedInTheWindowAreHeardWhenTheSongPlays)
{
    if (! HostDisplay::isOnPrivateDisplay ("HostedEditor.ControlsUsedInTheWindowAreHeardWhenTheSongPlays"))
        return;

    HostDisplay::markWelcomeSeen();

    HostedPlayback host (R"(
<CorvessaState>
  <PersistentState>
    <Sections><SectionChain><Section name="A" progression="C"/></SectionChain></Sections>
  </PersistentState>
</CorvessaState>)");
    ASSERT_NE (host.instance, nullptr);
    auto editor = HostDisplay::showEditor (*host.instance);
    ASSERT_NE (editor, nullptr);

    using Notes = std::vector<int>;
    const auto firstBlock = host.firstBlockOnceCompiled();
    ASSERT_EQ (HostedPlayback::notesStruck (firstBlock, 2), (Notes { 60 }));
    ASSERT_EQ (HostedPlayback::notesStruck (firstBlock, 3), (Notes { 60, 64, 67 }));

    // Waits until the song, started again, strikes these notes on the channel.
    const auto heard = [&host] (int channel, const Notes& expected)
    {
        Notes struck;
        const bool found = PluginHost::pumpUntil ([&]
        {
            host.stop();
            struck = HostedPlayback::notesStruck (host.playAt (0.0), channel);
            return struck == expected;
        });
        if (found)
            return ::testing::AssertionSuccess();
        auto failure = ::testing::AssertionFailure() << "channel " << channel << " struck";
        for (auto n : struck)
            failure << " " << n;
        return failure;
    };

    const juce::Point<int> bodyOctaveKnob (158, 242), bassTab (55, 266), bassAddOctave (312, 227);

    HostDisplay::pressAt (*editor, bodyOctaveKnob, 4);
    EXPECT_TRUE (heard (3, { 72, 76, 79 }));
    EXPECT_TRUE (heard (2, { 60 }));

    HostDisplay::pressAt (*editor, bassTab, 1);
    HostDisplay::pressAt (*editor, bassAddOctave, 1);
    EXPECT_TRUE (heard (2, { 48, 60 }));
    EXPECT_TRUE (heard (3, { 72, 76, 79 }));

    // The song the host saves holds what the window changed.
    const auto section = PluginHost::getPersistentState (*host.instance)
                             .getChildWithName ("Sections").getChild (0).getChild (0);
    EXPECT_EQ ((int) section.getProperty ("bodyOctave"), 1);
    EXPECT_EQ ((int) section.getProperty ("arrangeBassAddOctave"), 1);

    HostDisplay::closeEditor (editor);
}
