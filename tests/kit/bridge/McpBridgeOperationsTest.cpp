// The operations that act at once: get, validate, set, undo and the product resources, with
// their check orders, and how a change that goes wrong leaves the previous project in place.
#include "kit/bridge/BridgeTestSupport.h"

namespace
{
using namespace bridgetest;

class BridgeOperationTest : public BridgeTest
{
protected:
    juce::var setWith (const juce::var& project, juce::int64 expectedRevision, const juce::String& changeId)
    {
        return call ("set_json", { { "project", project }, { "expectedRevision", expectedRevision }, { "changeId", changeId } });
    }

    juce::var undoWith (juce::int64 expectedRevision, const juce::String& changeId)
    {
        return call ("undo", { { "expectedRevision", expectedRevision }, { "changeId", changeId } });
    }
};
} // namespace

TEST_F (BridgeOperationTest, GetJsonAnswersTheCanonicalProjectAtItsCurrentRevision)
{
    auto answer = call ("get_json");
    EXPECT_BRIDGE_OK (answer, false);
    EXPECT_EQ (json (answer["revision"]), "1");
    EXPECT_EQ (answer["changeId"].toString(), "");
    EXPECT_EQ (json (answer["payload"]), "{}");
    EXPECT_EQ (canonicalText (answer["project"]), canonicalText (processor.project));
    EXPECT_EQ (answer["contentRevision"].toString(), presence()["contentRevision"].toString());

    // An edit in the window: the next request sees it at once.
    processor.editOutside ("Em");
    answer = call ("get_json");
    EXPECT_EQ (json (answer["revision"]), "2");
    EXPECT_TRUE (sameContent (answer["project"], song ({ "Em" })));
}

TEST_F (BridgeOperationTest, ValidateJsonShowsTheCanonicalCandidateAndChangesNothing)
{
    const auto candidate = velmar::JsonReader::parse (
        R"({"sections": [{"progression": "Dm", "name": "B", "bpm": 120.0}], "activeSectionIndex": 0})");

    const auto answer = call ("validate_json", { { "project", candidate } });
    EXPECT_BRIDGE_OK (answer, false);
    EXPECT_EQ (json (answer["project"]), R"({"activeSectionIndex": 0, "sections": [{"bpm": 120, "name": "B", "progression": "Dm"}]})");
    EXPECT_EQ (json (answer["revision"]), "1");
    EXPECT_EQ (processor.applyCalls, 0);

    // Refusals: the processor's own message, and values JSON text can carry but a project cannot.
    EXPECT_BRIDGE_ERROR (call ("validate_json", { { "project", object ({ { "sections", array ({}) } }) } }),
                         "VALIDATION_FAILED", "Portable project must contain 1 to 32 sections.");

    dropText (R"({"format": "velmar-mcp-request", "version": 1, "requestId": "inf", "instanceId": ")" + bridge->getInstanceId()
                  + R"(", "operation": "validate_json", "createdAtMs": )" + juce::String (clockMs)
                  + R"(, "expiresAtMs": )" + juce::String (clockMs + 1000) + R"(, "project": {"sections": [1e999]}})",
              "inf.json");
    tick();
    EXPECT_BRIDGE_ERROR (response ("inf"), "INVALID_PROJECT", "Project contains a non-finite number");

    // A candidate whose canonical text reaches the limit.
    const auto base = (int) canonicalText (object ({ { "sections", array ({}) }, { "pad", "" } })).getNumBytesAsUTF8();
    const auto big = object ({ { "sections", array ({}) }, { "pad", juce::String::repeatedString ("x", 4190209 - base) } });
    EXPECT_BRIDGE_ERROR (call ("validate_json", { { "project", big } }), "MESSAGE_TOO_LARGE", "Project exceeds the 4 MB limit");
    EXPECT_EQ (processor.applyCalls, 0);
}

