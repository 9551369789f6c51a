#include "projects/FolderOpener.h"

#include "ProjectTestSupport.h"

#include <cstdlib>

using namespace projecttest;

TEST (FolderOpener, HandsOnlyDirectoriesToTheOpener)
{
    ScratchFolder folder;
    juce::Array<juce::File> opened;
    setFolderOpenerForTesting ([&] (const juce::File& f) { opened.add (f); return true; });

    EXPECT_TRUE (openFolderInFileManager (folder.get()));
    EXPECT_FALSE (openFolderInFileManager (folder / "missing"));
    writeFile (folder / "file.json", "{}");
    EXPECT_FALSE (openFolderInFileManager (folder / "file.json"));

    setFolderOpenerForTesting ([&] (const juce::File&) { return false; });
    EXPECT_FALSE (openFolderInFileManager (folder.get()));

    setFolderOpenerForTesting ({});
    ASSERT_EQ (opened.size(), 1);
    EXPECT_EQ (opened[0], folder.get());
}

TEST (FolderOpener, StartsXdgOpenWithThePathAsOneArgument)
{
    // A stand-in xdg-open on the PATH records every argument it receives on a line of its own.
    ScratchFolder bin;
    const auto log = bin / "arguments.txt";
    const auto script = bin / "xdg-open";
    writeFile (script, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + log.getFullPathName() + "'; done\n");
    ASSERT_TRUE (script.setExecutePermission (true));

    const juce::String oldPath (std::getenv ("PATH"));
    ::setenv ("PATH", (bin.get().getFullPathName() + ":" + oldPath).toRawUTF8(), 1);

    // A folder name a shell would take apart or run.
    ScratchFolder parent;
    const auto hostile = parent / "My Songs; touch pwned $(touch pwned2) 'q'";
    ASSERT_TRUE (hostile.createDirectory());

    setFolderOpenerForTesting ({});
    const auto started = openFolderInFileManager (hostile);
    ::setenv ("PATH", oldPath.toRawUTF8(), 1);
    ASSERT_TRUE (started);

    const auto deadline = juce::Time::getMillisecondCounter() + 10000;
    while (! log.existsAsFile() && juce::Time::getMillisecondCounter() < deadline)
        juce::Thread::sleep (5);

    juce::Thread::sleep (50);
    juce::StringArray lines;
    lines.addLines (log.loadFileAsString().trimEnd());
    EXPECT_EQ (lines, juce::StringArray (hostile.getFullPathName()));
    EXPECT_FALSE ((parent / "pwned").exists());
    EXPECT_FALSE (juce::File::getCurrentWorkingDirectory().getChildFile ("pwned2").exists());
}
