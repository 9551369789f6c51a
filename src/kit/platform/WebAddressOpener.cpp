#include "kit/platform/WebAddressOpener.h"

#include <mutex>

#if JUCE_LINUX || JUCE_BSD
 #include <cerrno>
 #include <cstdlib>
 #include <string>
 #include <sys/wait.h>
 #include <unistd.h>
 extern char** environ;
#endif

namespace velmar
{

namespace
{
    std::mutex launcherLock;
    std::function<bool (const juce::String&)> testLauncher;

   #if JUCE_LINUX || JUCE_BSD
    // The opener program found on the PATH, as an absolute path: the process that starts it
    // may do nothing but start it.
    std::string findOpener()
    {
        const auto* path = std::getenv ("PATH");
        const auto folders = juce::StringArray::fromTokens (path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin", ":", "");

        for (const auto& folder : folders)
        {
            if (! juce::File::isAbsolutePath (folder))
                continue;

            const auto candidate = juce::File (folder).getChildFile ("xdg-open");

            if (candidate.existsAsFile() && ::access (candidate.getFullPathName().toRawUTF8(), X_OK) == 0)
                return candidate.getFullPathName().toStdString();
        }

        return {};
    }
   #endif

    bool launchWithPlatform (const juce::String& address)
    {
       #if JUCE_LINUX || JUCE_BSD
        // The opener may run as long as the browser it starts. Nothing of the plug-in may wait
        // for it (a host can unload the plug-in meanwhile, and a thread of ours left waiting
        // would then run code that is gone), and it must not linger as our zombie either. So
        // it is started by a short-lived middle process that exits at once: the opener is then
        // the system's child, and we only wait for the middle one. Between fork and exec the
        // processes call nothing but fork, execve and _exit, which is safe in a process with
        // many threads. xdg-open receives the address as one argument; no shell ever sees it.
        const auto program = findOpener();

        if (program.empty())
            return false;

        std::string name = "xdg-open";
        std::string argument = address.toStdString();
        char* argv[] = { name.data(), argument.data(), nullptr };

        const pid_t middle = ::fork();

        if (middle < 0)
            return false;

        if (middle == 0)
        {
            const pid_t opener = ::fork();

            if (opener == 0)
            {
                ::execve (program.c_str(), argv, environ);
                ::_exit (127);
            }

            ::_exit (opener < 0 ? 1 : 0);
        }

        int status = 0;
        pid_t waited = -1;

        do
        {
            waited = ::waitpid (middle, &status, 0);
        }
        while (waited < 0 && errno == EINTR);

        // A host that reaps every child itself may have taken the status first.
        return waited < 0 || (WIFEXITED (status) && WEXITSTATUS (status) == 0);
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
