// The 33 ms tick, its two one-shot companions and the status line: the window pulls everything
// it shows from the processor and never waits to be called.
#include "editor/CorvessaEditor.h"

#include "editor/EditorClock.h"
#include "editor/EditorTexts.h"
#include "editor/look/Palette.h"
#include "harmony/ScaleTable.h"
#include "kit/dialogs/UpdateVersionText.h"
#include "processor/CorvessaProcessor.h"

namespace
{
constexpr juce::uint32 statusHoldMs = 2000;
const juce::String chordHint ("Click to edit; hold to preview");
} // namespace

//==== timers ========================================================================================

void CorvessaEditor::timerCallback (int timerID)
{
    if (timerID == textApplyTimerId)
    {
        stopTimer (textApplyTimerId);
        applyProgressionText();
        return;
    }

    if (timerID == heartbeatTimerId)
    {
        stopTimer (heartbeatTimerId);
        processor.requestForcedTelemetryHeartbeat();
        return;
    }

    if (timerID == holdPreviewTimerId)
    {
        stopTimer (holdPreviewTimerId);

        if (isSyncFollower())
            cancelChordPress();
        else if (pressActive && ! pressMoved && pressedChordIndex >= 0)
        {
            pressPreviewPlaying = true;
            previewChord (pressedChordIndex);
        }
        return;
    }

    if (timerID != refreshTimerId)
        return;

    if (needsControlRefresh)
    {
        syncControlsFromProcessor (false);
        needsControlRefresh = false;
    }

    syncPlaybackState();

    const auto externalEdits = (juce::int64) processor.getExternalEditCounter();
    if (externalEdits != lastExternalEditCount)
    {
        lastExternalEditCount = externalEdits;
        syncControlsFromProcessor (true);
        setHeldStatus ("Status: Updated by Velmar MCP", Palette::mauve);
    }

    // A song replaced by the host or by the sync leader changes neither counter above nor,
    // often, the selected index: without this the row and the controls would keep showing the
    // song that was there before.
    const auto outsideSongChanges = processor.getOutsideSongChangeCounter();
    if (outsideSongChanges != lastOutsideSongChangeCount)
    {
        lastOutsideSongChangeCount = outsideSongChanges;
        syncControlsFromProcessor (true);
    }

    const auto transport = processor.getTransportSnapshot();

    updateGenerationStatus();

    if (! chordDraftActive)
    {
        const auto chords = processor.getCompiledChords();
        pianoRoll.setChords (chords);

        progressionStrip.bars.clear();
        for (const auto& chord : chords)
            progressionStrip.bars.emplace_back ((float) (chord.startTicks / 512.0), (float) (chord.lengthTicks / 512.0));
        progressionStrip.repaint();

        pianoRoll.recalculateNoteRange();
        pianoRoll.repaint();
    }

    const int current = transport.isPlaying ? processor.getCurrentSectionIndex() : -1;
    pianoRoll.playheadPosition = transport.sectionPositionBars;
    pianoRoll.playing = transport.isPlaying;
    pianoRoll.playheadVisible = current >= 0 && current == sectionRow.selectedIndex;
    pianoRoll.repaint();

    updateShimmerControls();
    updateChordInfo();

    if (current != sectionRow.playingIndex)
    {
        const int last = juce::jmax ((int) sectionRow.sections.size() - 1, 0);
        sectionRow.playingIndex = juce::jlimit (-1, last, current);
        sectionRow.repaint();
    }
}

void CorvessaEditor::updateChordInfo()
{
    if (isSyncFollower() || pianoRoll.hoveredChord < 0)
    {
        pianoRollChordInfoLabel.setText ({}, juce::dontSendNotification);
        return;
    }

    pianoRollChordInfoLabel.setText (pianoRoll.getHoverDescription(), juce::dontSendNotification);
    hintLabel.setText (chordHint, juce::dontSendNotification);
}

//==== control refresh ===============================================================================

