#pragma once

#include "compile/CompiledSection.h"
#include "processor/playback/PlaybackNotes.h"

// The note rules applied to compiled chord slots: the legato flags come from the section the
// snapshot was compiled from.

inline PlaybackNotes::LayerNoteSpans layerSpansOf (const CompiledChordSlot& slot) noexcept
{
    return { slot.bassNotes, slot.bodyNotes, slot.shimmerNotes };
}

inline PlaybackNotes::LegatoFlags legatoFlagsOf (const CorvessaProcessor::CompiledSnapshot& snapshot) noexcept
{
    return { snapshot.inputs.arrangeBassLegato, snapshot.inputs.arrangeBodyLegato, snapshot.inputs.arrangeShimmerLegato };
}

inline PlaybackNotes::OutputNoteSet outputNoteSet (const CompiledChordSlot& slot, int outputLayerMode,
                                                   const CorvessaProcessor::CompiledSnapshot& snapshot) noexcept
{
    return PlaybackNotes::outputNoteSet (layerSpansOf (slot), outputLayerMode, legatoFlagsOf (snapshot));
}

inline PlaybackNotes::OutputNoteSet layerNoteSet (const CompiledChordSlot& slot, int layer,
                                                  const CorvessaProcessor::CompiledSnapshot& snapshot) noexcept
{
    return PlaybackNotes::layerNoteSet (layerSpansOf (slot), layer, legatoFlagsOf (snapshot));
}

inline std::vector<std::pair<int, int>> outputNoteList (const CompiledChordSlot& slot, int outputLayerMode)
{
    return PlaybackNotes::outputNoteList (layerSpansOf (slot), outputLayerMode);
}
