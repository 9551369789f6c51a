#include "processor/sync/SyncPayload.h"

#include "processor/state/PortableProject.h"
#include "processor/state/SectionPlaybackMode.h"

namespace
{
    const juce::Identifier progressionKey ("progression");
    const juce::Identifier rootKeyKey ("rootKey");
    const juce::Identifier scaleKey ("scale");
    const juce::Identifier suggestedBpmKey ("suggestedBpm");
    const juce::Identifier sectionPlaybackModeKey ("sectionPlaybackMode");
    const juce::Identifier sectionsKey ("sections");
    const juce::Identifier nameKey ("name");

    // Sets a text field from a key of the object when the key is there.
    void readText (const juce::DynamicObject& object, const juce::Identifier& key, juce::String& field)
    {
        if (object.hasProperty (key))
            field = object.getProperty (key).toString();
    }

    bool workingTextsEqual (const PersistentState& a, const PersistentState& b)
    {
        return a.progression == b.progression
            && a.currentRootKey == b.currentRootKey
            && a.currentScaleName == b.currentScaleName
            && a.currentSuggestedBpm == b.currentSuggestedBpm;
    }

    bool sectionsAgreeOnSharedFields (const SectionMode::SectionData& a, const SectionMode::SectionData& b)
    {
        return a.name == b.name
            && a.progression == b.progression
            && a.rootKey == b.rootKey
            && a.scale == b.scale
            && a.suggestedBpm == b.suggestedBpm
            && a.bassVoicing == b.bassVoicing
            && a.bodyVoicing == b.bodyVoicing
            && a.shimmerVoicing == b.shimmerVoicing
            && a.arrangeBassLegato == b.arrangeBassLegato
            && a.arrangeBodyLegato == b.arrangeBodyLegato
            && a.arrangeShimmerLegato == b.arrangeShimmerLegato
            && a.arrangeBassAddOctave == b.arrangeBassAddOctave
            && a.arrangeBassAddFifth == b.arrangeBassAddFifth
            && a.arrangeBodyAddRoot == b.arrangeBodyAddRoot
            && a.arrangeBodyAddFifth == b.arrangeBodyAddFifth
            && a.arrangeBodyWithShimmer == b.arrangeBodyWithShimmer
            && a.arrangeShimmerTopNoteEnabled == b.arrangeShimmerTopNoteEnabled
            && a.arrangeShimmerColorNotesEnabled == b.arrangeShimmerColorNotesEnabled
            && a.bassOctave == b.bassOctave
            && a.bodyOctave == b.bodyOctave
            && a.shimmerOctave == b.shimmerOctave;
    }
} // namespace

juce::var makeSyncPayload (const PersistentState& state)
{
    auto* object = new juce::DynamicObject();
    juce::var payload (object);

    object->setProperty (progressionKey, state.progression);
    object->setProperty (rootKeyKey, state.currentRootKey);
    object->setProperty (scaleKey, state.currentScaleName);
    object->setProperty (suggestedBpmKey, state.currentSuggestedBpm);
    object->setProperty (sectionPlaybackModeKey, state.sectionPlaybackMode == 1 ? PortableProject::advanceSectionsMode
                                                                                : PortableProject::loopSectionMode);

    juce::Array<juce::var> sections;
    sections.ensureStorageAllocated ((int) state.Sections.size());

    for (const auto& section : state.Sections)
    {
        auto entry = sectionToPortableJson (section);

        if (auto* sectionObject = entry.getDynamicObject())
        {
            // setProperty keeps a key in its place and appends a new one.
            sectionObject->setProperty (rootKeyKey, section.rootKey);
            sectionObject->setProperty (scaleKey, section.scale);
            sectionObject->setProperty (suggestedBpmKey, section.suggestedBpm);
        }

        sections.add (entry);
    }

    object->setProperty (sectionsKey, sections);
    return payload;
}

std::optional<PersistentState> mergeLeaderSnapshot (const PersistentState& current,
                                                    const InstanceSync::SharedSnapshot& snapshot,
                                                    const juce::String& syncInstanceId)
{
    const auto* payload = snapshot.payload.getDynamicObject();

    if (payload == nullptr)
        return std::nullopt;

    auto next = current;
    const auto working = makeWorkingSection (current);

    readText (*payload, progressionKey, next.progression);
    readText (*payload, rootKeyKey, next.currentRootKey);
    readText (*payload, scaleKey, next.currentScaleName);
    readText (*payload, suggestedBpmKey, next.currentSuggestedBpm);

    // A missing mode means loop; an unknown one keeps the follower's.
    parseSectionPlaybackMode (payload->getProperty (sectionPlaybackModeKey), next.sectionPlaybackMode);

    if (const auto* entries = payload->getProperty (sectionsKey).getArray())
    {
        SectionList sections;
        const auto limit = juce::jmin (entries->size(), SectionMode::maxSections);

        for (int i = 0; i < limit; ++i)
        {
            const auto& entry = entries->getReference (i);
            const auto* entryObject = entry.getDynamicObject();

            if (entryObject == nullptr)
                continue;

            auto section = (size_t) i < next.Sections.size() ? next.Sections[(size_t) i] : working;

            // A section the lenient reader refuses stays as it started.
            auto read = section;
            juce::String error;

            if (parsePortableSection (entry, read, error))
                section = read;

            readText (*entryObject, nameKey, section.name);
            readText (*entryObject, progressionKey, section.progression);
            readText (*entryObject, rootKeyKey, section.rootKey);
            readText (*entryObject, scaleKey, section.scale);
            readText (*entryObject, suggestedBpmKey, section.suggestedBpm);

            sections.push_back (std::move (section));
        }

        if (! sections.empty())
        {
            next.Sections = std::move (sections);
            next.selectedSectionViewIndex = juce::jlimit (0, (int) next.Sections.size() - 1, snapshot.activeSectionIndex);
            next.applySection (next.Sections[(size_t) next.selectedSectionViewIndex]);
        }
    }

    next.syncMode = (int) InstanceSync::Mode::Follower;
    next.syncInstanceId = syncInstanceId;
    return next;
}

bool syncSectionsAgree (const SectionList& a, const SectionList& b)
{
    if (a.size() != b.size())
        return false;

    for (size_t i = 0; i < a.size(); ++i)
        if (! sectionsAgreeOnSharedFields (a[i], b[i]))
            return false;

    return true;
}

SyncApplyPath chooseSyncApplyPath (const PersistentState& current, const PersistentState& next)
{
    const bool sectionsAgree = syncSectionsAgree (current.Sections, next.Sections);

    if (sectionsAgree
        && workingTextsEqual (current, next)
        && current.selectedSectionViewIndex == next.selectedSectionViewIndex
        && current.sectionPlaybackMode == next.sectionPlaybackMode
        && current.syncMode == next.syncMode
        && current.syncInstanceId == next.syncInstanceId)
        return SyncApplyPath::unchanged;

    const auto selected = next.selectedSectionViewIndex;

    if (sectionsAgree && selected >= 0 && selected < (int) next.Sections.size())
    {
        const auto& section = next.Sections[(size_t) selected];

        if (next.progression == section.progression
            && next.currentRootKey == section.rootKey
            && next.currentScaleName == section.scale
            && next.currentSuggestedBpm == section.suggestedBpm)
            return SyncApplyPath::light;
    }

    return SyncApplyPath::full;
}
