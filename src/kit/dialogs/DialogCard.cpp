#include "kit/dialogs/DialogCard.h"

#include "kit/dialogs/DialogColours.h"

namespace velmar::DialogCard
{

namespace
{
    constexpr float cornerRadius = 6.0f;
} // namespace

void paintBackground (juce::Graphics& g, juce::Rectangle<int> dialogBounds, juce::Rectangle<int> card, int headerHeight)
{
    g.setColour (DialogColours::scrim);
    g.fillRect (dialogBounds);

    g.setColour (DialogColours::crust);
    g.fillRoundedRectangle (card.toFloat().reduced (0.5f), cornerRadius);

    juce::Path header;
    header.addRoundedRectangle ((float) card.getX(), (float) card.getY(), (float) card.getWidth(), (float) headerHeight,
                                cornerRadius, cornerRadius, true, true, false, false);
    g.setColour (DialogColours::mantle);
    g.fillPath (header);
}

void paintTitle (juce::Graphics& g, const juce::String& title, juce::Rectangle<int> area, float fontHeight)
{
    g.setColour (DialogColours::text);
    g.setFont (juce::Font (fontHeight, juce::Font::bold));
    g.drawText (title, area, juce::Justification::centredLeft, true);
}

void paintFooter (juce::Graphics& g, juce::Rectangle<int> footer, float fillAlpha,
                  float separatorLeft, float separatorRight, float separatorAlpha)
{
    g.setColour (DialogColours::base.withAlpha (fillAlpha));
    g.fillRect (footer);

    g.setColour (DialogColours::surface2.withAlpha (separatorAlpha));
    g.fillRect (juce::Rectangle<float> (separatorLeft, (float) footer.getY(), juce::jmax (0.0f, separatorRight - separatorLeft), 1.0f));
}

void paintBorder (juce::Graphics& g, juce::Rectangle<int> card)
{
    g.setColour (DialogColours::surface2);
    g.drawRoundedRectangle (card.toFloat().reduced (0.5f), cornerRadius, 2.0f);
}

void SwitchLookAndFeel::drawToggleButton (juce::Graphics& g, juce::ToggleButton& button, bool isMouseOver, bool isMouseDown)
{
    const bool enabled = button.isEnabled();
    const auto columnWidth = juce::jmin (20, button.getWidth());
    const juce::Rectangle<float> box ((float) ((columnWidth - 16) / 2) + 0.5f,
                                      (float) ((button.getHeight() - 16) / 2) + 0.5f,
                                      15.0f, 15.0f);

    auto fill = isMouseOver ? DialogColours::hover : DialogColours::raised;
    if (isMouseDown)
        fill = fill.interpolatedWith (DialogColours::teal, 0.14f);

    g.setColour (enabled ? fill : fill.withAlpha (0.5f));
    g.fillRoundedRectangle (box, 4.0f);
    g.setColour (enabled ? DialogColours::surface2 : DialogColours::surface2.withAlpha (0.5f));
    g.drawRoundedRectangle (box, 4.0f, 1.0f);

    if (button.getToggleState())
    {
        juce::Path tick;
        tick.startNewSubPath (box.getX() + 3.0f, box.getY() + 7.5f);
        tick.lineTo (box.getX() + 6.5f, box.getY() + 11.8f);
        tick.lineTo (box.getX() + 12.4f, box.getY() + 3.2f);
        g.setColour (enabled ? DialogColours::text : DialogColours::text.withAlpha (0.5f));
        g.strokePath (tick, juce::PathStrokeType (2.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    }

    const auto textColour = button.findColour (juce::ToggleButton::textColourId);
    g.setColour (enabled ? textColour : textColour.withMultipliedAlpha (0.48f));
    g.setFont (juce::Font (fontHeight, juce::Font::bold));
    g.drawText (button.getButtonText(),
                button.getLocalBounds().withTrimmedLeft (columnWidth + 4),
                juce::Justification::centredLeft, true);

    if (button.hasKeyboardFocus (false))
    {
        g.setColour (DialogColours::teal.withAlpha (0.72f));
        g.drawRoundedRectangle (button.getLocalBounds().toFloat().reduced (0.5f), 4.0f, 1.0f);
    }
}

} // namespace velmar::DialogCard
