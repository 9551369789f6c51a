// A real combo-box list, opened in a window on the display, appears inside the window: in the
// strip below the box when the box sits in the upper half, above it in the lower half.
#include "kit/dialogs/PopupMenuPlacement.h"

#include "kit/KitTestSupport.h"
#include "support/ComponentSnapshot.h"

#include <gtest/gtest.h>

namespace
{
juce::Component* findOpenMenu (juce::Component& host)
{
    for (auto* child : host.getChildren())
        if (child->isVisible() && child->getName() == "menu")
            return child;

    return nullptr;
}
} // namespace

TEST (PopupMenuPlacementDisplay, ComboBoxListOpensInsideTheScaledWindow)
{
    juce::ScopedJuceInitialiser_GUI gui;

    // The editor's shape: a window holding a 600 x 860 canvas drawn at its UI scale, the
    // placement host as the canvas's last child.
    velmar::PopupMenuPlacement::LookAndFeel<> lookAndFeel;
    juce::Component window, canvas;
    juce::ComboBox box;
    velmar::PopupMenuPlacement::Host host;

    window.setLookAndFeel (&lookAndFeel);
    window.setWantsKeyboardFocus (true);
    window.setBounds (20, 20, 600, 860);
    window.addAndMakeVisible (canvas);
    canvas.setBounds (0, 0, 600, 860);
    canvas.addAndMakeVisible (box);
    canvas.addAndMakeVisible (host);

    for (int i = 1; i <= 12; ++i)
        box.addItem ("Item " + juce::String (i), i);
    box.setSelectedId (12);   // the framework would lay its list over this item

    window.addToDesktop (juce::ComponentPeer::windowIsTemporary);
    window.setVisible (true);
    ASSERT_TRUE (kittest::takeKeyboardFocus (window));

    const auto area = canvas.getLocalBounds().reduced (4);

    for (const auto scale : { 1.0f, 1.25f })
    for (const auto boxY : { 60, 760 })
    {
        SCOPED_TRACE (juce::String (scale) + " " + juce::String (boxY));
        window.setSize (juce::roundToInt (600 * scale), juce::roundToInt (860 * scale));
        canvas.setTransform (juce::AffineTransform::scale (scale));
        box.setBounds (200, boxY, 180, 26);
        // The list opens from a posted message; the placement is final once it is there.
        box.showPopup();
        ASSERT_TRUE (kittest::pumpMessagesUntil ([&host] { return findOpenMenu (host) != nullptr; }));
        auto* menu = findOpenMenu (host);

        // The menu window is a child of the host, so it lives in canvas coordinates.
        const auto menuBounds = canvas.getLocalArea (menu, menu->getLocalBounds());
        EXPECT_TRUE (area.contains (menuBounds)) << menuBounds.toString();
        EXPECT_NEAR (menuBounds.getX(), box.getX(), 4) << menuBounds.toString();

        if (boxY < 430)
            EXPECT_GE (menuBounds.getY(), box.getBottom()) << menuBounds.toString();
        else
            EXPECT_LE (menuBounds.getBottom(), box.getY()) << menuBounds.toString();

        corvessa::test::writeSnapshot (window, "popup-placement-combo-" + juce::String (boxY < 430 ? "below" : "above")
                                                 + "-" + juce::String (juce::roundToInt (scale * 100)));

        juce::PopupMenu::dismissAllActiveMenus();
        EXPECT_TRUE (kittest::pumpMessagesUntil ([&host] { return findOpenMenu (host) == nullptr; }));
    }

    window.removeFromDesktop();
    window.setLookAndFeel (nullptr);
}
