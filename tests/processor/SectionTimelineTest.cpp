#include "processor/playback/SectionTimeline.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace
{
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

auto lengthsOf (const std::vector<double>& lengths)
{
    return [&lengths] (int i) { return lengths[(size_t) i]; };
}
} // namespace

TEST (SectionCursor, ResetClampsToTheSongAndForgetsTheQueue)
{
    struct Case
    {
        int index, count;
        bool advance;
        int expectedIndex;
    };
    for (const auto& c : std::vector<Case> { { 2, 5, false, 2 }, { 9, 5, true, 4 }, { -3, 5, false, 0 },
                                             { 0, 0, true, -1 }, { 3, -1, false, -1 } })
    {
        SectionCursor cursor { 1, 3, ! c.advance };
        cursor.reset (c.index, c.count, c.advance);
        EXPECT_EQ (cursor.index, c.expectedIndex) << c.index << " of " << c.count;
        EXPECT_EQ (cursor.queuedIndex, -1);
        EXPECT_EQ (cursor.advance, c.advance);
    }
}

TEST (SectionTimeline, PlacesTheSongAlongTheHostTimeline)
{
    const std::vector<double> lengths { 16.0, 8.0, 16.0 };
    struct Case
    {
        double ppq;
        int section;
        double passStart;
    };
    for (const auto& c : std::vector<Case> { { 44.0, 0, 40.0 }, { 0.0, 0, 0.0 }, { 20.0, 1, 16.0 },
                                             { 24.0, 2, 24.0 }, { 39.99, 2, 24.0 }, { 80.0, 0, 80.0 },
                                             { -4.0, 2, -16.0 } })
    {
        SectionTimeline::Place place;
        ASSERT_TRUE (SectionTimeline::placeOnTimeline (3, c.ppq, lengthsOf (lengths), place)) << c.ppq;
        EXPECT_EQ (place.section, c.section) << c.ppq;
        EXPECT_DOUBLE_EQ (place.passStart, c.passStart) << c.ppq;
    }
}

TEST (SectionTimeline, HasNoPlaceWithoutAFiniteSongOrPosition)
{
    struct Case
    {
        std::string name;
        std::vector<double> lengths;
        double ppq;
    };
    for (const auto& c : std::vector<Case> { { "position not a number", { 16.0 }, notANumber },
                                             { "infinite position", { 16.0 }, infinity },
                                             { "infinite length", { 16.0, infinity }, 4.0 },
                                             { "no sections", {}, 4.0 } })
    {
        SectionTimeline::Place place;
        EXPECT_FALSE (SectionTimeline::placeOnTimeline ((int) c.lengths.size(), c.ppq, lengthsOf (c.lengths), place))
            << c.name;
    }

    // Lengths that are zero or not a number still take a little time.
    const std::vector<double> odd { 0.0, notANumber, 4.0 };
    SectionTimeline::Place place;
    ASSERT_TRUE (SectionTimeline::placeOnTimeline (3, 1.0, lengthsOf (odd), place));
    EXPECT_EQ (place.section, 2);
    EXPECT_DOUBLE_EQ (place.passStart, 0.0002);
}

TEST (SectionTimeline, WalkFollowsLoopsQueuedJumpsAndAdvance)
{
    const std::vector<double> lengths { 16.0, 8.0, 16.0 };
    struct Case
    {
        std::string name;
        SectionCursor cursor;
        double passStart, ppq;
        int expectedIndex;
        double expectedStart;
    };
    const std::vector<Case> cases {
        { "inside the pass", { 0, -1, false }, 0.0, 15.9, 0, 0.0 },
        { "loop repeats the section", { 0, -1, false }, 0.0, 16.0, 0, 16.0 },
        { "loop after many passes", { 0, -1, false }, 0.0, 100.0, 0, 96.0 },
        { "queued jump taken at the end", { 0, 2, false }, 0.0, 16.0, 2, 16.0 },
        { "queued jump beyond the song goes to the last", { 0, 9, false }, 0.0, 17.0, 2, 16.0 },
        { "advance over sections of different lengths", { 0, -1, true }, 0.0, 30.0, 2, 24.0 },
        { "advance wraps to the first", { 2, -1, true }, 24.0, 41.0, 0, 40.0 },
        { "advance far ahead", { 0, -1, true }, 0.0, 40000.0 + 20.0, 1, 40016.0 },
        { "cursor beyond a smaller song is clamped", { 7, -1, true }, 0.0, 17.0, 0, 16.0 },
        { "position not a number is not walked", { 0, -1, false }, 0.0, notANumber, 0, 0.0 },
        { "infinite position is not walked", { 0, -1, true }, 0.0, infinity, 0, 0.0 },
    };

    for (const auto& c : cases)
    {
        auto cursor = c.cursor;
        double passStart = c.passStart;
        SectionTimeline::walkSectionEnds (cursor, passStart, c.ppq, 3, lengthsOf (lengths));
        EXPECT_EQ (cursor.index, c.expectedIndex) << c.name;
        EXPECT_DOUBLE_EQ (passStart, c.expectedStart) << c.name;
    }
}

TEST (SectionTimeline, WalkEndsForTinySectionsAndFarPositions)
{
    // Sections of no length count as 0.0001 quarter notes: a position far ahead would take
    // billions of steps one pass at a time.
    const std::vector<double> tiny { 0.0, 0.0 };
    for (bool advance : { false, true })
    {
        SectionCursor cursor { 0, -1, advance };
        double passStart = 0.0;
        SectionTimeline::walkSectionEnds (cursor, passStart, 1.0e9, 2, lengthsOf (tiny));
        EXPECT_LE (passStart, 1.0e9) << advance;
        EXPECT_GT (passStart + 0.001, 1.0e9) << advance;
    }

    // A pass start that is not finite is not walked either.
    SectionCursor cursor { 1, -1, true };
    double passStart = notANumber;
    SectionTimeline::walkSectionEnds (cursor, passStart, 10.0, 3, lengthsOf (std::vector<double> { 1, 1, 1 }));
    EXPECT_EQ (cursor.index, 1);
}
