#pragma once

#include "harmony/VoicingSearch.h"

#include <optional>
#include <type_traits>
#include <vector>

// Internals of the searched voicing styles, shared by the window searches (Pianist, Jazz) and
// the fretboard searches (Guitarist, Bassist), and visible to the tests. Everything a search
// touches per scored candidate lives in fixed-size arrays: a compile runs these searches for
// every chord after every edit, so scoring must never allocate.
namespace VoicingSearchFrame
{
/** The cost that stands for "nothing found yet"; a set is taken only when strictly cheaper. */
constexpr int noSetCost = 2147483647;

/** positivePitchClass, inlined for the scoring loops. */
inline int pitchClassOf (int note)
{
    return ((note % 12) + 12) % 12;
}

/** Relative class of pitch class p (0..11) above the root's pitch class r (0..11). */
inline int relativeClass (int pitchClass, int rootPitchClass)
{
    return (pitchClass - rootPitchClass + 12) % 12;
}

/** A set of relative classes (or of pitch classes), one bit per class 0..11. */
using ClassMask = unsigned;

constexpr ClassMask classBit (int c) { return 1u << c; }

constexpr ClassMask thirdClasses = classBit (3) | classBit (4);
constexpr ClassMask perfectFifthClass = classBit (7);
constexpr ClassMask alteredFifthClasses = classBit (6) | classBit (8);
constexpr ClassMask anyFifthClasses = classBit (6) | classBit (7) | classBit (8);
constexpr ClassMask seventhClasses = classBit (10) | classBit (11);
constexpr ClassMask minorThirdClass = classBit (3);
constexpr ClassMask majorThirdClass = classBit (4);
constexpr ClassMask sixthClass = classBit (9);
constexpr ClassMask minorSeventhClass = classBit (10);
constexpr ClassMask ninthClasses = classBit (1) | classBit (2) | classBit (3);

/** How many classes a mask holds. */
inline int countBits (ClassMask m)
{
    int n = 0;
    for (; m != 0; m &= m - 1)
        ++n;
    return n;
}

/** The lowest class in a mask that is not empty. */
inline int lowestClass (ClassMask m)
{
    int c = 0;
    while ((m & 1u) == 0)
    {
        m >>= 1;
        ++c;
    }
    return c;
}

/** Absolute pitch classes turned into classes relative to the root. */
inline ClassMask relativeMask (ClassMask pitchClasses, int root)
{
    const ClassMask twice = pitchClasses | (pitchClasses << 12);
    return (twice >> root) & 0xfffu;
}

/** The relative classes of some notes above a root pitch class. */
ClassMask relativeClassesOf (const int* notes, int count, int rootPitchClass);

/** The features a search tests on a chord's (or a set's) relative classes. */
struct Features
{
    bool third = false;
    bool perfectFifth = false;
    bool alteredFifth = false;
    bool anyFifth = false;
    bool seventh = false;
    bool minorThird = false;
    bool majorThird = false;
    bool sixth = false;
    bool minorSeventh = false;
    bool ninthClass = false;

    static Features of (ClassMask c)
    {
        Features f;
        f.third = (c & thirdClasses) != 0;
        f.perfectFifth = (c & perfectFifthClass) != 0;
        f.alteredFifth = (c & alteredFifthClasses) != 0;
        f.anyFifth = (c & anyFifthClasses) != 0;
        f.seventh = (c & seventhClasses) != 0;
        f.minorThird = (c & minorThirdClass) != 0;
        f.majorThird = (c & majorThirdClass) != 0;
        f.sixth = (c & sixthClass) != 0;
        f.minorSeventh = (c & minorSeventhClass) != 0;
        f.ninthClass = (c & ninthClasses) != 0;
        return f;
    }
};

/** The voicing of the chord before, read once per search so that every candidate can be
    compared with it without touching the caller's list again. */
struct PreviousVoicing
{
    const int* notes = nullptr;
    int count = 0;
    int lowest = 0;
    int highest = 0;
    double mean = 0.0;
    ClassMask pitchClasses = 0; // absolute pitch classes, not relative ones
    int nearestTable[128] {};   // nearestDistance of every MIDI note, filled once

    /** None and an empty voicing both count as "no previous voicing". */
    static PreviousVoicing from (const std::optional<std::vector<int>>& voicing);

    bool present() const { return count > 0; }

