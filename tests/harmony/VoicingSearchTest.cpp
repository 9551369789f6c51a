// The searched voicing styles on their own: the voicings they pick for known chords (which only
// come out when every cost term is charged as intended), the windows and counts they search,
// and the fixed visiting order that makes the first of equally cheap candidates win.

#include "harmony/VoicingSearch.h"
#include "harmony/VoicingSearchFrame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

using namespace VoicingSearchFrame;

namespace
{
using Notes = std::vector<int>;
using Search = Notes (*) (const Notes&, int, const std::optional<Notes>&);

struct VoicingCase
{
    const char* name;
    Search search;
    Notes chordTones;
    std::optional<Notes> previous;
    Notes expected;
};

std::string describe (const Notes& notes)
{
    std::string s;
    for (const int n : notes)
        s += std::to_string (n) + " ";
    return s;
}

const Notes cMajor { 60, 64, 67 };
const Notes gMajor { 67, 71, 74 };
const Notes aMinor { 57, 60, 64 };
const Notes fMajor { 65, 69, 72 };
const Notes c7 { 60, 64, 67, 70 };
const Notes g7 { 67, 71, 74, 77 };
const Notes aMinor7 { 57, 60, 64, 67 };
const Notes dMinor7 { 62, 65, 69, 72 };
const Notes cMajor7 { 60, 64, 67, 71 };
}

TEST (VoicingSearch, PositivePitchClassFoldsNegativeNotes)
{
    const struct { int note, expected; } cases[] = {
        { -1, 11 }, { -12, 0 }, { -13, 11 }, { 0, 0 }, { 127, 7 }, { 60, 0 }, { 71, 11 },
    };
    for (const auto& c : cases)
        EXPECT_EQ (positivePitchClass (c.note), c.expected) << c.note;
}

TEST (VoicingSearch, KnownChordsGetTheirVoicings)
{
    const VoicingCase cases[] = {
        { "Pianist C", voicePianist, cMajor, std::nullopt, { 60, 67, 76 } },
        { "Pianist C7", voicePianist, c7, std::nullopt, { 48, 55, 64, 70 } },
        { "Pianist Am7", voicePianist, aMinor7, std::nullopt, { 45, 52, 60, 67 } },
        { "Pianist F after C", voicePianist, fMajor, Notes { 60, 64, 67 }, { 60, 65, 69 } },

        { "Jazz C7", voiceJazz, c7, std::nullopt, { 52, 58, 62, 69 } },
        { "Jazz Dm7", voiceJazz, dMinor7, std::nullopt, { 53, 60, 64, 69 } },
        { "Jazz Cmaj7", voiceJazz, cMajor7, std::nullopt, { 52, 59, 62, 67 } },
        { "Jazz G7 after Dm7", voiceJazz, g7, Notes { 53, 60, 64, 69 }, { 53, 59, 64, 69 } },

        { "Guitarist C", voiceGuitarist, cMajor, std::nullopt, { 48, 52, 55 } },
        { "Guitarist G", voiceGuitarist, gMajor, std::nullopt, { 43, 50, 55, 59, 67 } },
        { "Guitarist Am", voiceGuitarist, aMinor, std::nullopt, { 45, 52, 57, 60 } },
        { "Guitarist G after C", voiceGuitarist, gMajor, Notes { 48, 52, 55 }, { 43, 47, 50 } },

        { "Bassist C", voiceBassist, cMajor, std::nullopt, { 36, 43 } },
        { "Bassist G", voiceBassist, gMajor, std::nullopt, { 31, 38 } },
        { "Bassist G after C", voiceBassist, gMajor, Notes { 36, 43 }, { 31, 38 } },
    };

    for (const auto& c : cases)
    {
        const Notes got = c.search (c.chordTones, positivePitchClass (c.chordTones.front()), c.previous);
        EXPECT_EQ (got, c.expected) << c.name << ": got " << describe (got);
    }
}

//==============================================================================
// The register windows and the sets they admit.