void CorvessaEditor::syncControlsFromProcessor (bool useWorkingSection)
{
    const auto sections = processor.getSections();
    const auto selected = processor.getSelectedSectionViewIndex();
    const bool selectionValid = selected >= 0 && selected < (int) sections.size();
    refreshSectionRow (useWorkingSection || sections.empty() || ! selectionValid);

    auto section = processor.getWorkingSection();
    if (! useWorkingSection)
    {
        const auto current = processor.getCurrentSectionIndex();
        if (current >= 0 && current < (int) sections.size())
            section = sections[(size_t) current];
    }

    if (progressionEditor.getText() != section.progression)
        progressionEditor.setText (section.progression, juce::dontSendNotification);
    setStripProgressionText (section.progression);

    const std::pair<juce::ComboBox*, const juce::String*> voicings[] = {
        { &bodyVoicingCombo, &section.bodyVoicing }, { &shimmerVoicingCombo, &section.shimmerVoicing }
    };
    for (const auto& [combo, name] : voicings)
    {
        const auto id = readVoicingStyleIndex (*name) + 1;
        if (combo->getSelectedId() != id)
            combo->setSelectedId (id, juce::dontSendNotification);
    }

    updateOutputControls (processor.getOutputLayerMode(), false);
    updatePianoRollOutput();
    updateSyncButtons (processor.getSyncMode());

    if (bassAddOctaveButton.getToggleState() != section.arrangeBassAddOctave)
        bassAddOctaveButton.setToggleState (section.arrangeBassAddOctave, juce::dontSendNotification);
    pianoRoll.setBassAddOctave (section.arrangeBassAddOctave);
    pianoRoll.setLayerView (6);

    if (restoreMoodPanel())
        layoutContent();

    const std::pair<juce::Button*, bool> toggles[] = {
        { &bassAddFifthButton, section.arrangeBassAddFifth },
        { &bodyAddRootButton, section.arrangeBodyAddRoot },
        { &bodyAddFifthButton, section.arrangeBodyAddFifth },
    };
    for (const auto& [button, state] : toggles)
        if (button->getToggleState() != state)
            button->setToggleState (state, juce::dontSendNotification);
    updateBodyWithShimmerToggle();

    const std::pair<juce::ComboBox*, int> octaves[] = {
        { &bassOctaveCombo, section.bassOctave }, { &bodyOctaveCombo, section.bodyOctave }, { &shimmerOctaveCombo, section.shimmerOctave }
    };
    for (const auto& [combo, octave] : octaves)
    {
        const auto id = juce::jlimit (-4, 4, octave) + 5;
        if (combo->getSelectedId() != id)
            combo->setSelectedId (id, juce::dontSendNotification);
    }
    syncKnobsFromCombos();
    updateShimmerControls();
    updateLegatoButton (section);

    sectionRow.sections = processor.getSections();
    sectionRow.repaint();
    const auto selectedNow = processor.getSelectedSectionViewIndex();
    if (sectionRow.selectedIndex != selectedNow)
    {
        sectionRow.selectedIndex = selectedNow;
        sectionRow.repaint();
    }
    updateSectionLabels();
    applySyncEditLock();

    cachedSyncMode = processor.getSyncMode();
    cachedAnotherLeader = processor.isAnotherSyncLeaderActive();
    cachedOutputLayerMode = processor.getOutputLayerMode();
    cachedBassLegato = processor.getBassLegato();
    cachedBodyLegato = processor.getBodyLegato();
    cachedShimmerLegato = processor.getShimmerLegato();
    cachedBodyVoicing = processor.getBodyVoicing();
    cachedShimmerVoicing = processor.getShimmerVoicing();
    cachedSelectedSection = selectedNow;
    cacheValid = true;

    // An outside change starts a new undo history.
    if (! applyingSectionHistory)
        sectionHistory.reset (captureSectionSnapshot());
}

