#pragma once

#include <juce_core/juce_core.h>

// Small value types of the audio side that the processor holds as members. They live apart
// from the processor header so that the playback code can grow them without touching it.

// The section cursor (processor/SectionCursor.h), the preview slot and its mailbox
// (processor/PreviewMailbox.h) and the note sets of playback (processor/ChannelNoteSet.h).
#include "processor/playback/ChannelNoteSet.h"
#include "processor/playback/PreviewMailbox.h"
#include "processor/playback/SectionCursor.h"

// The transport values the editor reads.
struct TransportSnapshot
{
    bool isPlaying = false;
    double bpm = 120.0;
    double ppqPosition = 0.0;
    double sectionPositionBars = 0.0;
};
