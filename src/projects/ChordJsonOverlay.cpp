#include "projects/ChordJsonOverlay.h"

#include "editor/look/Palette.h"
#include "kit/platform/WebAddressOpener.h"

namespace
{
    const juce::Colour idleOutline = Palette::surface2;
    const juce::Colour idleFocusedOutline = Palette::lavender;
    constexpr int errorOutlineMs = 500;

    // A clipboard with two lines of text.
    const char* const pasteIconSvg =
        R"svg(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 24 24" fill="none" stroke="#cfd6ff" )svg"
        R"svg(stroke-width="2" stroke-linecap="round" stroke-linejoin="round">)svg"
        R"svg(<path d="M9 4h6"/>)svg"
        R"svg(<path d="M10 2h4a2 2 0 0 1 2 2v2H8V4a2 2 0 0 1 2-2Z"/>)svg"
        R"svg(<path d="M8 5H6a2 2 0 0 0-2 2v12a2 2 0 0 0 2 2h12a2 2 0 0 0 2-2V7a2 2 0 0 0-2-2h-2"/>)svg"
        R"svg(<path d="M8 12h8"/>)svg"
        R"svg(<path d="M8 16h5"/>)svg"
        R"svg(</svg>)svg";

    // Three interlaced loops: the knot the ChatGPT mark is known by.
    const char* const chatGptIconSvg =
        R"svg(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 24 24" fill="none" stroke="#cfd6ff" stroke-width="1.6">)svg"
        R"svg(<ellipse cx="12" cy="12" rx="9" ry="4.2"/>)svg"
        R"svg(<ellipse cx="12" cy="12" rx="9" ry="4.2" transform="rotate(60 12 12)"/>)svg"
        R"svg(<ellipse cx="12" cy="12" rx="9" ry="4.2" transform="rotate(120 12 12)"/>)svg"
        R"svg(</svg>)svg";

    // A four-pointed spark with curved sides: the Gemini mark.
    const char* const geminiIconSvg =
        R"svg(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 24 24" fill="#cfd6ff" stroke="none">)svg"
        R"svg(<path d="M12 2C12 7.5 16.5 12 22 12C16.5 12 12 16.5 12 22C12 16.5 7.5 12 2 12C7.5 12 12 7.5 12 2Z"/>)svg"
        R"svg(</svg>)svg";

    void setIcon (juce::DrawableButton& button, const char* svg, const juce::String& tooltip)
    {
        if (auto xml = juce::parseXML (juce::String (svg)))
            if (auto icon = juce::Drawable::createFromSVG (*xml))
                button.setImages (icon.get());

        button.setColour (juce::DrawableButton::textColourId, Palette::text);
        button.setColour (juce::DrawableButton::textColourOnId, Palette::text);
        button.setTooltip (tooltip);
        button.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    }

    void styleTextButton (juce::TextButton& button, juce::Colour textColour)
    {
        button.setColour (juce::TextButton::buttonColourId, Palette::surface0);
        button.setColour (juce::TextButton::textColourOnId, textColour);
        button.setColour (juce::TextButton::textColourOffId, textColour);
        button.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    }

    juce::String readSystemClipboard()
    {
        return juce::SystemClipboard::getTextFromClipboard();
    }

    // The parts of the card for the overlay's bounds.
    struct CardLayout
    {
        juce::Rectangle<int> card, close, apply, gemini, chatGpt, editor, footer, paste, message, pasteHint;

        explicit CardLayout (juce::Rectangle<int> bounds)
        {
            card = bounds.reduced (30);

            auto header = card.withHeight (juce::jmin (card.getHeight(), 55)).reduced (20, 14);
            close = header.removeFromRight (70);
            header.removeFromRight (10);
            apply = header.removeFromRight (90);
            header.removeFromRight (12);
            gemini = header.removeFromRight (28);
            header.removeFromRight (8);
            chatGpt = header.removeFromRight (28);

            auto body = card.withTrimmedTop (55).reduced (20, 14);
            footer = body.removeFromBottom (32);
            body.removeFromBottom (8);
            editor = body;

            auto row = footer;
            const auto slot = row.removeFromRight (28);
            paste = slot.withSizeKeepingCentre (juce::jmin (22, slot.getWidth()), juce::jmin (22, slot.getHeight()));
            message = footer.withTrimmedLeft (8).withRight (juce::jmax (footer.getX() + 8, slot.getX() - 16));
            pasteHint = juce::Rectangle<int> (paste.getX() - 118, paste.getCentreY() - 11, 112, 22);
        }
    };
} // namespace

