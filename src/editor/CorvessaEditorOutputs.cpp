// The channel-1 layer mix, the Shimmer style and the MIDI clip tiles.
#include "editor/CorvessaEditor.h"

#include "processor/CorvessaProcessor.h"

void CorvessaEditor::updateOutputControls (int, bool)
{
}

void CorvessaEditor::updatePianoRollOutput()
{
}

void CorvessaEditor::updateShimmerControls()
{
}

void CorvessaEditor::updateBodyWithShimmerToggle()
{
}

void CorvessaEditor::updateClipTileTooltips()
{
}

void CorvessaEditor::showClipMenu (juce::Component*)
{
}

void CorvessaEditor::showOutputLayerMenu()
{
}

void CorvessaEditor::mouseDrag (const juce::MouseEvent&)
{
}
