#include "projects/ProjectLibraryActions.h"

#include "projects/ProjectFileDocument.h"

#include <juce_cryptography/juce_cryptography.h>
#include "projects/ProjectLibraryStorage.h"

#include "kit/json/JsonReader.h"

ProjectLibraryReport deleteProjectFile (const juce::File& file, juce::String& currentProjectFile,
                                        juce::String& currentProjectHash)
{
    const auto name = readProjectDisplayName (file);

    if (! file.existsAsFile() || ! file.deleteFile())
        return ProjectLibraryReport::failure ("Status: Could not delete project", "Could not delete project");

    if (currentProjectFile.isNotEmpty() && juce::File (currentProjectFile) == file)
    {
        currentProjectFile.clear();
        currentProjectHash.clear();
    }

    return ProjectLibraryReport::success ("Status: Project deleted - " + name, "Deleted: " + name);
}

ProjectFileForLoading readProjectFileForLoading (const juce::File& file)
{
    ProjectFileForLoading result;
    juce::MemoryBlock bytes;

    if (! readProjectFileBytes (file, bytes))
    {
        result.failure = ProjectLibraryReport::failure ("Status: Could not read project file");
        return result;
    }

    const auto document = velmar::JsonReader::parse (juce::String::fromUTF8 (static_cast<const char*> (bytes.getData()),
                                                                             (int) bytes.getSize()));
    const auto check = validateProjectFile (document);

    if (check.failed())
    {
        result.failure = ProjectLibraryReport::failure ("Status: " + check.getErrorMessage());
        return result;
    }

    const juce::Identifier nameKey (ProjectFileDocument::nameKey);

    result.ok = true;
    result.project = document[juce::Identifier (ProjectFileDocument::projectKey)];
    result.name = document.hasProperty (nameKey) ? document[nameKey].toString() : file.getFileNameWithoutExtension();
    result.hash = juce::SHA256 (bytes.getData(), bytes.getSize()).toHexString();
    return result;
}

juce::String makeSupportSnapshotText (const juce::var& project, const juce::File& currentProjectFile)
{
    const auto hasFile = currentProjectFile.existsAsFile();
    const auto name = hasFile ? readProjectDisplayName (currentProjectFile) : juce::String ("Corvessa Support Snapshot");
    const auto description = hasFile ? readProjectDescription (currentProjectFile) : juce::String();

    return projectDocumentToText (makeProjectFileDocument (makeProjectId(), name, description, project));
}
