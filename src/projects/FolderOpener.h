#pragma once

#include <juce_core/juce_core.h>

#include <functional>

// Shows a folder in the system's file manager. On Linux xdg-open receives the folder's path as
// its one argument and is started directly, never through a shell, so no character of a path
// can become a command. False when the folder is not a directory or the opener cannot start.
// Message thread.
bool openFolderInFileManager (const juce::File& folder);

// Tests replace the platform's opener with a fake; an empty function restores it.
void setFolderOpenerForTesting (std::function<bool (const juce::File&)> opener);
