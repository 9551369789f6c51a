#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// One contextual chord suggestion drawn as a card: a radio circle that is filled while the
// panel's chord is this suggestion, the chord's label and the role it plays beside it; the
// best suggestion carries an accent strip. The panel sets texts, flags and the toggle state.
// Message thread only.
class ContextualChordSuggestionButton : public juce::TextButton
{
public:
    ContextualChordSuggestionButton() = default;

    juce::String chordText;
    juce::String roleText;
    bool isBest = false;

    // Where the parts of a card of the given size go (local coordinates).
    struct Geometry
    {
        juce::Point<int> radioCentre;
        juce::Rectangle<int> chordArea;
        juce::Rectangle<int> roleArea;
    };
    static Geometry geometryFor (int width, int height);

    void paintButton (juce::Graphics&, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ContextualChordSuggestionButton)
};
