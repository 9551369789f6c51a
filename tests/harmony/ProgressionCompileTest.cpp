// Compiling progression text into chord events: how tokens, durations, option tags, rests,
// slash basses and unreadable chords are read, how each voicing style voices a chord, and that
// no text, however malformed, makes the compile throw, hang or produce unusable times.

#include "harmony/ProgressionCompiler.h"
#include "harmony/VoicingStyle.h"

#include "support/NoteListText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace
{
using Notes = std::vector<int>;

constexpr int strict = 0;
constexpr int balanced = 1;

std::vector<ChordEvent> compile (const juce::String& text, int style = styleNone, int octave = 3,
                                 const juce::String& defaultDuration = "1", int motion = balanced)
{
    ProgressionCompiler compiler;
    return compiler.compileProgression (text, octave, style, defaultDuration, motion);
}

} // namespace

//==============================================================================
TEST (ProgressionCompile, PlainChordsFollowEachOneBarApart)
{
    const auto events = compile ("C Am F G");

    ASSERT_EQ (events.size(), 4u);
    const char* symbols[] = { "C", "Am", "F", "G" };
    for (size_t i = 0; i < events.size(); ++i)
    {
        EXPECT_EQ (events[i].symbol, symbols[i]);
        EXPECT_EQ (events[i].startTicks, 512.0 * (double) i);
        EXPECT_EQ (events[i].lengthTicks, 512.0);
        EXPECT_TRUE (events[i].resolved);
        EXPECT_EQ (events[i].notes, events[i].voicing);
    }
    EXPECT_EQ (events[0].notes, (Notes { 60, 64, 67 }));
}

TEST (ProgressionCompile, DurationsInBarsTicksAndRests)
{
    ProgressionCompiler compiler;
    const auto events = compiler.compileProgression ("C:2 R:0.5 G:T384", 3, styleNone, "1", balanced);

    ASSERT_EQ (events.size(), 3u);
    EXPECT_EQ (events[0].startTicks, 0.0);
    EXPECT_EQ (events[0].lengthTicks, 1024.0);
    EXPECT_EQ (events[1].symbol, "R");
    EXPECT_EQ (events[1].startTicks, 1024.0);
    EXPECT_EQ (events[1].lengthTicks, 256.0);
    EXPECT_TRUE (events[1].notes.empty());
    EXPECT_FALSE (events[1].resolved);
    EXPECT_EQ (events[2].startTicks, 1280.0);
    EXPECT_EQ (events[2].lengthTicks, 384.0);
    EXPECT_DOUBLE_EQ (ProgressionCompiler::getTotalLengthInBeats (events), 13.0);
    EXPECT_EQ (ProgressionCompiler::getTotalLengthInBeats ({}), 0.0);
}

TEST (ProgressionCompile, DurationTexts)
{
    struct Case
    {
        const char* text;
        double ticks;
    };

    const Case cases[] = {
        { "", 512 },        { "2", 1024 },      { "0.5", 256 },     { "1.5", 768 },
        { "0", 512 },       { "-1", 512 },      { "x", 512 },       { " 2 ", 1024 },
        { "T384", 384 },    { "t256", 256 },    { "T0", 0 },        { "T", 0 },
        { "Tx", 0 },        { "T1.5", 1.5 },    { "2bars", 1024 },
        // Numbers that are not finite count as no number; negative tick counts as none.
        { "inf", 512 },     { "1e999", 512 },   { "nan", 512 },     { "-inf", 512 },
        { "Tinf", 0 },      { "T1e999", 0 },    { "Tnan", 0 },
        { "T-128", 0 },     { "t-0", 0 },
        // A chord lasts at most 8192 bars; finite counts beyond are cut to that length.
        { "8192", 4194304 },  { "8191.5", 4194048 }, { "8193", 4194304 },   { "1e305", 4194304 },
        { "1e307", 4194304 }, { "T4194304", 4194304 }, { "T4194305", 4194304 }, { "t1e308", 4194304 },
    };

    for (const auto& c : cases)
    {
        const auto ticks = ProgressionCompiler::durationToTicks (c.text);
        EXPECT_EQ (ticks, c.ticks) << "duration \"" << c.text << "\"";
        EXPECT_FALSE (std::signbit (ticks)) << "duration \"" << c.text << "\"";
    }
}

