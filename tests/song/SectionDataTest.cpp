// The section record: its defaults, its two equalities, the readers of its voicing and
// bass-motion names and the name a new section gets.
#include "song/SectionData.h"

#include "support/SongBuilders.h"

#include <gtest/gtest.h>

#include <functional>

using SectionMode::SectionData;

using corvessa::test::sectionsNamed;

SectionData sectionNamed (const juce::String& name) { return corvessa::test::section (name, {}); }

// The defaults of a section as written: the third section of
// tests/data/golden/rich-song-state.xml, all at its defaults but its progression (GoldenStateTest).
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

