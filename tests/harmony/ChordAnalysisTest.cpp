// Reading a compiled chord's symbol again and sorting its tones into body, colour and shimmer
// roles, with the size of its fifth: the roles decide which notes each layer plays.

#include "harmony/ProgressionCompiler.h"

#include "support/NoteListText.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace
{
using Notes = std::vector<int>;

// The chord as the compile leaves it, at octave 3 with the style None.
ChordEvent compiled (const juce::String& text)
{
    ProgressionCompiler compiler;
    const auto events = compiler.compileProgression (text, 3, 0, "1", 1);
    return events.empty() ? ChordEvent() : events.front();
}
} // namespace

TEST (ChordAnalysis, ParseChordSymbol)
{
    struct Case
    {
        const char* symbol;
        const char* quality;
        const char* bass;
    };

    const Case cases[] = {
        { "F#m7/A", "m7", "A" }, { "Cmaj7/", "maj7/", "" }, { "xyz", "", "" },    { "C6/9", "6/9", "" },
        { "Am7/G", "m7", "G" },  { "Cm7/x", "m7/x", "" },   { "C/G", "", "G" },    { "C", "", "" },
        { "bb7", "7", "" },      { "C\tm7 ", "m7", "" },    { "C/g", "", "g" },    { "C/E7", "", "E7" },
        { "Cm/G/E", "m/G", "E" }, { "", "", "" },           { "C\nm", "", "" },    { "R", "", "" },
    };

    for (const auto& c : cases)
    {
        ChordEvent e;
        e.symbol = c.symbol;
        const auto parsed = ProgressionCompiler::parseChordSymbol (e);
        EXPECT_EQ (parsed.quality, c.quality) << c.symbol;
        EXPECT_EQ (parsed.bass, c.bass) << c.symbol;
    }
}

TEST (ChordAnalysis, RolesOfTheTones)
{
    struct Case
    {
        const char* chord;
        Notes body;
        Notes color;
        Notes shimmer;
        int fifth;
    };

    const Case cases[] = {
        { "C", { 0, 4, 7 }, {}, { 14, 21 }, 7 },
        { "Cm7b5", { 0, 3, 6 }, { 10 }, { 10, 14, 21 }, 6 },
        { "Caug", { 0, 4, 8 }, {}, { 14, 21 }, 8 },
        { "C7#5", { 0, 4, 8 }, { 10 }, { 10, 14, 21 }, 8 },
        { "C7#11", { 0, 4, 7 }, { 10, 18 }, { 10, 14, 18, 21 }, 7 },
        { "Cdim7", { 0, 3, 6 }, { 21 }, { 14, 21 }, 6 },
        { "C7alt", { 0, 4 }, { 10, 13, 20 }, { 10, 13, 14, 20, 21 }, 8 },
        { "Csus2", { 0, 2, 7 }, {}, { 21 }, 7 },
        { "Csus4", { 0, 5, 7 }, {}, { 14, 21 }, 7 },
        { "C6/9", { 0, 4, 7, 9 }, { 14 }, { 14 }, 7 },
        { "C6", { 0, 4, 7, 9 }, {}, { 14 }, 7 },
        { "Cadd9", { 0, 4, 7 }, { 14 }, { 14, 21 }, 7 },
        { "Cadd2", { 0, 2, 4, 7 }, {}, { 21 }, 7 },
        { "C13", { 0, 4, 7 }, { 10, 14, 21 }, { 10, 14, 21 }, 7 },
        { "Cm11", { 0, 3, 7 }, { 10, 14, 17 }, { 10, 14, 17, 21 }, 7 },
        { "C9sus4", { 0, 5, 7 }, { 10, 14 }, { 10, 14, 21 }, 7 },
        { "C7#9", { 0, 4, 7 }, { 10, 15 }, { 10, 14, 15, 21 }, 7 },
        { "Cmaj7", { 0, 4, 7 }, { 11 }, { 11, 14, 21 }, 7 },
        { "Cm6", { 0, 3, 7, 9 }, {}, { 14 }, 7 },
        { "C7b13", { 0, 4, 7 }, { 10, 20 }, { 10, 14, 20, 21 }, 7 },
        { "C5", { 0, 7 }, {}, { 14, 21 }, 7 },
        { "C1", { 0 }, {}, { 14, 21 }, 7 },
        // a slash chord always keeps the perfect fifth
        { "Cdim/G", { 0, 3, 6 }, {}, { 14, 21 }, 7 },
        { "Am7/G", { 0, 3, 7 }, { 10 }, { 10, 14, 21 }, 7 },
    };

    for (const auto& c : cases)
    {
        const auto event = compiled (c.chord);
        ASSERT_TRUE (event.resolved) << c.chord;
        const auto a = ProgressionCompiler::analyseChord (event, 3, false);

        ASSERT_TRUE (a.valid) << c.chord;
        EXPECT_EQ (a.bodyTones, c.body) << c.chord << ": " << corvessa::test::describeNotes (a.bodyTones);
        EXPECT_EQ (a.colorTones, c.color) << c.chord << ": " << corvessa::test::describeNotes (a.colorTones);
        EXPECT_EQ (a.shimmerTones, c.shimmer) << c.chord << ": " << corvessa::test::describeNotes (a.shimmerTones);
        EXPECT_EQ (a.fifthInterval, c.fifth) << c.chord;
    }
}

