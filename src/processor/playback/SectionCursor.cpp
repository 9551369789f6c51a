#include "processor/playback/SectionCursor.h"

#include <algorithm>

void SectionCursor::reset (int newIndex, int sectionCount, bool shouldAdvance) noexcept
{
    queuedIndex = -1;
    index = sectionCount <= 0 ? -1 : std::clamp (newIndex, 0, sectionCount - 1);
    advance = shouldAdvance;
}

void SectionCursor::moveToNextSection (int sectionCount) noexcept
{
    if (sectionCount <= 0)
        return;

    if (queuedIndex >= 0)
    {
        index = std::min (queuedIndex, sectionCount - 1);
        queuedIndex = -1;
    }
    else if (advance)
    {
        index = (std::clamp (index, 0, sectionCount - 1) + 1) % sectionCount;
    }
    // Otherwise the section repeats.
}
