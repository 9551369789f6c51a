// MIDI clips of the current section: the whole section on channels 1 to 4 as it plays, or one
// layer on its own channel, written as a Standard MIDI File for the editor to hand on.
#include "processor/CorvessaProcessor.h"

#include "compile/CompiledSection.h"
#include "processor/playback/CompiledSlotNotes.h"
#include "processor/clips/MidiClipRenderer.h"

namespace
{
template <typename NoteSetOfSlot>
std::vector<MidiClipRenderer::ClipChord> clipChordsOf (const CorvessaProcessor::CompiledSnapshot& snapshot,
                                                       NoteSetOfSlot&& noteSetOf)
{
    std::vector<MidiClipRenderer::ClipChord> chords;
    chords.reserve (snapshot.slots.size());
    for (const auto& slot : snapshot.slots)
        chords.push_back ({ slot.event.startTicks, slot.event.lengthTicks, noteSetOf (slot) });
    return chords;
}
} // namespace

juce::File CorvessaProcessor::exportSectionMidi (const juce::File& destinationFolder) const
{
    const auto snapshot = getCurrentCompiledSnapshot();
    if (snapshot == nullptr)
        return {};

    const int mode = getOutputLayerMode();
    const auto sequence = MidiClipRenderer::renderClipSequence (
        clipChordsOf (*snapshot, [&] (const CompiledChordSlot& slot) { return outputNoteSet (slot, mode, *snapshot); }));

    const auto file = destinationFolder.getChildFile (
        MidiClipRenderer::sectionFileBaseName (getSections(), getCurrentSectionIndex()) + ".mid");
    return MidiClipRenderer::writeClipFile (file, sequence) ? file : juce::File();
}

juce::File CorvessaProcessor::exportLayerMidi (const juce::File& destinationFolder, int layer) const
{
    const auto name = MidiClipRenderer::layerName (layer);
    if (name.isEmpty())
        return {};

    const auto snapshot = getCurrentCompiledSnapshot();
    if (snapshot == nullptr)
        return {};

    const auto sequence = MidiClipRenderer::renderClipSequence (
        clipChordsOf (*snapshot, [&] (const CompiledChordSlot& slot) { return layerNoteSet (slot, layer, *snapshot); }));

    const auto file = destinationFolder.getChildFile (
        MidiClipRenderer::sectionFileBaseName (getSections(), getCurrentSectionIndex()) + " - " + name + ".mid");
    return MidiClipRenderer::writeClipFile (file, sequence) ? file : juce::File();
}
