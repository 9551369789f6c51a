// Today's saved forms, kept as files: the state chunk and the portable project of a fresh
// instance and of a rich song. Each loads into a processor and comes out again byte for byte, so
// that every key, its order, its default and its written form stay as they are.
#include "ProcessorTestSupport.h"

#include "kit/json/JsonReader.h"
#include "kit/json/JsonWriter.h"

namespace
{
juce::String fixture (const char* name)
{
    return juce::File (CORVESSA_TEST_DATA_DIR).getChildFile ("golden").getChildFile (name).loadFileAsString();
}

// The chunk a host stores: the framework's binary form of the XML text.
juce::MemoryBlock chunkOf (const juce::String& xmlText)
{
    juce::MemoryBlock block;
    juce::MemoryOutputStream out (block, false);
    out.writeInt (0x21324356);
    out.writeInt ((int) xmlText.getNumBytesAsUTF8());
    out << xmlText;
    out.writeByte (0);
    return block;
}

juce::String xmlTextOf (const juce::MemoryBlock& chunk)
{
    return juce::String::fromUTF8 (static_cast<const char*> (chunk.getData()) + 8, (int) chunk.getSize() - 9);
}

using GoldenState = ProcessorTest;
} // namespace

TEST_F (GoldenState, ChunksLoadAndSaveByteForByte)
{
    for (const auto* name : { "fresh-instance-state.xml", "rich-song-state.xml" })
    {
        SCOPED_TRACE (name);
        const auto text = fixture (name);
        ASSERT_TRUE (text.startsWith ("<?xml"));
        const auto chunk = chunkOf (text);

        CorvessaProcessor instance;
        instance.setStateInformation (chunk.getData(), (int) chunk.getSize());

        juce::MemoryBlock saved;
        instance.getStateInformation (saved);
        EXPECT_EQ (xmlTextOf (saved), text);
        EXPECT_TRUE (saved == chunk);
    }
}

TEST_F (GoldenState, PortableProjectsExportByteForByteAndApplyBack)
{
    const struct
    {
        const char* state;
        const char* portable;
        bool appliable;   // a project without sections is refused by the check
    } fixtures[] = {
        { "fresh-instance-state.xml", "fresh-instance-portable.json", false },
        { "rich-song-state.xml", "rich-song-portable.json", true },
    };

    for (const auto& row : fixtures)
    {
        SCOPED_TRACE (row.portable);
        const auto chunk = chunkOf (fixture (row.state));
        const auto expected = fixture (row.portable);

        CorvessaProcessor loaded;
        loaded.setStateInformation (chunk.getData(), (int) chunk.getSize());
        EXPECT_EQ (velmar::JsonWriter::toString (loaded.exportPortableProject()), expected);

        CorvessaProcessor applied;
        const auto result = applied.applyPortableProject (velmar::JsonReader::parse (expected));
        EXPECT_EQ (result.wasOk(), row.appliable) << result.getErrorMessage();

        if (row.appliable)
        {
            EXPECT_EQ (velmar::JsonWriter::toString (applied.exportPortableProject()), expected);
        }
    }
}
