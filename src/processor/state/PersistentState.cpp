#include "processor/state/PersistentState.h"

void PersistentState::applySection (const SectionMode::SectionData& section)
{
    progression = section.progression;

    bassVoicing = readVoicingStyleIndex (section.bassVoicing);
    bodyVoicing = readVoicingStyleIndex (section.bodyVoicing);
    shimmerVoicing = readVoicingStyleIndex (section.shimmerVoicing);
    inversionType = bodyVoicing;

    bassMotion = readBassMotionIndex (section.bassMotion);
    baseOctave = clampSectionBaseOctave (section.baseOctave);

    bassLegato = section.arrangeBassLegato;
    bodyLegato = section.arrangeBodyLegato;
    shimmerLegato = section.arrangeShimmerLegato;

    arrangeBassAddOctave = section.arrangeBassAddOctave;
    arrangeBassAddFifth = section.arrangeBassAddFifth;
    arrangeBodyAddRoot = section.arrangeBodyAddRoot;
    arrangeBodyAddFifth = section.arrangeBodyAddFifth;
    arrangeBodyWithShimmer = section.arrangeBodyWithShimmer;
    arrangeShimmerTopNoteEnabled = section.arrangeShimmerTopNoteEnabled;
    arrangeShimmerColorNotesEnabled = section.arrangeShimmerColorNotesEnabled;

    bassOctave = clampLayerOctaveOffset (section.bassOctave);
    bodyOctave = clampLayerOctaveOffset (section.bodyOctave);
    shimmerOctave = clampLayerOctaveOffset (section.shimmerOctave);

    currentScaleName = section.scale;
    currentRootKey = section.rootKey;
    currentSuggestedBpm = section.suggestedBpm;
}

juce::String PersistentState::makeSyncInstanceId()
{
    return juce::Uuid().toString().toLowerCase();
}

SectionMode::SectionData makeWorkingSection (const PersistentState& state)
{
    SectionMode::SectionData section;
    section.name = nextSectionName (state.Sections);
    section.progression = state.progression;

    section.voicing = voicingStyleNameForIndex (state.bodyVoicing);
    section.bassVoicing = voicingStyleNameForIndex (state.bassVoicing);
    section.bodyVoicing = voicingStyleNameForIndex (state.bodyVoicing);
    section.shimmerVoicing = voicingStyleNameForIndex (state.shimmerVoicing);
    section.bassMotion = bassMotionNameForIndex (state.bassMotion);

    // Copied as stored: the working fields were clamped when they were set.
    section.baseOctave = state.baseOctave;
    section.arrangeBassLegato = state.bassLegato;
    section.arrangeBodyLegato = state.bodyLegato;
    section.arrangeShimmerLegato = state.shimmerLegato;
    section.arrangeBassAddOctave = state.arrangeBassAddOctave;
    section.arrangeBassAddFifth = state.arrangeBassAddFifth;
    section.arrangeBodyAddRoot = state.arrangeBodyAddRoot;
    section.arrangeBodyAddFifth = state.arrangeBodyAddFifth;
    section.arrangeBodyWithShimmer = state.arrangeBodyWithShimmer;
    section.arrangeShimmerTopNoteEnabled = state.arrangeShimmerTopNoteEnabled;
    section.arrangeShimmerColorNotesEnabled = state.arrangeShimmerColorNotesEnabled;
    section.bassOctave = state.bassOctave;
    section.bodyOctave = state.bodyOctave;
    section.shimmerOctave = state.shimmerOctave;

    section.scale = state.currentScaleName;
    section.rootKey = state.currentRootKey;
    section.suggestedBpm = state.currentSuggestedBpm;
    return section;
}

int clampOutputLayerMode (int mode)
{
    return (unsigned int) mode <= 6u ? mode : 0;
}

int clampLayerOctaveOffset (int offset)
{
    return juce::jlimit (-5, 5, offset);
}

int clampSectionBaseOctave (int octave)
{
    return juce::jlimit (0, 8, octave);
}

int clampArrangementVoiceTab (int tab)
{
    return (unsigned int) tab <= 2u ? tab : 1;
}

int clampSelectedSectionViewIndex (int index, int sectionCount)
{
    if (index < -1)
        return -1;

    return juce::jmin (index, sectionCount - 1);
}
