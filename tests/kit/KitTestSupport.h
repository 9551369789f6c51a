#pragma once

#include <juce_events/juce_events.h>

#include <functional>

namespace juce
{
    // The framework's own message pump, not declared in its public headers.
    bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

namespace kittest
{

// Serves the message queue until the condition holds or the time is up (a bound, never a
// speed requirement); returns the condition.
inline bool pumpMessagesUntil (const std::function<bool()>& condition, int timeoutMs = 20000)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;

    for (;;)
    {
        while (juce::dispatchNextMessageOnSystemQueue (true)) {}

        if (condition())
            return true;

        if (juce::Time::getMillisecondCounter() >= deadline)
            return false;

        juce::Thread::sleep (2);
    }
}

// Serves the messages that are already waiting, for about the given time.
inline void pumpMessagesFor (int milliseconds)
{
    pumpMessagesUntil ([] { return false; }, milliseconds);
}

inline juce::File settingsFolder()
{
    return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory).getChildFile ("VELMAR/Corvessa");
}

inline juce::File settingsFile()
{
    return settingsFolder().getChildFile ("settings.json");
}

} // namespace kittest
