// The window's chord draft: a copy of the working progression that the chord editor changes,
// that is compiled and shown without being committed, with its own undo history, and that is
// applied, cancelled or abandoned as a whole. The processor's progression is written only by a
// commit.
#include "editor/CorvessaEditor.h"

#include "chord_editor/ChordBuilder.h"
#include "chord_editor/ChordDraftTokens.h"
#include "chord_editor/ChordViewSelection.h"
#include "editor/look/Palette.h"
#include "harmony/ScaleTable.h"
#include "processor/CorvessaProcessor.h"

namespace
{
// Editing a chord puts the mood generator away, and the song remembers it closed.
void putMoodPanelAway (MoodGeneratorComponent& moodPanel, CorvessaProcessor& processor)
{
    if (moodPanel.isVisible())
    {
        moodPanel.setVisible (false);
        processor.setMoodVisible (false);
    }
}
} // namespace

//==== ending every chord edit =======================================================================

void CorvessaEditor::closeChordEditing()
{
    cancelChordPress();
    processor.stopPreview();

    progressionTextPanel.setVisible (false);
    chordEditor.setVisible (false);
    modalScrim.setVisible (false);

    resetChordDraft (true);
    selectStripChord (progressionStrip, -1);
    selectRollChord (pianoRoll, -1);
    setHighlightedChord (-1, 0);
}

bool CorvessaEditor::isEditingProgression() const
{
    return progressionTextPanel.isVisible() || chordEditor.isVisible() || chordDraftActive;
}

//==== opening a chord ===============================================================================

void CorvessaEditor::openChordEditor (int index)
{
    if (isSyncFollower())
        return;

    if (chordDraftActive && chordDraftEditing && chordInsertIndex == -1 && index == chordDraftSelectedIndex)
        return; // already open

    putMoodPanelAway (moodPanel, processor);
    if (chordDraftActive)
        storeEditedChordInDraft();
    chordInsertIndex = -1;

    auto tokens = chordDraftActive ? chordDraftTokens : parseProgressionTokens (processor.getProgression());
    if (index < 0 || index >= (int) tokens.size())
        return;

    const auto token = tokens[(size_t) index];

    // The chord editor cannot show what does not parse; the text can.
    if (! token.isValid)
    {
        openProgressionTextPanel();
        setStatus ("Status: Opened text editor for advanced chord syntax", Palette::libraryOrange);
        return;
    }

    selectStripChord (progressionStrip, index);
    chordEditor.setKeyAndScale (processor.getCurrentRootKey(), processor.getCurrentScaleName());
    chordEditor.setContext (tokens, index, true, moodPanel.getMoodName());
    chordEditor.openChord (index, token);

    beginChordDraftEdit (std::move (tokens), index, token.text);
    layoutContent();
}

void CorvessaEditor::openChordEditorForAppend()
{
    if (isSyncFollower())
        return;

    putMoodPanelAway (moodPanel, processor);
    if (chordDraftActive)
        storeEditedChordInDraft();
    chordInsertIndex = -1;

    const auto token = makeDefaultChordToken();
    auto tokens = chordDraftActive ? chordDraftTokens : parseProgressionTokens (processor.getProgression());
    const int count = (int) tokens.size();

    selectStripChord (progressionStrip, count);
    chordEditor.setKeyAndScale (processor.getCurrentRootKey(), processor.getCurrentScaleName());
    chordEditor.setContext (tokens, count, false, moodPanel.getMoodName());
    chordEditor.openChord (count, token);

    beginChordDraftEdit (std::move (tokens), count, token.text);
    layoutContent();
}

void CorvessaEditor::openChordEditorForInsert (int index, bool before)
{
    if (isSyncFollower())
        return;

    putMoodPanelAway (moodPanel, processor);
    if (chordDraftActive)
        storeEditedChordInDraft();

    auto tokens = chordDraftActive ? chordDraftTokens : parseProgressionTokens (processor.getProgression());
    if (index < 0 || index >= (int) tokens.size())
    {
        openChordEditorForAppend();
        return;
    }

    chordInsertIndex = index;
    chordInsertBefore = before;
    const auto token = makeDefaultChordToken();

    selectStripChord (progressionStrip, index);
    chordEditor.setKeyAndScale (processor.getCurrentRootKey(), processor.getCurrentScaleName());
    chordEditor.setContext (tokens, before ? index : index + 1, false, moodPanel.getMoodName());
    chordEditor.openChord (index, token);

    beginChordDraftEdit (std::move (tokens), index, token.text);
    layoutContent();
}

