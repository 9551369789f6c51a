#pragma once

#include <juce_core/juce_core.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <fcntl.h>
#include <unistd.h>

namespace cliptest
{

// A fresh folder below the temporary folder, removed with everything in it at the end.
struct TemporaryFolder
{
    juce::File root = juce::File::getSpecialLocation (juce::File::tempDirectory)
                          .getNonexistentChildFile ("corvessa-clips-test", {});

    TemporaryFolder() { root.createDirectory(); }
    ~TemporaryFolder() { root.deleteRecursively(); }

    juce::File file (const juce::String& name, const juce::String& content) const
    {
        const auto f = root.getChildFile (name);
        f.replaceWithText (content);
        return f;
    }
};

// Sets (or, for nullptr, removes) an environment variable for the scope.
struct ScopedEnvironment
{
    ScopedEnvironment (const char* variableName, const char* value) : name (variableName)
    {
        if (const char* old = std::getenv (name))
            previous = std::string (old);

        if (value != nullptr)
            ::setenv (name, value, 1);
        else
            ::unsetenv (name);
    }

    ~ScopedEnvironment()
    {
        if (previous.has_value())
            ::setenv (name, previous->c_str(), 1);
        else
            ::unsetenv (name);
    }

    const char* name;
    std::optional<std::string> previous;
};

// Everything the action writes to the process's standard error.
inline juce::String captureStandardError (const std::function<void()>& action)
{
    const auto capture = juce::File::createTempFile ("stderr");
    const int target = ::open (capture.getFullPathName().toRawUTF8(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
    std::fflush (stderr);
    const int saved = ::dup (2);
    ::dup2 (target, 2);

    action();

    std::fflush (stderr);
    ::dup2 (saved, 2);
    ::close (saved);
    ::close (target);

    const auto text = capture.loadFileAsString();
    capture.deleteFile();
    return text;
}

} // namespace cliptest
