// A whole song compiled into a bank, without a processor: which snapshots a new bank takes over
// from the previous one, and a bank compile that a newer request overtakes.
#include "compile/BankCompile.h"
#include "support/SongBuilders.h"

#include <gtest/gtest.h>

namespace
{
using corvessa::test::section;

using Bank = std::shared_ptr<const CompiledSectionBank>;

Bank compiled (const SectionMode::SectionData& working, const SectionList& song, const Bank& previous = nullptr,
               const juce::String& defaultDuration = "1")
{
    return std::make_shared<const CompiledSectionBank> (compileBank (working, song, defaultDuration, 5, previous));
}
} // namespace

TEST (BankCompile, ABankHoldsTheWorkingSectionAndOneSnapshotPerSection)
{
    const SectionList song { section ("A", "C F"), section ("B", "Dm G C"), section ("C", "Xq7 G") };
    const auto bank = compiled (section ("W", "Am"), song);

    EXPECT_EQ (bank->generation, 5u);
    ASSERT_NE (bank->working, nullptr);
    EXPECT_EQ (bank->working->chords.size(), 1u);
    ASSERT_EQ (bank->sections.size(), 3u);
    ASSERT_EQ (bank->sectionResults.size(), 3u);
    EXPECT_EQ (bank->sections[1]->chords.size(), 3u);
    EXPECT_EQ (bank->sectionResults[0].status, SectionCompileResult::clean);
    EXPECT_EQ (bank->sectionResults[2].status, SectionCompileResult::withMessages);
    EXPECT_EQ (bank->sectionResults[2].messages, juce::StringArray ("Xq7"));

    const auto empty = compiled (section ("W", ""), {});
    ASSERT_NE (empty->working, nullptr);
    EXPECT_TRUE (empty->sections.empty());
}

TEST (BankCompile, SnapshotsOfUnchangedSectionsAreTakenOver)
{
    const auto working = section ("W", "Am");
    SectionList song { section ("A", "C F"), section ("B", "Dm G C"), section ("C", "Am Em") };
    const auto before = compiled (working, song);

    // One progression changed: only that section compiles again.
    song[1].progression = "F G";
    const auto after = compiled (working, song, before);
    EXPECT_EQ (after->working, before->working);
    EXPECT_EQ (after->sections[0], before->sections[0]);
    EXPECT_NE (after->sections[1], before->sections[1]);
    EXPECT_EQ (after->sections[2], before->sections[2]);

    // A new name alone compiles the section again: the name is part of its snapshot's inputs.
    song[2].name = "Coda";
    const auto renamed = compiled (working, song, after);
    EXPECT_NE (renamed->sections[2], after->sections[2]);
    EXPECT_EQ (renamed->sections[2]->inputs.name, "Coda");

    // A new default duration compiles everything again.
    const auto longer = compiled (working, song, renamed, "2");
    EXPECT_NE (longer->working, renamed->working);
    for (size_t i = 0; i < song.size(); ++i)
    {
        EXPECT_NE (longer->sections[i], renamed->sections[i]) << i;
        EXPECT_EQ (longer->sections[i]->defaultDuration, "2") << i;
    }
}

TEST (BankCompile, TheWorkingSnapshotServesTheSectionItMirrors)
{
    SectionList song { section ("A", "C F"), section ("B", "Dm G C") };
    auto working = song[1];
    working.name = "C";   // the working section is named after the next free name

    const auto bank = compiled (working, song);
    EXPECT_EQ (bank->sections[1], bank->working);
    EXPECT_EQ (bank->sectionResults[1].status, bank->workingResult.status);

    // Its own earlier snapshot comes first, even when the working section mirrors it too.
    const auto separate = compiled (section ("W", "Am"), song);
    const auto next = compiled (working, song, separate);
    EXPECT_EQ (next->sections[1], separate->sections[1]);
}

TEST (BankCompile, AnOvertakenBankStopsWhereItWas)
{
    const SectionList song { section ("A", "C F"), section ("B", "Dm G C"), section ("C", "Am Em"), section ("D", "G") };

    int questions = 0;
    const auto whole = compileBank (section ("W", "Am"), song, "1", 1, nullptr, [&] { ++questions; return false; });
    EXPECT_EQ (whole.sections.size(), song.size());

    for (int stopAt = 1; stopAt <= questions; ++stopAt)
    {
        int asked = 0;
        const auto stopped = compileBank (section ("W", "Am"), song, "1", 1, nullptr, [&] { return ++asked >= stopAt; });
        EXPECT_LT (stopped.sections.size(), song.size()) << stopAt;
        EXPECT_EQ (stopped.sections.size(), stopped.sectionResults.size()) << stopAt;

        for (const auto& snapshot : stopped.sections)
            EXPECT_NE (snapshot, nullptr) << "only whole sections are kept";
    }
}

// A progression with nothing playable keeps the section's last good notes and says so; set back
// to that good progression, the section compiles cleanly again, in a section and in the working
// fields alike.
TEST (BankCompile, AFailedProgressionSetBackToTheGoodOneClearsTheFailure)
{
    const auto good = section ("B", "Dm G C");
    auto bad = good;
    bad.progression = "Xq7 Yq9";

    const struct
    {
        const char* where;
        bool inWorking;
    } cases[] = { { "section", false }, { "working fields", true } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.where);
        const auto working = [&] (const SectionMode::SectionData& s) { return c.inWorking ? s : section ("W", "Am"); };
        const auto song = [&] (const SectionMode::SectionData& s) { return SectionList { section ("A", "C F"), c.inWorking ? section ("C", "Em") : s }; };
        const auto resultOf = [&] (const Bank& bank) { return c.inWorking ? bank->workingResult : bank->sectionResults[1]; };
        const auto snapshotOf = [&] (const Bank& bank) { return c.inWorking ? bank->working : bank->sections[1]; };

        const auto first = compiled (working (good), song (good));
        ASSERT_EQ (resultOf (first).status, SectionCompileResult::clean);

        const auto failed = compiled (working (bad), song (bad), first);
        EXPECT_EQ (resultOf (failed).status, SectionCompileResult::keptPrevious);
        EXPECT_EQ (snapshotOf (failed), snapshotOf (first)) << "the good notes play on";

        const auto restored = compiled (working (good), song (good), failed);
        EXPECT_EQ (resultOf (restored).status, SectionCompileResult::clean);
        EXPECT_TRUE (resultOf (restored).messages.isEmpty());
        ASSERT_NE (snapshotOf (restored), nullptr);
        EXPECT_EQ (snapshotOf (restored)->chords.size(), 3u);

        // Failing twice in a row still keeps the good notes.
        const auto failedAgain = compiled (working (bad), song (bad), failed);
        EXPECT_EQ (resultOf (failedAgain).status, SectionCompileResult::keptPrevious);
        EXPECT_EQ (snapshotOf (failedAgain), snapshotOf (first));
    }
}
