// The window's three look-and-feels: how buttons, combo boxes and knobs are filled, outlined and
// shaped, checked on sampled pixels of headless renders.
#include "editor/look/EditorLookAndFeel.h"
#include "editor/look/OutputPillLookAndFeel.h"
#include "editor/look/Palette.h"
#include "editor/look/RoleTabLookAndFeel.h"

#include "editor/PixelTestSupport.h"
#include "support/ComponentSnapshot.h"

#include <gtest/gtest.h>

namespace
{
const juce::Colour backdrop { 0xff000000 };

struct ButtonScene
{
    explicit ButtonScene (juce::LookAndFeel& lookAndFeel)
    {
        button.setLookAndFeel (&lookAndFeel);
        button.setBounds (0, 0, 80, 30);
        button.setVisible (true);   // a later visibility change would reset the state a case sets
    }

    ~ButtonScene() { button.setLookAndFeel (nullptr); }

    juce::Colour sample (int x, int y)
    {
        PixelTest::Backdrop scene (button, backdrop);
        return scene.render().getPixelAt (x, y);
    }

    juce::TextButton button;
};
} // namespace

TEST (EditorLookAndFeel, ButtonFillFollowsToggleHoverPressAndEnabledState)
{
    juce::ScopedJuceInitialiser_GUI gui;
    EditorLookAndFeel lookAndFeel;

    const juce::Colour body { 0xff313244 }, on { 0xff45475a };

    struct Case { const char* name; bool toggled, enabled; juce::Button::ButtonState state; juce::Colour fill; };
    const Case cases[] = {
        { "off",                false, true,  juce::Button::buttonNormal, body },
        { "on",                 true,  true,  juce::Button::buttonNormal, on },
        { "hovered",            false, true,  juce::Button::buttonOver,   body.brighter (0.08f) },
        { "hovered and held",   false, true,  juce::Button::buttonDown,   body.brighter (0.08f).darker (0.12f) },
        { "disabled on",        true,  false, juce::Button::buttonNormal, on.withMultipliedAlpha (0.48f) },
    };

    for (const auto& c : cases)
    {
        ButtonScene scene (lookAndFeel);
        scene.button.setColour (juce::TextButton::buttonColourId, body);
        scene.button.setColour (juce::TextButton::buttonOnColourId, on);
        scene.button.setToggleState (c.toggled, juce::dontSendNotification);
        scene.button.setEnabled (c.enabled);
        scene.button.setState (c.state);
        EXPECT_TRUE (PixelTest::near (scene.sample (40, 8), PixelTest::over (backdrop, c.fill))) << c.name;
    }
}

TEST (EditorLookAndFeel, CornersAreSquareOnlyWhereAButtonJoinsANeighbour)
{
    juce::ScopedJuceInitialiser_GUI gui;
    EditorLookAndFeel lookAndFeel;
    const juce::Colour fill { 0xff89b4fa };

    struct Case { const char* name; int edges; bool topLeftFilled, bottomLeftFilled, topRightFilled; };
    const Case cases[] = {
        { "alone",             0, false, false, false },
        { "joined left+right", juce::Button::ConnectedOnLeft | juce::Button::ConnectedOnRight, true, true, true },
        { "joined at bottom",  juce::Button::ConnectedOnBottom, false, true, false },
        { "joined at top",     juce::Button::ConnectedOnTop, true, false, true },
    };

    for (const auto& c : cases)
    {
        ButtonScene scene (lookAndFeel);
        scene.button.setColour (juce::TextButton::buttonColourId, fill);
        scene.button.setConnectedEdges (c.edges);
        PixelTest::Backdrop backdropScene (scene.button, backdrop);
        const auto image = backdropScene.render();

        const auto isFill = [&] (int x, int y) { return PixelTest::near (image.getPixelAt (x, y), fill, 12); };
        EXPECT_EQ ((bool) isFill (1, 1), c.topLeftFilled) << c.name;
        EXPECT_EQ ((bool) isFill (1, 28), c.bottomLeftFilled) << c.name;
        EXPECT_EQ ((bool) isFill (78, 1), c.topRightFilled) << c.name;
    }
}

