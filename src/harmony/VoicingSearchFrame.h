#pragma once

#include "harmony/VoicingSearch.h"

#include <cstdint>
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
   #if defined (__GNUC__)
    return __builtin_popcount (m);
   #else
    int n = 0;
    for (; m != 0; m &= m - 1)
        ++n;
    return n;
   #endif
}

/** The lowest class in a mask that is not empty. */
inline int lowestClass (ClassMask m)
{
   #if defined (__GNUC__)
    return __builtin_ctz (m);
   #else
    int c = 0;
    while ((m & 1u) == 0)
    {
        m >>= 1;
        ++c;
    }
    return c;
   #endif
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

/** For a cost whose terms depend in part only on which of the chord's (relative) classes a set
    holds: for every set of the chord's classes and every number of classes that may still be
    added, the lowest those terms can reach over the sets so completed. A search's lower bound
    reads it for a partial set, in place of counting every such term at its best. Filled once
    per chord; read without allocating. */
struct ReachableClassTerms
{
    unsigned compressedBit[12] {}; // relative class -> its bit among the chord's classes, or 0
    int columns = 0;
    std::vector<int> table;

    template <typename Terms>
    void fill (ClassMask chordClasses, int maxMore, Terms&& terms)
    {
        int classes[12] {};
        int classCount = 0;

        for (int r = 0; r < 12; ++r)
        {
            compressedBit[r] = 0;

            if ((chordClasses & classBit (r)) != 0)
            {
                compressedBit[r] = 1u << classCount;
                classes[classCount++] = r;
            }
        }

        const int subsets = 1 << classCount;
        columns = maxMore + 1;
        table.assign ((size_t) (subsets * columns), 0);

        // Larger sets first: each entry builds on the sets one class larger.
        for (int subset = subsets - 1; subset >= 0; --subset)
        {
            ClassMask set = 0;
            for (int i = 0; i < classCount; ++i)
                if ((subset & (1 << i)) != 0)
                    set |= classBit (classes[i]);

            const int own = terms (set);
            table[(size_t) (subset * columns)] = own;

            for (int more = 1; more < columns; ++more)
            {
                int lowest = own;

                for (int i = 0; i < classCount; ++i)
                    if ((subset & (1 << i)) == 0)
                    {
                        const int reached = table[(size_t) ((subset | (1 << i)) * columns + more - 1)];
                        lowest = reached < lowest ? reached : lowest;
                    }

                table[(size_t) (subset * columns + more)] = lowest;
            }
        }
    }

    /** The compressed form of a set of relative classes (classes outside the chord dropped). */
    unsigned subsetOf (ClassMask relativeClasses) const
    {
        unsigned subset = 0;
        for (ClassMask m = relativeClasses & 0xfffu; m != 0; m &= m - 1)
            subset |= compressedBit[lowestClass (m)];
        return subset;
    }

    int lowest (unsigned subset, int more) const
    {
        more = more < 0 ? 0 : (more >= columns ? columns - 1 : more);
        return table[(size_t) subset * (size_t) columns + (size_t) more];
    }
};

/** Whether one set comes before another in the depth-first order of the searches: notes
    compared in turn, a set before its extensions. Among sets of equal cost the searches take
    the one that comes first. */
inline bool comesFirst (const int* a, int aCount, const int* b, int bCount)
{
    for (int i = 0; i < aCount && i < bCount; ++i)
        if (a[i] != b[i])
            return a[i] < b[i];

    return aCount < bCount;
}

/** Returns the first (in ascending depth-first order, each set before its extensions) of the
    cheapest admissible subsets, ascending, or an empty list. The cost is called as
    cost (notes, count) with the notes ascending; bound (notes, count) must never exceed the
    cost of any extension of the set (every extension adds higher notes).

    The sets are not visited in that order, though: the branches of each set are visited in the
    order of their bounds, so that cheap sets are found early and the bounds then cut most of
    the others. A branch is left when its bound shows that no extension can be cheaper than the
    best set so far, or as cheap and coming before it; that is exactly the result of the plain
    depth-first visit. */
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

        void consider()
        {
            const int score = cost (static_cast<const int*> (current), count);

            if (score < bestCost || (score == bestCost && comesFirst (current, count, best, bestCount)))
            {
                bestCost = score;
                bestCount = count;
                for (int i = 0; i < count; ++i)
                    best[i] = current[i];
            }
        }

        // Whether an extension of the current set (bounded below by b) could still be taken:
        // every extension comes after the current set, and before the best one only when the
        // current set comes first at a note where the two differ, or is a start of it.
        bool extensionsMayWin (int b) const
        {
            if (b != bestCost)
                return b < bestCost;

            for (int i = 0; i < count && i < bestCount; ++i)
                if (current[i] != best[i])
                    return current[i] < best[i];

            return count < bestCount;
        }

        void step (int startIndex)
        {
            struct Branch
            {
                int index;
                int bound;
            };

            Branch branches[maxWindowCandidates];
            int branchCount = 0;
            const bool extensible = count + 1 < maxCount;

            for (int i = startIndex; i < search.candidateCount; ++i)
            {
                const int note = search.candidates[i];

                if (count > 0 && note - current[0] > search.maxSpan)
                    break;

                const int pitchClass = pitchClassOf (note);

                if (perClass[pitchClass] >= search.allowance[pitchClass])
                    continue;

                current[count] = note;
                const int b = extensible ? bound (static_cast<const int*> (current), count + 1) : noSetCost;

                // Insertion by bound; equal bounds keep the ascending order.
                int at = branchCount++;
                while (at > 0 && branches[at - 1].bound > b)
                {
                    branches[at] = branches[at - 1];
                    --at;
                }
                branches[at] = { i, b };
            }

            for (int j = 0; j < branchCount; ++j)
            {
                const int note = search.candidates[branches[j].index];
                const int pitchClass = pitchClassOf (note);

                current[count++] = note;
                ++perClass[pitchClass];

                if (count >= search.minCount)
                    consider();

                if (extensible && extensionsMayWin (branches[j].bound))
                    step (branches[j].index + 1);

                --perClass[pitchClass];
                --count;
            }
        }
    };

    Walker walker { search, cost, bound, search.maxCount < maxSetNotes ? search.maxCount : maxSetNotes };

    if (walker.maxCount > 0)
        walker.step (0);

    if (walker.bestCost == noSetCost)
        return {};

    // Every set is ascending with every note once: candidates are distinct and taken upward.
    return std::vector<int> (walker.best, walker.best + walker.bestCount);
}

