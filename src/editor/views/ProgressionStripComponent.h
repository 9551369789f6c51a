#pragma once

#include "harmony/ProgressionText.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <utility>
#include <vector>

struct ProgressionPreview;

// A one-row strip of chord cells whose widths follow the chord lengths, on the piano roll's
// bar scale. It shows the tokens of the shown progression (or of the chord draft), highlights
// the hovered and the selected cell, flags unrecognised chords, and reports presses, drags,
// releases, hovering, Return and right clicks to its owner, which decides what they mean. It
// edits nothing itself. Message thread only.
class ProgressionStripComponent : public juce::Component
{
public:
    ProgressionStripComponent();

    // Positions are in the strip's coordinates except the menu's, which is on screen; a cell
    // index of -1 means no cell.
    std::function<void (int cellIndex, juce::Component& source, juce::Point<int> position)> onChordPressStarted;
    std::function<void (int cellIndex, juce::Component& source, juce::Point<int> position)> onChordPressDragged;
    std::function<void (int cellIndex, juce::Component& source, juce::Point<int> position)> onChordPressReleased;
    std::function<void (int cellIndex)> onChordHovered;
    std::function<void (int selectedIndex)> onChordActivated;
    std::function<void (int cellIndex, juce::Component& source, juce::Point<int> screenPosition)> onChordMenuRequested;
    std::function<void (juce::Point<int> position)> onEmptyStripClicked;

    std::vector<ChordToken> tokens;
    std::vector<std::pair<float, float>> bars;     // (start, length) in bars, one per compiled chord
    std::vector<juce::Rectangle<int>> cells;       // one per token, rebuilt by layoutCells
    int contentWidth = 0;                          // the width the cells span; 0 for the strip's own
    int hoveredIndex = -1;                         // written by the owner when it listens to hovering
    int selectedIndex = -1;
    bool interactive = true;                       // false while this instance is a sync follower

    // Takes the start and length of every chord of a compiled preview, in bars.
    void setChords (const ProgressionPreview& preview);
    // Takes new tokens; a selection past their end is cleared.
    void setTokens (const std::vector<ChordToken>& newTokens);

    // A token's length from its duration text: bars, or ticks after "T" (at least a quarter
    // bar); 1 for an unreadable, non-positive or out-of-range duration.
    float tokenLengthInBars (int index) const;

    // Places the cells: from the compiled times when there is one per token, else from the
    // token lengths one after another.
    void layoutCells();
    int cellAt (juce::Point<int> position) const;

    juce::Rectangle<int> getContentArea() const noexcept { return contentArea; }
    float getBarScale() const noexcept { return barScale; }

    void paint (juce::Graphics& g) override;
    void mouseMove (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    bool keyPressed (const juce::KeyPress& key) override;
    juce::MouseCursor getMouseCursor() override;

private:
    void paintCell (juce::Graphics& g, int index) const;

    juce::Rectangle<int> contentArea;
    float barScale = 1.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProgressionStripComponent)
};
