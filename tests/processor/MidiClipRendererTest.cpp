#include "processor/clips/MidiClipRenderer.h"

#include "MidiEventList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace MidiClipRenderer;
using PlaybackNotes::LayerNoteSpans;
using PlaybackNotes::LegatoFlags;

namespace
{
struct Chord
{
    double start, length;
    std::vector<int> bass, body, shimmer;
};

// Chords rendered as a Body-only (mode 2) whole-section clip, keeping only channels 2..4 so
// that each case reads as one layer per channel.
std::vector<ClipChord> layerClip (const std::vector<Chord>& chords, const LegatoFlags& legato)
{
    std::vector<ClipChord> clip;
    for (const auto& c : chords)
    {
        ClipChord chord { c.start, c.length, {} };
        for (int layer = 1; layer <= 3; ++layer)
        {
            const auto set = PlaybackNotes::layerNoteSet (LayerNoteSpans { c.bass, c.body, c.shimmer }, layer, legato);
            set.notes.forEach ([&] (int channel, int note) { chord.notes.add (channel, note, set.isHeld (channel, note)); });
        }
        clip.push_back (chord);
    }
    return clip;
}

std::vector<uint8_t> bytesOf (const juce::File& file)
{
    juce::MemoryBlock block;
    file.loadFileAsData (block);
    const auto* data = static_cast<const uint8_t*> (block.getData());
    return { data, data + block.getSize() };
}
} // namespace

TEST (MidiClipRenderer, NoteEndsFollowThePlaybackRules)
{
    struct Case
    {
        std::string name;
        std::vector<Chord> chords;
        LegatoFlags legato;
        std::vector<MidiEvent> expected; // ticks in place of samples
    };

    const LegatoFlags noLegato { false, false, false };
    const std::vector<Case> cases {
        { "plain notes end 4 ticks early and are struck again",
          { { 0, 512, {}, { 60 }, {} }, { 512, 512, {}, { 60 }, {} } }, noLegato,
          { noteOn (0, 3, 60), noteOff (508, 3, 60), noteOn (512, 3, 60), noteOff (1020, 3, 60) } },
        { "a held note over two chords is one note",
          { { 0, 512, { 36 }, {}, {} }, { 512, 512, { 36 }, {}, {} } }, { true, false, false },
          { noteOn (0, 2, 36), noteOff (1024, 2, 36) } },
        { "a held note absent from the next chord ends at its start",
          { { 0, 512, {}, { 64 }, {} }, { 512, 512, {}, { 65 }, {} } }, { false, true, false },
          { noteOn (0, 3, 64), noteOff (512, 3, 64), noteOn (1024 - 512, 3, 65), noteOff (1024, 3, 65) } },
        // A note-on and note-off at one tick are read off-first (JUCE's reader among others),
        // so the note would never end: every note lasts at least one tick.
        { "a chord of 2 ticks sounds its plain notes for one tick",
          { { 0, 2, {}, {}, { 76 } } }, noLegato,
          { noteOn (0, 4, 76), noteOff (1, 4, 76) } },
        { "a chord of 4 ticks too",
          { { 0, 4, {}, { 60 }, {} }, { 4, 512, {}, { 60 }, {} } }, noLegato,
          { noteOn (0, 3, 60), noteOff (1, 3, 60), noteOn (4, 3, 60), noteOff (512, 3, 60) } },
        { "a chord of no length never plays, as in live playback",
          { { 0, 512, {}, { 60 }, {} }, { 512, 0, {}, { 62 }, {} }, { 512, 512, {}, { 60 }, {} } }, { false, true, false },
          { noteOn (0, 3, 60), noteOff (1024, 3, 60) } },
        { "a rest between held chords ends the held note at the rest",
          { { 0, 512, {}, { 60 }, {} }, { 512, 512, {}, {}, {} }, { 1024, 512, {}, { 60 }, {} } }, { false, true, false },
          { noteOn (0, 3, 60), noteOff (512, 3, 60), noteOn (1024, 3, 60), noteOff (1536, 3, 60) } },
    };

    for (const auto& c : cases)
        EXPECT_EQ (eventsOf (renderClipSequence (layerClip (c.chords, c.legato))), c.expected) << c.name;
}

TEST (MidiClipRenderer, AHeldNotePlayedAgainUnheldEndsFourTicksEarly)
{
    // Channel 1 holds 48 from the Body layer in the first chord; in the second only the
    // (plain) Bass layer plays 48 there, so the held note ends at 508 and 48 starts again.
    std::vector<ClipChord> clip (2);
    clip[0] = { 0, 512, {} };
    clip[0].notes.add (1, 48, true);
    clip[1] = { 512, 512, {} };
    clip[1].notes.add (1, 48, false);

    EXPECT_EQ (eventsOf (renderClipSequence (clip)),
               (std::vector<MidiEvent> { noteOn (0, 1, 48), noteOff (508, 1, 48), noteOn (512, 1, 48), noteOff (1020, 1, 48) }));

    // Struck again 2 ticks after it started, it still lasts one tick.
    clip[0].lengthTicks = 2;
    clip[1].startTicks = 2;
    EXPECT_EQ (eventsOf (renderClipSequence (clip)),
               (std::vector<MidiEvent> { noteOn (0, 1, 48), noteOff (1, 1, 48), noteOn (2, 1, 48), noteOff (510, 1, 48) }));
}

