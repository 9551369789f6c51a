#include "processor/playback/PreviewMailbox.h"

#include "MidiEventList.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace
{
using Pairs = std::vector<std::pair<int, int>>;

// The audio side of one instance: the mailbox and what the reader keeps between blocks.
struct PreviewFixture
{
    PreviewMailbox mailbox;
    juce::uint64 lastSequence = 0;
    ChannelNoteSet sounding;

    std::vector<MidiEvent> renderBlock()
    {
        juce::MidiBuffer midi;
        renderPreviewInto (mailbox, lastSequence, sounding, midi);
        return eventsOf (midi);
    }
};
} // namespace

TEST (PreviewMailbox, APostSoundsItsValidDistinctPairsInOrderUpToThirtyTwo)
{
    Pairs forty;
    for (int i = 39; i >= 0; --i) // posted in descending order: the slot orders them
        forty.emplace_back (1 + i / 20, 40 + i % 20);

    struct Case
    {
        std::string name;
        Pairs pairs;
        int velocity;
        std::vector<MidiEvent> expected;
    };
    std::vector<MidiEvent> firstThirtyTwo;
    for (int i = 0; i < 32; ++i)
        firstThirtyTwo.push_back (noteOn (0, 1 + i / 20, 40 + i % 20, 100));

    const std::vector<Case> cases {
        { "forty pairs: the first 32 in channel-then-note order", forty, 100, firstThirtyTwo },
        { "a duplicate sounds once", { { 1, 60 }, { 1, 60 } }, 100, { noteOn (0, 1, 60, 100) } },
        { "pairs outside the MIDI ranges are ignored", { { 0, 60 }, { 17, 60 }, { 2, -1 }, { 2, 128 }, { 16, 127 } }, 90,
          { noteOn (0, 16, 127, 90) } },
        { "velocity below 1 sounds at 1", { { 1, 60 } }, 0, { noteOn (0, 1, 60, 1) } },
        { "velocity above 127 sounds at 127", { { 1, 60 } }, 300, { noteOn (0, 1, 60, 127) } },
    };

    for (const auto& c : cases)
    {
        PreviewFixture f;
        f.mailbox.post (c.pairs, c.velocity, false);
        EXPECT_EQ (f.renderBlock(), c.expected) << c.name;
        EXPECT_TRUE (f.renderBlock().empty()) << c.name << ": a post is rendered once";
    }
}

TEST (PreviewMailbox, EveryPostReplacesThePreviousPreview)
{
    PreviewFixture f;
    EXPECT_TRUE (f.renderBlock().empty()) << "nothing posted yet";

    // A stop while nothing sounds emits nothing but is taken.
    f.mailbox.post ({}, 100, true);
    EXPECT_TRUE (f.renderBlock().empty());
    EXPECT_EQ (f.lastSequence, 1u);

    f.mailbox.post ({ { 2, 36 }, { 1, 60 } }, 100, false);
    EXPECT_EQ (f.renderBlock(), (std::vector<MidiEvent> { noteOn (0, 1, 60, 100), noteOn (0, 2, 36, 100) }));

    // Two posts between blocks: only the second is heard; the old notes end first.
    f.mailbox.post ({ { 1, 62 } }, 100, false);
    f.mailbox.post ({ { 1, 64 } }, 80, false);
    EXPECT_EQ (f.renderBlock(), (std::vector<MidiEvent> { noteOff (0, 1, 60), noteOff (0, 2, 36), noteOn (0, 1, 64, 80) }));

    // A rest (empty, not stop) and a post of only invalid pairs both end the preview.
    f.mailbox.post ({}, 100, false);
    EXPECT_EQ (f.renderBlock(), (std::vector<MidiEvent> { noteOff (0, 1, 64) }));
    f.mailbox.post ({ { 1, 70 } }, 100, false);
    f.renderBlock();
    f.mailbox.post ({ { 0, 70 } }, 100, false);
    EXPECT_EQ (f.renderBlock(), (std::vector<MidiEvent> { noteOff (0, 1, 70) }));

    // A stop ignores the pairs it carries.
    f.mailbox.post ({ { 1, 72 } }, 100, false);
    f.renderBlock();
    f.mailbox.post ({ { 1, 50 } }, 100, true);
    EXPECT_EQ (f.renderBlock(), (std::vector<MidiEvent> { noteOff (0, 1, 72) }));
    EXPECT_TRUE (f.sounding.isEmpty());
}

TEST (PreviewMailbox, AReaderNeverUsesASlotTornByConcurrentPosts)
{
    // The writer posts as fast as it can, far faster than any user, so that posts land while
    // the reader copies. Every post is self-describing: post k carries k % 32 + 1 notes, all on
    // channel k % 16 + 1 and starting at note k % 64, with velocity k % 127 + 1. Every copy the
    // reader accepts must describe a single post.
    PreviewMailbox mailbox;
    std::atomic<bool> done { false };
    constexpr int numPosts = 20000;

    std::thread writer ([&]
    {
        for (int k = 1; k <= numPosts; ++k)
        {
            Pairs pairs;
            for (int n = 0; n < k % 32 + 1; ++n)
                pairs.emplace_back (k % 16 + 1, k % 64 + n);
            mailbox.post (pairs, k % 127 + 1, false);
        }
        done = true;
    });

    int accepted = 0;
    juce::uint64 lastSeen = 0;
    std::string firstProblem;
    while (! done.load() && firstProblem.empty())
    {
        PreviewSlot slot;
        if (! mailbox.read (slot) || slot.sequence == 0)
            continue;

        ++accepted;
        const int k = (int) slot.sequence;
        bool whole = slot.sequence >= lastSeen && slot.count == k % 32 + 1 && slot.velocity == k % 127 + 1 && ! slot.stop;
        for (int n = 0; whole && n < slot.count; ++n)
            whole = slot.channels[(size_t) n] == k % 16 + 1 && slot.notes[(size_t) n] == k % 64 + n;
        if (! whole)
            firstProblem = "torn or stale copy of post " + std::to_string (k);
        lastSeen = slot.sequence;
    }
    writer.join();

    EXPECT_EQ (firstProblem, "") << "after " << accepted << " accepted copies";

    PreviewSlot last;
    ASSERT_TRUE (mailbox.read (last));
    EXPECT_EQ (last.sequence, (juce::uint64) numPosts);
}
