// The window's project library, chord presets and support snapshot, driven through the
// overlays' own actions on a real processor: what each operation does to the song and the
// library folder, and the status text, colour and hold it leaves.
#include "editor/EditorFixture.h"

#include "ProjectTestSupport.h"

#include "editor/look/Palette.h"
#include "harmony/ProgressionText.h"
#include "kit/json/JsonReader.h"
#include "kit/json/JsonWriter.h"
#include "processor/state/PortableProject.h"
#include "projects/FolderOpener.h"
#include "projects/ProjectFileDocument.h"
#include "projects/ProjectLibraryStorage.h"
#include "support/ComponentSnapshot.h"

namespace
{
juce::String jsonText (const juce::var& value)
{
    return velmar::JsonWriter::toString (value, true);
}

juce::var readJson (const juce::File& file)
{
    return velmar::JsonReader::parse (file.loadFileAsString());
}

juce::StringArray namesOf (const SectionList& sections)
{
    juce::StringArray names;
    for (const auto& section : sections)
        names.add (section.name);
    return names;
}

// Everything of a song that a project carries.
juce::String songOf (CorvessaProcessor& processor)
{
    return jsonText (processor.exportPortableProject());
}

const juce::KeyPress undoKey ('z', juce::ModifierKeys::commandModifier, 0);
const juce::KeyPress redoKey ('z', juce::ModifierKeys::commandModifier | juce::ModifierKeys::shiftModifier, 0);
} // namespace

class ProjectWindowTest : public EditorTest
{
protected:
    void SetUp() override
    {
        getProjectLibraryFolder().deleteRecursively();
        EditorTest::SetUp();
    }

    void TearDown() override
    {
        EditorTest::TearDown();
        setFolderOpenerForTesting ({});
        getProjectLibraryFolder().deleteRecursively();
    }

    ProjectLibraryOverlay& library() { return probe->projectLibrary(); }
    ChordJsonOverlay& jsonOverlay() { return probe->jsonOverlay(); }

    // "Projects" and "{}" clicked.
    void showLibrary() { editor->buttonClicked (dynamic_cast<juce::Button*> (probe->find ("Projects"))); }
    void openJsonOverlay() { editor->buttonClicked (dynamic_cast<juce::Button*> (probe->find ("{}"))); }

    static juce::File libraryFile (const juce::String& name) { return getProjectLibraryFolder().getChildFile (name); }

    // The song the window shows: these sections, the first selected.
    void useSong (const SectionList& sections)
    {
        processor->setSections (sections, true);
        processor->setSelectedSectionViewIndex (0);
        processor->setWorkingSection (sections.front());
        editor->syncControlsFromProcessor (true);
    }

    // "Projects", a name and a description typed, "Save".
    void saveThroughOverlay (const juce::String& name, const juce::String& description = {})
    {
        showLibrary();
        library().getNameEditor().setText (name, false);
        library().getDescriptionEditor().setText (description, false);
        library().submitSave();
    }

    // "Projects", the file's row, "Load".
    void loadThroughOverlay (const juce::File& file)
    {
        if (! library().isVisible())
            showLibrary();
        const auto& entries = library().getEntries();
        for (int i = 0; i < (int) entries.size(); ++i)
            if (entries[(size_t) i].file == file)
                library().selectRow (i);
        ASSERT_EQ (library().getEntries()[(size_t) library().getSelectedIndex()].file, file);
        library().loadSelected();
    }

    void expectStatus (const juce::String& text, juce::Colour colour, juce::uint32 holdMs)
    {
        EXPECT_EQ (probe->status().getText(), text);
        EXPECT_EQ (probe->status().findColour (juce::Label::textColourId), colour) << text;
        EXPECT_EQ (probe->holdUntil(), clock.now + holdMs) << text;
    }

    void expectOverlayMessage (const juce::String& text, bool isError)
    {
        EXPECT_EQ (library().getMessageLabel().getText(), text);
        EXPECT_EQ (library().getMessageLabel().findColour (juce::Label::textColourId), isError ? Palette::red : Palette::green)
            << text;
    }

