#pragma once

#include <juce_core/juce_core.h>

#include <functional>

// The millisecond counter the window's timed texts are measured with: the framework's counter,
// which wraps after about 49.7 days. Tests put a clock of their own in its place. Message
// thread only.
namespace EditorClock
{
juce::uint32 now();

// Replaces the counter (an empty function restores the framework's).
void setSourceForTesting (std::function<juce::uint32()> source);
} // namespace EditorClock
