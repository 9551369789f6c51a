#include "harmony/ChordEditorVocabulary.h"

#include "harmony/ProgressionText.h"

#include <utility>

namespace
{
struct QualityIntervals
{
    const char* quality;
    std::vector<int> intervals;
};

// Each list is the compile's list of the same name reduced to pitch classes, order kept.
const std::vector<QualityIntervals>& qualityIntervalTable()
{
    static const std::vector<QualityIntervals> table {
        { "major",      { 0, 4, 7 } },
        { "5",          { 0, 7 } },
        { "m",          { 0, 3, 7 } },
        { "add2",       { 0, 4, 7, 2 } },
        { "add4",       { 0, 4, 5, 7 } },
        { "maj7",       { 0, 4, 7, 11 } },
        { "m7",         { 0, 3, 7, 10 } },
        { "m(maj7)",    { 0, 3, 7, 11 } },
        { "7",          { 0, 4, 7, 10 } },
        { "9",          { 0, 4, 7, 10, 2 } },
        { "m9",         { 0, 3, 7, 10, 2 } },
        { "maj9",       { 0, 4, 7, 11, 2 } },
        { "m(maj9)",    { 0, 3, 7, 11, 2 } },
        { "11",         { 0, 4, 7, 10, 2, 5 } },
        { "m11",        { 0, 3, 7, 10, 2, 5 } },
        { "maj11",      { 0, 4, 7, 11, 2, 5 } },
        { "m(maj11)",   { 0, 3, 7, 11, 2, 5 } },
        { "13",         { 0, 4, 7, 10, 2, 9 } },
        { "m13",        { 0, 3, 7, 10, 2, 9 } },
        { "m13add11",   { 0, 3, 7, 10, 2, 5, 9 } },
        { "maj13",      { 0, 4, 7, 11, 2, 9 } },
        { "m(maj13)",   { 0, 3, 7, 11, 2, 9 } },
        { "sus2",       { 0, 2, 7 } },
        { "sus4",       { 0, 5, 7 } },
        { "7sus2",      { 0, 2, 7, 10 } },
        { "7sus4",      { 0, 5, 7, 10 } },
        { "9sus4",      { 0, 5, 7, 10, 2 } },
        { "13sus4",     { 0, 5, 7, 10, 2, 9 } },
        { "maj7sus4",   { 0, 5, 7, 11 } },
        { "maj13sus4",  { 0, 5, 7, 11, 2, 9 } },
        { "add9",       { 0, 4, 7, 2 } },
        { "m(add2)",    { 0, 3, 7, 2 } },
        { "m(add4)",    { 0, 3, 5, 7 } },
        { "m(add9)",    { 0, 3, 7, 2 } },
        { "dim",        { 0, 3, 6 } },
        { "dim7",       { 0, 3, 6, 9 } },
        { "m7b5",       { 0, 3, 6, 10 } },
        { "aug",        { 0, 4, 8 } },
        { "6",          { 0, 4, 7, 9 } },
        { "m6",         { 0, 3, 7, 9 } },
        { "6/9",        { 0, 4, 7, 9, 2 } },
        { "m6/9",       { 0, 3, 7, 9, 2 } },
        { "7b5",        { 0, 4, 6, 10 } },
        { "7#5",        { 0, 4, 8, 10 } },
        { "7b9",        { 0, 4, 7, 10, 1 } },
        { "7#9",        { 0, 4, 7, 10, 3 } },
        { "7b13",       { 0, 4, 7, 10, 8 } },
        { "7#11",       { 0, 4, 7, 10, 6 } },
        { "9b5",        { 0, 4, 6, 10, 2 } },
        { "9#5",        { 0, 4, 8, 10, 2 } },
        { "9#11",       { 0, 4, 7, 10, 2, 6 } },
        { "13b9",       { 0, 4, 7, 10, 1, 9 } },
        { "13#9",       { 0, 4, 7, 10, 3, 9 } },
        { "13#11",      { 0, 4, 7, 10, 2, 6, 9 } },
        { "7alt",       { 0, 4, 10, 1, 8 } },
        { "maj7#5",     { 0, 4, 8, 11 } },
        { "maj9#5",     { 0, 4, 8, 11, 2 } },
        { "maj13(#5)",  { 0, 4, 8, 11, 2, 9 } },
        { "maj7(#11)",  { 0, 4, 7, 11, 6 } },
        { "maj9(#11)",  { 0, 4, 7, 11, 2, 6 } },
        { "maj13(#11)", { 0, 4, 7, 11, 2, 6, 9 } },
        { "m7#11",      { 0, 3, 7, 10, 6 } },
        { "m9#11",      { 0, 3, 7, 10, 2, 6 } },
        { "m13(#11)",   { 0, 3, 7, 10, 2, 6, 9 } },
    };
    return table;
}

[[maybe_unused]] const bool editorVocabularyBuiltAtLoad = (qualityIntervalTable(), getQualityPartsTable(),
                                                           getBarLengthChoices(), true);
} // namespace

