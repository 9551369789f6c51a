#include "editor/panels/ModalScrimComponent.h"

#include "editor/look/Palette.h"

ModalScrimComponent::ModalScrimComponent()
{
    setInterceptsMouseClicks (true, true);
}

void ModalScrimComponent::paint (juce::Graphics& g)
{
    if (dimmed)
        g.fillAll (Palette::mantle.withAlpha (0.85f));
}
