// Chord presses on the strip and the piano roll: a short click opens the chord in the chord
// editor, a press held for 250 ms plays it until release, a right click opens the chord menu.
// Also the chord highlight with its hint, and the question that protects a chord edit when
// another panel is opened.
#include "editor/CorvessaEditor.h"

#include "chord_editor/ChordViewSelection.h"
#include "processor/CorvessaProcessor.h"

#include <cmath>

namespace
{
const juce::String chordHint ("Click to edit; hold to preview");

constexpr int holdToPreviewMs = 250;
constexpr int clickSlopPixels = 5;
constexpr int previewVelocity = 100;

enum ChordMenuItem
{
    addChordBefore = 1,
    addChordAfter,
    editChord,
    addChord,
    deleteChord,
    removeAllChords,
    editProgression
};
} // namespace

//==== the press machine =============================================================================

void CorvessaEditor::chordPressStarted (int index, juce::Component* source, juce::Point<int> position)
{
    if (isSyncFollower() || index < 0)
        return;

    cancelChordPress();
    pressPosition = position;
    pressedChordIndex = index;
    pressSource = source;
    pressActive = true;
    pressPreviewPlaying = false;
    pressMoved = false;

    selectStripChord (progressionStrip, index);
    setHighlightedChord (index, source == &progressionStrip ? 2 : 1);
    startTimer (holdPreviewTimerId, holdToPreviewMs);
}

void CorvessaEditor::chordPressDragged (int, juce::Component* source, juce::Point<int> position)
{
    if (isSyncFollower() || ! pressActive || source != pressSource)
        return;

    const auto distance = (int) std::hypot ((double) (position.x - pressPosition.x), (double) (position.y - pressPosition.y));
    if (distance > clickSlopPixels)
    {
        pressMoved = true;

        // A preview already sounding plays on until release.
        if (! pressPreviewPlaying)
            stopTimer (holdPreviewTimerId);
    }
}

void CorvessaEditor::chordPressReleased (int, juce::Component* source, juce::Point<int>)
{
    if (isSyncFollower() || ! pressActive || source != pressSource || pressPreviewPlaying || pressMoved)
    {
        cancelChordPress();
        return;
    }

    const int index = pressedChordIndex;
    cancelChordPress();
    openChordEditor (index);
}

void CorvessaEditor::cancelChordPress()
{
    stopTimer (holdPreviewTimerId);

    if (pressPreviewPlaying)
        processor.stopPreview();

    pressedChordIndex = -1;
    pressSource = nullptr;
    pressActive = false;
    pressPreviewPlaying = false;
    pressMoved = false;
}

void CorvessaEditor::previewChord (int index)
{
    selectStripChord (progressionStrip, index);
    setHighlightedChord (index, highlightSource);

    // A rest, an unrecognised chord or an index past the end silences the preview.
    if (chordDraftActive)
    {
        const auto& preview = chordDraftPreview;
        if (index >= 0 && index < (int) preview.chords.size() && index < (int) preview.layerNotes.size()
            && preview.chords[(size_t) index].resolved)
        {
            const auto& layers = preview.layerNotes[(size_t) index];
            processor.previewLayerNotes (layers[0], layers[1], layers[2], previewVelocity);
        }
        else
        {
            processor.stopPreview();
        }
        return;
    }

    const auto chords = processor.getCompiledChords();
    if (index >= 0 && index < (int) chords.size() && chords[(size_t) index].resolved)
        processor.previewCompiledChord (index, previewVelocity);
    else
        processor.stopPreview();
}

