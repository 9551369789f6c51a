#include "editor/CorvessaEditor.h"

#include "editor/EditorTexts.h"
#include "editor/look/Palette.h"
#include "harmony/ScaleTable.h"
#include "kit/services/ServiceAddresses.h"
#include "processor/CorvessaProcessor.h"

// Any press in the window that does not land in a text field gives the editor the keyboard
// focus, so that the window's shortcuts keep working after a click on a button or a view.
class KeyboardFocusMouseListener : public juce::MouseListener
{
public:
    explicit KeyboardFocusMouseListener (CorvessaEditor& owner) : editor (owner) {}

    void mouseDown (const juce::MouseEvent& e) override
    {
        for (auto* component = e.originalComponent; component != nullptr; component = component->getParentComponent())
            if (dynamic_cast<juce::TextEditor*> (component) != nullptr)
                return;

        editor.grabKeyboardFocus();
    }

private:
    CorvessaEditor& editor;
};

namespace
{
constexpr int statusHoldMs = 2000;

const juce::Colour roleTabColours[] = { Palette::bassLayer, Palette::bodyLayer, Palette::shimmerLayer };

void styleLabel (juce::Label& label, const juce::String& text, float height, bool bold, juce::Colour colour,
                 juce::Justification justification)
{
    label.setText (text, juce::dontSendNotification);
    label.setFont (juce::Font (height, bold ? juce::Font::bold : juce::Font::plain));
    label.setColour (juce::Label::textColourId, colour);
    label.setJustificationType (justification);
}

void styleHeaderButton (juce::TextButton& button)
{
    button.setColour (juce::TextButton::buttonColourId, Palette::surface0);
    button.setColour (juce::TextButton::buttonOnColourId, Palette::surface1);
    button.setColour (juce::TextButton::textColourOffId, Palette::text);
    button.setColour (juce::TextButton::textColourOnId, Palette::text);
}
} // namespace

