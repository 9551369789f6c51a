#include "JsonTestSupport.h"

#include "processor/sync/SyncPayload.h"

#include <gtest/gtest.h>

using InstanceSync::SharedSnapshot;

namespace
{
SectionMode::SectionData makeSection (const juce::String& name, const juce::String& progression)
{
    SectionMode::SectionData section;
    section.name = name;
    section.progression = progression;
    return section;
}

// A leader's song of three sections with settings away from their defaults.
PersistentState makeLeaderState()
{
    PersistentState state;

    auto verse = makeSection ("Verse", "C G Am F");
    verse.bassVoicing = "Jazz";
    verse.bodyVoicing = "Pianist";
    verse.shimmerVoicing = "None";
    verse.arrangeBassLegato = true;
    verse.arrangeBodyAddFifth = false;
    verse.bassOctave = -2;
    verse.scale = "Major";
    verse.rootKey = "C";
    verse.suggestedBpm = "90-110 BPM";

    auto chorus = makeSection ("Chorus", "F:2 G:2");
    chorus.arrangeShimmerColorNotesEnabled = true;
    chorus.shimmerOctave = 2;
    chorus.scale = "Whole Tone";

    auto bridge = makeSection ("Bridge", "Dm7 G7");
    bridge.scale = "Dorian";
    bridge.rootKey = "D";

    state.Sections = { verse, chorus, bridge };
    state.selectedSectionViewIndex = 1;
    state.applySection (chorus);
    state.sectionPlaybackMode = 1;
    return state;
}

SharedSnapshot snapshotOf (const PersistentState& leader)
{
    SharedSnapshot snapshot;
    snapshot.activeSectionIndex = leader.selectedSectionViewIndex;
    snapshot.payload = makeSyncPayload (leader);
    // Through the text a follower reads, so that nothing survives only as an in-memory value.
    snapshot.payload = juce::JSON::parse (juce::JSON::toString (snapshot.payload));
    return snapshot;
}

const juce::String followerId = "00112233445566778899aabbccddeeff";
} // namespace

TEST (SyncPayload, KeysInOrderAndSectionTextsAsWritten)
{
    const auto payload = makeSyncPayload (makeLeaderState());

    EXPECT_EQ (keysOf (payload), (juce::StringArray { "progression", "rootKey", "scale", "suggestedBpm",
                                                     "sectionPlaybackMode", "sections" }));
    EXPECT_EQ (payload["progression"].toString(), "F:2 G:2");
    EXPECT_EQ (payload["scale"].toString(), "Whole Tone");
    EXPECT_EQ (payload["sectionPlaybackMode"].toString(), "advanceSections");

    const auto* sections = payload["sections"].getArray();
    ASSERT_NE (sections, nullptr);
    ASSERT_EQ (sections->size(), 3);

    // The portable "scale" ("C Major") is replaced by the scale alone in its place; root key and
    // tempo hint follow the portable keys, the tempo hint unchanged.
    const auto& verse = sections->getReference (0);
    const auto verseKeys = keysOf (verse);
    EXPECT_EQ (verse["scale"].toString(), "Major");
    EXPECT_EQ (verse["rootKey"].toString(), "C");
    EXPECT_EQ (verse["suggestedBpm"].toString(), "90-110 BPM");
    EXPECT_LT (verseKeys.indexOf ("scale"), verseKeys.indexOf ("arrangement"));
    EXPECT_EQ (verseKeys[verseKeys.size() - 2], "rootKey");
    EXPECT_EQ (verseKeys[verseKeys.size() - 1], "suggestedBpm");

    // A section without a scale has no portable "scale": it is added after "rootKey".
    auto plain = makeLeaderState();
    plain.Sections[2].scale = {};
    const auto bridgeKeys = keysOf (makeSyncPayload (plain)["sections"][2]);
    EXPECT_EQ (bridgeKeys.indexOf ("scale"), bridgeKeys.size() - 2);

    PersistentState looping;
    EXPECT_EQ (makeSyncPayload (looping)["sectionPlaybackMode"].toString(), "loopSection");
    EXPECT_EQ (makeSyncPayload (looping)["sections"].getArray()->size(), 0);
}

TEST (SyncPayload, FollowerTakesOverTheLeadersSongThroughTheText)
{
    const auto leader = makeLeaderState();
    PersistentState follower;
    follower.Sections = { makeSection ("Mine", "E B") };
    follower.Sections[0].bassMotion = "Moving";
    follower.Sections[0].baseOctave = 5;

    const auto next = mergeLeaderSnapshot (follower, snapshotOf (leader), followerId);
    ASSERT_TRUE (next.has_value());

    EXPECT_TRUE (syncSectionsAgree (next->Sections, leader.Sections));
    EXPECT_EQ (next->selectedSectionViewIndex, 1);
    EXPECT_EQ (next->progression, "F:2 G:2");
    EXPECT_EQ (next->currentScaleName, "Whole Tone");
    EXPECT_TRUE (next->arrangeShimmerColorNotesEnabled);
    EXPECT_EQ (next->sectionPlaybackMode, 1);
    EXPECT_EQ (next->syncMode, (int) InstanceSync::Mode::Follower);
    EXPECT_EQ (next->syncInstanceId, followerId);

    // Fields the payload does not carry stay with the follower's section at that position.
    EXPECT_EQ (next->Sections[0].bassMotion, "Moving");
    EXPECT_EQ (next->Sections[0].baseOctave, 5);

    // The same snapshot again changes nothing.
    const auto again = mergeLeaderSnapshot (*next, snapshotOf (leader), followerId);
    ASSERT_TRUE (again.has_value());
    EXPECT_EQ (chooseSyncApplyPath (*next, *again), SyncApplyPath::unchanged);
}

