#pragma once

#include "processor/CorvessaProcessor.h"

#include <functional>
#include <vector>

// What tests need of a processor beyond its services: they hold its state lock from another
// thread to show that a path never waits for it, they watch the effects its edits run, and they
// ask which sections it would compile first.
struct CorvessaProcessorTestProbe
{
    static juce::CriticalSection& stateLock (CorvessaProcessor& processor) { return processor.stateLock; }

    static std::vector<bool> sectionsHeardFirst (CorvessaProcessor& processor)
    {
        return processor.sectionsHeardFirst (processor.getStateCopy());
    }

    static void watchEdits (CorvessaProcessor& processor, std::function<void (EditEffect)> observer)
    {
        processor.editEffectObserver = std::move (observer);
    }
};