CorvessaEditor::CorvessaEditor (CorvessaProcessor& owner)
    : juce::AudioProcessorEditor (owner),
      processor (owner),
      fileDragController (velmar::FileDragController::Starter {}),
      midiFileSaveController (velmar::MidiFileSaveController::Backend {}),
      lastExternalEditCount ((juce::int64) owner.getExternalEditCounter()),
      lastOutsideSongChangeCount (owner.getOutsideSongChangeCounter()),
      pianoRoll (owner)
{
    // 2: the window's look, its keyboard focus, and the listener that keeps the focus here.
    setLookAndFeel (&customLookAndFeel);
    customLookAndFeel.setColour (juce::PopupMenu::backgroundColourId, Palette::mantle);
    customLookAndFeel.setColour (juce::PopupMenu::textColourId, Palette::text);
    customLookAndFeel.setColour (juce::PopupMenu::highlightedBackgroundColourId, Palette::surface1);
    customLookAndFeel.setColour (juce::PopupMenu::highlightedTextColourId, Palette::text);
    setWantsKeyboardFocus (true);
    keyboardFocusListener = std::make_unique<KeyboardFocusMouseListener> (*this);
    addMouseListener (keyboardFocusListener.get(), true);

    // 3: header, progression text panel and strip.
    styleLabel (brandLabel, "VELMAR", 12.0f, true, Palette::mauve, juce::Justification::centredLeft);
    styleLabel (titleLabel, "CORVESSA", 26.0f, true, Palette::text, juce::Justification::centredLeft);
    addAndMakeVisible (brandLabel);
    addAndMakeVisible (titleLabel);

    progressionTextPanel.setTitle ("Chord Progression");
    progressionEditor.setMultiLine (false);
    progressionEditor.setText (processor.getProgression(), juce::dontSendNotification);
    progressionEditor.addListener (this);
    progressionCloseButton.setButtonText ("Close");
    progressionCloseButton.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    progressionCloseButton.addListener (this);
    progressionTextPanel.addAndMakeVisible (progressionEditor);
    progressionTextPanel.addAndMakeVisible (progressionCloseButton);
    addChildComponent (progressionTextPanel);

    setStripProgressionText (processor.getProgression());
    addChildComponent (progressionStrip);

    // 4: scrim, chord editor and the two dialogs.
    addChildComponent (modalScrim);
    addChildComponent (chordEditor);
    addChildComponent (confirmationDialog);
    addChildComponent (sectionRenameDialog);

    // 5: arrangement controls.
    const std::pair<juce::TextButton*, const char*> tabs[] = {
        { &bassTab, "Bass" }, { &bodyTab, "Body" }, { &shimmerTab, "Shimmer" }
    };
    for (size_t i = 0; i < std::size (tabs); ++i)
    {
        const auto& [tab, name] = tabs[i];
        addChipButton (*tab, name, juce::String ("Show ") + name + " arrangement controls.", false);
        tab->setLookAndFeel (&roleTabLookAndFeel);
        styleRoleTab (*tab, roleTabColours[i]);
    }
    addChipButton (allTab, "All", "Use the full Channel 1 output.", false);
    allTab.setLookAndFeel (&roleTabLookAndFeel);
    styleRoleTab (allTab, Palette::lavender);
    allTab.setVisible (false);
    shimmerTab.setConnectedEdges (juce::Button::ConnectedOnBottom);
    bodyTab.setConnectedEdges (juce::Button::ConnectedOnTop | juce::Button::ConnectedOnBottom);
    bassTab.setConnectedEdges (juce::Button::ConnectedOnTop);

    const auto storedTab = processor.getSelectedArrangementVoiceTab();
    selectedArrangementTab = (storedTab == 0 || storedTab == 2) ? storedTab : 1;
    updateRoleTabs();

    bassClipTile = makeClipTile ("Bass");
    bodyClipTile = makeClipTile ("Body");
    shimmerClipTile = makeClipTile ("Shimmer");

    struct Toggle { juce::TextButton& button; const char* text; const char* tooltip; bool state; juce::Colour colour; };
    const Toggle toggles[] = {
        { bassAddOctaveButton, "+Oct", "Bass: Add a lower octave for extra weight.", processor.getArrangeBassAddOctave(), Palette::bassLayer },
        { bassAddFifthButton, "+5th", "Bass: Add the fifth for power-chord or cinematic weight.", processor.getArrangeBassAddFifth(), Palette::bassLayer },
        { bodyAddRootButton, "Root", "Body: Include the root in the chord layer.", processor.getArrangeBodyAddRoot(), Palette::bodyLayer },
        { bodyAddFifthButton, "5th", "Body: Include the fifth in the chord layer.", processor.getArrangeBodyAddFifth(), Palette::bodyLayer },
        { bodyWithShimmerButton, "Shimmer", "Body: Include written Shimmer color tones.", processor.getArrangeBodyWithShimmer(), Palette::bodyLayer },
    };
    for (const auto& toggle : toggles)
    {
        addChipButton (toggle.button, toggle.text, toggle.tooltip, true);
        styleToggleChip (toggle.button, toggle.colour);
        toggle.button.setToggleState (toggle.state, juce::dontSendNotification);
    }

    const std::pair<juce::TextButton*, const char*> shimmerModes[] = {
        { &shimmerOffButton, "Off" }, { &shimmerTopButton, "Top" }, { &shimmerColorButton, "Color" }, { &shimmerHaloButton, "Halo" }
    };
    const char* shimmerModeTooltips[] = { "No separate Shimmer lane.", "One high note from the voicing.",
                                          "Written 7ths, 9ths, 11ths, 13ths, #11s, etc.",
                                          "Color notes plus an extra shimmer chord anchor." };
    for (size_t i = 0; i < std::size (shimmerModes); ++i)
    {
        addChipButton (*shimmerModes[i].first, shimmerModes[i].second, shimmerModeTooltips[i], false);
        styleToggleChip (*shimmerModes[i].first, Palette::shimmerLayer);
    }

    makeOctaveSelector (bassOctaveLabel, bassOctaveCombo, "Bass Octave:", processor.getBassOctave(), Palette::surface0);
    configureArrangementKnob (bassOctaveKnob, "Drag to set Bass octave", -4.0, 4.0,
                              [] (double v) { return formatOctaveOffset ((int) std::nearbyint (v)); });
    colourKnob (bassOctaveKnob, Palette::bassLayer);
    makeOctaveSelector (bodyOctaveLabel, bodyOctaveCombo, "Body Octave:", processor.getBodyOctave(), Palette::surface0);
    configureArrangementKnob (bodyOctaveKnob, "Drag to set Body octave", -4.0, 4.0,
                              [] (double v) { return formatOctaveOffset ((int) std::nearbyint (v)); });
    colourKnob (bodyOctaveKnob, Palette::bodyLayer);
    makeOctaveSelector (shimmerOctaveLabel, shimmerOctaveCombo, "Shimmer Octave:", processor.getShimmerOctave(), Palette::surface0);
    configureArrangementKnob (shimmerOctaveKnob, "Drag to set Shimmer octave", -4.0, 4.0,
                              [] (double v) { return formatOctaveOffset ((int) std::nearbyint (v)); });
    colourKnob (shimmerOctaveKnob, Palette::shimmerLayer);

    addChipButton (legatoButton, "Legato", "Tie common notes for the selected voice", true);
    legatoButton.setColour (juce::TextButton::buttonColourId, Palette::surface0);
    legatoButton.setColour (juce::TextButton::buttonOnColourId, Palette::surface1);
    legatoButton.setColour (juce::TextButton::textColourOffId, Palette::subtext1);
    legatoButton.setColour (juce::TextButton::textColourOnId, Palette::mauve);
    legatoButton.setColour (outputPillAccentColourId, Palette::mauve);
    legatoButton.setLookAndFeel (&outputPillLookAndFeel);
    updateLegatoButton (processor.getWorkingSection());

    makeVoicingSelector (bodyVoicingLabel, bodyVoicingCombo, "Body:", processor.getBodyVoicing());
    configureArrangementKnob (bodyVoicingKnob, "Drag to set Body voicing", 1.0, 7.0, shortVoicingName);
    colourKnob (bodyVoicingKnob, Palette::bodyLayer);
    makeVoicingSelector (shimmerVoicingLabel, shimmerVoicingCombo, "Shimmer:", processor.getShimmerVoicing());
    configureArrangementKnob (shimmerVoicingKnob, "Drag to set Shimmer voicing", 1.0, 7.0, shortVoicingName);
    colourKnob (shimmerVoicingKnob, Palette::shimmerLayer);

    // 6: output controls.
    styleLabel (outputsLabel, "Outputs", 12.0f, true, Palette::subtext1, juce::Justification::centredLeft);
    styleLabel (outputHintLabel, {}, 10.5f, true, Palette::subtext1, juce::Justification::centredRight);
    outputHintLabel.setInterceptsMouseClicks (false, false);
    outputHintLabel.setMinimumHorizontalScale (0.72f);
    addAndMakeVisible (outputsLabel);
    addAndMakeVisible (outputHintLabel);

    const std::pair<juce::TextButton*, const char*> pills[] = {
        { &outputAllPill, "All" }, { &outputBassPill, "Bass" }, { &outputBodyPill, "Body" }, { &outputShimmerPill, "Shimmer" }
    };
    for (const auto& [pill, text] : pills)
    {
        addChipButton (*pill, text, "Choose which arrangement layers this instance sends on MIDI channel 1", false);
        pill->setLookAndFeel (&outputPillLookAndFeel);
    }
    outputAllPill.setConnectedEdges (juce::Button::ConnectedOnRight);
    outputBassPill.setConnectedEdges (juce::Button::ConnectedOnLeft | juce::Button::ConnectedOnRight);
    outputBodyPill.setConnectedEdges (juce::Button::ConnectedOnLeft | juce::Button::ConnectedOnRight);
    outputShimmerPill.setConnectedEdges (juce::Button::ConnectedOnLeft);

    configureArrangementKnob (outputKnob, "Drag to set Channel 1 output", 1.0, 7.0, outputLayerShortName);
    styleLabel (outputKnobLabel, {}, 12.0f, true, Palette::text, juce::Justification::centred);
    addAndMakeVisible (outputKnobLabel);
    updateOutputControls (processor.getOutputLayerMode(), false);

    // 7: the piano roll and its header.
    styleLabel (pianoRollTitleLabel, "Piano Roll", 12.0f, true, Palette::subtext1, juce::Justification::centredLeft);
    pianoRollTitleLabel.setInterceptsMouseClicks (false, false);
    styleLabel (pianoRollChordInfoLabel, {}, 10.5f, true, Palette::subtext1, juce::Justification::centredRight);
    pianoRollChordInfoLabel.setInterceptsMouseClicks (false, false);
    pianoRollChordInfoLabel.setMinimumHorizontalScale (0.72f);
    addAndMakeVisible (pianoRollTitleLabel);
    addAndMakeVisible (pianoRollChordInfoLabel);

    dragMidiTile = makeClipTile ("DragMIDI");

    pianoRollViewport.setViewedComponent (&pianoRoll, false);
    pianoRollViewport.setScrollBarsShown (false, false);
    pianoRollViewport.setScrollBarThickness (10);
    pianoRoll.setLayerView (6);
    addAndMakeVisible (pianoRollViewport);

    // 8: the status row.
    styleLabel (statusLabel, "Status: Idle", 15.0f, false, Palette::subtext0, juce::Justification::centredLeft);
    styleLabel (chordInfoLabel, {}, 12.0f, false, Palette::subtext1, juce::Justification::centredLeft);
    hintLabel.setColour (juce::Label::backgroundColourId, Palette::surface0);
    addAndMakeVisible (statusLabel);
    addAndMakeVisible (chordInfoLabel);
    addAndMakeVisible (hintLabel);
    statusLabel.addMouseListener (this, false);
    hintLabel.addMouseListener (this, false);

    // 9: key, scale, tempo hint and sync.
    const std::pair<juce::Label*, const char*> headerLabels[] = {
        { &keyLabel, "Key:" }, { &scaleLabel, "Scale:" }, { &bpmLabel, "BPM:" }, { &syncLabel, "Sync:" }
    };
    for (const auto& [label, text] : headerLabels)
        addHeaderLabel (*label, text);

    const auto& noteNames = getNoteNames();
    for (int i = 0; i < noteNames.size(); ++i)
        keyCombo.addItem (noteNames[i], i + 1);
    const auto& scales = getScaleTable();
    for (size_t i = 0; i < scales.size(); ++i)
        scaleCombo.addItem (scales[i].name, (int) i + 1);
    for (auto* combo : { &keyCombo, &scaleCombo })
        setUpKeyScaleCombo (*combo);

    styleLabel (bpmHintLabel, {}, 15.0f, true, Palette::text, juce::Justification::centredLeft);
    bpmHintLabel.setMinimumHorizontalScale (0.72f);
    bpmHintLabel.setTooltip ("Recommended range only; DAW tempo is unchanged");
    bpmHintLabel.addMouseListener (this, false);
    addAndMakeVisible (bpmHintLabel);

    addChipButton (syncOffButton, "Off", "Keep this Corvessa instance independent.", false);
    addChipButton (syncLeaderButton, "Leader", "Publish progression, key, scale, BPM, and sections to followers.", false);
    addChipButton (syncFollowerButton, "Follower", "Follow the shared musical context from the active leader.", false);
    syncOffButton.setConnectedEdges (juce::Button::ConnectedOnRight);
    syncLeaderButton.setConnectedEdges (juce::Button::ConnectedOnLeft | juce::Button::ConnectedOnRight);
    syncFollowerButton.setConnectedEdges (juce::Button::ConnectedOnLeft);
    updateSyncButtons (processor.getSyncMode());

    // 10: the mood panel, restored from the stored settings.
    moodButton.setButtonText ("Mood Generator");
    moodButton.setTooltip ("Open mood-based chord generator");
    styleHeaderButton (moodButton);
    moodButton.addListener (this);
    moodButton.addMouseListener (this, false);
    addAndMakeVisible (moodButton);

    addChildComponent (moodPanel);
    restoreMoodPanel();

    // 11: help.
    helpButton.setButtonText ("?");
    helpButton.setTooltip ("Show help, privacy & tips");
    styleHeaderButton (helpButton);
    helpButton.addListener (this);
    helpButton.addMouseListener (this, false);
    addAndMakeVisible (helpButton);
    helpComponent.setInstanceId (processor.getMcpInstanceId());
    addChildComponent (helpComponent);

    // 12, 13: the support form and the first-run card.
    const auto& telemetryConfig = processor.getTelemetryClient().getConfig();
    supportDialog = std::make_unique<velmar::SupportDialog> (velmar::SupportDialog::Config {
        "corvessa", "Corvessa", telemetryConfig.version, telemetryConfig.format,
        "Include current project JSON", velmar::getSupportEndpointUrl() });
    addChildComponent (*supportDialog);

    welcomeDialog = std::make_unique<velmar::WelcomeDialog> (processor.getTelemetryClient(), velmar::WelcomeDialog::Config {
        "Corvessa turns chords into layered arrangements. MIDI only. Place it before an instrument. Use ? for details.",
        velmar::getTermsPageUrl() });
    addChildComponent (*welcomeDialog);

    // 14: the chord-preset overlay and the project library.
    chordJsonOverlay = std::make_unique<ChordJsonOverlay>();
    addChildComponent (*chordJsonOverlay);
    addChildComponent (projectLibrary);

    // 15: "{}", "Projects", the section row and Auto-Advance.
    jsonButton.setButtonText ("{}");
    jsonButton.setTooltip ("Import/export chord preset as JSON");
    projectsButton.setButtonText ("Projects");
    projectsButton.setTooltip ("Save, load, or delete local projects");
    for (auto* button : { &jsonButton, &projectsButton })
    {
        styleHeaderButton (*button);
        button->addListener (this);
        button->addMouseListener (this, false);
        addAndMakeVisible (*button);
    }

    addAndMakeVisible (sectionRow);
    autoAdvanceButton.setButtonText ("Auto-Advance");
    autoAdvanceButton.setTooltip ("Auto-Advance section playback");
    autoAdvanceButton.setClickingTogglesState (true);
    autoAdvanceButton.setToggleState (processor.isAutoAdvanceSelected(), juce::dontSendNotification);
    autoAdvanceButton.addMouseListener (this, false);
    addAndMakeVisible (autoAdvanceButton);

    styleLabel (sectionsLabel, "Sections", 12.0f, true, Palette::subtext1, juce::Justification::centredLeft);
    styleLabel (sectionHoverLabel, {}, 10.5f, true, Palette::subtext1, juce::Justification::centredRight);
    sectionHoverLabel.setInterceptsMouseClicks (false, false);
    sectionHoverLabel.setMinimumHorizontalScale (0.72f);
    styleLabel (sectionNameLabel, {}, 14.0f, true, Palette::subtext1, juce::Justification::centred);
    sectionNameLabel.setInterceptsMouseClicks (false, false);
    sectionNameLabel.setMinimumHorizontalScale (0.72f);
    addAndMakeVisible (sectionsLabel);
    addAndMakeVisible (sectionHoverLabel);
    addAndMakeVisible (sectionNameLabel);

    wireChildCallbacks();
    refreshSectionRow (true);
    applySyncEditLock();

    // 16: cursors.
    for (auto* button : { &helpButton, &moodButton, &jsonButton, &projectsButton })
        button->setMouseCursor (juce::MouseCursor::PointingHandCursor);
    for (auto* tile : { dragMidiTile.get(), bassClipTile.get(), bodyClipTile.get(), shimmerClipTile.get() })
        if (tile != nullptr)
            tile->setMouseCursor (juce::MouseCursor::DraggingHandCursor);

    // 17: the canvas takes every child, in reverse order, with the menu host last.
    contentWrapper.editor = this;
    addAndMakeVisible (contentWrapper);
    for (int i = getNumChildComponents(); --i >= 0;)
    {
        auto* child = getChildComponent (i);
        if (child == &contentWrapper)
            continue;
        removeChildComponent (child);
        contentWrapper.addChildComponent (child);
    }
    contentWrapper.addAndMakeVisible (popupMenuHost);

    // 18: resizing, the UI size and the resize corner.
    setResizable (true, false);
    editorScaling = std::make_unique<velmar::EditorScaling> (*this, *getConstrainer(), "VELMAR/Corvessa",
                                                             velmar::EditorScaling::Config { logicalWidth, logicalHeight, 0.5, 2.0, 1.0, false });
    for (auto colourId : { juce::TextButton::buttonColourId, juce::TextButton::buttonOnColourId,
                           juce::TextButton::textColourOffId, juce::TextButton::textColourOnId })
        editorScaling->setColour (colourId, projectsButton.findColour (colourId));
    contentWrapper.addAndMakeVisible (*editorScaling);
    scaleResetCorner = std::make_unique<ScaleResetCorner> (*this, getConstrainer());
    addAndMakeVisible (*scaleResetCorner);
    editorScaling->attach();

    // 19: the refresh tick, update broadcasts, the help button and the consent toggle.
    startTimer (refreshTimerId, 33);
    processor.getUpdateChecker().addChangeListener (this);
    refreshHelpButton();
    helpComponent.setTelemetryToggleState (processor.getTelemetryClient().isEnabled());

    // 20: the first-run card, when due.
    welcomeDialog->setBounds (0, 0, logicalWidth, logicalHeight);
    if (welcomeDialog->showIfNeeded())
        layoutContent();

    // 21: one forced heartbeat, a little after the window opened. An own timer rather than a
    // free-standing delayed call: it dies with the window, so nothing outlives a closed editor.
    startTimer (heartbeatTimerId, 250);

    // 22: the history starts from the song as it is.
    sectionHistory.reset (captureSectionSnapshot());
}

