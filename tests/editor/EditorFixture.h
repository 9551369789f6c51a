#pragma once

#include "editor/CorvessaEditor.h"
#include "editor/EditorClock.h"
#include "kit/services/SettingsStore.h"
#include "processor/CorvessaProcessor.h"
#include "processor/ProcessorTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

// Reaches the window's children and operations for tests (the window declares it a friend).
class CorvessaEditorTestProbe
{
public:
    explicit CorvessaEditorTestProbe (CorvessaEditor& e) : editor (e) {}

    void tick() { editor.timerCallback (CorvessaEditor::refreshTimerId); }
    void stopRefreshTimer() { editor.stopTimer (CorvessaEditor::refreshTimerId); }
    void layout() { editor.layoutContent(); }
    bool press (const juce::KeyPress& key) { return editor.keyPressed (key); }

    juce::Label& status() { return editor.statusLabel; }
    juce::Label& hint() { return editor.hintLabel; }
    juce::TextButton& helpButton() { return editor.helpButton; }
    HelpComponent& help() { return editor.helpComponent; }
    velmar::SupportDialog& support() { return *editor.supportDialog; }
    velmar::WelcomeDialog& welcome() { return *editor.welcomeDialog; }
    ChordEditPopover& chordEditor() { return editor.chordEditor; }
    ConfirmationDialog& confirmation() { return editor.confirmationDialog; }
    SectionRenameDialog& renameDialog() { return editor.sectionRenameDialog; }
    ModalScrimComponent& scrim() { return editor.modalScrim; }
    PanelComponent& textPanel() { return editor.progressionTextPanel; }
    MoodGeneratorComponent& moodPanel() { return editor.moodPanel; }
    ProjectLibraryOverlay& projectLibrary() { return editor.projectLibrary; }
    ChordJsonOverlay& jsonOverlay() { return *editor.chordJsonOverlay; }
    SectionRowComponent& sectionRow() { return editor.sectionRow; }
    juce::TextButton& autoAdvance() { return editor.autoAdvanceButton; }
    juce::Component& canvas() { return editor.contentWrapper; }
    velmar::EditorScaling& scaling() { return *editor.editorScaling; }
    juce::ResizableCornerComponent& resizeCorner() { return *editor.scaleResetCorner; }
    juce::ComboBox& bodyVoicingCombo() { return editor.bodyVoicingCombo; }

    int& tab() { return editor.selectedArrangementTab; }
    bool& draftActive() { return editor.chordDraftActive; }
    bool& takeOverPending() { return editor.syncTakeOverPending; }
    juce::uint32 holdUntil() const { return editor.statusHoldUntilMs; }

    void selectSection (int index) { editor.selectSection (index); }

    // The section history and the operations on sections.
    SectionHistory& history() { return editor.sectionHistory; }
    bool applyingHistory() const { return editor.applyingSectionHistory; }
    SectionHistory::Snapshot capture() { return editor.captureSectionSnapshot(); }
    void apply (const SectionHistory::Snapshot& s) { editor.applySectionSnapshot (s); }
    void beginHistoryStep() { editor.beginSectionHistoryStep(); }
    void syncKeepingHistory (bool useWorking) { editor.syncControlsKeepingHistory (useWorking); }
    void commitHistory() { editor.commitSectionHistory(); }
    void storeControls() { editor.storeControlsIntoActiveSection(); }
    void addSection() { editor.addEmptySection(); }
    static juce::PopupMenu sectionMenu (int sectionCount) { return CorvessaEditor::buildSectionMenu (sectionCount); }
    void chooseFromSectionMenu (int index, int result) { editor.handleSectionMenuResult (index, result); }
    // Shows a real menu: only where it is refused, or on a display.
    void showSectionMenu (int index) { editor.showSectionMenu (index, nullptr, {}); }
    void confirmDelete (int index) { editor.confirmDeleteSection (index); }
    void deleteSection (int index) { editor.deleteSection (index); }
    void copySection (int index) { editor.copySection (index); }
    void renameSection (int index, const juce::String& name) { editor.renameSection (index, name); }
    juce::Label& sectionHoverLabel() { return editor.sectionHoverLabel; }
    juce::Label& sectionNameLabel() { return editor.sectionNameLabel; }
    bool textApplyPending() const { return editor.isTimerRunning (CorvessaEditor::textApplyTimerId); }
    void startTextApply() { editor.startTimer (CorvessaEditor::textApplyTimerId, 500); }
    // The project the window last loaded or saved.
    juce::String currentProjectFile() const { return editor.currentProjectFile; }
    void selectTab (int tab) { editor.selectArrangementTab (tab); }
    void helpContact() { editor.onHelpContact(); }
    void supportClosed() { editor.onSupportClosed(); }
    void helpToggled (bool on) { editor.onHelpTelemetryToggled (on); }
    void welcomeFinished (bool consent) { editor.onWelcomeFinished (consent); }
    void toggleMoodPanel() { editor.toggleMoodPanel(); }
    void startOneShotTimers()
    {
        editor.startTimer (CorvessaEditor::textApplyTimerId, 500);
        editor.startTimer (CorvessaEditor::holdPreviewTimerId, 250);
    }

