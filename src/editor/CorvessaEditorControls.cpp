// The arrangement, voicing and header controls: how they are built and how their changes are
// dispatched.
#include "editor/CorvessaEditor.h"

#include "editor/ArrangementChoices.h"
#include "editor/look/Palette.h"
#include "kit/dialogs/PopupMenuPlacement.h"
#include "processor/CorvessaProcessor.h"

//==== building the controls =========================================================================

void CorvessaEditor::addChipButton (juce::Button& button, const juce::String& text, const juce::String& tooltip,
                                    bool togglesOnClick)
{
    addAndMakeVisible (button);
    button.setButtonText (text);
    button.setClickingTogglesState (togglesOnClick);
    button.setTooltip (tooltip);
    button.setColour (juce::TextButton::buttonColourId, Palette::surface0);
    button.setColour (juce::TextButton::buttonOnColourId, Palette::surface0);
    button.setColour (juce::TextButton::textColourOffId, Palette::subtext1);
    button.setColour (juce::TextButton::textColourOnId, Palette::mauve);
    button.addListener (this);
    button.addMouseListener (this, false);
    button.setMouseCursor (juce::MouseCursor::PointingHandCursor);
}

void CorvessaEditor::styleRoleTab (juce::TextButton& tab, juce::Colour accent)
{
    tab.setColour (juce::TextButton::buttonColourId, Palette::surface0);
    tab.setColour (juce::TextButton::buttonOnColourId, Palette::surface1);
    tab.setColour (juce::TextButton::textColourOffId, Palette::subtext1);
    tab.setColour (juce::TextButton::textColourOnId, Palette::text);
    tab.setColour (roleTabAccentColourId, accent);
}

void CorvessaEditor::addHeaderLabel (juce::Label& label, const juce::String& text)
{
    addAndMakeVisible (label);
    label.setText (text, juce::dontSendNotification);
    label.setFont (juce::Font (11.0f, juce::Font::bold));
    label.setColour (juce::Label::textColourId, Palette::subtext1);
    label.setJustificationType (juce::Justification::centredRight);
}

void CorvessaEditor::setUpKeyScaleCombo (juce::ComboBox& combo)
{
    addAndMakeVisible (combo);
    combo.setTooltip ("Set global root, scale, and recommended BPM");
    combo.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    styleComboBox (combo, Palette::surface0);
    combo.addListener (this);
}

void CorvessaEditor::styleComboBox (juce::ComboBox& combo, juce::Colour background)
{
    combo.setColour (juce::ComboBox::backgroundColourId, background);
    combo.setColour (juce::ComboBox::outlineColourId, Palette::overlay2);
    combo.setColour (juce::ComboBox::textColourId, Palette::text);
    combo.setColour (juce::ComboBox::arrowColourId, Palette::mauve.withAlpha (0.85f));
}

void CorvessaEditor::makeVoicingSelector (juce::Label& label, juce::ComboBox& combo, const juce::String& caption, int index)
{
    label.setText (caption, juce::dontSendNotification);
    label.setFont (juce::Font (12.0f));
    label.setColour (juce::Label::textColourId, Palette::subtext1);
    addAndMakeVisible (label);

    const char* names[] = { "None", "First Inversion", "Smooth", "Guitarist", "Pianist", "Bassist", "Jazz" };
    for (int i = 0; i < 7; ++i)
        combo.addItem (names[i], i + 1);
    combo.setSelectedId (juce::jlimit (0, 6, index) + 1, juce::dontSendNotification);
    styleComboBox (combo, Palette::surface0);
    addAndMakeVisible (combo);
    combo.addListener (this);
}

void CorvessaEditor::configureArrangementKnob (ArrangementKnob& knob, const juce::String& tooltipBase, double minimum,
                                               double maximum, std::function<juce::String (double)> valueText)
{
    addAndMakeVisible (knob);
    knob.setLookAndFeel (&customLookAndFeel);
    knob.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
    knob.setTextBoxStyle (juce::Slider::NoTextBox, true, 0, 0);
    knob.setRange (minimum, maximum, 1.0);
    knob.setTooltip (tooltipBase + "; right-click for quick choices");
    knob.setColour (juce::Slider::rotarySliderFillColourId, Palette::mauve);
    knob.setColour (juce::Slider::thumbColourId, Palette::mauve);
    knob.setColour (juce::Slider::rotarySliderOutlineColourId, Palette::surface2);
    knob.setColour (juce::Slider::textBoxTextColourId, Palette::text);
    knob.setColour (juce::Slider::textBoxBackgroundColourId, juce::Colours::transparentBlack);
    knob.setColour (juce::Slider::textBoxOutlineColourId, juce::Colours::transparentBlack);
    knob.textFromValueFunction = std::move (valueText);
    knob.addListener (this);
    knob.addMouseListener (this, false);
    knob.setMouseCursor (juce::MouseCursor::PointingHandCursor);
}

