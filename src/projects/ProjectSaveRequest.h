#pragma once

#include "projects/ProjectLibraryReport.h"

#include <juce_core/juce_core.h>

// One prepared save of the current project into a library file. It is made when the user asks
// to save and performed at once or, when an existing file would be overwritten, only after the
// user confirmed; everything it checks against was recorded when it was made, so that a file
// another program created, rewrote or deleted in between is refused rather than overwritten.
// Message thread.
struct ProjectSaveRequest
{
    juce::File target;
    juce::var project;              // exported and validated when the request was made
    juce::String name;              // trimmed
    juce::String description;       // trimmed
    bool targetExisted = false;     // the target existed when the request was made
    juce::String targetHash;        // and its content hash then (empty when it did not exist)

    // A request for the target as it is now.
    static ProjectSaveRequest make (const juce::File& target, const juce::var& project,
                                    const juce::String& name, const juce::String& description);

    // Writes the project file, or refuses without writing anything. The window's current
    // project file (full path) and hash are what it last loaded or saved; a successful write
    // makes them the target's path and the hash of the bytes on disk.
    ProjectLibraryReport perform (juce::String& currentProjectFile, juce::String& currentProjectHash) const;
};
