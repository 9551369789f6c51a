#include "projects/ProjectLibraryStorage.h"

#include "projects/ProjectFileDocument.h"

#include "ProjectTestSupport.h"

#include <filesystem>

using namespace projecttest;

namespace
{
    juce::StringArray namesOf (const juce::Array<juce::File>& files)
    {
        juce::StringArray names;
        for (const auto& f : files)
            names.add (f.getFileName());
        return names;
    }

    void writeProjectFile (const juce::File& file, const juce::String& name, const juce::String& description = {})
    {
        writeFile (file, projectDocumentToText (makeProjectFileDocument (makeProjectId(), name, description, makeProject())));
    }
} // namespace

TEST (ProjectLibraryStorage, FolderLiesInTheUsersApplicationData)
{
    const auto folder = getProjectLibraryFolder();
    EXPECT_EQ (folder, juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory)
                           .getChildFile ("VELMAR/Corvessa/projects"));
    EXPECT_FALSE (folder.exists());   // naming it creates nothing
}

TEST (ProjectLibraryStorage, ListsJsonFilesInNaturalOrderSkippingHiddenOnes)
{
    ScratchFolder folder;

    for (const auto* name : { "Song 10.json", "song 2.json", "Alpha.json", "notes.txt",
                              ".Song 3.json", ".tmp-Alpha.json" })
        writeFile (folder / name, "{}");

    (folder / "Sub").createDirectory();
    writeFile ((folder / "Sub").getChildFile ("Inner.json"), "{}");

    EXPECT_EQ (namesOf (listProjectFiles (folder.get())), juce::StringArray ({ "Alpha.json", "song 2.json", "Song 10.json" }));
    EXPECT_TRUE (listProjectFiles (folder / "absent").isEmpty());
    EXPECT_TRUE (listProjectFiles (folder / "Alpha.json").isEmpty());
}

TEST (ProjectLibraryStorage, EntriesCarryDisplayNamesAndSortByThem)
{
    ScratchFolder folder;
    writeProjectFile (folder / "a.json", "Zebra", "striped");
    writeProjectFile (folder / "b.json", "apple 10");
    writeProjectFile (folder / "c.json", "Apple 9");
    writeFile (folder / "Plain Text.json", "not json at all");

    const auto entries = makeProjectLibraryEntries (listProjectFiles (folder.get()));
    ASSERT_EQ (entries.size(), 4u);
    EXPECT_EQ (entries[0].name, "Apple 9");
    EXPECT_EQ (entries[1].name, "apple 10");
    EXPECT_EQ (entries[2].name, "Plain Text");
    EXPECT_EQ (entries[2].description, "");
    EXPECT_EQ (entries[3].name, "Zebra");
    EXPECT_EQ (entries[3].description, "striped");
    EXPECT_EQ (entries[3].file, folder / "a.json");
}

TEST (ProjectLibraryStorage, HashIsTheSha256OfTheBytes)
{
    ScratchFolder folder;
    const auto file = folder / "abc.json";
    writeFile (file, "abc");

    EXPECT_EQ (hashFileContents (file), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ (hashFileContents (folder / "none.json"), "");
    EXPECT_EQ (hashFileContents (folder.get()), "");
}

TEST (ProjectLibraryStorage, ReadingRefusesEmptyMissingAndOversizedFiles)
{
    ScratchFolder folder;
    juce::MemoryBlock bytes;

    const auto small = folder / "small.json";
    writeFile (small, "{\"a\": 1}");
    ASSERT_TRUE (readProjectFileBytes (small, bytes));
    EXPECT_EQ (bytes.toString(), "{\"a\": 1}");

    const auto empty = folder / "empty.json";
    ASSERT_TRUE (empty.create());
    EXPECT_FALSE (readProjectFileBytes (empty, bytes));
    EXPECT_FALSE (readProjectFileBytes (folder / "missing.json", bytes));
    EXPECT_FALSE (readProjectFileBytes (folder.get(), bytes));

    // Sparse files: the limit itself is read, one byte more is refused without reading it.
    const auto atLimit = folder / "limit.json";
    const auto overLimit = folder / "over.json";
    ASSERT_TRUE (atLimit.create() && overLimit.create());
    std::filesystem::resize_file (atLimit.getFullPathName().toStdString(), (std::uintmax_t) maxProjectFileBytes);
    std::filesystem::resize_file (overLimit.getFullPathName().toStdString(), (std::uintmax_t) maxProjectFileBytes + 1);

    EXPECT_TRUE (readProjectFileBytes (atLimit, bytes));
    EXPECT_EQ ((juce::int64) bytes.getSize(), maxProjectFileBytes);
    EXPECT_FALSE (readProjectFileBytes (overLimit, bytes));
    EXPECT_EQ (bytes.getSize(), 0u);
}

TEST (ProjectLibraryStorage, FileNamesStayInsideTheFolder)
{
    ScratchFolder folder;

    const struct { const char* name; const char* fileName; } cases[] = {
        { "My Song", "My Song.json" },
        { "  My Song  ", "My Song.json" },
        { "Demo.final", "Demo.json" },        // the extension replaces the text after the last dot
        { "AC/DC: Live?", "ACDC Live.json" }, // characters a file name may not hold are removed
        { ".x", "x.json" },                   // never a hidden file the list would skip
        { "...Intro", "Intro.json" },
        { ". hidden", "hidden.json" },
        { "..\\..\\up", "up.json" },          // no separator survives, nor a climb upwards
    };

    for (const auto& c : cases)
    {
        const auto target = chooseProjectSaveTarget (folder.get(), c.name, {});
        EXPECT_EQ (target.getFileName(), c.fileName) << c.name;
        EXPECT_EQ (target.getParentDirectory(), folder.get()) << c.name;
    }

    // Names that leave nothing of a file name behind are refused before a target is chosen.
    for (const auto* name : { "", "   ", ".", "..", "...", "?*<>", ". ." })
        EXPECT_EQ (makeProjectFileStem (name), "") << name;
}

TEST (ProjectLibraryStorage, TargetsMatchDisplayNamesBeforeFileNames)
{
    ScratchFolder folder;
    writeProjectFile (folder / "Song v1.json", "Song v1.2");

    // The display name finds the file, ignoring case.
    EXPECT_EQ (chooseProjectSaveTarget (folder.get(), "song V1.2", {}), folder / "Song v1.json");

    // Another name whose file name is taken gets a fresh sibling instead of overwriting it.
    const auto second = chooseProjectSaveTarget (folder.get(), "Song v1.3", {});
    EXPECT_EQ (second, folder / "Song v1 (2).json");
    writeProjectFile (second, "Song v1.3");
    EXPECT_EQ (chooseProjectSaveTarget (folder.get(), "Song v1.4", {}), folder / "Song v1 (3).json");
    EXPECT_EQ (chooseProjectSaveTarget (folder.get(), "Song v1.3", {}), second);

    // A file without an envelope is taken over only by its own name (its file name).
    writeFile (folder / "Loose.json", "[1, 2]");
    EXPECT_EQ (chooseProjectSaveTarget (folder.get(), "loose", {}), folder / "Loose.json");

    // The current project wins over an equal display name elsewhere in the folder.
    const auto current = folder / "Current.json";
    writeProjectFile (current, "Song v1.2");
    EXPECT_EQ (chooseProjectSaveTarget (folder.get(), "SONG v1.2", current), current);
    EXPECT_EQ (chooseProjectSaveTarget (folder.get(), "Other", current), folder / "Other.json");
}
