#include "kit/dialogs/EditorScaling.h"

#include "kit/services/SettingsStore.h"

#include "kit/KitTestSupport.h"
#include "support/ComponentSnapshot.h"

#include <gtest/gtest.h>

#include <limits>

using velmar::EditorScaling;

namespace
{
    const char* const settingsPath = "VELMAR/Corvessa";

    EditorScaling::Config editorConfig()
    {
        return {};   // 600 x 860, 0.5 .. 2.0, default 1.0, fixed logical size: the window's
    }

    struct EditorScalingTest : ::testing::Test
    {
        juce::ScopedJuceInitialiser_GUI gui;
        juce::Component editor;
        juce::ComponentBoundsConstrainer constrainer;

        void SetUp() override { kittest::settingsFolder().deleteRecursively(); }
        void TearDown() override { kittest::settingsFolder().deleteRecursively(); }

        static void storeUi (const juce::String& json)
        {
            ASSERT_TRUE (velmar::SettingsStore (settingsPath).writeSection ("ui", juce::JSON::parse (json)));
        }

        static juce::var storedScale()
        {
            return velmar::SettingsStore (settingsPath).readSection ("ui").getProperty ("scale", {});
        }

        std::unique_ptr<EditorScaling> attached (EditorScaling::Config config = editorConfig())
        {
            auto scaling = std::make_unique<EditorScaling> (editor, constrainer, settingsPath, config);
            scaling->attach();
            return scaling;
        }

        static juce::StringArray tickedItems (const juce::PopupMenu& menu)
        {
            juce::StringArray ticked;
            for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
                if (it.getItem().isTicked)
                    ticked.add (it.getItem().text);
            return ticked;
        }
    };
} // namespace

TEST_F (EditorScalingTest, StoredScaleIsCheckedWhenTheWindowOpens)
{
    struct Case { const char* stored; double scale; int width, height; const char* text; };
    const Case cases[] = {
        { nullptr, 1.0, 600, 860, "UI 100%" },
        { "{\"scale\":1.5}", 1.5, 900, 1290, "UI 150%" },
        { "{\"scale\":2}", 2.0, 1200, 1720, "UI 200%" },
        { "{\"scale\":5}", 1.0, 600, 860, "UI 100%" },        // too large: the default, not the maximum
        { "{\"scale\":2.0001}", 1.0, 600, 860, "UI 100%" },
        { "{\"scale\":0.3}", 0.5, 300, 430, "UI 50%" },       // too small: the minimum
        { "{\"scale\":0}", 1.0, 600, 860, "UI 100%" },
        { "{\"scale\":-1.5}", 1.0, 600, 860, "UI 100%" },
        { "{\"scale\":\"1.5\"}", 1.0, 600, 860, "UI 100%" },  // text is not a number
        { "{\"scale\":true}", 1.0, 600, 860, "UI 100%" },
        { "{\"scale\":1e999}", 1.0, 600, 860, "UI 100%" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.stored == nullptr ? "nothing stored" : c.stored);
        kittest::settingsFolder().deleteRecursively();
        if (c.stored != nullptr)
        {
            kittest::settingsFolder().createDirectory();
            ASSERT_TRUE (kittest::settingsFile().replaceWithText ("{\"ui\":" + juce::String (c.stored) + "}"));
        }

        EditorScaling scaling (editor, constrainer, settingsPath, editorConfig());
        EXPECT_FALSE (scaling.isAttached());
        editor.setSize (10, 10);
        scaling.setScale (1.75);   // ignored until attached
        EXPECT_EQ (editor.getWidth(), 10);
        EXPECT_EQ (scaling.getButtonText(), "");

        scaling.attach();
        EXPECT_TRUE (scaling.isAttached());
        EXPECT_DOUBLE_EQ (scaling.getScale(), c.scale);
        EXPECT_EQ (editor.getWidth(), c.width);
        EXPECT_EQ (editor.getHeight(), c.height);
        EXPECT_EQ (scaling.getButtonText(), c.text);
    }
}

