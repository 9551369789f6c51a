#include "kit/json/JsonReader.h"
#include "processor/state/PortableProject.h"
#include "processor/state/PortableValidation.h"
#include "harmony/ChordVocabulary.h"
#include "harmony/ProgressionCompiler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace
{
// A project that passes every check: two sections, the second with a shimmer octave.
juce::var validProject()
{
    return juce::JSON::parse (R"({
        "activeSectionIndex": 0,
        "sectionPlaybackMode": "loopSection",
        "sections": [
          { "name": "Verse", "progression": "C Am F G", "scale": "C Major", "bpm": 120,
            "bass_voicing": "Smooth", "body_voicing": "Smooth", "shimmer_voicing": "Smooth",
            "arrangement": { "bass_legato": false, "body_legato": true, "shimmer_legato": true,
                             "bass_add_octave": false, "bass_add_fifth": false, "body_add_root": true,
                             "body_add_fifth": true, "body_with_shimmer": false,
                             "bass_octave": 0, "body_octave": 0, "shimmer_mode": "Off" } },
          { "name": "Chorus", "progression": "F:2 G:2",
            "bass_voicing": "Bassist", "body_voicing": "Jazz", "shimmer_voicing": "None",
            "arrangement": { "bass_legato": true, "body_legato": true, "shimmer_legato": true,
                             "bass_add_octave": true, "bass_add_fifth": false, "body_add_root": true,
                             "body_add_fifth": true, "body_with_shimmer": true,
                             "bass_octave": -1, "body_octave": 1, "shimmer_octave": 2, "shimmer_mode": "Halo" } }
        ] })");
}

juce::DynamicObject& projectObject (juce::var& p) { return *p.getDynamicObject(); }
juce::DynamicObject& section (juce::var& p, int i) { return *p["sections"][i].getDynamicObject(); }
juce::DynamicObject& arrangement (juce::var& p, int i) { return *p["sections"][i]["arrangement"].getDynamicObject(); }

juce::var manySections (int count)
{
    juce::Array<juce::var> sections;
    auto p = validProject();
    for (int i = 0; i < count; ++i)
        sections.add (p["sections"][0]);
    return sections;
}

juce::String chords (int count, const char* chord = "C")
{
    juce::StringArray list;
    for (int i = 0; i < count; ++i)
        list.add (chord);
    return list.joinIntoString (" ");
}

struct Case
{
    const char* what;
    std::function<void (juce::var&)> change;
    juce::String message;   // empty: the project passes
};

void runCases (const std::vector<Case>& cases)
{
    for (const auto& c : cases)
    {
        auto project = validProject();
        c.change (project);
        const auto result = validatePortableProjectWith (project, "1");

        if (c.message.isEmpty())
            EXPECT_TRUE (result.wasOk()) << c.what << ": " << result.getErrorMessage();
        else
            EXPECT_EQ (result.getErrorMessage(), c.message) << c.what;
    }
}
} // namespace

TEST (PortableValidation, TheValidProjectPasses)
{
    EXPECT_TRUE (validatePortableProjectWith (validProject(), "1").wasOk());
    EXPECT_TRUE (validatePortableDocument (validProject()).wasOk());
}

