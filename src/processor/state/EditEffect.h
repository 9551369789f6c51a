#pragma once

#include <vector>

// What may follow a change of the song once the state lock is released. Each writer of the
// state names its own effects, in its own order (the processor's edit path runs them).
enum class EditEffect
{
    regenerate,             // the compiled data depends on the change: generation + 1, compile pending, generator woken
    pushHostParameters,     // the host parameters are set to the state's values
    updateHostDisplay,      // the host re-reads the section parameter's steps; only when the count or a name changed
    publishSync,            // a sync leader shares the state at once
    countExternalEdit,      // the external-edit counter the editor watches goes up by one
    resetPlayback,          // playback forgets where it stood and renders the chord at the playhead anew
    rejoinSyncRole,         // the sync link re-enters the stored role (a role other than Off counts as chosen)
    moveSectionParameter,   // the section parameter goes to the selected section (or Auto-Advance)
    clearPendingJump,       // a section jump posted for the audio thread is dropped
    postSelectionJump,      // the selected section waits for the playing one to end (not under Auto-Advance)
    postPlaybackMode,       // the audio thread is asked to loop or advance; the section parameter follows
    countOutsideSongChange  // the counter the window watches for a song replaced behind its back goes up by one
};

using EditEffects = std::vector<EditEffect>;
