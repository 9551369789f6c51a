// What the processor answers a host by the wrapper that loaded it: buses and MIDI-effect flag.
#include "ProcessorTestSupport.h"

TEST (ProcessorLifecycle, BusLayoutFollowsTheWrapperType)
{
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    using Type = juce::AudioProcessor::WrapperType;

    const struct
    {
        Type type;
        bool midiEffect;
    } cases[] = {
        { juce::AudioProcessor::wrapperType_Undefined, false },
        { juce::AudioProcessor::wrapperType_VST, true },
        { juce::AudioProcessor::wrapperType_VST3, false },
        { juce::AudioProcessor::wrapperType_AudioUnit, false },
        { juce::AudioProcessor::wrapperType_AudioUnitv3, false },
        { juce::AudioProcessor::wrapperType_AAX, true },
        { juce::AudioProcessor::wrapperType_Standalone, false },
        { juce::AudioProcessor::wrapperType_Unity, true },
        { juce::AudioProcessor::wrapperType_LV2, true },
    };

    const auto loadedAs = juce::PluginHostType::jucePlugInClientCurrentWrapperType;

    for (const auto& row : cases)
    {
        SCOPED_TRACE ((int) row.type);
        // A wrapper names its type both process-wide and for the instance it creates next.
        juce::PluginHostType::jucePlugInClientCurrentWrapperType = row.type;
        juce::AudioProcessor::setTypeOfNextNewPlugin (row.type);
        CorvessaProcessor processor;
        juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);

        EXPECT_EQ (processor.isMidiEffect(), row.midiEffect);
        EXPECT_EQ (processor.getBusCount (true), 0);

        if (row.midiEffect)
        {
            EXPECT_EQ (processor.getBusCount (false), 0);
        }
        else
        {
            ASSERT_EQ (processor.getBusCount (false), 1);
            auto* bus = processor.getBus (false, 0);
            EXPECT_EQ (bus->getName(), "Output");
            EXPECT_EQ (bus->getCurrentLayout(), juce::AudioChannelSet::stereo());
            EXPECT_TRUE (bus->isEnabled());
        }

        EXPECT_TRUE (processor.acceptsMidi());
        EXPECT_TRUE (processor.producesMidi());
        EXPECT_EQ (processor.getName(), "Corvessa");
        EXPECT_EQ (processor.getTailLengthSeconds(), 0.0);
        EXPECT_EQ (processor.getNumPrograms(), 1);
        EXPECT_EQ (processor.getCurrentProgram(), 0);
        EXPECT_EQ (processor.getProgramName (0), "Default");
    }

    juce::PluginHostType::jucePlugInClientCurrentWrapperType = loadedAs;
}

TEST (ProcessorLifecycle, HostContextIsTheVst3Extension)
{
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    CorvessaProcessor processor;

    // JUCE 7.0.5's VST3 wrapper finds the extensions by casting the processor itself.
    EXPECT_NE (dynamic_cast<juce::VST3ClientExtensions*> (static_cast<juce::AudioProcessor*> (&processor)), nullptr);
    EXPECT_NE (processor.getVST3ClientExtensions(), nullptr);
}
