#pragma once

#include "projects/ProjectLibraryReport.h"

#include <juce_core/juce_core.h>

// The file work of the window's library operations that needs no processor: deleting a
// project, reading one for loading, and the one-line project snapshot of a support request.
// Message thread; synchronous.

// Deletes a library file. Deleting the window's current project forgets it (path and hash),
// so that a later save of that name writes a new project.
ProjectLibraryReport deleteProjectFile (const juce::File& file, juce::String& currentProjectFile,
                                        juce::String& currentProjectHash);

// A project file read and its envelope checked, ready for the processor's own check.
struct ProjectFileForLoading
{
    bool ok = false;
    ProjectLibraryReport failure;   // when not ok: the status to show (the overlay shows nothing)
    juce::var project;              // the portable project inside the envelope
    juce::String name;              // the envelope's name (the file name when the key is absent)
    juce::String hash;              // SHA-256 hex of the bytes read
};

ProjectFileForLoading readProjectFileForLoading (const juce::File& file);

// The snapshot a support request may carry: the library envelope around `project`, with a
// fresh id, named after the current project file when it exists ("Corvessa Support Snapshot"
// otherwise), on one line. Nothing is written to disk.
juce::String makeSupportSnapshotText (const juce::var& project, const juce::File& currentProjectFile);
