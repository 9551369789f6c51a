#pragma once

#include "processor/playback/ChannelNoteSet.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <cstddef>
#include <utility>
#include <vector>

// The note rules shared by live playback, previews and the MIDI clip export: which layers go
// to which MIDI channel, which notes are held across chords, and how a change of chord turns
// into note-offs and note-ons. Everything here that the audio thread calls works on fixed-size
// values and never allocates.

namespace PlaybackNotes
{
// Layer numbers as the compiled data uses them.
enum Layer
{
    bassLayer = 1,
    bodyLayer = 2,
    shimmerLayer = 3
};

constexpr int noteOnVelocity = 110;

// A read-only view of one layer's note list (any contiguous container of int).
struct NoteSpan
{
    NoteSpan() = default;
    NoteSpan (const int* d, size_t n) noexcept : notes (d), count (n) {}

    template <typename Container>
    NoteSpan (const Container& c) noexcept : notes (c.data()), count ((size_t) c.size()) {}

    const int* begin() const noexcept { return notes; }
    const int* end() const noexcept { return notes + count; }

    const int* notes = nullptr;
    size_t count = 0;
};

// The notes of one chord, layer by layer.
struct LayerNoteSpans
{
    NoteSpan bass, body, shimmer;
};

// Which layers hold their notes into the next chord that plays them again.
struct LegatoFlags
{
    bool bass = false;
    bool body = true;
    bool shimmer = true;
};

// The notes a chord should sound: every (channel, note) pair, and the subset that is held.
struct OutputNoteSet
{
    ChannelNoteSet notes;
    ChannelNoteSet held;

    void add (int channel, int note, bool legato) noexcept
    {
        if (notes.insert (channel, note) && legato)
            held.insert (channel, note);
    }

    bool isHeld (int channel, int note) const noexcept { return held.contains (channel, note); }
};

// The layers that channel 1 carries for an output layer mode, in the order they are added
// (bit 0 Bass, bit 1 Body, bit 2 Shimmer). A mode outside 0..6 reads as 0, "All".
int channelOneLayerMask (int outputLayerMode) noexcept;

// The note set of one chord: channel 1 the mode's layer mix, channels 2, 3, 4 Bass, Body and
// Shimmer. A pair that several layers put on one channel is held when any of them is legato.
OutputNoteSet outputNoteSet (const LayerNoteSpans& layers, int outputLayerMode, const LegatoFlags& legato) noexcept;

// The same channel map as a plain list of (channel, note) pairs in the order the layers are
// added, without the held flag (for previews). Not for the audio thread.
std::vector<std::pair<int, int>> outputNoteList (const LayerNoteSpans& layers, int outputLayerMode);

// One layer on its own output channel (Bass 2, Body 3, Shimmer 4), held when that layer is
// legato; empty for a layer outside 1..3.
OutputNoteSet layerNoteSet (const LayerNoteSpans& layers, int layer, const LegatoFlags& legato) noexcept;

// Emits the change from the sounding notes to the next chord's notes into a block of
// numSamples samples: note-offs (velocity 0) at sample 0 for notes that stop or are struck
// again, then note-ons with velocity 110: at sample 0 for held notes that were not sounding,
// at sample 1 for the others (at the block's last sample when the block is shorter than two
// samples). A block of no samples gets no events. Returns the number of events added.
int emitNoteDifference (const ChannelNoteSet& sounding, const OutputNoteSet& next,
                        juce::MidiBuffer& midi, int numSamples);

// Note-offs at sample 0 for every pair of the set, in set order.
int emitNoteOffs (const ChannelNoteSet& notes, juce::MidiBuffer& midi);

// Index of the chord slot that contains tick t, or -1. Slot i contains t when
// start(i) <= t < start(i) + length(i) - tail. The hinted slot and its successor are tried
// first (the common case during playback); otherwise the slots, which are in ascending order
// of start, are searched by halving.
template <typename SlotList>
int findChordSlotAt (const SlotList& slots, double t, int hint, double tail) noexcept
{
    const int count = (int) slots.size();
    if (count <= 0)
        return -1;

    const auto contains = [&] (int i)
    {
        const auto& e = slots[(size_t) i].event;
        return e.startTicks <= t && t < e.startTicks + e.lengthTicks - tail;
    };

    if (hint >= 0 && hint < count)
    {
        if (contains (hint))
            return hint;
        const int next = (hint + 1) % count;
        if (contains (next))
            return next;
    }

    // First slot whose start is greater than t.
    int lo = 0, hi = count;
    while (lo < hi)
    {
        const int mid = lo + (hi - lo) / 2;
        if (slots[(size_t) mid].event.startTicks > t)
            hi = mid;
        else
            lo = mid + 1;
    }

    if (lo > 0 && contains (lo - 1))
        return lo - 1;
    return -1;
}
} // namespace PlaybackNotes
