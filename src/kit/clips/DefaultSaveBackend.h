#pragma once

#include "kit/clips/MidiFileSaveController.h"

namespace velmar
{

// The save controller's own dialogs: the framework's file chooser ("*.mid", save mode, native
// when the desktop offers one) and a "Replace MIDI file?" alert window. Both are asynchronous
// (plug-ins have no modal loops); dismissing them destroys them outside the current call.
// Message thread only.
MidiFileSaveController::Backend defaultBackend();

} // namespace velmar
