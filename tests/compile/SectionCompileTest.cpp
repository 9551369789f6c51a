#include "compile/SectionCompile.h"

#include "harmony/ProgressionCompiler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

using SectionMode::SectionData;

namespace
{
using Output = SectionCompileOutput;

Output compile (const SectionData& section, std::shared_ptr<const CompiledSnapshot> previous = nullptr,
                const juce::String& defaultDuration = "1")
{
    return compileSection (section, defaultDuration, 7, std::move (previous));
}

SectionData sectionWith (const juce::String& progression, std::function<void (SectionData&)> adjust = {})
{
    SectionData s;
    s.progression = progression;
    if (adjust)
        adjust (s);
    return s;
}

// Holds for every snapshot: slot k carries event k, every layer lies in 0..127 and allNotes is
// the normalised union of the three layers.
void expectConsistentSlots (const CompiledSnapshot& snapshot)
{
    ASSERT_EQ (snapshot.slots.size(), snapshot.chords.size());
    for (size_t i = 0; i < snapshot.slots.size(); ++i)
    {
        const auto& slot = snapshot.slots[i];
        EXPECT_TRUE (slot.event == snapshot.chords[i]) << i;

        NoteList all;
        for (const auto* layer : { &slot.bassNotes, &slot.bodyNotes, &slot.shimmerNotes })
            for (auto n : *layer)
            {
                EXPECT_TRUE (n >= 0 && n <= 127) << "slot " << i << " note " << n;
                all.push_back (n);
            }
        EXPECT_EQ (slot.allNotes, normaliseNotes (all)) << i;
    }
}

struct Layers
{
    NoteList bass, body, shimmer;
};

void expectLayers (const CompiledSnapshot& snapshot, const std::vector<Layers>& expected)
{
    expectConsistentSlots (snapshot);
    ASSERT_EQ (snapshot.slots.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
    {
        SCOPED_TRACE ("slot " + std::to_string (i) + " " + snapshot.slots[i].event.symbol.toStdString());
        EXPECT_EQ (snapshot.slots[i].bassNotes, expected[i].bass);
        EXPECT_EQ (snapshot.slots[i].bodyNotes, expected[i].body);
        EXPECT_EQ (snapshot.slots[i].shimmerNotes, expected[i].shimmer);
    }
}
} // namespace

TEST (SectionCompile, SnapshotRecordsItsInputs)
{
    auto section = sectionWith ("C:2 R G:T384");
    section.name = "Verse - one";
    const auto out = compileSection (section, "2", 42, nullptr);

    ASSERT_NE (out.snapshot, nullptr);
    EXPECT_TRUE (out.snapshot->inputs == section);
    EXPECT_EQ (out.snapshot->generation, 42u);
    EXPECT_EQ (out.snapshot->defaultDuration, "2");
    EXPECT_EQ (out.result.status, 0);
    EXPECT_TRUE (out.result.messages.isEmpty());

    // C for two bars, a rest at the default duration of two bars, G for 384 ticks.
    ASSERT_EQ (out.snapshot->chords.size(), 3u);
    EXPECT_DOUBLE_EQ (out.snapshot->chords[1].startTicks, 1024.0);
    EXPECT_DOUBLE_EQ (out.snapshot->chords[2].startTicks, 2048.0);
    EXPECT_DOUBLE_EQ (out.snapshot->totalBeats, (2048.0 + 384.0) / 128.0);
    EXPECT_TRUE (out.snapshot->slots[1].allNotes.empty());
    expectConsistentSlots (*out.snapshot);
}

TEST (SectionCompile, EmptyRestOnlyAndUnreadableProgressions)
{
    auto previous = compile (sectionWith ("C G")).snapshot;

    struct Case
    {
        const char* progression;
        bool withPrevious;
        int status;
        juce::StringArray messages;
        bool keepsPrevious;
        size_t slots;
    };
    const std::vector<Case> cases {
        { "", false, 0, {}, false, 0 },
        { "    ", true, 0, {}, false, 0 },            // empty is valid: nothing to keep
        { "R R", true, 3, {}, true, 2 },
        { "R R", false, 2, {}, false, 2 },
        { "Hm Xq7", true, 3, { "Hm", "Xq7" }, true, 2 },
        { "Hm Xq7", false, 2, { "Hm", "Xq7" }, false, 2 },
        { "C Hm G", true, 2, { "Hm" }, false, 3 },     // one readable chord is enough
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (std::string ("\"") + c.progression + "\"" + (c.withPrevious ? " with previous" : ""));
        const auto out = compile (sectionWith (c.progression), c.withPrevious ? previous : nullptr);
        ASSERT_NE (out.snapshot, nullptr);
        EXPECT_EQ (out.result.status, c.status);
        EXPECT_EQ (out.result.messages, c.messages);
        EXPECT_EQ (out.snapshot == previous, c.keepsPrevious);
        if (! c.keepsPrevious)
        {
            EXPECT_EQ (out.snapshot->slots.size(), c.slots);
            EXPECT_EQ (out.snapshot->inputs.progression, c.progression);
            expectConsistentSlots (*out.snapshot);
        }
    }

    const auto empty = compile (sectionWith ("   ")).snapshot;
    EXPECT_DOUBLE_EQ (empty->totalBeats, 0.0);
    const auto rests = compile (sectionWith ("R R")).snapshot;
    for (const auto& slot : rests->slots)
        EXPECT_TRUE (slot.bassNotes.empty() && slot.bodyNotes.empty() && slot.shimmerNotes.empty() && slot.allNotes.empty());
}

TEST (SectionCompile, UnreadableChordInTheMiddleKeepsItsTimeAndSoundsNothing)
{
    const auto out = compile (sectionWith ("C Hm G"));
    EXPECT_EQ (out.result.status, 2);
    EXPECT_EQ (out.result.messages, juce::StringArray ("Hm"));

    const auto& snapshot = *out.snapshot;
    ASSERT_EQ (snapshot.slots.size(), 3u);
    EXPECT_DOUBLE_EQ (snapshot.slots[1].event.startTicks, 512.0);
    EXPECT_DOUBLE_EQ (snapshot.slots[2].event.startTicks, 1024.0);
    EXPECT_DOUBLE_EQ (snapshot.totalBeats, 12.0);

    // After the gap the body has no previous chord; G comes out anchored from C 60.
    expectLayers (snapshot, { { { 60 }, { 60, 64, 67 }, {} },
                              { {}, {}, {} },
                              { { 67 }, { 62, 67, 71 }, {} } });
}

// With the section defaults (Smooth body and shimmer, octave 3, top note and colours off) the
// body sits in the octave from C 60, the bass in the same octave and the shimmer is silent.
TEST (SectionCompile, DefaultsGiveAnchoredBodyAndBassAndNoShimmer)
{
    const auto out = compile (sectionWith ("C Am F G"));
    EXPECT_EQ (out.result.status, 0);
    expectLayers (*out.snapshot, { { { 60 }, { 60, 64, 67 }, {} },
                                   { { 69 }, { 60, 64, 69 }, {} },
                                   { { 65 }, { 60, 65, 69 }, {} },
                                   { { 67 }, { 62, 67, 71 }, {} } });
}

TEST (SectionCompile, OctaveOffsetsClampAtTheEndsOfTheMidiRange)
{
    struct Case { const char* label; SectionData section; std::vector<Layers> expected; };
    const std::vector<Case> cases {
        { "bass an octave down", sectionWith ("C Am F G", [] (SectionData& s) { s.bassOctave = -1; }),
          { { { 48 }, { 60, 64, 67 }, {} }, { { 57 }, { 60, 64, 69 }, {} }, { { 53 }, { 60, 65, 69 }, {} }, { { 55 }, { 62, 67, 71 }, {} } } },
        { "bass clamps to 0 and keeps its repeats", sectionWith ("C", [] (SectionData& s) { s.baseOctave = 0; s.bassOctave = -5; s.arrangeBassAddFifth = true; }),
          { { { 0, 0 }, { 24, 28, 31 }, {} } } },
        { "anchored notes clamp to 127 and merge at octave 8", sectionWith ("E", [] (SectionData& s) { s.baseOctave = 8; }),
          { { { 124 }, { 124, 127 }, {} } } },
        { "body clamps to 127 and keeps its repeats", sectionWith ("E", [] (SectionData& s) { s.baseOctave = 8; s.bodyOctave = 5; }),
          { { { 124 }, { 127, 127 }, {} } } },
        { "a root above 127 leaves the bass empty", sectionWith ("Am", [] (SectionData& s) { s.baseOctave = 8; }),
          { { {}, { 120, 124, 127 }, {} } } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.label);
        expectLayers (*compile (c.section).snapshot, c.expected);
    }

    const auto clamped = compile (sectionWith ("C", [] (SectionData& s) { s.baseOctave = 0; s.bassOctave = -5; s.arrangeBassAddFifth = true; }));
    EXPECT_EQ (clamped.snapshot->slots[0].allNotes, (NoteList { 0, 24, 28, 31 }));
}

TEST (SectionCompile, BassOctaveBelowOnlyWhenItStaysInRange)
{
    struct Case { int baseOctave; std::vector<NoteList> bass; };
    const std::vector<Case> cases {
        { 3, { { 48, 60 }, { 55, 67 } } },
        { -1, { { 0, 12 }, { 7, 19 } } },
        { -2, { { 0 }, { 7 } } },      // the lowest note is below 12: nothing is added
    };
    for (const auto& c : cases)
    {
        const auto out = compile (sectionWith ("C G", [&] (SectionData& s) { s.baseOctave = c.baseOctave; s.arrangeBassAddOctave = true; }));
        ASSERT_EQ (out.snapshot->slots.size(), 2u);
        for (size_t i = 0; i < 2; ++i)
            EXPECT_EQ (out.snapshot->slots[i].bassNotes, c.bass[i]) << "octave " << c.baseOctave << " slot " << i;
    }

    struct Direct { NoteList in; bool on; NoteList out; };
    const std::vector<Direct> direct {
        { { 12 }, true, { 0, 12 } },
        { { 11 }, true, { 11 } },
        { { 30, 24 }, true, { 12, 24, 30 } },
        { { 30, 24 }, false, { 24, 30 } },
        { {}, true, {} },
        { { 140, -2, 40 }, true, { 28, 40 } },
    };
    for (const auto& d : direct)
        EXPECT_EQ (addBassOctaveBelow (d.in, d.on), d.out);
}

TEST (SectionCompile, StyledBodiesKeepTheStyleCompilesVoicing)
{
    for (auto* style : { "Guitarist", "Pianist", "Jazz" })
    {
        SCOPED_TRACE (style);
        const auto section = sectionWith ("C Am7 F G7 Em", [&] (SectionData& s) { s.bodyVoicing = style; });
        const auto out = compile (section);
        expectConsistentSlots (*out.snapshot);

        for (const auto& slot : out.snapshot->slots)
        {
            const auto rendered = ProgressionCompiler::renderLayerNotes (slot.event, ProgressionCompiler::bodyLayer, section.baseOctave,
                                                                         false, true, true, false, false);
            EXPECT_EQ (slot.bodyNotes, normaliseNotes (rendered)) << slot.event.symbol;
        }
    }
}

// The first chord's body had nothing to lead from; it is revised against the second chord.
TEST (SectionCompile, FirstChordRevision)
{
    // Smooth: one octave from C leaves nothing to revise.
    const auto smooth = compile (sectionWith ("C Dm7"));
    EXPECT_EQ (smooth.snapshot->slots[0].bodyNotes, compile (sectionWith ("C")).snapshot->slots[0].bodyNotes);

    // Bassist: C alone spreads to 60 79; followed by a body of 62 it closes to 60 67, and only
    // the first chord changes.
    auto bassist = [] (const char* progression, int bodyOctave)
    {
        return compile (sectionWith (progression, [&] (SectionData& s) { s.bodyVoicing = "Bassist"; s.bodyOctave = bodyOctave; })).snapshot;
    };
    EXPECT_EQ (bassist ("C", 0)->slots[0].bodyNotes, (NoteList { 60, 79 }));

    const auto pair = bassist ("C Dm7", 0);
    ASSERT_EQ (pair->slots.size(), 2u);
    EXPECT_EQ (pair->slots[0].bodyNotes, (NoteList { 60, 67 }));
    EXPECT_EQ (pair->slots[1].bodyNotes, (NoteList { 62 }));
    expectConsistentSlots (*pair);

    // The revision reads the second body before its octave offset and puts the offset back.
    const auto raised = bassist ("C Dm7", 1);
    EXPECT_EQ (raised->slots[0].bodyNotes, (NoteList { 72, 79 }));
    EXPECT_EQ (raised->slots[1].bodyNotes, (NoteList { 74 }));
    EXPECT_EQ (raised->slots[0].allNotes, (NoteList { 60, 72, 79 }));

    // A rest and an unreadable chord before the first body do not count as chords.
    const auto late = bassist ("R Hm C Dm7", 0);
    EXPECT_EQ (late->slots[2].bodyNotes, (NoteList { 60, 67 }));
    EXPECT_EQ (late->slots[3].bodyNotes, (NoteList { 62 }));
}

TEST (SectionCompile, UnreadableRootKeyCompilesLikeNoRootKey)
{
    for (auto* body : { "Smooth", "Bassist" })
    {
        auto section = sectionWith ("Cmaj7 Am9 Dm7 G13 Fmaj7", [&] (SectionData& s)
                                    {
                                        s.bodyVoicing = body;
                                        s.arrangeShimmerTopNoteEnabled = true;
                                        s.arrangeShimmerColorNotesEnabled = true;
                                    });
        const auto plain = compile (section).snapshot;
        for (auto* key : { "H", "  ", "Cb" })
        {
            section.rootKey = key;
            const auto keyed = compile (section).snapshot;
            ASSERT_EQ (keyed->slots.size(), plain->slots.size());
            for (size_t i = 0; i < plain->slots.size(); ++i)
                EXPECT_EQ (keyed->slots[i].allNotes, plain->slots[i].allNotes) << body << " key " << key << " slot " << i;
        }
    }
}

// Without a searched shimmer style the shimmer is the top note and the colour tones where the
// render and the colour notes put them, plus the shimmer's octave offset.
TEST (SectionCompile, UnsearchedShimmerKeepsTheRenderedOctaves)
{
    struct Case { const char* label; SectionData section; std::vector<NoteList> shimmer; };
    const std::vector<Case> cases {
        { "sevenths lowered an octave whatever the root",
          sectionWith ("C7 F7 G7", [] (SectionData& s) { s.shimmerVoicing = "First Inversion"; s.arrangeShimmerColorNotesEnabled = true; s.shimmerOctave = 0; }),
          { { 46 }, { 51 }, { 53 } } },
        { "with the default octave offset",
          sectionWith ("C7 F7 G7", [] (SectionData& s) { s.shimmerVoicing = "First Inversion"; s.arrangeShimmerColorNotesEnabled = true; }),
          { { 58 }, { 63 }, { 65 } } },
        { "top note chosen among the chord's own notes",
          sectionWith ("C7", [] (SectionData& s) { s.shimmerVoicing = "None"; s.arrangeShimmerColorNotesEnabled = true; s.arrangeShimmerTopNoteEnabled = true; }),
          { { 58, 64 } } },
        { "top note alone", sectionWith ("C", [] (SectionData& s) { s.shimmerVoicing = "None"; s.arrangeShimmerTopNoteEnabled = true; s.shimmerOctave = 0; }),
          { { 67 } } },
        { "shimmer clamps at 0", sectionWith ("C", [] (SectionData& s) { s.shimmerVoicing = "None"; s.arrangeShimmerTopNoteEnabled = true; s.shimmerOctave = -5; s.baseOctave = 0; }),
          { { 0 } } },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.label);
        const auto snapshot = compile (c.section).snapshot;
        expectConsistentSlots (*snapshot);
        ASSERT_EQ (snapshot->slots.size(), c.shimmer.size());
        for (size_t i = 0; i < c.shimmer.size(); ++i)
            EXPECT_EQ (snapshot->slots[i].shimmerNotes, c.shimmer[i]) << i;
    }
}

