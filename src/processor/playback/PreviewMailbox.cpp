#include "processor/playback/PreviewMailbox.h"

#include <algorithm>

PreviewMailbox::PreviewMailbox() noexcept
{
    for (auto& slot : previewSlots)
    {
        for (auto& c : slot.channels)
            c.store (0, std::memory_order_relaxed);
        for (auto& n : slot.notes)
            n.store (0, std::memory_order_relaxed);
    }
}

void PreviewMailbox::post (const std::vector<std::pair<int, int>>& pairs, int velocity, bool stop)
{
    const juce::uint64 sequence = previewSequence.fetch_add (1, std::memory_order_relaxed) + 1;
    const int b = previewSlotIndex.load (std::memory_order_relaxed);

    PreviewSlot local;
    local.velocity = std::clamp (velocity, 1, 127);
    local.sequence = sequence;
    local.stop = stop;
    local.count = 0;

    if (! stop)
    {
        // The set drops duplicates and pairs outside the MIDI ranges, and orders the rest.
        ChannelNoteSet valid;
        for (const auto& [channel, note] : pairs)
            valid.insert (channel, note);

        valid.forEach ([&local] (int channel, int note)
        {
            if (local.count < PreviewSlot::maxNotes)
            {
                local.channels[(size_t) local.count] = channel;
                local.notes[(size_t) local.count] = note;
                ++local.count;
            }
        });
    }

    // Fill the slot the reader is not pointed at. Its sequence reads 0 ("being written")
    // until every field is in place, so a reader that copies it meanwhile notices: each field
    // is stored with release order, so a reader that sees any new field also sees the 0.
    auto& slot = previewSlots[(size_t) (1 - b)];
    slot.sequence.store (0, std::memory_order_relaxed);

    for (size_t k = 0; k < (size_t) PreviewSlot::maxNotes; ++k)
    {
        slot.channels[k].store (local.channels[k], std::memory_order_release);
        slot.notes[k].store (local.notes[k], std::memory_order_release);
    }
    slot.count.store (local.count, std::memory_order_release);
    slot.velocity.store (local.velocity, std::memory_order_release);
    slot.stop.store (local.stop, std::memory_order_release);
    slot.sequence.store (local.sequence, std::memory_order_release);

    previewSlotIndex.store (1 - b, std::memory_order_release);
}

bool PreviewMailbox::read (PreviewSlot& out) const noexcept
{
    const int b = previewSlotIndex.load (std::memory_order_acquire);
    const auto& slot = previewSlots[(size_t) (b & 1)];

    const juce::uint64 before = slot.sequence.load (std::memory_order_acquire);

    // Acquire loads: the sequence read after them cannot be older than any field copied.
    for (size_t k = 0; k < (size_t) PreviewSlot::maxNotes; ++k)
    {
        out.channels[k] = slot.channels[k].load (std::memory_order_acquire);
        out.notes[k] = slot.notes[k].load (std::memory_order_acquire);
    }
    out.count = std::clamp (slot.count.load (std::memory_order_acquire), 0, PreviewSlot::maxNotes);
    out.velocity = slot.velocity.load (std::memory_order_acquire);
    out.stop = slot.stop.load (std::memory_order_acquire);

    const juce::uint64 after = slot.sequence.load (std::memory_order_relaxed);

    out.sequence = before;
    return before == after;
}

int renderPreviewInto (const PreviewMailbox& mailbox, juce::uint64& lastPreviewSequence,
                       ChannelNoteSet& soundingPreviewNotes, juce::MidiBuffer& midi)
{
    PreviewSlot slot;
    if (! mailbox.read (slot))
        return 0; // refilled while being copied: take it in the next block

    // Sequence 0 is the empty slot of a new instance (or one being written): nothing posted.
    if (slot.sequence == 0 || slot.sequence == lastPreviewSequence)
        return 0;

    int added = 0;
    soundingPreviewNotes.forEach ([&] (int channel, int note)
    {
        midi.addEvent (juce::MidiMessage::noteOff (channel, note, (juce::uint8) 0), 0);
        ++added;
    });
    soundingPreviewNotes.clear();

    if (! slot.stop)
    {
        const auto velocity = (juce::uint8) std::clamp (slot.velocity, 1, 127);
        for (int k = 0; k < slot.count; ++k)
        {
            const int channel = slot.channels[(size_t) k];
            const int note = slot.notes[(size_t) k];
            if (! ChannelNoteSet::isValid (channel, note))
                continue;
            midi.addEvent (juce::MidiMessage::noteOn (channel, note, velocity), 0);
            soundingPreviewNotes.insert (channel, note);
            ++added;
        }
    }

    lastPreviewSequence = slot.sequence;
    return added;
}
