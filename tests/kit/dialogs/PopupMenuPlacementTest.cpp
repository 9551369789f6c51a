#include "kit/dialogs/PopupMenuPlacement.h"

#include <gtest/gtest.h>

using velmar::PopupMenuPlacement;
using Direction = juce::PopupMenu::Options::PopupDirection;

namespace
{
    // A window of 600 x 860 whose canvas holds a panel with the menu's target; the host is the
    // canvas's last child, as the editor adds it.
    struct PlacementTest : ::testing::Test
    {
        juce::ScopedJuceInitialiser_GUI gui;
        juce::Component window, canvas, panel, target;
        PopupMenuPlacement::Host host;

        PlacementTest()
        {
            window.setBounds (0, 0, 600, 860);
            window.addAndMakeVisible (canvas);
            canvas.setBounds (0, 0, 600, 860);
            canvas.addAndMakeVisible (panel);
            panel.setBounds (0, 0, 600, 860);
            panel.addAndMakeVisible (target);
            canvas.addAndMakeVisible (host);
        }

        juce::PopupMenu::Options placeTarget (juce::Rectangle<int> bounds)
        {
            target.setBounds (bounds);
            return PopupMenuPlacement::withPlacement (juce::PopupMenu::Options().withTargetComponent (&target));
        }
    };
} // namespace

TEST_F (PlacementTest, OpensBelowInTheUpperHalfAndAboveInTheLowerHalf)
{
    struct Case
    {
        juce::Rectangle<int> target;
        Direction direction;
        juce::Rectangle<int> hostBounds;
        juce::Rectangle<int> anchor;
    };

    // The anchor line is the edge row of the strip next to the target, moved inside by the
    // menu border (2 pixels in this look-and-feel), where the framework's menu can use it.
    const Case cases[] = {
        // Upper half: the strip below the target.
        { { 50, 100, 120, 20 }, Direction::downwards, { 4, 120, 592, 736 }, { 50, 122, 120, 1 } },
        // Lower half, although there is more room below than above it would need: above.
        { { 50, 440, 120, 20 }, Direction::upwards, { 4, 4, 592, 436 }, { 50, 437, 120, 1 } },
        // Exactly in the middle (centre 430 = area centre 4 + 852 / 2): below.
        { { 50, 420, 120, 20 }, Direction::downwards, { 4, 440, 592, 416 }, { 50, 442, 120, 1 } },
        // One pixel lower: above.
        { { 50, 421, 120, 20 }, Direction::upwards, { 4, 4, 592, 417 }, { 50, 418, 120, 1 } },
        // Tall target in the upper half with less than 48 pixels below it: the whole area,
        // the direction stays downwards.
        { { 50, 10, 120, 820 }, Direction::downwards, { 4, 4, 592, 852 }, { 50, 830, 120, 1 } },
        // Near the top in the lower half with a thin strip above: the whole area, upwards.
        { { 50, 30, 120, 820 }, Direction::upwards, { 4, 4, 592, 852 }, { 50, 29, 120, 1 } },
        // Reaching the area's bottom: the line stays inside the area less the border.
        { { 50, 20, 120, 900 }, Direction::downwards, { 4, 4, 592, 852 }, { 50, 853, 120, 1 } },
        // Partly outside the window: pulled inside the area first.
        { { -50, -10, 120, 20 }, Direction::downwards, { 4, 24, 592, 832 }, { 4, 26, 120, 1 } },
        { { 560, 900, 120, 20 }, Direction::upwards, { 4, 4, 592, 832 }, { 476, 833, 120, 1 } },
        // Wider than the area: cut to it.
        { { -100, 200, 900, 20 }, Direction::downwards, { 4, 220, 592, 636 }, { 4, 222, 592, 1 } },
        // An empty target still gets an anchor one pixel wide.
        { { 300, 300, 0, 0 }, Direction::downwards, { 4, 300, 592, 556 }, { 300, 302, 1, 1 } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.target.toString().toStdString());
        const auto placed = placeTarget (c.target);

        EXPECT_EQ (placed.getParentComponent(), &host);
        EXPECT_EQ (placed.getPreferredPopupDirection(), c.direction);
        EXPECT_EQ (host.getBounds(), c.hostBounds);
        EXPECT_EQ (placed.getTargetScreenArea(), c.anchor);
        EXPECT_EQ (placed.getTargetComponent(), &target);
    }
}

