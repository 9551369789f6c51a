#pragma once

#include "editor/views/ChordLabel.h"
#include "harmony/ChordEvent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <functional>
#include <vector>

class CorvessaProcessor;
struct ProgressionPreview;

// The piano roll: one column per chord of the shown section (or of the chord draft) over a band
// of MIDI notes, each note a bar split into the colours of the layers that play it, under a
// band of chord names that stays at the top of the visible area while the roll scrolls, with a
// playhead, an add column and an empty-state invitation. It lives in a scrolling viewport that
// its owner, the editor, fits after every range change (onLayoutChanged). It reports presses,
// drags, releases, hovering and right clicks through its callbacks and never edits the
// progression. Message thread only.
//
// Geometry: the top 36 px stay empty, the chord name band is 42 px high (36 to 78 unscrolled),
// the note area starts at 78 with 8 px rows when the roll is sized by recalculateNoteRange, and
// the add column is the rightmost 40 px.
class PianoRollComponent : public juce::Component
{
public:
    // Layers: 1 Bass, 2 Body, 3 Shimmer; as mask bits 1, 2 and 4.
    struct LayerNotes
    {
        std::vector<int> bass, body, shimmer;
    };

    static constexpr int emptyTop = 36;
    static constexpr int bandHeight = 42;
    static constexpr int noteAreaTop = emptyTop + bandHeight;
    static constexpr int rowHeight = 8;
    static constexpr int addColumnWidth = 40;

    explicit PianoRollComponent (CorvessaProcessor& processorToReadFrom);

    std::function<void()> onLayoutChanged;
    std::function<void (int chordIndex, juce::Component& source, juce::Point<int> position)> onChordPressStarted;
    std::function<void (int chordIndex, juce::Component& source, juce::Point<int> position)> onChordPressDragged;
    std::function<void (int chordIndex, juce::Component& source, juce::Point<int> position)> onChordPressReleased;
    std::function<void (int chordIndex)> onChordHovered;
    std::function<void (int chordIndex, juce::Component& source, juce::Point<int> screenPosition)> onChordMenuRequested;
    std::function<void()> onEmptyRollClicked;
    std::function<void()> onAddZoneClicked;
    std::function<void (bool inside)> onAddZoneHoverChanged;

    // Written by the owner, which then repaints or recalculates.
    int hoveredChord = -1;
    int selectedChord = -1;
    std::vector<ChordEvent> chords;          // set through setChords or setPreview
    std::vector<ChordLabel> labels;          // one per chord index; may be shorter or empty
    std::vector<LayerNotes> layerNotes;      // one per chord index; may be shorter or empty
    int outputSelection = 0;                 // 0 All, 1 Bass, 2 Body, 3 Shimmer, 4 Bass+Body, 5 Bass+Shimmer, 6 Body+Shimmer
    double playheadPosition = -1.0;          // bars into the playing section
    bool playing = false;                    // the host transport runs
    bool playheadVisible = false;            // playing, and the playing section is the shown one
    bool bassLegato = false;
    bool bodyLegato = true;
    bool shimmerLegato = true;
    bool canAdd = false;                     // the owner allows adding chords from the roll
    bool addZoneHovered = false;
    bool interactive = true;                 // false while this instance is a sync follower
    int lowestNote = 0;                      // set by recalculateNoteRange
    int highestNote = 127;
    int visibleHeight = 0;                   // the height the owner can show

    // Takes the compiled chords of the shown section. Nothing happens when they equal the
    // stored ones field by field and no layer notes are stored (the refresh tick calls this
    // every 33 ms). Otherwise the layer notes are dropped (they then come from the processor),
    // the range is recalculated and the roll repaints.
    void setChords (const std::vector<ChordEvent>& events);
    // Takes a draft's chords with their own layer notes.
    void setPreview (const ProgressionPreview& preview);

    // Fits the note range to the notes shown and the visible height, resizes the roll and
    // fires onLayoutChanged.
    void recalculateNoteRange();

    ChordLabel getChordLabel (int index, const ChordEvent& event) const;
    juce::String getHoverDescription() const;

    void setLayerView (int mode);
    int getLayerView() const noexcept { return displayMode; }
    void setBassAddOctave (bool shouldAddOctave);
    bool getBassAddOctave() const noexcept { return bassAddOctave; }

    double getTotalBars() const;
    float getContentWidth() const;
    int chordAt (juce::Point<float> position) const;
    juce::Rectangle<float> getAddZoneBounds() const;
    bool isInAddZone (juce::Point<float> position) const;
    std::vector<int> getLayerNotes (int chordIndex, int layer) const;

    // Layer mask (1 Bass, 2 Body, 4 Shimmer) of the layers the output selection plays in full colour.
    static int includedLayerMask (int outputSelection);
    // Alpha of one layer's sub-bar of a note drawn with `drawnMask`; `anyIncluded` is false for
    // a note no included layer plays.
    static float noteBarAlpha (int drawnMask, int layerBit, bool anyIncluded);
    static bool isRest (const ChordEvent& event);

    void paint (juce::Graphics& g) override;
    void mouseMove (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    juce::MouseCursor getMouseCursor() override;

private:
    using ChordLayers = std::array<std::vector<int>, 3>;

    float pixelsPerBar() const;
    bool isFlagged (int index, const ChordLabel& label) const;
    void setAddZoneHovered (bool inside);

    void drawNoteBars (juce::Graphics& g, int index, const std::vector<ChordLayers>& notes, float x, float w,
                       float bottom, float row) const;
    void drawChordHeader (juce::Graphics& g) const;
    void drawAddButton (juce::Graphics& g, juce::Rectangle<float> area, float fontSize) const;
    void drawEmptyState (juce::Graphics& g) const;

    CorvessaProcessor& processor;
    int displayMode = 6;
    bool bassAddOctave = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PianoRollComponent)
};