TEST (PortableValidation, ProjectDocumentChecks)
{
    runCases ({
        { "array as project", [] (juce::var& p) { p = juce::Array<juce::var> { 1 }; }, "Portable project contains unsupported fields." },
        { "text as project", [] (juce::var& p) { p = "project"; }, "Portable project contains unsupported fields." },
        { "extra key", [] (juce::var& p) { projectObject (p).setProperty ("tempo", 120); }, "Portable project contains unsupported fields." },
        { "key in another case", [] (juce::var& p) { projectObject (p).setProperty ("Sections", 1); }, "Portable project contains unsupported fields." },
        { "no sections", [] (juce::var& p) { projectObject (p).removeProperty ("sections"); }, "Portable project must contain 1 to 32 sections." },
        { "sections not an array", [] (juce::var& p) { projectObject (p).setProperty ("sections", "A B"); }, "Portable project must contain 1 to 32 sections." },
        { "empty sections", [] (juce::var& p) { projectObject (p).setProperty ("sections", juce::Array<juce::var>()); }, "Portable project must contain 1 to 32 sections." },
        { "33 sections", [] (juce::var& p) { projectObject (p).setProperty ("sections", manySections (33)); }, "Portable project must contain 1 to 32 sections." },
        { "32 sections", [] (juce::var& p) { projectObject (p).setProperty ("sections", manySections (32)); }, "" },
        { "index missing", [] (juce::var& p) { projectObject (p).removeProperty ("activeSectionIndex"); }, "Portable project activeSectionIndex is invalid." },
        { "index 1.0", [] (juce::var& p) { projectObject (p).setProperty ("activeSectionIndex", 1.0); }, "Portable project activeSectionIndex is invalid." },
        { "index as text", [] (juce::var& p) { projectObject (p).setProperty ("activeSectionIndex", "1"); }, "Portable project activeSectionIndex is invalid." },
        { "index -1", [] (juce::var& p) { projectObject (p).setProperty ("activeSectionIndex", -1); }, "Portable project activeSectionIndex is invalid." },
        { "index = count", [] (juce::var& p) { projectObject (p).setProperty ("activeSectionIndex", 2); }, "Portable project activeSectionIndex is invalid." },
        { "index huge", [] (juce::var& p) { projectObject (p).setProperty ("activeSectionIndex", (juce::int64) 1 << 40); }, "Portable project activeSectionIndex is invalid." },
        { "last index", [] (juce::var& p) { projectObject (p).setProperty ("activeSectionIndex", 1); }, "" },
        { "mode missing", [] (juce::var& p) { projectObject (p).removeProperty ("sectionPlaybackMode"); }, "" },
        { "mode null", [] (juce::var& p) { projectObject (p).setProperty ("sectionPlaybackMode", juce::var()); }, "" },
        { "advance mode", [] (juce::var& p) { projectObject (p).setProperty ("sectionPlaybackMode", "advanceSections"); }, "" },
        { "mode advance", [] (juce::var& p) { projectObject (p).setProperty ("sectionPlaybackMode", "advance"); }, "Portable project sectionPlaybackMode is invalid." },
        { "mode other case", [] (juce::var& p) { projectObject (p).setProperty ("sectionPlaybackMode", "LoopSection"); }, "Portable project sectionPlaybackMode is invalid." },
        { "mode as number", [] (juce::var& p) { projectObject (p).setProperty ("sectionPlaybackMode", 1); }, "Portable project sectionPlaybackMode is invalid." },
    });
}

