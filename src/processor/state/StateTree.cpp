#include "processor/state/StateTree.h"

#include "processor/sync/InstanceSyncLink.h"
#include "processor/state/SectionPlaybackMode.h"

namespace
{
constexpr int maxStoredSections = 32;

// Reads properties of one tree with the value already in the record as the default. Values
// that came back from XML are texts; the var's own conversions turn them into numbers and flags.
struct PropertyReader
{
    const juce::ValueTree& tree;

    void text (const char* key, juce::String& field) const  { field = tree.getProperty (key, field).toString(); }
    void number (const char* key, int& field) const         { field = (int) tree.getProperty (key, field); }
    void flag (const char* key, bool& field) const          { field = (bool) tree.getProperty (key, field); }
    bool has (const char* key) const                        { return tree.hasProperty (key); }
    bool flagOr (const char* key, bool fallback) const      { return (bool) tree.getProperty (key, fallback); }
};

// Flags that were once stored under other names, for both the record and a section. Each rule
// applies only when the current keys it stands for are missing.
void applyOlderFlagKeys (const PropertyReader& in, bool& bassAddFifth, bool& bodyAddRoot, bool& bodyAddFifth,
                         bool& shimmerTopNote, bool& shimmerColorNotes)
{
    if (! in.has ("arrangeBassAddFifth") && in.has ("arrangeBassNoFifth"))
        bassAddFifth = ! in.flagOr ("arrangeBassNoFifth", false);

    const bool hasRoot = in.has ("arrangeBodyAddRoot");
    const bool hasFifth = in.has ("arrangeBodyAddFifth");

    if ((! hasRoot || ! hasFifth) && in.has ("arrangeBodyNoRootFifth"))
    {
        const bool add = ! in.flagOr ("arrangeBodyNoRootFifth", false);

        if (! hasRoot)
            bodyAddRoot = add;

        if (! hasFifth)
            bodyAddFifth = add;
    }

    if (! in.has ("arrangeShimmerTopNoteEnabled") && ! in.has ("arrangeShimmerColorNotesEnabled")
        && in.has ("arrangeShimmerColorEnabled"))
    {
        const bool colour = in.flagOr ("arrangeShimmerColorEnabled", false);
        const bool extensionsOnly = in.flagOr ("arrangeShimmerColorExtensionsOnly", false);
        shimmerTopNote = colour && ! extensionsOnly;
        shimmerColorNotes = colour && extensionsOnly;
    }
}

// The arrangement switches and layer octaves, which the record and a section store under the
// same keys and field names.
template <typename Record>
void writeArrangementSwitches (juce::ValueTree& tree, const Record& r)
{
    tree.setProperty ("arrangeBassAddOctave", r.arrangeBassAddOctave, nullptr);
    tree.setProperty ("arrangeBassAddFifth", r.arrangeBassAddFifth, nullptr);
    tree.setProperty ("arrangeBodyAddRoot", r.arrangeBodyAddRoot, nullptr);
    tree.setProperty ("arrangeBodyAddFifth", r.arrangeBodyAddFifth, nullptr);
    tree.setProperty ("arrangeBodyWithShimmer", r.arrangeBodyWithShimmer, nullptr);
    tree.setProperty ("arrangeShimmerTopNoteEnabled", r.arrangeShimmerTopNoteEnabled, nullptr);
    tree.setProperty ("arrangeShimmerColorNotesEnabled", r.arrangeShimmerColorNotesEnabled, nullptr);
    tree.setProperty ("bassOctave", r.bassOctave, nullptr);
    tree.setProperty ("bodyOctave", r.bodyOctave, nullptr);
    tree.setProperty ("shimmerOctave", r.shimmerOctave, nullptr);
}

// Reads them back, older flag keys included, with the octaves clamped to their range.
template <typename Record>
void readArrangementSwitches (const PropertyReader& in, Record& r)
{
    in.flag ("arrangeBassAddOctave", r.arrangeBassAddOctave);
    in.flag ("arrangeBassAddFifth", r.arrangeBassAddFifth);
    in.flag ("arrangeBodyAddRoot", r.arrangeBodyAddRoot);
    in.flag ("arrangeBodyAddFifth", r.arrangeBodyAddFifth);
    in.flag ("arrangeBodyWithShimmer", r.arrangeBodyWithShimmer);
    in.flag ("arrangeShimmerTopNoteEnabled", r.arrangeShimmerTopNoteEnabled);
    in.flag ("arrangeShimmerColorNotesEnabled", r.arrangeShimmerColorNotesEnabled);
    applyOlderFlagKeys (in, r.arrangeBassAddFifth, r.arrangeBodyAddRoot, r.arrangeBodyAddFifth,
                        r.arrangeShimmerTopNoteEnabled, r.arrangeShimmerColorNotesEnabled);

    in.number ("bassOctave", r.bassOctave);
    in.number ("bodyOctave", r.bodyOctave);
    in.number ("shimmerOctave", r.shimmerOctave);
    r.bassOctave = clampLayerOctaveOffset (r.bassOctave);
    r.bodyOctave = clampLayerOctaveOffset (r.bodyOctave);
    r.shimmerOctave = clampLayerOctaveOffset (r.shimmerOctave);
}
} // namespace

