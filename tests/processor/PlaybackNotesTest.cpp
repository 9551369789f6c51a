#include "processor/playback/PlaybackNotes.h"

#include "MidiEventList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

using namespace PlaybackNotes;

namespace
{
using Pairs = std::vector<std::pair<int, int>>;

Pairs pairsOf (const ChannelNoteSet& set)
{
    Pairs pairs;
    set.forEach ([&] (int channel, int note) { pairs.emplace_back (channel, note); });
    return pairs;
}

struct Chord
{
    std::vector<int> bass, body, shimmer;
    LayerNoteSpans spans() const { return { bass, body, shimmer }; }
};

const Chord sampleChord { { 36 }, { 60, 64 }, { 76 } };
} // namespace

TEST (ChannelNoteSet, KeepsValidPairsOnceInChannelThenNoteOrder)
{
    ChannelNoteSet set;
    EXPECT_TRUE (set.insert (3, 64));
    EXPECT_TRUE (set.insert (1, 127));
    EXPECT_TRUE (set.insert (3, 0));
    EXPECT_TRUE (set.insert (16, 5));
    EXPECT_TRUE (set.insert (3, 64));
    for (auto [channel, note] : Pairs { { 0, 60 }, { 17, 60 }, { 1, -1 }, { 1, 128 } })
        EXPECT_FALSE (set.insert (channel, note)) << channel << "/" << note;

    EXPECT_EQ (pairsOf (set), (Pairs { { 1, 127 }, { 3, 0 }, { 3, 64 }, { 16, 5 } }));
    EXPECT_EQ (set.size(), 4);
    set.erase (3, 0);
    EXPECT_FALSE (set.contains (3, 0));
    set.clear();
    EXPECT_TRUE (set.isEmpty());
}

TEST (OutputNoteSet, ChannelOneCarriesTheModesLayersAndTwoToFourEachLayer)
{
    struct Case
    {
        int mode;
        std::vector<int> channelOne;
    };
    const std::vector<Case> cases {
        { 0, { 36, 60, 64, 76 } }, // All
        { 1, { 36 } },             // Bass
        { 2, { 60, 64 } },         // Body
        { 3, { 76 } },             // Shimmer
        { 4, { 36, 60, 64 } },     // Bass + Body
        { 5, { 36, 76 } },         // Bass + Shimmer
        { 6, { 60, 64, 76 } },     // Body + Shimmer
        { 7, { 36, 60, 64, 76 } }, // out of range reads as All
        { -1, { 36, 60, 64, 76 } },
    };

    for (const auto& c : cases)
    {
        const auto set = outputNoteSet (sampleChord.spans(), c.mode, LegatoFlags {});
        Pairs expected;
        for (int note : c.channelOne)
            expected.emplace_back (1, note);
        expected.insert (expected.end(), { { 2, 36 }, { 3, 60 }, { 3, 64 }, { 4, 76 } });
        EXPECT_EQ (pairsOf (set.notes), expected) << "mode " << c.mode;
    }
}

TEST (OutputNoteSet, APairIsHeldWhenAnyLayerPuttingItThereIsLegato)
{
    const Chord chord { { 48 }, { 48, 55 }, { 72 } };
    const auto set = outputNoteSet (chord.spans(), 0, LegatoFlags { false, true, false });

    EXPECT_TRUE (set.isHeld (1, 48));  // Bass (not legato) and Body (legato) share it
    EXPECT_TRUE (set.isHeld (1, 55));
    EXPECT_FALSE (set.isHeld (1, 72));
    EXPECT_FALSE (set.isHeld (2, 48)); // Bass on its own channel
    EXPECT_TRUE (set.isHeld (3, 48));
    EXPECT_FALSE (set.isHeld (4, 72));
    EXPECT_EQ (set.notes.size(), 7);
}

TEST (OutputNoteSet, ListKeepsLayerOrderAndLayerSetUsesTheLayersOwnChannel)
{
    EXPECT_EQ (outputNoteList (sampleChord.spans(), 0),
               (Pairs { { 1, 36 }, { 1, 60 }, { 1, 64 }, { 1, 76 }, { 2, 36 }, { 3, 60 }, { 3, 64 }, { 4, 76 } }));
    EXPECT_EQ (outputNoteList (sampleChord.spans(), 6),
               (Pairs { { 1, 60 }, { 1, 64 }, { 1, 76 }, { 2, 36 }, { 3, 60 }, { 3, 64 }, { 4, 76 } }));

    struct Case
    {
        int layer;
        Pairs pairs;
        bool held;
    };
    const LegatoFlags legato { true, false, true };
    for (const auto& c : std::vector<Case> { { 1, { { 2, 36 } }, true },
                                             { 2, { { 3, 60 }, { 3, 64 } }, false },
                                             { 3, { { 4, 76 } }, true },
                                             { 0, {}, false },
                                             { 4, {}, false } })
    {
        const auto set = layerNoteSet (sampleChord.spans(), c.layer, legato);
        EXPECT_EQ (pairsOf (set.notes), c.pairs) << "layer " << c.layer;
        EXPECT_EQ (set.held == set.notes && ! set.notes.isEmpty(), c.held) << "layer " << c.layer;
    }
}