TEST_F (PlacementTest, KeepsTheOtherOptionsButDropsTheItemThatMustBeVisible)
{
    target.setBounds (10, 10, 100, 24);
    const auto options = juce::PopupMenu::Options().withTargetComponent (&target)
                                                   .withItemThatMustBeVisible (7)
                                                   .withMinimumWidth (100)
                                                   .withMaximumNumColumns (1)
                                                   .withStandardItemHeight (24)
                                                   .withPreferredPopupDirection (Direction::upwards);

    const auto placed = PopupMenuPlacement::withPlacement (options);

    EXPECT_EQ (placed.getItemThatMustBeVisible(), 0);
    EXPECT_EQ (placed.getMinimumWidth(), 100);
    EXPECT_EQ (placed.getMaximumNumColumns(), 1);
    EXPECT_EQ (placed.getStandardItemHeight(), 24);
    EXPECT_EQ (placed.getPreferredPopupDirection(), Direction::downwards);
}

TEST_F (PlacementTest, TheHostIsInvisibleToClicksAndStaysInFront)
{
    // A sibling added later that also stays on top (a panel's own overlay, say).
    juce::Component later;
    later.setAlwaysOnTop (true);
    canvas.addAndMakeVisible (later);
    ASSERT_EQ (canvas.getChildren().getLast(), &later);

    placeTarget ({ 10, 10, 100, 20 });

    EXPECT_EQ (canvas.getChildren().getLast(), &host);
    EXPECT_TRUE (host.isAlwaysOnTop());

    bool selfClicks = true, childClicks = false;
    host.getInterceptsMouseClicks (selfClicks, childClicks);
    EXPECT_FALSE (selfClicks);
    EXPECT_TRUE (childClicks);
}

TEST_F (PlacementTest, WithoutATargetOrAHostTheOptionsComeBackUnchanged)
{
    juce::Component elsewhere, loose;
    elsewhere.setBounds (0, 0, 300, 300);
    elsewhere.addAndMakeVisible (loose);
    loose.setBounds (10, 20, 30, 40);

    const auto withoutHost = PopupMenuPlacement::withPlacement (juce::PopupMenu::Options().withTargetComponent (&loose)
                                                                                         .withItemThatMustBeVisible (3));
    EXPECT_EQ (withoutHost.getParentComponent(), nullptr);
    EXPECT_EQ (withoutHost.getTargetScreenArea(), juce::Rectangle<int> (10, 20, 30, 40));
    EXPECT_EQ (withoutHost.getItemThatMustBeVisible(), 3);

    const auto area = juce::Rectangle<int> (5, 6, 7, 8);
    const auto withoutTarget = PopupMenuPlacement::withPlacement (juce::PopupMenu::Options().withTargetScreenArea (area));
    EXPECT_EQ (withoutTarget.getParentComponent(), nullptr);
    EXPECT_EQ (withoutTarget.getTargetScreenArea(), area);
}

TEST_F (PlacementTest, WorksInTheCanvasCoordinatesUnderTheScaleTransform)
{
    // The editor draws a 600 x 860 canvas scaled by its UI scale into a larger window.
    window.setSize (900, 1290);
    canvas.setTransform (juce::AffineTransform::scale (1.5f));

    const auto placed = placeTarget ({ 100, 100, 80, 20 });

    EXPECT_EQ (placed.getPreferredPopupDirection(), Direction::downwards);
    EXPECT_EQ (host.getBounds(), juce::Rectangle<int> (4, 120, 592, 736));

    // The anchor line sits under the target in window (screen) pixels.
    const auto anchor = placed.getTargetScreenArea();
    EXPECT_EQ (anchor.getX(), 150);
    EXPECT_EQ (anchor.getY(), 183);   // (120 + 2) x 1.5
    EXPECT_EQ (anchor.getWidth(), 120);
}

TEST_F (PlacementTest, ComboBoxesOfTheLookAndFeelOpenThroughThePlacement)
{
    PopupMenuPlacement::LookAndFeel<> lookAndFeel;
    juce::ComboBox box;
    box.setLookAndFeel (&lookAndFeel);
    box.addItemList ({ "One", "Two", "Three" }, 1);
    box.setSelectedId (3);
    panel.addAndMakeVisible (box);

    for (const auto y : { 100, 700 })
    {
        box.setBounds (40, y, 160, 24);
        juce::Label label;
        label.setSize (160, 24);
        const auto options = lookAndFeel.getOptionsForComboBoxPopupMenu (box, label);

        EXPECT_EQ (options.getParentComponent(), &host);
        EXPECT_EQ (options.getItemThatMustBeVisible(), 0);   // never laid over its selected item
        EXPECT_EQ (options.getMinimumWidth(), 160);
        EXPECT_EQ (options.getPreferredPopupDirection(), y < 430 ? Direction::downwards : Direction::upwards);
    }

    panel.removeChildComponent (&box);
    box.setLookAndFeel (nullptr);
}
