#include "editor/SectionHistory.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
using Snapshot = SectionHistory::Snapshot;

// A song whose one section plays `progression`, with `active` selected.
Snapshot song (const juce::String& progression, int active = 0)
{
    Snapshot s;
    SectionMode::SectionData section;
    section.progression = progression;
    s.sections.push_back (section);
    s.activeIndex = active;
    return s;
}

// What the window does with the history: undo and redo relative to the live state, which then
// becomes the applied step, and records after each edit.
struct Session
{
    SectionHistory history;
    Snapshot live;

    explicit Session (const Snapshot& start) : live (start) { history.reset (start); }

    void edit (const Snapshot& next)
    {
        live = next;
        history.record (next);
    }

    bool undo() { return apply (true); }
    bool redo() { return apply (false); }

    bool apply (bool backwards)
    {
        Snapshot out;
        if (! (backwards ? history.undo (live, out) : history.redo (live, out)))
            return false;
        live = out;
        history.setCurrent (out);
        return true;
    }
};
} // namespace

TEST (SectionHistorySnapshot, EqualOnlyWhenEveryFieldAndTheSelectionMatch)
{
    const std::vector<std::pair<const char*, std::function<void (Snapshot&)>>> changes {
        { "selected index", [] (Snapshot& s) { s.activeIndex = 1; } },
        { "section count", [] (Snapshot& s) { s.sections.push_back (s.sections.front()); } },
        { "name", [] (Snapshot& s) { s.sections[0].name = "B"; } },
        { "progression case", [] (Snapshot& s) { s.sections[0].progression = "c g"; } },
        { "trailing blank", [] (Snapshot& s) { s.sections[0].progression = "C G "; } },
        { "bass voicing", [] (Snapshot& s) { s.sections[0].bassVoicing = "Jazz"; } },
        { "bass motion", [] (Snapshot& s) { s.sections[0].bassMotion = "Moving"; } },
        { "base octave", [] (Snapshot& s) { s.sections[0].baseOctave = 4; } },
        { "a legato flag", [] (Snapshot& s) { s.sections[0].arrangeBassLegato = true; } },
        { "the last arrangement flag", [] (Snapshot& s) { s.sections[0].arrangeShimmerColorNotesEnabled = true; } },
        { "shimmer octave", [] (Snapshot& s) { s.sections[0].shimmerOctave = 2; } },
        { "scale", [] (Snapshot& s) { s.sections[0].scale = "Minor"; } },
        { "root key", [] (Snapshot& s) { s.sections[0].rootKey = "D"; } },
        { "tempo text", [] (Snapshot& s) { s.sections[0].suggestedBpm = "90 BPM"; } },
    };

    const auto reference = song ("C G");
    EXPECT_EQ (reference, song ("C G"));

    for (const auto& [what, change] : changes)
    {
        auto changed = reference;
        change (changed);
        EXPECT_NE (reference, changed) << what;
    }
}

TEST (SectionHistory, UndoRedoWalkTheRecordedStepsAndANewStepDropsTheRedoSide)
{
    Session session (song ("A"));
    session.edit (song ("B"));
    session.edit (song ("C"));

    ASSERT_TRUE (session.undo());
    EXPECT_EQ (session.live, song ("B"));
    ASSERT_TRUE (session.undo());
    EXPECT_EQ (session.live, song ("A"));
    EXPECT_FALSE (session.undo());
    EXPECT_EQ (session.live, song ("A"));

    ASSERT_TRUE (session.redo());
    EXPECT_EQ (session.live, song ("B"));
    EXPECT_EQ (session.history.getRedoStack().size(), 1u);

    session.edit (song ("D"));
    EXPECT_TRUE (session.history.getRedoStack().empty());
    EXPECT_FALSE (session.redo());

    ASSERT_TRUE (session.undo());
    EXPECT_EQ (session.live, song ("B"));
    ASSERT_TRUE (session.undo());
    EXPECT_EQ (session.live, song ("A"));
}

