// The built plug-in's window as a host opens it: through the VST3 view, at the canvas size,
// again after closing, and drawn into a real host window on a display.
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
    if (std::getenv (onDisplayVariable) == nullptr)
    {
        const auto withXvfb = juce::File (CORVESSA_TEST_DATA_DIR).getSiblingFile ("support").getChildFile ("with-xvfb.sh");
        const auto self = juce::File::getSpecialLocation (juce::File::currentExecutableFile);
        ::setenv (onDisplayVariable, "1", 1);
        int exitCode = -1;
        // The test main points every headless process at a display nothing serves; the child
        // is told the private server's display in a variable of its own.
        const auto output = runToEnd ({ withXvfb.getFullPathName(), "/bin/sh", "-c",
                                        juce::String ("exec env ") + onDisplayVariable + "=\"$DISPLAY\" \"$0\" \"$1\"",
                                        self.getFullPathName(), "--gtest_filter=HostedEditor.DrawsIntoTheHostWindowOnADisplay" },
                                      120000, &exitCode);
        ::unsetenv (onDisplayVariable);
        EXPECT_EQ (exitCode, 0) << output;
        EXPECT_TRUE (output.contains ("[  PASSED  ] 1 test")) << output;
        return;
    }

    ::setenv ("DISPLAY", std::getenv (onDisplayVariable), 1);

    // A window of our own on a server without a window manager needs the framework's X error
    // handler, which it installs for applications only.
    juce::JUCEApplicationBase::createInstance = [] () -> juce::JUCEApplicationBase* { return nullptr; };

    // The first-run card has been seen (the settings file a past "Continue" leaves), so the
    // window itself is on screen.
    const auto settings = juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory)
                              .getChildFile ("VELMAR/Corvessa/settings.json");
    ASSERT_TRUE (settings.getParentDirectory().createDirectory());
    ASSERT_TRUE (settings.replaceWithText (R"({"schema": 1, "telemetry": {"welcome_version": "2026-08-26"}})"));

    auto instance = PluginHost::createInstance();
    ASSERT_NE (instance, nullptr);
    std::unique_ptr<juce::AudioProcessorEditor> editor (instance->createEditorIfNeeded());
    ASSERT_NE (editor, nullptr);

    editor->setTopLeftPosition (30, 30);
    editor->addToDesktop (juce::ComponentPeer::windowIsTemporary);
    editor->setVisible (true);
    PluginHost::pumpMessages (1500);

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

    editor->removeFromDesktop();
    editor.reset();
    PluginHost::pumpMessages (300);
}
