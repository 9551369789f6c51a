#include "harmony/ProgressionCompiler.h"

#include "harmony/ChordVocabulary.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <stdexcept>

namespace
{
enum BassMotionValue
{
    motionStrict = 0,
    motionBalanced = 1,
    motionMoving = 2
};

long long absDiff (long long a, long long b)
{
    return a > b ? a - b : b - a;
}

int saturate (long long value)
{
    return (int) std::clamp (value, (long long) INT_MIN, (long long) INT_MAX);
}

bool contains (const std::vector<int>& notes, int note)
{
    return std::find (notes.begin(), notes.end(), note) != notes.end();
}

// How far a bass candidate c lies from the previous bass p, plus what that step costs under the
// "Balanced" or "Moving" motion; staying on the same note costs the repeat penalty.
long long motionScore (int c, int p, int motion, long long repeatPenalty)
{
    const auto d = absDiff (c, p);
    long long cost;

    if (d == 0)
        cost = repeatPenalty;
    else if (d <= 5)
        cost = motion == motionMoving ? 2 * d - 6 : 2 * d - 2;
    else if (d <= 8)
        cost = motion == motionMoving ? 2 * d - 3 : 2 * d;
    else if (d <= 12)
        cost = 2 * d;
    else
        cost = motion == motionMoving ? 3 * d - 12 : 4 * d - 24;

    return d + cost;
}

std::optional<int> cheapestByMotion (const std::vector<int>& candidates, int previous, int motion, long long repeatPenalty)
{
    std::optional<int> best;
    long long bestScore = 0;

    for (auto c : candidates)
    {
        const auto score = motionScore (c, previous, motion, repeatPenalty);
        if (! best.has_value() || score < bestScore || (score == bestScore && c < *best))
        {
            best = c;
            bestScore = score;
        }
    }

    return best;
}

bool usesMotionCost (int motion)
{
    return motion == motionBalanced || motion == motionMoving;
}
} // namespace

//==============================================================================
std::vector<int> ProgressionCompiler::keepRegister (const std::vector<int>& notes, int octave)
{
    auto sorted = notes;
    std::sort (sorted.begin(), sorted.end());

    if (sorted.empty())
        return sorted;

    // The C of the octave, as noteNameToMidi ("C", octave) gives it.
    const auto target = (double) clampOctave (octave) * 12.0 + 24.0;

    double sum = 0.0;
    for (auto n : sorted)
        sum += n;
    const auto d = sum / (double) sorted.size() - target;

    if (std::abs (d) > 6.0)
    {
        const auto k = (long long) juce::jlimit (-1.0e9, 1.0e9, std::round (d / 12.0));

        if (k != 0)
        {
            const auto lowest = (long long) sorted.front() - 12 * k;
            const auto highest = (long long) sorted.back() - 12 * k;

            if (lowest >= 0 && highest <= 127)
            {
                for (auto& n : sorted)
                    n = (int) (n - 12 * k);
                return sorted;
            }
        }
    }

    return sorted;
}

std::vector<std::vector<int>> ProgressionCompiler::inversionCandidates (const std::vector<int>& tones)
{
    if (tones.size() < 2)
        return { tones };

    std::vector<std::vector<int>> result;
    auto current = tones;

    for (size_t i = 0; i < tones.size(); ++i)
    {
        std::sort (current.begin(), current.end());
        result.push_back (current);

        if (i + 1 < tones.size())
        {
            const auto lowest = current.front();
            current.erase (current.begin());
            current.push_back (lowest + 12);
        }
    }

    return result;
}

int ProgressionCompiler::voiceLeadingCost (const std::vector<int>& previous, const std::vector<int>& candidate)
{
    auto a = previous;
    auto b = candidate;
    std::sort (a.begin(), a.end());
    std::sort (b.begin(), b.end());

    const auto n = std::min (a.size(), b.size());
    const auto m = std::max (a.size(), b.size());

    // Computed wide and saturated, so that notes far outside the MIDI range cannot overflow.
    long long cost = 10 * (long long) (m - n);

    for (size_t i = 0; i < n; ++i)
    {
        const auto d = absDiff (a[i], b[i]);
        if (d <= 5)
            cost += d;
        else if (d <= 9)
            cost += 7 * d - 30;
        else
            cost += 17 * d - 120;
    }

    if (n > 0)
    {
        const auto low = absDiff (a[0], b[0]);
        const auto high = absDiff (a[n - 1], b[n - 1]);

        cost += low <= 7 ? low + 2 * high : 6 * low + 2 * high - 35;

        if (high >= 5)
            cost += 9 * high - 36;
    }

    for (size_t i = 1; i < b.size(); ++i)
    {
        const auto gap = (long long) b[i] - b[i - 1];
        if (gap == 1 && b[i - 1] < 48)
            cost += 15; // a semitone cluster low down
        else if (gap > 14)
            cost += 4 * gap - 56;
    }

    if (! b.empty())
    {
        double sum = 0.0;
        for (auto note : b)
            sum += note;
        const auto mean = sum / (double) b.size();

        for (auto note : b)
        {
            const auto spread = std::abs ((double) note - mean);
            if (spread > 18.0)
                cost += 120;
            else if (spread > 12.0)
                cost += 50;
        }
    }

    return saturate (cost);
}

