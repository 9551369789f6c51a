#pragma once

#include "editor/panels/PanelComponent.h"

#include <functional>

// Stand-in: the section rename panel, with the callbacks and the fields the window uses.
class SectionRenameDialog : public PanelComponent
{
public:
    SectionRenameDialog()
    {
        setTitle ("Rename Section");
        addAndMakeVisible (nameEditor);
    }

    std::function<void (int sectionIndex, const juce::String& name)> onRename;
    std::function<void (const juce::String& message)> onError;
    std::function<void()> onClose;

    int sectionIndex = -1;
    juce::TextEditor nameEditor;
};
