#include "kit/platform/HttpClient.h"
#include "kit/services/SettingsStore.h"
#include "kit/services/SupportRequestClient.h"
#include "kit/services/TelemetryClient.h"
#include "kit/services/UpdateChecker.h"

#include "kit/KitTestSupport.h"
#include "kit/UnansweredNameLookup.h"

#include <gtest/gtest.h>

#include <thread>

// While the system's resolver does not answer, every service must let go within its limits:
// a host that loads or deletes instances on such a machine would otherwise stall for as long
// as each lookup takes. Each case waits until its lookup hangs, lets go, and checks that the
// lookup was still hanging when it had let go.
namespace
{
const juce::String unanswered = juce::String ("http://") + kittest::unansweredHostName;

struct HangingNameLookupTest : ::testing::Test
{
    juce::ScopedJuceInitialiser_GUI juce;

    void SetUp() override { kittest::settingsFolder().deleteRecursively(); }
    void TearDown() override
    {
        EXPECT_TRUE (kittest::UnansweredNameLookup::releaseAll());
        kittest::settingsFolder().deleteRecursively();
    }
};
} // namespace

TEST_F (HangingNameLookupTest, ATransferIsCancelledAtOnce)
{
    velmar::HttpClient client;
    velmar::HttpRequest request;
    request.url = unanswered + "/x";

    velmar::HttpResponse response;
    std::thread worker ([&] { response = client.perform (request); });

    ASSERT_TRUE (kittest::UnansweredNameLookup::waitUntilPending (20000));
    client.cancel();
    worker.join();

    EXPECT_EQ (kittest::UnansweredNameLookup::pending(), 1) << "the transfer waited for the lookup";
    EXPECT_TRUE (response.cancelled);
}

TEST_F (HangingNameLookupTest, TheUpdateCheckerIsDeletedAtOnce)
{
    {
        velmar::UpdateChecker checker ({ "corvessa", "Corvessa", "1.3.4", unanswered + "/api/updates/corvessa.json", "VELMAR/Corvessa" });
        checker.checkForUpdates();
        ASSERT_TRUE (kittest::UnansweredNameLookup::waitUntilPending (20000));
    }

    EXPECT_EQ (kittest::UnansweredNameLookup::pending(), 1) << "the destructor waited for the lookup";
}

TEST_F (HangingNameLookupTest, TheTelemetryClientIsDeletedAtOnce)
{
    {
        velmar::TelemetryClient::Config config;
        config.productId = "corvessa";
        config.version = "1.3.4";
        config.endpointUrl = unanswered + "/api/telemetry/heartbeat";
        config.settingsPath = "VELMAR/Corvessa";
        config.consentVersion = "2026-07-10";
        config.startDelayMs = 0;

        velmar::TelemetryClient client (config);
        client.setEnabled (true);
        ASSERT_TRUE (client.requestHeartbeat());
        ASSERT_TRUE (kittest::UnansweredNameLookup::waitUntilPending (20000));
    }

    EXPECT_EQ (kittest::UnansweredNameLookup::pending(), 1) << "the destructor waited for the lookup";
}

TEST_F (HangingNameLookupTest, ASupportRequestIsCancelledAndDeletedAtOnce)
{
    int calls = 0;
    {
        velmar::SupportRequestClient client ({ unanswered + "/api/plugin-support", 10000 });
        ASSERT_TRUE (client.send ({}, [&] (const velmar::SupportResponse&) { ++calls; }));
        ASSERT_TRUE (kittest::UnansweredNameLookup::waitUntilPending (20000));

        client.cancel();
        EXPECT_EQ (kittest::UnansweredNameLookup::pending(), 1) << "cancel waited for the lookup";
        ASSERT_TRUE (kittest::pumpMessagesUntil ([&] { return ! client.isSending(); }));
        EXPECT_EQ (kittest::UnansweredNameLookup::pending(), 1) << "the request ended only with the lookup";

        // A second request hangs in its own lookup; the destructor lets go of it too.
        ASSERT_TRUE (client.send ({}, [&] (const velmar::SupportResponse&) { ++calls; }));
        ASSERT_TRUE (kittest::pumpMessagesUntil ([] { return kittest::UnansweredNameLookup::pending() == 2; }));
    }

    EXPECT_EQ (kittest::UnansweredNameLookup::pending(), 2) << "the destructor waited for the lookup";
    kittest::pumpMessagesFor (50);
    EXPECT_EQ (calls, 0);
}
