#include "FuzzSupport.h"
#include "FuzzProcessor.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace FuzzSupport
{
juce::String textOf (const std::uint8_t* data, std::size_t size)
{
    const auto* bytes = reinterpret_cast<const char*> (data);
    const auto length = ::strnlen (bytes, size);

    // The framework's constructor looks at the first byte even of an empty range.
    if (length == 0)
        return {};

    return juce::String (juce::CharPointer_UTF8 (bytes), juce::CharPointer_UTF8 (bytes + length));
}

namespace
{
    char home[] = "/tmp/corvessa-fuzz-home-XXXXXX";

    void removeHome()
    {
        std::error_code ignored;
        std::filesystem::remove_all (home, ignored);
    }
} // namespace

void useOwnHome()
{
    if (const char* dir = ::mkdtemp (home))
    {
        ::setenv ("HOME", dir, 1);
        std::atexit (removeHome);
    }

    // Headless: a display number nothing serves.
    ::setenv ("DISPLAY", ":59999", 1);
}

CorvessaProcessor& sharedProcessor()
{
    // Never destroyed: the run ends by exit(), and tearing the framework down under the
    // processor's threads at that point would only add noise.
    static auto* initialiser = new juce::ScopedJuceInitialiser_GUI();
    static auto* processor = new CorvessaProcessor();
    juce::ignoreUnused (initialiser);
    return *processor;
}

void fail (const char* what)
{
    std::fprintf (stderr, "fuzz target: %s\n", what);
    std::abort();
}
} // namespace FuzzSupport
