// From loading the largest song the project check allows (32 sections of 256 dense chords, the
// body in one voicing style) to its first note, as a host does it: the state chunk is set while
// the transport plays from the top, and blocks run until a note starts. Two songs are loaded in
// turn, so that no load takes over snapshots of the one before. Reported: the time to the first
// note (the benchmark's time), the time until the whole song is compiled, and checksums of the
// first block's MIDI and of every compiled note. The sections heard first are compiled before the
// rest of the song, so the first note does not wait for the whole song.
#include "compile/CompiledSection.h"
#include "processor/CorvessaProcessor.h"
#include "support/TestPlayHead.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

namespace
{
constexpr double sampleRate = 44100.0;
constexpr int blockSize = 512;

const char* const denseChords[] = {
    "Cmaj9", "A13", "Dm9", "G13", "Cmaj13(#11)", "Fmaj13(#11)", "Em11", "A13", "Dm11", "G13",
    "Ebmaj13(#11)", "Am9", "Dm9", "G13", "Cmaj9", "Dbmaj13(#11)",
};

juce::MemoryBlock songChunk (int bodyStyle, int variant, int playbackMode)
{
    CorvessaProcessor maker;
    auto record = maker.getStateCopy();
    record.Sections.clear();

    for (int s = 0; s < 32; ++s)
    {
        SectionMode::SectionData section;
        section.name = "Part " + juce::String (s + 1);
        juce::StringArray chords;
        for (int c = 0; c < 256; ++c)
            chords.add (denseChords[(s * 3 + c + variant * 5) % (int) std::size (denseChords)]);
        section.progression = chords.joinIntoString (" ");
        section.bodyVoicing = voicingStyleNameForIndex (bodyStyle);
        section.voicing = section.bodyVoicing;
        section.baseOctave = 3 + variant;
        record.Sections.push_back (section);
    }

    record.selectedSectionViewIndex = 0;
    record.sectionPlaybackMode = playbackMode;
    record.applySection (record.Sections.front());
    maker.replaceState (record, true);

    juce::MemoryBlock chunk;
    maker.getStateInformation (chunk);
    return chunk;
}

juce::uint32 checksumOf (const CorvessaProcessor::CompiledSectionBank& bank)
{
    juce::uint32 hash = 2166136261u;
    const auto mix = [&hash] (int value)
    {
        hash ^= (juce::uint32) value;
        hash *= 16777619u;
    };

    for (const auto& snapshot : bank.sections)
    {
        mix (snapshot != nullptr ? (int) snapshot->slots.size() : -2);
        if (snapshot != nullptr)
            for (const auto& slot : snapshot->slots)
                for (const auto* layer : { &slot.bassNotes, &slot.bodyNotes, &slot.shimmerNotes })
                {
                    mix (-1);
                    for (const auto n : *layer)
                        mix (n);
                }
    }
    return hash;
}

void firstNoteAfterLoad (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    const int style = (int) state.range (0);
    const int playbackMode = (int) state.range (1);
    const juce::MemoryBlock chunks[] = { songChunk (style, 0, playbackMode), songChunk (style, 1, playbackMode) };

    CorvessaProcessor processor;
    corvessa::test::TestPlayHead head;
    processor.setPlayHead (&head);
    processor.prepareToPlay (sampleRate, blockSize);
    juce::AudioBuffer<float> audio (2, blockSize);
    juce::MidiBuffer midi;

    juce::uint32 firstBlock = 2166136261u;
    juce::uint32 wholeSong = 0;
    double wholeSongSeconds = 0.0;
    int load = 0;

    for (auto _ : state)
    {
        const auto& chunk = chunks[load++ % 2];
        // Notes count only once a bank of the loaded song is in place: until then the song
        // loaded before may still sound.
        const auto bankBefore = processor.loadCompiledBank();
        const auto start = std::chrono::steady_clock::now();
        processor.setStateInformation (chunk.getData(), (int) chunk.getSize());

        bool heard = false;
        for (int block = 0; block < 200000 && ! heard; ++block)
        {
            const bool loadedSongInPlace = processor.loadCompiledBank() != bankBefore;
            head.play (0.0);
            midi.clear();
            processor.processBlock (audio, midi);

            for (const auto meta : midi)
                if (loadedSongInPlace && meta.getMessage().isNoteOn())
                    heard = true;

            if (! heard)
                std::this_thread::sleep_for (std::chrono::microseconds (200));
        }

        const auto firstNote = std::chrono::steady_clock::now();
        state.SetIterationTime (std::chrono::duration<double> (firstNote - start).count());

        firstBlock = 2166136261u;
        for (const auto meta : midi)
            for (int i = 0; i < meta.numBytes; ++i)
                firstBlock = (firstBlock ^ meta.data[i]) * 16777619u;

        // Outside the measured time: the rest of the song, so the next load starts afresh.
        while (processor.isGenerationPending())
            std::this_thread::sleep_for (std::chrono::milliseconds (1));

        wholeSongSeconds = std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count();
        if (const auto bank = processor.loadCompiledBank())
            wholeSong = checksumOf (*bank);

        head.stop();
        midi.clear();
        processor.processBlock (audio, midi);
    }

    processor.setPlayHead (nullptr);
    state.counters["whole_song_ms"] = wholeSongSeconds * 1000.0;
    state.counters["first_block"] = (double) firstBlock;
    state.counters["song_checksum"] = (double) wholeSong;
    state.SetLabel (voicingStyleNameForIndex (style).toStdString() + (playbackMode != 0 ? ", Auto-Advance" : ""));
}
// Pianist and Guitarist: the slowest styles to compile; the selected section looped, and
// Auto-Advance, where the transport's place on the song's timeline decides what plays first.
BENCHMARK (firstNoteAfterLoad)
    ->Args ({ 4, 0 })->Args ({ 3, 0 })->Args ({ 4, 1 })
    ->UseManualTime()->Unit (benchmark::kMillisecond)->Iterations (4);
} // namespace
