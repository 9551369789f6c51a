#include "JsonTestSupport.h"

#include "processor/state/PortableProject.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
using Section = SectionMode::SectionData;

juce::var parseJson (const juce::String& text)
{
    const auto value = juce::JSON::parse (text);
    EXPECT_FALSE (value.isVoid()) << text;
    return value;
}
} // namespace

//==============================================================================
TEST (PortableSectionExport, WritesKeysInTheirFixedOrderWithTheirOmissions)
{
    Section full;
    full.name = "Verse";
    full.progression = "C Am F G";
    full.scale = "Dorian";
    full.rootKey = "D";
    full.suggestedBpm = "120 BPM";
    full.arrangeShimmerTopNoteEnabled = true;

    const auto json = sectionToPortableJson (full);
    EXPECT_EQ (keysOf (json).joinIntoString (","),
               "name,progression,scale,bpm,bass_voicing,body_voicing,shimmer_voicing,arrangement");
    EXPECT_EQ (keysOf (json["arrangement"]).joinIntoString (","),
               "bass_octave,body_octave,shimmer_octave,bass_legato,body_legato,shimmer_legato,"
               "bass_add_octave,bass_add_fifth,body_add_root,body_add_fifth,body_with_shimmer,shimmer_mode");

    // A default section: no progression, scale, bpm; shimmer Off drops its octave.
    const auto bare = sectionToPortableJson (Section {});
    EXPECT_EQ (keysOf (bare).joinIntoString (","), "name,bass_voicing,body_voicing,shimmer_voicing,arrangement");
    EXPECT_FALSE (bare["arrangement"].hasProperty ("shimmer_octave"));
    EXPECT_EQ (bare["arrangement"]["shimmer_mode"].toString(), "Off");

    // Types as JSON sees them once written.
    const auto text = juce::JSON::toString (json);
    const auto back = parseJson (text);
    EXPECT_TRUE (back["bpm"].isInt());
    EXPECT_TRUE (back["arrangement"]["bass_octave"].isInt());
    EXPECT_TRUE (back["arrangement"]["bass_legato"].isBool());
}

TEST (PortableSectionExport, ConvertsFieldsByTheirRules)
{
    struct Case
    {
        const char* what;
        std::function<void (Section&)> setUp;
        const char* key;             // "arrangement.x" for a key of the arrangement
        juce::var expected;          // void: the key must be absent
    };

    const Case cases[] = {
        { "base octave folds into the layer", [] (Section& s) { s.baseOctave = 5; s.bassOctave = 1; }, "arrangement.bass_octave", 3 },
        { "folded octave clamps at 4", [] (Section& s) { s.baseOctave = 8; s.bassOctave = 3; }, "arrangement.bass_octave", 4 },
        { "offset clamps before folding", [] (Section& s) { s.baseOctave = 3; s.bodyOctave = -5; }, "arrangement.body_octave", -4 },
        { "low base octave clamps at -4", [] (Section& s) { s.baseOctave = 0; s.bodyOctave = -3; }, "arrangement.body_octave", -4 },
        { "shimmer flags both off", [] (Section&) {}, "arrangement.shimmer_mode", "Off" },
        { "top note only", [] (Section& s) { s.arrangeShimmerTopNoteEnabled = true; }, "arrangement.shimmer_mode", "Top" },
        { "colour notes only", [] (Section& s) { s.arrangeShimmerColorNotesEnabled = true; }, "arrangement.shimmer_mode", "Color" },
        { "both shimmer flags", [] (Section& s) { s.arrangeShimmerTopNoteEnabled = s.arrangeShimmerColorNotesEnabled = true; }, "arrangement.shimmer_mode", "Halo" },
        { "halo writes its octave", [] (Section& s) { s.arrangeShimmerTopNoteEnabled = s.arrangeShimmerColorNotesEnabled = true; }, "arrangement.shimmer_octave", 1 },
        { "tempo range takes its first number", [] (Section& s) { s.suggestedBpm = "90-110 BPM"; }, "bpm", 90 },
        { "tempo without digits", [] (Section& s) { s.suggestedBpm = "fast"; }, "bpm", {} },
        { "tempo of zero", [] (Section& s) { s.suggestedBpm = "0 BPM"; }, "bpm", {} },
        { "negative tempo", [] (Section& s) { s.suggestedBpm = "-80 BPM"; }, "bpm", {} },
        { "tempo with a sign", [] (Section& s) { s.suggestedBpm = "+96"; }, "bpm", 96 },
        { "lower-case unit stays in the text", [] (Section& s) { s.suggestedBpm = "100 bpm"; }, "bpm", 100 },
        { "scale without root key", [] (Section& s) { s.scale = "Dorian"; }, "scale", "Dorian" },
        { "root key without scale", [] (Section& s) { s.rootKey = "C"; }, "scale", {} },
        { "root key and scale", [] (Section& s) { s.rootKey = "F#"; s.scale = "Lydian Dom."; }, "scale", "F# Lydian Dom." },
        { "voicings as stored, unchecked", [] (Section& s) { s.bodyVoicing = "whatever"; }, "body_voicing", "whatever" },
        { "progression as stored", [] (Section& s) { s.progression = "C:2 G"; }, "progression", "C:2 G" },
        { "name as stored", [] (Section& s) { s.name = " Intro "; }, "name", " Intro " },
        { "flags one to one", [] (Section& s) { s.arrangeBodyWithShimmer = true; }, "arrangement.body_with_shimmer", true },
    };

    for (const auto& c : cases)
    {
        Section section;
        c.setUp (section);
        auto json = sectionToPortableJson (section);
        juce::String key (c.key);

        if (key.startsWith ("arrangement."))
        {
            const juce::var nested = json["arrangement"];   // a copy: assigning the reference into its owner frees it
            json = nested;
            key = key.fromFirstOccurrenceOf (".", false, false);
        }

        if (c.expected.isVoid())
            EXPECT_FALSE (json.hasProperty (key)) << c.what;
        else
            EXPECT_EQ (json[juce::Identifier (key)], c.expected) << c.what << ": " << json[juce::Identifier (key)].toString();
    }
}