// A Smooth shimmer with only the top note on is one note per chord, placed in two octaves from
// C low and then moved by the section-wide search within three octaves.
TEST (SectionCompile, SearchedShimmerTopNoteStaysInItsWindow)
{
    for (int octave : { 1, 3, 5 })
    {
        for (auto* progression : { "C Am F G", "Cmaj7 Am9 Dm7 G13", "F#m7b5 B7b9 Em9 R A13" })
        {
            const auto section = sectionWith (progression, [&] (SectionData& s)
                                              {
                                                  s.baseOctave = octave;
                                                  s.arrangeShimmerTopNoteEnabled = true;
                                                  s.shimmerOctave = 0;
                                              });
            const auto snapshot = compile (section).snapshot;
            expectConsistentSlots (*snapshot);

            const auto cLow = 12 * (octave - 1) + 24;
            for (const auto& slot : snapshot->slots)
            {
                SCOPED_TRACE (std::string (progression) + " octave " + std::to_string (octave) + " " + slot.event.symbol.toStdString());
                if (! slot.event.resolved)
                {
                    EXPECT_TRUE (slot.shimmerNotes.empty());
                    continue;
                }
                ASSERT_EQ (slot.shimmerNotes.size(), 1u);
                EXPECT_GE (slot.shimmerNotes[0], cLow);
                EXPECT_LT (slot.shimmerNotes[0], cLow + 36);

                // The note is the chord's top note in some octave.
                EXPECT_EQ (pitchClassOf (slot.shimmerNotes[0]),
                           pitchClassOf (ProgressionCompiler::renderLayerNotes (slot.event, ProgressionCompiler::shimmerLayer, octave, false, true, true, false, false).back()));
            }
        }
    }

    // Golden: the top line of a ii-V-I style progression.
    const auto snapshot = compile (sectionWith ("Cmaj7 Am9 Dm7 G13", [] (SectionData& s) { s.arrangeShimmerTopNoteEnabled = true; s.shimmerOctave = 0; })).snapshot;
    const std::vector<NoteList> line { { 71 }, { 71 }, { 69 }, { 64 } };
    for (size_t i = 0; i < line.size(); ++i)
        EXPECT_EQ (snapshot->slots[i].shimmerNotes, line[i]) << i;
}