CorvessaEditor::~CorvessaEditor()
{
    midiFileSaveController.cancel();

    removeMouseListener (keyboardFocusListener.get());
    setLookAndFeel (nullptr);
    for (juce::Component* component : std::initializer_list<juce::Component*> {
             &bassTab, &bodyTab, &shimmerTab, &allTab, &bassAddOctaveButton, &bassAddFifthButton, &bodyAddRootButton,
             &bodyAddFifthButton, &bodyWithShimmerButton, &shimmerOffButton, &shimmerTopButton, &shimmerColorButton,
             &shimmerHaloButton, &legatoButton, &outputAllPill, &outputBassPill, &outputBodyPill, &outputShimmerPill,
             &bassOctaveKnob, &bodyOctaveKnob, &shimmerOctaveKnob, &bodyVoicingKnob, &shimmerVoicingKnob, &outputKnob })
        component->setLookAndFeel (nullptr);

    stopTimer (refreshTimerId);
    stopTimer (textApplyTimerId);
    stopTimer (holdPreviewTimerId);
    stopTimer (heartbeatTimerId);

    progressionEditor.removeListener (this);
    for (auto* combo : { &bodyVoicingCombo, &shimmerVoicingCombo, &bassOctaveCombo, &bodyOctaveCombo,
                         &shimmerOctaveCombo, &keyCombo, &scaleCombo })
        combo->removeListener (this);
    for (auto* knob : { &bodyVoicingKnob, &shimmerVoicingKnob, &bassOctaveKnob, &bodyOctaveKnob, &shimmerOctaveKnob, &outputKnob })
        knob->removeListener (this);
    for (auto* pill : { &outputAllPill, &outputBassPill, &outputBodyPill, &outputShimmerPill })
        pill->removeListener (this);
    moodButton.removeListener (this);
    bpmHintLabel.removeMouseListener (this);
    statusLabel.removeMouseListener (this);
    hintLabel.removeMouseListener (this);

    processor.getUpdateChecker().removeChangeListener (this);

    editorScaling.reset();
    scaleResetCorner.reset();
}

