#include "kit/bridge/McpPluginBridge.h"

#include "kit/platform/UserDataPaths.h"

#include "kit/KitTestSupport.h"

#include <gtest/gtest.h>

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