    // A child of the canvas by a name of the test's: every component the layout places.
    juce::Component* find (const juce::String& name)
    {
        auto& e = editor;
        const std::pair<const char*, juce::Component*> all[] = {
            { "brand", &e.brandLabel }, { "title", &e.titleLabel }, { "?", &e.helpButton }, { "{}", &e.jsonButton },
            { "Projects", &e.projectsButton }, { "Mood Generator", &e.moodButton }, { "Key:", &e.keyLabel },
            { "key combo", &e.keyCombo }, { "Scale:", &e.scaleLabel }, { "scale combo", &e.scaleCombo },
            { "BPM:", &e.bpmLabel }, { "bpm hint", &e.bpmHintLabel }, { "Sync:", &e.syncLabel },
            { "sync Off", &e.syncOffButton }, { "sync Leader", &e.syncLeaderButton }, { "sync Follower", &e.syncFollowerButton },
            { "Sections", &e.sectionsLabel }, { "section hover", &e.sectionHoverLabel }, { "section row", &e.sectionRow },
            { "Auto-Advance", &e.autoAdvanceButton }, { "section name", &e.sectionNameLabel },
            { "Outputs", &e.outputsLabel }, { "output hint", &e.outputHintLabel }, { "pill All", &e.outputAllPill },
            { "pill Bass", &e.outputBassPill }, { "pill Body", &e.outputBodyPill }, { "pill Shimmer", &e.outputShimmerPill },
            { "DragMIDI", e.dragMidiTile.get() }, { "tile Bass", e.bassClipTile.get() }, { "tile Body", e.bodyClipTile.get() },
            { "tile Shimmer", e.shimmerClipTile.get() },
            { "tab Bass", &e.bassTab }, { "tab Body", &e.bodyTab }, { "tab Shimmer", &e.shimmerTab }, { "tab All", &e.allTab },
            { "+Oct", &e.bassAddOctaveButton }, { "+5th", &e.bassAddFifthButton }, { "Root", &e.bodyAddRootButton },
            { "5th", &e.bodyAddFifthButton }, { "Shimmer toggle", &e.bodyWithShimmerButton }, { "Off", &e.shimmerOffButton },
            { "Top", &e.shimmerTopButton }, { "Color", &e.shimmerColorButton }, { "Halo", &e.shimmerHaloButton },
            { "Legato", &e.legatoButton },
            { "bass octave caption", &e.bassOctaveLabel }, { "bass octave knob", &e.bassOctaveKnob }, { "bass octave combo", &e.bassOctaveCombo },
            { "body octave caption", &e.bodyOctaveLabel }, { "body octave knob", &e.bodyOctaveKnob }, { "body octave combo", &e.bodyOctaveCombo },
            { "shimmer octave caption", &e.shimmerOctaveLabel }, { "shimmer octave knob", &e.shimmerOctaveKnob },
            { "shimmer octave combo", &e.shimmerOctaveCombo },
            { "body voicing caption", &e.bodyVoicingLabel }, { "body voicing knob", &e.bodyVoicingKnob }, { "body voicing combo", &e.bodyVoicingCombo },
            { "shimmer voicing caption", &e.shimmerVoicingLabel }, { "shimmer voicing knob", &e.shimmerVoicingKnob },
            { "shimmer voicing combo", &e.shimmerVoicingCombo },
            { "channel 1 knob", &e.outputKnob }, { "channel 1 label", &e.outputKnobLabel }, { "strip", &e.progressionStrip },
            { "chord editor", &e.chordEditor }, { "viewport", &e.pianoRollViewport }, { "roll title", &e.pianoRollTitleLabel },
            { "roll chord info", &e.pianoRollChordInfoLabel }, { "status", &e.statusLabel }, { "hint", &e.hintLabel },
            { "chord info", &e.chordInfoLabel }, { "UI size", e.editorScaling.get() },
            { "scrim", &e.modalScrim }, { "help", &e.helpComponent }, { "support", e.supportDialog.get() },
            { "mood", &e.moodPanel }, { "json", e.chordJsonOverlay.get() }, { "projects", &e.projectLibrary },
            { "text panel", &e.progressionTextPanel }, { "confirm", &e.confirmationDialog }, { "rename", &e.sectionRenameDialog },
            { "welcome", e.welcomeDialog.get() },
        };

        for (const auto& [key, component] : all)
            if (name == key)
                return component;

        ADD_FAILURE() << "no child called " << name;
        return nullptr;
    }

