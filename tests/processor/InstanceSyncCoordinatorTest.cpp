#include "processor/sync/InstanceSyncCoordinator.h"

#include "kit/platform/NamedProcessLock.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using InstanceSync::InstanceSyncCoordinator;
using InstanceSync::Mode;
using InstanceSync::SharedSnapshot;

namespace
{
// A folder and a lock name of its own for every test, a clock the test moves by hand, and
// coordinators whose callbacks record what they were asked and told. Timers are never served
// here (nothing pumps the message queue): ticks are run by calling timerCallback.
class CoordinatorTest : public ::testing::Test
{
protected:
    struct Instance
    {
        int snapshotsGiven = 0;
        std::vector<SharedSnapshot> received;
        std::vector<Mode> modesTold;
        // Last, so it goes first: its destructor still tells the listener.
        std::unique_ptr<InstanceSyncCoordinator> coordinator;
    };

    void SetUp() override
    {
        folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                     .getChildFile ("sync-coordinator-" + juce::Uuid().toString());
        syncFile = folder.getChildFile ("shared").getChildFile ("leader-sync.json");
        lockName = "com.velmar.test.sync." + juce::Uuid().toString();
    }

    void TearDown() override
    {
        instances.clear();
        folder.deleteRecursively();
    }

    InstanceSyncCoordinator::Config makeConfig() const
    {
        InstanceSyncCoordinator::Config config;
        config.syncFile = syncFile;
        config.lockName = lockName;
        config.leaderIntervalMs = 2000;
        config.followerIntervalMs = 100;
        config.leaseMs = 10000;
        config.lockWaitMs = 80;
        return config;
    }

    Instance& make (const juce::String& id, bool withProvider = true)
    {
        auto instance = std::make_unique<Instance>();
        auto* raw = instance.get();
        raw->coordinator = std::make_unique<InstanceSyncCoordinator> (makeConfig(), id, [this] { return nowMs; });

        if (withProvider)
        {
            raw->coordinator->setSnapshotProvider ([raw, id]
            {
                SharedSnapshot snapshot;
                snapshot.activeSectionIndex = raw->snapshotsGiven;
                auto* object = new juce::DynamicObject();
                object->setProperty ("from", id);
                object->setProperty ("count", ++raw->snapshotsGiven);
                snapshot.payload = juce::var (object);
                return snapshot;
            });
        }

        raw->coordinator->setSnapshotReceiver ([raw] (const SharedSnapshot& s) { raw->received.push_back (s); });
        raw->coordinator->setModeListener ([raw] (Mode m) { raw->modesTold.push_back (m); });
        instances.push_back (std::move (instance));
        return *raw;
    }

    juce::var readFileJson() const { return juce::JSON::parse (syncFile.loadFileAsString()); }
    juce::String fileLeader() const { return readFileJson()["leaderId"].toString(); }

    // Files other than the record itself: a leftover temporary file would show up here.
    juce::StringArray strayFiles() const
    {
        juce::StringArray names;
        for (const auto& f : syncFile.getParentDirectory().findChildFiles (juce::File::findFiles, false, "*", juce::File::FollowSymlinks::no))
            if (f != syncFile)
                names.add (f.getFileName());
        return names;
    }

    void writeRaw (const juce::String& text)
    {
        ASSERT_TRUE (syncFile.getParentDirectory().createDirectory().wasOk());
        ASSERT_TRUE (syncFile.replaceWithText (text));
    }

    static juce::String recordText (const juce::String& leaderId, juce::int64 updatedAt, juce::int64 leaseUntil,
                                    const juce::String& payload = "{\"x\": 1}", const juce::String& schema = "1")
    {
        return "{\"schemaVersion\": " + schema + ", \"leaderId\": \"" + leaderId + "\", \"updatedAtMs\": "
             + juce::String (updatedAt) + ", \"leaseUntilMs\": " + juce::String (leaseUntil)
             + ", \"activeSectionIndex\": 2, \"payload\": " + payload + "}";
    }

