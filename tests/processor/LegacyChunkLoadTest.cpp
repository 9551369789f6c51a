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

namespace
{
juce::MemoryBlock chunkFromText (const juce::String& xmlText)
{
    const auto xml = juce::parseXML (xmlText);
    EXPECT_NE (xml, nullptr) << xmlText;
    juce::MemoryBlock block;
    if (xml != nullptr)
        juce::AudioProcessor::copyXmlToBinary (*xml, block);
    return block;
}

int choiceIndex (CorvessaProcessor& processor, const juce::String& id)
{
    for (auto* p : processor.getParameters())
        if (auto* choice = dynamic_cast<juce::AudioParameterChoice*> (p); choice != nullptr && choice->getParameterID() == id)
            return choice->getIndex();

    ADD_FAILURE() << "no choice parameter " << id;
    return -1;
}
} // namespace

TEST_F (LegacyChunkLoad, TheOlderRootIsKnownInAnyLetterCaseAndItsValuesReachTheHostParameters)
{
    for (const char* tag : { "Corvessa", "CORVESSA", "corvessa" })
    {
        SCOPED_TRACE (tag);
        const auto chunk = chunkFromText ("<" + juce::String (tag) + " progression=\"Am G\" inversionType=\"4\" outputLayerMode=\"5\"/>");

        CorvessaProcessor processor;
        processor.setStateInformation (chunk.getData(), (int) chunk.getSize());

        EXPECT_EQ (processor.getProgression(), "Am G");
        EXPECT_EQ (processor.getBodyVoicing(), 4);
        EXPECT_EQ (processor.getOutputLayerMode(), 5);

        // The host sees the migrated values, not the ones from before the load.
        EXPECT_EQ (choiceIndex (processor, "bodyVoicing"), 4);
        EXPECT_EQ (choiceIndex (processor, "outputLayerMode"), 5);
    }
}

TEST_F (LegacyChunkLoad, AnOlderChunkNeverTakesAwayASyncRoleChosenInThisInstance)
{
    CorvessaProcessor processor;
    ASSERT_TRUE (processor.setSyncMode (1));
    const auto liveId = processor.getStateCopy().syncInstanceId;

    const auto chunk = legacyChunk();
    processor.setStateInformation (chunk.getData(), (int) chunk.getSize());

    EXPECT_EQ (processor.getSections().size(), 2u);
    EXPECT_EQ (processor.getSyncMode(), 1);
    EXPECT_EQ (processor.getStateCopy().syncMode, 1);
    EXPECT_EQ (processor.getStateCopy().syncInstanceId, liveId);
    EXPECT_TRUE (processor.describeForMcp().writable);

    // An instance that never chose a role takes the older chunk's: none.
    CorvessaProcessor fresh;
    fresh.setStateInformation (chunk.getData(), (int) chunk.getSize());
    EXPECT_EQ (fresh.getSyncMode(), 0);
}

TEST_F (LegacyChunkLoad, AStoredSelectionOutsideTheSectionsIsClampedToThem)
{
    const auto payload = juce::String ("{&quot;sections&quot;: [{&quot;name&quot;: &quot;A&quot;}, {&quot;name&quot;: &quot;B&quot;}]}");

    const struct
    {
        int stored, selected, parameterStep;
    } cases[] = {
        { 7, 1, 1 },     // beyond the last section: the last section, not Auto-Advance (step 2)
        { 1, 1, 1 },
        { -5, -1, 0 },   // below -1: the working section, the parameter left where it was
    };

    for (const auto& row : cases)
    {
        SCOPED_TRACE (row.stored);
        const auto chunk = chunkFromText ("<Corvessa selectedSectionViewIndex=\"" + juce::String (row.stored)
                                          + "\"><SectionChain jsonPayload=\"" + payload + "\"/></Corvessa>");
        CorvessaProcessor processor;
        processor.setStateInformation (chunk.getData(), (int) chunk.getSize());

        ASSERT_EQ (processor.getSections().size(), 2u);
        EXPECT_EQ (processor.getStateCopy().selectedSectionViewIndex, row.selected);
        EXPECT_EQ (processor.getSectionParameterIndex(), row.parameterStep);
        EXPECT_FALSE (processor.isAutoAdvanceSelected());
    }
}
