#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <map>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kittest
{

namespace
{
    std::map<std::string, std::function<int (const juce::StringArray&)>>& roles()
    {
        static std::map<std::string, std::function<int (const juce::StringArray&)>> r;
        return r;
    }

    const char* const roleVariable = "KIT_TEST_CHILD_ROLE";
    const char* const argsVariable = "KIT_TEST_CHILD_ARGS";
    const char* const homeVariable = "KIT_TEST_CHILD_HOME";
} // namespace

bool registerChildRole (const char* name, std::function<int (const juce::StringArray&)> role)
{
    roles()[name] = std::move (role);
    return true;
}

int startChildRole (const juce::String& role, const juce::StringArray& args)
{
    const auto self = juce::File::getSpecialLocation (juce::File::currentExecutableFile).getFullPathName();

    std::vector<std::string> envStrings;
    for (char** e = environ; *e != nullptr; ++e)
    {
        const std::string entry (*e);
        if (entry.rfind ("KIT_TEST_CHILD_", 0) != 0)
            envStrings.push_back (entry);
    }
    envStrings.push_back (std::string (roleVariable) + "=" + role.toStdString());
    envStrings.push_back (std::string (argsVariable) + "=" + args.joinIntoString ("\n").toStdString());
    // The shared test main gives every process a HOME of its own; the child works in ours.
    envStrings.push_back (std::string (homeVariable) + "=" + juce::SystemStats::getEnvironmentVariable ("HOME", {}).toStdString());

    std::vector<char*> envp;
    for (auto& s : envStrings)
        envp.push_back (s.data());
    envp.push_back (nullptr);

    std::string exe = self.toStdString();
    std::string filter = "--gtest_filter=ChildProcessRole.Run";
    char* argv[] = { exe.data(), filter.data(), nullptr };

    pid_t pid = -1;
    if (posix_spawn (&pid, exe.c_str(), nullptr, nullptr, argv, envp.data()) != 0)
        return -1;

    return (int) pid;
}

int waitForChild (int pid, int timeoutMs)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;

    while (juce::Time::getMillisecondCounter() < deadline)
    {
        int status = 0;
        const auto done = ::waitpid ((pid_t) pid, &status, WNOHANG);

        if (done == (pid_t) pid)
            return WIFEXITED (status) ? WEXITSTATUS (status) : -1;

        if (done < 0)
            return -1;

        juce::Thread::sleep (5);
    }

    ::kill ((pid_t) pid, SIGKILL);
    int status = 0;
    ::waitpid ((pid_t) pid, &status, 0);
    return -1;
}

bool waitForFile (const juce::File& file, int timeoutMs)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;

    while (! file.exists())
    {
        if (juce::Time::getMillisecondCounter() >= deadline)
            return false;

        juce::Thread::sleep (2);
    }

    return true;
}

} // namespace kittest

// The entry point of a child: does nothing in an ordinary test run.
TEST (ChildProcessRole, Run)
{
    const char* role = std::getenv ("KIT_TEST_CHILD_ROLE");

    if (role == nullptr)
        GTEST_SKIP() << "only runs as a child process";

    auto& all = kittest::roles();
    auto found = all.find (role);
    ASSERT_NE (found, all.end()) << role;

    if (const char* parentHome = std::getenv ("KIT_TEST_CHILD_HOME"))
    {
        juce::File (juce::SystemStats::getEnvironmentVariable ("HOME", {})).deleteRecursively();
        ::setenv ("HOME", parentHome, 1);
    }

    juce::StringArray args;
    if (const char* a = std::getenv ("KIT_TEST_CHILD_ARGS"))
        args.addLines (a);

    const int code = found->second (args);
    std::fflush (nullptr);
    std::_Exit (code);
}
