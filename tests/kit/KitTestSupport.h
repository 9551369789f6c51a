#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

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

// Gives a component on the display the keyboard focus (its window, already added to the
// desktop, or a child of it), asking again until the display server has mapped the window and
// granted it: on a busy machine or under a sanitizer that can take far longer than usual.
// Returns whether the focus arrived.
inline bool takeKeyboardFocus (juce::Component& target)
{
    return pumpMessagesUntil ([&target]
    {
        if (! target.hasKeyboardFocus (true) && target.isShowing())
            target.grabKeyboardFocus();

        return target.hasKeyboardFocus (true);
    });
}

// A gate that holds whoever waits on it until the test opens it (or, as a bound, the time is
// up): a server's answer can be held back exactly as long as a test needs, instead of for a
// fixed time.
class Gate
{
public:
    void open()
    {
        {
            const std::lock_guard<std::mutex> sl (lock);
            isOpen = true;
        }
        changed.notify_all();
    }

    // True when the gate was opened, false when the time ran out.
    bool waitUntilOpen (int timeoutMs = 20000)
    {
        std::unique_lock<std::mutex> sl (lock);
        return changed.wait_for (sl, std::chrono::milliseconds (timeoutMs), [this] { return isOpen; });
    }

private:
    std::mutex lock;
    std::condition_variable changed;
    bool isOpen = false;
};

inline juce::File settingsFolder()
{
    return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory).getChildFile ("VELMAR/Corvessa");
}

inline juce::File settingsFile()
{
    return settingsFolder().getChildFile ("settings.json");
}

} // namespace kittest
