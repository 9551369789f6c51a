#include "compile/ArrangementVoicing.h"

#include <juce_core/juce_core.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace
{
constexpr int maxCandidates = 64;
constexpr int lowestNote = 0;
constexpr int highestNote = 127;

bool isMidiNote (int note) { return note >= lowestNote && note <= highestNote; }

double meanOf (const NoteList& notes)
{
    if (notes.empty())
        return 0.0;

    return std::accumulate (notes.begin(), notes.end(), 0.0) / (double) notes.size();
}

// Highest minus lowest; the list is ascending.
int spanOf (const NoteList& notes)
{
    return notes.size() < 2 ? 0 : notes.back() - notes.front();
}

bool containsPitchClass (const NoteList& notes, int pitchClass)
{
    return std::any_of (notes.begin(), notes.end(), [pitchClass] (int n) { return pitchClassOf (n) == pitchClass; });
}

// Step cost of one voice moving by d semitones: cheap up to a fourth, then steeper.
int stepCost (int d)
{
    const auto x = std::abs (d);
    if (x <= 5)
        return x;
    if (x <= 9)
        return 5 * x - 20;
    return 13 * x - 92;
}

// voicingDistance on lists that are already normalised.
double distanceOfNormalised (const NoteList& a, const NoteList& b, bool topVoiceTerm)
{
    if (a.empty() || b.empty())
        return 0.0;

    const auto& longer = a.size() >= b.size() ? a : b;
    const auto& shorter = a.size() >= b.size() ? b : a;
    const auto extra = (int) (longer.size() - shorter.size());

    auto bestAlignment = std::numeric_limits<int>::max();
    for (int offset = 0; offset <= extra; ++offset)
    {
        auto cost = 18 * extra;
        for (size_t j = 0; j < shorter.size(); ++j)
            cost += stepCost (shorter[j] - longer[(size_t) offset + j]);
        bestAlignment = std::min (bestAlignment, cost);
    }

    int common = 0;
    for (auto n : a)
        if (std::binary_search (b.begin(), b.end(), n))
            ++common;

    double topTerm = 0.0;
    const auto top = b.back();
    if (topVoiceTerm && common > 0 && std::binary_search (a.begin(), a.end(), top))
    {
        // Notes of a new pitch class entering under a held top voice blur it.
        NoteList gaps;
        for (auto x : a)
            if (x < top && ! containsPitchClass (b, pitchClassOf (x)))
                gaps.push_back (top - x);

        if (a.size() > b.size())
        {
            topTerm = 14.0 * std::accumulate (gaps.begin(), gaps.end(), 0);
        }
        else if (gaps.size() >= 2)
        {
            std::sort (gaps.begin(), gaps.end());
            topTerm = 14.0 * std::accumulate (gaps.begin() + 1, gaps.end(), 0);
        }
    }

    return bestAlignment + topTerm - 48.0 * common;
}

double transitionOfNormalised (const NoteList& current, const NoteList& previous)
{
    if (current.empty() || previous.empty())
        return 0.0;

    const auto dLow = std::abs (current.front() - previous.front());
    const auto dHigh = std::abs (current.back() - previous.back());

    int exact = 0, near = 0;
    for (auto n : current)
    {
        if (std::binary_search (previous.begin(), previous.end(), n))
            ++exact;
        else if (containsPitchClass (previous, pitchClassOf (n)))
            ++near;
    }

    return 0.5 * (dLow + dHigh) + distanceOfNormalised (current, previous, true)
         + 8.0 * std::max (dLow - 5, 0) + 8.0 * std::max (dHigh - 5, 0)
         - 24.0 * exact - 8.0 * near;
}

bool isAcceptable (const NoteList& c, size_t expectedSize, int low, int span)
{
    if (c.size() != expectedSize)
        return false;

    for (size_t i = 0; i < c.size(); ++i)
    {
        if (! isInWindow (c[i], low, span))
            return false;
        if (i > 0 && c[i] - c[i - 1] < 2)
            return false;
    }
    return true;
}

CandidateList singleCandidate (const NoteList& e, int style, int centre)
{
    return { VoicingCandidate { e, candidateCost (e, e, style, centre) } };
}

// Depth-first over the octave options of each note, every note above the one before, so the
// notes keep their order. Distinct choices give distinct lists, so no list is offered twice.
template <typename Offer>
void enumerateAscending (const std::vector<NoteList>& options, size_t index, NoteList& chosen, Offer&& offer)
{
    if (index == options.size())
    {
        offer (chosen);
        return;
    }

    for (auto value : options[index])
    {
        if (index > 0 && value <= chosen[index - 1])
            continue;

        chosen[index] = value;
        enumerateAscending (options, index + 1, chosen, offer);
    }
}
} // namespace

