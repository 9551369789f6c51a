#pragma once

#include <juce_core/juce_core.h>

namespace velmar
{

// The update feed's version text as the window and the help dialog show it: trimmed, without
// a leading "v" or "V" (the texts put their own "v" in front), and at most 32 characters, so
// that "V1.3.10" does not read "vV1.3.10" and a long feed text cannot fill the line. The text
// the update checker stores is left as it is.
juce::String versionForDisplay (const juce::String& feedVersion);

// "Update available: v" followed by the version for display.
juce::String updateAvailableText (const juce::String& feedVersion);

} // namespace velmar
