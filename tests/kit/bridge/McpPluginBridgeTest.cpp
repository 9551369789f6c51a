#include "kit/bridge/McpPluginBridge.h"

#include "kit/platform/UserDataPaths.h"

#include "kit/KitTestSupport.h"
#include "kit/bridge/BridgeTestSupport.h"

#include <juce_cryptography/juce_cryptography.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>

namespace
{
using Bridge = velmar::McpPluginBridge;

Bridge::Config completeConfig()
{
    Bridge::Config config;
    config.exportJson = [] { return juce::var (new juce::DynamicObject()); };
    config.validateJson = [] (const juce::var&) { return juce::Result::ok(); };
    config.applyJson = [] (const juce::var&) { return juce::Result::ok(); };
    config.describe = [] { return Bridge::Description {}; };
    return config;
}

juce::File instancesRoot()
{
    return velmar::getUserApplicationDataFile ("VELMAR/MCP/bridge/v1/instances");
}

class McpPluginBridgeTest : public ::testing::Test
{
protected:
    // The test thread is the message thread.
    juce::ScopedJuceInitialiser_GUI juce;
};
} // namespace

TEST_F (McpPluginBridgeTest, MintsALowerCaseDashedVersionFourIdPerBridge)
{
    Bridge first (completeConfig());
    Bridge second (completeConfig());

    for (const auto& id : { first.getInstanceId(), second.getInstanceId() })
    {
        ASSERT_EQ (id.length(), 36) << id;
        for (int i = 0; i < id.length(); ++i)
        {
            if (i == 8 || i == 13 || i == 18 || i == 23)
                EXPECT_EQ (id[i], '-') << id;
            else
                EXPECT_TRUE (juce::String ("0123456789abcdef").containsChar (id[i])) << id;
        }
        EXPECT_EQ (id[14], '4') << id;
    }

    EXPECT_NE (first.getInstanceId(), second.getInstanceId());
}

TEST_F (McpPluginBridgeTest, PreparesItsOwnFolderAndRemovesOnlyThatFolder)
{
    const auto neighbour = instancesRoot().getChildFile ("another-instance");
    ASSERT_TRUE (neighbour.createDirectory().wasOk());

    // Something outside the bridge's folder, reachable through a link inside it.
    const auto outside = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("keep-me");
    ASSERT_TRUE (outside.createDirectory().wasOk());
    ASSERT_TRUE (outside.getChildFile ("precious.txt").replaceWithText ("data"));

    juce::File folder;
    {
        Bridge bridge (completeConfig());
        folder = bridge.getInstanceDirectory();

        EXPECT_TRUE (bridge.isInitialised()) << bridge.getLastError();
        EXPECT_EQ (folder, instancesRoot().getChildFile (bridge.getInstanceId()));
        EXPECT_TRUE (folder.getChildFile ("requests").isDirectory());
        EXPECT_TRUE (folder.getChildFile ("responses").isDirectory());

        ASSERT_TRUE (outside.createSymbolicLink (folder.getChildFile ("requests").getChildFile ("link"), true));
    }

    EXPECT_FALSE (folder.exists());
    EXPECT_TRUE (instancesRoot().isDirectory());
    EXPECT_TRUE (neighbour.isDirectory());
    EXPECT_TRUE (outside.getChildFile ("precious.txt").existsAsFile());
}

TEST_F (McpPluginBridgeTest, TakesTheCallbacksOverAndRefusesToStartWithoutTheRequiredOnes)
{
    struct Case { const char* message; std::function<void (Bridge::Config&)> remove; };
    const Case cases[] = {
        { "Missing MCP exportJson callback", [] (Bridge::Config& c) { c.exportJson = nullptr; c.describe = nullptr; } },
        { "Missing MCP validateJson callback", [] (Bridge::Config& c) { c.validateJson = nullptr; } },
        { "Missing MCP applyJson callback", [] (Bridge::Config& c) { c.applyJson = nullptr; } },
        { "Missing MCP describe callback", [] (Bridge::Config& c) { c.describe = nullptr; } },
    };

    for (const auto& c : cases)
    {
        auto config = completeConfig();
        c.remove (config);
        Bridge bridge (std::move (config));

        EXPECT_FALSE (bridge.isInitialised()) << c.message;
        EXPECT_EQ (bridge.getLastError(), c.message);
        EXPECT_FALSE (bridge.getInstanceDirectory().exists()) << c.message;
    }

    // The two optional callbacks may stay empty; the caller's copy is left empty.
    auto config = completeConfig();
    Bridge bridge (std::move (config));
    EXPECT_TRUE (bridge.isInitialised());
    EXPECT_FALSE ((bool) config.exportJson);
}

