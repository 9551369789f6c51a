#include "kit/json/JsonWriter.h"
#include "processor/state/PortableProject.h"
#include "processor/state/PortableValidation.h"

#include <benchmark/benchmark.h>

namespace
{
// The largest project the check accepts: 32 sections of 256 chords each.
PersistentState largestState()
{
    const char* const chords[] = { "Cmaj7", "Am7", "Dm9", "G13", "Fmaj9", "E7b9", "Am", "D7/F#" };

    PersistentState state;
    for (int s = 0; s < 32; ++s)
    {
        SectionMode::SectionData section;
        section.name = "Section " + juce::String (s + 1);
        juce::StringArray list;
        for (int c = 0; c < 256; ++c)
            list.add (chords[(s + c) % 8]);
        section.progression = list.joinIntoString (" ");
        section.rootKey = "C";
        section.scale = "Major";
        section.bodyVoicing = (s % 2 == 0) ? "Smooth" : "Jazz";
        state.Sections.push_back (section);
    }
    state.selectedSectionViewIndex = 0;
    return state;
}

void BM_ValidateLargestProject (benchmark::State& st)
{
    const auto project = stateToPortableProject (largestState());
    juce::String message;

    for (auto _ : st)
    {
        const auto result = validatePortableProjectWith (project, "1");
        message = result.getErrorMessage();
        benchmark::DoNotOptimize (message);
    }

    // Fingerprint: the check must pass (an empty message).
    st.counters["failed"] = message.isNotEmpty() ? 1.0 : 0.0;
}
BENCHMARK (BM_ValidateLargestProject)->Unit (benchmark::kMillisecond);

void BM_ExportAndWriteLargestProject (benchmark::State& st)
{
    const auto state = largestState();
    juce::String text;

    for (auto _ : st)
    {
        text = velmar::JsonWriter::toString (stateToPortableProject (state));
        benchmark::DoNotOptimize (text);
    }

    st.counters["bytes"] = (double) text.getNumBytesAsUTF8();
    st.counters["hash"] = (double) (text.hashCode64() & 0xffffffff);
}
BENCHMARK (BM_ExportAndWriteLargestProject)->Unit (benchmark::kMillisecond);
} // namespace
