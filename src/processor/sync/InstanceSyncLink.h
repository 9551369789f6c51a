#pragma once

#include "processor/sync/InstanceSyncCoordinator.h"
#include "processor/state/PersistentState.h"
#include "processor/state/StateEditor.h"

#include <juce_core/juce_core.h>

#include <memory>

// Connects one processor's state to the instances it keeps in step with. It owns the coordinator of the
// shared file, decides the instance's identity in that file, builds the snapshot a leader
// shares, applies a leader's snapshot on a follower, and keeps the stored sync role (`syncMode`,
// `syncInstanceId`, `PreFollowerState` of the state) in agreement with the coordinator's mode.
// A follower's own arrangement is saved when it starts following and given back when it stops.
//
// Called by the processor's constructor, state restore and setters and by the coordinator's
// timer on the message thread; never by the audio thread. It reads and changes the state only
// through the processor's edit path (StateEditor). Lock order: the coordinator's file lock,
// then the processor's state lock.
class InstanceSyncLink
{
public:
    explicit InstanceSyncLink (StateEditor& stateOfOwner);
    // Quiet on the state: no mode change reaches it. A leader deletes the shared file when the
    // file still names it.
    ~InstanceSyncLink();

    // The processor's coordinator settings: "leader-sync.json" in "VELMAR/Corvessa" below the
    // user's application-data folder, the lock "com.velmar.corvessa.leader-sync", 2000 ms as
    // leader, 100 ms as follower, a lease of 10000 ms and at most 80 ms waiting for the lock.
    static InstanceSync::InstanceSyncCoordinator::Config makeCoordinatorConfig();

    // The instance's lasting sync id, minted into the state when it has none.
    juce::String makeInstanceId();

    InstanceSync::Mode getMode() const;
    bool isAnotherLeaderActive() const;

    // Lets a leader share the state at once; other roles do nothing.
    void publishNow();

    // The user's or the host's choice of role; false when the change was refused.
    bool setMode (InstanceSync::Mode newMode);
    // Re-enters the stored role after construction and after every state load or replacement.
    void rejoin();
    // Forces leadership; false when refused.
    bool takeOver();

    juce::String getSyncInstanceId() const;
    // The id this instance writes into the shared file: the sync id plus a part of its own, so
    // that two instances loaded from one project never take each other's record for their own.
    const juce::String& getCoordinatorId() const noexcept { return coordinatorId; }

private:
    void storeMode (InstanceSync::Mode mode, bool clearPreFollowerState);
    void restorePreFollowerState();
    InstanceSync::SharedSnapshot buildSharedSnapshot();
    void applyLeaderSnapshot (const InstanceSync::SharedSnapshot& snapshot);
    void onModeChanged (InstanceSync::Mode mode);
    StateEditor& state;

    mutable juce::CriticalSection idLock;   // a restore on a host thread may change the id
    juce::String syncInstanceId;
    const juce::String coordinatorId;

    std::unique_ptr<InstanceSync::InstanceSyncCoordinator> coordinator;

    JUCE_DECLARE_NON_COPYABLE (InstanceSyncLink)
};
