// Every writer of the state changes it through the one edit path, and each runs the effects its
// definition gives, in that order: recompile (R), host parameter push (P), host display update
// (D, only when the count or a name of the sections changed), sync publish (S), external-edit
// counter (E), and the playback requests of the writers that make them.
#include "ProcessorTestProbe.h"
#include "ProcessorTestSupport.h"

#include "processor/sync/InstanceSyncLink.h"
#include "support/SongBuilders.h"
#include "processor/state/StateTree.h"

namespace
{
using E = EditEffect;
constexpr auto R = E::regenerate;
constexpr auto P = E::pushHostParameters;
constexpr auto D = E::updateHostDisplay;
constexpr auto S = E::publishSync;
constexpr auto O = E::countOutsideSongChange;

juce::String describe (const EditEffects& effects)
{
    static const char* const names[] = { "R", "P", "D", "S", "E", "resetPlayback", "rejoinSyncRole", "moveSectionParameter",
                                         "clearPendingJump", "postSelectionJump", "postPlaybackMode", "O" };
    juce::StringArray list;
    for (auto effect : effects)
        list.add (names[(int) effect]);
    return "{" + list.joinIntoString (", ") + "}";
}

using corvessa::test::sectionsNamed;

juce::MemoryBlock chunkOf (const juce::String& xml)
{
    juce::MemoryBlock block;
    if (auto parsed = juce::parseXML (xml))
        juce::AudioProcessor::copyXmlToBinary (*parsed, block);
    return block;
}

void hostSets (CorvessaProcessor& processor, const char* id, float plainValue)
{
    auto* parameter = findParameter (processor, id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (plainValue));
    processor.handleUpdateNowIfNeeded();
}

struct Writer
{
    const char* name;
    std::function<void (CorvessaProcessor&)> prepare;   // before the effects are watched
    std::function<void (CorvessaProcessor&)> write;
    EditEffects expected;
};
} // namespace