    // Another program writes this project file: the envelope with these texts, copied in by cp.
    void rewriteWithOtherProgram (const juce::File& target, const juce::String& name, const juce::String& description)
    {
        const projecttest::ScratchFolder scratch;
        const auto source = scratch / "written elsewhere.json";
        projecttest::writeFile (source, projectDocumentToText (makeProjectFileDocument (
                                            makeProjectId(), name, description, projecttest::makeProject())));
        projecttest::copyWithOtherProgram (source, target);
    }
};

//==== saving ========================================================================================

TEST_F (ProjectWindowTest, SavesANewProjectThenOverwritesItKeepingItsId)
{
    useSong (song ({ { "Verse", "C Am F G" } }));
    saveThroughOverlay ("My Song", "  first take ");

    const auto file = libraryFile ("My Song.json");
    ASSERT_TRUE (file.existsAsFile());
    const auto text = file.loadFileAsString();
    EXPECT_FALSE (text.containsAnyOf ("\r\n"));   // one line

    const auto document = readJson (file);
    EXPECT_TRUE (validateProjectFile (document).wasOk());
    EXPECT_EQ (document["name"].toString(), "My Song");
    EXPECT_EQ (document["description"].toString(), "first take");
    const auto id = document["projectId"].toString();
    EXPECT_EQ (id, id.toLowerCase());
    EXPECT_EQ (jsonText (document["project"]), songOf (*processor));

    expectStatus ("Status: Project saved - My Song", Palette::libraryGreen, 2000);
    expectOverlayMessage ("Saved: My Song", false);
    ASSERT_EQ (library().getEntries().size(), 1u);
    EXPECT_EQ (library().getSelectedIndex(), 0);
    EXPECT_EQ (library().getDescriptionEditor().getText(), "first take");
    EXPECT_EQ (probe->currentProjectFile(), file.getFullPathName());

    // The same name in other letter case is the same project: asked first, then overwritten.
    useSong (song ({ { "Verse", "Dm G C" }, { "Chorus", "F G" } }));
    saveThroughOverlay ("my song");
    ASSERT_TRUE (library().isConfirming());
    EXPECT_EQ (library().getConfirmationLabel().getText(), "Overwrite existing project \"my song\"?");
    EXPECT_EQ (file.loadFileAsString(), text);

    clock.now += 100;
    library().confirmPending();
    expectStatus ("Status: Project overwritten - my song", Palette::libraryGreen, 2000);
    expectOverlayMessage ("Overwritten: my song", false);

    const auto overwritten = readJson (file);
    EXPECT_EQ (overwritten["projectId"].toString(), id);
    EXPECT_EQ (overwritten["name"].toString(), "my song");
    EXPECT_EQ (jsonText (overwritten["project"]), songOf (*processor));
    EXPECT_EQ (listProjectFiles (getProjectLibraryFolder()).size(), 1);
}

TEST_F (ProjectWindowTest, NamesThatShareAFileNameStayTwoProjects)
{
    useSong (song ({ { "Verse", "C G" } }));
    saveThroughOverlay ("Song v1.2");
    saveThroughOverlay ("Song v1.3");

    EXPECT_FALSE (library().isConfirming());
    expectStatus ("Status: Project saved - Song v1.3", Palette::libraryGreen, 2000);
    EXPECT_EQ (readJson (libraryFile ("Song v1.json"))["name"].toString(), "Song v1.2");
    EXPECT_EQ (readJson (libraryFile ("Song v1 (2).json"))["name"].toString(), "Song v1.3");
}

TEST_F (ProjectWindowTest, RefusesNamesWithoutAFileName)
{
    for (const auto* name : { "///", "..", "...", ":*?" })
    {
        SCOPED_TRACE (name);
        saveThroughOverlay (name);
        expectStatus ("Status: Project name required", Palette::libraryOrange, 2000);
        expectOverlayMessage ("Project name required", true);
        EXPECT_TRUE (probe->currentProjectFile().isEmpty());
    }

    // Nothing was written: the folder was not even made.
    EXPECT_FALSE (getProjectLibraryFolder().exists());
}

TEST_F (ProjectWindowTest, RefusesToSaveASongTheProcessorWouldNotTakeBack)
{
    // No sections at all: no project can hold that.
    processor->setSections ({}, true);
    saveThroughOverlay ("Empty");

    expectStatus ("Status: Current project is invalid", Palette::libraryOrange, 2000);
    EXPECT_TRUE (library().getMessageLabel().getText().startsWith ("Current project is invalid: "));
    EXPECT_GT (library().getMessageLabel().getText().length(), juce::String ("Current project is invalid: ").length());
    EXPECT_FALSE (libraryFile ("Empty.json").exists());
}

