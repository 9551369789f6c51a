#include "kit/services/SupportRequestClient.h"

#include "kit/services/ServiceAddresses.h"

#include "kit/KitTestSupport.h"
#include "kit/LoopbackHttpServer.h"

#include <gtest/gtest.h>

#include <optional>

using velmar::SupportRequestClient;
using velmar::SupportResponse;

namespace
{
    const char* const supportPath = "/api/plugin-support";

    velmar::SupportRequest aRequest()
    {
        velmar::SupportRequest r;
        r.replyEmail = "  user@example.com ";
        r.message = "\n\n  The chords stop after bar 4.  \n\n";
        r.product = "CorVessa ";
        r.productName = " Corvessa";
        r.version = "1.3.4 ";
        r.platform = " Windows";
        r.format = "VST3 ";
        return r;
    }

    struct SupportRequestClientTest : ::testing::Test
    {
        juce::ScopedJuceInitialiser_GUI juce;
        kittest::LoopbackHttpServer server;

        SupportRequestClient::Config config (int timeoutMs = 5000)
        {
            return { juce::String (server.url (supportPath)), timeoutMs };
        }

        // Sends and waits (bounded) for the outcome on the message thread.
        std::optional<SupportResponse> sendAndWait (SupportRequestClient& client, const velmar::SupportRequest& request)
        {
            std::optional<SupportResponse> outcome;
            const auto messageThread = juce::MessageManager::getInstance()->isThisTheMessageThread();
            EXPECT_TRUE (messageThread);

            const bool sent = client.send (request, [&outcome] (const SupportResponse& r)
            {
                EXPECT_TRUE (juce::MessageManager::getInstance()->isThisTheMessageThread());
                outcome = r;
            });
            EXPECT_TRUE (sent);

            kittest::pumpMessagesUntil ([&] { return outcome.has_value(); }, 30000);
            return outcome;
        }
    };
} // namespace

TEST_F (SupportRequestClientTest, BodyIsTrimmedLowerCasedAndHeadersMarkTheClient)
{
    SupportRequestClient client (config());

    for (const bool withSnapshot : { false, true })
    {
        auto request = aRequest();
        if (withSnapshot)
            request.projectJson = "{\"format\":\"velmar-plugin-project\"}";

        const auto before = server.getRequests().size();
        ASSERT_TRUE (sendAndWait (client, request).has_value());
        ASSERT_EQ (server.getRequests().size(), before + 1);
        const auto sent = server.getRequests().back();

        EXPECT_EQ (sent.method, "POST");
        EXPECT_EQ (sent.path, supportPath);
        EXPECT_EQ (sent.header ("x-velmar-client"), "plugin-support/1");
        EXPECT_EQ (sent.header ("content-type"), "application/json");
        EXPECT_EQ (sent.header ("accept"), "application/json");

        const auto body = juce::JSON::parse (juce::String (sent.body));
        ASSERT_NE (body.getDynamicObject(), nullptr);
        const auto& props = body.getDynamicObject()->getProperties();

        const std::vector<std::pair<const char*, juce::String>> expected {
            { "schema", "1" }, { "reply_email", "user@example.com" }, { "message", "The chords stop after bar 4." },
            { "product", "corvessa" }, { "product_name", "Corvessa" }, { "version", "1.3.4" },
            { "platform", "windows" }, { "format", "vst3" },
        };

        ASSERT_EQ (props.size(), (int) expected.size() + (withSnapshot ? 1 : 0));
        for (size_t i = 0; i < expected.size(); ++i)
        {
            EXPECT_EQ (props.getName ((int) i).toString(), expected[i].first);
            EXPECT_EQ (props.getValueAt ((int) i).toString(), expected[i].second) << expected[i].first;
        }

        if (withSnapshot)
        {
            EXPECT_EQ (props.getName (8).toString(), "project_json");
            EXPECT_TRUE (props.getValueAt (8).isString());
            EXPECT_EQ (props.getValueAt (8).toString(), request.projectJson);
        }
    }
}

