#include "editor/look/ButtonShape.h"

#include "editor/look/Palette.h"

namespace ButtonShape
{

juce::Path make (juce::Rectangle<float> bounds, bool connectedLeft, bool connectedRight,
                 bool connectedTop, bool connectedBottom)
{
    const juce::Rectangle<float> area (bounds.getX() + 0.5f, bounds.getY() + 0.5f,
                                       juce::jmax (bounds.getWidth() - 1.0f, 0.0f),
                                       juce::jmax (bounds.getHeight() - 1.0f, 0.0f));
    juce::Path path;
    path.addRoundedRectangle (area.getX(), area.getY(), area.getWidth(), area.getHeight(),
                              cornerSize, cornerSize,
                              ! (connectedLeft || connectedTop),
                              ! (connectedRight || connectedTop),
                              ! (connectedLeft || connectedBottom),
                              ! (connectedRight || connectedBottom));
    return path;
}

juce::Path make (const juce::Button& button)
{
    return make (button.getLocalBounds().toFloat(),
                 button.isConnectedOnLeft(), button.isConnectedOnRight(),
                 button.isConnectedOnTop(), button.isConnectedOnBottom());
}

void drawFocusRing (juce::Graphics& g, const juce::Button& button, const juce::Path& shape)
{
    if (button.isEnabled() && button.hasKeyboardFocus (true))
    {
        g.setColour (Palette::lavender);
        g.strokePath (shape, juce::PathStrokeType (2.0f));
    }
}

} // namespace ButtonShape
