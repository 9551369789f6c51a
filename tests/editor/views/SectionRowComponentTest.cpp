#include "editor/views/SectionRowComponent.h"
#include "editor/look/Palette.h"
#include "editor/views/ViewTestSupport.h"
#include "support/ComponentSnapshot.h"

#include <gtest/gtest.h>

using namespace viewtest;

namespace
{
SectionMode::SectionData named (const juce::String& name)
{
    SectionMode::SectionData section;
    section.name = name;
    return section;
}

std::vector<SectionMode::SectionData> sectionsNamed (int count)
{
    std::vector<SectionMode::SectionData> list;
    for (int i = 0; i < count; ++i)
        list.push_back (named ("S" + juce::String (i)));
    return list;
}

std::vector<int> upTo (int count)
{
    std::vector<int> indices;
    for (int i = 0; i < count; ++i)
        indices.push_back (i);
    return indices;
}

class SectionRowTest : public ::testing::Test
{
protected:
    juce::ScopedJuceInitialiser_GUI gui;
    SectionRowComponent row;

    void show (int count, int width = 330, int height = 27, int selected = 0)
    {
        row.sections = sectionsNamed (count);
        row.selectedIndex = selected;
        row.setSize (width, height);
    }

    // The centre of the button that shows section `index`.
    juce::Point<float> centreOf (int index) const
    {
        const auto layout = row.computeLayout();
        for (size_t slot = 0; slot < layout.visibleIndices.size(); ++slot)
            if (layout.visibleIndices[slot] == index)
                return row.getSectionButtonBounds (layout, (int) slot).getCentre();
        ADD_FAILURE() << "section " << index << " has no button";
        return {};
    }
};
} // namespace

TEST (SectionLabels, ShortLabelAndDisplayNameFollowTheSeparatorAndThePosition)
{
    const juce::String enDash (juce::CharPointer_UTF8 ("Bridge \xe2\x80\x93 Big"));

    struct Case { juce::String name; int index; const char* label; const char* display; };
    const Case cases[] {
        { "A - Intro", 0, "A", "A - Intro" },
        { "A - Intro", 7, "A", "A - Intro" },
        { "Verse", 2, "C", "C - Verse" },
        { "intro - soft", 0, "I", "I - soft" },
        { "b", 0, "b", "b" },
        { "  x  ", 5, "x", "x" },
        { "27", 26, "27", "27" },
        { "Chorus", 27, "28", "28 - Chorus" },
        { enDash, 3, "B", "B - Big" },
        { "a - A", 4, "A", "A" },
        { "Outro -tail", 1, "B", "B - Outro -tail" },
        { "Z", 30, "Z", "Z" },
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (sectionShortLabel (named (c.name), c.index), c.label) << c.name << " at " << c.index;
        EXPECT_EQ (sectionDisplayName (named (c.name), c.index), c.display) << c.name << " at " << c.index;
    }
}

TEST_F (SectionRowTest, ButtonHeightFollowsTheRowBelowFiftyAndIsClampedAbove)
{
    const std::pair<int, int> cases[] { { 0, 0 }, { 27, 27 }, { 49, 49 }, { 50, 26 }, { 55, 31 }, { 60, 36 }, { 90, 36 } };

    for (const auto& [height, expected] : cases)
    {
        row.setSize (330, height);
        EXPECT_EQ (row.getButtonHeight(), expected) << height;
    }
}

TEST_F (SectionRowTest, LayoutFitsAtMostFiveButtonsAndKeepsTheSelectedSectionShown)
{
    struct Case { int sections; int width; int selected; float buttonWidth; bool hidden; std::vector<int> visible; };
    const Case cases[] {
        { 0, 330, -1, 58.0f, false, {} },
        { 1, 330, 0, 58.0f, false, { 0 } },
        { 1, 88, 0, 58.0f, false, { 0 } },
        { 1, 87, 0, 57.0f, false, { 0 } },
        { 5, 330, 0, 56.8f, false, upTo (5) },
        // Five buttons of 49.2 px fill 330 px exactly: 5 x 49.2 + 24 gaps + 60 for "+n" and "+".
        { 6, 330, 0, 49.2f, true, upTo (5) },
        { 12, 330, 3, 49.2f, true, upTo (5) },
        { 12, 330, 9, 49.2f, true, { 0, 1, 2, 3, 9 } },
        { 12, 330, 40, 49.2f, true, { 0, 1, 2, 3, 11 } },
        { 12, 200, 7, 58.0f, true, { 0, 7 } },
        // Too narrow for two 44 px buttons: one button, then "+n" and "+".
        { 3, 100, 2, 44.0f, true, { 0 } },
        // At the limit there is no "+" button, which leaves more room.
        { 32, 330, 0, 55.2f, true, upTo (5) },
    };

    for (const auto& c : cases)
    {
        show (c.sections, c.width, 27, c.selected);
        const auto layout = row.computeLayout();
        EXPECT_NEAR (layout.buttonWidth, c.buttonWidth, 1.0e-4f) << c.sections << " sections at " << c.width;
        EXPECT_EQ (layout.hasHidden, c.hidden) << c.sections << " sections at " << c.width;
        EXPECT_EQ (layout.visibleIndices, c.visible) << c.sections << " sections at " << c.width << " selected " << c.selected;
    }
}