ChordJsonOverlay::ChordJsonOverlay()
{
    jsonEditor.setMultiLine (true, true);
    jsonEditor.setReturnKeyStartsNewLine (true);
    jsonEditor.setScrollbarsShown (true);
    jsonEditor.setCaretVisible (true);
    jsonEditor.setFont (juce::Font (juce::Font::getDefaultMonospacedFontName(), 13.0f, juce::Font::plain));
    jsonEditor.setColour (juce::TextEditor::backgroundColourId, Palette::mantle);
    jsonEditor.setColour (juce::TextEditor::textColourId, Palette::mauve);
    setOutline (idleOutline, idleFocusedOutline);
    jsonEditor.onEscapeKey = [this] { dismiss(); };
    addAndMakeVisible (jsonEditor);

    setIcon (chatGptButton, chatGptIconSvg, "Get chord ideas from ChatGPT");
    chatGptButton.onClick = [] { velmar::openWebAddress (chatGptAddress); };
    addAndMakeVisible (chatGptButton);

    setIcon (geminiButton, geminiIconSvg, "Get chord ideas from Gemini");
    geminiButton.onClick = [] { velmar::openWebAddress (geminiAddress); };
    addAndMakeVisible (geminiButton);

    setIcon (pasteButton, pasteIconSvg, "Paste recognized Corvessa JSON from clipboard");
    pasteButton.onClick = [this] { pasteFromClipboard(); };
    pasteButton.onStateChange = [this] { updatePasteHint(); };
    addAndMakeVisible (pasteButton);

    styleTextButton (applyButton, Palette::mauve);
    applyButton.onClick = [this] { applyJsonText(); };
    addAndMakeVisible (applyButton);

    styleTextButton (closeButton, Palette::text);
    closeButton.onClick = [this] { dismiss(); };
    addAndMakeVisible (closeButton);

    pasteHintLabel.setText ("Paste from clipboard", juce::dontSendNotification);
    pasteHintLabel.setJustificationType (juce::Justification::centred);
    pasteHintLabel.setFont (juce::Font (12.0f));
    pasteHintLabel.setColour (juce::Label::backgroundColourId, Palette::surface0);
    pasteHintLabel.setColour (juce::Label::outlineColourId, Palette::overlay2);
    pasteHintLabel.setColour (juce::Label::textColourId, Palette::text);
    addChildComponent (pasteHintLabel);

    messageLabel.setFont (juce::Font (14.0f, juce::Font::bold));
    messageLabel.setColour (juce::Label::textColourId, Palette::red);
    addAndMakeVisible (messageLabel);

    clipboardReader = readSystemClipboard;
    setWantsKeyboardFocus (true);
    setVisible (false);
}

ChordJsonOverlay::~ChordJsonOverlay()
{
    stopTimer();
}

//==============================================================================
void ChordJsonOverlay::applyJsonText()
{
    const auto json = parseChordPresetText (jsonEditor.getText());

    if (json.isVoid())
    {
        showError ("Invalid JSON syntax.");
        return;
    }

    if (auto* items = json.getArray())
    {
        std::vector<ChordPreset> presets;
        presets.reserve ((size_t) items->size());

        for (int i = 0; i < items->size(); ++i)
        {
            ChordPreset preset;
            juce::String error;

            if (! parseChordPreset (items->getReference (i), preset, error))
            {
                showError ("Error in array item " + juce::String (i) + ": " + error);
                return;
            }

            presets.push_back (preset);
        }

        if (onApplyMany != nullptr)
            onApplyMany (presets);

        dismiss();
        return;
    }

    if (json.getDynamicObject() != nullptr)
    {
        ChordPreset preset;
        juce::String error;

        if (! parseChordPreset (json, preset, error))
        {
            showError (error);
            return;
        }

        if (onApply != nullptr)
            onApply (preset);

        dismiss();
        return;
    }

    showError ("JSON must be an object or array.");
}

void ChordJsonOverlay::pasteFromClipboard()
{
    const auto text = clipboardReader != nullptr ? clipboardReader() : readSystemClipboard();

    if (isRecognisedChordPresetJson (text))
    {
        stopTimer();
        messageLabel.setText ({}, juce::dontSendNotification);
        setOutline (idleOutline, idleFocusedOutline);
        jsonEditor.setText (text, false);

        if (jsonEditor.isShowing())
            jsonEditor.grabKeyboardFocus();

        resized();
        repaint();
        return;
    }

    messageLabel.setText ("Clipboard JSON is not recognized by Corvessa.", juce::dontSendNotification);
    flashErrorOutline();

    if (jsonEditor.isShowing())
        jsonEditor.grabKeyboardFocus();
}

