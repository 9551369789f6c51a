// Mood generation: one 64-bar section (as "Generate 5" makes up to 21 of them per click), and the
// ranking of next-chord suggestions (as the chord editor asks for it whenever its context moves).
// Each checksum covers a fixed piece of work (one section per mood from a fresh generator with the
// benchmark's seed; every mood in every context), so it does not depend on the iteration count.
#include "mood/MoodGenerator.h"

#include <benchmark/benchmark.h>

namespace
{
void mix (juce::uint32& hash, juce::uint32 value)
{
    hash ^= value;
    hash *= 16777619u;
}

void mixText (juce::uint32& hash, const juce::String& text)
{
    for (auto p = text.getCharPointer(); ! p.isEmpty(); ++p)
        mix (hash, (juce::uint32) *p);
}

std::string describe (juce::uint32 checksum)
{
    return "checksum=" + juce::String::toHexString ((juce::int64) checksum).paddedLeft ('0', 8).toStdString();
}

juce::StringArray tableMoods()
{
    auto names = MoodGenerator::getMoodNames();
    names.removeString ("---");
    return names;
}

// Arg: 1 with all four switches on, 0 with all off.
void generateSection64Bars (benchmark::State& state)
{
    constexpr std::uint32_t seed = 20240601u;
    MoodGenerator generator { seed };
    const auto moods = tableMoods();
    const bool allOptions = state.range (0) != 0;
    const MoodGenerationOptions options { allOptions, allOptions, allOptions, allOptions };

    juce::StringArray keys;
    for (const auto& mood : moods)
        keys.add (generator.findMood (mood)->keys.front());

    juce::uint32 hash = 2166136261u;
    {
        MoodGenerator fresh { seed };
        for (int i = 0; i < moods.size(); ++i)
        {
            const auto section = fresh.generateSection (moods[i], keys[i], 64, options);
            mixText (hash, section.progression);
            mix (hash, (juce::uint32) section.bassOctave);
        }
    }

    int next = 0;
    for (auto _ : state)
    {
        const auto& mood = moods[next];
        const auto& key = keys[next];
        next = (next + 1) % moods.size();

        auto section = generator.generateSection (mood, key, 64, options);
        benchmark::DoNotOptimize (section);
    }

    state.SetLabel (describe (hash));
}
BENCHMARK (generateSection64Bars)->Arg (0)->Arg (1)->Unit (benchmark::kMicrosecond);

void suggestNextChords (benchmark::State& state)
{
    const MoodGenerator generator { 1u };
    const auto moods = tableMoods();

    struct Context
    {
        int previous;
        int target;
        std::vector<int> recent;
    };
    const std::vector<Context> contexts { { 0, -1, { 0 } }, { 3, 0, { 0, 3 } }, { -1, 4, {} }, { 4, 5, { 1, 2, 4 } } };

    std::vector<int> degreeCounts;
    for (const auto& mood : moods)
        degreeCounts.push_back ((int) generator.findMood (mood)->scaleIntervals.size());

    juce::uint32 hash = 2166136261u;
    for (int i = 0; i < moods.size(); ++i)
        for (const auto& context : contexts)
            for (const auto& s : generator.suggestNextChords (moods[i], context.previous, context.target, context.recent,
                                                              degreeCounts[(size_t) i], degreeCounts[(size_t) i]))
            {
                mix (hash, (juce::uint32) s.degree);
                mix (hash, (juce::uint32) juce::roundToInt (s.score * 1000.0f));
                mixText (hash, s.quality);
            }

    int next = 0;
    for (auto _ : state)
    {
        const auto moodIndex = next % moods.size();
        const auto& mood = moods[moodIndex];
        const auto& context = contexts[(size_t) (next / moods.size()) % contexts.size()];
        const auto n = degreeCounts[(size_t) moodIndex];
        next = (next + 1) % (moods.size() * (int) contexts.size());

        auto suggestions = generator.suggestNextChords (mood, context.previous, context.target, context.recent, n, n);
        benchmark::DoNotOptimize (suggestions);
    }

    state.SetLabel (describe (hash));
}
BENCHMARK (suggestNextChords)->Unit (benchmark::kMicrosecond);
} // namespace
