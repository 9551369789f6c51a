#pragma once

#include <juce_core/juce_core.h>

#include <functional>

namespace velmar
{

// The kit's one settings file per product, "settings.json", shared by every plug-in instance
// in every host process. The store keeps nothing in memory: each operation reads the file
// afresh under the module-wide critical section and then the named lock
// "velmar-settings-<hash of the path>", and each change rewrites the whole file (one JSON
// line) through a temporary file beside it.
class SettingsStore
{
public:
    explicit SettingsStore (juce::String relativePath, juce::File baseDirectory = {});

    juce::File getFile() const;

    // The section when the file holds it as an object; void otherwise.
    juce::var readSection (const juce::String& section) const;

    // A number stored in the section (int, int64 or double); the default otherwise.
    double getDouble (const juce::String& section, const juce::String& key, double defaultValue) const;

    // Every write below refuses (false) while the file is there but cannot be read: larger
    // than the reader takes, unreadable, or nested deeper than it follows. Broken text is
    // replaced.

    // Sets one key inside a section (the section becomes an object when it is not one).
    bool setValue (const juce::String& section, const juce::String& key, const juce::var& value);

    // Replaces a whole section; false without touching anything when the value is no object.
    bool writeSection (const juce::String& section, const juce::var& value);

    // Reads a section, lets the caller build its new content from it and writes it back, all
    // inside both locks, so that no other writer can slip in between the read and the write
    // (a stale copy can never undo someone else's change). The function receives the current
    // section (void when missing or not an object) and returns the new one; when it returns
    // anything but an object, nothing is written and the result is false.
    bool updateSection (const juce::String& section, const std::function<juce::var (const juce::var& current)>& update);

    // The whole file as an object; a missing, unreadable or non-object file is an empty one.
    // Only meant for use inside the locks.
    juce::var readRoot() const;

    // Writes the whole file; only meant for use inside the locks.
    bool writeRoot (const juce::var& root) const;

    // The named lock's name for a settings file: "velmar-settings-" and the hexadecimal form
    // of the path's hash (h = h * 101 + code point, wrapping at 64 bits).
    static juce::String getLockNameFor (const juce::File& settingsFile);

private:
    // The root as read, and whether a write may replace the file: not when a file is there
    // that could not be taken in (too large, unreadable, nested too deep) and may hold good
    // settings of someone else's making.
    struct StoredRoot
    {
        juce::var root;
        bool mayReplace = true;
    };

    StoredRoot readStoredRoot() const;

    enum class Access { read, write };

    template <typename Result, typename Work>
    Result withLocks (Access access, Result emptyResult, Work&& work) const;

    juce::String relativePath;
    juce::File baseDirectory;
};

} // namespace velmar
