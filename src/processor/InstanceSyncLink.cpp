#include "processor/InstanceSyncLink.h"

#include "kit/platform/UserDataPaths.h"
#include "processor/CorvessaProcessor.h"
#include "processor/StateTree.h"
#include "processor/SyncPayload.h"

using InstanceSync::Mode;

InstanceSync::InstanceSyncCoordinator::Config InstanceSyncLink::makeCoordinatorConfig()
{
    InstanceSync::InstanceSyncCoordinator::Config config;
    config.syncFile = velmar::getUserApplicationDataFile ("VELMAR/Corvessa").getChildFile ("leader-sync.json");
    config.lockName = "com.velmar.corvessa.leader-sync";
    config.leaderIntervalMs = 2000;
    config.followerIntervalMs = 100;
    config.leaseMs = 10000;
    config.lockWaitMs = 80;
    return config;
}

InstanceSyncLink::InstanceSyncLink (CorvessaProcessor& owner)
    : processor (owner),
      syncInstanceId (makeInstanceId()),
      coordinatorId (syncInstanceId + ":" + PersistentState::makeSyncInstanceId())
{
    coordinator = std::make_unique<InstanceSync::InstanceSyncCoordinator> (makeCoordinatorConfig(), coordinatorId);
    coordinator->setSnapshotProvider ([this] { return buildSharedSnapshot(); });
    coordinator->setSnapshotReceiver ([this] (const InstanceSync::SharedSnapshot& snapshot) { applyLeaderSnapshot (snapshot); });
    coordinator->setModeListener ([this] (Mode mode) { onModeChanged (mode); });
}

InstanceSyncLink::~InstanceSyncLink()
{
    coordinator->setModeListener (nullptr);
    coordinator->stop();
    coordinator.reset();
}

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

juce::String InstanceSyncLink::getSyncInstanceId() const
{
    const juce::ScopedLock lock (idLock);
    return syncInstanceId;
}

Mode InstanceSyncLink::getMode() const
{
    return coordinator->getMode();
}

bool InstanceSyncLink::isAnotherLeaderActive() const
{
    return coordinator->isAnotherLeaderActive();
}

void InstanceSyncLink::publishNow()
{
    coordinator->publishSnapshot();
}

//==============================================================================
void InstanceSyncLink::storeMode (Mode mode, bool clearPreFollowerState)
{
    const auto id = getSyncInstanceId();
    const juce::ScopedLock lock (processor.stateLock);

    processor.state.syncMode = (int) mode;
    processor.state.syncInstanceId = id;

    if (clearPreFollowerState)
        processor.state.PreFollowerState = {};

    processor.writeStateTree();
}

void InstanceSyncLink::restorePreFollowerState()
{
    juce::ValueTree saved;

    {
        const juce::ScopedLock lock (processor.stateLock);
        saved = processor.state.PreFollowerState.createCopy();
    }

    if (! saved.isValid())
    {
        storeMode (Mode::Off, true);
        return;
    }

    auto record = readPersistentStateTree (saved);
    record.syncMode = (int) Mode::Off;
    record.syncInstanceId = getSyncInstanceId();
    record.PreFollowerState = {};
    processor.replaceState (record, false);
}

bool InstanceSyncLink::setMode (Mode newMode)
{
    const auto current = coordinator->getMode();

    if (newMode == current)
        return true;

    if (current == Mode::Follower)
    {
        coordinator->setMode (Mode::Off);
        restorePreFollowerState();
    }
    else if (current == Mode::Leader)
    {
        coordinator->setMode (Mode::Off);
        storeMode (Mode::Off, true);
    }

    switch (newMode)
    {
        case Mode::Leader:
        {
            const bool led = coordinator->setMode (Mode::Leader);
            storeMode (led ? Mode::Leader : Mode::Off, true);
            return led;
        }

        case Mode::Follower:
        {
            // The instance's own arrangement, kept in its project while it follows.
            auto own = processor.getStateCopy();
            own.syncMode = (int) Mode::Off;
            own.syncInstanceId = getSyncInstanceId();
            own.PreFollowerState = {};
            auto saved = writePersistentStateTree (own);

            {
                const juce::ScopedLock lock (processor.stateLock);
                processor.state.PreFollowerState = saved;
                processor.state.syncInstanceId = own.syncInstanceId;
                processor.writeStateTree();
            }

            // Polls at once: a live leader's state may be applied before this returns.
            if (! coordinator->setMode (Mode::Follower))
            {
                storeMode (Mode::Off, true);
                return false;
            }

            storeMode (Mode::Follower, false);
            return true;
        }

        case Mode::Off:
            break;
    }

    storeMode (Mode::Off, true);
    return true;
}