TEST_F (EditorScalingTest, SetScaleRefusesWhatDoesNotFitAndSetsTheWindowLimits)
{
    struct Case { double requested; double scale; const char* text; };
    const Case cases[] = {
        { 1.15, 1.15, "UI 115%" },
        { 0.5, 0.5, "UI 50%" },
        { 0.2, 0.5, "UI 50%" },
        { 2.0, 2.0, "UI 200%" },
        { 2.5, 1.0, "UI 100%" },
        { 0.0, 1.0, "UI 100%" },
        { -2.0, 1.0, "UI 100%" },
        { std::numeric_limits<double>::quiet_NaN(), 1.0, "UI 100%" },
        { std::numeric_limits<double>::infinity(), 1.0, "UI 100%" },
        { -std::numeric_limits<double>::infinity(), 1.0, "UI 100%" },
    };

    auto scaling = attached();
    EXPECT_DOUBLE_EQ (constrainer.getFixedAspectRatio(), 600.0 / 860.0);

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.requested);
        scaling->setScale (1.25);
        scaling->setScale (c.requested);
        EXPECT_NEAR (scaling->getScale(), c.scale, 0.5 / 600.0);
        EXPECT_EQ (editor.getWidth(), juce::roundToInt (600 * c.scale));
        EXPECT_EQ (editor.getHeight(), juce::roundToInt (860 * c.scale));
        EXPECT_EQ (scaling->getButtonText(), c.text);
        EXPECT_FALSE (scaling->isApplying());

        EXPECT_EQ (constrainer.getMinimumWidth(), 300);
        EXPECT_EQ (constrainer.getMinimumHeight(), 430);
        EXPECT_EQ (constrainer.getMaximumWidth(), 1200);
        EXPECT_EQ (constrainer.getMaximumHeight(), 1720);
    }
}

TEST_F (EditorScalingTest, ResizingTheWindowChangesTheScale)
{
    auto scaling = attached();

    struct Case { int width, height; double scale; const char* text; };
    const Case cases[] = {
        { 700, 1003, 700.0 / 600.0, "UI 117%" },
        { 450, 645, 0.75, "UI 75%" },
        { 3000, 4300, 2.0, "UI 200%" },   // beyond the maximum: the maximum
        { 100, 143, 0.5, "UI 50%" },      // below the minimum: the minimum
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.width);
        editor.setSize (c.width, c.height);
        scaling->editorResized();
        EXPECT_NEAR (scaling->getScale(), c.scale, 1e-9);
        EXPECT_EQ (editor.getWidth(), juce::roundToInt (600 * c.scale));
        EXPECT_EQ (scaling->getButtonText(), c.text);
    }

    // 700 pixels wide is no menu size: nothing is ticked.
    editor.setSize (700, 1003);
    scaling->editorResized();
    EXPECT_TRUE (tickedItems (scaling->buildScaleMenu()).isEmpty());
}

TEST_F (EditorScalingTest, TheScaleReadsBackTheSizeTheHostGave)
{
    // A host that caps its window at 1000 pixels wide.
    struct CappedEditor : juce::Component
    {
        std::function<void()> onResized;
        void resized() override
        {
            if (getWidth() > 1000)
                setSize (1000, getHeight());
            if (onResized)
                onResized();
        }
    } capped;

    EditorScaling scaling (capped, constrainer, settingsPath, editorConfig());
    int resizesWhileApplying = 0;
    capped.onResized = [&] { resizesWhileApplying += scaling.isApplying() ? 1 : 0; scaling.editorResized(); };
    scaling.attach();

    scaling.menuItemChosen (EditorScaling::firstMenuItemId + 200);
    EXPECT_EQ (capped.getWidth(), 1000);
    EXPECT_NEAR (scaling.getScale(), 1000.0 / 600.0, 1e-9);
    EXPECT_EQ (scaling.getButtonText(), "UI 167%");
    EXPECT_GT (resizesWhileApplying, 0);   // the editor's own resize calls were ignored
}

TEST_F (EditorScalingTest, MenuOffersTheFixedSizesAndTicksTheCurrentOne)
{
    auto config = editorConfig();
    config.minScale = 0.8;   // 75 % is then out of range
    auto scaling = attached (config);

    juce::Array<int> ids;
    juce::StringArray texts;
    juce::Array<bool> enabled;
    const auto menu = scaling->buildScaleMenu();
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        ids.add (it.getItem().itemID);
        texts.add (it.getItem().text);
        enabled.add (it.getItem().isEnabled);
    }

    EXPECT_EQ (ids, (juce::Array<int> { 1075, 1090, 1100, 1115, 1125, 1150, 1175, 1200 }));
    EXPECT_EQ (texts, (juce::StringArray { "75%", "90%", "100%", "115%", "125%", "150%", "175%", "200%" }));
    EXPECT_EQ (enabled, (juce::Array<bool> { false, true, true, true, true, true, true, true }));

    // At a menu size exactly, its item is ticked.
    scaling->setScale (1.15);
    EXPECT_EQ (tickedItems (scaling->buildScaleMenu()), juce::StringArray ("115%"));
}

