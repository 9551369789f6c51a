#include "kit/services/UpdateChecker.h"

#include "kit/services/SettingsStore.h"
#include "kit/platform/WebAddressOpener.h"

#include "kit/KitTestSupport.h"
#include "kit/LoopbackHttpServer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using velmar::UpdateChecker;

namespace
{
    using Response = kittest::LoopbackHttpServer::Response;

    const char* const feedPath = "/api/updates/corvessa.json";

    struct ChangeCounter : juce::ChangeListener
    {
        int count = 0;
        void changeListenerCallback (juce::ChangeBroadcaster*) override { ++count; }
    };

    juce::String feed (const juce::String& version, const juce::String& download, const juce::String& notes = "https://velmar.example/notes")
    {
        auto* o = new juce::DynamicObject();
        o->setProperty ("latest_version", version);
        o->setProperty ("download_url", download);
        o->setProperty ("release_notes_url", notes);
        o->setProperty ("ignored", 5);
        return juce::JSON::toString (juce::var (o), true);
    }

    struct UpdateCheckerTest : ::testing::Test
    {
        juce::ScopedJuceInitialiser_GUI juce;

        void SetUp() override { kittest::settingsFolder().deleteRecursively(); }
        void TearDown() override
        {
            velmar::setWebAddressLauncherForTesting (nullptr);
            kittest::settingsFolder().deleteRecursively();
        }

        static UpdateChecker::Config configFor (const std::string& feedUrl)
        {
            return { "corvessa", "Corvessa", "1.3.4", juce::String (feedUrl), "VELMAR/Corvessa" };
        }

        static juce::var cached() { return velmar::SettingsStore ("VELMAR/Corvessa").readSection ("updates"); }

        static void writeCache (const juce::String& version, const juce::String& download, juce::Time checkedAt)
        {
            auto* o = new juce::DynamicObject();
            o->setProperty ("last_checked_utc", checkedAt.toISO8601 (true));
            o->setProperty ("latest_version", version);
            o->setProperty ("download_url", download);
            o->setProperty ("release_notes_url", "");
            o->setProperty ("update_available", true);
            ASSERT_TRUE (velmar::SettingsStore ("VELMAR/Corvessa").writeSection ("updates", juce::var (o)));
        }

        static bool settled (const UpdateChecker& c) { return c.getStatus() != UpdateChecker::checking; }
    };
} // namespace

TEST (Versions, ParseAndCompareAsNumbersOfAnyLength)
{
    struct Case { const char* a; const char* b; int expected; };
    const Case cases[] = {
        { "V1.3.10", "1.3.4", 1 },                 // numbers, not text
        { "1.3", "1.3.0", 0 },                     // a missing piece counts as 0
        { "1.3.4", "1.3.4.1", -1 },
        { " v2.0 ", "1.9.9", 1 },                  // trimmed, one leading "v"
        { "1.4.0-beta", "1.3.4", 0 },              // not a version: never newer
        { "1..4", "1.3.4", 0 },
        { "1.4.", "1.3.4", 0 },
        { "", "1.3.4", 0 },
        { "v", "1.3.4", 0 },
        { "vv1.4", "1.3.4", 0 },
        { "+1.4", "1.3.4", 0 },
        { "1. 4", "1.3.4", 0 },
        { "0001.0004", "1.3.4", 1 },               // leading zeros mean nothing
        { "1.99999999999999999999999", "1.99999999999999999999998", 1 },   // beyond any integer type
        { "1.00000000000000000000000000007", "1.7", 0 },
        { "1.4294967296", "1.4294967295", 1 },     // just beyond 32 bits
        { "18446744073709551616", "18446744073709551615", 1 },   // just beyond 64 bits
        { "18446744073709551615", "18446744073709551616", -1 },
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (velmar::compareVersions (c.a, c.b), c.expected) << c.a << " vs " << c.b;
        EXPECT_EQ (velmar::compareVersions (c.b, c.a), -c.expected) << c.b << " vs " << c.a;
    }

    std::vector<juce::String> pieces;
    ASSERT_TRUE (velmar::parseVersion ("v01.20.003", pieces));
    EXPECT_EQ (pieces, (std::vector<juce::String> { "1", "20", "3" }));
    EXPECT_FALSE (velmar::parseVersion (juce::String (juce::CharPointer_UTF8 ("\xd9\xa1.\xd9\xa2")), pieces)) << "only ASCII digits";
    EXPECT_TRUE (pieces.empty());
}

