#include "kit/platform/HttpClient.h"

#include <curl/curl.h>

#include <dlfcn.h>
#include <string>

namespace velmar
{

namespace
{
    // libcurl's global set-up is made once, before the first transfer, and never undone: a
    // name lookup left running by an aborted transfer may still be inside libcurl. For the same
    // reason the library is marked never to be unloaded, even when the host unloads us.
    void prepareLibrary()
    {
        static const bool prepared = []
        {
            curl_global_init (CURL_GLOBAL_DEFAULT);

            Dl_info info {};
            if (::dladdr (reinterpret_cast<void*> (&curl_easy_init), &info) != 0 && info.dli_fname != nullptr)
                ::dlopen (info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);

            return true;
        }();

        juce::ignoreUnused (prepared);
    }

    struct Received
    {
        std::string body;
        size_t limit = 0;
        bool truncated = false;
    };

    size_t receive (char* data, size_t size, size_t count, void* userData)
    {
        auto& received = *static_cast<Received*> (userData);
        const auto bytes = size * count;
        const auto room = received.limit - received.body.size();

        if (bytes > room)
        {
            // Past the limit the transfer is ended: a short count makes libcurl stop.
            received.body.append (data, room);
            received.truncated = true;
            return 0;
        }

        received.body.append (data, bytes);
        return bytes;
    }

    // Owns what one transfer needs from libcurl and gives it back in the right order.
    struct Transfer
    {
        CURLM* multi = curl_multi_init();
        CURL* easy = curl_easy_init();
        curl_slist* headers = nullptr;
        bool added = false;

        ~Transfer()
        {
            if (added)
                curl_multi_remove_handle (multi, easy);

            if (easy != nullptr)
                curl_easy_cleanup (easy);

            if (multi != nullptr)
                curl_multi_cleanup (multi);

            curl_slist_free_all (headers);
        }
    };

    bool setOptions (Transfer& transfer, const HttpRequest& request, const std::string& url,
                     const std::string& body, Received& received)
    {
        auto* easy = transfer.easy;

        for (const auto& line : juce::StringArray::fromLines (request.extraHeaders))
            if (line.trim().isNotEmpty())
                transfer.headers = curl_slist_append (transfer.headers, line.trim().toRawUTF8());

        // No "Expect: 100-continue" pause before a body: the services answer at once.
        if (request.post)
            transfer.headers = curl_slist_append (transfer.headers, "Expect:");

        static const std::string userAgent = std::string ("curl/") + curl_version_info (CURLVERSION_NOW)->version;
        const long timeoutMs = juce::jmax (1, request.connectionTimeoutMs);

        bool ok = curl_easy_setopt (easy, CURLOPT_URL, url.c_str()) == CURLE_OK
               && curl_easy_setopt (easy, CURLOPT_NOSIGNAL, 1L) == CURLE_OK
               && curl_easy_setopt (easy, CURLOPT_QUICK_EXIT, 1L) == CURLE_OK
               && curl_easy_setopt (easy, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK
               && curl_easy_setopt (easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK
               && curl_easy_setopt (easy, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK
               && curl_easy_setopt (easy, CURLOPT_MAXREDIRS, 5L) == CURLE_OK
               && curl_easy_setopt (easy, CURLOPT_USERAGENT, userAgent.c_str()) == CURLE_OK
               && curl_easy_setopt (easy, CURLOPT_HTTPHEADER, transfer.headers) == CURLE_OK
               && curl_easy_setopt (easy, CURLOPT_WRITEFUNCTION, receive) == CURLE_OK
               && curl_easy_setopt (easy, CURLOPT_WRITEDATA, &received) == CURLE_OK
               // The connection (name lookup included) has the time-out; after that a
               // transfer that stalls (under 100 bytes a second for as long) ends too.
               && curl_easy_setopt (easy, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs) == CURLE_OK
               && curl_easy_setopt (easy, CURLOPT_LOW_SPEED_LIMIT, 100L) == CURLE_OK
               && curl_easy_setopt (easy, CURLOPT_LOW_SPEED_TIME, (timeoutMs + 999) / 1000) == CURLE_OK;

        if (ok && request.post)
            ok = curl_easy_setopt (easy, CURLOPT_POST, 1L) == CURLE_OK
              && curl_easy_setopt (easy, CURLOPT_POSTFIELDSIZE_LARGE, (curl_off_t) body.size()) == CURLE_OK
              && curl_easy_setopt (easy, CURLOPT_POSTFIELDS, body.data()) == CURLE_OK;

        return ok;
    }
} // namespace

HttpResponse HttpClient::perform (const HttpRequest& request)
{
    HttpResponse response;
    prepareLibrary();

    // Kept alive for the whole transfer: libcurl reads them without copying.
    const auto url = request.url.toStdString();
    const auto body = request.body.toStdString();
    Received received;
    received.limit = (size_t) juce::jmax (0, request.maxResponseBytes);

    Transfer transfer;

    if (transfer.multi == nullptr || transfer.easy == nullptr
         || ! setOptions (transfer, request, url, body, received)
         || curl_multi_add_handle (transfer.multi, transfer.easy) != CURLM_OK)
        return response;

    transfer.added = true;

    {
        // Registered before anything is sent, so that a cancel() from now on reaches the
        // transfer; a cancel() that came earlier stops us here.
        const std::lock_guard<std::mutex> sl (transferLock);

        if (cancelled.load())
        {
            response.cancelled = true;
            return response;
        }

        activeTransfer = transfer.multi;
    }

    struct Unregister
    {
        HttpClient& owner;
        ~Unregister()
        {
            const std::lock_guard<std::mutex> sl (owner.transferLock);
            owner.activeTransfer = nullptr;
        }
    } unregister { *this };

    for (;;)
    {
        int running = 0;

        if (curl_multi_perform (transfer.multi, &running) != CURLM_OK || running == 0)
            break;

        if (cancelled.load())
        {
            response.cancelled = true;
            return response;
        }

        // Wakes for the network, for cancel(), and at least once a second.
        curl_multi_poll (transfer.multi, nullptr, 0, 1000, nullptr);

        if (cancelled.load())
        {
            response.cancelled = true;
            return response;
        }
    }

    long status = 0;
    curl_easy_getinfo (transfer.easy, CURLINFO_RESPONSE_CODE, &status);
    response.statusCode = (int) status;

    // A response arrived when its status line did, whatever became of the body afterwards.
    if (status <= 0)
        return response;

    response.opened = true;
    response.truncated = received.truncated;
    // The bytes as they came: a reader of them decides what to make of text that is no UTF-8.
    const auto* start = received.body.data();
    response.body = juce::String (juce::CharPointer_UTF8 (start), juce::CharPointer_UTF8 (start + received.body.size()));
    return response;
}

void HttpClient::cancel()
{
    const std::lock_guard<std::mutex> sl (transferLock);
    cancelled = true;

    if (activeTransfer != nullptr)
        curl_multi_wakeup (static_cast<CURLM*> (activeTransfer));
}

void HttpClient::reset()
{
    const std::lock_guard<std::mutex> sl (transferLock);
    cancelled = false;
}

} // namespace velmar
