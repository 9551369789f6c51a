#include "harmony/ChordEditorVocabulary.h"
#include "harmony/ChordVocabulary.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
// Every quality name the editor knows intervals for.
const char* const editorQualities[] {
    "major", "5", "m", "add2", "add4", "maj7", "m7", "m(maj7)", "7", "9", "m9", "maj9", "m(maj9)", "11", "m11",
    "maj11", "m(maj11)", "13", "m13", "m13add11", "maj13", "m(maj13)", "sus2", "sus4", "7sus2", "7sus4", "9sus4",
    "13sus4", "maj7sus4", "maj13sus4", "add9", "m(add2)", "m(add4)", "m(add9)", "dim", "dim7", "m7b5", "aug", "6",
    "m6", "6/9", "m6/9", "7b5", "7#5", "7b9", "7#9", "7b13", "7#11", "9b5", "9#5", "9#11", "13b9", "13#9", "13#11",
    "7alt", "maj7#5", "maj9#5", "maj13(#5)", "maj7(#11)", "maj9(#11)", "maj13(#11)", "m7#11", "m9#11", "m13(#11)",
};

// The editor's row for a quality, found as the chord editor finds it; nullptr when none.
const QualityPartsRow* findPartsRow (const juce::String& quality)
{
    const auto key = [] (const juce::String& q)
    {
        const auto canonical = canonicalEditorQuality (q);
        return canonical.isEmpty() ? juce::String ("major") : canonical;
    };

    for (const auto& row : getQualityPartsTable())
        if (key (row.quality) == key (quality))
            return &row;

    return nullptr;
}

TEST (CanonicalEditorQuality, NamesTheMajorTriadMajor)
{
    struct Case { const char* written; const char* canonical; };
    const std::vector<Case> cases {
        { "Major", "major" }, { "maj", "major" }, { "M", "major" }, { "major", "major" }, { " M ", "major" },
        { "", "" }, { "M7", "maj7" }, { "min", "m" }, { " m7 ", "m7" }, { "Maj7", "Maj7" }, { "mMaj7", "m(maj7)" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.written);
        EXPECT_EQ (canonicalEditorQuality (c.written), juce::String (c.canonical));
    }
}

TEST (QualityIntervals, AreTheChordTablesListsAsPitchClasses)
{
    // The editor's lists must agree with the compile's, reduced modulo 12 in the same order,
    // or a chord would be judged against a scale with other tones than it sounds.
    for (const char* quality : editorQualities)
    {
        SCOPED_TRACE (quality);
        const auto key = juce::String (quality) == "major" ? juce::String ("maj") : juce::String (quality);
        const auto found = chordQualityIntervals().find (key);
        ASSERT_NE (found, chordQualityIntervals().end());

        std::vector<int> reduced;
        for (auto interval : found->second)
            reduced.push_back (interval % 12);

        EXPECT_EQ (getQualityIntervals (quality), reduced);
    }
}

TEST (QualityIntervals, ReadAliasesAndRejectUnknownQualities)
{
    struct Case { const char* quality; std::vector<int> intervals; };
    const std::vector<Case> cases {
        { "",          { 0, 4, 7 } },
        { "Major",     { 0, 4, 7 } },
        { "min7",      { 0, 3, 7, 10 } },
        { "M7#5",      { 0, 4, 8, 11 } },
        { "13(#11)",   { 0, 4, 7, 10, 2, 6, 9 } },
        { "9",         { 0, 4, 7, 10, 2 } },
        { "maj6",      { 0, 4, 7, 9 } },
        { "7alt",      { 0, 4, 10, 1, 8 } },
        { "m13#11",    {} },
        { "7sus2sus4", {} },
        { "Maj7",      {} },
        { "1",         {} },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.quality);
        EXPECT_EQ (getQualityIntervals (c.quality), c.intervals);
    }
}

TEST (QualityPartsTable, SplitsEveryOfferedQuality)
{
    const auto& table = getQualityPartsTable();
    ASSERT_EQ (table.size(), 55u);

    EXPECT_EQ (table[0].quality, "");
    EXPECT_EQ (table[0].character, "major");
    EXPECT_EQ (table[0].color, "None");
    EXPECT_EQ (table[17].quality, "m7b5");
    EXPECT_EQ (table[17].character, "m");
    EXPECT_EQ (table[17].color, "7b5");
    EXPECT_EQ (table[54].quality, "maj13(#11)");

    const juce::StringArray characters { "major", "5", "m", "sus2", "sus4", "aug", "dim" };

    for (const auto& row : table)
    {
        SCOPED_TRACE (row.quality);
        EXPECT_TRUE (characters.contains (row.character));
        EXPECT_FALSE (getQualityIntervals (row.quality).empty()); // every offered chord can be judged
    }
}

TEST (QualityPartsTable, IsFoundThroughCanonicalNames)
{
    struct Case { const char* quality; int row; }; // row 1-based; 0 for none
    const std::vector<Case> cases {
        { "min7", 13 }, { "M", 1 }, { "", 1 }, { "major", 1 }, { "Maj7", 0 }, { "mM7", 15 }, { "7sus", 16 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.quality);
        const auto* row = findPartsRow (c.quality);
        if (c.row == 0)
            EXPECT_EQ (row, nullptr);
        else
            EXPECT_EQ (row, &getQualityPartsTable()[(size_t) c.row - 1]);
    }
}

TEST (BarLengthChoices, OfferSixLengths)
{
    const std::vector<std::pair<juce::String, juce::String>> expected {
        { "0.25 bar", "0.25" }, { "0.50 bar", "0.5" }, { "1 bar", "1" },
        { "2 bars", "2" }, { "4 bars", "4" }, { "8 bars", "8" },
    };

    const auto& choices = getBarLengthChoices();
    ASSERT_EQ (choices.size(), expected.size());

    for (size_t i = 0; i < expected.size(); ++i)
    {
        EXPECT_EQ (choices[i].label, expected[i].first);
        EXPECT_EQ (choices[i].value, expected[i].second);
    }
}

TEST (FormatBarCount, WritesCountAndUnit)
{
    struct Case { double bars; const char* text; };
    const std::vector<Case> cases {
        { 0.0, "0 bars" }, { -1.0, "0 bars" }, { 1.0, "1 bar" }, { 2.0, "2 bars" }, { 10.0, "10 bars" },
        { 20.0, "20 bars" }, { 0.25, "0.25 bars" }, { 1.5, "1.5 bars" }, { 1.0 / 3.0, "0.33 bars" },
        { 0.9999, "1 bar" }, { 2.0004, "2.0004 bars" }, { 1.996, "2 bars" },
        { std::nan (""), "0 bars" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.bars);
        EXPECT_EQ (formatBarCount (c.bars), juce::String (c.text));
    }
}
} // namespace
