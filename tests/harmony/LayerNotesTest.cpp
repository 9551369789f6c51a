// The Bass, Body and Shimmer notes of one compiled chord under the arrangement switches. Every
// layer list must stay inside 0..127, ascending and without repeats, whatever the octave.

#include "harmony/ProgressionCompiler.h"

#include "support/NoteListText.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace
{
using Notes = std::vector<int>;

constexpr int bass = ProgressionCompiler::bassLayer;
constexpr int body = ProgressionCompiler::bodyLayer;
constexpr int shimmer = ProgressionCompiler::shimmerLayer;

// A chord as the compile leaves it (octave 3, style None), with its voicing replaced when given.
ChordEvent chord (const juce::String& text, const Notes& voicing = {})
{
    ProgressionCompiler compiler;
    auto events = compiler.compileProgression (text, 3, 0, "1", 1);
    auto e = events.empty() ? ChordEvent() : events.front();
    if (! voicing.empty())
    {
        e.voicing = voicing;
        e.notes = voicing;
    }
    return e;
}

struct Switches
{
    bool bassAddFifth = false;
    bool bodyAddRoot = true;
    bool bodyAddFifth = true;
    bool shimmerColorNotes = false;
    bool bodyWithShimmer = false;
};

Notes render (const ChordEvent& e, int layer, int octave, Switches s = {})
{
    return ProgressionCompiler::renderLayerNotes (e, layer, octave, s.bassAddFifth, s.bodyAddRoot, s.bodyAddFifth,
                                                  s.shimmerColorNotes, s.bodyWithShimmer);
}

Switches withFifth()
{
    Switches s;
    s.bassAddFifth = true;
    return s;
}

Switches bare()
{
    Switches s;
    s.bodyAddRoot = false;
    s.bodyAddFifth = false;
    return s;
}

Switches bodyShimmer()
{
    Switches s;
    s.bodyWithShimmer = true;
    return s;
}

Switches colours()
{
    Switches s;
    s.shimmerColorNotes = true;
    return s;
}
} // namespace

TEST (LayerNotes, Layers)
{
    struct Case
    {
        const char* what;
        ChordEvent event;
        int layer;
        int octave;
        Switches switches;
        Notes expected;
    };

    const Case cases[] = {
        { "slash bass with its fifth", chord ("Am7/G"), bass, 2, withFifth(), { 55, 62 } },
        { "slash bass alone", chord ("Am7/G"), bass, 2, {}, { 55 } },
        { "lowered fifth", chord ("Cm7b5"), bass, 2, withFifth(), { 48, 54 } },
        { "raised fifth", chord ("Caug"), bass, 2, withFifth(), { 48, 56 } },
        { "root bass at the layer's octave", chord ("Bb"), bass, 1, {}, { 46 } },
        { "bass above 127", chord ("C"), bass, 9, withFifth(), {} },
        { "fifth above 127 dropped", chord ("G"), bass, 8, withFifth(), { 127 } },
        { "bass below 0", chord ("C"), bass, -3, withFifth(), {} },
        // a slash bass that is no note name plays the root
        { "unreadable slash bass", chord ("C/E7"), bass, 2, withFifth(), { 48, 55 } },
        { "flat-C slash bass", chord ("C/Cb"), bass, 2, {}, { 48 } },

        { "body without root and fifth", chord ("C", { 60, 64, 67 }), body, 3, bare(), { 64 } },
        { "body with root and fifth", chord ("C", { 60, 64, 67 }), body, 3, {}, { 60, 64, 67 } },
        { "seventh is colour", chord ("C7", { 60, 64, 67, 70 }), body, 3, {}, { 60, 64, 67 } },
        { "seventh with shimmer", chord ("C7", { 60, 64, 67, 70 }), body, 3, bodyShimmer(), { 60, 64, 67, 70 } },
        { "body keeps the voicing's octaves", chord ("C", { 36, 76, 91 }), body, 7, {}, { 36, 76, 91 } },
        { "lowered fifth is left out with the fifth", chord ("Cm7b5", { 60, 63, 66, 70 }), body, 3, bare(), { 63 } },
        { "body notes outside 0..127 dropped", chord ("C", { -12, 60, 136 }), body, 3, {}, { 60 } },

        { "shimmer top note", chord ("C", { 60, 64, 67 }), shimmer, 3, {}, { 67 } },
        { "shimmer top note of unsorted voicing", chord ("C", { 67, 72, 60 }), shimmer, 3, {}, { 72 } },
        { "shimmer colours absent", chord ("C", { 60, 64, 67 }), shimmer, 3, colours(), { 62 } },
        { "shimmer colours of C9", chord ("C9", { 60, 64, 67, 70, 74 }), shimmer, 3, colours(), { 70, 74 } },
        { "shimmer top note above 127", chord ("C", { 120, 124, 131 }), shimmer, 3, {}, {} },

        { "layer 0", chord ("C"), 0, 3, {}, {} },
        { "layer 4", chord ("C"), 4, 3, {}, {} },
        { "layer -1", chord ("C"), -1, 3, {}, {} },
    };

    for (const auto& c : cases)
    {
        const auto notes = render (c.event, c.layer, c.octave, c.switches);
        EXPECT_EQ (notes, c.expected) << c.what << ": " << corvessa::test::describeNotes (notes);
    }
}

