#include "projects/FolderOpener.h"

#include "kit/platform/WebAddressOpener.h"

namespace
{
    // Set and used on the message thread only.
    std::function<bool (const juce::File&)>& testOpener()
    {
        static std::function<bool (const juce::File&)> opener;
        return opener;
    }
} // namespace

bool openFolderInFileManager (const juce::File& folder)
{
    if (! folder.isDirectory())
        return false;

    if (testOpener() != nullptr)
        return testOpener() (folder);

   #if JUCE_LINUX || JUCE_BSD
    // The system's opener shows a folder in the file manager as it shows an address in the browser.
    return velmar::launchSystemOpener (folder.getFullPathName());
   #else
    return folder.startAsProcess();
   #endif
}

void setFolderOpenerForTesting (std::function<bool (const juce::File&)> opener)
{
    testOpener() = std::move (opener);
}
