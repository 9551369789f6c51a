#include "editor/OutputLayerChoice.h"

#include "editor/look/Palette.h"

namespace
{
constexpr int B = OutputLayerChoice::bass, D = OutputLayerChoice::body, S = OutputLayerChoice::shimmer;

juce::Colour halfway (juce::Colour from, juce::Colour to)
{
    return from.interpolatedWith (to, 0.5f);
}
} // namespace

const OutputLayerChoice* getOutputLayerChoices()
{
    static const OutputLayerChoice choices[outputLayerChoiceCount] = {
        //  value  name              layers     menu id  knob colour
        {   0,     "All",            B | D | S, 1,       Palette::lavender },
        {   1,     "Bass",           B,         2,       Palette::bassLayer },
        {   2,     "Body",           D,         3,       Palette::bodyLayer },
        {   3,     "Shimmer",        S,         4,       Palette::shimmerLayer },
        {   4,     "Bass + Body",    B | D,     5,       halfway (Palette::bassLayer, Palette::bodyLayer) },
        {   5,     "Bass + Shimmer", B | S,     6,       halfway (Palette::bassLayer, Palette::shimmerLayer) },
        {   6,     "Body + Shimmer", D | S,     7,       halfway (Palette::bodyLayer, Palette::shimmerLayer) },
    };
    return choices;
}

const OutputLayerChoice& findOutputLayerChoice (int value)
{
    return getOutputLayerChoices()[value >= 0 && value < outputLayerChoiceCount ? value : 0];
}

juce::String outputLayerName (int value)
{
    return findOutputLayerChoice (value).name;
}

bool outputLayerUsesShimmer (int value)
{
    return (findOutputLayerChoice (value).layers & S) != 0;
}

int applyShimmerFallback (int value, bool shimmerAvailable)
{
    return ! shimmerAvailable && outputLayerUsesShimmer (value) ? 0 : value;
}

int toggleOutputLayerMode (int value, int layer)
{
    const int bit = layer == 1 ? B : layer == 2 ? D : layer == 3 ? S : 0;

    if (value == 0)
        return bit != 0 ? layer : 0;

    const int layers = findOutputLayerChoice (value).layers ^ bit;
    if (layers == 0 || layers == (B | D | S))
        return 0;

    for (int i = 1; i < outputLayerChoiceCount; ++i)
        if (getOutputLayerChoices()[i].layers == layers)
            return i;

    return 0;
}
