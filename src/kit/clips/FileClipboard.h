#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace velmar
{

class ClipboardFileOwner;

// Puts one prepared file on the system clipboard as a file list, so that the user can paste it
// wherever files are pasted, and supplies the folders such files are written to.
class FileClipboard
{
public:
    struct Result
    {
        bool ok = false;
        juce::String method; // the clipboard path taken, or "validation" when the file was refused
        juce::String error;  // failure text; empty on success
    };

    using Callback = std::function<void (const Result&)>;

    // A fresh folder: temporary folder / "Velmar MIDI Exports" / the name made legal / 32
    // random hexadecimal digits; the empty file when it cannot be created. The folders are
    // never removed: a host may still read a pasted file later. Any thread.
    static juce::File makeExportFolder (const juce::String& name);

    // Refuses a missing or empty file, otherwise publishes it; the result reaches the callback
    // later on the message thread, never inside this call. Message thread.
    static void copyFile (const juce::File& file, juce::Component* source, Callback onResult);

    // The clipboard work itself, synchronous. The X11 clipboard owner keeps its own unmapped
    // window, so the source component is not needed there. Message thread.
    static Result publishFile (const juce::File& file, juce::Component* source);

    // Logs the result and delivers it through the message queue. Any thread.
    static void complete (const Result& result, Callback onResult);

    // The status-line text of a result.
    static juce::String describeResult (const Result& result, const juce::String& layerName);

    // Tests put a fake in place of the system clipboard; nullptr restores it. Message thread.
    static void setOwnerForTesting (ClipboardFileOwner* owner);
};

} // namespace velmar
