#include "editor/look/RoleTabLookAndFeel.h"

#include "editor/look/ButtonShape.h"
#include "editor/look/Palette.h"

RoleTabLookAndFeel::RoleTabLookAndFeel()
{
    setColour (accentColourId, Palette::mauve);
}

void RoleTabLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour&,
                                               bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown)
{
    const bool on = button.getToggleState();
    const auto accent = button.findColour (accentColourId).withAlpha (1.0f);

    auto fill = button.findColour (on ? juce::TextButton::buttonOnColourId : juce::TextButton::buttonColourId);

    if (! on && shouldDrawButtonAsHighlighted)
        fill = Palette::surface1;

    if (shouldDrawButtonAsDown)
        fill = on ? Palette::surface2 : Palette::surface1.darker (0.08f);

    const auto shape = ButtonShape::make (button);
    g.setColour (fill.withMultipliedAlpha (button.isEnabled() ? 1.0f : 0.52f));
    g.fillPath (shape);

    if (on)
    {
        g.setColour (accent);
        g.strokePath (shape, juce::PathStrokeType (1.4f));
    }
    else
    {
        g.setColour (Palette::overlay2.withAlpha (0.76f));
        g.strokePath (shape, juce::PathStrokeType (1.0f));
    }

    ButtonShape::drawFocusRing (g, button, shape);

    if (on)
    {
        const auto h = (float) juce::jmax (button.getHeight() - 1, 0);
        g.setColour (accent);
        g.fillRoundedRectangle (1.5f, 4.5f, 2.0f, juce::jmax (h - 8.0f, 0.0f), 1.5f);
    }
}
