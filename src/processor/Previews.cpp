// Chord previews: the message thread posts the notes of one chord, the audio thread sounds them
// at the start of its next block, whether or not the transport runs.
#include "processor/CorvessaProcessor.h"

#include "processor/PlaybackNotes.h"

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

void CorvessaProcessor::stopPreview()
{
    postPreview ({}, 100, true);
}

void CorvessaProcessor::renderPreview (juce::MidiBuffer& midiMessages)
{
    renderPreviewInto (previewMailbox, lastPreviewSequence, soundingPreviewNotes, midiMessages);
}
