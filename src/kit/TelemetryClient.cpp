#include "kit/TelemetryClient.h"

namespace velmar
{

TelemetryClient::TelemetryClient (Config configToUse)
    : juce::Thread ("TelemetryClient"), config (std::move (configToUse))
{
}

TelemetryClient::~TelemetryClient()
{
    stopTimer();
    signalThreadShouldExit();
    http.cancel();
    stopThread (-1);
}

bool TelemetryClient::isEnabled() const { return false; }
void TelemetryClient::setEnabled (bool) {}
bool TelemetryClient::isWelcomeNeeded() const { return false; }
void TelemetryClient::markWelcomeSeen() {}

juce::String TelemetryClient::consentText()
{
    return "Send anonymous system information (OS and major version, CPU, plugin format, DAW name) and one daily usage event.";
}

void TelemetryClient::prepareUsageTracking (double) {}
void TelemetryClient::addProcessedSamples (int, bool) noexcept {}
bool TelemetryClient::requestHeartbeat() { return false; }
void TelemetryClient::requestForcedHeartbeat() { forcePending = true; }
juce::String TelemetryClient::buildHeartbeatJson (const State&, const juce::String&) const { return {}; }
bool TelemetryClient::postHeartbeat (const juce::String&) { return false; }
TelemetryClient::State TelemetryClient::readState() const { return {}; }
bool TelemetryClient::hasConsent (const State&) const { return false; }
juce::String TelemetryClient::osMajorVersionFrom (const juce::String&) { return "Unknown"; }

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

void TelemetryClient::run() {}
void TelemetryClient::timerCallback() {}
bool TelemetryClient::startRun() { return false; }
bool TelemetryClient::isConfigComplete() const { return false; }
juce::var TelemetryClient::stateToSection (const State&) const { return {}; }
TelemetryClient::State TelemetryClient::stateFromSection (const juce::var&) { return {}; }
bool TelemetryClient::updateState (const std::function<void (State&)>&) { return false; }

} // namespace velmar
