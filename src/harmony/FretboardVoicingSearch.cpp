// The Guitarist and Bassist voicings: every way of fingering the chord on a guitar or a bass
// in standard tuning, scored by a cost that prefers close frets and the root low.

#include "harmony/VoicingSearchFrame.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace VoicingSearchFrame
{
const Fretboard& guitarFretboard()
{
    static const Fretboard board { 6, { 40, 45, 50, 55, 59, 64 }, 12 }; // E A D G B E
    return board;
}

const Fretboard& bassFretboard()
{
    static const Fretboard board { 4, { 28, 33, 38, 43, 0, 0 }, 17 }; // E A D G
    return board;
}

int stringOptions (const Fretboard& board, int string, ClassMask chordPitchClasses,
                   int (&frets)[maxStringOptions])
{
    int count = 0;
    frets[count++] = mutedString;

    for (int f = 0; f <= board.highestFret && count < maxStringOptions; ++f)
        if ((chordPitchClasses & classBit (pitchClassOf (board.openNotes[string] + f))) != 0)
            frets[count++] = f;

    return count;
}

void FingeringShape::addString (int string, int fret, int note)
{
    ++stringsDecided;

    if (fret == mutedString)
        return;

    if (lowestString < 0)
    {
        lowestString = string;
        lowestStringNote = note;
    }
    highestString = string;

    // Insertion keeps the notes ascending; at most six of them.
    int i = noteCount++;
    while (i > 0 && notes[i - 1] > note)
    {
        notes[i] = notes[i - 1];
        --i;
    }
    notes[i] = note;
    noteSum += note;

    const int pc = pitchClassOf (note);
    if (++pitchClassCounts[pc] == 2)
        doubledPitchClasses |= classBit (pc);
    pitchClasses |= classBit (pc);

    if (fret == 0)
    {
        anyOpen = true;
    }
    else if (minFret == 0)
    {
        minFret = fret;
    }
    else
    {
        // span is kept as highest - lowest, so the highest fret is minFret + span.
        const int highFret = std::max (minFret + span, fret);
        minFret = std::min (minFret, fret);
        span = highFret - minFret;
    }
}

FingeringShape measureFingering (const Fretboard& board, const int* frets)
{
    FingeringShape shape;
    for (int s = 0; s < board.stringCount && s < maxStrings; ++s)
        shape.addString (s, frets[s], board.openNotes[s] + (frets[s] == mutedString ? 0 : frets[s]));
    return shape;
}

FretboardSetup makeFretboardSetup (const std::vector<int>& chordTones, int rootPitchClass,
                                   const std::optional<std::vector<int>>& previousVoicing)
{
    rootPitchClass = pitchClassOf (rootPitchClass); // folds a careless caller's value onto 0..11

    FretboardSetup setup;
    setup.rootPitchClass = rootPitchClass;
    setup.chord = ChordPitchClasses::of (chordTones);
    setup.chordClasses = relativeClassesOf (chordTones.data(), static_cast<int> (chordTones.size()), rootPitchClass);
    setup.features = Features::of (setup.chordClasses);
    setup.addedToneClasses = setup.chordClasses & (classBit (1) | classBit (2) | classBit (5) | classBit (9));
    setup.previous = PreviousVoicing::from (previousVoicing);
    return setup;
}

int guitaristCost (const FretboardSetup& setup, const FingeringShape& shape)
{
    if (shape.noteCount == 0)
        return noSetCost;

    const int root = setup.rootPitchClass;
    const int n = shape.noteCount;
    const int lowest = shape.notes[0];
    const ClassMask set = relativeMask (shape.pitchClasses, root);
    const bool rootSounds = (set & classBit (0)) != 0;

    int cost = 2 * shape.minFret + 12 * shape.span + 14 * shape.mutedInside()
             + 24 * std::max (shape.span - 4, 0) + guitaristClassTerms (setup, set);

    if (n == 6)
        cost += 22;
    if (n < 3 && setup.chord.count >= 3)
        cost += 30;

    for (ClassMask doubled = shape.doubledPitchClasses; doubled != 0; doubled &= doubled - 1)
    {
        const int pc = lowestClass (doubled);
        const int extra = shape.pitchClassCounts[pc] - 1;
        const int r = relativeClass (pc, root);
        if (r == 0)
            cost += extra * 2;
        else if (r == 6 || r == 7 || r == 8)
            cost += extra * 5;
        else
            cost += extra * 14;
    }

    if (pitchClassOf (lowest) == root)
        cost -= 14;
    else if (rootSounds)
        cost += 8;

    if (shape.lowestString <= 2 && pitchClassOf (shape.lowestStringNote) == root)
        cost -= 8;

    if (shape.anyOpen && shape.minFret <= 3)
        cost -= 4;

    if (shape.minFret >= 8)
        cost += 6 * shape.minFret - 42;

    const PreviousVoicing& prev = setup.previous;
    if (prev.present())
    {
        for (int i = 0; i < n; ++i)
            cost += 2 * prev.nearestDistance (shape.notes[i]);
        cost += std::abs (lowest - prev.lowest);
    }
    else
    {
        cost += static_cast<int> (std::fabs (static_cast<double> (shape.noteSum) / n - 55.0));
    }

    return cost;
}

int guitaristClassTerms (const FretboardSetup& setup, ClassMask set)
{
    const Features& chord = setup.features;
    const Features has = Features::of (set);
    int cost = 0;

    if ((set & classBit (0)) == 0)
        cost += 45;

    if (chord.third && ! has.third)
        cost += 55;
    if (chord.seventh && ! has.seventh)
        cost += 28;
    if (chord.anyFifth && ! has.anyFifth)
        cost += chord.third ? 8 : 18;

    return cost + 10 * countBits (setup.addedToneClasses & ~set);
}

int guitaristLowerBound (const FretboardSetup& setup, const FingeringShape& partial)
{
    // Fret position and span: a lower fret added later lowers minFret by d but widens the
    // span by d, so 2 x minFret + 12 x span never falls.
    int bound = 2 * partial.minFret + 12 * partial.span + 14 * partial.mutedInside()
              + 24 * std::max (partial.span - 4, 0);

    const int root = setup.rootPitchClass;
    for (ClassMask doubled = partial.doubledPitchClasses; doubled != 0; doubled &= doubled - 1)
    {
        const int pc = lowestClass (doubled);
        const int extra = partial.pitchClassCounts[pc] - 1;
        const int r = relativeClass (pc, root);
        bound += extra * (r == 0 ? 2 : (r == 6 || r == 7 || r == 8) ? 5 : 14);
    }

    if (setup.previous.present())
    {
        for (int i = 0; i < partial.noteCount; ++i)
            bound += 2 * setup.previous.nearestDistance (partial.notes[i]);

        // The lowest note only falls as strings are added: once below the previous voicing's
        // lowest, its distance from it only grows.
        if (partial.noteCount > 0 && partial.notes[0] < setup.previous.lowest)
            bound += setup.previous.lowest - partial.notes[0];
    }

    // High on the neck: the lowest fret can still fall, but not below the highest fret less
    // the widest span.
    const int lowestFretReachable = partial.minFret + partial.span - 5;
    if (partial.minFret > 0 && lowestFretReachable >= 8)
        bound += 6 * lowestFretReachable - 42;

    bound -= 14; // root lowest
    bound -= 4;  // open strings low on the neck

    // The classes sounding: each string still to come adds one note at most.
    const int stringsLeft = guitarFretboard().stringCount - partial.stringsDecided;
    bound += setup.classTerms.lowest (setup.classTerms.subsetOf (relativeMask (partial.pitchClasses, root)), stringsLeft);

    // The lowest sounding string is settled once any string sounds.
    if (partial.lowestString < 0)
        bound -= 8;
    else if (partial.lowestString <= 2 && pitchClassOf (partial.lowestStringNote) == root)
        bound -= 8;

    return bound;
}

int bassistClassTerms (const FretboardSetup& setup, ClassMask set)
{
    // The root: at the bottom at best when it sounds.
    const Features& chord = setup.features;
    const Features has = Features::of (set);
    int terms = (set & classBit (0)) != 0 ? -46 : 115;

    if (has.perfectFifth)
        terms -= 12;

    // A third sounding is charged more when it sits close above the bottom; here at its least.
    if (chord.third)
        terms += has.third ? -12 : ((chord.seventh || ! has.perfectFifth) ? 20 : 0);

    if (chord.seventh)
        terms += has.seventh ? -10 : 18;

    if (chord.alteredFifth)
        terms += has.alteredFifth ? -18 : 24;
    else if (has.alteredFifth)
        terms += 16;

    return terms;
}

int bassistLowerBound (const FretboardSetup& setup, const FingeringShape& partial)
{
    // What only grows as strings are added: span, inner muted strings, doubled pitch classes,
    // the charge for added tones, the distance of each note to the previous voicing. The
    // fret-position, bottom-interval and count terms are never below 0.
    const int root = setup.rootPitchClass;
    int bound = 24 * std::max (partial.span - 4, 0) + 10 * (partial.span + partial.mutedInside());

    for (ClassMask doubled = partial.doubledPitchClasses; doubled != 0; doubled &= doubled - 1)
    {
        const int pc = lowestClass (doubled);
        const int r = relativeClass (pc, root);
        bound += (partial.pitchClassCounts[pc] - 1) * (r == 0 ? 2 : r == 7 ? 8 : 18);
    }

    for (int i = 0; i < partial.noteCount; ++i)
    {
        const int r = relativeClass (pitchClassOf (partial.notes[i]), root);
        if (r == 1 || r == 2 || r == 5 || r == 9)
            bound += 18;
    }

    if (setup.previous.present())
        for (int i = 0; i < partial.noteCount; ++i)
            bound += 2 * setup.previous.nearestDistance (partial.notes[i]);

    // The lowest sounding string is settled once any string sounds.
    if (partial.lowestString < 0)
        bound -= 18;
    else if (partial.lowestString <= 1 && pitchClassOf (partial.lowestStringNote) == root)
        bound -= 18;

    // The classes sounding: at most three notes in all, one per string still to come.
    const int more = std::min (bassFretboard().stringCount - partial.stringsDecided, 3 - partial.noteCount);
    return bound + setup.classTerms.lowest (setup.classTerms.subsetOf (relativeMask (partial.pitchClasses, root)), more);
}

int bassistCost (const FretboardSetup& setup, const FingeringShape& shape)
{
    const int n = shape.noteCount;

    if (n == 0 || n > 3 || shape.span > 5)
        return noSetCost;
    for (int i = 0; i + 1 < n; ++i)
        if (shape.notes[i] == shape.notes[i + 1])
            return noSetCost;

    const int root = setup.rootPitchClass;
    const Features& chord = setup.features;
    const int lowest = shape.notes[0];
    const ClassMask set = relativeMask (shape.pitchClasses, root);
    const Features has = Features::of (set);
    const bool lowestIsRoot = pitchClassOf (lowest) == root;

    int cost = 24 * std::max (shape.span - 4, 0) + 10 * (shape.span + shape.mutedInside());

    if (n == 1)
        cost += shape.minFret <= 12 ? 10 : 5 * shape.minFret - 50;
    else
        cost += shape.minFret <= 12 ? 0 : 5 * shape.minFret - 60;

    if (n == 3)
        cost += lowest < 48 ? 55 : 14;

    // Close intervals over a low bass note are mud.
    if (n >= 2 && lowest < 43)
    {
        const int g = shape.notes[1] - lowest;
        if (g < 7)
            cost += 45;
        else if (g < 12 && ! lowestIsRoot)
            cost += 24;
    }

    if (lowestIsRoot)
        cost -= 46;
    else if ((set & classBit (0)) != 0)
        cost += 8;
    else
        cost += 115;

    if (shape.lowestString <= 1 && pitchClassOf (shape.lowestStringNote) == root)
        cost -= 18;

    if (has.perfectFifth)
        cost -= 12;
    else if (chord.perfectFifth && (n < 2 || (! has.third && ! has.seventh)))
        cost += 10;

    if (chord.third)
    {
        if (has.third)
        {
            cost -= 12;
            for (int i = 0; i < n; ++i)
            {
                const int r = relativeClass (pitchClassOf (shape.notes[i]), root);
                if ((r == 3 || r == 4) && shape.notes[i] - lowest < 12)
                    cost += 18;
            }
        }
        else if (chord.seventh || ! has.perfectFifth)
        {
            cost += 20;
        }
    }

    if (chord.seventh)
        cost += has.seventh ? -10 : 18;

    if (chord.alteredFifth)
        cost += has.alteredFifth ? -18 : 24;
    else if (has.alteredFifth)
        cost += 16;

    for (ClassMask doubled = shape.doubledPitchClasses; doubled != 0; doubled &= doubled - 1)
    {
        const int pc = lowestClass (doubled);
        const int extra = shape.pitchClassCounts[pc] - 1;
        const int r = relativeClass (pc, root);
        cost += extra * (r == 0 ? 2 : r == 7 ? 8 : 18);
    }

    for (int i = 0; i < n; ++i)
    {
        const int r = relativeClass (pitchClassOf (shape.notes[i]), root);
        if (r == 1 || r == 2 || r == 5 || r == 9)
            cost += 18;
    }

    const PreviousVoicing& prev = setup.previous;
    if (prev.present())
    {
        for (int i = 0; i < n; ++i)
            cost += 2 * prev.nearestDistance (shape.notes[i]);
        const int d = std::abs (lowest - prev.lowest);
        cost += 2 * d;
        if (d > 12)
            cost += 4 * d - 48;
    }
    else
    {
        cost += static_cast<int> (std::fabs (static_cast<double> (shape.noteSum) / n - 43.0));
    }

    return cost;
}
} // namespace VoicingSearchFrame

