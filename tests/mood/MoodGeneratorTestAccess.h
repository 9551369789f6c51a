#pragma once

#include "mood/MoodGenerator.h"

// Reaches the generator's private table, engine and helpers, so that tests can check the draw
// rules and the helpers one by one and run generation on profiles the table does not hold.
struct MoodGeneratorTestAccess
{
    static auto& moods (MoodGenerator& generator) { return generator.moods; }
    static std::mt19937& engine (MoodGenerator& generator) { return generator.rng; }

    static int drawIndex (MoodGenerator& generator, size_t n) { return generator.drawIndex (n); }
    static float drawUnit (MoodGenerator& generator) { return generator.drawUnit(); }

    static int rollHarmonicOption (MoodGenerator& generator, MoodGenerationOptions options)
    {
        return generator.rollHarmonicOption (options);
    }

    static int chooseNextDegree (MoodGenerator& generator, const MoodProfile& profile, int degree,
                                 const std::vector<int>& recentDegrees)
    {
        return generator.chooseNextDegree (profile, degree, recentDegrees);
    }

    static std::vector<int> makeOptionQueue (MoodGenerationOptions options) { return MoodGenerator::makeOptionQueue (options); }

    static juce::String degreeNoteName (const juce::String& key, const std::vector<int>& intervals, int degree)
    {
        return MoodGenerator::degreeNoteName (key, intervals, degree);
    }

    static int pitchClassOf (const juce::String& name) { return MoodGenerator::pitchClassOf (name); }
    static juce::String noteNameOf (int pitchClass) { return MoodGenerator::noteNameOf (pitchClass); }
    static juce::String formatBarLength (double bars) { return MoodGenerator::formatBarLength (bars); }

    // Stores a profile under its name, replacing any mood of that name.
    static void store (MoodGenerator& generator, const MoodProfile& profile) { generator.moods[profile.name] = profile; }
};

// The sixteen mood names of the table, in table order (the panel's list without its separators).
inline std::vector<juce::String> tableMoodNames()
{
    std::vector<juce::String> names;
    for (const auto& name : MoodGenerator::getMoodNames())
        if (name != "---")
            names.push_back (name);
    return names;
}
