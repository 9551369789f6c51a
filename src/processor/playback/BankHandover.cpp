#include "processor/playback/BankHandover.h"

#include <algorithm>

void BankHandover::publish (std::shared_ptr<const CompiledSectionBank> bank)
{
    const auto* address = bank.get();
    auto replaced = std::atomic_exchange (&current, std::move (bank));
    publishedAddress.store (address);
    letGoOfUnusedBanks (std::move (replaced));
}

std::shared_ptr<const CompiledSectionBank> BankHandover::load() const
{
    return std::atomic_load (&current);
}

void BankHandover::letGoOfUnusedBanks (std::shared_ptr<const CompiledSectionBank> replaced)
{
    // Runs after the new bank's address is published, so the audio thread can no longer start
    // using a replaced bank it does not already name.
    const juce::ScopedLock lock (keptLock);

    if (replaced != nullptr)
        kept.push_back (std::move (replaced));

    // The candidate slot first: the audio thread names a bank there before it moves it into
    // the in-use slot and clears the candidate after. Read the other way round, both reads can
    // fall around that move (in-use still the old bank, candidate already cleared) and a bank
    // the audio thread has just taken would be freed under it.
    const auto* candidate = audioCandidate.load();
    const auto* inUse = audioInUse.load();

    kept.erase (std::remove_if (kept.begin(), kept.end(),
                                [&] (const auto& bank) { return bank.get() != inUse && bank.get() != candidate; }),
                kept.end());
}

size_t BankHandover::numKeptBanks() const
{
    const juce::ScopedLock lock (keptLock);
    return kept.size();
}
