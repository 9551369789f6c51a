// Register keeping, inversion candidates, the voice-leading cost and the bass motion. The worked
// costs pin every term of the cost, and the bass cases check the window, the motion costs with
// their repeat penalties and the move away from a doubled chord note.

#include "harmony/ProgressionCompiler.h"

#include "support/NoteListText.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

namespace
{
using Notes = std::vector<int>;
using OptionalNote = std::optional<int>;

constexpr int strict = 0;
constexpr int balanced = 1;
constexpr int moving = 2;

ChordEvent resolvedChord (const juce::String& root, const Notes& voicing, const juce::String& bass = {})
{
    ChordEvent e;
    e.symbol = root + (bass.isNotEmpty() ? "/" + bass : juce::String());
    e.root = root;
    e.bass = bass;
    e.resolved = true;
    e.notes = voicing;
    e.voicing = voicing;
    return e;
}
} // namespace

//==============================================================================
TEST (VoiceLeading, CostTerms)
{
    struct Case
    {
        const char* what;
        Notes previous;
        Notes candidate;
        int cost;
    };

    const Case cases[] = {
        { "no movement", { 60, 64, 67 }, { 60, 64, 67 }, 0 },
        { "unsorted arguments", { 67, 60, 64 }, { 64, 67, 60 }, 0 },
        // voices 4 + 3 + 5, low and high 4 + 2 x 5, high of 5 adds 9 x 5 - 36
        { "first inversion", { 60, 64, 67 }, { 64, 67, 72 }, 35 },
        { "one note more", { 60, 64, 67 }, { 60, 64, 67, 72 }, 10 },
        { "one note fewer", { 60, 64, 67, 72 }, { 60, 64, 67 }, 10 },
        // a voice moving 6..9 pays 7d - 30; 7 as the low voice: low 7 stays in the cheap branch
        { "voice of 7", { 60 }, { 67 }, (7 * 7 - 30) + (7 + 2 * 7) + (9 * 7 - 36) },
        // a voice moving 10 or more pays 17d - 120; a low move above 7 pays 6 x low + 2 x high - 35
        { "voice of 12", { 60 }, { 72 }, (17 * 12 - 120) + (6 * 12 + 2 * 12 - 35) + (9 * 12 - 36) },
        { "voice of 5", { 60 }, { 65 }, 5 + (5 + 10) + (45 - 36) },
        { "voice of 4", { 60 }, { 64 }, 4 + (4 + 8) },
        // a semitone low down, and the same semitone higher up
        { "low semitone", { 40, 41 }, { 40, 41 }, 15 },
        { "high semitone", { 50, 51 }, { 50, 51 }, 0 },
        // a gap of 20 pays 4 x 20 - 56; a gap of 14 nothing
        { "wide gap", { 40, 60 }, { 40, 60 }, 24 },
        { "gap of 14", { 40, 54 }, { 40, 54 }, 0 },
        // spread from the mean: 48 and 88 lie 20 from 68 (+120 each), 58 and 78 lie 10 from it
        { "spread over 18", { 48, 88 }, { 48, 88 }, 120 * 2 + (4 * 40 - 56) },
        { "spread over 12", { 45, 60, 75 }, { 45, 60, 75 }, 50 * 2 + (4 * 15 - 56) * 2 },
        { "empty candidate", { 60, 64, 67 }, {}, 30 },
        { "empty previous", {}, { 60, 64 }, 20 },
        { "both empty", {}, {}, 0 },
    };

    for (const auto& c : cases)
        EXPECT_EQ (ProgressionCompiler::voiceLeadingCost (c.previous, c.candidate), c.cost) << c.what;
}

TEST (VoiceLeading, CostOfNotesFarOutsideTheMidiRangeSaturates)
{
    EXPECT_EQ (ProgressionCompiler::voiceLeadingCost ({ INT_MIN }, { INT_MAX }), INT_MAX);
    EXPECT_GT (ProgressionCompiler::voiceLeadingCost ({ -12000 }, { 12000 }), 0);
}

TEST (VoiceLeading, KeepRegister)
{
    struct Case
    {
        Notes notes;
        int octave;
        Notes expected;
    };

    const Case cases[] = {
        { { 60, 64, 67 }, 3, { 60, 64, 67 } },
        { { 67, 60, 64 }, 3, { 60, 64, 67 } },
        { { 60, 64, 67 }, 5, { 84, 88, 91 } },
        { { 96, 100, 103 }, 3, { 60, 64, 67 } },        // d = 39.7, three octaves down
        { { 20, 24, 27 }, 8, { 116, 120, 123 } },       // d = -96.3, eight octaves up
        { { 100, 110, 127 }, 0, { 16, 26, 43 } },        // a shift that stays inside 0..127 is made
        { { 10, 20, 30 }, 9, { 10, 20, 30 } },          // the shift would leave 0..127: sorted only
        { { 30, 20, 10 }, 9, { 10, 20, 30 } },
        { { 65, 69, 72 }, 3, { 53, 57, 60 } },          // d = 8.7 > 6
        { { 64, 68, 71 }, 3, { 52, 56, 59 } },          // d = 7.7, rounds to one octave
        { { 62, 66, 69 }, 3, { 62, 66, 69 } },          // d = 5.7, within 6
        { {}, 3, {} },
        { { 60 }, 1000, { 60 } },                        // the target is far away and the shift leaves 0..127
        { { 60 }, INT_MIN, { 60 } },
    };

    for (const auto& c : cases)
        EXPECT_EQ (ProgressionCompiler::keepRegister (c.notes, c.octave), c.expected)
            << corvessa::test::describeNotes (c.notes) << "at octave " << c.octave;
}

