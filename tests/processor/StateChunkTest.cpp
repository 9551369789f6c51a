// The state chunk the host saves: the tree form of the record, its readers with their clamps
// and older key names, and loading chunks into a live processor.
#include "ProcessorTestSupport.h"

#include "processor/state/StateTree.h"

#include <thread>

namespace
{
using StateChunkTest = ProcessorTest;

juce::ValueTree treeFromXml (const char* xml)
{
    auto element = juce::parseXML (juce::String (xml));
    return element != nullptr ? juce::ValueTree::fromXml (*element) : juce::ValueTree();
}

juce::MemoryBlock chunkOf (const juce::ValueTree& tree)
{
    juce::MemoryBlock chunk;

    if (auto xml = tree.createXml())
        juce::AudioProcessor::copyXmlToBinary (*xml, chunk);

    return chunk;
}

void load (CorvessaProcessor& processor, const juce::MemoryBlock& chunk)
{
    processor.setStateInformation (chunk.getData(), (int) chunk.getSize());
}

juce::MemoryBlock save (CorvessaProcessor& processor)
{
    juce::MemoryBlock chunk;
    processor.getStateInformation (chunk);
    return chunk;
}

juce::ValueTree sectionsTree (int count)
{
    juce::ValueTree chain ("SectionChain");

    for (int i = 0; i < count; ++i)
    {
        juce::ValueTree section ("Section");
        section.setProperty ("name", "S" + juce::String (i + 1), nullptr);
        chain.appendChild (section, nullptr);
    }

    juce::ValueTree sections ("Sections");
    sections.appendChild (chain, nullptr);
    return sections;
}
} // namespace

