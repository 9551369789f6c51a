#include "chord_editor/widgets/ShortcutTextEditor.h"

void ShortcutTextEditor::focusGained (FocusChangeType cause)
{
    juce::TextEditor::focusGained (cause);

    if (onFocusGained)
        onFocusGained();
}
