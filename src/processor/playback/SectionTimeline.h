#pragma once

#include "processor/playback/SectionCursor.h"

#include <algorithm>
#include <cmath>

// Section placement along the host timeline, in quarter notes. The section lengths come from a
// callable lengthOf (index) so that the audio thread reads them straight from the compiled bank.
namespace SectionTimeline
{
// Shortest section length: a section of no length still takes a little time, so every walk
// over section ends moves forward. A length that is not a number counts as this too.
constexpr double minimumSectionLength = 0.0001;

inline double playedLength (double totalBeats) noexcept
{
    return totalBeats >= minimumSectionLength ? totalBeats : minimumSectionLength;
}

struct Place
{
    int section = -1;
    double passStart = 0.0; // host position at which this pass of the section started
};

// Auto-Advance: the song repeats along the timeline; finds the section that contains ppq
// (taken modulo the song's length). False when there is no such position: a position or a
// length that is not finite, or no sections.
template <typename LengthFn>
bool placeOnTimeline (int sectionCount, double ppq, LengthFn&& lengthOf, Place& place) noexcept
{
    if (sectionCount <= 0 || ! std::isfinite (ppq))
        return false;

    double sum = 0.0;
    for (int i = 0; i < sectionCount; ++i)
    {
        const double length = playedLength (lengthOf (i));
        if (! std::isfinite (length))
            return false;
        sum += length;
    }
    if (! std::isfinite (sum) || ! (sum > 0.0))
        return false;

    double pos = std::fmod (ppq, sum);
    if (pos < 0.0)
        pos += sum;

    double before = 0.0;
    int section = 0;
    for (; section < sectionCount - 1; ++section)
    {
        const double end = before + playedLength (lengthOf (section));
        if (end > pos)
            break;
        before = end;
    }

    place.section = section;
    place.passStart = ppq - pos + before;
    return true;
}

// Moves the cursor over every section end that lies at or before ppq: each pass starts where
// the previous one ended, and the next section is the queued one, the following one (when
// advancing) or the same one again. Positions that are not finite are not walked. Runs of
// whole passes are skipped arithmetically, so a far jump costs no more than a near one.
template <typename LengthFn>
void walkSectionEnds (SectionCursor& cursor, double& passStart, double ppq, int sectionCount,
                      LengthFn&& lengthOf) noexcept
{
    if (sectionCount <= 0 || ! std::isfinite (ppq) || ! std::isfinite (passStart))
        return;

    // After the skips below a walk needs at most about two rounds of the song; more than that
    // means the position is so large that adding a length no longer changes it.
    const int maxSteps = 4 * sectionCount + 16;

    bool roundsSkipped = false;
    for (int step = 0; cursor.index >= 0; ++step)
    {
        const int b = std::min (cursor.index, sectionCount - 1);
        const double length = playedLength (lengthOf (b));
        if (! std::isfinite (length))
            return;
        if (passStart + length > ppq)
            return;

        if (step >= maxSteps)
        {
            // Lost to rounding: start the current section here rather than walking on.
            passStart = ppq;
            return;
        }

        if (cursor.queuedIndex < 0 && ! cursor.advance)
        {
            // The section repeats: skip every whole pass at once.
            const double passes = std::floor ((ppq - passStart) / length);
            if (passes >= 2.0)
            {
                passStart += (passes - 1.0) * length;
                continue;
            }
        }
        else if (cursor.queuedIndex < 0 && cursor.advance && ! roundsSkipped)
        {
            roundsSkipped = true;
            // Advancing: a whole round of the song comes back to the same section.
            double round = 0.0;
            for (int i = 0; i < sectionCount; ++i)
                round += playedLength (lengthOf (i));
            if (std::isfinite (round) && round > 0.0)
            {
                const double rounds = std::floor ((ppq - passStart) / round);
                if (rounds >= 2.0)
                {
                    cursor.index = b;
                    passStart += (rounds - 1.0) * round;
                    continue;
                }
            }
        }

        passStart += length;
        cursor.index = b;
        cursor.moveToNextSection (sectionCount);
    }
}
} // namespace SectionTimeline
