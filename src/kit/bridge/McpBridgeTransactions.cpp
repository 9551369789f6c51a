// McpPluginBridge: transactions (prepare, commit, finalize, rollback), their leases and their
// replay history.
#include "kit/bridge/McpPluginBridge.h"

#include "kit/bridge/McpBridgeValues.h"

#include <limits>

namespace velmar
{
using namespace McpBridgeValues;

namespace
{
const char* const changeIdMismatch = "changeId does not match the transaction";
const char* const alreadyCompleted = "transactionId has already completed";
const char* const changedAfterCommit = "Project changed after commit";
} // namespace

McpPluginBridge::FinalizedTransaction* McpPluginBridge::findFinalizedTransaction (const juce::String& transactionId)
{
    for (auto& entry : finalizedTransactions)
        if (entry.transactionId == transactionId)
            return &entry;

    return nullptr;
}

void McpPluginBridge::removeFinalizedTransaction (const juce::String& transactionId)
{
    for (auto it = finalizedTransactions.begin(); it != finalizedTransactions.end(); ++it)
    {
        if (it->transactionId == transactionId)
        {
            finalizedTransactions.erase (it);
            return;
        }
    }
}

void McpPluginBridge::expireFinalizedTransactions (juce::int64 nowMs)
{
    for (auto it = finalizedTransactions.begin(); it != finalizedTransactions.end();)
    {
        if (nowMs >= it->leaseUntilMs)
        {
            rememberCompletedTransaction (it->transactionId);
            it = finalizedTransactions.erase (it);
        }
        else
        {
            ++it;
        }
    }
}

//==============================================================================
juce::var McpPluginBridge::handlePrepareSet (const Request& request)
{
    const auto& id = request.transactionId;

    if (transaction.has_value())
        return makeErrorResponse (request, "TRANSACTION_BUSY", transactionBusy);

    // An id that was only abandoned may be prepared again.
    if (findFinalizedTransaction (id) != nullptr || isTransactionCompleted (id))
        return makeErrorResponse (request, "DUPLICATE_TRANSACTION", "transactionId has already been used");

    ProjectSnapshot candidate;

    if (auto refusal = checkProposedChange (request, candidate))
        return *refusal;

    // The revision the candidate will have once committed.
    const bool changes = candidate.contentRevision != current.contentRevision;
    candidate.revision = current.revision
                         + ((changes && current.revision < std::numeric_limits<juce::int64>::max()) ? 1 : 0);

    Transaction opened;
    opened.transactionId = id;
    opened.changeId = request.changeId;
    opened.previous = current;
    opened.next = candidate;
    opened.leaseUntilMs = now() + transactionLeaseMs;
    transaction = std::move (opened);

    rememberChangeId (request.changeId);
    return makeResponse (request, true, false, request.changeId, current.project, {}, {});
}

juce::var McpPluginBridge::handleCommit (const Request& request)
{
    const auto& id = request.transactionId;

    if (const auto* entry = findFinalizedTransaction (id))
    {
        if (request.changeId.isNotEmpty() && request.changeId != entry->changeId)
            return makeErrorResponse (request, "CHANGE_ID_MISMATCH", changeIdMismatch);

        return makeResponse (request, true, entry->previous.contentRevision != entry->applied.contentRevision,
                             entry->changeId, entry->applied.project, {}, {});
    }

    if (isTransactionCompleted (id))
        return makeErrorResponse (request, "DUPLICATE_TRANSACTION", alreadyCompleted);

    if (! transaction.has_value())
        return makeErrorResponse (request, "TRANSACTION_NOT_FOUND", "Transaction is not prepared");

    auto& open = *transaction;

    if (open.transactionId != id)
        return makeErrorResponse (request, "TRANSACTION_BUSY", transactionBusy);

    if (request.changeId.isNotEmpty() && request.changeId != open.changeId)
        return makeErrorResponse (request, "CHANGE_ID_MISMATCH", changeIdMismatch);

    if (open.committed)
        return makeResponse (request, true, open.previous.contentRevision != open.applied.contentRevision,
                             open.changeId, open.applied.project, {}, {});

    if (now() >= open.leaseUntilMs)
        return makeErrorResponse (request, "TRANSACTION_EXPIRED", "Transaction has expired");

    if (current.contentRevision != open.previous.contentRevision || current.revision != open.previous.revision)
        return makeErrorResponse (request, "TRANSACTION_CONFLICT", "Project changed after prepare_set");

    if (auto refusal = refuseUnlessWritable (request))
        return *refusal;

    if (open.next.contentRevision == open.previous.contentRevision)
    {
        open.applied = current;
        open.committed = true;
        open.leaseUntilMs = now() + transactionLeaseMs;
        return makeResponse (request, true, false, open.changeId, current.project, {}, {});
    }

    ProjectSnapshot applied;
    Failure failure;

    if (! applyWithRestore (open.next, open.previous, applied, failure))
        return makeErrorResponse (request, failure);

    open.applied = applied;
    open.committed = true;
    open.leaseUntilMs = now() + transactionLeaseMs;

    const auto changeId = open.changeId;
    announceChange (changeId);
    return makeResponse (request, true, true, changeId, applied.project, {}, {});
}

juce::var McpPluginBridge::handleFinalize (const Request& request)
{
    const auto& id = request.transactionId;

    if (const auto* entry = findFinalizedTransaction (id))
    {
        if (request.changeId.isNotEmpty() && request.changeId != entry->changeId)
            return makeErrorResponse (request, "CHANGE_ID_MISMATCH", changeIdMismatch);

        return makeResponse (request, true, false, entry->changeId, entry->applied.project, {}, {});
    }

    if (isTransactionCompleted (id))
        return makeErrorResponse (request, "DUPLICATE_TRANSACTION", alreadyCompleted);

    if (! transaction.has_value())
        return makeErrorResponse (request, "TRANSACTION_NOT_FOUND", "Transaction is not active");

    const auto& open = *transaction;

    if (open.transactionId != id)
        return makeErrorResponse (request, "TRANSACTION_BUSY", transactionBusy);

    if (request.changeId.isNotEmpty() && request.changeId != open.changeId)
        return makeErrorResponse (request, "CHANGE_ID_MISMATCH", changeIdMismatch);

    if (! open.committed)
        return makeErrorResponse (request, "TRANSACTION_NOT_COMMITTED", "Transaction must be committed first");

    const auto nowMs = now();

    if (nowMs >= open.leaseUntilMs)
        return makeErrorResponse (request, "TRANSACTION_EXPIRED", "Transaction has expired");

    if (current.contentRevision != open.applied.contentRevision)
        return makeErrorResponse (request, "TRANSACTION_CONFLICT", changedAfterCommit);

    if (open.previous.contentRevision != open.applied.contentRevision)
        undoEntry = UndoEntry { open.previous, open.applied.contentRevision, open.transactionId };

    const auto changeId = open.changeId;
    finalizedTransactions.push_back ({ open.transactionId, open.changeId, open.previous, open.applied,
                                       juce::jmax (open.leaseUntilMs, nowMs + transactionLeaseMs) });
    transaction.reset();

    // The history is bounded like the other lists; an entry pushed out ends as if its replay
    // window had passed.
    while (finalizedTransactions.size() > rememberedIdLimit)
    {
        rememberCompletedTransaction (finalizedTransactions.front().transactionId);
        finalizedTransactions.pop_front();
    }

    return makeResponse (request, true, false, changeId, current.project, {}, {});
}

juce::var McpPluginBridge::handleRollback (const Request& request)
{
    const auto& id = request.transactionId;

    if (auto* entry = findFinalizedTransaction (id))
    {
        if (request.changeId.isNotEmpty() && request.changeId != entry->changeId)
            return makeErrorResponse (request, "CHANGE_ID_MISMATCH", changeIdMismatch);

        if (current.contentRevision != entry->applied.contentRevision)
            return makeErrorResponse (request, "ROLLBACK_CONFLICT", "Project changed after finalize");

        const auto changeId = entry->changeId;

        if (entry->previous.contentRevision == entry->applied.contentRevision)
        {
            removeFinalizedTransaction (id);
            rememberCompletedTransaction (id);
            rememberAbandonedTransaction (id);
            return makeResponse (request, true, false, changeId, current.project, {}, {});
        }

        const auto previous = entry->previous;
        const auto applied = entry->applied;
        ProjectSnapshot restored;
        Failure failure;

        if (! applyWithRestore (previous, applied, restored, failure))
            return makeErrorResponse (request, failure);

        if (undoEntry.has_value() && undoEntry->transactionId == id)
            undoEntry.reset();

        removeFinalizedTransaction (id);
        rememberCompletedTransaction (id);
        rememberAbandonedTransaction (id);
        announceChange (changeId);
        return makeResponse (request, true, true, changeId, restored.project, {}, {});
    }

    // The open transaction comes before the replay of abandoned ids: an id abandoned once (by
    // a lease) may be prepared and committed again, and its rollback must then restore.
    const bool isOpen = transaction.has_value() && transaction->transactionId == id;

    if (! isOpen)
    {
        if (isTransactionAbandoned (id))
            return makeResponse (request, true, false, request.changeId, current.project, {}, {});

        if (isTransactionCompleted (id))
            return makeErrorResponse (request, "DUPLICATE_TRANSACTION", alreadyCompleted);

        if (! transaction.has_value())
            return makeErrorResponse (request, "TRANSACTION_NOT_FOUND", "Transaction is not active");

        return makeErrorResponse (request, "TRANSACTION_BUSY", transactionBusy);
    }

    const auto open = *transaction;

    if (request.changeId.isNotEmpty() && request.changeId != open.changeId)
        return makeErrorResponse (request, "CHANGE_ID_MISMATCH", changeIdMismatch);

    const auto close = [this, &id]
    {
        transaction.reset();
        rememberAbandonedTransaction (id);
        rememberCompletedTransaction (id);
    };

    if (! open.committed)
    {
        close();
        return makeResponse (request, true, false, open.changeId, current.project, {}, {});
    }

    if (current.contentRevision != open.applied.contentRevision)
        return makeErrorResponse (request, "ROLLBACK_CONFLICT", changedAfterCommit);

    if (open.previous.contentRevision == open.applied.contentRevision)
    {
        close();
        return makeResponse (request, true, false, open.changeId, current.project, {}, {});
    }

    ProjectSnapshot restored;
    Failure failure;

    if (! applyWithRestore (open.previous, open.applied, restored, failure))
        return makeErrorResponse (request, failure);

    close();
    announceChange (open.changeId);
    return makeResponse (request, true, true, open.changeId, restored.project, {}, {});
}

juce::var McpPluginBridge::handleGetTransactionStatus (const Request& request)
{
    const auto* open = transaction.has_value() ? &*transaction : nullptr;

    const auto payload = makeObject ({
        { "phase", open == nullptr ? "IDLE" : (open->committed ? "COMMITTED" : "PREPARED") },
        { "transactionId", open != nullptr ? open->transactionId : juce::String() },
        { "changeId", open != nullptr ? open->changeId : juce::String() },
        { "leaseUntilMs", open != nullptr ? open->leaseUntilMs : (juce::int64) 0 },
        { "currentRevision", current.revision },
        { "currentContentRevision", current.contentRevision },
        { "currentJson", current.project },
        { "nextRevision", open != nullptr ? open->next.revision : (juce::int64) 0 },
        { "nextContentRevision", open != nullptr ? open->next.contentRevision : juce::String() },
        { "nextJson", open != nullptr ? open->next.project : juce::var() },
        { "lastRecoveryTransactionId", lastRecoveryTransactionId },
        { "lastRecoveryError", lastRecoveryError },
    });

    return makeResponse (request, true, false, {}, {}, {}, {}, payload);
}

//==============================================================================
void McpPluginBridge::expireTransactionLease (juce::int64 nowMs)
{
    if (! transaction.has_value() || nowMs < transaction->leaseUntilMs)
        return;

    auto& open = *transaction;
    const auto id = open.transactionId;

    const auto closeAbandoned = [this, &id] (const juce::String& recoveryError)
    {
        lastRecoveryTransactionId = id;
        lastRecoveryError = recoveryError;
        rememberAbandonedTransaction (id);
        transaction.reset();
    };

    if (! open.committed)
    {
        closeAbandoned ({});
        return;
    }

    if (nowMs < open.retryAtMs)
        return;

    const auto exported = refreshExport();

    if (exported.failed())
    {
        setLastError (exported.getErrorMessage());
        open.retryAtMs = nowMs + rollbackRetryDelayMs;
        return;
    }

    if (current.contentRevision != open.applied.contentRevision)
    {
        // Someone else changed the project after the commit; their change is not overwritten.
        lastRecoveryTransactionId = id;
        lastRecoveryError = "Committed project changed independently; automatic rollback was skipped";
        transaction.reset();
        return;
    }

    if (open.previous.contentRevision == open.applied.contentRevision)
    {
        closeAbandoned ({});
        return;
    }

    const auto previous = open.previous;
    const auto applied = open.applied;
    const auto changeId = open.changeId;
    ProjectSnapshot restored;
    Failure failure;

    if (! applyWithRestore (previous, applied, restored, failure))
    {
        setLastError ("Automatic MCP rollback failed: " + failure.message);

        // The owner refused the previous project (or stored something else) and the committed
        // one is verifiably back in place: trying again would fail the same way for ever, keep
        // every write busy and, for a project stored differently, flip the song every second.
        if (failure.code == "APPLY_FAILED" || failure.code == "APPLY_MISMATCH")
        {
            closeAbandoned (failure.message);
            return;
        }

        lastRecoveryTransactionId = id;
        lastRecoveryError = failure.message;
        transaction->retryAtMs = nowMs + rollbackRetryDelayMs;
        return;
    }

    closeAbandoned ({});
    announceChange (changeId);
}

} // namespace velmar