//==============================================================================
juce::ValueTree sectionToTree (const SectionMode::SectionData& s)
{
    juce::ValueTree tree ("Section");
    tree.setProperty ("name", s.name, nullptr);
    tree.setProperty ("progression", s.progression, nullptr);
    tree.setProperty ("voicing", s.bodyVoicing, nullptr);
    tree.setProperty ("bassVoicing", s.bassVoicing, nullptr);
    tree.setProperty ("bodyVoicing", s.bodyVoicing, nullptr);
    tree.setProperty ("shimmerVoicing", s.shimmerVoicing, nullptr);
    tree.setProperty ("bassMotion", s.bassMotion, nullptr);
    tree.setProperty ("baseOctave", s.baseOctave, nullptr);
    tree.setProperty ("arrangeBassLegato", s.arrangeBassLegato, nullptr);
    tree.setProperty ("arrangeBodyLegato", s.arrangeBodyLegato, nullptr);
    tree.setProperty ("arrangeShimmerLegato", s.arrangeShimmerLegato, nullptr);
    writeArrangementSwitches (tree, s);
    tree.setProperty ("scale", s.scale, nullptr);
    tree.setProperty ("rootKey", s.rootKey, nullptr);
    tree.setProperty ("suggestedBpm", s.suggestedBpm, nullptr);
    return tree;
}

SectionMode::SectionData readSectionTree (const juce::ValueTree& tree)
{
    SectionMode::SectionData s;

    if (! tree.isValid())
        return s;

    const PropertyReader in { tree };
    in.text ("name", s.name);
    in.text ("progression", s.progression);
    in.text ("voicing", s.voicing);
    s.bassVoicing = s.bodyVoicing = s.shimmerVoicing = s.voicing;
    in.text ("bassVoicing", s.bassVoicing);
    in.text ("bodyVoicing", s.bodyVoicing);
    in.text ("shimmerVoicing", s.shimmerVoicing);
    s.voicing = s.bodyVoicing;
    in.text ("bassMotion", s.bassMotion);
    in.number ("baseOctave", s.baseOctave);
    s.baseOctave = clampSectionBaseOctave (s.baseOctave);
    in.flag ("arrangeBassLegato", s.arrangeBassLegato);
    in.flag ("arrangeBodyLegato", s.arrangeBodyLegato);
    in.flag ("arrangeShimmerLegato", s.arrangeShimmerLegato);
    s.arrangeBassAddOctave = in.flagOr ("subOctave", s.arrangeBassAddOctave);
    readArrangementSwitches (in, s);
    in.text ("scale", s.scale);
    in.text ("rootKey", s.rootKey);
    in.text ("suggestedBpm", s.suggestedBpm);
    return s;
}

//==============================================================================
juce::ValueTree writePersistentStateTree (const PersistentState& r)
{
    juce::ValueTree tree ("PersistentState");
    tree.setProperty ("progression", r.progression, nullptr);
    tree.setProperty ("inversionType", r.bodyVoicing, nullptr);
    tree.setProperty ("bassVoicing", r.bassVoicing, nullptr);
    tree.setProperty ("bodyVoicing", r.bodyVoicing, nullptr);
    tree.setProperty ("shimmerVoicing", r.shimmerVoicing, nullptr);
    tree.setProperty ("bassMotion", r.bassMotion, nullptr);
    tree.setProperty ("baseOctave", r.baseOctave, nullptr);
    tree.setProperty ("defaultDuration", r.defaultDuration, nullptr);
    tree.setProperty ("locked", r.locked, nullptr);
    writeArrangementSwitches (tree, r);
    tree.setProperty ("outputLayerMode", r.outputLayerMode, nullptr);
    tree.setProperty ("selectedArrangementVoiceTab", r.selectedArrangementVoiceTab, nullptr);
    tree.setProperty ("bassLegato", r.bassLegato, nullptr);
    tree.setProperty ("bodyLegato", r.bodyLegato, nullptr);
    tree.setProperty ("shimmerLegato", r.shimmerLegato, nullptr);
    tree.setProperty ("moodVisible", r.moodVisible, nullptr);
    tree.setProperty ("moodId", r.moodId, nullptr);
    tree.setProperty ("moodKeyId", r.moodKeyId, nullptr);
    tree.setProperty ("moodFifthOfFifth", r.moodFifthOfFifth, nullptr);
    tree.setProperty ("moodTritone", r.moodTritone, nullptr);
    tree.setProperty ("moodChromaticMediant", r.moodChromaticMediant, nullptr);
    tree.setProperty ("moodSlashChords", r.moodSlashChords, nullptr);
    tree.setProperty ("moodBars", r.moodBars, nullptr);
    tree.setProperty ("currentScaleName", r.currentScaleName, nullptr);
    tree.setProperty ("currentRootKey", r.currentRootKey, nullptr);
    tree.setProperty ("currentSuggestedBpm", r.currentSuggestedBpm, nullptr);
    tree.setProperty ("selectedSectionViewIndex", r.selectedSectionViewIndex, nullptr);
    tree.setProperty ("sectionPlaybackMode", juce::String (r.sectionPlaybackMode == 1 ? "advanceSections" : "loopSection"), nullptr);
    tree.setProperty ("syncMode", r.syncMode, nullptr);
    tree.setProperty ("syncInstanceId", r.syncInstanceId, nullptr);

    juce::ValueTree sections ("Sections");
    juce::ValueTree chain ("SectionChain");

    for (const auto& section : r.Sections)
        chain.appendChild (sectionToTree (section), nullptr);

    sections.appendChild (chain, nullptr);
    tree.appendChild (sections, nullptr);

    if (r.PreFollowerState.isValid())
    {
        juce::ValueTree saved ("PreFollowerState");
        saved.appendChild (r.PreFollowerState.createCopy(), nullptr);
        tree.appendChild (saved, nullptr);
    }

    return tree;
}

