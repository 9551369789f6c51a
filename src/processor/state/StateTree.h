#pragma once

#include "processor/state/PersistentState.h"

#include <juce_data_structures/juce_data_structures.h>

// The tree form of the state record and of one section, as saved in the host's project (the
// "PersistentState" child of the parameter tree) and as kept for a follower's own state.
// Properties are written in a fixed order; readers start from the defaults, take what the tree
// holds key by key, understand the older key names and clamp what has a range.

// A "PersistentState" tree with the record's 39 properties, "Sections" and, when the record
// holds one, "PreFollowerState".
juce::ValueTree writePersistentStateTree (const PersistentState& record);

// The defaults (with a fresh sync id) overlaid with what the tree holds; an invalid tree gives
// the defaults.
PersistentState readPersistentStateTree (const juce::ValueTree& tree);

// One "Section" tree with its 24 properties.
juce::ValueTree sectionToTree (const SectionMode::SectionData& section);

// The default section overlaid with what the tree holds.
SectionMode::SectionData readSectionTree (const juce::ValueTree& tree);
