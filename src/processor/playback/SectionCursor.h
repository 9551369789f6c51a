#pragma once

// Where the audio thread stands in the song: the section it plays, the section it goes to
// when that one ends, and whether it then moves on to the next section or repeats.
struct SectionCursor
{
    int index = -1;       // the section played, -1 none
    int queuedIndex = -1; // the section to play when the current one ends, -1 none
    bool advance = false; // true: go on to the next section (wrapping); false: repeat

    // Stands on the given section (clamped to the song; -1 with no sections), nothing queued.
    void reset (int newIndex, int sectionCount, bool shouldAdvance) noexcept;

    // The section that follows the current one when it ends; consumes a queued jump.
    void moveToNextSection (int sectionCount) noexcept;
};
