// A silent audio callback until playback lands.
#include "processor/CorvessaProcessor.h"

void CorvessaProcessor::prepareToPlay (double newSampleRate, int)
{
    sampleRate = newSampleRate;
}

void CorvessaProcessor::releaseResources() {}

void CorvessaProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    buffer.clear();
}

TransportSnapshot CorvessaProcessor::getTransportSnapshot() const noexcept
{
    return { transportPlaying.load(), transportBpm.load(), transportPpq.load(), sectionPositionBars.load() };
}

int CorvessaProcessor::getCurrentSectionIndex() const
{
    return getSelectedSectionViewIndex();
}

bool CorvessaProcessor::isAutoAdvanceSelected() const
{
    return sectionParameter != nullptr && getSectionParameterIndex() >= getSectionCount();
}

bool CorvessaProcessor::hasSoundingNotes() const noexcept
{
    return notesSounding.load();
}