    /** Smallest distance from a note to any previous note, starting from 128. */
    int nearestDistance (int note) const
    {
        return note >= 0 && note < 128 ? nearestTable[note] : computeNearestDistance (note);
    }

    int computeNearestDistance (int note) const;
};

/** The distinct pitch classes of the chord tones in order of first occurrence. */
struct ChordPitchClasses
{
    int classes[12] {};
    int count = 0;
    ClassMask mask = 0; // absolute pitch classes

    static ChordPitchClasses of (const std::vector<int>& chordTones);
};

//==============================================================================
// The depth-first subset search over the notes of a register window.

constexpr int maxWindowCandidates = 128;
constexpr int maxSetNotes = 12;

struct WindowSearch
{
    int candidates[maxWindowCandidates] {}; // ascending
    int candidateCount = 0;
    int minCount = 1;
    int maxCount = 1;
    int maxSpan = 0;
    int allowance[12] {}; // how often each (absolute) pitch class may occur in a set
};

/** Relative classes of every MIDI note above one root, looked up instead of computed while
    scoring. */
struct RelativeClassTable
{
    int root = 0;
    int table[128] {};

    void fill (int rootPitchClass)
    {
        root = rootPitchClass;
        for (int n = 0; n < 128; ++n)
            table[n] = relativeClass (pitchClassOf (n), rootPitchClass);
    }

    int operator() (int note) const
    {
        return note >= 0 && note < 128 ? table[note] : relativeClass (pitchClassOf (note), root);
    }

    ClassMask maskOf (const int* notes, int count) const
    {
        ClassMask mask = 0;
        for (int i = 0; i < count; ++i)
            mask |= classBit ((*this) (notes[i]));
        return mask;
    }
};

/** Visits every admissible subset in ascending depth-first order, each set before its
    extensions, and returns the first of the cheapest (ascending), or an empty list. The cost
    is called as cost (notes, count) with the notes ascending. The extensions of a set are
    skipped when bound (notes, count) is not below the best cost so far; a bound that never
    exceeds the cost of any extension (every extension adds higher notes) leaves the result
    unchanged. */
template <typename Cost, typename Bound>
std::vector<int> runWindowSearch (const WindowSearch& search, Cost&& cost, Bound&& bound)
{
    struct Walker
    {
        const WindowSearch& search;
        Cost& cost;
        Bound& bound;
        int maxCount;
        int current[maxSetNotes] {};
        int count = 0;
        int perClass[12] {};
        int best[maxSetNotes] {};
        int bestCount = 0;
        int bestCost = noSetCost;

        void step (int startIndex)
        {
            if (count >= search.minCount)
            {
                const int score = cost (static_cast<const int*> (current), count);

                if (score < bestCost)
                {
                    bestCost = score;
                    bestCount = count;
                    for (int i = 0; i < count; ++i)
                        best[i] = current[i];
                }
            }

            if (count >= maxCount)
                return;

            if (count > 0 && bound (static_cast<const int*> (current), count) >= bestCost)
                return;

            for (int i = startIndex; i < search.candidateCount; ++i)
            {
                const int note = search.candidates[i];

                if (count > 0 && note - current[0] > search.maxSpan)
                    return;

                const int pitchClass = pitchClassOf (note);

                if (perClass[pitchClass] >= search.allowance[pitchClass])
                    continue;

                current[count++] = note;
                ++perClass[pitchClass];
                step (i + 1);
                --perClass[pitchClass];
                --count;
            }
        }
    };

    Walker walker { search, cost, bound, search.maxCount < maxSetNotes ? search.maxCount : maxSetNotes };
    walker.step (0);

    if (walker.bestCost == noSetCost)
        return {};

    // Candidates are distinct and visited in ascending order, so the best set already is
    // ascending with every note once.
    return std::vector<int> (walker.best, walker.best + walker.bestCount);
}

template <typename Cost>
std::vector<int> runWindowSearch (const WindowSearch& search, Cost&& cost)
{
    return runWindowSearch (search, cost, [] (const int*, int) { return -noSetCost; });
}

//==============================================================================
// Pianist and Jazz.

struct PianistSetup
{
    WindowSearch search;
    int rootPitchClass = 0;
    int low = 0; // the window's lowest note
    int targetCount = 0;
    RelativeClassTable relative;
    ChordPitchClasses chord;
    ClassMask chordClasses = 0; // relative
    Features features;
    PreviousVoicing previous;
};

/** False when the chord is empty or the window holds no chord note. */
bool makePianistSetup (const std::vector<int>& chordTones, int rootPitchClass,
                       const std::optional<std::vector<int>>& previousVoicing, PianistSetup& setup);

int pianistCost (const PianistSetup& setup, const int* notes, int count);

/** A cost that no set extending these notes upward can go below (see runWindowSearch). */
int pianistLowerBound (const PianistSetup& setup, const int* notes, int count);

struct JazzSetup
{
    WindowSearch search;
    int rootPitchClass = 0;
    int low = 0;    // the window's lowest note
    int centre = 0; // the C at or below the root
    int targetCount = 0;
    RelativeClassTable relative;
    Features features;
    bool dominant = false;
    bool full = false;
    ClassMask colourPitchClasses = 0; // absolute
    ClassMask colourClasses = 0;      // the same, relative to the root
    PreviousVoicing previous;
    ClassMask previousClasses = 0;    // the previous voicing's pitch classes, relative
};

bool makeJazzSetup (const std::vector<int>& chordTones, int rootPitchClass,
                    const std::optional<std::vector<int>>& previousVoicing, JazzSetup& setup);

int jazzCost (const JazzSetup& setup, const int* notes, int count);

//==============================================================================
// Fretboards.

constexpr int maxStrings = 6;
constexpr int mutedString = -1;
constexpr int maxStringOptions = 20;

struct Fretboard
{
    int stringCount;
    int openNotes[maxStrings];
    int highestFret;
};

const Fretboard& guitarFretboard();
const Fretboard& bassFretboard();

/** The options of one string in search order: muted first, then every fret from 0 upward
    whose note has one of the pitch classes in the (absolute) mask. Returns the count. */
int stringOptions (const Fretboard& board, int string, ClassMask chordPitchClasses,
                   int (&frets)[maxStringOptions]);

/** What the costs read of one fingering. The walkers build it string by string as they
    descend, so that scoring a complete fingering costs no more than a few table reads. */
struct FingeringShape
{
    int notes[maxStrings] {};      // the sounding notes, ascending
    int noteCount = 0;
    int noteSum = 0;
    int pitchClassCounts[12] {};   // sounding notes per (absolute) pitch class
    ClassMask pitchClasses = 0;    // absolute
    ClassMask doubledPitchClasses = 0; // absolute pitch classes sounding on more than one string
    int minFret = 0;               // lowest fret above 0, or 0 when nothing is fretted
    int span = 0;                  // highest minus lowest fret above 0
    int lowestString = -1;         // index of the lowest sounding string, -1 when all are muted
    int highestString = -1;
    int lowestStringNote = 0;
    bool anyOpen = false;