TEST (MidiClipRenderer, WritesExactStandardMidiFileBytes)
{
    juce::TemporaryFile temp (".mid");
    const auto file = temp.getFile();

    // No chords: header and a track holding only the end of the track, 26 bytes.
    ASSERT_TRUE (writeClipFile (file, renderClipSequence ({})));
    const std::vector<uint8_t> header { 'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 1, 0, 128 };
    auto expected = header;
    expected.insert (expected.end(), { 'M', 'T', 'r', 'k', 0, 0, 0, 4, 0, 0xff, 0x2f, 0 });
    EXPECT_EQ (bytesOf (file), expected);

    // One plain Body note over one bar, written over the older, shorter file's place.
    ASSERT_TRUE (juce::File (file).replaceWithText (juce::String::repeatedString ("x", 200)));
    std::vector<ClipChord> clip (1);
    clip[0] = { 0, 512, {} };
    clip[0].notes.add (3, 60, false);
    ASSERT_TRUE (writeClipFile (file, renderClipSequence (clip)));
    expected = header;
    expected.insert (expected.end(), { 'M', 'T', 'r', 'k', 0, 0, 0, 13,
                                       0, 0x92, 60, 110,    // note-on channel 3 at tick 0
                                       0x83, 0x7c, 0x82, 60, 0, // note-off channel 3, 508 ticks later
                                       0, 0xff, 0x2f, 0 });
    EXPECT_EQ (bytesOf (file), expected);

    // A folder that does not exist cannot take the file.
    EXPECT_FALSE (writeClipFile (file.getSiblingFile ("missing-folder").getChildFile ("x.mid"), renderClipSequence ({})));
}

TEST (MidiClipRenderer, RefusesClipsTheFileFormatCannotHoldWithoutTouchingTheFile)
{
    // Chord lengths up to thousands of bars are legal; a file must never come out with wrapped
    // time stamps. Each case is one plain note per chord, chords back to back from tick 0.
    struct Case
    {
        const char* what;
        std::vector<double> lengths;
        bool fits;
    };
    const double longestChord = 4194304.0; // 8192 bars
    const std::vector<Case> cases {
        { "an ordinary bar", { 512.0 }, true },
        { "the longest chord", { longestChord }, true },
        { "a gap just inside the delta limit", { 4.0 + 0x0FFFFFFF }, true },
        { "a gap beyond the delta limit", { 4.0 + 0x0FFFFFFF + 1.0 }, false },
        { "513 longest chords, past the int range", std::vector<double> (513, longestChord), false },
        { "512 longest chords, the last note ending inside it", std::vector<double> (512, longestChord), true },
    };

    for (const auto& c : cases)
    {
        std::vector<ClipChord> clip;
        double start = 0.0;
        for (const double length : c.lengths)
        {
            ClipChord chord { start, length, {} };
            chord.notes.add (2, 48, false);
            clip.push_back (chord);
            start += length;
        }
        const auto sequence = renderClipSequence (clip);
        EXPECT_EQ (fitsStandardMidiFile (sequence), c.fits) << c.what;

        juce::TemporaryFile temp (".mid");
        ASSERT_TRUE (temp.getFile().replaceWithText ("earlier clip"));
        EXPECT_EQ (writeClipFile (temp.getFile(), sequence), c.fits) << c.what;
        if (! c.fits)
            EXPECT_EQ (temp.getFile().loadFileAsString(), "earlier clip") << c.what;
        else
            EXPECT_EQ (juce::MidiFile().readFrom (*temp.getFile().createInputStream()), true) << c.what;
    }
}

TEST (MidiClipRenderer, FileNamesComeFromTheSectionName)
{
    struct Section
    {
        juce::String name;
    };
    const std::vector<Section> sections { { "Verse" }, { "A/B: x" }, { "   " }, { "  Chorus  " } };

    struct Case
    {
        int index;
        juce::String expected;
    };
    for (const auto& c : std::vector<Case> { { 0, "Verse" }, { 1, "AB x" }, { 2, "Section 3" }, { 3, "Chorus" },
                                             { 4, "Section 5" }, { -1, "Section 1" } })
        EXPECT_EQ (sectionFileBaseName (sections, c.index), c.expected) << c.index;

    EXPECT_EQ (sectionFileBaseName (std::vector<Section> {}, 0), "Section 1");
    EXPECT_EQ (layerName (1) + layerName (2) + layerName (3) + layerName (4), "BassBodyShimmer");
}
