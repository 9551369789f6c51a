// How the mood panel and its switches are drawn: sampled fills of the panel, the table rows and
// every switch state, and pictures of the panel for a person to look at.
#include "MoodGeneratorComponentTestAccess.h"

#include "editor/look/Palette.h"
#include "editor/views/ViewTestSupport.h"
#include "support/ComponentSnapshot.h"

#include <gtest/gtest.h>

namespace
{
using Access = MoodGeneratorComponentTestAccess;
using LookAndFeel = MoodGeneratorComponent::HarmonicOptionButtonLookAndFeel;
using namespace viewtest;

class MoodPanelLookTest : public ::testing::Test
{
protected:
    juce::ScopedJuceInitialiser_GUI gui;
    MoodGeneratorComponent panel { 3u };

    void SetUp() override { layOutAndPaint (panel); }

    juce::Colour at (const juce::Image& image, int x, int y) { return image.getPixelAt (x, y); }
};

TEST_F (MoodPanelLookTest, PanelCardHeaderTableAndSwitches)
{
    const auto image = corvessa::test::writeSnapshot (panel, "mood-panel");
    ASSERT_EQ (image.getWidth(), 480);
    ASSERT_EQ (image.getHeight(), 672);

    EXPECT_TRUE (near (at (image, 12, 30), Palette::base));      // header band
    EXPECT_TRUE (near (at (image, 12, 120), Palette::mantle));   // body
    EXPECT_TRUE (near (at (image, 1, 300), Palette::overlay2, 12)); // frame
    EXPECT_LT (at (image, 0, 0).getAlpha(), 128);                  // rounded corner

    // Texts are drawn: title, the line above the table, the table itself.
    EXPECT_TRUE (corvessa::test::hasInk (image, { 25, 10, 200, 35 }, Palette::base));
    EXPECT_TRUE (corvessa::test::hasInk (image, { 25, 190, 300, 14 }, Palette::mantle));
    EXPECT_TRUE (corvessa::test::hasInk (image, { 25, 243, 80, 20 }, Palette::mantle));
    EXPECT_TRUE (corvessa::test::hasInk (image, { 335, 547, 120, 20 }, Palette::mantle));

    // The selected mood's row is banded, the others are not.
    EXPECT_TRUE (near (at (image, 22, 250), over (Palette::mantle, Palette::surface1, 0.54f)));
    EXPECT_TRUE (near (at (image, 22, 270), Palette::mantle));

    // Switch fills and indicators: Slash Chords on (teal dot), the others off in their accents.
    EXPECT_TRUE (near (at (image, 322 + 4, 69 + 14), Palette::surface0.interpolatedWith (Palette::overlay2, 0.28f)));
    EXPECT_TRUE (near (at (image, 322 + 14, 69 + 14), Palette::teal));
    EXPECT_TRUE (near (at (image, 25 + 4, 152 + 14), Palette::surface0.interpolatedWith (Palette::yellow, 0.06f)));
    EXPECT_TRUE (near (at (image, 160 + 4, 152 + 14), Palette::surface0.interpolatedWith (Palette::mauve, 0.06f)));
}

TEST_F (MoodPanelLookTest, HoveredRowIsBandedLighterThanTheSelected)
{
    move (panel, { 60.0f, (float) Access::rowArea (panel, "Fog").getCentreY() });
    const auto image = corvessa::test::writeSnapshot (panel, "mood-panel-hover-fog");

    const auto fogY = Access::rowArea (panel, "Fog").getY() + 2;
    EXPECT_TRUE (near (at (image, 22, fogY), over (Palette::mantle, Palette::surface1, 0.42f)));
    EXPECT_TRUE (near (at (image, 22, 250), over (Palette::mantle, Palette::surface1, 0.54f)));
    EXPECT_TRUE (near (at (image, 22, Access::rowArea (panel, "Smoke").getY() + 2), Palette::mantle));
}

TEST (HarmonicOptionLook, FillOutlineAndIndicatorForEveryState)
{
    juce::ScopedJuceInitialiser_GUI gui;
    LookAndFeel lookAndFeel;
    const auto accent = Palette::yellow;

    juce::TextButton button ("Fifth of Fifth");
    button.setSize (127, 28);
    button.setColour (LookAndFeel::accentColourId, accent);

    const auto onFill = Palette::surface0.interpolatedWith (Palette::overlay2, 0.28f);
    const struct
    {
        const char* what;
        bool on, highlighted, down, enabled;
        juce::Colour fill;
        float alpha;
        bool dotFilled;
    } cases[] = {
        { "off", false, false, false, true, Palette::surface0.interpolatedWith (accent, 0.06f), 1.0f, false },
        { "off hovered", false, true, false, true, Palette::surface1.interpolatedWith (accent, 0.1f), 1.0f, false },
        { "off pressed", false, true, true, true, Palette::surface2, 1.0f, false },
        { "on", true, false, false, true, onFill, 1.0f, true },
        { "on hovered", true, true, false, true, onFill, 1.0f, true },
        { "on pressed", true, true, true, true, onFill.darker (0.08f), 1.0f, true },
        { "on disabled", true, false, false, false, onFill, 0.48f, true },
        { "off disabled", false, false, false, false, Palette::surface0.interpolatedWith (accent, 0.06f), 0.48f, false },
    };

    for (const auto& c : cases)
    {
        button.setToggleState (c.on, juce::dontSendNotification);
        button.setEnabled (c.enabled);

        juce::Image image (juce::Image::ARGB, 127, 28, true);
        {
            juce::Graphics g (image);
            g.fillAll (Palette::mantle);
            lookAndFeel.drawButtonBackground (g, button, {}, c.highlighted, c.down);
        }

        EXPECT_TRUE (near (image.getPixelAt (4, 14), over (Palette::mantle, c.fill, c.alpha))) << c.what;
        EXPECT_TRUE (near (image.getPixelAt (60, 14), over (Palette::mantle, c.fill, c.alpha))) << c.what;

        // The dot at x 10 .. 18: filled in the accent when on, a ring around the fill when off.
        const auto dotCentre = image.getPixelAt (14, 14);
        if (c.dotFilled)
            EXPECT_TRUE (near (dotCentre, accent)) << c.what;
        else
            EXPECT_TRUE (near (dotCentre, over (Palette::mantle, c.fill, c.alpha))) << c.what;

        // Outline at the top edge, half-way along: the accent when on, overlay2 when off.
        const auto edge = image.getPixelAt (60, 0);
        const auto fillPixel = image.getPixelAt (60, 14);
        if (c.on)
            EXPECT_GT (edge.getRed(), fillPixel.getRed() + 20) << c.what;   // yellow is far redder than the fill
        else
            EXPECT_GT (edge.getBrightness(), fillPixel.getBrightness()) << c.what;
    }
}

TEST (HarmonicOptionLook, TextIsCentredRightOfTheIndicator)
{
    juce::ScopedJuceInitialiser_GUI gui;
    LookAndFeel lookAndFeel;

    juce::TextButton button ("Slash Chords");
    button.setSize (130, 28);
    button.setColour (juce::TextButton::textColourOffId, Palette::text);
    button.setColour (juce::TextButton::textColourOnId, Palette::text);

    juce::Image image (juce::Image::ARGB, 130, 28, true);
    {
        juce::Graphics g (image);
        g.fillAll (juce::Colours::black);
        lookAndFeel.drawButtonText (g, button, false, false);
    }

    // Ink spans lie inside the text box (x 22 .. 122) and centre on it.
    int left = 130, right = -1;
    for (int x = 0; x < 130; ++x)
        for (int y = 0; y < 28; ++y)
            if (image.getPixelAt (x, y).getBrightness() > 0.3f)
            {
                left = juce::jmin (left, x);
                right = juce::jmax (right, x);
            }

    ASSERT_GE (right, 0) << "no text drawn";
    EXPECT_GE (left, 22);
    EXPECT_LE (right, 122);
    EXPECT_NEAR ((left + right) / 2.0, 72.0, 3.0);

    // Too narrow for any text: nothing drawn, nothing asserted.
    button.setSize (16, 28);
    juce::Image narrow (juce::Image::ARGB, 16, 28, true);
    juce::Graphics g (narrow);
    lookAndFeel.drawButtonText (g, button, false, false);
    for (int x = 0; x < 16; ++x)
        for (int y = 0; y < 28; ++y)
            EXPECT_EQ (narrow.getPixelAt (x, y).getAlpha(), 0);
}

} // namespace
