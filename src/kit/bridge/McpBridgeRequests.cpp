// McpPluginBridge: reading request files and writing response files.
#include "kit/bridge/McpPluginBridge.h"

#include "kit/bridge/McpBridgeValues.h"
#include "kit/json/JsonReader.h"

namespace velmar
{
using namespace McpBridgeValues;

namespace
{
const char* const operationNames[] = {
    "get_json",
    "validate_json",
    "set_json",
    "undo",
    "prepare_set",
    "commit",
    "finalize",
    "rollback",
    "get_transaction_status",
    "abort_transaction",
    "zelvo_list_output_profiles",
    "zelvo_get_output_profile",
    "zelvo_validate_output_profile",
    "zelvo_create_output_profile",
    "zelvo_update_output_profile",
    "zelvo_delete_output_profile",
    "zelvo_set_active_output_profile",
};

bool isKnownOperation (const juce::String& name)
{
    for (const auto* known : operationNames)
        if (name == known)
            return true;

    return false;
}

bool isOneOf (const juce::String& name, std::initializer_list<const char*> names)
{
    for (const auto* candidate : names)
        if (name == candidate)
            return true;

    return false;
}

enum class ReadOutcome { empty, tooLarge, read };

// Reads at most limit + 1 bytes: the size the file reports may already be out of date when it
// is read (a client still appending to it), so the bytes read are what is judged.
ReadOutcome readRequestText (const juce::File& file, juce::int64 limit, juce::String& text)
{
    juce::FileInputStream in (file);

    if (! in.openedOk())
        return ReadOutcome::empty;

    juce::MemoryOutputStream bytes;
    bytes.writeFromInputStream (in, limit + 1);
    const auto total = (juce::int64) bytes.getDataSize();

    if (total == 0)
        return ReadOutcome::empty;

    if (total > limit)
        return ReadOutcome::tooLarge;

    // Decoded as a file is read as text: UTF-8, with or without its mark, or UTF-16 with one.
    juce::MemoryInputStream decoded (bytes.getData(), bytes.getDataSize(), false);
    text = decoded.readEntireStreamAsString();
    return ReadOutcome::read;
}
} // namespace

bool McpPluginBridge::isProductResourceOperation (const juce::String& operation)
{
    return operation.startsWith ("zelvo_") && isKnownOperation (operation);
}

bool McpPluginBridge::isValidBridgeId (const juce::String& id)
{
    const auto length = id.length();

    if (length < 1 || length > 128)
        return false;

    for (auto p = id.getCharPointer(); ! p.isEmpty();)
    {
        const auto c = p.getAndAdvance();

        if (! ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-'))
            return false;
    }

    return true;
}

//==============================================================================
void McpPluginBridge::processRequestFile (const juce::File& requestFile)
{
    // Only brings the revision up to date; a failed export is reported by the operation.
    refreshExport();

    const auto stem = requestFile.getFileNameWithoutExtension();
    const bool stemIsValid = isValidBridgeId (stem);
    const auto responseId = stemIsValid ? stem : mintId();
    const auto firstResponseFile = responsesDirectory.getChildFile (responseId + ".json");

    // An answer under a name that already has one is never written: it may be another
    // request's response that its client has not read yet.
    const auto isAnswered = [this] (const juce::String& id)
    {
        return responsesDirectory.getChildFile (id + ".json").existsAsFile() || findCachedResponse (id).has_value();
    };

    if (requestFile.isSymbolicLink())
    {
        if (! isAnswered (responseId))
        {
            Request request;
            request.requestId = responseId;
            request.instanceId = instanceId;
            const auto response = makeErrorResponse (request, "INVALID_REQUEST", "Request files cannot be symbolic links");

            if (writeJsonFileAtomically (firstResponseFile, response, responseByteLimit).failed())
                return;
        }

        // Removes the link itself, never what it points to.
        requestFile.deleteFile();
        return;
    }

    if (stemIsValid && firstResponseFile.existsAsFile())
    {
        requestFile.deleteFile();
        return;
    }

    if (const auto cached = findCachedResponse (responseId))
    {
        const auto written = writeJsonFileAtomically (firstResponseFile, *cached, responseByteLimit);

        if (written.wasOk())
        {
            requestFile.deleteFile();
            clearLastError();
        }
        else
        {
            setLastError (written.getErrorMessage());
        }

        return;
    }

    Request request;
    request.requestId = responseId;
    request.instanceId = instanceId;

    juce::var response;
    juce::String errorCode, errorMessage;
    juce::String text;

    switch (readRequestText (requestFile, requestByteLimit, text))
    {
        case ReadOutcome::empty:
            errorCode = "INVALID_REQUEST";
            errorMessage = "Request file is empty";
            break;

        case ReadOutcome::tooLarge:
            errorCode = "MESSAGE_TOO_LARGE";
            errorMessage = "Request exceeds the 4 MB limit";
            break;

        case ReadOutcome::read:
            if (parseRequest (JsonReader::parse (text), stem, request, errorCode, errorMessage))
                response = dispatchRequest (request);
            break;
    }

    if (errorCode.isNotEmpty())
    {
        // A request refused under another id than its file's must not take that id's place.
        if (request.requestId != responseId && isAnswered (request.requestId))
            request.requestId = responseId;

        response = makeErrorResponse (request, errorCode, errorMessage);
    }

    auto responseText = toText (response);

    // An answer too large to write would stay unwritten for ever; the client learns why instead.
    if ((juce::int64) responseText.getNumBytesAsUTF8() > responseByteLimit)
    {
        response = makeErrorResponse (request, "MESSAGE_TOO_LARGE",
                                      "MCP JSON output exceeds the " + juce::String (responseByteLimit / 1048576) + " MB limit");
        responseText = toText (response);
    }

    if (! findCachedResponse (request.requestId).has_value())
        cacheResponse (request.requestId, response, (juce::int64) responseText.getNumBytesAsUTF8());

    const auto written = writeJsonTextAtomically (responsesDirectory.getChildFile (request.requestId + ".json"),
                                                  responseText, responseByteLimit);

    if (written.wasOk())
    {
        requestFile.deleteFile();
        clearLastError();
    }
    else
    {
        // The request stays; a later tick answers it from the cache without running it again.
        setLastError (written.getErrorMessage());
    }
}

bool McpPluginBridge::parseRequest (const juce::var& value, const juce::String& stem, Request& request,
                                    juce::String& errorCode, juce::String& errorMessage) const
{
    const auto fail = [&errorCode, &errorMessage] (const char* code, const char* message)
    {
        errorCode = code;
        errorMessage = message;
        return false;
    };

    if (! value.isObject() || value.isArray())
        return fail ("INVALID_REQUEST", "Request is not a JSON object");

    const auto format = value["format"];
    if (! format.isString() || format.toString() != "velmar-mcp-request")
        return fail ("UNSUPPORTED_FORMAT", "Unsupported MCP request format");

    const auto version = value["version"];
    if (! isInteger (version) || (juce::int64) version != 1)
        return fail ("UNSUPPORTED_VERSION", "Unsupported MCP request version");

    const auto requestId = value["requestId"];
    if (requestId.isString())
        request.requestId = requestId.toString();

    if (! requestId.isString() || ! isValidBridgeId (request.requestId))
    {
        request.requestId = isValidBridgeId (stem) ? stem : mintId();
        return fail ("INVALID_REQUEST", "Request ID is invalid");
    }

    if (request.requestId != stem)
        return fail ("INVALID_REQUEST", "Request filename must match requestId");

    const auto targetInstance = value["instanceId"];
    if (targetInstance.isString())
        request.instanceId = targetInstance.toString();

    if (! targetInstance.isString() || request.instanceId != instanceId)
        return fail ("WRONG_INSTANCE", "Request targets a different plugin instance");

    const auto operation = value["operation"];
    if (operation.isString())
        request.operation = operation.toString();

    if (! operation.isString() || ! isKnownOperation (request.operation))
        return fail ("UNSUPPORTED_OPERATION", "Unsupported MCP operation");

    const auto created = value["createdAtMs"];
    const auto expires = value["expiresAtMs"];
    if (isInteger (created))
        request.createdAtMs = (juce::int64) created;
    if (isInteger (expires))
        request.expiresAtMs = (juce::int64) expires;

    if (! isInteger (created) || ! isInteger (expires) || request.createdAtMs <= 0 || request.createdAtMs >= request.expiresAtMs)
        return fail ("INVALID_REQUEST", "Request timestamps are invalid");

    const auto nowMs = now();

    if (request.createdAtMs > nowMs + requestClockSkewMs)
        return fail ("INVALID_REQUEST", "Request creation time is in the future");

    if (nowMs >= request.expiresAtMs)
        return fail ("REQUEST_EXPIRED", "Request has expired");

    auto* object = value.getDynamicObject();
    if (object == nullptr)
        return fail ("INVALID_REQUEST", "Request object is invalid");

    if (object->hasProperty ("expectedRevision"))
    {
        const auto expected = object->getProperty ("expectedRevision");
        request.hasExpectedRevision = isInteger (expected);

        if (request.hasExpectedRevision)
            request.expectedRevision = (juce::int64) expected;

        if (! request.hasExpectedRevision || request.expectedRevision < 1)
            return fail ("INVALID_REQUEST", "expectedRevision is invalid");
    }

    if (object->hasProperty ("project"))
        request.project = object->getProperty ("project").clone();

    if (object->hasProperty ("payload"))
    {
        request.payload = object->getProperty ("payload").clone();

        if (! isPlainObject (request.payload))
            return fail ("INVALID_REQUEST", "payload must be a JSON object");
    }

    for (const auto& [key, field, message] : { std::make_tuple ("transactionId", &request.transactionId, "transactionId is invalid"),
                                              std::make_tuple ("changeId", &request.changeId, "changeId is invalid") })
    {
        if (! object->hasProperty (key))
            continue;

        const auto id = object->getProperty (key);

        if (! id.isString() || ! isValidBridgeId (id.toString()))
            return fail ("INVALID_REQUEST", message);

        *field = id.toString();
    }

    const auto& op = request.operation;

    if (isOneOf (op, { "validate_json", "set_json", "prepare_set" }) && ! isPlainObject (request.project))
        return fail ("INVALID_REQUEST", "This operation requires a project object");

    if (isOneOf (op, { "set_json", "undo", "prepare_set" }) && ! request.hasExpectedRevision)
        return fail ("INVALID_REQUEST", "This operation requires expectedRevision");

    if (isOneOf (op, { "prepare_set", "commit", "finalize", "rollback", "abort_transaction" }) && request.transactionId.isEmpty())
        return fail ("INVALID_REQUEST", "This operation requires transactionId");

    if (isOneOf (op, { "set_json", "undo", "prepare_set" }) && request.changeId.isEmpty())
        return fail ("INVALID_REQUEST", "This operation requires changeId");

    if (isProductResourceOperation (op) && ! isPlainObject (request.payload))
        return fail ("INVALID_REQUEST", "This operation requires a payload object");

    return true;
}

//==============================================================================
std::optional<juce::var> McpPluginBridge::findCachedResponse (const juce::String& requestId) const
{
    for (const auto& entry : responseCache)
        if (entry.requestId == requestId)
            return entry.response;

    return std::nullopt;
}

void McpPluginBridge::cacheResponse (const juce::String& requestId, const juce::var& response, juce::int64 sizeBytes)
{
    responseCache.push_back ({ requestId, response.clone(), sizeBytes });
    responseCacheBytes += sizeBytes;

    // Bounded in count and in bytes: 256 answers of up to 8 MiB each would be 2 GiB.
    while (responseCache.size() > responseCacheLimit || (responseCacheBytes > responseCacheByteLimit && responseCache.size() > 1))
    {
        responseCacheBytes -= responseCache.front().sizeBytes;
        responseCache.pop_front();
    }
}

juce::var McpPluginBridge::makeResponse (const Request& request, bool ok, bool contentChanged, const juce::String& changeId,
                                         const juce::var& project, const juce::String& errorCode,
                                         const juce::String& errorMessage, const juce::var& payload) const
{
    return makeObject ({
        { "format", "velmar-mcp-response" },
        { "version", 1 },
        { "requestId", request.requestId },
        { "instanceId", instanceId },
        { "operation", request.operation },
        { "ok", ok },
        { "revision", current.revision },
        { "contentRevision", current.contentRevision },
        { "contentChanged", contentChanged },
        { "changeId", changeId },
        { "project", isPlainObject (project) ? project : juce::var() },
        { "payload", isPlainObject (payload) ? payload : makeObject ({}) },
        { "errorCode", errorCode },
        { "errorMessage", errorMessage },
    });
}

juce::var McpPluginBridge::makeErrorResponse (const Request& request, const juce::String& errorCode,
                                              const juce::String& errorMessage) const
{
    return makeResponse (request, false, false, request.changeId, {}, errorCode, errorMessage);
}

juce::var McpPluginBridge::makeErrorResponse (const Request& request, const Failure& failure) const
{
    return makeErrorResponse (request, failure.code, failure.message);
}

} // namespace velmar
