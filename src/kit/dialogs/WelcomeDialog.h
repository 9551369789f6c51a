#pragma once

#include "kit/dialogs/DialogCard.h"
#include "kit/dialogs/SafeHyperlinkButton.h"
#include "kit/services/TelemetryClient.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace velmar
{

// The first-run card over the whole plug-in window: a greeting, the product's description,
// the telemetry consent switch (on by default), a link to the terms page and "Continue", which
// stores the answer and the seen welcome version through the telemetry client. It shows once
// per welcome version and offers no other way out: no keys, and clicks outside the card stop
// at the card's scrim. Message thread only.
class WelcomeDialog : public juce::Component
{
public:
    struct Config
    {
        juce::String description;
        juce::String termsUrl;
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
        ToggleLookAndFeel() : DialogCard::SwitchLookAndFeel (13.5f) {}
    };

    // The terms link, drawn as bold text that brightens under the mouse.
    class LinkButton : public SafeHyperlinkButton
    {
    public:
        using SafeHyperlinkButton::SafeHyperlinkButton;
        void paintButton (juce::Graphics& g, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
    };

    // The client must outlive the card.
    WelcomeDialog (TelemetryClient& telemetryClient, Config config);
    ~WelcomeDialog() override;

    // Shows the card with the switch on when the configured welcome version has not been seen.
    bool showIfNeeded();

    // Stores the consent answer and the seen welcome version, hides the card and reports the
    // switch state through onFinished.
    void onContinue();

    void paint (juce::Graphics& g) override;
    void resized() override;

    // The card for the current size: as wide as the window allows up to 540, as high as its
    // measured texts need.
    juce::Rectangle<int> getCardBounds() const;

    // The height of a paragraph of the card (regular 13.5, line spacing 2) laid out for the
    // width, rounded up, at least 1.
    static int measureText (const juce::String& text, int width);

    std::function<void (bool telemetryEnabled)> onFinished;

    const juce::String& getProductName() const noexcept        { return productName; }
    juce::ToggleButton& getConsentSwitch() noexcept            { return consentSwitch; }
    LinkButton& getTermsLink() noexcept                        { return termsLink; }
    juce::TextButton& getContinueButton() noexcept             { return continueButton; }
    juce::Rectangle<int> getDescriptionArea() const noexcept   { return descriptionArea; }
    juce::Rectangle<int> getHeadingArea() const noexcept       { return headingArea; }
    juce::Rectangle<int> getConsentArea() const noexcept       { return consentArea; }

private:
    TelemetryClient& telemetry;
    const juce::String productName;
    const juce::String description;
    DialogButtonLookAndFeel buttonLook;
    ToggleLookAndFeel toggleLook;
    juce::ToggleButton consentSwitch;
    LinkButton termsLink;
    juce::TextButton continueButton { "Continue" };
    juce::Rectangle<int> descriptionArea, headingArea, consentArea;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WelcomeDialog)
};

} // namespace velmar
