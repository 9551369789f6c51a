#include "kit/clips/MidiFileSaveController.h"

#include "kit/clips/DefaultSaveBackend.h"

namespace velmar
{

namespace
{
    // The legal form of a suggested name; a name of dots alone would climb out of the start
    // folder, so it counts as empty.
    juce::String legalSuggestedName (const juce::String& suggestedName)
    {
        const auto legal = juce::File::createLegalFileName (suggestedName);

        if (legal.containsOnly ("."))
            return {};

        return legal;
    }

    juce::File startFolder (const MidiFileSaveController::Backend& backend)
    {
        if (backend.defaultDirectory != nullptr)
            return backend.defaultDirectory();

        const auto documents = juce::File::getSpecialLocation (juce::File::userDocumentsDirectory);

        if (documents.isDirectory())
            return documents;

        return juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    }
} // namespace

//==============================================================================
// The one record behind a controller. Dialog callbacks hold it weakly, together with the
// generations they were issued under: runGeneration moves when a run ends, selectionGeneration
// whenever a pending choice or answer is consumed or abandoned, so a late or repeated dialog
// answer finds a moved counter and is dropped.
class MidiFileSaveController::State : public std::enable_shared_from_this<State>,
                                      private juce::ComponentListener
{
public:
    explicit State (Backend b) : backend (std::move (b)) {}

    void start (juce::Component& parentComponent, const juce::MemoryBlock& content, const juce::String& suggestedName,
                const juce::String& layerName, Appearance appearance, ResultCallback callback)
    {
        cancel();

        parent = &parentComponent;
        parentComponent.addComponentListener (this);
        active = true;
        bytes.replaceAll (content.getData(), content.getSize()); // assigning an empty block copies from null
        onResult = std::move (callback);

        if (bytes.isEmpty())
        {
            finish ({ Result::failed, {}, "The prepared MIDI file is empty." });
            return;
        }

        auto name = legalSuggestedName (suggestedName);

        if (name.isEmpty())
            name = "Export.mid";

        const auto initialFile = startFolder (backend).getChildFile (name).withFileExtension (".mid");

        if (appearance.title.isEmpty())
            appearance.title = layerName;

        if (backend.chooseFileStyled != nullptr)
            backend.chooseFileStyled (parentComponent, initialFile, appearance, selectionCallback());
        else
            backend.chooseFile (parentComponent, initialFile, "Save " + layerName + " MIDI", selectionCallback());
    }

    FileCallback selectionCallback()
    {
        return [weakState = weak_from_this(), run = runGeneration, selection = selectionGeneration] (const juce::File& file)
        {
            const auto self = weakState.lock();

            if (self == nullptr || ! self->active || self->parent == nullptr || self->runGeneration != run)
                return;

            if (file == juce::File() || self->selectionGeneration == selection)
                self->select (file);
        };
    }

    void select (const juce::File& chosen)
    {
        ++selectionGeneration;

        if (chosen == juce::File())
        {
            finish ({ Result::cancelled, {}, {} });
            return;
        }

        if (chosen.isDirectory())
        {
            fail ({ Result::failed, chosen, "The destination is a directory." });
            return;
        }

        const auto file = chosen.withFileExtension (".mid");

        if (file.isDirectory())
        {
            fail ({ Result::failed, file, "The destination is a directory." });
            return;
        }

        if (file.exists())
        {
            backend.confirmReplace (*parent, file, answerCallback (file));
            return;
        }

        writeFile (file);
    }

    AnswerCallback answerCallback (const juce::File& file)
    {
        return [weakState = weak_from_this(), selection = selectionGeneration, file] (bool replace)
        {
            const auto self = weakState.lock();

            if (self == nullptr || ! self->active || self->selectionGeneration != selection || self->parent == nullptr)
                return;

            ++self->selectionGeneration;

            if (replace)
                self->writeFile (file);
            else
                self->fail ({ Result::cancelled, {}, {} });
        };
    }

    void writeFile (const juce::File& destination)
    {
        juce::TemporaryFile temporary (destination, juce::TemporaryFile::useHiddenFile);
        juce::String error;

        {
            juce::FileOutputStream out (temporary.getFile(), 16384);

            if (! out.openedOk())
            {
                error = out.getStatus().getErrorMessage();
            }
            else
            {
                const bool written = out.write (bytes.getData(), bytes.getSize());
                out.flush();
                error = out.getStatus().getErrorMessage();

                if (! written && error.isEmpty())
                    error = "Incomplete file write.";
            }
        }

        // One rename over the destination, no retries: the message thread never sleeps here.
        if (error.isEmpty() && ! temporary.getFile().replaceFileIn (destination))
            error = "Could not replace the destination file. Check folder permissions.";

        if (temporary.getFile().exists())
            temporary.getFile().deleteFile();

        if (error.isNotEmpty())
        {
            fail ({ Result::failed, destination, error });
            return;
        }

        if (backend.onSaved != nullptr)
            backend.onSaved (destination);

        finish ({ Result::saved, destination, {} });
    }

    void fail (const Result& result)
    {
        if (backend.showError != nullptr)
            backend.showError (result, selectionCallback());
        else
            finish (result);
    }

    void finish (const Result& result)
    {
        const auto callback = std::exchange (onResult, nullptr);
        const bool parentExists = parent != nullptr;

        cancel();

        if (callback != nullptr && parentExists)
            callback (result);
    }

    void cancel()
    {
        ++selectionGeneration;
        ++runGeneration;
        active = false;
        onResult = nullptr;

        if (auto* p = parent.getComponent())
            p->removeComponentListener (this);

        parent = nullptr;

        if (backend.dismissDialogs != nullptr)
            backend.dismissDialogs();

        bytes.reset();
    }

    const Backend backend;

private:
    void componentBeingDeleted (juce::Component&) override { cancel(); }

    juce::Component::SafePointer<juce::Component> parent;
    juce::MemoryBlock bytes;
    ResultCallback onResult;
    juce::uint64 selectionGeneration = 0;
    juce::uint64 runGeneration = 0;
    bool active = false;

    JUCE_DECLARE_NON_COPYABLE (State)
};

//==============================================================================
bool MidiFileSaveController::Backend::isUsable() const
{
    return (chooseFile != nullptr || chooseFileStyled != nullptr)
        && confirmReplace != nullptr
        && dismissDialogs != nullptr;
}

MidiFileSaveController::MidiFileSaveController (Backend backend)
    : state (std::make_shared<State> (backend.isUsable() ? std::move (backend) : defaultBackend()))
{
}

MidiFileSaveController::~MidiFileSaveController()
{
    state->cancel();
    state.reset();
}

void MidiFileSaveController::start (juce::Component& parent, const juce::MemoryBlock& bytes,
                                    const juce::String& suggestedName, const juce::String& layerName,
                                    Appearance appearance, ResultCallback onResult)
{
    JUCE_ASSERT_MESSAGE_THREAD

    // A result callback may delete this controller; the run finishes on its own reference.
    const auto keepAlive = state;
    keepAlive->start (parent, bytes, suggestedName, layerName, std::move (appearance), std::move (onResult));
}

void MidiFileSaveController::cancel()
{
    // Called from the window's destructor, which a Linux VST3 host may run on its own thread while
    // holding the framework's message lock rather than on the plug-in's message thread.
    JUCE_ASSERT_MESSAGE_MANAGER_IS_LOCKED
    state->cancel();
}

juce::String MidiFileSaveController::describeResult (const Result& result, const juce::String& layerName)
{
    if (result.status == Result::cancelled)
        return {};

    if (result.status == Result::saved)
        return layerName + " MIDI saved to " + result.file.getFullPathName();

    juce::String text = "Could not save " + layerName + " MIDI";

    if (result.file != juce::File())
        text << " to " << result.file.getFullPathName();

    return text + ". " + result.message;
}

} // namespace velmar
