// Where the chord draft puts an edited or new chord, and how it labels each chord of a
// progression against the song's key.
#include "chord_editor/ChordDraftTokens.h"

#include <gtest/gtest.h>

namespace
{
std::vector<ChordToken> tokensOf (const juce::String& progression) { return parseProgressionTokens (progression); }
} // namespace

TEST (DraftPosition, ReplacesAppendsInsertsOrRefuses)
{
    struct Case
    {
        const char* what;
        int index, anchor;
        bool before;
        int position;
        const char* result;
    };
    const Case cases[] = {
        { "replace the first", 0, -1, false, 0, "G Am F" },
        { "replace the last", 2, -1, false, 2, "C Am G" },
        { "one past the end appends", 3, -1, false, 3, "C Am F G" },
        { "two past the end is refused", 4, -1, false, -1, "C Am F" },
        { "a negative index is refused", -1, -1, false, -1, "C Am F" },
        { "before the first chord", 0, 0, true, 0, "G C Am F" },
        { "after the first chord", 0, 0, false, 1, "C G Am F" },
        { "before the last chord", 2, 2, true, 2, "C Am G F" },
        { "after the last chord", 2, 2, false, 3, "C Am F G" },
        { "an anchor past the end inserts at the end", 7, 7, true, 3, "C Am F G" },
    };

    for (const auto& c : cases)
    {
        auto tokens = tokensOf ("C Am F");
        EXPECT_EQ (placeDraftToken (tokens, c.index, c.anchor, c.before, parseChordToken ("G")), c.position) << c.what;
        EXPECT_EQ (joinProgressionTokens (tokens), c.result) << c.what;
    }

    std::vector<ChordToken> none;
    EXPECT_EQ (placeDraftToken (none, 0, -1, false, parseChordToken ("G")), 0);
    EXPECT_EQ (joinProgressionTokens (none), "G");
}

TEST (DraftLabels, NameLengthTagAndScaleFitInAKey)
{
    struct Case
    {
        const char* token;
        const char* name;
        const char* tag;
        const char* length;
        int fit;
    };
    const Case cases[] = {
        { "Dm", "Dm", "ii", "1 bar", 1 },
        { "G7", "G7", "V", "1 bar", 1 },
        { "Bdim", "Bdim", "viidim", "1 bar", 1 },
        { "Am:0.5", "Am", "vi", "0.5 bars", 1 },
        { "C/E", "C/E", "I", "1 bar", 1 },
        { "C/F#", "C/F#", "", "1 bar", 2 },       // the bass leaves the scale
        { "Bb", "Bb", "", "1 bar", 2 },           // not a sharp note name
        { "A#", "A#", "", "1 bar", 2 },
        { "D{V/V}", "D{V/V}", "V/V", "1 bar", 2 }, // the option's tag, not a numeral
        { "G{TT}", "G{TT}", "TT", "1 bar", 1 },
        { "R:2", "Rest", "", "2 bars", 0 },
        { "Xyz", "Xyz", "", "1 bar", 0 },         // not judged: it did not parse
    };

    std::vector<ChordToken> tokens;
    for (const auto& c : cases)
        tokens.push_back (parseChordToken (c.token));

    const auto labels = buildChordTokenLabels (tokens, " C ", "Major");
    ASSERT_EQ (labels.size(), std::size (cases));
    for (size_t i = 0; i < labels.size(); ++i)
    {
        const auto& c = cases[i];
        EXPECT_EQ (labels[i].name, c.name) << c.token;
        EXPECT_EQ (labels[i].tag, c.tag) << c.token;
        EXPECT_EQ (labels[i].lengthText, c.length) << c.token;
        EXPECT_EQ (labels[i].scaleFit, c.fit) << c.token;
    }
}

TEST (DraftLabels, NumeralsFollowTheScaleAndNothingIsJudgedWithoutAKey)
{
    const auto dorian = buildChordTokenLabels (tokensOf ("Dm G C"), "D", "Dorian");
    EXPECT_EQ (dorian[0].tag, "i");
    EXPECT_EQ (dorian[1].tag, "IV");
    EXPECT_EQ (dorian[2].tag, "VII");

    struct Case { const char* key; const char* scale; };
    for (const auto& c : { Case { "", "Major" }, Case { "H", "Major" }, Case { "Db", "Major" }, Case { "C", "" } })
    {
        const auto labels = buildChordTokenLabels (tokensOf ("Dm"), c.key, c.scale);
        EXPECT_EQ (labels[0].scaleFit, 0) << c.key << " " << c.scale;
        EXPECT_EQ (labels[0].tag, "") << c.key << " " << c.scale;
    }
}