TEST_F (BridgeOperationTest, SetJsonChecksInItsOrderAndARefusalLeavesTheChangeIdFree)
{
    const auto next = song ({ "Dm G C" });
    const auto original = processor.project;

    // A used change id comes before a stale revision.
    EXPECT_BRIDGE_OK (setWith (song ({ "F" }), 1, "used"), true);
    EXPECT_BRIDGE_ERROR (setWith (next, 1, "used"), "DUPLICATE_CHANGE", "changeId has already been used");

    // On a follower a stale revision is reported first; with the right one, the read-only reason.
    processor.becomeFollower();
    EXPECT_BRIDGE_ERROR (setWith (next, 1, "c1"), "REVISION_CONFLICT", "Project revision has changed");
    EXPECT_BRIDGE_ERROR (setWith (next, 2, "c1"), "INSTANCE_READ_ONLY_SYNC_FOLLOWER", "INSTANCE_READ_ONLY_SYNC_FOLLOWER");
    processor.writable = true;

    // A candidate the processor refuses.
    EXPECT_BRIDGE_ERROR (setWith (object ({ { "sections", array ({}) } }), 2, "c1"),
                         "VALIDATION_FAILED", "Portable project must contain 1 to 32 sections.");

    // Only the first set and the refused candidate reached the processor's check.
    const auto appliesSoFar = processor.applyCalls;
    EXPECT_EQ (processor.validateCalls, 2);

    // Each refusal left the project and the change id as they were.
    EXPECT_BRIDGE_OK (setWith (next, 2, "c1"), true);
    EXPECT_EQ (processor.applyCalls, appliesSoFar + 1);
    EXPECT_TRUE (sameContent (processor.project, next));
    EXPECT_FALSE (sameContent (processor.project, original));
}

TEST_F (BridgeOperationTest, SetThenUndoRestoresTheEarlierProjectAndAnnouncesBoth)
{
    const auto original = processor.project;
    const auto next = song ({ "Dm G C", "Am" }, 1);

    const auto set = setWith (next, 1, "change-1");
    EXPECT_BRIDGE_OK (set, true);
    EXPECT_EQ (json (set["revision"]), "2");
    EXPECT_EQ (set["changeId"].toString(), "change-1");
    EXPECT_TRUE (sameContent (set["project"], next));
    EXPECT_TRUE (sameContent (processor.project, next));
    EXPECT_EQ (processor.changes, (std::vector<juce::String> { "change-1" }));

    // The presence follows at once, without waiting for its period.
    EXPECT_EQ (json (presence()["revision"]), "2");
    EXPECT_EQ (presence()["contentRevision"].toString(), set["contentRevision"].toString());

    const auto undo = undoWith (2, "change-2");
    EXPECT_BRIDGE_OK (undo, true);
    EXPECT_EQ (json (undo["revision"]), "3");
    EXPECT_TRUE (sameContent (undo["project"], original));
    EXPECT_TRUE (sameContent (processor.project, original));
    EXPECT_EQ (processor.changes, (std::vector<juce::String> { "change-1", "change-2" }));
    EXPECT_EQ (json (presence()["revision"]), "3");

    EXPECT_BRIDGE_ERROR (undoWith (3, "change-3"), "NO_UNDO", "No MCP change is available to undo");
}

TEST_F (BridgeOperationTest, SettingTheSameContentChangesNothingButUsesTheChangeId)
{
    const auto reordered = velmar::JsonReader::parse (R"({"sections": [{"progression": "C G Am F", "name": "A"}], "activeSectionIndex": 0.0})");

    const auto answer = setWith (reordered, 1, "same");
    EXPECT_BRIDGE_OK (answer, false);
    EXPECT_EQ (json (answer["revision"]), "1");
    EXPECT_EQ (processor.applyCalls, 0);
    EXPECT_TRUE (processor.changes.empty());

    EXPECT_BRIDGE_ERROR (setWith (reordered, 1, "same"), "DUPLICATE_CHANGE", "changeId has already been used");
    EXPECT_BRIDGE_ERROR (undoWith (1, "u"), "NO_UNDO", "No MCP change is available to undo");
}

TEST_F (BridgeOperationTest, UndoChecksWritabilityBeforeTheRevisionAndRefusesAfterAnOutsideEdit)
{
    EXPECT_BRIDGE_OK (setWith (song ({ "Dm" }), 1, "s1"), true);

    processor.becomeFollower();
    EXPECT_BRIDGE_ERROR (undoWith (1, "u1"), "INSTANCE_READ_ONLY_SYNC_FOLLOWER", "INSTANCE_READ_ONLY_SYNC_FOLLOWER");
    processor.writable = true;

    EXPECT_BRIDGE_ERROR (undoWith (1, "u1"), "REVISION_CONFLICT", "Project revision has changed");
    EXPECT_BRIDGE_ERROR (undoWith (2, "s1"), "DUPLICATE_CHANGE", "changeId has already been used");

    // An edit in the window since the set: refused even with the current revision.
    processor.editOutside ("G");
    EXPECT_BRIDGE_ERROR (undoWith (3, "u1"), "UNDO_CONFLICT", "Project changed after the MCP update");
    EXPECT_TRUE (sameContent (processor.project, song ({ "G" })));
}

