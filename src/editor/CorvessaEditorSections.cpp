// The section row and the section history: the window's section operations.
#include "editor/CorvessaEditor.h"

#include "editor/look/Palette.h"
#include "kit/dialogs/PopupMenuPlacement.h"
#include "processor/CorvessaProcessor.h"

namespace
{
enum SectionMenuItem
{
    renameItem = 1,
    copyItem = 2,
    deleteItem = 3
};
} // namespace

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

    putSections (sections, selected);
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
    sectionHoverLabel.setText (sectionRow.getTooltip(), juce::dontSendNotification);

    const auto selected = sectionRow.selectedIndex;
    const bool valid = selected >= 0 && selected < (int) sectionRow.sections.size();
    sectionNameLabel.setText (valid ? sectionDisplayName (sectionRow.sections[(size_t) selected], selected) : juce::String(),
                              juce::dontSendNotification);
}

void CorvessaEditor::addEmptySection()
{
    if (isSyncFollower())
        return;

    refreshSectionRow (false);
    auto sections = processor.getSections();
    if ((int) sections.size() >= SectionMode::maxSections)
        return;

    SectionMode::SectionData section;
    section.name = nextSectionName (sections);
    sections.push_back (section);
    putSections (sections, (int) sections.size() - 1);
    syncControlsFromProcessor (true);
    setStatus ("Status: Empty section " + section.name + " added", Palette::green);
}

juce::PopupMenu CorvessaEditor::buildSectionMenu (int sectionCount)
{
    juce::PopupMenu menu;
    menu.addItem (renameItem, "Rename section...");
    menu.addItem (copyItem, "Copy section", sectionCount < SectionMode::maxSections);
    menu.addItem (deleteItem, "Delete section...");
    return menu;
}

void CorvessaEditor::showSectionMenu (int index, juce::Component* source, juce::Point<int> screenPosition)
{
    const auto editable = editableSectionsAt (index);
    if (! editable)
        return;

    const auto& sections = *editable;

    auto* target = source != nullptr ? source : this;
    const auto options = velmar::PopupMenuPlacement::withPlacement (
        juce::PopupMenu::Options().withTargetComponent (target).withTargetScreenArea ({ screenPosition.x, screenPosition.y, 1, 1 }));

    buildSectionMenu ((int) sections.size()).showMenuAsync (options, [safeThis = juce::Component::SafePointer<CorvessaEditor> (this), index] (int result)
    {
        if (safeThis != nullptr)
            safeThis->handleSectionMenuResult (index, result);
    });
}

void CorvessaEditor::handleSectionMenuResult (int index, int result)
{
    switch (result)
    {
        case renameItem: openRenameDialog (index); break;
        case copyItem: copySection (index); break;
        case deleteItem: confirmDeleteSection (index); break;
        default: break;
    }
}

void CorvessaEditor::openRenameDialog (int index)
{
    const auto editable = editableSectionsAt (index);
    if (! editable)
        return;

    const auto& sections = *editable;

    renameTarget = SectionTarget::of (sections, index);
    sectionRenameDialog.sectionIndex = index;
    sectionRenameDialog.nameEditor.setText (sections[(size_t) index].name, juce::dontSendNotification);
    sectionRenameDialog.setVisible (true);
    sectionRenameDialog.toFront (true);
    // Focus needs the window on screen, which a hidden window (or one being built) is not.
    if (sectionRenameDialog.nameEditor.isShowing())
        sectionRenameDialog.nameEditor.grabKeyboardFocus();
    sectionRenameDialog.nameEditor.selectAll();
    layoutContent();
}

void CorvessaEditor::focusGained (FocusChangeType)
{
    // The rename panel usually opens from a menu whose own window still holds the focus, so the
    // name field's own grab can come too early: when the window gets the focus back, it would
    // otherwise keep it itself and the typed name would go nowhere.
    if (sectionRenameDialog.isVisible())
        sectionRenameDialog.nameEditor.grabKeyboardFocus();
}

void CorvessaEditor::confirmDeleteSection (int index)
{
    const auto editable = editableSectionsAt (index);
    if (! editable)
        return;

    const auto& sections = *editable;

    confirmationDialog.setTitle ("Delete Section");
    confirmationDialog.message = sections.size() > 1
                                     ? "Delete section \"" + sections[(size_t) index].name + "\"? Its chords and settings will be removed."
                                     : juce::String ("Delete the only section? It will reset to an empty A section.");
    confirmationDialog.confirmButton.setButtonText ("Delete");
    confirmationDialog.onConfirm = [safeThis = juce::Component::SafePointer<CorvessaEditor> (this),
                                    target = SectionTarget::of (sections, index)]
    {
        if (safeThis != nullptr)
            safeThis->deleteTargetSection (target);
    };
    confirmationDialog.setVisible (true);
    confirmationDialog.toFront (true);
    layoutContent();
}

