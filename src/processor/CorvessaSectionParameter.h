#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>

class CorvessaProcessor;

// The host's section selector: one step per section of the song plus a last step
// "Auto-Advance". Its step count and texts follow the processor's sections live, so it cannot
// be one of the parameter tree's fixed-range parameters; it sits in the processor's own list.
class CorvessaSectionParameter : public juce::RangedAudioParameter
{
public:
    explicit CorvessaSectionParameter (CorvessaProcessor& owner);
    ~CorvessaSectionParameter() override;

    float getValue() const override;
    void setValue (float newValue) override;
    float getDefaultValue() const override;
    int getNumSteps() const override;
    bool isDiscrete() const override;
    bool isBoolean() const override;
    juce::String getText (float normalisedValue, int maximumStringLength) const override;
    float getValueForText (const juce::String& text) const override;
    juce::StringArray getAllValueStrings() const override;
    const juce::NormalisableRange<float>& getNormalisableRange() const override;

    // Step index of a normalised value with the given step count (-1 for no steps); halves go
    // to the even neighbour, as the host's own rounding does.
    static int stepIndexForValue (float value, int numSteps);
    // Normalised value of a step.
    static float valueForStepIndex (int index, int numSteps);

    static constexpr const char* autoAdvanceText = "Auto-Advance";
    // A section without a name is shown as this followed by its position from 1.
    static constexpr const char* unnamedSectionPrefix = "Section ";

private:
    CorvessaProcessor& processor;
    // Written by the host or the message thread, read by the audio thread.
    std::atomic<float> value { 0.0f };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CorvessaSectionParameter)
};
