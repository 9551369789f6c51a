#include "compile/ArrangementVoicing.h"

#include <gtest/gtest.h>

#include <limits>

namespace
{
constexpr int none = 0, smooth = 2, pianist = 4, bassist = 5;
} // namespace

TEST (NoteLists, NormaliseDropsOutOfRangeSortsAndRemovesRepeats)
{
    EXPECT_EQ (normaliseNotes ({ 67, -1, 60, 128, 64, 60, 127, 0 }), (NoteList { 0, 60, 64, 67, 127 }));
    EXPECT_EQ (normaliseNotes ({}), NoteList {});
}

TEST (NoteLists, PlaceFromAnchorPutsEveryNoteInTheAnchorsOctave)
{
    struct Case { NoteList in; int anchor; NoteList out; };
    const std::vector<Case> cases {
        { { 62, 67, 71 }, 60, { 62, 67, 71 } },
        { { 50, 55, 59 }, 60, { 62, 67, 71 } },
        { { 76, 72, 79 }, 60, { 60, 64, 67 } },
        { { 68, 69, 70, 71, 60 }, 120, { 120, 127 } },  // pitch classes 8..11 clamp to 127 and merge
        { { 64, -5, 200 }, 48, { 52 } },                  // notes outside 0..127 are dropped
        { { 76, 60, 60 }, -1, { 60, 76 } },               // no anchor: only normalised
    };
    for (const auto& c : cases)
        EXPECT_EQ (placeNotesFromAnchor (c.in, c.anchor), c.out) << "anchor " << c.anchor;
}

TEST (NoteLists, FoldIntoWindowMovesNotesByOctaves)
{
    struct Case { NoteList in; int low; int span; NoteList out; };
    const std::vector<Case> cases {
        { { 60 }, 48, 24, { 60 } },
        { { 40 }, 48, 24, { 52 } },
        { { 90 }, 48, 24, { 66 } },
        { { 40, 60, 90 }, 48, 24, { 52, 60, 66 } },
        { { 47, 72 }, 48, 24, { 59, 60 } },              // the window's upper end is open
        { { 5 }, 120, 24, { 125 } },                      // cannot reach: placed at low + pitch class, clamped
        { { 11 }, 120, 24, { 127 } },
        { { 50, 55, 59 }, 60, 12, { 62, 67, 71 } },       // up to an octave this is the anchored placement
        { { 90, 40, -3 }, -1, 24, { 40, 90 } },           // no window: only normalised
        { { -3, 130 }, 48, 24, { 57, 70 } },              // octave steps may bring outside notes in
    };
    for (const auto& c : cases)
        EXPECT_EQ (foldNotesIntoWindow (c.in, c.low, c.span), c.out) << "low " << c.low << " span " << c.span;
}

TEST (NoteLists, WindowMembership)
{
    EXPECT_TRUE (isInWindow (-50, -1, 24));
    EXPECT_TRUE (isInWindow (48, 48, 24));
    EXPECT_TRUE (isInWindow (71, 48, 24));
    EXPECT_FALSE (isInWindow (72, 48, 24));
    EXPECT_FALSE (isInWindow (47, 48, 24));
    EXPECT_TRUE (isInWindow (48, 48, 0));   // a span below 2 counts as 1
    EXPECT_FALSE (isInWindow (49, 48, 1));
    EXPECT_EQ (pitchClassOf (-1), 11);
    EXPECT_EQ (pitchClassOf (61), 1);
}

TEST (CandidateCost, TermsByStyle)
{
    struct Case { const char* label; NoteList c; NoteList r; int style; int centre; double cost; };
    const std::vector<Case> cases {
        { "empty candidate", {}, { 60 }, smooth, 40, 0.0 },
        { "same triad", { 60, 64, 67 }, { 60, 64, 67 }, smooth, -1, 0.0 },
        { "single note has no span terms", { 72 }, { 60, 64, 67 }, smooth, 60, 1.5 * (72 - 191.0 / 3) + 0.35 * 12 },
        { "narrower than reference earns a bonus", { 60, 64, 67 }, { 48, 64, 79 }, smooth, -1, -1.25 * 24 },
        { "no bonus outside smooth and jazz", { 60, 64, 67 }, { 48, 64, 79 }, none, -1, 0.0 },
        { "whole tone and empty reference", { 60, 62 }, {}, none, 60, 1.5 * 61 + 0.35 * 1 + 18 },
        { "wide dyad, pianist", { 60, 75 }, { 60, 75 }, pianist, -1, 2.0 * 8 + 10.0 * 3 },
        { "wide dyad, bassist", { 60, 75 }, { 60, 75 }, bassist, -1, 2.0 * 8 + 10.0 * 3 },
        { "wide dyad, none", { 60, 75 }, { 60, 75 }, none, -1, 4.0 * 8 + 10.0 * 3 },
        { "wide dyad, smooth", { 60, 75 }, { 60, 75 }, smooth, -1, (4.0 * 8 + 8.0 * 3) + (4.0 * 8 + 10.0 * 3) },
        { "wider than reference", { 60, 64, 79 }, { 60, 64, 67 }, smooth, -1,
          1.5 * 4 + (4.0 * 9 + 8.0 * 7 + 2.0 * 12) + (4.0 * 9 + 10.0 * 7) },
    };
    for (const auto& c : cases)
        EXPECT_NEAR (candidateCost (c.c, c.r, c.style, c.centre), c.cost, 1e-9) << c.label;
}

