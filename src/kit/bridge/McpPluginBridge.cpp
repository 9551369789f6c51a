#include "kit/bridge/McpPluginBridge.h"

#include "kit/bridge/McpBridgeValues.h"
#include "kit/platform/UserDataPaths.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace velmar
{
using namespace McpBridgeValues;

namespace
{
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

bool sortsBeforeByUtf8Bytes (const juce::String& a, const juce::String& b)
{
    return std::strcmp (a.toRawUTF8(), b.toRawUTF8()) < 0;
}
} // namespace

McpPluginBridge::McpPluginBridge (Config configToUse, Clock clockToUse)
    : config (std::move (configToUse)),
      clock (std::move (clockToUse)),
      instancesRoot (getUserApplicationDataFile (instancesRelativePath)),
      instanceId (mintId()),
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
            initRetryAtMs = now() + initRetryDelayMs;
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

    if (isOwnFolder && (instanceDirectory.exists() || instanceDirectory.isSymbolicLink()))
        instanceDirectory.deleteRecursively (false);
}

juce::int64 McpPluginBridge::now() const
{
    return clock ? clock() : juce::Time::currentTimeMillis();
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

//==============================================================================
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

    const auto exported = refreshExport();

    if (exported.failed())
        return exported;

    publishPresence();

    const auto error = getLastError();

    if (error.isNotEmpty())
        return juce::Result::fail (error);

    if (! presenceFile.existsAsFile())
        return juce::Result::fail ("Could not publish MCP instance presence");

    return juce::Result::ok();
}

void McpPluginBridge::timerCallback()
{
    const auto tickNow = now();

    if (! initialised)
    {
        if (tickNow < initRetryAtMs)
            return;

        const auto result = initialise();

        if (result.failed())
        {
            setLastError (result.getErrorMessage());
            initRetryAtMs = tickNow + initRetryDelayMs;
            return;
        }

        initialised = true;
        clearLastError();
    }

    expireFinalizedTransactions (tickNow);
    expireTransactionLease (tickNow);
    processRequestFiles();

    if (tickNow >= nextPresenceAtMs)
        publishPresence();
}

void McpPluginBridge::processRequestFiles()
{
    std::vector<juce::File> files;

    for (const auto& entry : juce::RangedDirectoryIterator (requestsDirectory, false, "*", juce::File::findFiles))
    {
        const auto file = entry.getFile();

        // Letter case ignored: "*.json" alone would miss "X.JSON" on this platform.
        if (file.getFileName().endsWithIgnoreCase (".json"))
            files.push_back (file);
    }

    std::sort (files.begin(), files.end(), [] (const juce::File& a, const juce::File& b)
    {
        return sortsBeforeByUtf8Bytes (a.getFileName(), b.getFileName());
    });

    if (files.size() > (size_t) requestsPerTick)
        files.resize ((size_t) requestsPerTick);

    for (const auto& file : files)
        processRequestFile (file);
}

//==============================================================================
juce::Result McpPluginBridge::canonicaliseProjectJson (const juce::var& input, juce::var& output)
{
    output = juce::var();

    if (input.isUndefined() || input.isBinaryData() || input.isMethod())
        return juce::Result::fail ("Project contains a non-JSON value");

    if (input.isDouble())
    {
        const auto value = (double) input;

        if (! std::isfinite (value))
            return juce::Result::fail ("Project contains a non-finite number");

        constexpr double twoTo63 = 9223372036854775808.0;

        if (std::trunc (value) == value && value >= -twoTo63 && value < twoTo63)
            output = (juce::int64) value;
        else
            output = value;

        return juce::Result::ok();
    }

    if (input.isArray())
    {
        juce::Array<juce::var> items;

        for (const auto& item : *input.getArray())
        {
            juce::var canonical;
            const auto result = canonicaliseProjectJson (item, canonical);

            if (result.failed())
                return result;

            items.add (canonical);
        }

        output = std::move (items);
        return juce::Result::ok();
    }

    if (input.isObject())
    {
        auto* source = input.getDynamicObject();

        if (source == nullptr)
            return juce::Result::fail ("Project contains an unsupported object");

        std::vector<juce::Identifier> names;
        for (const auto& property : source->getProperties())
            names.push_back (property.name);

        std::sort (names.begin(), names.end(), [] (const juce::Identifier& a, const juce::Identifier& b)
        {
            return sortsBeforeByUtf8Bytes (a.toString(), b.toString());
        });

        auto* target = new juce::DynamicObject();
        juce::var result (target);

        for (const auto& name : names)
        {
            juce::var canonical;
            const auto converted = canonicaliseProjectJson (source->getProperty (name), canonical);

            if (converted.failed())
                return converted;

            target->setProperty (name, canonical);
        }

        output = result;
        return juce::Result::ok();
    }

    output = input;
    return juce::Result::ok();
}

juce::Result McpPluginBridge::exportProjectSnapshot (ProjectSnapshot& snapshot)
{
    if (! config.exportJson)
        return juce::Result::fail ("Missing MCP exportJson callback");

    const auto exported = config.exportJson();

    if (! isPlainObject (exported))
        return juce::Result::fail ("exportJson must return a JSON object");

    return makeSnapshot (exported, snapshot, "Exported project exceeds the 4 MB limit");
}

juce::Result McpPluginBridge::makeSnapshot (const juce::var& project, ProjectSnapshot& snapshot, const juce::String& tooLarge)
{
    juce::var canonical;
    const auto result = canonicaliseProjectJson (project, canonical);

    if (result.failed())
        return result;

    // The canonical value is freshly built, so it is already independent of the given one.
    auto text = toText (canonical);

    if ((juce::int64) text.getNumBytesAsUTF8() >= projectByteLimit)
        return juce::Result::fail (tooLarge);

    snapshot.project = canonical;
    snapshot.contentRevision = sha256Hex (text);
    snapshot.json = std::move (text);
    snapshot.revision = 0;
    return juce::Result::ok();
}