TEST_F (BridgeOperationTest, AChangeThatGoesWrongLeavesOrPutsThePreviousProjectBack)
{
    const auto original = processor.project;
    const auto next = song ({ "Dm G C" });

    struct Case
    {
        const char* what;
        std::function<juce::Result (FakeProcessor&, const juce::var&)> apply;
        const char* code;
        juce::String message;
        bool previousIsBack;
    };

    const Case cases[] = {
        { "refused", [] (FakeProcessor&, const juce::var&) { return juce::Result::fail ("Section A: invalid chord progression token: X"); },
          "APPLY_FAILED", "Section A: invalid chord progression token: X", true },
        { "refused after a partial change that the restore undoes",
          [] (FakeProcessor& p, const juce::var& c)
          {
              if (sameContent (c, song ({ "C G Am F" })))
              {
                  p.project = c.clone();
                  return juce::Result::ok();
              }
              p.project = song ({ "half" });
              return juce::Result::fail ("disk full");
          },
          "APPLY_FAILED", "disk full", true },
        { "refused after a partial change that cannot be undone",
          [] (FakeProcessor& p, const juce::var&) { p.project = song ({ "half" }); return juce::Result::fail ("disk full"); },
          "ROLLBACK_FAILED", "Apply failed and the previous project could not be restored: disk full", false },
        { "stored differently",
          [original] (FakeProcessor& p, const juce::var& c)
          {
              p.project = c.clone();
              if (! sameContent (c, original))
                  p.project.getDynamicObject()->removeProperty ("activeSectionIndex");
              return juce::Result::ok();
          },
          "APPLY_MISMATCH", "Applied project differs from the validated candidate", true },
        { "stored differently, restore too",
          [] (FakeProcessor& p, const juce::var& c)
          {
              p.project = c.clone();
              p.project.getDynamicObject()->setProperty ("extra", 1);
              return juce::Result::ok();
          },
          "ROLLBACK_FAILED", "Applied project differed from the candidate and rollback failed", false },
    };

    for (const auto& c : cases)
    {
        processor.project = original;
        processor.applyOverride = [this, &c] (const juce::var& candidate) { return c.apply (processor, candidate); };
        processor.changes.clear();

        const auto answer = setWith (next, revision(), juce::Uuid().toDashedString());
        EXPECT_BRIDGE_ERROR (answer, c.code, c.message);
        EXPECT_EQ (sameContent (processor.project, original), c.previousIsBack) << c.what;
        EXPECT_TRUE (processor.changes.empty()) << c.what;

        // The response reports the revision the bridge last saw.
        EXPECT_EQ (json (answer["revision"]), json (call ("get_json")["revision"])) << c.what;
    }

    // An export that fails right after the apply: the previous project is put back.
    processor.applyOverride = nullptr;
    processor.project = original;
    int exportsLeft = 0;
    processor.exportOverride = [this, &exportsLeft]
    {
        return (processor.applyCalls > 0 && exportsLeft-- == 0) ? juce::var ("broken") : processor.project.clone();
    };
    processor.applyCalls = 0;
    exportsLeft = 0;
    EXPECT_BRIDGE_ERROR (setWith (next, revision(), "export-breaks"), "EXPORT_FAILED", "exportJson must return a JSON object");
    EXPECT_TRUE (sameContent (processor.project, original));
}

TEST_F (BridgeOperationTest, ARequestIsRefusedWhileTheProjectCannotBeExported)
{
    processor.exportOverride = [] { return array ({}); };
    EXPECT_BRIDGE_ERROR (call ("get_json"), "EXPORT_FAILED", "exportJson must return a JSON object");

    processor.exportOverride = [] { return object ({ { "pad", juce::String::repeatedString ("x", 4200000) } }); };
    EXPECT_BRIDGE_ERROR (call ("get_json"), "MESSAGE_TOO_LARGE", "Exported project exceeds the 4 MB limit");
}

TEST_F (BridgeOperationTest, ProductResourcesAreUnsupportedWithoutAHandler)
{
    for (const auto* operation : { "zelvo_list_output_profiles", "zelvo_get_output_profile", "zelvo_validate_output_profile",
                                   "zelvo_create_output_profile", "zelvo_update_output_profile", "zelvo_delete_output_profile",
                                   "zelvo_set_active_output_profile" })
    {
        const auto answer = call (operation, { { "payload", object ({}) } });
        EXPECT_BRIDGE_ERROR (answer, "UNSUPPORTED_OPERATION", "Product resource operations are not supported by this plugin");
        EXPECT_EQ (answer["operation"].toString(), operation);
    }
}

