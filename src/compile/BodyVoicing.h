#pragma once

#include "compile/ArrangementVoicing.h"

// Refinements of a chord's Body layer, applied chord by chord with the previous chord's body in
// view. Pure functions; note lists and windows as in ArrangementVoicing.h.

// Adds each colour note whose pitch class the body lacks, in the octave (-1..+3 from where it is
// written) that avoids semitone neighbours and stays close to the body.
NoteList addColorsToBody (NoteList body, const NoteList& colours);

// Chooses the octave of each body note inside [anchor, anchor + span). Smooth (style 2) keeps
// the close position from the anchor; Bassist (style 5) spreads the chord to about 16 semitones
// while following the previous body and the centre (ignored when negative).
NoteList searchBodyVoicing (const NoteList& body, const NoteList& previous, int style, int centre, int anchor, int span);

// Moves single notes by an octave, at most 8 times, to break up notes closer than 3 semitones,
// preferring moves that keep the chord's mean and spread and lead smoothly from the previous body.
NoteList declutterVoicing (const NoteList& notes, const NoteList& previous, int low, int span, int centre);
