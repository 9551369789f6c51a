#pragma once

#include "song/SectionData.h"

#include <juce_core/juce_core.h>

// The strict check a portable project must pass before it may replace the arrangement. Where
// the lenient section reader converts and ignores, this refuses, and names the first problem in
// a short English message. Nothing here changes any state.

// The structural check of the project and its sections (no compile).
juce::Result validatePortableDocument (const juce::var& project);

// The arrangement object of one section.
juce::Result validatePortableArrangement (const juce::var& arrangement);

// A section's scale text: a root note, one space and one of the scale names.
juce::Result validatePortableScale (const juce::String& scaleText);

// Compiles the section's progression with the given default duration: every chord must be
// readable and the durations must add up to whole bars.
juce::Result validateProgressionTokens (const SectionMode::SectionData& section, const juce::String& defaultDuration);

// The whole check: the document, then every section read leniently and compiled with the given
// default duration. Compile failures are prefixed with the section's name.
juce::Result validatePortableProjectWith (const juce::var& project, const juce::String& defaultDuration);

// The compile part of the check alone, for a project whose document has passed.
juce::Result validatePortableProgressions (const juce::var& project, const juce::String& defaultDuration);

// Limits of the strict check.
struct PortableLimits
{
    static constexpr int maxSections = 32;
    static constexpr int maxNameBytes = 256;
    static constexpr int maxProgressionBytes = 16384;
    static constexpr int maxChords = 256;
    static constexpr int maxScaleBytes = 256;
    static constexpr int minBpm = 1;
    static constexpr int maxBpm = 999;
};