// With a searched shimmer the colour tones of dominant sevenths move as one line: C7's seventh
// stays at 58 and the next sevenths step up to 63 and 65 rather than leap down; the chosen
// thirds follow the line.
TEST (SectionCompile, SearchedShimmerVoiceLeadsTheColourLine)
{
    struct Case { const char* label; bool topNote; std::vector<NoteList> shimmer; };
    const std::vector<Case> cases {
        { "colours", false, { { 58 }, { 63 }, { 65 } } },
        { "colours and top note", true, { { 58, 64 }, { 63, 69 }, { 65, 71 } } },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.label);
        const auto snapshot = compile (sectionWith ("C7 F7 G7", [&] (SectionData& s)
                                                    {
                                                        s.arrangeShimmerColorNotesEnabled = true;
                                                        s.arrangeShimmerTopNoteEnabled = c.topNote;
                                                        s.shimmerOctave = 0;
                                                    })).snapshot;
        expectConsistentSlots (*snapshot);
        ASSERT_EQ (snapshot->slots.size(), c.shimmer.size());
        for (size_t i = 0; i < c.shimmer.size(); ++i)
            EXPECT_EQ (snapshot->slots[i].shimmerNotes, c.shimmer[i]) << i;
    }
}

// Sections come in from saved states and outside files with any integers; extreme octaves and
// offsets must neither overflow nor produce notes outside the MIDI range.
TEST (SectionCompile, ExtremeOctavesStayInTheMidiRange)
{
    const int extremes[] = { std::numeric_limits<int>::min(), -40, -3, 9, 40, std::numeric_limits<int>::max() };
    for (auto value : extremes)
    {
        SCOPED_TRACE (value);
        for (auto* body : { "Smooth", "Bassist", "None" })
        {
            const auto snapshot = compile (sectionWith ("Cmaj9 A7b9 Dm11 G13", [&] (SectionData& s)
                                                        {
                                                            s.bodyVoicing = body;
                                                            s.baseOctave = value;
                                                            s.arrangeShimmerTopNoteEnabled = true;
                                                            s.arrangeShimmerColorNotesEnabled = true;
                                                            s.arrangeBassAddOctave = true;
                                                            s.rootKey = "A";
                                                        })).snapshot;
            expectConsistentSlots (*snapshot);
        }

        const auto shifted = compile (sectionWith ("C Am", [&] (SectionData& s)
                                                   {
                                                       s.bassOctave = value;
                                                       s.bodyOctave = value;
                                                       s.shimmerOctave = value;
                                                       s.arrangeShimmerTopNoteEnabled = true;
                                                   })).snapshot;
        expectConsistentSlots (*shifted);
        for (const auto& slot : shifted->slots)
            for (auto n : slot.allNotes)
                EXPECT_TRUE (n == (value < 0 ? 0 : 127) || std::abs (value) < 5) << n;
    }
}

