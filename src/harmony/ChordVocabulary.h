#pragma once

#include <juce_core/juce_core.h>

#include <map>
#include <vector>

// The fixed music vocabulary that the harmony code and the processor read. Every table is a
// function-local static returning a const reference: it is built once (at module load, and
// safely on first use from any other static initialiser) and never changes afterwards, so it
// can be read from any thread without locks.

// Chord-suffix text -> semitone intervals above the root, in their written (not sorted) order.
// Lookups are exact and case-sensitive; there is no entry for the empty suffix (a bare root is
// looked up as "maj").
using ChordQualityMap = std::map<juce::String, std::vector<int>>;
const ChordQualityMap& chordQualityIntervals();

// The twelve sharp note names "C" .. "B"; a name's index is its pitch class.
const juce::StringArray& noteNames();

// The 20 scale names, in the order of the scale table.
const juce::StringArray& scaleNames();

// The voicing-style names; a name's position is its voicing-style value.
const juce::StringArray& voicingStyleNames();

// The bass-motion names; a name's position is its bass-motion value.
const juce::StringArray& bassMotionNames();

// Folds flats, enharmonic sharps (E#, B#) and lower case onto the forms noteNames() holds.
// Never fails; a name that cannot be folded comes back unchanged (or upper-cased).
juce::String foldNoteName (const juce::String& name);

// MIDI note number of a note name in an octave: octave * 12 + pitch class + 24 (octave 3 puts
// C at 60). Not limited to 0..127. Throws std::runtime_error("Invalid note name: " + name as
// passed in) when the folded name is not one of noteNames().
int noteNameToMidi (const juce::String& name, int octave);