TEST (VoiceLeading, InversionCandidates)
{
    EXPECT_EQ (ProgressionCompiler::inversionCandidates ({ 60, 64, 67 }),
               (std::vector<Notes> { { 60, 64, 67 }, { 64, 67, 72 }, { 67, 72, 76 } }));
    EXPECT_EQ (ProgressionCompiler::inversionCandidates ({ 67, 71, 74, 77 }),
               (std::vector<Notes> { { 67, 71, 74, 77 }, { 71, 74, 77, 79 }, { 74, 77, 79, 83 }, { 77, 79, 83, 86 } }));
    EXPECT_EQ (ProgressionCompiler::inversionCandidates ({ 60 }), (std::vector<Notes> { { 60 } }));
    EXPECT_EQ (ProgressionCompiler::inversionCandidates ({}), (std::vector<Notes> { {} }));
}

//==============================================================================
TEST (VoiceLeading, BassWindowAndCandidates)
{
    struct WindowCase
    {
        int octave;
        int low;
        int high;
    };

    const WindowCase windows[] = {
        { 3, 36, 56 }, { 0, 12, 32 }, { -5, 12, 32 }, { 1, 12, 32 }, { 8, 96, 116 }, { 9, 108, 127 },
        { 20, 108, 127 }, { INT_MIN, 12, 32 }, { INT_MAX, 108, 127 },
    };

    for (const auto& w : windows)
    {
        EXPECT_EQ (ProgressionCompiler::bassWindowLow (w.octave), w.low) << w.octave;
        EXPECT_EQ (ProgressionCompiler::bassWindowHigh (w.octave), w.high) << w.octave;
    }

    struct CandidateCase
    {
        const char* name;
        int octave;
        Notes expected;
    };

    const CandidateCase candidates[] = {
        { "C", 3, { 36, 48 } },  { "G", 3, { 43, 55 } },  { "F#", 3, { 42, 54 } }, { "Gb", 3, { 42, 54 } },
        { "gb", 3, { 42, 54 } }, { "C", 8, { 96 } },      { "G#", 3, { 44, 56 } }, { "A", 3, { 45 } },
        { "B#", 3, { 36, 48 } },
    };

    for (const auto& c : candidates)
        EXPECT_EQ (ProgressionCompiler::bassCandidates (c.name, c.octave), c.expected) << c.name << " " << c.octave;

    for (const auto* bad : { "Cb", "H", "E7", "", " C" })
        EXPECT_THROW (ProgressionCompiler::bassCandidates (bad, 3), std::runtime_error) << bad;
}

TEST (VoiceLeading, NearestNote)
{
    EXPECT_EQ (ProgressionCompiler::nearestNote ({}, 60), std::nullopt);
    EXPECT_EQ (ProgressionCompiler::nearestNote ({ 36, 48 }, 43), OptionalNote (48));
    EXPECT_EQ (ProgressionCompiler::nearestNote ({ 36, 48 }, 42), OptionalNote (36)); // a tie goes to the lower
    EXPECT_EQ (ProgressionCompiler::nearestNote ({ 48, 36 }, 42), OptionalNote (36));
    EXPECT_EQ (ProgressionCompiler::nearestNote ({ 45 }, 0), OptionalNote (45));
}