TEST (SectionCompile, HugeDurationsGiveAFiniteSectionLength)
{
    constexpr double longest = ProgressionCompiler::maxChordLengthTicks;

    struct Case
    {
        const char* progression;
        const char* defaultDuration;
        double totalBeats;
    };

    const Case cases[] = {
        { "C:1e305 F:1e305 G:1e305 C:1e305", "1", 4 * longest / 128 },
        { "C Am:T1e308 F G", "1e305", 4 * longest / 128 },
        { "C:2 G:1e305 Am:T384 F:0.5", "1", (1024 + longest + 384 + 256) / 128 },
        // Ordinary lengths compile exactly as they always have.
        { "C:2 R:0.5 G:T384", "1", 13 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.progression);
        const auto out = compile (sectionWith (c.progression), nullptr, c.defaultDuration);
        ASSERT_NE (out.snapshot, nullptr);
        const auto& snapshot = *out.snapshot;
        expectConsistentSlots (snapshot);

        EXPECT_TRUE (std::isfinite (snapshot.totalBeats));
        EXPECT_EQ (snapshot.totalBeats, c.totalBeats);

        double start = 0.0;
        for (const auto& slot : snapshot.slots)
        {
            EXPECT_EQ (slot.event.startTicks, start);
            EXPECT_TRUE (slot.event.lengthTicks >= 0.0 && slot.event.lengthTicks <= longest);
            start += slot.event.lengthTicks;
        }
        EXPECT_EQ (start / 128.0, snapshot.totalBeats);
    }
}

