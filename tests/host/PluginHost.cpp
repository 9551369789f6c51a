#include "PluginHost.h"

#include <gtest/gtest.h>

#include <cmath>

namespace juce
{
// JUCE's Linux message loop; declared here because the framework does not export it in a header.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

namespace
{
// JUCE lives for the whole test process: the hosted module keeps its own framework copy
// loaded between tests, and shutting ours down under it would pull the rug.
class JuceEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { initialiser = std::make_unique<juce::ScopedJuceInitialiser_GUI>(); }
    void TearDown() override
    {
        PluginHost::pumpMessages (50);
        initialiser.reset();
    }

private:
    std::unique_ptr<juce::ScopedJuceInitialiser_GUI> initialiser;
};

[[maybe_unused]] auto* const juceEnvironment = ::testing::AddGlobalTestEnvironment (new JuceEnvironment());

juce::VST3PluginFormat& getFormat()
{
    static juce::VST3PluginFormat format;
    return format;
}
} // namespace

namespace PluginHost
{
juce::File getPluginBundle()
{
    return juce::File (CORVESSA_VST3_PATH);
}

juce::PluginDescription describePlugin()
{
    juce::OwnedArray<juce::PluginDescription> found;
    getFormat().findAllTypesForFile (found, getPluginBundle().getFullPathName());

    if (found.isEmpty())
        return {};

    return *found.getFirst();
}

std::unique_ptr<juce::AudioPluginInstance> createInstance (double sampleRate, int blockSize, juce::String* error)
{
    const auto description = describePlugin();
    juce::String message;
    auto instance = getFormat().createInstanceFromDescription (description, sampleRate, blockSize, message);

    if (error != nullptr)
        *error = message;

    if (instance != nullptr)
    {
        instance->enableAllBuses();
        instance->prepareToPlay (sampleRate, blockSize);
    }

    return instance;
}

void pumpMessages (int milliseconds)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) milliseconds;

    do
    {
        while (juce::dispatchNextMessageOnSystemQueue (true))
        {
        }

        juce::Thread::sleep (2);
    }
    while (juce::Time::getMillisecondCounter() < end);
}

bool pumpUntil (const std::function<bool()>& condition, int timeoutMs)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;

    while (! condition())
    {
        if (juce::Time::getMillisecondCounter() >= end)
            return false;

        pumpMessages (5);
    }

    return true;
}

juce::AudioProcessorParameter* findParameter (juce::AudioProcessor& instance, const juce::String& name)
{
    for (auto* parameter : instance.getParameters())
        if (parameter->getName (256) == name)
            return parameter;

    return nullptr;
}

juce::MemoryBlock wrapProcessorChunk (const juce::MemoryBlock& processorChunk)
{
    juce::XmlElement state ("VST3PluginState");
    state.createNewChildElement ("IComponent")->addTextElement (processorChunk.toBase64Encoding());

    juce::MemoryBlock hostState;
    juce::AudioProcessor::copyXmlToBinary (state, hostState);
    return hostState;
}

juce::MemoryBlock unwrapProcessorChunk (const juce::MemoryBlock& hostState)
{
    juce::MemoryBlock processorChunk;

    if (auto xml = juce::AudioProcessor::getXmlFromBinary (hostState.getData(), (int) hostState.getSize()))
        if (auto* component = xml->getChildByName ("IComponent"))
            processorChunk.fromBase64Encoding (component->getAllSubText());

    return processorChunk;
}

void setProcessorChunk (juce::AudioPluginInstance& instance, const juce::MemoryBlock& processorChunk)
{
    const auto hostState = wrapProcessorChunk (processorChunk);
    instance.setStateInformation (hostState.getData(), (int) hostState.getSize());
}

juce::MemoryBlock getProcessorChunk (juce::AudioPluginInstance& instance)
{
    juce::MemoryBlock hostState;
    instance.getStateInformation (hostState);
    return unwrapProcessorChunk (hostState);
}

juce::MemoryBlock chunkFromXml (const juce::String& xmlText)
{
    juce::MemoryBlock chunk;

    if (auto xml = juce::parseXML (xmlText))
        juce::AudioProcessor::copyXmlToBinary (*xml, chunk);

    return chunk;
}

juce::ValueTree treeFromChunk (const juce::MemoryBlock& processorChunk)
{
    // The plug-in's wrapper appends private data after the XML blob; the blob carries its
    // own length, so the reader stops before it.
    if (auto xml = juce::AudioProcessor::getXmlFromBinary (processorChunk.getData(), (int) processorChunk.getSize()))
        return juce::ValueTree::fromXml (*xml);

    return {};
}

juce::ValueTree getPersistentState (juce::AudioPluginInstance& instance)
{
    return treeFromChunk (getProcessorChunk (instance)).getChildWithName ("PersistentState");
}


void processBlock (juce::AudioPluginInstance& instance, juce::AudioBuffer<float>& audio, juce::MidiBuffer& midi)
{
    midi.clear();
    instance.processBlock (audio, midi);
}
} // namespace PluginHost

//==============================================================================
// The program lists the plug-in reports through the format's unit interface, which the SDK's
// validator reads. The framework's own host shows programs only through a program-change
// parameter, which a plug-in of one program does not have.
#include <pluginterfaces/vst/ivstcomponent.h>
#include <pluginterfaces/vst/ivstunits.h>

namespace PluginHost
{
juce::StringArray reportedProgramNames (juce::AudioPluginInstance& instance)
{
    struct ComponentOf : juce::ExtensionsVisitor
    {
        void visitVST3Client (const VST3Client& client) override { component = client.getIComponentPtr(); }
        Steinberg::Vst::IComponent* component = nullptr;
    } visitor;

    instance.getExtensions (visitor);
    juce::StringArray names;
    auto* component = visitor.component;

    if (component == nullptr)
        return names;

    Steinberg::Vst::IUnitInfo* unitInfo = nullptr;

    if (component->queryInterface (Steinberg::Vst::IUnitInfo::iid, (void**) &unitInfo) != Steinberg::kResultOk
        || unitInfo == nullptr)
        return names;

    for (Steinberg::int32 list = 0; list < unitInfo->getProgramListCount(); ++list)
    {
        Steinberg::Vst::ProgramListInfo info {};

        if (unitInfo->getProgramListInfo (list, info) != Steinberg::kResultOk)
            continue;

        for (Steinberg::int32 program = 0; program < info.programCount; ++program)
        {
            Steinberg::Vst::String128 name {};

            if (unitInfo->getProgramName (info.id, program, name) == Steinberg::kResultOk)
                names.add (juce::String (juce::CharPointer_UTF16 ((const juce::CharPointer_UTF16::CharType*) name)));
        }
    }

    unitInfo->release();
    return names;
}
} // namespace PluginHost
