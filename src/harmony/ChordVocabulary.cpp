#include "harmony/ChordVocabulary.h"

#include <stdexcept>

namespace
{
struct QualityRow
{
    const char* suffix;
    std::vector<int> intervals;
};

// One row per suffix, in list order. A key that repeats keeps its first row.
const std::vector<QualityRow>& qualityRows()
{
    static const std::vector<QualityRow> rows {
        { "1",              { 0 } },                            //   1
        { "5",              { 0, 7 } },                         //   2
        { "m5",             { 0, 7 } },                         //   3
        { "6",              { 0, 4, 7, 9 } },                   //   4
        { "7",              { 0, 4, 7, 10 } },                  //   5
        { "9",              { 0, 4, 7, 10, 14 } },              //   6
        { "11",             { 0, 4, 7, 10, 14, 17 } },          //   7
        { "13",             { 0, 4, 7, 10, 14, 21 } },          //   8
        { "Major",          { 0, 4, 7 } },                      //   9
        { "maj",            { 0, 4, 7 } },                      //  10
        { "M",              { 0, 4, 7 } },                      //  11
        { "m",              { 0, 3, 7 } },                      //  12
        { "min",            { 0, 3, 7 } },                      //  13
        { "dim",            { 0, 3, 6 } },                      //  14
        { "aug",            { 0, 4, 8 } },                      //  15
        { "+",              { 0, 4, 8 } },                      //  16
        { "sus4",           { 0, 5, 7 } },                      //  17
        { "sus",            { 0, 5, 7 } },                      //  18
        { "sus2",           { 0, 2, 7 } },                      //  19
        { "add2",           { 0, 4, 7, 2 } },                   //  20
        { "(add2)",         { 0, 4, 7, 2 } },                   //  21
        { "add4",           { 0, 4, 5, 7 } },                   //  22
        { "(add4)",         { 0, 4, 5, 7 } },                   //  23
        { "add9",           { 0, 4, 7, 14 } },                  //  24
        { "(add9)",         { 0, 4, 7, 14 } },                  //  25
        { "m(add2)",        { 0, 3, 7, 2 } },                   //  26
        { "m(add4)",        { 0, 3, 5, 7 } },                   //  27
        { "m(add9)",        { 0, 3, 7, 14 } },                  //  28
        { "madd2",          { 0, 3, 7, 2 } },                   //  29
        { "madd4",          { 0, 3, 5, 7 } },                   //  30
        { "madd9",          { 0, 3, 7, 14 } },                  //  31
        { "sus2add9",       { 0, 2, 7, 14 } },                  //  32
        { "m7add11",        { 0, 3, 7, 10, 17 } },              //  33
        { "maj7add13",      { 0, 4, 7, 11, 21 } },              //  34
        { "7b13",           { 0, 4, 7, 10, 20 } },              //  35
        { "7sus2",          { 0, 2, 7, 10 } },                  //  36
        { "7sus2sus4",      { 0, 2, 5, 7, 10 } },               //  37
        { "7#11",           { 0, 4, 7, 10, 6 } },               //  38
        { "mMaj9",          { 0, 3, 7, 11, 14 } },              //  39
        { "maj6",           { 0, 4, 7, 9 } },                   //  40
        { "m6",             { 0, 3, 7, 9 } },                   //  41
        { "min6",           { 0, 3, 7, 9 } },                   //  42
        { "6/9",            { 0, 4, 7, 9, 14 } },               //  43
        { "m6/9",           { 0, 3, 7, 9, 14 } },               //  44
        { "maj7",           { 0, 4, 7, 11 } },                  //  45
        { "M7",             { 0, 4, 7, 11 } },                  //  46
        { "m7",             { 0, 3, 7, 10 } },                  //  47
        { "min7",           { 0, 3, 7, 10 } },                  //  48
        { "m(maj7)",        { 0, 3, 7, 11 } },                  //  49
        { "mM7",            { 0, 3, 7, 11 } },                  //  50
        { "mMaj7",          { 0, 3, 7, 11 } },                  //  51
        { "mmaj7",          { 0, 3, 7, 11 } },                  //  52
        { "dim7",           { 0, 3, 6, 9 } },                   //  53
        { "m7b5",           { 0, 3, 6, 10 } },                  //  54
        { "maj9",           { 0, 4, 7, 11, 14 } },              //  55
        { "M9",             { 0, 4, 7, 11, 14 } },              //  56
        { "m9",             { 0, 3, 7, 10, 14 } },              //  57
        { "min9",           { 0, 3, 7, 10, 14 } },              //  58
        { "m(maj9)",        { 0, 3, 7, 11, 14 } },              //  59
        { "mM9",            { 0, 3, 7, 11, 14 } },              //  60
        { "mmaj9",          { 0, 3, 7, 11, 14 } },              //  61
        { "maj11",          { 0, 4, 7, 11, 14, 17 } },          //  62
        { "M11",            { 0, 4, 7, 11, 14, 17 } },          //  63
        { "m11",            { 0, 3, 7, 10, 14, 17 } },          //  64
        { "min11",          { 0, 3, 7, 10, 14, 17 } },          //  65
        { "m(maj11)",       { 0, 3, 7, 11, 14, 17 } },          //  66
        { "mM11",           { 0, 3, 7, 11, 14, 17 } },          //  67
        { "mMaj11",         { 0, 3, 7, 11, 14, 17 } },          //  68
        { "mmaj11",         { 0, 3, 7, 11, 14, 17 } },          //  69
        { "maj13",          { 0, 4, 7, 11, 14, 21 } },          //  70
        { "M13",            { 0, 4, 7, 11, 14, 21 } },          //  71
        { "maj13(#11)",     { 0, 4, 7, 11, 14, 6, 21 } },       //  72
        { "maj13#11",       { 0, 4, 7, 11, 14, 6, 21 } },       //  73
        { "M13#11",         { 0, 4, 7, 11, 14, 6, 21 } },       //  74
        { "m13",            { 0, 3, 7, 10, 14, 21 } },          //  75
        { "min13",          { 0, 3, 7, 10, 14, 21 } },          //  76
        { "m(maj13)",       { 0, 3, 7, 11, 14, 21 } },          //  77
        { "mM13",           { 0, 3, 7, 11, 14, 21 } },          //  78
        { "mMaj13",         { 0, 3, 7, 11, 14, 21 } },          //  79
        { "mmaj13",         { 0, 3, 7, 11, 14, 21 } },          //  80
        { "m13add11",       { 0, 3, 7, 10, 14, 17, 21 } },      //  81
        { "min13add11",     { 0, 3, 7, 10, 14, 17, 21 } },      //  82
        { "7b5",            { 0, 4, 6, 10 } },                  //  83
        { "7#5",            { 0, 4, 8, 10 } },                  //  84
        { "maj7#5",         { 0, 4, 8, 11 } },                  //  85
        { "maj7(#5)",       { 0, 4, 8, 11 } },                  //  86
        { "M7#5",           { 0, 4, 8, 11 } },                  //  87
        { "7aug",           { 0, 4, 8, 10 } },                  //  88
        { "7b9",            { 0, 4, 7, 10, 13 } },              //  89
        { "7#9",            { 0, 4, 7, 10, 15 } },              //  90
        { "7(#11)",         { 0, 4, 7, 10, 6 } },               //  91
        { "9b5",            { 0, 4, 6, 10, 14 } },              //  92
        { "9#5",            { 0, 4, 8, 10, 14 } },              //  93
        { "13b9",           { 0, 4, 7, 10, 13, 21 } },          //  94
        { "13#9",           { 0, 4, 7, 10, 15, 21 } },          //  95
        { "13(#11)",        { 0, 4, 7, 10, 14, 6, 21 } },       //  96
        { "13#11",          { 0, 4, 7, 10, 14, 6, 21 } },       //  97
        { "7b9b5",          { 0, 4, 6, 10, 13 } },              //  98
        { "7b9#5",          { 0, 4, 8, 10, 13 } },              //  99
        { "7#9b5",          { 0, 4, 6, 10, 15 } },              // 100
        { "7#9#5",          { 0, 4, 8, 10, 15 } },              // 101
        { "7alt",           { 0, 4, 10, 13, 8 } },              // 102
        { "maj7(#11)",      { 0, 4, 7, 11, 6 } },               // 103
        { "maj7#11",        { 0, 4, 7, 11, 6 } },               // 104
        { "M7#11",          { 0, 4, 7, 11, 6 } },               // 105
        { "maj9(#11)",      { 0, 4, 7, 11, 14, 6 } },           // 106
        { "maj9#11",        { 0, 4, 7, 11, 14, 6 } },           // 107
        { "M9#11",          { 0, 4, 7, 11, 14, 6 } },           // 108
        { "m7(#11)",        { 0, 3, 7, 10, 6 } },               // 109
        { "m7#11",          { 0, 3, 7, 10, 6 } },               // 110
        { "m9(#11)",        { 0, 3, 7, 10, 14, 6 } },           // 111
        { "m9#11",          { 0, 3, 7, 10, 14, 6 } },           // 112
        { "7sus4",          { 0, 5, 7, 10 } },                  // 113
        { "7sus",           { 0, 5, 7, 10 } },                  // 114
        { "9sus4",          { 0, 5, 7, 10, 14 } },              // 115
        { "9sus",           { 0, 5, 7, 10, 14 } },              // 116
        { "13sus4",         { 0, 5, 7, 10, 14, 21 } },          // 117
        { "13sus",          { 0, 5, 7, 10, 14, 21 } },          // 118
        { "maj7sus4",       { 0, 5, 7, 11 } },                  // 119
        { "M7sus",          { 0, 5, 7, 11 } },                  // 120
        { "maj13sus4",      { 0, 5, 7, 11, 14, 21 } },          // 121
        { "M13sus",         { 0, 5, 7, 11, 14, 21 } },          // 122
        { "m11b5",          { 0, 3, 6, 10, 14, 17 } },          // 123
        { "m9b5",           { 0, 3, 6, 10, 14 } },              // 124
        { "m13(#11)",       { 0, 3, 7, 10, 14, 6, 21 } },       // 125
        { "m13#11",         { 0, 3, 7, 10, 14, 6, 21 } },       // 126
        { "maj13(#5)",      { 0, 4, 8, 11, 14, 21 } },          // 127
        { "maj13#5",        { 0, 4, 8, 11, 14, 21 } },          // 128
        { "M13(#5)",        { 0, 4, 8, 11, 14, 21 } },          // 129
        { "M13#5",          { 0, 4, 8, 11, 14, 21 } },          // 130
        { "maj9#5",         { 0, 4, 8, 11, 14 } },              // 131
        { "maj9(#5)",       { 0, 4, 8, 11, 14 } },              // 132
        { "M9#5",           { 0, 4, 8, 11, 14 } },              // 133
        { "M9(#5)",         { 0, 4, 8, 11, 14 } },              // 134
        { "9#11",           { 0, 4, 7, 10, 14, 6 } },           // 135
        { "maj9#11",        { 0, 4, 7, 11, 14, 6 } },           // 136 (repeats 107; not inserted)
        { "#11",            { 0, 4, 7, 10, 6 } },               // 137
        { "(#11)",          { 0, 4, 7, 10, 6 } },               // 138
    };
    return rows;
}

// Builds every table while the module loads, as the rest of the program expects; the
// function-local statics keep reads from other static initialisers safe as well.
[[maybe_unused]] const bool vocabularyBuiltAtLoad = []
{
    chordQualityIntervals();
    noteNames();
    scaleNames();
    voicingStyleNames();
    bassMotionNames();
    return true;
}();
} // namespace