TEST (PortableProjectExport, WritesSelectionModeAndSections)
{
    PersistentState state;
    EXPECT_EQ (juce::JSON::toString (stateToPortableProject (state), true),
               R"({"activeSectionIndex": 0, "sectionPlaybackMode": "loopSection", "sections": []})");

    state.Sections.resize (2);
    state.Sections[1].name = "B";
    state.selectedSectionViewIndex = 1;
    state.sectionPlaybackMode = 1;

    const auto project = stateToPortableProject (state);
    EXPECT_EQ (keysOf (project).joinIntoString (","), "activeSectionIndex,sectionPlaybackMode,sections");
    EXPECT_EQ ((int) project["activeSectionIndex"], 1);
    EXPECT_EQ (project["sectionPlaybackMode"].toString(), "advanceSections");
    ASSERT_EQ (project["sections"].size(), 2);
    EXPECT_EQ (project["sections"][1]["name"].toString(), "B");
}

//==============================================================================
TEST (PortableSectionRead, ReadsEachKeyByItsRule)
{
    struct Case
    {
        const char* json;
        std::function<void (Section&)> expect;   // applied to a default section
    };

    const Case cases[] = {
        { R"({})", [] (Section&) {} },
        { R"({"name": " Verse "})", [] (Section& s) { s.name = " Verse "; } },
        { R"({"name": 7})", [] (Section& s) { s.name = "7"; } },
        { R"({"progression": "  C Am \n"})", [] (Section& s) { s.progression = "C Am"; } },
        { R"({"scale": "F# Lydian Dom."})", [] (Section& s) { s.rootKey = "F#"; s.scale = "Lydian Dom."; } },
        { R"({"scale": "c  Major "})", [] (Section& s) { s.rootKey = "c"; s.scale = "Major"; } },
        { R"({"scale": " Dorian"})", [] (Section& s) { s.scale = "Dorian"; } },
        { R"({"scale": "Dorian"})", [] (Section& s) { s.scale = "Dorian"; } },
        // A scale name of two words without a root stays whole.
        { R"({"scale": "Whole Tone"})", [] (Section& s) { s.scale = "Whole Tone"; } },
        { R"({"scale": "Pent. Minor"})", [] (Section& s) { s.scale = "Pent. Minor"; } },
        { R"({"scale": "Harm. Minor"})", [] (Section& s) { s.scale = "Harm. Minor"; } },
        { R"({"scale": "Bb Harm. Minor"})", [] (Section& s) { s.rootKey = "Bb"; s.scale = "Harm. Minor"; } },
        { R"({"bpm": 140})", [] (Section& s) { s.suggestedBpm = "140 BPM"; } },
        { R"({"bpm": 1500})", [] (Section& s) { s.suggestedBpm = "1500 BPM"; } },
        { R"({"bpm": 96.7})", [] (Section& s) { s.suggestedBpm = "96 BPM"; } },
        { R"({"bpm": -5})", [] (Section&) {} },
        { R"({"bpm": 0})", [] (Section&) {} },
        { R"({"bpm": 1e300})", [] (Section& s) { s.suggestedBpm = "9000000000000000000 BPM"; } },
        { R"({"voicing": "jazz"})", [] (Section& s) { s.voicing = s.bassVoicing = s.bodyVoicing = s.shimmerVoicing = "jazz"; } },
        { R"({"voicing": "Jazz", "bass_voicing": "None"})", [] (Section& s) { s.voicing = s.bodyVoicing = s.shimmerVoicing = "Jazz"; s.bassVoicing = "None"; } },
        { R"({"body_voicing": "Pianist"})", [] (Section& s) { s.bodyVoicing = s.voicing = "Pianist"; } },
        { R"({"arrangement": "loud"})", [] (Section&) {} },
        { R"({"arrangement": {"bass_octave": 9, "body_octave": -7, "shimmer_octave": 2}})",
          [] (Section& s) { s.bassOctave = 4; s.bodyOctave = -4; s.shimmerOctave = 2; } },
        { R"({"arrangement": {"bass_octave": "3"}})", [] (Section& s) { s.bassOctave = 3; } },
        { R"({"arrangement": {"shimmer_mode": "  halo "}})",
          [] (Section& s) { s.arrangeShimmerTopNoteEnabled = s.arrangeShimmerColorNotesEnabled = true; } },
        { R"({"arrangement": {"shimmer_mode": "Color"}})", [] (Section& s) { s.arrangeShimmerColorNotesEnabled = true; } },
        { R"({"arrangement": {"bass_legato": true, "body_legato": 0, "shimmer_legato": false, "bass_add_octave": 1,
              "bass_add_fifth": true, "body_add_root": false, "body_add_fifth": false, "body_with_shimmer": true}})",
          [] (Section& s)
          {
              s.arrangeBassLegato = true; s.arrangeBodyLegato = false; s.arrangeShimmerLegato = false;
              s.arrangeBassAddOctave = true; s.arrangeBassAddFifth = true; s.arrangeBodyAddRoot = false;
              s.arrangeBodyAddFifth = false; s.arrangeBodyWithShimmer = true;
          } },
        // The reader never touches the base octave.
        { R"({"baseOctave": 6, "arrangement": {"bass_octave": 2}})", [] (Section& s) { s.bassOctave = 2; } },
    };

    for (const auto& c : cases)
    {
        Section read, expected;
        juce::String error;
        ASSERT_TRUE (parsePortableSection (parseJson (c.json), read, error)) << c.json << ": " << error;
        c.expect (expected);
        EXPECT_TRUE (read == expected) << c.json << "\n name=" << read.name << " scale=" << read.scale
                                       << " root=" << read.rootKey << " bpm=" << read.suggestedBpm;
    }
}