TEST (SearchVoicings, EmptySetGivesOneEmptyCandidate)
{
    const auto list = searchVoicings ({}, smooth, 60, 48, 36);
    ASSERT_EQ (list.size(), 1u);
    EXPECT_TRUE (list[0].notes.empty());
    EXPECT_EQ (list[0].cost, 0.0);

    // Notes that normalise to nothing count as empty too.
    EXPECT_TRUE (searchVoicings ({ -4, 200 }, smooth, 60, -1, 0)[0].notes.empty());
}

TEST (SearchVoicings, SmallChordsKeepTheirNoteOrderAndSpacing)
{
    const NoteList triad { 60, 64, 67 };
    const auto e = foldNotesIntoWindow (triad, 36, 36);
    const auto list = searchVoicings (triad, smooth, 48, 36, 36);
    ASSERT_GT (list.size(), 1u);

    for (size_t k = 0; k < list.size(); ++k)
    {
        const auto& c = list[k];
        ASSERT_EQ (c.notes.size(), e.size());
        for (size_t i = 0; i < c.notes.size(); ++i)
        {
            EXPECT_EQ (pitchClassOf (c.notes[i]), pitchClassOf (e[i]));   // each note only changes octave
            EXPECT_TRUE (isInWindow (c.notes[i], 36, 36));
            if (i > 0)
            {
                EXPECT_GE (c.notes[i] - c.notes[i - 1], 2);
            }
        }
        EXPECT_DOUBLE_EQ (c.cost, candidateCost (c.notes, e, smooth, 48));
        if (k > 0)
        {
            EXPECT_LE (list[k - 1].cost, c.cost);
        }
    }
}

TEST (SearchVoicings, LargeChordsShiftAsAWhole)
{
    // Folded into [36, 72): 60 62 64 67 71; shifts of -1 and -2 octaves stay inside.
    const NoteList ninth { 60, 64, 67, 71, 74 };
    const auto list = searchVoicings (ninth, none, -1, 36, 36);
    std::vector<NoteList> notes;
    for (const auto& c : list)
        notes.push_back (c.notes);

    // Neighbours a whole tone apart are allowed (only under 2 semitones is rejected).
    const std::vector<NoteList> expected { { 60, 62, 64, 67, 71 }, { 48, 50, 52, 55, 59 }, { 36, 38, 40, 43, 47 } };
    ASSERT_EQ (notes.size(), expected.size());
    for (const auto& e : expected)
        EXPECT_NE (std::find (notes.begin(), notes.end(), e), notes.end());

    // A semitone inside the folded chord rejects every list: the folded form comes back alone.
    const NoteList clustered { 60, 61, 64, 67, 70 };
    const auto single = searchVoicings (clustered, smooth, 50, -1, 0);
    ASSERT_EQ (single.size(), 1u);
    EXPECT_EQ (single[0].notes, clustered);
    EXPECT_DOUBLE_EQ (single[0].cost, candidateCost (clustered, clustered, smooth, 50));
}

TEST (SearchVoicings, NoteWithoutAnOptionGivesTheFoldedChordAlone)
{
    // Placed from 125, the 5 clamps to 127, which lies outside the one-note window [125, 126).
    const auto list = searchVoicings ({ 0, 5 }, none, -1, 125, 1);
    ASSERT_EQ (list.size(), 1u);
    EXPECT_EQ (list[0].notes, foldNotesIntoWindow ({ 0, 5 }, 125, 1));
}

// With no window a four-note chord has thousands of octave combinations; exactly the 64
// cheapest must survive, ordered by cost and then by their notes.
TEST (SearchVoicings, KeepsTheSixtyFourCheapestInCandidateOrder)
{
    const NoteList chord { 50, 57, 62, 65 };
    const auto list = searchVoicings (chord, smooth, 60, -1, 0);
    ASSERT_EQ (list.size(), 64u);

    std::vector<VoicingCandidate> all;
    std::vector<NoteList> options;
    for (auto n : chord)
    {
        NoteList o;
        for (int k = -3; k <= 3; ++k)
            if (n + 12 * k >= 0 && n + 12 * k <= 127)
                o.push_back (n + 12 * k);
        options.push_back (o);
    }
    for (auto a : options[0])
        for (auto b : options[1])
            for (auto c : options[2])
                for (auto d : options[3])
                    if (b - a >= 2 && c - b >= 2 && d - c >= 2)
                        all.push_back ({ { a, b, c, d }, candidateCost ({ a, b, c, d }, chord, smooth, 60) });
    ASSERT_GT (all.size(), 64u);

    std::sort (all.begin(), all.end(), [] (const auto& x, const auto& y)
               { return x.cost != y.cost ? x.cost < y.cost : x.notes < y.notes; });
    for (size_t i = 0; i < 64; ++i)
    {
        EXPECT_EQ (list[i].notes, all[i].notes) << i;
        EXPECT_DOUBLE_EQ (list[i].cost, all[i].cost) << i;
    }
}