TEST (StateTree, ReaderAppliesDefaultsClampsAndOlderKeys)
{
    struct Case
    {
        const char* xml;
        std::function<void (const PersistentState&)> check;
    };

    const std::vector<Case> cases = {
        { R"(<PersistentState inversionType="4"/>)", [] (const PersistentState& s)
          {
              EXPECT_EQ (s.bassVoicing, 4);
              EXPECT_EQ (s.bodyVoicing, 4);
              EXPECT_EQ (s.shimmerVoicing, 4);
              EXPECT_EQ (s.inversionType, 4);
          } },
        { R"(<PersistentState inversionType="1" bodyVoicing="5"/>)", [] (const PersistentState& s)
          {
              EXPECT_EQ (s.bassVoicing, 1);
              EXPECT_EQ (s.bodyVoicing, 5);
              EXPECT_EQ (s.inversionType, 5);
          } },
        { R"(<PersistentState subOctaveBass="1"/>)", [] (const PersistentState& s) { EXPECT_TRUE (s.arrangeBassAddOctave); } },
        { R"(<PersistentState subOctaveBass="1" arrangeBassAddOctave="0"/>)", [] (const PersistentState& s) { EXPECT_FALSE (s.arrangeBassAddOctave); } },
        { R"(<PersistentState arrangeBassNoFifth="1"/>)", [] (const PersistentState& s) { EXPECT_FALSE (s.arrangeBassAddFifth); } },
        { R"(<PersistentState arrangeBassNoFifth="0" arrangeBassAddFifth="0"/>)", [] (const PersistentState& s) { EXPECT_FALSE (s.arrangeBassAddFifth); } },
        { R"(<PersistentState arrangeBodyNoRootFifth="0" arrangeBodyAddRoot="0"/>)", [] (const PersistentState& s)
          {
              EXPECT_FALSE (s.arrangeBodyAddRoot);
              EXPECT_TRUE (s.arrangeBodyAddFifth);
          } },
        { R"(<PersistentState arrangeBodyNoRootFifth="1"/>)", [] (const PersistentState& s)
          {
              EXPECT_FALSE (s.arrangeBodyAddRoot);
              EXPECT_FALSE (s.arrangeBodyAddFifth);
          } },
        { R"(<PersistentState arrangeShimmerColorEnabled="1"/>)", [] (const PersistentState& s)
          {
              EXPECT_TRUE (s.arrangeShimmerTopNoteEnabled);
              EXPECT_FALSE (s.arrangeShimmerColorNotesEnabled);
          } },
        { R"(<PersistentState arrangeShimmerColorEnabled="1" arrangeShimmerColorExtensionsOnly="1"/>)", [] (const PersistentState& s)
          {
              EXPECT_FALSE (s.arrangeShimmerTopNoteEnabled);
              EXPECT_TRUE (s.arrangeShimmerColorNotesEnabled);
          } },
        { R"(<PersistentState arrangeShimmerColorEnabled="1" arrangeShimmerColorNotesEnabled="0"/>)", [] (const PersistentState& s)
          {
              EXPECT_FALSE (s.arrangeShimmerTopNoteEnabled);
              EXPECT_FALSE (s.arrangeShimmerColorNotesEnabled);
          } },
        { R"(<PersistentState bassOctave="9" bodyOctave="-6" outputLayerMode="7" selectedArrangementVoiceTab="-1" moodId="99" baseOctave="11"/>)",
          [] (const PersistentState& s)
          {
              EXPECT_EQ (s.bassOctave, 5);
              EXPECT_EQ (s.bodyOctave, -5);
              EXPECT_EQ (s.outputLayerMode, 0);
              EXPECT_EQ (s.selectedArrangementVoiceTab, 1);
              EXPECT_EQ (s.moodId, 99);
              EXPECT_EQ (s.baseOctave, 11);
          } },
        { R"(<PersistentState outputLayerMode="-3"/>)", [] (const PersistentState& s) { EXPECT_EQ (s.outputLayerMode, 0); } },
        { R"(<PersistentState sectionPlaybackMode="advanceSections"/>)", [] (const PersistentState& s) { EXPECT_EQ (s.sectionPlaybackMode, 1); } },
        { R"(<PersistentState sectionPlaybackMode="AdvanceSections"/>)", [] (const PersistentState& s) { EXPECT_EQ (s.sectionPlaybackMode, 0); } },
        { R"(<PersistentState sectionPlaybackMode="1"/>)", [] (const PersistentState& s) { EXPECT_EQ (s.sectionPlaybackMode, 0); } },
        { R"(<PersistentState syncMode="5"/>)", [] (const PersistentState& s) { EXPECT_EQ (s.syncMode, 0); } },
        { R"(<PersistentState syncMode="2"/>)", [] (const PersistentState& s) { EXPECT_EQ (s.syncMode, 2); } },
        { R"(<PersistentState selectedSectionViewIndex="4"/>)", [] (const PersistentState& s)
          {
              EXPECT_EQ (s.selectedSectionViewIndex, -1);
              EXPECT_TRUE (s.Sections.empty());
          } },
        { R"(<PersistentState><Sections><SectionChain>
               <Section name="A" subOctaveBass="1" baseOctave="-2" bassOctave="7"/>
               <Section name="B" subOctave="1" voicing="Jazz" bodyVoicing="Pianist" arrangeBassNoFifth="1"/>
             </SectionChain></Sections></PersistentState>)",
          [] (const PersistentState& s)
          {
              ASSERT_EQ (s.Sections.size(), 2u);
              EXPECT_FALSE (s.Sections[0].arrangeBassAddOctave);   // the record's older key is not a section's
              EXPECT_EQ (s.Sections[0].baseOctave, 0);
              EXPECT_EQ (s.Sections[0].bassOctave, 5);
              EXPECT_TRUE (s.Sections[1].arrangeBassAddOctave);
              EXPECT_EQ (s.Sections[1].bassVoicing, "Jazz");
              EXPECT_EQ (s.Sections[1].bodyVoicing, "Pianist");
              EXPECT_EQ (s.Sections[1].shimmerVoicing, "Jazz");
              EXPECT_EQ (s.Sections[1].voicing, "Pianist");
              EXPECT_FALSE (s.Sections[1].arrangeBassAddFifth);
          } },
        { R"(<PersistentState><PreFollowerState><PersistentState progression="E"/></PreFollowerState></PersistentState>)",
          [] (const PersistentState& s)
          {
              ASSERT_TRUE (s.PreFollowerState.isValid());
              EXPECT_EQ (s.PreFollowerState["progression"].toString(), "E");
          } },
    };

    for (const auto& row : cases)
    {
        SCOPED_TRACE (row.xml);
        const auto tree = treeFromXml (row.xml);
        ASSERT_TRUE (tree.isValid());
        row.check (readPersistentStateTree (tree));
    }
}

