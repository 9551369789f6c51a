// The section row's more button opens a real menu of the hidden sections inside the window;
// picking one selects it.
#include "editor/views/SectionRowComponent.h"
#include "editor/views/ViewTestSupport.h"
#include "kit/dialogs/PopupMenuPlacement.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

namespace
{
using corvessa::test::pumpMessagesFor;
using corvessa::test::pumpMessagesUntil;

struct RowWindow : public juce::Component
{
    RowWindow()
    {
        setWantsKeyboardFocus (true);
        for (int i = 0; i < 9; ++i)
        {
            SectionMode::SectionData section;
            section.name = "Part " + juce::String (i);
            row.sections.push_back (section);
        }
        row.selectedIndex = 0;
        addAndMakeVisible (row);
        row.setBounds (10, 10, 330, 27);
        addAndMakeVisible (menuHost);   // as the window's canvas does, last
        setBounds (100, 100, 350, 300);
    }

    SectionRowComponent row;
    velmar::PopupMenuPlacement::Host menuHost;
};
} // namespace

TEST (SectionRowDisplay, MoreButtonOpensTheHiddenSectionsMenuAndAPickSelectsTheSection)
{
    juce::ScopedJuceInitialiser_GUI gui;
    RowWindow window;
    window.addToDesktop (juce::ComponentPeer::windowIsTemporary);
    window.setVisible (true);
    pumpMessagesFor (200);
    window.grabKeyboardFocus();
    pumpMessagesFor (200);

    std::vector<int> clicked;
    window.row.onSectionClicked = [&clicked] (int index) { clicked.push_back (index); };

    const auto layout = window.row.computeLayout();
    ASSERT_TRUE (layout.hasHidden);
    const auto more = window.row.getMoreButtonBounds (layout).getCentre();

    for (const auto mods : { viewtest::rightButton, viewtest::leftButton })
    {
        const auto hidden = window.row.hiddenIndices();
        ASSERT_FALSE (hidden.empty());
        clicked.clear();

        viewtest::press (window.row, more, mods);
        ASSERT_TRUE (pumpMessagesUntil ([] { return juce::Component::getCurrentlyModalComponent() != nullptr; }));
        auto* menu = juce::Component::getCurrentlyModalComponent();

        // It opens at the more button, below or above it, inside the window.
        EXPECT_TRUE (window.getScreenBounds().contains (menu->getScreenBounds())) << menu->getScreenBounds().toString();
        const auto buttonOnScreen = window.row.localAreaToGlobal (window.row.getMoreButtonBounds (layout).toNearestInt());
        const auto menuOnScreen = menu->getScreenBounds();
        EXPECT_TRUE (menuOnScreen.getY() >= buttonOnScreen.getBottom() || menuOnScreen.getBottom() <= buttonOnScreen.getY())
            << menuOnScreen.toString() << " / " << buttonOnScreen.toString();

        menu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));
        menu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));
        menu->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
        ASSERT_TRUE (pumpMessagesUntil ([&clicked] { return ! clicked.empty(); }));

        EXPECT_EQ (clicked, std::vector<int> { hidden[1] });
        EXPECT_EQ (window.row.selectedIndex, hidden[1]);
        pumpMessagesUntil ([] { return juce::Component::getCurrentlyModalComponent() == nullptr; });
    }

    // The picked section now has a button of its own.
    const auto shown = window.row.computeLayout().visibleIndices;
    EXPECT_NE (std::find (shown.begin(), shown.end(), window.row.selectedIndex), shown.end());
    window.removeFromDesktop();
}
