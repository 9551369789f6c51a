#include "processor/playback/PlaybackNotes.h"

#include <algorithm>

namespace PlaybackNotes
{
namespace
{
constexpr int bassBit = 1, bodyBit = 2, shimmerBit = 4;

// Calls fn (channel, notes, legato) for every layer the channel map places, in order:
// channel 1's mix (Bass, Body, Shimmer as the mode selects), then Bass on 2, Body on 3,
// Shimmer on 4.
template <typename Fn>
void forEachMappedLayer (const LayerNoteSpans& layers, int outputLayerMode, const LegatoFlags& legato, Fn&& fn)
{
    const int mask = channelOneLayerMask (outputLayerMode);
    if ((mask & bassBit) != 0)
        fn (1, layers.bass, legato.bass);
    if ((mask & bodyBit) != 0)
        fn (1, layers.body, legato.body);
    if ((mask & shimmerBit) != 0)
        fn (1, layers.shimmer, legato.shimmer);
    fn (2, layers.bass, legato.bass);
    fn (3, layers.body, legato.body);
    fn (4, layers.shimmer, legato.shimmer);
}
} // namespace

int channelOneLayerMask (int outputLayerMode) noexcept
{
    switch (outputLayerMode)
    {
        case 1: return bassBit;
        case 2: return bodyBit;
        case 3: return shimmerBit;
        case 4: return bassBit | bodyBit;
        case 5: return bassBit | shimmerBit;
        case 6: return bodyBit | shimmerBit;
        default: return bassBit | bodyBit | shimmerBit;
    }
}

OutputNoteSet outputNoteSet (const LayerNoteSpans& layers, int outputLayerMode, const LegatoFlags& legato) noexcept
{
    OutputNoteSet set;
    forEachMappedLayer (layers, outputLayerMode, legato, [&set] (int channel, NoteSpan notes, bool held)
    {
        for (int note : notes)
            set.add (channel, note, held);
    });
    return set;
}

std::vector<std::pair<int, int>> outputNoteList (const LayerNoteSpans& layers, int outputLayerMode)
{
    std::vector<std::pair<int, int>> pairs;
    forEachMappedLayer (layers, outputLayerMode, LegatoFlags {}, [&pairs] (int channel, NoteSpan notes, bool)
    {
        for (int note : notes)
            pairs.emplace_back (channel, note);
    });
    return pairs;
}

OutputNoteSet layerNoteSet (const LayerNoteSpans& layers, int layer, const LegatoFlags& legato) noexcept
{
    OutputNoteSet set;
    const auto addLayer = [&set] (int channel, NoteSpan notes, bool held)
    {
        for (int note : notes)
            set.add (channel, note, held);
    };

    switch (layer)
    {
        case bassLayer:    addLayer (2, layers.bass, legato.bass); break;
        case bodyLayer:    addLayer (3, layers.body, legato.body); break;
        case shimmerLayer: addLayer (4, layers.shimmer, legato.shimmer); break;
        default: break;
    }
    return set;
}

int emitNoteDifference (const ChannelNoteSet& sounding, const OutputNoteSet& next,
                        juce::MidiBuffer& midi, int numSamples)
{
    if (numSamples <= 0)
        return 0;

    int added = 0;

    // A note stops when the next chord does not have it, or has it without holding it
    // (then it is struck again below).
    sounding.forEach ([&] (int channel, int note)
    {
        if (! next.notes.contains (channel, note) || ! next.held.contains (channel, note))
        {
            midi.addEvent (juce::MidiMessage::noteOff (channel, note, (juce::uint8) 0), 0);
            ++added;
        }
    });

    // Held notes start at sample 0, after the note-offs, so a legato line never has a gap;
    // the others one sample later, so a receiver sees the note-off of a repeated note first.
    const int strikeSample = std::min (1, numSamples - 1);
    next.notes.forEach ([&] (int channel, int note)
    {
        const bool held = next.held.contains (channel, note);
        if (! sounding.contains (channel, note) || ! held)
        {
            midi.addEvent (juce::MidiMessage::noteOn (channel, note, (juce::uint8) noteOnVelocity),
                           held ? 0 : strikeSample);
            ++added;
        }
    });

    return added;
}

int emitNoteOffs (const ChannelNoteSet& notes, juce::MidiBuffer& midi)
{
    int added = 0;
    notes.forEach ([&] (int channel, int note)
    {
        midi.addEvent (juce::MidiMessage::noteOff (channel, note, (juce::uint8) 0), 0);
        ++added;
    });
    return added;
}
} // namespace PlaybackNotes
