#include "kit/bridge/McpPluginBridge.h"

#include "kit/platform/UserDataPaths.h"

namespace velmar
{
namespace
{
juce::int64 nowMs()
{
    return juce::Time::currentTimeMillis();
}

bool isOnMessageThread()
{
    auto* mm = juce::MessageManager::getInstanceWithoutCreating();
    return mm != nullptr && mm->isThisTheMessageThread();
}

// Creates the folder (with its parents) and makes sure it is a real, writable directory: a
// symbolic link could lead the bridge's writes and its final clean-up out of its own folder.
juce::Result prepareFolder (const juce::File& folder)
{
    // Something already in the folder's place (a file, a link) is reported, never replaced.
    if (! folder.exists() && ! folder.isSymbolicLink())
    {
        const auto created = folder.createDirectory();

        if (created.failed())
            return juce::Result::fail ("Could not create MCP bridge folder: " + folder.getFullPathName()
                                       + " (" + created.getErrorMessage() + ")");
    }

    if (! folder.isDirectory() || folder.isSymbolicLink())
        return juce::Result::fail ("MCP bridge path is not a real directory: " + folder.getFullPathName());

    if (! folder.setReadOnly (false, false))
        return juce::Result::fail ("Could not make MCP bridge folder writable: " + folder.getFullPathName());

    return juce::Result::ok();
}
} // namespace

McpPluginBridge::McpPluginBridge (Config configToUse)
    : config (std::move (configToUse)),
      instancesRoot (getUserApplicationDataFile (instancesRelativePath)),
      instanceId (juce::Uuid().toDashedString().toLowerCase()),
      instanceDirectory (instancesRoot.getChildFile (instanceId)),
      presenceFile (instanceDirectory.getChildFile ("presence.json")),
      requestsDirectory (instanceDirectory.getChildFile ("requests")),
      responsesDirectory (instanceDirectory.getChildFile ("responses"))
{
    // Off the message thread nothing is created here; the first tick initialises instead.
    if (isOnMessageThread())
    {
        const auto result = initialise();

        if (result.wasOk())
        {
            initialised = true;
        }
        else
        {
            setLastError (result.getErrorMessage());
            initRetryAtMs = nowMs() + initRetryDelayMs;
        }
    }

    startTimer (timerPeriodMs);
}

McpPluginBridge::~McpPluginBridge()
{
    stopTimer();

    // Remove only this bridge's own folder, never the shared instances folder or another
    // instance's folder, and never through a symbolic link.
    const bool isOwnFolder = instanceDirectory.getParentDirectory().getFullPathName()
                                 .equalsIgnoreCase (instancesRoot.getFullPathName())
                             && instanceDirectory.getFileName() == instanceId;

    if (isOwnFolder && instanceDirectory.exists())
        instanceDirectory.deleteRecursively (false);
}

juce::String McpPluginBridge::getLastError() const
{
    const juce::SpinLock::ScopedLockType lock (lastErrorLock);
    return lastError;
}

void McpPluginBridge::setLastError (const juce::String& message)
{
    const juce::SpinLock::ScopedLockType lock (lastErrorLock);
    lastError = message;
}

void McpPluginBridge::clearLastError()
{
    const juce::SpinLock::ScopedLockType lock (lastErrorLock);
    lastError.clear();
}

juce::Result McpPluginBridge::initialise()
{
    if (! config.exportJson)
        return juce::Result::fail ("Missing MCP exportJson callback");
    if (! config.validateJson)
        return juce::Result::fail ("Missing MCP validateJson callback");
    if (! config.applyJson)
        return juce::Result::fail ("Missing MCP applyJson callback");
    if (! config.describe)
        return juce::Result::fail ("Missing MCP describe callback");

    for (const auto* folder : { &instancesRoot, &instanceDirectory, &requestsDirectory, &responsesDirectory })
    {
        const auto result = prepareFolder (*folder);

        if (result.failed())
            return result;
    }

    return juce::Result::ok();
}

void McpPluginBridge::timerCallback()
{
    const auto now = nowMs();

    if (! initialised)
    {
        if (now < initRetryAtMs)
            return;

        const auto result = initialise();

        if (result.failed())
        {
            setLastError (result.getErrorMessage());
            initRetryAtMs = now + initRetryDelayMs;
            return;
        }

        initialised = true;
        clearLastError();
    }
}

} // namespace velmar
