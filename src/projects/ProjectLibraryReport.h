#pragma once

#include <juce_core/juce_core.h>

// The outcome of one project-library operation as the window shows it: a status line text in
// the library's success or failure colour, held for a while so that the regular status updates
// do not replace it at once, and, when the overlay has something to say, its message.
struct ProjectLibraryReport
{
    static constexpr int normalHoldMs = 2000;
    // Refusals because another program changed the library stay a little longer.
    static constexpr int outsideChangeHoldMs = 4000;

    juce::String status;
    bool succeeded = false;
    int holdMs = normalHoldMs;
    juce::String overlayMessage;   // empty: the overlay's message line is left alone
    bool overlayIsError = false;

    static ProjectLibraryReport success (const juce::String& status, const juce::String& overlayMessage = {})
    {
        return { status, true, normalHoldMs, overlayMessage, false };
    }

    static ProjectLibraryReport failure (const juce::String& status, const juce::String& overlayError = {},
                                         int holdMs = normalHoldMs)
    {
        return { status, false, holdMs, overlayError, overlayError.isNotEmpty() };
    }
};
