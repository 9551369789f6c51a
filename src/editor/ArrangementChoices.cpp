#include "editor/ArrangementChoices.h"

#include <juce_core/juce_core.h>

int voicingIndexForComboId (int comboId)
{
    return comboId >= 1 && comboId <= 7 ? comboId - 1 : 2;
}

int octaveForComboId (int comboId)
{
    return juce::jlimit (-5, 5, comboId - 5);
}

int comboIdForVoicingKnob (double knobValue)
{
    return juce::roundToInt (knobValue);
}

int comboIdForOctaveKnob (double knobValue)
{
    return juce::roundToInt (knobValue) + 5;
}