TEST (VoicingDistance, AlignmentCommonNotesAndTopVoice)
{
    struct Case { const char* label; NoteList a; NoteList b; bool top; double distance; };
    const std::vector<Case> cases {
        { "identical triads", { 60, 64, 67 }, { 60, 64, 67 }, true, -144 },
        { "identical, top off", { 60, 64, 67 }, { 60, 64, 67 }, false, -144 },
        { "empty side", {}, { 60, 64, 67 }, true, 0 },
        { "step up to a fourth", { 60 }, { 65 }, false, 5 },
        { "step of a tritone", { 60 }, { 66 }, false, 10 },
        { "step of a minor seventh", { 60 }, { 70 }, false, 38 },
        { "extra note, best offset", { 60, 64, 67, 70 }, { 60, 64, 67 }, true, 18 - 144 },
        { "single new note under the top is free", { 58, 64, 67 }, { 60, 64, 67 }, true, 2 - 96 },
        { "more notes: every new note under the top counts", { 55, 58, 64, 67 }, { 60, 64, 67 }, true, 20 + 14 * 9 - 96 },
        { "same, top off", { 55, 58, 64, 67 }, { 60, 64, 67 }, false, 20 - 96 },
        { "unsorted input is normalised", { 67, 60, 64, 64 }, { 64, 67, 60 }, true, -144 },
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ (voicingDistance (c.a, c.b, c.top), c.distance) << c.label;
}

TEST (VoicingTransition, CostsOfMovingBetweenChords)
{
    struct Case { const char* label; NoteList cur; NoteList prev; double cost; };
    const std::vector<Case> cases {
        { "held chord", { 60, 64, 67 }, { 60, 64, 67 }, -216 },
        { "step into a rest", {}, { 60, 64, 67 }, 0 },
        { "step out of a rest", { 60, 64, 67 }, {}, 0 },
        { "parallel step", { 62, 65, 69 }, { 60, 64, 67 }, 7 },
        { "wide leap with shared pitch classes", { 48, 72 }, { 60, 64, 67 }, 8.5 + 102 + 56 - 16 },
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ (voicingTransitionCost (c.cur, c.prev), c.cost) << c.label;
}

TEST (SearchVoicingSequence, PicksTheCheapestPathThroughTheCandidates)
{
    EXPECT_TRUE (searchVoicingSequence ({}, smooth, 48, 36, 36).empty());

    const NoteList c { 60, 64, 67 }, f { 65, 69, 72 }, g { 67, 71, 74 };
    EXPECT_EQ (searchVoicingSequence ({ c }, smooth, 48, 36, 36)[0], searchVoicings (c, smooth, 48, 36, 36)[0].notes);

    // Two chords: the path must be the cheapest of all candidate pairs (first pair on ties).
    const auto cc = searchVoicings (c, smooth, 48, 36, 36);
    const auto fc = searchVoicings (f, smooth, 48, 36, 36);
    auto best = std::numeric_limits<double>::infinity();
    NoteList bestC, bestF;
    for (const auto& x : fc)
        for (const auto& y : cc)
        {
            const auto total = y.cost + x.cost + voicingTransitionCost (x.notes, y.notes);
            if (total < best)
            {
                best = total;
                bestC = y.notes;
                bestF = x.notes;
            }
        }
    const auto path = searchVoicingSequence ({ c, f }, smooth, 48, 36, 36);
    ASSERT_EQ (path.size(), 2u);
    const auto pathCost = [&] (const NoteList& a, const NoteList& b)
    {
        double ca = 0, cb = 0;
        for (const auto& y : cc) if (y.notes == a) ca = y.cost;
        for (const auto& x : fc) if (x.notes == b) cb = x.cost;
        return ca + cb + voicingTransitionCost (b, a);
    };
    EXPECT_DOUBLE_EQ (pathCost (path[0], path[1]), best);

    // A rest in the middle has no notes and costs nothing to enter or leave.
    const auto withRest = searchVoicingSequence ({ c, {}, g }, smooth, 48, 36, 36);
    ASSERT_EQ (withRest.size(), 3u);
    EXPECT_TRUE (withRest[1].empty());
    EXPECT_EQ (withRest[0], cc[0].notes);
    EXPECT_EQ (withRest[2], searchVoicings (g, smooth, 48, 36, 36)[0].notes);
}