TEST (SectionCompile, SameSectionCompilesToTheSameNotes)
{
    const auto section = sectionWith ("Dm9 G13 Cmaj9 A7b9 R Fmaj7#11 E7", [] (SectionData& s)
                                      {
                                          s.bodyVoicing = "Bassist";
                                          s.shimmerVoicing = "Jazz";
                                          s.arrangeShimmerTopNoteEnabled = true;
                                          s.arrangeShimmerColorNotesEnabled = true;
                                          s.arrangeBodyWithShimmer = true;
                                          s.rootKey = "D";
                                      });
    const auto a = compile (section).snapshot;
    const auto b = compile (section).snapshot;
    expectConsistentSlots (*a);
    ASSERT_EQ (a->slots.size(), b->slots.size());
    for (size_t i = 0; i < a->slots.size(); ++i)
        EXPECT_EQ (a->slots[i].allNotes, b->slots[i].allNotes) << i;
}

TEST (SectionCompile, AnOvertakenCompileStopsPartWayAndIsMarked)
{
    // Asked as the compile goes; the answer turns once a few questions have been asked.
    for (const auto* style : { "Smooth", "Pianist", "Bassist" })
    {
        SCOPED_TRACE (style);
        const auto section = sectionWith ("C Am F G Dm7 G7 Cmaj7 A7", [style] (SectionData& s)
        {
            s.bodyVoicing = style;
            s.shimmerVoicing = "Smooth";
            s.arrangeShimmerTopNoteEnabled = true;
        });

        int questions = 0;
        const auto whole = compileSection (section, "1", 7, nullptr, [&] { ++questions; return false; });
        EXPECT_FALSE (whole.overtaken);
        ASSERT_NE (whole.snapshot, nullptr);
        EXPECT_EQ (whole.snapshot->slots.size(), 8u);
        EXPECT_GT (questions, 8) << "asked at least once per chord";

        // Overtaken at every point the compile asks: it stops there, with nothing to use.
        for (int stopAt = 1; stopAt <= questions; ++stopAt)
        {
            int asked = 0;
            const auto stopped = compileSection (section, "1", 7, nullptr, [&] { return ++asked >= stopAt; });
            EXPECT_TRUE (stopped.overtaken) << stopAt;
            EXPECT_EQ (asked, stopAt) << "no question after the first yes";
        }
    }
}

