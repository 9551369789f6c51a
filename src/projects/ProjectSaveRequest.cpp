#include "projects/ProjectSaveRequest.h"

#include "projects/ProjectFileDocument.h"
#include "projects/ProjectLibraryStorage.h"

namespace
{
    ProjectLibraryReport deletedOutside()
    {
        return ProjectLibraryReport::failure ("Status: Project was deleted outside Corvessa",
                                              "Project was deleted outside Corvessa. Reload or save with a new name.",
                                              ProjectLibraryReport::outsideChangeHoldMs);
    }

    ProjectLibraryReport changedOutside()
    {
        return ProjectLibraryReport::failure ("Status: Project changed outside Corvessa",
                                              "Project changed outside Corvessa. Reload it before saving.",
                                              ProjectLibraryReport::outsideChangeHoldMs);
    }

    ProjectLibraryReport appearedOutside()
    {
        return ProjectLibraryReport::failure ("Status: Project file appeared outside Corvessa",
                                              "A project with this name was created outside Corvessa. Choose another name.",
                                              ProjectLibraryReport::outsideChangeHoldMs);
    }

    // What the file is now compared with what the window last read or wrote of it.
    ProjectLibraryReport checkUnchanged (const juce::File& file, const juce::String& expectedHash, bool& unchanged)
    {
        unchanged = false;

        if (! file.existsAsFile())
            return deletedOutside();

        if (hashFileContents (file) != expectedHash)
            return changedOutside();

        unchanged = true;
        return {};
    }
} // namespace

ProjectSaveRequest ProjectSaveRequest::make (const juce::File& target, const juce::var& project,
                                             const juce::String& name, const juce::String& description)
{
    ProjectSaveRequest request;
    request.target = target;
    request.project = project;
    request.name = name.trim();
    request.description = description.trim();
    request.targetExisted = target.exists();
    request.targetHash = hashFileContents (target);
    return request;
}

ProjectLibraryReport ProjectSaveRequest::perform (juce::String& currentProjectFile, juce::String& currentProjectHash) const
{
    bool unchanged = true;

    if (currentProjectFile.isNotEmpty() && juce::File (currentProjectFile) == target && currentProjectHash.isNotEmpty())
    {
        auto refusal = checkUnchanged (target, currentProjectHash, unchanged);

        if (! unchanged)
            return refusal;
    }
    else if (! targetExisted)
    {
        if (target.exists())
            return appearedOutside();
    }
    else
    {
        // The user agreed to overwrite the file as it was when they were asked; a file another
        // program rewrote or removed since is not the one they agreed to replace.
        auto refusal = checkUnchanged (target, targetHash, unchanged);

        if (! unchanged)
            return refusal;
    }

    const auto existedBeforeWriting = target.existsAsFile();
    auto projectId = existedBeforeWriting ? readProjectIdFromFile (target) : juce::String();

    if (projectId.isEmpty())
        projectId = makeProjectId();

    const auto text = projectDocumentToText (makeProjectFileDocument (projectId, name, description, project));

    if (! replaceProjectFileText (target, text))
        return ProjectLibraryReport::failure ("Status: Could not save project", "Could not save project");

    currentProjectFile = target.getFullPathName();
    currentProjectHash = hashFileContents (target);

    if (existedBeforeWriting)
        return ProjectLibraryReport::success ("Status: Project overwritten - " + name, "Overwritten: " + name);

    return ProjectLibraryReport::success ("Status: Project saved - " + name, "Saved: " + name);
}
