// Instances of the processor in one process keeping in step through the shared sync file: roles
// as the user, the host and a loaded project choose them, what a follower takes over, what it
// refuses from the host, and the arrangement it gets back when it stops following.
#include "ProcessorTestSupport.h"

#include "processor/sync/InstanceSyncLink.h"

#include <atomic>
#include <thread>

namespace
{
class InstanceSyncLinkTest : public ::testing::Test
{
protected:
    void SetUp() override { syncFile.deleteFile(); }
    void TearDown() override
    {
        instances.clear();
        syncFile.deleteFile();
    }

    CorvessaProcessor& make()
    {
        instances.push_back (std::make_unique<CorvessaProcessor>());
        return *instances.back();
    }

    static SectionList song (const juce::String& prefix, std::initializer_list<const char*> progressions)
    {
        SectionList sections;
        int i = 0;

        for (auto* progression : progressions)
        {
            SectionMode::SectionData section;
            section.name = prefix + juce::String (++i);
            section.progression = progression;
            section.scale = "Major";
            section.rootKey = "C";
            sections.push_back (section);
        }

        return sections;
    }

    static juce::StringArray namesOf (const SectionList& sections)
    {
        juce::StringArray names;
        for (const auto& s : sections)
            names.add (s.name + "=" + s.progression + "/" + s.bassVoicing);
        return names;
    }

    static juce::RangedAudioParameter* parameter (CorvessaProcessor& p, const juce::String& id) { return findParameter (p, id); }

    static bool pumpUntil (const std::function<bool()>& condition, int timeoutMs = 10000)
    {
        return pumpMessagesUntil (condition, timeoutMs);
    }

    juce::String fileLeader() const { return juce::JSON::parse (syncFile.loadFileAsString())["leaderId"].toString(); }

    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    const juce::File syncFile = InstanceSyncLink::makeCoordinatorConfig().syncFile;
    std::vector<std::unique_ptr<CorvessaProcessor>> instances;
};
} // namespace

TEST_F (InstanceSyncLinkTest, CoordinatorSettings)
{
    const auto config = InstanceSyncLink::makeCoordinatorConfig();
    EXPECT_EQ (config.syncFile.getFileName(), "leader-sync.json");
    EXPECT_EQ (config.syncFile.getParentDirectory().getFileName(), "Corvessa");
    EXPECT_EQ (config.syncFile.getParentDirectory().getParentDirectory().getFileName(), "VELMAR");
    EXPECT_EQ (config.lockName, "com.velmar.corvessa.leader-sync");
    EXPECT_EQ (config.leaderIntervalMs, 2000);
    EXPECT_EQ (config.followerIntervalMs, 100);
    EXPECT_EQ (config.leaseMs, 10000);
    EXPECT_EQ (config.lockWaitMs, 80);
}

