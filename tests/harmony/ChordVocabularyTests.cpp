#include "harmony/ChordVocabulary.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace
{
TEST (ChordQualityIntervals, HoldsOneKeyPerDistinctSuffix)
{
    // 138 listed rows, one repeated key ("maj9#11").
    EXPECT_EQ (chordQualityIntervals().size(), 137u);
}

TEST (ChordQualityIntervals, RowsKeepTheirWrittenOrder)
{
    struct Case { const char* suffix; std::vector<int> intervals; };
    const std::vector<Case> cases {
        { "1",          { 0 } },
        { "m5",         { 0, 7 } },
        { "13",         { 0, 4, 7, 10, 14, 21 } },
        { "maj",        { 0, 4, 7 } },
        { "+",          { 0, 4, 8 } },
        { "add2",       { 0, 4, 7, 2 } },
        { "add4",       { 0, 4, 5, 7 } },
        { "mMaj9",      { 0, 3, 7, 11, 14 } },
        { "6/9",        { 0, 4, 7, 9, 14 } },
        { "M7",         { 0, 4, 7, 11 } },
        { "m7",         { 0, 3, 7, 10 } },
        { "maj13(#11)", { 0, 4, 7, 11, 14, 6, 21 } },
        { "min13add11", { 0, 3, 7, 10, 14, 17, 21 } },
        { "7alt",       { 0, 4, 10, 13, 8 } },
        { "maj9#11",    { 0, 4, 7, 11, 14, 6 } },
        { "M13sus",     { 0, 5, 7, 11, 14, 21 } },
        { "M9(#5)",     { 0, 4, 8, 11, 14 } },
        { "#11",        { 0, 4, 7, 10, 6 } },
        { "(#11)",      { 0, 4, 7, 10, 6 } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.suffix);
        const auto found = chordQualityIntervals().find (juce::String::fromUTF8 (c.suffix));
        ASSERT_NE (found, chordQualityIntervals().end());
        EXPECT_EQ (found->second, c.intervals);
    }
}

TEST (ChordQualityIntervals, LookupIsExactAndCaseSensitive)
{
    for (const char* missing : { "Maj7", "m7 ", " m7", "", "MAJ", "sus 4" })
    {
        SCOPED_TRACE (missing);
        EXPECT_EQ (chordQualityIntervals().count (juce::String (missing)), 0u);
    }

    // "M7" and "m7" are different chords.
    EXPECT_NE (chordQualityIntervals().at ("M7"), chordQualityIntervals().at ("m7"));
}

TEST (ChordQualityIntervals, EveryRowStartsAtTheRoot)
{
    for (const auto& [suffix, intervals] : chordQualityIntervals())
    {
        SCOPED_TRACE (suffix);
        ASSERT_FALSE (intervals.empty());
        EXPECT_EQ (intervals.front(), 0);
    }
}

TEST (NameLists, HoldTheirNamesInPositionOrder)
{
    EXPECT_EQ (noteNames(), juce::StringArray ({ "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B" }));
    EXPECT_EQ (voicingStyleNames(), juce::StringArray ({ "None", "First Inversion", "Smooth", "Guitarist", "Pianist", "Bassist", "Jazz" }));
    EXPECT_EQ (bassMotionNames(), juce::StringArray ({ "Strict", "Balanced", "Moving" }));

    ASSERT_EQ (scaleNames().size(), 20);
    EXPECT_EQ (scaleNames()[0], "Major");
    EXPECT_EQ (scaleNames()[7], "Pent. Minor");
    EXPECT_EQ (scaleNames()[13], "Ionian Sus");
    EXPECT_EQ (scaleNames()[19], "Hungarian Min.");
}

TEST (FoldNoteName, FoldsFlatsSharpsAndCase)
{
    struct Case { const char* name; const char* folded; };
    const std::vector<Case> cases {
        { "",    "" },
        { "C",   "C" },
        { "Db",  "C#" }, { "db", "C#" }, { "DB", "C#" },
        { "Eb",  "D#" }, { "Fb", "E" }, { "Gb", "F#" }, { "Ab", "G#" }, { "Bb", "A#" }, { "bb", "A#" },
        { "Cb",  "CB" },          // no flat folding for C
        { "E#",  "F" }, { "e#", "F" }, { "B#", "C" }, { "b#", "C" },
        { "c#",  "C#" },
        { "H",   "H" },
        { "C##", "C##" },
        { "dbb", "DBB" },         // only two-character names are read as flats
        { " C",  " C" },          // no trimming
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        EXPECT_EQ (foldNoteName (c.name), juce::String (c.folded));
    }
}

TEST (NoteNameToMidi, MapsNameAndOctaveToNoteNumber)
{
    struct Case { const char* name; int octave; int midi; };
    const std::vector<Case> cases {
        { "C", 3, 60 }, { "A", 4, 81 }, { "B", 3, 71 }, { "C", -2, 0 }, { "B", 9, 143 },
        { "Db", 4, 73 }, { "db", 4, 73 }, { "DB", 4, 73 }, { "C#", 4, 73 }, { "c#", 4, 73 },
        { "B#", 3, 60 }, { "E#", 3, 65 }, { "F", 3, 65 },
        { "C", -3, -12 },         // below the MIDI range: no clamping
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.name) + " " + juce::String (c.octave));
        EXPECT_EQ (noteNameToMidi (c.name, c.octave), c.midi);
    }
}

TEST (NoteNameToMidi, RejectsUnknownNamesWithTheNameAsPassedIn)
{
    for (const char* name : { "Cb", "H", " C", "C##", "", "C ", "X#" })
    {
        SCOPED_TRACE (name);
        try
        {
            noteNameToMidi (name, 3);
            ADD_FAILURE() << "no exception";
        }
        catch (const std::runtime_error& e)
        {
            EXPECT_EQ (std::string (e.what()), std::string ("Invalid note name: ") + name);
        }
    }
}
} // namespace
