#pragma once

#include "chord_editor/ChordEditPopover.h"
#include "harmony/ProgressionText.h"

#include <vector>

// The chord editor panel on its own, as the window feeds it, with every callback written into
// a log of events.
struct PanelRig
{
    PanelRig()
    {
        panel.setBounds (0, 0, 580, 335);
        panel.onApply = [this] (int index, const juce::String& text) { log ("apply " + juce::String (index) + " " + text); };
        panel.onCancel = [this] { log (panel.isVisible() ? "cancel (visible)" : "cancel"); };
        panel.onChordChanged = [this] (int index, const juce::String& text) { log ("changed " + juce::String (index) + " " + text); };
        panel.onUndoRedo = [this] (bool redo) { log (redo ? "redo" : "undo"); };
        panel.onModeChanged = [this] { log ("mode"); };
        panel.onPreviewStart = [this] { log ("preview start"); };
        panel.onPreviewEnd = [this] { log ("preview end"); };
    }

    // Opens a chord the way the window does: key and scale, the context, then the chord.
    void open (const juce::String& chordText, const juce::String& key = "C", const juce::String& scale = "Major")
    {
        const auto token = parseChordToken (chordText);
        panel.setKeyAndScale (key, scale);
        panel.setContext ({ token }, 0, true, "Space");
        panel.openChord (0, token);
    }

    void switchToExpert()
    {
        panel.buttonClicked (&panel.expertButton);
        events.clear();
    }

    void log (const juce::String& event) { events.push_back (event); }

    std::vector<juce::String> takeEvents()
    {
        auto taken = events;
        events.clear();
        return taken;
    }

    ChordEditPopover panel;
    std::vector<juce::String> events;
};

using Events = std::vector<juce::String>;
