#pragma once

#include "harmony/ChordEvent.h"
#include "processor/ArrangementVoicing.h"
#include "processor/CompiledSection.h"

// Pieces of the section compile (CorvessaProcessor::compileSection) that work on one chord.

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