TEST (LayerNotes, NothingForRestsAndUnreadChords)
{
    for (const auto* text : { "R", "Hm", "CMaj7", "Cb" })
    {
        const auto e = chord (text);
        for (int layer = 0; layer <= 4; ++layer)
        {
            EXPECT_TRUE (render (e, layer, 3, withFifth()).empty()) << text << " layer " << layer;
            EXPECT_TRUE (render (e, layer, 3, colours()).empty()) << text << " layer " << layer;
        }
    }

    // A hand-made event marked resolved whose root is no note name gives empty layers.
    ChordEvent handMade;
    handMade.symbol = "H";
    handMade.root = "H";
    handMade.resolved = true;
    handMade.voicing = { 60, 64, 67 };
    for (int layer = 1; layer <= 3; ++layer)
        EXPECT_TRUE (render (handMade, layer, 3).empty()) << layer;
}

TEST (LayerNotes, BassFallsBackToTheVoicedFifthWithoutAnAnalysis)
{
    // A resolved event whose quality the analysis cannot read: the fifth comes from the voicing.
    ChordEvent e;
    e.symbol = "Cweird";
    e.root = "C";
    e.resolved = true;
    e.voicing = { 60, 63, 66 };
    e.notes = e.voicing;

    EXPECT_EQ (render (e, bass, 2, withFifth()), (Notes { 48, 54 }));
    EXPECT_TRUE (render (e, body, 2).empty());
    EXPECT_TRUE (render (e, shimmer, 2).empty());
}

TEST (LayerNotes, EveryLayerStaysInsideTheMidiRange)
{
    const char* progression = "C Am7/G F#m7b5 G13 Bb/D E7alt C6/9 Dsus2 C/E7";

    for (int octave : { INT_MIN, -1000, -5, -2, 0, 3, 8, 9, 12, 1000, INT_MAX })
    {
        for (int style = 0; style <= 6; ++style)
        {
            ProgressionCompiler compiler;
            const auto events = compiler.compileProgression (progression, octave, style, "1", 1);

            for (const auto& e : events)
            {
                for (int layer = 1; layer <= 3; ++layer)
                {
                    for (int mask = 0; mask < 32; ++mask)
                    {
                        Notes notes;
                        ASSERT_NO_THROW (notes = ProgressionCompiler::renderLayerNotes (e, layer, octave, mask & 1, mask & 2,
                                                                                        mask & 4, mask & 8, mask & 16))
                            << e.symbol;
                        for (size_t i = 0; i < notes.size(); ++i)
                        {
                            ASSERT_GE (notes[i], 0) << e.symbol;
                            ASSERT_LE (notes[i], 127) << e.symbol;
                            if (i > 0)
                            {
                                ASSERT_LT (notes[i - 1], notes[i]) << e.symbol;
                            }
                        }
                    }
                }
            }
        }
    }
}
