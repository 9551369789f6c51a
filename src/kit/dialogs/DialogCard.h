#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Drawing shared by the kit's centred cards (welcome card, support form): a scrim over the
// whole window, a card with a header strip, a footer strip and a border, and the cards' switch.
namespace velmar::DialogCard
{

// The scrim over the dialog, the card body (inset by half a pixel) and the header strip with
// only its top corners rounded.
void paintBackground (juce::Graphics& g, juce::Rectangle<int> dialogBounds, juce::Rectangle<int> card, int headerHeight);

// A one-line title, left-aligned and vertically centred in its area.
void paintTitle (juce::Graphics& g, const juce::String& title, juce::Rectangle<int> area, float fontHeight);

// The footer strip at the given alpha and a one-pixel separator along its top edge.
void paintFooter (juce::Graphics& g, juce::Rectangle<int> footer, float fillAlpha,
                  float separatorLeft, float separatorRight, float separatorAlpha);

// The card's two-pixel border.
void paintBorder (juce::Graphics& g, juce::Rectangle<int> card);

// The cards' switch: a 15 x 15 box with a tick when on, its text in bold beside it, dimmed when
// disabled, and a ring with the keyboard focus.
class SwitchLookAndFeel : public juce::LookAndFeel_V4
{
public:
    explicit SwitchLookAndFeel (float textHeight) : fontHeight (textHeight) {}

    void drawToggleButton (juce::Graphics& g, juce::ToggleButton& button,
                           bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

private:
    const float fontHeight;
};

} // namespace velmar::DialogCard