void CorvessaEditor::setHighlightedChord (int index, int source)
{
    highlightSource = index < 0 ? 0 : source;

    if (pianoRoll.hoveredChord != index)
    {
        pianoRoll.hoveredChord = index;
        pianoRoll.repaint();
    }
    if (progressionStrip.hoveredIndex != index)
    {
        progressionStrip.hoveredIndex = index;
        progressionStrip.repaint();
    }

    const bool follower = isSyncFollower();
    pianoRollChordInfoLabel.setText (index < 0 || follower ? juce::String() : pianoRoll.getHoverDescription(),
                                     juce::dontSendNotification);

    // The chord hint goes when the highlight goes; other hints stay.
    if (index >= 0 && ! follower)
        hintLabel.setText (chordHint, juce::dontSendNotification);
    else if (index < 0 && hintLabel.getText() == chordHint)
        hintLabel.setText ({}, juce::dontSendNotification);
}

//==== the chord menu ================================================================================

void CorvessaEditor::showChordContextMenu (int index, juce::Component* source, juce::Point<int> position)
{
    if (isSyncFollower())
        return;

    cancelChordPress();

    if (index >= 0)
    {
        selectStripChord (progressionStrip, index);
        setHighlightedChord (index, source == &progressionStrip ? 2 : 1);
    }

    auto options = juce::PopupMenu::Options()
                       .withTargetComponent (source != nullptr ? source : this)
                       .withTargetScreenArea ({ position.x, position.y, 1, 1 });

    // The index is the one the menu was opened for, whatever happens before the answer.
    makeChordContextMenu (index).showMenuAsync (velmar::PopupMenuPlacement::withPlacement (options),
                                                [safeThis = juce::Component::SafePointer<CorvessaEditor> (this), index] (int itemId)
                                                {
                                                    if (safeThis != nullptr)
                                                        safeThis->handleChordMenuResult (index, itemId);
                                                });
}

juce::PopupMenu CorvessaEditor::makeChordContextMenu (int index) const
{
    juce::PopupMenu menu;

    if (chordDraftActive && index >= 0)
    {
        menu.addItem (addChordBefore, "Add chord before");
        menu.addItem (addChordAfter, "Add chord after");
        menu.addItem (editChord, "Edit chord");
        menu.addItem (deleteChord, "Delete chord");
        menu.addSeparator();
        menu.addItem (removeAllChords, "Remove all chords");
    }
    else if (chordDraftActive)
    {
        menu.addItem (addChord, "Add chord");
        if (! chordDraftTokens.empty())
        {
            menu.addSeparator();
            menu.addItem (removeAllChords, "Remove all chords");
        }
    }
    else
    {
        if (index >= 0)
            menu.addItem (editChord, "Edit chord");
        menu.addItem (editProgression, "Edit progression");
    }

    return menu;
}

void CorvessaEditor::handleChordMenuResult (int index, int itemId)
{
    if (itemId == 0)
        return;

    if (! chordDraftActive)
    {
        if (itemId == editChord)
            openChordEditor (index);
        else if (itemId == editProgression)
            openProgressionTextPanel();
        return;
    }

    switch (itemId)
    {
        case addChordBefore:
        case addChordAfter:
        case editChord:
        case addChord:
            storeEditedChordInDraft();
            if (itemId == addChord)
                openChordEditorForAppend();
            else if (itemId == editChord)
                openChordEditor (index);
            else
                openChordEditorForInsert (index, itemId == addChordBefore);
            break;

        case deleteChord:
            removeDraftChord (index);
            break;

        case removeAllChords:
            removeAllDraftChords();
            break;

        default:
            break;
    }
}

//==== abandoning a chord edit =======================================================================

void CorvessaEditor::confirmAbandonChordEdit (std::function<void()> action)
{
    if (! isEditingProgression())
    {
        if (action)
            action();
        return;
    }

    confirmationDialog.setTitle ("Abandon Chord Edit");
    confirmationDialog.message = "Opening this dialog will abandon your current chord editor changes.";
    confirmationDialog.confirmButton.setButtonText ("Abandon");
    confirmationDialog.onConfirm = [safeThis = juce::Component::SafePointer<CorvessaEditor> (this), action]
    {
        if (safeThis == nullptr)
            return;

        safeThis->closeChordEditing();
        if (action)
            action();
    };

    confirmationDialog.setVisible (true);
    confirmationDialog.toFront (true);
    layoutContent();
}