TEST (NoteDifference, EndsChangedNotesAtZeroAndStrikesNewOnesAfterThem)
{
    struct Case
    {
        std::string name;
        Pairs sounding;
        Chord next;
        LegatoFlags legato;
        int numSamples;
        std::vector<MidiEvent> expected;
    };

    const std::vector<Case> cases {
        { "legato body keeps the common note, new held notes start at 0",
          { { 3, 60 }, { 3, 64 }, { 3, 67 } }, { {}, { 60, 65, 69 }, {} }, { false, true, false }, 512,
          { noteOff (0, 3, 64), noteOff (0, 3, 67), noteOn (0, 3, 65), noteOn (0, 3, 69) } },
        { "a plain note that stays is ended and struck again",
          { { 2, 36 } }, { { 36 }, {}, {} }, { false, true, true }, 512,
          { noteOff (0, 2, 36), noteOn (1, 2, 36) } },
        { "a held note is struck again when the next chord does not hold it",
          { { 3, 60 } }, { {}, { 60 }, {} }, { false, false, false }, 512,
          { noteOff (0, 3, 60), noteOn (1, 3, 60) } },
        { "from silence: plain notes at 1, held ones at 0",
          {}, { { 36 }, { 60 }, {} }, { false, true, true }, 512,
          { noteOn (0, 3, 60), noteOn (1, 2, 36) } },
        { "to silence: every sounding note ends at 0",
          { { 2, 36 }, { 3, 60 } }, {}, {}, 512,
          { noteOff (0, 2, 36), noteOff (0, 3, 60) } },
        { "a block of one sample puts every event at sample 0",
          { { 2, 36 } }, { { 36 }, { 60 }, {} }, { false, true, true }, 1,
          { noteOff (0, 2, 36), noteOn (0, 2, 36), noteOn (0, 3, 60) } },
        { "a block of no samples gets nothing",
          { { 2, 36 } }, { { 40 }, {}, {} }, {}, 0, {} },
    };

    for (const auto& c : cases)
    {
        ChannelNoteSet sounding;
        for (auto [channel, note] : c.sounding)
            sounding.insert (channel, note);

        // Only channels 2..4 here: mode 1 puts Bass on channel 1 as well, so drop channel 1.
        auto next = outputNoteSet (c.next.spans(), 1, c.legato);
        for (int note = 0; note < 128; ++note)
        {
            next.notes.erase (1, note);
            next.held.erase (1, note);
        }

        juce::MidiBuffer midi;
        const int added = emitNoteDifference (sounding, next, midi, c.numSamples);
        EXPECT_EQ (eventsOf (midi), c.expected) << c.name;
        EXPECT_EQ (added, (int) c.expected.size()) << c.name;
    }
}

TEST (FindChordSlotAt, FindsTheSlotContainingATick)
{
    struct Event
    {
        double startTicks, lengthTicks;
    };
    struct Slot
    {
        Event event;
    };
    // Three chords with a gap between the second and the third.
    const std::vector<Slot> slots { { { 0, 512 } }, { { 512, 256 } }, { { 1024, 512 } } };
    const double notANumber = std::numeric_limits<double>::quiet_NaN();

    struct Case
    {
        double tick;
        int hint;
        double tail;
        int expected;
    };
    const std::vector<Case> cases {
        { 0, -1, 0, 0 },     { 511.9, -1, 0, 0 }, { 512, -1, 0, 1 },  { 767, -1, 0, 1 },
        { 800, -1, 0, -1 },  // in the gap
        { 1536, -1, 0, -1 }, // past the end
        { -1, -1, 0, -1 },   { notANumber, -1, 0, -1 },
        { 600, 0, 0, 1 },    // hint's successor
        { 100, 2, 0, 0 },    // successor wraps to the first slot
        { 1100, 0, 0, 2 },   // hint misses, search finds it
        { 100, 7, 0, 0 },    // hint out of range
        { 508, -1, 4, -1 },  // inside the tail
        { 507, 0, 4, 0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ (findChordSlotAt (slots, c.tick, c.hint, c.tail), c.expected)
            << "tick " << c.tick << " hint " << c.hint << " tail " << c.tail;

    EXPECT_EQ (findChordSlotAt (std::vector<Slot> {}, 0.0, -1, 0.0), -1);
}
