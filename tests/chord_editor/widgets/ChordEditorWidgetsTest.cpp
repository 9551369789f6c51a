// The chord editor's own buttons and field: holds that start and end exactly once, right
// presses that open a shortcut menu instead of clicking, and the suggestion card's drawing.
#include "chord_editor/widgets/ContextualChordSuggestionButton.h"
#include "chord_editor/widgets/HoldToPreviewButton.h"
#include "chord_editor/widgets/ShortcutTextButton.h"
#include "chord_editor/widgets/ShortcutTextEditor.h"
#include "editor/look/Palette.h"

#include "chord_editor/MouseTestSupport.h"
#include "editor/PixelTestSupport.h"
#include "support/ComponentSnapshot.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
struct HoldRig
{
    HoldRig()
    {
        button.setBounds (0, 0, 185, 61);
        button.setVisible (true);
        button.onHoldStart = [this] { events.push_back ("start"); };
        button.onHoldEnd = [this] { events.push_back ("end"); };
    }

    HoldToPreviewButton button;
    std::vector<juce::String> events;
};

struct ShortcutRig
{
    ShortcutRig()
    {
        button.setBounds (0, 0, 60, 29);
        button.setVisible (true);
        button.onShortcutMenu = [this] { events.push_back ("menu"); };
        button.onClick = [this] { events.push_back ("click"); };
    }

    ShortcutTextButton button;
    std::vector<juce::String> events;
};

using Events = std::vector<juce::String>;
} // namespace

TEST (HoldToPreviewButton, AHoldStartsOnPressAndEndsOnceWhicheverWayItEnds)
{
    juce::ScopedJuceInitialiser_GUI gui;

    {
        HoldRig rig;
        MouseTest::press (rig.button);
        EXPECT_TRUE (rig.button.holding);
        MouseTest::press (rig.button);                 // a second press while held starts nothing
        MouseTest::release (rig.button);
        MouseTest::release (rig.button);               // a release without a hold does nothing
        EXPECT_EQ (rig.events, (Events { "start", "end" }));
        EXPECT_FALSE (rig.button.holding);
    }
    {
        HoldRig rig;
        MouseTest::press (rig.button);
        rig.button.setEnabled (false);                 // a rest disables the button mid-hold
        MouseTest::release (rig.button);
        EXPECT_EQ (rig.events, (Events { "start", "end" }));
    }
    {
        HoldRig rig;
        MouseTest::press (rig.button);
        rig.button.endHold();
        rig.button.endHold();
        MouseTest::release (rig.button);
        EXPECT_EQ (rig.events, (Events { "start", "end" }));
    }
}

TEST (HoldToPreviewButton, ADisabledButtonStartsNoHold)
{
    juce::ScopedJuceInitialiser_GUI gui;

    for (const bool parentDisabled : { false, true })
    {
        HoldRig rig;
        juce::Component parent;
        parent.addAndMakeVisible (rig.button);

        if (parentDisabled)
            parent.setEnabled (false);
        else
            rig.button.setEnabled (false);

        MouseTest::press (rig.button);
        MouseTest::release (rig.button);
        EXPECT_TRUE (rig.events.empty()) << parentDisabled;
        EXPECT_FALSE (rig.button.holding);
    }
}

TEST (HoldToPreviewButton, PaintsAHeldCardInTheAccent)
{
    juce::ScopedJuceInitialiser_GUI gui;
    const juce::Colour backdrop { 0xff000000 };

    struct Case { const char* name; bool holding; bool enabled; juce::Colour face; };
    const Case cases[] = {
        { "idle",     false, true,  Palette::surface0 },
        { "held",     true,  true,  PixelTest::over (backdrop, Palette::mauve.withAlpha (0.24f)) },
        { "disabled", false, false, PixelTest::over (backdrop, Palette::surface0.withMultipliedAlpha (0.45f)) },
    };

    for (const auto& c : cases)
    {
        HoldToPreviewButton button;
        button.setButtonText ("Hold to preview");
        button.setBounds (0, 0, 185, 61);
        button.setEnabled (c.enabled);
        button.holding = c.holding;
        PixelTest::Backdrop scene (button, backdrop);
        const auto image = scene.render();

        EXPECT_TRUE (PixelTest::near (image.getPixelAt (170, 55), c.face)) << c.name;
        // The play triangle, left of the texts.
        EXPECT_TRUE (PixelTest::near (image.getPixelAt (18, 30),
                                      PixelTest::over (c.face, Palette::mauve.withMultipliedAlpha (c.enabled ? 1.0f : 0.42f)), 6))
            << c.name;
        EXPECT_TRUE (corvessa::test::hasInk (image, { 34, 7, 139, 20 }, c.face)) << c.name;
        button.holding = false;
    }
}

TEST (ShortcutTextButton, ARightPressAsksForTheMenuAndNeverClicks)
{
    juce::ScopedJuceInitialiser_GUI gui;

    struct Case { const char* name; std::vector<const char*> steps; Events events; };
    const Case cases[] = {
        { "left click",            { "left", "up" },                      { "click" } },
        { "right press",           { "right", "up" },                     { "menu" } },
        // The first release after a right press is swallowed, whichever button it ends.
        { "left, right, releases", { "left", "right", "up", "up" },       { "menu", "click" } },
        { "right twice",           { "right", "up", "right", "up" },      { "menu", "menu" } },
    };

    for (const auto& c : cases)
    {
        ShortcutRig rig;

        for (const juce::String step : c.steps)
        {
            if (step == "up")
                MouseTest::release (rig.button);
            else
                MouseTest::press (rig.button, step == "right");
        }

        EXPECT_EQ (rig.events, c.events) << c.name;
        EXPECT_FALSE (rig.button.swallowMouseUp) << c.name;
    }
}