TEST_F (ProjectWindowTest, AFolderThatCannotBeMadeIsReported)
{
    // A file where the library folder belongs.
    ASSERT_TRUE (getProjectLibraryFolder().getParentDirectory().createDirectory());
    ASSERT_TRUE (getProjectLibraryFolder().replaceWithText ("in the way"));

    useSong (song ({ { "Verse", "C G" } }));
    saveThroughOverlay ("Blocked");
    expectStatus ("Status: Could not create project folder", Palette::libraryOrange, 2000);
    expectOverlayMessage ("Could not create project folder", true);

    auto opened = 0;
    setFolderOpenerForTesting ([&opened] (const juce::File&) { return ++opened > 0; });
    library().showMessage ({}, false);
    ASSERT_NE (library().onOpenFolder, nullptr);
    library().onOpenFolder();
    expectOverlayMessage ("Could not open project folder.", true);
    EXPECT_EQ (opened, 0);
}

//==== outside changes ===============================================================================

TEST_F (ProjectWindowTest, RefusesToSaveOverAProjectAnotherProgramChangedOrRemoved)
{
    const struct
    {
        const char* what;
        bool removes;
        const char* status;
        const char* overlay;
    } cases[] = {
        { "rewritten", false, "Status: Project changed outside Corvessa", "Project changed outside Corvessa. Reload it before saving." },
        { "removed", true, "Status: Project was deleted outside Corvessa",
          "Project was deleted outside Corvessa. Reload or save with a new name." },
    };

    useSong (song ({ { "Verse", "C Am F G" } }));

    for (const auto& row : cases)
    {
        SCOPED_TRACE (row.what);
        const juce::String name (row.what);
        const auto file = libraryFile (name + ".json");

        saveThroughOverlay (name);
        ASSERT_TRUE (file.existsAsFile());

        if (row.removes)
            projecttest::removeWithOtherProgram (file);
        else
            rewriteWithOtherProgram (file, name, "edited elsewhere");
        const auto outside = file.exists() ? file.loadFileAsString() : juce::String();

        clock.now += 10;
        saveThroughOverlay (name);
        if (library().isConfirming())
            library().confirmPending();

        expectStatus (row.status, Palette::libraryOrange, 4000);
        expectOverlayMessage (row.overlay, true);
        EXPECT_EQ (file.exists(), ! row.removes);
        if (! row.removes)
        {
            EXPECT_EQ (file.loadFileAsString(), outside);
        }

        // The refusal is held twice as long as other texts.
        waitForCompile();
        clock.now += 3999;
        probe->tick();
        EXPECT_EQ (probe->status().getText(), row.status);
        clock.now += 1;
        probe->tick();
        EXPECT_NE (probe->status().getText(), row.status);
    }

    // Loading the rewritten file again makes it the window's own: the next save goes through.
    loadThroughOverlay (libraryFile ("rewritten.json"));
    saveThroughOverlay ("rewritten");
    ASSERT_TRUE (library().isConfirming());
    library().confirmPending();
    expectStatus ("Status: Project overwritten - rewritten", Palette::libraryGreen, 2000);
}

TEST_F (ProjectWindowTest, KeepsAProjectRewrittenWhileTheOverwriteQuestionIsOpen)
{
    // Another instance saved "Shared"; this window asks to overwrite it, and before the user
    // confirms another program rewrites the file.
    const auto file = libraryFile ("Shared.json");
    ASSERT_TRUE (getProjectLibraryFolder().createDirectory());
    projecttest::writeFile (file, projectDocumentToText (makeProjectFileDocument (makeProjectId(), "Shared", {},
                                                                                  projecttest::makeProject())));

    useSong (song ({ { "Verse", "C G" } }));
    saveThroughOverlay ("Shared");
    ASSERT_TRUE (library().isConfirming());

    rewriteWithOtherProgram (file, "Shared", "a newer take");
    const auto outside = file.loadFileAsString();

    library().confirmPending();
    expectStatus ("Status: Project changed outside Corvessa", Palette::libraryOrange, 4000);
    expectOverlayMessage ("Project changed outside Corvessa. Reload it before saving.", true);
    EXPECT_EQ (file.loadFileAsString(), outside);
    EXPECT_TRUE (probe->currentProjectFile().isEmpty());
}