void CorvessaEditor::beginChordDraftEdit (std::vector<ChordToken> tokens, int index, const juce::String& text)
{
    // The progression before the edit, with no chord open, is where the history starts.
    if (! currentChordEditRecorded)
        resetChordEditHistory ({ joinProgressionTokens (tokens), -1, false });

    chordDraftTokens = std::move (tokens);
    chordDraftEditedText = text;
    chordDraftSelectedIndex = index;
    chordDraftActive = true;
    chordDraftEditing = true;
    updatePianoRollOutput();
    previewDraftChordChange (index, text);
}

ChordToken CorvessaEditor::makeDefaultChordToken() const
{
    auto root = processor.getCurrentRootKey().trim();
    if (! getNoteNames().contains (root))
        root = "C";

    const auto tonic = buildQuickChords (root, processor.getCurrentScaleName(), 1);
    return parseChordToken (tonic.empty() ? root : tonic.front().root + tonic.front().quality);
}

//==== changing the draft ============================================================================

bool CorvessaEditor::storeEditedChordInDraft()
{
    if (isSyncFollower() || ! chordDraftActive || ! chordDraftEditing)
        return false;

    const auto text = chordEditor.hasChord ? chordEditor.buildChordText() : juce::String();
    auto tokens = chordDraftTokens;
    const int position = placeDraftToken (tokens, chordEditor.chordIndex, chordInsertIndex, chordInsertBefore,
                                          parseChordToken (text));
    if (position < 0)
        return false;

    chordInsertIndex = -1;
    chordInsertBefore = false;

    chordDraftTokens = std::move (tokens);
    chordDraftEditedText = text;
    chordDraftSelectedIndex = position;
    chordDraftEditing = false;
    chordDraftChanged = true; // also when the text is unchanged: apply then writes the normalised text

    recompileDraft();
    selectStripChord (progressionStrip, -1);
    selectRollChord (pianoRoll, -1);
    setHighlightedChord (-1, 0);
    return true;
}

void CorvessaEditor::previewDraftChordChange (int index, const juce::String& tokenText)
{
    if (isSyncFollower() || ! chordDraftActive || ! chordDraftEditing)
        return;

    // The pending chord lives in the panel until it is stored; the draft itself stays as it is.
    auto tokens = chordDraftTokens;
    index = placeDraftToken (tokens, index, chordInsertIndex, chordInsertBefore, parseChordToken (tokenText));
    if (index < 0)
        return;

    chordDraftPreview = processor.compileProgressionPreview (joinProgressionTokens (tokens));
    pianoRoll.setPreview (chordDraftPreview);
    updatePianoRollTokenLabels (tokens);

    chordDraftSelectedIndex = index;
    selectRollChord (pianoRoll, index);
    progressionStrip.setTokens (tokens);
    progressionStrip.setChords (chordDraftPreview);
    selectStripChord (progressionStrip, index);

    setHighlightedChord (index < (int) chordDraftPreview.chords.size() ? index : -1, 2);
    recordChordEdit();
}

void CorvessaEditor::recompileDraft()
{
    chordDraftPreview = processor.compileProgressionPreview (joinProgressionTokens (chordDraftTokens));
    pianoRoll.setPreview (chordDraftPreview);
    updatePianoRollTokenLabels (chordDraftTokens);
    progressionStrip.setTokens (chordDraftTokens);
    progressionStrip.setChords (chordDraftPreview);
}

void CorvessaEditor::updatePianoRollTokenLabels (const std::vector<ChordToken>& tokens)
{
    pianoRoll.labels = buildTokenLabels (tokens);
    pianoRoll.repaint();
}

