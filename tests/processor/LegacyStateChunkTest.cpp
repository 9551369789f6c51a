#include "processor/state/LegacyStateChunk.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
std::unique_ptr<juce::XmlElement> parseXml (const juce::String& text)
{
    auto xml = juce::parseXML (text);
    EXPECT_NE (xml, nullptr) << text;
    return xml;
}

juce::String sectionObjects (int count)
{
    juce::StringArray items;
    for (int i = 0; i < count; ++i)
        items.add ("{\"name\": \"S" + juce::String (i + 1) + "\", \"progression\": \"C\"}");
    return "{\"sections\": [" + items.joinIntoString (", ") + "]}";
}
} // namespace

TEST (LegacyStateChunk, ReadsRootAttributesIntoTheWorkingFields)
{
    struct Case
    {
        const char* attributes;
        std::function<void (PersistentState&)> expect;   // applied to a default record
    };

    const Case cases[] = {
        { "", [] (PersistentState&) {} },
        { R"(progression="C Am" defaultDuration="2" locked="1" baseOctave="5")",
          [] (PersistentState& s) { s.progression = "C Am"; s.defaultDuration = "2"; s.locked = true; s.baseOctave = 5; } },
        { R"(inversionType="4")", [] (PersistentState& s) { s.inversionType = s.bassVoicing = s.bodyVoicing = s.shimmerVoicing = 4; } },
        { R"(bassMotionMode="2")", [] (PersistentState& s) { s.bassMotion = 2; } },
        { R"(bassMotionMode="2" bassMotion="strict")", [] (PersistentState& s) { s.bassMotion = 0; } },
        { R"(bassMotionMode="2" bassMotion="Wobbly")", [] (PersistentState& s) { s.bassMotion = 2; } },
        { R"(bassOctave="9" bodyOctave="-7" shimmerOctave="3")", [] (PersistentState& s) { s.bassOctave = 9; s.bodyOctave = -7; s.shimmerOctave = 3; } },
        { R"(outputLayerMode="7")", [] (PersistentState&) {} },
        { R"(outputLayerMode="-1")", [] (PersistentState&) {} },
        { R"(outputLayerMode="5")", [] (PersistentState& s) { s.outputLayerMode = 5; } },
        { R"(moodVisible="1" moodId="9" moodKeyId="4" moodTritone="1" moodSlashChords="0")",
          [] (PersistentState& s) { s.moodVisible = true; s.moodId = 9; s.moodKeyId = 4; s.moodTritone = true; s.moodSlashChords = false; } },
        // Without sections a stored selection reads as the working section.
        { R"(currentScaleName="Dorian" currentRootKey="D" currentSuggestedBpm="90 BPM" selectedSectionViewIndex="0")",
          [] (PersistentState& s) { s.currentScaleName = "Dorian"; s.currentRootKey = "D"; s.currentSuggestedBpm = "90 BPM"; s.selectedSectionViewIndex = -1; } },
        // Older flag names, used only where the current name is missing.
        { R"(subOctaveBass="1")", [] (PersistentState& s) { s.arrangeBassAddOctave = true; } },
        { R"(subOctaveBass="1" arrangeBassAddOctave="0")", [] (PersistentState&) {} },
        { R"(arrangeBassNoFifth="1")", [] (PersistentState&) {} },
        { R"(arrangeBassNoFifth="0")", [] (PersistentState& s) { s.arrangeBassAddFifth = true; } },
        { R"(arrangeBassNoFifth="0" arrangeBassAddFifth="0")", [] (PersistentState&) {} },
        { R"(arrangeBodyNoRootFifth="1")", [] (PersistentState& s) { s.arrangeBodyAddRoot = s.arrangeBodyAddFifth = false; } },
        { R"(arrangeBodyNoRootFifth="0" arrangeBodyAddRoot="0")", [] (PersistentState& s) { s.arrangeBodyAddRoot = false; s.arrangeBodyAddFifth = true; } },
        { R"(arrangeShimmerColorEnabled="1")", [] (PersistentState& s) { s.arrangeShimmerTopNoteEnabled = true; } },
        { R"(arrangeShimmerColorEnabled="1" arrangeShimmerColorExtensionsOnly="1")", [] (PersistentState& s) { s.arrangeShimmerColorNotesEnabled = true; } },
        { R"(arrangeShimmerColorEnabled="1" arrangeShimmerColorNotesEnabled="0")", [] (PersistentState&) {} },
    };

    for (const auto& c : cases)
    {
        const auto xml = parseXml ("<Corvessa " + juce::String (c.attributes) + "/>");
        auto read = readLegacyState (*xml);
        PersistentState expected;
        c.expect (expected);

        // The sync identity is fresh for every record; compare everything else.
        read.syncInstanceId = expected.syncInstanceId;
        EXPECT_EQ (read.progression, expected.progression) << c.attributes;
        EXPECT_EQ (read.defaultDuration, expected.defaultDuration) << c.attributes;
        EXPECT_EQ (read.locked, expected.locked) << c.attributes;
        EXPECT_EQ (read.baseOctave, expected.baseOctave) << c.attributes;
        EXPECT_EQ (read.inversionType, expected.inversionType) << c.attributes;
        EXPECT_EQ (read.bassVoicing, expected.bassVoicing) << c.attributes;
        EXPECT_EQ (read.bodyVoicing, expected.bodyVoicing) << c.attributes;
        EXPECT_EQ (read.shimmerVoicing, expected.shimmerVoicing) << c.attributes;
        EXPECT_EQ (read.bassMotion, expected.bassMotion) << c.attributes;
        EXPECT_EQ (read.bassOctave, expected.bassOctave) << c.attributes;
        EXPECT_EQ (read.bodyOctave, expected.bodyOctave) << c.attributes;
        EXPECT_EQ (read.shimmerOctave, expected.shimmerOctave) << c.attributes;
        EXPECT_EQ (read.outputLayerMode, expected.outputLayerMode) << c.attributes;
        EXPECT_EQ (read.moodVisible, expected.moodVisible) << c.attributes;
        EXPECT_EQ (read.moodId, expected.moodId) << c.attributes;
        EXPECT_EQ (read.moodKeyId, expected.moodKeyId) << c.attributes;
        EXPECT_EQ (read.moodTritone, expected.moodTritone) << c.attributes;
        EXPECT_EQ (read.moodSlashChords, expected.moodSlashChords) << c.attributes;
        EXPECT_EQ (read.currentScaleName, expected.currentScaleName) << c.attributes;
        EXPECT_EQ (read.currentRootKey, expected.currentRootKey) << c.attributes;
        EXPECT_EQ (read.currentSuggestedBpm, expected.currentSuggestedBpm) << c.attributes;
        EXPECT_EQ (read.selectedSectionViewIndex, expected.selectedSectionViewIndex) << c.attributes;
        EXPECT_EQ (read.arrangeBassAddOctave, expected.arrangeBassAddOctave) << c.attributes;
        EXPECT_EQ (read.arrangeBassAddFifth, expected.arrangeBassAddFifth) << c.attributes;
        EXPECT_EQ (read.arrangeBodyAddRoot, expected.arrangeBodyAddRoot) << c.attributes;
        EXPECT_EQ (read.arrangeBodyAddFifth, expected.arrangeBodyAddFifth) << c.attributes;
        EXPECT_EQ (read.arrangeShimmerTopNoteEnabled, expected.arrangeShimmerTopNoteEnabled) << c.attributes;
        EXPECT_EQ (read.arrangeShimmerColorNotesEnabled, expected.arrangeShimmerColorNotesEnabled) << c.attributes;
        // Fields the older chunk never had keep their defaults.
        EXPECT_EQ (read.bassLegato, expected.bassLegato) << c.attributes;
        EXPECT_EQ (read.selectedArrangementVoiceTab, expected.selectedArrangementVoiceTab) << c.attributes;
        EXPECT_EQ (read.sectionPlaybackMode, 0) << c.attributes;
        EXPECT_EQ (read.syncMode, 0) << c.attributes;
        EXPECT_TRUE (read.Sections.empty()) << c.attributes;
    }
}

