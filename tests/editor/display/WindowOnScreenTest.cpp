// The window on a real display: keyboard focus after clicks and Space, and the built Standalone
// application opening its window, taking the focus and showing a popup menu, with a picture of
// the whole screen.
#include "../EditorFixture.h"

#include "editor/look/Palette.h"
#include "support/ComponentSnapshot.h"
#include "support/OtherProgram.h"

namespace
{
// Runs a command to its end while this process keeps serving its own window's messages.
juce::String runWhilePumping (const juce::StringArray& command, int timeoutMs = 10000)
{
    corvessa::test::OtherProgram process (command, true);
    if (! process.started())
        return "<could not start " + command[0] + ">";
    process.waitForEnd (timeoutMs);
    return process.output().trim();
}

juce::String xdotool (const juce::StringArray& arguments)
{
    juce::StringArray command { "xdotool" };
    command.addArray (arguments);
    return runWhilePumping (command);
}

void clickAt (juce::Point<int> screenPosition)
{
    xdotool ({ "mousemove", juce::String (screenPosition.x), juce::String (screenPosition.y) });
    xdotool ({ "click", "1" });
    pumpMessagesUntil ([] { return false; }, 200);
}

// Clicks until what the click should bring about has come, within a few seconds. The X server
// of a busy machine can take longer than any fixed wait to map the window and deliver the
// focus, and a click that reached no window yet is clicked again.
bool clickUntil (juce::Point<int> screenPosition, const std::function<bool()>& arrived)
{
    for (int attempt = 0; attempt < 3; ++attempt)
    {
        clickAt (screenPosition);
        if (pumpMessagesUntil (arrived, 2000))
            return true;
    }
    return false;
}

juce::Image screenshot (const juce::String& name)
{
    const auto file = corvessa::test::getScreenshotFolder().getChildFile (name + ".png");
    file.deleteFile();
    runWhilePumping ({ "import", "-window", "root", file.getFullPathName() });
    return juce::ImageFileFormat::loadFrom (file);
}

// Pictures of the screen until one shows what is expected (the other process draws in its own
// time), or the time runs out; the last picture is returned either way.
juce::Image screenshotUntil (const juce::String& name, const std::function<bool (const juce::Image&)>& shows, int timeoutMs = 20000)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
    for (;;)
    {
        auto image = screenshot (name);
        if (shows (image) || juce::Time::getMillisecondCounter() >= end)
            return image;
        pumpMessagesUntil ([] { return false; }, 200);
    }
}

int countPixels (const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour)
{
    int count = 0;
    area = area.getIntersection (image.getBounds());
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (image.getPixelAt (x, y).withAlpha (1.0f) == colour)
                ++count;
    return count;
}
} // namespace

class WindowOnScreenTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        showOnDesktop (false);
    }

    void TearDown() override
    {
        editor->removeFromDesktop();
        EditorTest::TearDown();
    }

    juce::Point<int> onScreen (int x, int y) const { return editor->localPointToGlobal (juce::Point<int> (x, y)); }
};

TEST_F (WindowOnScreenTest, ClicksOutsideTextFieldsTakeTheFocusAndSpaceGivesItAway)
{
    // A click into the progression text field keeps the focus there.
    probe->textPanel().setVisible (true);
    probe->layout();
    auto* textField = dynamic_cast<juce::TextEditor*> (probe->textPanel().getChildComponent (0));
    ASSERT_NE (textField, nullptr);
    EXPECT_TRUE (clickUntil (onScreen (30 + 25 + 40, 102 + 68 + 14), [&] { return textField->hasKeyboardFocus (false); }));

    probe->textPanel().setVisible (false);
    probe->layout();

    // A click on a button (Outputs "All"), or on the canvas, gives the window the focus for its
    // shortcuts.
    for (const auto& target : { juce::Point<int> (404, 142), juce::Point<int> (300, 600) })
    {
        editor->giveAwayKeyboardFocus();
        pumpUntil ([] { return false; }, 100);
        EXPECT_TRUE (clickUntil (onScreen (target.x, target.y), [this] { return editor->hasKeyboardFocus (false); }))
            << target.toString();
    }

    // Space belongs to the host: not consumed, and the window lets the focus go.
    EXPECT_FALSE (editor->keyPressed (juce::KeyPress (juce::KeyPress::spaceKey)));
    EXPECT_TRUE (pumpUntil ([this] { return ! editor->hasKeyboardFocus (true); }, 5000));
}