TEST (ProgressionCompile, DurationFormsInProgressionText)
{
    struct Case
    {
        const char* text;
        double firstLength;
        double secondStart;
    };

    const Case cases[] = {
        { "C:0 G", 512, 512 },      { "C:-1 G", 512, 512 },   { "C:x G", 512, 512 },
        { "C:T0 G", 0, 0 },         { "C:t256 G", 256, 256 }, { "C: G", 512, 512 },
        { "C:2:3 G", 1024, 1024 },  { "C:inf G", 512, 512 },  { "C:1e999 G", 512, 512 },
        { "C:Tnan G", 0, 0 },       { "C:T-128 G", 0, 0 },
    };

    for (const auto& c : cases)
    {
        const auto events = compile (c.text);
        ASSERT_EQ (events.size(), 2u) << c.text;
        EXPECT_EQ (events[0].symbol, "C") << c.text; // the duration never shows in the symbol
        EXPECT_EQ (events[0].lengthTicks, c.firstLength) << c.text;
        EXPECT_EQ (events[1].startTicks, c.secondStart) << c.text;
    }
}

TEST (ProgressionCompile, DefaultDurationAppliesToTokensWithout)
{
    const auto events = compile ("C G:1", styleNone, 3, "2");
    ASSERT_EQ (events.size(), 2u);
    EXPECT_EQ (events[0].lengthTicks, 1024.0);
    EXPECT_EQ (events[1].lengthTicks, 512.0);

    EXPECT_EQ (compile ("C", styleNone, 3, "T100")[0].lengthTicks, 100.0);
    EXPECT_EQ (compile ("C", styleNone, 3, "")[0].lengthTicks, 512.0);
}

TEST (ProgressionCompile, UnrecognisedChordsKeepTheirTimeAndAreListed)
{
    ProgressionCompiler compiler;
    compiler.unrecognisedChords.add ("left over from an earlier compile");

    const auto events = compiler.compileProgression ("Cmaj7 CMaj7 Hm CMaj7", 3, styleNone, "1", balanced);

    ASSERT_EQ (events.size(), 4u);
    EXPECT_EQ (compiler.unrecognisedChords, juce::StringArray ({ "CMaj7", "Hm", "CMaj7" }));
    EXPECT_FALSE (events[0].notes.empty());

    for (size_t i = 0; i < events.size(); ++i)
        EXPECT_EQ (events[i].startTicks, 512.0 * (double) i);

    for (size_t i = 1; i < events.size(); ++i)
    {
        EXPECT_FALSE (events[i].resolved);
        EXPECT_TRUE (events[i].notes.empty());
        EXPECT_TRUE (events[i].voicing.empty());
        EXPECT_FALSE (events[i].bassNote.has_value());
    }

    EXPECT_EQ (events[1].root, "C"); // the root was read before the quality failed
    EXPECT_EQ (events[2].root, "");  // no chord pattern at all
    EXPECT_EQ (events[2].symbol, "Hm");
}