TEST (LegacyStateChunk, ReadsTheSectionChainPayload)
{
    const auto xml = parseXml (R"(<Corvessa><SectionChain jsonPayload="{&quot;sections&quot;: [{&quot;name&quot;: &quot;Intro&quot;, &quot;progression&quot;: &quot;C G&quot;, &quot;scale&quot;: &quot;Whole Tone&quot;, &quot;voicing&quot;: &quot;Jazz&quot;}]}"/></Corvessa>)");
    const auto record = readLegacyState (*xml);

    ASSERT_EQ (record.Sections.size(), 1u);
    EXPECT_EQ (record.Sections[0].name, "Intro");
    EXPECT_EQ (record.Sections[0].progression, "C G");
    EXPECT_EQ (record.Sections[0].scale, "Whole Tone");
    EXPECT_EQ (record.Sections[0].rootKey, "");
    EXPECT_EQ (record.Sections[0].bassVoicing, "Jazz");
    EXPECT_EQ (record.Sections[0].baseOctave, 3);

    // An unreadable payload leaves an older song without sections, the rest still read.
    const auto broken = parseXml (R"(<Corvessa progression="Am"><SectionChain jsonPayload="[1, 2]"/></Corvessa>)");
    const auto fallback = readLegacyState (*broken);
    EXPECT_TRUE (fallback.Sections.empty());
    EXPECT_EQ (fallback.progression, "Am");
}

