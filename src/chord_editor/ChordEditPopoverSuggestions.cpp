// The suggestions for the chord's place in the progression: the mood's ranking of the degrees
// around the chord, named in the panel's key, then the key's other chords.
#include "chord_editor/ChordEditPopover.h"

#include "harmony/ScaleTable.h"

namespace
{
// The roles of the first suggestions, by which neighbours the chord has; the fifth role holds
// for every later slot.
const char* const rolesBetween[]  { "Best connection", "Smooth alternative", "More colour", "Stronger turn", "Wild card" };
const char* const rolesAfter[]    { "Natural next step", "Keeps the flow", "More contrast", "Fresh direction", "Wild card" };
const char* const rolesBefore[]   { "Best lead-in", "Gentle approach", "More tension", "Fresh approach", "Wild card" };
const char* const rolesAlone[]    { "Strong starting point", "Gentle opening", "More colour", "Fresh direction", "Wild card" };

const char* const alsoInKeyRole = "Also in key";

} // namespace

int ChordEditPopover::clampedEditPosition() const
{
    return juce::jlimit (0, (int) contextTokens.size(), editPosition);
}

int ChordEditPopover::nextTokenIndex() const
{
    return (replacesChord ? 1 : 0) + clampedEditPosition();
}

bool ChordEditPopover::hasChordBefore() const
{
    return clampedEditPosition() >= 1;
}

bool ChordEditPopover::hasChordAfter() const
{
    return nextTokenIndex() < (int) contextTokens.size();
}

int ChordEditPopover::tokenDegree (const ChordToken& token) const
{
    if (token.isRest || ! token.isValid)
        return -1;

    const int key = getPitchClass (keyRoot);
    const int root = getPitchClass (token.root);
    const auto* scale = findScale (scaleName);

    if (key < 0 || root < 0 || scale == nullptr)
        return -1;

    const int offset = ((root - key) % 12 + 12) % 12;

    for (size_t degree = 0; degree < scale->intervals.size(); ++degree)
        if (scale->intervals[degree] == offset)
            return (int) degree;

    return -1;
}

juce::String ChordEditPopover::roleLabel (int slot) const
{
    const bool before = hasChordBefore();
    const bool after = hasChordAfter();
    const auto& roles = before ? (after ? rolesBetween : rolesAfter) : (after ? rolesBefore : rolesAlone);
    return roles[juce::jlimit (0, 4, slot)];
}

void ChordEditPopover::rebuildSuggestions()
{
    suggestions.clear();

    const auto* scale = findScale (scaleName);
    const int key = getPitchClass (keyRoot);

    if (scale == nullptr || key < 0)
    {
        refreshSuggestionButtons();
        return;
    }

    const int position = clampedEditPosition();
    const int previousDegree = hasChordBefore() ? tokenDegree (contextTokens[(size_t) position - 1]) : -1;
    const int targetDegree = hasChordAfter() ? tokenDegree (contextTokens[(size_t) nextTokenIndex()]) : -1;

    std::vector<int> recentDegrees;
    for (int i = 0; i < position; ++i)
        if (const int degree = tokenDegree (contextTokens[(size_t) i]); degree >= 0)
            recentDegrees.push_back (degree);

    const int degreeCount = (int) scale->intervals.size();
    const auto ranked = moodGenerator.suggestNextChords (moodName, previousDegree, targetDegree,
                                                         recentDegrees, degreeCount, degreeCount);

    for (const auto& candidate : ranked)
    {
        if (candidate.degree < 0 || candidate.degree >= degreeCount)
            continue;

        const auto root = getNoteNames()[(key + scale->intervals[(size_t) candidate.degree]) % 12];
        auto quality = canonicalEditorQuality (candidate.quality);

        // A palette quality the builder cannot show falls back to the scale's own triad there.
        if (findQualityPartsRow (quality) == nullptr)
            quality = diatonicTriadQuality (scale->intervals, candidate.degree);

        if (quality == noTriadOnDegree)
            continue;

        suggestions.push_back ({ romanDegreeLabel (candidate.degree, quality) + " " + root + quality,
                                 root, quality, roleLabel ((int) suggestions.size()) });
    }

    for (const auto& chord : buildQuickChords (keyRoot, scaleName, degreeCount))
    {
        const bool rootListed = std::any_of (suggestions.begin(), suggestions.end(),
                                             [&chord] (const auto& s) { return s.root == chord.root; });
        if (! rootListed)
            suggestions.push_back ({ chord.label, chord.root, chord.quality, alsoInKeyRole });
    }

    refreshSuggestionButtons();
}

void ChordEditPopover::refreshSuggestionButtons()
{
    const bool shown = hasChord && ! expertMode;
    const auto root = rootBox.getText().trim();
    const auto quality = currentQuality();
    const bool rest = restButton.getToggleState();

    for (size_t i = 0; i < suggestionButtons.size(); ++i)
    {
        auto& button = suggestionButtons[i];

        if (i >= suggestions.size())
        {
            button.setVisible (false);
            button.setButtonText ({});
            button.setTooltip ({});
            button.chordText.clear();
            button.roleText.clear();
            button.isBest = false;
            button.setToggleState (false, juce::dontSendNotification);
            button.repaint();
            continue;
        }

        const auto& suggestion = suggestions[i];
        button.setVisible (shown);
        button.setButtonText (suggestion.label);
        button.setTooltip (suggestion.role);
        button.chordText = suggestion.label;
        button.roleText = suggestion.role;
        button.isBest = (i == 0);
        button.repaint();
        button.setToggleState (suggestion.root == root && suggestion.quality == quality && ! rest,
                               juce::dontSendNotification);
    }

    repaint();
}

void ChordEditPopover::suggestionButtonClicked (int index)
{
    if (index >= (int) suggestions.size())
        return;

    const auto suggestion = suggestions[(size_t) index];
    takeRootAndQuality (suggestion.root, suggestion.quality);
}
