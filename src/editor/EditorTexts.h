#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Texts the window derives from values, and the combo lookup by text. Pure functions (except
// the combo one, which changes the combo without notification); message thread for the combo.

// The recommended tempo range a section's tempo text gives ("90-110", "120"), or the fallback
// when the text holds no number.
juce::String formatBpmRange (const juce::String& tempoText, const juce::String& fallback);

// Selects, without notification, the first item whose text is exactly `text`; without one the
// combo shows the text itself.
void selectComboItemByText (juce::ComboBox& combo, const juce::String& text);

// "+2", "0", "-3".
juce::String formatOctaveOffset (int offset);

// The value texts of the voicing knobs (1 "None" .. 7 "Jazz") and of the Channel 1 knob
// (1 "All" .. 7 "Body+Shimmer").
juce::String shortVoicingName (double value);
juce::String outputLayerShortName (double value);

// The clip tiles' download icon (an arrow onto a bar) as SVG text in the colour.
juce::String makeDownloadIconSvg (juce::Colour colour);
