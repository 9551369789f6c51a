#pragma once

#include "compile/ArrangementVoicing.h"
#include "compile/CompiledSection.h"
#include "harmony/ChordEvent.h"

#include <functional>
#include <memory>

// Compiles one section into the notes of its three layers. Reads nothing but its arguments and
// never fails: problems become the result's status and messages. `previous` is the section's
// last snapshot, kept in place when the new progression has nothing playable. `overtaken`, when
// given, is asked as the compile goes (before every chord): once it answers true the compile
// stops and its output is marked overtaken, with nothing in it to use.
SectionCompileOutput compileSection (const SectionMode::SectionData& section,
                                     const juce::String& defaultDuration,
                                     juce::uint64 generation,
                                     std::shared_ptr<const CompiledSnapshot> previous,
                                     const std::function<bool()>& overtaken = {});

// A stand-in for a section not compiled yet: its inputs and its length in quarter notes (the
// same length its compile gives), without chords or notes. Much cheaper than compileSection.
std::shared_ptr<const CompiledSnapshot> makeStandInSnapshot (const SectionMode::SectionData& section,
                                                             const juce::String& defaultDuration,
                                                             juce::uint64 generation);

// Pieces of the section compile that work on one chord.

// Moves a chord's seventh down an octave inside the shimmer window when the seventh is the only
// kind of colour (no extension of an octave or more), so it sits under the other colours.
NoteList lowerSeventhColors (const NoteList& colours, const NoteList& colourIntervals, int rootPitchClass, int low, int span);

// One of the chord's own voiced notes (third, fifth or root by the chord's kind), in the octave
// that sits best with the colour tones; -1 when there is none.
int chooseShimmerTopNote (const ChordEvent& event, const NoteList& shimmerNotes, const NoteList& colours, const NoteList& colourIntervals);

// Puts the shimmer's colour tones at the octaves of the colour line's own voicing.
NoteList snapColorOctaves (const NoteList& shimmerNotes, const NoteList& colourVoicing);

// Doubles the lowest bass note an octave down when asked and when that stays in range.
NoteList addBassOctaveBelow (NoteList bassNotes, bool on);
