#include "harmony/ProgressionCompiler.h"

#include "harmony/ChordPattern.h"
#include "harmony/ChordVocabulary.h"
#include "harmony/ProgressionText.h"
#include "harmony/VoicingSearch.h"
#include "harmony/VoicingStyle.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numeric>
#include <stdexcept>

namespace
{
constexpr double ticksPerBar = 512.0;
constexpr double ticksPerQuarterNote = 128.0;

bool isNoteLetter (juce::juce_wchar c)
{
    return (c >= 'A' && c <= 'G') || (c >= 'a' && c <= 'g');
}

// The option tags in the order they are looked for; only the first kind found is taken out.
struct OptionTag
{
    const char* text;
    HarmonicOption option;
};

constexpr OptionTag optionTags[] = {
    { "{V/V}", HarmonicOption::fifthOfFifth },
    { "{TT}", HarmonicOption::tritoneSubstitute },
    { "{CM}", HarmonicOption::chromaticMediant },
};

HarmonicOption takeOptionTag (juce::String& chordPart)
{
    for (const auto& tag : optionTags)
    {
        if (chordPart.contains (tag.text))
        {
            chordPart = chordPart.replace (tag.text, "");
            return tag.option;
        }
    }

    return HarmonicOption::none;
}

double meanOf (const std::vector<int>& notes)
{
    double sum = 0.0;
    for (auto n : notes)
        sum += n;
    return sum / (double) notes.size();
}

std::vector<int> sortedCopy (std::vector<int> notes)
{
    std::sort (notes.begin(), notes.end());
    return notes;
}
} // namespace

//==============================================================================
double ProgressionCompiler::durationToTicks (const juce::String& durationText)
{
    const auto text = durationText.trim();

    if (text.isEmpty())
        return ticksPerBar;

    // A number that is not finite (inf, nan, 1e999) counts as no number at all. A finite bar
    // count is capped (before the multiplication, so that it cannot overflow) at the longest
    // chord; see maxChordLengthTicks for why.
    const auto bars = text.getDoubleValue();
    if (std::isfinite (bars) && bars > 0.0)
        return bars < maxChordLengthTicks / ticksPerBar ? bars * ticksPerBar : maxChordLengthTicks;

    if (text.startsWithIgnoreCase ("T"))
    {
        const auto ticks = text.substring (1).getDoubleValue();
        // "T", "Tx", "Tnan" and "Tinf" read as no ticks; a negative count is clamped to none,
        // because a negative length would run time backwards for every later chord.
        if (! std::isfinite (ticks) || ! (ticks > 0.0))
            return 0.0;
        return std::min (ticks, maxChordLengthTicks);
    }

    return ticksPerBar;
}

double ProgressionCompiler::getTotalLengthInBeats (const std::vector<ChordEvent>& events)
{
    double sum = 0.0;
    for (const auto& e : events)
        sum += e.lengthTicks;
    return sum / ticksPerQuarterNote;
}

//==============================================================================
std::vector<ChordEvent> ProgressionCompiler::compileProgression (const juce::String& progression,
                                                                 int baseOctave,
                                                                 int voicingStyle,
                                                                 const juce::String& defaultDuration,
                                                                 int bassMotion)
{
    unrecognisedChords.clear();
    std::vector<ChordEvent> result;

    const auto text = withWellFormedUtf8 (progression).trim();
    if (text.isEmpty())
        return result;

    baseOctave = clampOctave (baseOctave);
    const auto& qualities = chordQualityIntervals();

    double start = 0.0;
    std::optional<std::vector<int>> previousVoicing;

    // Tokens are separated by the space character only; tabs and line breaks stay inside a
    // token (and make it unreadable), and runs of spaces give empty tokens that take no time.
    // The text is walked once: finding each token by its index would start from the
    // beginning every time, and a long text of spaces would then hold the generation thread
    // for seconds.
    for (auto p = text.getCharPointer(); ! p.isEmpty();)
    {
        if (shouldStop && shouldStop())
            break;

        const auto tokenStart = p;

        while (! p.isEmpty() && *p != ' ')
            ++p;

        const juce::String token (tokenStart, p);

        if (! p.isEmpty())
            ++p;

        if (token.isEmpty())
            continue;

        auto chordPart = token.upToFirstOccurrenceOf (":", false, false);
        const auto durationText = token.containsChar (':')
                                      ? token.fromFirstOccurrenceOf (":", false, false).upToFirstOccurrenceOf (":", false, false)
                                      : defaultDuration;

        const auto option = takeOptionTag (chordPart);
        const auto length = durationToTicks (durationText);

        ChordEvent event;
        event.symbol = chordPart;
        event.startTicks = start;
        event.lengthTicks = length;

        if (chordPart.toUpperCase() == "R")
        {
            event.symbol = "R"; // a tag on a rest is dropped
            result.push_back (std::move (event));
            previousVoicing.reset();
            start += length;
            continue;
        }

        event.option = option;

        const auto match = matchChordPattern (chordPart);
        if (! match.has_value())
        {
            unrecognisedChords.add (chordPart);
            result.push_back (std::move (event));
            previousVoicing.reset();
            start += length;
            continue;
        }

        auto quality = match->rest.trim();
        juce::String slashBass;

        if (qualities.find (quality) == qualities.end() && quality.containsChar ('/'))
        {
            const auto slash = quality.lastIndexOfChar ('/');
            const auto after = quality.substring (slash + 1);

            if (after.isNotEmpty() && isNoteLetter (after[0]))
            {
                slashBass = after;
                quality = quality.substring (0, slash);
            }
        }

        event.root = match->root;
        event.bass = slashBass;

        bool read = false;

        try
        {
            const int rootMidi = noteNameToMidi (event.root, baseOctave);

            auto row = qualities.find (quality);
            if (row == qualities.end() && quality.isEmpty())
                row = qualities.find ("maj");

            if (row != qualities.end())
            {
                std::vector<int> tones;
                tones.reserve (row->second.size());
                for (auto interval : row->second)
                    tones.push_back (rootMidi + interval);
                std::sort (tones.begin(), tones.end());

                auto voiced = voiceChordTones (tones, rootMidi, voicingStyle, baseOctave, previousVoicing);

                event.notes = voiced;
                event.voicing = voiced;
                event.resolved = true;
                previousVoicing = std::move (voiced);
                read = true;
            }
        }
        catch (const std::exception&)
        {
            event.notes.clear();
            event.voicing.clear();
            event.resolved = false;
        }

        if (! read)
        {
            unrecognisedChords.add (chordPart);
            previousVoicing.reset();
        }

        result.push_back (std::move (event));
        start += length;
    }

    applyBassMotion (result, baseOctave, bassMotion);
    return result;
}

