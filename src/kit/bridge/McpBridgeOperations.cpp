// McpPluginBridge: the operations that act at once (get, validate, set, undo, product resources)
// and the machinery transactions share with them.
#include "kit/bridge/McpPluginBridge.h"

#include "kit/bridge/McpBridgeValues.h"

#include <algorithm>

namespace velmar
{
using namespace McpBridgeValues;

namespace
{
// Appends the id unless it is empty or already held; the oldest go beyond the limit.
void rememberId (std::deque<juce::String>& list, const juce::String& id, size_t limit)
{
    if (id.isEmpty() || std::find (list.begin(), list.end(), id) != list.end())
        return;

    list.push_back (id);

    while (list.size() > limit)
        list.pop_front();
}
} // namespace

juce::String McpPluginBridge::readOnlyErrorCode (const juce::String& reason)
{
    auto word = reason.upToFirstOccurrenceOf (" ", false, false)
                      .upToFirstOccurrenceOf (":", false, false)
                      .trim();

    const bool isCode = word.isNotEmpty() && word.length() <= 128 && word.startsWith ("INSTANCE_")
                        && word.containsOnly ("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_");

    return isCode ? word : juce::String ("INSTANCE_READ_ONLY");
}

//==============================================================================
juce::var McpPluginBridge::dispatchRequest (const Request& request)
{
    const auto& operation = request.operation;

    if (isProductResourceOperation (operation))
        return handleProductResourceOperation (request);

    const auto exported = refreshExport();

    if (exported.failed())
    {
        const auto& message = exported.getErrorMessage();
        return makeErrorResponse (request, message.contains ("4 MB") ? "MESSAGE_TOO_LARGE" : "EXPORT_FAILED", message);
    }

    if (operation == "get_json")               return makeResponse (request, true, false, {}, current.project, {}, {});
    if (operation == "validate_json")          return handleValidateJson (request);
    if (operation == "set_json")               return handleSetJson (request);
    if (operation == "undo")                   return handleUndo (request);
    if (operation == "prepare_set")            return handlePrepareSet (request);
    if (operation == "commit")                 return handleCommit (request);
    if (operation == "finalize")               return handleFinalize (request);
    if (operation == "get_transaction_status") return handleGetTransactionStatus (request);
    if (operation == "rollback" || operation == "abort_transaction")
        return handleRollback (request);

    // The request checks admit no other name.
    jassertfalse;
    return makeErrorResponse (request, "UNSUPPORTED_OPERATION", "Unsupported MCP operation");
}

juce::Result McpPluginBridge::prepareCandidate (const juce::var& value, ProjectSnapshot& candidate) const
{
    if (! isPlainObject (value))
        return juce::Result::fail ("Project must be a JSON object");

    return makeSnapshot (value, candidate, "Project exceeds the 4 MB limit");
}

McpPluginBridge::Failure McpPluginBridge::candidateFailure (const juce::Result& result)
{
    const auto& message = result.getErrorMessage();
    return { message.contains ("4 MB") ? "MESSAGE_TOO_LARGE" : "INVALID_PROJECT", message };
}

bool McpPluginBridge::checkWritable (juce::String& reason) const
{
    const auto description = describeInstance();

    if (description.writable)
        return true;

    reason = description.readOnlyReason;
    return false;
}

std::optional<juce::var> McpPluginBridge::refuseUnlessWritable (const Request& request) const
{
    juce::String reason;

    if (checkWritable (reason))
        return std::nullopt;

    return makeErrorResponse (request, readOnlyErrorCode (reason), reason);
}

std::optional<juce::var> McpPluginBridge::acceptCandidate (const Request& request, ProjectSnapshot& candidate)
{
    const auto prepared = prepareCandidate (request.project, candidate);

    if (prepared.failed())
        return makeErrorResponse (request, candidateFailure (prepared));

    const auto valid = config.validateJson (candidate.project);

    if (valid.failed())
        return makeErrorResponse (request, "VALIDATION_FAILED", valid.getErrorMessage());

    return std::nullopt;
}

std::optional<juce::var> McpPluginBridge::checkProposedChange (const Request& request, ProjectSnapshot& candidate)
{
    if (isChangeIdUsed (request.changeId))
        return makeErrorResponse (request, "DUPLICATE_CHANGE", changeIdUsed);

    if (current.revision != request.expectedRevision)
        return makeErrorResponse (request, "REVISION_CONFLICT", revisionChanged);

    if (auto refusal = refuseUnlessWritable (request))
        return refusal;

    return acceptCandidate (request, candidate);
}

void McpPluginBridge::announceChange (const juce::String& changeId)
{
    if (config.onChanged)
        config.onChanged (changeId);

    publishPresence();
}

bool McpPluginBridge::restoreProject (const ProjectSnapshot& restorePoint)
{
    const auto applied = config.applyJson (restorePoint.project.clone());
    const auto exported = refreshExport();

    return applied.wasOk() && exported.wasOk() && current.contentRevision == restorePoint.contentRevision;
}

bool McpPluginBridge::applyWithRestore (const ProjectSnapshot& candidate, const ProjectSnapshot& restorePoint,
                                        ProjectSnapshot& applied, Failure& failure)
{
    const auto result = config.applyJson (candidate.project.clone());
    const auto exported = refreshExport();

    if (result.failed())
    {
        const bool back = (exported.wasOk() && current.contentRevision == restorePoint.contentRevision)
                          || restoreProject (restorePoint);

        failure = back ? Failure { "APPLY_FAILED", result.getErrorMessage() }
                       : Failure { "ROLLBACK_FAILED", "Apply failed and the previous project could not be restored: "
                                                          + result.getErrorMessage() };
        return false;
    }

    if (exported.failed())
    {
        failure = restoreProject (restorePoint)
                      ? Failure { "EXPORT_FAILED", exported.getErrorMessage() }
                      : Failure { "ROLLBACK_FAILED", "Project applied, but its state could not be verified or restored" };
        return false;
    }

    if (current.contentRevision != candidate.contentRevision)
    {
        // The owner stored something other than what it was given.
        failure = restoreProject (restorePoint)
                      ? Failure { "APPLY_MISMATCH", "Applied project differs from the validated candidate" }
                      : Failure { "ROLLBACK_FAILED", "Applied project differed from the candidate and rollback failed" };
        return false;
    }

    applied = current;
    return true;
}

void McpPluginBridge::rememberChangeId (const juce::String& id)
{
    rememberId (usedChangeIds, id, rememberedIdLimit);
}

bool McpPluginBridge::isChangeIdUsed (const juce::String& id) const
{
    return std::find (usedChangeIds.begin(), usedChangeIds.end(), id) != usedChangeIds.end();
}

void McpPluginBridge::rememberCompletedTransaction (const juce::String& id)
{
    rememberId (completedTransactions, id, rememberedIdLimit);
}

void McpPluginBridge::rememberAbandonedTransaction (const juce::String& id)
{
    rememberId (abandonedTransactions, id, rememberedIdLimit);
}

bool McpPluginBridge::isTransactionCompleted (const juce::String& id) const
{
    return std::find (completedTransactions.begin(), completedTransactions.end(), id) != completedTransactions.end();
}

bool McpPluginBridge::isTransactionAbandoned (const juce::String& id) const
{
    return std::find (abandonedTransactions.begin(), abandonedTransactions.end(), id) != abandonedTransactions.end();
}

//==============================================================================
juce::var McpPluginBridge::handleValidateJson (const Request& request)
{
    ProjectSnapshot candidate;

    if (auto refusal = acceptCandidate (request, candidate))
        return *refusal;

    // The client sees exactly what would be stored: keys sorted, whole numbers as integers.
    return makeResponse (request, true, false, {}, candidate.project, {}, {});
}

juce::var McpPluginBridge::handleSetJson (const Request& request)
{
    if (transaction.has_value())
        return makeErrorResponse (request, "TRANSACTION_BUSY", transactionBusy);

    ProjectSnapshot candidate;

    if (auto refusal = checkProposedChange (request, candidate))
        return *refusal;

    const auto previous = current;

    if (candidate.contentRevision == previous.contentRevision)
    {
        rememberChangeId (request.changeId);
        return makeResponse (request, true, false, request.changeId, previous.project, {}, {});
    }

    ProjectSnapshot applied;
    Failure failure;

    if (! applyWithRestore (candidate, previous, applied, failure))
        return makeErrorResponse (request, failure);

    undoEntry = UndoEntry { previous, applied.contentRevision, {} };
    rememberChangeId (request.changeId);
    announceChange (request.changeId);
    return makeResponse (request, true, true, request.changeId, applied.project, {}, {});
}

juce::var McpPluginBridge::handleUndo (const Request& request)
{
    if (transaction.has_value())
        return makeErrorResponse (request, "TRANSACTION_BUSY", transactionBusy);

    if (isChangeIdUsed (request.changeId))
        return makeErrorResponse (request, "DUPLICATE_CHANGE", changeIdUsed);

    // Unlike a set, writability comes before the revision here.
    if (auto refusal = refuseUnlessWritable (request))
        return *refusal;

    if (! undoEntry.has_value())
        return makeErrorResponse (request, "NO_UNDO", "No MCP change is available to undo");

    if (current.contentRevision != undoEntry->appliedContentRevision)
        return makeErrorResponse (request, "UNDO_CONFLICT", "Project changed after the MCP update");

    if (current.revision != request.expectedRevision)
        return makeErrorResponse (request, "REVISION_CONFLICT", revisionChanged);

    const auto restorePoint = current;
    const auto target = undoEntry->previous;
    ProjectSnapshot applied;
    Failure failure;

    if (! applyWithRestore (target, restorePoint, applied, failure))
        return makeErrorResponse (request, failure);

    undoEntry.reset();
    rememberChangeId (request.changeId);
    announceChange (request.changeId);
    return makeResponse (request, true, true, request.changeId, applied.project, {}, {});
}

juce::var McpPluginBridge::handleProductResourceOperation (const Request& request)
{
    if (! config.productResourceHandler)
        return makeErrorResponse (request, "UNSUPPORTED_OPERATION", "Product resource operations are not supported by this plugin");

    ProductResourceResult result;
    const auto handled = config.productResourceHandler (request.operation, request.payload, result);

    if (! result.payload.isVoid() && ! isPlainObject (result.payload))
        return makeErrorResponse (request, "INVALID_PRODUCT_RESOURCE_RESPONSE",
                                  "Product resource response payload must be a JSON object");

    if (handled.failed())
    {
        const auto code = isValidBridgeId (result.errorCode) ? result.errorCode : juce::String ("PRODUCT_RESOURCE_FAILED");
        return makeResponse (request, false, false, {}, {}, code, handled.getErrorMessage(), result.payload);
    }

    return makeResponse (request, true, result.contentChanged, {}, {}, {}, {}, result.payload);
}

} // namespace velmar
