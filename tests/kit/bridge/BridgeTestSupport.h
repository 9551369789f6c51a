#pragma once

// A bridge driven the way a client drives it (request files in, response files out, one tick at
// a time) over a fake processor behind the Config callbacks, with a clock the test sets.
#include "kit/bridge/McpPluginBridge.h"

#include "kit/json/JsonReader.h"
#include "kit/json/JsonWriter.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace bridgetest
{
using Bridge = velmar::McpPluginBridge;
using Fields = std::initializer_list<std::pair<const char*, juce::var>>;

inline juce::var object (Fields fields)
{
    auto* o = new juce::DynamicObject();
    for (const auto& [name, value] : fields)
        o->setProperty (name, value);
    return juce::var (o);
}

inline juce::var array (std::initializer_list<juce::var> items)
{
    return juce::var (juce::Array<juce::var> (items));
}

// A song as the fake processor keeps it: one section per progression, named A, B, ...
inline juce::var song (std::initializer_list<const char*> progressions, int active = 0)
{
    juce::Array<juce::var> sections;
    char name = 'A';
    for (const auto* progression : progressions)
        sections.add (object ({ { "name", juce::String::charToString (name++) }, { "progression", progression } }));

    return object ({ { "activeSectionIndex", active }, { "sections", sections } });
}

// Stands in for the processor: keeps the project, checks it like the processor's strict check
// would (1 to 32 sections), and can be told to misbehave.
struct FakeProcessor
{
    juce::var project = song ({ "C G Am F" });

    bool writable = true;
    juce::String readOnlyReason;
    juce::String activeSectionName = "Verse";
    juce::String product = "Corvessa";
    juce::String displayName;
    int sectionCount = 1;

    // Replaces what export returns when set.
    std::function<juce::var()> exportOverride;
    // Replaces the apply when set (it may change `project` itself).
    std::function<juce::Result (const juce::var&)> applyOverride;

    int exportCalls = 0, validateCalls = 0, applyCalls = 0;
    std::vector<juce::String> changes;

    static juce::Result check (const juce::var& candidate)
    {
        const auto* sections = candidate["sections"].getArray();
        if (sections == nullptr || sections->isEmpty() || sections->size() > 32)
            return juce::Result::fail ("Portable project must contain 1 to 32 sections.");
        return juce::Result::ok();
    }

    Bridge::Config config()
    {
        Bridge::Config c;
        c.exportJson = [this]
        {
            ++exportCalls;
            return exportOverride ? exportOverride() : project.clone();
        };
        c.validateJson = [this] (const juce::var& candidate)
        {
            ++validateCalls;
            return check (candidate);
        };
        c.applyJson = [this] (const juce::var& candidate)
        {
            ++applyCalls;
            if (applyOverride)
                return applyOverride (candidate);
            const auto checked = check (candidate);
            if (checked.wasOk())
                project = candidate.clone();
            return checked;
        };
        c.describe = [this]
        {
            Bridge::Description d;
            d.product = product;
            d.pluginVersion = "1.3.4";
            d.displayName = displayName;
            d.activeSectionName = activeSectionName;
            d.sectionCount = sectionCount;
            d.writable = writable;
            d.readOnlyReason = readOnlyReason;
            return d;
        };
        c.onChanged = [this] (const juce::String& changeId) { changes.push_back (changeId); };
        return c;
    }

    void becomeFollower()
    {
        writable = false;
        readOnlyReason = "INSTANCE_READ_ONLY_SYNC_FOLLOWER";
    }

    // An edit made in the window, outside the bridge.
    void editOutside (const char* progression)
    {
        project = song ({ progression });
    }
};

class BridgeTest : public ::testing::Test
{
protected:
    BridgeTest() { start(); }

    void start()
    {
        bridge.reset();
        bridge = std::make_unique<Bridge> (processor.config(), [this] { return clockMs; });
    }

    void tick() { bridge->timerCallback(); }

    juce::File requests() const { return bridge->getRequestsDirectory(); }
    juce::File responses() const { return bridge->getResponsesDirectory(); }

    // A complete, valid request for this bridge; fields add to or replace the defaults.
    juce::var request (const juce::String& operation, Fields fields = {})
    {
        auto r = object ({ { "format", "velmar-mcp-request" },
                           { "version", 1 },
                           { "requestId", "r" + juce::String (++requestCounter).paddedLeft ('0', 4) },
                           { "instanceId", bridge->getInstanceId() },
                           { "operation", operation },
                           { "createdAtMs", clockMs },
                           { "expiresAtMs", clockMs + 60000 } });
        for (const auto& [name, value] : fields)
            r.getDynamicObject()->setProperty (name, value);
        return r;
    }

    // Drops the request into the folder as a client does (written whole, then named ".json").
    juce::File drop (const juce::var& req, juce::String name = {})
    {
        if (name.isEmpty())
            name = req["requestId"].toString() + ".json";
        return dropText (velmar::JsonWriter::toString (req), name);
    }

    juce::File dropText (const juce::String& text, const juce::String& name)
    {
        const auto staging = requests().getChildFile (name + ".part");
        EXPECT_TRUE (staging.replaceWithText (text, false, false, nullptr));
        const auto file = requests().getChildFile (name);
        EXPECT_TRUE (staging.moveFileTo (file));
        return file;
    }

    juce::var response (const juce::String& id) const
    {
        return velmar::JsonReader::parse (responses().getChildFile (id + ".json").loadFileAsString());
    }

    // Sends the request, runs one tick and returns the response written for it.
    juce::var send (const juce::var& req)
    {
        drop (req);
        tick();
        return response (req["requestId"].toString());
    }

    juce::var call (const juce::String& operation, Fields fields = {})
    {
        return send (request (operation, fields));
    }

    juce::var presence() const
    {
        return velmar::JsonReader::parse (bridge->getPresenceFile().loadFileAsString());
    }

    juce::int64 revision() { return (juce::int64) call ("get_json")["revision"]; }

    // The fields a set needs, against the current revision.
    juce::var set (const juce::var& project, const juce::String& changeId)
    {
        return call ("set_json", { { "project", project }, { "expectedRevision", revision() }, { "changeId", changeId } });
    }

    juce::var prepare (const juce::var& project, const juce::String& transactionId, const juce::String& changeId)
    {
        return call ("prepare_set", { { "project", project }, { "expectedRevision", revision() },
                                      { "transactionId", transactionId }, { "changeId", changeId } });
    }

    juce::var step (const juce::String& operation, const juce::String& transactionId)
    {
        return call (operation, { { "transactionId", transactionId } });
    }

    juce::ScopedJuceInitialiser_GUI juce; // the test thread is the message thread
    FakeProcessor processor;
    juce::int64 clockMs = 1700000000000;
    std::unique_ptr<Bridge> bridge;
    int requestCounter = 0;
};

// The canonical text of a project, as the bridge writes and compares it.
inline juce::String canonicalText (const juce::var& project)
{
    juce::var canonical;
    EXPECT_TRUE (Bridge::canonicaliseProjectJson (project, canonical).wasOk());
    return velmar::JsonWriter::toString (canonical);
}

// A value as one line of JSON, for comparisons that print readably.
inline juce::String json (const juce::var& value)
{
    return velmar::JsonWriter::toString (value, true);
}

inline bool sameContent (const juce::var& a, const juce::var& b)
{
    return canonicalText (a) == canonicalText (b);
}

#define EXPECT_BRIDGE_ERROR(response, code, message)                        \
    do                                                                      \
    {                                                                       \
        const auto r_ = (response);                                         \
        EXPECT_EQ (json (r_["ok"]), "false");                               \
        EXPECT_EQ (r_["errorCode"].toString(), juce::String (code));        \
        EXPECT_EQ (r_["errorMessage"].toString(), juce::String (message));  \
        EXPECT_FALSE ((bool) r_["contentChanged"]);                         \
        EXPECT_TRUE (r_["project"].isVoid());                               \
    } while (false)

#define EXPECT_BRIDGE_OK(response, changed)                                 \
    do                                                                      \
    {                                                                       \
        const auto r_ = (response);                                         \
        EXPECT_EQ (json (r_["ok"]), "true") << r_["errorCode"].toString() << ": " << r_["errorMessage"].toString(); \
        EXPECT_EQ ((bool) r_["contentChanged"], changed);                   \
        EXPECT_EQ (r_["errorCode"].toString(), juce::String());             \
    } while (false)

} // namespace bridgetest
