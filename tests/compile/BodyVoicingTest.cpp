#include "compile/BodyVoicing.h"

#include <gtest/gtest.h>

namespace
{
constexpr int smooth = 2, bassist = 5;
} // namespace

TEST (AddColorsToBody, PlacesEachNewColourAwayFromSemitoneNeighbours)
{
    struct Case { const char* label; NoteList body; NoteList colours; NoteList out; };
    const std::vector<Case> cases {
        { "empty body takes the first colour where written", {}, { 70, 74 }, { 70, 74 } },
        { "pitch class already in the body", { 60, 64, 67 }, { 72, 52 }, { 60, 64, 67 } },
        { "whole-tone neighbour pays, an octave up is free", { 60, 64, 67 }, { 62 }, { 60, 64, 67, 74 } },
        { "semitone in every octave still adds the cheapest", { 48, 60, 72, 84, 96 }, { 61 }, { 48, 60, 61, 72, 84, 96 } },
        { "earlier colours count as body", { 60, 64, 67 }, { 70, 71 }, { 60, 64, 67, 70, 83 } },
        { "no octave in range: clamped", { 60 }, { 200 }, { 60, 127 } },
        { "body is normalised first", { 67, 60, 64, 60, 130 }, {}, { 60, 64, 67 } },
    };
    for (const auto& c : cases)
        EXPECT_EQ (addColorsToBody (c.body, c.colours), c.out) << c.label;
}

TEST (SearchBodyVoicing, SmoothKeepsTheAnchoredTriadBassistSpreadsIt)
{
    struct Case { const char* label; NoteList body; NoteList previous; int style; int centre; int anchor; int span; NoteList out; };
    const std::vector<Case> cases {
        { "empty body", {}, { 60 }, bassist, 60, 60, 24, {} },
        { "smooth ignores the previous body", { 64, 67, 72 }, { 40, 90 }, smooth, 70, 60, 12, { 60, 64, 67 } },
        { "bassist C major, no previous, no centre", { 60, 64, 67 }, {}, bassist, -1, 60, 24, { 60, 67, 76 } },
        { "bassist near the top of the range has only one choice", { 60, 64, 67 }, {}, bassist, -1, 120, 24, { 120, 124, 127 } },
    };
    for (const auto& c : cases)
        EXPECT_EQ (searchBodyVoicing (c.body, c.previous, c.style, c.centre, c.anchor, c.span), c.out) << c.label;

    // Whatever the previous body, a Bassist body stays inside its window and keeps its pitch classes.
    for (const auto& previous : { NoteList {}, NoteList { 48, 55, 64 }, NoteList { 72, 79, 83 } })
    {
        const auto out = searchBodyVoicing ({ 62, 65, 69, 72 }, previous, bassist, 60, 60, 24);
        ASSERT_EQ (out.size(), 4u);
        NoteList classes;
        for (auto n : out)
        {
            EXPECT_TRUE (n >= 60 && n < 84) << n;
            classes.push_back (pitchClassOf (n));
        }
        std::sort (classes.begin(), classes.end());
        EXPECT_EQ (classes, (NoteList { 0, 2, 5, 9 }));
    }
}

TEST (DeclutterVoicing, MovesOneNotePerIterationUntilNothingClashes)
{
    // {60,61,62}: first the move that leaves the least clash (61 down), then 60 up.
    EXPECT_EQ (declutterVoicing ({ 60, 61, 62 }, {}, -1, 0, -1), (NoteList { 49, 62, 72 }));

    // A one-octave window leaves every note a single place.
    EXPECT_EQ (declutterVoicing ({ 60, 61, 62 }, {}, 60, 12, -1), (NoteList { 60, 61, 62 }));

    // Fewer than two notes, or no clash: only folded.
    EXPECT_EQ (declutterVoicing ({ 40 }, { 60 }, 48, 24, 60), (NoteList { 52 }));
    EXPECT_EQ (declutterVoicing ({ 60, 64, 67 }, { 62, 65, 69 }, 48, 24, 60), (NoteList { 60, 64, 67 }));

    // A dense cluster is resolved within the iteration limit and never loses a note.
    const NoteList cluster { 60, 61, 62, 63, 64, 65, 66 };
    const auto out = declutterVoicing (cluster, { 55, 60, 64 }, -1, 0, 60);
    EXPECT_EQ (out.size(), cluster.size());
    EXPECT_TRUE (std::is_sorted (out.begin(), out.end()));
}

TEST (DeclutterVoicing, PreviousBodyAndCentreChooseBetweenEqualClashes)
{
    // Both moves of {60, 61} clear the clash; the previous body decides which note moves.
    const auto towardLow = declutterVoicing ({ 60, 61 }, { 48 }, -1, 0, -1);
    const auto towardHigh = declutterVoicing ({ 60, 61 }, { 73 }, -1, 0, -1);
    EXPECT_NE (towardLow, towardHigh);
    for (const auto& v : { towardLow, towardHigh })
    {
        ASSERT_EQ (v.size(), 2u);
        EXPECT_GE (v[1] - v[0], 3);
    }
}
