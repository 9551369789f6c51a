// Pictures of the piano roll for a song with dense chords in every layer mix, at 1.0 and 2.0.
#include "editor/look/Palette.h"
#include "editor/views/PianoRollTestSupport.h"
#include "support/ComponentSnapshot.h"

using namespace viewtest;

TEST_F (PianoRollTest, DenseSongInEveryLayerMix)
{
    // Every layer busy: Bass with its octave and fifth, Body with root and fifth, Shimmer as halo.
    processor.setArrangeBassAddOctave (true);
    processor.setArrangeBassAddFifth (true);
    processor.setArrangeShimmerTopNoteEnabled (true);
    processor.setArrangeShimmerColorNotesEnabled (true);

    const auto preview = processor.compileProgressionPreview (
        "Cmaj7 Am7:0.5 Dm9:0.5 G13 Em7{V/V} A7:0.5 R:0.5 Dm7/A Fmaj9 Fm6{TT}:0.5 Bb9:0.5 Cadd9 "
        "Abmaj7{CM}:0.5 G7sus4:0.5 C6/9:2");
    ASSERT_GE (preview.chords.size(), 15u);

    roll.setSize (580, 0);
    roll.visibleHeight = 514;
    roll.canAdd = true;
    roll.setPreview (preview);
    roll.labels.resize (9);
    roll.labels[8].scaleFit = 2;
    roll.selectedChord = 3;
    roll.hoveredChord = 7;
    roll.playheadVisible = true;
    roll.playheadPosition = 6.25;

    const char* mixNames[] { "all", "bass", "body", "shimmer", "bass-body", "bass-shimmer", "body-shimmer" };
    std::vector<juce::Image> images;

    for (int mix = 0; mix < 7; ++mix)
    {
        roll.outputSelection = mix;
        roll.recalculateNoteRange();

        for (const auto scale : { 1.0f, 2.0f })
        {
            const auto image = corvessa::test::writeSnapshot (
                roll, juce::String ("piano-roll-dense-") + mixNames[mix] + (scale > 1.0f ? "-scale2" : "-scale1"), scale);
            EXPECT_EQ (image.getWidth(), juce::roundToInt (580 * scale));
            EXPECT_TRUE (corvessa::test::hasInk (image, { 0, juce::roundToInt (90 * scale), image.getWidth(), image.getHeight() / 2 },
                                                 Palette::mantle, 200)) << mixNames[mix];

            if (scale == 1.0f)
                images.push_back (image);
        }
    }

    // Each mix is drawn differently from showing all layers.
    const auto differs = [] (const juce::Image& a, const juce::Image& b)
    {
        for (int y = 78; y < std::min (a.getHeight(), b.getHeight()); y += 2)
            for (int x = 0; x < a.getWidth(); x += 2)
                if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                    return true;
        return false;
    };
    for (int mix = 1; mix < 7; ++mix)
        EXPECT_TRUE (differs (images[0], images[(size_t) mix])) << mixNames[mix];
}
