// Reading long progression texts. A text comes from the user, a project file, a state chunk or
// an AI client, and nothing bounds its length: the compile (generation thread) and the
// normalising of the token model (message thread) must take time in proportion to its length.
// The label carries a checksum of what was read.

#include "harmony/ProgressionCompiler.h"
#include "harmony/ProgressionText.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace
{
std::uint64_t fnv (std::uint64_t hash, std::uint64_t value)
{
    return (hash ^ value) * 1099511628211ull;
}

// 128 K spaces between two chords: once, found token by token from the start of the text,
// this held the generation thread for seconds.
void BM_CompileLongRunOfSpaces (benchmark::State& state)
{
    const auto text = "C" + juce::String::repeatedString (" ", 128 * 1024) + "G7";
    std::uint64_t checksum = 0;

    for (auto _ : state)
    {
        ProgressionCompiler compiler;
        const auto events = compiler.compileProgression (text, 3, 2, "1", 1);
        checksum = 1469598103934665603ull;
        for (const auto& e : events)
            for (const int n : e.notes)
                checksum = fnv (checksum, (std::uint64_t) n);
        benchmark::DoNotOptimize (events.data());
    }

    state.SetLabel ("checksum=" + std::to_string (checksum));
}

// One token with option tags nested 10 000 deep.
void BM_NormaliseNestedTags (benchmark::State& state)
{
    const auto text = "C" + juce::String::repeatedString ("{T", 10000) + "{TT}" + juce::String::repeatedString ("T}", 10000) + ":2";
    std::uint64_t checksum = 0;

    for (auto _ : state)
    {
        const auto normalised = normaliseProgressionText (text);
        checksum = (std::uint64_t) normalised.hashCode64();
        benchmark::DoNotOptimize (checksum);
    }

    state.SetLabel ("checksum=" + std::to_string (checksum));
}
} // namespace

BENCHMARK (BM_CompileLongRunOfSpaces)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_NormaliseNestedTags)->Unit (benchmark::kMillisecond);
