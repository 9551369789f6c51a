// Request and response files: the checks on a request in their order, the files around them,
// replays and the cache.
#include "kit/bridge/BridgeTestSupport.h"

#include <atomic>
#include <thread>

namespace
{
using namespace bridgetest;

class BridgeRequestTest : public BridgeTest
{
protected:
    juce::StringArray responseNames() const
    {
        juce::StringArray names;
        for (const auto& f : responses().findChildFiles (juce::File::findFiles, false))
            names.add (f.getFileName());
        names.sort (false);
        return names;
    }

    int requestCount() const { return requests().getNumberOfChildFiles (juce::File::findFiles); }
};

void removeKey (juce::var& request, const char* key)
{
    request.getDynamicObject()->removeProperty (key);
}
} // namespace

TEST_F (BridgeRequestTest, RefusesARequestAtItsFirstFailingCheck)
{
    struct Case
    {
        const char* what;
        std::function<void (juce::var&)> change;
        const char* code;
        const char* message;
        const char* operationInResponse;
    };

    const auto set = [] (const char* key, juce::var value)
    {
        return [key, value] (juce::var& r) { r.getDynamicObject()->setProperty (key, value); };
    };
    const auto without = [] (const char* key) { return [key] (juce::var& r) { removeKey (r, key); }; };

    const Case cases[] = {
        { "other format", set ("format", "velmar-mcp-response"), "UNSUPPORTED_FORMAT", "Unsupported MCP request format", "" },
        { "no format", without ("format"), "UNSUPPORTED_FORMAT", "Unsupported MCP request format", "" },
        { "version 1.0", set ("version", 1.0), "UNSUPPORTED_VERSION", "Unsupported MCP request version", "" },
        { "version \"1\"", set ("version", "1"), "UNSUPPORTED_VERSION", "Unsupported MCP request version", "" },
        { "version 2", set ("version", 2), "UNSUPPORTED_VERSION", "Unsupported MCP request version", "" },
        { "no requestId", without ("requestId"), "INVALID_REQUEST", "Request ID is invalid", "" },
        { "requestId with a dot", set ("requestId", "a.b"), "INVALID_REQUEST", "Request ID is invalid", "" },
        { "requestId of 129", set ("requestId", juce::String::repeatedString ("x", 129)), "INVALID_REQUEST", "Request ID is invalid", "" },
        { "other instance", set ("instanceId", "6a1a3f6e-0000-4000-8000-000000000000"), "WRONG_INSTANCE",
          "Request targets a different plugin instance", "" },
        { "instance as number", set ("instanceId", 7), "WRONG_INSTANCE", "Request targets a different plugin instance", "" },
        { "operation in upper case", set ("operation", "GET_JSON"), "UNSUPPORTED_OPERATION", "Unsupported MCP operation", "GET_JSON" },
        { "unknown operation", set ("operation", "delete_everything"), "UNSUPPORTED_OPERATION", "Unsupported MCP operation",
          "delete_everything" },
        { "created 0", set ("createdAtMs", 0), "INVALID_REQUEST", "Request timestamps are invalid", "get_json" },
        { "created with a fraction", set ("createdAtMs", 1.5), "INVALID_REQUEST", "Request timestamps are invalid", "get_json" },
        { "expires at creation", [] (juce::var& r) { r.getDynamicObject()->setProperty ("expiresAtMs", r["createdAtMs"]); },
          "INVALID_REQUEST", "Request timestamps are invalid", "get_json" },
        { "no expiry", without ("expiresAtMs"), "INVALID_REQUEST", "Request timestamps are invalid", "get_json" },
        { "expectedRevision 0", set ("expectedRevision", 0), "INVALID_REQUEST", "expectedRevision is invalid", "get_json" },
        { "expectedRevision 1.0", set ("expectedRevision", 1.0), "INVALID_REQUEST", "expectedRevision is invalid", "get_json" },
        { "expectedRevision null", set ("expectedRevision", {}), "INVALID_REQUEST", "expectedRevision is invalid", "get_json" },
        { "payload a string", set ("payload", "x"), "INVALID_REQUEST", "payload must be a JSON object", "get_json" },
        { "payload an array", set ("payload", array ({})), "INVALID_REQUEST", "payload must be a JSON object", "get_json" },
        { "transactionId with a dot", set ("transactionId", "t.1"), "INVALID_REQUEST", "transactionId is invalid", "get_json" },
        { "changeId null on get_json", set ("changeId", {}), "INVALID_REQUEST", "changeId is invalid", "get_json" },
        { "changeId empty", set ("changeId", ""), "INVALID_REQUEST", "changeId is invalid", "get_json" },
    };

    for (const auto& c : cases)
    {
        auto r = request ("get_json");
        const auto id = r["requestId"].toString();
        c.change (r);
        const auto file = drop (r, id + ".json");
        tick();

        const auto answer = response (id);
        EXPECT_BRIDGE_ERROR (answer, c.code, c.message);
        EXPECT_EQ (answer["requestId"].toString(), id) << c.what;
        EXPECT_EQ (answer["operation"].toString(), c.operationInResponse) << c.what;
        EXPECT_EQ (answer["instanceId"].toString(), bridge->getInstanceId()) << c.what;
        EXPECT_FALSE (file.exists()) << c.what;
    }

    EXPECT_EQ (processor.applyCalls, 0);
}

