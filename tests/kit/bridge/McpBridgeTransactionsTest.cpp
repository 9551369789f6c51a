// Transactions: prepare, commit, finalize and rollback, their replays, leases and the automatic
// rollback, all on the clock the test sets.
#include "kit/bridge/BridgeTestSupport.h"

namespace
{
using namespace bridgetest;

class BridgeTransactionTest : public BridgeTest
{
protected:
    juce::var status() { return call ("get_transaction_status")["payload"]; }
    juce::String phase() { return status()["phase"].toString(); }

    juce::var undo (const juce::String& changeId)
    {
        return call ("undo", { { "expectedRevision", revision() }, { "changeId", changeId } });
    }

    // A transaction taken as far as commit.
    void commitNew (const juce::var& project, const juce::String& transactionId)
    {
        EXPECT_BRIDGE_OK (prepare (project, transactionId, transactionId + "-change"), false);
        EXPECT_BRIDGE_OK (step ("commit", transactionId), true);
    }

    const juce::var original = processor.project;
};
} // namespace

TEST_F (BridgeTransactionTest, PrepareCommitFinalizeChangesTheProjectOnceAndReplaysEachStep)
{
    const auto next = song ({ "Dm G C" });

    const auto prepared = prepare (next, "t1", "c1");
    EXPECT_BRIDGE_OK (prepared, false);
    EXPECT_EQ (prepared["changeId"].toString(), "c1");
    EXPECT_TRUE (sameContent (prepared["project"], original));
    EXPECT_EQ (processor.applyCalls, 0);
    EXPECT_EQ (phase(), "PREPARED");

    const auto committed = step ("commit", "t1");
    EXPECT_BRIDGE_OK (committed, true);
    EXPECT_EQ (json (committed["revision"]), "2");
    EXPECT_EQ (committed["changeId"].toString(), "c1");
    EXPECT_TRUE (sameContent (committed["project"], next));
    EXPECT_TRUE (sameContent (processor.project, next));
    EXPECT_EQ (processor.changes, (std::vector<juce::String> { "c1" }));
    EXPECT_EQ (json (presence()["revision"]), "2");

    const auto finalized = step ("finalize", "t1");
    EXPECT_BRIDGE_OK (finalized, false);
    EXPECT_EQ (finalized["changeId"].toString(), "c1");
    EXPECT_EQ (phase(), "IDLE");

    // Each step again, with or without its change id: the first answer again.
    clockMs += 29999;
    for (const auto* operation : { "commit", "finalize" })
    {
        const auto again = call (operation, { { "transactionId", "t1" }, { "changeId", "c1" } });
        EXPECT_BRIDGE_OK (again, std::string (operation) == "commit");
        EXPECT_TRUE (sameContent (again["project"], next)) << operation;
        EXPECT_BRIDGE_ERROR (call (operation, { { "transactionId", "t1" }, { "changeId", "other" } }),
                             "CHANGE_ID_MISMATCH", "changeId does not match the transaction");
    }
    EXPECT_EQ (processor.applyCalls, 1);

    // Once the replay window has passed, the id is spent.
    clockMs += 1;
    for (const auto* operation : { "commit", "finalize", "rollback" })
        EXPECT_BRIDGE_ERROR (step (operation, "t1"), "DUPLICATE_TRANSACTION", "transactionId has already completed");
    EXPECT_BRIDGE_ERROR (prepare (next, "t1", "c9"), "DUPLICATE_TRANSACTION", "transactionId has already been used");

    // The finalized change is the one to undo.
    EXPECT_BRIDGE_OK (undo ("u1"), true);
    EXPECT_TRUE (sameContent (processor.project, original));
}

TEST_F (BridgeTransactionTest, RollbackAfterFinalizeRestoresAndEmptiesTheUndoSlot)
{
    commitNew (song ({ "Dm" }), "t1");
    EXPECT_BRIDGE_OK (step ("finalize", "t1"), false);

    const auto rolledBack = step ("rollback", "t1");
    EXPECT_BRIDGE_OK (rolledBack, true);
    EXPECT_EQ (rolledBack["changeId"].toString(), "t1-change");
    EXPECT_TRUE (sameContent (rolledBack["project"], original));
    EXPECT_TRUE (sameContent (processor.project, original));
    EXPECT_EQ (processor.changes.size(), 2u);
    EXPECT_EQ (json (presence()["revision"]), "3");

    EXPECT_BRIDGE_ERROR (undo ("u1"), "NO_UNDO", "No MCP change is available to undo");

    // Again: succeeds without doing anything.
    const auto again = call ("abort_transaction", { { "transactionId", "t1" }, { "changeId", "anything" } });
    EXPECT_BRIDGE_OK (again, false);
    EXPECT_EQ (again["changeId"].toString(), "anything");
    EXPECT_EQ (processor.applyCalls, 2);
}