void CorvessaEditor::colourKnob (juce::Slider& knob, juce::Colour colour)
{
    knob.setColour (juce::Slider::rotarySliderFillColourId, colour);
    knob.setColour (juce::Slider::thumbColourId, colour);
    knob.setColour (juce::Slider::rotarySliderOutlineColourId, Palette::surface2);
}

void CorvessaEditor::ArrangementKnob::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isRightButtonDown())
    {
        if (onQuickChoiceRequested)
            onQuickChoiceRequested();
        return;
    }

    juce::Slider::mouseDown (e);
}

void CorvessaEditor::ArrangementKnob::startedDragging()
{
    dragging = true;
}

void CorvessaEditor::ArrangementKnob::stoppedDragging()
{
    dragging = false;
}

void CorvessaEditor::AutoAdvanceButton::paintButton (juce::Graphics& g, bool highlighted, bool down)
{
    const auto accent = Palette::mauve;
    const bool on = getToggleState();
    const bool enabled = isEnabled();
    const juce::Rectangle<float> r (0.5f, 0.5f, juce::jmax ((float) getWidth() - 1.0f, 0.0f),
                                    juce::jmax ((float) getHeight() - 1.0f, 0.0f));

    auto fill = on ? Palette::surface0.interpolatedWith (Palette::overlay2, 0.28f)
                   : highlighted ? Palette::surface1.interpolatedWith (accent, 0.10f)
                                 : Palette::surface0.interpolatedWith (accent, 0.06f);
    if (down)
        fill = on ? fill.darker (0.08f) : Palette::surface2;

    g.setColour (fill.withMultipliedAlpha (enabled ? 1.0f : 0.48f));
    g.fillRoundedRectangle (r, 6.0f);

    if (on)
    {
        g.setColour (accent.withAlpha (0.74f));
        g.drawRoundedRectangle (r, 6.0f, 1.1f);
    }
    else
    {
        g.setColour (Palette::overlay2.withAlpha (0.70f));
        g.drawRoundedRectangle (r, 6.0f, 1.0f);
    }

    if (enabled && hasKeyboardFocus (true))
    {
        g.setColour (Palette::lavender);
        g.drawRoundedRectangle (r, 6.0f, 2.0f);
    }

    const juce::Rectangle<float> dot (10.0f, r.getCentreY() - 4.0f, 8.0f, 8.0f);
    if (on)
    {
        g.setColour (accent);
        g.fillEllipse (dot);
    }
    else
    {
        g.setColour (Palette::subtext1.withAlpha (0.60f));
        g.drawEllipse (dot, 1.0f);
    }

    const auto textColour = on ? accent.interpolatedWith (Palette::text, 0.52f)
                               : Palette::subtext1.interpolatedWith (accent, 0.40f);
    g.setColour (textColour.withMultipliedAlpha (enabled ? 1.0f : 0.45f));
    g.setFont (juce::Font (juce::jmin ((float) getHeight() * 0.58f, 14.0f), juce::Font::bold));
    const int inner = juce::jmax (getWidth() - 16, 0);
    const int indent = juce::jmin (inner, 14);
    g.drawFittedText (getButtonText(), juce::Rectangle<int> (8 + indent, 0, inner - indent, getHeight()),
                      juce::Justification::centred, 1);
}

//==== dispatch ======================================================================================

