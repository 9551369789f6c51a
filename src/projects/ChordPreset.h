#pragma once

#include "processor/SectionData.h"

#include <juce_core/juce_core.h>

#include <vector>

// One chord preset as read from the JSON of the chord-preset overlay: a progression with its
// name, scale, tempo, voicings and arrangement settings. The member initialisers are the
// defaults a reader starts from. Pure values; any thread.
struct ChordPreset
{
    juce::String name { "Custom" };
    juce::String scale;
    int bpm = 0;
    juce::String progression;
    juce::String voicing { "Smooth" };   // after reading: equals bodyVoicing
    juce::String bassVoicing { "Smooth" };
    juce::String bodyVoicing { "Smooth" };
    juce::String shimmerVoicing { "Smooth" };
    bool bassLegato = false;
    bool bodyLegato = true;
    bool shimmerLegato = true;
    bool bassAddOctave = false;
    bool bassAddFifth = false;
    bool bodyAddRoot = true;
    bool bodyAddFifth = true;
    bool bodyWithShimmer = false;
    bool shimmerTopNote = false;
    bool shimmerColorNotes = false;
    int bassOctave = 0;
    int bodyOctave = 0;
    int shimmerOctave = 1;
};

// Reads one preset object into `preset` (which the caller has set to the defaults). Checks in a
// fixed order and stops at the first error: the object, "progression", then the voicings and
// the shimmer mode; `error` then holds the message. Names are stored trimmed, voicing names in
// their canonical spelling, and a "bpm" outside 1..999 is ignored, so that what the reader
// accepts also passes the processor's strict check of a saved project.
bool parseChordPreset (const juce::var& json, ChordPreset& preset, juce::String& error);

// Reads one voicing-name key of an object into `target` in its canonical spelling (a name is
// matched ignoring case). True and `target` untouched when the key is absent; false with a
// message naming the valid names for anything else.
bool readVoicingName (const juce::var& object, const juce::String& key, juce::String& target, juce::String& error);

// The text parsed as the overlay parses it: any JSON value (objects and arrays, also bare
// numbers and strings), void for invalid syntax, empty text, a bare null or nesting too deep
// to read safely.
juce::var parseChordPresetText (const juce::String& text);

// True for a preset object, or a non-empty array of them, that the overlay would apply.
bool isRecognisedChordPresetJson (const juce::String& text);

// The section a preset becomes: the section defaults with the preset's settings, the
// progression normalised, the tempo hint "<bpm> BPM" when bpm is positive and the scale text
// split into root and scale the way the processor's portable reader splits it (only when it
// begins with a note name). The section is named `name`.
SectionMode::SectionData makeSectionFromPreset (const ChordPreset& preset, const juce::String& name);

// A single preset replaces the song: named after the preset, "Custom" when its name is empty.
SectionMode::SectionData makeChordPresetSection (const ChordPreset& preset);

// A palette replaces all sections, at most 32 (later presets are dropped). A preset without a
// name takes the next free section name, since a section must be named.
SectionList makeSectionPalette (const std::vector<ChordPreset>& presets);
