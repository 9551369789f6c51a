#include "projects/ProjectSaveRequest.h"

#include "projects/ProjectFileDocument.h"
#include "projects/ProjectLibraryStorage.h"

#include "ProjectTestSupport.h"

#include <csignal>
#include <sys/resource.h>

using namespace projecttest;

namespace
{
    struct ProjectSaveRequestTest : ::testing::Test
    {
        ScratchFolder folder;
        juce::String currentFile, currentHash;

        ProjectLibraryReport save (const juce::File& target, const juce::String& name, const juce::String& description = {},
                                   const juce::var& project = makeProject())
        {
            return ProjectSaveRequest::make (target, project, name, description).perform (currentFile, currentHash);
        }

        static juce::var readBack (const juce::File& file) { return juce::JSON::parse (file.loadFileAsString()); }

        void expectRefused (const ProjectLibraryReport& report, const char* status, const char* overlay)
        {
            EXPECT_FALSE (report.succeeded);
            EXPECT_EQ (report.status, status);
            EXPECT_EQ (report.overlayMessage, overlay);
            EXPECT_TRUE (report.overlayIsError);
            EXPECT_EQ (report.holdMs, 4000);
        }
    };
} // namespace

TEST_F (ProjectSaveRequestTest, FirstSaveWritesTheEnvelope)
{
    const auto target = folder / "My Song.json";
    const auto report = save (target, " My Song ", " first take ", makeProject ({ "Intro", "Verse" }));

    EXPECT_TRUE (report.succeeded);
    EXPECT_EQ (report.status, "Status: Project saved - My Song");
    EXPECT_EQ (report.overlayMessage, "Saved: My Song");
    EXPECT_FALSE (report.overlayIsError);
    EXPECT_EQ (report.holdMs, 2000);

    const auto text = target.loadFileAsString();
    EXPECT_FALSE (text.containsAnyOf ("\r\n"));
    EXPECT_FALSE (text.startsWith ("\xef\xbb\xbf"));

    const auto document = readBack (target);
    EXPECT_TRUE (validateProjectFile (document).wasOk());
    EXPECT_EQ (document["name"].toString(), "My Song");
    EXPECT_EQ (document["description"].toString(), "first take");
    EXPECT_EQ (document["projectId"].toString(), document["projectId"].toString().toLowerCase());
    EXPECT_EQ (juce::JSON::toString (document["project"], true), juce::JSON::toString (makeProject ({ "Intro", "Verse" }), true));

    EXPECT_EQ (currentFile, target.getFullPathName());
    EXPECT_EQ (currentHash, hashFileContents (target));
}

TEST_F (ProjectSaveRequestTest, OverwriteKeepsTheProjectId)
{
    const auto target = folder / "My Song.json";
    ASSERT_TRUE (save (target, "My Song").succeeded);
    const auto id = readBack (target)["projectId"].toString();

    const auto report = save (target, "my song", "second");
    EXPECT_EQ (report.status, "Status: Project overwritten - my song");
    EXPECT_EQ (report.overlayMessage, "Overwritten: my song");
    EXPECT_EQ (readBack (target)["projectId"].toString(), id);
    EXPECT_EQ (readBack (target)["name"].toString(), "my song");

    // A file without a usable id gets a new one.
    writeFile (target, R"({"format": "velmar-plugin-project", "version": 2, "projectId": "x"})");
    currentFile.clear();
    ASSERT_TRUE (save (target, "My Song").succeeded);
    EXPECT_TRUE (isValidProjectId (readBack (target)["projectId"].toString()));
    EXPECT_NE (readBack (target)["projectId"].toString(), id);
}

TEST_F (ProjectSaveRequestTest, CurrentFileChangedOrDeletedOutsideIsRefused)
{
    const auto target = folder / "Song.json";
    ASSERT_TRUE (save (target, "Song").succeeded);

    // Another program rewrites the file, even with the same content.
    const auto copy = folder / "copy.bin";
    ASSERT_TRUE (target.copyFileTo (copy));
    writeFile (copy, target.loadFileAsString() + " ");
    copyWithOtherProgram (copy, target);
    const auto rewritten = target.loadFileAsString();

    expectRefused (save (target, "Song"), "Status: Project changed outside Corvessa",
                   "Project changed outside Corvessa. Reload it before saving.");
    EXPECT_EQ (target.loadFileAsString(), rewritten);

    removeWithOtherProgram (target);
    expectRefused (save (target, "Song"), "Status: Project was deleted outside Corvessa",
                   "Project was deleted outside Corvessa. Reload or save with a new name.");
    EXPECT_FALSE (target.exists());

    // Knowing the file as it is now (as a reload does) clears the refusal.
    copyWithOtherProgram (copy, target);
    currentHash = hashFileContents (target);
    EXPECT_TRUE (save (target, "Song").succeeded);
}

