// The mood table under the pointer: rows and keys as click targets, hover descriptions, and
// the hints of the switches.
#include "MoodGeneratorComponentTestAccess.h"

#include "editor/views/ViewTestSupport.h"

#include <gtest/gtest.h>

namespace
{
using Access = MoodGeneratorComponentTestAccess;
using namespace viewtest;

class MoodPanelPointerTest : public ::testing::Test
{
protected:
    juce::ScopedJuceInitialiser_GUI gui;
    MoodGeneratorComponent panel { 5u };
    MoodGenerator generator { 5u };
    int settingsChanges = 0;

    void SetUp() override
    {
        panel.onSettingsChanged = [this] { ++settingsChanges; };
        layOutAndPaint (panel);
    }

    juce::String description() { return Access::description (panel).getText(); }

    juce::Point<float> centreOfRow (const juce::String& mood)
    {
        // Left in the row, clear of the keys column.
        const auto area = Access::rowArea (panel, mood);
        EXPECT_FALSE (area.isEmpty()) << mood;
        return { (float) area.getX() + 30.0f, (float) area.getCentreY() };
    }

    juce::Point<float> centreOfKey (const juce::String& mood, const juce::String& key)
    {
        const auto area = Access::keyArea (panel, mood, key);
        EXPECT_FALSE (area.isEmpty()) << mood << " " << key;
        return area.getCentre().toFloat();
    }
};

TEST_F (MoodPanelPointerTest, PaintLeavesOneTargetPerRowAndKey)
{
    EXPECT_EQ (Access::rowTargetCount (panel), 16u);
    EXPECT_EQ (Access::keyTargetCount (panel), 64u);

    // Row bands of the three groups, in the panel's coordinates: (21, y - 1, W - 42, 20).
    EXPECT_EQ (Access::rowArea (panel, "Space"), juce::Rectangle<int> (21, 243, 438, 20));
    EXPECT_EQ (Access::rowArea (panel, "Aurora"), juce::Rectangle<int> (21, 343, 438, 20));
    EXPECT_EQ (Access::rowArea (panel, "Tribal"), juce::Rectangle<int> (21, 405, 438, 20));
    EXPECT_EQ (Access::rowArea (panel, "Velvet"), juce::Rectangle<int> (21, 547, 438, 20));
    EXPECT_EQ (Access::rowArea (panel, "Ember"), juce::Rectangle<int> (21, 627, 438, 20));
    EXPECT_LE (Access::rowArea (panel, "Ember").getBottom(), MoodGeneratorComponent::getPreferredHeight());

    // Keys run left to right from the keys column, two pixels of slack on either side.
    const auto first = Access::keyArea (panel, "Water", "A#");
    const auto second = Access::keyArea (panel, "Water", "D#");
    const auto last = Access::keyArea (panel, "Water", "C");
    EXPECT_EQ (first.getX(), 333);
    EXPECT_EQ (first.getY(), Access::rowArea (panel, "Water").getY());
    EXPECT_EQ (first.getHeight(), 20);
    EXPECT_GT (second.getX(), first.getRight() - 4);   // past the key and its separator
    EXPECT_GT (last.getX(), second.getX());
    EXPECT_LT (last.getRight(), 480);
}

TEST_F (MoodPanelPointerTest, HoverShowsTheMoodsDescriptionAndLeavingRestoresTheSelected)
{
    const auto spaceText = generator.getMoodDescription ("Space");
    ASSERT_EQ (description(), spaceText);

    move (panel, centreOfRow ("Fog"));
    EXPECT_EQ (description(), generator.getMoodDescription ("Fog"));
    EXPECT_EQ (panel.getMouseCursor(), juce::MouseCursor (juce::MouseCursor::PointingHandCursor));

    move (panel, centreOfKey ("Noir", "D#"));
    EXPECT_EQ (description(), generator.getMoodDescription ("Noir"));

    // Between the table and the controls: nothing hovered, the selected mood's text again.
    move (panel, { 30.0f, 198.0f });
    EXPECT_EQ (description(), spaceText);
    EXPECT_EQ (panel.getMouseCursor(), juce::MouseCursor (juce::MouseCursor::NormalCursor));

    move (panel, centreOfRow ("Glass"));
    EXPECT_EQ (description(), generator.getMoodDescription ("Glass"));
    leave (panel);
    EXPECT_EQ (description(), spaceText);
    EXPECT_EQ (panel.getMouseCursor(), juce::MouseCursor (juce::MouseCursor::NormalCursor));

    // Hovering changes no setting.
    EXPECT_EQ (panel.getMoodName(), "Space");
    EXPECT_EQ (settingsChanges, 0);
}

TEST_F (MoodPanelPointerTest, ClickingAKeySelectsMoodAndKeyClickingARowOnlyTheMood)
{
    press (panel, centreOfKey ("Noir", "G"));
    EXPECT_EQ (panel.getMoodId(), 15);
    EXPECT_EQ (panel.getKeyId(), 8);
    EXPECT_EQ (panel.getBars(), 48);
    EXPECT_EQ (description(), generator.getMoodDescription ("Noir"));
    EXPECT_EQ (settingsChanges, 1);

    layOutAndPaint (panel);
    press (panel, centreOfRow ("Velvet"));
    EXPECT_EQ (panel.getMoodId(), 14);
    EXPECT_EQ (panel.getKeyId(), 8);
    EXPECT_EQ (panel.getBars(), 12);
    EXPECT_EQ (settingsChanges, 2);

    // A key with a sharp, in the first group.
    layOutAndPaint (panel);
    press (panel, centreOfKey ("Water", "G#"));
    EXPECT_EQ (panel.getMoodName(), "Water");
    EXPECT_EQ (panel.getKeyId(), 9);
    EXPECT_EQ (settingsChanges, 3);

    // Outside every target nothing happens.
    press (panel, { 30.0f, 120.0f });
    press (panel, { 470.0f, 660.0f });
    EXPECT_EQ (panel.getMoodName(), "Water");
    EXPECT_EQ (settingsChanges, 3);
}

TEST_F (MoodPanelPointerTest, EventsFromTheSwitchesNeverHitTheTable)
{
    // The panel listens to its switches; their presses and moves arrive in the switch's own
    // coordinates and must not be read as table positions.
    auto& toggle = Access::tritoneSub (panel);
    const auto spot = centreOfRow ("Rust");
    panel.mouseMove (mouseAt (toggle, spot));
    panel.mouseDown (mouseAt (toggle, spot, leftButton));

    EXPECT_EQ (panel.getMoodName(), "Space");
    EXPECT_EQ (description(), generator.getMoodDescription ("Space"));
    EXPECT_EQ (settingsChanges, 0);
}

TEST_F (MoodPanelPointerTest, SwitchesShowTheirHintsWhileHovered)
{
    const auto spaceText = generator.getMoodDescription ("Space");

    const struct
    {
        juce::TextButton& button;
        juce::String hint;
    } cases[] = {
        { Access::fifthOfFifth (panel), "Fifth of Fifth: Creates an exciting 'lift' - the classic jazz/pop surprise. Guaranteed when enabled." },
        { Access::tritoneSub (panel), "Tritone Sub: Smooth jazz tension through shared tendency tones. Guaranteed when enabled." },
        { Access::chromaticMediant (panel), "Chromatic Mediant: Cinematic color shift, jumping by thirds. Guaranteed when enabled." },
        { Access::slashChords (panel), "Slash Chords: Pedal Tone - tonic drone beneath Lydian harmony." },
    };

    for (const auto& c : cases)
    {
        panel.mouseEnter (mouseAt (c.button, { 5.0f, 5.0f }));
        EXPECT_EQ (description(), c.hint);
        panel.mouseExit (mouseAt (c.button, { -5.0f, -5.0f }));
        EXPECT_EQ (description(), spaceText);
    }

    // The slash hint follows the selected mood; without one it is the general text.
    panel.setMoodId (15);
    panel.mouseEnter (mouseAt (Access::slashChords (panel), { 5.0f, 5.0f }));
    EXPECT_EQ (description(), "Slash Chords: Chromatic Drift - slow bass descent for Ostrev-esque atmosphere.");

    panel.setMoodId (13);
    panel.mouseEnter (mouseAt (Access::slashChords (panel), { 5.0f, 5.0f }));
    EXPECT_EQ (description(), "Slash Chords: Uses a different bass note under the chord for deeper voice separation.");
    panel.mouseExit (mouseAt (Access::slashChords (panel), { -5.0f, -5.0f }));
    EXPECT_EQ (description(), "");
}
} // namespace
