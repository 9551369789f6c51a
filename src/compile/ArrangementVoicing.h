#pragma once

#include <functional>
#include <vector>

// Note lists and the voicing search that voices a layer across a whole section.
//
// A note list holds signed MIDI note numbers; a normalised list holds only notes in 0..127,
// ascending, each once. A register window (low, span) holds n when low is negative (no window)
// or low <= n < low + max(span, 1) (a span below 2 counts as 1).
//
// Everything here is a pure function of its arguments. The searches are deterministic: a later
// candidate replaces the best one only when strictly cheaper.
using NoteList = std::vector<int>;

int pitchClassOf (int note);
bool isInWindow (int note, int low, int span);

NoteList normaliseNotes (NoteList notes);

// Every note in 0..127 moves to the octave that starts at the anchor (clamped to 0..127); a
// negative anchor only normalises.
NoteList placeNotesFromAnchor (NoteList notes, int anchor);

// Moves notes by octaves into [low, low + span); with span up to an octave this is the anchored
// placement. A negative low only normalises.
NoteList foldNotesIntoWindow (NoteList notes, int low, int span);

struct VoicingCandidate
{
    NoteList notes;     // normalised
    double cost = 0.0;  // the candidate's own cost (candidateCost)
};

using CandidateList = std::vector<VoicingCandidate>;

// Cost of one voicing against the reference it was derived from: distance of the means, pull
// toward a centre (ignored when negative), and span and whole-tone penalties that depend on the
// voicing style. Both lists ascending.
double candidateCost (const NoteList& candidate, const NoteList& reference, int style, int centre);

// At most 64 candidate voicings of a note set inside a window, cheapest first (equal costs by
// their notes, smaller first). Never empty: an empty set gives one empty candidate.
CandidateList searchVoicings (const NoteList& notes, int style, int centre, int low, int span);

// Voice-leading distance between two voicings (negative when they share notes). With the top
// voice term on, new pitch classes entering below a held top note are penalised.
double voicingDistance (const NoteList& a, const NoteList& b, bool topVoiceTerm);

// Cost of moving from one voicing (previous) to the next (current); 0 when either is empty.
double voicingTransitionCost (const NoteList& current, const NoteList& previous);

// One voicing per entry, chosen as the cheapest path through each entry's candidates (own cost
// plus transition cost), ties going to the lowest candidate indices.
// `shouldStop`, when given, is asked before each entry: a search told to stop returns an empty
// list (its caller throws the compile away).
std::vector<NoteList> searchVoicingSequence (const std::vector<NoteList>& sets, int style, int centre, int low, int span,
                                             const std::function<bool()>& shouldStop = {});
