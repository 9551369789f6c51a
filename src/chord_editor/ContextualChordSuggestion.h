#pragma once

#include <juce_core/juce_core.h>

// One chord the chord editor suggests for the place of the chord being edited.
struct ContextualChordSuggestion
{
    juce::String label;   // degree numeral, a blank and the chord: "vi Am7"
    juce::String root;    // sharp note name
    juce::String quality; // as written after the root; empty for the major triad
    juce::String role;    // what the chord does there: "Best connection", ..., "Also in key"
};
