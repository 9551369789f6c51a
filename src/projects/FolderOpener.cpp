#include "projects/FolderOpener.h"

#include <mutex>

#if JUCE_LINUX || JUCE_BSD
 #include <spawn.h>
 #include <sys/wait.h>
 #include <thread>
 extern char** environ;
#endif

namespace
{
    std::mutex openerLock;
    std::function<bool (const juce::File&)> testOpener;

    bool openWithPlatform (const juce::File& folder)
    {
       #if JUCE_LINUX || JUCE_BSD
        std::string program = "xdg-open";
        std::string argument = folder.getFullPathName().toStdString();
        char* argv[] = { program.data(), argument.data(), nullptr };

        pid_t pid = -1;
        if (posix_spawnp (&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0)
            return false;

        // Reap the opener when it ends so that it does not linger as a zombie.
        std::thread ([pid] { int status = 0; ::waitpid (pid, &status, 0); }).detach();
        return true;
       #else
        return folder.startAsProcess();
       #endif
    }
} // namespace

bool openFolderInFileManager (const juce::File& folder)
{
    if (! folder.isDirectory())
        return false;

    std::function<bool (const juce::File&)> fake;
    {
        const std::lock_guard<std::mutex> sl (openerLock);
        fake = testOpener;
    }

    if (fake != nullptr)
        return fake (folder);

    return openWithPlatform (folder);
}

void setFolderOpenerForTesting (std::function<bool (const juce::File&)> opener)
{
    const std::lock_guard<std::mutex> sl (openerLock);
    testOpener = std::move (opener);
}