TEST (VoiceLeading, MotionChoosers)
{
    struct Case
    {
        const char* what;
        Notes candidates;
        OptionalNote previous;
        int motion;
        int repeats;
        OptionalNote expected;
    };

    const Case cases[] = {
        { "strict takes the nearest", { 36, 48 }, 43, strict, 0, 48 },
        // 36: 7 + 14 = 21, 48: 5 + 8 = 13
        { "balanced", { 36, 48 }, 43, balanced, 0, 48 },
        // staying costs 12 x (repeats + 1); moving 12 to 55 costs 12 + 24 = 36
        { "balanced stays", { 43, 55 }, 43, balanced, 0, 43 },
        { "balanced stays after one repeat", { 43, 55 }, 43, balanced, 1, 43 },
        { "balanced ties after two repeats and keeps the lower", { 43, 55 }, 43, balanced, 2, 43 },
        { "balanced moves after three repeats", { 43, 55 }, 43, balanced, 3, 55 },
        // moving: staying costs 18; a step of 12 costs 12 + 24 = 36; after one repeat 36 ties
        { "moving stays", { 43, 55 }, 43, moving, 0, 43 },
        { "moving ties and keeps the lower", { 43, 55 }, 43, moving, 1, 43 },
        { "moving moves", { 43, 55 }, 43, moving, 2, 55 },
        // leaps beyond an octave: balanced 4d - 24, moving 3d - 12 (d = 13 to 56, 11 to 32)
        { "balanced long leap", { 32, 56 }, 43, balanced, 0, 32 },
        { "moving short steps", { 40, 46 }, 43, moving, 0, 40 },
        { "unknown motion takes the nearest", { 36, 48 }, 43, 7, 0, 48 },
        { "no candidates", {}, 43, balanced, 0, std::nullopt },
        { "no previous bass", { 36, 48 }, std::nullopt, balanced, 0, 36 },
    };

    for (const auto& c : cases)
        EXPECT_EQ (ProgressionCompiler::chooseBassWithMotion (c.candidates, c.previous, c.motion, c.repeats), c.expected)
            << c.what;
}

TEST (VoiceLeading, RootBass)
{
    struct Case
    {
        const char* what;
        ChordEvent event;
        int motion;
        OptionalNote previous;
        OptionalNote expected;
    };

    const Case cases[] = {
        { "first C", resolvedChord ("C", { 60, 64, 67 }), balanced, std::nullopt, 48 },
        // A at octave 2 is 57, limited to 56; the nearest candidate of A is 45
        { "first A", resolvedChord ("A", { 57, 60, 64 }), balanced, std::nullopt, 45 },
        { "strict after 43", resolvedChord ("C", { 60, 64, 67 }), strict, 43, 48 },
        { "balanced after 43", resolvedChord ("C", { 60, 64, 67 }), balanced, 43, 48 },
        // the root repeats: the flat penalty 12 (balanced) or 18 (moving) is not scaled
        { "balanced repeat", resolvedChord ("G", { 55, 59, 62 }), balanced, 43, 43 },
        { "moving repeat", resolvedChord ("G", { 55, 59, 62 }), moving, 43, 43 },
        // F: 53 is nearer but voiced, so the bass moves to 41
        { "doubled moves down", resolvedChord ("F", { 53, 57, 60 }), strict, 48, 41 },
        { "doubled stays without a lower free note", resolvedChord ("C", { 36, 48, 52 }), strict, 36, 36 },
        { "not resolved", [] { auto e = resolvedChord ("C", { 60 }); e.resolved = false; return e; }(), strict, 43, std::nullopt },
        { "no root", resolvedChord ("", { 60 }), strict, 43, std::nullopt },
        { "root that is no note name", resolvedChord ("H", { 60 }), strict, 43, std::nullopt },
    };

    for (const auto& c : cases)
        EXPECT_EQ (ProgressionCompiler::chooseRootBass (c.event, 3, c.motion, c.previous), c.expected) << c.what;
}

TEST (VoiceLeading, BassPassOverAProgression)
{
    struct Case
    {
        const char* text;
        int style;
        int motion;
        std::vector<OptionalNote> basses;
    };

    const auto none = std::nullopt;
    const Case cases[] = {
        { "C F G C", 0, strict, { 48, 41, 43, 48 } },
        { "C F G C", 0, balanced, { 48, 41, 43, 48 } },
        { "C F G C", 0, moving, { 48, 41, 43, 48 } },
        // a slash bass without a previous bass: nearest to the lowest voiced note minus 12
        { "Am/G", 0, balanced, { 43 } },
        // the same slash bass again and again under Balanced: it stays three more times (the
        // fourth chord ties and keeps the lower), then moves
        { "Em/G Em/G Em/G Em/G Em/G", 0, balanced, { 43, 43, 43, 43, 55 } },
        // a root bass repeating pays the flat penalty only and stays
        { "G G G G G G", 0, balanced, { 43, 43, 43, 43, 43, 43 } },
        // rests and unreadable chords are skipped and leave the motion where it was
        { "C R G Hm C", 0, strict, { 48, none, 43, none, 48 } },
        { "C/E7 C", 0, balanced, { none, 48 } },
    };

    for (const auto& c : cases)
    {
        ProgressionCompiler compiler;
        const auto events = compiler.compileProgression (c.text, 3, c.style, "1", c.motion);
        ASSERT_EQ (events.size(), c.basses.size()) << c.text;
        for (size_t i = 0; i < events.size(); ++i)
            EXPECT_EQ (events[i].bassNote, c.basses[i]) << c.text << " motion " << c.motion << " chord " << i;
    }
}
