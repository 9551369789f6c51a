#include "kit/platform/NamedProcessLock.h"

#include "kit/platform/UserDataPaths.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace velmar
{

namespace
{
    // Lock names may hold any text; the file name keeps the harmless characters and, when
    // anything had to be replaced, a hash of the whole name so that two different names never
    // share a file.
    juce::String fileNameForLock (const juce::String& lockName)
    {
        juce::String safe;
        bool replaced = false;

        for (auto c : lockName)
        {
            if (juce::CharacterFunctions::isLetterOrDigit (c) && c < 128)
                safe << juce::String::charToString (c);
            else if (c == '.' || c == '-' || c == '_')
                safe << juce::String::charToString (c);
            else
            {
                safe << "_";
                replaced = true;
            }
        }

        if (safe.isEmpty() || safe.startsWithChar ('.'))
        {
            safe = "_" + safe;
            replaced = true;
        }

        if (replaced)
        {
            juce::uint64 hash = 14695981039346656037ull;
            for (auto c : lockName)
                hash = (hash ^ (juce::uint64) c) * 1099511628211ull;
            safe << "-" << juce::String::toHexString ((juce::int64) hash);
        }

        return safe.substring (0, 180) + ".lock";
    }

    bool tryFlock (int handle, bool wait)
    {
        for (;;)
        {
            if (::flock (handle, LOCK_EX | (wait ? 0 : LOCK_NB)) == 0)
                return true;

            if (errno != EINTR)
                return false;
        }
    }
} // namespace

NamedProcessLock::NamedProcessLock (const juce::String& lockName) : name (lockName) {}

NamedProcessLock::~NamedProcessLock()
{
    exit();
}

juce::File NamedProcessLock::getLockFile (const juce::String& lockName)
{
    return getUserApplicationDataFile ("VELMAR/locks").getChildFile (fileNameForLock (lockName));
}

bool NamedProcessLock::enter (int timeoutMs)
{
    if (isHeld())
        return true;

    const auto file = getLockFile (name);

    if (! file.getParentDirectory().createDirectory())
        return false;

    const int handle = ::open (file.getFullPathName().toRawUTF8(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);

    if (handle < 0)
        return false;

    bool locked = false;

    if (timeoutMs < 0)
    {
        locked = tryFlock (handle, true);
    }
    else
    {
        // flock() has no time-out of its own: poll, with short naps that grow a little.
        const auto deadline = juce::Time::getMillisecondCounterHiRes() + timeoutMs;
        int napMs = 1;

        for (;;)
        {
            if (tryFlock (handle, false))
            {
                locked = true;
                break;
            }

            if (errno != EWOULDBLOCK)
                break;

            const auto remaining = deadline - juce::Time::getMillisecondCounterHiRes();

            if (remaining <= 0.0)
                break;

            juce::Thread::sleep (std::max (1, std::min (napMs, (int) remaining)));
            napMs = std::min (napMs * 2, 10);
        }
    }

    if (! locked)
    {
        ::close (handle);
        return false;
    }

    fileHandle = handle;
    return true;
}

void NamedProcessLock::exit()
{
    if (fileHandle < 0)
        return;

    // The file stays: deleting it would let a waiter lock a file that is no longer the one
    // the next opener finds.
    ::flock (fileHandle, LOCK_UN);
    ::close (fileHandle);
    fileHandle = -1;
}

} // namespace velmar