    juce::ScopedJuceInitialiser_GUI juce;
    juce::File folder, syncFile;
    juce::String lockName;
    juce::int64 nowMs = 1'700'000'000'000;
    std::vector<std::unique_ptr<Instance>> instances;
};
} // namespace

TEST (InstanceSyncMode, IntsAndNames)
{
    struct Case { int value; Mode mode; const char* name; };
    const Case cases[] = {
        { 0, Mode::Off, "Off" }, { 1, Mode::Leader, "Leader" }, { 2, Mode::Follower, "Follower" },
        { 3, Mode::Off, "Off" }, { -1, Mode::Off, "Off" }, { 1 << 30, Mode::Off, "Off" },
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (InstanceSync::toMode (c.value), c.mode) << c.value;
        EXPECT_EQ (InstanceSync::getModeName (InstanceSync::toMode (c.value)), c.name) << c.value;
        EXPECT_EQ (InstanceSync::getModeName (c.value), c.name) << "the role number, as getSyncMode reports it";
    }

    EXPECT_EQ (InstanceSync::getModeName (static_cast<Mode> (7)), "Off");
}

TEST_F (CoordinatorTest, LeaderWritesTheRecordWithItsKeysInOrderThroughATemporaryFile)
{
    auto& a = make ("leader-a");
    ASSERT_TRUE (a.coordinator->setMode (Mode::Leader));

    const auto text = syncFile.loadFileAsString();
    EXPECT_TRUE (text.contains ("\r\n")) << "multi-line with CR LF";
    EXPECT_FALSE (text.replace ("\r\n", "").containsChar ('\n')) << "no bare LF";

    const auto json = readFileJson();
    auto* object = json.getDynamicObject();
    ASSERT_NE (object, nullptr);

    const auto& props = object->getProperties();
    const char* expectedKeys[] = { "schemaVersion", "leaderId", "updatedAtMs", "leaseUntilMs", "activeSectionIndex", "payload" };
    ASSERT_EQ (props.size(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ (props.getName (i).toString(), expectedKeys[i]);

    EXPECT_EQ ((int) json["schemaVersion"], 1);
    EXPECT_EQ (json["leaderId"].toString(), "leader-a");
    EXPECT_EQ ((juce::int64) json["updatedAtMs"], nowMs);
    EXPECT_EQ ((juce::int64) json["leaseUntilMs"], nowMs + 10000);
    EXPECT_EQ ((int) json["activeSectionIndex"], 0);
    EXPECT_EQ (json["payload"]["from"].toString(), "leader-a");

    EXPECT_TRUE (strayFiles().isEmpty()) << strayFiles().joinIntoString (", ");
    EXPECT_EQ (a.modesTold, std::vector<Mode> { Mode::Leader });
    EXPECT_TRUE (a.coordinator->isTicking());
    EXPECT_EQ (a.coordinator->getTickIntervalMs(), 2000);
}

TEST_F (CoordinatorTest, WriteTimeRisesStrictlyEvenWhenTheClockStandsStillOrGoesBack)
{
    auto& a = make ("leader-a");
    ASSERT_TRUE (a.coordinator->setMode (Mode::Leader));
    const auto first = nowMs;

    struct Step { juce::int64 clockMove; juce::int64 expectedUpdatedAt; };
    const Step steps[] = {
        { 0, first + 1 },          // same millisecond
        { -5000, first + 2 },      // clock set back
        { 6000, first + 1000 },    // clock ahead of the last write again
    };

    for (const auto& step : steps)
    {
        nowMs += step.clockMove;
        ASSERT_TRUE (a.coordinator->publishSnapshot());
        const auto json = readFileJson();
        EXPECT_EQ ((juce::int64) json["updatedAtMs"], step.expectedUpdatedAt);
        EXPECT_EQ ((juce::int64) json["leaseUntilMs"], step.expectedUpdatedAt + 10000);
    }

    // The timer's tick publishes a fresh snapshot too.
    const auto given = a.snapshotsGiven;
    a.coordinator->timerCallback();
    EXPECT_EQ (a.snapshotsGiven, given + 1);
}

TEST_F (CoordinatorTest, RecordReadRules)
{
    struct Case { const char* what; juce::String text; bool valid; };
    const auto deep = juce::String::repeatedString ("[", 5000) + juce::String::repeatedString ("]", 5000);

    const std::vector<Case> cases = {
        { "a proper record", recordText ("x", 5, 10), true },
        { "schemaVersion 2", recordText ("x", 5, 10, "{}", "2"), false },
        { "schemaVersion 0", recordText ("x", 5, 10, "{}", "0"), false },
        { "schemaVersion beyond 32 bits that truncates to 1", recordText ("x", 5, 10, "{}", "4294967297"), false },
        { "schemaVersion missing", "{\"leaderId\": \"x\", \"leaseUntilMs\": 10, \"payload\": {}}", false },
        // Numbers that do not fit the integers they are read into make the record invalid
        // instead of being cast (undefined for doubles) or wrapped.
        { "schemaVersion wrapping to 1 past 64 bits", recordText ("x", 5, 10, "{}", "18446744073709551617"), false },
        { "schemaVersion 1.0e300", recordText ("x", 5, 10, "{}", "1.0e300"), false },
        { "updatedAtMs 1e300", "{\"schemaVersion\": 1, \"leaderId\": \"x\", \"updatedAtMs\": 1e300, \"leaseUntilMs\": 10, \"payload\": {}}", false },
        { "leaseUntilMs past 64 bits", "{\"schemaVersion\": 1, \"leaderId\": \"x\", \"leaseUntilMs\": 92233720368547758070, \"payload\": {}}", false },
        { "leaseUntilMs -1e300", "{\"schemaVersion\": 1, \"leaderId\": \"x\", \"leaseUntilMs\": -1e300, \"payload\": {}}", false },
        { "activeSectionIndex beyond 32 bits", "{\"schemaVersion\": 1, \"leaderId\": \"x\", \"activeSectionIndex\": 4294967298, \"payload\": {}}", false },
        { "a whole number written as a double", "{\"schemaVersion\": 1.0, \"leaderId\": \"x\", \"leaseUntilMs\": 1.7e12, \"payload\": {}}", true },
        { "empty leaderId", recordText ("", 5, 10), false },
        { "leaderId missing", "{\"schemaVersion\": 1, \"leaseUntilMs\": 10, \"payload\": {}}", false },
        { "payload an array", recordText ("x", 5, 10, "[1, 2]"), false },
        { "payload a string", recordText ("x", 5, 10, "\"{}\""), false },
        { "payload null", recordText ("x", 5, 10, "null"), false },
        { "payload missing", "{\"schemaVersion\": 1, \"leaderId\": \"x\", \"leaseUntilMs\": 10}", false },
        { "root an array", "[" + recordText ("x", 5, 10) + "]", false },
        { "not JSON", "schemaVersion=1", false },
        { "cut off half-way", recordText ("x", 5, 10).substring (0, 40), false },
        { "empty", "", false },
        { "nested past any record of ours", "{\"schemaVersion\": 1, \"leaderId\": \"x\", \"payload\": {\"a\": " + deep + "}}", false },
        // The parser also takes single-quoted strings: neither a double quote nor closing
        // brackets inside one may hide the depth of what follows.
        { "nesting behind a single-quoted double quote",
          "{\"schemaVersion\": 1, \"leaderId\": \"x\", \"payload\": {\"q\": '\"', \"a\": " + deep + ", \"r\": '\"'}}", false },
        { "nesting behind single-quoted closing brackets",
          "{\"schemaVersion\": 1, \"leaderId\": \"x\", \"payload\": {\"q\": '" + juce::String::repeatedString ("]", 5000) + "', \"a\": " + deep + "}}", false },
    };

    for (const auto& c : cases)
        EXPECT_EQ (InstanceSyncCoordinator::parseRecord (c.text).valid, c.valid) << c.what;

    // Defaults of missing fields in a valid record.
    const auto sparse = InstanceSyncCoordinator::parseRecord ("{\"schemaVersion\": 1, \"leaderId\": \"x\", \"payload\": {}}");
    ASSERT_TRUE (sparse.valid);
    EXPECT_EQ (sparse.updatedAtMs, 0);
    EXPECT_EQ (sparse.leaseUntilMs, 0);
    EXPECT_EQ (sparse.activeSectionIndex, -1);

    const auto full = InstanceSyncCoordinator::parseRecord (recordText ("x", 1'700'000'000'123, 1'700'000'010'123));
    EXPECT_EQ (full.updatedAtMs, 1'700'000'000'123);
    EXPECT_EQ (full.leaseUntilMs, 1'700'000'010'123);
    EXPECT_EQ (full.activeSectionIndex, 2);
}

TEST_F (CoordinatorTest, AFollowerIgnoresRecordsItMustNotApply)
{
    auto& b = make ("follower-b");

    struct Case { const char* what; juce::String text; };
    const std::vector<Case> cases = {
        { "schemaVersion 2", recordText ("leader-a", nowMs, nowMs + 10000, "{}", "2") },
        { "empty leaderId", recordText ("", nowMs, nowMs + 10000) },
        { "payload not an object", recordText ("leader-a", nowMs, nowMs + 10000, "[]") },
        { "its own id", recordText ("follower-b", nowMs, nowMs + 10000) },
        { "lease ended a millisecond ago", recordText ("leader-a", nowMs - 10001, nowMs - 1) },
        { "not JSON", "{\"schemaVersion\": 1," },
    };

    for (const auto& c : cases)
    {
        writeRaw (c.text);
        ASSERT_TRUE (b.coordinator->setMode (Mode::Follower)) << c.what;
        b.coordinator->timerCallback();
        EXPECT_TRUE (b.received.empty()) << c.what;
        EXPECT_EQ (syncFile.loadFileAsString(), c.text) << c.what << ": a follower never writes";
        ASSERT_TRUE (b.coordinator->setMode (Mode::Off));
    }

    // The lease ending in this very millisecond still counts.
    writeRaw (recordText ("leader-a", nowMs - 10000, nowMs));
    ASSERT_TRUE (b.coordinator->setMode (Mode::Follower));
    EXPECT_EQ (b.received.size(), 1u);
}

TEST_F (CoordinatorTest, FollowerAppliesEachNewerRecordOnce)
{
    auto& b = make ("follower-b");
    writeRaw (recordText ("leader-a", nowMs, nowMs + 10000, "{\"v\": 1}"));

    // Setting Follower polls at once.
    ASSERT_TRUE (b.coordinator->setMode (Mode::Follower));
    ASSERT_EQ (b.received.size(), 1u);
    EXPECT_EQ ((int) b.received[0].payload["v"], 1);
    EXPECT_EQ (b.received[0].activeSectionIndex, 2);
    EXPECT_EQ (b.coordinator->getTickIntervalMs(), 100);

    struct Step { const char* what; juce::String text; size_t expectedCount; };
    const Step steps[] = {
        { "the same record again", recordText ("leader-a", nowMs, nowMs + 10000, "{\"v\": 1}"), 1 },
        { "an older write of the same leader", recordText ("leader-a", nowMs - 1, nowMs + 10000, "{\"v\": 0}"), 1 },
        { "a newer write of the same leader", recordText ("leader-a", nowMs + 1, nowMs + 10000, "{\"v\": 2}"), 2 },
        { "a new leader with an older write time", recordText ("leader-c", nowMs - 500, nowMs + 10000, "{\"v\": 3}"), 3 },
        { "the leader gone (file deleted)", {}, 3 },
    };

    for (const auto& step : steps)
    {
        if (step.text.isEmpty())
            syncFile.deleteFile();
        else
            writeRaw (step.text);

        b.coordinator->timerCallback();
        EXPECT_EQ (b.received.size(), step.expectedCount) << step.what;
    }

    EXPECT_EQ ((int) b.received.back().payload["v"], 3);
    EXPECT_EQ (b.coordinator->getMode(), Mode::Follower) << "a follower never leads by itself";
    EXPECT_FALSE (syncFile.exists());
}

TEST_F (CoordinatorTest, LeaseDecidesWhetherASecondLeaderIsRefused)
{
    auto& a = make ("leader-a");
    auto& b = make ("leader-b");
    ASSERT_TRUE (a.coordinator->setMode (Mode::Leader));
    const auto written = nowMs;

    struct Case { juce::int64 at; bool bMayLead; };
    const Case cases[] = {
        { written + 1, false },
        { written + 10000, false },   // lease ends in this millisecond: still live
        { written + 10001, true },    // the leader vanished without releasing
    };

    for (const auto& c : cases)
    {
        nowMs = c.at;
        EXPECT_EQ (b.coordinator->isAnotherLeaderActive(), ! c.bMayLead) << c.at - written;
        EXPECT_EQ (b.coordinator->setMode (Mode::Leader), c.bMayLead) << c.at - written;
        EXPECT_EQ (b.coordinator->getMode(), c.bMayLead ? Mode::Leader : Mode::Off);
    }

    EXPECT_EQ (fileLeader(), "leader-b");
    EXPECT_EQ (b.modesTold, std::vector<Mode> { Mode::Leader }) << "a refusal from Off tells nobody";
    EXPECT_TRUE (a.coordinator->isAnotherLeaderActive());
}

TEST_F (CoordinatorTest, RefusedFollowerToLeaderEndsOffAndTellsTheListener)
{
    auto& a = make ("leader-a");
    auto& b = make ("other-b");
    ASSERT_TRUE (a.coordinator->setMode (Mode::Leader));
    ASSERT_TRUE (b.coordinator->setMode (Mode::Follower));

    EXPECT_FALSE (b.coordinator->setMode (Mode::Leader));
    EXPECT_EQ (b.coordinator->getMode(), Mode::Off);
    EXPECT_FALSE (b.coordinator->isTicking());
    EXPECT_EQ (b.modesTold, (std::vector<Mode> { Mode::Follower, Mode::Off }));
    EXPECT_EQ (fileLeader(), "leader-a");
}

TEST_F (CoordinatorTest, TakeOverForcesTheRecordAndTheOldLeaderStepsDownWithoutDeletingIt)
{
    auto& a = make ("leader-a");
    auto& b = make ("leader-b");
    ASSERT_TRUE (a.coordinator->setMode (Mode::Leader));

    nowMs += 500;
    ASSERT_TRUE (b.coordinator->takeOverLeadership());
    EXPECT_EQ (fileLeader(), "leader-b");
    EXPECT_EQ (b.coordinator->getMode(), Mode::Leader);

    // A's next tick finds B's live record.
    nowMs += 1500;
    a.coordinator->timerCallback();
    EXPECT_EQ (a.coordinator->getMode(), Mode::Off);
    EXPECT_FALSE (a.coordinator->isTicking());
    EXPECT_EQ (a.modesTold, (std::vector<Mode> { Mode::Leader, Mode::Off }));
    EXPECT_EQ (fileLeader(), "leader-b");

    // A publish by a coordinator that is no longer leader writes nothing.
    const auto before = syncFile.loadFileAsString();
    EXPECT_FALSE (a.coordinator->publishSnapshot());
    EXPECT_EQ (syncFile.loadFileAsString(), before);

    // Taking over while already leading and unchallenged changes nothing.
    const auto given = b.snapshotsGiven;
    EXPECT_TRUE (b.coordinator->takeOverLeadership());
    EXPECT_EQ (b.snapshotsGiven, given);
    EXPECT_EQ (b.modesTold, std::vector<Mode> { Mode::Leader });
}

TEST_F (CoordinatorTest, PublishStepsDownWhenAnotherLeaderTookOver)
{
    auto& a = make ("leader-a");
    auto& b = make ("leader-b");
    ASSERT_TRUE (a.coordinator->setMode (Mode::Leader));
    ASSERT_TRUE (b.coordinator->takeOverLeadership());

    EXPECT_FALSE (a.coordinator->publishSnapshot());
    EXPECT_EQ (a.coordinator->getMode(), Mode::Off);
    EXPECT_EQ (fileLeader(), "leader-b");
}

TEST_F (CoordinatorTest, LeavingLeadershipDeletesTheFileOnlyWhileItNamesThisInstance)
{
    struct Case { const char* how; bool otherLeaderWroteMeanwhile; bool expectFile; };
    const Case cases[] = {
        { "setMode Off", false, false },
        { "setMode Follower", false, false },
        { "stop", false, false },
        { "destructor", false, false },
        { "setMode Off", true, true },
        { "destructor", true, true },
    };

    for (const auto& c : cases)
    {
        const juce::String what = juce::String (c.how) + (c.otherLeaderWroteMeanwhile ? ", file names another" : "");
        syncFile.deleteFile();
        auto& a = make ("leader-a-" + juce::String (c.how).removeCharacters (" "));
        ASSERT_TRUE (a.coordinator->setMode (Mode::Leader)) << what;

        if (c.otherLeaderWroteMeanwhile)
            writeRaw (recordText ("someone-else", nowMs, nowMs + 10000));

        const juce::String how (c.how);
        if (how == "setMode Off")           EXPECT_TRUE (a.coordinator->setMode (Mode::Off));
        else if (how == "setMode Follower") EXPECT_TRUE (a.coordinator->setMode (Mode::Follower));
        else if (how == "stop")             a.coordinator->stop();
        else                                a.coordinator.reset();

        EXPECT_EQ (syncFile.existsAsFile(), c.expectFile) << what;

        if (a.coordinator != nullptr)
        {
            EXPECT_NE (a.coordinator->getMode(), Mode::Leader) << what;
            EXPECT_EQ (a.modesTold.back(), a.coordinator->getMode()) << what;
        }
        else
        {
            EXPECT_EQ (a.modesTold.back(), Mode::Off) << what;
        }
    }
}

TEST_F (CoordinatorTest, ALockThatCannotBeEnteredInTimeIsAQuietNotThisTime)
{
    auto& a = make ("leader-a");
    velmar::NamedProcessLock blocker (lockName);

    // Leadership refused: nothing written, not even a temporary file.
    ASSERT_TRUE (blocker.enter (0));
    EXPECT_FALSE (a.coordinator->setMode (Mode::Leader));
    EXPECT_EQ (a.coordinator->getMode(), Mode::Off);
    EXPECT_TRUE (strayFiles().isEmpty());
    EXPECT_FALSE (syncFile.exists());
    EXPECT_TRUE (a.modesTold.empty());
    blocker.exit();

    ASSERT_TRUE (a.coordinator->setMode (Mode::Leader));
    const auto written = syncFile.loadFileAsString();

    // While the lock is held elsewhere a leader's publish and tick skip their turn and it stays
    // leader; leaving leadership cannot delete the file.
    ASSERT_TRUE (blocker.enter (0));
    nowMs += 2000;
    EXPECT_FALSE (a.coordinator->publishSnapshot());
    a.coordinator->timerCallback();
    EXPECT_EQ (a.coordinator->getMode(), Mode::Leader);
    EXPECT_EQ (syncFile.loadFileAsString(), written);
    EXPECT_TRUE (strayFiles().isEmpty());

    EXPECT_TRUE (a.coordinator->setMode (Mode::Off));
    EXPECT_EQ (a.coordinator->getMode(), Mode::Off);
    EXPECT_EQ (syncFile.loadFileAsString(), written) << "the release was skipped, not half done";
    blocker.exit();
}

TEST_F (CoordinatorTest, FailuresToLeadLeaveTheInstanceOff)
{
    // No snapshot provider, an empty id, a folder that cannot be created.
    auto& noProvider = make ("leader-a", false);
    EXPECT_FALSE (noProvider.coordinator->setMode (Mode::Leader));
    EXPECT_FALSE (noProvider.coordinator->takeOverLeadership());
    EXPECT_EQ (noProvider.coordinator->getMode(), Mode::Off);

    auto& noId = make ("");
    EXPECT_FALSE (noId.coordinator->setMode (Mode::Leader));
    EXPECT_EQ (noId.coordinator->getMode(), Mode::Off);
    EXPECT_FALSE (syncFile.exists());

    // The record's folder is taken by a plain file.
    ASSERT_TRUE (folder.createDirectory().wasOk());
    ASSERT_TRUE (syncFile.getParentDirectory().replaceWithText ("not a folder"));
    auto& blocked = make ("leader-b");
    EXPECT_FALSE (blocked.coordinator->setMode (Mode::Leader));
    EXPECT_FALSE (blocked.coordinator->takeOverLeadership());
    EXPECT_EQ (blocked.coordinator->getMode(), Mode::Off);
}

TEST_F (CoordinatorTest, LeaderThatFailsToWriteStaysLeaderAndWritesOnItsNextTick)
{
    auto& a = make ("leader-a");
    ASSERT_TRUE (a.coordinator->setMode (Mode::Leader));
    const auto firstWrite = (juce::int64) readFileJson()["updatedAtMs"];

    // Take the folder away and put a plain file in its place.
    const auto recordFolder = syncFile.getParentDirectory();
    ASSERT_TRUE (recordFolder.deleteRecursively());
    ASSERT_TRUE (recordFolder.replaceWithText ("in the way"));

    nowMs = firstWrite;   // clock stands still: the next write must still rise by one
    EXPECT_FALSE (a.coordinator->publishSnapshot());
    EXPECT_EQ (a.coordinator->getMode(), Mode::Leader);

    ASSERT_TRUE (recordFolder.deleteFile());
    a.coordinator->timerCallback();
    ASSERT_TRUE (syncFile.existsAsFile());
    EXPECT_EQ ((juce::int64) readFileJson()["updatedAtMs"], firstWrite + 1) << "a failed write does not advance the write time";
}

TEST_F (CoordinatorTest, SettingTheCurrentModeChangesNothing)
{
    auto& a = make ("leader-a");
    ASSERT_TRUE (a.coordinator->setMode (Mode::Leader));
    const auto given = a.snapshotsGiven;
    EXPECT_TRUE (a.coordinator->setMode (Mode::Leader));
    EXPECT_EQ (a.snapshotsGiven, given);

    auto& b = make ("follower-b");
    ASSERT_TRUE (b.coordinator->setMode (Mode::Follower));
    ASSERT_EQ (b.received.size(), 1u);
    nowMs += 1;
    ASSERT_TRUE (a.coordinator->publishSnapshot());
    EXPECT_TRUE (b.coordinator->setMode (Mode::Follower));
    EXPECT_EQ (b.received.size(), 1u) << "setting Follower again does not poll";

    EXPECT_TRUE (b.coordinator->setMode (Mode::Off));
    EXPECT_TRUE (b.coordinator->setMode (Mode::Off));
    EXPECT_EQ (b.modesTold, (std::vector<Mode> { Mode::Follower, Mode::Off }));
    EXPECT_FALSE (b.coordinator->isTicking());
}
