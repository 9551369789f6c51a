#include "processor/CorvessaSectionParameter.h"

#include "processor/CorvessaProcessor.h"

#include <cmath>

namespace
{
// The text of step `index` for a song with these sections: its trimmed name, or its position
// when it has none; the step after the last section is Auto-Advance.
juce::String stepText (const SectionList& sections, int index)
{
    if (index == (int) sections.size())
        return CorvessaSectionParameter::autoAdvanceText;

    if (index >= 0 && index < (int) sections.size())
    {
        const auto name = sections[(size_t) index].name.trim();

        if (name.isNotEmpty())
            return name;
    }

    return CorvessaSectionParameter::unnamedSectionPrefix + juce::String (index + 1);
}
} // namespace

CorvessaSectionParameter::CorvessaSectionParameter (CorvessaProcessor& owner)
    : juce::RangedAudioParameter (juce::ParameterID { "activeSection", 1 }, "Section"),
      processor (owner)
{
}

CorvessaSectionParameter::~CorvessaSectionParameter() = default;

float CorvessaSectionParameter::getValue() const          { return value.load (std::memory_order_relaxed); }
void CorvessaSectionParameter::setValue (float newValue)  { value.store (newValue, std::memory_order_relaxed); }
float CorvessaSectionParameter::getDefaultValue() const   { return 0.0f; }
bool CorvessaSectionParameter::isDiscrete() const         { return true; }
bool CorvessaSectionParameter::isBoolean() const          { return false; }

int CorvessaSectionParameter::getNumSteps() const
{
    // Read on the audio thread in every playing block: the count comes from the processor's
    // lock-free mirror, never from a copy of the section list.
    return juce::jmax (1, processor.getSectionCount() + 1);
}

int CorvessaSectionParameter::stepIndexForValue (float v, int numSteps)
{
    if (numSteps <= 0)
        return -1;

    if (numSteps == 1)
        return 0;

    // The product is formed in single precision and rounded half-to-even, as the host does.
    const float product = v * (float) (numSteps - 1);
    const double rounded = std::nearbyint ((double) product);

    if (std::isnan (rounded))
        return 0;

    return (int) juce::jlimit (0.0, (double) (numSteps - 1), rounded);
}

float CorvessaSectionParameter::valueForStepIndex (int index, int numSteps)
{
    if (numSteps < 2)
        return 0.0f;

    return (float) juce::jlimit (0, numSteps - 1, index) / (float) (numSteps - 1);
}

juce::String CorvessaSectionParameter::getText (float normalisedValue, int) const
{
    const auto numSteps = getNumSteps();
    const auto index = numSteps <= 1 ? 0 : stepIndexForValue (normalisedValue, numSteps);
    return stepText (processor.getSections(), index);
}

float CorvessaSectionParameter::getValueForText (const juce::String& text) const
{
    const auto numSteps = getNumSteps();
    const auto trimmed = text.trim();
    const auto sections = processor.getSections();
    const auto count = (int) sections.size();

    auto valueOf = [numSteps] (int index)
    {
        return numSteps < 2 ? 0.0f : (float) juce::jmin (index, numSteps - 1) / (float) (numSteps - 1);
    };

    if (trimmed.equalsIgnoreCase (autoAdvanceText))
        return valueOf (count);

    for (int i = 0; i < count; ++i)
        if (sections[(size_t) i].name.trim().equalsIgnoreCase (trimmed))
            return valueOf (i);

    // "3" selects the third step, and so does "Section 3", the text an unnamed third section
    // is shown with.
    const auto unnamedPrefix = juce::String (unnamedSectionPrefix);
    const auto numberText = trimmed.startsWithIgnoreCase (unnamedPrefix) ? trimmed.substring (unnamedPrefix.length())
                                                                         : trimmed;
    const auto number = numberText.getIntValue();

    if (number < 1 || numSteps < 2)
        return 0.0f;

    return (float) (juce::jmin (number, numSteps) - 1) / (float) (numSteps - 1);
}

juce::StringArray CorvessaSectionParameter::getAllValueStrings() const
{
    const auto sections = processor.getSections();
    juce::StringArray texts;

    for (int i = 0; i <= (int) sections.size(); ++i)
        texts.add (stepText (sections, i));

    return texts;
}

const juce::NormalisableRange<float>& CorvessaSectionParameter::getNormalisableRange() const
{
    static const juce::NormalisableRange<float> range { 0.0f, 1.0f, 0.0f, 1.0f };
    return range;
}
