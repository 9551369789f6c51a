#pragma once

#include "processor/sync/InstanceSyncCoordinator.h"
#include "processor/state/PersistentState.h"

#include <optional>

// The musical state a leader shares with its followers and how a follower takes it over. Pure
// functions on state copies; InstanceSyncLink moves the results in and out of the processor.

// The payload of a leader's record: the working texts, the playback mode and every section in
// its portable form, with the section's root key, scale name and tempo hint set on top as
// written (the portable form folds root and scale into one text and keeps only a number of the
// tempo hint).
juce::var makeSyncPayload (const PersistentState& state);

// The follower's next state: `current` with the leader's snapshot read onto it, in the follower
// role under the given sync id. Nothing when the payload is not an object. Fields the payload
// does not carry (bass motion, base octave, a section's older voicing name) are kept from the
// follower's section at the same position, or from its working section for new positions.
std::optional<PersistentState> mergeLeaderSnapshot (const PersistentState& current,
                                                    const InstanceSync::SharedSnapshot& snapshot,
                                                    const juce::String& syncInstanceId);

// Whether two songs agree in everything the payload carries: names, progressions, root keys,
// scales, tempo hints, the three layer voicings, legato and arrangement flags and the octave
// offsets.
bool syncSectionsAgree (const SectionList& a, const SectionList& b);

// How a follower installs a merged state.
enum class SyncApplyPath
{
    unchanged,   // nothing the leader shares has changed
    light,       // same song, only the selection or the playback mode moved: no playback reset
    full         // anything else: the whole state is replaced and the role re-entered
};

SyncApplyPath chooseSyncApplyPath (const PersistentState& current, const PersistentState& next);
