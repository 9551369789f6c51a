// The section row and the section history: the window's section operations.
#include "editor/CorvessaEditor.h"

#include "processor/CorvessaProcessor.h"

SectionHistory::Snapshot CorvessaEditor::captureSectionSnapshot()
{
    return {};
}

void CorvessaEditor::applySectionSnapshot (const SectionHistory::Snapshot&)
{
}

void CorvessaEditor::commitSectionHistory()
{
}

void CorvessaEditor::refreshSectionRow (bool applyWorking)
{
    auto sections = processor.getSections();
    auto selected = processor.getSelectedSectionViewIndex();

    if (sections.empty())
    {
        auto only = processor.getWorkingSection();
        only.name = "A";
        only.progression = {};
        sections = { only };
        processor.setSections (sections, true);
        processor.setSelectedSectionViewIndex (0);
        selected = 0;
    }
    else if (selected < 0 || selected >= (int) sections.size())
    {
        processor.setSelectedSectionViewIndex (0);
        selected = 0;
    }

    sectionRow.sections = sections;
    sectionRow.repaint();
    if (sectionRow.selectedIndex != selected)
    {
        sectionRow.selectedIndex = selected;
        sectionRow.repaint();
    }
    updateSectionLabels();

    if (applyWorking)
        processor.setWorkingSection (sections[(size_t) selected]);
}

void CorvessaEditor::storeControlsIntoActiveSection()
{
    refreshSectionRow (false);

    auto sections = processor.getSections();
    const int active = sectionRow.selectedIndex;
    if (active < 0 || active >= (int) sections.size())
        return;

    const auto name = sections[(size_t) active].name;
    sections[(size_t) active] = processor.getWorkingSection();
    sections[(size_t) active].name = name;
    processor.setSections (sections, true);

    sectionRow.sections = sections;
    sectionRow.repaint();
    updateSectionLabels();
}

void CorvessaEditor::updateSectionLabels()
{
}

void CorvessaEditor::addEmptySection()
{
}

void CorvessaEditor::showSectionMenu (int, juce::Component*, juce::Point<int>)
{
}

void CorvessaEditor::renameSection (int, const juce::String&)
{
}
