// The compile of a whole state into a bank, with snapshots of unchanged sections reused, and
// the read accessors of the published bank.
#include "processor/CorvessaProcessor.h"

#include "compile/BankCompile.h"
#include "compile/SectionCompile.h"
#include "processor/playback/SectionTimeline.h"

CorvessaProcessor::CompiledSectionBank CorvessaProcessor::compileBank (const PersistentState& stateCopy,
                                                                       juce::uint64 generationValue,
                                                                       const std::shared_ptr<const CompiledSectionBank>& previous,
                                                                       const std::function<bool (size_t)>& putOff) const
{
    // A newer change, or a processor going away, makes the rest of this bank worthless.
    return ::compileBank (makeWorkingSection (stateCopy), stateCopy.Sections, stateCopy.defaultDuration,
                         generationValue, previous,
                         [&] { return generation.load() != generationValue || generationThread.threadShouldExit(); },
                         putOff);
}

void CorvessaProcessor::publishFirstBank()
{
    const auto generationValue = generation.load();
    const auto stateCopy = getStateCopy();
    publishCompiledBank (std::make_shared<const CompiledSectionBank> (compileBank (stateCopy, generationValue, nullptr)));
}

std::vector<bool> CorvessaProcessor::sectionsHeardFirst (const PersistentState& stateCopy) const
{
    const auto count = stateCopy.Sections.size();
    std::vector<bool> first (count, false);
    const auto mark = [&first, count] (int index)
    {
        if (index >= 0 && (size_t) index < count)
            first[(size_t) index] = true;
    };

    mark (stateCopy.selectedSectionViewIndex);
    mark (playingSectionIndex.load());

    const int step = getSectionParameterIndex();
    mark (step);

    // Auto-Advance places the section by the transport's position on the song's timeline, which
    // needs every section's length: stand-ins give them at a fraction of a compile.
    if (step >= (int) count && count > 0)
    {
        std::vector<double> lengths;
        lengths.reserve (count);
        for (const auto& section : stateCopy.Sections)
            lengths.push_back (makeStandInSnapshot (section, stateCopy.defaultDuration, 0)->totalBeats);

        SectionTimeline::Place place;
        if (SectionTimeline::placeOnTimeline ((int) count, transportPpq.load(), [&lengths] (int i) { return lengths[(size_t) i]; }, place))
            mark (place.section);
    }

    return first;
}

bool CorvessaProcessor::compileLatest()
{
    const auto generationValue = generation.load();
    const auto stateCopy = getStateCopy();
    auto previous = loadCompiledBank();

    // A load or a song replaced whole leaves every section to compile, which takes long for big
    // songs: the sections heard first are compiled and published on their own, the others as
    // stand-ins of their length (silent, but in their place on the timeline) until the rest of
    // the song follows. A bank with nothing put off is the whole song at once. A song whose other
    // sections hold few chords compiles whole in a few milliseconds: it is never split, so the
    // window never sees its sections as stand-ins.
    auto first = sectionsHeardFirst (stateCopy);
    size_t chordsPutOff = 0;
    for (size_t i = 0; i < first.size(); ++i)
    {
        if (first[i])
            continue;
        // Chords and rests are the runs of characters between spaces.
        bool inToken = false;
        for (auto p = stateCopy.Sections[i].progression.getCharPointer(); ! p.isEmpty(); ++p)
        {
            const bool space = *p == ' ';
            chordsPutOff += (! space && ! inToken) ? 1 : 0;
            inToken = ! space;
        }
    }
    if (chordsPutOff < chordsWorthPuttingOff)
        first.assign (first.size(), true);

    auto bank = std::make_shared<const CompiledSectionBank> (
        compileBank (stateCopy, generationValue, previous, [&first] (size_t i) { return i < first.size() && ! first[i]; }));

    if (generation.load() != generationValue)
        return false;

    if (! bank->complete)
    {
        const auto against = withStandInsReplaced (*bank, previous);
        publishCompiledBank (bank);

        bank = std::make_shared<const CompiledSectionBank> (compileBank (stateCopy, generationValue, against));

        if (generation.load() != generationValue)
            return false;
    }

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

    // A stand-in has no chords yet: for the window and the clips it is not compiled.
    if (index >= 0 && (size_t) index < bank->sections.size())
        return bank->sections[(size_t) index] != nullptr && bank->sections[(size_t) index]->voiced ? bank->sections[(size_t) index]
                                                                                                      : nullptr;

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