TEST (VoicingSearch, WindowsCountsAndPaletteFollowTheChord)
{
    PianistSetup cMajorPiano;
    ASSERT_TRUE (makePianistSetup (cMajor, 0, std::nullopt, cMajorPiano));
    EXPECT_EQ (cMajorPiano.search.candidates[0], 48);
    EXPECT_EQ (cMajorPiano.search.candidates[cMajorPiano.search.candidateCount - 1], 84);
    EXPECT_EQ (cMajorPiano.search.minCount, 3);
    EXPECT_EQ (cMajorPiano.targetCount, 3);
    EXPECT_EQ (cMajorPiano.search.maxSpan, 32);

    PianistSetup powerChord;
    ASSERT_TRUE (makePianistSetup ({ 60, 67 }, 0, std::nullopt, powerChord));
    EXPECT_EQ (powerChord.search.minCount, 2);
    EXPECT_EQ (powerChord.targetCount, 2);

    JazzSetup dominant;
    ASSERT_TRUE (makeJazzSetup (c7, 0, std::nullopt, dominant));
    EXPECT_EQ (dominant.low, 50);
    EXPECT_EQ (dominant.search.candidates[dominant.search.candidateCount - 1], 69);
    EXPECT_TRUE (dominant.dominant);
    EXPECT_TRUE (dominant.full);
    EXPECT_EQ (dominant.colourPitchClasses, 0u); // nothing written above the octave
    EXPECT_EQ (dominant.search.minCount, 3);
    EXPECT_EQ (dominant.search.maxCount, 4);
    ClassMask palette = 0;
    for (int i = 0; i < dominant.search.candidateCount; ++i)
        palette |= classBit (pitchClassOf (dominant.search.candidates[i]));
    EXPECT_EQ (palette, classBit (0) | classBit (2) | classBit (4) | classBit (7) | classBit (9) | classBit (10))
        << "C, D (ninth), E, G, A (thirteenth), B flat";

    JazzSetup sharpNine;
    ASSERT_TRUE (makeJazzSetup ({ 60, 64, 67, 70, 75 }, 0, std::nullopt, sharpNine));
    EXPECT_EQ (sharpNine.colourPitchClasses, classBit (3)) << "the sharp ninth, written above the octave";
    EXPECT_EQ (sharpNine.search.maxCount, 4);
    bool hasThirteenth = false;
    for (int i = 0; i < sharpNine.search.candidateCount; ++i)
        hasThirteenth = hasThirteenth || pitchClassOf (sharpNine.search.candidates[i]) == 9;
    EXPECT_TRUE (hasThirteenth);

    // Two colour tones raise the target to five notes.
    JazzSetup alteredNine;
    ASSERT_TRUE (makeJazzSetup ({ 60, 64, 67, 70, 73, 75 }, 0, std::nullopt, alteredNine));
    EXPECT_EQ (alteredNine.search.maxCount, 5);
    EXPECT_EQ (alteredNine.targetCount, 5);

    JazzSetup halfDiminished;
    ASSERT_TRUE (makeJazzSetup ({ 60, 63, 66, 70 }, 0, std::nullopt, halfDiminished));
    EXPECT_FALSE (halfDiminished.dominant);
    EXPECT_TRUE (halfDiminished.full);
    EXPECT_TRUE (halfDiminished.features.alteredFifth);
}

TEST (VoicingSearch, AlteredAndColourTonesAreKeptInJazzVoicings)
{
    const struct { const char* name; Notes chord; int mustSound; } cases[] = {
        { "Cm7b5 keeps its flat fifth", { 60, 63, 66, 70 }, 6 },
        { "C7#9 keeps its sharp ninth", { 60, 64, 67, 70, 75 }, 3 },
    };
    for (const auto& c : cases)
    {
        const Notes got = voiceJazz (c.chord, 0, std::nullopt);
        ASSERT_FALSE (got.empty()) << c.name;
        bool sounds = false;
        for (const int n : got)
            sounds = sounds || pitchClassOf (n) == c.mustSound;
        EXPECT_TRUE (sounds) << c.name << ": " << describe (got);
    }
}

