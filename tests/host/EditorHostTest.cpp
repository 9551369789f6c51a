// The built plug-in's window as a host opens it: through the VST3 view, at the canvas size,
// again after closing, drawn into a real host window on a display, and used there: what the
// user changes in the window is heard in the MIDI the transport plays next.
#include "HostedPlayback.h"
#include "PluginHost.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
constexpr const char* onDisplayVariable = "CORVESSA_HOSTED_EDITOR_ON_DISPLAY";

juce::String runToEnd (const juce::StringArray& command, int timeoutMs, int* exitCode = nullptr)
{
    juce::ChildProcess process;
    if (! process.start (command))
        return "<could not start " + command[0] + ">";

    juce::String output;
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
    while (process.isRunning() && juce::Time::getMillisecondCounter() < end)
    {
        output += process.readAllProcessOutput();
        PluginHost::pumpMessages (20);
    }
    output += process.readAllProcessOutput();
    if (exitCode != nullptr)
        *exitCode = process.isRunning() ? -1 : (int) process.getExitCode();
    process.kill();
    return output;
}

juce::File getScreenshotFolder()
{
    juce::File folder (CORVESSA_SCREENSHOT_DIR);
    folder.createDirectory();
    return folder;
}

// A test that needs a display runs itself again as a child on a private X server. Returns true
// in that child, which then does the work on the display; in the parent it checks the child's
// outcome and returns false.
bool runsOnPrivateDisplay (const char* testName)
{
    if (std::getenv (onDisplayVariable) != nullptr)
    {
        ::setenv ("DISPLAY", std::getenv (onDisplayVariable), 1);

        // A window of our own on a server without a window manager needs the framework's X
        // error handler, which it installs for applications only.
        juce::JUCEApplicationBase::createInstance = [] () -> juce::JUCEApplicationBase* { return nullptr; };

        // The first-run card has been seen (the settings file a past "Continue" leaves), so
        // the window itself is on screen.
        const auto settings = juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory)
                                  .getChildFile ("VELMAR/Corvessa/settings.json");
        EXPECT_TRUE (settings.getParentDirectory().createDirectory());
        EXPECT_TRUE (settings.replaceWithText (R"({"schema": 1, "telemetry": {"welcome_version": "2026-08-26"}})"));
        return true;
    }

    const auto withXvfb = juce::File (CORVESSA_TEST_DATA_DIR).getSiblingFile ("support").getChildFile ("with-xvfb.sh");
    const auto self = juce::File::getSpecialLocation (juce::File::currentExecutableFile);
    ::setenv (onDisplayVariable, "1", 1);
    int exitCode = -1;
    // The test main points every headless process at a display nothing serves; the child is
    // told the private server's display in a variable of its own.
    const auto output = runToEnd ({ withXvfb.getFullPathName(), "/bin/sh", "-c",
                                    juce::String ("exec env ") + onDisplayVariable + "=\"$DISPLAY\" \"$0\" \"$1\"",
                                    self.getFullPathName(), juce::String ("--gtest_filter=HostedEditor.") + testName },
                                  120000, &exitCode);
    ::unsetenv (onDisplayVariable);
    EXPECT_EQ (exitCode, 0) << output;
    EXPECT_TRUE (output.contains ("[  PASSED  ] 1 test")) << output;
    return false;
}

// The instance's window shown on the display at (30, 30), as a host window holding it.
std::unique_ptr<juce::AudioProcessorEditor> showWindow (juce::AudioPluginInstance& instance)
{
    std::unique_ptr<juce::AudioProcessorEditor> editor (instance.createEditorIfNeeded());
    if (editor == nullptr)
        return {};

    editor->setTopLeftPosition (30, 30);
    editor->addToDesktop (juce::ComponentPeer::windowIsTemporary);
    editor->setVisible (true);
    PluginHost::pumpMessages (1500);
    return editor;
}

void closeWindow (std::unique_ptr<juce::AudioProcessorEditor>& editor)
{
    editor->removeFromDesktop();
    editor.reset();
    PluginHost::pumpMessages (300);
}

// The pointer moved to a point of the window and a button pressed there (1 left, 4 wheel up),
// as the user does it: through the X server, into the plug-in's own window.
void pressAt (juce::Component& window, juce::Point<int> at, int button)
{
    const auto p = window.getScreenPosition() + at;
    runToEnd ({ "xdotool", "mousemove", juce::String (p.x), juce::String (p.y) }, 10000);
    PluginHost::pumpMessages (100);
    runToEnd ({ "xdotool", "click", juce::String (button) }, 10000);
    PluginHost::pumpMessages (200);
}
} // namespace

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
    if (! runsOnPrivateDisplay ("DrawsIntoTheHostWindowOnADisplay"))
        return;

    auto instance = PluginHost::createInstance();
    ASSERT_NE (instance, nullptr);
    auto editor = showWindow (*instance);
    ASSERT_NE (editor, nullptr);

    const auto file = getScreenshotFolder().getChildFile ("host-editor.png");
    file.deleteFile();
    runToEnd ({ "import", "-window", "root", file.getFullPathName() }, 20000);
    const auto screen = juce::ImageFileFormat::loadFrom (file);
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

    closeWindow (editor);
}

// One section "C": Bass 60 on channel 2, Body 60 64 67 on channel 3. The window opens on the
// Body tab. A wheel step up on the Body octave knob moves the Body an octave up; the Bass tab
// and its "+Oct" toggle add a lower octave to the Bass. Each is heard when the transport next
// starts the song. The points are where the window lays those controls out at 100 %.
TEST (HostedEditor, ControlsUsedInTheWindowAreHeardWhenTheSongPlays)
{
    if (! runsOnPrivateDisplay ("ControlsUsedInTheWindowAreHeardWhenTheSongPlays"))
        return;

    HostedPlayback host (R"(
<CorvessaState>
  <PersistentState>
    <Sections><SectionChain><Section name="A" progression="C"/></SectionChain></Sections>
  </PersistentState>
</CorvessaState>)");
    ASSERT_NE (host.instance, nullptr);
    auto editor = showWindow (*host.instance);
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

    pressAt (*editor, bodyOctaveKnob, 4);
    EXPECT_TRUE (heard (3, { 72, 76, 79 }));
    EXPECT_TRUE (heard (2, { 60 }));

    pressAt (*editor, bassTab, 1);
    pressAt (*editor, bassAddOctave, 1);
    EXPECT_TRUE (heard (2, { 48, 60 }));
    EXPECT_TRUE (heard (3, { 72, 76, 79 }));

    // The song the host saves holds what the window changed.
    const auto section = PluginHost::getPersistentState (*host.instance)
                             .getChildWithName ("Sections").getChild (0).getChild (0);
    EXPECT_EQ ((int) section.getProperty ("bodyOctave"), 1);
    EXPECT_EQ ((int) section.getProperty ("arrangeBassAddOctave"), 1);

    closeWindow (editor);
}
