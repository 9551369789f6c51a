#include "kit/platform/WebAddressOpener.h"

#include <mutex>

#if JUCE_LINUX || JUCE_BSD
 #include <spawn.h>
 #include <sys/wait.h>
 #include <thread>
 extern char** environ;
#endif

namespace velmar
{

namespace
{
    std::mutex launcherLock;
    std::function<bool (const juce::String&)> testLauncher;

    bool launchWithPlatform (const juce::String& address)
    {
       #if JUCE_LINUX || JUCE_BSD
        // xdg-open receives the address as one argument; no shell ever sees it.
        std::string program = "xdg-open";
        std::string argument = address.toStdString();
        char* argv[] = { program.data(), argument.data(), nullptr };

        pid_t pid = -1;
        if (posix_spawnp (&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0)
            return false;

        // Reap the opener when it ends so that it does not linger as a zombie.
        std::thread ([pid] { int status = 0; ::waitpid (pid, &status, 0); }).detach();
        return true;
       #else
        return juce::URL (address).launchInDefaultBrowser();
       #endif
    }
} // namespace

bool isOpenableWebAddress (const juce::String& address)
{
    if (address.isEmpty() || address.length() > 4096)
        return false;

    for (auto c : address)
        if (c <= 32 || c == 127)
            return false;

    juce::String rest;

    if (address.startsWithIgnoreCase ("https://"))
        rest = address.substring (8);
    else if (address.startsWithIgnoreCase ("http://"))
        rest = address.substring (7);
    else
        return false;

    const auto authority = rest.upToFirstOccurrenceOf ("/", false, false)
                               .upToFirstOccurrenceOf ("?", false, false)
                               .upToFirstOccurrenceOf ("#", false, false);
    const auto host = authority.fromLastOccurrenceOf ("@", false, false);

    return host.isNotEmpty() && ! host.startsWithChar (':');
}

bool openWebAddress (const juce::String& address)
{
    if (! isOpenableWebAddress (address))
        return false;

    std::function<bool (const juce::String&)> fake;
    {
        const std::lock_guard<std::mutex> sl (launcherLock);
        fake = testLauncher;
    }

    if (fake != nullptr)
        return fake (address);

    return launchWithPlatform (address);
}

bool launchSystemOpener (const juce::String& target)
{
    return launchWithPlatform (target);
}

void setWebAddressLauncherForTesting (std::function<bool (const juce::String&)> launcher)
{
    const std::lock_guard<std::mutex> sl (launcherLock);
    testLauncher = std::move (launcher);
}

} // namespace velmar
