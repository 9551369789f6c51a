// The audio callback never allocates or frees memory: not in steady playback, not at chord or
// section changes, not when a new bank or a preview arrives, not when the transport stops.
#include "AllocationGuard.h"
#include "PlaybackFixture.h"

#include <atomic>
#include <thread>

using namespace PlaybackFixture;

namespace
{
// Sections of two chords each, with notes in every layer so that every channel changes.
std::vector<Section> song (int numSections, int transpose = 0)
{
    std::vector<Section> sections;
    for (int i = 0; i < numSections; ++i)
    {
        const int root = 36 + (i % 12) + transpose;
        sections.push_back ({ juce::String (i + 1),
                              { { 0, 512, { root }, { root + 24, root + 28, root + 31 }, { root + 40 } },
                                { 512, 512, { root + 5 }, { root + 29, root + 33, root + 36 }, { root + 45 } } },
                              i % 2 == 0, true, i % 3 != 0 });
    }
    return sections;
}
} // namespace

class RealTimeSafety : public Player
{
protected:
    // One block with the allocation count armed around the callback only.
    void guardedBlockAt (double ppq)
    {
        head.play (ppq);
        guardedBlock();
    }

    void guardedBlock()
    {
        midi.clear();
        {
            ScopedAllocationCount count;
            processor.processBlock (audio, midi);
            allocations += count.allocations();
            frees += count.frees();
        }
        eventsSeen += (int) eventsOf (midi).size();
    }

    void guardedPlay (double fromPpq, double toPpq)
    {
        for (double ppq = fromPpq; ppq < toPpq; ppq += blockBeats)
            guardedBlockAt (ppq);
    }

    long allocations = 0, frees = 0;
    int eventsSeen = 0;
};

TEST (AllocationGuard, CountsOnlyInsideTheGuardOnThisThread)
{
    auto* outside = new int (1);
    long inside = 0, freed = 0;
    {
        ScopedAllocationCount count;
        // Through a volatile pointer, so that the optimiser cannot drop the pair (it may elide a
        // new/delete pair whose result it can see is unused).
        int* volatile p = new int (2);
        delete p;
        inside = count.allocations();
        freed = count.frees();
    }
    delete outside;
    EXPECT_EQ (inside, 1);
    EXPECT_EQ (freed, 1);
}

TEST_F (RealTimeSafety, PlaybackNeverAllocatesOrFrees)
{
    useSong (song (32));

    // Steady playback and chord changes in a looping section.
    guardedPlay (0.0, 24.0);
    const int afterLoop = eventsSeen;
    EXPECT_GT (afterLoop, 0);

    // Section changes: a queued jump, then the host moving the section parameter.
    processor.setSelectedSectionViewIndex (5);
    guardedPlay (24.0, 36.0);
    selectStep (9);
    guardedPlay (36.0, 40.0);
    EXPECT_EQ (processor.getCurrentSectionIndex(), 9);

    // Auto-Advance along the timeline across several sections, and a relocation.
    selectStep (32);
    guardedPlay (40.0, 70.0);
    guardedBlockAt (500.0);

    // A recompiled bank arrives while playing; output layer mode changes.
    processor.publishCompiledBank (makeBank (song (32, 1)));
    guardedPlay (500.0 + blockBeats, 504.0);
    processor.setOutputLayerMode (5);
    guardedPlay (504.0, 506.0);

    // Previews while playing and while stopped, and the stop itself.
    processor.previewLayerNotes ({ 36 }, { 60, 64, 67 }, { 76, 79 }, 100);
    guardedBlockAt (506.0);
    head.stop();
    guardedBlock();
    processor.stopPreview();
    guardedBlock();

    EXPECT_GT (eventsSeen, afterLoop);
    EXPECT_EQ (allocations, 0);
    EXPECT_EQ (frees, 0);
}

TEST_F (RealTimeSafety, ReplacedBanksAreNeverFreedOnTheAudioThread)
{
    useSong (song (4));
    guardedBlockAt (0.0);

    // Publish a new bank and drop every outside reference to the old one: the audio thread
    // still uses the old one until its next block, and switching must not free it.
    for (int i = 0; i < 5; ++i)
    {
        processor.publishCompiledBank (makeBank (song (4, i + 1)));
        guardedBlockAt ((i + 1) * blockBeats);
    }

    EXPECT_EQ (allocations, 0);
    EXPECT_EQ (frees, 0);
}

TEST_F (RealTimeSafety, BanksPublishedWhilePlayingAreFreedOnlyWhenUnused)
{
    // A publisher far busier than any user: banks replaced while the audio thread reads them.
    // A bank freed too early shows up under the address sanitizer as a use after free; a free
    // on the audio thread shows up in the count.
    useSong (song (4));
    std::atomic<bool> done { false };
    std::thread publisher ([&]
    {
        for (int i = 0; i < 2000; ++i)
            processor.publishCompiledBank (makeBank (song (4, i % 7)));
        done = true;
    });

    double ppq = 0.0;
    int blocks = 0;
    while (! done.load() || blocks < 100)
    {
        guardedBlockAt (ppq);
        ppq += blockBeats;
        ++blocks;
    }
    publisher.join();

    EXPECT_EQ (allocations, 0);
    EXPECT_EQ (frees, 0);
    EXPECT_GT (eventsSeen, 0);
}
