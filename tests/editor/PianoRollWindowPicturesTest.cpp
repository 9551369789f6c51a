// The piano roll as the window shows it: a song of dense chords with all three layers sounding,
// in each channel-1 layer mix, at 100 % and 200 %. Pictures go to <build>/screenshots; each is
// checked for which layers are drawn in full colour and which only faintly.
#include "EditorFixture.h"

#include "editor/PixelTestSupport.h"
#include "editor/look/Palette.h"
#include "support/ComponentSnapshot.h"

namespace
{
// Pixels of the area within the tolerance of the colour.
int countNear (const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour)
{
    int count = 0;
    area = area.getIntersection (image.getBounds());
    const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::readOnly);
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
        {
            const auto c = pixels.getPixelColour (x, y);
            if (std::abs (c.getRed() - colour.getRed()) + std::abs (c.getGreen() - colour.getGreen())
                    + std::abs (c.getBlue() - colour.getBlue()) <= 6)
                ++count;
        }
    return count;
}
} // namespace

TEST_F (EditorTest, PicturesOfTheRollInEveryLayerMix)
{
    auto sections = song ({ { "A - Dense", "Cmaj9:0.5 Am11:0.5 Dm9:0.5 G13:0.5 Em7:0.5 A7b9:0.5 Fmaj7#11:0.5 Bm7b5:0.5 "
                                           "Cmaj9/E:0.5 F6:0.5 Fm6:0.5 Cadd9:0.5 Ab9:0.5 G7sus4:0.5 Gm9:0.5 C7:0.5" } });
    sections[0].arrangeShimmerTopNoteEnabled = true;     // "Halo": Shimmer notes on every chord
    sections[0].arrangeShimmerColorNotesEnabled = true;
    sections[0].bassOctave = -1;                         // below the body, so Bass notes stand alone
    processor->setSections (sections, true);
    processor->setSelectedSectionViewIndex (0);
    editor->syncControlsFromProcessor (true);
    waitForCompile();
    probe->tick();

    auto& roll = probe->roll();
    ASSERT_EQ (roll.chords.size(), 16u);
    ASSERT_FALSE (processor->getCompiledLayerNotes (0, 3).empty());

    // Chord columns are base at 26 % over the roll's mantle; a note played by one shown layer
    // is that layer's colour at its own alpha over the column.
    const auto column = PixelTest::over (Palette::mantle, Palette::base.withAlpha (0.26f));
    const auto strongBass = PixelTest::over (column, Palette::bassLayer.withAlpha (0.8f));
    const auto strongBody = PixelTest::over (column, Palette::bodyLayer.withAlpha (0.7f));
    const auto strongShimmer = PixelTest::over (column, Palette::shimmerLayer.withAlpha (0.9f));

    struct Mix { int mode; const char* name; bool bass, body, shimmer; };
    const Mix mixes[] = {
        { 0, "all", true, true, true },           { 1, "bass", true, false, false },
        { 2, "body", false, true, false },        { 3, "shimmer", false, false, true },
        { 4, "bass-body", true, true, false },    { 5, "bass-shimmer", true, false, true },
        { 6, "body-shimmer", false, true, true },
    };

    for (const float scale : { 1.0f, 2.0f })
    {
        for (const auto& mix : mixes)
        {
            const auto label = juce::String ("window-roll-") + mix.name + (scale > 1.0f ? "-200" : "");
            roll.outputSelection = mix.mode;
            probe->layout();

            // The whole roll fits the viewport, so the note area is on the picture.
            const auto viewport = probe->find ("viewport")->getBounds();
            ASSERT_EQ (roll.getHeight(), viewport.getHeight()) << label;

            const auto image = corvessa::test::writeSnapshot (*editor, label, scale);
            const auto notes = (viewport.withTrimmedTop (PianoRollComponent::noteAreaTop).toFloat() * scale).toNearestInt();

            EXPECT_EQ (countNear (image, notes, strongBass) > 20, mix.bass) << label;
            EXPECT_EQ (countNear (image, notes, strongBody) > 20, mix.body) << label;
            EXPECT_EQ (countNear (image, notes, strongShimmer) > 20, mix.shimmer) << label;

            // The chord names are written in the band.
            const auto band = (viewport.withTrimmedTop (PianoRollComponent::emptyTop).withHeight (PianoRollComponent::bandHeight).toFloat()
                               * scale).toNearestInt();
            EXPECT_TRUE (corvessa::test::hasInk (image, band, Palette::mantle)) << label;
        }
    }
}
