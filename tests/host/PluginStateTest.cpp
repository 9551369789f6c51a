// The built plug-in, loaded as a host loads it: what it tells the host about itself, and its
// state chunk going into an instance, out again and into a second instance.
#include "PluginHost.h"

#include <gtest/gtest.h>

namespace
{
// A saved song of two sections with settings away from their defaults.
const char* const twoSectionChunk = R"(
<CorvessaState>
  <PersistentState progression="Dm7 G7 Cmaj7" bodyVoicing="6" inversionType="6" shimmerVoicing="4"
                   bassOctave="-2" outputLayerMode="4" bassLegato="1" bodyLegato="0" moodBars="8"
                   currentScaleName="Dorian" currentRootKey="D" selectedSectionViewIndex="1"
                   sectionPlaybackMode="advanceSections" syncInstanceId="0123456789abcdef0123456789abcdef">
    <Sections>
      <SectionChain>
        <Section name="Verse" progression="C G Am F" bassVoicing="Jazz" bodyVoicing="Pianist"
                 shimmerVoicing="None" baseOctave="4" arrangeBassAddFifth="1" scale="Major" rootKey="C"
                 suggestedBpm="96 BPM"/>
        <Section name="Chorus" progression="F:2 G:2" bassMotion="Moving" shimmerOctave="2"
                 arrangeShimmerColorNotesEnabled="1"/>
      </SectionChain>
    </Sections>
  </PersistentState>
</CorvessaState>)";

juce::ValueTree sectionsOf (const juce::ValueTree& persistentState)
{
    return persistentState.getChildWithName ("Sections").getChild (0);
}
} // namespace

TEST (HostedPlugin, DescribesItselfAsAStereoMidiInstrument)
{
    const auto description = PluginHost::describePlugin();

    EXPECT_EQ (description.name, "Corvessa");
    EXPECT_EQ (description.manufacturerName, "Velmar");
    EXPECT_EQ (description.version, CORVESSA_VERSION);
    EXPECT_EQ (description.pluginFormatName, "VST3");
    EXPECT_TRUE (description.isInstrument);
    EXPECT_EQ (description.numInputChannels, 0);
    EXPECT_EQ (description.numOutputChannels, 2);
}

TEST (HostedPlugin, ItsOneProgramHasAName)
{
    // Hosts list programs by name, and the SDK's validator refuses a program without one.
    juce::String error;
    auto instance = PluginHost::createInstance (44100.0, 512, &error);
    ASSERT_NE (instance, nullptr) << error;

    const auto names = PluginHost::reportedProgramNames (*instance);
    ASSERT_EQ (names.size(), 1);
    EXPECT_EQ (names[0], juce::String ("Default"));
}

TEST (HostedPlugin, ShowsItsParametersByName)
{
    juce::String error;
    auto instance = PluginHost::createInstance (44100.0, 512, &error);
    ASSERT_NE (instance, nullptr) << error;

    EXPECT_TRUE (instance->acceptsMidi());
    EXPECT_TRUE (instance->producesMidi());

    const struct
    {
        const char* name;
        const char* defaultText;
    } expected[] = {
        { "Sync Mode", "Off" },
        { "Output Layer", "All" },
        { "Bass Legato", "Off" },
        { "Body Legato", "On" },
        { "Shimmer Legato", "On" },
        { "Body Voicing", "Smooth" },
        { "Shimmer Voicing", "Smooth" },
        { "Section", "Auto-Advance" },   // no sections: the only step
    };

    for (const auto& row : expected)
    {
        SCOPED_TRACE (row.name);
        auto* parameter = PluginHost::findParameter (*instance, row.name);
        ASSERT_NE (parameter, nullptr);
        EXPECT_EQ (parameter->getCurrentValueAsText(), row.defaultText);
    }
}

