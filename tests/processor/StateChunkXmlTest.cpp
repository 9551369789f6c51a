// The check a state chunk's XML text passes before the framework's reader sees it: what our
// own writer produces passes, anything the framework's reader mishandles does not.
#include "processor/CorvessaProcessor.h"
#include "processor/state/StateChunkXml.h"

#include <gtest/gtest.h>

TEST (StateChunkXml, AcceptsWhatTheFrameworksWriterProducesAndNothingElse)
{
    const auto nested = [] (int depth)
    {
        juce::String text;
        for (int i = 0; i < depth; ++i)
            text << "<a>";
        for (int i = 0; i < depth; ++i)
            text << "</a>";
        return text;
    };

    juce::String manyAttributes ("<a");
    for (int i = 0; i < StateChunkXml::maxAttributesPerElement + 1; ++i)
        manyAttributes << " k" << i << "=\"1\"";
    manyAttributes << "/>";

    const struct
    {
        juce::String text;
        bool accepted;
    } cases[] = {
        { R"(<?xml version="1.0" encoding="UTF-8"?><CorvessaState a="1"><PARAM id="x" value="0.0"/></CorvessaState>)", true },
        { "  <a/>  ", true },
        { R"(<a v="&amp;&lt;&gt;&quot;&apos;&#10;&#233;&#x1F3B9;" w='single'>text &amp; more</a>)", true },
        { "<a>\n  <b/>\n</a>", true },
        { nested (StateChunkXml::maxDepth), true },
        { nested (StateChunkXml::maxDepth + 1), false },
        { manyAttributes, false },
        // Processing instructions, comments, sections and declarations of our own are refused.
        { "<CorvessaState><?x?>b</CorvessaState>", false },
        { "<a><!-- note --></a>", false },
        { "<a><![CDATA[x]]></a>", false },
        { "<!DOCTYPE a><a/>", false },
        { "<?xml version=\"1.0\"?><?xml version=\"1.0\"?><a/>", false },
        { "<?xml version=\"1.0\"<a/>", false },
        // Entities and character references.
        { "<e>&<s>&#x;", false },
        { "<a>&foo;</a>", false },
        { "<a>&AMP;</a>", false },
        { "<a>&amp</a>", false },
        { "<a>&#;</a>", false },
        { "<a>&#0;</a>", false },
        { "<a>&#x110000;</a>", false },
        { "<a>&#12345678;</a>", false },
        { "<a v=\"&#x;\"/>", false },
        // Structure.
        { "", false },
        { "text", false },
        { "<a>", false },
        { "<a></b>", false },
        { "</a>", false },
        { "<a/><b/>", false },
        { "<a/>tail", false },
        { "<a v=1/>", false },
        { "<a v=\"<\"/>", false },
        { "<a v=\"1\"w=\"2\"/>", false },
        { "<a v=\"1/>", false },
        { "< a/>", false },
        { "<1a/>", false },
    };

    for (const auto& row : cases)
        EXPECT_EQ (StateChunkXml::isAcceptedXmlText (row.text), row.accepted) << row.text;
}

TEST (StateChunkXml, ReadsTheChunksThisProcessorWrites)
{
    juce::ScopedJuceInitialiser_GUI juce;
    CorvessaProcessor processor;
    SectionMode::SectionData section;
    section.name = juce::String::fromUTF8 ("Vers\xc3\xa9 & \"Chorus\" <1>");
    section.progression = "C:2 Am F/A G7{V/V}";
    processor.setSections ({ section }, false);

    juce::MemoryBlock chunk;
    processor.getStateInformation (chunk);

    const auto xml = StateChunkXml::parseChunk (chunk.getData(), (int) chunk.getSize());
    ASSERT_NE (xml, nullptr);
    const auto framework = juce::AudioProcessor::getXmlFromBinary (chunk.getData(), (int) chunk.getSize());
    ASSERT_NE (framework, nullptr);
    EXPECT_TRUE (xml->isEquivalentTo (framework.get(), false));

    // The binary form's own checks: the magic number, a length, valid UTF-8.
    auto damaged = chunk;
    static_cast<char*> (damaged.getData())[0] ^= 1;
    EXPECT_EQ (StateChunkXml::parseChunk (damaged.getData(), (int) damaged.getSize()), nullptr);

    const char invalidUtf8[] = "\x56\x43\x32\x21\x06\x00\x00\x00<a\xff/>";
    EXPECT_EQ (StateChunkXml::parseChunk (invalidUtf8, (int) sizeof (invalidUtf8) - 1), nullptr);
    EXPECT_EQ (StateChunkXml::parseChunk (chunk.getData(), 8), nullptr);
}
