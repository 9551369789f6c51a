#pragma once

#include <juce_core/juce_core.h>

// Reads a stored or portable playback mode: a void value and the text "loopSection" give 0
// (loop the selected section), "advanceSections" gives 1 (both exact). Any other value returns
// false and leaves the mode alone.
bool parseSectionPlaybackMode (const juce::var& value, int& mode);
