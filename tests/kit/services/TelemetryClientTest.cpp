#include "kit/services/TelemetryClient.h"

#include "processor/CorvessaServiceConfig.h"
#include "kit/services/ServiceAddresses.h"
#include "kit/services/SettingsStore.h"

#include "kit/KitTestSupport.h"
#include "kit/LoopbackHttpServer.h"

#include <gtest/gtest.h>

#include <thread>

using velmar::TelemetryClient;

namespace
{
    const char* const heartbeatPath = "/api/telemetry/heartbeat";
    const char* const consentVersion = "2026-07-10";

    juce::String today() { return juce::Time::getCurrentTime().toISO8601 (true).substring (0, 10); }

    struct TelemetryClientTest : ::testing::Test
    {
        juce::ScopedJuceInitialiser_GUI juce;
        kittest::LoopbackHttpServer server;

        void SetUp() override
        {
            kittest::settingsFolder().deleteRecursively();
            ASSERT_TRUE (server.isRunning());
        }

        void TearDown() override { kittest::settingsFolder().deleteRecursively(); }

        TelemetryClient::Config config (const juce::String& host = "Test Host", int startDelayMs = 0)
        {
            auto c = makeTelemetryConfig (juce::AudioProcessor::wrapperType_VST3, nullptr);
            c.endpointUrl = server.url (heartbeatPath);
            c.hostNameProvider = [host] { return host; };
            c.startDelayMs = startDelayMs;
            c.timeoutMs = 5000;
            return c;
        }

        static juce::var section() { return velmar::SettingsStore ("VELMAR/Corvessa").readSection ("telemetry"); }

        static void writeSection (const juce::String& json)
        {
            ASSERT_TRUE (velmar::SettingsStore ("VELMAR/Corvessa").writeSection ("telemetry", juce::JSON::parse (json)));
        }

        // Waits (bounded) until the client has no run requested or running.
        static bool runEnds (TelemetryClient& client)
        {
            return kittest::pumpMessagesUntil ([&] { return ! client.isRunActive(); });
        }
    };
} // namespace