/** Without a bound every admissible subset is scored, in ascending depth-first order. */
template <typename Cost>
std::vector<int> runWindowSearch (const WindowSearch& search, Cost&& cost)
{
    struct Walker
    {
        const WindowSearch& search;
        Cost& cost;
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

    Walker walker { search, cost, search.maxCount < maxSetNotes ? search.maxCount : maxSetNotes };
    walker.step (0);

    if (walker.bestCost == noSetCost)
        return {};

    return std::vector<int> (walker.best, walker.best + walker.bestCount);
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

    ReachableClassTerms classTerms; // of pianistClassTerms
};

/** False when the chord is empty or the window holds no chord note. */
bool makePianistSetup (const std::vector<int>& chordTones, int rootPitchClass,
                       const std::optional<std::vector<int>>& previousVoicing, PianistSetup& setup);

int pianistCost (const PianistSetup& setup, const int* notes, int count);

/** The part of the Pianist cost that depends only on the relative classes a set holds. */
int pianistClassTerms (const PianistSetup& setup, ClassMask set);

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
    std::uint8_t pitchClassCounts[12] {}; // sounding notes per (absolute) pitch class
    ClassMask pitchClasses = 0;    // absolute
    ClassMask doubledPitchClasses = 0; // absolute pitch classes sounding on more than one string
    int minFret = 0;               // lowest fret above 0, or 0 when nothing is fretted
    int span = 0;                  // highest minus lowest fret above 0
    int lowestString = -1;         // index of the lowest sounding string, -1 when all are muted
    int highestString = -1;
    int lowestStringNote = 0;
    bool anyOpen = false;
    int stringsDecided = 0;        // strings added so far, muted ones included

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
    ReachableClassTerms classTerms; // of guitaristClassTerms or bassistClassTerms, once filled
};