TEST (PortableValidation, SectionChecks)
{
    const auto twoByteLetters = [] (int count)
    {
        juce::String s;
        for (int i = 0; i < count; ++i)
            s += juce::String (juce::CharPointer_UTF8 ("\xc3\xa9"));
        return s;
    };

    runCases ({
        { "section not an object", [] (juce::var& p) { p["sections"].getArray()->set (1, 5); }, "Section 2 contains unsupported fields." },
        { "lenient voicing key", [] (juce::var& p) { section (p, 1).setProperty ("voicing", "Jazz"); }, "Section 2 contains unsupported fields." },
        { "name trailing space", [] (juce::var& p) { section (p, 0).setProperty ("name", "Verse "); }, "Section 1 has an invalid name." },
        { "name empty", [] (juce::var& p) { section (p, 0).setProperty ("name", ""); }, "Section 1 has an invalid name." },
        { "name blanks", [] (juce::var& p) { section (p, 0).setProperty ("name", "   "); }, "Section 1 has an invalid name." },
        { "name missing", [] (juce::var& p) { section (p, 0).removeProperty ("name"); }, "Section 1 has an invalid name." },
        { "name number", [] (juce::var& p) { section (p, 0).setProperty ("name", 1); }, "Section 1 has an invalid name." },
        { "name 257 bytes in 129 letters", [=] (juce::var& p) { section (p, 0).setProperty ("name", twoByteLetters (129)); }, "Section 1 has an invalid name." },
        { "name 256 bytes", [=] (juce::var& p) { section (p, 0).setProperty ("name", twoByteLetters (128)); }, "" },
        { "progression empty", [] (juce::var& p) { section (p, 0).setProperty ("progression", ""); }, "Section Verse has an invalid progression." },
        { "progression missing", [] (juce::var& p) { section (p, 1).removeProperty ("progression"); }, "Section Chorus has an invalid progression." },
        { "progression leading blank", [] (juce::var& p) { section (p, 0).setProperty ("progression", " C"); }, "Section Verse has an invalid progression." },
        { "progression too long", [] (juce::var& p) { section (p, 0).setProperty ("progression", juce::String::repeatedString ("C", 16385)); }, "Section Verse has an invalid progression." },
        { "257 chords", [] (juce::var& p) { section (p, 0).setProperty ("progression", chords (257)); }, "Section Verse contains too many chords." },
        { "256 chords", [] (juce::var& p) { section (p, 0).setProperty ("progression", chords (256)); }, "" },
        { "chords counted across tabs and lines", [] (juce::var& p) { section (p, 0).setProperty ("progression", chords (128).replace (" ", "\t") + "\r\n\n" + chords (129)); }, "Section Verse contains too many chords." },
        { "scale empty", [] (juce::var& p) { section (p, 0).setProperty ("scale", ""); }, "Section scale must be a non-empty string when provided." },
        { "scale null", [] (juce::var& p) { section (p, 0).setProperty ("scale", juce::var()); }, "Section scale must be a non-empty string when provided." },
        { "scale number", [] (juce::var& p) { section (p, 0).setProperty ("scale", 3); }, "Section scale must be a non-empty string when provided." },
        { "bpm 0", [] (juce::var& p) { section (p, 0).setProperty ("bpm", 0); }, "Section BPM must be an integer from 1 to 999." },
        { "bpm 1000", [] (juce::var& p) { section (p, 0).setProperty ("bpm", 1000); }, "Section BPM must be an integer from 1 to 999." },
        { "bpm 120.5", [] (juce::var& p) { section (p, 0).setProperty ("bpm", 120.5); }, "Section BPM must be an integer from 1 to 999." },
        { "bpm text", [] (juce::var& p) { section (p, 0).setProperty ("bpm", "120"); }, "Section BPM must be an integer from 1 to 999." },
        { "bpm 1", [] (juce::var& p) { section (p, 0).setProperty ("bpm", 1); }, "" },
        { "bpm 999", [] (juce::var& p) { section (p, 0).setProperty ("bpm", 999); }, "" },
        { "body voicing lower case", [] (juce::var& p) { section (p, 0).setProperty ("body_voicing", "smooth"); }, "Section body_voicing is invalid." },
        { "body voicing missing", [] (juce::var& p) { section (p, 0).removeProperty ("body_voicing"); }, "Section body_voicing is invalid." },
        { "bass voicing empty", [] (juce::var& p) { section (p, 0).setProperty ("bass_voicing", ""); }, "Section bass_voicing is invalid." },
        { "shimmer voicing unknown", [] (juce::var& p) { section (p, 0).setProperty ("shimmer_voicing", "Harp"); }, "Section shimmer_voicing is invalid." },
        { "bass before body", [] (juce::var& p) { section (p, 0).setProperty ("bass_voicing", 1); section (p, 0).setProperty ("body_voicing", 1); }, "Section bass_voicing is invalid." },
        { "arrangement missing", [] (juce::var& p) { section (p, 0).removeProperty ("arrangement"); }, "Section arrangement is required." },
        { "arrangement array", [] (juce::var& p) { section (p, 0).setProperty ("arrangement", juce::Array<juce::var>()); }, "Section arrangement is required." },
        { "first failing section wins", [] (juce::var& p) { section (p, 1).setProperty ("bpm", 0); section (p, 0).setProperty ("name", ""); }, "Section 1 has an invalid name." },
    });
}

TEST (PortableValidation, ScaleChecks)
{
    struct ScaleCase { juce::String scale; juce::String message; };
    const ScaleCase cases[] = {
        { "CMajor", "Scale must contain a root note and recognized scale name." },
        { "Major", "Scale must contain a root note and recognized scale name." },
        { "H Major", "Scale is not recognized by Corvessa." },
        { "F# Natural Minor", "Scale is not recognized by Corvessa." },
        { "Cx Major", "Scale is not recognized by Corvessa." },
        { "C# major", "Scale is not recognized by Corvessa." },
        { "CB Major", "Scale is not recognized by Corvessa." },
        { "C## Major", "Scale is not recognized by Corvessa." },
        { "C  Major", "Scale must use a single space between its root and scale name." },
        { " C Major", "Scale must use a single space between its root and scale name." },
        { "C Major ", "Scale must use a single space between its root and scale name." },
        { juce::String::repeatedString ("x", 257), "Scale name is too long." },
        { "c Major", "" },
        { "Bb Dorian", "" },
        { "F# Hungarian Min.", "" },
        { "G Pent. Minor", "" },
        { "A Whole Tone", "" },
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (validatePortableScale (c.scale).getErrorMessage(), c.message) << c.scale;

        // Inside a project the message comes as it is, with no section prefix.
        auto project = validProject();
        section (project, 0).setProperty ("scale", c.scale);
        EXPECT_EQ (validatePortableProjectWith (project, "1").getErrorMessage(), c.message) << c.scale;
    }
}

