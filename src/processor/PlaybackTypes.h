#pragma once

#include <juce_core/juce_core.h>

// Small value types of the audio side that the processor holds as members. They live apart
// from the processor header so that the playback code can grow them without touching it.

// The audio thread's idea of which section plays and which comes next.
struct SectionCursor
{
    int index = -1;         // the section the cursor stands on, -1 none
    int queuedIndex = -1;   // the section to go to when the current one ends, -1 none
    bool advance = false;   // go on to the next section at the end instead of looping

    void reset (int newIndex, int sectionCount, bool shouldAdvance);
};

// One post of the preview mailbox: fixed size and plain values, so the audio thread copies it
// without following pointers into the writer's memory.
struct PreviewSlot
{
    static constexpr int maxNotes = 32;

    int channels[maxNotes] {};
    int notes[maxNotes] {};
    int count = 0;
    int velocity = 100;
    bool stop = true;
    juce::uint64 sequence = 0;
};

// The transport values the editor reads.
struct TransportSnapshot
{
    bool isPlaying = false;
    double bpm = 120.0;
    double ppqPosition = 0.0;
    double sectionPositionBars = 0.0;
};
