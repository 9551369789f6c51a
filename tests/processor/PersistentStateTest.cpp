#include "processor/PersistentState.h"

#include <gtest/gtest.h>

#include <functional>

using SectionMode::SectionData;

namespace
{
SectionData sectionNamed (const juce::String& name)
{
    SectionData s;
    s.name = name;
    return s;
}

SectionList sectionsNamed (std::initializer_list<const char*> names)
{
    SectionList list;
    for (auto* n : names)
        list.push_back (sectionNamed (juce::CharPointer_UTF8 (n)));
    return list;
}
} // namespace

TEST (SectionRecord, DefaultsAreThoseOfANewSection)
{
    const SectionData s;
    EXPECT_EQ (s.name, "A");
    EXPECT_EQ (s.progression, "");
    for (auto* voicing : { &s.voicing, &s.bassVoicing, &s.bodyVoicing, &s.shimmerVoicing })
        EXPECT_EQ (*voicing, "Smooth");
    EXPECT_EQ (s.bassMotion, "Balanced");
    EXPECT_EQ (s.baseOctave, 3);
    EXPECT_FALSE (s.arrangeBassLegato);
    EXPECT_TRUE (s.arrangeBodyLegato);
    EXPECT_TRUE (s.arrangeShimmerLegato);
    EXPECT_FALSE (s.arrangeBassAddOctave);
    EXPECT_FALSE (s.arrangeBassAddFifth);
    EXPECT_TRUE (s.arrangeBodyAddRoot);
    EXPECT_TRUE (s.arrangeBodyAddFifth);
    EXPECT_FALSE (s.arrangeBodyWithShimmer);
    EXPECT_FALSE (s.arrangeShimmerTopNoteEnabled);
    EXPECT_FALSE (s.arrangeShimmerColorNotesEnabled);
    EXPECT_EQ (s.bassOctave, 0);
    EXPECT_EQ (s.bodyOctave, 0);
    EXPECT_EQ (s.shimmerOctave, 1);
    EXPECT_TRUE (s.scale.isEmpty() && s.rootKey.isEmpty() && s.suggestedBpm.isEmpty());
}

// Each row changes one field. Both equalities must see every input field; only the full one
// sees the name. A field forgotten in either comparison shows up as a failing row.
TEST (SectionRecord, EqualityComparesEveryFieldAndTheReuseTestAllButTheName)
{
    struct Case { const char* field; std::function<void (SectionData&)> change; };
    const std::vector<Case> cases {
        { "name", [] (SectionData& s) { s.name = "B"; } },
        { "progression", [] (SectionData& s) { s.progression = "C"; } },
        { "voicing", [] (SectionData& s) { s.voicing = "Jazz"; } },
        { "bassVoicing", [] (SectionData& s) { s.bassVoicing = "Jazz"; } },
        { "bodyVoicing", [] (SectionData& s) { s.bodyVoicing = "Jazz"; } },
        { "shimmerVoicing", [] (SectionData& s) { s.shimmerVoicing = "Jazz"; } },
        { "bassMotion", [] (SectionData& s) { s.bassMotion = "Moving"; } },
        { "baseOctave", [] (SectionData& s) { s.baseOctave = 4; } },
        { "arrangeBassLegato", [] (SectionData& s) { s.arrangeBassLegato = true; } },
        { "arrangeBodyLegato", [] (SectionData& s) { s.arrangeBodyLegato = false; } },
        { "arrangeShimmerLegato", [] (SectionData& s) { s.arrangeShimmerLegato = false; } },
        { "arrangeBassAddOctave", [] (SectionData& s) { s.arrangeBassAddOctave = true; } },
        { "arrangeBassAddFifth", [] (SectionData& s) { s.arrangeBassAddFifth = true; } },
        { "arrangeBodyAddRoot", [] (SectionData& s) { s.arrangeBodyAddRoot = false; } },
        { "arrangeBodyAddFifth", [] (SectionData& s) { s.arrangeBodyAddFifth = false; } },
        { "arrangeBodyWithShimmer", [] (SectionData& s) { s.arrangeBodyWithShimmer = true; } },
        { "arrangeShimmerTopNoteEnabled", [] (SectionData& s) { s.arrangeShimmerTopNoteEnabled = true; } },
        { "arrangeShimmerColorNotesEnabled", [] (SectionData& s) { s.arrangeShimmerColorNotesEnabled = true; } },
        { "bassOctave", [] (SectionData& s) { s.bassOctave = -1; } },
        { "bodyOctave", [] (SectionData& s) { s.bodyOctave = 1; } },
        { "shimmerOctave", [] (SectionData& s) { s.shimmerOctave = 0; } },
        { "scale", [] (SectionData& s) { s.scale = "Minor"; } },
        { "rootKey", [] (SectionData& s) { s.rootKey = "A"; } },
        { "suggestedBpm", [] (SectionData& s) { s.suggestedBpm = "120"; } },
    };
    ASSERT_EQ (cases.size(), 24u);

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.field);
        const SectionData original;
        auto changed = original;
        c.change (changed);
        EXPECT_FALSE (changed == original);
        EXPECT_TRUE (changed != original);
        EXPECT_EQ (SectionMode::equalsIgnoringName (changed, original), juce::String (c.field) == "name");
    }

    EXPECT_TRUE (SectionData() == SectionData());
}

