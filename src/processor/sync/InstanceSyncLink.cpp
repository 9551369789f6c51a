#include "processor/sync/InstanceSyncLink.h"

#include "kit/platform/UserDataPaths.h"
#include "processor/state/StateTree.h"
#include "processor/sync/SyncPayload.h"

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

InstanceSyncLink::InstanceSyncLink (StateEditor& stateOfOwner)
    : state (stateOfOwner),
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
    juce::String id;

    state.editState ([&id] (PersistentState& s)
                     {
                         const bool minted = s.syncInstanceId.isEmpty();

                         if (minted)
                             s.syncInstanceId = PersistentState::makeSyncInstanceId();

                         id = s.syncInstanceId;
                         return minted;
                     },
                     {});
    return id;
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

    state.editState ([&] (PersistentState& s)
                     {
                         s.syncMode = (int) mode;
                         s.syncInstanceId = id;

                         if (clearPreFollowerState)
                             s.PreFollowerState = {};

                         return true;
                     },
                     {});
}

void InstanceSyncLink::restorePreFollowerState()
{
    const auto saved = state.getStateCopy().PreFollowerState;

    if (! saved.isValid())
    {
        storeMode (Mode::Off, true);
        return;
    }

    auto record = readPersistentStateTree (saved);
    record.syncMode = (int) Mode::Off;
    record.syncInstanceId = getSyncInstanceId();
    record.PreFollowerState = {};
    state.replaceState (record, false);
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
            auto own = state.getStateCopy();
            own.syncMode = (int) Mode::Off;
            own.syncInstanceId = getSyncInstanceId();
            own.PreFollowerState = {};
            const auto saved = writePersistentStateTree (own);

            state.editState ([&] (PersistentState& s)
                             {
                                 s.PreFollowerState = saved;
                                 s.syncInstanceId = own.syncInstanceId;
                                 return true;
                             },
                             {});

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

    const auto stored = InstanceSync::toMode (state.getStateCopy().syncMode);

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
    const auto copy = state.getStateCopy();

    InstanceSync::SharedSnapshot snapshot;
    snapshot.payload = makeSyncPayload (copy);
    snapshot.activeSectionIndex = clampSelectedSectionViewIndex (copy.selectedSectionViewIndex, (int) copy.Sections.size());
    return snapshot;
}

void InstanceSyncLink::applyLeaderSnapshot (const InstanceSync::SharedSnapshot& snapshot)
{
    const auto current = state.getStateCopy();
    const auto next = mergeLeaderSnapshot (current, snapshot, getSyncInstanceId());

    if (! next.has_value())
        return;

    switch (chooseSyncApplyPath (current, *next))
    {
        case SyncApplyPath::unchanged:
            return;

        case SyncApplyPath::light:
        {
            // Same song: the selection or the playback mode moved. Playback is not reset; the
            // audio thread is asked to follow as the leader's own setters asked it, with the
            // requests a selection and a mode change post (a jump waits for the playing section
            // to end), so both play the same section after it.
            EditEffects effects { EditEffect::clearPendingJump };

            if (next->sectionPlaybackMode != current.sectionPlaybackMode)
                effects.push_back (EditEffect::postPlaybackMode);

            if (next->selectedSectionViewIndex != current.selectedSectionViewIndex)
                effects.insert (effects.end(), { EditEffect::postSelectionJump, EditEffect::moveSectionParameter });

            effects.push_back (EditEffect::regenerate);
            state.editState ([&next] (PersistentState& s) { s = *next; return true; }, effects);
            return;
        }

        case SyncApplyPath::full:
            state.replaceState (*next, false);
            state.editState ({}, { EditEffect::countOutsideSongChange });
            return;
    }
}

void InstanceSyncLink::onModeChanged (Mode mode)
{
    // The link's own operations store the role themselves; this catches a leader that the
    // coordinator demoted on its own because another instance took over.
    if (mode != Mode::Off || state.getStateCopy().syncMode != (int) Mode::Leader)
        return;

    state.markSyncRoleChosen();
    const auto id = getSyncInstanceId();
    state.editState ([&id] (PersistentState& s)
                     {
                         s.syncMode = (int) Mode::Off;
                         s.syncInstanceId = id;
                         s.PreFollowerState = {};
                         return true;
                     },
                     { EditEffect::pushHostParameters });
}
