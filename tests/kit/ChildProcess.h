#pragma once

// Runs a role of this test executable in a separate process: the child is this same binary,
// started with a gtest filter that selects the ChildProcessRole test and an environment
// variable naming the role, so that cross-process behaviour (named locks, concurrent settings
// writers) is tested against real processes.
#include <juce_core/juce_core.h>

#include <functional>

namespace kittest
{

// Registers a role; called from a static initialiser in the test file that owns the role.
bool registerChildRole (const char* name, std::function<int (const juce::StringArray& args)> role);

// Starts the role in a child process (its arguments are passed through the environment).
// Returns the child's pid, or -1.
int startChildRole (const juce::String& role, const juce::StringArray& args);

// Waits at most timeoutMs for the child; returns its exit code, or -1 on time-out or failure
// (a child that did not end in time is killed).
int waitForChild (int pid, int timeoutMs);

// Waits until a file exists, at most timeoutMs.
bool waitForFile (const juce::File& file, int timeoutMs);

} // namespace kittest
