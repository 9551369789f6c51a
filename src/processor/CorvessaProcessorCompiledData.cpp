// The compile of a whole state into a bank, with snapshots of unchanged sections reused, and
// the read accessors of the published bank.
#include "processor/CorvessaProcessor.h"

#include "compile/BankCompile.h"
#include "compile/SectionCompile.h"

CorvessaProcessor::CompiledSectionBank CorvessaProcessor::compileBank (const PersistentState& stateCopy,
                                                                       juce::uint64 generationValue,
                                                                       const std::shared_ptr<const CompiledSectionBank>& previous) const
{
    // A newer change, or a processor going away, makes the rest of this bank worthless.
    return ::compileBank (makeWorkingSection (stateCopy), stateCopy.Sections, stateCopy.defaultDuration,
                         generationValue, previous,
                         [&] { return generation.load() != generationValue || generationThread.threadShouldExit(); });
}

void CorvessaProcessor::publishFirstBank()
{
    const auto generationValue = generation.load();
    const auto stateCopy = getStateCopy();
    publishCompiledBank (std::make_shared<const CompiledSectionBank> (compileBank (stateCopy, generationValue, nullptr)));
}

bool CorvessaProcessor::compileLatest()
{
    const auto generationValue = generation.load();
    const auto stateCopy = getStateCopy();
    auto previous = loadCompiledBank();

    auto bank = std::make_shared<const CompiledSectionBank> (compileBank (stateCopy, generationValue, previous));

    if (generation.load() != generationValue)
        return false;

    publishCompiledBank (std::move (bank));
    // The old bank is released here, on this thread, unless a reader still holds it.
    previous.reset();
    return true;
}

//==============================================================================
std::shared_ptr<const CorvessaProcessor::CompiledSnapshot> CorvessaProcessor::getCurrentCompiledSnapshot() const
{
    const auto bank = loadCompiledBank();

    if (bank == nullptr)
        return {};

    const auto index = getCurrentSectionIndex();

    if (index >= 0 && (size_t) index < bank->sections.size())
        return bank->sections[(size_t) index];

    return bank->working;
}

std::vector<int> CorvessaProcessor::getCompiledLayerNotes (int slotIndex, int layer) const
{
    const auto snapshot = getCurrentCompiledSnapshot();

    if (snapshot == nullptr || slotIndex < 0 || (size_t) slotIndex >= snapshot->slots.size())
        return {};

    const auto& slot = snapshot->slots[(size_t) slotIndex];

    switch (layer)
    {
        case 1:  return slot.bassNotes;
        case 2:  return slot.bodyNotes;
        case 3:  return slot.shimmerNotes;
        default: return {};
    }
}

std::vector<ChordEvent> CorvessaProcessor::getCompiledChords() const
{
    const auto snapshot = getCurrentCompiledSnapshot();
    return snapshot != nullptr ? snapshot->chords : std::vector<ChordEvent> {};
}

SectionCompileResult CorvessaProcessor::getCompileResult (int index) const
{
    const auto bank = loadCompiledBank();

    if (bank == nullptr)
        return {};

    if (index >= 0 && (size_t) index < bank->sectionResults.size())
        return bank->sectionResults[(size_t) index];

    return bank->workingResult;
}

juce::StringArray CorvessaProcessor::getCompileMessages (int index) const
{
    return getCompileResult (index).messages;
}

int CorvessaProcessor::getCompileStatus (int index) const
{
    if (compilePending.load())
        return SectionCompileResult::pending;

    return getCompileResult (index).status;
}

ProgressionPreview CorvessaProcessor::compileProgressionPreview (const juce::String& progressionText) const
{
    const auto stateCopy = getStateCopy();
    auto section = makeWorkingSection (stateCopy);
    section.progression = progressionText;

    const auto compiled = ::compileSection (section, stateCopy.defaultDuration, generation.load(), nullptr);
    ProgressionPreview preview;

    if (compiled.snapshot == nullptr)
        return preview;

    preview.chords = compiled.snapshot->chords;

    for (const auto& slot : compiled.snapshot->slots)
        preview.layerNotes.push_back ({ slot.bassNotes, slot.bodyNotes, slot.shimmerNotes });

    return preview;
}

CorvessaProcessor::SectionCompileOutput CorvessaProcessor::compileSection (const SectionMode::SectionData& section,
                                                                           const juce::String& defaultDuration,
                                                                           juce::uint64 generationValue,
                                                                           std::shared_ptr<const CompiledSnapshot> previous,
                                                                           const std::function<bool()>& overtaken)
{
    return ::compileSection (section, defaultDuration, generationValue, std::move (previous), overtaken);
}