void CorvessaEditor::buttonClicked (juce::Button* button)
{
    const bool state = button->getToggleState();

    if (button == &helpButton)
    {
        toggleHelp();
        return;
    }

    if (button == &moodButton)
    {
        confirmAbandonChordEdit ([this] { toggleMoodPanel(); });
        return;
    }

    if (button == &projectsButton)
    {
        confirmAbandonChordEdit ([this] { showProjectLibrary(); });
        return;
    }

    if (button == &jsonButton)
    {
        confirmAbandonChordEdit ([this] { openChordJsonOverlay(); });
        return;
    }

    if (button == &outputAllPill || button == &outputBassPill || button == &outputBodyPill || button == &outputShimmerPill)
    {
        if (button == &outputAllPill)
            setOutputLayerChoice (0);
        else
            toggleOutputLayer (button == &outputBassPill ? 1 : button == &outputBodyPill ? 2 : 3);
        return;
    }

    if (button == &shimmerOffButton || button == &shimmerTopButton || button == &shimmerColorButton || button == &shimmerHaloButton)
    {
        setShimmerMode (button == &shimmerOffButton ? 0 : button == &shimmerTopButton ? 1 : button == &shimmerColorButton ? 2 : 3);
        return;
    }

    if (button == &syncOffButton || button == &syncLeaderButton || button == &syncFollowerButton)
    {
        requestSyncMode (button == &syncOffButton ? 0 : button == &syncLeaderButton ? 1 : 2, false);
        return;
    }

    if (button == &progressionCloseButton)
    {
        closeProgressionTextPanel();
        return;
    }

    const std::pair<juce::Button*, int> tabs[] = { { &bassTab, 0 }, { &bodyTab, 1 }, { &shimmerTab, 2 } };
    for (const auto& [tab, index] : tabs)
    {
        if (button == tab)
        {
            selectArrangementTab (index);
            return;
        }
    }

    // The arrangement toggles edit the working section; their buttons are disabled for a
    // follower, and a click that still arrives (a queued one) is refused here as well.
    const bool arrangementToggle = button == &bassAddOctaveButton || button == &bassAddFifthButton
                                || button == &bodyAddRootButton || button == &bodyAddFifthButton
                                || button == &bodyWithShimmerButton || button == &legatoButton;
    if (! arrangementToggle)
        return;

    if (isSyncFollower())
    {
        button->setToggleState (! state, juce::dontSendNotification);
        return;
    }

    if (button == &bassAddOctaveButton)
    {
        processor.setArrangeBassAddOctave (state);
        pianoRoll.setBassAddOctave (state);
    }
    else if (button == &bassAddFifthButton)
    {
        processor.setArrangeBassAddFifth (state);
    }
    else if (button == &bodyAddRootButton)
    {
        processor.setArrangeBodyAddRoot (state);
    }
    else if (button == &bodyAddFifthButton)
    {
        processor.setArrangeBodyAddFifth (state);
    }
    else if (button == &bodyWithShimmerButton)
    {
        processor.setArrangeBodyWithShimmer (state);
        updateBodyWithShimmerToggle();
    }
    else if (button == &legatoButton)
    {
        setLegatoForSelectedTab (state);
        updateLegatoButton (processor.getWorkingSection());
    }

    storeControlsIntoActiveSection();
}

void CorvessaEditor::comboBoxChanged (juce::ComboBox* combo)
{
    // Key and Scale set the whole song's key at once.
    if (combo == &keyCombo || combo == &scaleCombo)
    {
        if (! isSyncFollower())
            applyKeyScaleFromCombos();
        return;
    }

    const bool voicing = combo == &bodyVoicingCombo || combo == &shimmerVoicingCombo;
    const bool octave = combo == &bassOctaveCombo || combo == &bodyOctaveCombo || combo == &shimmerOctaveCombo;

    if (! voicing && ! octave)
        return;

    // A follower's combos are disabled, but a quick choice made before the switch may still
    // arrive; the follower's arrangement is its leader's, so the combo is set back instead.
    if (isSyncFollower())
    {
        const auto id = combo == &bodyVoicingCombo    ? processor.getBodyVoicing() + 1
                      : combo == &shimmerVoicingCombo ? processor.getShimmerVoicing() + 1
                      : combo == &bassOctaveCombo     ? juce::jlimit (-4, 4, processor.getBassOctave()) + 5
                      : combo == &bodyOctaveCombo     ? juce::jlimit (-4, 4, processor.getBodyOctave()) + 5
                                                      : juce::jlimit (-4, 4, processor.getShimmerOctave()) + 5;
        combo->setSelectedId (id, juce::dontSendNotification);
        syncKnobsFromCombos();
        return;
    }

    if (voicing)
    {
        const auto index = voicingIndexForComboId (combo->getSelectedId());
        if (combo == &bodyVoicingCombo)
            processor.setBodyVoicing (index);
        else
            processor.setShimmerVoicing (index);
    }
    else
    {
        const auto offset = octaveForComboId (combo->getSelectedId());
        if (combo == &bassOctaveCombo)
            processor.setBassOctave (offset);
        else if (combo == &bodyOctaveCombo)
            processor.setBodyOctave (offset);
        else
            processor.setShimmerOctave (offset);
    }

    syncKnobsFromCombos();
    storeControlsIntoActiveSection();

    // An open draft is shown and heard with the voicing just chosen, not the one it was
    // compiled with.
    if (voicing && chordDraftActive)
    {
        if (chordDraftEditing && chordEditor.isVisible())
            previewDraftChordChange (chordDraftSelectedIndex, chordEditor.hasChord ? chordEditor.buildChordText() : juce::String());
        else
            recompileDraft();
    }
}

