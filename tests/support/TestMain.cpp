// Shared main for every unit-test executable: each test process gets a HOME of its own
// before JUCE reads it, so nothing a test writes (settings, sync files, bridge folders)
// reaches the developer's own folders, and tests never see each other's files.
#include <gtest/gtest.h>

#if CORVESSA_DISPLAY_TESTS
 #include <juce_events/juce_events.h>
 #include <dlfcn.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace
{
// CI runs a suite as several processes, each given its share of the tests through GoogleTest's
// shard variables. A test that starts another role of this executable (a sync leader, a second
// settings writer) asks for that role by name, and the child would take the shard variables over
// and find the role outside its share. GoogleTest has chosen this process's tests before the
// global set-up runs, so the variables can go then.
struct KeepTheShardToThisProcess : ::testing::Environment
{
    void SetUp() override
    {
        ::unsetenv("GTEST_TOTAL_SHARDS");
        ::unsetenv("GTEST_SHARD_INDEX");
    }
};
} // namespace

int main(int argc, char** argv)
{
    char pattern[] = "/tmp/corvessa-test-home-XXXXXX";
    if (const char* dir = ::mkdtemp(pattern))
        ::setenv("HOME", dir, 1);

    // A temporary folder of its own too: ctest runs a suite's tests as parallel processes,
    // and fixtures that pick a free name in a shared folder could pick the same one, each
    // then deleting or rewriting the other's files.
    char tmpPattern[] = "/tmp/corvessa-test-tmp-XXXXXX";
    if (const char* dir = ::mkdtemp(tmpPattern))
        ::setenv("TMPDIR", dir, 1);

#if ! CORVESSA_DISPLAY_TESTS
    // Without a DISPLAY, JUCE connects to ":0.0", where the private Xvfb of a display test
    // running in parallel may sit and then vanish mid-test (the X connection breaks and the
    // process ends). A display number nothing serves keeps these tests headless, as in CI.
    ::setenv("DISPLAY", ":59999", 1);
#endif

#if CORVESSA_DISPLAY_TESTS
    // JUCE installs its X error handler only in a standalone app; without it the first
    // top-level window on a server without a window manager ends the process. Claiming to be
    // one (with no application object) is enough.
    juce::JUCEApplicationBase::createInstance = [] () -> juce::JUCEApplicationBase* { return nullptr; };

    // JUCE loads the X libraries at run time and unloads them at exit, so the leak checker
    // could not name the library that Xlib's own per-process allocations come from. Holding
    // them open keeps them nameable, and tests/lsan.supp suppresses exactly those.
    for (const char* library : { "libX11.so.6", "libXext.so.6", "libXcursor.so.1", "libXinerama.so.1",
                                 "libXrender.so.1", "libXrandr.so.2", "libxcb.so.1" })
        ::dlopen (library, RTLD_NOW | RTLD_GLOBAL);
#endif

    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new KeepTheShardToThisProcess);
    const int result = RUN_ALL_TESTS();

    // Leave nothing behind in /tmp.
    std::error_code ignored;
    std::filesystem::remove_all(pattern, ignored);
    std::filesystem::remove_all(tmpPattern, ignored);
    return result;
}
