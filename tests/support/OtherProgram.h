#pragma once

#include <juce_core/juce_core.h>

#include <sys/types.h>

namespace corvessa::test
{

// A program started beside the test, as any other program on the user's machine (cp, rm,
// xdotool, xclip, a second copy of the test). It is started with posix_spawn rather than
// juce::ChildProcess: the framework's child allocates between fork and exec, and under the
// address sanitizer a child forked while another thread held the allocator's lock never
// reaches exec (a copy with cp once hung for good that way).
class OtherProgram
{
public:
    // Starts the program found on the PATH (or at the path given); `keepOutput` collects its
    // standard output, otherwise it goes nowhere. Its standard error stays the test's.
    explicit OtherProgram (const juce::StringArray& command, bool keepOutput = false);
    // A program still running is killed.
    ~OtherProgram();

    bool started() const { return pid > 0; }
    bool isRunning();
    // Waits for its end, on the message thread serving the test's message queue meanwhile (the
    // program may be waiting for an answer from this process); false when it did not end in time.
    bool waitForEnd (int timeoutMs = 10000);
    void kill();

    // Its exit status once it ended normally; -1 before, or when it was killed or crashed.
    int exitCode() const { return status; }
    // What it wrote to its standard output so far.
    juce::String output();

private:
    void readAvailableOutput();

    pid_t pid = -1;
    int outputFd = -1;
    int status = -1;
    juce::MemoryOutputStream collected;

    JUCE_DECLARE_NON_COPYABLE (OtherProgram)
};

// Runs a program to its end while serving the test's messages: its exit status, or -1 when it
// could not start or did not end within the time (it is killed then). `output` receives what
// it wrote to its standard output.
int runOtherProgram (const juce::StringArray& command, juce::String* output = nullptr, int timeoutMs = 10000);

} // namespace corvessa::test
