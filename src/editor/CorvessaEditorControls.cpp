// The arrangement, voicing and header controls: how they are built and how their changes are
// dispatched.
#include "editor/CorvessaEditor.h"

#include "editor/look/Palette.h"
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
    if (button == &helpButton)
        toggleHelp();
}

void CorvessaEditor::comboBoxChanged (juce::ComboBox*)
{
}

void CorvessaEditor::sliderValueChanged (juce::Slider*)
{
}

void CorvessaEditor::sliderDragEnded (juce::Slider*)
{
}

void CorvessaEditor::syncComboFromKnob (juce::Slider*)
{
}

void CorvessaEditor::showKnobQuickChoices (ArrangementKnob&, juce::ComboBox&)
{
}

void CorvessaEditor::mouseEnter (const juce::MouseEvent&)
{
}

void CorvessaEditor::mouseExit (const juce::MouseEvent&)
{
}
