#pragma once

#include "song/SectionData.h"

#include <initializer_list>
#include <utility>

namespace corvessa::test
{

// A default section with this name and progression.
SectionMode::SectionData section (const juce::String& name, const juce::String& progression = "C G");

// Default sections of these names, each with the same progression.
SectionList sectionsNamed (std::initializer_list<const char*> names, const juce::String& progression = "C G");

// Default sections of these names and progressions.
SectionList songOf (std::initializer_list<std::pair<const char*, const char*>> namesAndProgressions);

} // namespace corvessa::test
