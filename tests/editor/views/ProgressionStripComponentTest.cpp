#include "editor/look/Palette.h"
#include "editor/views/ProgressionStripComponent.h"
#include "editor/views/ViewTestSupport.h"
#include "processor/CompiledSection.h"
#include "support/ComponentSnapshot.h"

#include <gtest/gtest.h>

using namespace viewtest;

namespace
{
ChordToken lasting (const juce::String& duration)
{
    ChordToken token;
    token.text = "C:" + duration;
    token.duration = duration;
    return token;
}

std::vector<int> xs (const std::vector<juce::Rectangle<int>>& cells)
{
    std::vector<int> values;
    for (const auto& c : cells)
        values.push_back (c.getX());
    return values;
}

std::vector<int> widths (const std::vector<juce::Rectangle<int>>& cells)
{
    std::vector<int> values;
    for (const auto& c : cells)
        values.push_back (c.getWidth());
    return values;
}

class StripTest : public ::testing::Test
{
protected:
    juce::ScopedJuceInitialiser_GUI gui;
    ProgressionStripComponent strip;

    void show (const juce::String& progression, int width = 600, int height = 40)
    {
        strip.setTokens (parseProgressionTokens (progression));
        strip.setSize (width, height);
        strip.layoutCells();
    }
};
} // namespace

TEST_F (StripTest, TokenLengthsReadBarsOrTicks)
{
    const std::pair<const char*, float> cases[] {
        { "1", 1.0f }, { "2", 2.0f }, { "0.25", 0.25f }, { " 3 ", 3.0f },
        { "T256", 0.5f }, { "t1024", 2.0f }, { "T64", 0.25f }, { "T1", 0.25f }, { "Tabc", 0.25f },
        { "0", 1.0f }, { "-2", 1.0f }, { "abc", 1.0f }, { "", 1.0f },
        // Numbers no cell could be laid out with.
        { "1e999", 1.0f }, { "T1e999", 1.0f }, { "nan", 1.0f },
    };

    for (const auto& [duration, bars] : cases)
    {
        strip.setTokens ({ lasting (duration) });
        EXPECT_FLOAT_EQ (strip.tokenLengthInBars (0), bars) << duration;
    }

    EXPECT_FLOAT_EQ (strip.tokenLengthInBars (1), 1.0f);
    EXPECT_FLOAT_EQ (strip.tokenLengthInBars (-1), 1.0f);

    // Typed into the progression, such a length leaves the cells laid out.
    show ("C:1e999 G", 300);
    EXPECT_EQ (widths (strip.cells), (std::vector<int> { 150, 150 }));
}

TEST_F (StripTest, CellsFollowTokenLengthsUnlessEveryTokenHasACompiledTime)
{
    show ("C Am:2 R F:T256");
    EXPECT_NEAR (strip.getBarScale(), 600.0f / 4.5f, 1.0e-3f);
    EXPECT_EQ (xs (strip.cells), (std::vector<int> { 0, 133, 400, 533 }));
    EXPECT_EQ (widths (strip.cells), (std::vector<int> { 133, 267, 133, 67 }));
    EXPECT_EQ (strip.cells[0].getY(), 5);
    EXPECT_EQ (strip.cells[0].getHeight(), 30);

    // Three compiled times for four tokens: the token lengths hold.
    strip.bars = { { 0.0f, 1.0f }, { 1.0f, 1.0f }, { 2.0f, 1.0f } };
    strip.layoutCells();
    EXPECT_EQ (xs (strip.cells), (std::vector<int> { 0, 133, 400, 533 }));

    // One per token: the compiled times hold, the total is the furthest end.
    ProgressionPreview preview;
    for (const auto& [start, length] : { std::pair<double, double> { 0, 512 }, { 512, 512 }, { 1024, 1024 }, { 2048, 1024 } })
    {
        ChordEvent event;
        event.startTicks = start;
        event.lengthTicks = length;
        preview.chords.push_back (event);
    }
    strip.setChords (preview);
    strip.layoutCells();
    EXPECT_EQ (xs (strip.cells), (std::vector<int> { 0, 100, 200, 400 }));
    EXPECT_EQ (widths (strip.cells), (std::vector<int> { 100, 100, 200, 200 }));

    // The owner's content width, when it fits in the strip.
    strip.contentWidth = 300;
    strip.layoutCells();
    EXPECT_EQ (strip.getContentArea(), juce::Rectangle<int> (0, 5, 300, 30));
    EXPECT_EQ (widths (strip.cells), (std::vector<int> { 50, 50, 100, 100 }));
    strip.contentWidth = 601;
    strip.layoutCells();
    EXPECT_EQ (strip.getContentArea().getWidth(), 600);
}

