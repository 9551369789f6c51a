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

//==== sections put off ==============================================================================

namespace
{
// The notes of every slot of a snapshot, for comparing two compiles of one section.
std::vector<NoteList> notesOf (const CompiledSnapshot& snapshot)
{
    std::vector<NoteList> notes;
    for (const auto& slot : snapshot.slots)
        for (const auto* layer : { &slot.bassNotes, &slot.bodyNotes, &slot.shimmerNotes })
            notes.push_back (*layer);
    return notes;
}
} // namespace

TEST (BankCompile, PutOffSectionsBecomeStandInsOfTheirLengthAndTheRestFollows)
{
    const auto working = section ("W", "Am");
    // Lengths of every kind: default bars, bars and ticks of their own, a rest, an unreadable chord.
    SectionList song { section ("A", "C F"), section ("B", "Dm:2 G:T256 R:0.5 Xq7"), section ("C", "Am Em"), section ("D", "") };
    const auto whole = compiled (working, song, nullptr, "2");

    const auto partial = std::make_shared<const CompiledSectionBank> (
        compileBank (working, song, "2", 5, nullptr, {}, [] (size_t i) { return i != 2; }));
    ASSERT_FALSE (partial->complete);
    ASSERT_EQ (partial->sections.size(), song.size());
    ASSERT_NE (partial->working, nullptr);
    EXPECT_EQ (notesOf (*partial->working), notesOf (*whole->working)) << "the working section is never put off";

    for (size_t i = 0; i < song.size(); ++i)
    {
        SCOPED_TRACE (song[i].name);
        const auto& snapshot = *partial->sections[i];
        EXPECT_EQ (snapshot.totalBeats, whole->sections[i]->totalBeats) << "a stand-in takes its section's place on the timeline";
        EXPECT_EQ (snapshot.voiced, i == 2);
        EXPECT_EQ (partial->sectionResults[i].status, i == 2 ? SectionCompileResult::clean : SectionCompileResult::pending);
        if (i != 2)
        {
            EXPECT_TRUE (snapshot.slots.empty() && snapshot.chords.empty());
        }
    }
    EXPECT_EQ (notesOf (*partial->sections[2]), notesOf (*whole->sections[2]));

    // The rest of the song, compiled against the partial bank: the compiled section is taken over,
    // the stand-ins are compiled, and the bank equals a compile in one go.
    const auto rest = compiled (working, song, withStandInsReplaced (*partial, nullptr), "2");
    EXPECT_TRUE (rest->complete);
    EXPECT_EQ (rest->sections[2], partial->sections[2]);
    EXPECT_EQ (rest->working, partial->working);
    for (size_t i = 0; i < song.size(); ++i)
    {
        EXPECT_TRUE (rest->sections[i]->voiced) << i;
        EXPECT_EQ (notesOf (*rest->sections[i]), notesOf (*whole->sections[i])) << i;
        EXPECT_EQ (rest->sectionResults[i].status, whole->sectionResults[i].status) << i;
        EXPECT_EQ (rest->sectionResults[i].messages, whole->sectionResults[i].messages) << i;
    }

    // A stand-in is never taken over as if it were compiled.
    const auto again = compiled (working, song, partial, "2");
    EXPECT_TRUE (again->complete);
    EXPECT_TRUE (again->sections[0]->voiced);
}

TEST (BankCompile, PuttingOffKeepsWhatAOneGoCompileWouldTakeOverOrKeep)
{
    const auto working = section ("W", "Am");
    const SectionList song { section ("A", "C F"), section ("B", "Dm G C") };
    const auto before = compiled (working, song);

    // Unchanged sections are taken over even where they could wait: nothing is put off.
    const auto unchanged = compileBank (working, song, "1", 6, before, {}, [] (size_t) { return true; });
    EXPECT_TRUE (unchanged.complete);
    EXPECT_EQ (unchanged.sections[0], before->sections[0]);
    EXPECT_EQ (unchanged.sections[1], before->sections[1]);

    // A put-off section whose new progression has nothing playable keeps its previous notes once
    // the rest follows, as in a compile in one go.
    SectionList failing = song;
    failing[1].progression = "Xq7 Yq9";
    const auto partial = compileBank (working, failing, "1", 6, before, {}, [] (size_t i) { return i == 1; });
    ASSERT_FALSE (partial.complete);
    EXPECT_FALSE (partial.sections[1]->voiced);
    const auto rest = compiled (working, failing, withStandInsReplaced (partial, before));
    EXPECT_EQ (rest->sectionResults[1].status, SectionCompileResult::keptPrevious);
    EXPECT_EQ (rest->sections[1], before->sections[1]);
}
