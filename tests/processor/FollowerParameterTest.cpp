// A follower plays the leader's arrangement: the host may change its sync role and output
// layer, but its legato and voicing parameters are set back to the follower's own values.
#include "ProcessorTestSupport.h"

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
