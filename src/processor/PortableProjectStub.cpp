// Placeholder for the portable project until it lands: nothing is exported or accepted.
#include "processor/CorvessaProcessor.h"

juce::var CorvessaProcessor::exportPortableProject() const
{
    return juce::var (new juce::DynamicObject());
}

juce::Result CorvessaProcessor::validatePortableProject (const juce::var&) const
{
    return juce::Result::fail ("Portable projects are not supported yet.");
}

juce::Result CorvessaProcessor::applyPortableProject (const juce::var& project)
{
    return validatePortableProject (project);
}