//==============================================================================
std::vector<int> ProgressionCompiler::voiceChordTones (const std::vector<int>& chordTones,
                                                       int rootMidi,
                                                       int voicingStyle,
                                                       int baseOctave,
                                                       const std::optional<std::vector<int>>& previousVoicing)
{
    const auto tones = sortedCopy (chordTones);
    const auto n = tones.size();

    auto searched = [&] (auto search, auto fallback) -> std::vector<int>
    {
        if (n <= 1)
            return tones;

        auto found = search (tones, positivePitchClass (rootMidi), previousVoicing);
        return found.empty() ? fallback() : found;
    };

    switch (static_cast<VoicingStyle> (voicingStyle))
    {
        case VoicingStyle::firstInversion:
        {
            if (n <= 1)
                return tones;

            auto v = tones;
            const auto lowest = v.front();
            v.erase (v.begin());
            v.push_back (lowest + 12);
            std::sort (v.begin(), v.end());
            return v;
        }

        case VoicingStyle::smooth:
            if (! previousVoicing.has_value() || previousVoicing->empty() || n <= 1)
                return keepRegister (tones, baseOctave);
            return smoothVoicing (tones, *previousVoicing);

        case VoicingStyle::guitarist:
            return searched (voiceGuitarist, [&] { return guitarFallback (tones); });

        case VoicingStyle::pianist:
            return searched (voicePianist, [&] { return pianistFallback (tones, baseOctave); });

        case VoicingStyle::bassist:
            return searched (voiceBassist, [&] { return bassFallback (tones); });

        case VoicingStyle::jazz:
            return searched (voiceJazz, [&] { return jazzFallback (tones, rootMidi, baseOctave); });

        case VoicingStyle::none:
        default:
            return keepRegister (tones, baseOctave);
    }
}

std::vector<int> ProgressionCompiler::foldIntoRange (const std::vector<int>& notes, int low, int high, size_t maxNotes)
{
    std::vector<int> folded;
    folded.reserve (notes.size());

    for (auto note : notes)
    {
        // Whole octaves at once: up while below the range, then down while above it.
        long long n = note;
        if (n < low)
            n += 12 * ((low - n + 11) / 12);
        if (n > high)
            n -= 12 * ((n - high + 11) / 12);
        folded.push_back ((int) n);
    }

    std::sort (folded.begin(), folded.end());
    folded.erase (std::unique (folded.begin(), folded.end()), folded.end());

    while (folded.size() > maxNotes)
        folded.erase (folded.begin() + (std::ptrdiff_t) (folded.size() / 2));

    return folded;
}

std::vector<int> ProgressionCompiler::guitarFallback (const std::vector<int>& chordTones)
{
    return foldIntoRange (chordTones, 40, 76, 6);
}

std::vector<int> ProgressionCompiler::bassFallback (const std::vector<int>& chordTones)
{
    return foldIntoRange (chordTones, 28, 60, 3);
}

std::vector<int> ProgressionCompiler::pianistFallback (const std::vector<int>& chordTones, int baseOctave)
{
    auto v = sortedCopy (chordTones);
    if (v.size() >= 2)
        v[v.size() - 2] -= 12;
    return keepRegister (v, baseOctave);
}

std::vector<int> ProgressionCompiler::jazzFallback (const std::vector<int>& chordTones, int rootMidi, int baseOctave)
{
    auto v = sortedCopy (chordTones);
    const int ninth = rootMidi + 14;
    const auto ninthClass = positivePitchClass (ninth);

    if (std::none_of (v.begin(), v.end(), [&] (int t) { return positivePitchClass (t) == ninthClass; }))
        v.push_back (ninth);

    return keepRegister (v, baseOctave);
}

std::vector<int> ProgressionCompiler::smoothVoicing (const std::vector<int>& chordTones,
                                                     const std::vector<int>& previousVoicing)
{
    if (previousVoicing.empty() || chordTones.empty())
        return sortedCopy (chordTones);

    const auto previous = sortedCopy (previousVoicing);
    const auto previousMean = meanOf (previous);

    auto best = chordTones;
    int bestCost = INT_MAX;

    for (const auto& candidate : inversionCandidates (chordTones))
    {
        const auto octaves = std::round ((previousMean - meanOf (candidate)) / 12.0);
        const auto base = (int) juce::jlimit (-1.0e6, 1.0e6, octaves);

        for (int k = base - 1; k <= base + 1; ++k)
        {
            auto shifted = candidate;
            for (auto& note : shifted)
                note += 12 * k;
            std::sort (shifted.begin(), shifted.end());

            const auto cost = voiceLeadingCost (previous, shifted);
            if (cost < bestCost)
            {
                bestCost = cost;
                best = std::move (shifted);
            }
        }
    }

    std::sort (best.begin(), best.end());
    return best;
}