TEST (HostedPlugin, StateChunkSurvivesASecondInstance)
{
    auto first = PluginHost::createInstance();
    auto second = PluginHost::createInstance();
    ASSERT_NE (first, nullptr);
    ASSERT_NE (second, nullptr);

    PluginHost::setProcessorChunk (*first, PluginHost::chunkFromXml (twoSectionChunk));
    const auto firstState = PluginHost::getPersistentState (*first);
    ASSERT_TRUE (firstState.isValid());

    // The settings and both sections were taken in.
    EXPECT_EQ (firstState["progression"].toString(), "Dm7 G7 Cmaj7");
    EXPECT_EQ ((int) firstState["bodyVoicing"], 6);
    EXPECT_EQ ((int) firstState["shimmerVoicing"], 4);
    EXPECT_EQ ((int) firstState["bassOctave"], -2);
    EXPECT_EQ ((int) firstState["outputLayerMode"], 4);
    EXPECT_TRUE ((bool) firstState["bassLegato"]);
    EXPECT_FALSE ((bool) firstState["bodyLegato"]);
    EXPECT_EQ ((int) firstState["moodBars"], 8);
    EXPECT_EQ ((int) firstState["selectedSectionViewIndex"], 1);
    EXPECT_EQ (firstState["sectionPlaybackMode"].toString(), "advanceSections");
    EXPECT_EQ (firstState["syncInstanceId"].toString(), "0123456789abcdef0123456789abcdef");

    const auto sections = sectionsOf (firstState);
    ASSERT_EQ (sections.getNumChildren(), 2);
    EXPECT_EQ (sections.getChild (0)["name"].toString(), "Verse");
    EXPECT_EQ (sections.getChild (0)["progression"].toString(), "C G Am F");
    EXPECT_EQ (sections.getChild (0)["bassVoicing"].toString(), "Jazz");
    EXPECT_EQ (sections.getChild (0)["voicing"].toString(), "Pianist");
    EXPECT_EQ ((int) sections.getChild (0)["baseOctave"], 4);
    EXPECT_EQ (sections.getChild (0)["suggestedBpm"].toString(), "96 BPM");
    EXPECT_EQ (sections.getChild (1)["name"].toString(), "Chorus");
    EXPECT_EQ (sections.getChild (1)["bassMotion"].toString(), "Moving");
    EXPECT_TRUE ((bool) sections.getChild (1)["arrangeShimmerColorNotesEnabled"]);

    // The host parameters follow the loaded state, the section selector names the sections.
    EXPECT_EQ (PluginHost::findParameter (*first, "Output Layer")->getCurrentValueAsText(), "Bass + Body");
    EXPECT_EQ (PluginHost::findParameter (*first, "Body Voicing")->getCurrentValueAsText(), "Jazz");
    EXPECT_EQ (PluginHost::findParameter (*first, "Bass Legato")->getCurrentValueAsText(), "On");
    auto* section = PluginHost::findParameter (*first, "Section");
    ASSERT_NE (section, nullptr);
    EXPECT_EQ (section->getText (0.0f, 64), "Verse");

    // Stream it into a second instance: it saves the same state.
    PluginHost::setProcessorChunk (*second, PluginHost::getProcessorChunk (*first));
    const auto secondState = PluginHost::getPersistentState (*second);
    EXPECT_TRUE (secondState.isEquivalentTo (firstState))
        << secondState.toXmlString() << "\nversus\n" << firstState.toXmlString();
    EXPECT_EQ (PluginHost::findParameter (*second, "Output Layer")->getCurrentValueAsText(), "Bass + Body");
}

TEST (HostedPlugin, UnreadableChunksGiveTheDefaultState)
{
    juce::MemoryBlock garbage;
    garbage.append ("definitely not a Corvessa chunk", 31);

    const struct
    {
        const char* what;
        juce::MemoryBlock chunk;
    } cases[] = {
        { "bytes that are no XML blob", garbage },
        { "an XML blob of another product", PluginHost::chunkFromXml ("<SomethingElse volume=\"3\"/>") },
    };

    for (const auto& row : cases)
    {
        SCOPED_TRACE (row.what);
        auto instance = PluginHost::createInstance();
        ASSERT_NE (instance, nullptr);

        PluginHost::setProcessorChunk (*instance, PluginHost::chunkFromXml (twoSectionChunk));
        ASSERT_EQ (sectionsOf (PluginHost::getPersistentState (*instance)).getNumChildren(), 2);

        PluginHost::setProcessorChunk (*instance, row.chunk);
        const auto state = PluginHost::getPersistentState (*instance);
        ASSERT_TRUE (state.isValid());
        EXPECT_EQ (sectionsOf (state).getNumChildren(), 0);
        EXPECT_EQ (state["progression"].toString(), "");
        EXPECT_EQ ((int) state["bodyVoicing"], 2);
        EXPECT_EQ ((int) state["outputLayerMode"], 0);
        EXPECT_EQ ((int) state["selectedSectionViewIndex"], -1);
        EXPECT_EQ (state["sectionPlaybackMode"].toString(), "loopSection");
        EXPECT_EQ (PluginHost::findParameter (*instance, "Output Layer")->getCurrentValueAsText(), "All");
        EXPECT_EQ (PluginHost::findParameter (*instance, "Section")->getCurrentValueAsText(), "Auto-Advance");
    }
}