std::vector<ChordLabel> CorvessaEditor::buildTokenLabels (const std::vector<ChordToken>& tokens) const
{
    return buildChordTokenLabels (tokens, processor.getCurrentRootKey(), processor.getCurrentScaleName());
}

void CorvessaEditor::removeDraftChord (int index)
{
    if (isSyncFollower() || ! chordDraftActive)
        return;

    storeEditedChordInDraft();
    if (index < 0 || index >= (int) chordDraftTokens.size())
        return;

    auto tokens = chordDraftTokens;
    tokens.erase (tokens.begin() + index);
    chordDraftTokens = std::move (tokens);
    chordDraftEditing = false;
    chordDraftChanged = true;
    chordInsertIndex = -1;
    chordInsertBefore = false;

    recompileDraft();
    clearChordDraftSelection();
    recordChordEdit();
    setStatus ("Status: Chord removed from draft", Palette::libraryGreen);
    layoutContent();
}

void CorvessaEditor::removeAllDraftChords()
{
    if (isSyncFollower() || ! chordDraftActive)
        return;

    // The panel's pending chord goes with the others, unstored.
    chordDraftTokens.clear();
    chordDraftEditing = false;
    chordDraftChanged = true;
    chordInsertIndex = -1;
    chordInsertBefore = false;

    recompileDraft();
    clearChordDraftSelection();
    recordChordEdit();
    setStatus ("Status: All chords removed from draft", Palette::libraryGreen);
    layoutContent();
}

void CorvessaEditor::clearChordDraftSelection()
{
    chordDraftEditing = false;
    chordDraftSelectedIndex = -1;
    chordDraftEditedText = {};
    chordInsertIndex = -1;
    chordInsertBefore = false;

    selectStripChord (progressionStrip, -1);
    selectRollChord (pianoRoll, -1);
    setHighlightedChord (-1, 0);
    chordEditor.showEmpty();
}

//==== the draft's history ===========================================================================

ChordEditState CorvessaEditor::captureChordEditState() const
{
    auto tokens = chordDraftActive ? chordDraftTokens : parseProgressionTokens (processor.getProgression());
    ChordEditState state;

    if (chordDraftActive && chordDraftEditing && chordEditor.isVisible())
    {
        const auto text = chordEditor.hasChord ? chordEditor.buildChordText() : juce::String();
        int index = -1;

        if (text.isNotEmpty())
            index = placeDraftToken (tokens, chordEditor.chordIndex, chordInsertIndex, chordInsertBefore,
                                     parseChordToken (text));

        state.chordIndex = index >= 0 && index < (int) tokens.size() ? index : -1;
        state.chordOpen = state.chordIndex >= 0;
    }

    state.progressionText = joinProgressionTokens (tokens);
    return state;
}

void CorvessaEditor::recordChordEdit()
{
    if (applyingChordEdit || ! chordDraftActive)
        return;

    const auto state = captureChordEditState();

    if (! currentChordEditRecorded)
    {
        resetChordEditHistory (state);
        return;
    }

    // Only a change of the text is a step; a change of the open chord alone moves the
    // current step along with it.
    if (state.progressionText != currentChordEdit.progressionText)
    {
        chordUndoStack.push_back (currentChordEdit);
        trimChordEditStack (chordUndoStack);
        chordRedoStack.clear();
    }

    currentChordEdit = state;
}

void CorvessaEditor::resetChordEditHistory (const ChordEditState& state)
{
    chordUndoStack.clear();
    chordRedoStack.clear();
    currentChordEdit = state;
    currentChordEditRecorded = true;
}

