#include "kit/platform/HttpClient.h"

#include "kit/LoopbackHttpServer.h"

#include <gtest/gtest.h>

#include <thread>

using velmar::HttpClient;
using velmar::HttpRequest;

TEST (HttpClient, ReadsAreBoundedAndStatusesReported)
{
    kittest::LoopbackHttpServer server;
    HttpClient client;

    struct Case { int status; size_t bodyBytes; int limit; bool truncated; };
    const Case cases[] = {
        { 200, 10, 1024, false },
        { 200, 1024, 1024, false },
        { 200, 3 * 1024 * 1024, 1024, true },
        { 404, 100, 1024, false },
        { 204, 0, 1024, false },
    };

    for (const auto& c : cases)
    {
        server.respondWith ({ c.status, std::string (c.bodyBytes, 'a'), "text/plain" });

        HttpRequest request;
        request.url = server.url ("/x");
        request.maxResponseBytes = c.limit;
        const auto response = client.perform (request);

        EXPECT_TRUE (response.opened);
        EXPECT_EQ (response.statusCode, c.status);
        EXPECT_EQ (response.truncated, c.truncated);
        EXPECT_EQ ((size_t) response.body.length(), std::min (c.bodyBytes, (size_t) c.limit));
        EXPECT_EQ (response.hasSuccessStatus(), c.status >= 200 && c.status <= 299);
    }
}

TEST (HttpClient, CancelAbortsTheTransferInFlightAndLaterOnesUntilReset)
{
    kittest::LoopbackHttpServer server;
    server.respondWith ({ 200, "late", "text/plain", 60000 });
    HttpClient client;

    HttpRequest request;
    request.url = server.url ("/slow");
    request.connectionTimeoutMs = 30000;

    velmar::HttpResponse response;
    std::thread worker ([&] { response = client.perform (request); });

    ASSERT_TRUE (server.waitForRequests (1, 20000));
    client.cancel();
    worker.join();

    EXPECT_TRUE (response.cancelled);
    EXPECT_FALSE (response.opened);

    for (int i = 0; i < 1000 && server.getAbortedByClientCount() == 0; ++i)
        juce::Thread::sleep (10);
    EXPECT_EQ (server.getAbortedByClientCount(), 1);

    // Cancelled clients refuse further transfers without touching the network.
    EXPECT_TRUE (client.perform (request).cancelled);
    EXPECT_EQ (server.getConnectionCount(), 1);

    client.reset();
    server.respondWith ({ 200, "now", "text/plain" });
    const auto again = client.perform (request);
    EXPECT_EQ (again.body, "now");
}
