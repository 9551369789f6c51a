#include "song/SectionData.h"

#include "harmony/ChordVocabulary.h"
#include "harmony/VoicingStyle.h"

#include <algorithm>
#include <tuple>

namespace SectionMode
{
namespace
{
    // The fields compared by both equalities, name excluded, as one tuple of references.
    auto inputFields (const SectionData& s)
    {
        return std::tie (s.progression, s.voicing, s.bassVoicing, s.bodyVoicing, s.shimmerVoicing,
                         s.bassMotion, s.baseOctave, s.arrangeBassLegato, s.arrangeBodyLegato,
                         s.arrangeShimmerLegato, s.arrangeBassAddOctave, s.arrangeBassAddFifth,
                         s.arrangeBodyAddRoot, s.arrangeBodyAddFifth, s.arrangeBodyWithShimmer,
                         s.arrangeShimmerTopNoteEnabled, s.arrangeShimmerColorNotesEnabled,
                         s.bassOctave, s.bodyOctave, s.shimmerOctave, s.scale, s.rootKey, s.suggestedBpm);
    }
} // namespace

bool SectionData::operator== (const SectionData& other) const
{
    return name == other.name && inputFields (*this) == inputFields (other);
}

bool equalsIgnoringName (const SectionData& a, const SectionData& b)
{
    return inputFields (a) == inputFields (b);
}
} // namespace SectionMode

namespace
{
int findIgnoringCase (const juce::StringArray& names, const juce::String& name)
{
    for (int i = 0; i < names.size(); ++i)
        if (name.equalsIgnoreCase (names[i]))
            return i;

    return -1;
}

juce::String nameAt (const juce::StringArray& names, int index, int fallback)
{
    return juce::isPositiveAndBelow (index, names.size()) ? names[index] : names[fallback];
}

constexpr int smoothStyle = (int) VoicingStyle::smooth;
constexpr int balancedMotion = 1;
} // namespace

int findVoicingStyleIndex (const juce::String& name) { return findIgnoringCase (voicingStyleNames(), name); }
int findBassMotionIndex (const juce::String& name) { return findIgnoringCase (bassMotionNames(), name); }

int readVoicingStyleIndex (const juce::String& name)
{
    const auto index = findVoicingStyleIndex (name);
    return index < 0 ? smoothStyle : index;
}

int readBassMotionIndex (const juce::String& name)
{
    const auto index = findBassMotionIndex (name);
    return index < 0 ? balancedMotion : index;
}

juce::String voicingStyleNameForIndex (int index) { return nameAt (voicingStyleNames(), index, smoothStyle); }
juce::String bassMotionNameForIndex (int index) { return nameAt (bassMotionNames(), index, balancedMotion); }

int getSectionBassMotionIndex (const SectionMode::SectionData& section) { return readBassMotionIndex (section.bassMotion); }
int getSectionBodyVoicingIndex (const SectionMode::SectionData& section) { return readVoicingStyleIndex (section.bodyVoicing); }
int getSectionShimmerVoicingIndex (const SectionMode::SectionData& section) { return readVoicingStyleIndex (section.shimmerVoicing); }

namespace
{
// "Verse - intro" and "Verse – intro" both use the name "Verse".
juce::String usedSectionName (const juce::String& name)
{
    auto used = name.trim();

    auto cut = used.indexOf (" - ");
    if (cut < 0)
        cut = used.indexOf (juce::String (juce::CharPointer_UTF8 (" \xe2\x80\x93 ")));

    if (cut > 0)
        used = used.substring (0, cut).trim();

    return used;
}
} // namespace

juce::String nextSectionName (const SectionList& sections)
{
    for (int i = 0; i < SectionMode::maxSections; ++i)
    {
        const auto candidate = i < 26 ? juce::String::charToString ((juce::juce_wchar) ('A' + i))
                                      : juce::String (i + 1);

        const auto taken = std::any_of (sections.begin(), sections.end(), [&] (const SectionMode::SectionData& s)
                                        { return usedSectionName (s.name).equalsIgnoreCase (candidate); });
        if (! taken)
            return candidate;
    }

    return "Section " + juce::String ((int) sections.size() + 1);
}