//==== construction helpers ==========================================================================

void CorvessaEditor::makeOctaveSelector (juce::Label& label, juce::ComboBox& combo, const juce::String& caption,
                                         int octave, juce::Colour background)
{
    styleLabel (label, caption, 12.0f, false, Palette::subtext1, juce::Justification::centredLeft);
    addAndMakeVisible (label);

    const char* items[] = { "-4", "-3", "-2", "-1", "0", "+1", "+2", "+3", "+4" };
    for (int i = 0; i < 9; ++i)
        combo.addItem (items[i], i + 1);

    combo.setSelectedId (juce::jlimit (-4, 4, octave) + 5, juce::dontSendNotification);
    styleComboBox (combo, background);
    addAndMakeVisible (combo);
    combo.addListener (this);
}

std::unique_ptr<juce::DrawableButton> CorvessaEditor::makeClipTile (const juce::String& name)
{
    const auto colour = name == "Bass" ? Palette::bassLayer
                      : name == "Body" ? Palette::bodyLayer
                      : name == "Shimmer" ? Palette::shimmerLayer
                                          : Palette::lavender;

    auto tile = std::make_unique<juce::DrawableButton> (name, juce::DrawableButton::ImageFitted);

    if (auto xml = juce::XmlDocument::parse (makeDownloadIconSvg (colour)))
        if (auto icon = juce::Drawable::createFromSVG (*xml))
            tile->setImages (icon.get());

    tile->addMouseListener (this, true);
    addAndMakeVisible (*tile);
    return tile;
}