FretboardSetup makeFretboardSetup (const std::vector<int>& chordTones, int rootPitchClass,
                                   const std::optional<std::vector<int>>& previousVoicing);

int guitaristCost (const FretboardSetup& setup, const FingeringShape& shape);
int bassistCost (const FretboardSetup& setup, const FingeringShape& shape);

/** The part of the Guitarist cost that depends only on the relative classes sounding. */
int guitaristClassTerms (const FretboardSetup& setup, ClassMask set);

/** The lowest the terms of the Bassist cost that depend on the relative classes sounding (and
    on the lowest note only through whether it is the root) can be for these classes. */
int bassistClassTerms (const FretboardSetup& setup, ClassMask set);

/** A cost that no fingering completing these lower strings can go below, for the bass (the
    walker has already left out fingerings the bass cost rejects). */
int bassistLowerBound (const FretboardSetup& setup, const FingeringShape& partial);

/** A cost that no fingering completing these lower strings can go below: the terms that only
    grow as strings are added (fret position and span, inner muted strings, doubled pitch
    classes, distance to the previous voicing), plus the largest bonus each other term can
    still give. A branch whose bound is not below the best cost found cannot win. */
int guitaristLowerBound (const FretboardSetup& setup, const FingeringShape& partial);

/** Guitar enumeration: string by string from the lowest, a note already sounding is skipped,
    and a branch goes on only while enough strings remain for minCount notes and the fretted
    span stays within 5. cost (shape) scores each complete fingering, and the first of the
    cheapest in depth-first order (each string's options in turn: muted, then frets upward) is
    the result. */
template <typename Cost>
std::vector<int> runGuitarSearch (const FretboardSetup& setup, int minCount, Cost&& cost);

/** The same result, with bound (partial shape) never above the cost of a completion: the
    options of each string are visited in the order of their bounds, and a branch is left when
    no completion can be cheaper than the best so far, or as cheap and come before it. */
template <typename Cost, typename Bound>
std::vector<int> runGuitarSearch (const FretboardSetup& setup, int minCount, Cost&& cost, Bound&& bound);

/** Bass enumeration: every combination of options over the four strings; combinations the
    bass cost always rejects (a repeated note, more than three notes, a fretted span above 5)
    are cut as early as they show, which leaves the visiting order of the others unchanged. */
template <typename Cost>
std::vector<int> runBassSearch (const FretboardSetup& setup, Cost&& cost);

/** The same result, visited in the order of a bound as runGuitarSearch does. */
template <typename Cost, typename Bound>
std::vector<int> runBassSearch (const FretboardSetup& setup, Cost&& cost, Bound&& bound);

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

namespace detail
{
    // The options of each string visited in the order of their bounds; among fingerings of
    // equal cost the first in depth-first order (option by option, lowest string first) wins,
    // as in the plain walk. admit (decided, string, fret, note, next) says whether a branch
    // may be taken at all.
    template <typename Admit, typename Cost, typename Bound>
    struct OrderedFretboardWalker : FretboardWalker
    {
        OrderedFretboardWalker (const Fretboard& b, ClassMask chordPitchClasses, Admit& a, Cost& c, Bound& bo)
            : FretboardWalker (b, chordPitchClasses), admit (a), cost (c), bound (bo) {}

        Admit& admit;
        Cost& cost;
        Bound& bound;
        int path[maxStrings] {};     // the option taken on each decided string
        int bestPath[maxStrings] {};

        bool pathComesFirst (int decided) const
        {
            for (int s = 0; s < decided; ++s)
                if (path[s] != bestPath[s])
                    return path[s] < bestPath[s];

            return false;
        }

        bool completionsMayWin (int b, int decided) const
        {
            if (b != bestCost)
                return b < bestCost;

            for (int s = 0; s < decided; ++s)
                if (path[s] != bestPath[s])
                    return path[s] < bestPath[s];

            return true;
        }

