#include "kit/UnansweredNameLookup.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <dlfcn.h>
#include <mutex>
#include <netdb.h>

namespace
{
std::mutex lookupLock;
std::condition_variable lookupChanged;
int blocked = 0;
unsigned long releaseRound = 0;

using LookupFunction = int (*) (const char*, const char*, const addrinfo*, addrinfo**);

LookupFunction systemLookup()
{
    static const auto next = reinterpret_cast<LookupFunction> (::dlsym (RTLD_NEXT, "getaddrinfo"));
    return next;
}
} // namespace

// libcurl's resolver thread calls this instead of the C library's function.
extern "C" int getaddrinfo (const char* node, const char* service, const addrinfo* hints, addrinfo** result) noexcept
{
    if (node == nullptr || std::strcmp (node, kittest::unansweredHostName) != 0)
        return systemLookup() (node, service, hints, result);

    std::unique_lock<std::mutex> sl (lookupLock);
    const auto round = releaseRound;
    ++blocked;
    lookupChanged.notify_all();
    lookupChanged.wait_for (sl, std::chrono::seconds (20), [round] { return releaseRound != round; });
    --blocked;
    lookupChanged.notify_all();
    return EAI_AGAIN;
}

namespace kittest
{
namespace UnansweredNameLookup
{
int pending()
{
    const std::lock_guard<std::mutex> sl (lookupLock);
    return blocked;
}

bool waitUntilPending (int timeoutMs)
{
    std::unique_lock<std::mutex> sl (lookupLock);
    return lookupChanged.wait_for (sl, std::chrono::milliseconds (timeoutMs), [] { return blocked > 0; });
}

bool releaseAll (int timeoutMs)
{
    std::unique_lock<std::mutex> sl (lookupLock);
    ++releaseRound;
    lookupChanged.notify_all();
    return lookupChanged.wait_for (sl, std::chrono::milliseconds (timeoutMs), [] { return blocked == 0; });
}
} // namespace UnansweredNameLookup
} // namespace kittest
