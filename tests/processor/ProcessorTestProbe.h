#pragma once

#include "processor/CorvessaProcessor.h"

// What tests need of a processor beyond its services: they hold its state lock from another
// thread to show that a path never waits for it.
struct CorvessaProcessorTestProbe
{
    static juce::CriticalSection& stateLock (CorvessaProcessor& processor) { return processor.stateLock; }
};
