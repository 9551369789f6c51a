#pragma once

// A piano roll with its processor, fed with hand-made chords whose layer notes the test chooses.
#include "editor/views/PianoRollComponent.h"
#include "processor/CompiledSection.h"
#include "processor/CorvessaProcessor.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

namespace viewtest
{
struct RollChord
{
    RollChord() = default;
    RollChord (juce::String chordSymbol, double bars, std::vector<int> bassNotes = {},
               std::vector<int> bodyNotes = {}, std::vector<int> shimmerNotes = {})
        : symbol (std::move (chordSymbol)), lengthBars (bars),
          bass (std::move (bassNotes)), body (std::move (bodyNotes)), shimmer (std::move (shimmerNotes))
    {
    }

    static RollChord rest (double bars) { RollChord c ("R", bars); c.resolved = false; return c; }
    static RollChord unreadable (const juce::String& text) { RollChord c (text, 1.0); c.resolved = false; return c; }
    RollChord withOption (HarmonicOption o) const { auto c = *this; c.option = o; return c; }

    juce::String symbol { "C" };
    double lengthBars = 1.0;
    std::vector<int> bass, body, shimmer;
    double startBars = 0.0;
    bool resolved = true;
    HarmonicOption option = HarmonicOption::none;
    std::vector<int> voiced;   // the chord's own notes; the layers' notes together when empty
};

inline ProgressionPreview makePreview (const std::vector<RollChord>& chords)
{
    ProgressionPreview preview;

    for (const auto& c : chords)
    {
        ChordEvent event;
        event.symbol = c.symbol;
        event.startTicks = c.startBars * 512.0;
        event.lengthTicks = c.lengthBars * 512.0;
        event.resolved = c.resolved;
        event.option = c.option;
        event.notes = c.voiced;

        if (event.notes.empty() && c.resolved)
            for (const auto* layer : { &c.bass, &c.body, &c.shimmer })
                event.notes.insert (event.notes.end(), layer->begin(), layer->end());

        event.voicing = event.notes;
        preview.chords.push_back (event);
        preview.layerNotes.push_back ({ c.bass, c.body, c.shimmer });
    }

    return preview;
}

// Chords one after another, from their lengths in bars.
inline std::vector<RollChord> inSequence (std::vector<RollChord> chords)
{
    double start = 0.0;
    for (auto& c : chords)
    {
        c.startBars = start;
        start += c.lengthBars;
    }
    return chords;
}

class PianoRollTest : public ::testing::Test
{
protected:
    juce::ScopedJuceInitialiser_GUI gui;
    CorvessaProcessor processor;
    PianoRollComponent roll { processor };
    int layoutChanges = 0;

    static bool pumpUntil (const std::function<bool()>& condition) { return corvessa::test::pumpMessagesUntil (condition, 10000); }

    PianoRollTest()
    {
        roll.onLayoutChanged = [this] { ++layoutChanges; };
    }

    // Shows the chords in a roll `width` wide that can show `visibleHeight` pixels.
    void show (const std::vector<RollChord>& chords, int width = 580, int visibleHeight = 514)
    {
        roll.setSize (width, 0);
        roll.visibleHeight = visibleHeight;
        roll.setPreview (makePreview (inSequence (chords)));
    }
};
} // namespace viewtest