TEST (ProgressionCompile, ReadingOfChordTexts)
{
    struct Case
    {
        const char* token;
        const char* symbol;
        const char* root;
        const char* bass;
        HarmonicOption option;
        bool resolved;
        Notes notes; // at octave 3, style None; empty when not checked
    };

    const auto none = HarmonicOption::none;
    const Case cases[] = {
        { "G7{V/V}", "G7", "G", "", HarmonicOption::fifthOfFifth, true, { 55, 59, 62, 65 } },
        { "G7{V/V}{TT}", "G7{TT}", "G", "", HarmonicOption::fifthOfFifth, false, {} },
        { "Dm{TT}", "Dm", "D", "", HarmonicOption::tritoneSubstitute, true, {} },
        { "{CM}E", "E", "E", "", HarmonicOption::chromaticMediant, true, {} },
        { "C{V/V}{V/V}", "C", "C", "", HarmonicOption::fifthOfFifth, true, {} },
        { "Am/G", "Am/G", "A", "G", none, true, { 57, 60, 64 } },
        { "C/G", "C/G", "C", "G", none, true, { 60, 64, 67 } },
        { "C/E", "C/E", "C", "E", none, true, { 60, 64, 67 } },
        { "C6/9", "C6/9", "C", "", none, true, { 48, 52, 55, 57, 62 } },
        { "Cm7/", "Cm7/", "C", "", none, false, {} },
        { "Cm7/x", "Cm7/x", "C", "", none, false, {} },
        { "Bb", "Bb", "Bb", "", none, true, { 58, 62, 65 } },
        { "bb", "bb", "bb", "", none, true, { 58, 62, 65 } },
        { "f#m", "f#m", "f#", "", none, true, {} },
        { "BB7", "BB7", "BB", "", none, true, {} },
        { "Cb", "Cb", "Cb", "", none, false, {} },
        { "Cbmaj7", "Cbmaj7", "Cb", "", none, false, {} },
        { "Maj7", "Maj7", "", "", none, false, {} },
        { "C\tm", "C\tm", "C", "", none, true, {} },   // a tab trims out of the quality
        { "C\nG", "C\nG", "", "", none, false, {} },   // a line break stops the chord pattern
        { "C/E7", "C/E7", "C", "E7", none, true, { 60, 64, 67 } },
        { "C/Cb", "C/Cb", "C", "Cb", none, true, { 60, 64, 67 } },
        { "{TT}", "", "", "", HarmonicOption::tritoneSubstitute, false, {} },
    };

    for (const auto& c : cases)
    {
        ProgressionCompiler compiler;
        const auto events = compiler.compileProgression (c.token, 3, styleNone, "1", strict);

        ASSERT_EQ (events.size(), 1u) << c.token;
        const auto& e = events[0];
        EXPECT_EQ (e.symbol, c.symbol) << c.token;
        EXPECT_EQ (e.root, c.root) << c.token;
        EXPECT_EQ (e.bass, c.bass) << c.token;
        EXPECT_EQ (e.option, c.option) << c.token;
        EXPECT_EQ (e.resolved, c.resolved) << c.token;
        EXPECT_EQ (compiler.unrecognisedChords.size(), c.resolved ? 0 : 1) << c.token;
        if (! c.resolved)
        {
            EXPECT_EQ (compiler.unrecognisedChords[0], c.symbol) << c.token;
            EXPECT_TRUE (e.notes.empty()) << c.token;
        }
        if (! c.notes.empty())
        {
            EXPECT_EQ (e.notes, c.notes) << c.token;
        }
    }
}

TEST (ProgressionCompile, RestsInEitherCaseDropTheirTag)
{
    ProgressionCompiler compiler;
    const auto events = compiler.compileProgression ("r R{TT}:2 C", 3, styleNone, "1", balanced);

    ASSERT_EQ (events.size(), 3u);
    for (int i = 0; i < 2; ++i)
    {
        EXPECT_EQ (events[(size_t) i].symbol, "R");
        EXPECT_EQ (events[(size_t) i].option, HarmonicOption::none);
        EXPECT_FALSE (events[(size_t) i].resolved);
    }
    EXPECT_EQ (events[1].lengthTicks, 1024.0);
    EXPECT_EQ (events[2].startTicks, 1536.0);
    EXPECT_TRUE (compiler.unrecognisedChords.isEmpty());
}