        void scoreComplete (const FingeringShape& shape, int strings)
        {
            const int c = cost (shape);

            if (c == noSetCost)
                return;

            if (c < bestCost || (c == bestCost && pathComesFirst (strings)))
            {
                bestCost = c;
                bestCount = shape.noteCount;
                for (int i = 0; i < shape.noteCount; ++i)
                    best[i] = shape.notes[i];
                for (int s = 0; s < strings; ++s)
                    bestPath[s] = path[s];
            }
        }

        void visit (int string)
        {
            const int strings = board.stringCount < maxStrings ? board.stringCount : maxStrings;
            const FingeringShape& decided = shapes[string];
            const bool last = string + 1 >= strings;

            struct Branch
            {
                int option;
                int bound;
            };

            Branch branches[maxStringOptions];
            int branchCount = 0;
            FingeringShape next;

            for (int o = 0; o < optionCount[string]; ++o)
            {
                const int fret = options[string][o];
                const int note = board.openNotes[string] + (fret == mutedString ? 0 : fret);

                next = decided;
                next.addString (string, fret, note);

                if (! admit (decided, string, fret, note, next))
                    continue;

                path[string] = o;

                if (last)
                {
                    scoreComplete (next, strings);
                    continue;
                }

                const int b = bound (next);

                int at = branchCount++;
                while (at > 0 && branches[at - 1].bound > b)
                {
                    branches[at] = branches[at - 1];
                    --at;
                }
                branches[at] = { o, b };
            }

            for (int j = 0; j < branchCount; ++j)
            {
                const int o = branches[j].option;
                path[string] = o;

                if (! completionsMayWin (branches[j].bound, string + 1))
                    continue;

                const int fret = options[string][o];
                shapes[string + 1] = decided;
                shapes[string + 1].addString (string, fret, board.openNotes[string] + (fret == mutedString ? 0 : fret));
                visit (string + 1);
            }
        }
    };

    template <typename Admit, typename Cost, typename Bound>
    std::vector<int> runOrderedFretboardSearch (const Fretboard& board, ClassMask chordPitchClasses,
                                                Admit& admit, Cost& cost, Bound& bound)
    {
        OrderedFretboardWalker<Admit, Cost, Bound> walker (board, chordPitchClasses, admit, cost, bound);

        if (board.stringCount > 0)
            walker.visit (0);

        return walker.result();
    }
}

template <typename Cost, typename Bound>
std::vector<int> runGuitarSearch (const FretboardSetup& setup, int minCount, Cost&& cost, Bound&& bound)
{
    const Fretboard& board = guitarFretboard();

    auto admit = [&board, minCount] (const FingeringShape& decided, int string, int fret, int note, const FingeringShape& next)
    {
        if (fret != mutedString && decided.sounds (note))
            return false;

        return next.noteCount + board.stringCount - string - 1 >= minCount && next.span <= 5;
    };

    return detail::runOrderedFretboardSearch (board, setup.chord.mask, admit, cost, bound);
}

template <typename Cost>
std::vector<int> runGuitarSearch (const FretboardSetup& setup, int minCount, Cost&& cost)
{
    struct Walker : detail::FretboardWalker
    {
        using FretboardWalker::FretboardWalker;
        int minCount = 0;

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

                if (next.noteCount + stringsLeft >= minCount && next.span <= 5)
                    visit (string + 1, c);
            }
        }
    };

    Walker walker (guitarFretboard(), setup.chord.mask);
    walker.minCount = minCount;
    walker.visit (0, cost);
    return walker.result();
}

template <typename Cost, typename Bound>
std::vector<int> runBassSearch (const FretboardSetup& setup, Cost&& cost, Bound&& bound)
{
    auto admit = [] (const FingeringShape& decided, int, int fret, int note, const FingeringShape& next)
    {
        if (fret != mutedString && (decided.sounds (note) || decided.noteCount == 3))
            return false;

        return next.span <= 5;
    };

    return detail::runOrderedFretboardSearch (bassFretboard(), setup.chord.mask, admit, cost, bound);
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