void CorvessaEditor::applyChordEditState (const ChordEditState& state)
{
    const bool wasApplying = applyingChordEdit;
    applyingChordEdit = true;

    const auto tokens = parseProgressionTokens (state.progressionText);
    chordDraftTokens = tokens;
    chordDraftActive = true;
    chordDraftChanged = true;
    chordInsertIndex = -1;
    chordInsertBefore = false;
    updatePianoRollOutput();

    const int index = state.chordIndex;
    if (state.chordOpen && index >= 0 && index < (int) tokens.size() && tokens[(size_t) index].isValid)
    {
        const auto& token = tokens[(size_t) index];
        chordDraftEditedText = token.text;
        chordDraftSelectedIndex = index;
        chordDraftEditing = true;

        chordEditor.setKeyAndScale (processor.getCurrentRootKey(), processor.getCurrentScaleName());
        chordEditor.setContext (tokens, index, true, moodPanel.getMoodName());
        chordEditor.openChord (index, token);
        previewDraftChordChange (index, token.text); // records nothing while the step is applied
    }
    else
    {
        chordDraftEditing = false;
        chordDraftSelectedIndex = -1;
        chordDraftEditedText = {};
        recompileDraft();
        clearChordDraftSelection();
    }

    layoutContent();
    applyingChordEdit = wasApplying;
}

bool CorvessaEditor::undoChordEdit()
{
    return stepChordEditHistory (chordUndoStack, chordRedoStack, "Status: Chord edit undone");
}

bool CorvessaEditor::redoChordEdit()
{
    return stepChordEditHistory (chordRedoStack, chordUndoStack, "Status: Chord edit redone");
}

bool CorvessaEditor::stepChordEditHistory (std::vector<ChordEditState>& from, std::vector<ChordEditState>& to,
                                           const juce::String& statusText)
{
    if (! chordDraftActive || from.empty())
        return false;

    const auto live = captureChordEditState();
    const auto step = from.back();
    from.pop_back();

    // The state left behind can be stepped back to, unless it is the one reached.
    if (live.progressionText != step.progressionText)
    {
        to.push_back (live);
        trimChordEditStack (to);
    }

    applyChordEditState (step);
    currentChordEdit = captureChordEditState();
    currentChordEditRecorded = true;
    setStatus (statusText, Palette::libraryGreen);
    return true;
}

//==== apply, cancel and reset =======================================================================

bool CorvessaEditor::commitChordDraft (const juce::String& statusText)
{
    if (isSyncFollower() || ! chordDraftActive)
        return false;

    storeEditedChordInDraft();

    // Nothing stored and nothing removed: the draft goes without a trace.
    if (! chordDraftChanged)
    {
        resetChordDraft (false);
        return false;
    }

    commitProgressionTokens (chordDraftTokens, statusText, false);
    return true;
}

void CorvessaEditor::commitProgressionTokens (std::vector<ChordToken> tokens, const juce::String& statusText,
                                              bool keepPanelOpen)
{
    if (isSyncFollower())
        return;

    resetChordDraft (false);

    const auto text = joinProgressionTokens (tokens);
    progressionEditor.setText (text, false);
    processor.setProgression (text);
    setStripProgressionText (text);
    storeControlsIntoActiveSection();
    commitSectionHistory();

    if (! keepPanelOpen)
    {
        chordEditor.setVisible (false);
        modalScrim.setVisible (false);
        updatePianoRollOutput();
    }

    setStatus (statusText, Palette::libraryGreen);
}

void CorvessaEditor::resetChordDraft (bool reload)
{
    const bool hadDraft = chordDraftActive;

    chordDraftActive = false;
    chordDraftEditing = false;
    chordDraftChanged = false;
    chordDraftTokens.clear();
    chordDraftEditedText = {};
    chordDraftPreview = {};
    chordDraftSelectedIndex = -1;
    chordUndoStack.clear();
    chordRedoStack.clear();
    currentChordEdit = {};
    currentChordEditRecorded = false;
    selectRollChord (pianoRoll, -1);
    updatePianoRollOutput();

    if (! reload)
        return;

    chordInsertIndex = -1;
    chordInsertBefore = false;

    if (! hadDraft)
        return;

    // The views show the song again.
    setStripProgressionText (processor.getProgression());
    const auto chords = processor.getCompiledChords();
    pianoRoll.setChords (chords);
    progressionStrip.setChords ({ chords, {} });
    pianoRoll.recalculateNoteRange();
    pianoRoll.repaint();
    setHighlightedChord (-1, 0);
}
