// The sync controls and the read-only state of a follower's window.
#include "editor/CorvessaEditor.h"

#include "editor/look/Palette.h"
#include "processor/CorvessaProcessor.h"
#include "processor/sync/InstanceSyncCoordinator.h"

namespace
{
const juce::String anotherLeaderText ("Another Corvessa leader is already active somewhere");
const juce::String leaderTooltip ("Publish progression, key, scale, BPM, and sections to followers.");
const juce::String leaderConflictTooltip ("Another Corvessa leader is already active. Click to take over.");

// The role buttons' accents: Off, Leader, Follower.
const juce::Colour syncAccents[] = { Palette::subtext1, Palette::mauve, Palette::green };

void styleSyncButton (juce::TextButton& button, juce::Colour accent)
{
    button.setColour (juce::TextButton::buttonColourId, Palette::surface0);
    button.setColour (juce::TextButton::buttonOnColourId, Palette::surface0.interpolatedWith (accent, 0.18f));
    button.setColour (juce::TextButton::textColourOffId, Palette::subtext1);
    button.setColour (juce::TextButton::textColourOnId, Palette::text);
}

void setCursor (juce::Component& component, bool editable, juce::MouseCursor::StandardCursorType editableCursor)
{
    component.setMouseCursor (editable ? editableCursor : juce::MouseCursor::NormalCursor);
}
} // namespace

bool CorvessaEditor::isSyncFollower() const
{
    return processor.getSyncMode() == 2;
}

void CorvessaEditor::updateSyncButtons (int mode)
{
    juce::TextButton* buttons[] = { &syncOffButton, &syncLeaderButton, &syncFollowerButton };

    for (int i = 0; i < 3; ++i)
    {
        styleSyncButton (*buttons[i], syncAccents[i]);
        buttons[i]->setToggleState (mode == i, juce::dontSendNotification);
    }
}

void CorvessaEditor::requestSyncMode (int mode, bool takeOver)
{
    if (mode == 1 && ! takeOver && processor.isAnotherSyncLeaderActive())
    {
        confirmSyncTakeOver();
        return;
    }

    const bool ok = takeOver ? processor.takeOverSyncLeadership() : processor.setSyncMode (mode);
    const int now = processor.getSyncMode();
    updateSyncButtons (now);

    if (ok || mode != 1)
    {
        setHeldStatus ("Status: Sync " + InstanceSync::getModeName (InstanceSync::toMode (now)),
                       now != 0 ? Palette::syncGreen : Palette::syncGrey);
    }
    else
    {
        setHeldStatus ("Status: " + anotherLeaderText, Palette::syncOrange);
        hintLabel.setText (anotherLeaderText, juce::dontSendNotification);
    }

    syncControlsFromProcessor (true);
}

void CorvessaEditor::confirmSyncTakeOver()
{
    syncTakeOverPending = true;

    confirmationDialog.setTitle ("Take Over Leader");
    confirmationDialog.message = "Another Corvessa leader is already active. Kick it off and make this instance the leader?";
    confirmationDialog.confirmButton.setButtonText ("Kick Off");
    confirmationDialog.onConfirm = [safeThis = juce::Component::SafePointer<CorvessaEditor> (this)]
    {
        if (safeThis != nullptr)
            safeThis->requestSyncMode (1, true);
    };
    confirmationDialog.setVisible (true);
    confirmationDialog.toFront (true);
    confirmationDialog.repaint();

    hintLabel.setText (anotherLeaderText, juce::dontSendNotification);
    layoutContent();
}

void CorvessaEditor::applySyncEditLock()
{
    const bool follower = isSyncFollower();
    const bool editable = ! follower;
    bool hidden = false;

    // A follower shows the leader's song: whatever was being edited closes.
    if (follower)
    {
        const auto hide = [&hidden] (juce::Component* panel)
        {
            if (panel != nullptr && panel->isVisible())
            {
                panel->setVisible (false);
                hidden = true;
            }
        };

        // The leader's song replaces whatever draft or typed text was open: dropped, not written.
        if (isEditingProgression())
        {
            closeChordEditing();
            hidden = true;
        }

        hide (&moodPanel);
        if (processor.getMoodVisible())
            processor.setMoodVisible (false);

        if (chordJsonOverlay != nullptr && chordJsonOverlay->isVisible())
        {
            hide (chordJsonOverlay.get());
            startTimer (refreshTimerId, 33);
        }

        hide (&projectLibrary);
        hide (&sectionRenameDialog);
        if (! syncTakeOverPending)
            hide (&confirmationDialog);
    }

    progressionEditor.setReadOnly (follower);
    progressionEditor.setEnabled (editable);
    progressionCloseButton.setEnabled (editable);

    if (progressionStrip.interactive != editable)
    {
        if (! editable)
            progressionStrip.hoveredIndex = progressionStrip.selectedIndex = -1;
        progressionStrip.interactive = editable;
        progressionStrip.repaint();
    }

    if (pianoRoll.interactive != editable)
    {
        if (! editable)
        {
            if (pianoRoll.addZoneHovered)
            {
                pianoRoll.addZoneHovered = false;
                if (pianoRoll.onAddZoneHoverChanged)
                    pianoRoll.onAddZoneHoverChanged (false);
            }
            pianoRoll.hoveredChord = pianoRoll.selectedChord = -1;
        }
        pianoRoll.interactive = editable;
        pianoRoll.repaint();
    }

    for (juce::Component* view : { static_cast<juce::Component*> (&progressionStrip), static_cast<juce::Component*> (&sectionRow) })
    {
        view->setEnabled (editable);
        view->setInterceptsMouseClicks (editable, editable);
        view->setAlpha (editable ? 1.0f : 0.55f);
    }

    // The arrangement, key, scale and panel buttons, and the section row's label.
    applyControlsEditLock (editable);
    sectionsLabel.setEnabled (editable);
    setCursor (sectionsLabel, editable, juce::MouseCursor::PointingHandCursor);

    // The clip tiles also need voiced chords (and the Shimmer tile Shimmer notes).
    updateShimmerControls();

    const bool conflict = processor.getSyncMode() != 1 && processor.isAnotherSyncLeaderActive();
    for (auto* button : { &syncOffButton, &syncLeaderButton, &syncFollowerButton })
    {
        button->setEnabled (true);
        button->setMouseCursor (juce::MouseCursor::PointingHandCursor);
    }
    syncLeaderButton.setTooltip (conflict ? leaderConflictTooltip : leaderTooltip);
    if (! conflict && hintLabel.getText() == anotherLeaderText)
        hintLabel.setText ({}, juce::dontSendNotification);

    if (hidden)
        layoutContent();
}