TEST_F (StripTest, CellAtTakesLeftAndTopEdgesAndFindsHairlineCells)
{
    show ("C:1 G:199", 200, 40);   // a 1 px cell, then the rest
    ASSERT_EQ (widths (strip.cells), (std::vector<int> { 1, 199 }));

    const std::pair<juce::Point<int>, int> cases[] {
        { { 0, 5 }, 0 }, { { 1, 5 }, 1 }, { { 199, 34 }, 1 }, { { 200, 20 }, -1 },
        { { 0, 4 }, -1 }, { { 50, 35 }, -1 }, { { -1, 20 }, -1 },
    };
    for (const auto& [point, cell] : cases)
        EXPECT_EQ (strip.cellAt (point), cell) << point.toString();

    // The hairline cell is found but not drawn.
    const auto image = corvessa::test::renderComponent (strip);
    EXPECT_FALSE (near (image.getPixelAt (0, 20), Palette::surface0, 10));
    EXPECT_TRUE (near (image.getPixelAt (60, 20), Palette::surface0, 2));
}

TEST_F (StripTest, NarrowCellsShowTheNameAloneAndRoomyOnesTheLengthToo)
{
    // 57 px and 70 px cells, 40 px high.
    show ("C:57 G:70", 127, 50);
    ASSERT_EQ (widths (strip.cells), (std::vector<int> { 57, 70 }));
    const auto image = corvessa::test::writeSnapshot (strip, "progression-strip-narrow-and-roomy");

    const auto lengthLine = [&image] (juce::Rectangle<int> cell)
    {
        return corvessa::test::hasInk (image, { cell.getX() + 6, cell.getY() + 24, cell.getWidth() - 12, 10 }, Palette::surface0, 3);
    };
    EXPECT_FALSE (lengthLine (strip.cells[0]));
    EXPECT_TRUE (lengthLine (strip.cells[1]));
    EXPECT_TRUE (corvessa::test::hasInk (image, strip.cells[0].reduced (6, 4), Palette::surface0, 3));
}

TEST_F (StripTest, PaintsSelectionHoverRestsAndUnrecognisedChords)
{
    show ("Cmaj7:2 R Xq7 G7:2 Am", 600, 50);
    strip.selectedIndex = 0;
    strip.hoveredIndex = 3;
    const auto image = corvessa::test::writeSnapshot (strip, "progression-strip-selected-hovered-rest-unrecognised");
    corvessa::test::writeSnapshot (strip, "progression-strip-selected-hovered-rest-unrecognised-scale2", 2.0f);
    const auto& cells = strip.cells;
    const auto inside = [] (juce::Rectangle<int> c) { return juce::Point<int> (c.getRight() - 4, c.getBottom() - 5); };

    EXPECT_TRUE (near (image.getPixelAt (inside (cells[0]).x, inside (cells[0]).y), Palette::surface1));
    EXPECT_TRUE (near (image.getPixelAt (cells[0].getX() + 1, cells[0].getCentreY()), Palette::mauve, 40));   // selected outline
    EXPECT_TRUE (near (image.getPixelAt (inside (cells[1]).x, inside (cells[1]).y), Palette::base, 4));        // rest
    EXPECT_TRUE (near (image.getPixelAt (inside (cells[3]).x, inside (cells[3]).y), Palette::surface1));        // hovered
    EXPECT_TRUE (near (image.getPixelAt (inside (cells[4]).x, inside (cells[4]).y), Palette::surface0));

    // The unrecognised chord: a peach bar at its left edge and its name in yellow.
    const auto flag = image.getPixelAt (cells[2].getX() + 2, cells[2].getCentreY());
    EXPECT_TRUE (near (flag, over (Palette::surface0, Palette::peach.interpolatedWith (Palette::text, 0.06f), 0.72f), 20));
    EXPECT_TRUE (corvessa::test::hasInk (image, cells[2].reduced (8, 6), Palette::surface0, 4));
    bool yellowInk = false;
    for (int y = cells[2].getY(); y < cells[2].getBottom() && ! yellowInk; ++y)
        for (int x = cells[2].getX() + 6; x < cells[2].getRight() && ! yellowInk; ++x)
            yellowInk = near (image.getPixelAt (x, y), Palette::yellow, 30);
    EXPECT_TRUE (yellowInk);
}

