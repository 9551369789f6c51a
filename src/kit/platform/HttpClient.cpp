#include "kit/platform/HttpClient.h"

namespace velmar
{

HttpResponse HttpClient::perform (const HttpRequest& request)
{
    HttpResponse response;

    auto url = juce::URL (request.url);
    if (request.post)
        url = url.withPOSTData (request.body);

    juce::WebInputStream stream (url, request.post);
    stream.withExtraHeaders (request.extraHeaders)
          .withConnectionTimeout (request.connectionTimeoutMs)
          .withNumRedirectsToFollow (5);

    {
        // Registered before connecting, so that a cancel() from now on reaches the stream;
        // a cancel() that came earlier stops us here.
        const std::lock_guard<std::mutex> sl (streamLock);

        if (cancelled.load())
        {
            response.cancelled = true;
            return response;
        }

        activeStream = &stream;
    }

    struct Unregister
    {
        HttpClient& owner;
        ~Unregister()
        {
            const std::lock_guard<std::mutex> sl (owner.streamLock);
            owner.activeStream = nullptr;
        }
    } unregister { *this };

    const bool connected = stream.connect (nullptr);
    response.statusCode = stream.getStatusCode();

    if (cancelled.load())
    {
        response.cancelled = true;
        return response;
    }

    if (! connected || stream.isError())
        return response;

    response.opened = true;

    const auto limit = (size_t) juce::jmax (0, request.maxResponseBytes);
    juce::MemoryBlock data;
    char buffer[8192];

    // Bounded both by the size limit and by the stream itself: a read of 0 bytes ends it.
    for (;;)
    {
        if (cancelled.load())
        {
            response.cancelled = true;
            return response;
        }

        const int got = stream.read (buffer, (int) sizeof (buffer));

        if (got <= 0)
            break;

        const auto room = limit - data.getSize();

        if ((size_t) got > room)
        {
            data.append (buffer, room);
            response.truncated = true;
            break;
        }

        data.append (buffer, (size_t) got);
    }

    response.body = juce::String::fromUTF8 (static_cast<const char*> (data.getData()), (int) data.getSize());
    return response;
}

void HttpClient::cancel()
{
    const std::lock_guard<std::mutex> sl (streamLock);
    cancelled = true;

    if (activeStream != nullptr)
        activeStream->cancel();
}

void HttpClient::reset()
{
    const std::lock_guard<std::mutex> sl (streamLock);
    cancelled = false;
}

} // namespace velmar
