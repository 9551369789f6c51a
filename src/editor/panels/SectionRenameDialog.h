#pragma once

#include "editor/panels/PanelComponent.h"

#include <functional>

// The panel that renames one section: a name field over "Rename" and "Cancel". The owner sets
// the section index and the field before showing it. A blank name is reported and keeps the
// dialog open; any other name hides the dialog and is reported trimmed. Message thread only.
class SectionRenameDialog : public PanelComponent,
                            private juce::Button::Listener
{
public:
    SectionRenameDialog();
    ~SectionRenameDialog() override;

    std::function<void (int sectionIndex, const juce::String& name)> onRename;
    std::function<void (const juce::String& message)> onError;
    std::function<void()> onClose;

    int sectionIndex = -1;
    juce::TextEditor nameEditor;

    juce::TextButton& getRenameButton() noexcept { return renameButton; }
    juce::TextButton& getCancelButton() noexcept { return cancelButton; }

    // What "Rename" and the Return key do.
    void submit();

    void paint (juce::Graphics&) override;
    void resized() override;
    void buttonClicked (juce::Button*) override;

private:
    juce::TextButton renameButton { "Rename" };
    juce::TextButton cancelButton { "Cancel" };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SectionRenameDialog)
};
