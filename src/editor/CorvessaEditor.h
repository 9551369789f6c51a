#pragma once

#include "chord_editor/ChordEditPopover.h"
#include "chord_editor/ChordEditState.h"
#include "editor/SectionHistory.h"
#include "editor/StatusHintLabel.h"
#include "editor/look/EditorLookAndFeel.h"
#include "editor/look/OutputPillLookAndFeel.h"
#include "editor/look/RoleTabLookAndFeel.h"
#include "kit/clips/FileDragController.h"
#include "kit/clips/MidiFileSaveController.h"
#include "kit/dialogs/EditorScaling.h"
#include "kit/dialogs/PopupMenuPlacement.h"
#include "kit/dialogs/SupportDialog.h"
#include "kit/dialogs/WelcomeDialog.h"
#include "editor/panels/ConfirmationDialog.h"
#include "editor/panels/HelpComponent.h"
#include "editor/panels/ModalScrimComponent.h"
#include "editor/panels/PanelComponent.h"
#include "editor/panels/SectionRenameDialog.h"
#include "editor/views/PianoRollComponent.h"
#include "editor/views/ProgressionStripComponent.h"
#include "editor/views/SectionRowComponent.h"
#include "harmony/ProgressionText.h"
#include "mood/panel/MoodGeneratorComponent.h"
#include "processor/CompiledSection.h"
#include "projects/ChordJsonOverlay.h"
#include "projects/ProjectLibraryOverlay.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CorvessaProcessor;
class KeyboardFocusMouseListener;
struct ChordPreset;
struct ProjectLibraryReport;
struct ProjectSaveRequest;