TEST_F (EditorScalingTest, TheTickAllowsHalfAPixelOfTheLogicalWidth)
{
    // With a resizable logical size the factor is kept as asked (no read-back from whole
    // pixels), so the tolerance of 0.5 / 600 shows on its own.
    auto config = editorConfig();
    config.resizableLogicalSize = true;
    config.minLogicalWidth = config.maxLogicalWidth = 600;
    config.minLogicalHeight = config.maxLogicalHeight = 860;
    auto scaling = attached (config);

    struct Case { double scale; const char* ticked; };
    const Case cases[] = { { 1.0, "100%" }, { 1.0008, "100%" }, { 0.9992, "100%" }, { 1.001, "" }, { 0.999, "" }, { 1.7504, "175%" } };

    for (const auto& c : cases)
    {
        scaling->setScale (c.scale);
        EXPECT_DOUBLE_EQ (scaling->getScale(), c.scale);
        EXPECT_EQ (tickedItems (scaling->buildScaleMenu()).joinIntoString (","), c.ticked) << c.scale;
    }
}

TEST_F (EditorScalingTest, MenuResultsChangeTheScaleOnlyForItemsInRange)
{
    auto config = editorConfig();
    config.minScale = 0.8;
    auto scaling = attached (config);

    scaling->menuItemChosen (1150);
    EXPECT_EQ (editor.getBounds().getWidth(), 900);
    EXPECT_EQ (editor.getHeight(), 1290);
    EXPECT_EQ (scaling->getButtonText(), "UI 150%");
    EXPECT_EQ (tickedItems (scaling->buildScaleMenu()), juce::StringArray ("150%"));

    for (const auto ignored : { 0, 1075, 1234, 150, 2150 })
    {
        scaling->menuItemChosen (ignored);
        EXPECT_DOUBLE_EQ (scaling->getScale(), 1.5) << ignored;
    }
}

TEST_F (EditorScalingTest, ChosenScaleIsSavedAfterAQuietQuarterSecondAndReachesTheNextWindow)
{
    {
        auto first = attached();
        kittest::pumpMessagesUntil ([] { return storedScale().isDouble() || storedScale().isInt(); });

        // The clock is read before each change: read after it, a test thread held up by a busy
        // machine would start counting late and see a save made on time as too soon.
        const auto changedAt = juce::Time::getMillisecondCounter();
        first->menuItemChosen (1150);

        ASSERT_TRUE (kittest::pumpMessagesUntil ([] { return (double) storedScale() == 1.5; }));
        EXPECT_GE (juce::Time::getMillisecondCounter() - changedAt, 250u);   // never sooner

        // Further changes restart the wait: a quick series of resizes writes once at its end.
        editor.setSize (660, 946);
        first->editorResized();
        const auto lastChangeAt = juce::Time::getMillisecondCounter();
        editor.setSize (720, 1032);
        first->editorResized();
        ASSERT_TRUE (kittest::pumpMessagesUntil ([] { return std::abs ((double) storedScale() - 1.2) < 1e-9; }));
        EXPECT_GE (juce::Time::getMillisecondCounter() - lastChangeAt, 250u);
    }

    editor.setSize (10, 10);
    auto second = attached();
    EXPECT_DOUBLE_EQ (second->getScale(), 1.2);
    EXPECT_EQ (editor.getWidth(), 720);
    EXPECT_EQ (second->getButtonText(), "UI 120%");
}

TEST_F (EditorScalingTest, ClosingTheWindowSavesAPendingChangeAtOnce)
{
    {
        auto scaling = attached();
        scaling->menuItemChosen (1175);
        EXPECT_TRUE (storedScale().isVoid());
    }

    EXPECT_DOUBLE_EQ ((double) storedScale(), 1.75);
}

