// The window's side of the project library, the chord-preset overlay and the support snapshot.
// All file work runs here on the message thread, synchronously; the arrangement changes only
// through the processor's export, validate and apply services.
#include "editor/CorvessaEditor.h"

#include "editor/EditorClock.h"
#include "editor/look/Palette.h"
#include "kit/json/JsonWriter.h"
#include "processor/CorvessaProcessor.h"
#include "processor/state/PortableProject.h"
#include "projects/ChordPreset.h"
#include "projects/FolderOpener.h"
#include "projects/ProjectLibraryActions.h"
#include "projects/ProjectLibraryStorage.h"
#include "projects/ProjectSaveRequest.h"

namespace
{
std::vector<ProjectLibraryEntry> listLibrary()
{
    return makeProjectLibraryEntries (listProjectFiles (getProjectLibraryFolder()));
}
} // namespace

//==== project library ===============================================================================

void CorvessaEditor::showProjectLibrary()
{
    if (isSyncFollower())
        return;

    const juce::File current (currentProjectFile);

    if (current.existsAsFile())
        projectLibrary.setEntriesAndSelect (listLibrary(), current);
    else
        projectLibrary.setEntries (listLibrary());

    layoutContent();
}

void CorvessaEditor::onProjectSave (const juce::String& name, const juce::String& description)
{
    saveLibraryProject (name, description);
}

void CorvessaEditor::onProjectLoad (const juce::File& file)
{
    loadLibraryProject (file);
}

void CorvessaEditor::onProjectDelete (const juce::File& file)
{
    deleteLibraryProject (file);
}

void CorvessaEditor::saveLibraryProject (const juce::String& name, const juce::String& description)
{
    const auto trimmed = name.trim();

    if (makeProjectFileStem (trimmed).isEmpty())
    {
        showLibraryReport (ProjectLibraryReport::failure ("Status: Project name required", "Project name required"));
        return;
    }

    const auto folder = getProjectLibraryFolder();

    if (! folder.isDirectory() && ! folder.createDirectory())
    {
        showLibraryReport (ProjectLibraryReport::failure ("Status: Could not create project folder",
                                                          "Could not create project folder"));
        return;
    }

    saveProjectToFile (trimmed, description, chooseProjectSaveTarget (folder, trimmed, juce::File (currentProjectFile)), true);
}

void CorvessaEditor::saveProjectToFile (const juce::String& name, const juce::String& description,
                                        const juce::File& target, bool askOverwrite)
{
    const auto trimmedName = name.trim();

    if (trimmedName.isEmpty())
    {
        showLibraryReport (ProjectLibraryReport::failure ("Status: Project name required", "Project name required"));
        return;
    }

    const auto folder = target.getParentDirectory();

    if (! folder.isDirectory() && ! folder.createDirectory())
    {
        showLibraryReport (ProjectLibraryReport::failure ("Status: Could not create project folder",
                                                          "Could not create project folder"));
        return;
    }

    const auto project = processor.exportPortableProject();
    const auto check = processor.validatePortableProject (project);

    if (check.failed())
    {
        showLibraryReport (ProjectLibraryReport::failure ("Status: Current project is invalid",
                                                          "Current project is invalid: " + check.getErrorMessage()));
        return;
    }

    const auto request = ProjectSaveRequest::make (target, project, trimmedName, description);

    // The overlay owns the pending action and the window owns the overlay, so the action never
    // outlives the window.
    if (askOverwrite && target.exists())
        projectLibrary.askOverwrite (trimmedName, [this, request] { performProjectSave (request); });
    else
        performProjectSave (request);
}

void CorvessaEditor::performProjectSave (const ProjectSaveRequest& request)
{
    const auto report = request.perform (currentProjectFile, currentProjectHash);
    showLibraryReport (report);

    if (report.succeeded)
        projectLibrary.replaceEntriesSelecting (listLibrary(), request.target);
}