TEST (SectionRecord, TextsCompareExactly)
{
    SectionData a, b;
    b.bodyVoicing = "smooth";
    EXPECT_FALSE (SectionMode::equalsIgnoringName (a, b));
    b = a;
    b.name = "a";
    EXPECT_FALSE (a == b);
}

TEST (NameReaders, IgnoreCaseAndFallBackToSmoothAndBalanced)
{
    struct Case { const char* name; int style; int motion; };
    const std::vector<Case> cases {
        { "None", 0, 1 },
        { "first inversion", 1, 1 },
        { "JAZZ", 6, 1 },
        { "Drop 2", 2, 1 },
        { "", 2, 1 },
        { " Jazz", 2, 1 },      // no trimming
        { "strict", 2, 0 },
        { "moving", 2, 2 },
        { "BALANCED", 2, 1 },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        EXPECT_EQ (readVoicingStyleIndex (c.name), c.style);
        EXPECT_EQ (readBassMotionIndex (c.name), c.motion);
    }

    EXPECT_EQ (findVoicingStyleIndex ("Drop 2"), -1);
    EXPECT_EQ (findBassMotionIndex ("Drop 2"), -1);

    SectionData s;
    s.bodyVoicing = "pianist";
    s.shimmerVoicing = "Bassist";
    s.bassMotion = "strict";
    EXPECT_EQ (getSectionBodyVoicingIndex (s), 4);
    EXPECT_EQ (getSectionShimmerVoicingIndex (s), 5);
    EXPECT_EQ (getSectionBassMotionIndex (s), 0);
    s.bodyVoicing = "Quartal";
    s.bassMotion = "Wild";
    EXPECT_EQ (getSectionBodyVoicingIndex (s), 2);
    EXPECT_EQ (getSectionBassMotionIndex (s), 1);
}

TEST (NameReaders, IndexToNameFallsBackOutsideTheLists)
{
    const std::vector<std::pair<int, const char*>> styles { { 0, "None" }, { 1, "First Inversion" }, { 6, "Jazz" }, { 7, "Smooth" }, { -1, "Smooth" } };
    for (const auto& [index, name] : styles)
        EXPECT_EQ (voicingStyleNameForIndex (index), name) << index;

    const std::vector<std::pair<int, const char*>> motions { { 0, "Strict" }, { 2, "Moving" }, { 3, "Balanced" }, { -1, "Balanced" } };
    for (const auto& [index, name] : motions)
        EXPECT_EQ (bassMotionNameForIndex (index), name) << index;
}