TEST (StateTree, KeepsAtMost32SectionsAndClampsTheSelectionToThem)
{
    auto tree = treeFromXml (R"(<PersistentState selectedSectionViewIndex="35"/>)");
    tree.appendChild (sectionsTree (40), nullptr);

    const auto state = readPersistentStateTree (tree);
    EXPECT_EQ (state.Sections.size(), 32u);
    EXPECT_EQ (state.Sections.back().name, "S32");
    EXPECT_EQ (state.selectedSectionViewIndex, 31);
}

TEST (StateTree, WrittenTreeHasTheFixedKeyOrderAndReadsBack)
{
    PersistentState state;
    state.bodyVoicing = 5;
    state.inversionType = 1;
    state.sectionPlaybackMode = 1;
    state.Sections.resize (2);
    state.Sections[0].name = "Intro";
    state.Sections[0].voicing = "None";
    state.Sections[0].bodyVoicing = "Bassist";
    state.Sections[1].name = "Outro";
    state.selectedSectionViewIndex = 1;
    state.PreFollowerState = juce::ValueTree ("PersistentState");

    const auto tree = writePersistentStateTree (state);
    ASSERT_EQ (tree.getNumProperties(), 39);
    EXPECT_EQ (tree.getPropertyName (0).toString(), "progression");
    EXPECT_EQ (tree.getPropertyName (1).toString(), "inversionType");
    EXPECT_EQ (tree.getPropertyName (36).toString(), "sectionPlaybackMode");
    EXPECT_EQ (tree.getPropertyName (38).toString(), "syncInstanceId");
    EXPECT_EQ ((int) tree["inversionType"], 5);   // always written from the body voicing
    EXPECT_EQ (tree["sectionPlaybackMode"].toString(), "advanceSections");
    ASSERT_EQ (tree.getNumChildren(), 2);
    EXPECT_EQ (tree.getChild (0).getType().toString(), "Sections");
    EXPECT_EQ (tree.getChild (1).getType().toString(), "PreFollowerState");

    const auto section = tree.getChild (0).getChild (0).getChild (0);
    EXPECT_EQ (section.getNumProperties(), 24);
    EXPECT_EQ (section["voicing"].toString(), "Bassist");

    // Through XML, as the host stores it, everything comes back as text and reads the same.
    auto xml = tree.createXml();
    const auto back = readPersistentStateTree (juce::ValueTree::fromXml (*xml));
    EXPECT_EQ (back.bodyVoicing, 5);
    EXPECT_EQ (back.inversionType, 5);
    EXPECT_EQ (back.sectionPlaybackMode, 1);
    EXPECT_EQ (back.selectedSectionViewIndex, 1);
    EXPECT_EQ (back.syncInstanceId, state.syncInstanceId);
    ASSERT_EQ (back.Sections.size(), 2u);
    EXPECT_EQ (back.Sections[0].voicing, "Bassist");
    EXPECT_TRUE (back.PreFollowerState.isValid());
    EXPECT_TRUE (writePersistentStateTree (back).isEquivalentTo (tree));
}

TEST_F (StateChunkTest, ChunkIntoASecondInstanceGivesTheSameState)
{
    processor->setSections (makeSections ({ "Verse", "Chorus", "Bridge" }), true);
    processor->setSelectedSectionViewIndex (2);
    processor->setBodyVoicing (4);
    processor->setBassOctave (-3);
    processor->setOutputLayerMode (6);
    processor->setMoodBars (16);
    processor->setSectionPlaybackMode (1);

    CorvessaProcessor second;
    load (second, save (*processor));

    EXPECT_TRUE (writePersistentStateTree (second.getStateCopy()).isEquivalentTo (writePersistentStateTree (processor->getStateCopy())));
    EXPECT_EQ (second.getOutputLayerMode(), 6);
    EXPECT_EQ (second.getSectionCount(), 3);
    EXPECT_TRUE (second.isAutoAdvanceSelected());
}