TEST (Versions, LoopbackFeedHosts)
{
    struct Case { const char* url; bool loopback; };
    const Case cases[] = {
        { "http://localhost:8080/api/updates/corvessa.json", true },
        { "http://LOCALHOST/api", true },
        { "http://127.0.0.1:9/x", true },
        { "http://[::1]:8080/x", true },
        { "http://[::1]/x", true },
        { "http://user@127.0.0.1/x", true },
        { "https://velmar.audio/api/updates/corvessa.json", false },
        { "http://127.0.0.2:80/x", false },
        { "http://localhost.example.com/x", false },
        { "http://evil.example/localhost", false },
    };

    for (const auto& c : cases)
        EXPECT_EQ (UpdateChecker::isLoopbackHost (c.url), c.loopback) << c.url;
}

TEST_F (UpdateCheckerTest, FeedAnswersDecideTheStatusAndWhatIsCached)
{
    struct Case
    {
        const char* name;
        Response response;
        UpdateChecker::Status expected;
        bool cachedAfterwards;
        const char* expectedVersion;
    };

    const Case cases[] = {
        { "newer by number",     { 200, feed ("V1.3.10", "https://velmar.example/d").toStdString() }, UpdateChecker::updateAvailable, true, "V1.3.10" },
        { "same version",        { 200, feed ("1.3.4.0", "https://velmar.example/d").toStdString() }, UpdateChecker::upToDate, true, "1.3.4.0" },
        { "not a version",       { 200, feed ("1.4.0-beta", "https://velmar.example/d").toStdString() }, UpdateChecker::upToDate, true, "1.4.0-beta" },
        { "newer without link",  { 200, feed ("2.0.0", "").toStdString() }, UpdateChecker::upToDate, true, "2.0.0" },
        { "nested too deep",     { 200, "{\"latest_version\": \"9.0\", \"download_url\": \"https://velmar.example/d\", \"x\": " + std::string (200000, '[') + "}" }, UpdateChecker::idle, false, "" },
        { "wrong types",         { 200, "{\"latest_version\": 2, \"download_url\": [\"x\"]}" }, UpdateChecker::upToDate, true, "" },
        { "no JSON",             { 200, "<html>hello</html>", "text/html" }, UpdateChecker::idle, false, "" },
        { "JSON but no object",  { 200, "[1, 2]" }, UpdateChecker::idle, false, "" },
        { "error page as JSON",  { 404, feed ("9.0.0", "https://velmar.example/d").toStdString() }, UpdateChecker::idle, false, "" },
        { "server error",        { 503, "{}" }, UpdateChecker::idle, false, "" },
        { "not HTTP at all",     { 200, "garbage\r\n\r\n", "", 0, true }, UpdateChecker::idle, false, "" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        kittest::settingsFolder().deleteRecursively();

        kittest::LoopbackHttpServer server;
        ASSERT_TRUE (server.isRunning());
        server.respondWith (c.response);

        ChangeCounter changes;
        UpdateChecker checker (configFor (server.url (feedPath)));
        checker.addChangeListener (&changes);
        checker.checkForUpdates();

        ASSERT_TRUE (kittest::pumpMessagesUntil ([&] { return settled (checker); }));
        kittest::pumpMessagesUntil ([&] { return changes.count > 0; });
        checker.removeChangeListener (&changes);

        EXPECT_EQ (checker.getStatus(), c.expected);
        EXPECT_EQ (checker.isUpdateAvailable(), c.expected == UpdateChecker::updateAvailable);
        EXPECT_EQ (checker.getLatestVersion(), c.expectedVersion);
        EXPECT_GE (changes.count, 1);

        const auto requests = server.getRequests();
        ASSERT_EQ (requests.size(), 1u);
        EXPECT_EQ (requests[0].method, "GET");
        EXPECT_EQ (requests[0].path, feedPath);
        EXPECT_EQ (requests[0].header ("accept"), "application/json");

        const auto cache = cached();
        ASSERT_EQ ((cache.getDynamicObject() != nullptr), c.cachedAfterwards);

        if (c.cachedAfterwards)
        {
            EXPECT_EQ (cache.getProperty ("latest_version", {}).toString(), c.expectedVersion);
            EXPECT_EQ ((bool) cache.getProperty ("update_available", {}), c.expected == UpdateChecker::updateAvailable);
            EXPECT_EQ (cache.getDynamicObject()->getProperties().getName (0).toString(), "last_checked_utc");
            EXPECT_EQ (cache.getDynamicObject()->getProperties().getName (4).toString(), "update_available");
            EXPECT_LT (std::abs (juce::Time::fromISO8601 (cache.getProperty ("last_checked_utc", {}).toString()).toMilliseconds()
                                 - juce::Time::currentTimeMillis()), (juce::int64) 3600000);
        }
    }
}

TEST_F (UpdateCheckerTest, NoServerMeansIdleAndNothingCached)
{
    std::string url;
    {
        kittest::LoopbackHttpServer closed;
        url = closed.url (feedPath);
    }

    UpdateChecker checker (configFor (url));
    checker.checkForUpdates();
    EXPECT_EQ (checker.getStatus(), UpdateChecker::checking);
    ASSERT_TRUE (kittest::pumpMessagesUntil ([&] { return settled (checker); }));
    EXPECT_EQ (checker.getStatus(), UpdateChecker::idle);
    EXPECT_TRUE (cached().isVoid());
}

TEST_F (UpdateCheckerTest, CacheRulesForAFeedThatIsNotOnThisMachinesLoopbackName)
{
    // 127.0.0.2 is still this machine, but not one of the names whose cache is distrusted.
    struct Case
    {
        const char* name;
        double cacheAgeHours;          // NaN: no usable time stamp
        const char* cachedVersion;
        UpdateChecker::Status statusAtOnce;
        bool goesToNetwork;
    };

    const double noTime = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        { "fresh, newer",             23.0, "1.4.0", UpdateChecker::updateAvailable, false },
        { "fresh, nothing newer",     23.0, "1.3.4", UpdateChecker::idle,            false },
        { "stale, newer",             25.0, "1.4.0", UpdateChecker::updateAvailable, true },
        { "stale, nothing newer",     25.0, "1.3.4", UpdateChecker::checking,        true },
        { "from the future",          -5.0, "1.4.0", UpdateChecker::updateAvailable, false },
        { "time stamp unreadable",    noTime, "1.4.0", UpdateChecker::updateAvailable, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        kittest::settingsFolder().deleteRecursively();

        // The answer is held back until the test has seen what the checker shows at once,
        // which is the cache's result.
        kittest::Gate answer;
        kittest::LoopbackHttpServer server ("127.0.0.2");
        ASSERT_TRUE (server.isRunning());
        server.setResponder ([&answer] (const kittest::LoopbackHttpServer::Request&)
        {
            answer.waitUntilOpen();
            return Response { 200, feed ("1.3.4", "https://velmar.example/d").toStdString() };
        });
        struct OpenAtTheEnd { kittest::Gate& gate; ~OpenAtTheEnd() { gate.open(); } } openAtTheEnd { answer };

        const auto checkedAt = std::isnan (c.cacheAgeHours) ? juce::Time()
                             : juce::Time::getCurrentTime() - juce::RelativeTime::hours (c.cacheAgeHours);
        writeCache (c.cachedVersion, "https://velmar.example/cached", checkedAt);
        if (std::isnan (c.cacheAgeHours))
            velmar::SettingsStore ("VELMAR/Corvessa").updateSection ("updates", [] (const juce::var& s)
            {
                s.getDynamicObject()->setProperty ("last_checked_utc", "yesterday");
                return s;
            });

        ChangeCounter changes;
        UpdateChecker checker (configFor (server.url (feedPath)));
        checker.addChangeListener (&changes);
        checker.checkForUpdates();

        EXPECT_EQ (checker.getStatus(), c.statusAtOnce);
        if (c.statusAtOnce == UpdateChecker::updateAvailable)
        {
            EXPECT_EQ (checker.getDownloadUrl(), "https://velmar.example/cached");
        }

        if (c.goesToNetwork)
        {
            ASSERT_TRUE (server.waitForRequests (1, 20000));
            answer.open();
            ASSERT_TRUE (kittest::pumpMessagesUntil ([&] { return checker.getStatus() == UpdateChecker::upToDate; }));
            EXPECT_EQ (cached().getProperty ("latest_version", {}).toString(), "1.3.4");
        }
        else
        {
            if (c.statusAtOnce == UpdateChecker::updateAvailable)
            {
                EXPECT_TRUE (kittest::pumpMessagesUntil ([&] { return changes.count == 1; }));
            }

            kittest::pumpMessagesFor (100);
            EXPECT_EQ (server.getConnectionCount(), 0);
            EXPECT_EQ (checker.getStatus(), c.statusAtOnce);
        }

        checker.removeChangeListener (&changes);
    }
}

TEST_F (UpdateCheckerTest, ALoopbackFeedNeitherReadsNorTrustsTheCacheButStillWritesIt)
{
    writeCache ("9.9.9", "https://velmar.example/cached", juce::Time::getCurrentTime());

    kittest::LoopbackHttpServer server;
    server.respondWith ({ 200, feed ("1.3.4", "https://velmar.example/d").toStdString() });

    UpdateChecker checker (configFor (server.url (feedPath)));
    checker.checkForUpdates();
    EXPECT_EQ (checker.getStatus(), UpdateChecker::checking);
    EXPECT_FALSE (checker.isUpdateAvailable());

    ASSERT_TRUE (kittest::pumpMessagesUntil ([&] { return settled (checker); }));
    EXPECT_EQ (checker.getStatus(), UpdateChecker::upToDate);
    EXPECT_EQ (server.getRequests().size(), 1u);
    EXPECT_EQ (cached().getProperty ("latest_version", {}).toString(), "1.3.4");
}

TEST_F (UpdateCheckerTest, AFailedCheckKeepsAnUpdateAlreadyKnown)
{
    kittest::LoopbackHttpServer server ("127.0.0.2");
    server.respondWith ({ 500, "<html>down</html>", "text/html" });
    writeCache ("1.5.0", "https://velmar.example/cached", juce::Time::getCurrentTime() - juce::RelativeTime::hours (30));

    UpdateChecker checker (configFor (server.url (feedPath)));
    checker.checkForUpdates();
    EXPECT_EQ (checker.getStatus(), UpdateChecker::updateAvailable);
    ASSERT_TRUE (server.waitForRequests (1, 20000));
    kittest::pumpMessagesFor (200);

    EXPECT_EQ (checker.getStatus(), UpdateChecker::updateAvailable);
    EXPECT_EQ (checker.getLatestVersion(), "1.5.0");
    EXPECT_EQ (cached().getProperty ("latest_version", {}).toString(), "1.5.0") << "a failed check is not cached";
}

TEST_F (UpdateCheckerTest, ChecksOnlyOnceAndNotWithoutAFeedOrVersion)
{
    kittest::LoopbackHttpServer server;
    server.respondWith ({ 200, feed ("1.3.4", "https://velmar.example/d").toStdString() });

    UpdateChecker checker (configFor (server.url (feedPath)));
    checker.checkForUpdates();
    ASSERT_TRUE (kittest::pumpMessagesUntil ([&] { return settled (checker); }));
    checker.checkForUpdates();
    kittest::pumpMessagesFor (100);
    EXPECT_EQ (server.getConnectionCount(), 1);

    auto noVersion = configFor (server.url (feedPath));
    noVersion.currentVersion = {};
    UpdateChecker withoutVersion (noVersion);
    withoutVersion.checkForUpdates();

    UpdateChecker withoutFeed (configFor (""));
    withoutFeed.checkForUpdates();

    kittest::pumpMessagesFor (100);
    EXPECT_EQ (server.getConnectionCount(), 1);
    EXPECT_EQ (withoutVersion.getStatus(), UpdateChecker::idle);
    EXPECT_EQ (withoutFeed.getStatus(), UpdateChecker::idle);
}

TEST_F (UpdateCheckerTest, TearDownDuringASlowFeedAbortsTheRequest)
{
    kittest::LoopbackHttpServer server;
    server.respondWith ({ 200, feed ("2.0.0", "https://velmar.example/d").toStdString(), "application/json", 60000 });

    {
        UpdateChecker checker (configFor (server.url (feedPath)));
        checker.checkForUpdates();
        ASSERT_TRUE (server.waitForRequests (1, 20000));
    }

    // Had the destructor waited the request out, the server would have answered instead.
    for (int i = 0; i < 1000 && server.getAbortedByClientCount() == 0; ++i)
        juce::Thread::sleep (10);

    EXPECT_EQ (server.getAbortedByClientCount(), 1);
    EXPECT_TRUE (cached().isVoid());
}

TEST_F (UpdateCheckerTest, OpensOnlyWebLinksFromTheFeed)
{
    juce::StringArray opened;
    velmar::setWebAddressLauncherForTesting ([&] (const juce::String& a) { opened.add (a); return true; });

    struct Case { const char* link; bool opens; };
    const Case cases[] = {
        { "https://velmar.example/download?v=2", true },
        { "http://velmar.example/d", true },
        { "file:///etc/passwd", false },
        { "javascript:alert(1)", false },
        { "https://velmar.example/$(touch /tmp/x)`id` ;rm", false },   // blanks are refused outright
        { "-https://velmar.example", false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.link);
        kittest::settingsFolder().deleteRecursively();
        opened.clear();

        kittest::LoopbackHttpServer server;
        server.respondWith ({ 200, feed ("2.0.0", c.link).toStdString() });

        UpdateChecker checker (configFor (server.url (feedPath)));
        checker.checkForUpdates();
        ASSERT_TRUE (kittest::pumpMessagesUntil ([&] { return settled (checker); }));
        checker.openDownloadPage();

        EXPECT_EQ (opened.size(), c.opens ? 1 : 0);
        if (c.opens)
        {
            EXPECT_EQ (opened[0], c.link);
        }

        // A link that would never open is no download link: no update is announced, and the
        // cache says so too.
        EXPECT_EQ (checker.isUpdateAvailable(), c.opens);
        EXPECT_EQ (checker.getDownloadUrl(), c.opens ? juce::String (c.link) : juce::String());
        EXPECT_EQ ((bool) cached().getProperty ("update_available", {}), c.opens);
        EXPECT_EQ (cached().getProperty ("download_url", {}).toString(), c.opens ? juce::String (c.link) : juce::String());

        // Nor does such a link in a cache left by an older version.
        kittest::settingsFolder().deleteRecursively();
        writeCache ("2.0.0", c.link, juce::Time::getCurrentTime());
        kittest::LoopbackHttpServer other ("127.0.0.2");
        UpdateChecker fromCache (configFor (other.url (feedPath)));
        fromCache.checkForUpdates();
        EXPECT_EQ (fromCache.isUpdateAvailable(), c.opens);
    }

    // Nothing to open before a link is known.
    opened.clear();
    UpdateChecker idle (configFor (""));
    idle.openDownloadPage();
    EXPECT_TRUE (opened.isEmpty());
}
