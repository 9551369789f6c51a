#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include "support/TestPlayHead.h"

#include <functional>
#include <memory>

// Helpers for tests that load the built Corvessa.vst3 through JUCE's VST3 hosting code, as a
// host does: find and describe the plug-in, create instances, exchange state chunks, drive a
// transport and pump the host's message queue. Tests run on the message thread.
namespace PluginHost
{
// The bundle built by this build tree.
juce::File getPluginBundle();

// The description the VST3 factory gives; an empty name when the bundle cannot be scanned.
juce::PluginDescription describePlugin();

// A new instance prepared for playing at this rate and block size; null (with a message) when
// it cannot be created.
std::unique_ptr<juce::AudioPluginInstance> createInstance (double sampleRate = 44100.0, int blockSize = 512,
                                                           juce::String* error = nullptr);

// Serves the host's pending messages for this long.
void pumpMessages (int milliseconds);

// Pumps messages until the condition holds or the time runs out; returns the condition.
bool pumpUntil (const std::function<bool()>& condition, int timeoutMs = 10000);

// A parameter found by its name (the wrapper adds its own parameters beside ours).
juce::AudioProcessorParameter* findParameter (juce::AudioProcessor& instance, const juce::String& name);

// The processor's own chunk, as the plug-in writes it, wrapped as a host stores it and back.
juce::MemoryBlock wrapProcessorChunk (const juce::MemoryBlock& processorChunk);
juce::MemoryBlock unwrapProcessorChunk (const juce::MemoryBlock& hostState);

// Gives the instance the processor chunk, as a host restoring a project would.
void setProcessorChunk (juce::AudioPluginInstance& instance, const juce::MemoryBlock& processorChunk);
// The processor chunk the instance saves now.
juce::MemoryBlock getProcessorChunk (juce::AudioPluginInstance& instance);

// The chunk of a state tree, in the framework's XML blob form, and the tree of a chunk.
juce::MemoryBlock chunkFromXml (const juce::String& xmlText);
juce::ValueTree treeFromChunk (const juce::MemoryBlock& processorChunk);

// The "PersistentState" child of the instance's saved tree.
juce::ValueTree getPersistentState (juce::AudioPluginInstance& instance);

// The names of the programs the instance reports to the host through its program lists.
juce::StringArray reportedProgramNames (juce::AudioPluginInstance& instance);

// The play head the tests set before each block.
using TestPlayHead = corvessa::test::TestPlayHead;

// Runs one block through the instance; the MIDI it emits is left in `midi`.
void processBlock (juce::AudioPluginInstance& instance, juce::AudioBuffer<float>& audio, juce::MidiBuffer& midi);
} // namespace PluginHost