TEST_F (McpPluginBridgeTest, SomethingElseInPlaceOfAFolderKeepsItUninitialised)
{
    const auto outside = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("elsewhere");
    ASSERT_TRUE (outside.createDirectory().wasOk());

    struct Case { const char* what; std::function<bool (const juce::File&)> placeObstacle; };
    const Case cases[] = {
        { "a plain file", [] (const juce::File& f) { return f.replaceWithText ("not a folder"); } },
        { "a link to a folder elsewhere", [outside] (const juce::File& f) { return outside.createSymbolicLink (f, true); } },
    };

    for (const auto& c : cases)
    {
        // Constructed off the message thread, the bridge creates nothing until its first tick,
        // so the obstacle can be put in place first.
        std::unique_ptr<Bridge> bridge;
        std::thread ([&bridge] { bridge = std::make_unique<Bridge> (completeConfig()); }).join();

        const auto folder = bridge->getInstanceDirectory();
        EXPECT_FALSE (folder.exists()) << c.what;
        EXPECT_FALSE (bridge->isInitialised()) << c.what;

        ASSERT_TRUE (folder.createDirectory().wasOk());
        ASSERT_TRUE (c.placeObstacle (folder.getChildFile ("requests"))) << c.what;

        bridge->timerCallback();
        EXPECT_FALSE (bridge->isInitialised()) << c.what;
        EXPECT_EQ (bridge->getLastError(),
                   "MCP bridge path is not a real directory: " + folder.getChildFile ("requests").getFullPathName()) << c.what;

        bridge.reset();
        EXPECT_FALSE (folder.exists()) << c.what;
        EXPECT_TRUE (outside.isDirectory()) << c.what;
    }
}

TEST_F (McpPluginBridgeTest, AConstructionOffTheMessageThreadInitialisesOnTheFirstTick)
{
    std::unique_ptr<Bridge> bridge;
    std::thread ([&bridge] { bridge = std::make_unique<Bridge> (completeConfig()); }).join();

    EXPECT_FALSE (bridge->getInstanceDirectory().exists());
    bridge->timerCallback();
    EXPECT_TRUE (bridge->isInitialised()) << bridge->getLastError();
    EXPECT_TRUE (bridge->getInstanceDirectory().getChildFile ("requests").isDirectory());
    EXPECT_TRUE (bridge->getLastError().isEmpty());
}

TEST_F (McpPluginBridgeTest, AFolderThatCannotBePreparedAtOnceIsPreparedLaterByItsOwnTimer)
{
    // Something in the place of the shared instances folder: the bridge, constructed on the
    // message thread, cannot prepare its folder now.
    const auto root = instancesRoot();
    ASSERT_TRUE (root.deleteRecursively());
    ASSERT_TRUE (root.getParentDirectory().createDirectory().wasOk());
    ASSERT_TRUE (root.replaceWithText ("in the way"));

    Bridge bridge (completeConfig());
    EXPECT_FALSE (bridge.isInitialised());
    EXPECT_EQ (bridge.getLastError(), "MCP bridge path is not a real directory: " + root.getFullPathName());
    EXPECT_EQ (root.loadFileAsString(), "in the way") << "what stood there is reported, never replaced";

    // Once the obstacle is gone, the bridge's running timer tries again and succeeds.
    ASSERT_TRUE (root.deleteFile());
    EXPECT_TRUE (kittest::pumpMessagesUntil ([&] { return bridge.isInitialised(); }));
    EXPECT_TRUE (bridge.getInstanceDirectory().getChildFile ("requests").isDirectory());
    EXPECT_TRUE (bridge.getLastError().isEmpty());
}

//==============================================================================
// Export, revisions and presence, over the fake processor with a clock the test sets.
namespace
{
using namespace bridgetest;

class BridgePresenceTest : public BridgeTest
{
};

struct Opaque : juce::ReferenceCountedObject
{
};

juce::StringArray keysOf (const juce::var& value)
{
    juce::StringArray keys;
    if (auto* o = value.getDynamicObject())
        for (const auto& p : o->getProperties())
            keys.add (p.name.toString());
    return keys;
}
} // namespace

