#include "editor/look/EditorLookAndFeel.h"

#include "editor/look/ButtonShape.h"
#include "editor/look/Palette.h"

#include <cmath>

namespace
{
float enabledAlpha (const juce::Component& component, float disabledAlpha)
{
    return component.isEnabled() ? 1.0f : disabledAlpha;
}

juce::Path roundedField (int width, int height)
{
    juce::Path path;
    path.addRoundedRectangle (0.5f, 0.5f, (float) juce::jmax (width - 1, 0), (float) juce::jmax (height - 1, 0), 6.0f);
    return path;
}
} // namespace

EditorLookAndFeel::EditorLookAndFeel()
{
    setColour (juce::Label::textColourId, Palette::text);
    setColour (juce::ComboBox::outlineColourId, Palette::overlay2);
    setColour (juce::ComboBox::focusedOutlineColourId, Palette::lavender);
    setColour (juce::TextEditor::focusedOutlineColourId, Palette::lavender);
    setColour (juce::ScrollBar::thumbColourId, Palette::overlay2);
}

void EditorLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour& backgroundColour,
                                              bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown)
{
    const bool on = button.getToggleState();
    const bool enabled = button.isEnabled();
    const auto onColour = button.findColour (juce::TextButton::buttonOnColourId);

    auto fill = on ? onColour : backgroundColour;

    if (shouldDrawButtonAsHighlighted)
        fill = fill.brighter (0.08f);

    if (shouldDrawButtonAsDown)
        fill = fill.darker (0.12f);

    const auto shape = ButtonShape::make (button);
    g.setColour (fill.withMultipliedAlpha (enabledAlpha (button, 0.48f)));
    g.fillPath (shape);

    const auto outline = on ? onColour : fill.brighter (0.35f);
    g.setColour (outline.withMultipliedAlpha (enabled ? 0.7f : 0.34f));
    g.strokePath (shape, juce::PathStrokeType (on ? 1.4f : 1.0f));

    ButtonShape::drawFocusRing (g, button, shape);
}

void EditorLookAndFeel::drawComboBox (juce::Graphics& g, int width, int height, bool isButtonDown,
                                      int, int, int, int, juce::ComboBox& box)
{
    const bool enabled = box.isEnabled();

    auto fill = box.findColour (juce::ComboBox::backgroundColourId);

    if (enabled && (isButtonDown || box.isPopupActive()))
        fill = Palette::surface2;
    else if (enabled && box.isMouseOver (true))
        fill = Palette::surface1;

    const auto shape = roundedField (width, height);
    g.setColour (fill.withMultipliedAlpha (enabled ? 1.0f : 0.48f));
    g.fillPath (shape);

    const bool focused = enabled && box.hasKeyboardFocus (true);
    const auto outline = focused ? Palette::lavender : box.findColour (juce::ComboBox::outlineColourId);
    g.setColour (outline.withMultipliedAlpha (enabled ? 1.0f : 0.42f));
    g.strokePath (shape, juce::PathStrokeType (focused ? 2.0f : 1.0f));

    const int arrowWidth = juce::jmin (20, width);
    const int inset = height / 4;
    const juce::Rectangle<int> arrowZone (width - arrowWidth, inset, arrowWidth, juce::jmax (height - 2 * inset, 0));
    const auto centre = arrowZone.getCentre();
    const auto cx = (float) centre.x;
    const auto cy = (float) centre.y;

    juce::Path chevron;
    chevron.startNewSubPath (cx - 4.0f, cy - 2.0f);
    chevron.lineTo (cx, cy + 4.0f);
    chevron.lineTo (cx + 4.0f, cy - 2.0f);
    g.setColour (box.findColour (juce::ComboBox::arrowColourId).withAlpha (enabled ? 0.9f : 0.2f));
    g.strokePath (chevron, juce::PathStrokeType (2.0f));
}

int EditorLookAndFeel::tickCount (double minimum, double maximum, double interval)
{
    if (interval > 0.0 && maximum > minimum)
        return juce::jmax (2, (int) std::round ((maximum - minimum) / interval) + 1);

    return 5;
}

int EditorLookAndFeel::activeTick (double value, double minimum, double interval, float positionProportional, int ticks)
{
    const auto tick = interval > 0.0 ? (int) std::round ((value - minimum) / interval)
                                     : (int) std::round ((double) (ticks - 1) * positionProportional);
    return juce::jlimit (0, juce::jmax (ticks - 1, 0), tick);
}