TEST_F (EditorScalingTest, AFailedSaveStaysPendingAndIsRetried)
{
    // A file where the settings folder should be: no settings file can be written.
    kittest::settingsFolder().getParentDirectory().createDirectory();
    ASSERT_TRUE (kittest::settingsFolder().replaceWithText ("in the way"));

    auto scaling = attached();
    scaling->menuItemChosen (1125);
    kittest::pumpMessagesFor (400);
    scaling->saveSettings();
    EXPECT_TRUE (kittest::settingsFolder().existsAsFile());

    ASSERT_TRUE (kittest::settingsFolder().deleteFile());
    EXPECT_TRUE (kittest::pumpMessagesUntil ([] { return (double) storedScale() == 1.25; }));
}

TEST_F (EditorScalingTest, ResizableLogicalSizeKeepsTheScaleAndStoresTheSize)
{
    auto config = editorConfig();
    config.resizableLogicalSize = true;
    config.minLogicalWidth = 400;
    config.minLogicalHeight = 500;
    config.maxLogicalWidth = 1000;
    config.maxLogicalHeight = 1200;

    // Stored sizes are used only inside the limits.
    storeUi ("{\"scale\":1.5,\"logicalWidth\":800,\"logicalHeight\":5000}");
    {
        auto scaling = attached (config);
        EXPECT_EQ (constrainer.getFixedAspectRatio(), 0.0);
        EXPECT_EQ (scaling->getCurrentLogicalWidth(), 800);
        EXPECT_EQ (scaling->getCurrentLogicalHeight(), 860);
        EXPECT_EQ (editor.getWidth(), 1200);
        EXPECT_EQ (editor.getHeight(), 1290);
        EXPECT_EQ (constrainer.getMinimumWidth(), 600);
        EXPECT_EQ (constrainer.getMaximumHeight(), 1800);

        // Dragging the corner changes the logical size at the same scale, within its limits.
        editor.setSize (1500, 3000);
        scaling->editorResized();
        EXPECT_DOUBLE_EQ (scaling->getScale(), 1.5);
        EXPECT_EQ (scaling->getCurrentLogicalWidth(), 1000);
        EXPECT_EQ (scaling->getCurrentLogicalHeight(), 1200);
        EXPECT_EQ (editor.getWidth(), 1500);
        EXPECT_EQ (editor.getHeight(), 1800);
    }

    const auto ui = velmar::SettingsStore (settingsPath).readSection ("ui");
    EXPECT_DOUBLE_EQ ((double) ui["scale"], 1.5);
    EXPECT_EQ ((int) ui["logicalWidth"], 1000);
    EXPECT_EQ ((int) ui["logicalHeight"], 1200);
}

TEST_F (EditorScalingTest, TextOnlyDrawsNoButtonBackground)
{
    EditorScaling scaling (editor, constrainer, settingsPath, editorConfig());
    scaling.setButtonText ("UI 100%");
    scaling.setSize (90, 24);
    const auto body = juce::Colour (0xff3355aa);
    const auto text = juce::Colour (0xffeeeeee);
    scaling.setColour (juce::TextButton::buttonColourId, body);
    scaling.setColour (juce::TextButton::textColourOffId, text);

    const auto framed = corvessa::test::writeSnapshot (scaling, "editor-scaling-button");
    scaling.setTextOnly (true);
    EXPECT_TRUE (scaling.isTextOnly());
    const auto textOnly = corvessa::test::writeSnapshot (scaling, "editor-scaling-text-only");

    const auto centreLeft = juce::Point<int> (6, 12);   // inside the body, left of the text
    EXPECT_EQ (framed.getPixelAt (centreLeft.x, centreLeft.y).getAlpha(), 255);
    EXPECT_GT (framed.getPixelAt (centreLeft.x, centreLeft.y).getBlue(), 120);
    EXPECT_EQ (textOnly.getPixelAt (centreLeft.x, centreLeft.y).getAlpha(), 0);
    EXPECT_TRUE (corvessa::test::hasInk (textOnly, textOnly.getBounds(), juce::Colours::transparentBlack));
}

TEST_F (EditorScalingTest, PresentsItselfAsTheUiSizeControl)
{
    EditorScaling scaling (editor, constrainer, settingsPath, editorConfig());
    EXPECT_EQ (scaling.getName(), "UI scaling");
    EXPECT_EQ (scaling.getTooltip(), "Choose UI size. Drag the bottom-right corner to resize; double-click it to reset.");
    EXPECT_TRUE (scaling.getWantsKeyboardFocus());
    EXPECT_FALSE (scaling.getMouseClickGrabsKeyboardFocus());
}
