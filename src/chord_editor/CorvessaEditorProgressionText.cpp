// Two ways of changing the song without the chord draft: the "Chord Progression" text panel,
// where the progression is typed (and applied 500 ms after the last keystroke, on Return and on
// Close), and the global scale, which gives every section the same key, scale and tempo text.
#include "editor/CorvessaEditor.h"

#include "editor/look/Palette.h"
#include "harmony/ScaleTable.h"
#include "processor/CorvessaProcessor.h"

namespace
{
constexpr int typingDelayMs = 500;
} // namespace

//==== the text panel ================================================================================

void CorvessaEditor::openProgressionTextPanel()
{
    if (isSyncFollower())
        return;

    storeEditedChordInDraft();

    // The committed progression, also while a draft exists.
    progressionEditor.setText (processor.getProgression(), false);
    progressionTextPanel.setVisible (true);
    layoutContent();

    if (progressionEditor.isShowing())
        progressionEditor.grabKeyboardFocus();
}

void CorvessaEditor::closeProgressionTextPanel()
{
    if (! isSyncFollower())
        applyProgressionText();

    progressionTextPanel.setVisible (false);
    layoutContent();
}

void CorvessaEditor::textEditorTextChanged (juce::TextEditor& editor)
{
    if (&editor != &progressionEditor || isSyncFollower())
        return;

    startTimer (textApplyTimerId, typingDelayMs);
    setStatus ("Status: Typing...", Palette::libraryOrange);
}

void CorvessaEditor::textEditorReturnKeyPressed (juce::TextEditor& editor)
{
    if (&editor == &progressionEditor)
        applyProgressionText();
}

void CorvessaEditor::applyProgressionText()
{
    if (isSyncFollower())
        return;

    // The typed text wins over a draft begun before it: left open, a later "Apply & Close" of
    // the draft would write the older progression back over it.
    if (chordDraftActive)
    {
        const bool textPanelShown = progressionTextPanel.isVisible();
        closeChordEditing();
        if (textPanelShown)
        {
            progressionTextPanel.setVisible (true);
            layoutContent();
        }
    }

    const auto raw = progressionEditor.getText();
    const auto text = normaliseProgressionText (raw);
    if (raw.trim() != text)
        progressionEditor.setText (text, false);

    processor.setProgression (text);
    setStripProgressionText (text);
    storeControlsIntoActiveSection();
    commitSectionHistory();
    setStatus ("Status: Progression generated", Palette::libraryGreen);
}

void CorvessaEditor::setStripProgressionText (const juce::String& text)
{
    const auto tokens = parseProgressionTokens (text);
    progressionStrip.setTokens (tokens);
    updatePianoRollTokenLabels (tokens);
}

//==== the global scale ==============================================================================

void CorvessaEditor::applyGlobalScale (const juce::String& root, const juce::String& scale, const juce::String& bpmText)
{
    if (isSyncFollower())
        return;

    const auto key = getPitchClass (root) >= 0 ? root.trim() : juce::String ("C");
    const auto scaleName = normaliseScaleName (scale);

    processor.setCurrentScale (scaleName, key, bpmText);

    auto sections = processor.getSections();
    for (auto& section : sections)
    {
        section.rootKey = key;
        section.scale = scaleName;
        section.suggestedBpm = bpmText;
    }
    processor.setSections (sections, true);

    sectionRow.sections = sections;
    sectionRow.repaint();
    const auto selected = processor.getSelectedSectionViewIndex();
    if (sectionRow.selectedIndex != selected)
    {
        sectionRow.selectedIndex = selected;
        sectionRow.repaint();
    }

    if (chordEditor.isVisible())
    {
        chordEditor.keyRoot = getNoteNames().contains (key) ? key : juce::String ("C");
        chordEditor.scaleName = normaliseScaleName (scaleName);
        chordEditor.refreshQuickChords();
        chordEditor.rebuildSuggestions();
        chordEditor.refreshControls();
    }

    // The draft stays and is heard in the new key; the song's progression is untouched.
    if (! chordDraftActive)
        setStripProgressionText (processor.getProgression());
    else if (chordDraftEditing && chordEditor.isVisible())
        previewDraftChordChange (chordEditor.chordIndex, chordEditor.hasChord ? chordEditor.buildChordText() : juce::String());
    else
        recompileDraft();

    updateGenerationStatus();
    setHeldStatus ("Status: Global scale updated", Palette::libraryGreen);
    layoutContent();
}

void CorvessaEditor::applyKeyScaleFromCombos()
{
    if (isSyncFollower())
        return;

    applyGlobalScale (keyCombo.getText().trim(), scaleCombo.getText().trim(), processor.getCurrentSuggestedBpm());
}
