#pragma once

#include "editor/EditorFixture.h"
#include "processor/CompiledSection.h"

#include <vector>

namespace juce { extern bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages); }

// Reaches the window's chord draft, presses and text panel for tests (the window declares it a
// friend). Gestures go in through the callbacks the views and panels call, so the wiring is
// tested with them; the hold timer is fired by the test instead of the clock.
class ChordDraftTestProbe
{
public:
    explicit ChordDraftTestProbe (CorvessaEditor& e) : editor (e) {}

    CorvessaEditor& window() { return editor; }
    ChordEditPopover& panel() { return editor.chordEditor; }
    PianoRollComponent& roll() { return editor.pianoRoll; }
    ProgressionStripComponent& strip() { return editor.progressionStrip; }
    juce::TextEditor& textField() { return editor.progressionEditor; }
    juce::TextButton& textPanelCloseButton() { return editor.progressionCloseButton; }
    PanelComponent& textPanel() { return editor.progressionTextPanel; }
    ConfirmationDialog& confirmation() { return editor.confirmationDialog; }
    juce::Label& status() { return editor.statusLabel; }
    juce::Label& hint() { return editor.hintLabel; }
    juce::Label& chordInfo() { return editor.pianoRollChordInfoLabel; }
    juce::ComboBox& keyCombo() { return editor.keyCombo; }
    juce::ComboBox& scaleCombo() { return editor.scaleCombo; }

    // The draft.
    bool draftActive() const { return editor.chordDraftActive; }
    bool draftEditing() const { return editor.chordDraftEditing; }
    bool draftChanged() const { return editor.chordDraftChanged; }
    int draftSelectedIndex() const { return editor.chordDraftSelectedIndex; }
    int insertAnchor() const { return editor.chordInsertIndex; }
    juce::String draftText() const { return joinProgressionTokens (editor.chordDraftTokens); }
    const ProgressionPreview& draftPreview() const { return editor.chordDraftPreview; }
    size_t undoSteps() const { return editor.chordUndoStack.size(); }
    size_t redoSteps() const { return editor.chordRedoStack.size(); }
    const ChordEditState& currentStep() const { return editor.currentChordEdit; }
    // What the panel's chord would make of the draft now.
    ChordEditState liveStep() const { return editor.captureChordEditState(); }

    void openChord (int index) { editor.openChordEditor (index); }
    void openForAppend() { editor.openChordEditorForAppend(); }
    void openForInsert (int index, bool before) { editor.openChordEditorForInsert (index, before); }
    bool storeChord() { return editor.storeEditedChordInDraft(); }
    void removeChord (int index) { editor.removeDraftChord (index); }
    void closeChordEditing() { editor.closeChordEditing(); }
    bool isEditingProgression() const { return editor.isEditingProgression(); }
    void confirmAbandon (std::function<void()> action) { editor.confirmAbandonChordEdit (std::move (action)); }
    std::vector<ChordLabel> labelsFor (const juce::String& progression) const
    {
        return editor.buildTokenLabels (parseProgressionTokens (progression));
    }

    // The panel's chord changes as its controls change it (this also steps the panel's history).
    void changeChordTo (const juce::String& chordText) { panel().loadChordText (chordText); }
    void applyPanel() { panel().applyChord(); }
    void cancelPanel() { panel().buttonClicked (&panel().cancelButton); }

    // Chord presses as the piano roll reports them.
    void pressRoll (int index, juce::Point<int> at = { 50, 100 }) { roll().onChordPressStarted (index, roll(), at); }
    void dragRoll (int index, juce::Point<int> to) { roll().onChordPressDragged (index, roll(), to); }
    void releaseRoll (int index, juce::Point<int> at = { 50, 100 }) { roll().onChordPressReleased (index, roll(), at); }
    void releaseStrip (int index) { strip().onChordPressReleased (index, strip(), { 5, 5 }); }
    bool holdTimerRunning() const { return editor.isTimerRunning (CorvessaEditor::holdPreviewTimerId); }
    // Fires the hold timer as the clock would once 250 ms passed; false when it was not running.
    bool fireHoldTimer()
    {
        if (! holdTimerRunning())
            return false;
        editor.timerCallback (CorvessaEditor::holdPreviewTimerId);
        return true;
    }
    bool pressActive() const { return editor.pressActive; }
    bool pressPreviewing() const { return editor.pressPreviewPlaying; }

    // The chord menu, as built for a right click on index (-1 beside the chords), and its answer.
    juce::PopupMenu chordMenu (int index) const { return editor.makeChordContextMenu (index); }
    void chooseMenuItem (int index, int itemId) { editor.handleChordMenuResult (index, itemId); }

    // The text panel.
    void openTextPanel() { editor.openProgressionTextPanel(); }
    void closeTextPanel() { editor.closeProgressionTextPanel(); }
    // Typing: the field changes and tells its listeners, as a keystroke does (the field posts
    // its change message, which is delivered here).
    void type (const juce::String& text)
    {
        textField().setText (text, true);
        while (juce::dispatchNextMessageOnSystemQueue (true))
        {
        }
    }
    void pressReturn() { editor.textEditorReturnKeyPressed (textField()); }
    bool textTimerRunning() const { return editor.isTimerRunning (CorvessaEditor::textApplyTimerId); }
    bool fireTextTimer()
    {
        if (! textTimerRunning())
            return false;
        editor.timerCallback (CorvessaEditor::textApplyTimerId);
        return true;
    }

    void applyGlobalScale (const juce::String& root, const juce::String& scale, const juce::String& bpm)
    {
        editor.applyGlobalScale (root, scale, bpm);
    }
    void applyKeyScaleFromCombos() { editor.applyKeyScaleFromCombos(); }

private:
    CorvessaEditor& editor;
};

// A window over a one-section song, with the chord draft's probe beside the window's own.
class ChordDraftTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        draft = std::make_unique<ChordDraftTestProbe> (*editor);
    }

    void TearDown() override
    {
        draft.reset();
        EditorTest::TearDown();
    }

    // Makes the song one section with this progression, compiled and shown.
    void useSong (const juce::String& progression)
    {
        auto sections = song ({ { "A", progression.toRawUTF8() } });
        processor->setSections (sections, true);
        processor->setSelectedSectionViewIndex (0);
        processor->setWorkingSection (sections[0]);
        waitForCompile();
        probe->tick();
    }

    // Item ids and texts of a menu, separators as 0 "-".
    static std::vector<std::pair<int, juce::String>> itemsOf (const juce::PopupMenu& menu)
    {
        std::vector<std::pair<int, juce::String>> items;
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        {
            const auto& item = it.getItem();
            items.emplace_back (item.isSeparator ? 0 : item.itemID, item.isSeparator ? juce::String ("-") : item.text);
        }
        return items;
    }

    std::unique_ptr<ChordDraftTestProbe> draft;
};