TEST_F (SupportRequestClientTest, OutcomesByStatusAndAnswer)
{
    struct Case
    {
        const char* name;
        kittest::LoopbackHttpServer::Response response;
        bool success;
        int status;
        const char* message;
        const char* requestId;
    };

    const Case cases[] = {
        { "accepted",           { 201, "{\"ok\": true, \"requestId\": \"  R-1 \"}" }, true, 201, "Message sent.", "R-1" },
        { "refused with text",  { 200, "{\"ok\": false, \"message\": \"Invalid email\"}" }, false, 200, "Invalid email", "" },
        { "ok missing",         { 200, "{\"requestId\": \"R-2\"}" }, false, 200, "The support request could not be sent.", "R-2" },
        { "ok not boolean",     { 200, "{\"ok\": \"true\"}" }, false, 200, "The support request could not be sent.", "" },
        { "service's own text", { 202, "{\"ok\": true, \"message\": \"  Thanks! \"}" }, true, 202, "Thanks!", "" },
        { "rate limited",       { 429, "{\"message\": \"   \"}" }, false, 429, "Too many support requests. Please wait a minute and try again.", "" },
        { "client error",       { 400, "{\"ok\": true}" }, false, 400, "The support request could not be sent.", "" },
        { "server error, HTML", { 503, "<html>down</html>", "text/html" }, false, 503, "VELMAR support is temporarily unavailable. Please try again.", "" },
        { "server error, text", { 500, "{\"message\": \"Maintenance until 10:00\"}" }, false, 500, "Maintenance until 10:00", "" },
        { "garbage answer",     { 200, "not json at all", "text/plain" }, false, 200, "The support request could not be sent.", "" },
        { "nested too deep",    { 200, "{\"ok\": true, \"requestId\": \"R\", \"x\": " + std::string (65000, '[') }, false, 200, "The support request could not be sent.", "" },
        { "array answer",       { 200, "[true]" }, false, 200, "The support request could not be sent.", "" },
        // Longer than the client reads: what arrived whole before the cut still counts.
        { "long answer",        { 200, "{\"ok\": true, \"requestId\": \"R-3\", \"message\": \"Thanks!\", \"log\": \"" + std::string (200000, 'x') + "\"}" },
                                true, 200, "Thanks!", "R-3" },
        { "long refusal",       { 200, "{\"ok\": false, \"log\": \"" + std::string (200000, 'x') + "\", \"message\": \"late\"}" },
                                false, 200, "The support request could not be sent.", "" },
        { "not HTTP",           { 200, "garbage\r\n\r\n", "", 0, true }, false, 0, "Could not reach VELMAR support. Check your connection and try again.", "" },
    };

    SupportRequestClient client (config());

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        server.respondWith (c.response);

        const auto outcome = sendAndWait (client, aRequest());
        ASSERT_TRUE (outcome.has_value());
        EXPECT_EQ (outcome->success, c.success);
        EXPECT_EQ (outcome->statusCode, c.status);
        EXPECT_EQ (outcome->message, c.message);
        EXPECT_EQ (outcome->requestId, c.requestId);

        // The client is free again for the next request.
        kittest::pumpMessagesUntil ([&] { return ! client.isSending(); });
    }
}

TEST (SupportAnswer, WhatTheServiceSaysFitsTheOneLineStatus)
{
    const juce::String longWord = juce::String::repeatedString ("long ", 100);

    struct Case { const char* what; juce::String answer; const char* message; const char* requestId; };
    const Case cases[] = {
        { "message an object",     R"({"ok": true, "message": {"text": "hi"}, "requestId": "R-1"})", "Message sent.", "R-1" },
        { "message an array",      R"({"ok": false, "message": ["x"]})",                           "The support request could not be sent.", "" },
        { "message a number",      R"({"ok": true, "message": 42})",                               "42", "" },
        { "message a boolean",     R"({"ok": true, "message": true})",                             "Message sent.", "" },
        { "id an object",          R"({"ok": true, "requestId": {"a": 1}})",                       "Message sent.", "" },
        { "id a number",           R"({"ok": true, "requestId": 1234})",                           "Message sent.", "1234" },
        { "line breaks and tabs",  "{\"ok\": true, \"message\": \"Thanks!\\r\\nWe answer\\tsoon.\\u0007\\u001b[31m\"}", "Thanks! We answer soon.[31m", "" },
        { "only control text",     R"({"ok": true, "message": "\u0007\r\n\u001f "})",            "Message sent.", "" },
        { "separators",            "{\"ok\": true, \"message\": \"a\\u2028b\\u0085c\"}",       "a bc", "" },
        { "control text in an id", "{\"ok\": true, \"requestId\": \" R\\n-\\u00077 \"}",       "Message sent.", "R -7" },
    };

    for (const auto& c : cases)
    {
        const auto response = SupportRequestClient::mapResponse (200, c.answer);
        EXPECT_EQ (response.message, c.message) << c.what;
        EXPECT_EQ (response.requestId, c.requestId) << c.what;
    }

    // A long text is cut to what the line can hold, marked as cut.
    const auto cut = SupportRequestClient::mapResponse (200, "{\"ok\": true, \"message\": \"" + longWord + "\"}").message;
    EXPECT_LE (cut.length(), 160);
    EXPECT_TRUE (cut.startsWith ("long long"));
    EXPECT_TRUE (cut.endsWith ("..."));
    EXPECT_EQ (SupportRequestClient::mapResponse (200, "{\"ok\": true, \"requestId\": \"" + longWord + "\"}").requestId.length() <= 64, true);
}

