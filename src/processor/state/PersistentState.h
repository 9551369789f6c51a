#pragma once

#include "song/SectionData.h"

#include <juce_core/juce_core.h>
#include <juce_data_structures/juce_data_structures.h>

// Everything the user edits in one instance. Next to the song (`Sections`) it holds the working
// section spread over its own fields, which the editor's arrangement controls edit directly.
// The field names are the property keys of the saved state tree. The processor guards the
// record with its state lock; the record itself has no behaviour beyond the copy-ins below.
struct PersistentState
{
    juce::String progression;
    int inversionType = 2;                  // always equal to bodyVoicing
    int bassVoicing = 2;                    // voicing-style indices, "None" (0) .. "Jazz" (6)
    int bodyVoicing = 2;
    int shimmerVoicing = 2;
    int bassMotion = 1;                     // "Strict" (0), "Balanced" (1), "Moving" (2)
    int baseOctave = 3;
    juce::String defaultDuration { "1" };
    bool locked = false;
    bool arrangeBassAddOctave = false;
    bool arrangeBassAddFifth = false;
    bool arrangeBodyAddRoot = true;
    bool arrangeBodyAddFifth = true;
    bool arrangeBodyWithShimmer = false;
    bool arrangeShimmerTopNoteEnabled = false;
    bool arrangeShimmerColorNotesEnabled = false;
    int bassOctave = 0;                     // octave offsets, -5..5
    int bodyOctave = 0;
    int shimmerOctave = 1;
    int outputLayerMode = 0;                // channel-1 mix, 0..6 (see clampOutputLayerMode)
    int selectedArrangementVoiceTab = 1;    // 0..2
    bool bassLegato = false;
    bool bodyLegato = true;
    bool shimmerLegato = true;
    bool moodVisible = false;
    int moodId = 1;
    int moodKeyId = 1;
    bool moodFifthOfFifth = false;
    bool moodTritone = false;
    bool moodChromaticMediant = false;
    bool moodSlashChords = true;
    int moodBars = 0;
    juce::String currentScaleName;
    juce::String currentRootKey;
    juce::String currentSuggestedBpm;
    int selectedSectionViewIndex = -1;      // -1 = the working section
    int sectionPlaybackMode = 0;            // 0 loop the selected section, 1 advance through the sections
    int syncMode = 0;                       // 0 Off, 1 Leader, 2 Follower
    juce::String syncInstanceId { makeSyncInstanceId() };
    juce::ValueTree PreFollowerState;       // invalid unless saved when becoming a follower
    SectionList Sections;

    // Copies a section into the working fields (its name and `voicing` are not read; `locked`
    // is kept). Names are read ignoring case with the usual fall-backs; octaves are clamped.
    void applySection (const SectionMode::SectionData& section);

    // A fresh lasting sync identity: a random UUID as 32 lower-case hex digits, no dashes.
    static juce::String makeSyncInstanceId();
};

// The working fields as a section, named with the next free section name of the record's song.
SectionMode::SectionData makeWorkingSection (const PersistentState& state);

// Ranges of the record's fields, applied by setters and readers.
int clampOutputLayerMode (int mode);                                  // 0..6, anything else 0
int clampLayerOctaveOffset (int offset);                              // -5..5
int clampSectionBaseOctave (int octave);                              // 0..8
int clampArrangementVoiceTab (int tab);                               // 0..2, anything else 1
int clampSelectedSectionViewIndex (int index, int sectionCount);      // -1..sectionCount-1
