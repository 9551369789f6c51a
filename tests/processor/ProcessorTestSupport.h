#pragma once

#include "processor/CorvessaProcessor.h"

#include <gtest/gtest.h>

#include <functional>

namespace juce
{
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

// Serves pending messages (parameter updates, timers) until the condition holds.
inline bool pumpMessagesUntil (const std::function<bool()>& condition, int timeoutMs = 10000)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;

    while (! condition())
    {
        if (juce::Time::getMillisecondCounter() >= end)
            return false;

        while (juce::dispatchNextMessageOnSystemQueue (true))
        {
        }

        juce::Thread::sleep (1);
    }

    return true;
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
        SectionList sections;

        for (auto* name : names)
        {
            SectionMode::SectionData section;
            section.name = name;
            section.progression = "C G";
            sections.push_back (section);
        }

        return sections;
    }
};