void ChordJsonOverlay::dismiss()
{
    setVisible (false);

    if (onClose != nullptr)
        onClose();
}

void ChordJsonOverlay::showError (const juce::String& message)
{
    messageLabel.setText (message, juce::dontSendNotification);
    flashErrorOutline();
}

void ChordJsonOverlay::setJsonText (const juce::String& text)
{
    jsonEditor.setText (text, false);
    messageLabel.setText ({}, juce::dontSendNotification);
}

void ChordJsonOverlay::setClipboardReader (std::function<juce::String()> reader)
{
    clipboardReader = reader != nullptr ? std::move (reader) : std::function<juce::String()> (readSystemClipboard);
}

//==============================================================================
void ChordJsonOverlay::setOutline (juce::Colour outline, juce::Colour focusedOutline)
{
    jsonEditor.setColour (juce::TextEditor::outlineColourId, outline);
    jsonEditor.setColour (juce::TextEditor::focusedOutlineColourId, focusedOutline);
    jsonEditor.repaint();
}

void ChordJsonOverlay::flashErrorOutline()
{
    // The field usually has the focus, which draws the focused outline; both turn red so that
    // the flash shows either way.
    setOutline (Palette::red, Palette::red);
    startTimer (errorOutlineMs);
}

void ChordJsonOverlay::timerCallback()
{
    stopTimer();
    setOutline (idleOutline, idleFocusedOutline);
    repaint();
}

void ChordJsonOverlay::updatePasteHint()
{
    const auto over = pasteButton.isOver();

    if (over == pasteHintLabel.isVisible())
        return;

    pasteHintLabel.setVisible (over);

    if (over)
        pasteHintLabel.toFront (false);
}

//==============================================================================
juce::Rectangle<int> ChordJsonOverlay::getCardBounds() const
{
    return CardLayout (getLocalBounds()).card;
}

juce::Rectangle<int> ChordJsonOverlay::getFooterBounds() const
{
    return CardLayout (getLocalBounds()).footer;
}

void ChordJsonOverlay::paint (juce::Graphics& g)
{
    const CardLayout layout (getLocalBounds());
    const auto card = layout.card.toFloat();

    g.fillAll (Palette::mantle.withAlpha (0.94f));

    g.setColour (Palette::mantle);
    g.fillRoundedRectangle (card, 6.0f);

    g.setColour (Palette::base);
    g.fillRoundedRectangle (card.withHeight (juce::jmin (card.getHeight(), 55.0f)), 6.0f);
    g.fillRect (juce::Rectangle<int> (layout.card.getX(), layout.card.getY() + 6, layout.card.getWidth(),
                                      juce::jmin (49, juce::jmax (layout.card.getHeight() - 6, 0))));

    g.setColour (Palette::text);
    g.setFont (juce::Font (24.0f, juce::Font::bold));
    g.drawText ("JSON Chord Preset", layout.card.getX() + 20, layout.card.getY(),
                juce::jmax (layout.card.getWidth() - 40, 0), juce::jmin (layout.card.getHeight(), 55),
                juce::Justification::centredLeft, true);

    const auto footer = layout.footer.toFloat();
    g.setColour (Palette::surface0);
    g.fillRoundedRectangle (footer, 6.0f);
    g.setColour (Palette::overlay2);
    g.drawRoundedRectangle (footer.reduced (0.5f), 6.0f, 1.0f);

    g.setColour (Palette::overlay2);
    g.drawRoundedRectangle (card.reduced (1.0f), 6.0f, 2.0f);
}

void ChordJsonOverlay::resized()
{
    const CardLayout layout (getLocalBounds());
    closeButton.setBounds (layout.close);
    applyButton.setBounds (layout.apply);
    geminiButton.setBounds (layout.gemini);
    chatGptButton.setBounds (layout.chatGpt);
    jsonEditor.setBounds (layout.editor);
    pasteButton.setBounds (layout.paste);
    messageLabel.setBounds (layout.message);
    pasteHintLabel.setBounds (layout.pasteHint);
}

bool ChordJsonOverlay::keyPressed (const juce::KeyPress& key)
{
    if (key.isKeyCode (juce::KeyPress::escapeKey))
    {
        dismiss();
        return true;
    }

    return false;
}
