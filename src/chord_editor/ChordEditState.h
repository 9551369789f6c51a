#pragma once

#include <juce_core/juce_core.h>

#include <vector>

// One step of the chord draft's own history: the whole draft progression (with the open
// chord's pending change) and which chord was open.
struct ChordEditState
{
    juce::String progressionText;
    int chordIndex = -1;
    bool chordOpen = false;
};

// Each side of the chord draft's history keeps at most this many steps.
constexpr size_t chordEditHistoryDepth = 64;

// Called after every push: drops the oldest step once a side holds more than the depth.
inline void trimChordEditStack (std::vector<ChordEditState>& stack)
{
    if (stack.size() > chordEditHistoryDepth)
        stack.erase (stack.begin());
}
