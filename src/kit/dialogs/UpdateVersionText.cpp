#include "kit/dialogs/UpdateVersionText.h"

namespace velmar
{

namespace
{
    constexpr int maxShownLength = 32;
} // namespace

juce::String versionForDisplay (const juce::String& feedVersion)
{
    auto version = feedVersion.trim();

    if (version.startsWithChar ('v') || version.startsWithChar ('V'))
        version = version.substring (1).trimStart();

    return version.substring (0, maxShownLength).trimEnd();
}

juce::String updateAvailableText (const juce::String& feedVersion)
{
    return "Update available: v" + versionForDisplay (feedVersion);
}

} // namespace velmar