TEST_F (BridgeRequestTest, RefusesAnOperationWithoutWhatItNeeds)
{
    const auto project = processor.project;
    struct Case { const char* operation; Fields fields; const char* message; };
    const Case cases[] = {
        { "validate_json", {}, "This operation requires a project object" },
        { "set_json", { { "project", array ({ project }) }, { "expectedRevision", 1 }, { "changeId", "c" } },
          "This operation requires a project object" },
        { "prepare_set", { { "project", {} }, { "expectedRevision", 1 }, { "transactionId", "t" }, { "changeId", "c" } },
          "This operation requires a project object" },
        { "set_json", { { "project", project }, { "changeId", "c" } }, "This operation requires expectedRevision" },
        { "undo", { { "changeId", "c" } }, "This operation requires expectedRevision" },
        { "prepare_set", { { "project", project }, { "expectedRevision", 1 }, { "changeId", "c" } },
          "This operation requires transactionId" },
        { "commit", { { "changeId", "c" } }, "This operation requires transactionId" },
        { "abort_transaction", {}, "This operation requires transactionId" },
        { "set_json", { { "project", project }, { "expectedRevision", 1 } }, "This operation requires changeId" },
        { "undo", { { "expectedRevision", 1 } }, "This operation requires changeId" },
        { "zelvo_list_output_profiles", {}, "This operation requires a payload object" },
    };

    for (const auto& c : cases)
    {
        const auto answer = call (c.operation, c.fields);
        EXPECT_BRIDGE_ERROR (answer, "INVALID_REQUEST", c.message);
        EXPECT_EQ (answer["operation"].toString(), c.operation);
    }

    // An error names the change id the request carried.
    EXPECT_EQ (call ("set_json", { { "project", project }, { "changeId", "c-7" } })["changeId"].toString(), "c-7");
    EXPECT_EQ (processor.applyCalls, 0);
}

TEST_F (BridgeRequestTest, JudgesTimeByItsOwnClock)
{
    // Created at most five seconds ahead of the bridge's clock.
    EXPECT_BRIDGE_OK (call ("get_json", { { "createdAtMs", clockMs + 5000 }, { "expiresAtMs", clockMs + 9000 } }), false);
    EXPECT_BRIDGE_ERROR (call ("get_json", { { "createdAtMs", clockMs + 5001 }, { "expiresAtMs", clockMs + 9000 } }),
                         "INVALID_REQUEST", "Request creation time is in the future");

    // Refused once the clock reaches its expiry.
    EXPECT_BRIDGE_ERROR (call ("get_json", { { "createdAtMs", clockMs - 10 }, { "expiresAtMs", clockMs } }),
                         "REQUEST_EXPIRED", "Request has expired");
    EXPECT_BRIDGE_OK (call ("get_json", { { "createdAtMs", clockMs - 10 }, { "expiresAtMs", clockMs + 1 } }), false);
}