TEST (RoleTabLookAndFeel, PressedOnTabIsSurface2AndCarriesItsAccentBar)
{
    juce::ScopedJuceInitialiser_GUI gui;
    RoleTabLookAndFeel lookAndFeel;
    ButtonScene scene (lookAndFeel);
    scene.button.setColour (juce::TextButton::buttonColourId, Palette::surface0);
    scene.button.setColour (juce::TextButton::buttonOnColourId, Palette::surface1);
    scene.button.setColour (RoleTabLookAndFeel::accentColourId, Palette::teal);
    scene.button.setToggleState (true, juce::dontSendNotification);

    EXPECT_TRUE (PixelTest::near (scene.sample (40, 15), Palette::surface1));
    EXPECT_TRUE (PixelTest::near (scene.sample (2, 15), Palette::teal, 12));   // the bar inside the left edge

    scene.button.setState (juce::Button::buttonDown);
    EXPECT_TRUE (PixelTest::near (scene.sample (40, 15), Palette::surface2));

    scene.button.setState (juce::Button::buttonNormal);
    scene.button.setToggleState (false, juce::dontSendNotification);
    EXPECT_TRUE (PixelTest::near (scene.sample (40, 15), Palette::surface0));
    EXPECT_FALSE (PixelTest::near (scene.sample (2, 15), Palette::teal, 12));

    scene.button.setState (juce::Button::buttonOver);
    EXPECT_TRUE (PixelTest::near (scene.sample (40, 15), Palette::surface1));

    scene.button.setEnabled (false);
    scene.button.setState (juce::Button::buttonNormal);
    EXPECT_TRUE (PixelTest::near (scene.sample (40, 15), PixelTest::over (backdrop, Palette::surface0.withMultipliedAlpha (0.52f))));
}

TEST (OutputPillLookAndFeel, FillsOffHoveredAndHeldPillsFromThePalette)
{
    juce::ScopedJuceInitialiser_GUI gui;
    OutputPillLookAndFeel lookAndFeel;
    const juce::Colour body { 0xff36384a }, on { 0xff3c4a5e };

    struct Case { const char* name; bool toggled, enabled; juce::Button::ButtonState state; juce::Colour fill; };
    const Case cases[] = {
        { "off",          false, true,  juce::Button::buttonNormal, body },
        { "off hovered",  false, true,  juce::Button::buttonOver,   Palette::surface1 },
        { "off held",     false, true,  juce::Button::buttonDown,   Palette::surface1.darker (0.08f) },
        { "on",           true,  true,  juce::Button::buttonNormal, on },
        { "on held",      true,  true,  juce::Button::buttonDown,   on.darker (0.08f) },
        { "on disabled",  true,  false, juce::Button::buttonNormal, on.withMultipliedAlpha (0.48f) },
    };

    for (const auto& c : cases)
    {
        ButtonScene scene (lookAndFeel);
        scene.button.setColour (juce::TextButton::buttonColourId, body);
        scene.button.setColour (juce::TextButton::buttonOnColourId, on);
        scene.button.setToggleState (c.toggled, juce::dontSendNotification);
        scene.button.setEnabled (c.enabled);
        scene.button.setState (c.state);
        EXPECT_TRUE (PixelTest::near (scene.sample (40, 15), PixelTest::over (backdrop, c.fill))) << c.name;
    }
}

TEST (EditorLookAndFeel, ComboBoxIsSurface2WhileHeldAndDimmedWhenDisabled)
{
    juce::ScopedJuceInitialiser_GUI gui;
    EditorLookAndFeel lookAndFeel;
    juce::ComboBox box;
    box.setLookAndFeel (&lookAndFeel);
    box.setBounds (0, 0, 120, 24);
    box.setColour (juce::ComboBox::backgroundColourId, Palette::surface0);

    const auto drawn = [&] (bool held)
    {
        juce::Image image (juce::Image::ARGB, 120, 24, true);
        juce::Graphics g (image);
        g.fillAll (backdrop);
        lookAndFeel.drawComboBox (g, 120, 24, held, 0, 0, 120, 24, box);
        return image.getPixelAt (30, 12);
    };

    EXPECT_TRUE (PixelTest::near (drawn (true), Palette::surface2));
    EXPECT_TRUE (PixelTest::near (drawn (false), Palette::surface0));

    box.setEnabled (false);
    EXPECT_TRUE (PixelTest::near (drawn (true), PixelTest::over (backdrop, Palette::surface0.withMultipliedAlpha (0.48f))));
    box.setLookAndFeel (nullptr);
}

