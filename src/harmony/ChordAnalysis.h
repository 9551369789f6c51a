#pragma once

#include <vector>

// The roles of a compiled chord's tones, read again from its symbol: which intervals the Body
// layer plays, which are colour (sevenths, extensions, altered tones) and which the Shimmer layer
// may add, and how large the chord's fifth is. Intervals are semitones above the root.
struct ChordAnalysis
{
    bool valid = false;              // the quality was found and the lists are filled
    int rootMidi = 0;                // root at the octave asked for
    int rootPitchClass = 0;          // 0..11
    int fifthInterval = 7;           // 7, or 6 / 8 for a lowered / raised fifth
    std::vector<int> intervals;      // the quality's intervals in their written order
    std::vector<int> bodyTones;      // ascending, each once
    std::vector<int> colorTones;     // ascending, each once, extensions in compound form
    std::vector<int> shimmerTones;   // colour tones plus the ninth and thirteenth where they fit
};