TEST (EditPath, EveryWriterRunsItsEffectsInItsOrder)
{
    juce::ScopedJuceInitialiser_GUI juceInitialiser;

    const auto twoSections = [] (CorvessaProcessor& p) { p.setSections (sectionsNamed ({ "A", "B" }), false); };
    const juce::String currentChunk = "<CorvessaState><PersistentState progression=\"Am F\"><Sections><SectionChain>"
                                      "<Section name=\"A\"/><Section name=\"B\"/></SectionChain></Sections></PersistentState></CorvessaState>";
    const juce::String olderChunk = "<Corvessa progression=\"Am F\"><SectionChain jsonPayload=\"{&quot;sections&quot;: "
                                    "[{&quot;name&quot;: &quot;Intro&quot;}]}\"/></Corvessa>";

    const auto portableProject = [] (CorvessaProcessor& p)
    {
        auto project = p.exportPortableProject();
        project.getDynamicObject()->setProperty ("activeSectionIndex", 0);
        auto sections = project["sections"];
        sections[0].getDynamicObject()->setProperty ("name", "Renamed");
        return project;
    };

    const std::vector<Writer> writers {
        { "arrangement flag", {}, [] (auto& p) { p.setArrangeBassAddOctave (true); }, { R } },
        { "layer octave", {}, [] (auto& p) { p.setBassOctave (2); }, { R } },
        { "legato", {}, [] (auto& p) { p.setBassLegato (true); }, { R, P } },
        { "body voicing", {}, [] (auto& p) { p.setBodyVoicing (6); }, { R, P } },
        { "shimmer voicing", {}, [] (auto& p) { p.setShimmerVoicing (4); }, { R, P } },
        { "progression", {}, [] (auto& p) { p.setProgression ("C F"); }, { R, S } },
        { "current scale", {}, [] (auto& p) { p.setCurrentScale ("Dorian", "D", "90 BPM"); }, { S } },
        { "output layer", {}, [] (auto& p) { p.setOutputLayerMode (3); }, { P } },
        { "locked", {}, [] (auto& p) { p.setLocked (true); }, {} },
        { "mood settings", {}, [] (auto& p) { p.setMoodId (4); p.setMoodBars (8); p.setMoodVisible (true); }, {} },
        { "arrangement voice tab", {}, [] (auto& p) { p.setSelectedArrangementVoiceTab (0); }, {} },
        { "sections with new names, recompiled", {}, [] (auto& p) { p.setSections (sectionsNamed ({ "A", "B" }), true); },
          { E::moveSectionParameter, D, E::clearPendingJump, R, S } },
        { "sections with the same names, not recompiled", twoSections,
          [] (auto& p) { auto s = sectionsNamed ({ "A", "B" }); s[0].progression = "Dm"; p.setSections (s, false); },
          { E::moveSectionParameter, E::clearPendingJump, S } },
        { "section playback mode", twoSections, [] (auto& p) { p.setSectionPlaybackMode (1); }, { E::postPlaybackMode, S } },
        { "selected section", twoSections, [] (auto& p) { p.setSelectedSectionViewIndex (1); },
          { E::postSelectionJump, E::moveSectionParameter, S } },
        { "sync mode", {}, [] (auto& p) { p.setSyncMode (0); }, { P } },
        { "working section", {}, [] (auto& p) { p.setWorkingSection (sectionsNamed ({ "X" }).front()); }, { R, P, S } },
        { "replacement", {}, [] (auto& p) { auto s = p.getStateCopy(); s.Sections = sectionsNamed ({ "A" }); p.replaceState (s, false); },
          { E::resetPlayback, E::rejoinSyncRole, P, D, R, S } },
        { "replacement keeping the sync fields", twoSections, [] (auto& p) { p.replaceState (p.getStateCopy(), true); },
          { E::resetPlayback, P, R, S } },
        { "state chunk", {}, [currentChunk] (auto& p) { const auto c = chunkOf (currentChunk); p.setStateInformation (c.getData(), (int) c.getSize()); },
          { E::resetPlayback, E::rejoinSyncRole, P, R, S, O } },
        { "state chunk once a role was chosen", [] (auto& p) { p.setSyncMode (0); },
          [currentChunk] (auto& p) { const auto c = chunkOf (currentChunk); p.setStateInformation (c.getData(), (int) c.getSize()); },
          { E::resetPlayback, P, R, S, O } },
        { "older state chunk", {}, [olderChunk] (auto& p) { const auto c = chunkOf (olderChunk); p.setStateInformation (c.getData(), (int) c.getSize()); },
          { E::resetPlayback, E::rejoinSyncRole, P, D, R, S, O } },
        { "unreadable state chunk", twoSections, [] (auto& p) { p.setStateInformation ("nonsense", 8); },
          { E::resetPlayback, E::rejoinSyncRole, P, D, R, S, O } },
        { "portable project", twoSections, [portableProject] (auto& p) { ASSERT_TRUE (p.applyPortableProject (portableProject (p)).wasOk()); },
          { E::resetPlayback, P, D, R, S, E::countExternalEdit } },
        { "refused portable project", twoSections, [] (auto& p) { EXPECT_TRUE (p.applyPortableProject (juce::var (1)).failed()); }, {} },
        { "host edit of a voicing", {}, [] (auto& p) { hostSets (p, "bodyVoicing", 6.0f); }, { R, P } },
        { "host edit of the output layer", {}, [] (auto& p) { hostSets (p, "outputLayerMode", 4.0f); }, { P } },
        { "host edit of the sync role", {}, [] (auto& p) { hostSets (p, "syncMode", 0.0f); }, { P } },
        { "host edit refused by a follower", [] (auto& p) { p.setSyncMode (2); }, [] (auto& p) { hostSets (p, "bodyLegato", 0.0f); }, { P } },
    };

    for (const auto& writer : writers)
    {
        SCOPED_TRACE (writer.name);
        CorvessaProcessor processor;

        if (writer.prepare)
            writer.prepare (processor);

        EditEffects ran;
        CorvessaProcessorTestProbe::watchEdits (processor, [&ran] (EditEffect e) { ran.push_back (e); });
        writer.write (processor);
        CorvessaProcessorTestProbe::watchEdits (processor, {});

        EXPECT_EQ (describe (ran), describe (writer.expected));
    }

    InstanceSyncLink::makeCoordinatorConfig().syncFile.deleteFile();
}

TEST (EditPath, AFollowerTakesTheLeadersChangesThroughTheEditPath)
{
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    const auto syncFile = InstanceSyncLink::makeCoordinatorConfig().syncFile;
    syncFile.deleteFile();

    CorvessaProcessor leader, follower;
    leader.setSections (sectionsNamed ({ "A", "B", "C" }), true);
    ASSERT_TRUE (leader.setSyncMode (1));
    ASSERT_TRUE (follower.setSyncMode (2));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return follower.getSections().size() == 3; }));

    EditEffects ran;
    CorvessaProcessorTestProbe::watchEdits (follower, [&ran] (EditEffect e) { ran.push_back (e); });

    // Only the selection moved: the light path, without a playback reset or a host push.
    leader.setSelectedSectionViewIndex (2);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return follower.getSelectedSectionViewIndex() == 2; }));
    EXPECT_EQ (describe (ran), describe ({ E::clearPendingJump, E::postSelectionJump, E::moveSectionParameter, R }));

    // A section changed: the full path, a replacement that re-enters the follower role.
    ran.clear();
    auto changed = leader.getSections();
    changed[1].bassVoicing = "Jazz";
    leader.setSections (changed, true);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return follower.getSections()[1].bassVoicing == "Jazz"; }));
    EXPECT_EQ (describe (ran), describe ({ E::resetPlayback, E::rejoinSyncRole, P, R, S, O }));

    CorvessaProcessorTestProbe::watchEdits (follower, {});
    syncFile.deleteFile();
}