void CorvessaEditor::wireChildCallbacks()
{
    progressionStrip.onChordPressStarted = [this] (int i, juce::Component& c, juce::Point<int> p) { chordPressStarted (i, &c, p); };
    progressionStrip.onChordPressDragged = [this] (int i, juce::Component& c, juce::Point<int> p) { chordPressDragged (i, &c, p); };
    progressionStrip.onChordPressReleased = [this] (int i, juce::Component& c, juce::Point<int> p) { chordPressReleased (i, &c, p); };
    progressionStrip.onChordHovered = [this] (int i) { setHighlightedChord (i, 2); };
    progressionStrip.onChordMenuRequested = [this] (int i, juce::Component& c, juce::Point<int> p) { showChordContextMenu (i, &c, p); };
    progressionStrip.onEmptyStripClicked = [this] (juce::Point<int>) { openChordEditorForAppend(); };
    progressionStrip.onChordActivated = [this] (int i) { openChordEditor (i); };

    pianoRoll.onChordPressStarted = [this] (int i, juce::Component& c, juce::Point<int> p) { chordPressStarted (i, &c, p); };
    pianoRoll.onChordPressDragged = [this] (int i, juce::Component& c, juce::Point<int> p) { chordPressDragged (i, &c, p); };
    pianoRoll.onChordPressReleased = [this] (int i, juce::Component& c, juce::Point<int> p) { chordPressReleased (i, &c, p); };
    pianoRoll.onChordHovered = [this] (int i) { setHighlightedChord (i, 1); };
    pianoRoll.onChordMenuRequested = [this] (int i, juce::Component& c, juce::Point<int> p) { showChordContextMenu (i, &c, p); };
    pianoRoll.onEmptyRollClicked = [this] { openChordEditorForAppend(); };
    pianoRoll.onAddZoneClicked = [this] { openChordEditorForAppend(); };
    pianoRoll.onAddZoneHoverChanged = [this] (bool inside) { onAddZoneHoverChanged (inside); };
    pianoRoll.onLayoutChanged = [this] { fitPianoRollViewport(); };

    chordEditor.onApply = [this] (int, const juce::String&)
    {
        commitChordDraft ("Status: Chord updated");
        chordEditor.setVisible (false);
        modalScrim.setVisible (false);
        updatePianoRollOutput();
        if (progressionStrip.selectedIndex != -1)
        {
            progressionStrip.selectedIndex = -1;
            progressionStrip.repaint();
        }
        if (pianoRoll.selectedChord != -1)
        {
            pianoRoll.selectedChord = -1;
            pianoRoll.repaint();
        }
        setHighlightedChord (-1, 0);
        layoutContent();
    };
    chordEditor.onCancel = [this]
    {
        resetChordDraft (true);
        modalScrim.setVisible (false);
        setStatus ("Status: Chord edit cancelled", Palette::yellow);
        layoutContent();
    };
    chordEditor.onChordChanged = [this] (int index, const juce::String& text) { previewDraftChordChange (index, text); };
    chordEditor.onPreviewStart = [this]
    {
        if (! isSyncFollower() && chordDraftSelectedIndex >= 0)
            previewChord (chordDraftSelectedIndex);
    };
    chordEditor.onPreviewEnd = [this] { processor.stopPreview(); };
    chordEditor.onUndoRedo = [this] (bool redo)
    {
        if (isSyncFollower())
            return;
        redo ? redoChordEdit() : undoChordEdit();
    };
    chordEditor.onModeChanged = [this] { layoutContent(); };

    sectionRenameDialog.onClose = [this] { layoutContent(); };
    sectionRenameDialog.onRename = [this] (int index, const juce::String& name) { renameTargetSection (index, name); };
    sectionRenameDialog.onError = [this] (const juce::String& message) { setStatus (message, Palette::yellow); };
    confirmationDialog.onClosed = [this]
    {
        syncTakeOverPending = false;
        layoutContent();
    };

    for (auto* knob : { &bassOctaveKnob, &bodyOctaveKnob, &shimmerOctaveKnob, &bodyVoicingKnob, &shimmerVoicingKnob })
    {
        auto& combo = knob == &bassOctaveKnob ? bassOctaveCombo
                    : knob == &bodyOctaveKnob ? bodyOctaveCombo
                    : knob == &shimmerOctaveKnob ? shimmerOctaveCombo
                    : knob == &bodyVoicingKnob ? bodyVoicingCombo
                                               : shimmerVoicingCombo;
        knob->onQuickChoiceRequested = [this, knob, &combo] { showKnobQuickChoices (*knob, combo); };
    }
    outputKnob.onQuickChoiceRequested = [this] { showOutputLayerMenu(); };

    helpComponent.onClose = [this] { onHelpClosed(); };
    helpComponent.onTelemetryToggled = [this] (bool enabled) { onHelpTelemetryToggled (enabled); };
    helpComponent.onContact = [this] { onHelpContact(); };
    supportDialog->getProjectSnapshot = [this] { return onSupportSnapshot(); };
    supportDialog->onClose = [this] { onSupportClosed(); };
    welcomeDialog->onFinished = [this] (bool consent) { onWelcomeFinished (consent); };

    moodPanel.onClose = [this] { onMoodGeneratorClosed(); };
    moodPanel.onSettingsChanged = [this] { onMoodSettingsChanged(); };
    moodPanel.onGenerate = [this] (const std::vector<SectionMode::SectionData>& sections) { onMoodSectionsGenerated (sections); };

    chordJsonOverlay->onApply = [this] (const ChordPreset& preset) { applyChordPreset (preset); };
    chordJsonOverlay->onApplyMany = [this] (const std::vector<ChordPreset>& presets) { importSectionPalette (presets); };
    chordJsonOverlay->onClose = [this] { startTimer (refreshTimerId, 33); };

    projectLibrary.onSave = [this] (const juce::String& name, const juce::String& description) { onProjectSave (name, description); };
    projectLibrary.onLoad = [this] (const juce::File& file) { onProjectLoad (file); };
    projectLibrary.onDelete = [this] (const juce::File& file) { onProjectDelete (file); };
    projectLibrary.onOpenFolder = [this] { onOpenProjectsFolder(); };

    sectionRow.onSectionClicked = [this] (int index) { selectSection (index); };
    sectionRow.onSectionsReordered = [this]
    {
        if (isSyncFollower())
            return;
        processor.setSections (sectionRow.sections, true);
        processor.setSelectedSectionViewIndex (sectionRow.selectedIndex);
        refreshSectionRow (false);
    };
    sectionRow.onMenuRequested = [this] (int index, juce::Component& source, juce::Point<int> position)
    {
        if (! isSyncFollower())
            showSectionMenu (index, &source, position);
    };
    sectionRow.onAddSection = [this] { addEmptySection(); };
    sectionRow.onHoverChanged = [this] { updateSectionLabels(); };

    autoAdvanceButton.onClick = [this] { onAutoAdvanceClicked(); };
}

