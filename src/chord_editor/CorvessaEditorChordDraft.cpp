// The window's chord draft: presses, previews, the chord menu, the draft and its own history,
// and the progression text panel.
#include "editor/CorvessaEditor.h"

#include "processor/CorvessaProcessor.h"

void CorvessaEditor::chordPressStarted (int, juce::Component*, juce::Point<int>)
{
}

void CorvessaEditor::chordPressDragged (int, juce::Component*, juce::Point<int>)
{
}

void CorvessaEditor::chordPressReleased (int, juce::Component*, juce::Point<int>)
{
}

void CorvessaEditor::cancelChordPress()
{
}

void CorvessaEditor::previewChord (int)
{
}

void CorvessaEditor::setHighlightedChord (int, int)
{
}

void CorvessaEditor::showChordContextMenu (int, juce::Component*, juce::Point<int>)
{
}

void CorvessaEditor::openChordEditor (int)
{
}

void CorvessaEditor::openChordEditorForAppend()
{
}

void CorvessaEditor::previewDraftChordChange (int, const juce::String&)
{
}

bool CorvessaEditor::commitChordDraft (const juce::String&)
{
    return false;
}

void CorvessaEditor::resetChordDraft (bool)
{
}

bool CorvessaEditor::undoChordEdit()
{
    return false;
}

bool CorvessaEditor::redoChordEdit()
{
    return false;
}

void CorvessaEditor::setStripProgressionText (const juce::String&)
{
}

void CorvessaEditor::applyProgressionText()
{
}

void CorvessaEditor::closeChordEditing()
{
    stopTimer (holdPreviewTimerId);
    processor.stopPreview();
    cancelChordPress();
    progressionTextPanel.setVisible (false);
    chordEditor.setVisible (false);
    modalScrim.setVisible (false);
    resetChordDraft (true);
    progressionStrip.selectedIndex = -1;
    pianoRoll.selectedChord = -1;
    setHighlightedChord (-1, 0);
}

void CorvessaEditor::textEditorTextChanged (juce::TextEditor&)
{
}

void CorvessaEditor::textEditorReturnKeyPressed (juce::TextEditor&)
{
}
