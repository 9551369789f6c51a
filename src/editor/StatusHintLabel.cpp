#include "editor/StatusHintLabel.h"

void StatusHintLabel::paint (juce::Graphics& g)
{
    if (getText().isNotEmpty())
        juce::Label::paint (g);
}

bool StatusHintLabel::hitTest (int x, int y)
{
    return getText().isNotEmpty() && juce::Label::hitTest (x, y);
}
