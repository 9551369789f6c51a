#include "editor/panels/PanelComponent.h"

#include "editor/look/Palette.h"

void PanelComponent::setTitle (const juce::String& newTitle)
{
    title = newTitle;
    repaint();
}

void PanelComponent::paint (juce::Graphics& g)
{
    const auto w = (float) getWidth();
    const auto h = (float) getHeight();

    g.setColour (Palette::mantle);
    g.fillRoundedRectangle (getLocalBounds().toFloat(), 6.0f);

    // The header's lower corners are square: a rounded band, then a plain one over its bottom.
    g.setColour (Palette::base);
    g.fillRoundedRectangle (0.0f, 0.0f, w, 55.0f, 6.0f);
    g.fillRect (0.0f, 6.0f, w, 49.0f);

    if (title.isNotEmpty())
    {
        g.setColour (Palette::text);
        g.setFont (juce::Font (24.0f, juce::Font::bold));
        g.drawText (title, juce::Rectangle<int> (25, 0, getWidth() - 50, 55), juce::Justification::centredLeft, true);
    }

    g.setColour (Palette::overlay2);
    g.drawRoundedRectangle (1.0f, 1.0f, juce::jmax (w - 2.0f, 0.0f), juce::jmax (h - 2.0f, 0.0f), 6.0f, 2.0f);
}
