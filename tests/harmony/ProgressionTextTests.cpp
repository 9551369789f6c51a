#include "harmony/ChordVocabulary.h"
#include "harmony/ProgressionText.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
TEST (CanonicalQuality, AppliesTheAliasTable)
{
    struct Case { const char* written; const char* canonical; };
    const std::vector<Case> cases {
        { "major", "" }, { "Major", "" }, { "maj", "" }, { "M", "" },
        { "min", "m" }, { "m5", "5" }, { "+", "aug" }, { "sus", "sus4" },
        { "(add9)", "add9" }, { "madd9", "m(add9)" }, { "maj6", "6" }, { "min6", "m6" },
        { "M7", "maj7" }, { "M13", "maj13" }, { "min11", "m11" },
        { "mM7", "m(maj7)" }, { "mMaj9", "m(maj9)" }, { "mmaj11", "m(maj11)" }, { "mM13", "m(maj13)" },
        { "13sus", "13sus4" }, { "7aug", "7#5" }, { "7(#11)", "7#11" }, { "13(#11)", "13#11" },
        { "M7#11", "maj7(#11)" }, { "maj9#11", "maj9(#11)" }, { "M13#11", "maj13(#11)" }, { "M7#5", "maj7#5" },
        { " min7 ", "m7" },                    // trimmed before comparing
        { "Maj7", "Maj7" }, { "MIN", "MIN" },  // case-sensitive: no alias
        { "xyz", "xyz" }, { "", "" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.written);
        EXPECT_EQ (canonicalQuality (c.written), juce::String (c.canonical));
    }
}

TEST (CanonicalQuality, EveryCanonicalFormIsStableAndKnownToTheChordTable)
{
    // Each alias of the table must land on a form the compile can look up, and applying the
    // table again must change nothing.
    for (const char* written : { "major", "Major", "maj", "M", "min", "m5", "+", "sus", "(add2)", "(add4)", "(add9)",
                                 "madd2", "madd4", "madd9", "maj6", "min6", "M7", "M9", "M11", "M13", "min7", "min9",
                                 "min11", "min13", "mM7", "mMaj7", "mmaj7", "mM9", "mMaj9", "mmaj9", "mM11", "mMaj11",
                                 "mmaj11", "mM13", "mMaj13", "mmaj13", "7sus", "9sus", "13sus", "7aug", "7(#11)",
                                 "13(#11)", "maj7#11", "M7#11", "maj9#11", "M9#11", "maj13#11", "M13#11", "maj7(#5)",
                                 "M7#5" })
    {
        SCOPED_TRACE (written);
        const auto canonical = canonicalQuality (written);
        EXPECT_EQ (canonicalQuality (canonical), canonical);
        const auto key = canonical.isEmpty() ? juce::String ("maj") : canonical;
        EXPECT_EQ (chordQualityIntervals().count (key), 1u);
    }
}

