#pragma once

#include "chord_editor/widgets/RightPressShortcut.h"

// A text field whose right mouse button opens a menu of shortcuts instead of the field's own
// edit menu, and which reports gaining the keyboard focus, however it came. Message thread only.
class ShortcutTextEditor : public RightPressShortcut<juce::TextEditor>
{
public:
    ShortcutTextEditor() = default;

    std::function<void()> onFocusGained;

    void focusGained (FocusChangeType) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ShortcutTextEditor)
};
