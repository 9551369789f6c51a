// The window's side of the mood generator panel.
#include "editor/CorvessaEditor.h"

#include "processor/CorvessaProcessor.h"

void CorvessaEditor::onMoodGeneratorClosed()
{
}

void CorvessaEditor::onMoodSettingsChanged()
{
}

void CorvessaEditor::onMoodSectionsGenerated (const std::vector<SectionMode::SectionData>&)
{
}
