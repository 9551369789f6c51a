#pragma once

#include <juce_graphics/juce_graphics.h>

// The channel-1 layer mix (the processor's output layer mode, 0 to 6): which layers each choice
// plays, its name, its id in the quick-choice menu (also the Channel 1 knob's value) and its
// knob colour. Pure functions over a read-only table; any thread.
struct OutputLayerChoice
{
    // Layers as mask bits.
    static constexpr int bass = 1, body = 2, shimmer = 4;

    int value;
    const char* name;
    int layers;
    int menuId;
    juce::Colour knobColour;
};

// The seven choices in table order (value 0 first).
const OutputLayerChoice* getOutputLayerChoices();
constexpr int outputLayerChoiceCount = 7;

// The row of a value; any value outside 0 .. 6 reads as "All".
const OutputLayerChoice& findOutputLayerChoice (int value);

juce::String outputLayerName (int value);

// True for the choices that play Shimmer ("All", "Shimmer", "Bass + Shimmer", "Body + Shimmer").
bool outputLayerUsesShimmer (int value);

// "All" in place of a Shimmer-bearing choice while the song has no Shimmer notes.
int applyShimmerFallback (int value, bool shimmerAvailable);

// The choice after clicking a layer pill (layer 1 Bass, 2 Body, 3 Shimmer): from "All" the
// clicked layer alone; otherwise the clicked layer joins or leaves the mix, and no layer or all
// three give "All".
int toggleOutputLayerMode (int value, int layer);
