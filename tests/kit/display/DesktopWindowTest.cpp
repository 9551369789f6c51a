// The display test harness itself: a top-level window opens on the private Xvfb server, takes
// the keyboard focus (popup menus are dismissed at once without it) and draws text.
#include "support/ComponentSnapshot.h"

#include <gtest/gtest.h>

namespace juce { extern bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages); }

namespace
{
void pumpMessages (int milliseconds)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) milliseconds;
    while (juce::Time::getMillisecondCounter() < end)
        if (! juce::dispatchNextMessageOnSystemQueue (true))
            juce::Thread::sleep (5);
}
}

TEST (DesktopWindow, OpensTakesFocusAndDrawsText)
{
    juce::ScopedJuceInitialiser_GUI gui;
    ASSERT_NE (juce::Desktop::getInstance().getDisplays().getPrimaryDisplay(), nullptr);

    juce::Label label ({}, "Corvessa");
    label.setColour (juce::Label::textColourId, juce::Colours::white);
    label.setColour (juce::Label::backgroundColourId, juce::Colours::black);
    label.setFont (juce::Font (24.0f));
    label.setWantsKeyboardFocus (true);
    label.setBounds (100, 100, 200, 40);
    label.addToDesktop (juce::ComponentPeer::windowIsTemporary);
    label.setVisible (true);
    pumpMessages (200);

    label.grabKeyboardFocus();
    pumpMessages (200);
    EXPECT_TRUE (label.isOnDesktop());
    EXPECT_TRUE (label.hasKeyboardFocus (false));

    const auto image = corvessa::test::writeSnapshot (label, "harness-desktop-label");
    EXPECT_TRUE (corvessa::test::hasInk (image, image.getBounds(), juce::Colours::black));
    label.removeFromDesktop();
}
