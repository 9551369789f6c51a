// Whole sections: the fields a mood sets, the fallbacks for names the table lacks, and the
// octave shift.
#include "MoodGeneratorTestAccess.h"

#include "harmony/ChordVocabulary.h"
#include "harmony/ProgressionText.h"

#include <gtest/gtest.h>

namespace
{
using Access = MoodGeneratorTestAccess;

TEST (MoodSection, NightInA)
{
    MoodGenerator generator { 17u };
    const auto section = generator.generateSection ("Night", "A", 16, { false, false, false, true });

    EXPECT_EQ (section.name, "Night");
    EXPECT_EQ (section.scale, "Minor");
    EXPECT_EQ (section.rootKey, "A");
    EXPECT_EQ (section.suggestedBpm, "55-75 BPM");
    for (const auto* voicing : { &section.voicing, &section.bassVoicing, &section.bodyVoicing, &section.shimmerVoicing })
        EXPECT_EQ (*voicing, "Bassist");
    EXPECT_EQ (section.baseOctave, 3);
    EXPECT_EQ (section.bassMotion, "Balanced");

    EXPECT_FALSE (section.arrangeBassLegato);
    EXPECT_TRUE (section.arrangeBodyLegato);
    EXPECT_TRUE (section.arrangeShimmerLegato);
    EXPECT_TRUE (section.arrangeBassAddOctave);
    EXPECT_FALSE (section.arrangeBassAddFifth);
    EXPECT_TRUE (section.arrangeBodyAddRoot);
    EXPECT_TRUE (section.arrangeBodyAddFifth);
    EXPECT_FALSE (section.arrangeBodyWithShimmer);
    EXPECT_TRUE (section.arrangeShimmerTopNoteEnabled);
    EXPECT_TRUE (section.arrangeShimmerColorNotesEnabled);

    // Octave 2 shifts every layer down by one: -1 -> -2, 0 -> -1, 1 -> 0.
    EXPECT_EQ (section.bassOctave, -2);
    EXPECT_EQ (section.bodyOctave, -1);
    EXPECT_EQ (section.shimmerOctave, 0);

    // The progression is the one the same seed generates alone.
    MoodGenerator replay { 17u };
    EXPECT_EQ (section.progression, replay.generateProgression ("Night", "A", 16, { false, false, false, true }));
}

TEST (MoodSection, ANameNotInTheTableGeneratesFromSpaceWithTheBaseArrangement)
{
    MoodGenerator generator { 18u };
    const auto section = generator.generateSection ("Spaces", "D", 32, {});

    EXPECT_EQ (section.name, "Spaces");
    EXPECT_EQ (section.scale, "Lydian");
    EXPECT_EQ (section.rootKey, "D");
    EXPECT_EQ (section.suggestedBpm, "70-90 BPM");
    EXPECT_EQ (section.bodyVoicing, "Bassist");
    EXPECT_EQ (section.bassMotion, "Balanced");
    EXPECT_FALSE (section.arrangeBassAddOctave);
    EXPECT_FALSE (section.arrangeShimmerTopNoteEnabled);
    EXPECT_TRUE (section.arrangeShimmerColorNotesEnabled);
    EXPECT_EQ (section.bassOctave, 0);
    EXPECT_EQ (section.bodyOctave, 0);
    EXPECT_EQ (section.shimmerOctave, 1);

    MoodGenerator replay { 18u };
    EXPECT_EQ (section.progression, replay.generateProgression ("Space", "D", 32, {}));
}

TEST (MoodSection, LayerOctavesShiftByTheMoodsOctave)
{
    struct Case
    {
        const char* mood;
        int bass, body, shimmer;
    };

    // Aurora (octave 4) lifts the base values 0, 0, 1; Glass (4) too; Space (3) keeps its -1 bass;
    // Velvet (3) keeps its -1 bass; Rust (2) lowers all three.
    const std::vector<Case> cases {
        { "Aurora", 1, 1, 2 },
        { "Glass", 1, 1, 2 },
        { "Space", -1, 0, 1 },
        { "Velvet", -1, 0, 1 },
        { "Rust", -1, -1, 0 },
        { "Tribal", -1, -1, 0 },
    };

    MoodGenerator generator { 19u };
    for (const auto& c : cases)
    {
        const auto section = generator.generateSection (c.mood, "C", 16, {});
        EXPECT_EQ (section.bassOctave, c.bass) << c.mood;
        EXPECT_EQ (section.bodyOctave, c.body) << c.mood;
        EXPECT_EQ (section.shimmerOctave, c.shimmer) << c.mood;
    }

    // A far octave clamps to -4 .. 4 instead of running off.
    for (int octave : { 40, -40, std::numeric_limits<int>::max(), std::numeric_limits<int>::min() })
    {
        auto profile = *generator.findMood ("Night");
        profile.name = "Deep";
        profile.octave = octave;
        Access::store (generator, profile);

        const auto section = generator.generateSection ("Deep", "C", 8, {});
        const int expected = octave > 0 ? 4 : -4;
        EXPECT_EQ (section.bassOctave, expected) << octave;
        EXPECT_EQ (section.bodyOctave, expected) << octave;
        EXPECT_EQ (section.shimmerOctave, expected) << octave;
    }
}

TEST (MoodSection, EveryMoodFillsEveryField)
{
    MoodGenerator generator { 20u };
    for (const auto& name : tableMoodNames())
    {
        const auto& profile = *generator.findMood (name);
        const auto section = generator.generateSection (name, profile.keys.front(), 24, { true, true, true, true });
        SCOPED_TRACE (name + ": " + section.progression);

        EXPECT_EQ (section.name, name);
        EXPECT_EQ (section.voicing, voicingStyleNames()[profile.voicingStyle]);
        EXPECT_EQ (section.shimmerVoicing, section.voicing);
        EXPECT_EQ (section.scale, profile.scaleName);
        EXPECT_EQ (section.rootKey, profile.keys.front());
        EXPECT_EQ (section.suggestedBpm, juce::String (profile.bpmMin) + "-" + juce::String (profile.bpmMax) + " BPM");
        EXPECT_TRUE (bassMotionNames().contains (section.bassMotion));
        EXPECT_TRUE (section.arrangeShimmerColorNotesEnabled);
        EXPECT_FALSE (section.arrangeBassLegato);
        EXPECT_FALSE (section.arrangeBodyWithShimmer);

        for (const auto& token : parseProgressionTokens (section.progression))
            EXPECT_TRUE (token.isValid) << token.text;
    }
}

TEST (MoodSection, ArrangementByExactMoodName)
{
    MoodGenerator generator { 22u };

    const auto tribal = generator.generateSection ("Tribal", "A", 12, {});
    EXPECT_EQ (tribal.bassMotion, "Moving");
    EXPECT_FALSE (tribal.arrangeBodyLegato);
    EXPECT_FALSE (tribal.arrangeShimmerLegato);
    EXPECT_TRUE (tribal.arrangeBassAddOctave);
    EXPECT_TRUE (tribal.arrangeBassAddFifth);
    EXPECT_TRUE (tribal.arrangeShimmerTopNoteEnabled);

    const auto fog = generator.generateSection ("Fog", "F#", 48, {});
    EXPECT_EQ (fog.bassMotion, "Strict");
    EXPECT_FALSE (fog.arrangeShimmerTopNoteEnabled);
    EXPECT_FALSE (fog.arrangeBassAddOctave);

    // Another letter case is another name: Space's profile, but the base arrangement.
    const auto lower = generator.generateSection ("space", "C", 16, {});
    EXPECT_EQ (lower.bassMotion, "Balanced");
    EXPECT_EQ (lower.bassOctave, 0);
    EXPECT_EQ (lower.suggestedBpm, "70-90 BPM");
    EXPECT_EQ (lower.scale, "Lydian");
}

TEST (MoodSection, WithoutSpaceAnUnknownNameGivesTheDefaultSection)
{
    MoodGenerator generator { 23u };
    Access::moods (generator).erase ("Space");

    const auto before = Access::engine (generator);
    EXPECT_EQ (generator.generateSection ("Spaces", "C", 16, { true, true, true, true }), SectionMode::SectionData());
    EXPECT_EQ (Access::engine (generator), before);

    EXPECT_EQ (generator.generateSection ("Night", "C", 16, {}).scale, "Minor");
}

TEST (MoodSection, AVoicingStyleOutsideTheNamesReadsAsBassist)
{
    MoodGenerator generator { 24u };
    for (int style : { -1, 7, 100 })
    {
        auto profile = *generator.findMood ("Aurora");
        profile.name = "Odd";
        profile.voicingStyle = style;
        Access::store (generator, profile);
        EXPECT_EQ (generator.generateSection ("Odd", "C", 8, {}).bodyVoicing, "Bassist") << style;
    }
}
} // namespace
