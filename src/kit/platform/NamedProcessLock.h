#pragma once

#include <juce_core/juce_core.h>

namespace velmar
{

// A lock shared by every process of this user that uses the same name, and also by two
// users of the name inside one process (each object holds a lock of its own; two objects
// of one name exclude each other like two processes do).
//
// juce::InterProcessLock is not enough on Linux: two objects of one name in one process
// both get the lock, and it reports success when its lock file cannot be opened. This one
// is an flock() on a per-user lock file below the user's application-data folder
// ("VELMAR/locks"), so it also goes away by itself when a holder crashes.
class NamedProcessLock
{
public:
    explicit NamedProcessLock (const juce::String& lockName);
    ~NamedProcessLock();

    // Waits at most timeoutMs for the lock (a negative time-out waits without limit, 0 tries
    // once). Returns true when the lock is held afterwards; false on time-out or when the
    // lock file cannot be opened or locked. Entering a lock this object already holds
    // returns true at once (not counted: one exit releases it).
    bool enter (int timeoutMs = -1);

    // Releases the lock when held.
    void exit();

    bool isHeld() const noexcept { return fileHandle >= 0; }
    const juce::String& getName() const noexcept { return name; }

    // The lock file that stands for a name (its folder is created on the first enter).
    static juce::File getLockFile (const juce::String& lockName);

private:
    juce::String name;
    int fileHandle = -1;

    JUCE_DECLARE_NON_COPYABLE (NamedProcessLock)
};

// Enters on construction, exits on destruction; check isLocked() before using what it guards.
class ScopedNamedProcessLock
{
public:
    ScopedNamedProcessLock (NamedProcessLock& lockToUse, int timeoutMs = -1)
        : lock (lockToUse), locked (lockToUse.enter (timeoutMs)) {}

    ~ScopedNamedProcessLock()
    {
        if (locked)
            lock.exit();
    }

    bool isLocked() const noexcept { return locked; }

private:
    NamedProcessLock& lock;
    const bool locked;

    JUCE_DECLARE_NON_COPYABLE (ScopedNamedProcessLock)
};

} // namespace velmar