juce::Result McpPluginBridge::refreshExport()
{
    ProjectSnapshot fresh;
    const auto result = exportProjectSnapshot (fresh);

    if (result.failed())
        return result;

    if (current.contentRevision.isEmpty())
    {
        fresh.revision = 1;
    }
    else if (fresh.contentRevision != current.contentRevision)
    {
        if (current.revision == std::numeric_limits<juce::int64>::max())
            return juce::Result::fail ("MCP project revision is exhausted");

        fresh.revision = current.revision + 1;
    }
    else
    {
        fresh.revision = current.revision;
    }

    current = std::move (fresh);
    return juce::Result::ok();
}

McpPluginBridge::Description McpPluginBridge::describeInstance() const
{
    Description description;

    if (! config.describe)
    {
        description.writable = false;
        description.readOnlyReason = "MCP describe callback is unavailable";
        return description;
    }

    description = config.describe();
    description.sectionCount = juce::jmax (0, description.sectionCount);

    if (description.displayName.trim().isEmpty())
    {
        auto name = description.product.trim();

        if (name.isEmpty())
            name = "Plugin";

        const auto section = description.activeSectionName.trim();

        if (section.isNotEmpty())
            name << " - " << section;

        name << " - " << instanceId.substring (0, 8);
        description.displayName = name;
    }

    if (description.writable)
        description.readOnlyReason.clear();
    else if (description.readOnlyReason.isEmpty())
        description.readOnlyReason = "INSTANCE_READ_ONLY";

    return description;
}

void McpPluginBridge::publishPresence()
{
    const auto exported = refreshExport();

    if (exported.failed())
    {
        // The next periodic write stays due, so the next tick tries again.
        setLastError (exported.getErrorMessage());
        return;
    }

    const auto description = describeInstance();
    const auto writtenAt = now();

    const auto presence = makeObject ({
        { "format", "velmar-mcp-instance" },
        { "version", 1 },
        { "instanceId", instanceId },
        { "product", description.product },
        { "pluginVersion", description.pluginVersion },
        { "displayName", description.displayName },
        { "instanceName", description.instanceName },
        { "roleId", description.roleId },
        { "instrumentId", description.instrumentId },
        { "activeSectionName", description.activeSectionName },
        { "sectionCount", description.sectionCount },
        { "writable", description.writable },
        { "readOnlyReason", description.readOnlyReason },
        { "revision", current.revision },
        { "contentRevision", current.contentRevision },
        { "updatedAtMs", writtenAt },
        { "leaseUntilMs", writtenAt + presenceLeaseMs },
    });

    const auto written = writeJsonFileAtomically (presenceFile, presence, presenceByteLimit);

    if (written.failed())
        setLastError (written.getErrorMessage());
    else
        clearLastError();

    nextPresenceAtMs = writtenAt + presencePeriodMs;
}

//==============================================================================
juce::Result McpPluginBridge::writeJsonFileAtomically (const juce::File& target, const juce::var& value, juce::int64 limit)
{
    return writeJsonTextAtomically (target, toText (value), limit);
}

juce::Result McpPluginBridge::writeJsonTextAtomically (const juce::File& target, const juce::String& text, juce::int64 limit)
{
    if (target.isSymbolicLink())
        return juce::Result::fail ("MCP output path cannot be a symbolic link: " + target.getFullPathName());

    const auto folder = target.getParentDirectory();
    const auto created = folder.createDirectory();

    if (created.failed())
        return juce::Result::fail ("Could not create MCP output folder: " + created.getErrorMessage());

    if (folder.isSymbolicLink() || ! folder.isDirectory())
        return juce::Result::fail ("MCP output folder is not a real directory: " + folder.getFullPathName());

    if (! folder.setReadOnly (false, false))
        return juce::Result::fail ("Could not make MCP bridge folder writable: " + folder.getFullPathName());

    if ((juce::int64) text.getNumBytesAsUTF8() > limit)
        return juce::Result::fail ("MCP JSON output exceeds the " + juce::String (limit / 1048576) + " MB limit");

    // Beside the target so that the final rename stays within one folder, and never ending in
    // ".json": clients look for "*.json" and must not pick up a file still being written.
    const auto staging = folder.getChildFile ("." + target.getFileName() + "." + mintId() + ".tmp");

    const auto finish = [&staging] (juce::Result result)
    {
        if (staging.existsAsFile())
            staging.deleteFile();

        return result;
    };

    {
        // Unbuffered, so that the write itself reports a failure. No flush: the stream's flush
        // waits for the disk, which would stall the message thread on every answer, and readers
        // see the whole text after the rename anyway.
        juce::FileOutputStream out (staging, 0);
        const bool staged = out.openedOk() && out.write (text.toRawUTF8(), text.getNumBytesAsUTF8());

        if (! staged)
            return finish (juce::Result::fail ("Could not stage MCP JSON file: " + target.getFullPathName()));
    }

    if (! staging.setReadOnly (false))
        return finish (juce::Result::fail ("Could not make MCP bridge file writable: " + staging.getFullPathName()));

    if (! staging.replaceFileIn (target))
        return finish (juce::Result::fail ("Could not publish MCP JSON file: " + target.getFullPathName()));

    if (! target.setReadOnly (false))
        return finish (juce::Result::fail ("Could not make MCP bridge file writable: " + target.getFullPathName()));

    return finish (juce::Result::ok());
}

} // namespace velmar
