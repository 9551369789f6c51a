#pragma once

#include <optional>
#include <vector>

// The searched voicing styles. Each search is handed the chord tones (ascending, the root
// first), the root's pitch class and the voicing of the chord before (none after a rest, an
// unreadable chord or at the start), and returns the cheapest admissible set of MIDI notes,
// ascending and each once, or an empty list when no set is admissible (the caller then falls
// back to a fixed voicing of its own).

/** Pitch class 0..11 of a MIDI note; negative notes fold onto the same classes. */
int positivePitchClass (int note);

/** Piano voicing: up to five notes in a window of three octaves around the root. */
std::vector<int> voicePianist (const std::vector<int>& chordTones, int rootPitchClass,
                               const std::optional<std::vector<int>>& previousVoicing);

/** Jazz voicing: rootless-leaning colour voicing with added ninth and thirteenth. */
std::vector<int> voiceJazz (const std::vector<int>& chordTones, int rootPitchClass,
                            const std::optional<std::vector<int>>& previousVoicing);

/** A fingering on a six-string guitar in standard tuning. */
std::vector<int> voiceGuitarist (const std::vector<int>& chordTones, int rootPitchClass,
                                 const std::optional<std::vector<int>>& previousVoicing);

/** A fingering of one to three notes on a four-string bass in standard tuning. */
std::vector<int> voiceBassist (const std::vector<int>& chordTones, int rootPitchClass,
                               const std::optional<std::vector<int>>& previousVoicing);