PersistentState readPersistentStateTree (const juce::ValueTree& tree)
{
    PersistentState r;

    if (! tree.isValid())
        return r;

    const PropertyReader in { tree };
    in.text ("progression", r.progression);
    in.number ("inversionType", r.inversionType);
    r.bassVoicing = r.bodyVoicing = r.shimmerVoicing = r.inversionType;
    in.number ("bassVoicing", r.bassVoicing);
    in.number ("bodyVoicing", r.bodyVoicing);
    in.number ("shimmerVoicing", r.shimmerVoicing);
    r.inversionType = r.bodyVoicing;
    in.number ("bassMotion", r.bassMotion);
    in.number ("baseOctave", r.baseOctave);
    in.text ("defaultDuration", r.defaultDuration);
    in.flag ("locked", r.locked);

    r.arrangeBassAddOctave = in.flagOr ("subOctaveBass", r.arrangeBassAddOctave);
    readArrangementSwitches (in, r);
    in.number ("outputLayerMode", r.outputLayerMode);
    r.outputLayerMode = clampOutputLayerMode (r.outputLayerMode);
    in.number ("selectedArrangementVoiceTab", r.selectedArrangementVoiceTab);
    r.selectedArrangementVoiceTab = clampArrangementVoiceTab (r.selectedArrangementVoiceTab);
    in.flag ("bassLegato", r.bassLegato);
    in.flag ("bodyLegato", r.bodyLegato);
    in.flag ("shimmerLegato", r.shimmerLegato);
    in.flag ("moodVisible", r.moodVisible);
    in.number ("moodId", r.moodId);
    in.number ("moodKeyId", r.moodKeyId);
    in.flag ("moodFifthOfFifth", r.moodFifthOfFifth);
    in.flag ("moodTritone", r.moodTritone);
    in.flag ("moodChromaticMediant", r.moodChromaticMediant);
    in.flag ("moodSlashChords", r.moodSlashChords);
    in.number ("moodBars", r.moodBars);
    in.text ("currentScaleName", r.currentScaleName);
    in.text ("currentRootKey", r.currentRootKey);
    in.text ("currentSuggestedBpm", r.currentSuggestedBpm);
    in.number ("selectedSectionViewIndex", r.selectedSectionViewIndex);
    parseSectionPlaybackMode (tree.getProperty ("sectionPlaybackMode"), r.sectionPlaybackMode);
    r.syncMode = (int) InstanceSync::toMode ((int) tree.getProperty ("syncMode", r.syncMode));
    in.text ("syncInstanceId", r.syncInstanceId);

    const auto sections = tree.getChildWithName ("Sections");

    if (sections.isValid() && sections.getNumChildren() > 0)
    {
        const auto chain = sections.getChild (0);

        for (int i = 0; i < chain.getNumChildren() && i < maxStoredSections; ++i)
            r.Sections.push_back (readSectionTree (chain.getChild (i)));
    }

    const auto saved = tree.getChildWithName ("PreFollowerState");

    if (saved.isValid() && saved.getNumChildren() > 0)
        r.PreFollowerState = saved.getChild (0).createCopy();

    r.selectedSectionViewIndex = clampSelectedSectionViewIndex (r.selectedSectionViewIndex, (int) r.Sections.size());
    return r;
}
