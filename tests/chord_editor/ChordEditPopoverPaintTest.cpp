// What the chord editor panel paints in each of its states, with pictures for a person to look
// at in the build's screenshots folder.
#include "chord_editor/ChordEditPopover.h"
#include "editor/look/EditorLookAndFeel.h"
#include "editor/look/Palette.h"

#include "chord_editor/PanelTestSupport.h"
#include "editor/PixelTestSupport.h"
#include "support/ComponentSnapshot.h"

#include <gtest/gtest.h>

namespace
{
// The panel as the window shows it: with the window's look, holding Am7/G between C and F.
struct PaintedPanel
{
    PaintedPanel()
    {
        rig.panel.setLookAndFeel (&look);
        rig.panel.setKeyAndScale ("C", "Major");
        rig.panel.setContext (parseProgressionTokens ("C Am7/G:2 F"), 1, true, "Space");
        rig.panel.openChord (1, parseChordToken ("Am7/G:2"));
    }

    ~PaintedPanel() { rig.panel.setLookAndFeel (nullptr); }

    EditorLookAndFeel look;
    PanelRig rig;
};

using corvessa::test::hasInk;
using PixelTest::near;
using PixelTest::over;
} // namespace

TEST (ChordEditPopoverPaint, EasyModeShowsTheChordItsNeighboursAndSuggestions)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PaintedPanel scene;
    const auto image = corvessa::test::writeSnapshot (scene.rig.panel, "chord-editor-easy");

    EXPECT_TRUE (near (image.getPixelAt (100, 40), Palette::base));
    EXPECT_TRUE (near (image.getPixelAt (10, 200), Palette::mantle));
    EXPECT_TRUE (hasInk (image, { 25, 0, 150, 45 }, Palette::base));              // "Chord Builder"
    EXPECT_TRUE (hasInk (image, { 25, 89, 200, 38 }, Palette::mantle));           // the chord
    EXPECT_TRUE (near (image.getPixelAt (361, 150), over (Palette::mantle, Palette::surface2.withAlpha (0.44f))));

    // Navigator: three cards of 97, 97 and 98 with 18 between; the middle one is the chord.
    EXPECT_TRUE (near (image.getPixelAt (230, 170), over (Palette::mantle, Palette::mauve.withAlpha (0.2f))));
    EXPECT_TRUE (near (image.getPixelAt (115, 170), Palette::surface0));
    EXPECT_TRUE (near (image.getPixelAt (246, 154), over (Palette::mantle, Palette::mauve.withAlpha (0.46f)), 6));
    EXPECT_TRUE (hasInk (image, { 150, 147, 77, 25 }, over (Palette::mantle, Palette::mauve.withAlpha (0.2f))));

    // Suggestions between C and F; the best one carries the accent strip.
    EXPECT_EQ (scene.rig.panel.suggestionButtons[0].roleText, "Best connection");
    EXPECT_TRUE (near (image.getPixelAt (28, 208), over (Palette::surface0, Palette::mauve.withAlpha (0.78f)), 6));
    EXPECT_TRUE (hasInk (image, { 57, 197, 150, 23 }, Palette::surface0));
}

TEST (ChordEditPopoverPaint, ExpertModeShowsTheKeyboardAndTheFitOfTheChord)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PaintedPanel scene;
    auto& panel = scene.rig.panel;
    panel.buttonClicked (&panel.expertButton);
    const auto image = corvessa::test::writeSnapshot (panel, "chord-editor-expert");

    EXPECT_TRUE (hasInk (image, { 25, 89, 176, 43 }, Palette::mantle));           // the chord
    EXPECT_TRUE (hasInk (image, { 213, 89, 140, 43 }, Palette::mantle));          // its description and fit
    EXPECT_TRUE (near (image.getPixelAt (203, 110), over (Palette::mantle, Palette::surface2.withAlpha (0.34f))));
    EXPECT_TRUE (near (image.getPixelAt (279, 142), over (Palette::mantle, Palette::peach.withAlpha (0.9f)), 8));

    // The root button of the chord is toggled on.
    const auto aKey = panel.rootButtons[9].getBounds().getCentre();
    EXPECT_FALSE (near (image.getPixelAt (aKey.x, aKey.y - 8), Palette::surface0));
    const auto bKey = panel.rootButtons[11].getBounds().getCentre();
    EXPECT_TRUE (near (image.getPixelAt (bKey.x, bKey.y - 8), Palette::surface0));
}

TEST (ChordEditPopoverPaint, SuggestionsForANewChordAfterC)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PaintedPanel scene;
    auto& panel = scene.rig.panel;
    panel.setContext (parseProgressionTokens ("C"), 1, false, "Space");
    panel.openChord (1, parseChordToken ("Fm7b5"));
    const auto image = corvessa::test::writeSnapshot (panel, "chord-editor-suggestions");

    // The chord is the first suggestion: its card is marked.
    EXPECT_TRUE (panel.suggestionButtons[0].getToggleState());
    EXPECT_TRUE (near (image.getPixelAt (340, 208), over (Palette::mantle, Palette::mauve.withAlpha (0.28f))));
    EXPECT_TRUE (near (image.getPixelAt (340, 234), Palette::surface0));
    for (int n = 0; n < 5; ++n)
        EXPECT_TRUE (hasInk (image, { 57, 197 + 26 * n, 150, 23 }, Palette::surface0)) << n;
}

TEST (ChordEditPopoverPaint, AnEmptyPanelSaysSoAndShowsNothingElse)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PaintedPanel scene;
    scene.rig.panel.showEmpty();
    const auto image = corvessa::test::writeSnapshot (scene.rig.panel, "chord-editor-empty");

    EXPECT_TRUE (hasInk (image, { 25, 73, 530, 20 }, Palette::mantle));
    EXPECT_TRUE (hasInk (image, { 25, 98, 530, 18 }, Palette::mantle));
    EXPECT_FALSE (hasInk (image, { 10, 130, 560, 195 }, Palette::mantle));
    EXPECT_TRUE (hasInk (image, { 341, 8, 214, 29 }, Palette::base));             // "Apply & Close", "Cancel"
}
