#include "processor/CorvessaProcessor.h"

#include <gtest/gtest.h>

TEST (ProcessorSmoke, CreatesASilentMidiInstrument)
{
    juce::ScopedJuceInitialiser_GUI juce;
    CorvessaProcessor processor;
    EXPECT_EQ (processor.getName(), "Corvessa");
    EXPECT_TRUE (processor.producesMidi());
}