TEST_F (BridgeTransactionTest, OneTransactionAtATimeAndNoDirectChangeMeanwhile)
{
    EXPECT_BRIDGE_OK (prepare (song ({ "Dm" }), "t1", "c1"), false);

    EXPECT_BRIDGE_ERROR (prepare (song ({ "Em" }), "t2", "c2"), "TRANSACTION_BUSY", "Another MCP transaction is active");
    EXPECT_BRIDGE_ERROR (set (song ({ "Em" }), "c3"), "TRANSACTION_BUSY", "Another MCP transaction is active");
    EXPECT_BRIDGE_ERROR (undo ("c4"), "TRANSACTION_BUSY", "Another MCP transaction is active");
    for (const auto* operation : { "commit", "finalize", "rollback", "abort_transaction" })
        EXPECT_BRIDGE_ERROR (step (operation, "t2"), "TRANSACTION_BUSY", "Another MCP transaction is active");

    // None of the refused change ids was used up.
    EXPECT_BRIDGE_OK (step ("abort_transaction", "t1"), false);
    EXPECT_BRIDGE_OK (set (song ({ "Em" }), "c3"), true);
}

TEST_F (BridgeTransactionTest, EachStepChecksInItsOrder)
{
    // Nothing open.
    EXPECT_BRIDGE_ERROR (step ("commit", "none"), "TRANSACTION_NOT_FOUND", "Transaction is not prepared");
    EXPECT_BRIDGE_ERROR (step ("finalize", "none"), "TRANSACTION_NOT_FOUND", "Transaction is not active");
    EXPECT_BRIDGE_ERROR (step ("rollback", "none"), "TRANSACTION_NOT_FOUND", "Transaction is not active");

    // Prepare: a used change id, then the revision, then writability, then the candidate.
    EXPECT_BRIDGE_OK (set (song ({ "F" }), "used"), true);
    EXPECT_BRIDGE_ERROR (call ("prepare_set", { { "project", song ({ "Dm" }) }, { "expectedRevision", 1 },
                                                { "transactionId", "t1" }, { "changeId", "used" } }),
                         "DUPLICATE_CHANGE", "changeId has already been used");
    processor.becomeFollower();
    EXPECT_BRIDGE_ERROR (call ("prepare_set", { { "project", song ({ "Dm" }) }, { "expectedRevision", 1 },
                                                { "transactionId", "t1" }, { "changeId", "c1" } }),
                         "REVISION_CONFLICT", "Project revision has changed");
    EXPECT_BRIDGE_ERROR (prepare (song ({ "Dm" }), "t1", "c1"), "INSTANCE_READ_ONLY_SYNC_FOLLOWER", "INSTANCE_READ_ONLY_SYNC_FOLLOWER");
    processor.writable = true;
    EXPECT_BRIDGE_ERROR (prepare (object ({ { "sections", array ({}) } }), "t1", "c1"),
                         "VALIDATION_FAILED", "Portable project must contain 1 to 32 sections.");

    // Commit and finalize: the change id, then the phase.
    EXPECT_BRIDGE_OK (prepare (song ({ "Dm" }), "t1", "c1"), false);
    for (const auto* operation : { "commit", "finalize", "rollback" })
        EXPECT_BRIDGE_ERROR (call (operation, { { "transactionId", "t1" }, { "changeId", "c2" } }),
                             "CHANGE_ID_MISMATCH", "changeId does not match the transaction");
    EXPECT_BRIDGE_ERROR (step ("finalize", "t1"), "TRANSACTION_NOT_COMMITTED", "Transaction must be committed first");

    // A follower cannot commit, but what is committed can still be finalized or rolled back.
    processor.becomeFollower();
    EXPECT_BRIDGE_ERROR (step ("commit", "t1"), "INSTANCE_READ_ONLY_SYNC_FOLLOWER", "INSTANCE_READ_ONLY_SYNC_FOLLOWER");
    processor.writable = true;
    EXPECT_BRIDGE_OK (step ("commit", "t1"), true);
    processor.becomeFollower();
    EXPECT_BRIDGE_OK (step ("finalize", "t1"), false);
    EXPECT_BRIDGE_OK (step ("rollback", "t1"), true);
    EXPECT_TRUE (sameContent (processor.project, song ({ "F" })));
}

