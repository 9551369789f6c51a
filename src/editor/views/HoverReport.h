#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// The window's views leave the hovered index to their owner: when the owner listens, the view
// only reports the index and the owner stores it (in every view that shows the same chords);
// otherwise the view keeps it itself and repaints when it changed. Message thread only.
inline void reportHoveredIndex (const std::function<void (int)>& ownerCallback, int& hoveredIndex, int index,
                                juce::Component& view)
{
    if (ownerCallback)
    {
        ownerCallback (index);
        return;
    }

    if (hoveredIndex != index)
    {
        hoveredIndex = index;
        view.repaint();
    }
}
