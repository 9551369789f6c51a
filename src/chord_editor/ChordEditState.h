#pragma once

#include <juce_core/juce_core.h>

// One step of the chord draft's own history: the whole draft progression (with the open
// chord's pending change) and which chord was open.
struct ChordEditState
{
    juce::String progressionText;
    int chordIndex = -1;
    bool chordOpen = false;
};
