#pragma once

#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>

#include <functional>

namespace velmar
{

// The folder bridge through which an outside AI client reads and edits the arrangement of one
// running plug-in instance. The bridge knows nothing of the product's music: the project is an
// opaque JSON object that it exports, checks and applies only through the owner's callbacks.
// Everything here runs on the message thread.
class McpPluginBridge : public juce::Timer
{
public:
    // What the instance tells clients about itself. An empty displayName, instanceName, roleId or
    // instrumentId lets the bridge supply its own default.
    struct Description
    {
        juce::String product;
        juce::String pluginVersion;
        juce::String displayName;
        juce::String instanceName;
        juce::String roleId;
        juce::String instrumentId;
        juce::String activeSectionName;
        int sectionCount = 0;
        bool writable = true;
        juce::String readOnlyReason;
    };

    // Filled by the owner's product-resource handler.
    struct ProductResourceResult
    {
        juce::var payload;
        juce::String errorCode;
        bool contentChanged = false;
    };

    // The owner's callbacks, in this order. The first four are required; the last two may stay
    // empty.
    struct Config
    {
        std::function<juce::var()> exportJson;
        std::function<juce::Result (const juce::var&)> validateJson;
        std::function<juce::Result (const juce::var&)> applyJson;
        std::function<Description()> describe;
        std::function<void (const juce::String& changeId)> onChanged;
        std::function<juce::Result (const juce::String& operation,
                                    const juce::var& payload,
                                    ProductResourceResult& result)> productResourceHandler;
    };

    // Takes the callbacks over for the bridge's lifetime and mints the instance id. On the
    // message thread the instance folder is prepared at once; otherwise (or after a failure) the
    // timer tries again.
    explicit McpPluginBridge (Config config);

    // Stops the timer and removes this instance's own folder; no callback is called afterwards.
    ~McpPluginBridge() override;

    juce::String getInstanceId() const { return instanceId; }
    juce::File getInstanceDirectory() const { return instanceDirectory; }
    bool isInitialised() const noexcept { return initialised; }
    juce::String getLastError() const;

    // Shared by every instance of every product that uses the bridge, below the user's
    // application-data folder.
    static constexpr const char* instancesRelativePath = "VELMAR/MCP/bridge/v1/instances";
    static constexpr int timerPeriodMs = 100;
    static constexpr juce::int64 initRetryDelayMs = 1000;

    void timerCallback() override;

private:
    juce::Result initialise();
    void setLastError (const juce::String& message);
    void clearLastError();

    Config config;
    juce::File instancesRoot;
    juce::String instanceId;
    juce::File instanceDirectory;
    juce::File presenceFile;
    juce::File requestsDirectory;
    juce::File responsesDirectory;

    bool initialised = false;
    juce::int64 initRetryAtMs = 0;
    juce::int64 nextPresenceAtMs = 0;

    juce::SpinLock lastErrorLock;
    juce::String lastError;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (McpPluginBridge)
};

} // namespace velmar
