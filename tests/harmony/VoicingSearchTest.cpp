// The searched voicing styles on their own: the voicings they pick for known chords (which only
// come out when every cost term is charged as intended), the windows and counts they search,
// and the fixed visiting order that makes the first of equally cheap candidates win.

#include "harmony/VoicingSearch.h"
#include "harmony/VoicingSearchFrame.h"

#include "support/NoteListText.h"

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
        EXPECT_EQ (got, c.expected) << c.name << ": got " << corvessa::test::describeNotes (got);
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
        EXPECT_TRUE (sounds) << c.name << ": " << corvessa::test::describeNotes (got);
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

TEST (VoicingSearch, ARootPitchClassOutsideTheOctaveFoldsOntoIt)
{
    const struct { const char* name; Search search; } searches[] = {
        { "Pianist", voicePianist }, { "Jazz", voiceJazz }, { "Guitarist", voiceGuitarist }, { "Bassist", voiceBassist },
    };
    for (const auto& s : searches)
    {
        const Notes expected = s.search (c7, 0, std::nullopt);
        ASSERT_FALSE (expected.empty()) << s.name;
        for (const int root : { 12, -12, 24 })
            EXPECT_EQ (s.search (c7, root, std::nullopt), expected) << s.name << " " << root;
    }
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

//==============================================================================
// Whole costs of chosen sets, worked out by hand term by term. The known voicings above do not
// depend on every term (several terms can drift without changing those winners), so these pin
// each term's size and condition.

TEST (VoicingSearch, WindowSetCostsAddUpTermByTerm)
{
    struct Case
    {
        const char* name;
        bool jazz;
        Notes chord;
        std::optional<Notes> previous;
        Notes set;
        int expected;
    };
    const Notes cm7b5 { 60, 63, 66, 70 };
    const Notes c7sharp9 { 60, 64, 67, 70, 75 };

    const Case cases[] = {
        // Pianist, window from 48.
        // 24 count, -8 root lowest, -22 third, -18 seventh, -4 fifth, +8 two roots, +20 +40 span,
        // +18 close bottom, +24 whole tone low, +15 wide gap, +7 mean.
        { "Pianist C7, five notes", false, c7, std::nullopt, { 48, 52, 58, 60, 79 }, 104 },
        // as above without the mean term, +48 nearest, +14 lowest, +21 highest, +4 mean move.
        { "Pianist C7 after a triad", false, c7, Notes { 55, 64, 72 }, { 48, 52, 58, 60, 79 }, 184 },
        // 24 count, +34 and +34 no root, -22 third, -18 seventh, -4 fifth, +20 span, +36 bottom, +16 mean.
        { "Pianist C7 without root", false, c7, std::nullopt, { 52, 55, 58 }, 120 },
        // 24, -8, +70 and +70 no third, -18, -4, +12 span, +18 mean.
        { "Pianist C7 without third", false, c7, std::nullopt, { 48, 55, 58 }, 164 },

        // Jazz C7, window from 50, centre 60: -22 rootless, -34 third, -32 seventh, -18 ninth,
        // -22 thirteenth, +4 span.
        { "Jazz C7 rootless", true, c7, std::nullopt, { 52, 58, 62, 69 }, -124 },
        // +10 nearest, +2 lowest, -12 two common tones; the mean term is only charged alone.
        { "Jazz C7 after Dm7", true, c7, Notes { 53, 60, 64, 69 }, { 52, 58, 62, 69 }, -124 },
        // -22, -34, +84 no seventh, -18 ninth, +34 no thirteenth, +10 fifth with ninth,
        // -18 colour, +10 span, +36 low semitone, +34 low ninth, +8 rootless bottom, +10 mean.
        { "Jazz C7#9 clustered", true, c7sharp9, std::nullopt, { 50, 51, 55, 64 }, 134 },
        { "Jazz C7#9 clustered after a triad", true, c7sharp9, Notes { 48, 55, 62 }, { 50, 51, 55, 64 }, 146 },
        // +34 full with root, -34 minor third, -32 seventh, -16 ninth class, -24 flat fifth,
        // +20 span, +34 low flat fifth, +8 mean.
        { "Jazz Cm7b5", true, cm7b5, std::nullopt, { 51, 54, 58, 60 }, -10 },
        // 18 count, +34, +90 no third, -32, +22 no ninth class, -24, +16 span, +34, +5 mean.
        { "Jazz Cm7b5 without third", true, cm7b5, std::nullopt, { 54, 58, 60 }, 163 },
        // 18 count, -20 root of a sparse chord, -34 third, +8 no ninth, +12 span, +8 mean.
        { "Jazz C triad", true, cMajor, std::nullopt, { 52, 55, 60 }, -8 },
        // 18, -22, -34, -22 sixth, -16 ninth, +8 span, +6 mean.
        { "Jazz C6 rootless", true, { 60, 64, 67, 69 }, std::nullopt, { 52, 57, 62 }, -62 },
    };

    for (const auto& c : cases)
    {
        int cost = 0;
        if (c.jazz)
        {
            JazzSetup setup;
            ASSERT_TRUE (makeJazzSetup (c.chord, 0, c.previous, setup)) << c.name;
            cost = jazzCost (setup, c.set.data(), static_cast<int> (c.set.size()));
        }
        else
        {
            PianistSetup setup;
            ASSERT_TRUE (makePianistSetup (c.chord, 0, c.previous, setup)) << c.name;
            cost = pianistCost (setup, c.set.data(), static_cast<int> (c.set.size()));
        }
        EXPECT_EQ (cost, c.expected) << c.name;
    }
}

TEST (VoicingSearch, FingeringCostsAddUpTermByTerm)
{
    const int m = mutedString;
    struct Case
    {
        const char* name;
        bool bass;
        Notes chord;
        std::optional<Notes> previous;
        int frets[6];
        int expected;
    };
    const Notes cm7b5 { 60, 63, 66, 70 };

    const Case cases[] = {
        // Guitar. +2 min fret, +24 span, +2 doubled root, +14 doubled third, -14 root lowest,
        // -8 root on a low string, -4 open strings.
        { "open C shape", false, cMajor, std::nullopt, { m, 3, 2, 0, 1, 0 }, 16 },
        // +16 min fret, +12 span, +14 muted inside, -14, -8, +6 high position, +4 mean.
        { "C7 barre at the eighth fret", false, c7, std::nullopt, { 8, m, 8, 9, 8, m }, 30 },
        // +48 nearest, +0 lowest move instead of the mean.
        { "C7 barre after a C triad", false, c7, Notes { 48, 52, 55 }, { 8, m, 8, 9, 8, m }, 74 },
        // +18 +12, +30 too few notes, +28 no seventh, +8 no fifth, -14, -8, +12 high, +7 mean.
        { "C7 as two notes", false, c7, std::nullopt, { m, m, 10, 9, m, m }, 93 },
        // +14 muted inside, +45 no root, -4 open, +1 mean.
        { "Cadd9 without root", false, { 60, 64, 67, 74 }, std::nullopt, { m, m, 0, 0, m, 0 }, 56 },
        // +4 +12, +10 no ninth, -14, -8, -4, +3 mean.
        { "Cadd9 without ninth", false, { 60, 64, 67, 74 }, std::nullopt, { m, 3, 2, 0, m, m }, 3 },
        // +4 +12, +22 six notes, +4 tripled root, +14 doubled third, -14, -8, -4, +1 mean.
        { "G major on six strings", false, gMajor, std::nullopt, { 3, 2, 0, 0, 0, 3 }, 31 },
        // +10 +36 +14, +45 no root, +5 doubled fifth, +3 mean.
        { "C without root, fifth doubled", false, cMajor, std::nullopt, { m, 7, 5, m, 8, m }, 113 },
        // +6, +30 too few notes, +18 no fifth without a third, -14, -8, -4, +6 mean.
        { "Csus2 as two notes", false, { 60, 62, 67 }, std::nullopt, { m, 3, 0, m, m, m }, 34 },

        // Bass.
        // +10 one note, -46 root lowest, -18 root on a low string, +10 lone note without fifth,
        // +20 no third, +18 no seventh, +7 mean.
        { "C7 root alone", true, c7, std::nullopt, { 8, m, m, m }, 1 },
        // +10 span, +55 three low notes, +45 close low interval, -46, -18, -12 third, +18 low
        // third, -10 seventh, +2 mean.
        { "C7 three notes", true, c7, std::nullopt, { m, 3, 2, 3 }, 44 },
        // +24 nearest, +10 lowest move instead of the mean.
        { "C7 three notes after a bass fifth", true, c7, Notes { 31, 38 }, { m, 3, 2, 3 }, 76 },
        // +10 span, -46, -12 third, +18 third within the octave, +7 mean.
        { "C high root and third", true, cMajor, std::nullopt, { m, m, 10, 9 }, -23 },
        // +10, +115 no root, +10 lone note, -12 +18 third, +15 mean.
        { "C as its open low third", true, cMajor, std::nullopt, { 0, m, m, m }, 156 },
        // +20 span, +24 ninth-less low interval, +115, +10 no fifth third or seventh, +20 no
        // third, +18 +18 foreign tones, +1 mean.
        { "C as D and A", true, cMajor, std::nullopt, { m, 5, 7, m }, 226 },
        // +30 span and muted inside, -46, -18, +10, +20, +2 doubled root, +1 mean.
        { "C as two roots", true, cMajor, std::nullopt, { 8, m, 10, m }, -1 },
        // +10, -46, -18, +20 no third, +18 no seventh, +24 no flat fifth, +7 mean.
        { "Cm7b5 root alone", true, cm7b5, std::nullopt, { 8, m, m, m }, 15 },
        // +50 span and muted inside, +45 close low interval, -46, -18, +20, +18, -18 flat fifth,
        // +4 mean.
        { "Cm7b5 root and flat fifth", true, cm7b5, std::nullopt, { 8, m, 4, m }, 55 },
        // +24 stretch +70 span and muted inside, +115, -12 fifth, -12 third, +18 no seventh,
        // +24 no flat fifth, +2 mean.
        { "Cm7b5 as G and E flat", true, cm7b5, std::nullopt, { 3, m, m, 8 }, 229 },
        // +35 high position, -46, +10 lone note, +20 no third, +17 mean.
        { "C at the seventeenth fret", true, cMajor, std::nullopt, { m, m, m, 17 }, 36 },
    };

    for (const auto& c : cases)
    {
        const FretboardSetup setup = makeFretboardSetup (c.chord, positivePitchClass (c.chord.front()), c.previous);
        const int cost = c.bass ? bassistCost (setup, measureFingering (bassFretboard(), c.frets))
                                : guitaristCost (setup, measureFingering (guitarFretboard(), c.frets));
        EXPECT_EQ (cost, c.expected) << c.name;
    }
}

//==============================================================================
// The searches visit their branches in the order of a lower bound of their cost and leave
// those that cannot beat the best set found so far; that must never change what they find,
// ties included (the first of the cheapest in plain depth-first order).

TEST (VoicingSearch, PrunedSearchesFindWhatTheFullEnumerationFinds)
{
    const Notes chords[] = {
        cMajor, c7, aMinor7,
        { 60, 64, 67, 71, 74, 66, 81 }, // maj13(#11)
        { 57, 61, 64, 67, 71, 78 },     // A13
        { 62, 65, 69, 72, 76, 79 },     // Dm11
        { 60, 63, 66, 70, 74 },         // m9b5
        { 55, 59, 65, 68, 63 },         // G7alt
        { 60, 67 },                     // C5
        { 60, 65, 67 },                 // Csus4
    };
    const std::optional<Notes> previousVoicings[] = {
        std::nullopt, Notes { 60, 64, 67 }, Notes { 45, 52, 60, 67, 74 }, Notes { 28 }, Notes { 40, 47, 52, 56, 59, 64 },
    };

    for (const Notes& written : chords)
    {
        // In three keys, so that the windows and the fretboards meet the chord differently.
        for (const int shift : { 0, -5, 6 })
        {
            Notes tones;
            for (const int n : written)
                tones.push_back (n + shift);
            std::sort (tones.begin(), tones.end());
            const int root = positivePitchClass (written.front() + shift);

            for (const auto& previous : previousVoicings)
            {
                PianistSetup piano;
                ASSERT_TRUE (makePianistSetup (tones, root, previous, piano));
                const Notes everyPianoSet = runWindowSearch (piano.search, [&piano] (const int* notes, int count)
                                                             { return pianistCost (piano, notes, count); });
                EXPECT_EQ (voicePianist (tones, root, previous), everyPianoSet) << "Pianist " << corvessa::test::describeNotes (tones);

                const FretboardSetup guitar = makeFretboardSetup (tones, root, previous);
                const Notes everyFingering = runGuitarSearch (guitar, std::min (guitar.chord.count, 3),
                                                              [&guitar] (const FingeringShape& shape)
                                                              { return guitaristCost (guitar, shape); });
                EXPECT_EQ (voiceGuitarist (tones, root, previous), everyFingering) << "Guitarist " << corvessa::test::describeNotes (tones);

                const Notes everyBassFingering = runBassSearch (guitar, [&guitar] (const FingeringShape& shape)
                                                                { return bassistCost (guitar, shape); });
                EXPECT_EQ (voiceBassist (tones, root, previous), everyBassFingering) << "Bassist " << corvessa::test::describeNotes (tones);
            }
        }
    }
}

TEST (VoicingSearch, ReachableClassTermsAreTheLowestOverEveryCompletion)
{
    // Any function of the chord's classes: the table must give, for every set and number of
    // classes still to add, the lowest value over the sets so completed.
    const ClassMask chordClasses = classBit (0) | classBit (4) | classBit (7) | classBit (10) | classBit (2);
    const auto terms = [] (ClassMask set) { return (int) ((set * 2654435761u) >> 20) % 97 - 40; };

    ReachableClassTerms reachable;
    reachable.fill (chordClasses, 3, terms);

    for (ClassMask set = 0; set < 4096; ++set)
    {
        if ((set & ~chordClasses) != 0)
            continue;

        for (int more = 0; more <= 4; ++more)
        {
            int lowest = terms (set);
            for (ClassMask wider = 0; wider < 4096; ++wider)
                if ((wider & ~chordClasses) == 0 && (wider & set) == set && countBits (wider & ~set) <= std::min (more, 3))
                    lowest = std::min (lowest, terms (wider));

            EXPECT_EQ (reachable.lowest (reachable.subsetOf (set), more), lowest) << set << " + " << more;
        }
    }
}

TEST (VoicingSearch, OrderedSearchesBreakTiesAsThePlainWalkDoes)
{
    // Costs with many ties and bounds that order the branches oddly: the ordered searches must
    // still return the first of the cheapest in plain depth-first order.
    const auto hashOf = [] (const int* notes, int count)
    {
        unsigned h = 2166136261u;
        for (int i = 0; i < count; ++i)
            h = (h ^ (unsigned) notes[i]) * 16777619u;
        return h;
    };

    PianistSetup piano;
    ASSERT_TRUE (makePianistSetup ({ 60, 64, 67, 71, 74 }, 0, std::nullopt, piano));
    const FretboardSetup board = makeFretboardSetup ({ 55, 59, 62, 65 }, 7, std::nullopt);

    for (const unsigned ties : { 1u, 3u, 7u })
    {
        const auto windowCost = [&] (const int* notes, int count) { return (int) (hashOf (notes, count) % ties); };
        // Never above any cost (0), yet different from branch to branch.
        const auto windowBound = [&] (const int* notes, int count) { return -(int) (hashOf (notes, count) % 11); };
        EXPECT_EQ (runWindowSearch (piano.search, windowCost, windowBound), runWindowSearch (piano.search, windowCost)) << ties;

        const auto shapeCost = [&] (const FingeringShape& s) { return s.noteCount == 0 ? noSetCost : (int) (hashOf (s.notes, s.noteCount) % ties); };
        const auto shapeBound = [&] (const FingeringShape& s) { return -(int) (hashOf (s.notes, s.noteCount) % 11); };
        EXPECT_EQ (runGuitarSearch (board, 3, shapeCost, shapeBound), runGuitarSearch (board, 3, shapeCost)) << ties;
        EXPECT_EQ (runBassSearch (board, shapeCost, shapeBound), runBassSearch (board, shapeCost)) << ties;
    }
}
