#pragma once

#include "processor/playback/ChannelNoteSet.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <utility>
#include <vector>

// One posted preview as the audio thread reads it: a fixed number of notes, plain values.
struct PreviewSlot
{
    static constexpr int maxNotes = 32;

    std::array<int, maxNotes> channels {};
    std::array<int, maxNotes> notes {};
    int count = 0;
    int velocity = 100;
    bool stop = true;
    juce::uint64 sequence = 0;
};

// The hand-over of chord previews from the message thread to the audio thread: two slots, the
// writer fills the one the reader is not pointed at and then flips the index. Nothing locks
// and the reader never follows a pointer into the writer's memory.
//
// The slot fields are atomics (relaxed) so that a reader copying a slot while the writer
// refills it (two posts during one copy) is not a data race; the reader then sees that the
// slot's sequence changed under it and leaves the post for the next block.
class PreviewMailbox
{
public:
    PreviewMailbox() noexcept;

    // Message thread. Posts one preview that replaces whatever sounded before: the valid
    // (channel 1..16, note 0..127) pairs without duplicates, in channel-then-note order, at
    // most 32; the velocity clamped to 1..127. With stop set the pairs are ignored.
    void post (const std::vector<std::pair<int, int>>& pairs, int velocity, bool stop);

    // Audio thread. Copies the published slot. Returns false when the slot changed while it
    // was being copied (the copy is then not to be used).
    bool read (PreviewSlot& out) const noexcept;

private:
    struct SharedSlot
    {
        std::array<std::atomic<int>, PreviewSlot::maxNotes> channels;
        std::array<std::atomic<int>, PreviewSlot::maxNotes> notes;
        std::atomic<int> count { 0 };
        std::atomic<int> velocity { 100 };
        std::atomic<bool> stop { true };
        std::atomic<juce::uint64> sequence { 0 };
    };

    std::array<SharedSlot, 2> previewSlots;
    std::atomic<int> previewSlotIndex { 0 };
    std::atomic<juce::uint64> previewSequence { 0 };
};

// Audio-thread side: when the mailbox holds a post not rendered yet, ends the notes the
// previous preview switched on (note-offs, velocity 0) and starts the new ones with the post's
// velocity, all at sample 0, note-offs first. A post whose copy was disturbed by a newer post
// is left for the next block. Returns the number of events added.
int renderPreviewInto (const PreviewMailbox& mailbox, juce::uint64& lastPreviewSequence,
                       ChannelNoteSet& soundingPreviewNotes, juce::MidiBuffer& midi);