void CorvessaEditor::deleteSection (int index)
{
    if (isSyncFollower())
        return;

    // The step undoes to the song as it was before the deletion.
    beginSectionHistoryStep();

    storeControlsIntoActiveSection();
    auto sections = processor.getSections();
    if (index < 0 || index >= (int) sections.size())
        return;

    const bool onlySection = sections.size() == 1;
    int selected = 0;

    if (onlySection)
    {
        auto only = processor.getWorkingSection();
        only.name = "A";
        only.progression = {};
        sections = { only };
    }
    else
    {
        sections.erase (sections.begin() + index);
        selected = std::min (index, (int) sections.size() - 1);
    }

    putSections (sections, selected);
    syncControlsKeepingHistory (true);
    commitSectionHistory();

    setStatus (onlySection ? "Status: Section reset to A" : "Status: Section deleted", Palette::libraryGreen);
    layoutContent();
}

void CorvessaEditor::copySection (int index)
{
    if (isSyncFollower())
        return;

    storeControlsIntoActiveSection();
    auto sections = processor.getSections();
    if (index < 0 || index >= (int) sections.size() || (int) sections.size() >= SectionMode::maxSections)
        return;

    const auto copy = sections[(size_t) index];
    sections.push_back (copy);
    putSections (sections, (int) sections.size() - 1);
    syncControlsFromProcessor (true);

    setStatus ("Status: Section copied to " + copy.name, Palette::libraryGreen);
    layoutContent();
}

void CorvessaEditor::renameSection (int index, const juce::String& name)
{
    if (isSyncFollower())
        return;

    const auto trimmed = name.trim();
    if (trimmed.isEmpty())
    {
        setStatus ("Status: Section name required", Palette::libraryOrange);
        return;
    }

    auto sections = processor.getSections();
    if (index < 0 || index >= (int) sections.size())
        return;

    sections[(size_t) index].name = trimmed;
    const auto selected = processor.getSelectedSectionViewIndex();
    processor.setSections (sections, true);
    processor.setSelectedSectionViewIndex (selected);
    refreshSectionRow (false);

    setStatus ("Status: Section renamed", Palette::libraryGreen);
    layoutContent();
}

std::optional<SectionList> CorvessaEditor::editableSectionsAt (int index)
{
    if (isSyncFollower())
        return std::nullopt;

    auto sections = processor.getSections();
    if (index < 0 || index >= (int) sections.size())
        return std::nullopt;

    return sections;
}

void CorvessaEditor::putSections (const SectionList& sections, int selected)
{
    processor.setSections (sections, true);
    processor.setSelectedSectionViewIndex (selected);
    if (selected >= 0 && selected < (int) sections.size())
        processor.setWorkingSection (sections[(size_t) selected]);

    sectionRow.sections = sections;
    sectionRow.selectedIndex = selected;
    sectionRow.repaint();
}

//==== actions of dialogs opened for one section ======================================================

CorvessaEditor::SectionTarget CorvessaEditor::SectionTarget::of (const SectionList& sections, int index)
{
    SectionTarget target;
    target.index = index;
    if (index >= 0 && index < (int) sections.size())
    {
        target.name = sections[(size_t) index].name;
        target.progression = sections[(size_t) index].progression;
    }
    return target;
}

bool CorvessaEditor::SectionTarget::matches (const SectionList& sections) const
{
    return index >= 0 && index < (int) sections.size()
        && sections[(size_t) index].name == name && sections[(size_t) index].progression == progression;
}

void CorvessaEditor::renameTargetSection (int index, const juce::String& name)
{
    if (isSyncFollower())
        return;

    if (index != renameTarget.index || ! renameTarget.matches (processor.getSections()))
    {
        setStatus ("Status: Section changed elsewhere; not renamed", Palette::yellow);
        return;
    }

    renameSection (index, name);
}

void CorvessaEditor::deleteTargetSection (const SectionTarget& target)
{
    if (isSyncFollower())
        return;

    if (! target.matches (processor.getSections()))
    {
        setStatus ("Status: Section changed elsewhere; not deleted", Palette::yellow);
        return;
    }

    deleteSection (target.index);
}
