#pragma once

#include <juce_core/juce_core.h>

#include <atomic>
#include <mutex>

namespace velmar
{

struct HttpRequest
{
    juce::String url;
    bool post = false;
    juce::String body;                  // sent as the POST data when post is true
    juce::String extraHeaders;          // "Name: value\r\n" lines
    int connectionTimeoutMs = 10000;
    int maxResponseBytes = 256 * 1024;  // reading stops there; the response is marked truncated
};

struct HttpResponse
{
    bool opened = false;                // a response arrived (of whatever status)
    int statusCode = 0;                 // 0 when no response arrived
    juce::String body;                  // the response text, at most maxResponseBytes
    bool truncated = false;             // the response was longer than the limit
    bool cancelled = false;             // cancel() stopped the transfer

    bool hasSuccessStatus() const noexcept { return statusCode >= 200 && statusCode <= 299; }
};

// One HTTP transfer at a time through the framework's URL streams (libcurl on Linux),
// run on a worker thread and cancellable from any other thread: an owner's destructor calls
// cancel() and then waits for its worker, which returns within moments instead of sitting
// in a slow request for its whole time-out.
class HttpClient
{
public:
    HttpClient() = default;

    // Blocking. Returns at once with cancelled set when cancel() was called before.
    HttpResponse perform (const HttpRequest& request);

    // Aborts the transfer in flight and refuses further ones until reset().
    void cancel();
    void reset();
    bool isCancelled() const noexcept { return cancelled.load(); }

private:
    std::mutex streamLock;
    juce::WebInputStream* activeStream = nullptr;
    std::atomic<bool> cancelled { false };

    JUCE_DECLARE_NON_COPYABLE (HttpClient)
};

} // namespace velmar
