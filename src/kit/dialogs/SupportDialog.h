#pragma once

#include "kit/dialogs/DialogCard.h"
#include "kit/services/SupportRequestClient.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <functional>

namespace velmar
{

// The kit's contact form: a card over the whole plug-in window with a reply e-mail address, a
// description of the problem and an optional snapshot of the current project, sent to the
// maker's support endpoint through a SupportRequestClient. It validates the input, shows
// progress and the outcome in its status line, and locks the form after a successful send.
// Message thread only; the client's worker reports back through the message thread, and a
// dialog that was closed, reopened or deleted meanwhile never sees that late answer.
class SupportDialog : public juce::Component
{
public:
    struct Config
    {
        juce::String productId;
        juce::String productName;
        juce::String version;
        juce::String format;
        juce::String includeProjectLabel;
        juce::String endpointUrl;
    };

    class DialogButtonLookAndFeel : public juce::LookAndFeel_V4
    {
    public:
        void drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour& backgroundColour,
                                   bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
        void drawButtonText (juce::Graphics& g, juce::TextButton& button,
                             bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
    };

    class ToggleLookAndFeel : public DialogCard::SwitchLookAndFeel
    {
    public:
        ToggleLookAndFeel() : DialogCard::SwitchLookAndFeel (12.5f) {}
    };

    class RoundedInputLookAndFeel : public juce::LookAndFeel_V4
    {
    public:
        void fillTextEditorBackground (juce::Graphics& g, int width, int height, juce::TextEditor& editor) override;
        void drawTextEditorOutline (juce::Graphics& g, int width, int height, juce::TextEditor& editor) override;
    };

    static constexpr int requestTimeoutMs = 10000;

    explicit SupportDialog (Config config);
    ~SupportDialog() override;

    // Resets the form (the e-mail field preset, trimmed) and shows it; a request still running
    // is stopped and delivers nothing.
    void open (const juce::String& presetEmail);

    // Send: validates, captures the snapshot when asked to and sends.
    void sendRequest();

    // The client's outcome, on the message thread.
    void showResponse (const SupportResponse& response);

    bool keyPressed (const juce::KeyPress& key) override;
    void paint (juce::Graphics& g) override;
    void resized() override;

    // Returns the current project as a restorable single-line JSON snapshot, or an empty text
    // when none can be made.
    std::function<juce::String()> getProjectSnapshot;

    // Called after the dialog hid itself.
    std::function<void()> onClose;

    juce::Rectangle<int> getCardBounds() const;
    juce::TextEditor& getEmailField() noexcept          { return emailField; }
    juce::TextEditor& getMessageField() noexcept        { return messageField; }
    juce::ToggleButton& getIncludeSwitch() noexcept     { return includeSwitch; }
    juce::TextButton& getCancelButton() noexcept        { return cancelButton; }
    juce::TextButton& getSendButton() noexcept          { return sendButton; }
    const juce::String& getStatusText() const noexcept  { return statusText; }
    bool isStatusError() const noexcept                 { return statusIsError; }
    bool isSent() const noexcept                        { return sent; }
    bool isSending() const noexcept                     { return client.isSending(); }
    juce::Rectangle<int> getEmailLabelArea() const noexcept    { return emailLabelArea; }
    juce::Rectangle<int> getMessageLabelArea() const noexcept  { return messageLabelArea; }
    juce::Rectangle<int> getNoteArea() const noexcept          { return noteArea; }
    juce::Rectangle<int> getStatusArea() const noexcept        { return statusArea; }

private:
    std::array<juce::Component*, 5> getFormControls();
    void close();
    void stopRequest();
    void focusField (juce::TextEditor& field);
    void setControlsEnabled (bool enabled);
    void setStatus (const juce::String& text, bool isError);

    const Config config;
    SupportRequestClient client;
    DialogButtonLookAndFeel buttonLook;
    ToggleLookAndFeel toggleLook;
    RoundedInputLookAndFeel inputLook;
    juce::TextEditor emailField { "Reply email" };
    juce::TextEditor messageField { "Problem description" };
    juce::ToggleButton includeSwitch;
    juce::TextButton cancelButton { "Cancel" };
    juce::TextButton sendButton { "Send to VELMAR" };
    juce::String statusText;
    bool statusIsError = false;
    bool sent = false;
    juce::Rectangle<int> emailLabelArea, messageLabelArea, noteArea, statusArea;

    // Which request the form waits for: stopping or reopening moves it on, so an answer that
    // was already on its way to the message thread is dropped.
    juce::uint32 currentRequest = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SupportDialog)
};

} // namespace velmar