juce::String canonicalEditorQuality (const juce::String& quality)
{
    const auto trimmed = quality.trim();

    // The editor names the major triad "major" where the progression text leaves it empty.
    if (trimmed == "Major" || trimmed == "maj" || trimmed == "M" || trimmed == "major")
        return "major";

    return canonicalQuality (trimmed);
}

const std::vector<QualityPartsRow>& getQualityPartsTable()
{
    static const std::vector<QualityPartsRow> table {
        { "",           "major", "None" },        //  1
        { "5",          "5",     "None" },        //  2
        { "m",          "m",     "None" },        //  3
        { "sus2",       "sus2",  "None" },        //  4
        { "sus4",       "sus4",  "None" },        //  5
        { "aug",        "aug",   "None" },        //  6
        { "dim",        "dim",   "None" },        //  7
        { "6",          "major", "6" },           //  8
        { "m6",         "m",     "6" },           //  9
        { "add9",       "major", "add9" },        // 10
        { "m(add9)",    "m",     "add9" },        // 11
        { "7",          "major", "7" },           // 12
        { "m7",         "m",     "7" },           // 13
        { "maj7",       "major", "maj7" },        // 14
        { "m(maj7)",    "m",     "maj7" },        // 15
        { "7sus4",      "sus4",  "7" },           // 16
        { "dim7",       "dim",   "7" },           // 17
        { "m7b5",       "m",     "7b5" },         // 18
        { "6/9",        "major", "6/9" },         // 19
        { "m6/9",       "m",     "6/9" },         // 20
        { "9",          "major", "9" },           // 21
        { "m9",         "m",     "9" },           // 22
        { "maj9",       "major", "maj9" },        // 23
        { "m(maj9)",    "m",     "maj9" },        // 24
        { "9sus4",      "sus4",  "9" },           // 25
        { "11",         "major", "11" },          // 26
        { "m11",        "m",     "11" },          // 27
        { "maj11",      "major", "maj11" },       // 28
        { "m(maj11)",   "m",     "maj11" },       // 29
        { "13",         "major", "13" },          // 30
        { "m13",        "m",     "13" },          // 31
        { "m13add11",   "m",     "13add11" },     // 32
        { "m13(#11)",   "m",     "13(#11)" },     // 33
        { "maj13",      "major", "maj13" },       // 34
        { "m(maj13)",   "m",     "maj13" },       // 35
        { "13sus4",     "sus4",  "13" },          // 36
        { "maj7sus4",   "sus4",  "maj7" },        // 37
        { "maj13sus4",  "sus4",  "maj13" },       // 38
        { "7b5",        "major", "7b5" },         // 39
        { "7#5",        "major", "7#5" },         // 40
        { "7b9",        "major", "7b9" },         // 41
        { "7#9",        "major", "7#9" },         // 42
        { "7#11",       "major", "7#11" },        // 43
        { "7alt",       "major", "7alt" },        // 44
        { "9#11",       "major", "9#11" },        // 45
        { "13b9",       "major", "13b9" },        // 46
        { "13#9",       "major", "13#9" },        // 47
        { "13#11",      "major", "13#11" },       // 48
        { "9#5",        "major", "9#5" },         // 49
        { "maj7#5",     "major", "maj7#5" },      // 50
        { "maj9#5",     "major", "maj9#5" },      // 51
        { "maj13(#5)",  "major", "maj13(#5)" },   // 52
        { "maj7(#11)",  "major", "maj7(#11)" },   // 53
        { "maj9(#11)",  "major", "maj9(#11)" },   // 54
        { "maj13(#11)", "major", "maj13(#11)" },  // 55
    };
    return table;
}

std::vector<int> getQualityIntervals (const juce::String& quality)
{
    auto name = canonicalEditorQuality (quality);

    if (name.isEmpty())
        name = "major";

    for (const auto& entry : qualityIntervalTable())
        if (name == entry.quality)
            return entry.intervals;

    return {};
}

const std::vector<BarLengthChoice>& getBarLengthChoices()
{
    static const std::vector<BarLengthChoice> choices {
        { "0.25 bar", "0.25" },
        { "0.50 bar", "0.5" },
        { "1 bar",    "1" },
        { "2 bars",   "2" },
        { "4 bars",   "4" },
        { "8 bars",   "8" },
    };
    return choices;
}

juce::String formatBarCount (double bars)
{
    if (! (bars > 0.0))
        return "0 bars";

    return formatBarNumberWithUnit (bars);
}
