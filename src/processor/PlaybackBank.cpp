// How the audio thread reaches the published compiled bank without locking, allocating or
// freeing, and how replaced banks are kept until it is done with them.
#include "processor/CorvessaProcessor.h"

#include <algorithm>

const CorvessaProcessor::CompiledSectionBank* CorvessaProcessor::acquirePlaybackBank() noexcept
{
    // The audio thread reads the published bank by address and never touches its reference
    // count, so it neither locks (a shared-pointer load may) nor frees a bank. A bank it uses
    // is announced in a hazard slot; the publisher frees a replaced bank only when neither
    // slot names it.
    auto* inUse = audioBankInUse.load();
    auto* published = publishedBankAddress.load();
    if (published == inUse)
        return inUse;

    audioBankCandidate.store (published);
    if (publishedBankAddress.load() == published)
    {
        // The last rendered snapshot belongs to the bank in use, which is still protected:
        // forget it now so that its reference is never the last one to go.
        lastSnapshot.reset();
        audioBankInUse.store (published);
        inUse = published;
    }
    audioBankCandidate.store (nullptr);
    return inUse;
}

void CorvessaProcessor::retireReplacedBank (std::shared_ptr<const CompiledSectionBank> replaced)
{
    // Runs on the publishing thread, after the new bank's address is published. A replaced
    // bank stays here while the audio thread may still use it or anyone else holds it.
    const juce::ScopedLock lock (retiredBanksLock);

    if (replaced != nullptr)
        retiredBanks.push_back (std::move (replaced));

    const auto* inUse = audioBankInUse.load();
    const auto* candidate = audioBankCandidate.load();
    retiredBanks.erase (std::remove_if (retiredBanks.begin(), retiredBanks.end(),
                                        [&] (const auto& bank)
                                        {
                                            return bank.get() != inUse && bank.get() != candidate
                                                   && bank.use_count() <= 1;
                                        }),
                        retiredBanks.end());
}
