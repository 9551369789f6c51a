// The bare instrument the load benchmark compares Corvessa with: what a new JUCE 7.0.5
// instrument project holds and nothing more (a stereo output bus, MIDI in and out, a generic
// editor, no state), built by the same CMake functions, with the same modules and definitions.

#include <juce_audio_processors/juce_audio_processors.h>

namespace
{
class BareInstrument : public juce::AudioProcessor
{
public:
    BareInstrument()
        : juce::AudioProcessor (BusesProperties().withOutput ("Output", juce::AudioChannelSet::stereo(), true))
    {
    }

    const juce::String getName() const override              { return "CorvessaBareInstrument"; }
    void prepareToPlay (double, int) override                {}
    void releaseResources() override                         {}
    void processBlock (juce::AudioBuffer<float>& audio, juce::MidiBuffer&) override { audio.clear(); }

    juce::AudioProcessorEditor* createEditor() override      { return new juce::GenericAudioProcessorEditor (*this); }
    bool hasEditor() const override                          { return true; }

    bool acceptsMidi() const override                        { return true; }
    bool producesMidi() const override                       { return true; }
    bool isMidiEffect() const override                       { return false; }
    double getTailLengthSeconds() const override             { return 0.0; }

    int getNumPrograms() override                            { return 1; }
    int getCurrentProgram() override                         { return 0; }
    void setCurrentProgram (int) override                    {}
    const juce::String getProgramName (int) override         { return "Default"; }
    void changeProgramName (int, const juce::String&) override {}

    void getStateInformation (juce::MemoryBlock&) override   {}
    void setStateInformation (const void*, int) override     {}

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BareInstrument)
};
} // namespace

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new BareInstrument();
}
