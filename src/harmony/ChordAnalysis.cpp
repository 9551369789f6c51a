#include "harmony/ProgressionCompiler.h"

#include "harmony/ChordPattern.h"
#include "harmony/ChordVocabulary.h"

#include <algorithm>
#include <stdexcept>

namespace
{
int pitchClassOf (long long interval)
{
    return (int) (((interval % 12) + 12) % 12);
}

void sortUnique (std::vector<int>& values)
{
    std::sort (values.begin(), values.end());
    values.erase (std::unique (values.begin(), values.end()), values.end());
}

// A colour tone written inside the octave moves above it (the added 9 of "add2" is the ninth,
// the #11 written as 6 is 18); thirds and sevenths stay where they are.
int compoundColorTone (int interval)
{
    if (interval >= 12)
        return interval;

    switch (pitchClassOf (interval))
    {
        case 1: return 13;
        case 2: return 14;
        case 5: return 17;
        case 6: return 18;
        case 8: return 20;
        case 9: return 21;
        default: return interval;
    }
}
} // namespace

ProgressionCompiler::QualityAndBass ProgressionCompiler::parseChordSymbol (const ChordEvent& event)
{
    const auto match = matchChordPattern (event.symbol);
    if (! match.has_value())
        return {};

    const auto quality = match->rest.trim();
    const auto& qualities = chordQualityIntervals();

    if (qualities.find (quality) != qualities.end())
        return { quality, {} };

    const auto slash = quality.lastIndexOfChar ('/');
    if (slash >= 0)
    {
        const auto after = quality.substring (slash + 1);
        const auto first = after.isNotEmpty() ? after[0] : juce::juce_wchar (0);

        if ((first >= 'A' && first <= 'G') || (first >= 'a' && first <= 'g'))
            return { quality.substring (0, slash), after };
    }

    return { quality, {} };
}

ChordAnalysis ProgressionCompiler::analyseChord (const ChordEvent& event, int octave, bool bodyWithShimmer)
{
    if (! event.resolved || event.root.isEmpty())
        return {};

    const auto parsed = parseChordSymbol (event);
    const auto quality = parsed.quality.trim();
    const auto& qualities = chordQualityIntervals();

    auto row = qualities.find (quality);
    if (row == qualities.end())
    {
        if (quality.isNotEmpty())
            return {};
        row = qualities.find ("maj"); // a bare root is a major triad
        if (row == qualities.end())
            return {};
    }

    ChordAnalysis analysis;
    analysis.intervals = row->second;

    try
    {
        analysis.rootMidi = noteNameToMidi (event.root, clampOctave (octave));
        analysis.rootPitchClass = noteNameToMidi (event.root, 0) % 12;
    }
    catch (const std::exception&)
    {
        return {}; // only a hand-made event can be resolved with a root that is no note name
    }

    // A slash chord always keeps the perfect fifth; otherwise a chord without one takes its
    // lowered or raised fifth.
    analysis.fifthInterval = 7;
    if (event.bass.isEmpty() && parsed.bass.isEmpty())
    {
        const auto& iv = analysis.intervals;
        const bool hasPerfectFifth = std::any_of (iv.begin(), iv.end(), [] (int i) { return pitchClassOf (i) == 7; });

        if (! hasPerfectFifth)
        {
            for (auto i : iv)
            {
                const auto p = pitchClassOf (i);
                if (p == 6 || p == 8)
                {
                    analysis.fifthInterval = p;
                    break;
                }
            }
        }
    }

    const auto lower = quality.toLowerCase();
    const bool sixthChord = lower.contains ("6") && ! lower.contains ("13");
    const bool noAutomaticNinth = lower.contains ("add") || lower.contains ("6/9") || lower.contains ("sus2");
    const bool suspendedFourth = lower.contains ("sus4");
    const bool loweredFifth = lower.contains ("dim") || lower.contains ("b5");
    const bool raisedFifth = lower.contains ("aug") || lower.contains ("#5") || lower.contains ("+");

    for (auto i : analysis.intervals)
    {
        bool color = false;

        switch (pitchClassOf (i))
        {
            case 1:
            case 2:
            case 3:  color = i >= 12; break;
            case 5:  color = i >= 12 && ! suspendedFourth; break;
            case 6:  color = ! loweredFifth; break;
            case 8:  color = i >= 12 || ! raisedFifth; break;
            case 9:  color = ! sixthChord; break;
            case 10:
            case 11: color = true; break;
            default: color = false; break; // root, major third, perfect fifth
        }

        if (! color)
        {
            analysis.bodyTones.push_back (i);
            continue;
        }

        const auto tone = compoundColorTone (i);
        analysis.colorTones.push_back (tone);
        analysis.shimmerTones.push_back (tone);
        if (bodyWithShimmer)
            analysis.bodyTones.push_back (tone);
    }

    auto& body = analysis.bodyTones;
    body.erase (std::remove_if (body.begin(), body.end(), [] (int t) { return t < 0; }), body.end());

    auto addShimmer = [&] (int tone)
    {
        analysis.shimmerTones.push_back (tone);
        if (bodyWithShimmer)
            analysis.bodyTones.push_back (tone);
    };

    if (! noAutomaticNinth)
        addShimmer (14);
    if (! sixthChord)
        addShimmer (21);

    sortUnique (analysis.bodyTones);
    sortUnique (analysis.colorTones);
    sortUnique (analysis.shimmerTones);
    analysis.valid = true;
    return analysis;
}

std::vector<int> ProgressionCompiler::getChordColorIntervals (const ChordEvent& event, int octave)
{
    if (! event.resolved || event.root.isEmpty())
        return {};

    const auto analysis = analyseChord (event, octave, false);
    return analysis.valid ? analysis.colorTones : std::vector<int>();
}

std::vector<int> ProgressionCompiler::getChordColorNotes (const ChordEvent& event, int octave)
{
    if (! event.resolved || event.root.isEmpty())
        return {};

    const auto analysis = analyseChord (event, octave, false);
    if (! analysis.valid)
        return {};

    std::vector<int> notes;
    for (auto interval : analysis.colorTones)
    {
        const auto note = (long long) analysis.rootMidi + interval;
        if (note >= 0 && note <= 127)
            notes.push_back ((int) note);
    }

    sortUnique (notes);
    return notes;
}

int ProgressionCompiler::getFifthInterval (const ChordEvent& event, int rootPitchClass)
{
    if (event.bass.isNotEmpty())
        return 7;

    auto relative = [rootPitchClass] (int note) { return pitchClassOf ((long long) note - rootPitchClass); };

    for (auto n : event.voicing)
        if (relative (n) == 7)
            return 7;

    for (auto n : event.voicing)
    {
        const auto r = relative (n);
        if (r == 6 || r == 8)
            return r;
    }

    return 7;
}