TEST (SectionHistory, FirstRecordOnlySetsTheCurrentStateAndEqualRecordsAddNoStep)
{
    SectionHistory history;
    history.record (song ("A"));
    EXPECT_TRUE (history.hasCurrentState());
    EXPECT_TRUE (history.getUndoStack().empty());

    history.record (song ("A"));
    EXPECT_TRUE (history.getUndoStack().empty());

    // Only the selection differs: still a step.
    history.record (song ("A", 1));
    ASSERT_EQ (history.getUndoStack().size(), 1u);
    EXPECT_EQ (history.getUndoStack().front(), song ("A"));
    EXPECT_EQ (history.getCurrent(), song ("A", 1));
}

TEST (SectionHistory, KeepsTheNewestSixtyFourStepsAndForgetsTheOldest)
{
    SectionHistory history;
    history.record (song ("0"));
    for (int i = 1; i <= 70; ++i)
        history.record (song (juce::String (i)));

    ASSERT_EQ ((int) history.getUndoStack().size(), SectionHistory::maxDepth);
    EXPECT_EQ (history.getUndoStack().front(), song ("6"));
    EXPECT_EQ (history.getUndoStack().back(), song ("69"));

    Session session (song ("0"));
    for (int i = 1; i <= 65; ++i)
        session.edit (song (juce::String (i)));

    int undone = 0;
    while (session.undo())
        ++undone;

    EXPECT_EQ (undone, 64);
    EXPECT_EQ (session.live, song ("1"));   // the first state can no longer be reached
}

TEST (SectionHistory, AStepEqualToTheLiveStateIsConsumedWithoutGrowingTheOtherSide)
{
    SectionHistory history;
    history.reset (song ("A"));
    history.record (song ("B"));

    // The user went back to A by hand without recording: the undo step equals what is shown.
    Snapshot out;
    ASSERT_TRUE (history.undo (song ("A"), out));
    EXPECT_EQ (out, song ("A"));
    EXPECT_TRUE (history.getRedoStack().empty());
    EXPECT_TRUE (history.getUndoStack().empty());

    // The mirror image on the redo side.
    history.reset (song ("A"));
    history.record (song ("B"));
    ASSERT_TRUE (history.undo (song ("B"), out));
    ASSERT_EQ (history.getRedoStack().size(), 1u);
    ASSERT_TRUE (history.redo (song ("B"), out));
    EXPECT_EQ (out, song ("B"));
    EXPECT_TRUE (history.getRedoStack().empty());
    EXPECT_TRUE (history.getUndoStack().empty());
}

TEST (SectionHistory, UnrecordedLiveChangesGoToTheRedoSideAndUndoLeavesTheCurrentStateToTheCaller)
{
    SectionHistory history;
    history.reset (song ("A"));
    history.record (song ("B"));

    // A control change since B was never recorded; undo keeps it reachable by redo.
    Snapshot out;
    ASSERT_TRUE (history.undo (song ("B", 3), out));
    EXPECT_EQ (out, song ("A"));
    EXPECT_EQ (history.getCurrent(), song ("B"));
    ASSERT_EQ (history.getRedoStack().size(), 1u);
    EXPECT_EQ (history.getRedoStack().back(), song ("B", 3));
}

TEST (SectionHistory, ResetForgetsEveryStepWhileSetCurrentKeepsThem)
{
    SectionHistory history;
    history.reset (song ("A"));
    history.record (song ("B"));
    history.record (song ("C"));
    Snapshot out;
    ASSERT_TRUE (history.undo (song ("C"), out));

    history.setCurrent (song ("X"));
    EXPECT_EQ (history.getCurrent(), song ("X"));
    EXPECT_EQ (history.getUndoStack().size(), 1u);
    EXPECT_EQ (history.getRedoStack().size(), 1u);

    history.reset (song ("Y"));
    EXPECT_EQ (history.getCurrent(), song ("Y"));
    EXPECT_TRUE (history.getUndoStack().empty());
    EXPECT_TRUE (history.getRedoStack().empty());
    EXPECT_FALSE (history.undo (song ("Y"), out));
    EXPECT_FALSE (history.redo (song ("Y"), out));
}
