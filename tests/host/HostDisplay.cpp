#include "HostDisplay.h"

#include "PluginHost.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
constexpr const char* onDisplayVariable = "CORVESSA_HOSTED_EDITOR_ON_DISPLAY";

juce::File getScreenshotFolder()
{
    juce::File folder (CORVESSA_SCREENSHOT_DIR);
    folder.createDirectory();
    return folder;
}
} // namespace

namespace HostDisplay
{
juce::String runToEnd (const juce::StringArray& command, int timeoutMs, int* exitCode)
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

bool isOnPrivateDisplay (const juce::String& testName)
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
                                        self.getFullPathName(), "--gtest_filter=" + testName },
                                      150000, &exitCode);
        ::unsetenv (onDisplayVariable);
        EXPECT_EQ (exitCode, 0) << output;
        EXPECT_TRUE (output.contains ("[  PASSED  ] 1 test")) << output;
        return false;
    }

    ::setenv ("DISPLAY", std::getenv (onDisplayVariable), 1);

    // A window of our own on a server without a window manager needs the framework's X error
    // handler, which it installs for applications only.
    juce::JUCEApplicationBase::createInstance = [] () -> juce::JUCEApplicationBase* { return nullptr; };
    return true;
}

std::unique_ptr<juce::AudioProcessorEditor> showEditor (juce::AudioPluginInstance& instance)
{
    std::unique_ptr<juce::AudioProcessorEditor> editor (instance.createEditorIfNeeded());
    if (editor == nullptr)
        return nullptr;

    editor->setTopLeftPosition (30, 30);
    editor->addToDesktop (juce::ComponentPeer::windowIsTemporary);
    editor->setVisible (true);
    PluginHost::pumpMessages (1500);
    return editor;
}

// The pointer moved to a point of the screen and a button pressed there, through the X server.
static void pressOnScreen (juce::Point<int> position, int button)
{
    runToEnd ({ "xdotool", "mousemove", juce::String (position.x), juce::String (position.y) }, 10000);
    PluginHost::pumpMessages (100);
    runToEnd ({ "xdotool", "click", juce::String (button) }, 10000);
    PluginHost::pumpMessages (200);
}

void clickOnScreen (juce::Point<int> position)
{
    pressOnScreen (position, 1);
}

void pressAt (juce::Component& window, juce::Point<int> at, int button)
{
    pressOnScreen (window.getScreenPosition() + at, button);
}

void closeEditor (std::unique_ptr<juce::AudioProcessorEditor>& editor)
{
    editor->removeFromDesktop();
    editor.reset();
    PluginHost::pumpMessages (300);
}

juce::Image screenshot (const juce::String& name)
{
    const auto file = getScreenshotFolder().getChildFile (name + ".png");
    file.deleteFile();
    runToEnd ({ "import", "-window", "root", file.getFullPathName() }, 20000);
    return juce::ImageFileFormat::loadFrom (file);
}

void markWelcomeSeen()
{
    const auto settings = juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory)
                              .getChildFile ("VELMAR/Corvessa/settings.json");
    ASSERT_TRUE (settings.getParentDirectory().createDirectory());
    ASSERT_TRUE (settings.replaceWithText (R"({"schema": 1, "telemetry": {"welcome_version": "2026-08-26"}})"));
}
} // namespace HostDisplay