    // The arrangement controls: knob menus, the roll the window feeds.
    static juce::PopupMenu knobQuickChoices (const juce::ComboBox& combo) { return CorvessaEditor::makeKnobQuickChoiceMenu (combo); }
    void chooseQuickChoice (juce::ComboBox& combo, int itemId) { editor.applyKnobQuickChoice (combo, itemId); }
    void requestQuickChoices (const juce::String& knob)
    {
        if (auto* k = dynamic_cast<CorvessaEditor::ArrangementKnob*> (find (knob)); k != nullptr && k->onQuickChoiceRequested)
            k->onQuickChoiceRequested();
    }
    PianoRollComponent& roll() { return editor.pianoRoll; }

    juce::Rectangle<int> statusCard() const { return editor.statusCardBounds; }
    juce::Rectangle<int> sectionsCard() const { return editor.sectionsCardBounds; }
    juce::Rectangle<int> outputsCard() const { return editor.outputsCardBounds; }
    juce::Rectangle<int> arrangementCard() const { return editor.arrangementCardBounds; }
    juce::Rectangle<int> highlight() const { return editor.chordEditorHighlightBounds; }

    //==== outputs, clip tiles and sync ============================================================
    void setOutputChoice (int value) { editor.setOutputLayerChoice (value); }
    void updateOutputControls (int value, bool applyFallback) { editor.updateOutputControls (value, applyFallback); }
    bool hasShimmerNotes() const { return editor.hasShimmerNotes(); }
    juce::PopupMenu outputMenu() const { return editor.buildOutputLayerMenu(); }
    void outputMenuResult (int itemId) { editor.handleOutputLayerMenuResult (itemId); }
    void updatePianoRollOutput() { editor.updatePianoRollOutput(); }
    juce::File createClipFile (juce::Component* tile) { return editor.createClipFile (tile); }
    juce::PopupMenu clipMenu() const { return CorvessaEditor::buildClipMenu(); }
    void clipMenuResult (juce::Component* tile, int itemId) { editor.handleClipMenuResult (tile, itemId); }
    void saveClipToDisk (const juce::File& file, const juce::String& layer) { editor.saveClipToDisk (file, layer); }
    void requestSyncMode (int mode, bool takeOver) { editor.requestSyncMode (mode, takeOver); }
    void applySyncEditLock() { editor.applySyncEditLock(); }
    PianoRollComponent& pianoRoll() { return editor.pianoRoll; }
    ProgressionStripComponent& strip() { return editor.progressionStrip; }
    juce::TextEditor& progressionField() { return editor.progressionEditor; }

    // The kit's native drag and save dialog replaced by a test's own (the window builds its
    // controllers with the kit's defaults, which need a display and a user).
    void useDragStarter (velmar::FileDragController::Starter starter)
    {
        std::destroy_at (&editor.fileDragController);
        ::new (&editor.fileDragController) velmar::FileDragController (std::move (starter));
    }
    void useSaveBackend (velmar::MidiFileSaveController::Backend backend)
    {
        std::destroy_at (&editor.midiFileSaveController);
        ::new (&editor.midiFileSaveController) velmar::MidiFileSaveController (std::move (backend));
    }

private:
    CorvessaEditor& editor;
};

