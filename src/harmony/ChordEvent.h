#pragma once

#include "harmony/HarmonicOption.h"

#include <juce_core/juce_core.h>

#include <optional>
#include <vector>

// One compiled chord or rest of a progression. Times are in ticks (128 per quarter note, 512 per
// 4/4 bar) from the start of the progression. A rest has the symbol "R"; a chord that could not
// be read keeps its text and its time but has no notes and is not resolved.
struct ChordEvent
{
    juce::String symbol;                // chord text as written, option tag removed ("Am7/G"); "R" for a rest
    double startTicks = 0.0;
    double lengthTicks = 0.0;
    std::vector<int> notes;             // voiced MIDI notes; may lie outside 0..127
    std::vector<int> voicing;           // the same notes; the bass pass and layer rendering read this copy
    juce::String root;                  // root as written ("Bb", "f#"); empty when the text is no chord
    bool resolved = false;              // true only for a chord that was read and voiced
    std::optional<int> bassNote;        // bass note chosen by the bass motion, for display
    juce::String bass;                  // slash bass as written; empty when there is none
    HarmonicOption option = HarmonicOption::none;

    bool operator== (const ChordEvent& other) const
    {
        return symbol == other.symbol
            && startTicks == other.startTicks
            && lengthTicks == other.lengthTicks
            && notes == other.notes
            && voicing == other.voicing
            && root == other.root
            && resolved == other.resolved
            && bassNote == other.bassNote
            && bass == other.bass
            && option == other.option;
    }

    bool operator!= (const ChordEvent& other) const { return ! (*this == other); }
};
