// The hand-over of compiled banks to the audio thread: it never locks, allocates or frees there,
// and a bank stays alive while the audio thread plays it, however fast new banks come.
#include "processor/playback/BankHandover.h"

#include "AllocationGuard.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
// A bank whose destruction reports the thread it happened on.
std::shared_ptr<const CompiledSectionBank> makeBank (int generation, std::atomic<int>* freedOnAudioThread = nullptr,
                                                     std::atomic<std::thread::id>* audioThread = nullptr)
{
    auto* bank = new CompiledSectionBank();
    bank->generation = (juce::uint64) generation;
    bank->sections.resize ((size_t) (generation % 5));

    return std::shared_ptr<const CompiledSectionBank> (bank, [freedOnAudioThread, audioThread] (const CompiledSectionBank* b)
    {
        if (freedOnAudioThread != nullptr && std::this_thread::get_id() == audioThread->load())
            ++*freedOnAudioThread;

        delete b;
    });
}
} // namespace

TEST (BankHandover, ReadersSeeTheLatestBankAndReplacedBanksGoOnceUnused)
{
    BankHandover handover;
    int leavings = 0;
    const auto leave = [&leavings] { ++leavings; };

    EXPECT_EQ (handover.load(), nullptr);
    EXPECT_EQ (handover.acquireForAudio (leave), nullptr);

    auto first = makeBank (1);
    const std::weak_ptr<const CompiledSectionBank> firstWatch = first;
    handover.publish (std::move (first));
    EXPECT_EQ (handover.load()->generation, 1u);

    const auto* playing = handover.acquireForAudio (leave);
    ASSERT_NE (playing, nullptr);
    EXPECT_EQ (playing->generation, 1u);
    EXPECT_EQ (leavings, 1);
    EXPECT_EQ (handover.acquireForAudio (leave), playing) << "the same bank until a new one is published";
    EXPECT_EQ (leavings, 1);

    // Replaced while the audio thread plays it: kept.
    handover.publish (makeBank (2));
    EXPECT_EQ (handover.load()->generation, 2u);
    EXPECT_FALSE (firstWatch.expired());
    EXPECT_EQ (handover.numKeptBanks(), 1u);

    // The audio thread moves on; the next publish lets the old bank go.
    EXPECT_EQ (handover.acquireForAudio (leave)->generation, 2u);
    EXPECT_EQ (leavings, 2);
    handover.publish (makeBank (3));
    EXPECT_TRUE (firstWatch.expired());
    EXPECT_EQ (handover.numKeptBanks(), 1u) << "bank 2, which the audio thread still plays";
}

TEST (BankHandover, TheAudioThreadNeverAllocatesFreesOrUsesAFreedBank)
{
    // A publisher far busier than any compile, against an audio thread that reads every bank
    // it gets. A bank freed too early is a use after free under the address sanitizer; a free
    // on the audio thread is counted by the banks themselves and by the allocation guard.
    BankHandover handover;
    std::atomic<int> freedOnAudioThread { 0 };
    std::atomic<std::thread::id> audioThread;
    std::atomic<bool> done { false };
    handover.publish (makeBank (0, &freedOnAudioThread, &audioThread));

    long allocations = 0, frees = 0, blocks = 0;
    size_t sectionsSeen = 0;
    juce::uint64 lastGeneration = 0;

    std::thread audio ([&]
    {
        audioThread = std::this_thread::get_id();

        // Once more after the publisher is done, so the last bank is played too.
        for (bool last = false; ! last; )
        {
            last = done.load() && blocks >= 1000;
            ScopedAllocationCount count;
            const auto* bank = handover.acquireForAudio ([] {});
            sectionsSeen += bank->sections.size();   // reads the bank: a freed one shows under the sanitizer
            lastGeneration = bank->generation;
            allocations += count.allocations();
            frees += count.frees();
            ++blocks;
        }
    });

    for (int i = 1; i <= 20000; ++i)
        handover.publish (makeBank (i, &freedOnAudioThread, &audioThread));

    done = true;
    audio.join();

    EXPECT_EQ (allocations, 0);
    EXPECT_EQ (frees, 0);
    EXPECT_EQ (freedOnAudioThread.load(), 0);
    EXPECT_EQ (lastGeneration, 20000u);
    EXPECT_LE (handover.numKeptBanks(), 2u) << "replaced banks do not pile up";
    juce::ignoreUnused (sectionsSeen);
}