TEST_F (InstanceSyncLinkTest, FollowerTakesTheLeadersSongAndGetsItsOwnBack)
{
    auto& a = make();
    auto& b = make();

    a.setSections (song ("A", { "C G Am F", "F G C", "Dm G" }), true);
    a.setSelectedSectionViewIndex (1);
    ASSERT_TRUE (a.setSyncMode (1));
    EXPECT_TRUE (fileLeader().startsWith (a.getStateCopy().syncInstanceId + ":"));

    const auto ownSong = song ("B", { "E B", "A E" });
    b.setSections (ownSong, true);
    b.setProgression ("E B C#m A");
    EXPECT_TRUE (b.isAnotherSyncLeaderActive());
    EXPECT_FALSE (a.isAnotherSyncLeaderActive());

    // Following polls at once: the leader's song is there before the call returns.
    ASSERT_TRUE (b.setSyncMode (2));
    EXPECT_EQ (b.getSyncMode(), 2);
    EXPECT_EQ (namesOf (b.getSections()), namesOf (a.getSections()));
    EXPECT_EQ (b.getSelectedSectionViewIndex(), 1);
    EXPECT_EQ (b.getProgression(), "F G C");

    const auto following = b.getStateCopy();
    EXPECT_EQ (following.syncMode, 2);
    ASSERT_TRUE (following.PreFollowerState.isValid());
    EXPECT_FALSE (b.describeForMcp().writable);

    // A shared change reaches the follower on its next poll (full path).
    auto changed = a.getSections();
    changed[0].bassVoicing = "Bassist";
    a.setSections (changed, true);
    ASSERT_TRUE (pumpUntil ([&] { return b.getSections()[0].bassVoicing == "Bassist"; }));

    // A change of only the selected section moves the follower's selection, and the section
    // its audio thread plays with it.
    a.setSelectedSectionViewIndex (2);
    ASSERT_TRUE (pumpUntil ([&] { return b.getSelectedSectionViewIndex() == 2; }));
    EXPECT_EQ (b.getProgression(), "Dm G");
    EXPECT_EQ (namesOf (b.getSections()), namesOf (a.getSections()));
    EXPECT_EQ (b.getSectionParameterIndex(), 2);

    // So does a change of only the playback mode.
    a.setSectionPlaybackMode (1);
    ASSERT_TRUE (pumpUntil ([&] { return b.getSectionPlaybackMode() == 1; }));
    EXPECT_TRUE (b.isAutoAdvanceSelected());
    a.setSectionPlaybackMode (0);
    ASSERT_TRUE (pumpUntil ([&] { return b.getSectionPlaybackMode() == 0; }));
    EXPECT_FALSE (b.isAutoAdvanceSelected());

    // Leaving the role gives back the arrangement from before following, not the leader's.
    ASSERT_TRUE (b.setSyncMode (0));
    EXPECT_EQ (b.getSyncMode(), 0);
    EXPECT_EQ (namesOf (b.getSections()), namesOf (ownSong));
    EXPECT_EQ (b.getProgression(), "E B C#m A");
    const auto after = b.getStateCopy();
    EXPECT_EQ (after.syncMode, 0);
    EXPECT_FALSE (after.PreFollowerState.isValid());
    EXPECT_EQ (after.syncInstanceId, following.syncInstanceId);
    EXPECT_TRUE (b.describeForMcp().writable);

    // A follower that leaves to lead also gets its own song back first.
    ASSERT_TRUE (b.setSyncMode (2));
    ASSERT_TRUE (b.takeOverSyncLeadership());
    EXPECT_EQ (namesOf (b.getSections()), namesOf (ownSong));
    EXPECT_TRUE (fileLeader().startsWith (after.syncInstanceId + ":"));
}

TEST_F (InstanceSyncLinkTest, HostChangesOfLegatoAndVoicingAreSetBackOnAFollower)
{
    auto& a = make();
    auto& b = make();
    a.setSections (song ("A", { "C G" }), true);
    ASSERT_TRUE (a.setSyncMode (1));
    ASSERT_TRUE (b.setSyncMode (2));

    const auto before = b.getStateCopy();

    struct Case { const char* id; float normalised; };
    const Case cases[] = { { "bodyVoicing", 1.0f }, { "shimmerVoicing", 0.0f }, { "bassLegato", 1.0f }, { "bodyLegato", 0.0f } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.id);
        auto* param = parameter (b, c.id);
        ASSERT_NE (param, nullptr);
        const auto original = param->getValue();
        ASSERT_NE (original, c.normalised);

        param->setValueNotifyingHost (c.normalised);
        EXPECT_TRUE (pumpUntil ([&] { return param->getValue() == original; }));
    }

    const auto after = b.getStateCopy();
    EXPECT_EQ (after.bodyVoicing, before.bodyVoicing);
    EXPECT_EQ (after.shimmerVoicing, before.shimmerVoicing);
    EXPECT_EQ (after.bassLegato, before.bassLegato);
    EXPECT_EQ (after.bodyLegato, before.bodyLegato);

    // The same host change on the leader is applied.
    parameter (a, "bodyVoicing")->setValueNotifyingHost (1.0f);
    EXPECT_TRUE (pumpUntil ([&] { return a.getBodyVoicing() == 6; }));
}

TEST_F (InstanceSyncLinkTest, SecondLeaderIsRefusedAndATakenOverLeaderStepsDown)
{
    auto& a = make();
    auto& b = make();
    ASSERT_TRUE (a.setSyncMode (1));

    EXPECT_FALSE (b.setSyncMode (1));
    EXPECT_EQ (b.getSyncMode(), 0);
    EXPECT_EQ (b.getStateCopy().syncMode, 0);
    EXPECT_EQ (parameter (b, "syncMode")->getCurrentValueAsText(), "Off");

    ASSERT_TRUE (b.takeOverSyncLeadership());
    EXPECT_EQ (b.getSyncMode(), 1);
    EXPECT_EQ (parameter (b, "syncMode")->getCurrentValueAsText(), "Leader");
    const auto bRecord = fileLeader();

    // A's next publish finds B's live record: A steps down, stores Off and shows it to the host.
    a.setProgression ("C F");
    EXPECT_EQ (a.getSyncMode(), 0);
    EXPECT_EQ (a.getStateCopy().syncMode, 0);
    EXPECT_EQ (parameter (a, "syncMode")->getCurrentValueAsText(), "Off");
    EXPECT_EQ (fileLeader(), bRecord) << "the old leader leaves the new record alone";

    // Deleting the old leader leaves B's file; deleting B removes it.
    instances.erase (instances.begin());
    EXPECT_TRUE (syncFile.existsAsFile());
    instances.clear();
    EXPECT_FALSE (syncFile.exists());
}

