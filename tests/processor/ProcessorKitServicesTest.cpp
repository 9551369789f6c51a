#include "processor/CorvessaProcessor.h"

#include "processor/CorvessaServiceConfig.h"
#include "kit/services/ServiceAddresses.h"
#include "kit/services/SettingsStore.h"
#include "kit/services/UpdateChecker.h"

#include "kit/FakeVst3Host.h"
#include "support/TestPlayHead.h"
#include "kit/KitTestSupport.h"

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
    EXPECT_EQ (update.currentVersion, CORVESSA_VERSION);
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


// The processor feeds the usage trigger: its preparation sets five seconds at the host's rate,
// and only blocks the host plays count towards them.
TEST (ProcessorKitServices, PlayedBlocksFeedTheTelemetryUsageTrigger)
{
    // The run this test starts sends its heartbeat to the configured service; only a build
    // whose service lies on this machine may do that.
    if (! velmar::UpdateChecker::isLoopbackHost (velmar::getTelemetryEndpointUrl()))
        GTEST_SKIP() << "the maker's service of this build is not on loopback";

    juce::ScopedJuceInitialiser_GUI juce;
    kittest::settingsFolder().deleteRecursively();
    ASSERT_TRUE (velmar::SettingsStore ("VELMAR/Corvessa").writeSection ("telemetry",
        juce::JSON::parse ("{\"telemetry_enabled\": true, \"consent_version\": \"2026-07-10\"}")));

    const auto installId = []
    {
        return velmar::SettingsStore ("VELMAR/Corvessa").readSection ("telemetry").getProperty ("install_id", {}).toString();
    };

    corvessa::test::TestPlayHead head;
    head.stop();
    auto processor = std::make_unique<CorvessaProcessor>();
    processor->setPlayHead (&head);
    processor->prepareToPlay (1000.0, 500);     // five seconds are 5000 samples

    juce::AudioBuffer<float> audio (2, 500);
    juce::MidiBuffer midi;
    midi.ensureSize (4096);

    const auto processBlocks = [&] (int count)
    {
        for (int i = 0; i < count; ++i)
        {
            midi.clear();
            processor->processBlock (audio, midi);
        }
    };

    // Stopped: nothing counts, whatever the time.
    processBlocks (20);
    processor->getTelemetryClient().timerCallback();
    EXPECT_FALSE (processor->getTelemetryClient().isRunActive());
    EXPECT_EQ (installId(), "");

    // Five seconds of playback start the day's usage run, which makes the identity it sends.
    head.play (0.0);
    processBlocks (10);
    processor->getTelemetryClient().timerCallback();
    EXPECT_TRUE (kittest::pumpMessagesUntil ([&] { return installId().isNotEmpty(); }));

    processor->setPlayHead (nullptr);
    processor.reset();
    kittest::settingsFolder().deleteRecursively();
}
