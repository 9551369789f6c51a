#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// A set of (MIDI channel, note) pairs kept as a fixed bit field: channels 1..16, notes 0..127.
// It never allocates, so the audio thread can build, compare and walk note sets freely, and
// its walk order (channel first, then note, both ascending) is the order in which notes are
// emitted and listed.
class ChannelNoteSet
{
public:
    static constexpr int numChannels = 16;
    static constexpr int numNotes = 128;

    static constexpr bool isValid (int channel, int note) noexcept
    {
        return channel >= 1 && channel <= numChannels && note >= 0 && note < numNotes;
    }

    // Returns false (and changes nothing) for a pair outside the MIDI ranges.
    bool insert (int channel, int note) noexcept
    {
        if (! isValid (channel, note))
            return false;
        const auto bit = bitIndex (channel, note);
        words[(std::size_t) (bit >> 6)] |= (uint64_t { 1 } << (bit & 63));
        return true;
    }

    void erase (int channel, int note) noexcept
    {
        if (! isValid (channel, note))
            return;
        const auto bit = bitIndex (channel, note);
        words[(std::size_t) (bit >> 6)] &= ~(uint64_t { 1 } << (bit & 63));
    }

    bool contains (int channel, int note) const noexcept
    {
        if (! isValid (channel, note))
            return false;
        const auto bit = bitIndex (channel, note);
        return ((words[(std::size_t) (bit >> 6)] >> (bit & 63)) & 1u) != 0;
    }

    void clear() noexcept { words.fill (0); }

    // Adds every pair of the other set.
    void merge (const ChannelNoteSet& other) noexcept
    {
        for (std::size_t w = 0; w < words.size(); ++w)
            words[w] |= other.words[w];
    }

    bool isEmpty() const noexcept
    {
        for (auto w : words)
            if (w != 0)
                return false;
        return true;
    }

    int size() const noexcept
    {
        int n = 0;
        for (auto w : words)
            n += __builtin_popcountll (w);
        return n;
    }

    // Calls fn (channel, note) for every pair, ascending by channel, then note.
    template <typename Fn>
    void forEach (Fn&& fn) const
    {
        for (std::size_t w = 0; w < words.size(); ++w)
        {
            auto bits = words[w];
            while (bits != 0)
            {
                const int bit = (int) (w * 64) + __builtin_ctzll (bits);
                bits &= bits - 1;
                fn (bit / numNotes + 1, bit % numNotes);
            }
        }
    }

    bool operator== (const ChannelNoteSet& other) const noexcept { return words == other.words; }
    bool operator!= (const ChannelNoteSet& other) const noexcept { return words != other.words; }

private:
    static constexpr int bitIndex (int channel, int note) noexcept { return (channel - 1) * numNotes + note; }

    std::array<uint64_t, (std::size_t) (numChannels * numNotes / 64)> words {};
};
