#include "processor/CorvessaProcessor.h"

#include <gtest/gtest.h>

namespace
{
juce::MemoryBlock legacyChunk()
{
    const auto xml = juce::parseXML (juce::File (CORVESSA_TEST_DATA_DIR).getChildFile ("legacy-corvessa-chunk.xml"));
    EXPECT_NE (xml, nullptr);
    juce::MemoryBlock block;
    if (xml != nullptr)
        juce::AudioProcessor::copyXmlToBinary (*xml, block);
    return block;
}

class LegacyChunkLoad : public ::testing::Test
{
protected:
    juce::ScopedJuceInitialiser_GUI juce;
};
} // namespace

TEST_F (LegacyChunkLoad, AnOlderChunkLoadsWithItsSectionsAndSurvivesASaveIntoAnotherInstance)
{
    const auto chunk = legacyChunk();
    CorvessaProcessor processor;
    processor.setStateInformation (chunk.getData(), (int) chunk.getSize());

    const auto sections = processor.getSections();
    ASSERT_EQ (sections.size(), 2u);
    EXPECT_EQ (sections[0].name, "Intro");
    EXPECT_EQ (sections[0].progression, "Am:2 F:2");
    EXPECT_EQ (sections[0].rootKey, "A");
    EXPECT_EQ (sections[0].scale, "Minor");
    EXPECT_EQ (sections[0].suggestedBpm, "90 BPM");
    EXPECT_EQ (sections[0].bassVoicing, "Pianist");
    EXPECT_TRUE (sections[0].arrangeBassLegato);
    EXPECT_EQ (sections[1].name, "Groove");
    EXPECT_EQ (sections[1].scale, "Pent. Minor");
    EXPECT_EQ (sections[1].rootKey, "");
    EXPECT_EQ (sections[1].bodyVoicing, "smooth");
    EXPECT_TRUE (sections[1].arrangeShimmerTopNoteEnabled);
    EXPECT_TRUE (sections[1].arrangeBodyWithShimmer);

    // Working fields from the root's attributes, older flag names mapped.
    EXPECT_EQ (processor.getProgression(), "Am F C G");
    EXPECT_EQ (processor.getBodyVoicing(), 4);
    EXPECT_TRUE (processor.getArrangeBassAddOctave());
    EXPECT_TRUE (processor.getArrangeBassAddFifth());
    EXPECT_TRUE (processor.getArrangeShimmerTopNoteEnabled());
    EXPECT_FALSE (processor.getArrangeShimmerColorNotesEnabled());
    EXPECT_TRUE (processor.getMoodVisible());
    EXPECT_EQ (processor.getMoodId(), 3);
    EXPECT_EQ (processor.getCurrentRootKey(), "A");
    EXPECT_EQ (processor.getSelectedSectionViewIndex(), 1);

    // Saved again, the song comes back in the current chunk form.
    juce::MemoryBlock saved;
    processor.getStateInformation (saved);
    CorvessaProcessor second;
    second.setStateInformation (saved.getData(), (int) saved.getSize());
    EXPECT_EQ (juce::JSON::toString (second.exportPortableProject()), juce::JSON::toString (processor.exportPortableProject()));
    EXPECT_EQ (second.getProgression(), "Am F C G");
}
