#include "projects/ChordPreset.h"

#include "processor/state/PortableProject.h"
#include "processor/state/PortableValidation.h"
#include "processor/state/PersistentState.h"

#include "ProjectTestSupport.h"

namespace
{
    juce::var json (const juce::String& text)
    {
        const auto value = juce::JSON::parse (text);
        EXPECT_FALSE (value.isVoid()) << text;
        return value;
    }

    bool parse (const juce::String& text, ChordPreset& preset, juce::String& error)
    {
        preset = {};
        error.clear();
        return parseChordPreset (json (text), preset, error);
    }

    juce::String errorOf (const juce::String& text)
    {
        ChordPreset preset;
        juce::String error;
        EXPECT_FALSE (parse (text, preset, error)) << text;
        return error;
    }

    ChordPreset presetOf (const juce::String& text)
    {
        ChordPreset preset;
        juce::String error;
        EXPECT_TRUE (parse (text, preset, error)) << text << ": " << error;
        return preset;
    }

    const juce::String validVoicings = "Valid: None, First Inversion, Smooth, Guitarist, Pianist, Bassist, Jazz";
} // namespace

TEST (ChordPreset, ReaderMessagesInCheckOrder)
{
    const struct { const char* text; juce::String message; } cases[] = {
        { R"([1])", "JSON must be an object." },
        { R"({"name": "x"})", "Missing required field: \"progression\"." },
        { R"({"progression": "   "})", "\"progression\" must not be empty." },
        { R"({"progression": null})", "\"progression\" must not be empty." },
        // A missing progression is reported before a broken voicing.
        { R"({"voicing": "Loud"})", "Missing required field: \"progression\"." },
        { R"({"progression": "C", "voicing": "Loud"})", "Unknown voicing: \"Loud\". " + validVoicings },
        { R"({"progression": "C", "voicing": "Loud", "bass_voicing": "Soft"})", "Unknown voicing: \"Loud\". " + validVoicings },
        { R"({"progression": "C", "bass_voicing": "Soft", "body_voicing": "Warm"})", "Unknown bass_voicing: \"Soft\". " + validVoicings },
        { R"({"progression": "C", "body_voicing": " Jazz"})", "Unknown body_voicing: \" Jazz\". " + validVoicings },
        { R"({"progression": "C", "shimmer_voicing": 3})", "Unknown shimmer_voicing: \"3\". " + validVoicings },
        { R"({"progression": "C", "shimmer_voicing": "x", "arrangement": {"shimmer_mode": "Loud"}})",
          "Unknown shimmer_voicing: \"x\". " + validVoicings },
        { R"({"progression": "C", "arrangement": {"shimmer_mode": " Glow "}})",
          "Unknown shimmer_mode: \"Glow\". Valid: Off, Top, Color, Halo" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (errorOf (c.text), c.message) << c.text;
}

TEST (ChordPreset, OnlyAProgressionGivesTheDefaults)
{
    const auto preset = presetOf (R"({"progression": "  C Am  ", "unknown": 1})");
    const ChordPreset defaults;

    EXPECT_EQ (preset.progression, "C Am");
    EXPECT_EQ (preset.name, "Custom");
    EXPECT_EQ (preset.scale, "");
    EXPECT_EQ (preset.bpm, 0);
    EXPECT_EQ (preset.voicing, "Smooth");
    EXPECT_EQ (preset.bassVoicing, "Smooth");
    EXPECT_EQ (preset.shimmerVoicing, "Smooth");
    EXPECT_EQ (preset.bodyLegato, defaults.bodyLegato);
    EXPECT_TRUE (preset.bodyLegato && preset.shimmerLegato && preset.bodyAddRoot && preset.bodyAddFifth);
    EXPECT_FALSE (preset.bassLegato || preset.bassAddOctave || preset.bassAddFifth || preset.bodyWithShimmer
                  || preset.shimmerTopNote || preset.shimmerColorNotes);
    EXPECT_EQ (preset.bassOctave, 0);
    EXPECT_EQ (preset.bodyOctave, 0);
    EXPECT_EQ (preset.shimmerOctave, 1);

    const auto section = makeChordPresetSection (preset);
    EXPECT_EQ (section.name, "Custom");
    EXPECT_EQ (section.shimmerOctave, 1);
    EXPECT_EQ (section.bodyVoicing, "Smooth");
    EXPECT_EQ (section.suggestedBpm, "");
}

TEST (ChordPreset, EveryKeyIsRead)
{
    const auto preset = presetOf (R"({
        "name": "Night", "scale": "A Dorian", "bpm": 92, "progression": "Am7 D9",
        "voicing": "pianist", "shimmer_voicing": "JAZZ",
        "arrangement": { "bass_legato": true, "body_legato": false, "shimmer_legato": 0, "bass_add_octave": 1,
                         "bass_add_fifth": true, "body_add_root": false, "body_add_fifth": false,
                         "body_with_shimmer": true, "shimmer_mode": " halo ",
                         "bass_octave": 9, "body_octave": -12, "shimmer_octave": -2 } })");

    EXPECT_EQ (preset.name, "Night");
    EXPECT_EQ (preset.scale, "A Dorian");
    EXPECT_EQ (preset.bpm, 92);
    // Voicing names are stored as the processor spells them, whatever case they came in.
    EXPECT_EQ (preset.bassVoicing, "Pianist");
    EXPECT_EQ (preset.bodyVoicing, "Pianist");
    EXPECT_EQ (preset.voicing, "Pianist");
    EXPECT_EQ (preset.shimmerVoicing, "Jazz");
    EXPECT_TRUE (preset.bassLegato);
    EXPECT_FALSE (preset.bodyLegato);
    EXPECT_FALSE (preset.shimmerLegato);
    EXPECT_TRUE (preset.bassAddOctave && preset.bassAddFifth && preset.bodyWithShimmer);
    EXPECT_FALSE (preset.bodyAddRoot || preset.bodyAddFifth);
    EXPECT_TRUE (preset.shimmerTopNote && preset.shimmerColorNotes);
    EXPECT_EQ (preset.bassOctave, 4);
    EXPECT_EQ (preset.bodyOctave, -4);
    EXPECT_EQ (preset.shimmerOctave, -2);
}

TEST (ChordPreset, OddValuesAreIgnoredOrTidied)
{
    // An arrangement that is no object is ignored.
    EXPECT_TRUE (presetOf (R"({"progression": "C", "arrangement": 5})").bodyLegato);

    const struct { const char* text; int bpm; } tempos[] = {
        { R"({"progression": "C", "bpm": 1})", 1 },
        { R"({"progression": "C", "bpm": 999})", 999 },
        { R"({"progression": "C", "bpm": 0})", 0 },
        { R"({"progression": "C", "bpm": -5})", 0 },
        { R"({"progression": "C", "bpm": 1000})", 0 },
        { R"({"progression": "C", "bpm": 120.7})", 120 },
        { R"({"progression": "C", "bpm": "96"})", 96 },
    };

    for (const auto& t : tempos)
        EXPECT_EQ (presetOf (t.text).bpm, t.bpm) << t.text;

    EXPECT_EQ (presetOf (R"({"progression": "C", "name": "  Chorus  "})").name, "Chorus");
    EXPECT_EQ (presetOf (R"({"progression": "C", "name": ""})").name, "");
    EXPECT_EQ (presetOf (R"({"progression": "C", "scale": " C Major"})").scale, " C Major");
}

TEST (ChordPreset, RecognisedTexts)
{
    const struct { const char* text; bool recognised; } cases[] = {
        { R"({"progression": "C G"})", true },
        { R"([{"progression": "C"}, {"progression": "F", "voicing": "jazz"}])", true },
        { R"([])", false },
        { R"([{"progression": "C"}, {"name": "no progression"}])", false },
        { R"({"progression": "C", "voicing": "Loud"})", false },
        { R"(42)", false },
        { R"("text")", false },
        { R"(null)", false },
        { R"({"progression": )", false },
        { "", false },
    };

    for (const auto& c : cases)
        EXPECT_EQ (isRecognisedChordPresetJson (c.text), c.recognised) << c.text;

    EXPECT_FALSE (isRecognisedChordPresetJson (juce::String::repeatedString ("[", 50000)));
}

TEST (ChordPreset, TheOverlaysParserTellsBareValuesFromBrokenSyntax)
{
    EXPECT_TRUE (parseChordPresetText ("").isVoid());
    EXPECT_TRUE (parseChordPresetText ("null").isVoid());
    EXPECT_TRUE (parseChordPresetText ("{\"a\": ").isVoid());
    EXPECT_TRUE (parseChordPresetText (juce::String::repeatedString ("{\"a\":", 1000)).isVoid());
    EXPECT_EQ ((int) parseChordPresetText ("42"), 42);
    EXPECT_TRUE (parseChordPresetText ("[]").isArray());
}

TEST (ChordPreset, ScaleSplitsOnlyAfterANoteName)
{
    const struct { const char* scale; const char* rootKey; const char* scaleName; } cases[] = {
        { "A Dorian", "A", "Dorian" },
        { "F# Lydian Dom.", "F#", "Lydian Dom." },
        { "bb  Minor ", "bb", "Minor" },
        { "Dorian", "", "Dorian" },
        { "Whole Tone", "", "Whole Tone" },
        { "Pent. Minor", "", "Pent. Minor" },
        { " Dorian", "", "Dorian" },
        { "", "", "" },
    };

    for (const auto& c : cases)
    {
        ChordPreset preset;
        preset.progression = "C";
        preset.scale = c.scale;
        const auto section = makeChordPresetSection (preset);
        EXPECT_EQ (section.rootKey, c.rootKey) << c.scale;
        EXPECT_EQ (section.scale, c.scaleName) << c.scale;
    }
}

TEST (ChordPreset, SectionTakesEverySetting)
{
    auto preset = presetOf (R"({"name": "Bridge", "progression": "c:2  am  ", "bpm": 128, "body_voicing": "guitarist",
                               "arrangement": {"shimmer_mode": "Top", "bass_octave": -4, "shimmer_octave": 3,
                                               "body_with_shimmer": true}})");
    const auto section = makeChordPresetSection (preset);

    EXPECT_EQ (section.name, "Bridge");
    EXPECT_EQ (section.progression, "c:2 am");
    EXPECT_EQ (section.suggestedBpm, "128 BPM");
    EXPECT_EQ (section.voicing, "Guitarist");
    EXPECT_EQ (section.bodyVoicing, "Guitarist");
    EXPECT_EQ (section.bassVoicing, "Smooth");
    EXPECT_TRUE (section.arrangeShimmerTopNoteEnabled);
    EXPECT_FALSE (section.arrangeShimmerColorNotesEnabled);
    EXPECT_TRUE (section.arrangeBodyWithShimmer);
    EXPECT_EQ (section.bassOctave, -4);
    EXPECT_EQ (section.shimmerOctave, 3);
    EXPECT_EQ (section.baseOctave, 3);
    EXPECT_EQ (section.bassMotion, "Balanced");
}