TEST_F (StripTest, EmptyStripInvitesOnlyWhenInteractive)
{
    show ("", 600, 40);
    auto image = corvessa::test::writeSnapshot (strip, "progression-strip-empty");
    EXPECT_TRUE (corvessa::test::hasInk (image, strip.getContentArea().reduced (100, 2), Palette::base, 10));

    strip.interactive = false;
    image = corvessa::test::renderComponent (strip);
    EXPECT_FALSE (corvessa::test::hasInk (image, strip.getContentArea().reduced (100, 2), Palette::base, 1));
}

TEST_F (StripTest, PressesSelectAndReportAndRightClicksAskForTheMenu)
{
    show ("C G:2", 300, 40);   // cells 0..100 and 100..300
    strip.contentWidth = 240;  // cells 0..80 and 80..240; nothing beyond

    std::vector<std::pair<const char*, int>> calls;
    juce::Point<int> lastPosition;
    strip.onChordPressStarted = [&] (int i, juce::Component& source, juce::Point<int> p) { EXPECT_EQ (&source, &strip); lastPosition = p; calls.emplace_back ("press", i); };
    strip.onChordPressDragged = [&] (int i, juce::Component&, juce::Point<int>) { calls.emplace_back ("drag", i); };
    strip.onChordPressReleased = [&] (int i, juce::Component&, juce::Point<int>) { calls.emplace_back ("release", i); };
    strip.onChordMenuRequested = [&] (int i, juce::Component&, juce::Point<int>) { calls.emplace_back ("menu", i); };
    strip.onEmptyStripClicked = [&] (juce::Point<int>) { calls.emplace_back ("empty", 0); };

    press (strip, { 100, 20 });
    EXPECT_EQ (strip.selectedIndex, 1);
    EXPECT_EQ (lastPosition, juce::Point<int> (100, 20));
    drag (strip, { 10, 20 });
    drag (strip, { 280, 20 });
    release (strip, { 280, 20 });

    press (strip, { 270, 20 });                  // beyond the cells: nothing, selection kept
    EXPECT_EQ (strip.selectedIndex, 1);
    press (strip, { 270, 20 }, rightButton);     // the menu still asks, with no cell
    press (strip, { 10, 20 }, rightButton);
    EXPECT_EQ (strip.selectedIndex, 1);          // a right click selects nothing

    const std::vector<std::pair<const char*, int>> expected {
        { "press", 1 }, { "drag", 0 }, { "drag", -1 }, { "release", -1 }, { "menu", -1 }, { "menu", 0 },
    };
    ASSERT_EQ (calls.size(), expected.size());
    for (size_t i = 0; i < calls.size(); ++i)
    {
        EXPECT_STREQ (calls[i].first, expected[i].first) << i;
        EXPECT_EQ (calls[i].second, expected[i].second) << i;
    }

    // Without tokens a left click anywhere asks to add the first chord.
    calls.clear();
    strip.setTokens ({});
    press (strip, { 50, 20 });
    ASSERT_EQ (calls.size(), 1u);
    EXPECT_STREQ (calls[0].first, "empty");
}

