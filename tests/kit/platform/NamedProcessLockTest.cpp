#include "kit/platform/NamedProcessLock.h"

#include "kit/ChildProcess.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

using velmar::NamedProcessLock;

namespace
{
    // Holds a named lock in a child process until told to let go.
    const bool holderRegistered = kittest::registerChildRole ("hold-named-lock", [] (const juce::StringArray& args)
    {
        NamedProcessLock lock (args[0]);

        if (! lock.enter (5000))
            return 3;

        juce::File (args[1]).create();                           // "I hold it"
        const bool released = kittest::waitForFile (juce::File (args[2]), 20000);
        lock.exit();
        return released ? 0 : 4;
    });
} // namespace

TEST (NamedProcessLock, TwoUsersInOneProcessExcludeEachOther)
{
    NamedProcessLock first ("com.velmar.test.same-process");
    NamedProcessLock second ("com.velmar.test.same-process");
    NamedProcessLock other ("com.velmar.test.other-name");

    ASSERT_TRUE (first.enter (0));
    EXPECT_TRUE (first.isHeld());
    EXPECT_FALSE (second.enter (0));
    EXPECT_FALSE (second.enter (30));
    EXPECT_FALSE (second.isHeld());
    EXPECT_TRUE (other.enter (0)) << "an unrelated name is not blocked";

    first.exit();
    EXPECT_FALSE (first.isHeld());
    EXPECT_TRUE (second.enter (0));
}

TEST (NamedProcessLock, AWaiterGetsTheLockWhenTheHolderLetsGo)
{
    NamedProcessLock holder ("com.velmar.test.handover");
    ASSERT_TRUE (holder.enter());

    std::atomic<bool> got { false };
    std::thread waiter ([&]
    {
        NamedProcessLock lock ("com.velmar.test.handover");
        got = lock.enter (10000);
    });

    juce::Thread::sleep (50);
    EXPECT_FALSE (got.load());
    holder.exit();
    waiter.join();
    EXPECT_TRUE (got.load());
}

TEST (NamedProcessLock, ExcludesAnotherProcess)
{
    const auto folder = juce::File::createTempFile ("lock-markers");
    ASSERT_TRUE (folder.createDirectory());
    const auto holding = folder.getChildFile ("holding");
    const auto release = folder.getChildFile ("release");
    const juce::String name = "com.velmar.test.cross-process";

    const int child = kittest::startChildRole ("hold-named-lock", { name, holding.getFullPathName(), release.getFullPathName() });
    ASSERT_GT (child, 0);
    ASSERT_TRUE (kittest::waitForFile (holding, 20000));

    NamedProcessLock lock (name);
    EXPECT_FALSE (lock.enter (0));
    EXPECT_FALSE (lock.enter (50));

    release.create();
    EXPECT_TRUE (lock.enter (20000));
    EXPECT_EQ (kittest::waitForChild (child, 20000), 0);
    folder.deleteRecursively();
}

TEST (NamedProcessLock, ReportsFailureWhenItsLockFileCannotBeMade)
{
    // The lock folder's place is taken by a plain file: no lock can be had, and the lock says so.
    const auto lockFolder = NamedProcessLock::getLockFile ("x").getParentDirectory();
    ASSERT_TRUE (lockFolder.deleteRecursively());
    ASSERT_TRUE (lockFolder.getParentDirectory().createDirectory());
    ASSERT_TRUE (lockFolder.replaceWithText ("not a folder"));

    NamedProcessLock lock ("com.velmar.test.no-folder");
    EXPECT_FALSE (lock.enter (0));
    EXPECT_FALSE (lock.enter (20));
    EXPECT_FALSE (lock.isHeld());

    lockFolder.deleteFile();
    EXPECT_TRUE (lock.enter (0));
}

TEST (NamedProcessLock, NamesMapToDistinctSafeFilesInOneFolder)
{
    const juce::StringArray names { "velmar-settings-f4046", "com.velmar.corvessa.leader-sync",
                                    "../../escape", "a/b", "a_b", "A/B", "", "." };
    std::set<juce::String> seen;

    for (const auto& n : names)
    {
        const auto file = NamedProcessLock::getLockFile (n);
        EXPECT_EQ (file.getParentDirectory(), NamedProcessLock::getLockFile ("x").getParentDirectory()) << n;
        EXPECT_TRUE (seen.insert (file.getFileName()).second) << "two names share " << file.getFileName();
    }
}
