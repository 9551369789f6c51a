// Next-chord ranking: the score terms, the order of ties, the cut to maxCount and the cases that
// give nothing.
#include "MoodGeneratorTestAccess.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
using Access = MoodGeneratorTestAccess;

struct Expected
{
    int degree;
    const char* quality;
    float score;
};

void expectRanking (const std::vector<MoodChordSuggestion>& actual, const std::vector<Expected>& expected)
{
    ASSERT_EQ (actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
    {
        SCOPED_TRACE ("place " + std::to_string (i));
        EXPECT_EQ (actual[i].degree, expected[i].degree);
        EXPECT_EQ (actual[i].quality, expected[i].quality);
        EXPECT_FLOAT_EQ (actual[i].score, expected[i].score);
    }
}

std::vector<int> degreesOf (const std::vector<MoodChordSuggestion>& suggestions)
{
    std::vector<int> degrees;
    for (const auto& s : suggestions)
        degrees.push_back (s.degree);
    return degrees;
}

class MoodSuggestions : public ::testing::Test
{
protected:
    MoodGenerator generator { 5u };
};

TEST_F (MoodSuggestions, AfterTheTonicOfSpace)
{
    expectRanking (generator.suggestNextChords ("Space", 0, -1, { 0 }, 7, 3),
                   { { 3, "m7b5", 109.0f }, { 5, "m7", 100.0f }, { 4, "maj9", 89.0f } });

    // All seven, as the chord editor asks for them after a C in C major.
    expectRanking (generator.suggestNextChords ("Space", 0, -1, { 0 }, 7, 7),
                   { { 3, "m7b5", 109.0f }, { 5, "m7", 100.0f }, { 4, "maj9", 89.0f }, { 1, "9", 4.0f },
                     { 2, "m7", 3.0f }, { 6, "m7", 1.0f }, { 0, "maj9", -74.0f } });
}

TEST_F (MoodSuggestions, BeforeATargetTheCandidatesThatLeadToItWin)
{
    // Space, into degree 0: 1 lists it second (+55), 3 and 4 and 6 first (+60), 5 third (+50).
    expectRanking (generator.suggestNextChords ("Space", -1, 0, {}, 7, 7),
                   { { 3, "m7b5", 69.0f }, { 4, "maj9", 65.0f }, { 6, "m7", 61.0f }, { 1, "9", 59.0f },
                     { 5, "m7", 58.0f }, { 0, "maj9", 10.0f }, { 2, "m7", 3.0f } });

    // Both directions at once: from 3 (listing 0, 4, 5) into 0.
    expectRanking (generator.suggestNextChords ("Space", 3, 0, { 3 }, 7, 7),
                   { { 4, "maj9", 5.0f + 92.0f + 60.0f }, { 5, "m7", 8.0f + 84.0f + 50.0f }, { 0, "maj9", 10.0f + 100.0f },
                     { 6, "m7", 1.0f + 60.0f }, { 1, "9", 4.0f + 55.0f }, { 2, "m7", 3.0f },
                     { 3, "m7b5", 9.0f - 60.0f + 60.0f - 24.0f } });
}

TEST_F (MoodSuggestions, WithoutContextTheWeightsRankEveryMood)
{
    for (const auto& name : tableMoodNames())
    {
        const auto* profile = generator.findMood (name);
        ASSERT_NE (profile, nullptr);
        SCOPED_TRACE (name);

        auto expected = MoodGenerator::getAllowedDegrees (*profile);
        std::stable_sort (expected.begin(), expected.end(), [profile] (int a, int b)
        {
            return profile->degreeWeights[(size_t) a] > profile->degreeWeights[(size_t) b];
        });

        const auto n = (int) profile->scaleIntervals.size();
        const auto ranked = generator.suggestNextChords (name, -1, -1, {}, n, n);
        EXPECT_EQ (degreesOf (ranked), expected);
        for (const auto& s : ranked)
        {
            EXPECT_FLOAT_EQ (s.score, profile->degreeWeights[(size_t) s.degree] * 10.0f);
            EXPECT_EQ (s.quality, profile->qualityPalettes.at (s.degree).front());
        }
    }
}

TEST_F (MoodSuggestions, EqualScoresComeOutLowerDegreeFirst)
{
    // Glass weighs 1.0, 0.8, 0.9, 0.8, 0.9, 0.8.
    EXPECT_EQ (degreesOf (generator.suggestNextChords ("Glass", -1, -1, {}, 6, 6)), (std::vector<int> { 0, 2, 4, 1, 3, 5 }));
    // Tribal's degree 1 palette starts with the major triad.
    const auto tribal = generator.suggestNextChords ("Tribal", -1, -1, {}, 5, 5);
    EXPECT_EQ (degreesOf (tribal), (std::vector<int> { 0, 4, 2, 1 }));
    EXPECT_EQ (tribal.back().quality, "");
}

TEST_F (MoodSuggestions, RecentChordsArePenalised)
{
    struct Case
    {
        std::vector<int> recent;
        int degree;
        float score;
    };

    // Space without neighbours: degree 2 weighs 0.3, 5 weighs 0.8, 3 weighs 0.9, 1 weighs 0.4.
    const std::vector<Case> cases {
        { { 2, 2 }, 2, 3.0f - 24.0f - 12.0f },
        { { 5 }, 5, 8.0f - 24.0f },
        { { 1, 5, 3 }, 3, 9.0f - 24.0f },
        { { 1, 5, 3 }, 5, 8.0f - 12.0f },
        { { 1, 5, 3 }, 1, 4.0f }, // only the last two count
        { {}, 2, 3.0f },
    };

    for (const auto& c : cases)
    {
        const auto ranked = generator.suggestNextChords ("Space", -1, -1, c.recent, 7, 7);
        const auto found = std::find_if (ranked.begin(), ranked.end(), [&c] (const MoodChordSuggestion& s) { return s.degree == c.degree; });
        ASSERT_NE (found, ranked.end());
        EXPECT_FLOAT_EQ (found->score, c.score) << "degree " << c.degree;
    }
}

TEST_F (MoodSuggestions, RepeatingThePreviousDegreeCostsEvenWhenItIsListedFirst)
{
    MoodProfile profile;
    profile.name = "Loop";
    profile.scaleIntervals = { 0, 2, 4, 5, 7, 9, 11 };
    profile.degreeWeights = { 1.0f, 0.6f };             // degrees 2 .. 6 have no weight: 5 each
    profile.transitions = { { 0, { 0, 3 } } };
    profile.qualityPalettes = { { 3, { "m7" } }, { 4, {} } };
    Access::store (generator, profile);

    expectRanking (generator.suggestNextChords ("Loop", 0, -1, {}, 7, 7),
                   { { 3, "m7", 5.0f + 92.0f }, { 0, "", 10.0f + 100.0f - 60.0f }, { 1, "", 6.0f }, { 2, "", 5.0f },
                     { 4, "", 5.0f }, { 5, "", 5.0f }, { 6, "", 5.0f } });
}

TEST_F (MoodSuggestions, OnlyAllowedDegreesAndAtMostMaxCount)
{
    for (int previous : { -1, 0, 2, 3 })
    {
        const auto ranked = generator.suggestNextChords ("Tribal", previous, 0, { 1, 4 }, 5, 5);
        EXPECT_EQ (ranked.size(), 4u);
        for (const auto& s : ranked)
            EXPECT_NE (s.degree, 3);
    }

    EXPECT_EQ (generator.suggestNextChords ("Space", 0, -1, { 0 }, 7, 1).size(), 1u);
    EXPECT_EQ (generator.suggestNextChords ("Space", 0, -1, { 0 }, 7, 1).front().degree, 3);
    EXPECT_EQ (generator.suggestNextChords ("Space", 0, -1, { 0 }, 7, 100).size(), 7u);
    EXPECT_EQ (generator.suggestNextChords ("Ember", -1, -1, {}, 7, 100).size(), 5u);
}

TEST_F (MoodSuggestions, NothingForUnknownMoodsMismatchedScalesOrEmptyCounts)
{
    struct Case
    {
        const char* mood;
        int degreeCount;
        int maxCount;
    };

    const std::vector<Case> cases {
        { "Spaces", 7, 5 }, { "space", 7, 5 }, { "---", 7, 5 }, // no stand-in mood here
        { "Tribal", 7, 5 }, { "Space", 5, 5 }, { "Glass", 7, 5 },
        { "Space", 0, 5 }, { "Space", -7, 5 }, { "Space", 7, 0 }, { "Space", 7, -1 },
    };

    for (const auto& c : cases)
        EXPECT_TRUE (generator.suggestNextChords (c.mood, 0, -1, { 0 }, c.degreeCount, c.maxCount).empty())
            << c.mood << " " << c.degreeCount << " " << c.maxCount;
}

TEST_F (MoodSuggestions, MakeNoRandomDraw)
{
    const auto before = Access::engine (generator);
    const auto first = generator.suggestNextChords ("Noir", 4, 0, { 0, 4 }, 7, 7);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ (degreesOf (generator.suggestNextChords ("Noir", 4, 0, { 0, 4 }, 7, 7)), degreesOf (first));
    EXPECT_EQ (Access::engine (generator), before);
}
} // namespace
