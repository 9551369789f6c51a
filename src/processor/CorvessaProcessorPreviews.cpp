// Chord previews: the message thread posts the notes of one chord, the audio thread sounds them
// at the start of its next block, whether or not the transport runs.
#include "processor/CorvessaProcessor.h"

#include "compile/CompiledSection.h"
#include "processor/playback/CompiledSlotNotes.h"

void CorvessaProcessor::postPreview (const std::vector<std::pair<int, int>>& channelNotePairs, int velocity, bool stop)
{
    previewMailbox.post (channelNotePairs, velocity, stop);
}

void CorvessaProcessor::previewLayerNotes (const std::vector<int>& bassNotes, const std::vector<int>& bodyNotes,
                                           const std::vector<int>& shimmerNotes, int velocity)
{
    postPreview (PlaybackNotes::outputNoteList ({ bassNotes, bodyNotes, shimmerNotes }, getOutputLayerMode()),
                 velocity, false);
}

void CorvessaProcessor::previewCompiledChord (int slotIndex, int velocity)
{
    const auto snapshot = getCurrentCompiledSnapshot();
    if (snapshot == nullptr || slotIndex < 0 || slotIndex >= (int) snapshot->slots.size())
        return; // a preview already sounding goes on

    postPreview (outputNoteList (snapshot->slots[(size_t) slotIndex], getOutputLayerMode()), velocity, false);
}

void CorvessaProcessor::stopPreview()
{
    postPreview ({}, 100, true);
}

void CorvessaProcessor::renderPreview (juce::MidiBuffer& midiMessages)
{
    renderPreviewInto (previewMailbox, lastPreviewSequence, soundingPreviewNotes, midiMessages);
}
