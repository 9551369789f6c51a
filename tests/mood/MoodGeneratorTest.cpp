// Lookups, the effective allowed degrees, the value semantics of a profile, the engines of
// separate generators and the two draw rules.
#include "MoodGeneratorTestAccess.h"

#include <gtest/gtest.h>

namespace
{
TEST (MoodLookup, IsExactAndCaseSensitive)
{
    MoodGenerator generator { 7u };

    ASSERT_NE (generator.findMood ("Space"), nullptr);
    EXPECT_EQ (generator.findMood ("Space")->name, "Space");

    for (const char* missing : { "space", " Space", "Space ", "SPACE", "---", "" })
        EXPECT_EQ (generator.findMood (missing), nullptr) << "'" << missing << "'";
}

TEST (MoodProfileValue, DefaultsAndIndependentCopies)
{
    const MoodProfile defaults;
    EXPECT_TRUE (defaults.name.isEmpty() && defaults.description.isEmpty() && defaults.scaleName.isEmpty());
    EXPECT_EQ (defaults.voicingStyle, 5);
    EXPECT_EQ (defaults.octave, 3);
    EXPECT_EQ (defaults.bpmMin, 70);
    EXPECT_EQ (defaults.bpmMax, 90);
    EXPECT_EQ (defaults.keys, (std::vector<juce::String> { "C", "G", "F" }));
    EXPECT_EQ (defaults.degreeWeights, (std::vector<float> { 1.0f, 0.6f, 0.4f, 0.9f, 0.5f, 0.8f, 0.2f }));
    EXPECT_TRUE (defaults.scaleIntervals.empty() && defaults.qualityPalettes.empty() && defaults.rhythms.empty()
                 && defaults.allowedDegrees.empty() && defaults.templates.empty() && defaults.transitions.empty()
                 && defaults.slashBasses.empty());

    MoodGenerator generator { 7u };
    auto copy = *generator.findMood ("Space");
    copy.qualityPalettes[0] = { "7" };
    copy.slashBasses.clear();

    EXPECT_EQ (generator.findMood ("Space")->qualityPalettes.at (0).front(), "maj9");
    EXPECT_EQ (generator.findMood ("Space")->slashBasses.size(), 3u);
}

TEST (AllowedDegrees, SkipsStraysAndRepeatsAndFallsBackToEveryDegree)
{
    struct Case
    {
        int degreeCount;
        std::vector<int> allowed;
        std::vector<int> expected;
    };

    const std::vector<Case> cases {
        { 7, {}, { 0, 1, 2, 3, 4, 5, 6 } },
        { 5, { 4, 1, 4, 9, -1 }, { 4, 1 } },
        { 5, { 7, 8 }, { 0, 1, 2, 3, 4 } },
        { 6, { 5, 0, 2 }, { 5, 0, 2 } }, // stored order, not sorted
        { 0, { 0, 1 }, {} },
        { 0, {}, {} },
    };

    for (const auto& c : cases)
    {
        MoodProfile profile;
        profile.scaleIntervals.resize ((size_t) c.degreeCount);
        profile.allowedDegrees = c.allowed;
        EXPECT_EQ (MoodGenerator::getAllowedDegrees (profile), c.expected) << "degree count " << c.degreeCount;
    }
}

TEST (MoodEngine, ASeedRepeatsARunAndGeneratorsDrawIndependently)
{
    const MoodGenerationOptions options { true, true, true, true };

    MoodGenerator a { 42u }, b { 42u }, fresh { 42u };
    const auto first = a.generateProgression ("Smoke", "E", 32, options);
    EXPECT_EQ (b.generateProgression ("Smoke", "E", 32, options), first);

    // Draws through a leave b's engine where it was.
    for (int i = 0; i < 5; ++i)
        a.generateSection ("Rust", "B", 48, options);
    (void) fresh.generateProgression ("Smoke", "E", 32, options);
    EXPECT_EQ (b.generateProgression ("Glass", "C", 48, options), fresh.generateProgression ("Glass", "C", 48, options));
}

TEST (MoodEngine, UnseededGeneratorsDrawDifferentSequences)
{
    MoodGenerator a, b;
    juce::StringArray fromA, fromB;
    for (int i = 0; i < 4; ++i)
    {
        fromA.add (a.generateProgression ("Space", "C", 64, {}));
        fromB.add (b.generateProgression ("Space", "C", 64, {}));
    }
    EXPECT_NE (fromA, fromB);
}

TEST (MoodDraws, UnitDrawTakesTheTopTwentyFourBitsOfOneOutput)
{
    MoodGenerator generator { 3u };
    auto replay = MoodGeneratorTestAccess::engine (generator);

    for (int i = 0; i < 1000; ++i)
    {
        const auto raw = replay();
        const auto u = MoodGeneratorTestAccess::drawUnit (generator);
        ASSERT_EQ (u, (float) (raw >> 8) / 16777216.0f);
        ASSERT_GE (u, 0.0f);
        ASSERT_LT (u, 1.0f);
    }
    EXPECT_EQ (MoodGeneratorTestAccess::engine (generator), replay);
}

TEST (MoodDraws, IndexDrawCoversTheRangeAndDrawsEvenForOneItem)
{
    MoodGenerator generator { 3u };
    auto& engine = MoodGeneratorTestAccess::engine (generator);

    const auto before = engine;
    EXPECT_EQ (MoodGeneratorTestAccess::drawIndex (generator, 1), 0);
    EXPECT_NE (engine, before);

    std::vector<int> seen (4, 0);
    for (int i = 0; i < 4000; ++i)
    {
        const auto index = MoodGeneratorTestAccess::drawIndex (generator, 4);
        ASSERT_GE (index, 0);
        ASSERT_LT (index, 4);
        ++seen[(size_t) index];
    }
    for (auto count : seen)
        EXPECT_NEAR (count, 1000, 150);
}
} // namespace
