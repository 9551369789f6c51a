#pragma once

// Minimal local versions of the kit's two MIDI clip controllers, only so that the window compiles
// and runs until the kit's own classes are in the tree; each keeps the interface the window uses
// and lives in a namespace of its own, so that it can never be mistaken for the kit's.

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <vector>

namespace PendingClips
{

class FileDragController
{
public:
    using Starter = std::function<bool (juce::Component&, const juce::File&)>;
    explicit FileDragController (Starter = {}) {}
    void beginGesture() { ++armedGestures; }
    int armedGestures = 0;
};

class MidiFileSaveController
{
public:
    struct Backend
    {
        std::function<void()> chooseFile, confirmReplace, dismissDialogs, chooseFileStyled, showError,
                              defaultDirectory, writeFile;
    };

    explicit MidiFileSaveController (Backend) {}
    void cancel() { ++cancels; }
    int cancels = 0;
};

} // namespace PendingClips
