// The compile of a whole state into a bank, with snapshots of unchanged sections reused, and
// the read accessors of the published bank.
#include "processor/CorvessaProcessor.h"

#include "processor/CompiledSection.h"

namespace
{
using SnapshotPtr = std::shared_ptr<const CorvessaProcessor::CompiledSnapshot>;

// A snapshot can stand for a section when it was compiled from the same inputs; the name is
// compared on its own because a section's name takes part in the reuse of its own snapshot.
bool compiledFrom (const SnapshotPtr& snapshot, const SectionMode::SectionData& section, const juce::String& defaultDuration)
{
    return snapshot != nullptr
        && snapshot->defaultDuration == defaultDuration
        && snapshot->inputs.name == section.name
        && SectionMode::equalsIgnoringName (snapshot->inputs, section);
}
} // namespace

CorvessaProcessor::CompiledSectionBank CorvessaProcessor::compileBank (const PersistentState& stateCopy,
                                                                       juce::uint64 generationValue,
                                                                       const std::shared_ptr<const CompiledSectionBank>& previous) const
{
    CompiledSectionBank bank;
    bank.generation = generationValue;

    // A newer change, or a processor going away, makes the rest of this bank worthless.
    const std::function<bool()> overtaken = [&] { return generation.load() != generationValue
                                                         || generationThread.threadShouldExit(); };

    const auto& defaultDuration = stateCopy.defaultDuration;
    const auto working = makeWorkingSection (stateCopy);

    if (previous != nullptr && compiledFrom (previous->working, working, defaultDuration))
    {
        bank.working = previous->working;
        bank.workingResult = previous->workingResult;
    }
    else
    {
        auto compiled = compileSection (working, defaultDuration, generationValue,
                                        previous != nullptr ? previous->working : nullptr, overtaken);

        if (compiled.overtaken)
            return bank;

        bank.working = std::move (compiled.snapshot);
        bank.workingResult = std::move (compiled.result);
    }

    if (overtaken())
        return bank;

    const auto& sections = stateCopy.Sections;
    bank.sections.reserve (sections.size());
    bank.sectionResults.reserve (sections.size());

    for (size_t i = 0; i < sections.size() && ! overtaken(); ++i)
    {
        const auto& section = sections[i];
        const SnapshotPtr previousSnapshot = previous != nullptr && i < previous->sections.size() ? previous->sections[i] : nullptr;

        if (compiledFrom (previousSnapshot, section, defaultDuration))
        {
            bank.sections.push_back (previousSnapshot);
            bank.sectionResults.push_back (i < previous->sectionResults.size() ? previous->sectionResults[i]
                                                                               : SectionCompileResult {});
        }
        else if (bank.working != nullptr && bank.working->defaultDuration == defaultDuration
                 && SectionMode::equalsIgnoringName (bank.working->inputs, section))
        {
            // One compile serves the section that the working fields mirror.
            bank.sections.push_back (bank.working);
            bank.sectionResults.push_back (bank.workingResult);
        }
        else
        {
            auto compiled = compileSection (section, defaultDuration, generationValue, previousSnapshot, overtaken);

            if (compiled.overtaken)
                break;

            bank.sections.push_back (std::move (compiled.snapshot));
            bank.sectionResults.push_back (std::move (compiled.result));
        }
    }

    return bank;
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

    const auto compiled = compileSection (section, stateCopy.defaultDuration, generation.load(), nullptr);
    ProgressionPreview preview;

    if (compiled.snapshot == nullptr)
        return preview;

    preview.chords = compiled.snapshot->chords;

    for (const auto& slot : compiled.snapshot->slots)
        preview.layerNotes.push_back ({ slot.bassNotes, slot.bodyNotes, slot.shimmerNotes });

    return preview;
}
