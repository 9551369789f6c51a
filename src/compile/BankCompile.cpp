#include "compile/BankCompile.h"

#include "compile/SectionCompile.h"

namespace
{
using SnapshotPtr = std::shared_ptr<const CompiledSnapshot>;

// A snapshot can stand for a section when it was compiled from the same inputs; the name is
// compared on its own because a section's name takes part in the reuse of its own snapshot. A
// snapshot kept in place of a failed compile was made from other inputs than its result speaks
// of: taken over with that result, a progression set back to the good one would stay failed.
bool compiledFrom (const SnapshotPtr& snapshot, const SectionCompileResult& result,
                   const SectionMode::SectionData& section, const juce::String& defaultDuration)
{
    return snapshot != nullptr
        && snapshot->voiced
        && result.status != SectionCompileResult::keptPrevious
        && snapshot->defaultDuration == defaultDuration
        && snapshot->inputs.name == section.name
        && SectionMode::equalsIgnoringName (snapshot->inputs, section);
}
} // namespace

CompiledSectionBank compileBank (const SectionMode::SectionData& working,
                                 const SectionList& sections,
                                 const juce::String& defaultDuration,
                                 juce::uint64 generation,
                                 const std::shared_ptr<const CompiledSectionBank>& previous,
                                 const std::function<bool()>& overtaken,
                                 const std::function<bool (size_t)>& putOff)
{
    CompiledSectionBank bank;
    bank.generation = generation;

    const auto stopped = [&overtaken] { return overtaken && overtaken(); };

    if (previous != nullptr && compiledFrom (previous->working, previous->workingResult, working, defaultDuration))
    {
        bank.working = previous->working;
        bank.workingResult = previous->workingResult;
    }
    else
    {
        auto compiled = compileSection (working, defaultDuration, generation,
                                        previous != nullptr ? previous->working : nullptr, overtaken);

        if (compiled.overtaken)
            return bank;

        bank.working = std::move (compiled.snapshot);
        bank.workingResult = std::move (compiled.result);
    }

    if (stopped())
        return bank;

    bank.sections.reserve (sections.size());
    bank.sectionResults.reserve (sections.size());

    for (size_t i = 0; i < sections.size() && ! stopped(); ++i)
    {
        const auto& section = sections[i];
        const SnapshotPtr previousSnapshot = previous != nullptr && i < previous->sections.size() ? previous->sections[i] : nullptr;
        const auto previousResult = previous != nullptr && i < previous->sectionResults.size() ? previous->sectionResults[i]
                                                                                               : SectionCompileResult {};

        if (compiledFrom (previousSnapshot, previousResult, section, defaultDuration))
        {
            bank.sections.push_back (previousSnapshot);
            bank.sectionResults.push_back (previousResult);
        }
        else if (bank.working != nullptr && bank.workingResult.status != SectionCompileResult::keptPrevious
                 && bank.working->defaultDuration == defaultDuration
                 && SectionMode::equalsIgnoringName (bank.working->inputs, section))
        {
            // One compile serves the section that the working fields mirror.
            bank.sections.push_back (bank.working);
            bank.sectionResults.push_back (bank.workingResult);
        }
        else if (putOff && putOff (i))
        {
            bank.sections.push_back (makeStandInSnapshot (section, defaultDuration, generation));
            bank.sectionResults.push_back ({ SectionCompileResult::pending, {} });
            bank.complete = false;
        }
        else
        {
            auto compiled = compileSection (section, defaultDuration, generation, previousSnapshot, overtaken);

            if (compiled.overtaken)
                break;

            bank.sections.push_back (std::move (compiled.snapshot));
            bank.sectionResults.push_back (std::move (compiled.result));
        }
    }

    return bank;
}

std::shared_ptr<const CompiledSectionBank> withStandInsReplaced (const CompiledSectionBank& partial,
                                                                 const std::shared_ptr<const CompiledSectionBank>& previous)
{
    auto merged = std::make_shared<CompiledSectionBank> (partial);

    for (size_t i = 0; i < merged->sections.size(); ++i)
    {
        if (merged->sections[i] != nullptr && merged->sections[i]->voiced)
            continue;

        const bool kept = previous != nullptr && i < previous->sections.size() && i < previous->sectionResults.size();
        merged->sections[i] = kept ? previous->sections[i] : nullptr;
        merged->sectionResults[i] = kept ? previous->sectionResults[i] : SectionCompileResult {};
    }

    return merged;
}