TEST (EditorLookAndFeel, KnobTicksFollowTheSliderRange)
{
    struct Case { double minimum, maximum, interval; int ticks; };
    const Case cases[] = {
        { 0.0, 3.0, 1.0, 4 },
        { -4.0, 4.0, 1.0, 9 },
        { 1.0, 7.0, 1.0, 7 },
        { 0.0, 1.0, 0.0, 5 },    // no steps
        { 2.0, 2.0, 1.0, 5 },    // an empty range
        { 0.0, 0.4, 1.0, 2 },    // never fewer than two
    };

    for (const auto& c : cases)
        EXPECT_EQ (EditorLookAndFeel::tickCount (c.minimum, c.maximum, c.interval), c.ticks)
            << c.minimum << ".." << c.maximum << " step " << c.interval;

    EXPECT_EQ (EditorLookAndFeel::activeTick (2.0, -4.0, 1.0, 0.0f, 9), 6);
    EXPECT_EQ (EditorLookAndFeel::activeTick (0.0, 0.0, 0.0, 0.6f, 5), 2);      // round (4 x 0.6)
    EXPECT_EQ (EditorLookAndFeel::activeTick (0.0, 0.0, 0.0, 0.65f, 5), 3);     // round (4 x 0.65)
    EXPECT_EQ (EditorLookAndFeel::activeTick (12.0, 1.0, 1.0, 1.0f, 7), 6);     // clamped to the last tick
}

TEST (EditorLookAndFeel, WideKnobWritesItsValueLeftOfTheDial)
{
    juce::ScopedJuceInitialiser_GUI gui;
    EditorLookAndFeel lookAndFeel;

    const auto valueInkFor = [&] (int width)
    {
        juce::Slider knob (juce::Slider::RotaryHorizontalVerticalDrag, juce::Slider::NoTextBox);
        knob.setLookAndFeel (&lookAndFeel);
        knob.setRange (-4.0, 4.0, 1.0);
        knob.setValue (2.0, juce::dontSendNotification);
        knob.setColour (juce::Slider::thumbColourId, juce::Colours::white);
        knob.setBounds (0, 0, width, 200);

        juce::Image image (juce::Image::ARGB, width, 200, true);
        juce::Graphics g (image);
        g.fillAll (backdrop);
        lookAndFeel.drawRotarySlider (g, 0, 0, width, 200, (float) knob.valueToProportionOfLength (2.0),
                                      knob.getRotaryParameters().startAngleRadians,
                                      knob.getRotaryParameters().endAngleRadians, knob);
        knob.setLookAndFeel (nullptr);
        // The value column left of the dial, at the text's row.
        return corvessa::test::hasInk (image, { 0, 108, 50, 20 }, backdrop);
    };

    EXPECT_TRUE (valueInkFor (120));
}

TEST (EditorLookAndFeel, AButtonTextTheFrameworkWouldCutIsSetSmallerInstead)
{
    // Measuring text loads typefaces, which the framework's shutdown frees.
    juce::ScopedJuceInitialiser_GUI gui;
    const juce::Font font (14.4f);   // the framework's font for a button 24 px high
    struct Case { const char* text; float width; bool shrinks; };
    const Case cases[] = {
        { "Off", 35.0f, false },
        { "Leader", 35.0f, false },     // squeezed, it fits
        { "Follower", 35.0f, true },    // the sync button beside the tempo hint
        { "Follower", 67.0f, false },   // the wide sync button
        { "", 10.0f, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.text) + " in " + juce::String (c.width));
        const auto fitted = EditorLookAndFeel::fitButtonFont (font, c.text, c.width);
        EXPECT_EQ (fitted.getHeight() < font.getHeight(), c.shrinks);
        EXPECT_LE (fitted.getStringWidthFloat (c.text) * 0.7f, c.width + 0.5f);
    }

    EXPECT_EQ (EditorLookAndFeel::fitButtonFont (font, "A very long button text indeed", 20.0f).getHeight(), 9.0f)
        << "never smaller than 9 px";
}
