#pragma once

// The hidden combo boxes behind the octave and voicing knobs: what their item ids stand for.
// Octave combos hold "-4" .. "+4" as ids 1 .. 9; voicing combos hold the seven voicing styles
// "None" .. "Jazz" as ids 1 .. 7. Pure functions; any thread.

// The voicing style index (0 "None" .. 6 "Jazz") of a voicing combo id. Ids outside 1 .. 7
// read as "Smooth" (2), like an unknown voicing name.
int voicingIndexForComboId (int comboId);

// The octave offset of an octave combo id, within the processor's -5 .. 5.
int octaveForComboId (int comboId);

// The combo id a knob value stands for: voicing knobs show the id itself (1 .. 7), octave knobs
// the offset (-4 .. 4).
int comboIdForVoicingKnob (double knobValue);
int comboIdForOctaveKnob (double knobValue);