TEST_F (BridgeTransactionTest, AnEditOutsideTheBridgeIsNeverOverwritten)
{
    // Between prepare and commit.
    EXPECT_BRIDGE_OK (prepare (song ({ "Dm" }), "t1", "c1"), false);
    processor.editOutside ("E");
    EXPECT_BRIDGE_ERROR (step ("commit", "t1"), "TRANSACTION_CONFLICT", "Project changed after prepare_set");
    EXPECT_BRIDGE_OK (step ("rollback", "t1"), false);

    // Between commit and finalize.
    commitNew (song ({ "Dm" }), "t2");
    processor.editOutside ("G");
    EXPECT_BRIDGE_ERROR (step ("finalize", "t2"), "TRANSACTION_CONFLICT", "Project changed after commit");
    EXPECT_BRIDGE_ERROR (step ("rollback", "t2"), "ROLLBACK_CONFLICT", "Project changed after commit");
    EXPECT_EQ (phase(), "COMMITTED");

    // After finalize.
    processor.project = song ({ "Dm" });
    EXPECT_BRIDGE_OK (step ("finalize", "t2"), false);
    processor.editOutside ("A");
    EXPECT_BRIDGE_ERROR (step ("rollback", "t2"), "ROLLBACK_CONFLICT", "Project changed after finalize");
    EXPECT_TRUE (sameContent (processor.project, song ({ "A" })));
}

TEST_F (BridgeTransactionTest, ATransactionThatChangesNothingLeavesTheUndoSlotAlone)
{
    EXPECT_BRIDGE_OK (set (song ({ "Dm" }), "s1"), true);

    EXPECT_BRIDGE_OK (prepare (song ({ "Dm" }), "t1", "c1"), false);
    const auto committed = step ("commit", "t1");
    EXPECT_BRIDGE_OK (committed, false);
    EXPECT_EQ (json (committed["revision"]), "2");
    EXPECT_BRIDGE_OK (step ("commit", "t1"), false);
    EXPECT_BRIDGE_OK (step ("finalize", "t1"), false);
    EXPECT_BRIDGE_OK (step ("rollback", "t1"), false);
    EXPECT_EQ (processor.applyCalls, 1);

    // The set before it is still the one to undo.
    EXPECT_BRIDGE_OK (undo ("u1"), true);
    EXPECT_TRUE (sameContent (processor.project, original));
}

TEST_F (BridgeTransactionTest, StatusShowsThePhaseAndBothProjects)
{
    const auto keys = [] (const juce::var& v)
    {
        juce::StringArray k;
        for (const auto& p : v.getDynamicObject()->getProperties())
            k.add (p.name.toString());
        return k.joinIntoString (",");
    };

    auto s = status();
    EXPECT_EQ (keys (s), "phase,transactionId,changeId,leaseUntilMs,currentRevision,currentContentRevision,currentJson,"
                         "nextRevision,nextContentRevision,nextJson,lastRecoveryTransactionId,lastRecoveryError");
    EXPECT_EQ (json (s), R"({"phase": "IDLE", "transactionId": "", "changeId": "", "leaseUntilMs": 0, "currentRevision": 1, )"
                         R"("currentContentRevision": ")" + presence()["contentRevision"].toString() + R"(", )"
                         R"("currentJson": )" + json (call ("get_json")["project"]) + R"(, "nextRevision": 0, )"
                         R"("nextContentRevision": "", "nextJson": null, "lastRecoveryTransactionId": "", "lastRecoveryError": ""})");

    const auto statusAnswer = call ("get_transaction_status");
    EXPECT_BRIDGE_OK (statusAnswer, false);
    EXPECT_TRUE (statusAnswer["project"].isVoid());

    const auto next = song ({ "Dm" });
    EXPECT_BRIDGE_OK (prepare (next, "t1", "c1"), false);
    s = status();
    EXPECT_EQ (s["phase"].toString(), "PREPARED");
    EXPECT_EQ (s["transactionId"].toString(), "t1");
    EXPECT_EQ (s["changeId"].toString(), "c1");
    EXPECT_EQ (json (s["leaseUntilMs"]), juce::String (clockMs + 30000));
    EXPECT_EQ (json (s["nextRevision"]), "2");
    EXPECT_TRUE (sameContent (s["nextJson"], next));
    EXPECT_TRUE (sameContent (s["currentJson"], original));

    clockMs += 1000;
    EXPECT_BRIDGE_OK (step ("commit", "t1"), true);
    s = status();
    EXPECT_EQ (s["phase"].toString(), "COMMITTED");
    EXPECT_EQ (json (s["leaseUntilMs"]), juce::String (clockMs + 30000));
    EXPECT_EQ (json (s["currentRevision"]), "2");
}