TEST_F (ProjectSaveRequestTest, FileAppearingBeforeTheSaveRunsIsRefused)
{
    const auto target = folder / "New.json";
    const auto request = ProjectSaveRequest::make (target, makeProject(), "New", {});
    EXPECT_FALSE (request.targetExisted);

    const auto other = folder / "other.bin";
    writeFile (other, "{\"name\": \"Theirs\"}");
    copyWithOtherProgram (other, target);

    expectRefused (request.perform (currentFile, currentHash), "Status: Project file appeared outside Corvessa",
                   "A project with this name was created outside Corvessa. Choose another name.");
    EXPECT_EQ (target.loadFileAsString(), other.loadFileAsString());
    EXPECT_TRUE (currentFile.isEmpty());
}

TEST_F (ProjectSaveRequestTest, ConfirmedOverwriteOfAFileRewrittenMeanwhileIsRefused)
{
    // Another project's file, not this window's: the user is asked, and meanwhile another
    // program writes over it. What they agreed to replace is gone, so nothing is written.
    const auto target = folder / "Theirs.json";
    ASSERT_TRUE (save (target, "Theirs").succeeded);
    currentFile.clear();
    currentHash.clear();

    const auto request = ProjectSaveRequest::make (target, makeProject(), "Theirs", {});
    EXPECT_TRUE (request.targetExisted);

    const auto newer = folder / "newer.bin";
    writeFile (newer, "{\"name\": \"Theirs\", \"edited\": true}");
    copyWithOtherProgram (newer, target);

    expectRefused (request.perform (currentFile, currentHash), "Status: Project changed outside Corvessa",
                   "Project changed outside Corvessa. Reload it before saving.");
    EXPECT_EQ (target.loadFileAsString(), newer.loadFileAsString());

    // Removed meanwhile: refused as well, nothing is recreated.
    const auto again = ProjectSaveRequest::make (target, makeProject(), "Theirs", {});
    removeWithOtherProgram (target);
    expectRefused (again.perform (currentFile, currentHash), "Status: Project was deleted outside Corvessa",
                   "Project was deleted outside Corvessa. Reload or save with a new name.");
    EXPECT_FALSE (target.exists());

    // Unchanged since the question: the overwrite goes ahead.
    copyWithOtherProgram (newer, target);
    EXPECT_TRUE (ProjectSaveRequest::make (target, makeProject(), "Theirs", {}).perform (currentFile, currentHash).succeeded);
}

TEST_F (ProjectSaveRequestTest, WriteFailureIsReported)
{
    const auto before = (folder / "Kept.json").getFullPathName();
    currentFile = before;

    // The folder the file should go into is missing, so nothing can be written.
    const auto report = ProjectSaveRequest::make ((folder / "missing").getChildFile ("x.json"), makeProject(), "X", {})
                            .perform (currentFile, currentHash);
    EXPECT_FALSE (report.succeeded);
    EXPECT_EQ (report.status, "Status: Could not save project");
    EXPECT_EQ (report.overlayMessage, "Could not save project");
    EXPECT_TRUE (report.overlayIsError);
    EXPECT_EQ (report.holdMs, 2000);
    EXPECT_EQ (currentFile, before);
}

TEST_F (ProjectSaveRequestTest, AFailedWriteKeepsTheOldFile)
{
    const auto target = folder / "Song.json";
    ASSERT_TRUE (save (target, "Song").succeeded);
    const auto before = target.loadFileAsString();

    // The system refuses every byte past the first 64 of a file, as a full disk would.
    const auto oldHandler = std::signal (SIGXFSZ, SIG_IGN);
    rlimit old {};
    ASSERT_EQ (getrlimit (RLIMIT_FSIZE, &old), 0);
    rlimit tight = old;
    tight.rlim_cur = 64;
    ASSERT_EQ (setrlimit (RLIMIT_FSIZE, &tight), 0);

    const auto report = save (target, "Song", "a description long enough to pass the limit");

    setrlimit (RLIMIT_FSIZE, &old);
    std::signal (SIGXFSZ, oldHandler);

    EXPECT_FALSE (report.succeeded);
    EXPECT_EQ (report.status, "Status: Could not save project");
    EXPECT_EQ (target.loadFileAsString(), before);
    EXPECT_EQ (folder.get().getNumberOfChildFiles (juce::File::findFiles | juce::File::ignoreHiddenFiles, "*"), 1);
    EXPECT_EQ (folder.get().getNumberOfChildFiles (juce::File::findFiles, "*"), 1);   // no temporary left
}
