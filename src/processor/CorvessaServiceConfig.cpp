#include "processor/CorvessaServiceConfig.h"

#include "kit/services/ServiceAddresses.h"

namespace
{
    const char* const productId = "corvessa";
    const char* const productName = "Corvessa";
    const char* const productVersion = CORVESSA_VERSION;
    const char* const settingsPath = "VELMAR/Corvessa";
} // namespace

velmar::UpdateChecker::Config makeUpdateCheckerConfig()
{
    velmar::UpdateChecker::Config config;
    config.productId = productId;
    config.productName = productName;
    config.currentVersion = productVersion;
    config.feedUrl = velmar::getUpdateFeedUrl();
    config.settingsPath = settingsPath;
    return config;
}

juce::String telemetryHostNameProvider (juce::AudioProcessor::WrapperType wrapperType,
                                        const velmar::TelemetryHostContext* hostContext)
{
    if (wrapperType == juce::AudioProcessor::wrapperType_Standalone)
        return "Standalone";

    if (wrapperType == juce::AudioProcessor::wrapperType_VST3 && hostContext != nullptr)
    {
        const auto name = hostContext->getHostName();
        if (name.isNotEmpty())
            return name;
    }

    return juce::PluginHostType().getHostDescription();
}

velmar::TelemetryClient::Config makeTelemetryConfig (juce::AudioProcessor::WrapperType wrapperType,
                                                     const velmar::TelemetryHostContext* hostContext)
{
    velmar::TelemetryClient::Config config;
    config.productId = productId;
    config.productName = productName;
    config.version = productVersion;
    config.endpointUrl = velmar::getTelemetryEndpointUrl();
    config.settingsPath = settingsPath;
    config.format = velmar::TelemetryClient::formatNameFor ((int) wrapperType);
    config.defaultHost = "Unknown";
    config.hostNameProvider = [wrapperType, hostContext] { return telemetryHostNameProvider (wrapperType, hostContext); };
    config.consentVersion = "2026-07-10";
    config.welcomeVersion = "2026-08-26";
    config.internalBuild = false;
    config.startDelayMs = 15000;
    config.timeoutMs = 10000;
    return config;
}