TEST_F (BridgeRequestTest, AnswersFilesThatHoldNoUsableRequest)
{
    struct Case { const char* name; juce::String text; const char* code; const char* message; };
    const Case cases[] = {
        { "empty.json", "", "INVALID_REQUEST", "Request file is empty" },
        { "half.json", R"({"format": "velmar-mcp-request", "vers)", "INVALID_REQUEST", "Request is not a JSON object" },
        { "list.json", "[1, 2]", "INVALID_REQUEST", "Request is not a JSON object" },
        { "number.json", "42", "INVALID_REQUEST", "Request is not a JSON object" },
        { "deep.json", juce::String::repeatedString ("[", 100000), "INVALID_REQUEST", "Request is not a JSON object" },
        { "huge.json", juce::String::repeatedString (" ", 4194305), "MESSAGE_TOO_LARGE", "Request exceeds the 4 MB limit" },
    };

    for (const auto& c : cases)
    {
        const auto file = dropText (c.text, c.name);
        tick();
        const auto id = juce::String (c.name).upToFirstOccurrenceOf (".", false, false);
        EXPECT_BRIDGE_ERROR (response (id), c.code, c.message);
        EXPECT_EQ (response (id)["requestId"].toString(), id);
        EXPECT_FALSE (file.exists()) << c.name;
    }

    // Exactly 4 MiB is still read.
    auto text = velmar::JsonWriter::toString (request ("get_json", { { "requestId", "exact" } }));
    text << juce::String::repeatedString (" ", 4194304 - (int) text.getNumBytesAsUTF8());
    dropText (text, "exact.json");
    tick();
    EXPECT_BRIDGE_OK (response ("exact"), false);
}

TEST_F (BridgeRequestTest, NamesItsAnswerAfterTheRequestOrAFreshIdWhenTheNameIsNoId)
{
    // A further dot in the file name: refused under the request's own valid id.
    auto named = request ("get_json", { { "requestId", "inner" } });
    const auto dotted = drop (named, "outer.v2.json");
    tick();
    EXPECT_BRIDGE_ERROR (response ("inner"), "INVALID_REQUEST", "Request filename must match requestId");
    EXPECT_FALSE (dotted.exists());

    // A valid id that differs from the file's stem: answered under the id it carries.
    drop (request ("get_json", { { "requestId", "carried" } }), "stem.json");
    tick();
    EXPECT_BRIDGE_ERROR (response ("carried"), "INVALID_REQUEST", "Request filename must match requestId");
    EXPECT_EQ (response ("carried")["requestId"].toString(), "carried");
    EXPECT_FALSE (responses().getChildFile ("stem.json").exists());

    // Neither the name nor the id is an id ("." and ".." included): a fresh random id.
    const auto before = responseNames();
    for (const auto* name : { "..json", "...json", "a b.json" })
        drop (request ("get_json", { { "requestId", "x.y" } }), name);
    tick();

    auto added = responseNames();
    for (const auto& name : before)
        added.removeString (name);
    ASSERT_EQ (added.size(), 3) << added.joinIntoString (" ");
    for (const auto& name : added)
    {
        const auto id = name.upToLastOccurrenceOf (".json", false, false);
        EXPECT_EQ (id.length(), 36) << name;
        EXPECT_BRIDGE_ERROR (response (id), "INVALID_REQUEST", "Request ID is invalid");
        EXPECT_EQ (response (id)["requestId"].toString(), id);
    }
    EXPECT_EQ (requestCount(), 0);
    EXPECT_FALSE (bridge->getInstanceDirectory().getChildFile ("x.y.json").exists());
}

