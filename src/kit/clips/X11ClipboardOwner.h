#pragma once

#include "kit/clips/ClipboardFileOwner.h"

#include <memory>

namespace velmar
{

// The clipboard as a file list on X11, where the framework's clipboard carries text only. The
// process's one owner opens a display connection of its own (libxcb, loaded at run time, so
// nothing here touches X before the first copy and the plug-in loads without a display) with
// an unmapped window, owns CLIPBOARD and serves TARGETS, text/uri-list, x-special/gnome-copied-
// files, UTF8_STRING and STRING from the message thread's event loop until another program
// takes the selection. Failures name their step with the X11 error or connection code.
// Message thread only, every member.
class X11ClipboardOwner : public ClipboardFileOwner,
                          private juce::DeletedAtShutdown
{
public:
    // Created on first use; the framework deletes it when it shuts down.
    static X11ClipboardOwner& getInstance();

    FileClipboard::Result publish (const juce::File& file) override;

    // True while the clipboard's content is the file published last.
    bool ownsClipboard() const;

    ~X11ClipboardOwner() override;

    struct Connection;

private:
    X11ClipboardOwner() = default;

    std::unique_ptr<Connection> connection;

    JUCE_DECLARE_NON_COPYABLE (X11ClipboardOwner)
};

} // namespace velmar
