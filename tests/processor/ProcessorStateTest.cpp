// The locked state of the processor: what each setter stores, how it clamps, and which of its
// effects (recompile, host parameter push) it sets in motion.
#include "ProcessorTestSupport.h"

namespace
{
// Records what the processor tells the host about its parameters.
struct HostDisplayListener : juce::AudioProcessorListener
{
    int parameterInfoChanges = 0;

    void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override {}
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails& details) override
    {
        if (details.parameterInfoChanged)
            ++parameterInfoChanges;
    }
};

using StateTest = ProcessorTest;
} // namespace

TEST_F (StateTest, SettersClampStoreAndRecompileOnlyWhatTheNotesDependOn)
{
    struct Case
    {
        const char* what;
        std::function<void (CorvessaProcessor&)> set;
        std::function<int (const CorvessaProcessor&)> read;
        int expected;
        bool recompiles;
    };

    const std::vector<Case> cases = {
        { "bass octave above the range", [] (auto& p) { p.setBassOctave (9); },  [] (auto& p) { return p.getBassOctave(); }, 5, true },
        { "body octave below the range", [] (auto& p) { p.setBodyOctave (-7); }, [] (auto& p) { return p.getBodyOctave(); }, -5, true },
        { "shimmer octave in range",     [] (auto& p) { p.setShimmerOctave (-3); }, [] (auto& p) { return p.getShimmerOctave(); }, -3, true },
        { "arrangement flag",            [] (auto& p) { p.setArrangeBodyWithShimmer (true); }, [] (auto& p) { return (int) p.getArrangeBodyWithShimmer(); }, 1, true },
        { "legato flag",                 [] (auto& p) { p.setBassLegato (true); }, [] (auto& p) { return (int) p.getBassLegato(); }, 1, true },
        { "shimmer voicing",             [] (auto& p) { p.setShimmerVoicing (5); }, [] (auto& p) { return p.getShimmerVoicing(); }, 5, true },
        { "output layer above 6",        [] (auto& p) { p.setOutputLayerMode (7); }, [] (auto& p) { return p.getOutputLayerMode(); }, 0, false },
        { "output layer negative",       [] (auto& p) { p.setOutputLayerMode (-1); }, [] (auto& p) { return p.getOutputLayerMode(); }, 0, false },
        { "output layer in range",       [] (auto& p) { p.setOutputLayerMode (5); }, [] (auto& p) { return p.getOutputLayerMode(); }, 5, false },
        { "voice tab above 2",           [] (auto& p) { p.setSelectedArrangementVoiceTab (5); }, [] (auto& p) { return p.getSelectedArrangementVoiceTab(); }, 1, false },
        { "mood id without a range",     [] (auto& p) { p.setMoodId (-40); }, [] (auto& p) { return p.getMoodId(); }, -40, false },
        { "scale texts",                 [] (auto& p) { p.setCurrentScale ("Dorian", "D", "90 BPM"); }, [] (auto& p) { return (int) (p.getCurrentScaleName() == "Dorian" && p.getCurrentRootKey() == "D"); }, 1, false },
    };

    for (const auto& row : cases)
    {
        SCOPED_TRACE (row.what);
        const auto generationBefore = processor->getGeneration();
        row.set (*processor);
        EXPECT_EQ (row.read (*processor), row.expected);
        EXPECT_EQ (processor->getGeneration() != generationBefore, row.recompiles);
    }
}

TEST_F (StateTest, BodyVoicingMovesTheInversionTypeAndTheHostParameter)
{
    processor->setBodyVoicing (6);

    const auto state = processor->getStateCopy();
    EXPECT_EQ (state.bodyVoicing, 6);
    EXPECT_EQ (state.inversionType, 6);
    EXPECT_EQ (parameter ("bodyVoicing")->getCurrentValueAsText(), "Jazz");
    // The push set the host parameter without hearing its own change back as a host edit.
    EXPECT_FALSE (processor->isUpdatePending());
}

TEST_F (StateTest, OutputLayerReachesTheAudioSideAndTheHostWithoutARecompile)
{
    const auto generationBefore = processor->getGeneration();
    processor->setOutputLayerMode (3);

    EXPECT_EQ (processor->getOutputLayerMode(), 3);
    EXPECT_EQ (processor->getStateCopy().outputLayerMode, 3);
    EXPECT_EQ (parameter ("outputLayerMode")->getCurrentValueAsText(), "Shimmer");
    EXPECT_EQ (processor->getGeneration(), generationBefore);
}

TEST_F (StateTest, SelectionIsClampedToTheSections)
{
    processor->setSections (makeSections ({ "A", "B", "C" }), false);

    const struct
    {
        int requested, stored;
    } cases[] = { { 10, 2 }, { -4, -1 }, { 1, 1 }, { -1, -1 } };

    for (const auto& row : cases)
    {
        processor->setSelectedSectionViewIndex (row.requested);
        EXPECT_EQ (processor->getSelectedSectionViewIndex(), row.stored) << row.requested;
    }

    // Fewer sections clamp a stored selection; with none it reads -1 whatever is stored.
    processor->setSelectedSectionViewIndex (2);
    processor->setSections (makeSections ({ "A" }), false);
    EXPECT_EQ (processor->getSelectedSectionViewIndex(), 0);
    processor->setSections ({}, false);
    EXPECT_EQ (processor->getSelectedSectionViewIndex(), -1);
}

