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

// One HTTP transfer at a time, run on a worker thread and cancellable from any other thread:
// an owner's destructor calls cancel() and then waits for its worker, which returns within
// moments whatever the network does, instead of sitting in a slow request for its whole
// time-out.
//
// It drives libcurl directly rather than through the framework's URL streams: those clean up
// by waiting for libcurl's name-lookup thread, so with a resolver that does not answer, a
// cancel (or the destructor of the service that owns the client) blocked for as long as the
// lookup took. Here a lookup still running at the end is left to finish on its own thread,
// inside libcurl, touching nothing of ours, and libcurl is kept loaded for as long as the
// process lives so that the lookup never returns into code that is gone.
class HttpClient
{
public:
    HttpClient() = default;

    // Worker thread. Blocking. Returns at once with cancelled set when cancel() was called
    // before.
    HttpResponse perform (const HttpRequest& request);

    // Any thread. Aborts the transfer in flight and refuses further ones until reset();
    // returns at once.
    void cancel();
    void reset();
    bool isCancelled() const noexcept { return cancelled.load(); }

private:
    std::mutex transferLock;
    void* activeTransfer = nullptr;     // the libcurl multi handle of the transfer in flight
    std::atomic<bool> cancelled { false };

    JUCE_DECLARE_NON_COPYABLE (HttpClient)
};

} // namespace velmar