    /** Adds the next string up (strings must come lowest first). */
    void addString (int string, int fret, int note);

    /** Muted strings between the lowest and the highest sounding string. */
    int mutedInside() const
    {
        return noteCount == 0 ? 0 : highestString - lowestString + 1 - noteCount;
    }

    bool sounds (int note) const
    {
        for (int i = 0; i < noteCount; ++i)
            if (notes[i] == note)
                return true;
        return false;
    }
};

/** The shape of a fingering given as one fret (or mutedString) per string. */
FingeringShape measureFingering (const Fretboard& board, const int* frets);

struct FretboardSetup
{
    int rootPitchClass = 0;
    ChordPitchClasses chord;
    ClassMask chordClasses = 0; // relative
    ClassMask addedToneClasses = 0; // the chord's relative classes 1, 2, 5 and 9
    Features features;
    PreviousVoicing previous;
};

FretboardSetup makeFretboardSetup (const std::vector<int>& chordTones, int rootPitchClass,
                                   const std::optional<std::vector<int>>& previousVoicing);

int guitaristCost (const FretboardSetup& setup, const FingeringShape& shape);
int bassistCost (const FretboardSetup& setup, const FingeringShape& shape);

/** A cost that no fingering completing these lower strings can go below: the terms that only
    grow as strings are added (fret position and span, inner muted strings, doubled pitch
    classes, distance to the previous voicing), plus the largest bonus each other term can
    still give. A branch whose bound is not below the best cost found cannot win. */
int guitaristLowerBound (const FretboardSetup& setup, const FingeringShape& partial);

/** Guitar enumeration: string by string from the lowest, a note already sounding is skipped,
    and a branch goes on only while enough strings remain for minCount notes and the fretted
    span stays within 5. cost (shape) scores each complete fingering; a branch is also left
    when bound (partial shape) is not below the best cost so far, which cannot change the
    result as long as bound never exceeds the cost of a completion. */
template <typename Cost, typename Bound>
std::vector<int> runGuitarSearch (const FretboardSetup& setup, int minCount, Cost&& cost, Bound&& bound);

template <typename Cost>
std::vector<int> runGuitarSearch (const FretboardSetup& setup, int minCount, Cost&& cost)
{
    return runGuitarSearch (setup, minCount, cost, [] (const FingeringShape&) { return -noSetCost; });
}

/** Bass enumeration: every combination of options over the four strings; combinations the
    bass cost always rejects (a repeated note, more than three notes, a fretted span above 5)
    are cut as early as they show, which leaves the visiting order of the others unchanged. */
template <typename Cost>
std::vector<int> runBassSearch (const FretboardSetup& setup, Cost&& cost);

//==============================================================================

namespace detail
{
    struct FretboardWalker
    {
        const Fretboard& board;
        int options[maxStrings][maxStringOptions] {};
        int optionCount[maxStrings] {};
        FingeringShape shapes[maxStrings + 1]; // shapes[s]: the strings below s decided
        int best[maxStrings] {};
        int bestCount = 0;
        int bestCost = noSetCost;