void CorvessaEditor::syncPlaybackState()
{
    autoAdvanceButton.setToggleState (processor.isAutoAdvanceSelected(), juce::dontSendNotification);

    // Under Auto-Advance the shown section follows the playing one, once per change, so the
    // user may still look at another section until playback moves on. Not while a chord draft
    // is open: its apply writes into the shown section, which must stay the one it came from.
    const auto transport = processor.getTransportSnapshot();
    const int playing = processor.isAutoAdvanceSelected() && transport.isPlaying ? processor.getCurrentSectionIndex() : -1;
    if (playing < 0)
        lastFollowedSection = -1;
    if (playing != lastFollowedSection && ! chordDraftActive)
    {
        lastFollowedSection = playing;
        const auto sections = processor.getSections();
        if (playing >= 0 && playing < (int) sections.size() && playing != processor.getSelectedSectionViewIndex())
        {
            processor.setSelectedSectionViewIndex (playing);
            processor.setWorkingSection (sections[(size_t) playing]);
        }
    }

    auto syncMode = processor.getSyncMode();
    const auto anotherLeader = processor.isAnotherSyncLeaderActive();
    const auto outputLayerMode = processor.getOutputLayerMode();
    const auto bassLegato = processor.getBassLegato();
    const auto bodyLegato = processor.getBodyLegato();
    const auto shimmerLegato = processor.getShimmerLegato();
    const auto bodyVoicing = processor.getBodyVoicing();
    const auto shimmerVoicing = processor.getShimmerVoicing();
    const auto selected = processor.getSelectedSectionViewIndex();

    if (syncMode == 1 && anotherLeader)
    {
        processor.setSyncMode (0);
        syncMode = processor.getSyncMode();
        setHeldStatus ("Status: Sync leadership was taken over", Palette::yellow);
    }

    const bool wasValid = cacheValid;

    if (wasValid && selected != cachedSelectedSection)
    {
        syncControlsFromProcessor (true);
        return;
    }

    if (! wasValid || syncMode != cachedSyncMode || anotherLeader != cachedAnotherLeader)
    {
        updateSyncButtons (syncMode);
        applySyncEditLock();
        cachedSyncMode = syncMode;
        cachedAnotherLeader = anotherLeader;
    }

    if (! wasValid || outputLayerMode != cachedOutputLayerMode)
    {
        updateOutputControls (outputLayerMode, false);
        updatePianoRollOutput();
        updateClipTileTooltips();
        cachedOutputLayerMode = outputLayerMode;
    }

    const bool legatoChanged = bassLegato != cachedBassLegato || bodyLegato != cachedBodyLegato
                            || shimmerLegato != cachedShimmerLegato;
    if (! wasValid || legatoChanged)
    {
        updateLegatoButton (processor.getWorkingSection());
        cachedBassLegato = bassLegato;
        cachedBodyLegato = bodyLegato;
        cachedShimmerLegato = shimmerLegato;
    }

    const bool bodyVoicingChanged = bodyVoicing != cachedBodyVoicing;
    const bool shimmerVoicingChanged = shimmerVoicing != cachedShimmerVoicing;
    const std::tuple<bool, juce::ComboBox*, int, int*> voicings[] = {
        { bodyVoicingChanged, &bodyVoicingCombo, bodyVoicing, &cachedBodyVoicing },
        { shimmerVoicingChanged, &shimmerVoicingCombo, shimmerVoicing, &cachedShimmerVoicing },
    };
    for (const auto& [changed, combo, voicing, cached] : voicings)
    {
        if (wasValid && ! changed)
            continue;
        if (combo->getSelectedId() != voicing + 1)
            combo->setSelectedId (voicing + 1, juce::dontSendNotification);
        syncKnobsFromCombos();
        *cached = voicing;
    }

    cachedSelectedSection = selected;
    cacheValid = true;

    // Host automation of legato and voicing belongs in the active section. A follower's
    // settings come from its leader (or are a refused host edit being set back), so a follower
    // never writes them into its own sections.
    if (wasValid && (legatoChanged || bodyVoicingChanged || shimmerVoicingChanged) && ! isSyncFollower())
        storeControlsIntoActiveSection();
}