TEST (VoicingSearch, ScoredSetsKeepToCountsSpanAndPitchClassAllowances)
{
    struct Case
    {
        const char* name;
        bool jazz;
        Notes chord;
        int minNotes, maxNotes, rootAllowance;
    };
    const Case cases[] = {
        { "Pianist C major", false, cMajor, 3, 4, 2 },
        { "Pianist C5", false, { 60, 67 }, 2, 3, 2 },
        { "Jazz C7", true, c7, 3, 4, 1 },
    };

    for (const auto& c : cases)
    {
        PianistSetup piano;
        JazzSetup jazz;
        const WindowSearch* search = nullptr;
        if (c.jazz)
        {
            ASSERT_TRUE (makeJazzSetup (c.chord, 0, std::nullopt, jazz));
            search = &jazz.search;
        }
        else
        {
            ASSERT_TRUE (makePianistSetup (c.chord, 0, std::nullopt, piano));
            search = &piano.search;
        }

        int smallest = 99, largest = 0, widest = 0, mostRoots = 0, mostOther = 0;
        runWindowSearch (*search, [&] (const int* notes, int count)
        {
            smallest = std::min (smallest, count);
            largest = std::max (largest, count);
            widest = std::max (widest, notes[count - 1] - notes[0]);
            int perClass[12] {};
            for (int i = 0; i < count; ++i)
            {
                EXPECT_TRUE (i == 0 || notes[i] > notes[i - 1]) << c.name;
                ++perClass[pitchClassOf (notes[i])];
            }
            mostRoots = std::max (mostRoots, perClass[0]);
            for (int pc = 1; pc < 12; ++pc)
                mostOther = std::max (mostOther, perClass[pc]);
            return 0;
        });

        EXPECT_EQ (smallest, c.minNotes) << c.name;
        EXPECT_EQ (largest, c.maxNotes) << c.name;
        EXPECT_LE (widest, search->maxSpan) << c.name;
        EXPECT_EQ (mostRoots, c.rootAllowance) << c.name;
        EXPECT_EQ (mostOther, 1) << c.name;
    }
}

TEST (VoicingSearch, WindowsWithoutEnoughNotesFindNothing)
{
    // A root far above the MIDI range leaves a window of one note.
    const Notes high { 144, 148, 151 };
    EXPECT_TRUE (voicePianist (high, 0, std::nullopt).empty());
    EXPECT_TRUE (voiceJazz (high, 0, std::nullopt).empty());

    EXPECT_TRUE (voicePianist ({}, 0, std::nullopt).empty());
    EXPECT_TRUE (voiceJazz ({}, 0, std::nullopt).empty());
    EXPECT_TRUE (voiceGuitarist ({}, 0, std::nullopt).empty());
    EXPECT_TRUE (voiceBassist ({}, 0, std::nullopt).empty());
}

TEST (VoicingSearch, EqualCostsKeepTheSetFoundFirst)
{
    WindowSearch search;
    for (const int n : { 60, 62, 64, 65 })
        search.candidates[search.candidateCount++] = n;
    search.minCount = 2;
    search.maxCount = 4;
    search.maxSpan = 32;
    for (int& a : search.allowance)
        a = 1;

    struct Case
    {
        const char* name;
        int (*cost) (const int*, int);
        Notes expected;
    };
    const Case cases[] = {
        { "all equal: the first scored set", [] (const int*, int) { return 7; }, { 60, 62 } },
        { "a set ties with its extension: the smaller, scored first",
          [] (const int*, int n) { return n >= 3 ? 1 : 5; }, { 60, 62, 64 } },
        { "strictly cheaper later sets replace earlier ones",
          [] (const int* notes, int n) { return -notes[n - 1] - n; }, { 60, 62, 64, 65 } },
        { "equal costs among later sets: the first in depth-first order",
          [] (const int* notes, int) { return notes[0] == 62 ? 0 : 3; }, { 62, 64 } },
    };

    for (const auto& c : cases)
        EXPECT_EQ (runWindowSearch (search, c.cost), c.expected) << c.name;

    // The largest cost stands for "nothing found".
    EXPECT_TRUE (runWindowSearch (search, [] (const int*, int) { return noSetCost; }).empty());
}

