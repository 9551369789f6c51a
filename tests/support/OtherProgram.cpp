#include "OtherProgram.h"

#include "MessagePump.h"

#include <juce_events/juce_events.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace corvessa::test
{

OtherProgram::OtherProgram (const juce::StringArray& command, bool keepOutput)
{
    std::vector<std::string> arguments;
    for (const auto& argument : command)
        arguments.push_back (argument.toStdString());
    if (arguments.empty())
        return;

    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back (argument.data());
    argv.push_back (nullptr);

    int pipeEnds[2] = { -1, -1 };
    if (keepOutput && ::pipe2 (pipeEnds, O_CLOEXEC) != 0)
        return;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init (&actions);
    if (keepOutput)
        posix_spawn_file_actions_adddup2 (&actions, pipeEnds[1], STDOUT_FILENO);
    else
        posix_spawn_file_actions_addopen (&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);

    pid_t child = -1;
    const auto result = posix_spawnp (&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy (&actions);

    if (keepOutput)
    {
        ::close (pipeEnds[1]);
        if (result == 0)
        {
            // Read while waiting, so that a program with much to say never blocks on a full pipe.
            ::fcntl (pipeEnds[0], F_SETFL, ::fcntl (pipeEnds[0], F_GETFL) | O_NONBLOCK);
            outputFd = pipeEnds[0];
        }
        else
        {
            ::close (pipeEnds[0]);
        }
    }

    if (result == 0)
        pid = child;
}

OtherProgram::~OtherProgram()
{
    kill();
    if (outputFd >= 0)
        ::close (outputFd);
}

bool OtherProgram::isRunning()
{
    readAvailableOutput();
    if (pid <= 0)
        return false;

    int state = 0;
    const auto done = ::waitpid (pid, &state, WNOHANG);
    if (done == 0)
        return true;

    status = done == pid && WIFEXITED (state) ? WEXITSTATUS (state) : -1;
    pid = -1;
    readAvailableOutput();
    return false;
}

bool OtherProgram::waitForEnd (int timeoutMs)
{
    const auto* messages = juce::MessageManager::getInstanceWithoutCreating();
    if (messages != nullptr && messages->isThisTheMessageThread())
        return pumpMessagesUntil ([this] { return ! isRunning(); }, timeoutMs);

    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
    while (isRunning())
    {
        if (juce::Time::getMillisecondCounter() >= end)
            return false;
        juce::Thread::sleep (2);
    }
    return true;
}

void OtherProgram::kill()
{
    if (! isRunning())
        return;

    ::kill (pid, SIGKILL);
    ::waitpid (pid, nullptr, 0);
    pid = -1;
    status = -1;
}

juce::String OtherProgram::output()
{
    readAvailableOutput();
    return collected.toString();
}

void OtherProgram::readAvailableOutput()
{
    if (outputFd < 0)
        return;

    char buffer[4096];
    for (;;)
    {
        const auto n = ::read (outputFd, buffer, sizeof (buffer));
        if (n > 0)
        {
            collected.write (buffer, (size_t) n);
            continue;
        }
        if (n == 0)
        {
            ::close (outputFd);
            outputFd = -1;
        }
        return;   // the pipe is empty for now (EAGAIN) or closed
    }
}

int runOtherProgram (const juce::StringArray& command, juce::String* output, int timeoutMs)
{
    OtherProgram program (command, output != nullptr);
    if (! program.started())
        return -1;

    const bool ended = program.waitForEnd (timeoutMs);
    if (output != nullptr)
        *output = program.output();
    return ended ? program.exitCode() : -1;
}

} // namespace corvessa::test