TEST_F (BridgeRequestTest, TakesOnlyJsonFilesThirtyTwoPerTickInByteOrder)
{
    // 33 requests; "B..." sorts before "a..." by bytes.
    juce::StringArray ids;
    for (int i = 0; i < 32; ++i)
        ids.add ("a" + juce::String (i).paddedLeft ('0', 2));
    ids.add ("B-first");

    for (const auto& id : ids)
        drop (request ("get_json", { { "requestId", id } }));

    // Letter case of the extension does not matter; other names and folders are left alone.
    drop (request ("get_json", { { "requestId", "UPPER" } }), "UPPER.JSON");
    dropText ("{}", "notes.txt");
    ASSERT_TRUE (requests().getChildFile ("folder.json").createDirectory().wasOk());

    tick();
    EXPECT_TRUE (responses().getChildFile ("B-first.json").existsAsFile());
    EXPECT_TRUE (responses().getChildFile ("UPPER.json").existsAsFile());
    EXPECT_TRUE (responses().getChildFile ("a29.json").existsAsFile());
    EXPECT_FALSE (responses().getChildFile ("a30.json").exists());
    EXPECT_FALSE (responses().getChildFile ("a31.json").exists());

    tick();
    EXPECT_TRUE (responses().getChildFile ("a31.json").existsAsFile());
    EXPECT_TRUE (requests().getChildFile ("notes.txt").existsAsFile());
    EXPECT_TRUE (requests().getChildFile ("folder.json").isDirectory());
    EXPECT_EQ (requestCount(), 1);
}

TEST_F (BridgeRequestTest, ASymbolicLinkIsRefusedAndOnlyTheLinkRemoved)
{
    const auto outside = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("secret.json");
    ASSERT_TRUE (outside.replaceWithText (velmar::JsonWriter::toString (request ("get_json", { { "requestId", "linked" } }))));

    const auto link = requests().getChildFile ("linked.json");
    ASSERT_TRUE (outside.createSymbolicLink (link, true));
    tick();

    EXPECT_BRIDGE_ERROR (response ("linked"), "INVALID_REQUEST", "Request files cannot be symbolic links");
    EXPECT_EQ (response ("linked")["operation"].toString(), "");
    EXPECT_FALSE (link.isSymbolicLink());
    EXPECT_TRUE (outside.existsAsFile());
}

TEST_F (BridgeRequestTest, ARepeatedRequestIsAnsweredAgainNotCarriedOutAgain)
{
    const auto req = request ("set_json", { { "project", song ({ "Dm G C" }) }, { "expectedRevision", 1 }, { "changeId", "c1" } });
    const auto first = send (req);
    EXPECT_BRIDGE_OK (first, true);
    ASSERT_EQ (processor.applyCalls, 1);

    // The response is still there: the new file is deleted unread.
    const auto again = drop (req);
    tick();
    EXPECT_FALSE (again.exists());
    EXPECT_EQ (processor.applyCalls, 1);

    // The client took the response away: the cached one comes back unchanged, even after the
    // project has moved on.
    processor.editOutside ("E");
    ASSERT_TRUE (responses().getChildFile (req["requestId"].toString() + ".json").deleteFile());
    const auto replay = send (req);
    EXPECT_EQ (json (replay), json (first));
    EXPECT_EQ (processor.applyCalls, 1);
}

TEST_F (BridgeRequestTest, ARequestCarryingAnotherRequestsIdNeverReplacesThatAnswer)
{
    // "b" is answered, and its client has not read the answer yet.
    const auto b = send (request ("set_json", { { "project", song ({ "Dm" }) }, { "expectedRevision", 1 },
                                                { "requestId", "b" }, { "changeId", "c1" } }));
    EXPECT_BRIDGE_OK (b, true);
    const auto unread = responses().getChildFile ("b.json").loadFileAsString();

    // A file "a.json" that names "b" inside.
    drop (request ("get_json", { { "requestId", "b" } }), "a.json");
    tick();
    EXPECT_EQ (responses().getChildFile ("b.json").loadFileAsString(), unread);
    EXPECT_BRIDGE_ERROR (response ("a"), "INVALID_REQUEST", "Request filename must match requestId");
    EXPECT_EQ (response ("a")["requestId"].toString(), "a");

    // Once "b" was read and removed, its cached answer still belongs to it alone.
    ASSERT_TRUE (responses().getChildFile ("b.json").deleteFile());
    drop (request ("get_json", { { "requestId", "b" } }), "c.json");
    tick();
    EXPECT_FALSE (responses().getChildFile ("b.json").exists());
    EXPECT_EQ (response ("c")["requestId"].toString(), "c");

    drop (request ("get_json", { { "requestId", "b" } }));
    tick();
    EXPECT_EQ (json (response ("b")), json (b));
}