TEST (ShimmerColours, LowerSeventhColors)
{
    struct Case { const char* label; NoteList colours; NoteList intervals; int rootClass; int low; int span; NoteList out; };
    const std::vector<Case> cases {
        { "C7, lowered note outside the window", { 58 }, { 10 }, 0, 48, 24, { 58 } },
        { "C7, no window", { 58 }, { 10 }, 0, -1, 24, { 46 } },
        { "C7, window below", { 58 }, { 10 }, 0, 36, 24, { 46 } },
        { "F7 lowers its own seventh", { 63 }, { 10 }, 5, 48, 24, { 51 } },
        { "Cmaj7", { 59 }, { 11 }, 0, 36, 24, { 47 } },
        { "C9 has an extension: unchanged", { 58, 62 }, { 10, 14 }, 0, -1, 24, { 58, 62 } },
        { "would go below 0", { 10 }, { 10 }, 0, -1, 24, { 10 } },
        { "only sevenths move", { 58, 64 }, { 10 }, 0, -1, 24, { 46, 64 } },
    };
    for (const auto& c : cases)
        EXPECT_EQ (lowerSeventhColors (c.colours, c.intervals, c.rootClass, c.low, c.span), c.out) << c.label;
}

TEST (ShimmerColours, ChooseShimmerTopNote)
{
    auto chord = [] (const char* root, NoteList voicing, bool resolved = true)
    {
        ChordEvent e;
        e.symbol = root;
        e.root = root;
        e.voicing = voicing;
        e.notes = voicing;
        e.resolved = resolved;
        return e;
    };

    struct Case { const char* label; ChordEvent event; NoteList colours; NoteList intervals; int expected; };
    const std::vector<Case> cases {
        // Seventh only: the third goes above the colour, one octave down from where it is voiced.
        { "C7 third above its seventh", chord ("C", { 60, 64, 67, 70 }), { 46 }, { 10 }, 52 },
        // An extension without a seventh: the fifth first, placed just below the colour.
        { "Cadd9 fifth below its ninth", chord ("C", { 60, 64, 67, 74 }), { 62 }, { 14 }, 55 },
        { "not resolved", chord ("C", { 60, 64, 67, 70 }, false), { 46 }, { 10 }, -1 },
        { "no voicing", chord ("C", {}), { 46 }, { 10 }, -1 },
        { "no colours", chord ("C", { 60, 64, 67 }), {}, { 10 }, -1 },
        { "root is no note name", chord ("H", { 60, 64, 67, 70 }), { 46 }, { 10 }, -1 },
        { "neither seventh nor extension", chord ("C", { 60, 64, 67, 70 }), { 46 }, {}, -1 },
        { "no third, fifth or root outside the colours", chord ("C", { 62, 65, 70 }), { 46 }, { 10 }, -1 },
    };
    for (const auto& c : cases)
        EXPECT_EQ (chooseShimmerTopNote (c.event, c.colours, c.colours, c.intervals), c.expected) << c.label;

    // Notes already in the shimmer are never chosen again.
    EXPECT_NE (chooseShimmerTopNote (chord ("C", { 60, 64, 67, 70 }), { 46, 52 }, { 46 }, { 10 }), 52);
}

TEST (ShimmerColours, SnapColorOctaves)
{
    struct Case { NoteList shimmer; NoteList colourVoicing; NoteList out; };
    const std::vector<Case> cases {
        { {}, { 46 }, {} },
        { { 70, 74 }, {}, { 70, 74 } },
        { { 58, 64 }, { 46 }, { 46, 64 } },
        { { 58, 70, 64 }, { 82 }, { 64, 70, 82 } },     // the first note of the class moves
        { { 58, 64 }, { 49 }, { 58, 64 } },             // a class not in the shimmer adds nothing
    };
    for (const auto& c : cases)
        EXPECT_EQ (snapColorOctaves (c.shimmer, c.colourVoicing), c.out);
}