TEST_F (BridgeOperationTest, AProductResourceHandlerAnswersThroughThePayload)
{
    struct Case
    {
        const char* what;
        juce::Result result;
        juce::var payload;
        juce::String code;
        bool changed;
        const char* expectedCode;
        const char* expectedPayload;
        bool ok;
    };
    const Case cases[] = {
        { "success", juce::Result::ok(), object ({ { "profiles", array ({ "a" }) } }), {}, true, "", R"({"profiles": ["a"]})", true },
        { "success without payload", juce::Result::ok(), {}, {}, false, "", "{}", true },
        { "own code", juce::Result::fail ("No such profile"), object ({ { "id", 3 } }), "PROFILE_NOT_FOUND", false,
          "PROFILE_NOT_FOUND", R"({"id": 3})", false },
        { "code that is no id", juce::Result::fail ("Broken"), {}, "NOT AN ID", false, "PRODUCT_RESOURCE_FAILED", "{}", false },
        { "payload not an object", juce::Result::ok(), array ({ 1 }), {}, false, "INVALID_PRODUCT_RESOURCE_RESPONSE", "{}", false },
    };

    for (const auto& c : cases)
    {
        auto config = processor.config();
        juce::var received;
        config.productResourceHandler = [&c, &received] (const juce::String& operation, const juce::var& payload,
                                                         Bridge::ProductResourceResult& result)
        {
            received = object ({ { "operation", operation }, { "payload", payload } });
            result.payload = c.payload;
            result.errorCode = c.code;
            result.contentChanged = c.changed;
            return c.result;
        };
        bridge = std::make_unique<Bridge> (std::move (config), [this] { return clockMs; });

        const auto exportsBefore = processor.exportCalls;
        const auto answer = call ("zelvo_get_output_profile", { { "payload", object ({ { "id", 3 } }) } });

        EXPECT_EQ (json (answer["ok"]), c.ok ? "true" : "false") << c.what;
        EXPECT_EQ (answer["errorCode"].toString(), c.expectedCode) << c.what;
        EXPECT_EQ (json (answer["payload"]), c.expectedPayload) << c.what;
        EXPECT_EQ ((bool) answer["contentChanged"], c.changed) << c.what;
        EXPECT_TRUE (answer["project"].isVoid()) << c.what;
        EXPECT_EQ (json (received), R"({"operation": "zelvo_get_output_profile", "payload": {"id": 3}})") << c.what;

        // Only the request file's own refresh exported; the operation itself did not.
        EXPECT_EQ (processor.exportCalls, exportsBefore + 1) << c.what;
    }
}

TEST (McpBridgeReadOnlyCode, TakesTheReasonsLeadingInstanceCode)
{
    struct Case { const char* reason; const char* code; };
    const Case cases[] = {
        { "INSTANCE_READ_ONLY_SYNC_FOLLOWER", "INSTANCE_READ_ONLY_SYNC_FOLLOWER" },
        { "INSTANCE_LOCKED: the host locked it", "INSTANCE_LOCKED" },
        { "INSTANCE_BUSY rendering", "INSTANCE_BUSY" },
        { "  INSTANCE_X", "INSTANCE_READ_ONLY" },
        { "instance_locked", "INSTANCE_READ_ONLY" },
        { "INSTANCE_Locked", "INSTANCE_READ_ONLY" },
        { "LOCKED_INSTANCE", "INSTANCE_READ_ONLY" },
        { "Read only while following", "INSTANCE_READ_ONLY" },
        { "", "INSTANCE_READ_ONLY" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (Bridge::readOnlyErrorCode (c.reason), c.code) << c.reason;

    const auto longest = "INSTANCE_" + juce::String::repeatedString ("X", 119);
    EXPECT_EQ (Bridge::readOnlyErrorCode (longest), longest);
    EXPECT_EQ (Bridge::readOnlyErrorCode (longest + "X"), "INSTANCE_READ_ONLY");
}

TEST_F (BridgeOperationTest, AReadOnlyReasonBecomesTheCodeAndTheMessage)
{
    processor.writable = false;
    processor.readOnlyReason = "INSTANCE_LOCKED: the host locked it";

    EXPECT_BRIDGE_ERROR (setWith (song ({ "Dm" }), 1, "c"), "INSTANCE_LOCKED", "INSTANCE_LOCKED: the host locked it");

    // Reading and checking still work.
    EXPECT_BRIDGE_OK (call ("get_json"), false);
    EXPECT_BRIDGE_OK (call ("validate_json", { { "project", song ({ "Dm" }) } }), false);
}
