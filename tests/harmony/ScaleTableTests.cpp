#include "harmony/ChordVocabulary.h"
#include "harmony/ScaleTable.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
TEST (ScaleTable, HoldsTwentyScalesInTheNameListsOrder)
{
    const auto& table = getScaleTable();
    ASSERT_EQ (table.size(), 20u);
    ASSERT_EQ ((int) table.size(), scaleNames().size());

    for (size_t i = 0; i < table.size(); ++i)
    {
        SCOPED_TRACE (table[i].name);
        EXPECT_EQ (table[i].name, scaleNames()[(int) i]);
        ASSERT_FALSE (table[i].intervals.empty());
        EXPECT_EQ (table[i].intervals.front(), 0);
        EXPECT_TRUE (std::is_sorted (table[i].intervals.begin(), table[i].intervals.end()));
        EXPECT_LT (table[i].intervals.back(), 12);
    }

    EXPECT_EQ (table[8].intervals, (std::vector<int> { 0, 2, 4, 7, 9 }));            // Pent. Major
    EXPECT_EQ (table[14].intervals, (std::vector<int> { 0, 2, 3, 5, 7, 8, 11 }));    // Harm. Minor
    EXPECT_EQ (table[19].intervals, (std::vector<int> { 0, 2, 3, 6, 7, 8, 11 }));    // Hungarian Min.
}

TEST (ScaleNames, NormaliseToTableRows)
{
    struct Case { const char* name; const char* normalised; };
    const std::vector<Case> cases {
        { "  Dorian  ", "Dorian" }, { "Natural Minor", "Minor" }, { "natural minor", "Major" }, { "", "Major" },
        { "Lydian Ext.", "Lydian Ext." }, { "Chromatic", "Major" }, { "Pentatonic Minor", "Pent. Minor" },
        { "Pentatonic Major", "Pent. Major" }, { "Harmonic Minor", "Harm. Minor" }, { "Melodic Minor", "Melodic Min." },
        { "Lydian Dominant", "Lydian Dom." }, { "Hungarian Minor", "Hungarian Min." }, { "Whole Tone", "Whole Tone" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        EXPECT_EQ (normaliseScaleName (c.name), juce::String (c.normalised));

        const auto* row = findScale (c.name);
        ASSERT_NE (row, nullptr);
        EXPECT_EQ (row->name, juce::String (c.normalised));
    }
}

TEST (PitchClass, AcceptsOnlyTrimmedSharpNames)
{
    struct Case { const char* name; int pitchClass; };
    const std::vector<Case> cases {
        { "C", 0 }, { " A# ", 10 }, { "B", 11 }, { "Bb", -1 }, { "c", -1 }, { "", -1 }, { "H", -1 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        EXPECT_EQ (getPitchClass (c.name), c.pitchClass);
    }

    EXPECT_EQ (getNoteNames(), noteNames());
}

TEST (ScaleFit, JudgesNotesAndChordsAgainstTheKey)
{
    struct NoteCase { const char* key; const char* scale; int pitch; bool fits; };
    const std::vector<NoteCase> notes {
        { "A", "Minor", 60, true },          // C, the third of A minor
        { "A", "Minor", 61, false },
        { "C", "Major", -1, true },          // B, below the MIDI range
        { "C", "Major", -2, false },         // A#
        { "Bb", "Major", 70, false },        // unknown key root
        { "C", "nonsense", 64, true },       // unknown scale reads as Major
        { "F#", "Whole Tone", 128, true },   // G#, above the MIDI range
    };

    for (const auto& c : notes)
    {
        SCOPED_TRACE (juce::String (c.key) + " " + c.scale + " " + juce::String (c.pitch));
        EXPECT_EQ (isPitchInScale (c.key, c.scale, c.pitch), c.fits);
    }

    struct ChordCase { const char* key; const char* scale; const char* root; const char* quality; bool fits; };
    const std::vector<ChordCase> chords {
        { "C", "Major", "G", "7", true },
        { "C", "Major", "D", "major", false },        // F# is outside
        { "C", "Blues", "C", "major", false },        // E is outside
        { "C", "Major", "C", "Maj7", false },         // no intervals for that quality
        { "C", "Major", "Db", "major", false },       // unknown chord root
        { "Db", "Major", "C", "major", false },       // unknown key root
        { "A", "Minor", "D", "m9", true },            // the ninth counts by its pitch class (E)
        { "A", "Minor", "B", "m7b5", true },
        { "C", "Major", "F", "maj7(#11)", true },     // the sharp eleventh of F is B natural
    };

    for (const auto& c : chords)
    {
        SCOPED_TRACE (juce::String (c.key) + " " + c.scale + " " + c.root + c.quality);
        EXPECT_EQ (chordFitsScale (c.key, c.scale, c.root, c.quality), c.fits);
    }
}
} // namespace
