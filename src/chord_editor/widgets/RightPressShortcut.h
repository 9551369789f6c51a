#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// Turns a control's right mouse button into a request for a menu of shortcuts: the right press
// calls `onShortcutMenu` instead of the control's own handling, and the release that follows
// it is swallowed (the next release after a right press, whichever button it belongs to), so a
// button neither goes down nor clicks and a text field never opens its own edit menu.
// Message thread only.
template <typename Control>
class RightPressShortcut : public Control
{
public:
    using Control::Control;

    std::function<void()> onShortcutMenu;
    bool swallowMouseUp = false;

    void mouseDown (const juce::MouseEvent& e) override
    {
        if (e.mods.isRightButtonDown())
        {
            swallowMouseUp = true;

            if (onShortcutMenu)
                onShortcutMenu();

            return;
        }

        Control::mouseDown (e);
    }

    void mouseUp (const juce::MouseEvent& e) override
    {
        if (swallowMouseUp)
        {
            swallowMouseUp = false;
            return;
        }

        Control::mouseUp (e);
    }
};