int pitchClassOf (int note)
{
    return ((note % 12) + 12) % 12;
}

bool isInWindow (int note, int low, int span)
{
    if (low < 0)
        return true;

    const auto width = span < 2 ? 1 : span;
    return note >= low && note < low + width;
}

NoteList normaliseNotes (NoteList notes)
{
    notes.erase (std::remove_if (notes.begin(), notes.end(), [] (int n) { return ! isMidiNote (n); }), notes.end());
    std::sort (notes.begin(), notes.end());
    notes.erase (std::unique (notes.begin(), notes.end()), notes.end());
    return notes;
}

NoteList placeNotesFromAnchor (NoteList notes, int anchor)
{
    if (anchor >= 0)
        for (auto& n : notes)
            if (isMidiNote (n))
                n = juce::jlimit (lowestNote, highestNote, anchor + pitchClassOf (n));

    return normaliseNotes (std::move (notes));
}

NoteList foldNotesIntoWindow (NoteList notes, int low, int span)
{
    if (low < 0)
        return normaliseNotes (std::move (notes));

    if (span <= 12)
        return placeNotesFromAnchor (std::move (notes), low);

    const auto high = low + span;
    for (auto& n : notes)
    {
        if (n >= low && n < high)
            continue;

        auto x = n;
        while (x < low && x + 12 <= highestNote)
            x += 12;
        while (x >= high && x - 12 >= lowestNote)
            x -= 12;

        if (x >= low && x < high)
            n = x;
        else if (isMidiNote (n))
            n = juce::jlimit (lowestNote, highestNote, low + pitchClassOf (n));
    }

    return normaliseNotes (std::move (notes));
}

double candidateCost (const NoteList& c, const NoteList& r, int style, int centre)
{
    if (c.empty())
        return 0.0;

    const auto mean = meanOf (c);
    auto cost = 1.5 * std::abs (mean - meanOf (r));
    if (centre >= 0)
        cost += 0.35 * std::abs (mean - centre);

    if (c.size() < 2)
        return cost;

    const auto s = spanOf (c);
    const auto g = c.size() <= 2 ? 7 : 10;
    const auto rs = spanOf (r);
    const auto overG = std::max (s - g, 0);
    const auto overOctave = std::max (s - 12, 0);

    if (style == 2 || style == 6)
    {
        cost += 4.0 * overG + 8.0 * overOctave;
        if (rs > 0)
            cost += 2.0 * std::max (s - rs, 0) - 1.25 * std::max (rs - s, 0);
    }

    const auto k = (style == 4 || style == 5) ? 2.0 : 4.0;
    cost += k * overG + 10.0 * overOctave;

    for (size_t i = 1; i < c.size(); ++i)
        if (c[i] - c[i - 1] == 2)
            cost += 18.0;

    return cost;
}

