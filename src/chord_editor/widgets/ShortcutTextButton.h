#pragma once

#include "chord_editor/widgets/RightPressShortcut.h"

// A text button whose right mouse button opens a menu of shortcuts instead of clicking; the
// left button works as on any text button. Message thread only.
class ShortcutTextButton : public RightPressShortcut<juce::TextButton>
{
public:
    ShortcutTextButton() = default;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ShortcutTextButton)
};