// A millisecond clock the test moves by hand.
struct ManualClock
{
    ManualClock() { EditorClock::setSourceForTesting ([this] { return now; }); }
    ~ManualClock() { EditorClock::setSourceForTesting ({}); }

    juce::uint32 now = 1000;
};

// A processor constructed directly and its window, as a host opens it. The first-run card is
// marked seen unless a test wants it.
class EditorTest : public ProcessorTest
{
protected:
    void SetUp() override
    {
        processor->getTelemetryClient().markWelcomeSeen();
        // Every window of a test process shares one settings file: start each test at 100 %.
        velmar::SettingsStore ("VELMAR/Corvessa").writeSection ("ui", juce::var (new juce::DynamicObject()));
        openEditor();
    }

    void TearDown() override { closeEditor(); }

    // Opens the window as a host does. Settled, the window's delayed heartbeat call (250 ms
    // after opening) has run: a call still pending when the framework shuts down is never freed.
    void openEditor (bool settle = true)
    {
        editor.reset (dynamic_cast<CorvessaEditor*> (processor->createEditor()));
        ASSERT_NE (editor, nullptr);
        probe = std::make_unique<CorvessaEditorTestProbe> (*editor);
        // The tests tick the window themselves, so that nothing changes behind their backs
        // while they serve messages.
        probe->stopRefreshTimer();
        if (settle)
        {
            // Timers fire in the order they fall due while messages are served: one of ours due
            // after the window's has run only once the window's has.
            auto later = std::make_shared<bool> (false);
            juce::Timer::callAfterDelay (300, [later] { *later = true; });
            ASSERT_TRUE (pumpUntil ([later] { return *later; }));
        }
    }

    void closeEditor()
    {
        probe.reset();
        if (editor != nullptr)
        {
            processor->editorBeingDeleted (editor.get());
            editor.reset();
        }
    }

    // Display tests: the window on the private display's desktop, shown and settled; with the
    // keyboard focus as well unless asked not to (without it a menu there is dismissed at once).
    void showOnDesktop (bool withFocus = true)
    {
        editor->setTopLeftPosition (40, 40);
        editor->addToDesktop (juce::ComponentPeer::windowIsTemporary);
        editor->setVisible (true);
        pumpUntil ([] { return false; }, 300);

        if (withFocus)
        {
            editor->grabKeyboardFocus();
            pumpUntil ([] { return false; }, 200);
        }
    }

    // Waits until the generation thread has published the current state.
    void waitForCompile()
    {
        ASSERT_TRUE (pumpUntil ([this] { return ! processor->isGenerationPending(); }));
    }

    // A song of sections given as (name, progression), everything else at its defaults.
    static SectionList song (std::initializer_list<std::pair<const char*, const char*>> sections)
    {
        SectionList list;
        for (const auto& [name, progression] : sections)
        {
            list.emplace_back();
            list.back().name = name;
            list.back().progression = progression;
        }
        return list;
    }

    // The update checker knows of version 9.9.9, as cached from an earlier check.
    void announceUpdate()
    {
        auto update = std::make_unique<juce::DynamicObject>();
        update->setProperty ("latest_version", "9.9.9");
        update->setProperty ("download_url", "https://127.0.0.1/download");
        ASSERT_TRUE (velmar::SettingsStore ("VELMAR/Corvessa").writeSection ("updates", juce::var (update.release())));
        processor->getUpdateChecker().loadCachedResult();
        ASSERT_TRUE (processor->getUpdateChecker().isUpdateAvailable());
    }

    juce::Rectangle<int> boundsOf (const juce::String& name)
    {
        auto* component = probe->find (name);
        return component != nullptr ? component->getBounds() : juce::Rectangle<int>();
    }

    bool isShown (const juce::String& name)
    {
        auto* component = probe->find (name);
        return component != nullptr && component->isVisible();
    }

    ManualClock clock;
    std::unique_ptr<CorvessaEditor> editor;
    std::unique_ptr<CorvessaEditorTestProbe> probe;
};
