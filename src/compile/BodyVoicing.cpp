#include "compile/BodyVoicing.h"

#include <juce_core/juce_core.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>

namespace
{
constexpr int smoothStyle = 2;
constexpr int bassistStyle = 5;

bool isMidiNote (int note) { return note >= 0 && note <= 127; }

double meanOf (const NoteList& notes)
{
    return notes.empty() ? 0.0 : std::accumulate (notes.begin(), notes.end(), 0.0) / (double) notes.size();
}

int spanOf (const NoteList& ascending)
{
    return ascending.size() < 2 ? 0 : ascending.back() - ascending.front();
}

// Sum over every pair closer than 3 semitones of (3 - distance): a semitone counts 2, a whole tone 1.
int clashScore (const NoteList& ascending)
{
    int score = 0;
    for (size_t i = 0; i < ascending.size(); ++i)
        for (size_t j = i + 1; j < ascending.size() && ascending[j] - ascending[i] < 3; ++j)
            score += 3 - (ascending[j] - ascending[i]);
    return score;
}

double bassistScore (const NoteList& c, const NoteList& e, const NoteList& previous, int centre)
{
    const auto lo = c.front();
    const auto hi = c.back();
    const auto d = hi - lo;
    const auto mean = meanOf (c);
    const auto drift = std::abs (mean - meanOf (e));

    auto f = 1.5 * drift + 1.5 * std::max (e.front() - lo, 0) + 0.3 * std::max (hi - e.back(), 0);
    if (d > 26)
        f += 5.0 * (d - 26);

    if (previous.empty())
    {
        f += 0.25 * drift;
    }
    else
    {
        const auto dLow = std::abs (*std::min_element (previous.begin(), previous.end()) - lo);
        const auto dHigh = std::abs (hi - *std::max_element (previous.begin(), previous.end()));
        f += 2.0 * std::abs (mean - meanOf (previous)) + dLow + 1.1 * dHigh
           + 5.0 * std::max (dLow - 8, 0) + 5.5 * std::max (dHigh - 10, 0);
    }

    for (size_t i = 1; i < c.size(); ++i)
    {
        const auto gap = c[i] - c[i - 1];
        if (gap == 1)
            f += 14.0;
        else if (gap == 2)
            f += 6.0;
    }

    // The Bassist body likes a spread of about 16 semitones and pays heavily below an octave.
    f += 2.0 * std::abs (16 - d) + 10.0 * std::max (12 - d, 0) + 6.0 * std::max (d - 19, 0);

    if (centre >= 0)
        f += 3.0 * std::abs (mean - centre);

    return f;
}
} // namespace

NoteList addColorsToBody (NoteList body, const NoteList& colours)
{
    body = normaliseNotes (std::move (body));

    for (auto c : colours)
    {
        const auto pitchClass = pitchClassOf (c);
        if (std::any_of (body.begin(), body.end(), [pitchClass] (int n) { return pitchClassOf (n) == pitchClass; }))
            continue;

        std::optional<int> firstBest, firstBestSpaced;
        int bestScore = std::numeric_limits<int>::max(), bestSpacedScore = std::numeric_limits<int>::max();

        for (int i = -1; i <= 3; ++i)
        {
            const auto l = c + 12 * i;
            if (! isMidiNote (l))
                continue;

            int score = 9 * std::abs (i);
            bool spaced = true;

            if (! body.empty())
            {
                int nearest = std::numeric_limits<int>::max();
                for (auto x : body)
                    nearest = std::min (nearest, std::abs (l - x));

                spaced = nearest >= 2;
                const auto below = std::max (body.front() - l - 7, 0);
                const auto above = std::max (l - body.back() - 12, 0);
                score += (nearest <= 1 ? 1000 : nearest == 2 ? 12 : 0) + 5 * below + 4 * above;
            }

            if (score < bestScore)
            {
                bestScore = score;
                firstBest = l;
            }
            if (spaced && score < bestSpacedScore)
            {
                bestSpacedScore = score;
                firstBestSpaced = l;
            }
        }

        body.push_back (firstBestSpaced ? *firstBestSpaced
                        : firstBest     ? *firstBest
                                        : juce::jlimit (0, 127, c));
        body = normaliseNotes (std::move (body));
    }

    return body;
}