TEST (ParseChordToken, ReadsRootQualityBassOptionAndDuration)
{
    struct Case
    {
        const char* input;
        const char* text;
        const char* root;
        const char* quality;
        const char* bass;
        const char* duration;
        const char* option;
        bool isRest, isValid, hasDuration;
    };
    const std::vector<Case> cases {
        { "CM7",        "Cmaj7",       "C",  "maj7",      "",   "1", "",      false, true, false },
        { "Cmajor",     "C",           "C",  "",          "",   "1", "",      false, true, false },
        { "CMajor",     "C",           "C",  "",          "",   "1", "",      false, true, false },
        { "Am5",        "A5",          "A",  "5",         "",   "1", "",      false, true, false },
        { "C+",         "Caug",        "C",  "aug",       "",   "1", "",      false, true, false },
        { "CmMaj9",     "Cm(maj9)",    "C",  "m(maj9)",   "",   "1", "",      false, true, false },
        { "Bbmin13",    "Bbm13",       "Bb", "m13",       "",   "1", "",      false, true, false },
        { "C7(#11)",    "C7#11",       "C",  "7#11",      "",   "1", "",      false, true, false },
        { "CM7#11",     "Cmaj7(#11)",  "C",  "maj7(#11)", "",   "1", "",      false, true, false },
        { "bb7",        "bb7",         "bb", "7",         "",   "1", "",      false, true, false },
        { "C6/9",       "C6/9",        "C",  "6/9",       "",   "1", "",      false, true, false },
        { "C/E",        "C/E",         "C",  "",          "E",  "1", "",      false, true, false },
        { "C/Bb",       "C/Bb",        "C",  "",          "Bb", "1", "",      false, true, false },
        { "C/BB",       "C/BB",        "C",  "/BB",       "",   "1", "",      false, true, false },
        { "Am7/g",      "Am7/g",       "A",  "m7",        "g",  "1", "",      false, true, false },
        { "{TT}Db7",    "Db7{TT}",     "Db", "7",         "",   "1", "{TT}",  false, true, false },
        { "C{TT}{CM}",  "C{CM}{TT}",   "C",  "{CM}",      "",   "1", "{TT}",  false, true, false },
        { "G7{V/V}/B",  "G7/B{V/V}",   "G",  "7",         "B",  "1", "{V/V}", false, true, false },
        { "Cmaj7:2",    "Cmaj7:2",     "C",  "maj7",      "",   "2", "",      false, true, true },
        { "C:",         "C:1",         "C",  "",          "",   "1", "",      false, true, true },
        { "C: 0.5 ",    "C:0.5",       "C",  "",          "",   "0.5", "",    false, true, true },
        { "G7sus{V/V}:T256", "G7sus4{V/V}:T256", "G", "7sus4", "", "T256", "{V/V}", false, true, true },
        { "R",          "R",           "C",  "",          "",   "1", "",      true,  true, false },
        { "r",          "R",           "C",  "",          "",   "1", "",      true,  true, false },
        { "R:",         "R:1",         "C",  "",          "",   "1", "",      true,  true, true },
        { "R{CM}:2",    "R:2",         "C",  "",          "",   "2", "{CM}",  true,  true, true },
        { "H7",         "H7",          "C",  "",          "",   "1", "",      false, false, false },
        { "7",          "7",           "C",  "",          "",   "1", "",      false, false, false },
        { ":2",         ":2",          "C",  "",          "",   "2", "",      false, false, true },
        { "{V/V}",      "{V/V}",       "C",  "",          "",   "1", "{V/V}", false, false, false },
        { "/E",         "/E",          "C",  "",          "E",  "1", "",      false, false, false },
        { "C\tG",       "CG",          "C",  "G",         "",   "1", "",      false, true, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.input);
        const auto token = parseChordToken (c.input);
        EXPECT_EQ (token.text, juce::String (c.text));
        EXPECT_EQ (token.root, juce::String (c.root));
        EXPECT_EQ (token.quality, juce::String (c.quality));
        EXPECT_EQ (token.bass, juce::String (c.bass));
        EXPECT_EQ (token.duration, juce::String (c.duration));
        EXPECT_EQ (token.option, juce::String (c.option));
        EXPECT_EQ (token.isRest, c.isRest);
        EXPECT_EQ (token.isValid, c.isValid);
        EXPECT_EQ (token.hasDuration, c.hasDuration);
    }
}

TEST (NormaliseProgressionText, WritesTheCanonicalForm)
{
    struct Case { const char* input; const char* normalised; };
    const std::vector<Case> cases {
        { "  Cmaj7:2   Amin7  F/A   G7sus{V/V}:T256  ", "Cmaj7:2 Am7 F/A G7sus4{V/V}:T256" },
        { "C/BB r H7 :2", "C/BB R H7 :2" },                  // unreadable tokens are kept as typed
        { "C\tG", "CG" },                                    // a tab does not separate tokens
        { "", "" },
        { "     ", "" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.input);
        EXPECT_EQ (normaliseProgressionText (c.input), juce::String (c.normalised));
    }

    EXPECT_TRUE (parseProgressionTokens ("   ").empty());
    EXPECT_EQ (parseProgressionTokens ("C  G   Am").size(), 3u);
}

TEST (NormaliseProgressionText, NormalisingTwiceChangesNothing)
{
    struct Case { const char* input; const char* normalised; };
    const std::vector<Case> cases {
        // Nested option tags: removing one makes another, of the same kind or an earlier one.
        { "C{T{TT}T}",            "C{TT}" },
        { "C{{TT}TT}:2",          "C{TT}:2" },
        { "{T{TT}T}Db7",          "Db7{TT}" },
        { "C{V/{TT}V}",           "C{V/V}" },
        { "G7{V/{C{CM}M}V}/B",    "G7/B{V/V}" },
        { "R{T{TT}T}:2",          "R:2" },
        // A later kind stays in the quality, as typed.
        { "C{TT}{CM}",            "C{CM}{TT}" },
        { "Am{C{CM}M}{TT}",       "Am{C{CM}M}{TT}" },
        // A tab between a root and a quality that begins with "#" or "b": written together they
        // would read as another root.
        { "C\tb",                 "C\tb" },
        { "B\t#M",                "B\t#M" },
        { "b\t#m5:2",             "b\t#m5:2" },
        { "C#\t#",                "C##" },
        { "C\tG",                 "CG" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.input);
        const auto once = normaliseProgressionText (c.input);
        EXPECT_EQ (once, juce::String (c.normalised));
        EXPECT_EQ (normaliseProgressionText (once), once);
    }

    // Bytes that are no UTF-8 (a damaged state chunk can hold them): the framework stepped
    // over them differently when finding the ":" and when cutting there, so every pass cut the
    // duration elsewhere ("T256" became "T256:1", then "T256::1").
    for (const auto* bytes : { "Cmaj7:2 F/A\xff\xff\xff\xff\xff\xff\xff/V}:T256 R", "C\xf0:2 \xe2\x82G", "Am\xc3",
                               "C/B\xb5\xb5\xb5\xb5\xb5\xb5\xb5\xb5" "b A :2", "\xc0\x80G \xf8\x80\x80\x80\x80",
                               // Overlong forms: the framework measures them by their character and
                               // copies them by their bytes.
                               "Am]8\xe0\x80\xb1\xc1\xb1:2 G \xed\xa0\x80 \xf4\x90\x80\x80" })
    {
        const juce::String damaged (juce::CharPointer_UTF8 (bytes), juce::CharPointer_UTF8 (bytes + std::strlen (bytes)));
        const auto once = normaliseProgressionText (damaged);
        EXPECT_EQ (normaliseProgressionText (once), once) << bytes;
        EXPECT_TRUE (juce::CharPointer_UTF8::isValidString (once.toRawUTF8(), (int) once.getNumBytesAsUTF8())) << bytes;
    }

    const char* const damagedDuration = "Cmaj7:2 F/A\xff\xff\xff/V}:T256 R";
    const auto tokens = parseProgressionTokens (juce::String (juce::CharPointer_UTF8 (damagedDuration),
                                                              juce::CharPointer_UTF8 (damagedDuration + std::strlen (damagedDuration))));
    ASSERT_EQ (tokens.size(), 3u);
    EXPECT_EQ (tokens[1].duration, "T256");
}

