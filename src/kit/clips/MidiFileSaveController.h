#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

namespace velmar
{

// Saves one prepared MIDI file (bytes already rendered in memory) where the user picks in a
// save dialog: the ".mid" extension, a question before an existing file is replaced, a write
// through a hidden temporary file beside the destination, and at most one result per run.
// The dialogs are reached through a Backend; without a usable one the framework's file chooser
// and an alert window serve. Message thread only, every member.
class MidiFileSaveController
{
public:
    struct Result
    {
        enum Status : juce::int32 { saved = 0, cancelled = 1, failed = 2 };

        juce::int32 status = cancelled;
        juce::File file;      // the saved file; for a failure the destination when one was chosen
        juce::String message; // failure text; empty for saved and cancelled
    };

    // The look of a chooser that draws its own dialog. Only Backend::chooseFileStyled reads it.
    struct Appearance
    {
        juce::String title;
        juce::uint32 shadow           = 0xff181926;
        juce::uint32 windowBackground = 0xff1e2030;
        juce::uint32 panelBackground  = 0xff24273a;
        juce::uint32 text             = 0xffcad3f5;
        juce::uint32 secondaryText    = 0xffa5adcb;
        juce::uint32 outline          = 0xff5b6078;
        juce::uint32 accent           = 0xff8bd5ca;
        juce::uint32 error            = 0xffed8796;
        juce::uint32 fieldBackground  = 0xff1e2030;
        juce::uint32 buttonBackground = 0xff24273a;
        juce::uint32 focusOutline     = 0xff8bd5ca;
    };

    using FileCallback   = std::function<void (const juce::File&)>; // the empty file: cancelled
    using AnswerCallback = std::function<void (bool replace)>;
    using ResultCallback = std::function<void (const Result&)>;

    // The dialogs of a run. Each callback may be empty; see isUsable.
    struct Backend
    {
        std::function<void (juce::Component& parent, const juce::File& initialFile,
                            const juce::String& title, FileCallback)> chooseFile;
        std::function<void (juce::Component& parent, const juce::File& file, AnswerCallback)> confirmReplace;
        std::function<void()> dismissDialogs;
        std::function<void (juce::Component& parent, const juce::File& initialFile,
                            const Appearance&, FileCallback)> chooseFileStyled;
        // Reports a failed or cancelled result and may offer another choice; a file handed to
        // the callback re-enters the run like a fresh choice.
        std::function<void (const Result&, FileCallback)> showError;
        std::function<juce::File()> defaultDirectory;
        std::function<void (const juce::File&)> onSaved; // after the write, before the result

        // A chooser (plain or styled), the replace question and a way to close them.
        bool isUsable() const;
    };

    // Keeps the backend when it is usable; otherwise the default backend serves, whole.
    explicit MidiFileSaveController (Backend backend);
    ~MidiFileSaveController();

    // Begins a run (a run in progress is cancelled first). The result arrives at most once per
    // run: for empty bytes before start returns, otherwise from a later dialog completion; never
    // after cancel, a newer start or the parent's deletion.
    void start (juce::Component& parent, const juce::MemoryBlock& bytes, const juce::String& suggestedName,
                const juce::String& layerName, Appearance appearance, ResultCallback onResult);

    // Abandons the run in progress: its dialogs are dismissed and its callback never called.
    void cancel();

    // The status-line text of a result; empty for a cancelled run.
    static juce::String describeResult (const Result& result, const juce::String& layerName);

    class State;

private:
    std::shared_ptr<State> state;

    JUCE_DECLARE_NON_COPYABLE (MidiFileSaveController)
};

} // namespace velmar