//==============================================================================
// Fretboards.

TEST (VoicingSearch, StringOptionsAreMutedFirstThenFretsUpward)
{
    const ClassMask cMajorClasses = classBit (0) | classBit (4) | classBit (7);
    const ClassMask gMajorClasses = classBit (7) | classBit (11) | classBit (2);
    const struct
    {
        const char* name;
        const Fretboard& board;
        int string;
        ClassMask chord;
        Notes frets;
    } cases[] = {
        { "guitar low E, C major", guitarFretboard(), 0, cMajorClasses, { mutedString, 0, 3, 8, 12 } },
        { "guitar A, C major", guitarFretboard(), 1, cMajorClasses, { mutedString, 3, 7, 10 } },
        { "guitar high E, C major", guitarFretboard(), 5, cMajorClasses, { mutedString, 0, 3, 8, 12 } },
        { "bass E, G major", bassFretboard(), 0, gMajorClasses, { mutedString, 3, 7, 10, 15 } },
        { "bass G, G major", bassFretboard(), 3, gMajorClasses, { mutedString, 0, 4, 7, 12, 16 } },
    };

    for (const auto& c : cases)
    {
        int frets[maxStringOptions];
        const int count = stringOptions (c.board, c.string, c.chord, frets);
        EXPECT_EQ (Notes (frets, frets + count), c.frets) << c.name;
    }
}

TEST (VoicingSearch, FingeringShapesCountFretsSpanAndInnerMutes)
{
    const int m = mutedString;
    const struct
    {
        const char* name;
        int frets[6];
        Notes notes;
        int minFret, span, mutedInside;
        bool anyOpen;
    } cases[] = {
        { "strings 2 and 4 with 3 muted", { m, 3, m, 2, m, m }, { 48, 57 }, 2, 1, 1, false },
        { "only open strings", { 0, 0, 0, 0, 0, 0 }, { 40, 45, 50, 55, 59, 64 }, 0, 0, 0, true },
        { "open C shape", { m, 3, 2, 0, 1, 0 }, { 48, 52, 55, 60, 64 }, 1, 2, 0, true },
        { "crossing strings sort by pitch", { 12, 0, m, m, m, m }, { 45, 52 }, 12, 0, 0, true },
        { "two muted inside", { 3, m, m, 5, m, 3 }, { 43, 60, 67 }, 3, 2, 3, false },
        { "all muted", { m, m, m, m, m, m }, {}, 0, 0, 0, false },
    };

    for (const auto& c : cases)
    {
        const FingeringShape shape = measureFingering (guitarFretboard(), c.frets);
        EXPECT_EQ (Notes (shape.notes, shape.notes + shape.noteCount), c.notes) << c.name;
        EXPECT_EQ (shape.minFret, c.minFret) << c.name;
        EXPECT_EQ (shape.span, c.span) << c.name;
        EXPECT_EQ (shape.mutedInside(), c.mutedInside) << c.name;
        EXPECT_EQ (shape.anyOpen, c.anyOpen) << c.name;
    }
}

TEST (VoicingSearch, GuitarFingeringsNeverRepeatANoteOrStretchBeyondFiveFrets)
{
    for (const Notes& chord : { cMajor, c7, Notes { 60, 64, 67, 71, 74, 78, 81 } })
    {
        const FretboardSetup setup = makeFretboardSetup (chord, 0, std::nullopt);
        const int minCount = std::min (setup.chord.count, 3);
        int visited = 0;

        runGuitarSearch (setup, minCount, [&] (const FingeringShape& shape)
        {
            ++visited;
            EXPECT_GE (shape.noteCount, minCount);
            EXPECT_LE (shape.span, 5);
            for (int i = 0; i + 1 < shape.noteCount; ++i)
                EXPECT_LT (shape.notes[i], shape.notes[i + 1]);
            return 0;
        });
        EXPECT_GT (visited, 0);
    }
}