//==== window operations =============================================================================

void CorvessaEditor::selectSection (int index)
{
    if (isSyncFollower())
        return;

    const auto sections = processor.getSections();
    if (index < 0 || index >= (int) sections.size())
        return;

    const auto& section = sections[(size_t) index];
    processor.setSelectedSectionViewIndex (index);
    processor.setWorkingSection (section);

    if (processor.getTransportSnapshot().isPlaying)
        statusLabel.setText (processor.isAutoAdvanceSelected()
                                 ? "Editing Section: " + section.name + "; playback follows the DAW"
                                 : "Queued: " + section.name + " after the current section",
                             juce::dontSendNotification);

    syncControlsFromProcessor (true);
}

void CorvessaEditor::onAutoAdvanceClicked()
{
    const bool on = autoAdvanceButton.getToggleState();
    processor.setSectionPlaybackMode (on ? 1 : 0);
    statusLabel.setText (on ? "Following the DAW playhead through Sections" : "This section will repeat",
                         juce::dontSendNotification);
}

void CorvessaEditor::toggleHelp()
{
    auto& checker = processor.getUpdateChecker();
    if (checker.isUpdateAvailable())
        helpComponent.setUpdateInfo (checker.getLatestVersion(), checker.getDownloadUrl());
    else
        helpComponent.setUpdateInfo ({}, {});

    helpComponent.setVisible (! helpComponent.isVisible());
    layoutContent();
}

