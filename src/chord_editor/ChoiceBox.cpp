#include "chord_editor/ChoiceBox.h"

#include "editor/EditorTexts.h"

void fillChoiceBox (juce::ComboBox& box, const juce::StringArray& entries, int firstId,
                    const std::function<bool (const juce::String&)>& test)
{
    int id = firstId;

    for (const bool passing : { true, false })
        for (const auto& entry : entries)
            if (test (entry) == passing)
                box.addItem (entry, id++);
}

void selectBoxItemByText (juce::ComboBox& box, const juce::String& text)
{
    selectComboItemByText (box, text);
}
