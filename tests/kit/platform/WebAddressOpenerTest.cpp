#include "kit/platform/WebAddressOpener.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

TEST (WebAddressOpener, HandsOnlyWebAddressesToTheBrowser)
{
    struct Case { const char* address; bool opens; };
    const Case cases[] = {
        { "https://velmar.audio/download", true },
        { "http://velmar.audio", true },
        { "HTTPS://velmar.audio/a?b=c#d", true },
        { "https://user@velmar.audio/x", true },
        { "https://", false },
        { "https:///path", false },
        { "https://:443/", false },
        { "ftp://velmar.audio/file", false },
        { "file:///etc/passwd", false },
        { "javascript:alert(1)", false },
        { "velmar.audio", false },
        { "--help", false },
        { "https://velmar.audio/a b", false },
        { "https://velmar.audio/\n/bin/sh", false },
        { "https://velmar.audio/`id`;$(reboot)", true },   // harmless: no shell ever sees it
        { "", false },
    };

    juce::StringArray launched;
    velmar::setWebAddressLauncherForTesting ([&] (const juce::String& a) { launched.add (a); return true; });

    for (const auto& c : cases)
    {
        launched.clear();
        EXPECT_EQ (velmar::isOpenableWebAddress (c.address), c.opens) << c.address;
        EXPECT_EQ (velmar::openWebAddress (c.address), c.opens) << c.address;
        EXPECT_EQ (launched.size(), c.opens ? 1 : 0) << c.address;
        if (c.opens)
        {
            EXPECT_EQ (launched[0], c.address);
        }
    }

    velmar::setWebAddressLauncherForTesting (nullptr);
}

#if JUCE_LINUX
namespace
{
int countOwnThreads()
{
    return juce::File ("/proc/self/task").getNumberOfChildFiles (juce::File::findDirectories);
}

int parentOf (int pid)
{
    // /proc/<pid>/stat: "pid (name) state ppid ..."; the name may hold blanks, so read after ")".
    const auto stat = juce::File ("/proc/" + juce::String (pid) + "/stat").loadFileAsString();
    return stat.fromLastOccurrenceOf (")", false, false).trim().fromFirstOccurrenceOf (" ", false, false).getIntValue();
}

bool waitForFile (const juce::File& file, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += 10)
    {
        if (file.existsAsFile() && file.loadFileAsString().endsWithChar ('\n'))
            return true;

        juce::Thread::sleep (10);
    }

    return false;
}
} // namespace

TEST (WebAddressOpener, TheOpenerOutlivesNothingOfThePlugIn)
{
    // A stand-in for xdg-open that behaves like one starting a browser in the foreground: it
    // records its argument and process id, then runs until the test lets it go.
    const auto folder = juce::File::createTempFile ("opener");
    ASSERT_TRUE (folder.createDirectory());
    const auto seen = folder.getChildFile ("seen"), release = folder.getChildFile ("release"), ended = folder.getChildFile ("ended");
    const auto opener = folder.getChildFile ("xdg-open");
    ASSERT_TRUE (opener.replaceWithText ("#!/bin/sh\n"
                                         "printf '%s %s\\n' \"$$\" \"$1\" > '" + seen.getFullPathName() + "'\n"
                                         "i=0; while [ ! -e '" + release.getFullPathName() + "' ] && [ $i -lt 3000 ]; do sleep 0.01; i=$((i+1)); done\n"
                                         "echo done > '" + ended.getFullPathName() + "'\n",
                                         false, false, "\n"));
    ASSERT_TRUE (opener.setExecutePermission (true));

    const juce::String oldPath (std::getenv ("PATH"));
    ::setenv ("PATH", (folder.getFullPathName() + ":" + oldPath).toRawUTF8(), 1);

    const auto threadsBefore = countOwnThreads();
    const juce::String address = "https://velmar.example/d?a=1&b=`id`;$(x)";
    EXPECT_TRUE (velmar::openWebAddress (address));
    ASSERT_TRUE (waitForFile (seen, 20000));

    const auto record = seen.loadFileAsString().trim();
    EXPECT_EQ (record.fromFirstOccurrenceOf (" ", false, false), address) << "one argument, as it is";

    // While the opener still runs, no thread of ours waits for it and it is not our child.
    EXPECT_EQ (countOwnThreads(), threadsBefore);
    EXPECT_NE (parentOf (record.upToFirstOccurrenceOf (" ", false, false).getIntValue()), (int) ::getpid());

    ASSERT_TRUE (release.replaceWithText ("go"));
    EXPECT_TRUE (waitForFile (ended, 20000));

    // Without an opener on the PATH nothing is started.
    ::setenv ("PATH", "/nonexistent", 1);
    EXPECT_FALSE (velmar::openWebAddress (address));

    ::setenv ("PATH", oldPath.toRawUTF8(), 1);
    folder.deleteRecursively();
}
#endif