const ChordQualityMap& chordQualityIntervals()
{
    static const ChordQualityMap table = []
    {
        ChordQualityMap map;
        for (const auto& row : qualityRows())
            map.emplace (juce::String::fromUTF8 (row.suffix), row.intervals); // first row of a key wins
        return map;
    }();
    return table;
}

const juce::StringArray& noteNames()
{
    static const juce::StringArray names { "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B" };
    return names;
}

const juce::StringArray& scaleNames()
{
    static const juce::StringArray names {
        "Major", "Minor", "Dorian", "Mixolydian", "Lydian",
        "Phrygian", "Hirajoshi", "Pent. Minor", "Pent. Major", "Blues",
        "Egyptian", "Lydian Ext.", "Dorian Ext.", "Ionian Sus", "Harm. Minor",
        "Melodic Min.", "Lydian Dom.", "Locrian", "Whole Tone", "Hungarian Min."
    };
    return names;
}

const juce::StringArray& voicingStyleNames()
{
    static const juce::StringArray names { "None", "First Inversion", "Smooth", "Guitarist", "Pianist", "Bassist", "Jazz" };
    return names;
}

const juce::StringArray& bassMotionNames()
{
    static const juce::StringArray names { "Strict", "Balanced", "Moving" };
    return names;
}

juce::String foldNoteName (const juce::String& name)
{
    if (name.isEmpty())
        return {};

    if (name.length() == 2)
    {
        const auto first = juce::CharacterFunctions::toUpperCase (name[0]);
        const auto second = name[1];

        if (second == 'b' || second == 'B')
        {
            switch (first)
            {
                case 'D': return "C#";
                case 'E': return "D#";
                case 'F': return "E";
                case 'G': return "F#";
                case 'A': return "G#";
                case 'B': return "A#";
                default:  break; // "Cb" and anything else: no flat folding
            }
        }
        else if (second == '#')
        {
            if (first == 'E') return "F";
            if (first == 'B') return "C";
        }
    }

    for (auto p = name.getCharPointer(); ! p.isEmpty(); ++p)
        if (juce::CharacterFunctions::isLowerCase (*p))
            return name.toUpperCase();

    return name;
}

int noteNameToMidi (const juce::String& name, int octave)
{
    const auto index = noteNames().indexOf (foldNoteName (name));

    if (index < 0)
        throw std::runtime_error (("Invalid note name: " + name).toStdString());

    return octave * 12 + index + 24;
}