TEST (ProgressionCompile, SpacingAndBlankTexts)
{
    for (const auto* text : { "", "   ", " \t " })
    {
        ProgressionCompiler compiler;
        compiler.unrecognisedChords.add ("stale");
        EXPECT_TRUE (compiler.compileProgression (text, 3, styleNone, "1", balanced).empty()) << text;
        EXPECT_TRUE (compiler.unrecognisedChords.isEmpty()) << text;
    }

    const auto spaced = compile ("  C    G  ");
    ASSERT_EQ (spaced.size(), 2u);
    EXPECT_EQ (spaced[1].startTicks, 512.0); // empty tokens take no time

    // Only the space separates tokens: a tab inside the text stays in the token.
    ProgressionCompiler compiler;
    const auto tabbed = compiler.compileProgression ("C\tG Am", 3, styleNone, "1", balanced);
    ASSERT_EQ (tabbed.size(), 2u);
    EXPECT_EQ (tabbed[0].symbol, "C\tG");
    EXPECT_EQ (compiler.unrecognisedChords, juce::StringArray ({ "C\tG" }));
}

TEST (ProgressionCompile, ALongTextIsWalkedOnce)
{
    // Megabytes of spaces between a few chords, and a long run of tokens: found one by one
    // from the start of the text, these took hours. Walked once, they take moments (a
    // benchmark measures how long; here they only have to finish within the test's limit).
    const auto spaces = juce::String::repeatedString (" ", 1024 * 1024);
    const auto spaced = compile ("C" + spaces + "G" + spaces + "Am");
    ASSERT_EQ (spaced.size(), 3u);
    EXPECT_EQ (spaced[2].startTicks, 1024.0);

    ProgressionCompiler compiler;
    const auto many = compiler.compileProgression (juce::String::repeatedString ("x ", 300000) + "C", 3, styleNone, "1", balanced);
    ASSERT_EQ (many.size(), 300001u);
    EXPECT_EQ (compiler.unrecognisedChords.size(), 300000);
    EXPECT_EQ (many.back().startTicks, 300000.0 * 512.0);
}

TEST (ProgressionCompile, BytesThatAreNoUtf8KeepEveryDurationInPlace)
{
    // From a damaged state chunk: the chord cannot be read, but its duration and the chords
    // after it keep their places.
    const char* const bytes = "C\xff\xff\xff\xff:2 G:T256 Am";
    const juce::String text (juce::CharPointer_UTF8 (bytes), juce::CharPointer_UTF8 (bytes + std::strlen (bytes)));

    ProgressionCompiler compiler;
    const auto events = compiler.compileProgression (text, 3, styleNone, "1", balanced);
    ASSERT_EQ (events.size(), 3u);
    EXPECT_EQ (events[0].lengthTicks, 1024.0);
    EXPECT_EQ (events[1].startTicks, 1024.0);
    EXPECT_EQ (events[1].lengthTicks, 256.0);
    EXPECT_EQ (events[2].startTicks, 1280.0);
    EXPECT_EQ (compiler.unrecognisedChords.size(), 1);
}

//==============================================================================
TEST (ProgressionCompile, VoicingStylesWithoutSearch)
{
    struct Case
    {
        const char* text;
        int style;
        std::vector<Notes> voicings;
    };

    const Case cases[] = {
        // Register keeping moves F and G down an octave (their means lie more than 6 above C).
        { "C F G C", styleNone, { { 60, 64, 67 }, { 53, 57, 60 }, { 55, 59, 62 }, { 60, 64, 67 } } },
        { "C F G C", 42, { { 60, 64, 67 }, { 53, 57, 60 }, { 55, 59, 62 }, { 60, 64, 67 } } },
        { "C F G C", -1, { { 60, 64, 67 }, { 53, 57, 60 }, { 55, 59, 62 }, { 60, 64, 67 } } },
        { "C", styleFirstInversion, { { 64, 67, 72 } } },
        { "C1", styleFirstInversion, { { 60 } } },
        { "C F", styleSmooth, { { 60, 64, 67 }, { 60, 65, 69 } } },
        { "C G", styleSmooth, { { 60, 64, 67 }, { 59, 62, 67 } } },
        { "C Am", styleSmooth, { { 60, 64, 67 }, { 60, 64, 69 } } },
        { "C G7", styleSmooth, { { 60, 64, 67 }, { 62, 65, 67, 71 } } },
        // After a rest or an unreadable chord, Smooth starts again with register keeping.
        { "C R F", styleSmooth, { { 60, 64, 67 }, {}, { 53, 57, 60 } } },
        { "C Hm F", styleSmooth, { { 60, 64, 67 }, {}, { 53, 57, 60 } } },
    };

    for (const auto& c : cases)
    {
        const auto events = compile (c.text, c.style);
        ASSERT_EQ (events.size(), c.voicings.size()) << c.text;
        for (size_t i = 0; i < events.size(); ++i)
        {
            EXPECT_EQ (events[i].voicing, c.voicings[i]) << c.text << " style " << c.style << " chord " << i
                                                         << ": " << corvessa::test::describeNotes (events[i].voicing);
            EXPECT_EQ (events[i].notes, events[i].voicing);
        }
    }
}