// The support form takes the keyboard focus for its e-mail field, which needs the window on
// screen.
TEST_F (WindowOnScreenTest, HelpContactAndSupportCloseTradePlaces)
{
    editor->buttonClicked (&probe->helpButton());
    EXPECT_TRUE (probe->help().isVisible());
    EXPECT_TRUE (probe->scrim().isVisible());

    probe->helpContact();
    EXPECT_FALSE (probe->help().isVisible());
    EXPECT_TRUE (probe->support().isVisible());
    EXPECT_EQ (probe->support().getBounds(), juce::Rectangle<int> (0, 0, 600, 860));

    probe->support().setVisible (false);
    probe->supportClosed();
    EXPECT_TRUE (probe->help().isVisible());
    EXPECT_TRUE (probe->help().hasKeyboardFocus (true));
    auto& children = probe->canvas().getChildren();
    EXPECT_GT (children.indexOf (&probe->help()), children.indexOf (&probe->scrim()));

    probe->help().onClose();
    EXPECT_FALSE (probe->help().isVisible());
    EXPECT_FALSE (probe->scrim().isVisible());
}

#ifdef CORVESSA_STANDALONE_PATH
TEST (StandaloneWindow, OpensTakesFocusAndShowsAPopupMenu)
{
    juce::ScopedJuceInitialiser_GUI gui;
    {
        // The first-run card is the subject of other tests; here it is out of the way.
        CorvessaProcessor processor;
        processor.getTelemetryClient().markWelcomeSeen();
    }

    corvessa::test::OtherProgram standalone (juce::StringArray { CORVESSA_STANDALONE_PATH });
    ASSERT_TRUE (standalone.started());

    const auto window = xdotool ({ "search", "--sync", "--name", "^Corvessa$" }).upToFirstOccurrenceOf ("\n", false, false);
    ASSERT_TRUE (window.containsOnly ("0123456789")) << window;
    ASSERT_FALSE (window.isEmpty());

    // The application's window frames the 600 x 860 editor: equal borders left and right, the
    // title bar above. It may first appear at another size.
    juce::StringPairArray geometry;
    const auto readGeometry = [&]
    {
        geometry.clear();
        for (const auto& line : juce::StringArray::fromLines (xdotool ({ "getwindowgeometry", "--shell", window })))
            geometry.set (line.upToFirstOccurrenceOf ("=", false, false), line.fromFirstOccurrenceOf ("=", false, false));
        return geometry["WIDTH"].getIntValue() >= 600 && geometry["HEIGHT"].getIntValue() >= 860;
    };
    ASSERT_TRUE (pumpMessagesUntil (readGeometry, 20000)) << geometry.getDescription();
    const int border = (geometry["WIDTH"].getIntValue() - 600) / 2;
    const juce::Point<int> origin (geometry["X"].getIntValue() + border,
                                   geometry["Y"].getIntValue() + geometry["HEIGHT"].getIntValue() - 860 - border);
    ASSERT_GE (border, 0);

    const juce::Rectangle<int> canvas (origin.x, origin.y, 600, 860);
    const auto before = screenshotUntil ("standalone-window", [&] (const juce::Image& image)
                                         { return countPixels (image, canvas, Palette::base) > 20000; });
    EXPECT_GT (countPixels (before, canvas, Palette::base), 20000);

    // A click on the canvas gives the window the keyboard focus.
    clickAt (origin + juce::Point<int> (300, 600));
    EXPECT_EQ (xdotool ({ "getwindowfocus" }), window);

    // The key list opens inside the window, below its combo box, in the menu colour.
    const juce::Rectangle<int> belowKeyCombo (origin.x + 42, origin.y + 92, 60, 150);
    EXPECT_EQ (countPixels (before, belowKeyCombo, Palette::mantle), 0);
    clickAt (origin + juce::Point<int> (76, 76));
    const auto withMenu = screenshotUntil ("standalone-key-menu", [&] (const juce::Image& image)
                                           { return countPixels (image, belowKeyCombo, Palette::mantle) > 1000; });
    EXPECT_GT (countPixels (withMenu, belowKeyCombo, Palette::mantle), 1000);

    standalone.kill();
}
#endif