TEST (TelemetryRules, OperatingSystemMajorVersion)
{
    struct Case { const char* name; const char* expected; };
    const Case cases[] = {
        { "Windows 11", "11" }, { "Windows 8.1", "8" }, { "Windows 10", "10" }, { "Mac OSX 14.2.1", "14" },
        { "iOS 17.0", "17" }, { "Windows Vista", "Unknown" }, { "Windows 011", "Unknown" },
        { "Windows 12345", "Unknown" }, { "Windows ", "Unknown" }, { "Linux", "Unknown" }, { "windows 11", "Unknown" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (TelemetryClient::osMajorVersionFrom (c.name), c.expected) << c.name;
}

TEST (TelemetryRules, FormatNamesAndProductConfiguration)
{
    const char* expected[] = { "unknown", "vst", "vst3", "au", "auv3", "aax", "standalone", "unity", "lv2", "unknown" };
    for (int type = 0; type < 10; ++type)
        EXPECT_EQ (TelemetryClient::formatNameFor (type), expected[type]) << type;

    const auto c = makeTelemetryConfig (juce::AudioProcessor::wrapperType_VST3, nullptr);
    EXPECT_EQ (c.productId, "corvessa");
    EXPECT_EQ (c.productName, "Corvessa");
    EXPECT_EQ (c.version, CORVESSA_VERSION);
    EXPECT_EQ (c.endpointUrl, velmar::getServiceBaseUrl() + "/api/telemetry/heartbeat");
    EXPECT_EQ (c.settingsPath, "VELMAR/Corvessa");
    EXPECT_EQ (c.format, "vst3");
    EXPECT_EQ (c.defaultHost, "Unknown");
    EXPECT_EQ (c.consentVersion, "2026-07-10");
    EXPECT_EQ (c.welcomeVersion, "2026-08-26");
    EXPECT_FALSE (c.internalBuild);
    EXPECT_EQ (c.startDelayMs, 15000);
    EXPECT_EQ (c.timeoutMs, 10000);

    EXPECT_EQ (TelemetryClient::consentText(),
               "Send anonymous system information (OS and major version, CPU, plugin format, DAW name) and one daily usage event.");
}

TEST (TelemetryRules, HostNameProviderByWrapperType)
{
    velmar::TelemetryHostContext named, unnamed;
    named.setIHostApplication (nullptr);
    const auto description = juce::PluginHostType().getHostDescription();

    EXPECT_EQ (telemetryHostNameProvider (juce::AudioProcessor::wrapperType_Standalone, &named), "Standalone");
    EXPECT_EQ (telemetryHostNameProvider (juce::AudioProcessor::wrapperType_VST3, &unnamed), description);
    EXPECT_EQ (telemetryHostNameProvider (juce::AudioProcessor::wrapperType_VST3, nullptr), description);
    EXPECT_EQ (telemetryHostNameProvider (juce::AudioProcessor::wrapperType_AudioUnit, &unnamed), description);
}

TEST_F (TelemetryClientTest, ConsentWelcomeAndIdentityInTheSettingsSection)
{
    TelemetryClient client (config());
    EXPECT_FALSE (client.isEnabled());
    EXPECT_TRUE (client.isWelcomeNeeded());

    client.setEnabled (true);
    EXPECT_TRUE (client.isEnabled());
    const auto first = section();
    const auto installId = first.getProperty ("install_id", {}).toString();
    EXPECT_TRUE (juce::Uuid (installId).toDashedString() == installId && installId == installId.toLowerCase() && installId.length() == 36) << installId;
    EXPECT_FALSE (first.getProperty ("first_seen_at_utc", {}).toString().isEmpty());

    // The section is written whole, in its fixed key order.
    const juce::StringArray order { "schema", "install_id", "first_seen_at_utc", "telemetry_enabled", "consent_version",
                                    "internal_build", "welcome_version", "last_ping_date", "last_ping_dates_by_host" };
    const auto& props = first.getDynamicObject()->getProperties();
    ASSERT_EQ (props.size(), order.size());
    for (int i = 0; i < order.size(); ++i)
        EXPECT_EQ (props.getName (i).toString(), order[i]);
    EXPECT_TRUE (props["last_ping_dates_by_host"].isVoid());
    EXPECT_TRUE (kittest::settingsFile().loadFileAsString().contains ("\"last_ping_dates_by_host\": null"));

    // Turning it off and on again keeps the identity.
    client.setEnabled (false);
    EXPECT_FALSE (client.isEnabled());
    client.setEnabled (true);
    EXPECT_EQ (section().getProperty ("install_id", {}).toString(), installId);

    client.markWelcomeSeen();
    EXPECT_FALSE (client.isWelcomeNeeded());
    EXPECT_EQ (section().getProperty ("welcome_version", {}).toString(), "2026-08-26");

    // Consent given to an older text counts as none; a different welcome version asks again.
    writeSection ("{\"telemetry_enabled\": true, \"consent_version\": \"2025-01-01\", \"welcome_version\": \"2026-01-01\"}");
    EXPECT_FALSE (client.isEnabled());
    EXPECT_TRUE (client.isWelcomeNeeded());

    // Without a settings path nothing is read or written.
    auto noPath = config();
    noPath.settingsPath = {};
    TelemetryClient detached (noPath);
    const auto before = kittest::settingsFile().loadFileAsString();
    detached.setEnabled (true);
    detached.markWelcomeSeen();
    EXPECT_FALSE (detached.isEnabled());
    EXPECT_FALSE (detached.isWelcomeNeeded());
    EXPECT_EQ (kittest::settingsFile().loadFileAsString(), before);
}

TEST_F (TelemetryClientTest, HeartbeatBodyHeadersAndRecord)
{
    TelemetryClient client (config());
    client.setEnabled (true);

    ASSERT_TRUE (client.requestHeartbeat());
    ASSERT_TRUE (server.waitForRequests (1, 20000));
    ASSERT_TRUE (runEnds (client));

    const auto request = server.getRequests().at (0);
    EXPECT_EQ (request.method, "POST");
    EXPECT_EQ (request.path, heartbeatPath);
    EXPECT_EQ (request.header ("accept"), "application/json");
    EXPECT_EQ (request.header ("content-type"), "application/json");
    EXPECT_TRUE (juce::String (request.body).contains ("\n")) << "multi-line form";

    const auto body = juce::JSON::parse (juce::String (request.body));
    ASSERT_NE (body.getDynamicObject(), nullptr);

    const auto stored = section();
    struct Expect { const char* key; juce::var value; };
    const Expect expected[] = {
        { "schema", 1 }, { "product", "corvessa" }, { "version", "1.3.4" },
        { "install_id", stored.getProperty ("install_id", {}) },
        { "first_seen_at", stored.getProperty ("first_seen_at_utc", {}) },
        { "platform", velmar::getPlatformName() },
        { "os_major_version", TelemetryClient::osMajorVersionFrom (juce::SystemStats::getOperatingSystemName()) },
        { "arch", velmar::getArchitectureName() }, { "format", "vst3" }, { "daw", "Test Host" },
        { "consent_version", consentVersion }, { "internal_build", false }, { "event_type", "daily_heartbeat" },
    };

    const auto& props = body.getDynamicObject()->getProperties();
    ASSERT_EQ (props.size(), 14);
    for (int i = 0; i < 13; ++i)
    {
        EXPECT_EQ (props.getName (i).toString(), expected[i].key);
        EXPECT_EQ (props.getValueAt (i).toString(), expected[i].value.toString()) << expected[i].key;
    }
    EXPECT_EQ (props.getName (13).toString(), "event_at");
    EXPECT_EQ (props.getValueAt (13).toString().substring (0, 10), today());

    EXPECT_EQ (stored.getProperty ("last_ping_date", {}).toString(), today());
    EXPECT_EQ (stored.getProperty ("last_ping_dates_by_host", {}).getProperty ("vst3:Test Host", {}).toString(), today());
}

TEST_F (TelemetryClientTest, NothingIsSentWithoutConsent)
{
    struct Case { const char* name; const char* settings; bool withPath; };
    const Case cases[] = {
        { "no settings file",       nullptr, true },
        { "empty section",          "{}", true },
        { "switched off",           "{\"telemetry_enabled\": false, \"consent_version\": \"2026-07-10\"}", true },
        { "older consent text",     "{\"telemetry_enabled\": true, \"consent_version\": \"2026-01-01\"}", true },
        { "consent without version","{\"telemetry_enabled\": true}", true },
        { "consent as text",        "{\"telemetry_enabled\": \"yes\", \"consent_version\": \"2026-07-10\"}", true },
        { "consent as number",      "{\"telemetry_enabled\": 1, \"consent_version\": \"2026-07-10\"}", true },
        { "no settings path",       "{\"telemetry_enabled\": true, \"consent_version\": \"2026-07-10\"}", false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        kittest::settingsFolder().deleteRecursively();
        if (c.settings != nullptr)
            writeSection (c.settings);

        auto cfg = config();
        if (! c.withPath)
            cfg.settingsPath = {};

        TelemetryClient client (cfg);
        client.requestHeartbeat();
        ASSERT_TRUE (runEnds (client));
        client.requestForcedHeartbeat();
        ASSERT_TRUE (runEnds (client));

        // The usage trigger too.
        client.prepareUsageTracking (1000.0);
        client.addProcessedSamples (5000, true);
        client.timerCallback();
        ASSERT_TRUE (runEnds (client));

        EXPECT_EQ (server.getConnectionCount(), 0);
        EXPECT_EQ (section().getProperty ("install_id", {}).toString(), "") << "no identity is minted either";
    }
}

TEST_F (TelemetryClientTest, AtMostOneOrdinaryHeartbeatPerDayForEachFormatAndHost)
{
    TelemetryClient client (config ("Host A"));
    client.setEnabled (true);

    ASSERT_TRUE (client.requestHeartbeat());
    ASSERT_TRUE (server.waitForRequests (1, 20000));
    ASSERT_TRUE (runEnds (client));

    // Again the same day: nothing.
    ASSERT_TRUE (client.requestHeartbeat());
    ASSERT_TRUE (runEnds (client));
    TelemetryClient sameHost (config ("Host A"));
    ASSERT_TRUE (sameHost.requestHeartbeat());
    ASSERT_TRUE (runEnds (sameHost));
    EXPECT_EQ (server.getConnectionCount(), 1);

    // The editor's forced run sends anyway.
    client.requestForcedHeartbeat();
    ASSERT_TRUE (server.waitForRequests (2, 20000));
    ASSERT_TRUE (runEnds (client));

    // Another host, or another format, has a day of its own.
    TelemetryClient otherHost (config ("Host B"));
    ASSERT_TRUE (otherHost.requestHeartbeat());
    ASSERT_TRUE (server.waitForRequests (3, 20000));
    ASSERT_TRUE (runEnds (otherHost));

    auto standaloneConfig = config ("Host A");
    standaloneConfig.format = "standalone";
    TelemetryClient otherFormat (standaloneConfig);
    ASSERT_TRUE (otherFormat.requestHeartbeat());
    ASSERT_TRUE (server.waitForRequests (4, 20000));
    ASSERT_TRUE (runEnds (otherFormat));

    EXPECT_EQ (server.getConnectionCount(), 4);
    const auto byHost = section().getProperty ("last_ping_dates_by_host", {});
    for (auto key : { "vst3:Host A", "vst3:Host B", "standalone:Host A" })
        EXPECT_EQ (byHost.getProperty (key, {}).toString(), today()) << key;

    // A host that names nothing reports as "Unknown".
    TelemetryClient blank (config ("   "));
    blank.requestForcedHeartbeat();
    ASSERT_TRUE (server.waitForRequests (5, 20000));
    EXPECT_EQ (juce::JSON::parse (juce::String (server.getRequests().at (4).body)).getProperty ("daw", {}).toString(), "Unknown");
}

TEST_F (TelemetryClientTest, FailedHeartbeatsRecordNothingButKeepTheNewIdentity)
{
    struct Case { const char* name; kittest::LoopbackHttpServer::Response response; };
    const Case cases[] = {
        { "server error", { 500, "{}" } },
        { "not found",    { 404, "" } },
        { "not HTTP",     { 200, "garbage\r\n\r\n", "", 0, true } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        kittest::settingsFolder().deleteRecursively();
        writeSection ("{\"telemetry_enabled\": true, \"consent_version\": \"2026-07-10\", \"last_ping_date\": \"2020-01-01\"}");
        server.respondWith (c.response);

        const auto before = server.getRequests().size();
        TelemetryClient client (config());
        client.requestHeartbeat();
        ASSERT_TRUE (server.waitForRequests (before + 1, 20000));
        ASSERT_TRUE (runEnds (client));

        const auto s = section();
        EXPECT_EQ (s.getProperty ("last_ping_date", {}).toString(), "2020-01-01");
        EXPECT_TRUE (s.getProperty ("last_ping_dates_by_host", {}).isVoid());
        EXPECT_EQ (s.getProperty ("install_id", {}).toString().length(), 36);
        EXPECT_FALSE (s.getProperty ("first_seen_at_utc", {}).toString().isEmpty());
    }
}

TEST_F (TelemetryClientTest, AWithdrawalMadeDuringARunIsNeverUndone)
{
    // Consent, but no identity yet: the run will mint one. While it runs (when it asks for the
    // host's name), another instance withdraws consent. The run must neither send nor write its
    // stale copy of the section back over the withdrawal.
    writeSection ("{\"telemetry_enabled\": true, \"consent_version\": \"2026-07-10\"}");

    auto cfg = config();
    cfg.hostNameProvider = []
    {
        TelemetryClient otherInstance (makeTelemetryConfig (juce::AudioProcessor::wrapperType_VST3, nullptr));
        otherInstance.setEnabled (false);
        return juce::String ("Host");
    };

    TelemetryClient client (cfg);
    ASSERT_TRUE (client.requestHeartbeat());
    ASSERT_TRUE (runEnds (client));

    EXPECT_EQ (server.getConnectionCount(), 0);
    EXPECT_FALSE ((bool) section().getProperty ("telemetry_enabled", true));
    EXPECT_FALSE (client.isEnabled());
}

TEST_F (TelemetryClientTest, AWithdrawalDuringTheRequestSurvivesItsRecord)
{
    TelemetryClient client (config());
    client.setEnabled (true);
    server.respondWith ({ 200, "{}", "application/json", 400 });

    ASSERT_TRUE (client.requestHeartbeat());
    ASSERT_TRUE (server.waitForRequests (1, 20000));
    client.setEnabled (false);
    ASSERT_TRUE (runEnds (client));

    const auto s = section();
    EXPECT_FALSE ((bool) s.getProperty ("telemetry_enabled", true));
    EXPECT_EQ (s.getProperty ("last_ping_date", {}).toString(), today());
}

TEST_F (TelemetryClientTest, UsageTriggerAfterFiveSecondsOfPlaybackOncePerDay)
{
    // A long start delay: the usage run must skip it.
    TelemetryClient client (config ("Host", 600000));
    client.setEnabled (true);

    client.prepareUsageTracking (1000.0);                  // threshold 5000 samples
    client.addProcessedSamples (4000, false);              // not playing: not counted
    client.addProcessedSamples (0, true);
    client.addProcessedSamples (-10, true);
    client.addProcessedSamples (4999, true);
    client.timerCallback();
    EXPECT_FALSE (client.isRunActive());

    client.addProcessedSamples (1, true);                  // exactly five seconds
    client.timerCallback();
    ASSERT_TRUE (server.waitForRequests (1, 20000));
    ASSERT_TRUE (runEnds (client));

    // More playback the same day starts no second usage run from this client, even forced
    // flags aside: the day's trigger is spent.
    for (int i = 0; i < 4; ++i)
    {
        client.addProcessedSamples (6000, true);
        client.timerCallback();
        EXPECT_FALSE (client.isRunActive());
    }
    EXPECT_EQ (server.getConnectionCount(), 1);

    // Preparing again resets the count; a sample rate of 0 turns tracking off.
    TelemetryClient silent (config ("Other", 600000));
    silent.prepareUsageTracking (0.0);
    silent.addProcessedSamples (1 << 30, true);
    silent.prepareUsageTracking (-48000.0);
    silent.addProcessedSamples (1 << 30, true);
    silent.timerCallback();
    EXPECT_FALSE (silent.isRunActive());
    EXPECT_EQ (server.getConnectionCount(), 1);
}

TEST_F (TelemetryClientTest, UsageWithoutConsentSpendsTheDaysTrigger)
{
    TelemetryClient client (config ("Host", 600000));
    client.prepareUsageTracking (1000.0);
    client.addProcessedSamples (5000, true);
    client.timerCallback();

    client.setEnabled (true);
    client.addProcessedSamples (5000, true);
    client.timerCallback();

    EXPECT_FALSE (client.isRunActive());
    EXPECT_EQ (server.getConnectionCount(), 0);
}

TEST_F (TelemetryClientTest, ARequestRacingTheEndOfTheLastRunIsNeverLeftStuck)
{
    // Runs without consent end at once; a new request made the moment the last one has
    // cleared its flag finds its thread still closing.
    TelemetryClient client (config());

    for (int i = 0; i < 200; ++i)
    {
        ASSERT_TRUE (client.requestHeartbeat()) << i;
        for (int spin = 0; spin < 2000000 && client.isRunActive(); ++spin)
            std::this_thread::yield();
    }

    ASSERT_TRUE (runEnds (client));
    EXPECT_FALSE (client.isRunActive());
}

TEST_F (TelemetryClientTest, IncompleteConfigurationRequestsNothing)
{
    for (auto field : { &TelemetryClient::Config::productId, &TelemetryClient::Config::version,
                        &TelemetryClient::Config::endpointUrl, &TelemetryClient::Config::settingsPath })
    {
        auto cfg = config();
        cfg.*field = {};
        TelemetryClient client (cfg);
        EXPECT_FALSE (client.requestHeartbeat());
        EXPECT_FALSE (client.isRunActive());
    }
}

TEST_F (TelemetryClientTest, TearDownDuringTheStartDelayOrASlowPostIsClean)
{
    TelemetryClient waiting (config ("Host", 600000));
    waiting.setEnabled (true);
    ASSERT_TRUE (waiting.requestHeartbeat());

    server.respondWith ({ 200, "{}", "application/json", 60000 });
    {
        TelemetryClient posting (config());
        posting.requestForcedHeartbeat();
        ASSERT_TRUE (server.waitForRequests (1, 20000));
    }

    // The POST was aborted rather than waited out, and nothing was recorded for it.
    for (int i = 0; i < 1000 && server.getAbortedByClientCount() == 0; ++i)
        juce::Thread::sleep (10);
    EXPECT_EQ (server.getAbortedByClientCount(), 1);
    EXPECT_EQ (section().getProperty ("last_ping_date", {}).toString(), "");
}

TEST_F (TelemetryClientTest, AForcedRequestWaitsForARunThatCanTakeIt)
{
    // Today's heartbeat from this format and host is already recorded: only a forced run sends.
    const auto sentToday = "\"last_ping_dates_by_host\": {\"vst3:Test Host\": \"" + today() + "\"}";

    // Without consent the forced run ends early and leaves its flag for the next run.
    writeSection ("{\"telemetry_enabled\": false, \"consent_version\": \"2026-07-10\", " + sentToday + "}");
    {
        TelemetryClient client (config());
        client.requestForcedHeartbeat();
        ASSERT_TRUE (runEnds (client));
        EXPECT_EQ (server.getConnectionCount(), 0);

        client.setEnabled (true);
        ASSERT_TRUE (client.requestHeartbeat());
        ASSERT_TRUE (server.waitForRequests (1, 20000));
        ASSERT_TRUE (runEnds (client));

        // The flag was spent by that run.
        ASSERT_TRUE (client.requestHeartbeat());
        ASSERT_TRUE (runEnds (client));
        EXPECT_EQ (server.getConnectionCount(), 1);
    }

    // A forced request made while an ordinary run is under way is taken by that run. The run
    // is held where it asks for the host's name, before it looks at the flag.
    writeSection ("{\"telemetry_enabled\": true, \"consent_version\": \"2026-07-10\", " + sentToday + "}");

    juce::WaitableEvent runIsWaiting, letRunGoOn;
    auto cfg = config();
    cfg.hostNameProvider = [&]
    {
        runIsWaiting.signal();
        letRunGoOn.wait (20000);
        return juce::String ("Test Host");
    };

    TelemetryClient client (cfg);
    ASSERT_TRUE (client.requestHeartbeat());
    ASSERT_TRUE (runIsWaiting.wait (20000));

    client.requestForcedHeartbeat();
    letRunGoOn.signal();

    ASSERT_TRUE (server.waitForRequests (2, 20000));
    ASSERT_TRUE (runEnds (client));
    EXPECT_EQ (server.getConnectionCount(), 2);
}

TEST_F (TelemetryClientTest, IdentityIsMadeOnceAndRecordsKeepOtherHostsDays)
{
    const juce::String knownId = "11111111-2222-4333-8444-555555555555";
    const juce::String knownFirstSeen = "2025-01-02T03:04:05.678Z";

    struct Case
    {
        const char* name;
        juce::String storedExtra;      // further keys of the stored section
        bool idKept;
        bool firstSeenKept;
        const char* otherHostDate;     // another host's stored day that must survive, or null
    };

    const Case cases[] = {
        { "no identity yet",            "", false, false, nullptr },
        { "id without first-seen time", ", \"install_id\": \"" + knownId + "\"", true, false, nullptr },
        { "whole identity",             ", \"install_id\": \"" + knownId + "\", \"first_seen_at_utc\": \"" + knownFirstSeen + "\"", true, true, nullptr },
        { "per-host days not an object", ", \"last_ping_dates_by_host\": \"broken\"", false, false, nullptr },
        { "another host's day",         ", \"last_ping_dates_by_host\": {\"vst3:Other Host\": \"2020-01-01\"}", false, false, "2020-01-01" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        kittest::settingsFolder().deleteRecursively();
        writeSection ("{\"telemetry_enabled\": true, \"consent_version\": \"2026-07-10\"" + c.storedExtra + "}");

        const auto before = server.getRequests().size();
        TelemetryClient client (config());
        ASSERT_TRUE (client.requestHeartbeat());
        ASSERT_TRUE (server.waitForRequests (before + 1, 20000));
        ASSERT_TRUE (runEnds (client));

        const auto stored = section();
        const auto installId = stored.getProperty ("install_id", {}).toString();
        const auto firstSeen = stored.getProperty ("first_seen_at_utc", {}).toString();

        if (c.idKept)
        {
            EXPECT_EQ (installId, knownId);
        }
        else
        {
            EXPECT_TRUE (installId.length() == 36 && installId != knownId && installId == installId.toLowerCase()) << installId;
        }

        if (c.firstSeenKept)
        {
            EXPECT_EQ (firstSeen, knownFirstSeen);
        }
        else
        {
            EXPECT_EQ (firstSeen.substring (0, 10), today());
        }

        // The heartbeat carried the identity that was stored before it was sent.
        const auto body = juce::JSON::parse (juce::String (server.getRequests().back().body));
        EXPECT_EQ (body.getProperty ("install_id", {}).toString(), installId);
        EXPECT_EQ (body.getProperty ("first_seen_at", {}).toString(), firstSeen);

        const auto byHost = stored.getProperty ("last_ping_dates_by_host", {});
        ASSERT_NE (byHost.getDynamicObject(), nullptr);
        EXPECT_EQ (byHost.getProperty ("vst3:Test Host", {}).toString(), today());
        if (c.otherHostDate != nullptr)
        {
            EXPECT_EQ (byHost.getProperty ("vst3:Other Host", {}).toString(), c.otherHostDate);
        }

        // A second run (forced, so that it sends again) never changes the identity.
        client.requestForcedHeartbeat();
        ASSERT_TRUE (server.waitForRequests (before + 2, 20000));
        ASSERT_TRUE (runEnds (client));
        EXPECT_EQ (section().getProperty ("install_id", {}).toString(), installId);
        EXPECT_EQ (section().getProperty ("first_seen_at_utc", {}).toString(), firstSeen);
    }
}