TEST (ChordAnalysis, RootAndIntervals)
{
    const auto a = ProgressionCompiler::analyseChord (compiled ("Bb7alt"), 4, false);
    ASSERT_TRUE (a.valid);
    EXPECT_EQ (a.rootMidi, 82);
    EXPECT_EQ (a.rootPitchClass, 10);
    EXPECT_EQ (a.intervals, (Notes { 0, 4, 10, 13, 8 })); // written order, not sorted

    const auto low = ProgressionCompiler::analyseChord (compiled ("f#"), -2, false);
    EXPECT_EQ (low.rootMidi, 6);
    EXPECT_EQ (low.rootPitchClass, 6);

    // An octave far beyond any real one is clamped rather than overflowing.
    EXPECT_EQ (ProgressionCompiler::analyseChord (compiled ("C"), INT_MAX, false).rootMidi, 1000 * 12 + 24);
}

TEST (ChordAnalysis, BodyWithShimmerCountsColourAsBody)
{
    const auto c = ProgressionCompiler::analyseChord (compiled ("C"), 3, true);
    EXPECT_EQ (c.bodyTones, (Notes { 0, 4, 7, 14, 21 }));

    const auto c7 = ProgressionCompiler::analyseChord (compiled ("C7"), 3, true);
    EXPECT_EQ (c7.bodyTones, (Notes { 0, 4, 7, 10, 14, 21 }));
    EXPECT_EQ (c7.colorTones, (Notes { 10 }));
}

TEST (ChordAnalysis, NoAnalysisWithoutAReadChord)
{
    auto handMade = [] (const char* symbol, const char* root, bool resolved)
    {
        ChordEvent e;
        e.symbol = symbol;
        e.root = root;
        e.resolved = resolved;
        e.voicing = { 60, 64, 67 };
        return e;
    };

    const ChordEvent cases[] = {
        compiled ("R"),
        compiled ("Hm"),
        compiled ("CMaj7"),
        handMade ("C", "C", false),
        handMade ("C", "", true),
        handMade ("CMaj7", "C", true),
        handMade ("H", "H", true), // resolved by hand with a root that is no note name
    };

    for (const auto& e : cases)
    {
        const auto a = ProgressionCompiler::analyseChord (e, 3, false);
        EXPECT_FALSE (a.valid) << e.symbol;
        EXPECT_TRUE (a.bodyTones.empty() && a.colorTones.empty() && a.shimmerTones.empty()) << e.symbol;
        EXPECT_EQ (a.fifthInterval, 7) << e.symbol;
        EXPECT_TRUE (ProgressionCompiler::getChordColorIntervals (e, 3).empty()) << e.symbol;
        EXPECT_TRUE (ProgressionCompiler::getChordColorNotes (e, 3).empty()) << e.symbol;
    }
}

TEST (ChordAnalysis, ColourIntervalsAndNotes)
{
    const auto c13 = compiled ("C13");
    EXPECT_EQ (ProgressionCompiler::getChordColorIntervals (c13, 3), (Notes { 10, 14, 21 }));
    EXPECT_EQ (ProgressionCompiler::getChordColorNotes (c13, 3), (Notes { 70, 74, 81 }));
    // root 108 at octave 7: 118 and 122 fit, 129 does not
    EXPECT_EQ (ProgressionCompiler::getChordColorNotes (c13, 7), (Notes { 118, 122 }));
    EXPECT_TRUE (ProgressionCompiler::getChordColorNotes (c13, 9).empty());
    EXPECT_EQ (ProgressionCompiler::getChordColorNotes (c13, -2), (Notes { 10, 14, 21 }));
    EXPECT_TRUE (ProgressionCompiler::getChordColorNotes (compiled ("C"), 3).empty());
}

TEST (ChordAnalysis, FifthReadFromTheVoicing)
{
    struct Case
    {
        Notes voicing;
        const char* bass;
        int rootPitchClass;
        int fifth;
    };

    const Case cases[] = {
        { { 60, 64, 67 }, "", 0, 7 },
        { { 60, 63, 66 }, "", 0, 6 },
        { { 60, 64, 68 }, "", 0, 8 },
        { { 68, 66, 60 }, "", 0, 8 },   // the first in list order
        { { 60, 66, 67 }, "", 0, 7 },   // a perfect fifth anywhere wins
        { { 60, 63, 66 }, "G", 0, 7 },  // a slash chord keeps 7
        { {}, "", 0, 7 },
        { { 57, 60, 63 }, "", 9, 6 },
        { { -3, -9 }, "", 9, 6 },       // notes below zero fold to their pitch classes
    };

    for (const auto& c : cases)
    {
        ChordEvent e;
        e.voicing = c.voicing;
        e.bass = c.bass;
        EXPECT_EQ (ProgressionCompiler::getFifthInterval (e, c.rootPitchClass), c.fifth) << corvessa::test::describeNotes (c.voicing);
    }
}
