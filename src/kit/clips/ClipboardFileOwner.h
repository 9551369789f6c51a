#pragma once

#include "kit/clips/FileClipboard.h"

namespace velmar
{

// What the file clipboard needs of the platform: to make one file the clipboard's content.
class ClipboardFileOwner
{
public:
    virtual ~ClipboardFileOwner() = default;

    // Publishes the file (an existing, non-empty file) as the clipboard's file list; a failure
    // names the step that failed. Message thread.
    virtual FileClipboard::Result publish (const juce::File& file) = 0;
};

} // namespace velmar
