#include "kit/clips/DefaultSaveBackend.h"

namespace velmar
{

namespace
{
    // The dialogs of one step. The look-and-feel outlives the alert window drawn with it.
    struct NativeDialogs
    {
        juce::LookAndFeel_V4 lookAndFeel;
        std::unique_ptr<juce::FileChooser> chooser;
        std::unique_ptr<juce::AlertWindow> alert;

        ~NativeDialogs()
        {
            if (alert != nullptr)
                alert->setLookAndFeel (nullptr);
        }
    };

    // The current step's dialogs, shared by the backend's three callbacks.
    using DialogSlot = std::shared_ptr<std::shared_ptr<NativeDialogs>>;

    void dismiss (const DialogSlot& slot)
    {
        auto dialogs = std::exchange (*slot, nullptr);

        if (dialogs == nullptr)
            return;

        if (dialogs->alert != nullptr)
            dialogs->alert->setVisible (false);

        // A dismissal may come from inside one of these dialogs' own callbacks: destroy them
        // once that call has returned.
        juce::MessageManager::callAsync ([dialogs]() mutable { dialogs.reset(); });
    }
} // namespace

MidiFileSaveController::Backend defaultBackend()
{
    auto slot = std::make_shared<std::shared_ptr<NativeDialogs>>();
    MidiFileSaveController::Backend backend;

    backend.chooseFile = [slot] (juce::Component&, const juce::File& initialFile, const juce::String& title,
                                 MidiFileSaveController::FileCallback onChosen)
    {
        auto dialogs = std::make_shared<NativeDialogs>();
        *slot = dialogs;

        dialogs->chooser = std::make_unique<juce::FileChooser> (title, initialFile, "*.mid", true, false, nullptr);
        dialogs->chooser->launchAsync (juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles,
                                       [onChosen = std::move (onChosen)] (const juce::FileChooser& chooser)
                                       {
                                           onChosen (chooser.getResult());
                                       });
    };

    backend.confirmReplace = [slot] (juce::Component& parent, const juce::File& file,
                                     MidiFileSaveController::AnswerCallback onAnswer)
    {
        dismiss (slot);

        auto dialogs = std::make_shared<NativeDialogs>();
        *slot = dialogs;

        dialogs->alert = std::make_unique<juce::AlertWindow> ("Replace MIDI file?",
                                                              "A file already exists at:\n" + file.getFullPathName(),
                                                              juce::MessageBoxIconType::QuestionIcon);
        auto& alert = *dialogs->alert;
        alert.setLookAndFeel (&dialogs->lookAndFeel);
        alert.addButton ("Replace", 1, juce::KeyPress());
        alert.addButton ("Cancel", 0, juce::KeyPress (juce::KeyPress::escapeKey));
        alert.centreAroundComponent (&parent, alert.getWidth(), alert.getHeight());
        alert.enterModalState (true,
                               juce::ModalCallbackFunction::create ([onAnswer = std::move (onAnswer)] (int result)
                               {
                                   onAnswer (result == 1);
                               }),
                               false);
    };

    backend.dismissDialogs = [slot] { dismiss (slot); };

    return backend;
}

} // namespace velmar
