#include "support/MessagePump.h"

#include <juce_events/juce_events.h>

namespace juce { extern bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages); }

namespace corvessa::test
{

void pumpMessagesFor (int milliseconds)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) milliseconds;
    while (juce::Time::getMillisecondCounter() < end)
        if (! juce::dispatchNextMessageOnSystemQueue (true))
            juce::Thread::sleep (5);
}

bool pumpMessagesUntil (const std::function<bool()>& condition, int milliseconds)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) milliseconds;
    while (! condition())
    {
        if (juce::Time::getMillisecondCounter() >= end)
            return false;
        pumpMessagesFor (10);
    }
    return true;
}

} // namespace corvessa::test
