// Compile time of a 16-chord progression in each voicing style. A compile runs on the
// generation thread after every edit, so an ordinary progression should compile well within
// one display frame (16.7 ms) in every style. The label carries a checksum of every voiced note,
// so that speed work cannot change the voicings unnoticed.

#include "harmony/ProgressionCompiler.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace
{
const char* const styleNames[] = { "None", "First Inversion", "Smooth", "Guitarist", "Pianist", "Bassist", "Jazz" };

// Triads and sevenths.
const char* const ordinaryProgression =
    "C Am F G Dm7 G7 Cmaj7 A7 Dm G7 Em7 A7 Dm7 G7 C Cmaj7";

// Ninths, elevenths and thirteenths.
const char* const denseProgression =
    "Cmaj9 A13 Dm9 G13 Cmaj13(#11) Fmaj13(#11) Em11 A13 Dm11 G13 Ebmaj13(#11) Am9 Dm9 G13 Cmaj9 Dbmaj13(#11)";

std::uint64_t checksumOf (const std::vector<ChordEvent>& events)
{
    std::uint64_t hash = 1469598103934665603ull; // FNV-1a over the event count and every note
    const auto mix = [&hash] (std::int64_t v)
    {
        hash ^= static_cast<std::uint64_t> (v);
        hash *= 1099511628211ull;
    };

    mix (static_cast<std::int64_t> (events.size()));
    for (const auto& e : events)
    {
        mix (static_cast<std::int64_t> (e.notes.size()));
        for (const int n : e.notes)
            mix (n);
        mix (e.bassNote.value_or (-1));
    }
    return hash;
}

void compileInStyle (benchmark::State& state, const char* progression)
{
    const int style = static_cast<int> (state.range (0));
    const juce::String text (progression);
    std::uint64_t checksum = 0;

    for (auto _ : state)
    {
        ProgressionCompiler compiler;
        auto events = compiler.compileProgression (text, 3, style, "1", 1);
        benchmark::DoNotOptimize (events.data());
        checksum = checksumOf (events);
    }

    state.SetLabel (std::string (styleNames[style]) + " checksum=" + std::to_string (checksum));
}

void BM_CompileOrdinaryProgression (benchmark::State& state) { compileInStyle (state, ordinaryProgression); }
void BM_CompileDenseProgression (benchmark::State& state) { compileInStyle (state, denseProgression); }
}

BENCHMARK (BM_CompileOrdinaryProgression)->DenseRange (0, 6)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_CompileDenseProgression)->DenseRange (0, 6)->Unit (benchmark::kMillisecond);