//==============================================================================
std::vector<int> voiceGuitarist (const std::vector<int>& chordTones, int rootPitchClass,
                                 const std::optional<std::vector<int>>& previousVoicing)
{
    using namespace VoicingSearchFrame;

    if (chordTones.empty())
        return {};

    FretboardSetup setup = makeFretboardSetup (chordTones, rootPitchClass, previousVoicing);
    setup.classTerms.fill (setup.chordClasses, maxStrings, [&setup] (ClassMask set) { return guitaristClassTerms (setup, set); });
    const int minCount = std::min (setup.chord.count, 3);

    return runGuitarSearch (setup, minCount,
                            [&setup] (const FingeringShape& shape) { return guitaristCost (setup, shape); },
                            [&setup] (const FingeringShape& partial) { return guitaristLowerBound (setup, partial); });
}

std::vector<int> voiceBassist (const std::vector<int>& chordTones, int rootPitchClass,
                               const std::optional<std::vector<int>>& previousVoicing)
{
    using namespace VoicingSearchFrame;

    if (chordTones.empty())
        return {};

    FretboardSetup setup = makeFretboardSetup (chordTones, rootPitchClass, previousVoicing);
    setup.classTerms.fill (setup.chordClasses, 3, [&setup] (ClassMask set) { return bassistClassTerms (setup, set); });

    return runBassSearch (setup,
                          [&setup] (const FingeringShape& shape) { return bassistCost (setup, shape); },
                          [&setup] (const FingeringShape& partial) { return bassistLowerBound (setup, partial); });
}
