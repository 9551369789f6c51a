#pragma once

#include <juce_core/juce_core.h>

#include <vector>

// The scales a section's key can use, and the tests of whether notes and chords fit them.

struct ScaleDefinition
{
    juce::String name;
    std::vector<int> intervals; // ascending semitones above the root, starting with 0, all below 12
};

// The 20 scales, "Major" .. "Hungarian Min.", in menu order.
const std::vector<ScaleDefinition>& getScaleTable();

// The twelve sharp note names the interface offers as key roots; index = pitch class.
const juce::StringArray& getNoteNames();

// Pitch class 0..11 of a trimmed sharp note name (exact, case-sensitive), -1 when not one.
int getPitchClass (const juce::String& noteName);

// The table name for a scale name; long spellings ("Harmonic Minor") map to the table's short
// ones, and anything unknown reads as "Major".
juce::String normaliseScaleName (const juce::String& scaleName);

// The table row for a scale name (after normaliseScaleName), or nullptr when none matches.
const ScaleDefinition* findScale (const juce::String& scaleName);

// Whether a MIDI note lies on the scale built on the key root; false when the root is unknown.
bool isPitchInScale (const juce::String& keyRoot, const juce::String& scaleName, int pitch);

// Whether every tone of a chord (an editor quality on a root) lies on the scale; false when a
// root is unknown or the quality has no intervals.
bool chordFitsScale (const juce::String& keyRoot, const juce::String& scaleName,
                     const juce::String& chordRoot, const juce::String& quality);