TEST_F (SectionRowTest, ItemAtFindsButtonsMoreAndAddWithTheirGaps)
{
    show (6, 330, 27, 5);   // buttons 0, 1, 2, 3, 5 of 49.2 px every 53.2 px; "+1" at 266; "+" at 304

    struct Case { float x, y; int item; };
    const Case cases[] {
        { 0.0f, 0.0f, 0 }, { 49.0f, 26.0f, 0 }, { 50.0f, 10.0f, SectionRowComponent::noItem },
        { 53.3f, 10.0f, 1 }, { 220.0f, 10.0f, 5 },
        { 266.5f, 10.0f, SectionRowComponent::moreItem }, { 299.5f, 10.0f, SectionRowComponent::moreItem },
        { 302.0f, 10.0f, SectionRowComponent::noItem },
        { 304.5f, 10.0f, SectionRowComponent::addItem }, { 329.5f, 10.0f, SectionRowComponent::addItem },
        { 10.0f, 27.0f, SectionRowComponent::noItem }, { 10.0f, -1.0f, SectionRowComponent::noItem },
    };

    for (const auto& c : cases)
        EXPECT_EQ (row.itemAt ({ c.x, c.y }), c.item) << c.x << ", " << c.y;

    // No "+" at 32 sections.
    show (32, 330, 27, 0);
    const auto layout = row.computeLayout();
    EXPECT_TRUE (row.getAddButtonBounds (layout).isEmpty());
    EXPECT_EQ (row.itemAt (row.getMoreButtonBounds (layout).getCentre()), SectionRowComponent::moreItem);
    EXPECT_EQ (row.itemAt ({ row.getMoreButtonBounds (layout).getRight() + 10.0f, 10.0f }), SectionRowComponent::noItem);
}

TEST_F (SectionRowTest, HiddenSectionsMenuListsTheSectionsWithoutAButtonAndSelectsThePickedOne)
{
    show (12, 330, 27, 9);
    row.sections[5].name = "Verse";
    const auto hidden = row.hiddenIndices();
    ASSERT_EQ (hidden, (std::vector<int> { 4, 5, 6, 7, 8, 10, 11 }));

    std::vector<std::pair<int, juce::String>> items;
    const auto menu = row.buildHiddenSectionsMenu();
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        items.emplace_back (it.getItem().itemID, it.getItem().text);

    ASSERT_EQ (items.size(), hidden.size());
    EXPECT_EQ (items[0], std::make_pair (1, juce::String ("E - S4")));
    EXPECT_EQ (items[1], std::make_pair (2, juce::String ("F - Verse")));
    EXPECT_EQ (items[6], std::make_pair (7, juce::String ("L - S11")));

    std::vector<int> clicked;
    row.onSectionClicked = [&clicked] (int index) { clicked.push_back (index); };

    row.handleHiddenSectionsMenuResult (0, hidden);           // dismissed
    row.handleHiddenSectionsMenuResult (8, hidden);           // not an item
    EXPECT_TRUE (clicked.empty());

    row.handleHiddenSectionsMenuResult (2, hidden);
    EXPECT_EQ (row.selectedIndex, 5);
    EXPECT_EQ (clicked, std::vector<int> { 5 });

    // The list shrank while the menu was open: a result naming a gone section does nothing.
    row.sections.resize (6);
    row.handleHiddenSectionsMenuResult (7, hidden);
    EXPECT_EQ (row.selectedIndex, 5);
    EXPECT_EQ (clicked.size(), 1u);
}

TEST_F (SectionRowTest, HiddenSectionsMenuTicksTheSelectedSectionWhenOnlyOneButtonFits)
{
    show (3, 100, 27, 2);

    std::vector<bool> ticks;
    const auto menu = row.buildHiddenSectionsMenu();
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        ticks.push_back (it.getItem().isTicked);

    EXPECT_EQ (ticks, (std::vector<bool> { false, true }));
}

