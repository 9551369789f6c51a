// Shared main for every unit-test executable: each test process gets a HOME of its own
// before JUCE reads it, so nothing a test writes (settings, sync files, bridge folders)
// reaches the developer's own folders, and tests never see each other's files.
#include <gtest/gtest.h>

#if CORVESSA_DISPLAY_TESTS
 #include <juce_events/juce_events.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

int main(int argc, char** argv)
{
    char pattern[] = "/tmp/corvessa-test-home-XXXXXX";
    if (const char* dir = ::mkdtemp(pattern))
        ::setenv("HOME", dir, 1);

#if CORVESSA_DISPLAY_TESTS
    // JUCE installs its X error handler only in a standalone app; without it the first
    // top-level window on a server without a window manager ends the process. Claiming to be
    // one (with no application object) is enough.
    juce::JUCEApplicationBase::createInstance = [] () -> juce::JUCEApplicationBase* { return nullptr; };
#endif

    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();

    // Leave nothing behind in /tmp.
    std::error_code ignored;
    std::filesystem::remove_all(pattern, ignored);
    return result;
}