TEST (PortableValidation, ArrangementChecks)
{
    runCases ({
        { "unknown key", [] (juce::var& p) { arrangement (p, 0).setProperty ("base_octave", 3); }, "Arrangement contains unsupported fields." },
        { "body_with_shimmer missing", [] (juce::var& p) { arrangement (p, 0).removeProperty ("body_with_shimmer"); }, "Arrangement body_with_shimmer must be boolean." },
        { "bass_legato 1", [] (juce::var& p) { arrangement (p, 0).setProperty ("bass_legato", 1); }, "Arrangement bass_legato must be boolean." },
        { "shimmer_legato text", [] (juce::var& p) { arrangement (p, 0).setProperty ("shimmer_legato", "true"); }, "Arrangement shimmer_legato must be boolean." },
        { "booleans in order", [] (juce::var& p) { arrangement (p, 0).removeProperty ("body_add_fifth"); arrangement (p, 0).removeProperty ("bass_add_octave"); }, "Arrangement bass_add_octave must be boolean." },
        { "body_octave 5", [] (juce::var& p) { arrangement (p, 0).setProperty ("body_octave", 5); }, "Arrangement body_octave must be an integer from -4 to 4." },
        { "bass_octave -5", [] (juce::var& p) { arrangement (p, 0).setProperty ("bass_octave", -5); }, "Arrangement bass_octave must be an integer from -4 to 4." },
        { "bass_octave 1.0", [] (juce::var& p) { arrangement (p, 0).setProperty ("bass_octave", 1.0); }, "Arrangement bass_octave must be an integer from -4 to 4." },
        { "bass_octave missing", [] (juce::var& p) { arrangement (p, 0).removeProperty ("bass_octave"); }, "Arrangement bass_octave must be an integer from -4 to 4." },
        { "octaves at the limits", [] (juce::var& p) { arrangement (p, 0).setProperty ("bass_octave", -4); arrangement (p, 0).setProperty ("body_octave", 4); }, "" },
        { "mode lower case", [] (juce::var& p) { arrangement (p, 0).setProperty ("shimmer_mode", "off"); }, "Arrangement shimmer_mode is invalid." },
        { "mode missing", [] (juce::var& p) { arrangement (p, 0).removeProperty ("shimmer_mode"); }, "Arrangement shimmer_mode is invalid." },
        { "Off with octave", [] (juce::var& p) { arrangement (p, 0).setProperty ("shimmer_octave", 0); }, "Arrangement shimmer_octave must be omitted when shimmer is Off." },
        { "Off with null octave", [] (juce::var& p) { arrangement (p, 0).setProperty ("shimmer_octave", juce::var()); }, "" },
        { "Top without octave", [] (juce::var& p) { arrangement (p, 0).setProperty ("shimmer_mode", "Top"); }, "Arrangement shimmer_octave must be an integer from -4 to 4." },
        { "Halo with null octave", [] (juce::var& p) { arrangement (p, 1).setProperty ("shimmer_octave", juce::var()); }, "Arrangement shimmer_octave must be an integer from -4 to 4." },
        { "Color with octave 5", [] (juce::var& p) { arrangement (p, 1).setProperty ("shimmer_mode", "Color"); arrangement (p, 1).setProperty ("shimmer_octave", 5); }, "Arrangement shimmer_octave must be an integer from -4 to 4." },
    });
}