TEST (PortableSectionRead, KeepsTheFieldsOfTheSectionPassedInForMissingKeys)
{
    Section existing;
    existing.name = "Chorus";
    existing.progression = "F G";
    existing.rootKey = "E";
    existing.scale = "Minor";
    existing.bassVoicing = "Bassist";
    existing.baseOctave = 5;
    existing.arrangeBassLegato = true;

    auto read = existing;
    juce::String error;
    ASSERT_TRUE (parsePortableSection (parseJson (R"({"progression": "C", "scale": "Dorian"})"), read, error));

    auto expected = existing;
    expected.progression = "C";
    expected.scale = "Dorian";      // the root key is left alone
    expected.voicing = expected.bodyVoicing;
    EXPECT_TRUE (read == expected);
}

TEST (PortableSectionRead, RefusesOnlyNonObjectsVoicingsAndShimmerModes)
{
    const juce::String valid = "None, First Inversion, Smooth, Guitarist, Pianist, Bassist, Jazz";

    struct Case { const char* json; juce::String message; };
    const Case cases[] = {
        { R"([1, 2])", "Section must be an object." },
        { R"("text")", "Section must be an object." },
        { R"({"voicing": "Lush"})", "Unknown voicing: \"Lush\". Valid: " + valid },
        { R"({"bass_voicing": " Smooth"})", "Unknown bass_voicing: \" Smooth\". Valid: " + valid },
        { R"({"body_voicing": 3})", "Unknown body_voicing: \"3\". Valid: " + valid },
        { R"({"shimmer_voicing": "Harp"})", "Unknown shimmer_voicing: \"Harp\". Valid: " + valid },
        { R"({"arrangement": {"shimmer_mode": " Sparkle "}})", "Unknown shimmer_mode: \"Sparkle\". Valid: Off, Top, Color, Halo" },
    };

    for (const auto& c : cases)
    {
        Section section;
        juce::String error;
        const auto value = juce::JSON::parse (c.json);
        EXPECT_FALSE (parsePortableSection (value.isVoid() ? juce::var ("text") : value, section, error)) << c.json;
        EXPECT_EQ (error, c.message) << c.json;
    }
}