TEST_F (BridgeTransactionTest, APreparedTransactionLeftAloneIsDroppedAtTheNextTick)
{
    EXPECT_BRIDGE_OK (prepare (song ({ "Dm" }), "t1", "c1"), false);

    // The lease ends in the same tick that brings the commit: the expiry comes first.
    clockMs += 30000;
    EXPECT_BRIDGE_ERROR (step ("commit", "t1"), "TRANSACTION_NOT_FOUND", "Transaction is not prepared");

    const auto s = status();
    EXPECT_EQ (s["phase"].toString(), "IDLE");
    EXPECT_EQ (s["lastRecoveryTransactionId"].toString(), "t1");
    EXPECT_EQ (s["lastRecoveryError"].toString(), "");
    EXPECT_EQ (processor.applyCalls, 0);

    // The abandoned id answers a rollback without doing anything, and may be prepared again.
    EXPECT_BRIDGE_OK (step ("rollback", "t1"), false);
    EXPECT_BRIDGE_OK (prepare (song ({ "Em" }), "t1", "c2"), false);
}

TEST_F (BridgeTransactionTest, AHandlerReadsTheClockAgainForTheLease)
{
    EXPECT_BRIDGE_OK (prepare (song ({ "Dm" }), "t1", "c1"), false);
    const auto leaseEnd = clockMs + 30000;

    // The tick starts just before the lease ends; by the time the commit is handled it has.
    clockMs = leaseEnd - 1;
    processor.exportOverride = [this, leaseEnd]
    {
        clockMs = leaseEnd;
        return processor.project.clone();
    };
    EXPECT_BRIDGE_ERROR (step ("commit", "t1"), "TRANSACTION_EXPIRED", "Transaction has expired");
}

TEST_F (BridgeTransactionTest, ACommittedTransactionLeftAloneIsRolledBackByTheBridge)
{
    commitNew (song ({ "Dm" }), "t1");
    processor.changes.clear();

    clockMs += 29999;
    tick();
    EXPECT_EQ (phase(), "COMMITTED");

    clockMs += 1;
    tick();
    EXPECT_TRUE (sameContent (processor.project, original));
    EXPECT_EQ (processor.changes, (std::vector<juce::String> { "t1-change" }));
    EXPECT_EQ (json (presence()["revision"]), "3");

    const auto s = status();
    EXPECT_EQ (s["phase"].toString(), "IDLE");
    EXPECT_EQ (s["lastRecoveryTransactionId"].toString(), "t1");
    EXPECT_EQ (s["lastRecoveryError"].toString(), "");

    // Abandoned: a late rollback from the client succeeds without doing anything.
    EXPECT_BRIDGE_OK (step ("rollback", "t1"), false);
    EXPECT_BRIDGE_ERROR (step ("finalize", "t1"), "TRANSACTION_NOT_FOUND", "Transaction is not active");
}

TEST_F (BridgeTransactionTest, TheAutomaticRollbackLeavesAnOutsideEditInPlace)
{
    commitNew (song ({ "Dm" }), "t1");
    processor.editOutside ("B");

    clockMs += 30000;
    tick();
    EXPECT_TRUE (sameContent (processor.project, song ({ "B" })));

    const auto s = status();
    EXPECT_EQ (s["phase"].toString(), "IDLE");
    EXPECT_EQ (s["lastRecoveryTransactionId"].toString(), "t1");
    EXPECT_EQ (s["lastRecoveryError"].toString(), "Committed project changed independently; automatic rollback was skipped");

    // The id went into neither list.
    EXPECT_BRIDGE_ERROR (step ("rollback", "t1"), "TRANSACTION_NOT_FOUND", "Transaction is not active");
}

TEST_F (BridgeTransactionTest, ARollbackOfAnIdAbandonedOnceAndCommittedAgainRestores)
{
    // Abandoned by its lease, then prepared and committed again under the same id.
    EXPECT_BRIDGE_OK (prepare (song ({ "Dm" }), "t1", "c1"), false);
    clockMs += 30000;
    tick();
    EXPECT_EQ (phase(), "IDLE");

    EXPECT_BRIDGE_OK (prepare (song ({ "Em" }), "t1", "c2"), false);
    EXPECT_BRIDGE_OK (step ("commit", "t1"), true);
    ASSERT_TRUE (sameContent (processor.project, song ({ "Em" })));

    const auto rolledBack = step ("rollback", "t1");
    EXPECT_BRIDGE_OK (rolledBack, true);
    EXPECT_TRUE (sameContent (processor.project, original));
    EXPECT_EQ (phase(), "IDLE");
}