void CorvessaEditor::onHelpClosed()
{
    helpComponent.setVisible (false);
    layoutContent();
}

void CorvessaEditor::onHelpTelemetryToggled (bool enabled)
{
    auto& telemetry = processor.getTelemetryClient();
    telemetry.setEnabled (enabled);
    helpComponent.setTelemetryToggleState (telemetry.isEnabled());

    if (enabled)
        processor.requestTelemetryHeartbeat();
}

void CorvessaEditor::onHelpContact()
{
    helpComponent.setVisible (false);
    supportDialog->setBounds (0, 0, logicalWidth, logicalHeight);
    supportDialog->open ({});
    layoutContent();
}

void CorvessaEditor::onSupportClosed()
{
    helpComponent.setVisible (true);
    helpComponent.toFront (true);
    layoutContent();
}

void CorvessaEditor::onWelcomeFinished (bool consent)
{
    helpComponent.setTelemetryToggleState (processor.getTelemetryClient().isEnabled());

    if (consent)
        processor.requestTelemetryHeartbeat();
}

void CorvessaEditor::onAddZoneHoverChanged (bool inside)
{
    static const juce::String addHint ("Add chord at end");

    if (inside)
        hintLabel.setText (addHint, juce::dontSendNotification);
    else if (hintLabel.getText() == addHint)
        hintLabel.setText ({}, juce::dontSendNotification);
}

void CorvessaEditor::selectArrangementTab (int tab)
{
    if (tab == selectedArrangementTab)
    {
        updateRoleTabs();
        return;
    }

    selectedArrangementTab = tab;
    processor.setSelectedArrangementVoiceTab ((tab == 0 || tab == 2) ? tab : 1);
    updateRoleTabs();
    updateLegatoButton (processor.getWorkingSection());
    layoutContent();
}

void CorvessaEditor::updateRoleTabs()
{
    juce::TextButton* tabs[] = { &bassTab, &bodyTab, &shimmerTab };

    for (int i = 0; i < 3; ++i)
    {
        tabs[i]->setColour (roleTabAccentColourId, roleTabColours[i]);
        tabs[i]->setToggleState (selectedArrangementTab == i, juce::dontSendNotification);
    }
}