TEST (ProgressionCompile, SearchedStylesGiveSortedDistinctNotes)
{
    // Whatever the searches choose, a voicing is ascending and each note sounds once, and the
    // single-tone chord is never searched.
    for (int style : { styleGuitarist, stylePianist, styleBassist, styleJazz })
    {
        const auto events = compile ("C Am7 F/A G13 C1 Bbmaj9#11 E7alt", style);
        ASSERT_EQ (events.size(), 7u);
        for (const auto& e : events)
        {
            ASSERT_TRUE (e.resolved) << e.symbol << " style " << style;
            ASSERT_FALSE (e.voicing.empty()) << e.symbol << " style " << style;
            EXPECT_TRUE (std::is_sorted (e.voicing.begin(), e.voicing.end())) << e.symbol;
            EXPECT_EQ (std::adjacent_find (e.voicing.begin(), e.voicing.end()), e.voicing.end()) << e.symbol;
        }
        EXPECT_EQ (events[4].voicing, (Notes { 60 })) << "style " << style;
    }
}

TEST (ProgressionCompile, FallbacksWhenASearchFindsNothing)
{
    // C13 at octave 3: tones 60 64 67 70 74 81.
    const Notes c13 { 60, 64, 67, 70, 74, 81 };

    EXPECT_EQ (ProgressionCompiler::guitarFallback (c13), (Notes { 60, 64, 67, 69, 70, 74 }));
    // Folding from far away, and thinning out from the middle down to six notes.
    EXPECT_EQ (ProgressionCompiler::guitarFallback ({ 0, 13, 26, 39, 52, 65, 78, 91 }), (Notes { 48, 49, 50, 65, 66, 67 }));
    EXPECT_EQ (ProgressionCompiler::bassFallback (c13), (Notes { 50, 52, 60 }));
    EXPECT_EQ (ProgressionCompiler::bassFallback ({ 120, 121 }), (Notes { 49, 60 }));
    EXPECT_EQ (ProgressionCompiler::foldIntoRange ({ -12000, 12000 }, 40, 76, 6), (Notes { 48, 72 }));

    // Pianist: the second-highest tone drops an octave, then register keeping.
    EXPECT_EQ (ProgressionCompiler::pianistFallback ({ 60, 64, 67 }, 3), (Notes { 52, 60, 67 }));
    EXPECT_EQ (ProgressionCompiler::pianistFallback ({ 60, 64, 67, 71 }, 3), (Notes { 55, 60, 64, 71 }));

    // Jazz: the ninth is added when missing (in any octave it counts as present), then register
    // keeping, which here moves the five notes an octave down.
    EXPECT_EQ (ProgressionCompiler::jazzFallback ({ 60, 64, 67, 70 }, 60, 3), (Notes { 48, 52, 55, 58, 62 }));
    EXPECT_EQ (ProgressionCompiler::jazzFallback ({ 60, 64, 67, 70, 74 }, 60, 3), (Notes { 48, 52, 55, 58, 62 }));
    EXPECT_EQ (ProgressionCompiler::jazzFallback ({ 60, 63, 67, 70, 86 }, 60, 3), (Notes { 48, 51, 55, 58, 74 }));
    EXPECT_EQ (ProgressionCompiler::jazzFallback ({ 48, 52, 55 }, 48, 2), (Notes { 36, 40, 43, 50 }));
}