TEST_F (StripTest, AFollowersStripIgnoresTheMouseButReportsLeaving)
{
    show ("C G", 300, 40);
    strip.interactive = false;
    EXPECT_EQ (strip.getMouseCursor(), juce::MouseCursor (juce::MouseCursor::NormalCursor));

    std::vector<int> hovers;
    bool anythingElse = false;
    strip.onChordHovered = [&hovers] (int i) { hovers.push_back (i); };
    strip.onChordPressStarted = [&] (int, juce::Component&, juce::Point<int>) { anythingElse = true; };
    strip.onChordPressDragged = [&] (int, juce::Component&, juce::Point<int>) { anythingElse = true; };
    strip.onChordPressReleased = [&] (int, juce::Component&, juce::Point<int>) { anythingElse = true; };
    strip.onChordMenuRequested = [&] (int, juce::Component&, juce::Point<int>) { anythingElse = true; };

    move (strip, { 50, 20 });
    press (strip, { 50, 20 });
    press (strip, { 50, 20 }, rightButton);
    drag (strip, { 60, 20 });
    release (strip, { 60, 20 });
    leave (strip);

    EXPECT_FALSE (anythingElse);
    EXPECT_EQ (strip.selectedIndex, -1);
    EXPECT_EQ (hovers, std::vector<int> { -1 });

    strip.interactive = true;
    EXPECT_EQ (strip.getMouseCursor(), juce::MouseCursor (juce::MouseCursor::PointingHandCursor));
}

TEST_F (StripTest, HoverGoesToTheOwnerWhenItListens)
{
    show ("C G", 300, 40);

    move (strip, { 200, 20 });
    EXPECT_EQ (strip.hoveredIndex, 1);
    leave (strip);
    EXPECT_EQ (strip.hoveredIndex, -1);

    std::vector<int> hovers;
    strip.onChordHovered = [this, &hovers] (int i) { hovers.push_back (i); strip.hoveredIndex = i; };
    move (strip, { 20, 20 });
    move (strip, { 30, 20 });
    move (strip, { 20, 2 });
    leave (strip);
    leave (strip);
    EXPECT_EQ (hovers, (std::vector<int> { 0, -1, -1, -1 }));
}

TEST_F (StripTest, ReturnActivatesTheSelectedCellOnly)
{
    show ("C G", 300, 40);
    std::vector<int> activated;
    strip.onChordActivated = [&activated] (int i) { activated.push_back (i); };

    const juce::KeyPress plainReturn (juce::KeyPress::returnKey);
    const juce::KeyPress shiftReturn (juce::KeyPress::returnKey, juce::ModifierKeys::shiftModifier, 0);
    const juce::KeyPress ctrlReturn (juce::KeyPress::returnKey, juce::ModifierKeys::ctrlModifier, 0);
    const juce::KeyPress altReturn (juce::KeyPress::returnKey, juce::ModifierKeys::altModifier, 0);

    EXPECT_FALSE (strip.keyPressed (plainReturn));   // nothing selected: passed on

    strip.selectedIndex = 1;
    EXPECT_FALSE (strip.keyPressed (shiftReturn));
    EXPECT_FALSE (strip.keyPressed (ctrlReturn));
    EXPECT_FALSE (strip.keyPressed (altReturn));
    EXPECT_FALSE (strip.keyPressed (juce::KeyPress (juce::KeyPress::spaceKey)));
    EXPECT_TRUE (activated.empty());

    EXPECT_TRUE (strip.keyPressed (plainReturn));
    EXPECT_EQ (activated, std::vector<int> { 1 });

    strip.interactive = false;
    EXPECT_TRUE (strip.keyPressed (plainReturn));    // consumed, but nothing happens
    EXPECT_EQ (activated.size(), 1u);
}

TEST_F (StripTest, NewTokensClearASelectionPastTheirEnd)
{
    show ("C G Am F", 300, 40);
    strip.selectedIndex = 3;
    strip.hoveredIndex = 3;

    strip.setTokens (parseProgressionTokens ("C G Am F Dm"));
    EXPECT_EQ (strip.selectedIndex, 3);
    strip.setTokens (parseProgressionTokens ("C G"));
    EXPECT_EQ (strip.selectedIndex, -1);
    EXPECT_EQ (strip.hoveredIndex, 3);
}
