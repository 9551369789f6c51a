#pragma once

#include "processor/SectionData.h"

// The texts that name a section in the window. A name may carry a short label and a detail
// separated by " - " (or " – "): "A - Intro" shows "A" on its button and reads "A - Intro".

// The text on a section's button: the first letter (upper-cased) of the part before a separator;
// a one-character name itself; otherwise the position: "A" to "Z" for 0 to 25, then "27", "28", ...
juce::String sectionShortLabel (const SectionMode::SectionData& section, int index);

// The short label, then " - " and the detail, or the label alone when both read the same
// ignoring case. "Verse" at index 2 reads "C - Verse"; "b" reads "b".
juce::String sectionDisplayName (const SectionMode::SectionData& section, int index);