//==== knobs =========================================================================================

juce::ComboBox* CorvessaEditor::comboForKnob (const juce::Slider* knob)
{
    const std::pair<const juce::Slider*, juce::ComboBox*> pairs[] = {
        { &bassOctaveKnob, &bassOctaveCombo },   { &bodyOctaveKnob, &bodyOctaveCombo },
        { &shimmerOctaveKnob, &shimmerOctaveCombo }, { &bodyVoicingKnob, &bodyVoicingCombo },
        { &shimmerVoicingKnob, &shimmerVoicingCombo },
    };

    for (const auto& [k, combo] : pairs)
        if (k == knob)
            return combo;

    return nullptr;
}

void CorvessaEditor::sliderValueChanged (juce::Slider* slider)
{
    // A running drag reaches the song once, when it ends (sliderDragEnded); wheel steps and
    // value changes from elsewhere reach it at once.
    if (comboForKnob (slider) != nullptr)
    {
        if (! static_cast<ArrangementKnob*> (slider)->isDragging())
            syncComboFromKnob (slider);
        return;
    }
}

void CorvessaEditor::sliderDragEnded (juce::Slider* slider)
{
    if (comboForKnob (slider) != nullptr)
        syncComboFromKnob (slider);
}

void CorvessaEditor::syncComboFromKnob (juce::Slider* knob)
{
    auto* combo = comboForKnob (knob);
    if (combo == nullptr)
        return;

    const bool octave = knob == &bassOctaveKnob || knob == &bodyOctaveKnob || knob == &shimmerOctaveKnob;
    const auto id = octave ? comboIdForOctaveKnob (knob->getValue()) : comboIdForVoicingKnob (knob->getValue());

    // The combo tells the window asynchronously; its handler moves the knobs back from the
    // combos without notification, so the round trip ends there.
    if (combo->getSelectedId() != id)
        combo->setSelectedId (id, juce::sendNotificationAsync);
}

juce::PopupMenu CorvessaEditor::makeKnobQuickChoiceMenu (const juce::ComboBox& combo)
{
    juce::PopupMenu menu;

    for (int i = 0; i < combo.getNumItems(); ++i)
    {
        const auto id = combo.getItemId (i);
        menu.addItem (id, combo.getItemText (i), true, id == combo.getSelectedId());
    }

    return menu;
}

void CorvessaEditor::showKnobQuickChoices (ArrangementKnob& knob, juce::ComboBox& combo)
{
    if (! knob.isEnabled() || ! combo.isEnabled())
        return;

    const auto options = velmar::PopupMenuPlacement::withPlacement (juce::PopupMenu::Options().withTargetComponent (&knob));
    makeKnobQuickChoiceMenu (combo).showMenuAsync (options, [safeThis = juce::Component::SafePointer<CorvessaEditor> (this),
                                                             comboPointer = &combo] (int result)
    {
        if (safeThis != nullptr)
            safeThis->applyKnobQuickChoice (*comboPointer, result);
    });
}

//==== follower ======================================================================================

void CorvessaEditor::applyControlsEditLock (bool editable)
{
    const auto cursor = editable ? juce::MouseCursor::PointingHandCursor : juce::MouseCursor::NormalCursor;

    for (auto* control : std::initializer_list<juce::Component*> {
             &keyLabel, &keyCombo, &scaleLabel, &scaleCombo, &bpmLabel, &bpmHintLabel,
             &bassAddOctaveButton, &bassAddFifthButton, &bodyAddRootButton, &bodyAddFifthButton, &bodyWithShimmerButton,
             &legatoButton, &shimmerOffButton, &shimmerTopButton, &shimmerColorButton, &shimmerHaloButton,
             &bassOctaveLabel, &bassOctaveCombo, &bassOctaveKnob, &bodyOctaveLabel, &bodyOctaveCombo, &bodyOctaveKnob,
             &shimmerOctaveLabel, &shimmerOctaveCombo, &shimmerOctaveKnob,
             &bodyVoicingLabel, &bodyVoicingCombo, &bodyVoicingKnob, &shimmerVoicingLabel, &shimmerVoicingCombo, &shimmerVoicingKnob,
             &moodButton, &jsonButton, &projectsButton })
    {
        control->setEnabled (editable);
        control->setMouseCursor (cursor);
    }
}
