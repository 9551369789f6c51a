#pragma once

#include <juce_core/juce_core.h>

// A library project file: one JSON object on one line that wraps a portable project in an
// envelope naming the format, its version, the plug-in, a stable project id, a display name,
// a description and the time of saving. Pure functions apart from the clock and the file reads
// named below; any thread.
struct ProjectFileDocument
{
    static constexpr const char* formatKey = "format";
    static constexpr const char* versionKey = "version";
    static constexpr const char* projectIdKey = "projectId";
    static constexpr const char* pluginKey = "plugin";
    static constexpr const char* nameKey = "name";
    static constexpr const char* descriptionKey = "description";
    static constexpr const char* savedAtKey = "savedAt";
    static constexpr const char* projectKey = "project";

    static constexpr const char* formatName = "velmar-plugin-project";
    static constexpr int formatVersion = 2;
    static constexpr const char* pluginName = "Corvessa";
};

// True when the trimmed text is a dashed UUID (36 characters, any letter case).
bool isValidProjectId (const juce::String& projectId);

// A fresh project id: a dashed UUID in lower case.
juce::String makeProjectId();

// The envelope around `project`, keys in their written order; "savedAt" is taken now. The name
// and description are stored trimmed.
juce::var makeProjectFileDocument (const juce::String& projectId, const juce::String& name,
                                   const juce::String& description, const juce::var& project);

// The envelope as it is written: one line, at most 15 decimal places.
juce::String projectDocumentToText (const juce::var& document);

// Checks the envelope (not the project inside it); the first problem is the failure message.
juce::Result validateProjectFile (const juce::var& document);

// The readers of a file in the library. A file that cannot be read, is too large or is not a
// JSON object gives the fall-back: the file name without extension for the display name,
// empty for the description and the id.
juce::String readProjectDisplayName (const juce::File& file);
juce::String readProjectDescription (const juce::File& file);
// The trimmed id of a file whose envelope names this format, version 2 and this plug-in, when
// that id is valid; otherwise empty.
juce::String readProjectIdFromFile (const juce::File& file);
