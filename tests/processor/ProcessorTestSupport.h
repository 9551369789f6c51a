#pragma once

#include "processor/CorvessaProcessor.h"
#include "support/MessagePump.h"
#include "support/SongBuilders.h"

#include <gtest/gtest.h>

#include <functional>

// Serves pending messages (parameter updates, timers) until the condition holds.
inline bool pumpMessagesUntil (const std::function<bool()>& condition, int timeoutMs = 10000)
{
    return corvessa::test::pumpMessagesUntil (condition, timeoutMs);
}

// The host-visible parameter of a processor with this id, or null.
inline juce::RangedAudioParameter* findParameter (CorvessaProcessor& processor, const juce::String& id)
{
    for (auto* p : processor.getParameters())
        if (auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (p); ranged != nullptr && ranged->getParameterID() == id)
            return ranged;

    return nullptr;
}

// A processor on a test's message thread, with JUCE initialised around it.
class ProcessorTest : public ::testing::Test
{
protected:
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    std::unique_ptr<CorvessaProcessor> processor = std::make_unique<CorvessaProcessor>();

    static bool pumpUntil (const std::function<bool()>& condition, int timeoutMs = 10000)
    {
        return pumpMessagesUntil (condition, timeoutMs);
    }

    juce::RangedAudioParameter* parameter (const juce::String& id) const { return findParameter (*processor, id); }

    static SectionList makeSections (std::initializer_list<const char*> names)
    {
        return corvessa::test::sectionsNamed (names);
    }
};
