#include "processor/CorvessaProcessor.h"

#include "kit/CorvessaServiceConfig.h"
#include "kit/ServiceAddresses.h"

#include "FakeVst3Host.h"
#include "KitTestSupport.h"

#include <gtest/gtest.h>

// The processor's side of the kit services: what it builds them from and how a VST3 host's
// context reaches the telemetry.
TEST (ProcessorKitServices, BuiltFromTheProductConfigurationAndTheHostsContext)
{
    juce::ScopedJuceInitialiser_GUI juce;
    kittest::settingsFolder().deleteRecursively();

    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_VST3);
    auto processor = std::make_unique<CorvessaProcessor>();
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);

    const auto& update = processor->getUpdateChecker().getConfig();
    EXPECT_EQ (update.productId, "corvessa");
    EXPECT_EQ (update.productName, "Corvessa");
    EXPECT_EQ (update.currentVersion, "1.3.4");
    EXPECT_EQ (update.feedUrl, velmar::getServiceBaseUrl() + "/api/updates/corvessa.json");
    EXPECT_EQ (update.settingsPath, "VELMAR/Corvessa");

    auto& telemetry = processor->getTelemetryClient();
    EXPECT_EQ (telemetry.getConfig().format, "vst3");
    EXPECT_EQ (telemetry.getConfig().endpointUrl, velmar::getServiceBaseUrl() + "/api/telemetry/heartbeat");

    // Before the host has told its name the framework's description stands in; afterwards
    // the heartbeat reports the cleaned name the host gave.
    EXPECT_EQ (telemetry.getConfig().hostNameProvider(), juce::PluginHostType().getHostDescription());

    kittest::FakeHost host (u" ..Studio Host 7 ");
    processor->setIHostApplication (&host);
    EXPECT_EQ (telemetry.getConfig().hostNameProvider(), "Studio Host 7");

    // The client extensions the processor hands out are the very context the telemetry reads.
    kittest::FakeHost other (u"Other Host");
    auto* extensions = processor->getVST3ClientExtensions();
    ASSERT_NE (extensions, nullptr);
    extensions->setIHostApplication (&other);
    EXPECT_EQ (telemetry.getConfig().hostNameProvider(), "Other Host");

    // A new installation has given no consent: nothing can be requested into a send.
    EXPECT_FALSE (telemetry.isEnabled());
    EXPECT_TRUE (telemetry.isWelcomeNeeded());

    // Deleting the processor while its update check may still be under way is clean.
    processor.reset();
    kittest::pumpMessagesFor (50);
}
