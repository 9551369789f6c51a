#include "processor/CorvessaProcessor.h"

CorvessaProcessor::CorvessaProcessor()
    : juce::AudioProcessor (BusesProperties().withOutput ("Output", juce::AudioChannelSet::stereo(), true))
{
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new CorvessaProcessor();
}
