#pragma once

#include "kit/platform/HttpClient.h"

#include <juce_events/juce_events.h>

#include <atomic>
#include <functional>

namespace velmar
{

// Keeps the user's telemetry consent (settings section "telemetry") and sends, only with
// consent, a small anonymous daily heartbeat: at most once per local day for each plug-in
// format and host, unless the editor forces one when its window opens.
class TelemetryClient : private juce::Thread,
                        private juce::Timer
{
public:
    struct Config
    {
        juce::String productId;
        juce::String productName;
        juce::String version;
        juce::String endpointUrl;
        juce::String settingsPath;
        juce::String format;
        juce::String defaultHost { "Unknown" };
        std::function<juce::String()> hostNameProvider;
        juce::String consentVersion;
        juce::String welcomeVersion;
        bool internalBuild = false;
        int startDelayMs = 15000;
        int timeoutMs = 10000;
    };

    // The in-memory image of the settings section "telemetry".
    struct State
    {
        juce::String installId;
        juce::String firstSeenAtUtc;
        bool telemetryEnabled = false;
        juce::String consentVersion;
        juce::String welcomeVersion;
        juce::String lastPingDate;
        juce::var lastPingDatesByHost;
    };

    explicit TelemetryClient (Config config);
    ~TelemetryClient() override;

    bool isEnabled() const;
    void setEnabled (bool enabled);

    bool isWelcomeNeeded() const;
    void markWelcomeSeen();

    static juce::String consentText();

    // Host preparation: five seconds of samples at this rate make a usage trigger.
    void prepareUsageTracking (double sampleRate);

    // Audio thread: lock-free, no allocation.
    void addProcessedSamples (int numSamples, bool hostPlaying) noexcept;

    bool requestHeartbeat();
    void requestForcedHeartbeat();

    // Message thread: the usage check that the 500 ms timer started by prepareUsageTracking
    // runs. Callers that need the check at a moment of their own (tests) call it directly
    // instead of waiting for the timer.
    void timerCallback() override;

    // Pieces of a run, public so that they can be checked on their own.
    juce::String buildHeartbeatJson (const State& state, const juce::String& host) const;
    bool postHeartbeat (const juce::String& body);

    State readState() const;
    bool hasConsent (const State& state) const;

    // "Windows 11" -> "11"; anything not of that shape -> "Unknown".
    static juce::String osMajorVersionFrom (const juce::String& operatingSystemName);

    // The format name reported for a framework wrapper type ("vst3", "standalone", ...).
    static juce::String formatNameFor (int wrapperType);

    const Config& getConfig() const noexcept { return config; }
    bool isRunActive() const noexcept { return runActive.load(); }

private:
    void run() override;

    bool startRun();
    bool isConfigComplete() const;
    juce::var stateToSection (const State& state) const;
    static State stateFromSection (const juce::var& section);
    bool updateState (const std::function<void (State&)>& change);

    const Config config;
    std::atomic<bool> runActive { false };
    std::atomic<bool> forcePending { false };
    std::atomic<bool> skipStartDelay { false };
    std::atomic<juce::int64> usageSampleCount { 0 };
    std::atomic<juce::int64> usageThreshold { 0 };
    std::atomic<bool> usageThresholdCrossed { false };
    std::atomic<juce::int64> lastUsageDay { -1 };
    HttpClient http;

    JUCE_DECLARE_NON_COPYABLE (TelemetryClient)
};

} // namespace velmar
