#pragma once

#include "editor/views/PianoRollComponent.h"
#include "editor/views/ProgressionStripComponent.h"

// The selected chord of the strip and of the piano roll, as the chord draft and the chord
// presses set it: each view repaints only when its selection changed. Message thread only.
inline void selectStripChord (ProgressionStripComponent& strip, int index)
{
    if (strip.selectedIndex != index)
    {
        strip.selectedIndex = index;
        strip.repaint();
    }
}

inline void selectRollChord (PianoRollComponent& roll, int index)
{
    if (roll.selectedChord != index)
    {
        roll.selectedChord = index;
        roll.repaint();
    }
}
