// Progression generation: the properties every generated text keeps, over many seeded runs for
// every mood and every combination of the four switches, then the rules one at a time.
#include "MoodGeneratorTestAccess.h"

#include "harmony/ChordVocabulary.h"
#include "harmony/ProgressionCompiler.h"
#include "harmony/ProgressionText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace
{
using Access = MoodGeneratorTestAccess;

MoodGenerationOptions optionsFromBits (int bits)
{
    return { (bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0 };
}

juce::String describe (MoodGenerationOptions o)
{
    return juce::String ("options ") + (o.fifthOfFifth ? "V/V " : "") + (o.tritoneSub ? "TT " : "")
         + (o.chromaticMediant ? "CM " : "") + (o.slashChords ? "slash" : "");
}

int pitchOf (const juce::String& name)
{
    return noteNames().indexOf (foldNoteName (name));
}

bool samePitch (const juce::String& a, const juce::String& b)
{
    return pitchOf (a) == pitchOf (b);
}

// The scale degree a root stands on in the key, or -1.
int degreeOf (const MoodProfile& profile, int keyPitch, const juce::String& root)
{
    const auto interval = ((pitchOf (root) - keyPitch) % 12 + 12) % 12;
    const auto found = std::find (profile.scaleIntervals.begin(), profile.scaleIntervals.end(), interval);
    return found != profile.scaleIntervals.end() ? (int) (found - profile.scaleIntervals.begin()) : -1;
}

std::vector<juce::String> canonicalAll (const std::vector<juce::String>& qualities)
{
    std::vector<juce::String> result;
    for (const auto& q : qualities)
        result.push_back (canonicalQuality (q));
    return result;
}

bool containsText (const std::vector<juce::String>& list, const juce::String& text)
{
    return std::find (list.begin(), list.end(), text) != list.end();
}

// The qualities of the mood's palettes that also stand in a list; `fallback` when none does.
std::vector<juce::String> optionQualities (const MoodProfile& profile, const std::vector<juce::String>& list,
                                           const juce::String& fallback)
{
    std::vector<juce::String> found;
    for (const auto& [degree, palette] : profile.qualityPalettes)
        for (const auto& q : palette)
            if (containsText (list, q))
                found.push_back (canonicalQuality (q));
    return found.empty() ? std::vector<juce::String> { fallback } : found;
}

const std::vector<juce::String> dominantList { "7", "9", "13", "7sus4", "9sus4", "13sus4", "7#11",
                                               "9#11", "7b9", "13b9", "7#5", "9#5", "7alt", "7b13" };
const std::vector<juce::String> colourList { "maj7", "maj9", "maj13", "m7", "m9", "m11", "aug",
                                             "maj7#5", "maj9#5", "maj13(#5)", "mM7", "m(maj7)", "m(maj9)", "6" };

// Checks one generated progression against the mood it came from; reports every broken rule.
void checkProgression (const MoodProfile& profile, const juce::String& key, int bars,
                       MoodGenerationOptions options, const juce::String& text)
{
    SCOPED_TRACE ((profile.name + " in " + key + ", " + juce::String (bars) + " bars, " + describe (options)
                   + ": " + text).toStdString());

    const auto tokens = parseProgressionTokens (text);
    ASSERT_FALSE (tokens.empty());
    ASSERT_LE (tokens.size(), 64u);
    EXPECT_FALSE (text.contains ("  ") || text.startsWithChar (' ') || text.endsWithChar (' '));

    const auto keyPitch = juce::jmax (0, pitchOf (key));
    const auto allowed = MoodGenerator::getAllowedDegrees (profile);
    const auto cap = bars * 0.25;
    const auto capText = Access::formatBarLength (cap);

    const std::vector<juce::String> queued = [&options]
    {
        std::vector<juce::String> tags;
        if (options.fifthOfFifth)
            tags.push_back ("{V/V}");
        if (options.tritoneSub)
            tags.push_back ("{TT}");
        if (options.chromaticMediant)
            tags.push_back ("{CM}");
        return tags;
    }();

    double total = 0.0;
    for (size_t i = 0; i < tokens.size(); ++i)
    {
        const auto& token = tokens[i];
        SCOPED_TRACE (token.text.toStdString());
        ASSERT_TRUE (token.isValid);
        ASSERT_FALSE (token.isRest);
        ASSERT_TRUE (token.hasDuration);

        const auto length = token.duration.getDoubleValue();
        EXPECT_GT (length, 0.0);
        EXPECT_LE (length, cap + 1e-9);
        if (i + 1 < tokens.size())
        {
            EXPECT_TRUE (containsText (profile.rhythms, token.duration) || token.duration == capText);
        }
        total += length;

        // A slash and an option tag never share a token, and a bass equal to the root is not written.
        EXPECT_FALSE (token.bass.isNotEmpty() && token.option.isNotEmpty());
        if (token.bass.isNotEmpty())
        {
            EXPECT_TRUE (options.slashChords);
            EXPECT_FALSE (samePitch (token.bass, token.root));
        }

        if (i == 0)
        {
            EXPECT_TRUE (token.option.isEmpty());
        }
        else if (i <= queued.size())
        {
            EXPECT_EQ (token.option, queued[i - 1]);
        }

        if (token.option.isEmpty())
        {
            const auto degree = degreeOf (profile, keyPitch, token.root);
            ASSERT_TRUE (std::find (allowed.begin(), allowed.end(), degree) != allowed.end()) << "degree " << degree;

            const auto palette = profile.qualityPalettes.find (degree);
            if (palette != profile.qualityPalettes.end())
                EXPECT_TRUE (containsText (canonicalAll (palette->second), token.quality));
            else
                EXPECT_EQ (token.quality, "");

            if (token.bass.isNotEmpty())
            {
                const auto choice = profile.slashBasses.find (degree);
                ASSERT_NE (choice, profile.slashBasses.end());
                EXPECT_EQ (degreeOf (profile, keyPitch, token.bass), choice->second.front().bassDegree);
            }
            continue;
        }

        EXPECT_TRUE ((token.option == "{V/V}" && options.fifthOfFifth) || (token.option == "{TT}" && options.tritoneSub)
                     || (token.option == "{CM}" && options.chromaticMediant));

        const auto offset = ((pitchOf (token.root) - keyPitch) % 12 + 12) % 12;
        if (token.option == "{CM}")
        {
            EXPECT_TRUE (offset == 3 || offset == 4 || offset == 8 || offset == 9) << offset;
            EXPECT_FALSE (samePitch (token.root, tokens[i - 1].root));
            EXPECT_TRUE (containsText (optionQualities (profile, colourList, "maj7"), token.quality));
        }
        else
        {
            EXPECT_EQ (offset, token.option == "{V/V}" ? 2 : 1);
            EXPECT_TRUE (containsText (optionQualities (profile, dominantList, "7"), token.quality));
        }
    }

    if (tokens.size() < 64)
        EXPECT_NEAR (total, (double) bars, 1e-9);
    else
        EXPECT_LE (total, bars + 1e-9);
}

TEST (MoodProgression, EveryMoodAndSwitchCombinationKeepsTheRules)
{
    MoodGenerator generator { 2024u };
    int optionTokens = 0, slashTokens = 0;

    for (const auto& name : tableMoodNames())
    {
        const auto profile = *generator.findMood (name);
        for (int bits = 0; bits < 16; ++bits)
            for (int bars : { 1, 3, 5, 16, 37, 64, 128 })
                for (const auto& key : { profile.keys.front(), juce::String ("C"), juce::String ("F#") })
                {
                    const auto options = optionsFromBits (bits);
                    const auto text = generator.generateProgression (name, key, bars, options);
                    checkProgression (profile, key, bars, options, text);
                    for (const auto& token : parseProgressionTokens (text))
                    {
                        optionTokens += token.option.isNotEmpty() ? 1 : 0;
                        slashTokens += token.bass.isNotEmpty() ? 1 : 0;
                    }
                    if (HasFatalFailure())
                        return;
                }
    }

    // The runs did reach the option and slash paths.
    EXPECT_GT (optionTokens, 0);
    EXPECT_GT (slashTokens, 0);
}

TEST (MoodProgression, GeneratedTextsCompileWithoutUnrecognisedChords)
{
    MoodGenerator generator { 99u };

    for (const auto& name : tableMoodNames())
        for (int bits = 0; bits < 16; ++bits)
        {
            const auto& profile = *generator.findMood (name);
            const auto text = generator.generateProgression (name, profile.keys[(size_t) bits % 4], 64, optionsFromBits (bits));

            ProgressionCompiler compiler;
            const auto events = compiler.compileProgression (text, 3, profile.voicingStyle, "1", 1);
            EXPECT_TRUE (compiler.unrecognisedChords.isEmpty()) << text << ": " << compiler.unrecognisedChords.joinIntoString (", ");
            EXPECT_EQ (events.size(), parseProgressionTokens (text).size());
            for (const auto& event : events)
                EXPECT_TRUE (event.resolved) << event.symbol;
        }
}

std::vector<juce::String> lengthsOf (const juce::String& text)
{
    std::vector<juce::String> lengths;
    for (const auto& token : parseProgressionTokens (text))
        lengths.push_back (token.duration);
    return lengths;
}

TEST (MoodProgression, LengthsAreCappedAtAQuarterOfTheBarsAndCutToWhatRemains)
{
    struct Case
    {
        const char* mood;
        int bars;
        std::set<juce::String> lengths; // every length the progression may hold before its last chord
    };

    const std::vector<Case> cases {
        { "Space", 1, { "0.25" } },
        { "Glass", 1, { "0.25" } },
        { "Space", 16, { "4", "2" } },      // "8" and "4" become the cap, 4
        { "Space", 10, { "2.5", "2" } },    // the cap as text
        { "Glass", 6, { "1.5" } },
        { "Space", 7, { "1.75" } },
        { "Space", 3, { "0.75" } },
        { "Night", 2, { "0.5" } },
    };

    MoodGenerator generator { 5u };
    for (const auto& c : cases)
        for (int run = 0; run < 50; ++run)
        {
            const auto text = generator.generateProgression (c.mood, "C", c.bars, { true, true, true, true });
            const auto lengths = lengthsOf (text);
            double total = 0.0;
            for (size_t i = 0; i < lengths.size(); ++i)
            {
                if (i + 1 < lengths.size())
                {
                    EXPECT_TRUE (c.lengths.count (lengths[i])) << c.mood << " " << c.bars << ": " << text;
                }
                total += lengths[i].getDoubleValue();
            }
            EXPECT_LE (lengths.back().getDoubleValue(), c.bars * 0.25) << text;
            EXPECT_EQ (total, (double) c.bars) << text;
        }

    // One bar: four quarter-bar chords, whatever the mood.
    for (const auto& name : tableMoodNames())
        EXPECT_EQ (lengthsOf (generator.generateProgression (name, "C", 1, {})),
                   (std::vector<juce::String> { "0.25", "0.25", "0.25", "0.25" })) << name;
}

TEST (MoodProgression, TheLastChordIsCutToTheBarsThatRemain)
{
    // Desert draws 4, 4, 8 or 2 bars; with 18 bars the cap is 4.5, so runs reach remainders
    // such as 0.5 or 2.5 that only a cut last chord can fill.
    MoodGenerator generator { 11u };
    std::set<juce::String> cutLengths;
    for (int run = 0; run < 300; ++run)
    {
        const auto lengths = lengthsOf (generator.generateProgression ("Desert", "E", 18, {}));
        for (size_t i = 0; i + 1 < lengths.size(); ++i)
            EXPECT_TRUE (lengths[i] == "4" || lengths[i] == "4.5" || lengths[i] == "2") << lengths[i];
        if (lengths.back() != "4" && lengths.back() != "4.5" && lengths.back() != "2")
            cutLengths.insert (lengths.back());
    }

    EXPECT_TRUE (cutLengths.count ("0.5") && cutLengths.count ("2.5"));
    for (const auto& length : cutLengths)
    {
        const auto halves = length.getDoubleValue() * 2.0;
        EXPECT_TRUE (halves == std::floor (halves) && halves > 0.0 && halves < 9.0) << length;
    }
}

TEST (MoodProgression, StopsAtSixtyFourChords)
{
    MoodGenerator generator { 8u };
    for (int run = 0; run < 20; ++run)
    {
        const auto text = generator.generateProgression ("Tribal", "A", 128, {});
        const auto lengths = lengthsOf (text);
        EXPECT_EQ (lengths.size(), 64u);

        double total = 0.0;
        for (const auto& length : lengths)
            total += length.getDoubleValue();
        EXPECT_LE (total, 128.0);
    }
}

TEST (MoodProgression, QueuedOptionsComeFirstInSwitchOrder)
{
    struct Case
    {
        MoodGenerationOptions options;
        std::vector<juce::String> tags; // of the first tokens
    };

    const std::vector<Case> cases {
        { { true, true, true, false }, { "", "{V/V}", "{TT}", "{CM}" } },
        { { false, true, false, false }, { "", "{TT}" } },
        { { true, false, true, true }, { "", "{V/V}", "{CM}" } },
        { { false, false, true, false }, { "", "{CM}" } },
    };

    MoodGenerator generator { 21u };
    for (const auto& c : cases)
        for (const auto& name : tableMoodNames())
        {
            const auto tokens = parseProgressionTokens (generator.generateProgression (name, "C", 64, c.options));
            ASSERT_GE (tokens.size(), c.tags.size());
            for (size_t i = 0; i < c.tags.size(); ++i)
                EXPECT_EQ (tokens[i].option, c.tags[i]) << name << " token " << i;
        }
}

TEST (MoodProgression, OptionChordsInCStandOnTheirRoots)
{
    MoodGenerator generator { 31u };
    std::set<juce::String> mediantRoots;

    for (int run = 0; run < 200; ++run)
    {
        const auto tokens = parseProgressionTokens (generator.generateProgression ("Aurora", "C", 64, { true, true, true, false }));
        for (size_t i = 1; i < tokens.size(); ++i)
        {
            if (tokens[i].option == "{V/V}")
            {
                EXPECT_EQ (tokens[i].root, "D");
            }
            if (tokens[i].option == "{TT}")
            {
                EXPECT_EQ (tokens[i].root, "C#");
            }
            if (tokens[i].option == "{CM}")
            {
                EXPECT_NE (tokens[i].root, tokens[i - 1].root);
                mediantRoots.insert (tokens[i].root);
            }
        }
    }

    EXPECT_EQ (mediantRoots, (std::set<juce::String> { "D#", "E", "G#", "A" }));
}

TEST (MoodProgression, OptionQualitiesComeFromThePalettesOrTheirFallbacks)
{
    struct Case
    {
        const char* mood;
        MoodGenerationOptions options;
        const char* tag;
        std::set<juce::String> qualities; // all that must appear, and nothing else
    };

    const std::vector<Case> cases {
        { "Tribal", { true, false, false, false }, "{V/V}", { "7" } },       // no dominant quality in its palettes
        { "Sands", { false, true, false, false }, "{TT}", { "7" } },
        { "Glass", { false, false, true, false }, "{CM}", { "maj7" } },      // no colour quality in its palettes
        { "Space", { true, false, false, false }, "{V/V}", { "9" } },        // a single match is still drawn
        { "Space", { false, false, true, false }, "{CM}", { "maj9", "maj7", "m7", "m9" } },
        { "Glass", { false, true, false, false }, "{TT}", { "7#5", "9#5" } },
        { "Velvet", { true, false, false, false }, "{V/V}", { "7sus4", "9sus4", "7", "9", "13", "7alt" } },
    };

    MoodGenerator generator { 41u };
    for (const auto& c : cases)
    {
        std::set<juce::String> seen;
        for (int run = 0; run < 300; ++run)
        {
            const auto tokens = parseProgressionTokens (generator.generateProgression (c.mood, "C", 16, c.options));
            ASSERT_GE (tokens.size(), 2u);
            EXPECT_EQ (tokens[1].option, c.tag);
            seen.insert (tokens[1].quality);
        }

        std::set<juce::String> expected;
        for (const auto& q : c.qualities)
            expected.insert (canonicalQuality (q));
        EXPECT_EQ (seen, expected) << c.mood << " " << c.tag;
    }
}

TEST (MoodProgression, SlashBassesOnlyWhenSwitchedOnAndAtRoughlyTheirChance)
{
    MoodGenerator generator { 51u };

    // Rust: degree 1 -> 0 at 0.5 and its templates (0, 1, 3), (0, 4, 1), (0, 2, 3, 1) reach degree 1.
    int degreeOneChords = 0, degreeOneSlashes = 0;
    for (int run = 0; run < 400; ++run)
    {
        for (const auto& token : parseProgressionTokens (generator.generateProgression ("Rust", "B", 32, { false, false, false, true })))
            if (token.root == "C") // degree 1 of B Locrian
            {
                ++degreeOneChords;
                if (token.bass == "B")
                    ++degreeOneSlashes;
                else
                    EXPECT_EQ (token.bass, "");
            }

        EXPECT_FALSE (generator.generateProgression ("Rust", "B", 32, {}).containsChar ('/'));
    }

    ASSERT_GT (degreeOneChords, 200);
    EXPECT_NEAR ((double) degreeOneSlashes / degreeOneChords, 0.5, 0.08);
}

TEST (MoodProgression, EmptyForNoBarsAfterTheTemplateDraw)
{
    MoodGenerator generator { 61u };
    for (int bars : { 0, -1, -64 })
    {
        const auto before = Access::engine (generator);
        EXPECT_EQ (generator.generateProgression ("Space", "C", bars, { true, true, true, true }), "");

        auto expected = before;
        (void) std::uniform_int_distribution<size_t> (0, 2) (expected); // one of three templates
        EXPECT_EQ (Access::engine (generator), expected);
    }
}

TEST (MoodProgression, UnknownMoodAndUnknownKeyFallBack)
{
    const MoodGenerationOptions options { true, false, true, true };

    struct Case
    {
        const char* mood;
        const char* key;
        const char* sameAsMood;
        const char* sameAsKey;
    };

    const std::vector<Case> cases {
        { "Spaces", "C", "Space", "C" },
        { "---", "D", "Space", "D" },
        { "night", "A", "Space", "A" },
        { "Night", "H", "Night", "C" },
        { "Night", "", "Night", "C" },
        { "Night", "bb", "Night", "A#" },
        { "Night", "Db", "Night", "C#" },
        { "Night", "f#", "Night", "F#" },
    };

    for (const auto& c : cases)
    {
        MoodGenerator a { 71u }, b { 71u };
        EXPECT_EQ (a.generateProgression (c.mood, c.key, 24, options), b.generateProgression (c.sameAsMood, c.sameAsKey, 24, options))
            << c.mood << " in " << c.key;
    }
}

TEST (MoodProgression, WithoutSpaceTheFallbackIsOneChord)
{
    MoodGenerator generator { 81u };
    Access::moods (generator).erase ("Space");
    EXPECT_EQ (generator.generateProgression ("Spaces", "D", 16, {}), "C:4");
    EXPECT_NE (generator.generateProgression ("Night", "D", 16, {}), "C:4");
}

MoodProfile plainProfile (const juce::String& name)
{
    MoodProfile profile;
    profile.name = name;
    profile.scaleName = "Major";
    profile.scaleIntervals = { 0, 2, 4, 5, 7, 9, 11 };
    return profile;
}

TEST (MoodProgression, ProfilesWithoutPalettesOrLengthsGiveMajorTriadsOfTwoBars)
{
    MoodGenerator generator { 91u };
    auto profile = plainProfile ("Bare");
    profile.templates = { { 0, 4 } };
    Access::store (generator, profile);

    EXPECT_EQ (generator.generateProgression ("Bare", "C", 8, {}), "C:2 G:2 C:2 G:2");
    EXPECT_EQ (generator.generateProgression ("Bare", "C", 4, {}), "C:1 G:1 C:1 G:1");
}

TEST (MoodProgression, ASlashBassOnTheRootItselfIsNotWritten)
{
    MoodGenerator generator { 92u };
    auto profile = plainProfile ("Pedal");
    profile.templates = { { 0, 1 } };
    profile.rhythms = { "1" };
    profile.slashBasses[0] = { { 7, 1.0f } }; // degree 7 wraps onto degree 0: the root itself
    profile.slashBasses[1] = { { 0, 1.0f } };
    Access::store (generator, profile);

    EXPECT_EQ (generator.generateProgression ("Pedal", "C", 4, { false, false, false, true }), "C:1 D/C:1 C:1 D/C:1");
    EXPECT_EQ (generator.generateProgression ("Pedal", "C", 4, {}), "C:1 D:1 C:1 D:1");
}

TEST (MoodProgression, WithoutTemplatesTheTransitionsWalkTheDegrees)
{
    MoodGenerator generator { 93u };
    auto profile = plainProfile ("Walk");
    profile.rhythms = { "1" };
    profile.transitions = { { 0, { 4 } }, { 4, { 5, 0 } }, { 5, { 0 } } };
    profile.allowedDegrees = { 0, 4, 5 };
    Access::store (generator, profile);

    // From 4 the recent degrees (0 then 4) rule out 0, so 5 follows; from 5, 0 is all that is left.
    for (int run = 0; run < 20; ++run)
        EXPECT_EQ (generator.generateProgression ("Walk", "C", 32, {}), "C:1 G:1 A:1 C:1 G:1 A:1 C:1 G:1 A:1 C:1 G:1 A:1"
                                                                         " C:1 G:1 A:1 C:1 G:1 A:1 C:1 G:1 A:1 C:1 G:1 A:1"
                                                                         " C:1 G:1 A:1 C:1 G:1 A:1 C:1 G:1");
}

// The documented order of draws, replayed on a copy of the engine for a run with a queued
// option (whose single matching quality is still drawn) and slash basses.
TEST (MoodProgression, DrawsInTheDocumentedOrder)
{
    MoodGenerator generator { 1234u };
    auto engine = Access::engine (generator);
    const auto& space = *generator.findMood ("Space");

    auto index = [&engine] (size_t n) { return std::uniform_int_distribution<size_t> (0, n - 1) (engine); };
    auto unit = [&engine] { return (float) (engine() >> 8) / 16777216.0f; };
    auto note = [] (int degree) { return noteNames()[std::vector<int> { 0, 2, 4, 6, 7, 9, 11 }[(size_t) degree]]; };

    const auto& degrees = space.templates[index (space.templates.size())];
    juce::StringArray expected;
    double running = 0.0;
    for (size_t h = 0; running < 32.0; ++h)
    {
        const auto degree = degrees[h % degrees.size()];
        const auto& palette = space.qualityPalettes.at (degree);
        juce::String chord = note (degree) + palette[index (palette.size())];
        juce::String tag;

        if (h == 1)
        {
            chord = "D9";
            (void) index (1); // the only dominant quality of Space's palettes
            tag = "{V/V}";
        }
        else if (h > 1)
        {
            // Rolls with only the fifth of the fifth on: one unit draw, a second below 0.06.
            if (unit() < 0.06f)
            {
                (void) unit();
                chord = "D9";
                (void) index (1);
                tag = "{V/V}";
            }
        }

        auto length = space.rhythms[index (space.rhythms.size())].getDoubleValue();
        length = std::min (length, 32.0 - running);

        const auto slash = space.slashBasses.find (degree);
        if (tag.isEmpty() && slash != space.slashBasses.end())
        {
            const auto u = unit();
            if (slash->second[0].probability > u)
                chord += "/" + note (slash->second[0].bassDegree);
        }

        expected.add (chord + tag + ":" + juce::String ((int) length));
        running += length;
    }

    EXPECT_EQ (generator.generateProgression ("Space", "C", 32, { true, false, false, true }), expected.joinIntoString (" "));
    EXPECT_EQ (Access::engine (generator), engine);
}

//==============================================================================
TEST (MoodHelpers, FormatBarLength)
{
    const std::vector<std::pair<double, const char*>> cases {
        { 4.0, "4" }, { 0.0, "0" }, { 16.0004, "16" }, { 128.0, "128" },
        { 0.25, "0.25" }, { 0.5, "0.5" }, { 0.75, "0.75" }, { 1.5, "1.5" }, { 0.2504, "0.25" },
        { 1.25, "1.25" }, { 3.1, "3.1" }, { 2.5, "2.5" }, { 1.75, "1.75" }, { 3.9996, "4" }, { 2.999, "3" },
        { 0.2, "0.2" }, { 5.126, "5.13" }, { 7.5001, "7.5" },
    };

    for (const auto& [bars, text] : cases)
        EXPECT_EQ (Access::formatBarLength (bars), text) << bars;
}

TEST (MoodHelpers, NoteNamesOfKeysAndDegrees)
{
    const std::vector<int> lydian { 0, 2, 4, 6, 7, 9, 11 };
    const std::vector<std::tuple<const char*, int, const char*>> degreeCases {
        { "C", 3, "F#" }, { "A", 6, "G#" }, { "F#", 1, "G#" }, { "Bb", 0, "A#" }, { "db", 2, "F" },
        { "c", 9, "E" },   // degree 9 wraps to degree 2
        { "C", -1, "B" },  // so does a negative one
        { "H", 4, "G" },   // no note name: C
        { "Fb", 0, "C" },  // flats beyond the five common ones are no key here
    };
    for (const auto& [key, degree, name] : degreeCases)
        EXPECT_EQ (Access::degreeNoteName (key, lydian, degree), name) << key << " degree " << degree;

    const std::vector<std::pair<const char*, int>> pitchCases {
        { "C", 0 }, { "c#", 1 }, { "Db", 1 }, { "Fb", 4 }, { "E#", 5 }, { "B#", 0 }, { "Cb", 11 },
        { "bb", 10 }, { "x", 0 }, { "", 0 },
    };
    for (const auto& [name, pitch] : pitchCases)
        EXPECT_EQ (Access::pitchClassOf (name), pitch) << name;

    for (const auto& [pitch, name] : std::vector<std::pair<int, const char*>> { { 0, "C" }, { 13, "C#" }, { -1, "B" }, { -14, "A#" } })
        EXPECT_EQ (Access::noteNameOf (pitch), name) << pitch;
}

TEST (MoodHelpers, OptionQueueAndRolls)
{
    EXPECT_EQ (Access::makeOptionQueue ({ true, true, true, true }), (std::vector<int> { 1, 2, 3 }));
    EXPECT_EQ (Access::makeOptionQueue ({ false, true, true, false }), (std::vector<int> { 2, 3 }));
    EXPECT_TRUE (Access::makeOptionQueue ({ false, false, false, true }).empty());

    MoodGenerator generator { 101u };

    // Nothing enabled: no option, and no draw.
    const auto before = Access::engine (generator);
    EXPECT_EQ (Access::rollHarmonicOption (generator, { false, false, false, true }), 0);
    EXPECT_EQ (Access::engine (generator), before);

    // All enabled: 6 % of rolls give an option, split 0.6 / 0.25 / 0.15.
    constexpr int rolls = 400000;
    std::map<int, int> counts;
    for (int i = 0; i < rolls; ++i)
        ++counts[Access::rollHarmonicOption (generator, { true, true, true, false })];

    EXPECT_NEAR (counts[1] / (double) rolls, 0.036, 0.002);
    EXPECT_NEAR (counts[2] / (double) rolls, 0.015, 0.0015);
    EXPECT_NEAR (counts[3] / (double) rolls, 0.009, 0.0012);

    // Only the chromatic mediant: every option rolled is that one.
    counts.clear();
    for (int i = 0; i < 20000; ++i)
        ++counts[Access::rollHarmonicOption (generator, { false, false, true, true })];
    EXPECT_EQ (counts.size(), 2u);
    EXPECT_GT (counts[3], 0);
}

TEST (MoodHelpers, NextDegreeWithoutTemplate)
{
    struct Case
    {
        const char* what;
        std::map<int, std::vector<int>> transitions;
        std::vector<int> allowed;
        std::vector<float> weights;
        int degree;
        std::vector<int> recent;
        std::set<int> results; // every result the walk may give
    };

    const std::vector<Case> cases {
        { "a single transition", { { 0, { 3 } } }, {}, {}, 0, { 0 }, { 3 } },
        { "recent degrees are avoided", { { 0, { 3, 5 } } }, {}, {}, 0, { 3, 0 }, { 5 } },
        { "unless nothing else is left", { { 0, { 3 } } }, {}, {}, 0, { 3, 0 }, { 3 } },
        { "only the entry before the last two may return", { { 0, { 2, 3 } } }, {}, {}, 0, { 2, 3, 0 }, { 2 } },
        { "no transitions: every other allowed degree", {}, { 0, 2 }, {}, 0, { 0 }, { 2 } },
        { "empty transitions too", { { 0, {} } }, { 0, 2, 5 }, {}, 0, { 0 }, { 2, 5 } },
        { "targets outside the allowed degrees fall back", { { 0, { 9 } } }, { 0, 1 }, {}, 0, { 0 }, { 1 } },
        { "a target that wraps onto an allowed degree stays", { { 0, { 9 } } }, { 0, 2 }, {}, 0, { 0 }, { 9 } },
        { "zero weights take the last candidate", { { 0, { 3, 5 } } }, {}, { 0, 0, 0, 0, 0, 0, 0 }, 0, { 0 }, { 5 } },
        { "a negative target weighs like a missing one", { { 0, { -1 } } }, {}, {}, 0, { 0 }, { -1 } },
    };

    MoodGenerator generator { 111u };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        auto profile = plainProfile ("Walk");
        profile.transitions = c.transitions;
        profile.allowedDegrees = c.allowed;
        if (! c.weights.empty())
            profile.degreeWeights = c.weights;

        std::set<int> results;
        for (int run = 0; run < 200; ++run)
        {
            auto expectedEngine = Access::engine (generator);
            expectedEngine.discard (1); // always exactly one unit draw
            results.insert (Access::chooseNextDegree (generator, profile, c.degree, c.recent));
            ASSERT_EQ (Access::engine (generator), expectedEngine);
        }
        EXPECT_EQ (results, c.results);
    }
}

TEST (MoodHelpers, NextDegreeFollowsTheWeights)
{
    MoodGenerator generator { 121u };
    auto profile = plainProfile ("Walk");
    profile.transitions = { { 0, { 3, 5, 7 } } };  // 7 wraps onto degree 0 and has no weight: 0.5
    profile.degreeWeights = { 1.0f, 0.6f, 0.4f, 0.9f, 0.5f, 0.3f, 0.2f };

    std::map<int, int> counts;
    constexpr int runs = 34000;
    for (int run = 0; run < runs; ++run)
        ++counts[Access::chooseNextDegree (generator, profile, 0, { 0 })];

    EXPECT_NEAR (counts[3] / (double) runs, 0.9 / 1.7, 0.01);
    EXPECT_NEAR (counts[5] / (double) runs, 0.3 / 1.7, 0.01);
    EXPECT_NEAR (counts[7] / (double) runs, 0.5 / 1.7, 0.01);
}
} // namespace