TEST (NormaliseProgressionText, LongTextsAreReadInOnePass)
{
    // Tags nested a hundred thousand deep in one token, and megabytes of spaces: removed and
    // split one pass at a time, each took hours.
    const auto nested = juce::String::repeatedString ("{T", 100000) + "{TT}" + juce::String::repeatedString ("T}", 100000);
    EXPECT_EQ (normaliseProgressionText ("C" + nested + ":2"), "C{TT}:2");

    const auto spaces = juce::String::repeatedString (" ", 1024 * 1024);
    EXPECT_EQ (normaliseProgressionText ("C" + spaces + "Amin" + spaces), "C Am");
    EXPECT_EQ (parseProgressionTokens (juce::String::repeatedString ("C ", 200000)).size(), 200000u);
}

TEST (JoinProgressionTokens, RebuildsEditedTokensFromTheirFields)
{
    auto tokens = parseProgressionTokens ("C:2 Am7 xyz");
    ASSERT_EQ (tokens.size(), 3u);

    tokens[0].quality = "M7";           // written canonically
    tokens[0].hasDuration = false;
    tokens[1].bass = "G";
    tokens[1].duration = "T128";
    tokens[1].hasDuration = true;
    tokens[1].option = "{CM}";

    ChordToken blank;
    blank.isValid = false;              // an unreadable empty token is dropped
    tokens.push_back (blank);

    EXPECT_EQ (joinProgressionTokens (tokens), "Cmaj7 Am7/G{CM}:T128 xyz");
}

TEST (FormatDurationLabel, ReadsBarsAndTicks)
{
    struct Case { const char* duration; const char* label; };
    const std::vector<Case> cases {
        { "1", "1 bar" }, { "2", "2 bars" }, { "0.5", "0.5 bars" }, { "1.5", "1.5 bars" }, { "10", "10 bars" },
        { "T512", "1 bar" }, { "t1024", "2 bars" }, { "T128", "0.25 bars" },
        { "T64", "0.25 bars" }, { "T", "0.25 bars" }, { "T-512", "0.25 bars" },
        { "0", "1 bar" }, { "-2", "1 bar" }, { "abc", "1 bar" }, { "", "1 bar" },
        { "0.333", "0.33 bars" }, { "2abc", "2 bars" }, { " 4 ", "4 bars" },
        { "2.0004", "2.0004 bars" },            // near a whole number: general form, not two decimals
        { "inf", "1 bar" }, { "1e999", "1 bar" }, { "Tinf", "0.25 bars" }, // non-finite reads as no number
        // No chord lasts longer than 8192 bars, and the label says so.
        { "8192", "8192 bars" }, { "8193", "8192 bars" }, { "1e30", "8192 bars" }, { "1e305", "8192 bars" },
        { "T4194304", "8192 bars" }, { "t1e308", "8192 bars" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.duration);
        ChordToken token;
        token.duration = c.duration;
        EXPECT_EQ (formatDurationLabel (token), juce::String (c.label));
    }
}

TEST (HarmonicOptionLabel, NamesOnlyTheExactTags)
{
    struct Case { const char* tag; const char* label; };
    const std::vector<Case> cases {
        { "{V/V}", "V/V" }, { "{TT}", "TT" }, { "{CM}", "CM" },
        { "{tt}", "" }, { "TT", "" }, { " {TT}", "" }, { "", "" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.tag);
        EXPECT_EQ (harmonicOptionLabel (c.tag), juce::String (c.label));
    }
}
} // namespace
