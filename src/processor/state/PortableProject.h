#pragma once

#include "processor/state/PersistentState.h"
#include "song/SectionData.h"

#include <juce_core/juce_core.h>

// The portable project: the JSON form of the whole arrangement, the processor's one exchange
// format outside the host's state chunk (AI-client bridge, project library, presets, instance
// sync, older state chunks). Both objects are held as juce::var property objects whose key
// order is the written order.
struct PortableProject
{
    static constexpr const char* activeSectionIndexKey = "activeSectionIndex";
    static constexpr const char* sectionPlaybackModeKey = "sectionPlaybackMode";
    static constexpr const char* sectionsKey = "sections";

    static constexpr const char* loopSectionMode = "loopSection";
    static constexpr const char* advanceSectionsMode = "advanceSections";

    // The keys a project may hold, in written order.
    static const juce::StringArray& allowedKeys();
};

// One section in its portable form; the arrangement settings sit in a nested object.
struct PortableSection
{
    static constexpr const char* nameKey = "name";
    static constexpr const char* progressionKey = "progression";
    static constexpr const char* scaleKey = "scale";
    static constexpr const char* bpmKey = "bpm";
    static constexpr const char* voicingKey = "voicing";   // read leniently, never written
    static constexpr const char* bassVoicingKey = "bass_voicing";
    static constexpr const char* bodyVoicingKey = "body_voicing";
    static constexpr const char* shimmerVoicingKey = "shimmer_voicing";
    static constexpr const char* arrangementKey = "arrangement";

    static constexpr const char* bassOctaveKey = "bass_octave";
    static constexpr const char* bodyOctaveKey = "body_octave";
    static constexpr const char* shimmerOctaveKey = "shimmer_octave";
    static constexpr const char* bassLegatoKey = "bass_legato";
    static constexpr const char* bodyLegatoKey = "body_legato";
    static constexpr const char* shimmerLegatoKey = "shimmer_legato";
    static constexpr const char* bassAddOctaveKey = "bass_add_octave";
    static constexpr const char* bassAddFifthKey = "bass_add_fifth";
    static constexpr const char* bodyAddRootKey = "body_add_root";
    static constexpr const char* bodyAddFifthKey = "body_add_fifth";
    static constexpr const char* bodyWithShimmerKey = "body_with_shimmer";
    static constexpr const char* shimmerModeKey = "shimmer_mode";

    // The keys the strict check allows in a section and in its arrangement object.
    static const juce::StringArray& allowedKeys();
    static const juce::StringArray& allowedArrangementKeys();

    // Octave offsets in the portable form.
    static constexpr int minOctave = -4;
    static constexpr int maxOctave = 4;
};

// Shimmer modes: "Off" (0), "Top" (1), "Color" (2), "Halo" (3).
enum PortableShimmerMode { shimmerOff = 0, shimmerTop = 1, shimmerColor = 2, shimmerHalo = 3 };

// The mode's name, "Off" for a mode outside 0..3.
juce::String shimmerModeName (int mode);
// The mode the two section flags stand for.
int shimmerModeFromFlags (bool topNote, bool colourNotes);
// Trimmed, compared ignoring case with the four names; false (mode untouched) for anything else.
bool parseShimmerMode (const juce::String& text, int& mode);
// Sets the two flags for a mode 0..3; any other mode leaves both alone.
void shimmerModeToFlags (int mode, bool& topNote, bool& colourNotes);

// The octave a layer offset is written with: the offset clamped to -4..4, plus (baseOctave - 3),
// clamped again. The portable form has no base octave of its own.
int portableOctaveValue (int layerOffset, int baseOctave);

// The tempo a section's tempo hint is written with ("90-110 BPM" gives 90); 0 when it has none.
juce::int64 portableBpmValue (const juce::String& suggestedBpm);

// A root note as a scale text may begin with: A to G (either case), optionally "#" or "b".
bool isPortableRootNoteName (const juce::String& text);

// The section in its portable form, keys in their fixed order. Pure.
juce::var sectionToPortableJson (const SectionMode::SectionData& section);

// The whole record as a portable project. Pure; the processor calls it on a locked copy. The
// selected index is written within the sections (0 when none is selected).
juce::var stateToPortableProject (const PersistentState& state);

// The lenient reader shared by apply, the strict check, the sync payload and the older state
// chunk. The section passed in carries the defaults: missing keys leave its fields alone. Fails
// only on a non-object, an unknown voicing name or an unknown shimmer mode; on failure `error`
// holds the message and the section may be partly filled.
bool parsePortableSection (const juce::var& value, SectionMode::SectionData& section, juce::String& error);

// Reads one voicing-name key of a section object into `field` (as written, untrimmed). A missing
// key succeeds and leaves the field alone; a name outside the seven styles fails with a message.
bool readVoicingField (const juce::var& sectionObject, const juce::Identifier& key,
                       juce::String& field, juce::String& error);
