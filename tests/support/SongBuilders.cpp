#include "support/SongBuilders.h"

namespace corvessa::test
{

SectionMode::SectionData section (const juce::String& name, const juce::String& progression)
{
    SectionMode::SectionData s;
    s.name = name;
    s.progression = progression;
    return s;
}

SectionList sectionsNamed (std::initializer_list<const char*> names, const juce::String& progression)
{
    SectionList sections;

    for (const auto* name : names)
        sections.push_back (section (juce::CharPointer_UTF8 (name), progression));

    return sections;
}

SectionList songOf (std::initializer_list<std::pair<const char*, const char*>> namesAndProgressions)
{
    SectionList sections;

    for (const auto& [name, progression] : namesAndProgressions)
        sections.push_back (section (juce::CharPointer_UTF8 (name), juce::CharPointer_UTF8 (progression)));

    return sections;
}

} // namespace corvessa::test