TEST_F (InstanceSyncLinkTest, TheHostsSyncParameterChoosesTheRole)
{
    auto& a = make();
    auto* param = parameter (a, "syncMode");
    param->setValueNotifyingHost (param->convertTo0to1 (1.0f));
    ASSERT_TRUE (pumpUntil ([&] { return a.getSyncMode() == 1; }));
    EXPECT_TRUE (syncFile.existsAsFile());

    // Refused: the parameter returns to the role in force.
    auto& b = make();
    auto* bParam = parameter (b, "syncMode");
    bParam->setValueNotifyingHost (bParam->convertTo0to1 (1.0f));
    EXPECT_TRUE (pumpUntil ([&] { return bParam->getCurrentValueAsText() == "Off"; }));
    EXPECT_EQ (b.getSyncMode(), 0);
}

TEST_F (InstanceSyncLinkTest, LoadedProjectsRejoinTheirSavedRoles)
{
    juce::MemoryBlock leaderChunk, followerChunk;
    const auto ownSong = song ("F", { "A D E" });

    {
        auto& leader = make();
        leader.setSections (song ("L", { "C G", "Am F" }), true);
        ASSERT_TRUE (leader.setSyncMode (1));
        leader.getStateInformation (leaderChunk);

        auto& follower = make();
        follower.setSections (ownSong, true);
        ASSERT_TRUE (follower.setSyncMode (2));
        follower.getStateInformation (followerChunk);
        instances.clear();
    }

    ASSERT_FALSE (syncFile.exists());

    // Two instances loaded from one project saved as leader: the first leads, the second ends Off.
    auto& first = make();
    first.setStateInformation (leaderChunk.getData(), (int) leaderChunk.getSize());
    auto& second = make();
    second.setStateInformation (leaderChunk.getData(), (int) leaderChunk.getSize());

    EXPECT_EQ (first.getSyncMode(), 1);
    EXPECT_EQ (second.getSyncMode(), 0);
    EXPECT_EQ (second.getStateCopy().syncMode, 0);
    EXPECT_EQ (first.getStateCopy().syncInstanceId, second.getStateCopy().syncInstanceId);
    EXPECT_TRUE (second.isAnotherSyncLeaderActive()) << "same project id, but not the same instance";

    // A project saved as follower follows again at once and still knows its own song.
    auto& third = make();
    third.setStateInformation (followerChunk.getData(), (int) followerChunk.getSize());
    EXPECT_EQ (third.getSyncMode(), 2);
    EXPECT_EQ (namesOf (third.getSections()), namesOf (first.getSections()));
    ASSERT_TRUE (third.setSyncMode (0));
    EXPECT_EQ (namesOf (third.getSections()), namesOf (ownSong));
}

// A host loads and saves a follower's state on a thread of its own while the sync timers tick
// and the leader is edited on the message thread: nothing may deadlock, and the follower ends
// with the leader's last song. (Also run under ThreadSanitizer.)
TEST_F (InstanceSyncLinkTest, HostThreadLoadsWhileTimersTick)
{
    auto& a = make();
    auto& b = make();
    a.setSections (song ("A", { "C G", "Am F" }), true);
    ASSERT_TRUE (a.setSyncMode (1));
    ASSERT_TRUE (b.setSyncMode (2));

    juce::MemoryBlock followerChunk;
    b.getStateInformation (followerChunk);

    std::atomic<bool> done { false };

    std::thread host ([&]
    {
        for (int i = 0; i < 20; ++i)
        {
            b.setStateInformation (followerChunk.getData(), (int) followerChunk.getSize());
            (void) b.getSyncMode();
            (void) b.isAnotherSyncLeaderActive();
            juce::MemoryBlock chunk;
            b.getStateInformation (chunk);
        }

        done = true;
    });

    for (int i = 0; ! done.load() || i < 20; ++i)
    {
        auto sections = song ("A", { "C G", "Am F" });
        sections[1].progression = "Am F:" + juce::String (1 + i % 3);
        a.setSections (sections, true);
        a.setSelectedSectionViewIndex (i % 2);
        pumpUntil ([] { return false; }, 5);
    }

    host.join();

    EXPECT_EQ (b.getSyncMode(), 2);
    EXPECT_TRUE (pumpUntil ([&] { return namesOf (b.getSections()) == namesOf (a.getSections()); }));
}