//==== loading =======================================================================================

TEST_F (ProjectWindowTest, LoadsAProjectAsOneUndoStepWithoutAnnouncingAnOutsideEdit)
{
    const auto saved = song ({ { "Intro", "C Am F G" } });
    useSong (saved);
    saveThroughOverlay ("Keep", "the intro");
    const auto savedSong = songOf (*processor);

    useSong (song ({ { "Verse", "Dm G C" }, { "Chorus", "F G Em Am" } }));
    const auto before = songOf (*processor);
    // Text typed while the library is open: "Projects" itself asks before abandoning an edit.
    showLibrary();
    probe->textPanel().setVisible (true);

    clock.now += 100;
    loadThroughOverlay (libraryFile ("Keep.json"));

    EXPECT_FALSE (library().isVisible());
    EXPECT_EQ (songOf (*processor), savedSong);
    EXPECT_EQ (namesOf (probe->sectionRow().sections), juce::StringArray ("Intro"));
    EXPECT_EQ (processor->getProgression(), "C Am F G");
    EXPECT_FALSE (probe->textPanel().isVisible());   // chord editing closed
    expectStatus ("Status: Project loaded - Keep", Palette::libraryGreen, 2000);
    EXPECT_TRUE (library().getMessageLabel().getText().isEmpty());
    EXPECT_EQ (probe->currentProjectFile(), libraryFile ("Keep.json").getFullPathName());

    // The window applied it itself: the tick does not report it as an outside edit.
    probe->tick();
    EXPECT_EQ (probe->status().getText(), "Status: Project loaded - Keep");
}

TEST_F (ProjectWindowTest, RefusesFilesItCannotLoadAndKeepsTheSong)
{
    ASSERT_TRUE (getProjectLibraryFolder().createDirectory());

    const auto envelope = [] (const juce::String& plugin, const juce::var& project)
    {
        auto document = makeProjectFileDocument (makeProjectId(), "Broken", {}, project);
        document.getDynamicObject()->setProperty ("plugin", plugin);
        return projectDocumentToText (document);
    };

    auto noSections = projecttest::makeProject();
    noSections.getDynamicObject()->setProperty ("sections", juce::Array<juce::var>());

    const struct
    {
        const char* what;
        std::function<void (const juce::File&)> write;
        const char* status;
    } cases[] = {
        { "missing", [] (const juce::File&) {}, "Status: Could not read project file" },
        { "empty", [] (const juce::File& f) { projecttest::writeFile (f, {}); }, "Status: Could not read project file" },
        { "over 16 MiB", [] (const juce::File& f)
          {
              juce::MemoryBlock block ((size_t) maxProjectFileBytes + 1, true);
              block.fillWith (' ');
              ASSERT_TRUE (f.replaceWithData (block.getData(), block.getSize()));
          },
          "Status: Could not read project file" },
        { "not an object", [] (const juce::File& f) { projecttest::writeFile (f, "[1, 2]"); }, "Status: Invalid project file" },
        { "another plug-in's", [&] (const juce::File& f) { projecttest::writeFile (f, envelope ("Other", projecttest::makeProject())); },
          "Status: Project belongs to another plugin" },
        { "no sections", [&] (const juce::File& f) { projecttest::writeFile (f, envelope ("Corvessa", noSections)); },
          "Status: Project data is invalid" },
    };

    useSong (song ({ { "Verse", "C Am F G" } }));
    const auto before = songOf (*processor);

    for (const auto& row : cases)
    {
        SCOPED_TRACE (row.what);
        const auto file = libraryFile (juce::String (row.what) + ".json");
        row.write (file);

        clock.now += 10;
        ASSERT_NE (library().onLoad, nullptr);
        library().onLoad (file);

        expectStatus (row.status, Palette::libraryOrange, 2000);
        EXPECT_EQ (songOf (*processor), before);
        EXPECT_TRUE (probe->currentProjectFile().isEmpty());
        file.deleteFile();
    }
}

