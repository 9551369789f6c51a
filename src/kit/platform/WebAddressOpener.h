#pragma once

#include <juce_core/juce_core.h>

#include <functional>

namespace velmar
{

// True for an absolute http or https address with a host and no blanks or control
// characters; nothing else is ever handed to the browser.
bool isOpenableWebAddress (const juce::String& address);

// Opens an http or https address in the user's default browser. Other addresses are refused
// (false). On Linux the opener is started directly, never through a shell, so a hostile link
// (from the update feed, say) cannot run commands.
bool openWebAddress (const juce::String& address);

// Starts the platform's opener with `target` (an address or a local path) as its one argument,
// never through a shell. No check of the target, and the test launcher below is not consulted:
// callers check what they hand over. Message thread.
bool launchSystemOpener (const juce::String& target);

// Tests replace the platform's launcher with a fake; an empty function restores it.
void setWebAddressLauncherForTesting (std::function<bool (const juce::String&)> launcher);

} // namespace velmar
