#include "editor/views/SectionLabels.h"

namespace
{
// Where the label part of a trimmed name ends: the first " - ", else the first " – "; -1 when
// the name has neither.
int findSeparator (const juce::String& trimmedName)
{
    const auto hyphen = trimmedName.indexOf (" - ");
    if (hyphen >= 0)
        return hyphen;

    return trimmedName.indexOf (juce::String (juce::CharPointer_UTF8 (" \xe2\x80\x93 ")));
}

juce::String positionLabel (int index)
{
    if (index >= 0 && index < 26)
        return juce::String::charToString ((juce::juce_wchar) ('A' + index));

    return juce::String (index + 1);
}
} // namespace

juce::String sectionShortLabel (const SectionMode::SectionData& section, int index)
{
    const auto name = section.name.trim();
    const auto separator = findSeparator (name);

    if (separator > 0)
        return name.substring (0, separator).trim().substring (0, 1).toUpperCase();

    if (name.length() == 1)
        return name;

    return positionLabel (index);
}

juce::String sectionDisplayName (const SectionMode::SectionData& section, int index)
{
    const auto label = sectionShortLabel (section, index);
    const auto name = section.name.trim();
    const auto separator = findSeparator (name);
    const auto detail = separator > 0 ? name.substring (separator + 3).trim() : name;

    return label.equalsIgnoreCase (detail) ? label : label + " - " + detail;
}