TEST_F (StateChunkTest, UnreadableChunksInstallTheDefaults)
{
    juce::MemoryBlock garbage;
    garbage.append ("\x01\x02 nothing of ours", 17);

    const struct
    {
        const char* what;
        juce::MemoryBlock chunk;
    } cases[] = {
        { "empty", {} },
        { "garbage", garbage },
        { "a tree without our record", chunkOf (juce::ValueTree ("Foreign")) },
    };

    for (const auto& row : cases)
    {
        SCOPED_TRACE (row.what);
        processor->setSections (makeSections ({ "A", "B" }), false);
        processor->setProgression ("C F");
        processor->setOutputLayerMode (2);

        load (*processor, row.chunk);

        const auto state = processor->getStateCopy();
        EXPECT_TRUE (state.Sections.empty());
        EXPECT_EQ (state.progression, "");
        EXPECT_EQ (processor->getOutputLayerMode(), 0);
        EXPECT_EQ (processor->getSectionCount(), 0);
    }
}

TEST_F (StateChunkTest, DamagedXmlGivesTheDefaultsWithoutReachingTheFrameworksReader)
{
    // Each of these made the framework's XML reader loop forever, overflow the stack (or take
    // time growing with the square of the depth) or read past its buffer.
    auto fixture = [] (const char* name)
    {
        return juce::File (CORVESSA_TEST_DATA_DIR).getChildFile ("damaged-chunks").getChildFile (name).loadFileAsString();
    };

    const auto deep = juce::String::repeatedString ("<CorvessaState>", 50000)
                      + juce::String::repeatedString ("</CorvessaState>", 50000);

    const struct
    {
        const char* what;
        juce::String text;
    } cases[] = {
        { "a processing instruction inside the root", fixture ("processing-instruction.xml") },
        { "an entity and a character reference without digits", fixture ("bad-character-reference.xml") },
        { "50000 nested elements", deep },
    };

    for (const auto& row : cases)
    {
        SCOPED_TRACE (row.what);
        processor->setSections (makeSections ({ "A", "B" }), false);

        juce::MemoryBlock chunk;
        {
            juce::MemoryOutputStream out (chunk, false);
            out.writeInt (0x21324356);   // the framework's binary XML form
            out.writeInt ((int) row.text.getNumBytesAsUTF8());
            out << row.text;
            out.writeByte (0);
        }

        load (*processor, chunk);
        EXPECT_TRUE (processor->getSections().empty());
    }
}

TEST_F (StateChunkTest, SyncFieldsSurviveALoadOnceARoleWasChosen)
{
    auto incoming = processor->getStateCopy();
    incoming.syncInstanceId = "0123456789abcdef0123456789abcdef";
    auto chunk = chunkOf ([&] {
        juce::ValueTree root ("CorvessaState");
        root.appendChild (writePersistentStateTree (incoming), nullptr);
        return root;
    }());

    // Nothing chosen yet: the project brings its own sync identity.
    load (*processor, chunk);
    EXPECT_EQ (processor->getStateCopy().syncInstanceId, "0123456789abcdef0123456789abcdef");

    CorvessaProcessor other;
    const auto liveId = other.getStateCopy().syncInstanceId;
    other.setSyncMode (0);
    load (other, chunk);
    EXPECT_EQ (other.getStateCopy().syncInstanceId, liveId);
}

TEST_F (StateChunkTest, OlderChunkIsMigrated)
{
    const auto chunk = chunkOf (treeFromXml (R"(<Corvessa progression="Am G" inversionType="3" outputLayerMode="9"/>)"));
    load (*processor, chunk);

    const auto state = processor->getStateCopy();
    EXPECT_EQ (state.progression, "Am G");
    EXPECT_EQ (state.bodyVoicing, 3);
    EXPECT_EQ (state.outputLayerMode, 0);
}

TEST_F (StateChunkTest, SavingWhileTheMessageThreadEditsGivesWholeChunks)
{
    // The host may save on its own thread while edits rewrite the tree.
    std::atomic<bool> done { false };
    std::atomic<int> broken { 0 };

    std::thread saver ([&] {
        while (! done.load())
        {
            juce::MemoryBlock chunk;
            processor->getStateInformation (chunk);
            auto xml = juce::AudioProcessor::getXmlFromBinary (chunk.getData(), (int) chunk.getSize());

            if (xml == nullptr || xml->getChildByName ("PersistentState") == nullptr)
                ++broken;
        }
    });

    for (int i = 0; i < 200; ++i)
    {
        processor->setSections (makeSections ({ "A", "B", "C" }), false);
        processor->setProgression ("C G " + juce::String (i));
        processor->setSections ({}, false);
    }

    done = true;
    saver.join();
    EXPECT_EQ (broken.load(), 0);
}