TEST_F (BridgePresenceTest, AnnouncesTheInstanceWithItsDescriptionRevisionAndLease)
{
    ASSERT_TRUE (bridge->isInitialised()) << bridge->getLastError();

    const auto text = bridge->getPresenceFile().loadFileAsString();
    const auto p = presence();

    EXPECT_EQ (keysOf (p).joinIntoString (","),
               "format,version,instanceId,product,pluginVersion,displayName,instanceName,roleId,instrumentId,"
               "activeSectionName,sectionCount,writable,readOnlyReason,revision,contentRevision,updatedAtMs,leaseUntilMs");
    EXPECT_EQ (p["format"].toString(), "velmar-mcp-instance");
    EXPECT_EQ (json (p["version"]), "1");
    EXPECT_EQ (p["instanceId"].toString(), bridge->getInstanceId());
    EXPECT_EQ (p["product"].toString(), "Corvessa");
    EXPECT_EQ (p["pluginVersion"].toString(), "1.3.4");
    EXPECT_EQ (p["displayName"].toString(), "Corvessa - Verse - " + bridge->getInstanceId().substring (0, 8));
    EXPECT_EQ (json (p["sectionCount"]), "1");
    EXPECT_EQ (json (p["writable"]), "true");
    EXPECT_EQ (json (p["revision"]), "1");
    EXPECT_EQ (json (p["updatedAtMs"]), juce::String (clockMs));
    EXPECT_EQ (json (p["leaseUntilMs"]), juce::String (clockMs + 15000));

    // The content revision is the SHA-256 of the canonical project text.
    const auto canonical = canonicalText (processor.project);
    EXPECT_EQ (p["contentRevision"].toString(),
               juce::SHA256 (canonical.toRawUTF8(), canonical.getNumBytesAsUTF8()).toHexString());
    EXPECT_EQ (p["contentRevision"].toString().length(), 64);

    // Written for strict readers: no byte-order mark, every line ending CR LF.
    EXPECT_NE ((juce::uint8) text[0], 0xef);
    EXPECT_EQ (text.replace ("\r\n", "").indexOfAnyOf ("\r\n"), -1);
    EXPECT_GT (text.indexOf ("\r\n"), 0);
}

TEST_F (BridgePresenceTest, FillsTheDescriptionsGapsWithDefaults)
{
    struct Case
    {
        const char* product; const char* section; const char* displayName; bool writable; const char* reason; int count;
        juce::String expectedName; const char* expectedReason; int expectedCount;
    };
    const auto id8 = bridge->getInstanceId().substring (0, 8);
    const Case cases[] = {
        { "Corvessa", " Verse ", "", true, "", 3, "Corvessa - Verse - " + id8, "", 3 },
        { " ", "", "", true, "", 0, "Plugin - " + id8, "", 0 },
        { "Corvessa", "Verse", "  ", true, "", -4, "Corvessa - Verse - " + id8, "", 0 },
        { "Corvessa", "Verse", "Lead synth", true, "left over", 1, "Lead synth", "", 1 },
        { "Corvessa", "Verse", "", false, "", 1, "Corvessa - Verse - " + id8, "INSTANCE_READ_ONLY", 1 },
        { "Corvessa", "Verse", "", false, "INSTANCE_READ_ONLY_SYNC_FOLLOWER", 1, "Corvessa - Verse - " + id8,
          "INSTANCE_READ_ONLY_SYNC_FOLLOWER", 1 },
    };

    for (const auto& c : cases)
    {
        processor.product = c.product;
        processor.activeSectionName = c.section;
        processor.displayName = c.displayName;
        processor.writable = c.writable;
        processor.readOnlyReason = c.reason;
        processor.sectionCount = c.count;

        clockMs += 5000;
        tick();

        const auto p = presence();
        EXPECT_EQ (p["displayName"].toString(), c.expectedName) << c.product << "/" << c.section;
        EXPECT_EQ (p["readOnlyReason"].toString(), c.expectedReason) << c.expectedName;
        EXPECT_EQ (json (p["writable"]), c.writable ? "true" : "false");
        EXPECT_EQ (json (p["sectionCount"]), juce::String (c.expectedCount));
    }
}

TEST_F (BridgePresenceTest, TheRevisionCountsContentChangesNotSpellingsOrEdits)
{
    const auto first = presence()["contentRevision"].toString();

    // Keys in another order and 2.0 for 2: the same content.
    processor.project = object ({ { "sections", array ({ object ({ { "progression", "C G Am F" }, { "name", "A" } }) }) },
                                  { "activeSectionIndex", 0.0 } });
    clockMs += 5000;
    tick();
    EXPECT_EQ (json (presence()["revision"]), "1");
    EXPECT_EQ (presence()["contentRevision"].toString(), first);

    // Three edits between two refreshes raise it by one.
    processor.editOutside ("C");
    processor.editOutside ("D");
    processor.editOutside ("E");
    clockMs += 5000;
    tick();
    EXPECT_EQ (json (presence()["revision"]), "2");
    EXPECT_NE (presence()["contentRevision"].toString(), first);
}

