#include "projects/ChordJsonOverlay.h"

#include "editor/look/Palette.h"
#include "kit/platform/WebAddressOpener.h"
#include "support/ComponentSnapshot.h"
#include "support/MessagePump.h"

#include "ProjectTestSupport.h"

namespace
{
    using juce::Rectangle;

    struct ChordJsonOverlayTest : ::testing::Test
    {
        juce::ScopedJuceInitialiser_GUI gui;
        juce::Component canvas;
        ChordJsonOverlay overlay;

        std::vector<ChordPreset> applied;
        std::vector<std::vector<ChordPreset>> palettes;
        juce::StringArray events;   // callbacks in the order they arrived
        juce::String clipboard;

        void SetUp() override
        {
            canvas.setSize (600, 860);
            canvas.addChildComponent (overlay);
            overlay.setBounds (0, 0, 600, 860);
            overlay.onApply = [this] (const ChordPreset& p) { applied.push_back (p); events.add (overlay.isVisible() ? "apply (shown)" : "apply"); };
            overlay.onApplyMany = [this] (const std::vector<ChordPreset>& p) { palettes.push_back (p); events.add ("many"); };
            overlay.onClose = [this] { events.add (overlay.isVisible() ? "close (shown)" : "close"); };
            overlay.setClipboardReader ([this] { return clipboard; });
            overlay.setVisible (true);
        }

        void apply (const juce::String& text)
        {
            overlay.getJsonEditor().setText (text, false);
            overlay.applyJsonText();
        }

        juce::Colour outline() { return overlay.getJsonEditor().findColour (juce::TextEditor::outlineColourId); }
        juce::String message() { return overlay.getMessageLabel().getText(); }
    };
} // namespace

TEST_F (ChordJsonOverlayTest, Layout)
{
    EXPECT_FALSE (ChordJsonOverlay().isVisible());
    EXPECT_EQ (overlay.getCardBounds(), Rectangle<int> (30, 30, 540, 800));
    EXPECT_EQ (overlay.getCloseButton().getBounds(), Rectangle<int> (480, 44, 70, 27));
    EXPECT_EQ (overlay.getApplyButton().getBounds(), Rectangle<int> (380, 44, 90, 27));
    EXPECT_EQ (overlay.getGeminiButton().getBounds(), Rectangle<int> (340, 44, 28, 27));
    EXPECT_EQ (overlay.getChatGptButton().getBounds(), Rectangle<int> (304, 44, 28, 27));
    EXPECT_EQ (overlay.getJsonEditor().getBounds(), Rectangle<int> (50, 99, 500, 677));
    EXPECT_EQ (overlay.getFooterBounds(), Rectangle<int> (50, 784, 500, 32));
    EXPECT_EQ (overlay.getPasteButton().getBounds(), Rectangle<int> (525, 789, 22, 22));
    EXPECT_EQ (overlay.getMessageLabel().getBounds(), Rectangle<int> (58, 784, 448, 32));
    EXPECT_EQ (overlay.getPasteHintLabel().getBounds(), Rectangle<int> (407, 789, 112, 22));
    EXPECT_FALSE (overlay.getPasteHintLabel().isVisible());

    EXPECT_EQ (overlay.getApplyButton().getButtonText(), "APPLY");
    EXPECT_EQ (overlay.getPasteButton().getTooltip(), "Paste recognized Corvessa JSON from clipboard");
    EXPECT_EQ (overlay.getChatGptButton().getTooltip(), "Get chord ideas from ChatGPT");
    EXPECT_EQ (overlay.getGeminiButton().getTooltip(), "Get chord ideas from Gemini");
    EXPECT_TRUE (overlay.getJsonEditor().isMultiLine());
    EXPECT_TRUE (overlay.getJsonEditor().getReturnKeyStartsNewLine());

    // A tiny overlay clips every part at nothing.
    overlay.setBounds (0, 0, 50, 40);
    for (auto* child : overlay.getChildren())
        EXPECT_GE (juce::jmin (child->getWidth(), child->getHeight()), 0);
}

TEST_F (ChordJsonOverlayTest, AnObjectAppliesOnePresetThenCloses)
{
    apply (R"({"name": "Verse", "progression": "C G Am F", "voicing": "jazz"})");

    ASSERT_EQ (applied.size(), 1u);
    EXPECT_EQ (applied[0].name, "Verse");
    EXPECT_EQ (applied[0].bodyVoicing, "Jazz");
    EXPECT_EQ (events, juce::StringArray ({ "apply (shown)", "close" }));
    EXPECT_FALSE (overlay.isVisible());
}

TEST_F (ChordJsonOverlayTest, AnArrayAppliesAPalette)
{
    apply (R"([{"progression": "C"}, {"progression": "F", "name": ""}])");
    ASSERT_EQ (palettes.size(), 1u);
    ASSERT_EQ (palettes[0].size(), 2u);
    EXPECT_EQ (palettes[0][1].name, "");
    EXPECT_EQ (events, juce::StringArray ({ "many", "close" }));

    overlay.setVisible (true);
    apply ("[]");
    ASSERT_EQ (palettes.size(), 2u);
    EXPECT_TRUE (palettes[1].empty());
    EXPECT_FALSE (overlay.isVisible());
}