//==== deleting and the folder =======================================================================

TEST_F (ProjectWindowTest, DeletingTheCurrentProjectForgetsIt)
{
    useSong (song ({ { "Verse", "C G" } }));
    saveThroughOverlay ("Gone");
    const auto file = libraryFile ("Gone.json");
    const auto firstId = readJson (file)["projectId"].toString();

    showLibrary();
    ASSERT_EQ (library().getSelectedIndex(), 0);   // the current project
    library().deleteSelected();
    ASSERT_TRUE (library().isConfirming());
    library().confirmPending();

    EXPECT_FALSE (file.exists());
    expectStatus ("Status: Project deleted - Gone", Palette::libraryGreen, 2000);
    expectOverlayMessage ("Deleted: Gone", false);
    EXPECT_TRUE (library().getEntries().empty());
    EXPECT_TRUE (library().getNameEditor().getText().isEmpty());
    EXPECT_TRUE (probe->currentProjectFile().isEmpty());

    // The name is free again: a new project with a new id.
    saveThroughOverlay ("Gone");
    expectStatus ("Status: Project saved - Gone", Palette::libraryGreen, 2000);
    EXPECT_NE (readJson (file)["projectId"].toString(), firstId);

    // A file that is already gone cannot be deleted.
    file.deleteFile();
    clock.now += 10;
    library().onDelete (file);
    expectStatus ("Status: Could not delete project", Palette::libraryOrange, 2000);
    expectOverlayMessage ("Could not delete project", true);
}

TEST_F (ProjectWindowTest, OpensTheLibraryFolderMakingItFirst)
{
    juce::Array<juce::File> opened;
    auto opens = true;
    setFolderOpenerForTesting ([&] (const juce::File& folder)
    {
        opened.add (folder);
        return opens;
    });

    showLibrary();
    EXPECT_FALSE (getProjectLibraryFolder().exists());   // showing the list makes nothing
    library().onOpenFolder();
    EXPECT_TRUE (getProjectLibraryFolder().isDirectory());
    ASSERT_EQ (opened.size(), 1);
    EXPECT_EQ (opened[0], getProjectLibraryFolder());
    EXPECT_TRUE (library().getMessageLabel().getText().isEmpty());

    // A file manager that does not start is not reported as opened.
    opens = false;
    library().onOpenFolder();
    expectOverlayMessage ("Could not open project folder.", true);
}

//==== support snapshot ==============================================================================

TEST_F (ProjectWindowTest, SupportSnapshotIsTheProjectEnvelopeOnOneLine)
{
    useSong (song ({ { "Verse", "C Am F G" } }));
    ASSERT_NE (probe->support().getProjectSnapshot, nullptr);

    const auto anonymous = probe->support().getProjectSnapshot();
    EXPECT_FALSE (anonymous.containsAnyOf ("\r\n"));
    const auto document = velmar::JsonReader::parse (anonymous);
    EXPECT_TRUE (validateProjectFile (document).wasOk()) << anonymous;
    EXPECT_EQ (document["name"].toString(), "Corvessa Support Snapshot");
    EXPECT_EQ (document["description"].toString(), "");
    EXPECT_EQ (jsonText (document["project"]), songOf (*processor));
    EXPECT_NE (velmar::JsonReader::parse (probe->support().getProjectSnapshot())["projectId"], document["projectId"]);
    EXPECT_FALSE (getProjectLibraryFolder().exists());   // nothing written

    saveThroughOverlay ("Named", "for the support team");
    const auto named = velmar::JsonReader::parse (probe->support().getProjectSnapshot());
    EXPECT_EQ (named["name"].toString(), "Named");
    EXPECT_EQ (named["description"].toString(), "for the support team");

    processor->setSections ({}, true);
    EXPECT_EQ (probe->support().getProjectSnapshot(), "");
}

//==== followers =====================================================================================