TEST (ProgressionCompile, SearchedStylesFallBackAtTheTopOfTheRange)
{
    // At octave 10 the window searches find no admissible set inside the MIDI range; the compile
    // still voices every chord by the fallback of its style.
    const auto rootMidi = 10 * 12 + 24; // C at octave 10
    const Notes tones { rootMidi, rootMidi + 4, rootMidi + 7 };

    const auto pianist = compile ("C", stylePianist, 10);
    ASSERT_EQ (pianist.size(), 1u);
    EXPECT_EQ (pianist[0].voicing, ProgressionCompiler::pianistFallback (tones, 10));

    const auto jazz = compile ("C", styleJazz, 10);
    ASSERT_EQ (jazz.size(), 1u);
    EXPECT_EQ (jazz[0].voicing, ProgressionCompiler::jazzFallback (tones, rootMidi, 10));
}

TEST (ProgressionCompile, VoiceChordTonesDispatchesByStyle)
{
    const Notes c { 60, 64, 67 };
    const std::optional<Notes> none;
    const std::optional<Notes> afterC = Notes { 60, 64, 67 };

    EXPECT_EQ (ProgressionCompiler::voiceChordTones ({ 67, 60, 64 }, 60, styleNone, 3, none), c);
    EXPECT_EQ (ProgressionCompiler::voiceChordTones ({ 65, 69, 72 }, 65, styleSmooth, 3, afterC), (Notes { 60, 65, 69 }));
    EXPECT_EQ (ProgressionCompiler::voiceChordTones ({ 65, 69, 72 }, 65, styleSmooth, 3, Notes {}), (Notes { 53, 57, 60 }));
    for (int style : { styleGuitarist, stylePianist, styleBassist, styleJazz, styleFirstInversion })
        EXPECT_EQ (ProgressionCompiler::voiceChordTones ({ 48 }, 48, style, 3, afterC), (Notes { 48 })) << style;
}

//==============================================================================
TEST (ProgressionCompile, SlashBassThatIsNoNoteNameKeepsTheChordVoiced)
{
    for (const auto* text : { "C/E7", "C/Cb", "F C/E7 G", "C/Ebb" })
    {
        ProgressionCompiler compiler;
        std::vector<ChordEvent> events;
        ASSERT_NO_THROW (events = compiler.compileProgression (text, 3, styleNone, "1", balanced)) << text;
        EXPECT_TRUE (compiler.unrecognisedChords.isEmpty()) << text;

        for (const auto& e : events)
        {
            EXPECT_TRUE (e.resolved) << text;
            EXPECT_FALSE (e.voicing.empty()) << text;
            EXPECT_EQ (e.bassNote.has_value(), e.bass.isEmpty()) << text << " " << e.symbol;
        }
    }

    // The chord after it starts the bass motion afresh, as after any chord without a bass note.
    const auto events = compile ("C C/E7 C", styleNone, 3, "1", balanced);
    ASSERT_EQ (events.size(), 3u);
    EXPECT_EQ (events[0].bassNote, std::optional<int> (48));
    EXPECT_EQ (events[2].bassNote, std::optional<int> (48));
}

