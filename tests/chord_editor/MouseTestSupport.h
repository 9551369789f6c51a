#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Mouse presses and releases delivered straight to a component's handlers, without a display:
// enough for the press, release and click logic of buttons and fields.
namespace MouseTest
{
inline juce::MouseEvent eventFor (juce::Component& component, juce::ModifierKeys mods)
{
    const auto centre = component.getLocalBounds().getCentre().toFloat();
    const auto now = juce::Time::getCurrentTime();
    return { juce::Desktop::getInstance().getMainMouseSource(), centre, mods,
             juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
             juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
             juce::MouseInputSource::defaultTiltY, &component, &component, now, centre, now, 1, false };
}

inline void press (juce::Component& component, bool rightButton = false)
{
    component.mouseDown (eventFor (component, juce::ModifierKeys (rightButton ? juce::ModifierKeys::rightButtonModifier
                                                                              : juce::ModifierKeys::leftButtonModifier)));
}

inline void release (juce::Component& component)
{
    component.mouseUp (eventFor (component, juce::ModifierKeys()));
}

// A left click as the framework delivers it: press, then release over the component.
inline void click (juce::Component& component)
{
    press (component);
    release (component);
}
} // namespace MouseTest
