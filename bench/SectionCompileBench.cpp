// Section compile: a whole song of 32 sections with 16 chords each, per body voicing style, and
// the same song recompiled after one section changed, reusing the snapshots of the others.
#include "compile/SectionCompile.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace
{
constexpr int sectionsPerSong = 32;
constexpr int chordsPerSection = 16;

const char* const chordPool[] = {
    "C", "Am7", "Dm9", "G13", "Fmaj7", "E7b9", "Bbmaj9#11", "A7alt", "Dm7b5", "G7#5",
    "Cmaj9", "Ebdim7", "Em11", "A13sus4", "F#m7b5", "B7#9", "Abmaj7", "Db9", "Gm6", "C7/E",
    "F/A", "Bb13", "Ebmaj7#5", "Am(maj7)",
};

juce::String progressionFor (int section)
{
    juce::StringArray tokens;
    for (int j = 0; j < chordsPerSection; ++j)
        tokens.add (chordPool[(section * 5 + j * 7) % (int) std::size (chordPool)]);
    return tokens.joinIntoString (" ");
}

std::vector<SectionMode::SectionData> makeSong (int bodyStyle)
{
    std::vector<SectionMode::SectionData> song;
    for (int i = 0; i < sectionsPerSong; ++i)
    {
        SectionMode::SectionData s;
        s.name = nextSectionName (song);
        s.progression = progressionFor (i);
        if (bodyStyle >= 0)
            s.bodyVoicing = voicingStyleNameForIndex (bodyStyle);
        song.push_back (s);
    }
    return song;
}

// FNV-1a over every note of every layer, so that speed work cannot silently change results.
juce::uint32 checksumOf (const std::vector<std::shared_ptr<const CompiledSnapshot>>& snapshots)
{
    juce::uint32 hash = 2166136261u;
    auto mix = [&hash] (int value)
    {
        hash ^= (juce::uint32) value;
        hash *= 16777619u;
    };

    for (const auto& snapshot : snapshots)
        for (const auto& slot : snapshot->slots)
            for (const auto* layer : { &slot.bassNotes, &slot.bodyNotes, &slot.shimmerNotes })
            {
                mix (-1);
                for (auto n : *layer)
                    mix (n);
            }

    return hash;
}

std::string describe (const std::string& what, juce::uint32 checksum)
{
    return what + " checksum=" + juce::String::toHexString ((juce::int64) checksum).paddedLeft ('0', 8).toStdString();
}

std::vector<std::shared_ptr<const CompiledSnapshot>> compileSong (const std::vector<SectionMode::SectionData>& song)
{
    std::vector<std::shared_ptr<const CompiledSnapshot>> snapshots;
    snapshots.reserve (song.size());
    for (const auto& section : song)
        snapshots.push_back (compileSection (section, "1", 1, nullptr).snapshot);
    return snapshots;
}

// Arg: body voicing style index, or -1 for the section defaults.
void compileWholeSong (benchmark::State& state)
{
    const auto song = makeSong ((int) state.range (0));
    juce::uint32 checksum = 0;

    for (auto _ : state)
    {
        auto snapshots = compileSong (song);
        benchmark::DoNotOptimize (snapshots.data());
        checksum = checksumOf (snapshots);
    }

    state.SetLabel (describe (state.range (0) < 0 ? "defaults" : voicingStyleNameForIndex ((int) state.range (0)).toStdString(), checksum));
    state.counters["sections/s"] = benchmark::Counter ((double) sectionsPerSong, benchmark::Counter::kIsIterationInvariantRate);
}

// One section's progression changes; every other section keeps its snapshot when its inputs, its
// name and the default duration match the snapshot's, as the generation thread does.
void recompileAfterOneSectionChanged (benchmark::State& state)
{
    const auto song = makeSong (-1);
    const auto previous = compileSong (song);

    auto edited = song;
    edited[sectionsPerSong / 2].progression = progressionFor (sectionsPerSong + 3);
    juce::uint32 checksum = 0;

    for (auto _ : state)
    {
        std::vector<std::shared_ptr<const CompiledSnapshot>> snapshots;
        snapshots.reserve (edited.size());
        for (size_t i = 0; i < edited.size(); ++i)
        {
            const auto& old = previous[i];
            const bool reusable = old->defaultDuration == "1" && old->inputs.name == edited[i].name
                               && SectionMode::equalsIgnoringName (old->inputs, edited[i]);
            snapshots.push_back (reusable ? old : compileSection (edited[i], "1", 2, old).snapshot);
        }
        benchmark::DoNotOptimize (snapshots.data());
        checksum = checksumOf (snapshots);
    }

    state.SetLabel (describe ("one of 32 sections changed", checksum));
}
} // namespace

BENCHMARK (compileWholeSong)->DenseRange (-1, 6)->Unit (benchmark::kMillisecond);
BENCHMARK (recompileAfterOneSectionChanged)->Unit (benchmark::kMillisecond);