TEST (ProgressionCompile, ExtremeOctavesNeitherOverflowNorThrow)
{
    for (int octave : { INT_MIN, INT_MIN + 1, -1001, -1000, -3, 10, 1000, 1001, INT_MAX - 1, INT_MAX })
    {
        for (int style = 0; style <= 6; ++style)
        {
            ProgressionCompiler compiler;
            std::vector<ChordEvent> events;
            ASSERT_NO_THROW (events = compiler.compileProgression ("C Am7/G F#m7b5 G13 Bb/D", octave, style, "1", 2))
                << octave << " " << style;
            ASSERT_EQ (events.size(), 5u);
            for (const auto& e : events)
                EXPECT_TRUE (e.resolved) << e.symbol << " at " << octave;
        }
    }

    // Octaves beyond the clamp compile as the clamp itself.
    EXPECT_EQ (compile ("C G", styleSmooth, INT_MAX), compile ("C G", styleSmooth, 1000));
    EXPECT_EQ (compile ("C G", styleSmooth, INT_MIN), compile ("C G", styleSmooth, -1000));
    EXPECT_EQ (compile ("C", styleNone, 1000)[0].voicing, (Notes { 12024, 12028, 12031 }));
}

TEST (ProgressionCompile, HugeDurationsKeepEveryStartAndTheTotalFinite)
{
    constexpr double longest = ProgressionCompiler::maxChordLengthTicks;
    EXPECT_EQ (longest, 4194304.0);

    struct Case
    {
        const char* text;
        const char* defaultDuration;
    };

    // Each of these lengths is finite on its own, but four of them summed overflowed to infinity.
    const Case cases[] = {
        { "C:1e305 F:1e305 G:1e305 C:1e305", "1" },
        { "C:T1e308 R:T1e308 Hm:T1e308 C:1.7e308", "1" },
        { "C F G C", "1e305" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.text);
        ProgressionCompiler compiler;
        const auto events = compiler.compileProgression (c.text, 3, styleSmooth, c.defaultDuration, 1);
        ASSERT_EQ (events.size(), 4u);

        for (size_t i = 0; i < events.size(); ++i)
        {
            EXPECT_EQ (events[i].startTicks, (double) i * longest) << i;
            EXPECT_EQ (events[i].lengthTicks, longest) << i;
        }

        const auto beats = ProgressionCompiler::getTotalLengthInBeats (events);
        EXPECT_TRUE (std::isfinite (beats));
        EXPECT_EQ (beats, 4.0 * longest / 128.0);
    }

    // Ordinary lengths beside a capped one are untouched.
    const auto mixed = compile ("C:2 G:1e305 Am:T384 F:0.5");
    ASSERT_EQ (mixed.size(), 4u);
    EXPECT_EQ (mixed[1].startTicks, 1024.0);
    EXPECT_EQ (mixed[2].startTicks, 1024.0 + longest);
    EXPECT_EQ (mixed[3].startTicks, 1408.0 + longest);
    EXPECT_EQ (mixed[3].lengthTicks, 256.0);
}

TEST (ProgressionCompile, MalformedTextNeverThrows)
{
    const char* tokens[] = {
        ":", "::", ":::", ":2", "C:", "C::", "C:T", "C:t", "C:T:", "R:", "r:x", "/", "C/", "C//", "C/G/",
        "C/G/E", "/G", "#", "b", "C#b", "Cb/G", "C#/Cb", "C/H", "C/E#", "C/B#", "C/e", "c/g", "Cm7/Gb7",
        "{", "}", "{V/V", "{TT", "{CM}{TT}{V/V}", "{V/V}:2", "R{V/V}", "C{", "C}", "C\t", "C\n", "C\r",
        "C\xe2\x80\xa8" "G", "\xc3\xa9", "C\xc3\xa9", "Cmaj7\xf0\x9f\x8e\xb9", "A" "\x7f", "C:\xc3\xa9",
        "C:1e308", "C:-1e308", "C:T1e308", "C:T-1e308", "C:0x10", "C:NaN", "C:Infinity", "C:T+inf",
        "C:.5", "C:5.", "C:1e-320", "C:T1e-320", "C:9999999999999999999999", "Cmaj7#11b9#5b13",
        "G7{V/V}{TT}{CM}", "C(add9", "C)add9(", "CCCCCCCCCCCCCCCCCCCCCC", "R/G", "Rm", "RR", "TT",
    };

    juce::String all;
    for (const auto* t : tokens)
    {
        ProgressionCompiler compiler;
        for (int style = 0; style <= 7; ++style)
            EXPECT_NO_THROW (compiler.compileProgression (juce::String::fromUTF8 (t), 3, style, "1", 1)) << t;
        all << juce::String::fromUTF8 (t) << " ";
    }

    ProgressionCompiler compiler;
    std::vector<ChordEvent> events;
    ASSERT_NO_THROW (events = compiler.compileProgression (all, 3, styleSmooth, "1", 2));
    for (const auto& e : events)
    {
        EXPECT_TRUE (std::isfinite (e.startTicks)) << e.symbol;
        EXPECT_TRUE (std::isfinite (e.lengthTicks) && e.lengthTicks >= 0.0) << e.symbol;
    }
}

