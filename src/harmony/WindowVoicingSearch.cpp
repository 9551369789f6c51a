// The Pianist and Jazz voicings: exhaustive searches over the chord's notes in a register
// window around the root, each set scored by a hand-tuned cost.

#include "harmony/VoicingSearchFrame.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace VoicingSearchFrame
{
namespace
{
    int clampNote (int note) { return std::clamp (note, 0, 127); }

    // The C at or below a note (integer division, as the windows are defined).
    int cBelow (int note) { return note / 12 * 12; }

    void fillCandidates (WindowSearch& search, int low, int high, ClassMask pitchClasses)
    {
        search.candidateCount = 0;
        for (int n = low; n <= high; ++n)
            if ((pitchClasses & classBit (pitchClassOf (n))) != 0)
                search.candidates[search.candidateCount++] = n;
    }

    double meanOf (const int* notes, int count)
    {
        double sum = 0.0;
        for (int i = 0; i < count; ++i)
            sum += notes[i];
        return sum / count;
    }

    bool has (ClassMask m, int relative) { return (m & classBit (relative)) != 0; }

    // The Pianist terms that adding notes above the highest one leaves settled, so the cost
    // and its lower bound charge them alike: a doubled root, close or wide neighbour gaps,
    // and colour notes sitting low in the window.
    int pianistSettledTerms (const PianistSetup& setup, const int* notes, int n)
    {
        const int lo = setup.low;
        const RelativeClassTable& relative = setup.relative;
        int cost = 0;

        int rootCount = 0;
        for (int i = 0; i < n; ++i)
            if (relative (notes[i]) == 0)
                ++rootCount;
        if (rootCount == 2)
            cost += 8;

        for (int i = 0; i + 1 < n; ++i)
        {
            const int l = notes[i];
            const int g = notes[i + 1] - l;
            if (g == 1)
                cost += l < lo + 17 ? 48 : 22;
            else if (g == 2)
                cost += l < lo + 12 ? 24 : 0;
            else if (g > 16)
                cost += 5 * g - 80;
        }

        for (int i = 0; i < n; ++i)
        {
            const int note = notes[i];
            const int r = relative (note);
            if ((r == 1 || r == 2 || r == 5 || r == 6 || r == 8 || r == 9) && note < lo + 5)
                cost += 42;
            if (note < lo + 4 && r != 0 && r != 7)
                cost += 24;
        }

        return cost;
    }

    // A muddy close interval at the bottom, charged more the lower it sits.
    int pianistLowGapCharge (const PianistSetup& setup, int lowest, int gap)
    {
        if (gap >= 5)
            return 0;
        return lowest < setup.low + 12 ? 90 - 18 * gap : 8 * (5 - gap);
    }
}

//==============================================================================
int pianistClassTerms (const PianistSetup& setup, ClassMask set)
{
    const Features& chord = setup.features;
    const Features has = Features::of (set);
    int cost = 0;

    if (! VoicingSearchFrame::has (set, 0))
        cost += 34;

    if (chord.third)
        cost += has.third ? -22 : 70;

    if (chord.seventh)
        cost += has.seventh ? -18 : 56;

    if (chord.alteredFifth)
        cost += has.alteredFifth ? -14 : 42;
    else if (has.alteredFifth)
        cost += 18;

    if (chord.perfectFifth)
    {
        if (has.perfectFifth)
            cost -= 4;
        else
            cost += (chord.third && chord.seventh) ? 4 : 18;
    }

    // Missing chord tones are charged again by their role, on top of the feature terms above.
    for (ClassMask missing = setup.chordClasses & ~set; missing != 0; missing &= missing - 1)
    {
        switch (lowestClass (missing))
        {
            case 0:            cost += 34; break;
            case 3: case 4:    cost += 70; break;
            case 10: case 11:  cost += 56; break;
            case 6: case 8:    cost += chord.alteredFifth ? 42 : 12; break;
            case 7:            cost += (chord.third && chord.seventh) ? 4 : 16; break;
            default:           cost += 20; break;
        }
    }

    return cost;
}

//==============================================================================
bool makePianistSetup (const std::vector<int>& chordTones, int rootPitchClass,
                       const std::optional<std::vector<int>>& previousVoicing, PianistSetup& setup)
{
    rootPitchClass = pitchClassOf (rootPitchClass); // folds a careless caller's value onto 0..11

    if (chordTones.empty())
        return false;

    const int rootMidi = chordTones.front();
    const int base = cBelow (rootMidi);
    const int low = clampNote (base - 12);
    const int high = clampNote (base + 24);

    setup.rootPitchClass = rootPitchClass;
    setup.low = low;
    setup.relative.fill (rootPitchClass);
    setup.chord = ChordPitchClasses::of (chordTones);
    setup.chordClasses = relativeClassesOf (chordTones.data(), static_cast<int> (chordTones.size()), rootPitchClass);
    setup.features = Features::of (setup.chordClasses);
    setup.previous = PreviousVoicing::from (previousVoicing);
    setup.classTerms.fill (setup.chordClasses, maxSetNotes, [&setup] (ClassMask set) { return pianistClassTerms (setup, set); });

    WindowSearch& search = setup.search;
    fillCandidates (search, low, high, setup.chord.mask);

    if (search.candidateCount == 0)
        return false;

    search.minCount = std::min (setup.chord.count, 3);
    search.maxCount = 5;
    search.maxSpan = 32;
    setup.targetCount = std::min (5, setup.chord.count);

    for (int pc = 0; pc < 12; ++pc)
        search.allowance[pc] = pc == rootPitchClass ? 2 : 1;

    return true;
}

int pianistCost (const PianistSetup& setup, const int* notes, int n)
{
    const int lo = setup.low;
    const RelativeClassTable& relative = setup.relative;
    const ClassMask set = relative.maskOf (notes, n);
    const int lowest = notes[0];
    const int highest = notes[n - 1];
    const int s = highest - lowest;

    int cost = 24 * std::abs (n - setup.targetCount) + pianistClassTerms (setup, set);

    // The root, preferably at the bottom.
    if (VoicingSearchFrame::has (set, 0) && relative (lowest) == 0)
        cost -= 8;

    // Span.
    if (n <= 2)
    {
        cost += 2 * std::abs (s - 10);
    }
    else
    {
        cost += n == 3 ? 2 * std::abs (s - 16) : 2 * std::abs (s - 21);
        if (n >= 4 && s <= 12)
            cost += 130 - 10 * s;
    }
    if (s > 26)
        cost += 8 * s - 208;

    // Bottom interval: no muddy close intervals low down.
    if (n >= 2)
    {
        const int g = notes[1] - lowest;
        if (n >= 4 && g >= 7 && g <= 14)
            cost -= 12;
        cost += pianistLowGapCharge (setup, lowest, g);
    }

    cost += pianistSettledTerms (setup, notes, n);

    const PreviousVoicing& prev = setup.previous;
    const double mean = meanOf (notes, n);

    if (prev.present())
    {
        for (int i = 0; i < n; ++i)
            cost += 2 * prev.nearestDistance (notes[i]);
        cost += 2 * std::abs (lowest - prev.lowest);
        cost += 3 * std::abs (highest - prev.highest);
        cost += static_cast<int> (std::fabs (mean - prev.mean));
    }
    else
    {
        cost += static_cast<int> (2.0 * std::fabs (mean - (lo + 15)));
    }

    return cost;
}

int pianistLowerBound (const PianistSetup& setup, const int* notes, int n)
{
    // Extensions only add notes above the highest one, so the lowest note, the bottom
    // interval, the neighbour gaps and low-note charges of these notes, doubled roots, the
    // widest span and the distances to the previous voicing are settled or only grow. The
    // terms of the chord's classes are the lowest the notes still allowed can reach; every
    // other term is counted at its largest bonus.
    const int lo = setup.low;
    const RelativeClassTable& relative = setup.relative;
    const int lowest = notes[0];
    const int s = notes[n - 1] - lowest;

    int bound = n > setup.targetCount ? 24 * (n - setup.targetCount) : 0;

    if (relative (lowest) == 0)
        bound -= 8;

    // The class terms: the lowest that adding the notes still allowed can reach.
    unsigned subset = 0;
    for (int i = 0; i < n; ++i)
        subset |= setup.classTerms.compressedBit[relative (notes[i])];

    bound += setup.classTerms.lowest (subset, setup.search.maxCount - n);

    if (s > 26)
        bound += 8 * s - 208;

    if (n == 1)
    {
        bound -= 12;
    }
    else
    {
        const int g = notes[1] - lowest;
        if (g >= 7 && g <= 14)
            bound -= 12;
        bound += pianistLowGapCharge (setup, lowest, g);
    }

    bound += pianistSettledTerms (setup, notes, n);

    // A note added above the highest raises both the highest note and the mean, so a
    // distance that is already upward can only grow.
    const PreviousVoicing& prev = setup.previous;
    const double mean = meanOf (notes, n);

    if (prev.present())
    {
        for (int i = 0; i < n; ++i)
            bound += 2 * prev.nearestDistance (notes[i]);
        bound += 2 * std::abs (lowest - prev.lowest);
        if (notes[n - 1] > prev.highest)
            bound += 3 * (notes[n - 1] - prev.highest);
        if (mean > prev.mean)
            bound += static_cast<int> (mean - prev.mean);
    }
    else if (mean > lo + 15)
    {
        bound += static_cast<int> (2.0 * (mean - (lo + 15)));
    }

    return bound;
}

//==============================================================================
bool makeJazzSetup (const std::vector<int>& chordTones, int rootPitchClass,
                    const std::optional<std::vector<int>>& previousVoicing, JazzSetup& setup)
{
    rootPitchClass = pitchClassOf (rootPitchClass); // folds a careless caller's value onto 0..11

    if (chordTones.empty())
        return false;

    const int rootMidi = chordTones.front();
    const int centre = cBelow (rootMidi);
    const int low = clampNote (centre - 10);
    const int high = clampNote (centre + 9);

    setup.rootPitchClass = rootPitchClass;
    setup.low = low;
    setup.centre = centre;
    setup.relative.fill (rootPitchClass);
    setup.previous = PreviousVoicing::from (previousVoicing);

    const ChordPitchClasses chord = ChordPitchClasses::of (chordTones);
    const ClassMask chordClasses = relativeClassesOf (chordTones.data(), static_cast<int> (chordTones.size()), rootPitchClass);
    const Features f = Features::of (chordClasses);

    setup.features = f;
    setup.dominant = f.majorThird && f.minorSeventh;
    setup.full = f.third && (f.seventh || f.sixth);

    // The ninth always belongs to the palette; the thirteenth only on a dominant chord whose
    // fifth is not altered.
    ClassMask extended = chord.mask;
    extended |= classBit ((rootPitchClass + 14) % 12);
    if (setup.dominant && ! f.alteredFifth)
        extended |= classBit ((rootPitchClass + 21) % 12);

    setup.colourPitchClasses = 0;
    for (const int tone : chordTones)
    {
        const int t = tone - rootMidi;
        const int m = pitchClassOf (t);
        if (t > 11 || (setup.dominant && (m == 1 || m == 3 || m == 6 || m == 8)))
            setup.colourPitchClasses |= classBit ((rootPitchClass + m) % 12);
    }

    setup.colourClasses = relativeMask (setup.colourPitchClasses, rootPitchClass);
    setup.previousClasses = relativeMask (setup.previous.pitchClasses, rootPitchClass);

    WindowSearch& search = setup.search;
    fillCandidates (search, low, high, extended);

    if (search.candidateCount == 0)
        return false;

    search.minCount = setup.full ? 3 : std::min (chord.count, 3);
    search.maxCount = countBits (setup.colourPitchClasses) >= 2 ? 5 : 4;
    search.maxSpan = 30;
    setup.targetCount = search.maxCount;

    for (int pc = 0; pc < 12; ++pc)
        search.allowance[pc] = 1;

    return true;
}

int jazzCost (const JazzSetup& setup, const int* notes, int n)
{
    const int lo = setup.low;
    const Features& chord = setup.features;
    const RelativeClassTable& relative = setup.relative;
    const ClassMask set = relative.maskOf (notes, n);
    const Features has = Features::of (set);
    const int lowest = notes[0];
    const int highest = notes[n - 1];
    const int s = highest - lowest;
    const bool rootPresent = VoicingSearchFrame::has (set, 0);

    int cost = 18 * std::abs (n - setup.targetCount);

    // A full chord is better played without its root; a sparse one needs it.
    if (setup.full)
        cost += rootPresent ? 34 : -22;
    else
        cost += rootPresent ? -20 : 90;

    if (chord.third)
    {
        const int expected = chord.majorThird ? 4 : 3;
        cost += VoicingSearchFrame::has (set, expected) ? -34 : 90;
    }

    if (chord.seventh)
        cost += has.seventh ? -32 : 84;
    else if (chord.sixth)
        cost += VoicingSearchFrame::has (set, 9) ? -22 : 48;

    if (setup.dominant)
    {
        cost += has.ninthClass ? -18 : 26;
        if (VoicingSearchFrame::has (set, 9))
            cost -= 22;
        else if (! chord.alteredFifth)
            cost += 34;
    }
    else
    {
        if (has.ninthClass)
            cost -= 16;
        else
            cost += chord.ninthClass ? 22 : 8;
    }

    if (chord.alteredFifth)
        cost += has.alteredFifth ? -24 : 56;

    if (setup.full && chord.perfectFifth && VoicingSearchFrame::has (set, 7) && has.ninthClass)
        cost += 10;

    cost += -18 * countBits (setup.colourClasses & set) + 38 * countBits (setup.colourClasses & ~set);

    cost += n <= 3 ? 2 * std::abs (s - 14) : 2 * std::abs (s - 19);
    if (s <= 8 && n >= 4)
        cost += 90 - 10 * s;

    for (int i = 0; i + 1 < n; ++i)
    {
        const int l = notes[i];
        const int g = notes[i + 1] - l;
        if (g == 1)
            cost += l < lo + 8 ? 36 : 12;
        else if (g == 2)
            cost += l < lo + 6 ? 20 : 0;
        else if (g > 12)
            cost += 4 * g - 48;
    }

    for (int i = 0; i < n; ++i)
    {
        const int r = relative (notes[i]);
        if ((r == 1 || r == 2 || r == 5 || r == 6 || r == 8) && notes[i] < lo + 5)
            cost += 34;
    }

    if (! rootPresent)
    {
        const int r = relative (lowest);
        if (! (r == 3 || r == 4 || r == 9 || r == 10 || r == 11))
            cost += 8;
    }

    cost += static_cast<int> (2.0 * std::fabs (meanOf (notes, n) - setup.centre));

    const PreviousVoicing& prev = setup.previous;
    if (prev.present())
    {
        for (int i = 0; i < n; ++i)
            cost += 2 * prev.nearestDistance (notes[i]);
        cost += 2 * std::abs (lowest - prev.lowest);
        cost += 3 * std::abs (highest - prev.highest);

        // Common tones with the chord before (the set holds each pitch class once).
        cost -= 6 * countBits (set & setup.previousClasses);
    }

    return cost;
}
} // namespace VoicingSearchFrame

//==============================================================================
std::vector<int> voicePianist (const std::vector<int>& chordTones, int rootPitchClass,
                               const std::optional<std::vector<int>>& previousVoicing)
{
    using namespace VoicingSearchFrame;

    PianistSetup setup;
    if (! makePianistSetup (chordTones, rootPitchClass, previousVoicing, setup))
        return {};

    return runWindowSearch (setup.search,
                            [&setup] (const int* notes, int count) { return pianistCost (setup, notes, count); },
                            [&setup] (const int* notes, int count) { return pianistLowerBound (setup, notes, count); });
}

std::vector<int> voiceJazz (const std::vector<int>& chordTones, int rootPitchClass,
                            const std::optional<std::vector<int>>& previousVoicing)
{
    using namespace VoicingSearchFrame;

    JazzSetup setup;
    if (! makeJazzSetup (chordTones, rootPitchClass, previousVoicing, setup))
        return {};

    return runWindowSearch (setup.search, [&setup] (const int* notes, int count)
                            { return jazzCost (setup, notes, count); });
}
