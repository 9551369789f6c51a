#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

// Hosted windows on a real display. Such a test runs again as a child of this executable on a
// private Xvfb server, where the hosted plug-in draws into a real window and takes real input.
namespace HostDisplay
{
// Runs a command to its end (or the time limit) while serving the host's messages; its output.
juce::String runToEnd (const juce::StringArray& command, int timeoutMs, int* exitCode = nullptr);

// In the test process: runs `testName` again in a child on a private display, checks that it
// passed, and returns false. In that child: points the process at the display, lets it open
// windows of its own, and returns true, so the test goes on there.
bool isOnPrivateDisplay (const juce::String& testName);

// The instance's window as a host opens it, on screen at (30, 30) once it has settled; null
// when the instance has none.
std::unique_ptr<juce::AudioProcessorEditor> showEditor (juce::AudioPluginInstance& instance);

// The left button clicked at a point of the screen, through the X server as a user clicks.
void clickOnScreen (juce::Point<int> position);

// The pointer moved to a point of the window and a button pressed there (1 left, 4 wheel up),
// as the user does it: through the X server, into the plug-in's own window.
void pressAt (juce::Component& window, juce::Point<int> at, int button = 1);

// Takes a window shown by showEditor off the display and deletes it, letting its delayed calls
// find it gone.
void closeEditor (std::unique_ptr<juce::AudioProcessorEditor>& editor);

// A picture of the whole screen, also written to the screenshot folder as <name>.png.
juce::Image screenshot (const juce::String& name);

// Writes the settings a past "Continue" on the first-run card leaves, so that the window itself
// is on screen when it opens.
void markWelcomeSeen();
} // namespace HostDisplay