//==============================================================================
int ProgressionCompiler::bassWindowLow (int octave)
{
    const auto c = juce::jlimit (0, 8, clampOctave (octave) - 1) * 12 + 24;
    return juce::jlimit (0, 127, c - 12);
}

int ProgressionCompiler::bassWindowHigh (int octave)
{
    const auto c = juce::jlimit (0, 8, clampOctave (octave) - 1) * 12 + 24;
    return juce::jlimit (0, 127, c + 8);
}

std::vector<int> ProgressionCompiler::bassCandidates (const juce::String& noteName, int octave)
{
    const auto low = bassWindowLow (octave);
    const auto high = bassWindowHigh (octave);

    // The name at octaves -2 .. 6; one conversion (which throws for no note name) gives them all.
    const auto lowestOctaveNote = noteNameToMidi (noteName, -2);

    std::vector<int> candidates;
    for (int k = 0; k <= 8; ++k)
    {
        const auto x = lowestOctaveNote + 12 * k;
        if (x >= low && x <= high)
            candidates.push_back (x);
    }

    std::sort (candidates.begin(), candidates.end());
    candidates.erase (std::unique (candidates.begin(), candidates.end()), candidates.end());
    return candidates;
}

std::optional<int> ProgressionCompiler::nearestNote (const std::vector<int>& candidates, int target)
{
    std::optional<int> best;
    long long bestDistance = 0;

    for (auto c : candidates)
    {
        const auto distance = absDiff (c, target);
        if (! best.has_value() || distance < bestDistance || (distance == bestDistance && c < *best))
        {
            best = c;
            bestDistance = distance;
        }
    }

    return best;
}

std::optional<int> ProgressionCompiler::chooseRootBass (const ChordEvent& event, int octave, int bassMotion,
                                                        std::optional<int> previousBass)
{
    if (! event.resolved || event.root.isEmpty())
        return std::nullopt;

    octave = clampOctave (octave);
    std::vector<int> candidates;
    int target = 0;

    try
    {
        candidates = bassCandidates (event.root, octave);
        if (! previousBass.has_value())
            target = noteNameToMidi (event.root, octave - 1);
    }
    catch (const std::exception&)
    {
        return std::nullopt; // only a hand-made event can carry a root that is no note name
    }

    if (candidates.empty())
        return std::nullopt;

    std::optional<int> chosen;

    if (previousBass.has_value())
    {
        if (usesMotionCost (bassMotion))
            chosen = cheapestByMotion (candidates, *previousBass, bassMotion, bassMotion == motionMoving ? 18 : 12);
        else
            chosen = nearestNote (candidates, *previousBass);
    }
    else
    {
        target = juce::jlimit (bassWindowLow (octave), bassWindowHigh (octave), target);
        chosen = nearestNote (candidates, target);
    }

    // Avoid doubling a voiced note: take the next lower candidate that the chord does not play.
    if (chosen.has_value() && ! event.voicing.empty() && contains (event.voicing, *chosen))
    {
        for (auto it = candidates.rbegin(); it != candidates.rend(); ++it)
        {
            if (*it < *chosen && ! contains (event.voicing, *it))
            {
                chosen = *it;
                break;
            }
        }
    }

    return chosen;
}

std::optional<int> ProgressionCompiler::chooseBassWithMotion (const std::vector<int>& candidates,
                                                              std::optional<int> previousBass,
                                                              int bassMotion, int repeatCount)
{
    if (candidates.empty())
        return std::nullopt;

    if (! previousBass.has_value())
        return *std::min_element (candidates.begin(), candidates.end()); // nothing to stay near

    if (usesMotionCost (bassMotion))
    {
        // Each further repeat of the same slash bass makes staying put dearer.
        const long long perRepeat = bassMotion == motionMoving ? 18 : 12;
        const auto penalty = perRepeat * ((long long) std::max (repeatCount, 0) + 1);
        return cheapestByMotion (candidates, *previousBass, bassMotion, penalty);
    }

    return nearestNote (candidates, *previousBass);
}

void ProgressionCompiler::applyBassMotion (std::vector<ChordEvent>& events, int octave, int bassMotion)
{
    octave = clampOctave (octave);

    std::optional<int> previous;
    int repeats = 0;

    for (auto& event : events)
    {
        if (! event.resolved || event.voicing.empty())
            continue;

        event.bassNote.reset();

        if (event.bass.isNotEmpty())
        {
            // A slash bass that is no note name (C/E7, C/Cb) leaves the chord without a bass
            // note, as when no candidate fits, instead of failing the whole compile.
            std::vector<int> candidates;
            try
            {
                candidates = bassCandidates (event.bass, octave);
            }
            catch (const std::exception&)
            {
                candidates.clear();
            }

            if (! candidates.empty())
            {
                if (previous.has_value())
                    event.bassNote = chooseBassWithMotion (candidates, previous, bassMotion, repeats);
                else
                    event.bassNote = nearestNote (candidates, *std::min_element (event.voicing.begin(), event.voicing.end()) - 12);
            }
        }
        else
        {
            event.bassNote = chooseRootBass (event, octave, bassMotion, previous);
        }

        if (event.bassNote.has_value() && previous.has_value() && *event.bassNote == *previous)
            ++repeats;
        else
            repeats = 0;

        previous = event.bassNote;
    }
}
