#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// The chord editor keeps its chord in combo boxes it never shows; these fill and select them
// without notifying anyone. Message thread only.

// Adds the entries that pass the test, in list order, then those that fail, ids counting up
// from firstId: the in-key choices come first.
void fillChoiceBox (juce::ComboBox& box, const juce::StringArray& entries, int firstId,
                    const std::function<bool (const juce::String&)>& test);

// Selects the first entry with exactly this text; without one, the text stands in the box.
void selectBoxItemByText (juce::ComboBox& box, const juce::String& text);
