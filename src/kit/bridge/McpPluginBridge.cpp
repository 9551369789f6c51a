// Stand-in until the bridge's folder protocol lands: mints the instance id and keeps the
// callbacks; it creates no folder and answers nobody.
#include "kit/bridge/McpPluginBridge.h"

namespace velmar
{
McpPluginBridge::McpPluginBridge (Config c)
    : config (std::move (c)),
      instanceId (juce::Uuid().toDashedString())
{
}

McpPluginBridge::~McpPluginBridge()
{
    stopTimer();
}

juce::String McpPluginBridge::getLastError() const
{
    const juce::SpinLock::ScopedLockType lock (lastErrorLock);
    return lastError;
}

void McpPluginBridge::timerCallback() {}
} // namespace velmar