TEST_F (BridgeTransactionTest, AnAutomaticRollbackThatCanNeverSucceedEndsTheTransaction)
{
    // An instance whose song has no sections exports a project its own check refuses; another
    // processor stores the earlier project differently. Either way the committed song is
    // verifiably still in place after the attempt, and a retry would only fail again.
    struct Case
    {
        const char* what;
        std::function<void (FakeProcessor&)> arrange;
        const char* error;
    };
    const Case cases[] = {
        { "the earlier project is refused",
          [] (FakeProcessor& p) { p.project = object ({ { "activeSectionIndex", -1 }, { "sections", array ({}) } }); },
          "Portable project must contain 1 to 32 sections." },
        { "the earlier project is stored differently",
          [] (FakeProcessor& p)
          {
              const auto earlier = p.project;
              p.applyOverride = [&p, earlier] (const juce::var& candidate)
              {
                  p.project = candidate.clone();
                  if (sameContent (candidate, earlier))
                      p.project.getDynamicObject()->setProperty ("activeSectionIndex", 5);
                  return juce::Result::ok();
              };
          },
          "Applied project differs from the validated candidate" },
    };

    for (const auto& c : cases)
    {
        processor.applyOverride = nullptr;
        processor.project = original;
        start();
        c.arrange (processor);
        commitNew (song ({ "Dm" }), "t1");
        const auto applies = processor.applyCalls;

        clockMs += 30000;
        tick();

        // The committed song stays, the transaction is closed and the failure reported.
        EXPECT_TRUE (sameContent (processor.project, song ({ "Dm" }))) << c.what;
        const auto s = status();
        EXPECT_EQ (s["phase"].toString(), "IDLE") << c.what;
        EXPECT_EQ (s["lastRecoveryTransactionId"].toString(), "t1") << c.what;
        EXPECT_EQ (s["lastRecoveryError"].toString(), c.error) << c.what;

        // Nothing is tried again; writes are possible again; the id counts as abandoned.
        const auto afterAttempt = processor.applyCalls;
        EXPECT_GT (afterAttempt, applies) << c.what;
        clockMs += 5000;
        tick();
        EXPECT_EQ (processor.applyCalls, afterAttempt) << c.what;
        EXPECT_BRIDGE_OK (step ("rollback", "t1"), false);
        processor.applyOverride = nullptr;
        EXPECT_BRIDGE_OK (set (song ({ "Em" }), "s1"), true);
    }
}

TEST_F (BridgeTransactionTest, AnAutomaticRollbackThatCannotLookAtTheProjectIsRetriedEverySecond)
{
    commitNew (song ({ "Dm" }), "t1");
    const auto applies = processor.applyCalls;

    processor.exportOverride = [] { return juce::var ("unreadable"); };
    clockMs += 30000;
    tick();
    EXPECT_EQ (bridge->getLastError(), "exportJson must return a JSON object");

    // The project can be read again, but the next attempt waits a second.
    processor.exportOverride = nullptr;
    clockMs += 999;
    tick();
    EXPECT_EQ (processor.applyCalls, applies);
    EXPECT_EQ (phase(), "COMMITTED");
    EXPECT_BRIDGE_ERROR (set (song ({ "Em" }), "s1"), "TRANSACTION_BUSY", "Another MCP transaction is active");

    clockMs += 1;
    tick();
    EXPECT_EQ (processor.applyCalls, applies + 1);
    EXPECT_EQ (phase(), "IDLE");
    EXPECT_TRUE (sameContent (processor.project, original));
}

TEST_F (BridgeTransactionTest, TheHistoryOfFinalizedTransactionsIsBounded)
{
    for (int i = 0; i < 257; ++i)
    {
        const auto id = "t" + juce::String (i);
        commitNew (song ({ i % 2 == 0 ? "Dm" : "Em" }), id);
        EXPECT_BRIDGE_OK (step ("finalize", id), false);
    }

    // The oldest entry left the history as if its window had passed; the others replay.
    EXPECT_BRIDGE_ERROR (step ("commit", "t0"), "DUPLICATE_TRANSACTION", "transactionId has already completed");
    EXPECT_BRIDGE_OK (step ("commit", "t1"), true);
    EXPECT_BRIDGE_OK (step ("commit", "t256"), true);
}
