// The UI-size button on a real display: keyboard focus by Tab shows its ring and a click does
// not; its scale menu opens inside the window and the button can go while the menu is open.
#include "kit/dialogs/EditorScaling.h"
#include "kit/dialogs/PopupMenuPlacement.h"

#include "kit/KitTestSupport.h"
#include "support/ComponentSnapshot.h"

#include <gtest/gtest.h>

namespace
{
// The editor's shape: the window is the scaled editor; its canvas holds the controls and the
// placement host.
struct ScalingWindow : juce::Component
{
    juce::ComponentBoundsConstrainer constrainer;
    juce::Component canvas;
    juce::TextButton before { "Before" };
    std::unique_ptr<velmar::EditorScaling> scaling;
    velmar::PopupMenuPlacement::Host host;

    ScalingWindow()
    {
        setOpaque (true);
        addAndMakeVisible (canvas);
        canvas.setSize (600, 860);
        scaling = std::make_unique<velmar::EditorScaling> (*this, constrainer, "VELMAR/Corvessa", velmar::EditorScaling::Config());
        canvas.addAndMakeVisible (before);
        canvas.addAndMakeVisible (*scaling);
        canvas.addAndMakeVisible (host);
        before.setBounds (20, 20, 80, 24);
        scaling->setBounds (120, 20, 90, 24);
        scaling->setColour (juce::TextButton::textColourOffId, juce::Colours::yellow);
        scaling->setColour (juce::TextButton::buttonColourId, juce::Colours::darkblue);
        scaling->attach();
    }

    void paint (juce::Graphics& g) override { g.fillAll (juce::Colours::black); }

    void resized() override
    {
        canvas.setTransform (juce::AffineTransform::scale ((float) getWidth() / 600.0f));
        if (scaling != nullptr)
            scaling->editorResized();
    }
};

juce::Colour ringPixel (velmar::EditorScaling& scaling)
{
    return corvessa::test::renderComponent (scaling).getPixelAt (1, 12);
}
} // namespace

TEST (EditorScalingDisplay, TabShowsTheFocusRingAndAClickDoesNot)
{
    juce::ScopedJuceInitialiser_GUI gui;
    juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory).getChildFile ("VELMAR").deleteRecursively();

    ScalingWindow window;
    window.setTopLeftPosition (20, 20);
    window.addToDesktop (juce::ComponentPeer::windowIsTemporary);
    window.setVisible (true);
    ASSERT_TRUE (kittest::takeKeyboardFocus (window.before));

    window.before.moveKeyboardFocusToSibling (true);
    ASSERT_TRUE (kittest::pumpMessagesUntil ([&window] { return window.scaling->hasKeyboardFocus (false); }));
    EXPECT_EQ (ringPixel (*window.scaling), juce::Colours::yellow);
    corvessa::test::writeSnapshot (*window.scaling, "editor-scaling-focused-by-tab");

    // A click clears the ring although the focus stays.
    window.scaling->mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                                 window.scaling.get(), window.scaling.get(), juce::Time::getCurrentTime(), {},
                                                 juce::Time::getCurrentTime(), 1, false));
    EXPECT_TRUE (window.scaling->hasKeyboardFocus (false));
    EXPECT_NE (ringPixel (*window.scaling), juce::Colours::yellow);

    window.removeFromDesktop();
}

TEST (EditorScalingDisplay, ScaleMenuOpensInsideTheWindowAndClosesWithTheControl)
{
    juce::ScopedJuceInitialiser_GUI gui;

    ScalingWindow window;
    window.setTopLeftPosition (20, 20);
    window.addToDesktop (juce::ComponentPeer::windowIsTemporary);
    window.setVisible (true);
    ASSERT_TRUE (kittest::takeKeyboardFocus (window));

    const auto menuShown = [&window] { return window.scaling->isMenuOpen() && window.host.getNumChildComponents() == 1; };
    window.scaling->showScaleMenu();
    ASSERT_TRUE (kittest::pumpMessagesUntil (menuShown));
    auto* menu = window.host.getChildComponent (0);
    EXPECT_TRUE (menu->isVisible());
    const auto menuInCanvas = window.canvas.getLocalArea (menu, menu->getLocalBounds());
    EXPECT_GE (menuInCanvas.getY(), window.scaling->getBottom());
    EXPECT_NEAR (menuInCanvas.getX(), window.scaling->getX(), 4);
    EXPECT_TRUE (window.canvas.getLocalBounds().reduced (4).contains (menuInCanvas));
    corvessa::test::writeSnapshot (window, "editor-scaling-menu");

    // Dismissed: nothing changes and the menu is no longer marked open.
    juce::PopupMenu::dismissAllActiveMenus();
    EXPECT_TRUE (kittest::pumpMessagesUntil ([&window] { return ! window.scaling->isMenuOpen(); }));
    EXPECT_EQ (window.scaling->getButtonText(), "UI 100%");

    // The control goes while its menu is open (the window closes): the menu closes with it and
    // its late result reaches nobody.
    window.scaling->showScaleMenu();
    ASSERT_TRUE (kittest::pumpMessagesUntil (menuShown));
    window.scaling.reset();
    kittest::pumpMessagesFor (300);

    window.removeFromDesktop();
}
