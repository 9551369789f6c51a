#pragma once

#include "projects/ChordPreset.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>
#include <vector>

// The chord-preset JSON window over the whole editor canvas: a JSON text field the window
// fills with the song's sections, buttons that open two chat assistants' pages (where such JSON
// can be written), a checked paste from the clipboard, "APPLY" and "Close". One object applies
// as a chord preset, an array as a section palette; a text the reader refuses changes nothing
// and shows why with a short red outline. Message thread only.
class ChordJsonOverlay : public juce::Component,
                         private juce::Timer
{
public:
    // The assistants' pages.
    static constexpr const char* chatGptAddress = "https://chatgpt.com/";
    static constexpr const char* geminiAddress = "https://gemini.google.com/app";

    ChordJsonOverlay();
    ~ChordJsonOverlay() override;

    std::function<void (const ChordPreset& preset)> onApply;
    std::function<void (const std::vector<ChordPreset>& presets)> onApplyMany;
    std::function<void()> onClose;

    // Reads the field and applies it (one preset or a palette), or shows the reader's error.
    void applyJsonText();
    // Replaces the field with the clipboard's text only when it is a recognised preset JSON.
    void pasteFromClipboard();
    // Hides the overlay, then onClose.
    void dismiss();
    // The message in red and the field's outline red for a moment.
    void showError (const juce::String& message);
    // What the window shows on opening: the field takes the text (no change is reported) and
    // the message line of an earlier visit is cleared.
    void setJsonText (const juce::String& text);

    // Tests read a clipboard of their own; an empty function restores the system clipboard.
    void setClipboardReader (std::function<juce::String()> reader);

    juce::TextEditor& getJsonEditor() noexcept               { return jsonEditor; }
    const juce::Label& getMessageLabel() const noexcept      { return messageLabel; }
    const juce::Label& getPasteHintLabel() const noexcept    { return pasteHintLabel; }
    juce::DrawableButton& getChatGptButton() noexcept        { return chatGptButton; }
    juce::DrawableButton& getGeminiButton() noexcept         { return geminiButton; }
    juce::DrawableButton& getPasteButton() noexcept          { return pasteButton; }
    juce::TextButton& getApplyButton() noexcept              { return applyButton; }
    juce::TextButton& getCloseButton() noexcept              { return closeButton; }

    // The card, and the footer row (paste button and message line) inside it.
    juce::Rectangle<int> getCardBounds() const;
    juce::Rectangle<int> getFooterBounds() const;

    void paint (juce::Graphics& g) override;
    void resized() override;
    bool keyPressed (const juce::KeyPress& key) override;

private:
    void timerCallback() override;
    void setOutline (juce::Colour outline, juce::Colour focusedOutline);
    void flashErrorOutline();
    void updatePasteHint();

    juce::TextEditor jsonEditor;
    juce::DrawableButton chatGptButton { "ChatGPT", juce::DrawableButton::ImageAboveTextLabel };
    juce::DrawableButton geminiButton { "Gemini", juce::DrawableButton::ImageAboveTextLabel };
    juce::DrawableButton pasteButton { "Paste", juce::DrawableButton::ImageAboveTextLabel };
    juce::TextButton applyButton { "APPLY" };
    juce::TextButton closeButton { "Close" };
    juce::Label pasteHintLabel;
    juce::Label messageLabel;

    std::function<juce::String()> clipboardReader;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ChordJsonOverlay)
};
