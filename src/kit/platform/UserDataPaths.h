#pragma once

#include <juce_core/juce_core.h>

namespace velmar
{

// A file path below the user's application-data folder (~/.config on Linux, the roaming
// folder on Windows). The relative path is split at "/" and "\"; every piece becomes one
// child folder. Empty, "." and ".." pieces are skipped, so the result can never climb out of
// the application-data folder whatever text a caller passes. Nothing is created or tested on
// disk.
juce::File getUserApplicationDataFile (const juce::String& relativePath);

} // namespace velmar
