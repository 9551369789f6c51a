// The window's side of the project library, the chord-preset overlay and the support snapshot.
#include "editor/CorvessaEditor.h"

#include "processor/CorvessaProcessor.h"

void CorvessaEditor::applyChordPreset (const ChordPreset&)
{
}

void CorvessaEditor::importSectionPalette (const std::vector<ChordPreset>&)
{
}

void CorvessaEditor::onProjectSave (const juce::String&, const juce::String&)
{
}

void CorvessaEditor::onProjectLoad (const juce::File&)
{
}

void CorvessaEditor::onProjectDelete (const juce::File&)
{
}

void CorvessaEditor::onOpenProjectsFolder()
{
}

juce::String CorvessaEditor::onSupportSnapshot()
{
    return {};
}
