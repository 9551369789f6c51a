#include "harmony/VoicingSearchFrame.h"

#include <cstdlib>

int positivePitchClass (int note)
{
    return VoicingSearchFrame::pitchClassOf (note);
}

namespace VoicingSearchFrame
{
ClassMask relativeClassesOf (const int* notes, int count, int rootPitchClass)
{
    ClassMask mask = 0;
    for (int i = 0; i < count; ++i)
        mask |= classBit (relativeClass (pitchClassOf (notes[i]), rootPitchClass));
    return mask;
}

PreviousVoicing PreviousVoicing::from (const std::optional<std::vector<int>>& voicing)
{
    PreviousVoicing p;

    if (! voicing.has_value() || voicing->empty())
        return p;

    p.notes = voicing->data();
    p.count = static_cast<int> (voicing->size());
    p.lowest = p.notes[0];
    p.highest = p.notes[0];
    double sum = 0.0;

    for (int i = 0; i < p.count; ++i)
    {
        const int n = p.notes[i];
        p.lowest = n < p.lowest ? n : p.lowest;
        p.highest = n > p.highest ? n : p.highest;
        sum += n;
        p.pitchClasses |= classBit (pitchClassOf (n));
    }

    p.mean = sum / p.count;

    for (int note = 0; note < 128; ++note)
        p.nearestTable[note] = p.computeNearestDistance (note);

    return p;
}

int PreviousVoicing::computeNearestDistance (int note) const
{
    int nearest = 128;
    for (int i = 0; i < count; ++i)
    {
        const int d = std::abs (note - notes[i]);
        nearest = d < nearest ? d : nearest;
    }
    return nearest;
}

ChordPitchClasses ChordPitchClasses::of (const std::vector<int>& chordTones)
{
    ChordPitchClasses c;
    for (const int tone : chordTones)
    {
        const int pc = pitchClassOf (tone);
        if ((c.mask & classBit (pc)) == 0)
        {
            c.mask |= classBit (pc);
            c.classes[c.count++] = pc;
        }
    }
    return c;
}
} // namespace VoicingSearchFrame