void CorvessaEditor::loadLibraryProject (const juce::File& file)
{
    if (isSyncFollower())
        return;

    const auto loaded = readProjectFileForLoading (file);

    if (! loaded.ok)
    {
        showLibraryReport (loaded.failure);
        return;
    }

    if (processor.validatePortableProject (loaded.project).failed())
    {
        showLibraryReport (ProjectLibraryReport::failure ("Status: Project data is invalid"));
        return;
    }

    beginSectionHistoryStep();

    if (processor.applyPortableProject (loaded.project).failed())
    {
        showLibraryReport (ProjectLibraryReport::failure ("Status: Could not apply project"));
        return;
    }

    currentProjectFile = file.getFullPathName();
    currentProjectHash = loaded.hash;
    // The window made this change itself: it is no outside edit to announce.
    lastExternalEditCount = (juce::int64) processor.getExternalEditCounter();
    closeChordEditing();
    syncControlsKeepingHistory (true);
    commitSectionHistory();

    layoutContent();
    showLibraryReport (ProjectLibraryReport::success ("Status: Project loaded - " + loaded.name));
}

void CorvessaEditor::deleteLibraryProject (const juce::File& file)
{
    const auto report = deleteProjectFile (file, currentProjectFile, currentProjectHash);
    showLibraryReport (report);

    if (report.succeeded)
        projectLibrary.replaceEntriesKeepingSelection (listLibrary());
}

void CorvessaEditor::onOpenProjectsFolder()
{
    const auto folder = getProjectLibraryFolder();

    if (! folder.isDirectory())
        folder.createDirectory();

    // A file manager that cannot be started is reported like a folder that cannot be made.
    if (! folder.isDirectory() || ! openFolderInFileManager (folder))
        projectLibrary.showMessage ("Could not open project folder.", true);
}

void CorvessaEditor::showLibraryReport (const ProjectLibraryReport& report)
{
    setStatus (report.status, report.succeeded ? Palette::libraryGreen : Palette::libraryOrange);
    statusHoldUntilMs = EditorClock::now() + (juce::uint32) report.holdMs;

    if (report.overlayMessage.isNotEmpty())
        projectLibrary.showMessage (report.overlayMessage, report.overlayIsError);
}

//==== support snapshot ==============================================================================

juce::String CorvessaEditor::makeSupportProjectSnapshot()
{
    const auto project = processor.exportPortableProject();

    if (processor.validatePortableProject (project).failed())
        return {};

    return makeSupportSnapshotText (project, juce::File (currentProjectFile));
}

juce::String CorvessaEditor::onSupportSnapshot()
{
    return makeSupportProjectSnapshot();
}

//==== chord presets =================================================================================

void CorvessaEditor::openChordJsonOverlay()
{
    if (isSyncFollower() || chordJsonOverlay == nullptr)
        return;

    const auto sections = processor.getSections();
    juce::var shown;

    if (sections.size() < 2)
    {
        auto section = processor.getWorkingSection();
        const auto active = sectionRow.selectedIndex;

        if (active >= 0 && active < (int) sections.size())
            section = sections[(size_t) active];

        shown = sectionToPortableJson (section);
    }
    else
    {
        juce::Array<juce::var> all;
        for (const auto& section : sections)
            all.add (sectionToPortableJson (section));
        shown = all;
    }

    // The refresh pauses while the overlay is open; every way of closing it starts it again.
    stopTimer (refreshTimerId);
    chordJsonOverlay->setBounds (0, 0, logicalWidth, logicalHeight);
    chordJsonOverlay->setJsonText (velmar::JsonWriter::toString (shown));
    chordJsonOverlay->setVisible (true);

    if (chordJsonOverlay->getJsonEditor().isShowing())
        chordJsonOverlay->getJsonEditor().grabKeyboardFocus();

    // The layout raises it over everything else.
    layoutContent();
}

void CorvessaEditor::applyChordPreset (const ChordPreset& preset)
{
    if (isSyncFollower())
        return;

    beginSectionHistoryStep();
    putSections ({ makeChordPresetSection (preset) }, 0);
    closeChordEditing();
    syncControlsKeepingHistory (true);
    commitSectionHistory();

    setStatus ("Status: JSON preset applied", Palette::green);
}

void CorvessaEditor::importSectionPalette (const std::vector<ChordPreset>& presets)
{
    if (isSyncFollower())
        return;

    beginSectionHistoryStep();

    const auto sections = makeSectionPalette (presets);
    if (sections.empty())
    {
        processor.setSections (sections, true);
        sectionRow.sections = sections;
        sectionRow.repaint();
    }
    else
    {
        putSections (sections, 0);
    }

    closeChordEditing();
    syncControlsKeepingHistory (! sections.empty());
    commitSectionHistory();

    setStatus ("Status: Section Palette imported", Palette::green);
}