TEST_F (ChordJsonOverlayTest, RefusedTextsChangeNothingAndShowWhy)
{
    const struct { const char* text; juce::String message; } cases[] = {
        { "", "Invalid JSON syntax." },
        { "null", "Invalid JSON syntax." },
        { "{\"progression\": ", "Invalid JSON syntax." },
        { "42", "JSON must be an object or array." },
        { "\"C G\"", "JSON must be an object or array." },
        { "{}", "Missing required field: \"progression\"." },
        { R"([{"progression": "C"}, {"progression": "F"}, {"progression": "G", "body_voicing": "Jaz"}])",
          "Error in array item 2: Unknown body_voicing: \"Jaz\". Valid: None, First Inversion, Smooth, Guitarist, Pianist, Bassist, Jazz" },
        { R"([{"progression": "C"}, 5])", "Error in array item 1: JSON must be an object." },
    };

    for (const auto& c : cases)
    {
        apply (c.text);
        EXPECT_EQ (message(), c.message) << c.text;
        EXPECT_EQ (outline(), Palette::red) << c.text;
        EXPECT_TRUE (overlay.isVisible()) << c.text;
        EXPECT_EQ (overlay.getJsonEditor().getText(), c.text);
    }

    EXPECT_TRUE (applied.empty());
    EXPECT_TRUE (palettes.empty());
    EXPECT_TRUE (events.isEmpty());

    // The red outline lasts half a second; the message stays.
    EXPECT_TRUE (corvessa::test::pumpMessagesUntil ([this] { return outline() == Palette::surface2; }, 3000));
    EXPECT_EQ (overlay.getJsonEditor().findColour (juce::TextEditor::focusedOutlineColourId), Palette::lavender);
    EXPECT_TRUE (message().startsWith ("Error in array item 1"));
}

TEST_F (ChordJsonOverlayTest, PasteTakesOnlyRecognisedJson)
{
    overlay.getJsonEditor().setText ("{\"progression\": \"C\"}", false);

    for (const auto* refused : { "[]", "hello", "{\"name\": \"no progression\"}", "[{\"progression\": \"C\"}, 3]" })
    {
        clipboard = refused;
        overlay.pasteFromClipboard();
        EXPECT_EQ (message(), "Clipboard JSON is not recognized by Corvessa.") << refused;
        EXPECT_EQ (outline(), Palette::red);
        EXPECT_EQ (overlay.getJsonEditor().getText(), "{\"progression\": \"C\"}") << refused;
    }

    clipboard = "[{\"progression\": \"Dm G\"}]";
    overlay.pasteFromClipboard();
    EXPECT_EQ (overlay.getJsonEditor().getText(), clipboard);
    EXPECT_TRUE (message().isEmpty());
    EXPECT_EQ (outline(), Palette::surface2);
    EXPECT_TRUE (events.isEmpty());   // pasting applies nothing
}

TEST_F (ChordJsonOverlayTest, AssistantButtonsOpenTheirPagesSafely)
{
    juce::StringArray opened;
    velmar::setWebAddressLauncherForTesting ([&] (const juce::String& address) { opened.add (address); return true; });

    overlay.getChatGptButton().onClick();
    overlay.getGeminiButton().onClick();
    velmar::setWebAddressLauncherForTesting ({});

    EXPECT_EQ (opened, juce::StringArray ({ ChordJsonOverlay::chatGptAddress, ChordJsonOverlay::geminiAddress }));
    EXPECT_TRUE (velmar::isOpenableWebAddress (ChordJsonOverlay::chatGptAddress));
    EXPECT_TRUE (events.isEmpty());
}

TEST_F (ChordJsonOverlayTest, EscapeAndCloseDismiss)
{
    EXPECT_TRUE (overlay.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_FALSE (overlay.isVisible());

    overlay.setVisible (true);
    overlay.getJsonEditor().onEscapeKey();
    overlay.setVisible (true);
    overlay.getCloseButton().onClick();

    EXPECT_EQ (events, juce::StringArray ({ "close", "close", "close" }));
    EXPECT_FALSE (overlay.keyPressed (juce::KeyPress ('x')));
}

TEST_F (ChordJsonOverlayTest, Pictures)
{
    overlay.getJsonEditor().setText ("{\n  \"name\": \"Verse\",\n  \"progression\": \"C G Am F\"\n}", false);
    auto image = corvessa::test::writeSnapshot (canvas, "chord-json-overlay");
    EXPECT_TRUE (corvessa::test::hasInk (image, { 50, 30, 240, 55 }, Palette::base));         // the title
    EXPECT_TRUE (corvessa::test::hasInk (image, { 52, 101, 200, 60 }, Palette::mantle));       // the JSON text
    EXPECT_TRUE (corvessa::test::hasInk (image, { 304, 44, 28, 27 }, Palette::base));          // an icon
    EXPECT_EQ (image.getPixelAt (300, 60).withAlpha (1.0f), Palette::base);
    EXPECT_EQ (image.getPixelAt (60, 800).withAlpha (1.0f), Palette::surface0);                // the footer well

    apply ("{\"name\": \"x\"}");
    image = corvessa::test::writeSnapshot (canvas, "chord-json-overlay-error");
    EXPECT_TRUE (corvessa::test::hasInk (image, { 58, 784, 448, 32 }, Palette::surface0));      // the message
}