void InstanceSyncLink::rejoin()
{
    const auto id = makeInstanceId();

    {
        const juce::ScopedLock lock (idLock);
        syncInstanceId = id;
    }

    const auto stored = InstanceSync::toMode (processor.getStateCopy().syncMode);

    if (stored == Mode::Off)
    {
        coordinator->setMode (Mode::Off);
        storeMode (Mode::Off, true);
        return;
    }

    // A stored follower keeps its saved arrangement, so leaving the role later still gives back
    // the one saved in the project.
    if (coordinator->setMode (stored))
        storeMode (stored, false);
    else
        storeMode (Mode::Off, true);
}

bool InstanceSyncLink::takeOver()
{
    if (coordinator->getMode() == Mode::Follower)
    {
        coordinator->setMode (Mode::Off);
        restorePreFollowerState();
    }

    const bool led = coordinator->takeOverLeadership();
    storeMode (led ? Mode::Leader : Mode::Off, true);
    return led;
}

//==============================================================================
InstanceSync::SharedSnapshot InstanceSyncLink::buildSharedSnapshot()
{
    InstanceSync::SharedSnapshot snapshot;
    snapshot.payload = makeSyncPayload (processor.getStateCopy());
    snapshot.activeSectionIndex = processor.getSelectedSectionViewIndex();
    return snapshot;
}

void InstanceSyncLink::applyLeaderSnapshot (const InstanceSync::SharedSnapshot& snapshot)
{
    const auto current = processor.getStateCopy();
    const auto next = mergeLeaderSnapshot (current, snapshot, getSyncInstanceId());

    if (! next.has_value())
        return;

    switch (chooseSyncApplyPath (current, *next))
    {
        case SyncApplyPath::unchanged:
            return;

        case SyncApplyPath::light:
        {
            // Same song: move the selection without resetting playback.
            {
                const juce::ScopedLock lock (processor.stateLock);
                processor.state = *next;
                processor.writeStateTree();
            }

            processor.pendingSectionJump.store (-1);
            followLeadersPlayback (current, *next);
            processor.requestRegeneration();
            return;
        }

        case SyncApplyPath::full:
            processor.replaceState (*next, false);
            return;
    }
}

void InstanceSyncLink::followLeadersPlayback (const PersistentState& before, const PersistentState& after)
{
    // The audio thread plays what the section parameter and its two request slots say, not the
    // stored selection. Without these requests a follower would go on playing its old section
    // (or looping instead of advancing) until some unrelated full update came along. They are
    // the requests the leader's own setters posted: a playback-mode request, and a section jump
    // that waits for the playing section to end, so both play the same section after it.
    const auto sectionCount = (int) after.Sections.size();

    if (after.sectionPlaybackMode != before.sectionPlaybackMode)
    {
        processor.pendingPlaybackMode.store (after.sectionPlaybackMode == 1 ? 1 : 0);

        if (after.sectionPlaybackMode == 1)
            processor.pushSectionParameter (sectionCount);
        else
            processor.pushSectionParameter (juce::jmax (0, processor.playingSectionIndex.load()));
    }

    if (after.selectedSectionViewIndex != before.selectedSectionViewIndex)
    {
        const auto selected = processor.getSelectedSectionViewIndex();

        if (processor.getSectionParameterIndex() < sectionCount)
            processor.pendingSectionJump.store (selected);
        else
            processor.pendingSectionJump.store (-1);

        processor.pushSectionParameter (selected);
    }
}

void InstanceSyncLink::onModeChanged (Mode mode)
{
    // The link's own operations store the role themselves; this catches a leader that the
    // coordinator demoted on its own because another instance took over.
    if (mode != Mode::Off)
        return;

    {
        const juce::ScopedLock lock (processor.stateLock);

        if (processor.state.syncMode != (int) Mode::Leader)
            return;
    }

    processor.syncRoleChosen.store (true);
    storeMode (Mode::Off, true);
    processor.pushStateToHostParameters();
}
