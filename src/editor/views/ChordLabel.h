#pragma once

#include <juce_core/juce_core.h>

// The display texts of one chord, as the piano roll's name band and the chord info line show
// them. Built by the editor's label builder; the piano roll fills what is left empty.
struct ChordLabel
{
    juce::String name;         // the chord name, or "Rest"
    juce::String tag;          // "V/V", "TT", "CM", or a draft chord's scale-degree numeral; may be empty
    juce::String lengthText;   // e.g. "1 bar", "2.5 bars"
    int scaleFit = 0;          // 0 not judged, 1 inside the selected scale, 2 outside it
};
