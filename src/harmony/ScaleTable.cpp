#include "harmony/ScaleTable.h"

#include "harmony/ChordEditorVocabulary.h"

#include <algorithm>

namespace
{
bool scaleContains (const ScaleDefinition& scale, int semitonesAboveKey)
{
    const auto degree = ((semitonesAboveKey % 12) + 12) % 12;
    return std::find (scale.intervals.begin(), scale.intervals.end(), degree) != scale.intervals.end();
}

[[maybe_unused]] const bool scalesBuiltAtLoad = (getScaleTable(), getNoteNames(), true);
} // namespace

const std::vector<ScaleDefinition>& getScaleTable()
{
    static const std::vector<ScaleDefinition> table {
        { "Major",          { 0, 2, 4, 5, 7, 9, 11 } },   //  1
        { "Minor",          { 0, 2, 3, 5, 7, 8, 10 } },   //  2
        { "Dorian",         { 0, 2, 3, 5, 7, 9, 10 } },   //  3
        { "Mixolydian",     { 0, 2, 4, 5, 7, 9, 10 } },   //  4
        { "Lydian",         { 0, 2, 4, 6, 7, 9, 11 } },   //  5
        { "Phrygian",       { 0, 1, 3, 5, 7, 8, 10 } },   //  6
        { "Hirajoshi",      { 0, 2, 3, 7, 8 } },          //  7
        { "Pent. Minor",    { 0, 3, 5, 7, 10 } },         //  8
        { "Pent. Major",    { 0, 2, 4, 7, 9 } },          //  9
        { "Blues",          { 0, 3, 5, 6, 7, 10 } },      // 10
        { "Egyptian",       { 0, 2, 5, 7, 10 } },         // 11
        { "Lydian Ext.",    { 0, 2, 4, 6, 7, 9, 11 } },   // 12
        { "Dorian Ext.",    { 0, 2, 3, 5, 7, 9, 10 } },   // 13
        { "Ionian Sus",     { 0, 2, 4, 5, 7, 9, 11 } },   // 14
        { "Harm. Minor",    { 0, 2, 3, 5, 7, 8, 11 } },   // 15
        { "Melodic Min.",   { 0, 2, 3, 5, 7, 9, 11 } },   // 16
        { "Lydian Dom.",    { 0, 2, 4, 6, 7, 9, 10 } },   // 17
        { "Locrian",        { 0, 1, 3, 5, 6, 8, 10 } },   // 18
        { "Whole Tone",     { 0, 2, 4, 6, 8, 10 } },      // 19
        { "Hungarian Min.", { 0, 2, 3, 6, 7, 8, 11 } },   // 20
    };
    return table;
}

const juce::StringArray& getNoteNames()
{
    static const juce::StringArray names { "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B" };
    return names;
}

int getPitchClass (const juce::String& noteName)
{
    return getNoteNames().indexOf (noteName.trim());
}

juce::String normaliseScaleName (const juce::String& scaleName)
{
    const auto name = scaleName.trim();

    if (name.isEmpty())
        return "Major";

    static const std::pair<const char*, const char*> longNames[] {
        { "Natural Minor",    "Minor" },
        { "Pentatonic Minor", "Pent. Minor" },
        { "Pentatonic Major", "Pent. Major" },
        { "Harmonic Minor",   "Harm. Minor" },
        { "Melodic Minor",    "Melodic Min." },
        { "Lydian Dominant",  "Lydian Dom." },
        { "Hungarian Minor",  "Hungarian Min." },
    };

    for (const auto& [longName, tableName] : longNames)
        if (name == longName)
            return tableName;

    for (const auto& scale : getScaleTable())
        if (name == scale.name)
            return scale.name;

    return "Major";
}

const ScaleDefinition* findScale (const juce::String& scaleName)
{
    const auto name = normaliseScaleName (scaleName);

    for (const auto& scale : getScaleTable())
        if (scale.name == name)
            return &scale;

    return nullptr;
}

bool isPitchInScale (const juce::String& keyRoot, const juce::String& scaleName, int pitch)
{
    const auto key = getPitchClass (keyRoot);
    const auto* scale = findScale (scaleName);

    if (key < 0 || scale == nullptr)
        return false;

    // Reduce the note first so that no MIDI number, however far out, overflows the difference.
    return scaleContains (*scale, (pitch % 12) - key);
}

bool chordFitsScale (const juce::String& keyRoot, const juce::String& scaleName,
                     const juce::String& chordRoot, const juce::String& quality)
{
    const auto root = getPitchClass (chordRoot);

    if (root < 0)
        return false;

    const auto intervals = getQualityIntervals (quality);

    if (intervals.empty())
        return false;

    const auto key = getPitchClass (keyRoot);
    const auto* scale = findScale (scaleName);

    if (key < 0 || scale == nullptr)
        return false;

    return std::all_of (intervals.begin(), intervals.end(),
                        [&] (int interval) { return scaleContains (*scale, root + interval - key); });
}
