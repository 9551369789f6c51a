#pragma once

// Driving a view without a window: synthetic mouse events and pixel reads of a rendered view.
#include "editor/PixelTestSupport.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace viewtest
{
inline const juce::ModifierKeys leftButton { juce::ModifierKeys::leftButtonModifier };
inline const juce::ModifierKeys rightButton { juce::ModifierKeys::rightButtonModifier };

// A mouse event at `position` in the component's own coordinates, as the framework would
// deliver it to that component.
inline juce::MouseEvent mouseAt (juce::Component& component, juce::Point<float> position,
                                 juce::ModifierKeys mods = {}, bool dragged = false)
{
    const auto now = juce::Time::getCurrentTime();
    return { juce::Desktop::getInstance().getMainMouseSource(), position, mods,
             juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
             juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
             juce::MouseInputSource::defaultTiltY, &component, &component, now, position, now, 1, dragged };
}

inline void press (juce::Component& c, juce::Point<float> p, juce::ModifierKeys mods = leftButton) { c.mouseDown (mouseAt (c, p, mods)); }
inline void drag (juce::Component& c, juce::Point<float> p, juce::ModifierKeys mods = leftButton) { c.mouseDrag (mouseAt (c, p, mods, true)); }
inline void release (juce::Component& c, juce::Point<float> p) { c.mouseUp (mouseAt (c, p)); }
inline void move (juce::Component& c, juce::Point<float> p) { c.mouseMove (mouseAt (c, p)); }
inline void leave (juce::Component& c) { c.mouseExit (mouseAt (c, { -5.0f, -5.0f })); }

using PixelTest::near;

// What `top` at `alpha` looks like over an opaque `below`.
inline juce::Colour over (juce::Colour below, juce::Colour top, float alpha)
{
    return PixelTest::over (below, top.withAlpha (alpha));
}
} // namespace viewtest
