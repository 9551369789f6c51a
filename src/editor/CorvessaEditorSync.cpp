// The sync controls and the read-only state of a follower's window.
#include "editor/CorvessaEditor.h"

#include "processor/CorvessaProcessor.h"

bool CorvessaEditor::isSyncFollower() const
{
    return processor.getSyncMode() == 2;
}

void CorvessaEditor::updateSyncButtons (int)
{
}

void CorvessaEditor::applySyncEditLock()
{
    applyControlsEditLock (! isSyncFollower());
}
