#pragma once

#include "kit/platform/HttpClient.h"

#include <juce_events/juce_events.h>

#include <atomic>
#include <vector>

namespace velmar
{

// Finds out whether a newer version is published: one GET of the update feed per checker,
// with the result cached for 24 hours in the settings section "updates" so that the many
// instances of a project do not all go to the network. Listeners get one change message
// (on the message thread) per change of the result.
class UpdateChecker : public juce::ChangeBroadcaster,
                      private juce::Thread
{
public:
    struct Config
    {
        juce::String productId;
        juce::String productName;
        juce::String currentVersion;
        juce::String feedUrl;
        juce::String settingsPath;
    };

    enum Status : juce::int32
    {
        idle = 0,
        checking = 1,
        upToDate = 2,
        updateAvailable = 3
    };

    explicit UpdateChecker (Config config);
    ~UpdateChecker() override;

    // Starts the check; only the first call of an object does anything.
    void checkForUpdates();

    bool isUpdateAvailable() const;
    Status getStatus() const;
    juce::String getLatestVersion() const;
    juce::String getDownloadUrl() const;
    juce::String getReleaseNotesUrl() const;

    // Opens the download link in the browser (http and https links only).
    void openDownloadPage() const;

    // Reads the cached result; true when it is younger than 24 hours.
    bool loadCachedResult();

    const Config& getConfig() const noexcept { return config; }

    // True for "localhost", "127.0.0.1", "::1" (also written "[::1]").
    static bool isLoopbackHost (const juce::String& url);

private:
    struct Result
    {
        Status status = idle;
        juce::String latestVersion, downloadUrl, releaseNotesUrl;
    };

    void run() override;
    void saveCachedResult (const Result& result);
    Result getResult() const;
    void setResult (const Result& result);

    const Config config;
    mutable juce::SpinLock resultLock;
    Result result;
    std::atomic<bool> checkStarted { false };
    HttpClient http;

    JUCE_DECLARE_NON_COPYABLE (UpdateChecker)
};

// Dotted decimal version texts with an optional leading "v"/"V" ("1.3.4", "V1.3.10").
// The pieces are kept as digit strings without leading zeros, so that a piece of any length
// compares by its numeric value without overflowing anything.
bool parseVersion (const juce::String& text, std::vector<juce::String>& pieces);

// 1 when a is newer, -1 when older, 0 when equal or when either is not a version.
int compareVersions (const juce::String& a, const juce::String& b);

} // namespace velmar
