#include "projects/ProjectLibraryActions.h"

#include "projects/ProjectFileDocument.h"
#include "projects/ProjectLibraryStorage.h"

#include "ProjectTestSupport.h"

#include <filesystem>

using namespace projecttest;

namespace
{
    juce::File writeProjectFile (const ScratchFolder& folder, const juce::String& fileName, const juce::var& document)
    {
        const auto file = folder / fileName;
        writeFile (file, projectDocumentToText (document));
        return file;
    }
} // namespace

TEST (ProjectLibraryActions, DeletingTheCurrentProjectForgetsIt)
{
    ScratchFolder folder;
    const auto current = writeProjectFile (folder, "a.json", makeProjectFileDocument (makeProjectId(), "Alpha", "", makeProject()));
    const auto other = writeProjectFile (folder, "b.json", makeProjectFileDocument (makeProjectId(), "Beta", "", makeProject()));

    juce::String currentFile = current.getFullPathName(), currentHash = hashFileContents (current);

    auto report = deleteProjectFile (other, currentFile, currentHash);
    EXPECT_TRUE (report.succeeded);
    EXPECT_EQ (report.status, "Status: Project deleted - Beta");
    EXPECT_EQ (report.overlayMessage, "Deleted: Beta");
    EXPECT_FALSE (other.exists());
    EXPECT_EQ (currentFile, current.getFullPathName());

    report = deleteProjectFile (current, currentFile, currentHash);
    EXPECT_EQ (report.status, "Status: Project deleted - Alpha");
    EXPECT_TRUE (currentFile.isEmpty());
    EXPECT_TRUE (currentHash.isEmpty());

    report = deleteProjectFile (current, currentFile, currentHash);
    EXPECT_FALSE (report.succeeded);
    EXPECT_EQ (report.status, "Status: Could not delete project");
    EXPECT_EQ (report.overlayMessage, "Could not delete project");
    EXPECT_TRUE (report.overlayIsError);
}

TEST (ProjectLibraryActions, LoadingReadsAndChecksTheEnvelope)
{
    ScratchFolder folder;
    const auto file = writeProjectFile (folder, "Song.json",
                                        makeProjectFileDocument (makeProjectId(), "My Song", "", makeProject ({ "A", "B" })));

    const auto loaded = readProjectFileForLoading (file);
    ASSERT_TRUE (loaded.ok);
    EXPECT_EQ (loaded.name, "My Song");
    EXPECT_EQ (loaded.hash, hashFileContents (file));
    EXPECT_EQ (juce::JSON::toString (loaded.project, true), juce::JSON::toString (makeProject ({ "A", "B" }), true));

    auto foreign = makeProjectFileDocument (makeProjectId(), "X", "", makeProject());
    foreign.getDynamicObject()->setProperty ("plugin", "Lumen");

    const auto empty = folder / "empty.json";
    ASSERT_TRUE (empty.create());
    const auto oversized = folder / "big.json";
    ASSERT_TRUE (oversized.create());
    std::filesystem::resize_file (oversized.getFullPathName().toStdString(), (std::uintmax_t) maxProjectFileBytes + 1);

    const struct { juce::File file; const char* status; } failures[] = {
        { folder / "missing.json", "Status: Could not read project file" },
        { empty, "Status: Could not read project file" },
        { oversized, "Status: Could not read project file" },
        { writeProjectFile (folder, "list.json", juce::Array<juce::var> { 1 }), "Status: Invalid project file" },
        { writeProjectFile (folder, "foreign.json", foreign), "Status: Project belongs to another plugin" },
    };

    for (const auto& f : failures)
    {
        const auto result = readProjectFileForLoading (f.file);
        EXPECT_FALSE (result.ok) << f.file.getFileName();
        EXPECT_EQ (result.failure.status, f.status) << f.file.getFileName();
        EXPECT_FALSE (result.failure.succeeded);
        EXPECT_TRUE (result.failure.overlayMessage.isEmpty());
    }

    // Deep nesting is refused as broken JSON rather than taking the stack down.
    const auto deep = folder / "deep.json";
    writeFile (deep, juce::String::repeatedString ("[", 100000));
    EXPECT_EQ (readProjectFileForLoading (deep).failure.status, "Status: Invalid project file");
}

TEST (ProjectLibraryActions, SupportSnapshotIsAnEnvelopeOnOneLine)
{
    ScratchFolder folder;

    const auto anonymous = makeSupportSnapshotText (makeProject(), {});
    EXPECT_FALSE (anonymous.containsAnyOf ("\r\n"));
    const auto document = juce::JSON::parse (anonymous);
    EXPECT_TRUE (validateProjectFile (document).wasOk());
    EXPECT_EQ (document["name"].toString(), "Corvessa Support Snapshot");
    EXPECT_EQ (document["description"].toString(), "");

    const auto file = writeProjectFile (folder, "Mine.json", makeProjectFileDocument (makeProjectId(), "Mine", "Notes", makeProject()));
    const auto named = juce::JSON::parse (makeSupportSnapshotText (makeProject(), file));
    EXPECT_EQ (named["name"].toString(), "Mine");
    EXPECT_EQ (named["description"].toString(), "Notes");
    EXPECT_NE (named["projectId"].toString(), juce::JSON::parse (file.loadFileAsString())["projectId"].toString());

    const auto before = folder.get().findChildFiles (juce::File::findFiles, true).size();
    makeSupportSnapshotText (makeProject(), folder / "Gone.json");
    EXPECT_EQ (folder.get().findChildFiles (juce::File::findFiles, true).size(), before);
}
