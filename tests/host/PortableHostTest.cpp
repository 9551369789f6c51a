// The built plug-in, loaded as a host loads it: its AI-client bridge folder while it lives, and an
// older "Corvessa" state chunk going in.
#include "PluginHost.h"

#include <gtest/gtest.h>

namespace
{
juce::File instancesRoot()
{
    return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory)
        .getChildFile ("VELMAR/MCP/bridge/v1/instances");
}

juce::StringArray instanceFolders()
{
    juce::StringArray names;
    for (const auto& f : instancesRoot().findChildFiles (juce::File::findDirectories, false))
        names.add (f.getFileName());
    names.sort (false);
    return names;
}

bool isDashedLowerCaseUuid (const juce::String& text)
{
    if (text.length() != 36)
        return false;

    for (int i = 0; i < 36; ++i)
    {
        const bool dash = (i == 8 || i == 13 || i == 18 || i == 23);
        if (dash ? text[i] != '-' : ! juce::String ("0123456789abcdef").containsChar (text[i]))
            return false;
    }
    return true;
}
} // namespace

TEST (HostedPlugin, EachLoadedInstanceHasItsOwnBridgeFolderUntilItIsDeleted)
{
    const auto before = instanceFolders();

    auto first = PluginHost::createInstance();
    auto second = PluginHost::createInstance();
    ASSERT_NE (first, nullptr);
    ASSERT_NE (second, nullptr);

    // Each bridge prepares its folder on the plug-in's message thread, which in a host without
    // an editor window is a thread of the framework's own, running beside this test: a folder
    // is complete once its presence file (written last) is there.
    const auto complete = [&]
    {
        int count = 0;
        for (const auto& name : instanceFolders())
            if (! before.contains (name) && instancesRoot().getChildFile (name).getChildFile ("presence.json").existsAsFile())
                ++count;
        return count == 2;
    };
    ASSERT_TRUE (PluginHost::pumpUntil (complete, 5000)) << instanceFolders().joinIntoString (", ");

    juce::StringArray added;
    for (const auto& name : instanceFolders())
        if (! before.contains (name))
            added.add (name);

    ASSERT_EQ (added.size(), 2);
    for (const auto& name : added)
    {
        EXPECT_TRUE (isDashedLowerCaseUuid (name)) << name;
        EXPECT_TRUE (instancesRoot().getChildFile (name).getChildFile ("requests").isDirectory()) << name;
        EXPECT_TRUE (instancesRoot().getChildFile (name).getChildFile ("responses").isDirectory()) << name;
    }

    first.reset();
    EXPECT_EQ (instanceFolders().size(), before.size() + 1);

    second.reset();
    EXPECT_EQ (instanceFolders(), before);
    EXPECT_TRUE (instancesRoot().isDirectory());
}

TEST (HostedPlugin, AnOlderCorvessaChunkLoadsItsSongAndSettings)
{
    auto instance = PluginHost::createInstance();
    ASSERT_NE (instance, nullptr);

    const auto fixture = juce::File (CORVESSA_TEST_DATA_DIR).getChildFile ("legacy-corvessa-chunk.xml");
    ASSERT_TRUE (fixture.existsAsFile());
    PluginHost::setProcessorChunk (*instance, PluginHost::chunkFromXml (fixture.loadFileAsString()));

    const auto state = PluginHost::getPersistentState (*instance);
    ASSERT_TRUE (state.isValid());
    EXPECT_EQ (state["progression"].toString(), "Am F C G");
    EXPECT_EQ ((int) state["bodyVoicing"], 4);
    EXPECT_EQ ((int) state["bassMotion"], 2);
    EXPECT_TRUE ((bool) state["arrangeBassAddOctave"]);
    EXPECT_TRUE ((bool) state["arrangeShimmerTopNoteEnabled"]);
    EXPECT_EQ ((int) state["selectedSectionViewIndex"], 1);

    const auto sections = state.getChildWithName ("Sections").getChild (0);
    ASSERT_EQ (sections.getNumChildren(), 2);
    EXPECT_EQ (sections.getChild (0)["name"].toString(), "Intro");
    EXPECT_EQ (sections.getChild (0)["scale"].toString(), "Minor");
    EXPECT_EQ (sections.getChild (0)["rootKey"].toString(), "A");
    EXPECT_EQ (sections.getChild (1)["name"].toString(), "Groove");
    EXPECT_EQ (sections.getChild (1)["scale"].toString(), "Pent. Minor");

    // The host sees the migrated state too.
    EXPECT_EQ (PluginHost::findParameter (*instance, "Body Voicing")->getCurrentValueAsText(), "Pianist");
    EXPECT_EQ (PluginHost::findParameter (*instance, "Section")->getText (0.0f, 64), "Intro");

    // And it plays: under a running transport the Bass channel sounds the first chord, A minor.
    PluginHost::TestPlayHead playHead;
    playHead.play (0.0);
    instance->setPlayHead (&playHead);

    juce::AudioBuffer<float> audio (2, 512);
    juce::MidiBuffer midi;
    std::vector<int> bassNotes;

    PluginHost::pumpUntil ([&]
    {
        PluginHost::processBlock (*instance, audio, midi);
        for (const auto metadata : midi)
        {
            const auto message = metadata.getMessage();
            if (message.isNoteOn() && message.getChannel() == 2)
                bassNotes.push_back (message.getNoteNumber());
        }
        return ! bassNotes.empty();
    }, 10000);

    instance->setPlayHead (nullptr);
    ASSERT_FALSE (bassNotes.empty());
    EXPECT_EQ (*std::min_element (bassNotes.begin(), bassNotes.end()) % 12, 9);
}
