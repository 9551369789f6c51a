#pragma once

#include <juce_core/juce_core.h>

#include <vector>

// The chord editor's own vocabulary: a chord is built from a character (its triad or frame)
// and a colour, and judged against a scale by its pitch classes. Separate from the compile's
// chord-quality table on purpose: the editor offers a smaller, curated set of qualities.

// One split of a quality into character ("major", "5", "m", "sus2", "sus4", "aug", "dim")
// and colour ("None" for the plain chord).
struct QualityPartsRow
{
    juce::String quality;   // as written after the root; empty for the major triad
    juce::String character;
    juce::String color;
};

// A chord-length menu entry: what the menu shows and the duration text it writes.
struct BarLengthChoice
{
    juce::String label;
    juce::String value;
};

// Like canonicalQuality, except that "Major", "maj" and "M" give "major" (and "major" stays).
juce::String canonicalEditorQuality (const juce::String& quality);

// The 55 quality rows in menu order.
const std::vector<QualityPartsRow>& getQualityPartsTable();

// Pitch-class offsets (0..11) of an editor quality in written order; empty when unknown.
// "major" and the empty quality are the plain triad.
std::vector<int> getQualityIntervals (const juce::String& quality);

// The six chord-length choices, "0.25 bar" .. "8 bars".
const std::vector<BarLengthChoice>& getBarLengthChoices();

// A count of bars as text: "0 bars" when not positive, else e.g. "1 bar", "2 bars", "0.5 bars".
juce::String formatBarCount (double bars);
