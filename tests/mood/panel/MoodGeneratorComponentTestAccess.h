#pragma once

#include "mood/panel/MoodGeneratorComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

// Reaches the panel's controls and its click targets, so that tests can drive it as a user
// would without a window.
struct MoodGeneratorComponentTestAccess
{
    using Panel = MoodGeneratorComponent;

    static juce::ComboBox& moodCombo (Panel& p) { return p.moodCombo; }
    static juce::ComboBox& keyCombo (Panel& p) { return p.keyCombo; }
    static juce::ComboBox& barsCombo (Panel& p) { return p.barsCombo; }
    static juce::Label& description (Panel& p) { return p.descriptionLabel; }
    static juce::TextButton& closeButton (Panel& p) { return p.closeButton; }
    static juce::TextButton& generateButton (Panel& p) { return p.generateButton; }
    static juce::TextButton& fifthOfFifth (Panel& p) { return p.fifthOfFifthButton; }
    static juce::TextButton& tritoneSub (Panel& p) { return p.tritoneSubButton; }
    static juce::TextButton& chromaticMediant (Panel& p) { return p.chromaticMediantButton; }
    static juce::TextButton& slashChords (Panel& p) { return p.slashChordsButton; }

    // The area of a table row as the last paint left it; empty when the mood has none.
    static juce::Rectangle<int> rowArea (const Panel& p, const juce::String& mood)
    {
        for (const auto& target : p.rowTargets)
            if (target.mood == mood)
                return target.area;
        return {};
    }

    // The area of one key of a row as the last paint left it; empty when there is none.
    static juce::Rectangle<int> keyArea (const Panel& p, const juce::String& mood, const juce::String& key)
    {
        for (const auto& target : p.keyTargets)
            if (target.mood == mood && target.key == key)
                return target.area;
        return {};
    }

    static size_t rowTargetCount (const Panel& p) { return p.rowTargets.size(); }
    static size_t keyTargetCount (const Panel& p) { return p.keyTargets.size(); }
};

// A panel at the size the window gives it, painted once so that its click targets exist.
inline void layOutAndPaint (MoodGeneratorComponent& panel)
{
    panel.setBounds (0, 0, 480, MoodGeneratorComponent::getPreferredHeight());
    panel.createComponentSnapshot (panel.getLocalBounds(), true, 1.0f);
}
