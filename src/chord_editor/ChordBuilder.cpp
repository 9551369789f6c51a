#include "chord_editor/ChordBuilder.h"

#include "harmony/ScaleTable.h"

#include <cmath>

const char* const noTriadOnDegree = "__skip__";

namespace
{
int pitchClassOffset (int from, int to)
{
    return ((to - from) % 12 + 12) % 12;
}

bool startsWithTickMark (const juce::String& text)
{
    return text.startsWithChar ('T') || text.startsWithChar ('t');
}
} // namespace

juce::String editorQualityKey (const juce::String& quality)
{
    const auto canonical = canonicalEditorQuality (quality);
    return canonical.isEmpty() ? juce::String ("major") : canonical;
}

const QualityPartsRow* findQualityPartsRow (const juce::String& quality)
{
    const auto wanted = editorQualityKey (quality);

    for (const auto& row : getQualityPartsTable())
        if (editorQualityKey (row.quality) == wanted)
            return &row;

    return nullptr;
}

const QualityPartsRow* findQualityPartsRow (const juce::String& character, const juce::String& color)
{
    for (const auto& row : getQualityPartsTable())
        if (row.character == character && row.color == color)
            return &row;

    return nullptr;
}

const juce::StringArray& getRootChoices()
{
    return getNoteNames();
}

const std::vector<CharacterChoice>& getCharacterChoices()
{
    static const std::vector<CharacterChoice> choices {
        { "Maj",   "major" },
        { "Power", "5" },
        { "Min",   "m" },
        { "Sus 2", "sus2" },
        { "Sus 4", "sus4" },
        { "Aug",   "aug" },
        { "Dim",   "dim" },
    };
    return choices;
}

const juce::StringArray& getColorChoices()
{
    static const juce::StringArray choices { "None", "6", "add9", "7", "maj7", "9" };
    return choices;
}

juce::String diatonicTriadQuality (const std::vector<int>& scaleIntervals, int degree)
{
    const int count = (int) scaleIntervals.size();
    if (degree < 0 || degree >= count)
        return noTriadOnDegree;

    const int tonic = scaleIntervals[(size_t) degree];

    if (count == 7)
    {
        const int third = pitchClassOffset (tonic, scaleIntervals[(size_t) ((degree + 2) % 7)]);
        const int fifth = pitchClassOffset (tonic, scaleIntervals[(size_t) ((degree + 4) % 7)]);

        if (third == 4 && fifth == 7) return {};
        if (third == 4 && fifth == 8) return "aug";
        if (third == 3 && fifth == 7) return "m";
        if (third == 3 && fifth == 6) return "dim";
    }

    const auto has = [&] (int semitones)
    {
        for (const int interval : scaleIntervals)
            if (pitchClassOffset (tonic, interval) == semitones)
                return true;
        return false;
    };

    if (has (4) && (has (7) || has (8)))
        return has (7) ? juce::String() : juce::String ("aug");
    if (has (3) && has (7))
        return "m";
    if (! has (5) && has (7))
        return has (2) ? "sus2" : "5";
    if (has (7))
        return "sus4";
    return noTriadOnDegree;
}

juce::String romanDegreeLabel (int degree, const juce::String& quality)
{
    static const char* const numerals[] { "I", "II", "III", "IV", "V", "VI", "VII" };
    juce::String label (numerals[juce::jlimit (0, 6, degree)]);

    const bool minor = quality.startsWith ("m") && ! quality.startsWith ("maj");
    if (minor || quality.contains ("dim"))
        label = label.toLowerCase();

    if (quality == "dim")
        label << "dim";

    return label;
}

std::vector<QuickChord> buildQuickChords (const juce::String& keyRoot, const juce::String& scaleName, int limit)
{
    const int key = getPitchClass (keyRoot);
    const auto* scale = findScale (scaleName);
    if (key < 0 || scale == nullptr)
        return {};

    std::vector<QuickChord> chords;
    const int degrees = juce::jmin (limit, (int) scale->intervals.size());

    for (int degree = 0; degree < degrees; ++degree)
    {
        const auto root = getNoteNames()[(key + scale->intervals[(size_t) degree]) % 12];
        const auto quality = diatonicTriadQuality (scale->intervals, degree);
        if (quality == noTriadOnDegree)
            continue;

        chords.push_back ({ romanDegreeLabel (degree, quality) + " " + root + quality, root, quality });
    }

    return chords;
}

bool isValidLengthText (const juce::String& lengthText)
{
    const auto text = lengthText.trim();
    if (startsWithTickMark (text))
        return text.substring (1).getDoubleValue() > 0.0;
    return text.getDoubleValue() > 0.0;
}

double lengthTextBars (const juce::String& lengthText)
{
    return startsWithTickMark (lengthText) ? 1.0 : lengthText.getDoubleValue();
}

bool lengthTextsMatch (const juce::String& a, const juce::String& b)
{
    if (startsWithTickMark (a) || startsWithTickMark (b))
        return a.equalsIgnoreCase (b);
    return std::abs (a.getDoubleValue() - b.getDoubleValue()) < 0.0001;
}

juce::String formatLengthLabel (const juce::String& lengthText)
{
    if (startsWithTickMark (lengthText))
        return lengthText;

    for (const auto& choice : getBarLengthChoices())
        if (lengthTextsMatch (choice.value, lengthText))
            return choice.label;

    return lengthText + (std::abs (lengthText.getDoubleValue() - 1.0) < 0.0001 ? " bar" : " bars");
}
