#pragma once

#include "kit/platform/HttpClient.h"

#include <juce_events/juce_events.h>

#include <atomic>
#include <functional>

namespace velmar
{

struct SupportRequest
{
    juce::String replyEmail;
    juce::String message;
    juce::String product;
    juce::String productName;
    juce::String version;
    juce::String platform;
    juce::String format;
    juce::String projectJson;
};

struct SupportResponse
{
    bool success = false;
    juce::int32 statusCode = 0;
    juce::String message;
    juce::String requestId;
};

// Sends one support request at a time to the maker's support endpoint on a worker thread of
// its own; the outcome comes back on the message thread.
class SupportRequestClient : private juce::Thread
{
public:
    struct Config
    {
        juce::String endpointUrl;
        juce::int32 timeoutMs = 10000;
    };

    using Callback = std::function<void (const SupportResponse&)>;

    explicit SupportRequestClient (Config config);
    ~SupportRequestClient() override;

    // False, and nothing else, while a request is running or when the callback is empty.
    bool send (const SupportRequest& request, Callback onComplete);

    // Stops the request in flight; its callback is never called.
    void cancel();

    bool isSending() const noexcept { return busy.load(); }

    // The JSON body sent for a request (multi-line form).
    static juce::String buildRequestBody (const SupportRequest& request);

    // The outcome for a response of this status and text; cutOff when the text was cut at the
    // size limit of what we read.
    static SupportResponse mapResponse (int statusCode, const juce::String& responseText, bool cutOff = false);

private:
    void run() override;
    void complete (const SupportResponse& response);

    const Config config;
    juce::CriticalSection lock;
    SupportRequest pending;
    Callback callback;
    HttpClient http;
    std::atomic<bool> busy { false };

    JUCE_DECLARE_NON_COPYABLE (SupportRequestClient)
};

} // namespace velmar
