#pragma once

#include "kit/dialogs/SafeHyperlinkButton.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <deque>
#include <functional>
#include <vector>

namespace velmar
{

// The kit's "Help & Privacy" card over the plug-in window: the product's help sections, an
// optional update notice, the AI-client (MCP) block with the instance id, the telemetry
// opt-in, links to the maker's pages and the credits. The kit draws and lays out everything; a
// product supplies its content in an Info, reacts to the callbacks, keeps the content's update
// version, instance id, download address and toggle state current and calls resized() after
// changing them. Every link opens through the kit's web-address opener. Message thread only.
class HelpDialog : public juce::Component
{
public:
    struct Item
    {
        juce::String label, text;   // a two-column row
    };

    struct Section
    {
        juce::String title, body;   // empty ones are skipped
        std::vector<Item> items;
    };

    struct Info
    {
        juce::String productName;
        juce::String version;        // shown as "v" + version in the footer
        juce::String guideUrl;       // empty hides the guide button
        std::vector<Section> sections;
        juce::String mcpDescription; // empty hides the whole MCP block
        juce::String creditsText;    // appended to the credits line
        juce::String extraLinkText;
        juce::String extraLinkUrl;   // empty hides the extra link
    };

    class LookAndFeel : public juce::LookAndFeel_V4
    {
    public:
        LookAndFeel();

        juce::Font getTextButtonFont (juce::TextButton&, int buttonHeight) override;
        void drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour& backgroundColour,
                                   bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
    };

    // The scrolling text of the card.
    class Content : public juce::Component,
                    private juce::Timer
    {
    public:
        explicit Content (const Info& info);
        ~Content() override;

        // Lays every paragraph and child out for this width and sizes the content to fit.
        void layout (int width);
        void paint (juce::Graphics& g) override;

        // Lays a paragraph out at (x, y) for the width (at least 1), keeps it for painting and
        // returns its height in whole pixels.
        int measureText (const juce::String& text, int x, int y, int width,
                         float fontHeight, juce::Colour colour, bool bold);

        // "Copy ID": puts the instance id on the clipboard and reads "Copied" for 1200 ms.
        void copyInstanceId();

        struct TextBlock
        {
            juce::String text;
            juce::Rectangle<int> bounds;
            juce::TextLayout layout;
        };

        const std::vector<TextBlock>& getTextBlocks() const noexcept { return textBlocks; }
        const TextBlock* findTextBlock (const juce::String& text) const;
        juce::Rectangle<int> getUpdateBox() const noexcept          { return updateBox; }
        juce::Rectangle<int> getInstanceBox() const noexcept        { return instanceBox; }

        // Kept current by the product.
        juce::String updateVersion;   // empty: no update notice
        juce::String instanceId;      // empty: no instance row

        SafeHyperlinkButton downloadLink { "Download update" };
        juce::ToggleButton telemetryToggle;
        juce::TextButton copyIdButton { "Copy ID" };
        juce::Label instanceIdLabel;
        SafeHyperlinkButton mcpLink { "Set up Velmar MCP" };
        SafeHyperlinkButton termsLink { "Terms & Privacy" };
        SafeHyperlinkButton noticesLink { "Third-party notices" };
        SafeHyperlinkButton extraLink;

        static constexpr int copiedMs = 1200;

    private:
        void timerCallback() override;
        int heading (const juce::String& text, int y, int width);
        int bodyText (const juce::String& text, int x, int y, int width);

        const Info& info;
        std::vector<TextBlock> textBlocks;
        juce::Rectangle<int> updateBox, instanceBox;

        // Each press of "Copy ID" schedules its own reset; the timer is owned, so no reset can
        // outlive the content.
        std::deque<juce::uint32> pendingResets;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Content)
    };

    explicit HelpDialog (const Info& info);
    ~HelpDialog() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    bool keyPressed (const juce::KeyPress& key) override;

    // The card for the dialog's current size.
    juce::Rectangle<int> getPanelBounds() const;

    // An icon button (24 x 24 SVG outline drawing) that opens the address when clicked.
    void addLinkButton (juce::DrawableButton& button, const juce::String& iconSvg,
                        const juce::String& tooltip, const juce::String& address);

    std::function<void()> onClose;
    std::function<void()> onContact;
    std::function<void (bool enabled)> onTelemetryToggled;

    const Info& getInfo() const noexcept                 { return info; }
    Content& getContent() noexcept                       { return content; }
    juce::Viewport& getViewport() noexcept               { return viewport; }
    juce::TextButton& getCloseButton() noexcept          { return closeButton; }
    juce::DrawableButton& getWebsiteButton() noexcept    { return websiteButton; }
    juce::DrawableButton& getDiscordButton() noexcept    { return discordButton; }
    juce::DrawableButton& getEmailButton() noexcept      { return emailButton; }
    juce::DrawableButton& getGuideButton() noexcept      { return documentationButton; }

private:
    void closeDialog();

    const Info info;
    LookAndFeel lookAndFeel;
    juce::TooltipWindow tooltipWindow { this, 700 };
    juce::TextButton closeButton { "Close" };
    juce::DrawableButton websiteButton { "Website", juce::DrawableButton::ImageFitted };
    juce::DrawableButton discordButton { "Discord", juce::DrawableButton::ImageFitted };
    juce::DrawableButton emailButton { "Email", juce::DrawableButton::ImageFitted };
    juce::DrawableButton documentationButton { "Documentation", juce::DrawableButton::ImageFitted };
    juce::Viewport viewport;
    Content content;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HelpDialog)
};

} // namespace velmar
