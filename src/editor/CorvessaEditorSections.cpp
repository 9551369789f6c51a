// The section row and the section history: the window's section operations.
#include "editor/CorvessaEditor.h"

#include "processor/CorvessaProcessor.h"

SectionHistory::Snapshot CorvessaEditor::captureSectionSnapshot()
{
    SectionHistory::Snapshot snapshot;
    snapshot.sections = processor.getSections();
    snapshot.activeIndex = processor.getSelectedSectionViewIndex();

    // The controls may be ahead of the list: the selected section is what they show.
    if (snapshot.activeIndex >= 0 && snapshot.activeIndex < (int) snapshot.sections.size())
    {
        auto& active = snapshot.sections[(size_t) snapshot.activeIndex];
        auto live = processor.getWorkingSection();
        live.name = active.name;
        live.progression = normaliseProgressionText (live.progression);
        active = std::move (live);
    }

    return snapshot;
}

void CorvessaEditor::applySectionSnapshot (const SectionHistory::Snapshot& snapshot)
{
    const juce::ScopedValueSetter<bool> applying (applyingSectionHistory, true);

    // A typed text still waiting to be applied, or an open draft, belongs to the state being left.
    stopTimer (textApplyTimerId);
    resetChordDraft (false);

    const auto& sections = snapshot.sections;
    const int selected = sections.empty() ? -1 : juce::jlimit (0, (int) sections.size() - 1, snapshot.activeIndex);

    processor.setSections (sections, true);
    processor.setSelectedSectionViewIndex (selected);
    if (selected >= 0)
        processor.setWorkingSection (sections[(size_t) selected]);

    sectionRow.sections = sections;
    sectionRow.selectedIndex = selected;
    sectionRow.repaint();

    syncControlsFromProcessor (selected >= 0);
    updatePianoRollOutput();
}

void CorvessaEditor::commitSectionHistory()
{
    if (! applyingSectionHistory)
        sectionHistory.record (captureSectionSnapshot());
}

void CorvessaEditor::beginSectionHistoryStep()
{
    sectionHistory.setCurrent (captureSectionSnapshot());
}

void CorvessaEditor::syncControlsKeepingHistory (bool useWorkingSection)
{
    const juce::ScopedValueSetter<bool> applying (applyingSectionHistory, true);
    syncControlsFromProcessor (useWorkingSection);
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
