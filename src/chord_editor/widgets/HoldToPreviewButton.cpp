#include "chord_editor/widgets/HoldToPreviewButton.h"

#include "chord_editor/widgets/CardFace.h"
#include "editor/look/Palette.h"

void HoldToPreviewButton::endHold()
{
    if (! holding)
        return;

    holding = false;

    if (onHoldEnd)
        onHoldEnd();

    repaint();
}

void HoldToPreviewButton::mouseDown (const juce::MouseEvent& e)
{
    juce::TextButton::mouseDown (e);

    if (isEnabled() && ! holding)
    {
        holding = true;

        if (onHoldStart)
            onHoldStart();

        repaint();
    }
}

void HoldToPreviewButton::mouseUp (const juce::MouseEvent& e)
{
    juce::TextButton::mouseUp (e);
    endHold();
}

void HoldToPreviewButton::enablementChanged()
{
    if (! isEnabled())
        endHold();

    repaint();
}

void HoldToPreviewButton::paintButton (juce::Graphics& g, bool highlighted, bool down)
{
    const bool enabled = isEnabled();
    const int w = getWidth();
    const int h = getHeight();
    const auto face = CardFace::bounds (*this);

    auto fill = Palette::surface0;
    if (down || holding)
        fill = Palette::mauve.withAlpha (0.24f);
    else if (highlighted)
        fill = Palette::surface1;
    if (! enabled)
        fill = fill.withMultipliedAlpha (0.45f);

    g.setColour (fill);
    g.fillRoundedRectangle (face, 5.0f);

    g.setColour ((holding ? Palette::mauve : Palette::surface2).withAlpha (enabled ? 0.82f : 0.42f));
    g.drawRoundedRectangle (face, 5.0f, holding ? 1.5f : 1.0f);

    // The play triangle sits in a square at the left; the texts take the rest.
    const int available = juce::jmax (0, w - 24);
    const int side = juce::jmin (available, 22);
    const int inner = juce::jmax (0, h - 14);

    juce::Path triangle;
    triangle.addTriangle (15.0f, 10.0f,
                          15.0f, 4.0f + (float) inner,
                          10.0f + (float) side, 7.0f + (float) inner / 2.0f);
    g.setColour (Palette::mauve.withMultipliedAlpha (enabled ? 1.0f : 0.42f));
    g.fillPath (triangle);

    const int textX = side + 12;
    const int textWidth = available - side;
    const int titleHeight = juce::jmin (inner, 20);

    g.setColour (Palette::text.withMultipliedAlpha (enabled ? 1.0f : 0.5f));
    g.setFont (juce::Font (12.0f, juce::Font::bold));
    g.drawFittedText (getButtonText(), { textX, 7, textWidth, titleHeight }, juce::Justification::centredLeft, 1);

    g.setColour (Palette::subtext1.withMultipliedAlpha (enabled ? 0.72f : 0.38f));
    g.setFont (juce::Font (9.5f));
    g.drawFittedText ("Release to stop", { textX, 7 + titleHeight, textWidth, inner - titleHeight },
                      juce::Justification::centredLeft, 1);

    CardFace::drawFocusOutline (g, *this);
}
