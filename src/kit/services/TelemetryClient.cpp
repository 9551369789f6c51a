#include "kit/services/TelemetryClient.h"

#include "kit/json/JsonWriter.h"

#include "kit/services/ServiceAddresses.h"
#include "kit/services/SettingsStore.h"

namespace velmar
{

namespace
{
    const char* const stateSection = "telemetry";
    constexpr int maxResponseBytes = 64 * 1024;

    juce::String stringProperty (const juce::var& object, const char* key)
    {
        const auto& value = object.getProperty (key, {});
        return value.isString() ? value.toString() : juce::String();
    }

    juce::String currentTimeStamp()
    {
        return juce::Time::getCurrentTime().toISO8601 (true);
    }

    juce::String newInstallId()
    {
        return juce::Uuid().toDashedString().toLowerCase();
    }

    // The local calendar date as the number yyyymmdd.
    juce::int64 todaysUsageKey()
    {
        return currentTimeStamp().substring (0, 10).removeCharacters ("-").getLargeIntValue();
    }
} // namespace

TelemetryClient::TelemetryClient (Config configToUse)
    : juce::Thread ("TelemetryClient"), config (std::move (configToUse))
{
}

TelemetryClient::~TelemetryClient()
{
    stopTimer();

    // The run may be in the start delay or inside the POST: abort the transfer, then wait for
    // the run to end by itself. It is never killed, so it cannot leave the settings locks held.
    signalThreadShouldExit();
    http.cancel();
    stopThread (-1);
}

juce::String TelemetryClient::consentText()
{
    return "Send anonymous system information (OS and major version, CPU, plugin format, DAW name) and one daily usage event.";
}

juce::String TelemetryClient::formatNameFor (int wrapperType)
{
    switch (wrapperType)
    {
        case 1: return "vst";
        case 2: return "vst3";
        case 3: return "au";
        case 4: return "auv3";
        case 5: return "aax";
        case 6: return "standalone";
        case 7: return "unity";
        case 8: return "lv2";
        default: return "unknown";
    }
}

juce::String TelemetryClient::osMajorVersionFrom (const juce::String& operatingSystemName)
{
    for (auto* prefix : { "Windows ", "Mac OSX ", "iOS " })
    {
        if (! operatingSystemName.startsWith (prefix))
            continue;

        const auto major = operatingSystemName.substring ((int) strlen (prefix)).upToFirstOccurrenceOf (".", false, false);

        if (major.length() >= 1 && major.length() <= 4
            && major.containsOnly ("0123456789") && ! major.startsWithChar ('0'))
            return major;
    }

    return "Unknown";
}

//==============================================================================
TelemetryClient::State TelemetryClient::stateFromSection (const juce::var& section)
{
    State state;
    state.installId = stringProperty (section, "install_id");
    state.firstSeenAtUtc = stringProperty (section, "first_seen_at_utc");
    // Consent is only ever the boolean true that setEnabled writes; a text or a number that
    // merely converts to true (the framework reads "yes" as true) is not consent.
    const auto& enabled = section.getProperty ("telemetry_enabled", false);
    state.telemetryEnabled = enabled.isBool() && (bool) enabled;
    state.consentVersion = stringProperty (section, "consent_version");
    state.welcomeVersion = stringProperty (section, "welcome_version");
    state.lastPingDate = stringProperty (section, "last_ping_date");
    state.lastPingDatesByHost = section.getProperty ("last_ping_dates_by_host", {});
    return state;
}

juce::var TelemetryClient::stateToSection (const State& state) const
{
    auto* object = new juce::DynamicObject();
    juce::var section (object);
    object->setProperty ("schema", 1);
    object->setProperty ("install_id", state.installId);
    object->setProperty ("first_seen_at_utc", state.firstSeenAtUtc);
    object->setProperty ("telemetry_enabled", state.telemetryEnabled);
    object->setProperty ("consent_version", state.consentVersion);
    object->setProperty ("internal_build", config.internalBuild);
    object->setProperty ("welcome_version", state.welcomeVersion);
    object->setProperty ("last_ping_date", state.lastPingDate);
    object->setProperty ("last_ping_dates_by_host", state.lastPingDatesByHost);
    return section;
}

TelemetryClient::State TelemetryClient::readState() const
{
    if (config.settingsPath.isEmpty())
        return {};

    return stateFromSection (SettingsStore (config.settingsPath).readSection (stateSection));
}

// Every change is made on a fresh read inside the settings locks and touches only the fields
// the caller changes, so that a stale copy held by another instance (or by a run that started
// before the user withdrew consent) can never write an old value back.
bool TelemetryClient::updateState (const std::function<void (State&)>& change)
{
    if (config.settingsPath.isEmpty())
        return false;

    return SettingsStore (config.settingsPath).updateSection (stateSection, [&] (const juce::var& current)
    {
        auto state = stateFromSection (current);
        change (state);
        return stateToSection (state);
    });
}

bool TelemetryClient::hasConsent (const State& state) const
{
    return state.telemetryEnabled
           && (config.consentVersion.isEmpty() || state.consentVersion == config.consentVersion);
}

bool TelemetryClient::isEnabled() const
{
    if (config.settingsPath.isEmpty())
        return false;

    return hasConsent (readState());
}

void TelemetryClient::setEnabled (bool enabled)
{
    updateState ([&] (State& state)
    {
        state.telemetryEnabled = enabled;

        if (config.consentVersion.isNotEmpty())
            state.consentVersion = config.consentVersion;

        if (enabled && state.installId.isEmpty())
        {
            state.installId = newInstallId();
            state.firstSeenAtUtc = currentTimeStamp();
        }
    });
}

bool TelemetryClient::isWelcomeNeeded() const
{
    if (config.settingsPath.isEmpty() || config.welcomeVersion.isEmpty())
        return false;

    return readState().welcomeVersion != config.welcomeVersion;
}

void TelemetryClient::markWelcomeSeen()
{
    if (config.welcomeVersion.isEmpty())
        return;

    updateState ([&] (State& state) { state.welcomeVersion = config.welcomeVersion; });
}

//==============================================================================
void TelemetryClient::prepareUsageTracking (double sampleRate)
{
    const auto threshold = (juce::int64) (juce::jmax (0.0, sampleRate) * 5.0);
    usageThreshold = threshold;
    usageSampleCount = 0;
    usageThresholdCrossed = false;

    if (threshold > 0)
        startTimer (500);
}

void TelemetryClient::addProcessedSamples (int numSamples, bool hostPlaying) noexcept
{
    const auto threshold = usageThreshold.load (std::memory_order_relaxed);

    if (! hostPlaying || numSamples <= 0 || threshold <= 0 || usageThresholdCrossed.load (std::memory_order_relaxed))
        return;

    const auto before = usageSampleCount.fetch_add (numSamples, std::memory_order_relaxed);

    if (before < threshold && before + numSamples >= threshold)
        usageThresholdCrossed.store (true, std::memory_order_release);
}

void TelemetryClient::timerCallback()
{
    if (! usageThresholdCrossed.exchange (false, std::memory_order_acquire))
        return;

    usageSampleCount = 0;

    const auto today = todaysUsageKey();
    auto last = lastUsageDay.load();

    // The day's usage trigger is spent whether or not the user has consented.
    if (today != last && lastUsageDay.compare_exchange_strong (last, today))
    {
        if (hasConsent (readState()))
        {
            skipStartDelay = true;
            requestHeartbeat();
        }
    }
}

//==============================================================================
bool TelemetryClient::isConfigComplete() const
{
    return config.productId.isNotEmpty() && config.version.isNotEmpty()
           && config.endpointUrl.isNotEmpty() && config.settingsPath.isNotEmpty();
}

bool TelemetryClient::requestHeartbeat()
{
    if (! isConfigComplete())
        return false;

    if (runActive.exchange (true))
        return true;

    return startRun();
}

void TelemetryClient::requestForcedHeartbeat()
{
    forcePending = true;
    requestHeartbeat();
}

bool TelemetryClient::startRun()
{
    if (startThread())
        return true;

    // The previous run has cleared its flag but its thread is still closing, and the
    // framework refuses to start a thread that has not finished. It is only returning, so
    // wait for it briefly and try once more; never leave the run marked active without a run.
    waitForThreadToExit (2000);

    if (startThread())
        return true;

    runActive = false;
    return false;
}

void TelemetryClient::run()
{
    struct EndOfRun
    {
        std::atomic<bool>& active;
        ~EndOfRun() { active = false; }
    } endOfRun { runActive };

    if (! skipStartDelay.exchange (false))
    {
        for (int waited = 0; waited < config.startDelayMs;)
        {
            if (threadShouldExit())
                return;

            const int slice = juce::jmin (100, config.startDelayMs - waited);
            wait (slice);
            waited += slice;
        }

        if (threadShouldExit())
            return;
    }

    const auto state = readState();

    if (! hasConsent (state))
        return;

    const auto today = currentTimeStamp().substring (0, 10);

    auto host = (config.hostNameProvider != nullptr ? config.hostNameProvider() : config.defaultHost).trim();
    if (host.isEmpty())
        host = "Unknown";

    const bool forced = forcePending.exchange (false);
    const auto hostKey = config.format + ":" + host;

    const auto& sentToday = state.lastPingDatesByHost.getProperty (hostKey, {});
    if (! forced && sentToday.isString() && sentToday.toString() == today)
        return;

    // Identity, made on a fresh read under the settings locks; consent is checked again there,
    // so that a withdrawal made since the first read stops the run before anything is sent.
    State current;
    bool consented = false;

    SettingsStore (config.settingsPath).updateSection (stateSection, [&] (const juce::var& section)
    {
        current = stateFromSection (section);
        consented = hasConsent (current);

        if (! consented)
            return juce::var();

        bool changed = false;

        if (current.installId.isEmpty())
        {
            current.installId = newInstallId();
            current.firstSeenAtUtc = currentTimeStamp();
            changed = true;
        }
        else if (current.firstSeenAtUtc.isEmpty())
        {
            current.firstSeenAtUtc = currentTimeStamp();
            changed = true;
        }

        return changed ? stateToSection (current) : juce::var();
    });

    if (! consented || threadShouldExit())
        return;

    if (! postHeartbeat (buildHeartbeatJson (current, host)))
        return;

    updateState ([&] (State& s)
    {
        s.lastPingDate = today;

        if (s.lastPingDatesByHost.getDynamicObject() == nullptr)
            s.lastPingDatesByHost = juce::var (new juce::DynamicObject());

        s.lastPingDatesByHost.getDynamicObject()->setProperty (hostKey, today);
    });
}

juce::String TelemetryClient::buildHeartbeatJson (const State& state, const juce::String& host) const
{
    auto* object = new juce::DynamicObject();
    juce::var body (object);
    object->setProperty ("schema", 1);
    object->setProperty ("product", config.productId);
    object->setProperty ("version", config.version);
    object->setProperty ("install_id", state.installId);
    object->setProperty ("first_seen_at", state.firstSeenAtUtc);
    object->setProperty ("platform", getPlatformName());
    object->setProperty ("os_major_version", osMajorVersionFrom (juce::SystemStats::getOperatingSystemName()));
    object->setProperty ("arch", getArchitectureName());
    object->setProperty ("format", config.format);
    object->setProperty ("daw", host);
    object->setProperty ("consent_version", state.consentVersion);
    object->setProperty ("internal_build", config.internalBuild);
    object->setProperty ("event_type", "daily_heartbeat");
    object->setProperty ("event_at", currentTimeStamp());
    return JsonWriter::toString (body, false, 15);
}

bool TelemetryClient::postHeartbeat (const juce::String& body)
{
    HttpRequest request;
    request.url = config.endpointUrl;
    request.post = true;
    request.body = body;
    request.extraHeaders = "Accept: application/json\r\nContent-Type: application/json\r\n";
    request.connectionTimeoutMs = config.timeoutMs;
    request.maxResponseBytes = maxResponseBytes;

    const auto response = http.perform (request);
    return response.opened && ! response.cancelled && response.hasSuccessStatus();
}

} // namespace velmar