TEST (VoicingSearch, FretboardTiesKeepTheFingeringFoundFirst)
{
    const FretboardSetup setup = makeFretboardSetup (cMajor, 0, std::nullopt);

    // Every fingering equal: the first visited one, which mutes the three lowest strings (the
    // muted option comes first) and takes the lowest chord note on each of the others.
    EXPECT_EQ (runGuitarSearch (setup, 3, [] (const FingeringShape&) { return 1; }), (Notes { 55, 60, 64 }));

    // Bass: muted strings first, the first admissible fingering is the open G string alone
    // (fret 0 of the highest string).
    EXPECT_EQ (runBassSearch (makeFretboardSetup (gMajor, 7, std::nullopt),
                              [] (const FingeringShape& s) { return s.noteCount == 0 ? noSetCost : 1; }),
               (Notes { 43 }));
}

TEST (VoicingSearch, BassRejectsWhatNoBassistPlays)
{
    const int m = mutedString;
    const FretboardSetup setup = makeFretboardSetup ({ 33, 37, 40 }, 9, std::nullopt); // A major
    const struct
    {
        const char* name;
        int frets[4];
        bool admissible;
    } cases[] = {
        { "E fret 5 and open A sound the same note", { 5, 0, m, m }, false },
        { "four sounding strings", { 5, 4, 2, 2 }, false },
        { "nothing sounds", { m, m, m, m }, false },
        { "a stretch of six frets", { 5, m, m, 11 }, false },
        { "a single root on the E string", { 5, m, m, m }, true },
        { "a single root on the open A string", { m, 0, m, m }, true },
        { "root and fifth", { 5, 7, m, m }, true },
    };

    for (const auto& c : cases)
    {
        const int cost = bassistCost (setup, measureFingering (bassFretboard(), c.frets));
        EXPECT_EQ (cost != noSetCost, c.admissible) << c.name;
    }
}

TEST (VoicingSearch, BassLeapsBeyondAnOctavePayExtra)
{
    const int m = mutedString;
    const int frets[4] { m, 3, m, m }; // C 36 alone
    const FingeringShape shape = measureFingering (bassFretboard(), frets);
    const Notes chord { 36, 40, 43 };

    // The previous voicing also holds 36 itself, so only the move of the lowest note changes.
    const auto costAfterLowest = [&] (int previousLowest)
    {
        const std::optional<Notes> previous = previousLowest == 36 ? Notes { 36 } : Notes { previousLowest, 36 };
        return bassistCost (makeFretboardSetup (chord, 0, previous), shape);
    };

    const struct { int previousLowest, extra; } cases[] = {
        { 36, 0 }, { 31, 10 }, { 24, 24 }, { 22, 28 + 8 }, { 20, 32 + 16 },
    };
    for (const auto& c : cases)
        EXPECT_EQ (costAfterLowest (c.previousLowest) - costAfterLowest (36), c.extra) << c.previousLowest;
}

TEST (VoicingSearch, OpenStringsLowOnTheNeckEarnABonus)
{
    const FretboardSetup setup = makeFretboardSetup (cMajor, 0, std::nullopt);
    const struct { int minFret; int bonus; } cases[] = { { 0, -4 }, { 3, -4 }, { 4, 0 } };

    for (const auto& c : cases)
    {
        FingeringShape open = measureFingering (guitarFretboard(), std::array<int, 6> { -1, 3, 2, 0, 1, 0 }.data());
        open.minFret = c.minFret;
        FingeringShape closed = open;
        closed.anyOpen = false;
        EXPECT_EQ (guitaristCost (setup, open) - guitaristCost (setup, closed), c.bonus) << c.minFret;
    }
}
