#pragma once

#include "processor/CorvessaProcessor.h"

#include <functional>

// What tests need of a processor beyond its services: they hold its state lock from another
// thread to show that a path never waits for it, and they watch the effects its edits run.
struct CorvessaProcessorTestProbe
{
    static juce::CriticalSection& stateLock (CorvessaProcessor& processor) { return processor.stateLock; }

    static void watchEdits (CorvessaProcessor& processor, std::function<void (EditEffect)> observer)
    {
        processor.editEffectObserver = std::move (observer);
    }
};