TEST_F (BridgePresenceTest, RewritesThePresenceEveryFiveSeconds)
{
    const auto writtenAt = clockMs;
    processor.editOutside ("Dm");

    clockMs = writtenAt + 4999;
    tick();
    EXPECT_EQ (json (presence()["updatedAtMs"]), juce::String (writtenAt));
    EXPECT_EQ (json (presence()["revision"]), "1");

    clockMs = writtenAt + 5000;
    tick();
    EXPECT_EQ (json (presence()["updatedAtMs"]), juce::String (writtenAt + 5000));
    EXPECT_EQ (json (presence()["leaseUntilMs"]), juce::String (writtenAt + 20000));
    EXPECT_EQ (json (presence()["revision"]), "2");

    // A deleted instance folder comes back with the next presence write.
    ASSERT_TRUE (bridge->getInstanceDirectory().deleteRecursively());
    clockMs += 5000;
    tick();
    EXPECT_TRUE (bridge->getPresenceFile().existsAsFile());
    EXPECT_TRUE (bridge->getLastError().isEmpty()) << bridge->getLastError();
}

TEST_F (BridgePresenceTest, AnExportThatCannotBeTakenKeepsTheBridgeWaiting)
{
    // The canonical text of {"a": "xx..."} is this many bytes plus the length of the string.
    const auto base = (int) canonicalText (object ({ { "a", "" } })).getNumBytesAsUTF8();
    const auto projectOfBytes = [base] (int bytes) { return object ({ { "a", juce::String::repeatedString ("x", bytes - base) } }); };

    struct Case { const char* what; std::function<juce::var()> exported; const char* message; };
    const Case cases[] = {
        { "an array", [] { return array ({ 1 }); }, "exportJson must return a JSON object" },
        { "a string", [] { return juce::var ("{}"); }, "exportJson must return a JSON object" },
        { "an infinite number", [] { return object ({ { "bpm", std::numeric_limits<double>::infinity() } }); },
          "Project contains a non-finite number" },
        { "not a number", [] { return object ({ { "x", array ({ std::nan ("") }) } }); }, "Project contains a non-finite number" },
        { "an undefined value", [] { return object ({ { "x", juce::var::undefined() } }); }, "Project contains a non-JSON value" },
        { "a binary block", [] { return object ({ { "x", juce::MemoryBlock (4, true) } }); }, "Project contains a non-JSON value" },
        { "another kind of object", [] { return object ({ { "x", juce::var (new Opaque()) } }); },
          "Project contains an unsupported object" },
        { "a text of 4190209 bytes", [projectOfBytes] { return projectOfBytes (4190209); }, "Exported project exceeds the 4 MB limit" },
    };

    for (const auto& c : cases)
    {
        processor.exportOverride = c.exported;
        start();
        EXPECT_FALSE (bridge->isInitialised()) << c.what;
        EXPECT_EQ (bridge->getLastError(), c.message) << c.what;
        EXPECT_FALSE (bridge->getPresenceFile().exists()) << c.what;

        // Tried again no sooner than a second later.
        clockMs += 999;
        const auto calls = processor.exportCalls;
        tick();
        EXPECT_EQ (processor.exportCalls, calls) << c.what;
        clockMs += 1;
        tick();
        EXPECT_GT (processor.exportCalls, calls) << c.what;
        EXPECT_FALSE (bridge->isInitialised()) << c.what;
    }

    // One byte less passes.
    processor.exportOverride = [projectOfBytes] { return projectOfBytes (4190208); };
    clockMs += 1000;
    tick();
    EXPECT_TRUE (bridge->isInitialised()) << bridge->getLastError();
    EXPECT_EQ (json (presence()["revision"]), "1");
}

TEST (McpPluginBridgeCanonicalForm, SortsKeysByteWiseAndWritesWholeNumbersAsIntegers)
{
    const auto input = velmar::JsonReader::parse (juce::CharPointer_UTF8 (
        R"({"b": 2.0, "a": [3.5, -0.0, 1e3, {"z": true, "Z": null, "é": "x", "y": 9007199254740993}], "B": "text"})"));

    juce::var canonical;
    ASSERT_TRUE (Bridge::canonicaliseProjectJson (input, canonical).wasOk());
    EXPECT_EQ (json (canonical), juce::String (juce::CharPointer_UTF8 (
        R"({"B": "text", "a": [3.5, 0, 1000, {"Z": null, "y": 9007199254740993, "z": true, "é": "x"}], "b": 2})")));

    // A fresh copy: changing the input afterwards changes nothing in it.
    input.getDynamicObject()->setProperty ("B", "changed");
    EXPECT_EQ (canonical["B"].toString(), "text");
}