void CorvessaEditor::updateGenerationStatus()
{
    auto rootKey = processor.getCurrentRootKey().trim();
    if (rootKey.isEmpty())
        rootKey = "C";
    selectComboItemByText (keyCombo, rootKey);

    auto scaleName = processor.getCurrentScaleName().trim();
    if (scaleName.isEmpty())
        scaleName = "Major";
    selectComboItemByText (scaleCombo, normaliseScaleName (scaleName));

    const auto bpmHint = formatBpmRange (processor.getCurrentSuggestedBpm(), {});
    bpmHintLabel.setText (bpmHint, juce::dontSendNotification);
    const bool bpmShown = bpmHint.isNotEmpty();
    if (bpmLabel.isVisible() != bpmShown || bpmHintLabel.isVisible() != bpmShown)
    {
        bpmLabel.setVisible (bpmShown);
        bpmHintLabel.setVisible (bpmShown);
        layoutContent();
    }

    if (! isStatusHoldOver())
        return;

    const int shown = sectionRow.selectedIndex;
    const auto status = processor.getCompileStatus (shown);
    const auto messages = processor.getCompileMessages (shown);

    if (processor.isGenerationPending())
        setStatus ("Status: Compiling...", Palette::yellow);
    else if (status == 3)
        setStatus ("Status: Using last valid result"
                       + (messages.isEmpty() ? juce::String() : " - Unrecognized: " + messages.joinIntoString (", ")),
                   Palette::yellow);
    else if (status == 2 && ! messages.isEmpty())
        setStatus ("Status: Warning - Unrecognized: " + messages.joinIntoString (", "), Palette::yellow);
    else if (processor.hasSoundingNotes())
        setStatus ("Status: Generating...", Palette::yellow);
    else if (processor.getUpdateChecker().isUpdateAvailable())
        refreshHelpButton();
    else
    {
        setStatus ("Status: Ready", Palette::green);
        statusLabel.setMouseCursor (juce::MouseCursor::NormalCursor);
        statusLabel.setTooltip ({});
    }
}

//==== status line ===================================================================================

void CorvessaEditor::setStatus (const juce::String& text, juce::Colour colour)
{
    statusLabel.setText (text, juce::dontSendNotification);
    statusLabel.setColour (juce::Label::textColourId, colour);
}

void CorvessaEditor::setHeldStatus (const juce::String& text, juce::Colour colour)
{
    setStatus (text, colour);
    statusHoldUntilMs = EditorClock::now() + statusHoldMs;
}

void CorvessaEditor::showStatus (const juce::String& text)
{
    // The kit reports failures as texts too; they must not read as done.
    const bool failed = text.startsWith ("Status: Could not");
    setHeldStatus (text, failed ? Palette::yellow : Palette::green);
}

bool CorvessaEditor::isStatusHoldOver()
{
    if (statusHoldUntilMs == 0)
        return true;

    // The difference read as signed stays right across the counter's wrap, where "now >= hold"
    // would let a hold set just before the wrap end at once (or one set just after it last for
    // weeks).
    if ((juce::int32) (EditorClock::now() - statusHoldUntilMs) >= 0)
    {
        statusHoldUntilMs = 0;
        return true;
    }

    return false;
}

void CorvessaEditor::refreshHelpButton()
{
    auto& checker = processor.getUpdateChecker();

    if (checker.isUpdateAvailable())
    {
        helpButton.setButtonText ("!");
        helpButton.setColour (juce::TextButton::buttonColourId, Palette::mauve);
        helpButton.setColour (juce::TextButton::buttonOnColourId, Palette::lavender);
        helpButton.setColour (juce::TextButton::textColourOffId, Palette::mantle);
        helpButton.setColour (juce::TextButton::textColourOnId, Palette::mantle);
        helpButton.setTooltip ("Update available - show details");

        const auto link = checker.getDownloadUrl();
        helpComponent.setUpdateInfo (link.isNotEmpty() ? checker.getLatestVersion() : juce::String(), link);

        if (isStatusHoldOver())
        {
            setStatus (velmar::updateAvailableText (checker.getLatestVersion()), Palette::mauve);
            statusLabel.setMouseCursor (juce::MouseCursor::PointingHandCursor);
            statusLabel.setTooltip ("Open Corvessa download page");
        }
        return;
    }

    helpButton.setButtonText ("?");
    helpButton.setColour (juce::TextButton::buttonColourId, Palette::surface0);
    helpButton.setColour (juce::TextButton::buttonOnColourId, Palette::surface1);
    helpButton.setColour (juce::TextButton::textColourOffId, Palette::text);
    helpButton.setColour (juce::TextButton::textColourOnId, Palette::text);
    helpButton.setTooltip ("Show help, privacy & tips");
    helpComponent.setUpdateInfo ({}, {});
    statusLabel.setMouseCursor (juce::MouseCursor::NormalCursor);
    statusLabel.setTooltip ({});
}
