#include "chord_editor/ChordDraftTokens.h"

#include "chord_editor/ChordBuilder.h"
#include "harmony/ChordEditorVocabulary.h"
#include "harmony/ScaleTable.h"

#include <algorithm>

int placeDraftToken (std::vector<ChordToken>& tokens, int index, int insertAnchor, bool insertBefore,
                     const ChordToken& token)
{
    const int count = (int) tokens.size();

    if (insertAnchor < 0)
    {
        if (index >= 0 && index < count)
        {
            tokens[(size_t) index] = token;
            return index;
        }

        if (index == count)
        {
            tokens.push_back (token);
            return index;
        }

        return -1;
    }

    const int position = std::min (insertBefore ? insertAnchor : insertAnchor + 1, count);
    tokens.insert (tokens.begin() + position, token);
    return position;
}

namespace
{
bool intervalInScale (const ScaleDefinition& scale, int semitones)
{
    return std::find (scale.intervals.begin(), scale.intervals.end(), semitones) != scale.intervals.end();
}

int semitonesAbove (int pitchClass, int keyPitchClass)
{
    return ((pitchClass - keyPitchClass) % 12 + 12) % 12;
}
} // namespace

std::vector<ChordLabel> buildChordTokenLabels (const std::vector<ChordToken>& tokens, const juce::String& keyRoot,
                                               const juce::String& scaleName)
{
    const auto key = keyRoot.trim();
    const auto scaleText = scaleName.trim();
    const int keyPc = getNoteNames().indexOf (key);
    const auto* scale = scaleText.isEmpty() ? nullptr : findScale (scaleText);

    std::vector<ChordLabel> labels;
    labels.reserve (tokens.size());

    for (const auto& token : tokens)
    {
        ChordLabel label;
        label.name = token.isRest ? juce::String ("Rest") : formatChordSymbol (token);
        label.lengthText = formatDurationLabel (token);
        label.tag = harmonicOptionLabel (token.option);

        if (keyPc >= 0 && scale != nullptr && token.isValid && ! token.isRest)
        {
            const int rootPc = getPitchClass (token.root);
            const auto bass = token.bass.trim();
            const int bassPc = getNoteNames().indexOf (bass);
            const bool bassFits = bass.isEmpty() || bass.equalsIgnoreCase ("None")
                               || (bassPc >= 0 && intervalInScale (*scale, semitonesAbove (bassPc, keyPc)));

            label.scaleFit = rootPc >= 0 && bassFits && chordFitsScale (key, scaleText, token.root, token.quality) ? 1 : 2;

            if (label.tag.isEmpty() && label.scaleFit == 1)
            {
                const auto& intervals = scale->intervals;
                const auto degree = std::find (intervals.begin(), intervals.end(), semitonesAbove (rootPc, keyPc));
                if (degree != intervals.end())
                {
                    const auto quality = canonicalEditorQuality (token.quality);
                    label.tag = romanDegreeLabel ((int) (degree - intervals.begin()),
                                                  quality == "major" ? juce::String() : quality);
                }
            }
        }

        labels.push_back (label);
    }

    return labels;
}