TEST (PortableSectionRead, WrittenSectionsReadBackWithTheBaseOctaveFolded)
{
    Section written;
    written.name = "Bridge";
    written.progression = "Am:2 F G";
    written.rootKey = "";
    written.scale = "Whole Tone";
    written.suggestedBpm = "128 BPM";
    written.bassVoicing = "Bassist";
    written.bodyVoicing = "Jazz";
    written.shimmerVoicing = "None";
    written.voicing = "Jazz";
    written.baseOctave = 4;
    written.bassOctave = -1;
    written.bodyOctave = 0;
    written.shimmerOctave = 2;
    written.arrangeShimmerColorNotesEnabled = true;
    written.arrangeBassLegato = true;
    written.arrangeBodyAddFifth = false;

    Section read;
    juce::String error;
    const auto text = juce::JSON::toString (sectionToPortableJson (written));
    ASSERT_TRUE (parsePortableSection (juce::JSON::parse (text), read, error)) << error;

    auto expected = written;
    expected.baseOctave = 3;
    expected.bassOctave = 0;
    expected.bodyOctave = 1;
    expected.shimmerOctave = 3;
    EXPECT_TRUE (read == expected) << text;
}

//==============================================================================
TEST (PortableShimmerMode, ConvertsNamesAndFlags)
{
    struct Case { const char* text; bool ok; int mode; };
    const Case cases[] = {
        { "Off", true, 0 }, { "top", true, 1 }, { "COLOR", true, 2 }, { " Halo ", true, 3 },
        { "Colour", false, -1 }, { "", false, -1 }, { "0", false, -1 },
    };

    for (const auto& c : cases)
    {
        int mode = -1;
        EXPECT_EQ (parseShimmerMode (c.text, mode), c.ok) << c.text;
        EXPECT_EQ (mode, c.mode) << c.text;
    }

    struct Flags { int mode; bool top; bool colour; };
    const Flags flags[] = { { 0, false, false }, { 1, true, false }, { 2, false, true }, { 3, true, true } };

    for (const auto& f : flags)
    {
        bool top = ! f.top, colour = ! f.colour;
        shimmerModeToFlags (f.mode, top, colour);
        EXPECT_EQ (top, f.top) << f.mode;
        EXPECT_EQ (colour, f.colour) << f.mode;
        EXPECT_EQ (shimmerModeFromFlags (f.top, f.colour), f.mode);
    }

    for (const int outside : { -1, 4, 7 })
    {
        bool top = true, colour = false;
        shimmerModeToFlags (outside, top, colour);
        EXPECT_TRUE (top);
        EXPECT_FALSE (colour);
    }
}