        FretboardWalker (const Fretboard& b, ClassMask chordPitchClasses) : board (b)
        {
            for (int s = 0; s < board.stringCount && s < maxStrings; ++s)
                optionCount[s] = stringOptions (board, s, chordPitchClasses, options[s]);
        }

        template <typename Cost>
        void score (const FingeringShape& shape, Cost& cost)
        {
            const int c = cost (shape);

            if (c < bestCost)
            {
                bestCost = c;
                bestCount = shape.noteCount;
                for (int i = 0; i < shape.noteCount; ++i)
                    best[i] = shape.notes[i];
            }
        }

        std::vector<int> result() const
        {
            if (bestCost == noSetCost)
                return {};
            return std::vector<int> (best, best + bestCount);
        }
    };
}

template <typename Cost, typename Bound>
std::vector<int> runGuitarSearch (const FretboardSetup& setup, int minCount, Cost&& cost, Bound&& bound)
{
    struct Walker : detail::FretboardWalker
    {
        using FretboardWalker::FretboardWalker;
        int minCount = 0;
        std::remove_reference_t<Bound>* bound = nullptr;

        void visit (int string, Cost& c)
        {
            const FingeringShape& decided = shapes[string];

            if (string >= board.stringCount || string >= maxStrings)
            {
                score (decided, c);
                return;
            }

            const int stringsLeft = board.stringCount - string - 1;

            for (int o = 0; o < optionCount[string]; ++o)
            {
                const int fret = options[string][o];
                const int note = board.openNotes[string] + fret;

                if (fret != mutedString && decided.sounds (note))
                    continue;

                FingeringShape& next = shapes[string + 1];
                next = decided;
                next.addString (string, fret, note);

                if (next.noteCount + stringsLeft >= minCount && next.span <= 5
                    && (*bound) (next) < bestCost)
                    visit (string + 1, c);
            }
        }
    };

    Walker walker (guitarFretboard(), setup.chord.mask);
    walker.minCount = minCount;
    walker.bound = &bound;
    walker.visit (0, cost);
    return walker.result();
}

template <typename Cost>
std::vector<int> runBassSearch (const FretboardSetup& setup, Cost&& cost)
{
    struct Walker : detail::FretboardWalker
    {
        using FretboardWalker::FretboardWalker;

        void visit (int string, Cost& c)
        {
            const FingeringShape& decided = shapes[string];

            if (string >= board.stringCount || string >= maxStrings)
            {
                score (decided, c);
                return;
            }

            for (int o = 0; o < optionCount[string]; ++o)
            {
                const int fret = options[string][o];
                const int note = board.openNotes[string] + fret;

                if (fret != mutedString && (decided.sounds (note) || decided.noteCount == 3))
                    continue;

                FingeringShape& next = shapes[string + 1];
                next = decided;
                next.addString (string, fret, note);

                if (next.span <= 5)
                    visit (string + 1, c);
            }
        }
    };

    Walker walker (bassFretboard(), setup.chord.mask);
    walker.visit (0, cost);
    return walker.result();
}
} // namespace VoicingSearchFrame