TEST (PortableValidation, ProgressionCompileChecks)
{
    runCases ({
        { "one unreadable chord", [] (juce::var& p) { section (p, 0).setProperty ("progression", "C Xq F G"); }, "Section Verse: invalid chord progression token: Xq" },
        { "repeats listed once", [] (juce::var& p) { section (p, 0).setProperty ("progression", "Xq C Cfoo Xq"); }, "Section Verse: invalid chord progression tokens: Xq, Cfoo" },
        { "one and a half bars", [] (juce::var& p) { section (p, 0).setProperty ("progression", "C:1.5"); }, "Section Verse: chord durations must total an integer number of bars" },
        { "three quarters in ticks", [] (juce::var& p) { section (p, 1).setProperty ("progression", "C:T256 R:T128"); }, "Section Chorus: chord durations must total an integer number of bars" },
        { "a bar in ticks", [] (juce::var& p) { section (p, 1).setProperty ("progression", "C:T256 R:T256"); }, "" },
        { "halves that make a bar", [] (juce::var& p) { section (p, 0).setProperty ("progression", "C:0.5 G:0.5"); }, "" },
        // A chord lasts at most 8192 bars, so huge durations add up to a finite whole number of bars.
        { "huge durations", [] (juce::var& p) { section (p, 0).setProperty ("progression", "C:1e305 F:1e305 G:1e305 C:1e305"); }, "" },
        { "huge durations and a half bar", [] (juce::var& p) { section (p, 0).setProperty ("progression", "C:T1e308 G:0.5"); }, "Section Verse: chord durations must total an integer number of bars" },
    });

    // The default duration of the state decides how long a chord without one lasts.
    auto project = validProject();
    section (project, 0).setProperty ("progression", "C G");
    EXPECT_TRUE (validatePortableProjectWith (project, "1").wasOk());
    EXPECT_EQ (validatePortableProjectWith (project, "0.25").getErrorMessage(),
               "Section Verse: chord durations must total an integer number of bars");
}

TEST (PortableValidation, IntegersBeyondSixtyFourBitsNeverPassAsOtherNumbers)
{
    // The framework's number reader wraps: this bpm read as 100 and passed the check.
    const auto text = juce::JSON::toString (validProject()).replace ("\"bpm\": 120", "\"bpm\": 18446744073709551716");
    ASSERT_TRUE (text.contains ("18446744073709551716"));
    EXPECT_TRUE (validatePortableProjectWith (velmar::JsonReader::parse (text), "1").failed());

    const auto index = juce::JSON::toString (validProject()).replace ("\"activeSectionIndex\": 0", "\"activeSectionIndex\": 18446744073709551616");
    ASSERT_TRUE (index.contains ("18446744073709551616"));
    EXPECT_TRUE (validatePortableProjectWith (velmar::JsonReader::parse (index), "1").failed());

    // Numbers that fit are read as before.
    EXPECT_TRUE (validatePortableProjectWith (velmar::JsonReader::parse (juce::JSON::toString (validProject())), "1").wasOk());
}

// The check compiles without voicing searches; its answer must be the one a compile in the
// section's own style and bass motion gives (the unreadable chords and the length in bars).
TEST (PortableValidation, TheProgressionCheckAnswersAsTheSectionsOwnStyleWould)
{
    const char* const progressions[] = {
        "C G Am F", "Cmaj13(#11):0.5 A13:0.5 Dm9", "C Hm Xq C Hm", "C:0.5", "Cb E#7/B# R:T256 Gsus4/F",
        "C{V/V}:2 Dm7b5:T128 Ab+ F#m11", "G13 C9 F7#11 Bb13 Eb6/9 Ab7alt Db9 Gb13", "c g am f",
    };

    for (const auto* text : progressions)
        for (int style = 0; style < 7; ++style)
            for (int motion = 0; motion < 3; ++motion)
            {
                SectionMode::SectionData section;
                section.progression = text;
                section.bodyVoicing = voicingStyleNameForIndex (style);
                section.bassMotion = bassMotionNames()[motion];
                section.baseOctave = 2 + motion;

                ProgressionCompiler compiler;
                const auto events = compiler.compileProgression (section.progression, section.baseOctave, style, "1", motion);
                juce::StringArray unreadable;
                for (const auto& chord : compiler.unrecognisedChords)
                    unreadable.addIfNotAlreadyThere (chord);
                const auto bars = ProgressionCompiler::getTotalLengthInBeats (events) * 0.25;

                const auto expected = unreadable.size() == 1 ? "invalid chord progression token: " + unreadable[0]
                                    : unreadable.size() > 1  ? "invalid chord progression tokens: " + unreadable.joinIntoString (", ")
                                    : std::abs (bars - std::round (bars)) > 1.0e-6 ? juce::String ("chord durations must total an integer number of bars")
                                                                                     : juce::String();

                EXPECT_EQ (validateProgressionTokens (section, "1").getErrorMessage(), expected)
                    << text << " in " << section.bodyVoicing << ", motion " << motion;
            }
}
