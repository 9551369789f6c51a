#include "processor/InstanceSyncLink.h"

#include "processor/CorvessaProcessor.h"

namespace InstanceSync
{
Mode toMode (int value) noexcept
{
    switch (value)
    {
        case 1:  return Mode::Leader;
        case 2:  return Mode::Follower;
        default: return Mode::Off;
    }
}

juce::String getModeName (Mode mode)
{
    switch (mode)
    {
        case Mode::Leader:   return "Leader";
        case Mode::Follower: return "Follower";
        case Mode::Off:      break;
    }
    return "Off";
}
} // namespace InstanceSync

InstanceSyncLink::InstanceSyncLink (CorvessaProcessor& owner)
    : processor (owner)
{
    syncInstanceId = makeInstanceId();
}

InstanceSyncLink::~InstanceSyncLink() = default;

juce::String InstanceSyncLink::makeInstanceId()
{
    const juce::ScopedLock lock (processor.stateLock);

    if (processor.state.syncInstanceId.isEmpty())
    {
        processor.state.syncInstanceId = PersistentState::makeSyncInstanceId();
        processor.writeStateTree();
    }

    return processor.state.syncInstanceId;
}

InstanceSync::Mode InstanceSyncLink::getMode() const
{
    return InstanceSync::Mode::Off;
}

bool InstanceSyncLink::isAnotherLeaderActive() const
{
    return false;
}

void InstanceSyncLink::publishNow()
{
}

bool InstanceSyncLink::setMode (InstanceSync::Mode newMode)
{
    return newMode == InstanceSync::Mode::Off;
}

void InstanceSyncLink::rejoin()
{
    syncInstanceId = makeInstanceId();
}

bool InstanceSyncLink::takeOver()
{
    return false;
}