TEST (LegacyStateChunk, SectionChainPayloadMessages)
{
    struct Case { juce::String json; bool ok; juce::String message; size_t count; };
    const Case cases[] = {
        { "", false, "Invalid JSON syntax.", 0 },
        { "{\"sections\": [", false, "Invalid JSON syntax.", 0 },
        { "[{\"name\": \"A\"}]", false, "Root JSON must be an object.", 0 },
        // Nested deep enough to overflow the framework parser's stack: refused unread.
        { "{\"sections\": [{\"name\": " + juce::String::repeatedString ("[", 200000) + "}]}", false, "Invalid JSON syntax.", 0 },
        { "\"sections\"", false, "Invalid JSON syntax.", 0 },
        { "{}", false, "Missing or invalid 'sections' array.", 0 },
        { "{\"sections\": {}}", false, "Missing or invalid 'sections' array.", 0 },
        { "{\"sections\": [{}, 3]}", false, "Section array must contain objects.", 0 },
        { "{\"sections\": [{\"voicing\": \"Lush\"}]}", false,
          "Unknown voicing: \"Lush\". Valid: None, First Inversion, Smooth, Guitarist, Pianist, Bassist, Jazz", 0 },
        { "{\"sections\": []}", true, "", 0 },
        { sectionObjects (3), true, "", 3 },
        { sectionObjects (33), true, "", 32 },
        // Items after the 32nd are never looked at.
        { sectionObjects (32).replace ("]}", ", 7]}"), true, "", 32 },
    };

    for (const auto& c : cases)
    {
        SectionList sections (2);   // left alone on failure
        juce::String error;
        EXPECT_EQ (parseLegacySectionChain (sections, c.json, error), c.ok) << c.json;
        EXPECT_EQ (error, c.message) << c.json;
        EXPECT_EQ (sections.size(), c.ok ? c.count : 2u) << c.json;
    }

    SectionList sections;
    juce::String error;
    ASSERT_TRUE (parseLegacySectionChain (sections, sectionObjects (33), error));
    EXPECT_EQ (sections.back().name, "S32");
}