TEST (ShortcutTextButton, ARightPressLeavesTheButtonUp)
{
    juce::ScopedJuceInitialiser_GUI gui;
    ShortcutRig rig;
    MouseTest::press (rig.button, true);
    EXPECT_TRUE (rig.button.swallowMouseUp);
    EXPECT_FALSE (rig.button.isDown());
}

TEST (ShortcutTextEditor, ARightPressOpensOnlyTheShortcutMenu)
{
    juce::ScopedJuceInitialiser_GUI gui;

    // The field's own edit menu cannot open without a display; reaching it here would crash.
    ShortcutTextEditor field;
    field.setBounds (0, 0, 100, 29);
    field.setVisible (true);
    field.setText ("2 bars", false);
    int menus = 0;
    field.onShortcutMenu = [&] { ++menus; };

    MouseTest::press (field, true);
    EXPECT_TRUE (field.swallowMouseUp);
    MouseTest::release (field);
    EXPECT_FALSE (field.swallowMouseUp);
    EXPECT_EQ (menus, 1);
    EXPECT_EQ (field.getText(), "2 bars");
}

TEST (ShortcutTextEditor, ReportsGainingTheFocusWhateverTheCause)
{
    juce::ScopedJuceInitialiser_GUI gui;
    ShortcutTextEditor field;
    int gained = 0;
    field.onFocusGained = [&] { ++gained; };

    for (const auto cause : { juce::Component::focusChangedByTabKey, juce::Component::focusChangedByMouseClick,
                              juce::Component::focusChangedDirectly })
        field.focusGained (cause);

    EXPECT_EQ (gained, 3);
}

TEST (ContextualChordSuggestionButton, LaysOutRadioLabelAndRole)
{
    struct Case { int width, height; juce::Point<int> radio; juce::Rectangle<int> chord, role; };
    const Case cases[] = {
        { 300, 23, { 19, 11 }, { 32, 3, 150, 17 }, { 182, 3, 106, 17 } },
        { 328, 23, { 19, 11 }, { 32, 3, 150, 17 }, { 182, 3, 134, 17 } },
        { 600, 23, { 19, 11 }, { 32, 3, 222, 17 }, { 254, 3, 334, 17 } },   // wide: the label takes 2/5
        { 30,  23, { 15, 11 }, { 18, 3, 0, 17 },   { 18, 3, 0, 17 } },      // narrow: nothing left to write in
        { 20,  4,  { 12, 3 },  { 12, 3, 0, 0 },    { 12, 3, 0, 0 } },
    };

    for (const auto& c : cases)
    {
        const auto g = ContextualChordSuggestionButton::geometryFor (c.width, c.height);
        EXPECT_EQ (g.radioCentre, c.radio) << c.width;
        EXPECT_EQ (g.chordArea, c.chord) << c.width;
        EXPECT_EQ (g.roleArea, c.role) << c.width;
    }
}

TEST (ContextualChordSuggestionButton, MarksTheBestAndTheChosenSuggestion)
{
    juce::ScopedJuceInitialiser_GUI gui;
    const juce::Colour backdrop { 0xff000000 };

    // Colours as drawn, before they meet what lies beneath them.
    struct Case { const char* name; bool best, on; juce::Colour fill, outline; bool strip; };
    const Case cases[] = {
        { "plain",  false, false, Palette::surface0,                Palette::surface2.withAlpha (0.62f), false },
        { "best",   true,  false, Palette::surface0,                Palette::mauve.withAlpha (0.82f),    true },
        { "chosen", false, true,  Palette::mauve.withAlpha (0.28f), Palette::mauve.withAlpha (0.82f),    false },
    };

    for (const auto& c : cases)
    {
        ContextualChordSuggestionButton button;
        button.chordText = "vi Am7";
        button.roleText = "Keeps the flow";
        button.isBest = c.best;
        button.setToggleState (c.on, juce::dontSendNotification);
        button.setBounds (0, 0, 300, 23);
        PixelTest::Backdrop scene (button, backdrop);
        const auto image = scene.render();

        const auto face = PixelTest::over (backdrop, c.fill);
        // The top edge: the face covers half of the first row, the outline all of it.
        const auto edge = PixelTest::over (PixelTest::over (backdrop, c.fill.withMultipliedAlpha (0.5f)), c.outline);
        EXPECT_TRUE (PixelTest::near (image.getPixelAt (160, 0), edge)) << c.name;
        EXPECT_TRUE (PixelTest::near (image.getPixelAt (3, 11),
                                      c.strip ? PixelTest::over (face, Palette::mauve.withAlpha (0.78f)) : face)) << c.name;
        EXPECT_TRUE (PixelTest::near (image.getPixelAt (290, 11), face)) << c.name;
        // A filled dot only in the chosen card's radio circle.
        EXPECT_EQ (PixelTest::near (image.getPixelAt (19, 11), face, 6), ! c.on) << c.name;
        EXPECT_TRUE (corvessa::test::hasInk (image, { 32, 3, 150, 17 }, face)) << c.name;
        EXPECT_TRUE (corvessa::test::hasInk (image, { 182, 3, 106, 17 }, face)) << c.name;
    }
}