NoteList searchBodyVoicing (const NoteList& body, const NoteList& previous, int style, int centre, int anchor, int span)
{
    if (body.empty())
        return {};

    const auto e = placeNotesFromAnchor (body, anchor);
    if (e.empty() || style != bassistStyle)
        return e;   // Smooth's one-octave window leaves every note a single place

    std::vector<NoteList> options (e.size());
    for (size_t i = 0; i < e.size(); ++i)
    {
        for (int k = -2; k <= 2; ++k)
        {
            const auto value = e[i] + 12 * k;
            if (isMidiNote (value) && isInWindow (value, anchor, span))
                options[i].push_back (value);
        }
        if (options[i].empty())
            return e;
    }

    // Odometer over the options, the last note turning fastest; the first combination is e.
    std::vector<size_t> position (e.size(), 0);
    NoteList combination (e.size());
    NoteList best = e;
    auto bestScore = std::numeric_limits<double>::infinity();

    for (;;)
    {
        for (size_t i = 0; i < e.size(); ++i)
            combination[i] = options[i][position[i]];

        const auto c = normaliseNotes (combination);
        if (c.size() == e.size())
        {
            const auto score = bassistScore (c, e, previous, centre);
            if (score < bestScore)
            {
                bestScore = score;
                best = c;
            }
        }

        auto digit = e.size();
        while (digit > 0)
        {
            --digit;
            if (++position[digit] < options[digit].size())
                break;
            position[digit] = 0;
            if (digit == 0)
                return best;
        }
    }
}

NoteList declutterVoicing (const NoteList& notes, const NoteList& previous, int low, int span, int centre)
{
    auto v = foldNotesIntoWindow (notes, low, span);
    if (v.size() < 2)
        return v;

    const auto referenceMean = meanOf (v);
    const auto referenceSpan = spanOf (v);

    for (int iteration = 0; iteration < 8 && clashScore (v) > 0; ++iteration)
    {
        const auto startClash = clashScore (v);
        auto bestClash = startClash;
        auto bestScore = std::numeric_limits<double>::infinity();
        std::optional<NoteList> best;

        for (size_t i = 0; i < v.size(); ++i)
        {
            for (size_t j = i + 1; j < v.size() && v[j] - v[i] < 3; ++j)
            {
                for (auto moved : { i, j })
                {
                    for (auto shift : { -12, 12 })
                    {
                        const auto value = v[moved] + shift;
                        if (! isMidiNote (value) || ! isInWindow (value, low, span))
                            continue;

                        auto c = v;
                        c[moved] = value;
                        c = normaliseNotes (std::move (c));
                        if (c.size() != v.size()
                            || ! std::all_of (c.begin(), c.end(), [&] (int n) { return isInWindow (n, low, span); }))
                            continue;

                        const auto clash = clashScore (c);
                        if (clash >= startClash)
                            continue;

                        const auto mean = meanOf (c);
                        auto score = 4.0 * std::abs (mean - referenceMean) + 2.0 * std::max (spanOf (c) - referenceSpan, 0);
                        if (centre >= 0)
                            score += 0.25 * std::abs (mean - centre);
                        if (! previous.empty())
                            score += voicingDistance (c, previous, false);

                        if (clash < bestClash || (clash == bestClash && score < bestScore))
                        {
                            bestClash = clash;
                            bestScore = score;
                            best = std::move (c);
                        }
                    }
                }
            }
        }

        if (! best)
            break;

        v = std::move (*best);
        if (clashScore (v) == 0)
            break;
    }

    return v;
}