void EditorLookAndFeel::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                                          float rotaryStartAngle, float rotaryEndAngle, juce::Slider& slider)
{
    if (width <= valueColumnWidth || height <= 0)
    {
        LookAndFeel_V4::drawRotarySlider (g, x, y, width, height, sliderPos, rotaryStartAngle, rotaryEndAngle, slider);
        return;
    }

    LookAndFeel_V4::drawRotarySlider (g, x + valueColumnWidth, y, width - valueColumnWidth, height,
                                      sliderPos, rotaryStartAngle, rotaryEndAngle, slider);

    const auto interval = slider.getInterval();
    const auto minimum = slider.getMinimum();
    const int ticks = tickCount (minimum, slider.getMaximum(), interval);

    // The same geometry the framework knob uses inside its area shrunk by 10 on every side.
    const auto bw = (float) juce::jmax (width - valueColumnWidth - 20, 0);
    const auto bh = (float) juce::jmax (height - 20, 0);
    const auto radius = juce::jmin (bw, bh) / 2.0f;
    const auto lineWidth = juce::jmin (8.0f, radius / 2.0f);
    const auto arcRadius = radius - lineWidth / 2.0f;
    const juce::Point<float> centre ((float) x + 65.0f + bw / 2.0f, (float) y + 10.0f + bh / 2.0f);

    const int active = activeTick (slider.getValue(), minimum, interval, sliderPos, ticks);
    const auto innerRadius = lineWidth * 0.72f + arcRadius;

    for (int i = 0; i < ticks; ++i)
    {
        const auto angle = rotaryStartAngle + (rotaryEndAngle - rotaryStartAngle) * (float) i / (float) (ticks - 1)
                         - juce::MathConstants<float>::halfPi;
        const juce::Point<float> direction (std::cos (angle), std::sin (angle));
        const bool isActive = i == active;
        const auto length = isActive ? 6.5f : 4.5f;

        g.setColour (isActive ? slider.findColour (juce::Slider::thumbColourId) : Palette::subtext0.withAlpha (0.72f));
        g.drawLine ({ centre + direction * innerRadius, centre + direction * (innerRadius + length) },
                    isActive ? 2.0f : 1.25f);
    }

    g.setFont (juce::Font (14.0f));
    g.setColour (slider.findColour (juce::Slider::thumbColourId).withMultipliedAlpha (enabledAlpha (slider, 0.45f)));
    g.drawText (slider.getTextFromValue (slider.getValue()),
                juce::Rectangle<int> (x, y + (int) std::round (0.54 * height), 50, 20),
                juce::Justification::centredRight, true);
}

void EditorLookAndFeel::drawTextEditorOutline (juce::Graphics& g, int width, int height, juce::TextEditor& editor)
{
    const bool focused = editor.hasKeyboardFocus (true);
    const auto colour = focused ? Palette::lavender : editor.findColour (juce::TextEditor::outlineColourId);
    g.setColour (colour.withMultipliedAlpha (editor.isEnabled() ? 1.0f : 0.42f));
    g.strokePath (roundedField (width, height), juce::PathStrokeType (focused ? 1.5f : 1.0f));
}

void EditorLookAndFeel::fillTextEditorBackground (juce::Graphics& g, int width, int height, juce::TextEditor& editor)
{
    g.setColour (editor.findColour (juce::TextEditor::backgroundColourId).withMultipliedAlpha (editor.isEnabled() ? 1.0f : 0.48f));
    g.fillPath (roundedField (width, height));
}

//==== button text ===================================================================================

juce::Font EditorLookAndFeel::fitButtonFont (const juce::Font& font, const juce::String& text, float width)
{
    constexpr float squeeze = 0.7f;   // how far the framework's fitted text narrows before it cuts
    const auto needed = font.getStringWidthFloat (text) * squeeze;

    if (needed <= width || needed <= 0.0f)
        return font;

    return font.withHeight (juce::jmax (9.0f, font.getHeight() * width / needed));
}

void EditorLookAndFeel::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool, bool)
{
    // The framework's placement: indents that follow the corners and the joined edges.
    const auto baseFont = getTextButtonFont (button, button.getHeight());
    const int yIndent = juce::jmin (4, button.proportionOfHeight (0.3f));
    const int cornerSize = juce::jmin (button.getHeight(), button.getWidth()) / 2;
    const int fontHeight = juce::roundToInt (baseFont.getHeight() * 0.6f);
    const int leftIndent = juce::jmin (fontHeight, 2 + cornerSize / (button.isConnectedOnLeft() ? 4 : 2));
    const int rightIndent = juce::jmin (fontHeight, 2 + cornerSize / (button.isConnectedOnRight() ? 4 : 2));
    const int textWidth = button.getWidth() - leftIndent - rightIndent;

    if (textWidth <= 0)
        return;

    g.setFont (fitButtonFont (baseFont, button.getButtonText(), (float) textWidth));
    g.setColour (button.findColour (button.getToggleState() ? juce::TextButton::textColourOnId
                                                             : juce::TextButton::textColourOffId)
                       .withMultipliedAlpha (button.isEnabled() ? 1.0f : 0.5f));
    g.drawFittedText (button.getButtonText(), leftIndent, yIndent, textWidth, button.getHeight() - yIndent * 2,
                      juce::Justification::centred, 2);
}