TEST_F (BridgeRequestTest, AnAnswerTooLargeToWriteIsReplacedByASmallRefusalOnce)
{
    auto config = processor.config();
    config.productResourceHandler = [] (const juce::String&, const juce::var&, Bridge::ProductResourceResult& result)
    {
        result.payload = object ({ { "blob", juce::String::repeatedString ("x", 9 * 1024 * 1024) } });
        return juce::Result::ok();
    };
    bridge = std::make_unique<Bridge> (std::move (config), [this] { return clockMs; });

    const auto req = request ("zelvo_list_output_profiles", { { "payload", object ({}) } });
    const auto file = drop (req);
    tick();

    const auto id = req["requestId"].toString();
    EXPECT_BRIDGE_ERROR (response (id), "MESSAGE_TOO_LARGE", "MCP JSON output exceeds the 8 MB limit");
    EXPECT_EQ (response (id)["operation"].toString(), "zelvo_list_output_profiles");
    EXPECT_FALSE (file.exists());
    EXPECT_LT (responses().getChildFile (id + ".json").getSize(), 4096);
}

TEST_F (BridgeRequestTest, TheCacheOfAnswersIsBoundedInBytes)
{
    // Ten answers of about 3.5 MB each hold more than the cache keeps.
    processor.project = object ({ { "sections", array ({ object ({ { "name", "A" } }) }) },
                                  { "notes", juce::String::repeatedString ("n", 3500000) } });
    clockMs += 5000;
    tick();

    juce::StringArray ids;
    for (int i = 0; i < 10; ++i)
    {
        const auto answer = call ("get_json");
        ids.add (answer["requestId"].toString());
        EXPECT_EQ (json (answer["revision"]), "2");
    }

    processor.editOutside ("F");

    // The newest answers are replayed as they were; the oldest is no longer kept, so the
    // request is answered afresh.
    for (const auto& [id, expectedRevision] : { std::make_pair (ids[9], "2"), std::make_pair (ids[0], "3") })
    {
        ASSERT_TRUE (responses().getChildFile (id + ".json").deleteFile());
        drop (request ("get_json", { { "requestId", id } }));
        tick();
        EXPECT_EQ (json (response (id)["revision"]), expectedRevision) << id;
    }
}

TEST_F (BridgeRequestTest, AWatchingClientSeesOnlyWholeAnswersUnderTheirFinalNames)
{
    std::atomic<bool> done { false };
    std::atomic<int> strayNames { 0 }, partial { 0 };

    std::thread watcher ([&]
    {
        const auto folder = responses();
        while (! done.load())
        {
            for (const auto& f : folder.findChildFiles (juce::File::findFiles, false, "*.json"))
            {
                const auto name = f.getFileName();
                if (! (name.startsWith ("w") && name.endsWith (".json")
                       && name.substring (1, name.length() - 5).containsOnly ("0123456789")))
                    ++strayNames;
                else if (auto text = f.loadFileAsString(); text.isNotEmpty() && ! velmar::JsonReader::parse (text).isObject())
                    ++partial;
            }
        }
    });

    for (int i = 0; i < 150; ++i)
        send (request ("get_json", { { "requestId", "w" + juce::String (i) } }));

    done = true;
    watcher.join();
    EXPECT_EQ (strayNames.load(), 0);
    EXPECT_EQ (partial.load(), 0);
    EXPECT_EQ (responses().getNumberOfChildFiles (juce::File::findFiles), 150);
}