TEST_F (SectionRowTest, TooltipNamesTheHoveredItem)
{
    show (6, 330);
    row.sections[1].name = "Verse";

    const std::pair<int, const char*> cases[] {
        { 1, "B - Verse" }, { 0, "A - S0" },
        { SectionRowComponent::addItem, "Add empty section" }, { SectionRowComponent::moreItem, "More sections" },
        { SectionRowComponent::noItem, "" }, { 6, "" },
    };

    for (const auto& [hover, tooltip] : cases)
    {
        row.hoverIndex = hover;
        EXPECT_EQ (row.getTooltip(), tooltip) << hover;
    }
}

TEST_F (SectionRowTest, LeftPressSelectsRightPressOnlyAsksForTheMenuAndPlusAdds)
{
    show (4, 330, 27, 0);

    std::vector<int> clicked;
    std::vector<std::pair<int, juce::Component*>> menus;
    int adds = 0;
    row.onSectionClicked = [&] (int index) { clicked.push_back (index); };
    row.onMenuRequested = [&] (int index, juce::Component& source, juce::Point<int>) { menus.emplace_back (index, &source); };
    row.onAddSection = [&] { ++adds; };

    press (row, centreOf (2), rightButton);
    EXPECT_EQ (row.selectedIndex, 0);
    EXPECT_EQ (row.dragIndex, -1);
    EXPECT_TRUE (clicked.empty());
    ASSERT_EQ (menus.size(), 1u);
    EXPECT_EQ (menus[0], std::make_pair (2, static_cast<juce::Component*> (&row)));

    press (row, centreOf (2));
    EXPECT_EQ (row.selectedIndex, 2);
    EXPECT_EQ (row.dragIndex, 2);
    EXPECT_EQ (clicked, std::vector<int> { 2 });
    release (row, centreOf (2));
    EXPECT_EQ (row.dragIndex, -1);

    const auto plus = row.getAddButtonBounds (row.computeLayout()).getCentre();
    press (row, plus, rightButton);
    EXPECT_EQ (adds, 0);
    press (row, plus);
    EXPECT_EQ (adds, 1);

    press (row, { 325.0f, 10.0f });   // past the "+" button
    press (row, { 10.0f, 30.0f }, rightButton);
    EXPECT_EQ (clicked.size(), 1u);
    EXPECT_EQ (menus.size(), 1u);
    EXPECT_EQ (adds, 1);
}

TEST_F (SectionRowTest, DragSwapsStepByStepAndTheSelectionFollowsTheDraggedSection)
{
    row.sections = { named ("A"), named ("B"), named ("C"), named ("D") };
    row.selectedIndex = 3;
    row.setSize (330, 27);

    int reorders = 0;
    row.onSectionsReordered = [&]
    {
        ++reorders;
        // The owner hands this index to the processor together with the list: it must still
        // name the section that the working settings belong to.
        EXPECT_EQ (row.sections[(size_t) row.selectedIndex].name, "A");
    };

    press (row, centreOf (0));
    drag (row, centreOf (0));                          // still over itself: nothing
    EXPECT_EQ (reorders, 0);

    drag (row, centreOf (2));
    EXPECT_EQ (reorders, 1);
    EXPECT_EQ (row.sections[0].name, "C");
    EXPECT_EQ (row.sections[2].name, "A");
    EXPECT_EQ (row.dragIndex, 2);
    EXPECT_EQ (row.selectedIndex, 2);

    drag (row, centreOf (1));
    EXPECT_EQ (reorders, 2);
    EXPECT_EQ (row.sections[1].name, "A");
    EXPECT_EQ (row.sections[2].name, "B");
    EXPECT_EQ (row.selectedIndex, 1);

    drag (row, { 500.0f, 10.0f });                     // outside every button
    EXPECT_EQ (reorders, 2);

    release (row, centreOf (1));
    drag (row, centreOf (3));                          // no press: no drag
    EXPECT_EQ (reorders, 2);

    // A right press starts no drag.
    press (row, centreOf (1), rightButton);
    drag (row, centreOf (0), rightButton);
    EXPECT_EQ (reorders, 2);

    std::vector<juce::String> names;
    for (const auto& s : row.sections)
        names.push_back (s.name);
    EXPECT_EQ (names, (std::vector<juce::String> { "C", "A", "B", "D" }));
}