TEST_F (SupportRequestClientTest, NoServerOrNoAnswerInTimeCannotReachSupport)
{
    std::string closedUrl;
    {
        kittest::LoopbackHttpServer closed;
        closedUrl = closed.url (supportPath);
    }

    SupportRequestClient unreachable ({ juce::String (closedUrl), 5000 });
    auto outcome = sendAndWait (unreachable, aRequest());
    ASSERT_TRUE (outcome.has_value());
    EXPECT_FALSE (outcome->success);
    EXPECT_EQ (outcome->statusCode, 0);
    EXPECT_EQ (outcome->message, "Could not reach VELMAR support. Check your connection and try again.");

    // A server that accepts the request and then says nothing: the time-out ends it.
    server.respondWith ({ 200, "{\"ok\": true}", "application/json", 60000 });
    SupportRequestClient slow (config (1000));
    outcome = sendAndWait (slow, aRequest());
    ASSERT_TRUE (outcome.has_value());
    EXPECT_FALSE (outcome->success);
    EXPECT_EQ (outcome->message, "Could not reach VELMAR support. Check your connection and try again.");
}

TEST_F (SupportRequestClientTest, OneRequestAtATimeAndNoneWithoutACallback)
{
    server.respondWith ({ 200, "{\"ok\": true}", "application/json", 500 });
    SupportRequestClient client (config());

    EXPECT_FALSE (client.send (aRequest(), nullptr));
    EXPECT_EQ (server.getConnectionCount(), 0);

    int firstCalls = 0, secondCalls = 0;
    ASSERT_TRUE (client.send (aRequest(), [&] (const SupportResponse&) { ++firstCalls; }));
    EXPECT_FALSE (client.send (aRequest(), [&] (const SupportResponse&) { ++secondCalls; }));

    ASSERT_TRUE (kittest::pumpMessagesUntil ([&] { return firstCalls == 1; }));
    kittest::pumpMessagesFor (100);
    EXPECT_EQ (firstCalls, 1);
    EXPECT_EQ (secondCalls, 0);
    EXPECT_EQ (server.getRequests().size(), 1u);
}

TEST_F (SupportRequestClientTest, CancelAndTearDownDeliverNothingAndAbortTheTransfer)
{
    server.respondWith ({ 200, "{\"ok\": true}", "application/json", 60000 });

    int calls = 0;
    {
        SupportRequestClient client (config (20000));
        ASSERT_TRUE (client.send (aRequest(), [&] (const SupportResponse&) { ++calls; }));
        ASSERT_TRUE (server.waitForRequests (1, 20000));
        client.cancel();
        ASSERT_TRUE (kittest::pumpMessagesUntil ([&] { return ! client.isSending(); }));

        // A new request after a cancel goes out normally.
        server.respondWith ({ 200, "{\"ok\": true}" });
        ASSERT_TRUE (client.send (aRequest(), [&] (const SupportResponse&) { calls += 10; }));
        ASSERT_TRUE (kittest::pumpMessagesUntil ([&] { return calls == 10; }));

        // Destroyed in the middle of a slow one.
        server.respondWith ({ 200, "{\"ok\": true}", "application/json", 60000 });
        ASSERT_TRUE (client.send (aRequest(), [&] (const SupportResponse&) { calls += 100; }));
        ASSERT_TRUE (server.waitForRequests (3, 20000));
    }

    kittest::pumpMessagesFor (200);
    EXPECT_EQ (calls, 10);

    for (int i = 0; i < 1000 && server.getAbortedByClientCount() < 2; ++i)
        juce::Thread::sleep (10);
    EXPECT_EQ (server.getAbortedByClientCount(), 2);
}

TEST (SupportPlatform, NamesThePlatformItWasBuiltFor)
{
   #if JUCE_LINUX
    EXPECT_EQ (velmar::getPlatformName(), "linux");
   #elif JUCE_WINDOWS
    EXPECT_EQ (velmar::getPlatformName(), "windows");
   #endif
    EXPECT_TRUE (velmar::getSupportEndpointUrl().endsWith ("/api/plugin-support"));
    EXPECT_TRUE (velmar::getSupportEndpointUrl().startsWith (velmar::getServiceBaseUrl()));
}
