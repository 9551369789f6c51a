#include "kit/services/SettingsStore.h"

#include "kit/json/JsonReader.h"
#include "kit/json/JsonWriter.h"
#include "kit/platform/NamedProcessLock.h"
#include "kit/platform/UserDataPaths.h"

namespace velmar
{

namespace
{
    // One for the whole module, shared by every store of every instance; always taken before
    // the named lock.
    juce::CriticalSection moduleSettingsLock;

    const char* const settingsFileName = "settings.json";

    // A settings file is three short sections; anything far larger is not ours to parse.
    constexpr juce::int64 maxSettingsFileBytes = 4 * 1024 * 1024;

    juce::DynamicObject* asObject (const juce::var& v)
    {
        return v.getDynamicObject();   // null for arrays too, which the framework counts as objects
    }
} // namespace

SettingsStore::SettingsStore (juce::String relativePathToUse, juce::File baseDirectoryToUse)
    : relativePath (std::move (relativePathToUse)), baseDirectory (std::move (baseDirectoryToUse))
{
}

juce::File SettingsStore::getFile() const
{
    if (baseDirectory == juce::File())
        return getUserApplicationDataFile (relativePath).getChildFile (settingsFileName);

    return baseDirectory.getChildFile (relativePath).getChildFile (settingsFileName);
}

juce::String SettingsStore::getLockNameFor (const juce::File& settingsFile)
{
    juce::uint64 hash = 0;

    for (auto c : settingsFile.getFullPathName())
        hash = hash * 101u + (juce::uint64) c;

    return "velmar-settings-" + juce::String::toHexString ((juce::int64) hash);
}

template <typename Result, typename Work>
Result SettingsStore::withLocks (Access access, Result emptyResult, Work&& work) const
{
    if (relativePath.isEmpty())
        return emptyResult;

    const juce::ScopedLock moduleLock (moduleSettingsLock);

    NamedProcessLock fileLock (getLockNameFor (getFile()));
    const ScopedNamedProcessLock scopedFileLock (fileLock, -1);

    // A lock that cannot be had (its folder cannot be made, say) stops writes, which need it
    // against other processes. Reads do not: every write replaces the whole file in one move,
    // so a reader sees the old file or the new one, never half of one.
    if (! scopedFileLock.isLocked() && access == Access::write)
        return emptyResult;

    return work();
}

juce::var SettingsStore::readRoot() const
{
    return readStoredRoot().root;
}

SettingsStore::StoredRoot SettingsStore::readStoredRoot() const
{
    StoredRoot stored { juce::var (new juce::DynamicObject()), true };
    const auto file = getFile();

    if (! file.existsAsFile())
        return stored;

    // A file we cannot take in (too large, unreadable, nested deeper than we follow) may still
    // be a good settings file of someone else's making: it reads as empty, but it is never
    // replaced by a file that would hold only what one write adds. Broken text, on the other
    // hand, holds nothing to keep.
    if (file.getSize() > maxSettingsFileBytes)
    {
        stored.mayReplace = false;
        return stored;
    }

    juce::FileInputStream in (file);

    if (in.failedToOpen())
    {
        stored.mayReplace = false;
        return stored;
    }

    bool wellFormedButTooDeep = false;
    const auto parsed = JsonReader::parse (in.readEntireStreamAsString(), JsonReader::defaultMaxDepth, &wellFormedButTooDeep);

    if (asObject (parsed) != nullptr)
        stored.root = parsed;
    else if (wellFormedButTooDeep || in.getStatus().failed())
        stored.mayReplace = false;

    return stored;
}

bool SettingsStore::writeRoot (const juce::var& root) const
{
    auto* object = asObject (root);

    if (object == nullptr)
        return false;

    const auto file = getFile();

    if (! file.getParentDirectory().createDirectory())
        return false;

    object->setProperty ("schema", 1);

    const auto text = JsonWriter::toString (root, true, 15);

    // Never leave a file behind that the next read could not take back.
    if (asObject (JsonReader::parse (text)) == nullptr)
        return false;

    {
        juce::TemporaryFile temporary (file);

        {
            juce::FileOutputStream out (temporary.getFile());

            if (out.failedToOpen())
                return false;

            if (! out.writeText (text, false, false, nullptr))
                return false;

            out.flush();

            if (out.getStatus().failed())
                return false;
        }

        if (! temporary.overwriteTargetFileWithTemporary())
            return false;
    }

    const auto folder = file.getParentDirectory();

    for (auto* oldName : { "telemetry.json", "update-check.json", "ui_scale.json" })
    {
        const auto old = folder.getChildFile (oldName);
        if (old.existsAsFile())
            old.deleteFile();
    }

    return true;
}

juce::var SettingsStore::readSection (const juce::String& section) const
{
    return withLocks (Access::read, juce::var(), [&]
    {
        const auto value = readRoot().getProperty (section, {});
        return asObject (value) != nullptr ? value : juce::var();
    });
}

double SettingsStore::getDouble (const juce::String& section, const juce::String& key, double defaultValue) const
{
    const auto sectionValue = readSection (section);

    if (auto* object = asObject (sectionValue))
    {
        const auto& value = object->getProperty (key);

        if (value.isInt() || value.isInt64() || value.isDouble())
            return (double) value;
    }

    return defaultValue;
}

bool SettingsStore::setValue (const juce::String& section, const juce::String& key, const juce::var& value)
{
    return withLocks (Access::write, false, [&]
    {
        const auto stored = readStoredRoot();

        if (! stored.mayReplace)
            return false;

        auto root = stored.root;
        auto* rootObject = asObject (root);
        auto sectionValue = rootObject->getProperty (section);

        if (asObject (sectionValue) == nullptr)
        {
            sectionValue = juce::var (new juce::DynamicObject());
            rootObject->setProperty (section, sectionValue);
        }

        asObject (sectionValue)->setProperty (key, value);
        return writeRoot (root);
    });
}

bool SettingsStore::writeSection (const juce::String& section, const juce::var& value)
{
    if (relativePath.isEmpty() || asObject (value) == nullptr)
        return false;

    return withLocks (Access::write, false, [&]
    {
        const auto stored = readStoredRoot();

        if (! stored.mayReplace)
            return false;

        auto root = stored.root;
        asObject (root)->setProperty (section, value);
        return writeRoot (root);
    });
}

bool SettingsStore::updateSection (const juce::String& section,
                                   const std::function<juce::var (const juce::var&)>& update)
{
    if (update == nullptr)
        return false;

    return withLocks (Access::write, false, [&]
    {
        const auto stored = readStoredRoot();

        if (! stored.mayReplace)
            return false;

        auto root = stored.root;
        auto current = root.getProperty (section, {});

        if (asObject (current) == nullptr)
            current = juce::var();

        const auto replacement = update (current);

        if (asObject (replacement) == nullptr)
            return false;

        asObject (root)->setProperty (section, replacement);
        return writeRoot (root);
    });
}

} // namespace velmar
