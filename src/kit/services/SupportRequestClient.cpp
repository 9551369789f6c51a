#include "kit/services/SupportRequestClient.h"

#include "kit/json/JsonReader.h"
#include "kit/json/JsonWriter.h"

namespace velmar
{

namespace
{
    constexpr int maxResponseBytes = 64 * 1024;

    const char* const couldNotReachText = "Could not reach VELMAR support. Check your connection and try again.";

    // What the service says is shown in the one-line status: it is cut to a length that line
    // can hold, and characters that would break or hide it are taken out.
    constexpr int maxMessageLength = 160;
    constexpr int maxRequestIdLength = 64;

    // The text of a value the service sent as text or as a number; anything else (an object
    // would read as "Object 0x...") is no text.
    juce::String textOf (const juce::var& value)
    {
        return (value.isString() || value.isInt() || value.isInt64() || value.isDouble()) ? value.toString() : juce::String();
    }

    bool isControlCharacter (juce::juce_wchar c)
    {
        return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0x2028 || c == 0x2029;
    }

    juce::String forStatusLine (const juce::String& text, int maxLength)
    {
        juce::String line;
        bool pendingSpace = false;

        for (auto p = text.getCharPointer(); ! p.isEmpty();)
        {
            const auto c = p.getAndAdvance();

            // Line breaks and tabs part words, so they become a space; other control
            // characters are dropped.
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == 0x2028 || c == 0x2029)
            {
                pendingSpace = line.isNotEmpty();
                continue;
            }

            if (isControlCharacter (c))
                continue;

            if (pendingSpace)
                line << ' ';

            pendingSpace = false;
            line << juce::String::charToString (c);

            if (line.length() > maxLength)
                return line.substring (0, maxLength - 3).trimEnd() + "...";
        }

        return line;
    }
} // namespace

SupportRequestClient::SupportRequestClient (Config configToUse)
    : juce::Thread ("VelmarSupportRequest"), config (std::move (configToUse))
{
}

SupportRequestClient::~SupportRequestClient()
{
    // Abort the transfer first, so that the wait below is short; the worker is never killed.
    signalThreadShouldExit();
    http.cancel();
    stopThread (-1);

    const juce::ScopedLock sl (lock);
    callback = nullptr;
}

bool SupportRequestClient::send (const SupportRequest& request, Callback onComplete)
{
    if (onComplete == nullptr || busy.load())
        return false;

    // The last worker has handed over its outcome (or was cancelled) and is only returning;
    // the framework cannot start the thread again before it has.
    waitForThreadToExit (-1);

    {
        const juce::ScopedLock sl (lock);
        pending = request;
        callback = std::move (onComplete);
    }

    http.reset();
    busy = true;

    if (startThread())
        return true;

    busy = false;
    const juce::ScopedLock sl (lock);
    callback = nullptr;
    return false;
}

void SupportRequestClient::cancel()
{
    signalThreadShouldExit();
    http.cancel();
}

juce::String SupportRequestClient::buildRequestBody (const SupportRequest& request)
{
    auto* object = new juce::DynamicObject();
    juce::var body (object);
    object->setProperty ("schema", 1);
    object->setProperty ("reply_email", request.replyEmail.trim());
    object->setProperty ("message", request.message.trim());
    object->setProperty ("product", request.product.trim().toLowerCase());
    object->setProperty ("product_name", request.productName.trim());
    object->setProperty ("version", request.version.trim());
    object->setProperty ("platform", request.platform.trim().toLowerCase());
    object->setProperty ("format", request.format.trim().toLowerCase());

    if (request.projectJson.isNotEmpty())
        object->setProperty ("project_json", request.projectJson);

    return JsonWriter::toString (body, false, 15);
}

SupportResponse SupportRequestClient::mapResponse (int statusCode, const juce::String& responseText, bool cutOff)
{
    // An answer longer than we read is taken as far as it goes: the members that arrived
    // whole before the cut ("ok" comes first in every answer of the service) still count, so
    // that a request the service accepted is not reported as lost.
    const auto parsed = cutOff ? JsonReader::parseCutOff (responseText) : JsonReader::parse (responseText);

    SupportResponse response;
    response.statusCode = statusCode;
    response.success = statusCode >= 200 && statusCode <= 299
                       && (parsed.getDynamicObject() != nullptr) && parsed.getProperty ("ok", {}).isBool()
                       && (bool) parsed.getProperty ("ok", {});

    if ((parsed.getDynamicObject() != nullptr))
        response.requestId = forStatusLine (textOf (parsed.getProperty ("requestId", {})), maxRequestIdLength);

    if (statusCode == 429)
        response.message = "Too many support requests. Please wait a minute and try again.";
    else if (statusCode >= 500)
        response.message = "VELMAR support is temporarily unavailable. Please try again.";
    else if (response.success)
        response.message = "Message sent.";
    else
        response.message = "The support request could not be sent.";

    if ((parsed.getDynamicObject() != nullptr))
    {
        const auto shown = forStatusLine (textOf (parsed.getProperty ("message", {})), maxMessageLength);

        if (shown.isNotEmpty())
            response.message = shown;
    }

    return response;
}

void SupportRequestClient::run()
{
    // Free again when the run ends without an outcome (cancelled); with one, complete() frees
    // the client before posting it, so that its receiver can send the next request.
    struct EndOfRequest
    {
        std::atomic<bool>& busy;
        ~EndOfRequest() { busy = false; }
    } endOfRequest { busy };

    SupportRequest request;
    {
        const juce::ScopedLock sl (lock);
        request = pending;
    }

    HttpRequest httpRequest;
    httpRequest.url = config.endpointUrl;
    httpRequest.post = true;
    httpRequest.body = buildRequestBody (request);
    httpRequest.extraHeaders = "Accept: application/json\r\nContent-Type: application/json\r\nX-Velmar-Client: plugin-support/1\r\n";
    httpRequest.connectionTimeoutMs = config.timeoutMs;
    httpRequest.maxResponseBytes = maxResponseBytes;

    const auto response = http.perform (httpRequest);

    if (response.cancelled || threadShouldExit())
        return;

    if (! response.opened)
    {
        SupportResponse failed;
        failed.statusCode = response.statusCode;
        failed.message = couldNotReachText;
        complete (failed);
        return;
    }

    complete (mapResponse (response.statusCode, response.body, response.truncated));
}

void SupportRequestClient::complete (const SupportResponse& response)
{
    Callback toCall;
    {
        const juce::ScopedLock sl (lock);
        std::swap (toCall, callback);
    }

    busy = false;

    if (toCall != nullptr)
        juce::MessageManager::callAsync ([toCall = std::move (toCall), response] { toCall (response); });
}

} // namespace velmar
