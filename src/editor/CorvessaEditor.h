#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

class CorvessaProcessor;

// The plug-in window. It holds only a reference to its processor, which runs on without it.
class CorvessaEditor : public juce::AudioProcessorEditor
{
public:
    explicit CorvessaEditor (CorvessaProcessor& owner);
    ~CorvessaEditor() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    // The instance id of the AI-client bridge, as shown (empty and hidden without a bridge).
    const juce::Label& getInstanceIdLabel() const noexcept { return instanceIdLabel; }

private:
    CorvessaProcessor& processor;
    juce::Label instanceIdLabel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CorvessaEditor)
};
