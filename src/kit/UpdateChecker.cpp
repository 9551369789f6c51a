#include "kit/UpdateChecker.h"

namespace velmar
{

UpdateChecker::UpdateChecker (Config configToUse)
    : juce::Thread ("UpdateChecker"), config (std::move (configToUse))
{
}

UpdateChecker::~UpdateChecker()
{
    signalThreadShouldExit();
    http.cancel();
    stopThread (-1);
}

void UpdateChecker::checkForUpdates() { checkStarted = true; }
bool UpdateChecker::isUpdateAvailable() const { return getStatus() == updateAvailable; }
UpdateChecker::Status UpdateChecker::getStatus() const { return getResult().status; }
juce::String UpdateChecker::getLatestVersion() const { return getResult().latestVersion; }
juce::String UpdateChecker::getDownloadUrl() const { return getResult().downloadUrl; }
juce::String UpdateChecker::getReleaseNotesUrl() const { return getResult().releaseNotesUrl; }
void UpdateChecker::openDownloadPage() const {}
bool UpdateChecker::loadCachedResult() { return false; }
bool UpdateChecker::isLoopbackHost (const juce::String&) { return false; }
void UpdateChecker::run() {}
void UpdateChecker::saveCachedResult (const Result&) {}

UpdateChecker::Result UpdateChecker::getResult() const
{
    const juce::SpinLock::ScopedLockType sl (resultLock);
    return result;
}

void UpdateChecker::setResult (const Result& newResult)
{
    const juce::SpinLock::ScopedLockType sl (resultLock);
    result = newResult;
}

bool parseVersion (const juce::String&, std::vector<juce::String>&) { return false; }
int compareVersions (const juce::String&, const juce::String&) { return 0; }

} // namespace velmar
