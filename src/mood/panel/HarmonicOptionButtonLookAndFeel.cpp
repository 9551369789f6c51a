// The mood panel's switches: a rounded chip with an indicator dot at its left, outlined and
// filled in the switch's own accent when on.
#include "mood/panel/MoodGeneratorComponent.h"

#include "editor/look/Palette.h"

namespace
{
constexpr float cornerSize = 6.0f;
} // namespace

void MoodGeneratorComponent::HarmonicOptionButtonLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button,
                                                                                    const juce::Colour&,
                                                                                    bool shouldDrawButtonAsHighlighted,
                                                                                    bool shouldDrawButtonAsDown)
{
    const auto accent = button.findColour (accentColourId);
    const bool on = button.getToggleState();
    const bool enabled = button.isEnabled();

    const juce::Rectangle<float> area (0.5f, 0.5f,
                                       (float) juce::jmax (button.getWidth() - 1, 0),
                                       (float) juce::jmax (button.getHeight() - 1, 0));

    juce::Colour fill;
    if (on)
    {
        fill = Palette::surface0.interpolatedWith (Palette::overlay2, 0.28f);
        if (shouldDrawButtonAsDown)
            fill = fill.darker (0.08f);
    }
    else if (shouldDrawButtonAsDown)
    {
        fill = Palette::surface2;
    }
    else
    {
        fill = shouldDrawButtonAsHighlighted ? Palette::surface1.interpolatedWith (accent, 0.1f)
                                             : Palette::surface0.interpolatedWith (accent, 0.06f);
    }

    g.setColour (fill.withMultipliedAlpha (enabled ? 1.0f : 0.48f));
    g.fillRoundedRectangle (area, cornerSize);

    if (on)
    {
        g.setColour (accent.withAlpha (0.74f));
        g.drawRoundedRectangle (area, cornerSize, 1.1f);
    }
    else
    {
        g.setColour (Palette::overlay2.withAlpha (0.7f));
        g.drawRoundedRectangle (area, cornerSize, 1.0f);
    }

    const juce::Rectangle<float> dot (10.0f, area.getY() + area.getHeight() / 2.0f - 4.0f, 8.0f, 8.0f);
    if (on)
    {
        g.setColour (accent);
        g.fillEllipse (dot);
    }
    else
    {
        g.setColour (Palette::subtext1.withAlpha (0.6f));
        g.drawEllipse (dot, 1.0f);
    }
}

void MoodGeneratorComponent::HarmonicOptionButtonLookAndFeel::drawButtonText (juce::Graphics& g, juce::TextButton& button,
                                                                              bool, bool)
{
    const auto width = button.getWidth();
    const auto height = button.getHeight();

    // The text keeps clear of the indicator dot on the left.
    const int dotRoom = width < 17 ? 0 : juce::jmin (14, width - 16);
    const int textWidth = width - 16 - dotRoom;
    if (textWidth <= 0 || height <= 0)
        return;

    const bool on = button.getToggleState();
    g.setFont (juce::Font (juce::jmin ((float) height * 0.58f, 14.0f), juce::Font::bold));
    g.setColour (button.findColour (on ? juce::TextButton::textColourOnId : juce::TextButton::textColourOffId)
                     .withMultipliedAlpha (button.isEnabled() ? 1.0f : 0.45f));
    g.drawFittedText (button.getButtonText(), 8 + dotRoom, 0, textWidth, height, juce::Justification::centred, 1);
}
