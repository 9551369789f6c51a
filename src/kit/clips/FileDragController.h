#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

namespace velmar
{

// Drags a prepared file out of the plug-in window through the desktop's native drag and drop:
// at most one native drag per armed mouse gesture, and at most one in the whole process (every
// controller of every plug-in instance) at a time. Optionally traces each attempt to standard
// error (VELMAR_MIDI_DRAG_TRACE=1). Message thread only, every member.
class FileDragController
{
public:
    enum class Result
    {
        ignored           = 0,
        started           = 1,
        fileUnusable      = 2,
        nativeStartFailed = 3
    };

    // Starts the native drag of the paths from the source component and returns whether it
    // began; onEnd is called (on the message thread) when the drag is over.
    using Starter = std::function<bool (const juce::StringArray& paths, bool mayMove,
                                        juce::Component& source, std::function<void()> onEnd)>;

    // An empty starter is replaced by the framework's external file drag.
    explicit FileDragController (Starter starter);
    ~FileDragController();

    // Arms one drag for the mouse press that just began.
    void beginGesture();

    // Starts the armed gesture's drag: makeFile runs only when a drag may start; onEnd (may be
    // empty) runs when that drag is over, unless a newer gesture was armed meanwhile or the
    // source component is gone.
    Result start (juce::Component& source, std::function<juce::File()> makeFile,
                  const juce::String& traceLabel, std::function<void()> onEnd);

    // The status-line text of a result; empty for an ignored start.
    static juce::String describeResult (Result result, const juce::String& layerName);

    // Writes "[Velmar MIDI drag] <context>: <message>" to standard error when the environment
    // variable VELMAR_MIDI_DRAG_TRACE is "1" at the moment of the call.
    static void trace (const juce::String& context, const juce::String& message);

    // The build that writes the trace: "plugin:<version>,kit:<version>,juce:<version>".
    static juce::String buildDescription();

    // The framework's external file drag, with the paths passed as percent-encoded file URIs
    // (the framework would send raw paths, which receivers misread when they hold spaces).
    static Starter defaultStarter();

    struct State;
    struct Operation;

private:
    Starter starter;
    std::shared_ptr<State> state;

    JUCE_DECLARE_NON_COPYABLE (FileDragController)
};

} // namespace velmar
