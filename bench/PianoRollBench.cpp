// Painting the piano roll for a 64-chord section at scale 1.0 into a 580 px wide image, as the
// window repaints it on every refresh tick: once with a draft's own layer notes, once reading
// the compiled section's notes from the processor. Reports the time of one paint and a
// fingerprint of the pixels.
#include "editor/views/PianoRollComponent.h"
#include "processor/CompiledSection.h"
#include "processor/CorvessaProcessor.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace
{
juce::String sixtyFourChords()
{
    const char* chords[] { "Cmaj7", "Am9", "Dm7/A", "G13", "Em7{V/V}", "A7", "Fmaj9", "Fm6{TT}",
                           "Bb9", "Cadd9", "Abmaj7{CM}", "G7sus4", "C6/9", "E7#9", "Am11", "D9" };
    juce::StringArray tokens;
    for (int i = 0; i < 64; ++i)
        tokens.add (chords[i % 16]);
    return tokens.joinIntoString (" ");
}

struct RollFixture
{
    juce::ScopedJuceInitialiser_GUI gui;
    std::unique_ptr<CorvessaProcessor> processor = std::make_unique<CorvessaProcessor>();
    std::unique_ptr<PianoRollComponent> roll = std::make_unique<PianoRollComponent> (*processor);

    RollFixture()
    {
        processor->setArrangeBassAddOctave (true);
        processor->setArrangeShimmerTopNoteEnabled (true);
        processor->setArrangeShimmerColorNotesEnabled (true);
        roll->setSize (580, 0);
        roll->visibleHeight = 514;
        roll->canAdd = true;
        roll->selectedChord = 10;
        roll->hoveredChord = 20;
        roll->playheadVisible = true;
        roll->playheadPosition = 33.5;
    }

    ~RollFixture()
    {
        roll.reset();
        processor.reset();
    }
};

void paintRoll (benchmark::State& state, RollFixture& fixture)
{
    auto& roll = *fixture.roll;
    juce::Image image (juce::Image::ARGB, roll.getWidth(), roll.getHeight(), true);

    for (auto _ : state)
    {
        image.clear (image.getBounds());
        juce::Graphics g (image);
        roll.paintEntireComponent (g, true);
        benchmark::ClobberMemory();
    }

    juce::uint64 fingerprint = 1469598103934665603ull;
    const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::readOnly);
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            fingerprint = (fingerprint ^ pixels.getPixelColour (x, y).getARGB()) * 1099511628211ull;

    state.counters["chords"] = (double) roll.chords.size();
    state.counters["height"] = roll.getHeight();
    state.counters["fingerprint"] = (double) (fingerprint & 0xffffffffu);
}

void BM_PianoRollPaintDraft64 (benchmark::State& state)
{
    RollFixture fixture;
    fixture.roll->setPreview (fixture.processor->compileProgressionPreview (sixtyFourChords()));
    paintRoll (state, fixture);
}

void BM_PianoRollPaintCompiled64 (benchmark::State& state)
{
    RollFixture fixture;
    fixture.processor->setProgression (sixtyFourChords());

    for (int waited = 0; waited < 10000 && (fixture.processor->isGenerationPending()
                                            || fixture.processor->getCompiledChords().size() != 64); waited += 5)
        juce::Thread::sleep (5);

    fixture.roll->setChords (fixture.processor->getCompiledChords());
    paintRoll (state, fixture);
}
} // namespace

BENCHMARK (BM_PianoRollPaintDraft64)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_PianoRollPaintCompiled64)->Unit (benchmark::kMillisecond);
