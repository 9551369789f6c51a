#pragma once

#include <juce_core/juce_core.h>

#include <vector>

namespace SectionMode
{
// One section of the song. A plain value: copied, moved and compared field by field. The field
// names double as the property keys of a saved "Section" tree.
struct SectionData
{
    juce::String name { "A" };
    juce::String progression;
    juce::String voicing { "Smooth" };        // kept with the section, never read back into the working fields
    juce::String bassVoicing { "Smooth" };
    juce::String bodyVoicing { "Smooth" };
    juce::String shimmerVoicing { "Smooth" };
    juce::String bassMotion { "Balanced" };
    int baseOctave = 3;
    bool arrangeBassLegato = false;
    bool arrangeBodyLegato = true;
    bool arrangeShimmerLegato = true;
    bool arrangeBassAddOctave = false;
    bool arrangeBassAddFifth = false;
    bool arrangeBodyAddRoot = true;
    bool arrangeBodyAddFifth = true;
    bool arrangeBodyWithShimmer = false;
    bool arrangeShimmerTopNoteEnabled = false;
    bool arrangeShimmerColorNotesEnabled = false;
    int bassOctave = 0;
    int bodyOctave = 0;
    int shimmerOctave = 1;
    juce::String scale;
    juce::String rootKey;
    juce::String suggestedBpm;

    // Every field, the name included (texts compared exactly).
    bool operator== (const SectionData& other) const;
    bool operator!= (const SectionData& other) const { return ! operator== (other); }
};

// Every field except `name`. A compiled section is reusable for another section whose fields
// match this way, because the name never reaches the compiled notes.
bool equalsIgnoringName (const SectionData& a, const SectionData& b);

// A song holds at most this many sections (enforced where sections come in).
constexpr int maxSections = 32;
} // namespace SectionMode

using SectionList = std::vector<SectionMode::SectionData>;

// Position of a voicing-style name among "None" .. "Jazz", ignoring case; -1 when not found.
int findVoicingStyleIndex (const juce::String& name);
// Position of a bass-motion name among "Strict", "Balanced", "Moving", ignoring case; -1 when not found.
int findBassMotionIndex (const juce::String& name);

// The same lookups with the fall-backs a stored name gets: "Smooth" (2) and "Balanced" (1).
int readVoicingStyleIndex (const juce::String& name);
int readBassMotionIndex (const juce::String& name);

// The name stored for an index: "Smooth" / "Balanced" for an index outside its list.
juce::String voicingStyleNameForIndex (int index);
juce::String bassMotionNameForIndex (int index);

// The style and motion indices a section compiles with.
int getSectionBassMotionIndex (const SectionMode::SectionData& section);
int getSectionBodyVoicingIndex (const SectionMode::SectionData& section);
int getSectionShimmerVoicingIndex (const SectionMode::SectionData& section);

// The first free name among "A".."Z", "27".."32" for a new section, else "Section " + (count + 1).
// A section's used name is its name trimmed and cut before a " - " (or " – ") separator.
juce::String nextSectionName (const SectionList& sections);
