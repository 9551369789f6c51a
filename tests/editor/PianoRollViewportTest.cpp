// The piano roll inside the window's viewport: after every change of the roll's note range the
// window fits the roll to the viewport (stretched when short, scrolled when tall), keeps a view
// that was at the bottom there, gives the strip the width the roll gets and names the length.
#include "EditorFixture.h"

#include "editor/look/Palette.h"
#include "editor/views/PianoRollTestSupport.h"
#include "PixelTestSupport.h"

namespace
{
using viewtest::RollChord;

// Chords one after another, each with a Body layer of the given notes.
ProgressionPreview bodyChords (std::initializer_list<std::pair<double, std::vector<int>>> chords)
{
    std::vector<RollChord> rolled;
    double start = 0.0;
    for (const auto& [bars, body] : chords)
    {
        RollChord chord ("C", bars, {}, body);
        chord.startBars = start;
        start += bars;
        rolled.push_back (chord);
    }
    return viewtest::makePreview (rolled);
}
} // namespace

class PianoRollViewportTest : public EditorTest
{
protected:
    juce::Viewport& viewport() { return *dynamic_cast<juce::Viewport*> (probe->find ("viewport")); }
    ProgressionStripComponent& strip() { return *dynamic_cast<ProgressionStripComponent*> (probe->find ("strip")); }
    juce::String title() { return dynamic_cast<juce::Label*> (probe->find ("roll title"))->getText(); }
};

TEST_F (PianoRollViewportTest, AShortRollFillsTheViewAndATallOneScrollsBesideItsBar)
{
    // The viewport is 580 x 514 at the default layout; a full 0..127 range needs 78 + 128 x 8.
    ASSERT_EQ (viewport().getBounds().getWidth(), 580);
    ASSERT_EQ (viewport().getBounds().getHeight(), 514);

    struct Case
    {
        const char* what;
        ProgressionPreview preview;
        int width, height;
        bool scrollBar;
        juce::String title;
    };
    const Case cases[] = {
        { "five notes", bodyChords ({ { 1.0, { 60, 64 } } }), 580, 514, false, "Piano Roll | 1 bar" },
        { "every note", bodyChords ({ { 1.0, { 0, 127 } }, { 0.5, { 60 } } }), 570, 78 + 1024, true, "Piano Roll | 1.5 bars" },
        { "back to a few", bodyChords ({ { 2.0, { 48, 72 } }, { 2.0, { 50 } } }), 580, 514, false, "Piano Roll | 4 bars" },
    };

    for (const auto& c : cases)
    {
        probe->roll().setPreview (c.preview);
        EXPECT_EQ (probe->roll().getWidth(), c.width) << c.what;
        EXPECT_EQ (probe->roll().getHeight(), c.height) << c.what;
        EXPECT_EQ (viewport().isVerticalScrollBarShown(), c.scrollBar) << c.what;
        EXPECT_FALSE (viewport().isHorizontalScrollBarShown()) << c.what;
        EXPECT_EQ (strip().contentWidth, c.width) << c.what;
        EXPECT_EQ (title(), c.title) << c.what;
        EXPECT_GE (viewport().getViewPositionY(), 0) << c.what;
        EXPECT_LE (viewport().getViewPositionY(), juce::jmax (c.height - 514, 0)) << c.what;
        EXPECT_EQ (viewport().getViewPositionX(), 0) << c.what;
    }
}

TEST_F (PianoRollViewportTest, AViewAtTheBottomStaysThereAndAnyOtherKeepsItsPlace)
{
    const auto wide = bodyChords ({ { 1.0, { 0, 127 } } });       // 1102 high: bottom view at 588
    const auto narrower = bodyChords ({ { 1.0, { 20, 100 } } });  // 18..102, 85 rows: 758 high, bottom at 244

    // A roll that grows past the view keeps the view where it was: at the top.
    probe->roll().setPreview (wide);
    EXPECT_EQ (viewport().getViewPositionY(), 0);

    // Every tick fits the roll again: two pixels short of the bottom snaps to it, three do not.
    struct Case { int from; const ProgressionPreview* then; int expected; };
    const Case cases[] = {
        { 586, &wide, 588 },
        { 585, &wide, 585 },
        { 100, &wide, 100 },
        { 588, &narrower, 244 },   // shrinking keeps the bottom in view
        { 500, &narrower, 244 },   // and clamps a view past the new end
        { 100, &narrower, 100 },
    };
    for (const auto& c : cases)
    {
        probe->roll().setPreview (wide);
        viewport().setViewPosition (0, c.from);
        probe->roll().setPreview (*c.then);
        EXPECT_EQ (viewport().getViewPositionY(), c.expected) << "from " << c.from;
    }
}

TEST_F (PianoRollViewportTest, TheViewportOutlinesTheRoll)
{
    probe->roll().setPreview (bodyChords ({ { 1.0, { 0, 127 } } }));

    const auto image = viewport().createComponentSnapshot (viewport().getLocalBounds());
    // Half way down the left edge the outline's pixel column lies over the roll; two pixels
    // further in the roll shows alone.
    EXPECT_TRUE (PixelTest::near (image.getPixelAt (0, 257).withAlpha (1.0f), Palette::surface2, 8));
    EXPECT_FALSE (PixelTest::near (image.getPixelAt (2, 257).withAlpha (1.0f), Palette::surface2, 8));
}
