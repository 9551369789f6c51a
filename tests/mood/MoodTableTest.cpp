// The mood table checked by the rules its rows keep, over every row, plus a few rows read
// back as spot values.
#include "MoodGeneratorTestAccess.h"

#include "harmony/ChordVocabulary.h"
#include "harmony/ProgressionText.h"
#include "harmony/ScaleTable.h"

#include <gtest/gtest.h>

#include <set>

namespace
{
template <typename Map>
std::set<int> keysOf (const Map& map)
{
    std::set<int> keys;
    for (const auto& entry : map)
        keys.insert (entry.first);
    return keys;
}

bool isDegreeOf (int degree, const MoodProfile& profile)
{
    return degree >= 0 && degree < (int) profile.scaleIntervals.size();
}

class MoodTableRows : public ::testing::Test
{
protected:
    MoodGenerator generator { 1u };

    const MoodProfile& row (const juce::String& name)
    {
        const auto* profile = generator.findMood (name);
        if (profile == nullptr)
            throw std::runtime_error ("no mood " + name.toStdString());
        return *profile;
    }
};

TEST_F (MoodTableRows, HoldExactlyTheSixteenListedMoodsUnderTheirOwnNames)
{
    const auto names = tableMoodNames();
    ASSERT_EQ (names.size(), 16u);
    EXPECT_EQ (std::set<juce::String> (names.begin(), names.end()).size(), 16u);

    const auto listed = MoodGenerator::getMoodNames();
    EXPECT_EQ (listed.size(), 18);
    EXPECT_EQ (listed[6], "---");
    EXPECT_EQ (listed[12], "---");

    for (const auto& name : names)
        EXPECT_EQ (row (name).name, name);
}

TEST_F (MoodTableRows, ScalesAreTheHarmonyScalesOfTheirNames)
{
    const std::set<juce::String> fiveDegrees { "Tribal", "Meadow", "Fog", "Sands" };
    const std::set<juce::String> sixDegrees { "Smoke", "Glass" };

    for (const auto& name : tableMoodNames())
    {
        SCOPED_TRACE (name);
        const auto& p = row (name);

        const auto* scale = findScale (p.scaleName);
        ASSERT_NE (scale, nullptr);
        EXPECT_EQ (scale->name, p.scaleName); // spelled as the scale table spells it
        EXPECT_EQ (scale->intervals, p.scaleIntervals);

        const size_t n = fiveDegrees.count (name) ? 5u : sixDegrees.count (name) ? 6u : 7u;
        EXPECT_EQ (p.scaleIntervals.size(), n);
        EXPECT_EQ (p.degreeWeights.size(), n);
    }
}

TEST_F (MoodTableRows, TempoVoicingOctaveKeysAndLengthsAreUsable)
{
    for (const auto& name : tableMoodNames())
    {
        SCOPED_TRACE (name);
        const auto& p = row (name);

        EXPECT_LT (p.bpmMin, p.bpmMax);
        EXPECT_TRUE (juce::isPositiveAndBelow (p.voicingStyle, voicingStyleNames().size()));
        EXPECT_GE (p.octave, 2);
        EXPECT_LE (p.octave, 4);
        EXPECT_TRUE (p.description.isNotEmpty());

        ASSERT_EQ (p.keys.size(), 4u);
        for (const auto& key : p.keys)
            EXPECT_GE (getPitchClass (key), 0) << key;

        ASSERT_EQ (p.rhythms.size(), 4u);
        for (const auto& rhythm : p.rhythms)
            EXPECT_GT (rhythm.getDoubleValue(), 0.0) << rhythm;
    }
}

TEST_F (MoodTableRows, EveryPaletteQualityIsAChordQualityThatParses)
{
    for (const auto& name : tableMoodNames())
        for (const auto& [degree, palette] : row (name).qualityPalettes)
        {
            EXPECT_FALSE (palette.empty()) << name << " degree " << degree;
            for (const auto& quality : palette)
            {
                SCOPED_TRACE (name + " " + quality);
                EXPECT_EQ (chordQualityIntervals().count (quality.isEmpty() ? juce::String ("maj") : quality), 1u);
                EXPECT_TRUE (parseChordToken ("C" + quality + ":1").isValid);
            }
        }
}

TEST_F (MoodTableRows, PalettesTransitionsTemplatesAndSlashBassesStayOnTheAllowedDegrees)
{
    int rowsWithAllowedDegrees = 0;

    for (const auto& name : tableMoodNames())
    {
        SCOPED_TRACE (name);
        const auto& p = row (name);
        const auto allowed = MoodGenerator::getAllowedDegrees (p);
        const std::set<int> allowedSet (allowed.begin(), allowed.end());

        if (p.allowedDegrees.empty())
        {
            EXPECT_EQ (allowed.size(), p.scaleIntervals.size());
            EXPECT_EQ (keysOf (p.qualityPalettes), allowedSet);
            EXPECT_EQ (keysOf (p.transitions), allowedSet);
        }
        else
        {
            ++rowsWithAllowedDegrees;
            EXPECT_EQ (allowed, p.allowedDegrees); // stored without repeats or strays
            EXPECT_EQ (keysOf (p.qualityPalettes), allowedSet);

            auto expectedTransitionKeys = allowedSet;
            if (name == "Tribal")
                expectedTransitionKeys.insert (3);
            if (name == "Meadow")
                expectedTransitionKeys.insert (2);
            EXPECT_EQ (keysOf (p.transitions), expectedTransitionKeys);
        }

        for (const auto& [from, targets] : p.transitions)
        {
            EXPECT_FALSE (targets.empty());
            for (auto target : targets)
                EXPECT_TRUE (allowedSet.count (target)) << "transition " << from << " -> " << target;
        }

        ASSERT_FALSE (p.templates.empty());
        for (const auto& degrees : p.templates)
        {
            ASSERT_GE (degrees.size(), 2u);
            EXPECT_LE (degrees.size(), 4u);
            EXPECT_EQ (degrees.front(), 0);
            for (auto degree : degrees)
                EXPECT_TRUE (allowedSet.count (degree)) << "template degree " << degree;
        }

        const size_t slashDegrees = name == "Fog" ? 1u : name == "Smoke" ? 2u : name == "Rust" ? 4u : 3u;
        EXPECT_EQ (p.slashBasses.size(), slashDegrees);
        for (const auto& [degree, choices] : p.slashBasses)
        {
            ASSERT_EQ (choices.size(), 1u);
            EXPECT_TRUE (allowedSet.count (degree));
            EXPECT_TRUE (allowedSet.count (choices[0].bassDegree));
            EXPECT_NE (choices[0].bassDegree, degree);
            EXPECT_GE (choices[0].probability, 0.2f);
            EXPECT_LE (choices[0].probability, 0.55f);
        }

        for (const auto& [degree, palette] : p.qualityPalettes)
            EXPECT_TRUE (isDegreeOf (degree, p));
    }

    EXPECT_EQ (rowsWithAllowedDegrees, 6);
}

TEST_F (MoodTableRows, SpotValues)
{
    // The scale row, the weights, transitions and palettes of Space.
    const auto& space = row ("Space");
    EXPECT_EQ (space.scaleName, "Lydian");
    EXPECT_EQ (space.bpmMin, 60);
    EXPECT_EQ (space.bpmMax, 80);
    EXPECT_EQ (space.keys, (std::vector<juce::String> { "C", "F", "G", "D#" }));
    EXPECT_EQ (space.rhythms, (std::vector<juce::String> { "4", "4", "2", "8" })); // the repeat stays
    EXPECT_EQ (space.degreeWeights, (std::vector<float> { 1.0f, 0.4f, 0.3f, 0.9f, 0.5f, 0.8f, 0.1f }));
    EXPECT_EQ (space.transitions.at (0), (std::vector<int> { 3, 5, 4 }));
    EXPECT_EQ (space.qualityPalettes.at (0), (std::vector<juce::String> { "maj9", "maj7", "add9", "sus2" }));
    EXPECT_EQ (space.description, "Think cosmic ambient: weightless pads, suspended Lydian glow, wide-open arcs.");

    // The empty quality at both ends of a palette.
    EXPECT_EQ (row ("Tribal").qualityPalettes.at (1).front(), "");
    EXPECT_EQ (row ("Meadow").qualityPalettes.at (0).back(), "");

    // Fog allows three degrees, and only those carry palettes and transitions.
    const auto& fog = row ("Fog");
    EXPECT_EQ (fog.allowedDegrees, (std::vector<int> { 0, 3, 4 }));
    EXPECT_EQ (keysOf (fog.qualityPalettes), (std::set<int> { 0, 3, 4 }));
    EXPECT_EQ (fog.templates.at (1), (std::vector<int> { 0, 0, 4, 3 }));

    // Fastest and slowest tempo hints.
    int fastest = 0, slowest = 1000;
    juce::String fastestName, slowestName;
    for (const auto& name : tableMoodNames())
    {
        if (row (name).bpmMax > fastest)
            fastest = row (name).bpmMax, fastestName = name;
        if (row (name).bpmMin < slowest)
            slowest = row (name).bpmMin, slowestName = name;
    }
    EXPECT_EQ (fastestName, "Velvet");
    EXPECT_EQ (row ("Velvet").bpmMin, 118);
    EXPECT_EQ (slowestName, "Fog");
    EXPECT_EQ (row ("Fog").bpmMax, 65);

    // Rust's four slash-bass degrees, in order.
    const auto& rust = row ("Rust").slashBasses;
    EXPECT_EQ (keysOf (rust), (std::set<int> { 1, 3, 4, 5 }));
    EXPECT_EQ (rust.at (5)[0].bassDegree, 2);
    EXPECT_FLOAT_EQ (rust.at (3)[0].probability, 0.55f);

    EXPECT_EQ (row ("Ember").voicingStyle, 2);
    EXPECT_EQ (row ("Glass").octave, 4);
}

TEST_F (MoodTableRows, DefaultBarsFollowTheMeanChordLength)
{
    const std::vector<std::pair<const char*, int>> expected {
        { "Space", 32 }, { "Forest", 16 }, { "Water", 16 }, { "Desert", 32 }, { "Night", 32 }, { "Aurora", 16 },
        { "Tribal", 12 }, { "Meadow", 16 }, { "Fog", 48 }, { "Smoke", 16 }, { "Sands", 24 }, { "Velvet", 12 },
        { "Noir", 48 }, { "Rust", 48 }, { "Glass", 48 }, { "Ember", 32 },
        { "---", 16 }, { "space", 16 }, { "", 16 },
    };

    for (const auto& [mood, bars] : expected)
        EXPECT_EQ (generator.getDefaultBars (mood), bars) << mood;
}

TEST_F (MoodTableRows, DescriptionsAndSlashChordHintsByExactName)
{
    EXPECT_EQ (generator.getMoodDescription ("Night"),
               "Think nocturnal introspection: low minor colors, slow shadows, melancholic pull.");
    EXPECT_EQ (generator.getMoodDescription ("---"), "");
    EXPECT_EQ (generator.getMoodDescription ("night"), "");

    const juce::String general ("Slash Chords: Uses a different bass note under the chord for deeper voice separation.");
    std::set<juce::String> hints;
    for (const auto& name : tableMoodNames())
    {
        const auto hint = MoodGenerator::getSlashChordText (name);
        EXPECT_TRUE (hint.startsWith ("Slash Chords: ")) << name;
        EXPECT_NE (hint, general) << name;
        hints.insert (hint);
    }
    EXPECT_EQ (hints.size(), 16u);

    EXPECT_EQ (MoodGenerator::getSlashChordText ("Rust"), "Slash Chords: Tonic Anchor - pins bass to prevent Locrian collapse.");
    EXPECT_EQ (MoodGenerator::getSlashChordText ("Noir"),
               "Slash Chords: Chromatic Drift - slow bass descent for Ostrev-esque atmosphere.");
    for (const char* other : { "---", "rust", "Spaces", "" })
        EXPECT_EQ (MoodGenerator::getSlashChordText (other), general) << other;
}
} // namespace