TEST (SyncPayload, MergeRules)
{
    const auto leader = makeLeaderState();
    PersistentState follower;
    follower.Sections = { makeSection ("Own", "E B"), makeSection ("Other", "A D") };
    follower.selectedSectionViewIndex = 1;
    follower.sectionPlaybackMode = 1;
    follower.progression = "own text";

    struct Case
    {
        const char* what;
        std::function<void (juce::DynamicObject&, SharedSnapshot&)> change;
        std::function<void (const PersistentState&)> check;
    };

    auto sectionsWith = [&] (int count, int nonObjectAt)
    {
        juce::Array<juce::var> list;
        for (int i = 0; i < count; ++i)
        {
            if (i == nonObjectAt)
            {
                list.add ("not a section");
                continue;
            }
            auto* o = new juce::DynamicObject();
            o->setProperty ("name", "S" + juce::String (i));
            o->setProperty ("progression", "C");
            list.add (juce::var (o));
        }
        return juce::var (list);
    };

    const std::vector<Case> cases = {
        { "40 sections give 32", [&] (auto& p, auto&) { p.setProperty ("sections", sectionsWith (40, -1)); },
          [] (const PersistentState& s) { EXPECT_EQ (s.Sections.size(), 32u); EXPECT_EQ (s.Sections[31].name, "S31"); } },
        { "a non-object among the first 32 leaves one fewer", [&] (auto& p, auto&) { p.setProperty ("sections", sectionsWith (40, 3)); },
          [] (const PersistentState& s) { EXPECT_EQ (s.Sections.size(), 31u); EXPECT_EQ (s.Sections[3].name, "S4"); } },
        { "active index -1 selects the first", [] (auto&, auto& snap) { snap.activeSectionIndex = -1; },
          [] (const PersistentState& s) { EXPECT_EQ (s.selectedSectionViewIndex, 0); EXPECT_EQ (s.progression, "C G Am F"); } },
        { "active index 99 with 3 sections selects the last", [] (auto&, auto& snap) { snap.activeSectionIndex = 99; },
          [] (const PersistentState& s) { EXPECT_EQ (s.selectedSectionViewIndex, 2); EXPECT_EQ (s.currentRootKey, "D"); } },
        { "missing playback mode means loop", [] (auto& p, auto&) { p.removeProperty ("sectionPlaybackMode"); },
          [] (const PersistentState& s) { EXPECT_EQ (s.sectionPlaybackMode, 0); } },
        { "unknown playback mode keeps the follower's", [] (auto& p, auto&) { p.setProperty ("sectionPlaybackMode", "shuffle"); },
          [] (const PersistentState& s) { EXPECT_EQ (s.sectionPlaybackMode, 1); } },
        { "no sections array: only the texts and the mode change",
          [] (auto& p, auto&) { p.setProperty ("sections", "none"); p.setProperty ("sectionPlaybackMode", "loopSection"); },
          [] (const PersistentState& s)
          {
              EXPECT_EQ (s.Sections.size(), 2u);
              EXPECT_EQ (s.Sections[0].name, "Own");
              EXPECT_EQ (s.selectedSectionViewIndex, 1);
              EXPECT_EQ (s.progression, "F:2 G:2");
              EXPECT_EQ (s.sectionPlaybackMode, 0);
          } },
        { "all sections unreadable keeps the follower's song",
          [] (auto& p, auto&) { p.setProperty ("sections", juce::Array<juce::var> { "x", 1 }); },
          [] (const PersistentState& s) { EXPECT_EQ (s.Sections.size(), 2u); EXPECT_EQ (s.Sections[1].name, "Other"); } },
        { "a section the reader refuses keeps its start but takes the texts",
          [] (auto& p, auto&)
          {
              auto* bad = new juce::DynamicObject();
              bad->setProperty ("name", "Odd");
              bad->setProperty ("progression", "Bb F");
              bad->setProperty ("body_voicing", "Baroque");
              p.setProperty ("sections", juce::Array<juce::var> { juce::var (bad) });
          },
          [] (const PersistentState& s)
          {
              ASSERT_EQ (s.Sections.size(), 1u);
              EXPECT_EQ (s.Sections[0].name, "Odd");
              EXPECT_EQ (s.Sections[0].progression, "Bb F");
              EXPECT_EQ (s.Sections[0].bodyVoicing, "Smooth");
          } },
        { "missing working texts keep the follower's",
          [] (auto& p, auto&) { p.removeProperty ("progression"); p.removeProperty ("sections"); },
          [] (const PersistentState& s) { EXPECT_EQ (s.progression, "own text"); } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        auto snapshot = snapshotOf (leader);
        c.change (*snapshot.payload.getDynamicObject(), snapshot);
        const auto next = mergeLeaderSnapshot (follower, snapshot, followerId);
        ASSERT_TRUE (next.has_value());
        c.check (*next);
    }

    for (const auto& notAnObject : { juce::var(), juce::var ("text"), juce::var (juce::Array<juce::var> {}) })
    {
        SharedSnapshot snapshot;
        snapshot.payload = notAnObject;
        EXPECT_FALSE (mergeLeaderSnapshot (follower, snapshot, followerId).has_value());
    }
}

TEST (SyncPayload, ApplyPathFollowsWhatChanged)
{
    auto leader = makeLeaderState();
    PersistentState follower;
    const auto first = mergeLeaderSnapshot (follower, snapshotOf (leader), followerId);
    ASSERT_TRUE (first.has_value());
    EXPECT_EQ (chooseSyncApplyPath (follower, *first), SyncApplyPath::full);

    struct Case { const char* what; std::function<void (PersistentState&)> change; SyncApplyPath expected; };
    const std::vector<Case> cases = {
        { "nothing", [] (PersistentState&) {}, SyncApplyPath::unchanged },
        { "only the selected section", [] (PersistentState& s) { s.selectedSectionViewIndex = 2; s.applySection (s.Sections[2]); }, SyncApplyPath::light },
        { "only the playback mode", [] (PersistentState& s) { s.sectionPlaybackMode = 0; }, SyncApplyPath::light },
        { "one section's Bass voicing", [] (PersistentState& s) { s.Sections[0].bassVoicing = "Bassist"; }, SyncApplyPath::full },
        { "a section renamed", [] (PersistentState& s) { s.Sections[2].name = "Outro"; }, SyncApplyPath::full },
        { "a section added", [] (PersistentState& s) { s.Sections.push_back (makeSection ("Tag", "C")); }, SyncApplyPath::full },
        // The selected section's texts win over the leader's working texts.
        { "the working progression apart from its section", [] (PersistentState& s) { s.progression = "C"; }, SyncApplyPath::unchanged },
        { "the working progression of a song without sections",
          [] (PersistentState& s) { s.Sections.clear(); s.progression = "C"; }, SyncApplyPath::full },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        auto changed = leader;
        c.change (changed);
        const auto next = mergeLeaderSnapshot (*first, snapshotOf (changed), followerId);
        ASSERT_TRUE (next.has_value());
        EXPECT_EQ (chooseSyncApplyPath (*first, *next), c.expected);

        if (c.expected == SyncApplyPath::light)
        {
            EXPECT_TRUE (syncSectionsAgree (next->Sections, first->Sections));
        }
    }

    // A light move puts the selected section's fields into the working fields.
    auto moved = leader;
    moved.selectedSectionViewIndex = 0;
    moved.applySection (moved.Sections[0]);
    const auto next = mergeLeaderSnapshot (*first, snapshotOf (moved), followerId);
    ASSERT_TRUE (next.has_value());
    EXPECT_EQ (next->selectedSectionViewIndex, 0);
    EXPECT_EQ (next->bodyVoicing, 4);   // "Pianist"
    EXPECT_EQ (next->currentRootKey, "C");
}

TEST (SyncPayload, SectionTestIgnoresWhatThePayloadDoesNotCarry)
{
    const auto base = makeLeaderState().Sections;

    struct Case { const char* what; std::function<void (SectionMode::SectionData&)> change; bool agree; };
    const std::vector<Case> cases = {
        { "bass motion", [] (auto& s) { s.bassMotion = "Strict"; }, true },
        { "base octave", [] (auto& s) { s.baseOctave = 6; }, true },
        { "older voicing name", [] (auto& s) { s.voicing = "Jazz"; }, true },
        { "name", [] (auto& s) { s.name = "verse"; }, false },
        { "progression", [] (auto& s) { s.progression = "C"; }, false },
        { "root key", [] (auto& s) { s.rootKey = "D"; }, false },
        { "scale", [] (auto& s) { s.scale = "Minor"; }, false },
        { "tempo hint", [] (auto& s) { s.suggestedBpm = "91 BPM"; }, false },
        { "shimmer voicing", [] (auto& s) { s.shimmerVoicing = "Jazz"; }, false },
        { "bass legato", [] (auto& s) { s.arrangeBassLegato = ! s.arrangeBassLegato; }, false },
        { "shimmer top note", [] (auto& s) { s.arrangeShimmerTopNoteEnabled = ! s.arrangeShimmerTopNoteEnabled; }, false },
        { "body octave", [] (auto& s) { s.bodyOctave = 3; }, false },
    };

    for (const auto& c : cases)
    {
        auto changed = base;
        c.change (changed[0]);
        EXPECT_EQ (syncSectionsAgree (base, changed), c.agree) << c.what;
    }

    EXPECT_FALSE (syncSectionsAgree (base, SectionList (base.begin(), base.end() - 1)));
}
