#include "processor/state/PersistentState.h"

#include "support/SongBuilders.h"

#include <gtest/gtest.h>

#include <functional>

using SectionMode::SectionData;

using corvessa::test::sectionsNamed;

SectionData sectionNamed (const juce::String& name) { return corvessa::test::section (name, {}); }

// The defaults as written: tests/data/golden/fresh-instance-state.xml (GoldenStateTest).
TEST (PersistentStateRecord, EveryRecordHasAFreshSyncIdentity)
{
    const PersistentState a, b;
    EXPECT_EQ (a.syncInstanceId.length(), 32);
    EXPECT_TRUE (a.syncInstanceId.containsOnly ("0123456789abcdef"));
    EXPECT_NE (a.syncInstanceId, b.syncInstanceId);
    EXPECT_EQ (PersistentState (a).syncInstanceId, a.syncInstanceId); // a copy keeps the identity
}

TEST (PersistentStateRecord, ApplySectionReadsNamesAndClampsOctaves)
{
    PersistentState state;
    state.locked = true;

    SectionData s;
    s.name = "Chorus";
    s.voicing = "None";
    s.progression = "C Am F G";
    s.bassVoicing = "guitarist";
    s.bodyVoicing = "jazz";
    s.shimmerVoicing = "Drop 2";
    s.bassMotion = "MOVING";
    s.baseOctave = 12;
    s.arrangeBassLegato = true;
    s.arrangeBodyLegato = false;
    s.arrangeShimmerLegato = false;
    s.arrangeBassAddOctave = true;
    s.arrangeBassAddFifth = true;
    s.arrangeBodyAddRoot = false;
    s.arrangeBodyAddFifth = false;
    s.arrangeBodyWithShimmer = true;
    s.arrangeShimmerTopNoteEnabled = true;
    s.arrangeShimmerColorNotesEnabled = true;
    s.bassOctave = 9;
    s.bodyOctave = -7;
    s.shimmerOctave = 3;
    s.scale = "Dorian";
    s.rootKey = "D";
    s.suggestedBpm = "96";

    state.applySection (s);

    EXPECT_EQ (state.progression, "C Am F G");
    EXPECT_EQ (state.bassVoicing, 3);
    EXPECT_EQ (state.bodyVoicing, 6);
    EXPECT_EQ (state.inversionType, 6);
    EXPECT_EQ (state.shimmerVoicing, 2);
    EXPECT_EQ (state.bassMotion, 2);
    EXPECT_EQ (state.baseOctave, 8);
    EXPECT_TRUE (state.bassLegato);
    EXPECT_FALSE (state.bodyLegato);
    EXPECT_FALSE (state.shimmerLegato);
    EXPECT_TRUE (state.arrangeBassAddOctave && state.arrangeBassAddFifth && state.arrangeBodyWithShimmer
                 && state.arrangeShimmerTopNoteEnabled && state.arrangeShimmerColorNotesEnabled);
    EXPECT_FALSE (state.arrangeBodyAddRoot || state.arrangeBodyAddFifth);
    EXPECT_EQ (state.bassOctave, 5);
    EXPECT_EQ (state.bodyOctave, -5);
    EXPECT_EQ (state.shimmerOctave, 3);
    EXPECT_EQ (state.currentScaleName, "Dorian");
    EXPECT_EQ (state.currentRootKey, "D");
    EXPECT_EQ (state.currentSuggestedBpm, "96");
    EXPECT_TRUE (state.locked);

    s.baseOctave = -2;
    s.bassMotion = "";
    state.applySection (s);
    EXPECT_EQ (state.baseOctave, 0);
    EXPECT_EQ (state.bassMotion, 1);
}

TEST (PersistentStateRecord, WorkingSectionMirrorsTheWorkingFields)
{
    PersistentState state;
    state.Sections = sectionsNamed ({ "A", "B - Bridge" });
    state.progression = "Dm7 G7";
    state.bassVoicing = 0;
    state.bodyVoicing = 6;
    state.inversionType = 6;
    state.shimmerVoicing = 9;      // outside the list
    state.bassMotion = -1;         // outside the list
    state.baseOctave = 11;         // copied without clamping
    state.bassLegato = true;
    state.bodyLegato = false;
    state.arrangeBodyWithShimmer = true;
    state.bassOctave = -9;
    state.currentScaleName = "Minor";
    state.currentRootKey = "A";
    state.currentSuggestedBpm = "80";

    const auto w = makeWorkingSection (state);
    EXPECT_EQ (w.name, "C");
    EXPECT_EQ (w.progression, "Dm7 G7");
    EXPECT_EQ (w.voicing, "Jazz");
    EXPECT_EQ (w.bassVoicing, "None");
    EXPECT_EQ (w.bodyVoicing, "Jazz");
    EXPECT_EQ (w.shimmerVoicing, "Smooth");
    EXPECT_EQ (w.bassMotion, "Balanced");
    EXPECT_EQ (w.baseOctave, 11);
    EXPECT_TRUE (w.arrangeBassLegato);
    EXPECT_FALSE (w.arrangeBodyLegato);
    EXPECT_TRUE (w.arrangeShimmerLegato);
    EXPECT_TRUE (w.arrangeBodyWithShimmer);
    EXPECT_EQ (w.bassOctave, -9);
    EXPECT_EQ (w.scale, "Minor");
    EXPECT_EQ (w.rootKey, "A");
    EXPECT_EQ (w.suggestedBpm, "80");

    // A section taken into the working fields comes back unchanged but for its name.
    SectionData s;
    s.progression = "F:2 C";
    s.bodyVoicing = "Bassist";
    s.voicing = "Bassist";
    s.bassMotion = "Strict";
    s.shimmerOctave = -2;
    s.arrangeShimmerColorNotesEnabled = true;
    PersistentState other;
    other.applySection (s);
    EXPECT_TRUE (SectionMode::equalsIgnoringName (makeWorkingSection (other), s));
}

TEST (PersistentStateRanges, ClampsOfTheStoredFields)
{
    struct Case { int in; int layerMode; int octaveOffset; int baseOctave; int voiceTab; };
    const std::vector<Case> cases {
        { 0, 0, 0, 0, 0 },
        { 2, 2, 2, 2, 2 },
        { 3, 3, 3, 3, 1 },
        { 6, 6, 5, 6, 1 },
        { 7, 0, 5, 7, 1 },
        { 9, 0, 5, 8, 1 },
        { -1, 0, -1, 0, 1 },
        { -7, 0, -5, 0, 1 },
        { std::numeric_limits<int>::min(), 0, -5, 0, 1 },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.in);
        EXPECT_EQ (clampOutputLayerMode (c.in), c.layerMode);
        EXPECT_EQ (clampLayerOctaveOffset (c.in), c.octaveOffset);
        EXPECT_EQ (clampSectionBaseOctave (c.in), c.baseOctave);
        EXPECT_EQ (clampArrangementVoiceTab (c.in), c.voiceTab);
    }

    EXPECT_EQ (clampSelectedSectionViewIndex (10, 3), 2);
    EXPECT_EQ (clampSelectedSectionViewIndex (-4, 3), -1);
    EXPECT_EQ (clampSelectedSectionViewIndex (1, 3), 1);
    EXPECT_EQ (clampSelectedSectionViewIndex (2, 0), -1);
    EXPECT_EQ (clampSelectedSectionViewIndex (-1, 0), -1);
}
