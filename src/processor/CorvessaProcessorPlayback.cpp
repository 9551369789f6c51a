// What the audio thread shows the editor: the transport, the playing section, sounding notes.
#include "processor/CorvessaProcessor.h"

TransportSnapshot CorvessaProcessor::getTransportSnapshot() const noexcept
{
    return { transportPlaying.load(), transportBpm.load(), transportPpq.load(), sectionPositionBars.load() };
}

int CorvessaProcessor::getCurrentSectionIndex() const
{
    const int playing = playingSectionIndex.load();
    if (transportPlaying.load() && playing >= 0)
        return playing;

    int selected, numSections;
    {
        const juce::ScopedLock lock (stateLock);
        numSections = (int) state.Sections.size();
        selected = state.selectedSectionViewIndex < -1 ? -1 : juce::jmin (state.selectedSectionViewIndex, numSections - 1);
    }

    if (numSections == 0)
        return -1;

    const int step = getSectionParameterIndex();
    if (step >= 0 && step <= numSections - 1)
        return (selected == -1 && step == 0) ? -1 : step;

    return selected;
}

bool CorvessaProcessor::isAutoAdvanceSelected() const
{
    return sectionParameter != nullptr && getSectionParameterIndex() >= getSectionCount();
}

bool CorvessaProcessor::hasSoundingNotes() const noexcept
{
    return notesSounding.load();
}
