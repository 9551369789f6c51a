// The window's side of the mood generator panel: its settings kept in the processor's state,
// showing and hiding it, and the generated sections replacing the song.
#include "editor/CorvessaEditor.h"

#include "editor/look/Palette.h"
#include "processor/CorvessaProcessor.h"

#include <tuple>

void CorvessaEditor::onMoodGeneratorClosed()
{
    moodPanel.setVisible (false);
    processor.setMoodVisible (false);
    layoutContent();
}

void CorvessaEditor::onMoodSettingsChanged()
{
    processor.setMoodId (moodPanel.getMoodId());
    processor.setMoodKeyId (moodPanel.getKeyId());
    processor.setMoodFifthOfFifth (moodPanel.isFifthOfFifthEnabled());
    processor.setMoodTritone (moodPanel.isTritoneSubEnabled());
    processor.setMoodChromaticMediant (moodPanel.isChromaticMediantEnabled());
    processor.setMoodSlashChords (moodPanel.isSlashChordsEnabled());
    processor.setMoodBars (moodPanel.getBars());
}

void CorvessaEditor::onMoodSectionsGenerated (const std::vector<SectionMode::SectionData>& sections)
{
    applyMoodSections (sections);
}

void CorvessaEditor::toggleMoodPanel()
{
    if (isSyncFollower())
        return;

    const bool show = ! moodPanel.isVisible();
    moodPanel.setVisible (show);
    processor.setMoodVisible (show);
    layoutContent();
}

void CorvessaEditor::applyMoodSections (const std::vector<SectionMode::SectionData>& sections)
{
    if (isSyncFollower())
        return;

    SectionList song;
    for (const auto& generated : sections)
    {
        if ((int) song.size() >= SectionMode::maxSections)
            break;

        auto section = generated;
        section.name = nextSectionName (song);
        song.push_back (section);
    }

    if (song.empty())
        return;

    // Undo returns to the song as the user last saw it, control changes since the last step included.
    beginSectionHistoryStep();
    putSections (song, 0);
    closeChordEditing();
    syncControlsKeepingHistory (true);
    commitSectionHistory();

    setStatus ("Status: " + juce::String ((int) song.size()) + " mood sections generated", Palette::green);
}

bool CorvessaEditor::restoreMoodPanel()
{
    const bool visibilityChanged = moodPanel.isVisible() != processor.getMoodVisible();
    if (visibilityChanged)
        moodPanel.setVisible (processor.getMoodVisible());

    // Selecting a mood puts its default bar count into the panel.
    const bool moodChanged = moodPanel.getMoodId() != processor.getMoodId();
    if (moodChanged)
        moodPanel.setMoodId (processor.getMoodId());

    if (moodPanel.getKeyId() != processor.getMoodKeyId())
        moodPanel.setKeyId (processor.getMoodKeyId());

    // A project loaded while the window is open brings its own switches; left stale, the next
    // change of any setting would write them back over the project's.
    const std::tuple<bool, bool, void (MoodGeneratorComponent::*) (bool)> switches[] = {
        { moodPanel.isFifthOfFifthEnabled(), processor.getMoodFifthOfFifth(), &MoodGeneratorComponent::setFifthOfFifthEnabled },
        { moodPanel.isTritoneSubEnabled(), processor.getMoodTritone(), &MoodGeneratorComponent::setTritoneSubEnabled },
        { moodPanel.isChromaticMediantEnabled(), processor.getMoodChromaticMediant(), &MoodGeneratorComponent::setChromaticMediantEnabled },
        { moodPanel.isSlashChordsEnabled(), processor.getMoodSlashChords(), &MoodGeneratorComponent::setSlashChordsEnabled },
    };
    for (const auto& [shown, stored, set] : switches)
        if (shown != stored)
            (moodPanel.*set) (stored);

    // A stored count of 0 stands for the mood's default.
    if (const auto bars = processor.getMoodBars(); bars > 0)
    {
        if (moodPanel.getBars() != MoodGeneratorComponent::readBarCount (juce::String (bars)))
            moodPanel.setBars (bars);
    }
    else if (! moodChanged)
    {
        moodPanel.refreshMoodInfo();
    }

    return visibilityChanged;
}
