#include "chord_editor/widgets/ContextualChordSuggestionButton.h"

#include "chord_editor/widgets/CardFace.h"
#include "editor/look/Palette.h"

ContextualChordSuggestionButton::Geometry ContextualChordSuggestionButton::geometryFor (int width, int height)
{
    const int available = juce::jmax (0, width - 24);
    const int radioSide = juce::jmin (available, 14);
    const int inner = juce::jmax (0, height - 6);

    int rest = available - radioSide;
    const int gap = juce::jmin (rest, 6);
    rest -= gap;

    const int labelX = radioSide + gap + 12;
    const int labelWidth = juce::jmin (rest, juce::jmax (150, rest * 2 / 5));

    return { { 12 + radioSide / 2, 3 + inner / 2 },
             { labelX, 3, labelWidth, inner },
             { labelX + labelWidth, 3, rest - labelWidth, inner } };
}

void ContextualChordSuggestionButton::paintButton (juce::Graphics& g, bool highlighted, bool down)
{
    const bool enabled = isEnabled();
    const bool on = getToggleState();
    const auto face = CardFace::bounds (*this);

    auto fill = on ? Palette::mauve.withAlpha (0.28f) : Palette::surface0;
    if (down)
        fill = fill.brighter (0.1f);
    else if (highlighted)
        fill = fill.brighter (0.05f);
    if (! enabled)
        fill = fill.withMultipliedAlpha (0.45f);

    g.setColour (fill);
    g.fillRoundedRectangle (face, 5.0f);

    g.setColour (on || isBest ? Palette::mauve.withAlpha (0.82f) : Palette::surface2.withAlpha (0.62f));
    g.drawRoundedRectangle (face, 5.0f, on ? 1.5f : 1.0f);

    if (isBest)
    {
        g.setColour (Palette::mauve.withAlpha (0.78f));
        g.fillRoundedRectangle (face.withWidth (4.0f), 2.0f);
    }

    const auto geometry = geometryFor (getWidth(), getHeight());
    const auto centre = geometry.radioCentre.toFloat();
    const auto radioColour = Palette::mauve.withAlpha (on ? 0.95f : 0.55f);

    g.setColour (radioColour);
    g.drawEllipse (juce::Rectangle<float> (8.0f, 8.0f).withCentre (centre), 1.2f);
    if (on)
        g.fillEllipse (juce::Rectangle<float> (4.0f, 4.0f).withCentre (centre));

    g.setColour (Palette::text.withMultipliedAlpha (enabled ? 1.0f : 0.55f));
    g.setFont (juce::Font (14.0f, juce::Font::bold));
    g.drawFittedText (chordText, geometry.chordArea, juce::Justification::centredLeft, 1);

    g.setColour (enabled ? Palette::subtext1 : Palette::overlay0);
    g.setFont (juce::Font (11.0f));
    g.drawFittedText (roleText, geometry.roleArea, juce::Justification::centredLeft, 1);

    CardFace::drawFocusOutline (g, *this);
}