TEST_F (SectionRowTest, HoverReportsOnlyChangesAndTheExit)
{
    show (3, 330);
    int changes = 0;
    row.onHoverChanged = [&changes] { ++changes; };

    move (row, centreOf (1));
    EXPECT_EQ (row.hoverIndex, 1);
    EXPECT_EQ (changes, 1);
    EXPECT_EQ (row.getMouseCursor(), juce::MouseCursor (juce::MouseCursor::PointingHandCursor));

    move (row, centreOf (1) + juce::Point<float> (3.0f, 2.0f));
    EXPECT_EQ (changes, 1);

    move (row, row.getAddButtonBounds (row.computeLayout()).getCentre());
    EXPECT_EQ (row.hoverIndex, SectionRowComponent::addItem);
    EXPECT_EQ (changes, 2);

    move (row, { 320.0f, 10.0f });
    EXPECT_EQ (row.hoverIndex, SectionRowComponent::noItem);
    EXPECT_EQ (row.getMouseCursor(), juce::MouseCursor (juce::MouseCursor::NormalCursor));
    EXPECT_EQ (changes, 3);

    move (row, centreOf (0));
    leave (row);
    EXPECT_EQ (row.hoverIndex, SectionRowComponent::noItem);
    EXPECT_EQ (changes, 5);
}

TEST_F (SectionRowTest, PaintsTheSelectedAndThePlayingSectionsAndTheSmallButtons)
{
    show (7, 330, 27, 1);
    row.playingIndex = 2;
    row.hoverIndex = 3;

    const auto image = corvessa::test::writeSnapshot (row, "section-row-selected-playing-hovered");
    const auto layout = row.computeLayout();
    const auto bounds = [&] (int slot) { return row.getSectionButtonBounds (layout, slot).toNearestInt(); };

    // Body colours, left of the label.
    EXPECT_TRUE (near (image.getPixelAt (bounds (0).getX() + 4, 14), Palette::surface0));
    EXPECT_TRUE (near (image.getPixelAt (bounds (1).getX() + 4, 14), Palette::surface1));
    EXPECT_TRUE (near (image.getPixelAt (bounds (3).getX() + 4, 14), over (Palette::surface0, Palette::surface1, 0.72f)));
    EXPECT_TRUE (near (image.getPixelAt (bounds (2).getX() + 4, 14), over (Palette::surface0, Palette::text, 0.12f)));

    // The selected section's bar sits at the bottom, the playing section's at the top.
    EXPECT_TRUE (near (image.getPixelAt (bounds (1).getCentreX(), 27 - 3), Palette::mauve, 20));
    EXPECT_FALSE (near (image.getPixelAt (bounds (1).getCentreX(), 4), Palette::mauve, 40));
    EXPECT_TRUE (near (image.getPixelAt (bounds (2).getCentreX(), 4), Palette::mauve, 20));
    EXPECT_FALSE (near (image.getPixelAt (bounds (2).getCentreX(), 27 - 3), Palette::mauve, 40));

    // Labels and the "+2" and "+" texts are drawn.
    for (int slot = 0; slot < 5; ++slot)
        EXPECT_TRUE (corvessa::test::hasInk (image, bounds (slot).reduced (6, 8), Palette::surface0, 4)) << slot;
    EXPECT_TRUE (corvessa::test::hasInk (image, row.getMoreButtonBounds (layout).toNearestInt().reduced (4), Palette::surface0, 4));
    EXPECT_TRUE (corvessa::test::hasInk (image, row.getAddButtonBounds (layout).toNearestInt().reduced (4), Palette::surface0, 4));

    corvessa::test::writeSnapshot (row, "section-row-selected-playing-hovered-scale2", 2.0f);

    show (1, 330, 27, 0);
    corvessa::test::writeSnapshot (row, "section-row-one-section");

    // A full song with a hidden section selected: it takes the last button, "+27" follows and
    // nothing is drawn where the "+" button would stand.
    show (32, 330, 27, 20);
    const auto full = corvessa::test::writeSnapshot (row, "section-row-full-song-hidden-selected");
    const auto fullLayout = row.computeLayout();
    ASSERT_EQ (fullLayout.visibleIndices.back(), 20);
    const auto last = row.getSectionButtonBounds (fullLayout, 4).toNearestInt();
    EXPECT_TRUE (near (full.getPixelAt (last.getCentreX(), 27 - 3), Palette::mauve, 20));
    const auto more = row.getMoreButtonBounds (fullLayout).toNearestInt();
    EXPECT_TRUE (corvessa::test::hasInk (full, more.reduced (4), Palette::surface0, 4));
    const auto pastMore = juce::Rectangle<int> (more.getRight() + 2, 0, 330 - more.getRight() - 2, 27);
    EXPECT_FALSE (corvessa::test::hasInk (full, pastMore, full.getPixelAt (pastMore.getX(), 14), 1));
}