TEST_F (StateTest, HostIsToldOnlyWhenSectionNamesOrTheirCountChange)
{
    HostDisplayListener listener;
    processor->addListener (&listener);

    processor->setSections (makeSections ({ "Verse", "Chorus" }), true);
    EXPECT_EQ (listener.parameterInfoChanges, 1);

    auto sameNames = makeSections ({ "Verse", "Chorus" });
    sameNames[1].progression = "F G Am";
    const auto generationBefore = processor->getGeneration();
    processor->setSections (sameNames, true);
    EXPECT_EQ (listener.parameterInfoChanges, 1);
    EXPECT_GT (processor->getGeneration(), generationBefore);

    processor->setSections (makeSections ({ "Verse", "chorus" }), false);
    EXPECT_EQ (listener.parameterInfoChanges, 2);

    processor->removeListener (&listener);
}

TEST_F (StateTest, SectionCountIsReadableWithoutTheLock)
{
    EXPECT_EQ (processor->getSectionCount(), 0);
    processor->setSections (makeSections ({ "A", "B", "C" }), false);
    EXPECT_EQ (processor->getSectionCount(), 3);

    auto replacement = processor->getStateCopy();
    replacement.Sections.resize (1);
    processor->replaceState (replacement, true);
    EXPECT_EQ (processor->getSectionCount(), 1);
}

TEST_F (StateTest, WorkingSectionIsCopiedIntoTheWorkingFields)
{
    SectionMode::SectionData section;
    section.progression = "Am F C G";
    section.bodyVoicing = "jazz";
    section.shimmerVoicing = "no such style";
    section.bassMotion = "MOVING";
    section.baseOctave = 12;
    section.bassOctave = 9;
    section.arrangeBassLegato = true;

    processor->setWorkingSection (section);

    const auto state = processor->getStateCopy();
    EXPECT_EQ (state.progression, "Am F C G");
    EXPECT_EQ (state.bodyVoicing, 6);
    EXPECT_EQ (state.inversionType, 6);
    EXPECT_EQ (state.shimmerVoicing, 2);
    EXPECT_EQ (state.bassMotion, 2);
    EXPECT_EQ (state.baseOctave, 8);
    EXPECT_EQ (state.bassOctave, 5);
    EXPECT_TRUE (state.bassLegato);
    EXPECT_EQ (parameter ("bassLegato")->getValue(), 1.0f);
    EXPECT_EQ (processor->getWorkingSection().progression, "Am F C G");
}

TEST_F (StateTest, ReplacingTheStateKeepsTheLiveSyncFieldsWhenAsked)
{
    const auto liveId = processor->getStateCopy().syncInstanceId;

    auto incoming = processor->getStateCopy();
    incoming.syncInstanceId = "ffffffffffffffffffffffffffffffff";
    incoming.outputLayerMode = 6;
    incoming.Sections = makeSections ({ "X", "Y" });
    incoming.selectedSectionViewIndex = 1;

    processor->replaceState (incoming, true);

    const auto state = processor->getStateCopy();
    EXPECT_EQ (state.syncInstanceId, liveId);
    EXPECT_EQ (state.Sections.size(), 2u);
    EXPECT_EQ (processor->getOutputLayerMode(), 6);
    EXPECT_EQ (parameter ("outputLayerMode")->getCurrentValueAsText(), "Body + Shimmer");

    processor->replaceState (incoming, false);
    EXPECT_EQ (processor->getStateCopy().syncInstanceId, "ffffffffffffffffffffffffffffffff");
}

TEST_F (StateTest, DescriptionForTheBridge)
{
    auto description = processor->describeForMcp();
    EXPECT_EQ (description.product, "Corvessa");
    EXPECT_EQ (description.pluginVersion, CORVESSA_VERSION);
    EXPECT_EQ (description.sectionCount, 0);
    EXPECT_EQ (description.activeSectionName, "");
    EXPECT_TRUE (description.writable);
    EXPECT_EQ (description.readOnlyReason, "");
    EXPECT_EQ (description.displayName, "");

    processor->setSections (makeSections ({ "Intro", "Verse" }), false);
    processor->setSelectedSectionViewIndex (1);
    description = processor->describeForMcp();
    EXPECT_EQ (description.sectionCount, 2);
    EXPECT_EQ (description.activeSectionName, "Verse");

    processor->setSelectedSectionViewIndex (-1);
    EXPECT_EQ (processor->describeForMcp().activeSectionName, "");
}

TEST_F (StateTest, HasAnEditorShowingTheBridgeId)
{
    EXPECT_TRUE (processor->hasEditor());
    EXPECT_FALSE (processor->getMcpInstanceId().isEmpty());

    std::unique_ptr<juce::AudioProcessorEditor> editor (processor->createEditor());
    ASSERT_NE (editor, nullptr);
    processor->editorBeingDeleted (editor.get());
}
