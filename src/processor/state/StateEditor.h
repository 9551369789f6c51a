#pragma once

#include "processor/state/EditEffect.h"
#include "processor/state/PersistentState.h"

#include <functional>

// The processor's state as a collaborator sees it (the instance-sync link): a copy to read and
// the processor's one edit path to change it through. Message thread.
class StateEditor
{
public:
    virtual ~StateEditor() = default;

    // A copy of the whole state, taken under the state lock.
    virtual PersistentState getStateCopy() const = 0;

    // Changes the state under its lock, writes the state tree, then runs the effects in their
    // order. `change` answers false when it changed nothing; then nothing is written and no
    // effect runs. An empty `change` runs the effects alone.
    virtual bool editState (const std::function<bool (PersistentState&)>& change, const EditEffects& effects) = 0;

    // Installs a whole record with the effects of a replacement (the processor's replaceState).
    virtual void replaceState (const PersistentState& newState, bool keepSyncFieldsOfLiveState) = 0;

    // A role change that the sync link made on its own counts as the user's choice.
    virtual void markSyncRoleChosen() = 0;
};
