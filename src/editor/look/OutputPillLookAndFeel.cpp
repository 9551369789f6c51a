#include "editor/look/OutputPillLookAndFeel.h"

#include "editor/look/ButtonShape.h"
#include "editor/look/Palette.h"

OutputPillLookAndFeel::OutputPillLookAndFeel()
{
    setColour (accentColourId, Palette::mauve);
}

void OutputPillLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour&,
                                                  bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown)
{
    const bool on = button.getToggleState();

    auto fill = button.findColour (on ? juce::TextButton::buttonOnColourId : juce::TextButton::buttonColourId);

    if (! on && shouldDrawButtonAsHighlighted)
        fill = Palette::surface1;

    if (shouldDrawButtonAsDown)
        fill = on ? fill.darker (0.08f) : Palette::surface1.darker (0.08f);

    const auto shape = ButtonShape::make (button);
    g.setColour (fill.withMultipliedAlpha (button.isEnabled() ? 1.0f : 0.48f));
    g.fillPath (shape);

    if (on)
    {
        g.setColour (button.findColour (accentColourId).withAlpha (1.0f));
        g.strokePath (shape, juce::PathStrokeType (1.3f));
    }
    else
    {
        g.setColour (Palette::overlay2.withAlpha (0.7f));
        g.strokePath (shape, juce::PathStrokeType (1.0f));
    }

    ButtonShape::drawFocusRing (g, button, shape);
}
