#pragma once

#include "harmony/ChordEditorVocabulary.h"

#include <juce_core/juce_core.h>

#include <vector>

// How the chord editor composes one chord: the root, character and color choices it offers,
// the key's diatonic chords with their degree numerals, and the chord-length texts of its
// length field. Pure functions over read-only tables; any thread.

// One diatonic chord of a key: "ii Dm", "D", "m".
struct QuickChord
{
    juce::String label;   // degree numeral, a blank, root and quality
    juce::String root;    // sharp note name
    juce::String quality; // as written after the root; empty for the major triad
};

// A character button: what it shows and the character it selects.
struct CharacterChoice
{
    juce::String label;
    juce::String value;
};

// The twelve sharp note names "C" .. "B" (index = pitch class): the root keyboard and the bass choices.
const juce::StringArray& getRootChoices();

// "Maj"/"major", "Power"/"5", "Min"/"m", "Sus 2"/"sus2", "Sus 4"/"sus4", "Aug"/"aug", "Dim"/"dim".
const std::vector<CharacterChoice>& getCharacterChoices();

// The six colors that have buttons of their own ("None" .. "9"); the others sit behind "More".
const juce::StringArray& getColorChoices();

// The first row of the quality parts table whose quality is the same chord as this one (the
// major triad named "", "major", "M", ...); null when the builder has no row for it.
const QualityPartsRow* findQualityPartsRow (const juce::String& quality);

// The row that joins a character and a color; null when that pair names no quality.
const QualityPartsRow* findQualityPartsRow (const juce::String& character, const juce::String& color);

// The form two qualities are compared in: canonicalEditorQuality, "major" for the plain triad.
juce::String editorQualityKey (const juce::String& quality);

// What a degree without a triad of its own gives from diatonicTriadQuality.
extern const char* const noTriadOnDegree; // "__skip__"

// The triad that stands on a scale degree: "" (major), "m", "dim", "aug", "sus2", "sus4", "5",
// or noTriadOnDegree. Seven-note scales stack thirds; any other scale (and a seven-note degree
// whose stacked third and fifth name no triad) takes the first triad its notes allow.
juce::String diatonicTriadQuality (const std::vector<int>& scaleIntervals, int degree);

// "I" .. "VII" for degrees 0 .. 6 (clamped), in lower case for minor and diminished qualities,
// with "dim" appended for the plain diminished triad: romanDegreeLabel (6, "dim") is "viidim".
juce::String romanDegreeLabel (int degree, const juce::String& quality);

// The chords on the first `limit` degrees of a key, degrees without a triad left out; empty
// when the key root is no sharp note name or the scale is unknown.
std::vector<QuickChord> buildQuickChords (const juce::String& keyRoot, const juce::String& scaleName, int limit);

// A chord length: a positive number of bars ("1", "0.5") or "T" and a positive tick count.
bool isValidLengthText (const juce::String& lengthText);

// The bars of a length text for stepping and limits; a tick length counts as one bar.
double lengthTextBars (const juce::String& lengthText);

// Whether two length texts name the same length: tick lengths equal ignoring case, numbers
// within 0.0001 of each other.
bool lengthTextsMatch (const juce::String& a, const juce::String& b);

// What the length field shows for a length text: the menu label of a length the menu offers
// ("0.50 bar"), else "3 bars" / "1 bar"; a tick length stays as written.
juce::String formatLengthLabel (const juce::String& lengthText);
