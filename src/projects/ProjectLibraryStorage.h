#pragma once

#include "projects/ProjectLibraryEntry.h"

#include <juce_core/juce_core.h>

#include <vector>

// The project library's folder and its files. Message thread (the window runs all library work
// synchronously there); nothing here keeps state.

// The user's application-data folder / "VELMAR" / "Corvessa" / "projects". Nothing is created.
juce::File getProjectLibraryFolder();

// The folder's "*.json" files (not in sub-folders), sorted by name without extension in natural
// order ignoring case. Names beginning with "." are skipped: they are the temporary files a
// crash can leave behind a replace, never projects. Empty when the folder is not a directory.
juce::Array<juce::File> listProjectFiles (const juce::File& folder);

// One entry per file with its display name and description, sorted by display name in natural
// order ignoring case.
std::vector<ProjectLibraryEntry> makeProjectLibraryEntries (const juce::Array<juce::File>& files);

// The SHA-256 of the file's whole content in lower-case hex; empty when it is not a file.
juce::String hashFileContents (const juce::File& file);

// The largest project file the library reads. Larger files are refused, never loaded whole.
constexpr juce::int64 maxProjectFileBytes = 16 * 1024 * 1024;

// Reads the whole file into `bytes`; false when it is not a readable file, is empty or is
// larger than maxProjectFileBytes.
bool readProjectFileBytes (const juce::File& file, juce::MemoryBlock& bytes);

// Replaces the file's content with the text as UTF-8 (no header bytes): written to a hidden
// temporary file beside it and moved over it only when every byte was written, so a failed
// write (a full disk, a missing folder) leaves the old file as it was. False on failure.
bool replaceProjectFileText (const juce::File& file, const juce::String& text);

// The file-name stem a project name is stored under: the name made legal as a file name, with
// leading dots and blanks dropped (a name of dots alone would climb out of the folder, and a
// stem beginning with "." would be a hidden file the list skips). Empty when nothing is left.
juce::String makeProjectFileStem (const juce::String& name);

// The file a save of `name` goes to, first match wins: the current file when its display name
// equals the name ignoring case; the first listed file with that display name; the stem's
// ".json" child of the folder, or, when that file already holds another project, the first free
// sibling "stem (2).json", "stem (3).json", ... so that a save never takes another project's
// file. The name is taken trimmed; its stem must not be empty.
juce::File chooseProjectSaveTarget (const juce::File& folder, const juce::String& name,
                                    const juce::File& currentProjectFile);
