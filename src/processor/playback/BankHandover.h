#pragma once

#include "compile/CompiledSection.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <memory>
#include <vector>

// Hands compiled banks from the thread that builds them to everybody who reads them, the audio
// thread included. Readers off the audio thread take a shared reference. The audio thread must
// not lock, allocate or free, and a shared pointer's reference count can do all three, so it
// reads the published bank by address instead: it names the bank it uses (and the one it is
// about to take) in two hazard slots, and the publisher keeps every replaced bank until no slot
// names it, then lets it go on its own thread. A bank is therefore never freed on the audio
// thread and never freed while the audio thread uses it.
class BankHandover
{
public:
    BankHandover() = default;

    // Publisher: the constructing thread for the first bank, then the generation thread (one
    // at a time). Makes the bank current and lets go of replaced banks the audio thread no
    // longer uses.
    void publish (std::shared_ptr<const CompiledSectionBank> bank);

    // Any thread. The current bank, null before the first publish.
    std::shared_ptr<const CompiledSectionBank> load() const;

    // Audio thread only; never locks, allocates or frees. The bank to play this block, which
    // stays valid until the next call. When it differs from the one the last call gave,
    // `beforeLeaving` runs first, while the old bank is still protected: the caller drops what
    // it holds of it there, so that nothing of it can be released after it is given up.
    template <typename BeforeLeaving>
    const CompiledSectionBank* acquireForAudio (BeforeLeaving&& beforeLeaving) noexcept
    {
        auto* inUse = audioInUse.load();

        // A bank replaced between the two reads is tried again with its successor: giving up
        // at once would leave the audio thread on its old bank (or none at all, before its
        // first) for the block. Each retry means another publish came meanwhile, so a few are
        // plenty; past them the old bank stays, which is still safe.
        for (int attempt = 0; attempt < maxTakeAttempts; ++attempt)
        {
            auto* published = publishedAddress.load();

            if (published == inUse)
                return inUse;

            audioCandidate.store (published);

            // Taken only if it is still the published one: a bank replaced meanwhile may
            // already be gone, since the publisher did not see it named.
            if (publishedAddress.load() == published)
            {
                beforeLeaving();
                audioInUse.store (published);
                audioCandidate.store (nullptr);
                return published;
            }
        }

        audioCandidate.store (nullptr);
        return inUse;
    }

    // Publisher's thread (tests). The number of replaced banks still kept.
    size_t numKeptBanks() const;

private:
    void letGoOfUnusedBanks (std::shared_ptr<const CompiledSectionBank> replaced);

    static constexpr int maxTakeAttempts = 8;

    std::shared_ptr<const CompiledSectionBank> current;   // atomic load and store only
    std::atomic<const CompiledSectionBank*> publishedAddress { nullptr };
    std::atomic<const CompiledSectionBank*> audioInUse { nullptr };
    std::atomic<const CompiledSectionBank*> audioCandidate { nullptr };

    juce::CriticalSection keptLock;   // publishers only: the constructor's and the thread's
    std::vector<std::shared_ptr<const CompiledSectionBank>> kept;

    JUCE_DECLARE_NON_COPYABLE (BankHandover)
};
