#include "kit/clips/FileDragController.h"

#include "kit/clips/FileUri.h"

#include <cstdio>
#include <cstdlib>

namespace velmar
{

struct FileDragController::State
{
    bool gestureConsumed = true; // nothing can be dragged before the first gesture is armed
    juce::uint64 gestureGeneration = 0;
};

struct FileDragController::Operation
{
    bool active = true;
};

namespace
{
    // The latest native drag of the whole process, shared by every controller of every
    // plug-in instance. Read and written on the message thread only.
    std::weak_ptr<FileDragController::Operation>& currentOperation()
    {
        static std::weak_ptr<FileDragController::Operation> operation;
        return operation;
    }

    bool isReadableFile (const juce::File& file)
    {
        if (! file.existsAsFile() || file.getSize() <= 0)
            return false;

        juce::FileInputStream in (file);
        return in.openedOk();
    }
} // namespace

FileDragController::FileDragController (Starter s)
    : starter (s != nullptr ? std::move (s) : defaultStarter()),
      state (std::make_shared<State>())
{
}

FileDragController::~FileDragController() = default;

void FileDragController::beginGesture()
{
    JUCE_ASSERT_MESSAGE_THREAD
    state->gestureConsumed = false;
    ++state->gestureGeneration;
}

FileDragController::Result FileDragController::start (juce::Component& source, std::function<juce::File()> makeFile,
                                                      const juce::String& traceLabel, std::function<void()> onEnd)
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (state->gestureConsumed)
        return Result::ignored;

    state->gestureConsumed = true;
    const auto context = traceLabel + " gesture=" + juce::String (state->gestureGeneration);

    if (const auto running = currentOperation().lock(); running != nullptr && running->active)
    {
        trace (context, "ignored: another native drag is active");
        return Result::ignored;
    }

    const auto file = makeFile != nullptr ? makeFile() : juce::File();

    trace (context, "build=" + buildDescription() + " " + juce::SystemStats::getJUCEVersion()
                      + " peer=" + (source.getPeer() != nullptr ? "present" : "missing")
                      + " file=" + file.getFullPathName()
                      + " bytes=" + juce::String (file.getSize()));

    if (! isReadableFile (file))
    {
        trace (context, "invalid or unreadable file");
        return Result::fileUnusable;
    }

    const juce::StringArray paths (file.getFullPathName());
    trace (context, "argument=" + paths[0]);

    auto operation = std::make_shared<Operation>();
    currentOperation() = operation;

    auto completion = [operation,
                       weakState = std::weak_ptr<State> (state),
                       generation = state->gestureGeneration,
                       safeSource = juce::Component::SafePointer<juce::Component> (&source),
                       context,
                       onEnd = std::move (onEnd)]
    {
        if (! operation->active)
            return;

        operation->active = false;
        trace (context, "native operation ended (import outcome unknown)");

        const auto liveState = weakState.lock();

        if (liveState != nullptr && liveState->gestureGeneration == generation && safeSource != nullptr && onEnd != nullptr)
            onEnd();
    };

    const bool began = starter (paths, false, source, std::move (completion));
    trace (context, began ? "native start=true" : "native start=false");

    if (began)
        return Result::started;

    operation->active = false;
    return Result::nativeStartFailed;
}

juce::String FileDragController::describeResult (Result result, const juce::String& layerName)
{
    switch (result)
    {
        case Result::started:           return layerName + " MIDI drag started";
        case Result::fileUnusable:      return "Could not create a readable " + layerName + " MIDI file.";
        case Result::nativeStartFailed: return "Could not start " + layerName + " MIDI drag. Try again or use Save to Disk.";
        case Result::ignored:           break;
    }

    return {};
}

void FileDragController::trace (const juce::String& context, const juce::String& message)
{
    const char* const setting = std::getenv ("VELMAR_MIDI_DRAG_TRACE");

    if (setting == nullptr || juce::String (setting) != "1")
        return;

    std::fprintf (stderr, "[Velmar MIDI drag] %s: %s\n", context.toRawUTF8(), message.toRawUTF8());
    std::fflush (stderr);
}

juce::String FileDragController::buildDescription()
{
    const juce::String version (JucePlugin_VersionString);

    return "plugin:" + version + ",kit:" + version + ",juce:"
         + juce::String (JUCE_MAJOR_VERSION) + "." + juce::String (JUCE_MINOR_VERSION) + "." + juce::String (JUCE_BUILDNUMBER);
}

FileDragController::Starter FileDragController::defaultStarter()
{
    return [] (const juce::StringArray& paths, bool mayMove, juce::Component& source, std::function<void()> onEnd)
    {
        // The framework can only drag from a component on a native window.
        if (source.getPeer() == nullptr)
            return false;

        juce::StringArray items;

        for (const auto& path : paths)
           #if JUCE_LINUX || JUCE_BSD
            items.add (fileUri (juce::File (path)));
           #else
            items.add (path);
           #endif

        return juce::DragAndDropContainer::performExternalDragDropOfFiles (items, mayMove, &source, std::move (onEnd));
    };
}

} // namespace velmar