TEST (ProgressionCompile, RandomTextNeverThrows)
{
    // Random texts drawn from the characters a progression uses, plus a few that it does not.
    const std::string alphabet = "ABCDEFGHabcdefgR r#b/:{}()TtVCM0123456789.-+e mMajdimsugx \t\n";
    std::mt19937 random (20261211);
    std::uniform_int_distribution<size_t> pick (0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length (0, 40);
    std::uniform_int_distribution<int> style (-1, 7);
    std::uniform_int_distribution<int> octave (-3, 10);

    for (int i = 0; i < 3000; ++i)
    {
        std::string text;
        const auto n = length (random);
        for (int k = 0; k < n; ++k)
            text += alphabet[pick (random)];

        ProgressionCompiler compiler;
        std::vector<ChordEvent> events;
        ASSERT_NO_THROW (events = compiler.compileProgression (text, octave (random), style (random), "1", i % 3)) << text;

        double expectedStart = 0.0;
        for (const auto& e : events)
        {
            ASSERT_EQ (e.startTicks, expectedStart) << text;
            ASSERT_TRUE (std::isfinite (e.lengthTicks) && e.lengthTicks >= 0.0) << text;
            ASSERT_EQ (e.notes, e.voicing) << text;
            ASSERT_EQ (e.resolved, ! e.notes.empty()) << text;
            expectedStart += e.lengthTicks;
        }
    }
}

TEST (ProgressionCompile, EventEqualityCoversEveryField)
{
    ChordEvent base;
    base.symbol = "Am7/G";
    base.startTicks = 512;
    base.lengthTicks = 256;
    base.notes = { 55, 60, 64 };
    base.voicing = { 55, 60, 64 };
    base.root = "A";
    base.resolved = true;
    base.bassNote = 43;
    base.bass = "G";
    base.option = HarmonicOption::tritoneSubstitute;

    const std::vector<void (*) (ChordEvent&)> changes = {
        [] (ChordEvent& e) { e.symbol = "Am7"; },
        [] (ChordEvent& e) { e.startTicks = 0; },
        [] (ChordEvent& e) { e.lengthTicks = 512; },
        [] (ChordEvent& e) { e.notes.push_back (67); },
        [] (ChordEvent& e) { e.voicing.pop_back(); },
        [] (ChordEvent& e) { e.root = "a"; },
        [] (ChordEvent& e) { e.resolved = false; },
        [] (ChordEvent& e) { e.bassNote.reset(); },
        [] (ChordEvent& e) { e.bass = ""; },
        [] (ChordEvent& e) { e.option = HarmonicOption::none; },
    };

    EXPECT_EQ (base, ChordEvent (base));
    for (size_t i = 0; i < changes.size(); ++i)
    {
        auto changed = base;
        changes[i] (changed);
        EXPECT_NE (base, changed) << "field " << i;
    }

    const ChordEvent fresh;
    EXPECT_EQ (fresh.option, HarmonicOption::none);
    EXPECT_FALSE (fresh.resolved);
    EXPECT_FALSE (fresh.bassNote.has_value());
}
