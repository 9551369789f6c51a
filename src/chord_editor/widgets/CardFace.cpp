#include "chord_editor/widgets/CardFace.h"

#include "editor/look/Palette.h"

namespace CardFace
{
void drawFocusOutline (juce::Graphics& g, const juce::Component& component)
{
    if (! component.hasKeyboardFocus (false))
        return;

    const auto face = bounds (component);
    g.setColour (Palette::mauve);
    g.drawRoundedRectangle (face.getX() + 2.0f, face.getY() + 2.0f,
                            juce::jmax (face.getWidth() - 4.0f, 0.0f),
                            juce::jmax (face.getHeight() - 4.0f, 0.0f), 4.0f, 1.0f);
}
} // namespace CardFace
