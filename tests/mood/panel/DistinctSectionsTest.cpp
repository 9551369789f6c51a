// Collecting generated sections: distinct non-empty progressions, the attempt limit, and the
// one extra section when nothing could be kept.
#include "mood/panel/DistinctSections.h"

#include <gtest/gtest.h>

namespace
{
// A generator that hands out the given progressions in turn (the last one repeats) and counts
// its calls.
struct ScriptedGenerator
{
    std::vector<juce::String> progressions;
    int calls = 0;

    SectionMode::SectionData operator()()
    {
        SectionMode::SectionData section;
        section.name = "Mood";
        section.progression = progressions[(size_t) juce::jmin (calls, (int) progressions.size() - 1)];
        section.suggestedBpm = juce::String (calls);
        ++calls;
        return section;
    }
};

std::vector<juce::String> progressionsOf (const std::vector<SectionMode::SectionData>& sections)
{
    std::vector<juce::String> texts;
    for (const auto& s : sections)
        texts.push_back (s.progression);
    return texts;
}

TEST (DistinctSections, KeepsDistinctNonEmptyProgressionsUpToTheLimits)
{
    const struct
    {
        const char* what;
        std::vector<juce::String> script;
        int expectedCalls;
        std::vector<juce::String> kept;
    } cases[] = {
        { "five at once", { "C", "D", "E", "F", "G", "A" }, 5, { "C", "D", "E", "F", "G" } },
        { "repeats skipped", { "C", "C", "D", "C", "E", "F", "D", "G" }, 8, { "C", "D", "E", "F", "G" } },
        { "trimmed before comparing", { "C G", " C G ", "Am", "  ", "F", "G", "Dm" }, 7, { "C G", "Am", "F", "G", "Dm" } },
        { "case counts", { "c", "C", "Cm", "cm", "CM" }, 5, { "c", "C", "Cm", "cm", "CM" } },
        { "twenty attempts, then what was kept", { "C", "D", "D" }, 20, { "C", "D" } },
        { "one repeated progression", { "Am F" }, 20, { "Am F" } },
    };

    for (const auto& c : cases)
    {
        ScriptedGenerator generator { c.script };
        const auto sections = collectDistinctSections (std::ref (generator));
        EXPECT_EQ (generator.calls, c.expectedCalls) << c.what;
        EXPECT_EQ (progressionsOf (sections), c.kept) << c.what;
    }
}

TEST (DistinctSections, NothingKeptGivesOneMoreSectionWhateverItHolds)
{
    ScriptedGenerator generator { { "", " ", "" } };
    const auto sections = collectDistinctSections (std::ref (generator));

    EXPECT_EQ (generator.calls, 21);
    ASSERT_EQ (sections.size(), 1u);
    // The 21st section, as generated.
    EXPECT_EQ (sections[0].suggestedBpm, "20");
    EXPECT_EQ (sections[0].progression, "");
}

TEST (DistinctSections, KeptSectionsAreTheGeneratedOnes)
{
    ScriptedGenerator generator { { "C", "C", "Dm" } };
    const auto sections = collectDistinctSections (std::ref (generator), 2, 20);

    ASSERT_EQ (sections.size(), 2u);
    EXPECT_EQ (sections[0].suggestedBpm, "0");
    EXPECT_EQ (sections[1].suggestedBpm, "2");
    EXPECT_EQ (sections[1].name, "Mood");
}
} // namespace