CandidateList searchVoicings (const NoteList& notes, int style, int centre, int low, int span)
{
    const auto e = foldNotesIntoWindow (notes, low, span);
    if (e.empty())
        return { VoicingCandidate {} };

    CandidateList accepted;
    accepted.reserve (maxCandidates);

    auto offer = [&] (const NoteList& c)
    {
        if (isAcceptable (c, e.size(), low, span))
            accepted.push_back ({ c, candidateCost (c, e, style, centre) });
    };

    if (e.size() <= 4)
    {
        std::vector<NoteList> options (e.size());
        for (size_t i = 0; i < e.size(); ++i)
        {
            for (int k = -3; k <= 3; ++k)
            {
                const auto value = e[i] + 12 * k;
                if (isMidiNote (value) && isInWindow (value, low, span))
                    options[i].push_back (value);
            }
            // Already ascending and distinct: the values step by an octave.
            if (options[i].empty())
                return singleCandidate (e, style, centre);
        }

        NoteList chosen (e.size());
        enumerateAscending (options, 0, chosen, offer);
    }
    else
    {
        offer (e);
        for (auto k : { -3, -2, -1, 1, 2, 3 })
        {
            NoteList shifted (e);
            for (auto& n : shifted)
                n += 12 * k;

            const auto fits = std::all_of (shifted.begin(), shifted.end(), [&] (int n)
                                           { return isMidiNote (n) && isInWindow (n, low, span); });
            if (fits)
                offer (shifted);
        }
    }

    if (accepted.empty())
        return singleCandidate (e, style, centre);

    std::sort (accepted.begin(), accepted.end(), [] (const VoicingCandidate& a, const VoicingCandidate& b)
               {
                   if (a.cost != b.cost)
                       return a.cost < b.cost;
                   return a.notes < b.notes;
               });

    if (accepted.size() > (size_t) maxCandidates)
        accepted.resize ((size_t) maxCandidates);

    return accepted;
}

double voicingDistance (const NoteList& a, const NoteList& b, bool topVoiceTerm)
{
    return distanceOfNormalised (normaliseNotes (a), normaliseNotes (b), topVoiceTerm);
}

double voicingTransitionCost (const NoteList& current, const NoteList& previous)
{
    return transitionOfNormalised (normaliseNotes (current), normaliseNotes (previous));
}

std::vector<NoteList> searchVoicingSequence (const std::vector<NoteList>& sets, int style, int centre, int low, int span,
                                             const std::function<bool()>& shouldStop)
{
    if (sets.empty())
        return {};

    const auto stopped = [&shouldStop] { return shouldStop && shouldStop(); };

    std::vector<CandidateList> candidates;
    candidates.reserve (sets.size());
    for (const auto& set : sets)
    {
        if (stopped())
            return {};

        candidates.push_back (searchVoicings (set, style, centre, low, span));
    }

    std::vector<std::vector<double>> best (sets.size());
    std::vector<std::vector<size_t>> back (sets.size());

    for (const auto& c : candidates[0])
        best[0].push_back (c.cost);

    for (size_t i = 1; i < candidates.size(); ++i)
    {
        if (stopped())
            return {};

        const auto& here = candidates[i];
        const auto& before = candidates[i - 1];
        best[i].assign (here.size(), 0.0);
        back[i].assign (here.size(), 0);

        for (size_t j = 0; j < here.size(); ++j)
        {
            auto cheapest = std::numeric_limits<double>::infinity();
            size_t from = 0;
            for (size_t k = 0; k < before.size(); ++k)
            {
                // Candidate notes are normalised already.
                const auto total = transitionOfNormalised (here[j].notes, before[k].notes) + best[i - 1][k];
                if (total < cheapest)
                {
                    cheapest = total;
                    from = k;
                }
            }
            best[i][j] = cheapest + here[j].cost;
            back[i][j] = from;
        }
    }

    const auto& last = best.back();
    auto j = (size_t) (std::min_element (last.begin(), last.end()) - last.begin());

    std::vector<NoteList> result (sets.size());
    for (size_t i = sets.size(); i-- > 0;)
    {
        result[i] = candidates[i][j].notes;
        if (i > 0)
            j = back[i][j];
    }
    return result;
}