// The plug-in window. It owns every view and panel the window shows, wires their callbacks to
// its own operations and reaches the arrangement only through the processor's services, which
// run on without it. Everything here runs on the message thread.
//
// The children live on a 600 x 860 logical canvas (ContentWrapper) scaled as a whole; the
// members are declared in construction order, which also decides the drawing order (the canvas
// holds them in reverse). The implementation is split by concern: CorvessaEditor.cpp
// (construction, wiring, keys, mouse, destruction), CorvessaEditorLayout.cpp,
// CorvessaEditorRefresh.cpp (the 33 ms tick and the status line), CorvessaEditorSections.cpp,
// CorvessaEditorControls.cpp, CorvessaEditorOutputs.cpp, CorvessaEditorSync.cpp, and the chord
// draft, mood panel and project members in the folders of those subsystems.
class CorvessaEditor : public juce::AudioProcessorEditor,
                       public juce::Button::Listener,
                       public juce::TextEditor::Listener,
                       public juce::ComboBox::Listener,
                       public juce::Slider::Listener,
                       public juce::DragAndDropContainer,
                       public juce::MultiTimer,
                       public juce::ChangeListener
{
public:
    using CustomLookAndFeel = EditorLookAndFeel;
    using RoleTabLookAndFeel = ::RoleTabLookAndFeel;
    using OutputPillLookAndFeel = ::OutputPillLookAndFeel;

    static constexpr int roleTabAccentColourId = RoleTabLookAndFeel::accentColourId;
    static constexpr int outputPillAccentColourId = OutputPillLookAndFeel::accentColourId;

    // The logical canvas every child is laid out on.
    static constexpr int logicalWidth = 600;
    static constexpr int logicalHeight = 860;

    // Timer ids of the editor's multi-timer.
    enum TimerId
    {
        refreshTimerId = 1,       // every 33 ms: the refresh tick
        textApplyTimerId = 2,     // one-shot, 500 ms after the last edit of the progression text
        holdPreviewTimerId = 3,   // one-shot, 250 ms after a chord press
        heartbeatTimerId = 4      // one-shot, 250 ms after the window opened
    };

    // The whole logical canvas; paints the cards and the chord-editor highlight and lays the
    // canvas out when it is resized.
    class ContentWrapper : public juce::Component
    {
    public:
        void paint (juce::Graphics&) override;
        void paintOverChildren (juce::Graphics&) override;
        void resized() override;

        CorvessaEditor* editor = nullptr;
    };

    // The resize corner on the editor itself (outside the canvas); a double-click returns to
    // the default size.
    class ScaleResetCorner : public juce::ResizableCornerComponent
    {
    public:
        ScaleResetCorner (CorvessaEditor& owner, juce::ComponentBoundsConstrainer* constrainer);
        void mouseDoubleClick (const juce::MouseEvent&) override;

        CorvessaEditor* editor = nullptr;
    };

    // A knob whose right press asks for a menu of exact choices instead of moving the knob.
    class ArrangementKnob : public juce::Slider
    {
    public:
        void mouseDown (const juce::MouseEvent&) override;
        void startedDragging() override;
        void stoppedDragging() override;

        // True from the start of a drag (or one wheel step) to its end, while the value
        // changes are not yet the user's final choice.
        bool isDragging() const noexcept { return dragging; }

        std::function<void()> onQuickChoiceRequested;

    private:
        bool dragging = false;
    };

    // The "Auto-Advance" toggle with its indicator dot.
    class AutoAdvanceButton : public juce::TextButton
    {
    public:
        void paintButton (juce::Graphics&, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
    };

    // The scrolling viewport of the piano roll, which it does not own.
    class PianoRollViewport : public juce::Viewport
    {
    public:
        void paintOverChildren (juce::Graphics&) override;
        void visibleAreaChanged (const juce::Rectangle<int>&) override;
    };

    explicit CorvessaEditor (CorvessaProcessor& owner);
    ~CorvessaEditor() override;

    //==== framework overrides ======================================================================
    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    bool keyPressed (const juce::KeyPress&) override;
    void focusGained (FocusChangeType) override;
    void resized() override;
    void buttonClicked (juce::Button*) override;
    void textEditorTextChanged (juce::TextEditor&) override;
    void textEditorReturnKeyPressed (juce::TextEditor&) override;
    void comboBoxChanged (juce::ComboBox*) override;
    void sliderValueChanged (juce::Slider*) override;
    void sliderDragEnded (juce::Slider*) override;
    void timerCallback (int timerID) override;
    void changeListenerCallback (juce::ChangeBroadcaster*) override;

    //==== layout ===================================================================================
    // Places every child on the canvas for the current state (chord editor open, tab, draft,
    // tempo hint, follower, open panels, scale) and raises the visible panels. Idempotent.
    void layoutContent();

    //==== refresh and status line ==================================================================
    void syncControlsFromProcessor (bool useWorkingSection);
    void syncPlaybackState();
    void updateGenerationStatus();
    // Held for 2000 ms, so that the tick's compile-state texts do not overwrite it at once; green,
    // or the warning yellow for a text that reads "Status: Could not ...".
    void showStatus (const juce::String& text);
    void refreshHelpButton();

private:
    friend class CorvessaEditorTestProbe;
    friend class ChordDraftTestProbe;
    friend class KeyboardFocusMouseListener;

    //==== construction helpers =====================================================================
    void makeOctaveSelector (juce::Label& label, juce::ComboBox& combo, const juce::String& caption,
                             int octave, juce::Colour background);
    void makeVoicingSelector (juce::Label& label, juce::ComboBox& combo, const juce::String& caption, int index);
    void styleComboBox (juce::ComboBox& combo, juce::Colour background);
    void addChipButton (juce::Button& button, const juce::String& text, const juce::String& tooltip, bool togglesOnClick);
    void configureArrangementKnob (ArrangementKnob& knob, const juce::String& tooltipBase, double minimum, double maximum,
                                   std::function<juce::String (double)> valueText);
    void colourKnob (juce::Slider& knob, juce::Colour colour);
    std::unique_ptr<juce::DrawableButton> makeClipTile (const juce::String& name);
    void wireChildCallbacks();

    //==== window operations ========================================================================
    void selectSection (int index);
    void onAutoAdvanceClicked();
    void onHelpClosed();
    void onHelpTelemetryToggled (bool enabled);
    void onHelpContact();
    void onSupportClosed();
    void onWelcomeFinished (bool consent);
    void onAddZoneHoverChanged (bool inside);
    void selectArrangementTab (int tab);
    void updateRoleTabs();
    void updateLegatoButton (const SectionMode::SectionData& section);
    void styleToggleChip (juce::Button& button, juce::Colour colour);
    void setLegatoForSelectedTab (bool shouldHold);
    void syncKnobsFromCombos();
    void applyKnobQuickChoice (juce::ComboBox& combo, int itemId);
    void toggleHelp();

    //==== layout helpers ===========================================================================
    void placeCaptionedKnob (juce::Rectangle<int> area, juce::Label& label, juce::Component& knob, const juce::String& text);
    void fitPianoRollViewport();

    //==== status line ==============================================================================
    // Writes the status text and colour, without a hold.
    void setStatus (const juce::String& text, juce::Colour colour);
    // The same, held for 2000 ms.
    void setHeldStatus (const juce::String& text, juce::Colour colour);
    // True once the hold has run out. The millisecond counter wraps, so the hold is compared
    // by the signed difference; a hold that has run out is cleared.
    bool isStatusHoldOver();
    void updateChordInfo();

    //==== section row and history (CorvessaEditorSections.cpp) =====================================
    // The song as the user sees it: the selected section holds the live working settings.
    SectionHistory::Snapshot captureSectionSnapshot();
    // Makes the processor, the row and the controls show the snapshot, without resetting the history.
    void applySectionSnapshot (const SectionHistory::Snapshot& snapshot);
    // Records one step leading to the live state (nothing while a snapshot is being applied).
    void commitSectionHistory();
    // An operation that replaces sections and must undo as one step runs:
    //   beginSectionHistoryStep();                 // the step starts from the live state
    //   ... change the processor and the row ...
    //   syncControlsKeepingHistory (true);         // the refresh leaves the history alone
    //   commitSectionHistory();                    // one step
    void beginSectionHistoryStep();
    void syncControlsKeepingHistory (bool useWorkingSection);
    void refreshSectionRow (bool applyWorking);
    void storeControlsIntoActiveSection();
    void updateSectionLabels();
    void addEmptySection();
    void showSectionMenu (int index, juce::Component* source, juce::Point<int> screenPosition);
    // The section menu's items, and what a chosen item does (the menu itself needs a display).
    static juce::PopupMenu buildSectionMenu (int sectionCount);
    void handleSectionMenuResult (int index, int result);
    void openRenameDialog (int index);
    void confirmDeleteSection (int index);
    void deleteSection (int index);
    void copySection (int index);
    void renameSection (int index, const juce::String& name);

    // The section a dialog was opened for. While the dialog is open an outside change (an
    // AI-client edit, a host state load) may put another section at that index; the dialog's
    // action then does nothing rather than act on the wrong section.
    struct SectionTarget
    {
        int index = -1;
        juce::String name, progression;

        static SectionTarget of (const SectionList& sections, int index);
        bool matches (const SectionList& sections) const;
    };
    void renameTargetSection (int index, const juce::String& name);
    void deleteTargetSection (const SectionTarget& target);

    // The processor's sections, when this window may edit them and `index` names one of them.
    std::optional<SectionList> editableSectionsAt (int index);
    // Hands the list to the processor (recompiled) with `selected` selected and, when there is
    // one, loaded as the working section; the row shows the same.
    void putSections (const SectionList& sections, int selected);

    //==== arrangement controls (CorvessaEditorControls.cpp) ========================================
    void styleRoleTab (juce::TextButton& tab, juce::Colour accent);
    void addHeaderLabel (juce::Label& label, const juce::String& text);
    void setUpKeyScaleCombo (juce::ComboBox& combo);
    void syncComboFromKnob (juce::Slider* knob);
    void showKnobQuickChoices (ArrangementKnob& knob, juce::ComboBox& combo);
    // One item per combo item, in combo order, with its id and text, the selected one ticked.
    static juce::PopupMenu makeKnobQuickChoiceMenu (const juce::ComboBox& combo);
    // The hidden combo a knob stands for; null for any other slider.
    juce::ComboBox* comboForKnob (const juce::Slider* knob);
    // Enables the arrangement, voicing, key and scale controls and the header buttons that
    // open editing panels only while the song may be edited here (not as a sync follower).
    void applyControlsEditLock (bool editable);
    // The hover hint of a control of the hint table (CorvessaEditorHints.cpp); nothing for a
    // control outside it. Pills and clip tiles have hints of their own.
    std::optional<juce::String> hoverHintFor (const juce::Component* control) const;

    //==== outputs and clips (CorvessaEditorOutputs.cpp) ============================================
    void setOutputLayerChoice (int value);
    void toggleOutputLayer (int layer);
    void updateOutputControls (int value, bool applyFallback);
    void updateOutputKnob (int value);
    void updatePianoRollOutput();
    // True when a voiced chord of the shown compiled section has Shimmer notes.
    bool hasShimmerNotes() const;
    void setShimmerMode (int style);
    void updateShimmerControls();
    void updateBodyWithShimmerToggle();
    void updateClipTileTooltips();
    // The four clip tiles; a tile's layer is "Bass", "Body" or "Shimmer", "All" for any other.
    juce::Component* findClipTile (const juce::Component* componentOrChild) const;
    juce::String clipTileLayerName (const juce::Component* tile) const;
    juce::File createClipFile (juce::Component* tile);
    void showClipMenu (juce::Component* tile);
    static juce::PopupMenu buildClipMenu();
    void handleClipMenuResult (juce::Component* tile, int itemId);
    void saveClipToDisk (const juce::File& file, const juce::String& layer);
    void showOutputLayerMenu();
    juce::PopupMenu buildOutputLayerMenu() const;
    void handleOutputLayerMenuResult (int itemId);

    //==== sync (CorvessaEditorSync.cpp) ============================================================
    bool isSyncFollower() const;
    void requestSyncMode (int mode, bool takeOver);
    void confirmSyncTakeOver();
    void updateSyncButtons (int mode);
    void applySyncEditLock();

    //==== chord draft, presses and the text panel (chord_editor/) ==================================
    // Ends every chord edit without a word: presses, previews, the text panel, the chord editor
    // and the draft. Project loads, presets, generated sections and the follower switch call it.
    void closeChordEditing();
    // The text panel or the chord editor is open, or a draft exists.
    bool isEditingProgression() const;
    // Runs the action at once, or after the user agreed to abandon the chord edit in progress.
    void confirmAbandonChordEdit (std::function<void()> action);

    // Presses, previews and the chord menu (CorvessaEditorChordPress.cpp).
    void chordPressStarted (int index, juce::Component* source, juce::Point<int> position);
    void chordPressDragged (int index, juce::Component* source, juce::Point<int> position);
    void chordPressReleased (int index, juce::Component* source, juce::Point<int> position);
    void cancelChordPress();
    void previewChord (int index);
    void setHighlightedChord (int index, int source);
    void showChordContextMenu (int index, juce::Component* source, juce::Point<int> position);
    juce::PopupMenu makeChordContextMenu (int index) const;
    void handleChordMenuResult (int index, int itemId);

    // The draft and its history (CorvessaEditorChordDraft.cpp).
    void openChordEditor (int index);
    void openChordEditorForAppend();
    void openChordEditorForInsert (int index, bool before);
    void beginChordDraftEdit (std::vector<ChordToken> tokens, int index, const juce::String& text);
    ChordToken makeDefaultChordToken() const;
    bool storeEditedChordInDraft();
    void previewDraftChordChange (int index, const juce::String& tokenText);
    void recompileDraft();
    void updatePianoRollTokenLabels (const std::vector<ChordToken>& tokens);
    std::vector<ChordLabel> buildTokenLabels (const std::vector<ChordToken>& tokens) const;
    void removeDraftChord (int index);
    void removeAllDraftChords();
    void clearChordDraftSelection();
    ChordEditState captureChordEditState() const;
    void recordChordEdit();
    void resetChordEditHistory (const ChordEditState& state);
    void applyChordEditState (const ChordEditState& state);
    bool undoChordEdit();
    bool redoChordEdit();
    // Takes the newest step of one stack, keeping the live state on the other (undo and redo).
    bool stepChordEditHistory (std::vector<ChordEditState>& from, std::vector<ChordEditState>& to, const juce::String& statusText);
    bool commitChordDraft (const juce::String& statusText);
    void commitProgressionTokens (std::vector<ChordToken> tokens, const juce::String& statusText, bool keepPanelOpen);
    void resetChordDraft (bool reload);

    // The progression text panel and the global scale (CorvessaEditorProgressionText.cpp).
    void openProgressionTextPanel();
    void closeProgressionTextPanel();
    void applyProgressionText();
    void setStripProgressionText (const juce::String& text);
    void applyGlobalScale (const juce::String& root, const juce::String& scale, const juce::String& bpmText);
    void applyKeyScaleFromCombos();

    //==== mood panel (mood/panel/) =================================================================
    void onMoodGeneratorClosed();
    void onMoodSettingsChanged();
    void onMoodSectionsGenerated (const std::vector<SectionMode::SectionData>& sections);
    void applyMoodSections (const std::vector<SectionMode::SectionData>& sections);
    void toggleMoodPanel();
    // Gives the panel the mood settings the processor holds, where it shows others; true when
    // its visibility changed.
    bool restoreMoodPanel();

    //==== projects and presets (projects/) =========================================================
    void showProjectLibrary();
    void saveLibraryProject (const juce::String& name, const juce::String& description);
    void saveProjectToFile (const juce::String& name, const juce::String& description, const juce::File& target,
                            bool askOverwrite);
    void loadLibraryProject (const juce::File& file);
    void deleteLibraryProject (const juce::File& file);
    juce::String makeSupportProjectSnapshot();
    void openChordJsonOverlay();
    void applyChordPreset (const ChordPreset& preset);
    void importSectionPalette (const std::vector<ChordPreset>& presets);
    void onProjectSave (const juce::String& name, const juce::String& description);
    void onProjectLoad (const juce::File& file);
    void onProjectDelete (const juce::File& file);
    void onOpenProjectsFolder();
    juce::String onSupportSnapshot();
    void performProjectSave (const ProjectSaveRequest& request);
    void showLibraryReport (const ProjectLibraryReport& report);

    //==== members, in construction order ===========================================================
    // 1: the project file the window last loaded or saved
    juce::String currentProjectFile, currentProjectHash;
    // 2
    CorvessaProcessor& processor;
    // 3, 4: handing MIDI clips to the user
    velmar::FileDragController fileDragController;
    velmar::MidiFileSaveController midiFileSaveController;
    // 5: state that lives while the window is open
    bool needsControlRefresh = true;
    juce::uint32 statusHoldUntilMs = 0;
    int chordInsertIndex = -1;
    bool chordInsertBefore = false;
    int pressedChordIndex = -1;
    juce::Component* pressSource = nullptr;
    juce::Point<int> pressPosition;
    bool pressActive = false;
    bool pressPreviewPlaying = false;
    bool pressMoved = false;
    int highlightSource = 0;
    bool chordDraftActive = false;
    bool chordDraftEditing = false;
    bool chordDraftChanged = false;
    int chordDraftSelectedIndex = -1;
    juce::String chordDraftEditedText;
    std::vector<ChordToken> chordDraftTokens;
    juce::int64 lastExternalEditCount = 0;
    juce::uint64 lastOutsideSongChangeCount = 0;
    bool syncTakeOverPending = false;
    // 6: the chord draft's compiled preview and its own history
    ProgressionPreview chordDraftPreview;
    std::vector<ChordEditState> chordUndoStack;
    std::vector<ChordEditState> chordRedoStack;
    ChordEditState currentChordEdit;
    bool currentChordEditRecorded = false;
    bool applyingChordEdit = false;
    // 7: rectangles the layout fills for painting
    juce::Rectangle<int> chordEditorHighlightBounds, arrangementCardBounds, sectionsCardBounds,
                         outputsCardBounds, spareCardBounds;
    // 8: 0 Bass, 1 Body, 2 Shimmer
    int selectedArrangementTab = 1;
    // 9, 10
    SectionHistory sectionHistory;
    bool applyingSectionHistory = false;
    SectionTarget renameTarget;   // the section the rename dialog was opened for
    // 11
    std::unique_ptr<KeyboardFocusMouseListener> keyboardFocusListener;
    // 12
    juce::Label brandLabel, titleLabel;
    // 13, 14: the progression text panel and its children
    juce::TextEditor progressionEditor;
    juce::TextButton progressionCloseButton;
    PanelComponent progressionTextPanel;
    // 15 to 18
    ProgressionStripComponent progressionStrip;
    ModalScrimComponent modalScrim;
    ChordEditPopover chordEditor;
    ConfirmationDialog confirmationDialog;
    SectionRenameDialog sectionRenameDialog;
    // 19: role tabs
    juce::TextButton bassTab, bodyTab, shimmerTab;
    juce::TextButton allTab;   // exists for the Channel 1 "All" choice; the layout never shows it
    // 20: layer clip tiles
    std::unique_ptr<juce::DrawableButton> bassClipTile, bodyClipTile, shimmerClipTile;
    // 21: arrangement controls
    juce::TextButton bassAddOctaveButton, bassAddFifthButton, bodyAddRootButton, bodyAddFifthButton,
                     bodyWithShimmerButton, shimmerOffButton, shimmerTopButton, shimmerColorButton, shimmerHaloButton;
    juce::Label bassOctaveLabel;
    juce::ComboBox bassOctaveCombo;
    ArrangementKnob bassOctaveKnob;
    juce::Label bodyOctaveLabel;
    juce::ComboBox bodyOctaveCombo;
    ArrangementKnob bodyOctaveKnob;
    juce::Label shimmerOctaveLabel;
    juce::ComboBox shimmerOctaveCombo;
    ArrangementKnob shimmerOctaveKnob;
    juce::TextButton legatoButton;
    juce::Label bodyVoicingLabel;
    juce::ComboBox bodyVoicingCombo;
    ArrangementKnob bodyVoicingKnob;
    juce::Label shimmerVoicingLabel;
    juce::ComboBox shimmerVoicingCombo;
    ArrangementKnob shimmerVoicingKnob;
    // 22: output controls
    juce::Label outputsLabel, outputHintLabel;
    juce::TextButton outputAllPill, outputBassPill, outputBodyPill, outputShimmerPill;
    ArrangementKnob outputKnob;
    juce::Label outputKnobLabel;
    // 23: header controls
    juce::Label keyLabel;
    juce::ComboBox keyCombo;
    juce::Label scaleLabel;
    juce::ComboBox scaleCombo;
    juce::Label bpmLabel, bpmHintLabel, syncLabel;
    juce::TextButton syncOffButton, syncLeaderButton, syncFollowerButton;
    // 24
    juce::Rectangle<int> separatorBounds;
    // 25
    juce::Label pianoRollTitleLabel, pianoRollChordInfoLabel;
    // 26
    std::unique_ptr<juce::DrawableButton> dragMidiTile;
    // 27
    PianoRollViewport pianoRollViewport;
    PianoRollComponent pianoRoll;
    // 28 to 30: the status row
    juce::Label statusLabel;
    juce::Label chordInfoLabel;
    StatusHintLabel hintLabel;
    // 31
    juce::Rectangle<int> statusCardBounds, statusLineBounds;
    // 32 to 35: help, support and welcome
    juce::TextButton helpButton;
    HelpComponent helpComponent;
    std::unique_ptr<velmar::SupportDialog> supportDialog;
    std::unique_ptr<velmar::WelcomeDialog> welcomeDialog;
    // 36 to 40: mood panel, presets and projects
    juce::TextButton moodButton;
    MoodGeneratorComponent moodPanel;
    std::unique_ptr<ChordJsonOverlay> chordJsonOverlay;
    ProjectLibraryOverlay projectLibrary;
    juce::TextButton jsonButton, projectsButton;
    // 41 to 43: sections
    SectionRowComponent sectionRow;
    juce::Label sectionsLabel, sectionHoverLabel, sectionNameLabel;
    AutoAdvanceButton autoAdvanceButton;
    // 44
    CustomLookAndFeel customLookAndFeel;
    RoleTabLookAndFeel roleTabLookAndFeel;
    OutputPillLookAndFeel outputPillLookAndFeel;
    // 45: processor values last seen by the tick
    bool cacheValid = false;
    int cachedSyncMode = 0;
    bool cachedAnotherLeader = false;
    int cachedOutputLayerMode = 0;
    bool cachedBassLegato = false, cachedBodyLegato = true, cachedShimmerLegato = true;
    int cachedBodyVoicing = 2, cachedShimmerVoicing = 2;
    int cachedSelectedSection = -1;
    int lastFollowedSection = -1;
    // 46 to 49: the canvas, menus, the resize corner and the UI size
    ContentWrapper contentWrapper;
    velmar::PopupMenuPlacement::Host popupMenuHost;
    std::unique_ptr<ScaleResetCorner> scaleResetCorner;
    std::unique_ptr<velmar::EditorScaling> editorScaling;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CorvessaEditor)
};