TEST (ChordPreset, PaletteKeepsThirtyTwoSectionsAndNamesTheUnnamed)
{
    std::vector<ChordPreset> presets (40);

    for (size_t i = 0; i < presets.size(); ++i)
    {
        presets[i].progression = "C";
        presets[i].name = "P" + juce::String ((int) i);
    }

    presets[1].name = "";
    presets[2].name = "  ";
    presets[3].name = "A";

    const auto sections = makeSectionPalette (presets);
    ASSERT_EQ (sections.size(), 32u);
    EXPECT_EQ (sections[0].name, "P0");
    EXPECT_EQ (sections[1].name, "A");
    EXPECT_EQ (sections[2].name, "B");
    EXPECT_EQ (sections[3].name, "A");
    EXPECT_EQ (sections[31].name, "P31");

    EXPECT_TRUE (makeSectionPalette ({}).empty());
}

TEST (ChordPreset, WhatTheReaderAcceptsPassesTheStrictCheckOfASavedProject)
{
    // Lower-case voicings, blank and padded names and an out-of-range tempo once made sections
    // that a later project save refused.
    const auto text = juce::String (R"([
        {"name": " Verse ", "progression": "C Am F G", "voicing": "jazz", "bpm": 5000, "scale": "Whole Tone"},
        {"name": "", "progression": "Dm G", "body_voicing": "first inversion", "scale": "d Dorian"},
        {"progression": "F", "shimmer_voicing": "BASSIST", "arrangement": {"shimmer_mode": "color"}}])");

    const auto parsed = juce::JSON::parse (text);
    std::vector<ChordPreset> presets;

    for (const auto& item : *parsed.getArray())
    {
        ChordPreset preset;
        juce::String error;
        ASSERT_TRUE (parseChordPreset (item, preset, error)) << error;
        presets.push_back (preset);
    }

    PersistentState state;
    state.Sections = makeSectionPalette (presets);
    state.selectedSectionViewIndex = 0;

    // The scale is left out here: a root-less scale name is the processor's own limit.
    for (auto& section : state.Sections)
        if (section.rootKey.isEmpty())
            section.scale.clear();

    const auto result = validatePortableProjectWith (stateToPortableProject (state), "1");
    EXPECT_TRUE (result.wasOk()) << result.getErrorMessage();
    EXPECT_EQ (state.Sections[0].name, "Verse");
    EXPECT_EQ (state.Sections[0].bodyVoicing, "Jazz");
    EXPECT_EQ (state.Sections[0].suggestedBpm, "");
    EXPECT_EQ (state.Sections[1].bodyVoicing, "First Inversion");
    EXPECT_EQ (state.Sections[1].rootKey, "d");
    EXPECT_EQ (state.Sections[2].shimmerVoicing, "Bassist");

    // The single preset of an empty name is still "Custom".
    EXPECT_EQ (makeChordPresetSection (presets[1]).name, "Custom");
}