TEST_F (ProjectWindowTest, AFollowerWindowLeavesTheSongAndItsOverlaysAlone)
{
    useSong (song ({ { "Verse", "C Am F G" } }));
    saveThroughOverlay ("Mine");
    library().close();
    useSong (song ({ { "Verse", "Dm G C" }, { "Chorus", "F G" } }));

    processor->setSyncMode (2);
    ASSERT_EQ (processor->getSyncMode(), 2);
    const auto before = songOf (*processor);
    editor->startTimer (CorvessaEditor::refreshTimerId, 33);

    showLibrary();
    EXPECT_FALSE (library().isVisible());
    library().onLoad (libraryFile ("Mine.json"));
    openJsonOverlay();
    EXPECT_FALSE (jsonOverlay().isVisible());
    EXPECT_TRUE (editor->isTimerRunning (CorvessaEditor::refreshTimerId));

    ChordPreset preset;
    preset.progression = "E A";
    jsonOverlay().onApply (preset);
    jsonOverlay().onApplyMany ({ preset, preset });
    EXPECT_EQ (songOf (*processor), before);

    // Deleting touches only the library, so a follower may.
    library().onDelete (libraryFile ("Mine.json"));
    EXPECT_FALSE (libraryFile ("Mine.json").exists());
    editor->stopTimer (CorvessaEditor::refreshTimerId);
}

//==== chord presets =================================================================================

