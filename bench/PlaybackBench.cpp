// The audio callback per 512-sample block at 44.1 kHz and 120 bpm for a 32-section song: in
// steady playback, at a chord change and at a section change. Each benchmark reports the median
// and the 99th percentile of one block in nanoseconds, their share of the block's period, and a
// fingerprint of the MIDI it emitted.
#include "compile/CompiledSection.h"
#include "processor/CorvessaProcessor.h"
#include "support/TestPlayHead.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace
{
constexpr double sampleRate = 44100.0;
constexpr int blockSize = 512;
constexpr double blockBeats = blockSize * 120.0 / (sampleRate * 60.0);
constexpr double blockPeriodNs = blockSize / sampleRate * 1.0e9;

// 32 sections of two one-bar chords, every layer busy: Bass 2 notes, Body 4, Shimmer 2.
std::shared_ptr<const CorvessaProcessor::CompiledSectionBank> makeSong()
{
    CorvessaProcessor::CompiledSectionBank bank;
    bank.working = std::make_shared<const CorvessaProcessor::CompiledSnapshot>();
    for (int s = 0; s < 32; ++s)
    {
        auto snapshot = std::make_shared<CorvessaProcessor::CompiledSnapshot>();
        snapshot->inputs.name = juce::String (s + 1);
        snapshot->inputs.arrangeBassLegato = s % 2 == 0;
        for (int c = 0; c < 2; ++c)
        {
            const int root = 36 + (s * 5 + c * 7) % 12;
            CompiledChordSlot slot;
            slot.event.startTicks = c * 512.0;
            slot.event.lengthTicks = 512.0;
            slot.bassNotes = { root, root + 12 };
            slot.bodyNotes = { root + 24, root + 28, root + 31, root + 34 };
            slot.shimmerNotes = { root + 38, root + 43 };
            snapshot->chords.push_back (slot.event);
            snapshot->slots.push_back (slot);
        }
        snapshot->totalBeats = 8.0;
        bank.sections.push_back (snapshot);
        bank.sectionResults.emplace_back();
    }
    return std::make_shared<const CorvessaProcessor::CompiledSectionBank> (std::move (bank));
}

using PlayHead = corvessa::test::TestPlayHead;

// Runs blocks at the positions `nextPpq` gives and reports the block times.
void runBlocks (benchmark::State& state, bool autoAdvance, const std::function<double (int64_t)>& nextPpq)
{
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    CorvessaProcessor processor;
    PlayHead head;
    processor.setPlayHead (&head);

    SectionList sections (32);
    for (int s = 0; s < 32; ++s)
        sections[(size_t) s].name = juce::String (s + 1);
    processor.setSections (sections, false);
    processor.publishCompiledBank (makeSong());
    for (auto* parameter : processor.getParameters())
        if (parameter->getName (64) == "Section")
            parameter->setValue (autoAdvance ? 1.0f : 0.0f);

    processor.prepareToPlay (sampleRate, blockSize);
    juce::AudioBuffer<float> audio (2, blockSize);
    juce::MidiBuffer midi;
    midi.ensureSize (1 << 16);

    // Start playing at the song's start and move, without a relocation, to where the
    // benchmark's positions lie, so that the section stands where the timeline puts it.
    const double firstPpq = nextPpq (0);
    for (double ppq = 0.0; ppq < firstPpq; ppq += 0.25)
    {
        head.play (ppq);
        midi.clear();
        processor.processBlock (audio, midi);
    }

    std::vector<double> times;
    uint64_t fingerprint = 1469598103934665603ull;
    int64_t block = 0;

    for (auto _ : state)
    {
        head.play (nextPpq (block++));
        midi.clear();

        const auto start = std::chrono::steady_clock::now();
        processor.processBlock (audio, midi);
        const auto end = std::chrono::steady_clock::now();

        const double ns = std::chrono::duration<double, std::nano> (end - start).count();
        state.SetIterationTime (ns * 1.0e-9);
        times.push_back (ns);

        for (const auto meta : midi)
        {
            const auto* raw = meta.data;
            fingerprint = (fingerprint ^ (uint64_t) ((raw[0] << 16) | (raw[1] << 8) | raw[2] | (meta.samplePosition << 24)))
                          * 1099511628211ull;
        }
    }

    processor.setPlayHead (nullptr);

    std::sort (times.begin(), times.end());
    const auto at = [&times] (double q) { return times.empty() ? 0.0 : times[(size_t) (q * (double) (times.size() - 1))]; };
    state.counters["median_ns"] = at (0.5);
    state.counters["p99_ns"] = at (0.99);
    state.counters["median_of_period"] = at (0.5) / blockPeriodNs;
    state.counters["p99_of_period"] = at (0.99) / blockPeriodNs;
    state.counters["fingerprint"] = (double) (fingerprint & 0xffffffffu);
}

// Inside the first chord of the first section, going back to its start (a relocation that places the
// same chord again, emitting nothing) before the chord ends.
void BM_ProcessBlockSteady (benchmark::State& state)
{
    runBlocks (state, false, [] (int64_t block) { return (double) (block % 160) * blockBeats; });
}

// Every block crosses the boundary between the two chords of the first section and back.
void BM_ProcessBlockChordChange (benchmark::State& state)
{
    runBlocks (state, false, [] (int64_t block) { return block % 2 == 0 ? 3.9 : 4.1; });
}

// Auto-Advance: every block crosses the boundary between two sections and back.
void BM_ProcessBlockSectionChange (benchmark::State& state)
{
    runBlocks (state, true, [] (int64_t block) { return block % 2 == 0 ? 7.9 : 8.1; });
}
} // namespace

BENCHMARK (BM_ProcessBlockSteady)->UseManualTime()->Iterations (20000);
BENCHMARK (BM_ProcessBlockChordChange)->UseManualTime()->Iterations (20000);
BENCHMARK (BM_ProcessBlockSectionChange)->UseManualTime()->Iterations (20000);
