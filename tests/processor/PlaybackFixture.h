#pragma once

#include "compile/CompiledSection.h"
#include "processor/CorvessaProcessor.h"

#include "MidiEventList.h"
#include "support/TestPlayHead.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <stdexcept>
#include <vector>

// A processor driven block by block under a play head the test moves, playing compiled banks
// that the test builds by hand, so that every note and every chord boundary is known.
namespace PlaybackFixture
{
struct Chord
{
    double startTicks, lengthTicks;
    std::vector<int> bass, body, shimmer;
};

struct Section
{
    juce::String name;
    std::vector<Chord> chords;
    bool bassLegato = false, bodyLegato = true, shimmerLegato = true;
};

inline std::shared_ptr<const CorvessaProcessor::CompiledSnapshot> makeSnapshot (const Section& section)
{
    auto snapshot = std::make_shared<CorvessaProcessor::CompiledSnapshot>();
    snapshot->inputs.name = section.name;
    snapshot->inputs.arrangeBassLegato = section.bassLegato;
    snapshot->inputs.arrangeBodyLegato = section.bodyLegato;
    snapshot->inputs.arrangeShimmerLegato = section.shimmerLegato;

    double ticks = 0.0;
    for (const auto& chord : section.chords)
    {
        CompiledChordSlot slot;
        slot.event.startTicks = chord.startTicks;
        slot.event.lengthTicks = chord.lengthTicks;
        slot.bassNotes = chord.bass;
        slot.bodyNotes = chord.body;
        slot.shimmerNotes = chord.shimmer;
        snapshot->chords.push_back (slot.event);
        snapshot->slots.push_back (slot);
        ticks += chord.lengthTicks;
    }
    snapshot->totalBeats = ticks / 128.0;
    return snapshot;
}

inline std::shared_ptr<const CorvessaProcessor::CompiledSectionBank> makeBank (const std::vector<Section>& sections)
{
    CorvessaProcessor::CompiledSectionBank bank;
    bank.working = makeSnapshot (Section { "working", {} });
    for (const auto& section : sections)
    {
        bank.sections.push_back (makeSnapshot (section));
        bank.sectionResults.emplace_back();
    }
    return std::make_shared<const CorvessaProcessor::CompiledSectionBank> (std::move (bank));
}

// One chord filling a section of the given length in quarter notes.
inline Section wholeSection (juce::String name, double beats, std::vector<int> bass, std::vector<int> body,
                             std::vector<int> shimmer = {})
{
    return { std::move (name), { { 0.0, beats * 128.0, std::move (bass), std::move (body), std::move (shimmer) } } };
}

using PlayHead = corvessa::test::TestPlayHead;

class Player : public ::testing::Test
{
protected:
    static constexpr double blockBeats = 512.0 * 120.0 / (44100.0 * 60.0); // at 120 bpm

    Player()
    {
        processor.setPlayHead (&head);
        processor.prepareToPlay (44100.0, 512);
        // A host gives the plug-in a buffer with room for its events.
        midi.ensureSize (1 << 16);
    }

    ~Player() override { processor.setPlayHead (nullptr); }

    // The state gets sections of these names (so that the section parameter has a step for
    // each) and the processor the bank of these sections, without a compile.
    void useSong (const std::vector<Section>& sections)
    {
        SectionList list;
        for (const auto& section : sections)
        {
            SectionMode::SectionData data;
            data.name = section.name;
            list.push_back (data);
        }
        processor.setSections (list, false);
        processor.publishCompiledBank (makeBank (sections));
    }

    juce::AudioProcessorParameter& sectionParameter()
    {
        for (auto* parameter : processor.getParameters())
            if (parameter->getName (64) == "Section")
                return *parameter;
        throw std::runtime_error ("no section parameter");
    }

    void selectStep (int step)
    {
        auto& parameter = sectionParameter();
        const int steps = parameter.getNumSteps();
        parameter.setValue (steps > 1 ? (float) step / (float) (steps - 1) : 0.0f);
    }

    std::vector<MidiEvent> block (int numSamples = 512)
    {
        audio.setSize (2, numSamples, false, false, true);
        midi.clear();
        processor.processBlock (audio, midi);
        return eventsOf (midi);
    }

    std::vector<MidiEvent> playAt (double ppq, int numSamples = 512)
    {
        head.play (ppq);
        return block (numSamples);
    }

    // Plays consecutive blocks from one position up to (not including) another; returns the
    // events of every block, block by block.
    std::vector<std::vector<MidiEvent>> playFromTo (double fromPpq, double toPpq)
    {
        std::vector<std::vector<MidiEvent>> blocks;
        for (double ppq = fromPpq; ppq < toPpq; ppq += blockBeats)
            blocks.push_back (playAt (ppq));
        return blocks;
    }

    std::vector<MidiEvent> stopBlock()
    {
        head.stop();
        return block();
    }

    double positionBars() const { return processor.getTransportSnapshot().sectionPositionBars; }

    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    CorvessaProcessor processor;
    PlayHead head;
    juce::AudioBuffer<float> audio { 2, 512 };
    juce::MidiBuffer midi;
};
} // namespace PlaybackFixture