TEST_F (ProjectWindowTest, ChordJsonOverlayShowsTheSongAndPausesTheRefresh)
{
    useSong (song ({ { "Solo", "C G Am F" } }));
    editor->startTimer (CorvessaEditor::refreshTimerId, 33);
    jsonOverlay().showError ("left from last time");

    openJsonOverlay();
    EXPECT_TRUE (jsonOverlay().isVisible());
    EXPECT_EQ (jsonOverlay().getBounds(), juce::Rectangle<int> (0, 0, 600, 860));
    auto* inFront = probe->canvas().getComponentAt (300, 430);
    EXPECT_TRUE (inFront == &jsonOverlay() || jsonOverlay().isParentOf (inFront));
    EXPECT_FALSE (editor->isTimerRunning (CorvessaEditor::refreshTimerId));
    EXPECT_TRUE (jsonOverlay().getMessageLabel().getText().isEmpty());
    const auto one = velmar::JsonReader::parse (jsonOverlay().getJsonEditor().getText());
    EXPECT_EQ (jsonText (one), jsonText (sectionToPortableJson (processor->getSections()[0])));

    jsonOverlay().dismiss();
    EXPECT_TRUE (editor->isTimerRunning (CorvessaEditor::refreshTimerId));

    useSong (song ({ { "A", "C G" }, { "B", "F G" }, { "C", "Am Em" } }));
    openJsonOverlay();
    const auto all = velmar::JsonReader::parse (jsonOverlay().getJsonEditor().getText());
    ASSERT_TRUE (all.isArray());
    ASSERT_EQ (all.size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ (jsonText (all[i]), jsonText (sectionToPortableJson (processor->getSections()[(size_t) i])));

    // Escape in the field closes it the same way.
    EXPECT_TRUE (jsonOverlay().getJsonEditor().keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_TRUE (pumpUntil ([this] { return ! jsonOverlay().isVisible(); }));
    EXPECT_TRUE (editor->isTimerRunning (CorvessaEditor::refreshTimerId));
    editor->stopTimer (CorvessaEditor::refreshTimerId);
}

TEST_F (ProjectWindowTest, APresetReplacesTheSongAsOneUndoStep)
{
    useSong (song ({ { "Verse", "Dm G C" }, { "Chorus", "F G Em Am" } }));
    const auto before = songOf (*processor);
    probe->textPanel().setVisible (true);
    const auto holdBefore = probe->holdUntil();

    openJsonOverlay();
    jsonOverlay().getJsonEditor().setText (R"({"name": " Night ", "progression": " am f  c g", "scale": "Whole Tone",
                                               "bpm": 92, "voicing": "jazz", "arrangement": {"bass_octave": 9}})");
    jsonOverlay().applyJsonText();

    EXPECT_FALSE (jsonOverlay().isVisible());
    EXPECT_TRUE (editor->isTimerRunning (CorvessaEditor::refreshTimerId));
    editor->stopTimer (CorvessaEditor::refreshTimerId);

    const auto sections = processor->getSections();
    ASSERT_EQ (sections.size(), 1u);
    const auto& section = sections[0];
    EXPECT_EQ (section.name, "Night");
    EXPECT_EQ (section.progression, normaliseProgressionText ("am f  c g"));
    EXPECT_EQ (section.rootKey, "");
    EXPECT_EQ (section.scale, "Whole Tone");
    EXPECT_EQ (section.suggestedBpm, "92 BPM");
    EXPECT_EQ (section.bassVoicing, "Jazz");
    EXPECT_EQ (section.bodyVoicing, "Jazz");
    EXPECT_EQ (section.bassOctave, 4);
    EXPECT_EQ (processor->getSelectedSectionViewIndex(), 0);
    EXPECT_EQ (processor->getProgression(), section.progression);
    EXPECT_EQ (namesOf (probe->sectionRow().sections), juce::StringArray ("Night"));
    EXPECT_EQ (probe->sectionRow().selectedIndex, 0);
    EXPECT_FALSE (probe->textPanel().isVisible());

    EXPECT_EQ (probe->status().getText(), "Status: JSON preset applied");
    EXPECT_EQ (probe->status().findColour (juce::Label::textColourId), Palette::green);
    EXPECT_EQ (probe->holdUntil(), holdBefore);
}

TEST_F (ProjectWindowTest, APaletteReplacesEverySectionAsOneUndoStep)
{
    useSong (song ({ { "Verse", "Dm G C" } }));
    const auto before = songOf (*processor);

    // Forty presets: the first two with scales that do and do not begin with a root, the third
    // without a name.
    juce::StringArray items;
    items.add (R"({"name": "First", "progression": "C G", "scale": "F# Lydian"})");
    items.add (R"({"name": "Second", "progression": "Am F", "scale": "Pent. Minor"})");
    items.add (R"({"name": "", "progression": "E A"})");
    for (int i = 3; i < 40; ++i)
        items.add ("{\"name\": \"P" + juce::String (i) + "\", \"progression\": \"D A\"}");

    openJsonOverlay();
    jsonOverlay().getJsonEditor().setText ("[" + items.joinIntoString (",\n") + "]");
    jsonOverlay().applyJsonText();
    editor->stopTimer (CorvessaEditor::refreshTimerId);

    const auto sections = processor->getSections();
    ASSERT_EQ (sections.size(), 32u);
    EXPECT_EQ (sections[0].rootKey, "F#");
    EXPECT_EQ (sections[0].scale, "Lydian");
    EXPECT_EQ (sections[1].rootKey, "");
    EXPECT_EQ (sections[1].scale, "Pent. Minor");
    EXPECT_FALSE (sections[2].name.trim().isEmpty());
    EXPECT_EQ (sections[31].name, "P31");
    EXPECT_EQ (processor->getSelectedSectionViewIndex(), 0);
    EXPECT_EQ (processor->getProgression(), "C G");
    EXPECT_EQ (probe->sectionRow().sections.size(), 32u);
    EXPECT_EQ (probe->sectionRow().selectedIndex, 0);
    EXPECT_EQ (probe->status().getText(), "Status: Section Palette imported");
    EXPECT_EQ (probe->status().findColour (juce::Label::textColourId), Palette::green);
}

//==== pictures ======================================================================================

TEST_F (ProjectWindowTest, PicturesOfTheOverlaysInTheWindow)
{
    useSong (song ({ { "A - Intro", "C:2 Am F G" }, { "B - Verse", "Dm7 G7 Cmaj7 A7" } }));
    saveThroughOverlay ("Night Drive", "Two sections in C");
    saveThroughOverlay ("Morning", "Sketch");
    showLibrary();
    probe->layout();

    auto image = corvessa::test::writeSnapshot (*editor, "window-project-library");
    const auto card = library().getCardBounds();
    EXPECT_EQ (card, juce::Rectangle<int> (40, 170, 520, 520));
    EXPECT_EQ (image.getPixelAt (card.getX() + 10, card.getBottom() - 10), Palette::mantle);
    EXPECT_TRUE (corvessa::test::hasInk (image, card.withHeight (55), Palette::base));   // the title

    library().close();
    openJsonOverlay();
    editor->stopTimer (CorvessaEditor::refreshTimerId);
    image = corvessa::test::writeSnapshot (*editor, "window-chord-json");
    EXPECT_TRUE (corvessa::test::hasInk (image, jsonOverlay().getJsonEditor().getBounds(), Palette::mantle, 50));   // the song's JSON
}
