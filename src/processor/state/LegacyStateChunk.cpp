#include "processor/state/LegacyStateChunk.h"

#include "kit/json/JsonReader.h"
#include "processor/state/PortableProject.h"

namespace
{
// The older flag names, read only when the current names they stand for are missing.
void applyOlderFlagNames (const juce::XmlElement& root, PersistentState& record)
{
    if (! root.hasAttribute ("arrangeBassAddFifth") && root.hasAttribute ("arrangeBassNoFifth"))
        record.arrangeBassAddFifth = ! root.getBoolAttribute ("arrangeBassNoFifth");

    const bool hasRoot = root.hasAttribute ("arrangeBodyAddRoot");
    const bool hasFifth = root.hasAttribute ("arrangeBodyAddFifth");

    if ((! hasRoot || ! hasFifth) && root.hasAttribute ("arrangeBodyNoRootFifth"))
    {
        const bool add = ! root.getBoolAttribute ("arrangeBodyNoRootFifth");

        if (! hasRoot)
            record.arrangeBodyAddRoot = add;
        if (! hasFifth)
            record.arrangeBodyAddFifth = add;
    }

    if (! root.hasAttribute ("arrangeShimmerTopNoteEnabled") && ! root.hasAttribute ("arrangeShimmerColorNotesEnabled")
        && root.hasAttribute ("arrangeShimmerColorEnabled"))
    {
        const bool colour = root.getBoolAttribute ("arrangeShimmerColorEnabled");
        const bool extensionsOnly = root.getBoolAttribute ("arrangeShimmerColorExtensionsOnly", false);
        record.arrangeShimmerTopNoteEnabled = colour && ! extensionsOnly;
        record.arrangeShimmerColorNotesEnabled = colour && extensionsOnly;
    }
}
} // namespace

PersistentState readLegacyState (const juce::XmlElement& root)
{
    PersistentState record;

    record.progression = root.getStringAttribute ("progression", {});

    const auto voicing = root.getIntAttribute ("inversionType", record.inversionType);
    record.inversionType = record.bassVoicing = record.bodyVoicing = record.shimmerVoicing = voicing;

    record.bassMotion = root.getIntAttribute ("bassMotionMode", record.bassMotion);
    if (root.hasAttribute ("bassMotion"))
    {
        const auto index = findBassMotionIndex (root.getStringAttribute ("bassMotion"));
        if (index >= 0)
            record.bassMotion = index;
    }

    record.baseOctave = root.getIntAttribute ("baseOctave", record.baseOctave);
    record.defaultDuration = root.getStringAttribute ("defaultDuration", record.defaultDuration);
    record.locked = root.getBoolAttribute ("locked", record.locked);
    record.moodVisible = root.getBoolAttribute ("moodVisible", record.moodVisible);
    record.moodId = root.getIntAttribute ("moodId", record.moodId);
    record.moodKeyId = root.getIntAttribute ("moodKeyId", record.moodKeyId);

    const auto subOctave = root.getBoolAttribute ("subOctaveBass", record.arrangeBassAddOctave);
    record.arrangeBassAddOctave = root.getBoolAttribute ("arrangeBassAddOctave", subOctave);
    record.arrangeBassAddFifth = root.getBoolAttribute ("arrangeBassAddFifth", record.arrangeBassAddFifth);
    record.arrangeBodyAddRoot = root.getBoolAttribute ("arrangeBodyAddRoot", record.arrangeBodyAddRoot);
    record.arrangeBodyAddFifth = root.getBoolAttribute ("arrangeBodyAddFifth", record.arrangeBodyAddFifth);
    record.arrangeBodyWithShimmer = root.getBoolAttribute ("arrangeBodyWithShimmer", record.arrangeBodyWithShimmer);
    record.arrangeShimmerTopNoteEnabled = root.getBoolAttribute ("arrangeShimmerTopNoteEnabled", record.arrangeShimmerTopNoteEnabled);
    record.arrangeShimmerColorNotesEnabled = root.getBoolAttribute ("arrangeShimmerColorNotesEnabled", record.arrangeShimmerColorNotesEnabled);
    applyOlderFlagNames (root, record);

    // Older chunks stored the offsets without a range; the setters clamp any later change.
    record.bassOctave = root.getIntAttribute ("bassOctave", record.bassOctave);
    record.bodyOctave = root.getIntAttribute ("bodyOctave", record.bodyOctave);
    record.shimmerOctave = root.getIntAttribute ("shimmerOctave", record.shimmerOctave);
    record.outputLayerMode = clampOutputLayerMode (root.getIntAttribute ("outputLayerMode", record.outputLayerMode));

    record.moodFifthOfFifth = root.getBoolAttribute ("moodFifthOfFifth", record.moodFifthOfFifth);
    record.moodTritone = root.getBoolAttribute ("moodTritone", record.moodTritone);
    record.moodChromaticMediant = root.getBoolAttribute ("moodChromaticMediant", record.moodChromaticMediant);
    record.moodSlashChords = root.getBoolAttribute ("moodSlashChords", record.moodSlashChords);

    record.currentScaleName = root.getStringAttribute ("currentScaleName", {});
    record.currentRootKey = root.getStringAttribute ("currentRootKey", {});
    record.currentSuggestedBpm = root.getStringAttribute ("currentSuggestedBpm", {});
    record.selectedSectionViewIndex = root.getIntAttribute ("selectedSectionViewIndex", record.selectedSectionViewIndex);

    if (const auto* chain = root.getChildByName ("SectionChain"))
    {
        juce::String ignored;   // an unreadable payload only means an older song without sections
        parseLegacySectionChain (record.Sections, chain->getStringAttribute ("jsonPayload"), ignored);
    }

    // As the current format's reader does: a selection beyond the song would put the section
    // parameter on its Auto-Advance step.
    record.selectedSectionViewIndex = clampSelectedSectionViewIndex (record.selectedSectionViewIndex, (int) record.Sections.size());
    return record;
}

bool parseLegacySectionChain (SectionList& sections, const juce::String& json, juce::String& error)
{
    const auto root = velmar::JsonReader::parse (json);

    if (root.isVoid())
    {
        error = "Invalid JSON syntax.";
        return false;
    }

    // The framework counts an array as an object too.
    if (! root.isObject() || root.isArray())
    {
        error = "Root JSON must be an object.";
        return false;
    }

    auto* object = root.getDynamicObject();

    if (object == nullptr)
    {
        error = "Failed to parse object.";
        return false;
    }

    const auto* items = object->getProperty ("sections").getArray();

    if (items == nullptr)
    {
        error = "Missing or invalid 'sections' array.";
        return false;
    }

    SectionList parsed;
    const auto count = juce::jmin (items->size(), SectionMode::maxSections);
    parsed.reserve ((size_t) count);

    for (int i = 0; i < count; ++i)
    {
        const auto& item = items->getReference (i);

        if (item.getDynamicObject() == nullptr)
        {
            error = "Section array must contain objects.";
            return false;
        }

        SectionMode::SectionData section;

        if (! parsePortableSection (item, section, error))
            return false;

        parsed.push_back (std::move (section));
    }

    sections = std::move (parsed);
    return true;
}
