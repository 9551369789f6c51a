// A follower plays the leader's arrangement: the host may change its sync role and output
// layer, but its legato and voicing parameters are set back to the follower's own values.
#include "ProcessorTestSupport.h"

#include <map>

namespace
{
using FollowerTest = ProcessorTest;
}

TEST_F (FollowerTest, HostEditsOfMusicalParametersAreSetBack)
{
    ASSERT_TRUE (processor->setSyncMode (2));
    ASSERT_EQ (processor->getSyncMode(), 2);
    EXPECT_EQ (parameter ("syncMode")->getCurrentValueAsText(), "Follower");

    const auto description = processor->describeForMcp();
    EXPECT_FALSE (description.writable);
    EXPECT_EQ (description.readOnlyReason, "INSTANCE_READ_ONLY_SYNC_FOLLOWER");

    struct Case
    {
        const char* id;
        float hostValue;   // plain value, as the host sets it
        std::function<int (const CorvessaProcessor&)> stored;
        int storedBefore;
    };

    const std::vector<Case> cases = {
        { "bodyVoicing", 6.0f, [] (auto& p) { return p.getBodyVoicing(); }, 2 },
        { "shimmerVoicing", 0.0f, [] (auto& p) { return p.getShimmerVoicing(); }, 2 },
        { "bassLegato", 1.0f, [] (auto& p) { return (int) p.getBassLegato(); }, 0 },
        { "bodyLegato", 0.0f, [] (auto& p) { return (int) p.getBodyLegato(); }, 1 },
    };

    for (const auto& row : cases)
    {
        SCOPED_TRACE (row.id);
        auto* p = parameter (row.id);
        const auto valueBefore = p->getValue();
        const auto generationBefore = processor->getGeneration();

        p->setValueNotifyingHost (p->convertTo0to1 (row.hostValue));
        processor->handleUpdateNowIfNeeded();

        EXPECT_EQ (row.stored (*processor), row.storedBefore);
        EXPECT_EQ (processor->getGeneration(), generationBefore);
        EXPECT_FLOAT_EQ (p->getValue(), valueBefore);
    }

    // The output layer is accepted in every role.
    auto* layer = parameter ("outputLayerMode");
    layer->setValueNotifyingHost (layer->convertTo0to1 (3.0f));
    processor->handleUpdateNowIfNeeded();
    EXPECT_EQ (processor->getOutputLayerMode(), 3);
}

TEST_F (FollowerTest, HostChoosesTheSyncRole)
{
    auto* sync = parameter ("syncMode");
    sync->setValueNotifyingHost (sync->convertTo0to1 (2.0f));
    processor->handleUpdateNowIfNeeded();
    EXPECT_EQ (processor->getSyncMode(), 2);

    sync->setValueNotifyingHost (sync->convertTo0to1 (0.0f));
    processor->handleUpdateNowIfNeeded();
    EXPECT_EQ (processor->getSyncMode(), 0);
    EXPECT_TRUE (processor->describeForMcp().writable);
}

TEST_F (FollowerTest, TheSetBackIsAnnouncedEvenWhenTheParameterIsAlreadyBack)
{
    // A host's own edits may overtake each other: its refused value can reach the parameter
    // and be replaced by the follower's own value again (a delayed edit of the host) before the
    // set-back runs. The host may still show the refused value, so the set-back announces the
    // follower's values to it whatever the parameter holds at that moment.
    ASSERT_TRUE (processor->setSyncMode (2));

    struct HostView : juce::AudioProcessorListener
    {
        std::map<int, float> announced;
        void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float value) override { announced[index] = value; }
        void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    } host;

    for (const auto* id : { "bodyVoicing", "shimmerVoicing", "bassLegato", "bodyLegato" })
    {
        SCOPED_TRACE (id);
        auto* p = parameter (id);
        const auto own = p->getValue();
        const auto refused = own < 0.5f ? 1.0f : 0.0f;

        p->setValueNotifyingHost (refused);
        p->setValueNotifyingHost (own);   // the host's delayed edit puts the follower's value back

        processor->addListener (&host);
        host.announced.clear();
        processor->handleUpdateNowIfNeeded();
        processor->removeListener (&host);

        ASSERT_EQ (host.announced.count (p->getParameterIndex()), 1u) << "the host was not told";
        EXPECT_FLOAT_EQ (host.announced[p->getParameterIndex()], own);
        EXPECT_FLOAT_EQ (p->getValue(), own);
    }
}