void CorvessaEditor::updateLegatoButton (const SectionMode::SectionData& section)
{
    const auto tab = selectedArrangementTab;
    styleToggleChip (legatoButton, tab == 0 ? Palette::bassLayer : tab == 2 ? Palette::shimmerLayer : Palette::bodyLayer);

    const bool held = tab == 0 ? section.arrangeBassLegato
                    : tab == 2 ? section.arrangeShimmerLegato
                               : section.arrangeBodyLegato;
    if (legatoButton.getToggleState() != held)
        legatoButton.setToggleState (held, juce::dontSendNotification);

    if (pianoRoll.bassLegato != section.arrangeBassLegato || pianoRoll.bodyLegato != section.arrangeBodyLegato
        || pianoRoll.shimmerLegato != section.arrangeShimmerLegato)
    {
        pianoRoll.bassLegato = section.arrangeBassLegato;
        pianoRoll.bodyLegato = section.arrangeBodyLegato;
        pianoRoll.shimmerLegato = section.arrangeShimmerLegato;
        pianoRoll.repaint();
    }
}

void CorvessaEditor::styleToggleChip (juce::Button& button, juce::Colour colour)
{
    button.setColour (juce::TextButton::buttonColourId, Palette::surface0.interpolatedWith (colour, 0.06f));
    button.setColour (juce::TextButton::buttonOnColourId, Palette::surface0.interpolatedWith (colour, 0.18f));
    button.setColour (juce::TextButton::textColourOffId, Palette::subtext1.interpolatedWith (colour, 0.30f));
    button.setColour (juce::TextButton::textColourOnId, Palette::text);
    button.setColour (outputPillAccentColourId, colour);
    button.setLookAndFeel (&outputPillLookAndFeel);
}

void CorvessaEditor::setLegatoForSelectedTab (bool shouldHold)
{
    switch (selectedArrangementTab)
    {
        case 0: processor.setBassLegato (shouldHold); break;
        case 2: processor.setShimmerLegato (shouldHold); break;
        default: processor.setBodyLegato (shouldHold); break;
    }
}

void CorvessaEditor::syncKnobsFromCombos()
{
    bodyVoicingKnob.setValue (bodyVoicingCombo.getSelectedId(), juce::dontSendNotification);
    shimmerVoicingKnob.setValue (shimmerVoicingCombo.getSelectedId(), juce::dontSendNotification);
    bassOctaveKnob.setValue (bassOctaveCombo.getSelectedId() - 5, juce::dontSendNotification);
    bodyOctaveKnob.setValue (bodyOctaveCombo.getSelectedId() - 5, juce::dontSendNotification);
    shimmerOctaveKnob.setValue (shimmerOctaveCombo.getSelectedId() - 5, juce::dontSendNotification);
}

void CorvessaEditor::applyKnobQuickChoice (juce::ComboBox& combo, int itemId)
{
    if (itemId <= 0)
        return;

    combo.setSelectedId (itemId, juce::sendNotification);
    syncKnobsFromCombos();
}

//==== keys, mouse and broadcasts ====================================================================

bool CorvessaEditor::keyPressed (const juce::KeyPress& key)
{
    if (welcomeDialog != nullptr && welcomeDialog->isVisible())
        return true;

    if (key.getKeyCode() == juce::KeyPress::spaceKey)
    {
        giveAwayKeyboardFocus();
        return false;
    }

    const auto code = key.getKeyCode();
    const auto mods = key.getModifiers();
    if ((code != 'Z' && code != 'z') || ! mods.isCommandDown() || mods.isAltDown())
        return false;

    if (isSyncFollower())
        return true;

    const bool redo = mods.isShiftDown();

    if (chordEditor.isVisible() && chordDraftActive)
    {
        redo ? redoChordEdit() : undoChordEdit();
        return true;
    }

    const auto live = captureSectionSnapshot();
    SectionHistory::Snapshot step;
    const bool stepped = redo ? sectionHistory.redo (live, step) : sectionHistory.undo (live, step);

    if (stepped)
    {
        applySectionSnapshot (step);
        sectionHistory.setCurrent (step);
        setStatus (redo ? "Status: Progression redone" : "Status: Progression undone", Palette::green);
    }

    return true;
}

void CorvessaEditor::mouseDown (const juce::MouseEvent& e)
{
    if (e.eventComponent == &statusLabel)
    {
        if (processor.getUpdateChecker().isUpdateAvailable())
            processor.getUpdateChecker().openDownloadPage();
        return;
    }

    for (auto* tile : { dragMidiTile.get(), bassClipTile.get(), bodyClipTile.get(), shimmerClipTile.get() })
    {
        if (tile == nullptr || (e.originalComponent != tile && ! tile->isParentOf (e.originalComponent)))
            continue;

        if (e.mods.isPopupMenu())
            showClipMenu (tile);
        else if (e.mods.isLeftButtonDown())
            fileDragController.beginGesture();
        return;
    }
}

void CorvessaEditor::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source == &processor.getUpdateChecker())
        refreshHelpButton();
}
