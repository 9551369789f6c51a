#pragma once

#include <juce_core/juce_core.h>

// The property names of a JSON object, in the order they are stored (and written); empty for
// anything that is not an object.
inline juce::StringArray keysOf (const juce::var& object)
{
    juce::StringArray keys;
    if (auto* o = object.getDynamicObject())
        for (const auto& p : o->getProperties())
            keys.add (p.name.toString());
    return keys;
}
