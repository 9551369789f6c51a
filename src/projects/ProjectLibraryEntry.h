#pragma once

#include <juce_core/juce_core.h>

// One row of the project library's list: a project file with the name and description read
// from it.
struct ProjectLibraryEntry
{
    juce::File file;
    juce::String name;
    juce::String description;
};