TEST (NextSectionName, TakesTheFirstFreeLetterOrNumber)
{
    struct Case { const char* label; SectionList sections; juce::String expected; };
    SectionList allLettersButQ;
    for (char c = 'A'; c <= 'Z'; ++c)
        if (c != 'Q')
            allLettersButQ.push_back (sectionNamed (juce::String::charToString (c)));

    SectionList allLetters = allLettersButQ;
    allLetters.push_back (sectionNamed ("q"));

    SectionList all32 = allLetters;
    for (int n = 27; n <= 32; ++n)
        all32.push_back (sectionNamed (juce::String (n)));

    SectionList allButLastNumber (all32.begin(), all32.end() - 1);

    const std::vector<Case> cases {
        { "empty song", {}, "A" },
        { "separator and lower case", sectionsNamed ({ "A - Verse", "b" }), "C" },
        { "en dash separator", sectionsNamed ({ "  A \xe2\x80\x93 Intro " }), "B" },
        { "hyphen without spaces is part of the name", sectionsNamed ({ "A-Verse" }), "A" },
        { "separator at the start does not cut", sectionsNamed ({ " - A" }), "A" },
        { "first separator wins", sectionsNamed ({ "A - B - C" }), "B" },
        { "gaps are filled first", sectionsNamed ({ "A", "C" }), "B" },
        { "letters before numbers", allLettersButQ, "Q" },
        { "numbers after Z", allLetters, "27" },
        { "last number", allButLastNumber, "32" },
        { "everything taken", all32, "Section 33" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (nextSectionName (c.sections), c.expected) << c.label;
}

TEST (PersistentStateRecord, DefaultsAndAFreshSyncIdentity)
{
    const PersistentState a, b;
    EXPECT_EQ (a.progression, "");
    EXPECT_EQ (a.inversionType, 2);
    EXPECT_EQ (a.bassVoicing, 2);
    EXPECT_EQ (a.bodyVoicing, 2);
    EXPECT_EQ (a.shimmerVoicing, 2);
    EXPECT_EQ (a.bassMotion, 1);
    EXPECT_EQ (a.baseOctave, 3);
    EXPECT_EQ (a.defaultDuration, "1");
    EXPECT_FALSE (a.locked);
    EXPECT_TRUE (a.arrangeBodyAddRoot && a.arrangeBodyAddFifth);
    EXPECT_FALSE (a.arrangeBassAddOctave || a.arrangeBassAddFifth || a.arrangeBodyWithShimmer
                  || a.arrangeShimmerTopNoteEnabled || a.arrangeShimmerColorNotesEnabled);
    EXPECT_EQ (a.bassOctave, 0);
    EXPECT_EQ (a.bodyOctave, 0);
    EXPECT_EQ (a.shimmerOctave, 1);
    EXPECT_EQ (a.outputLayerMode, 0);
    EXPECT_EQ (a.selectedArrangementVoiceTab, 1);
    EXPECT_FALSE (a.bassLegato);
    EXPECT_TRUE (a.bodyLegato && a.shimmerLegato);
    EXPECT_FALSE (a.moodVisible);
    EXPECT_EQ (a.moodId, 1);
    EXPECT_EQ (a.moodKeyId, 1);
    EXPECT_FALSE (a.moodFifthOfFifth || a.moodTritone || a.moodChromaticMediant);
    EXPECT_TRUE (a.moodSlashChords);
    EXPECT_EQ (a.moodBars, 0);
    EXPECT_TRUE (a.currentScaleName.isEmpty() && a.currentRootKey.isEmpty() && a.currentSuggestedBpm.isEmpty());
    EXPECT_EQ (a.selectedSectionViewIndex, -1);
    EXPECT_EQ (a.sectionPlaybackMode, 0);
    EXPECT_EQ (a.syncMode, 0);
    EXPECT_FALSE (a.PreFollowerState.isValid());
    EXPECT_TRUE (a.Sections.empty());

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
