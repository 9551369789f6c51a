#include "kit/dialogs/HelpDialog.h"

#include "kit/dialogs/DialogColours.h"
#include "kit/dialogs/UpdateVersionText.h"
#include "kit/platform/WebAddressOpener.h"
#include "kit/services/ServiceAddresses.h"
#include "kit/services/TelemetryClient.h"

#include <cmath>

namespace velmar
{

namespace
{
    namespace Colours = DialogColours;

    constexpr int headerHeight = 55;
    constexpr int footerHeight = 38;
    constexpr float cornerRadius = 6.0f;

    // Outline icons in a 24 x 24 view box.
    juce::String iconSvg (const char* shapes)
    {
        return juce::String ("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 24 24\" width=\"24\" height=\"24\">"
                             "<g fill=\"none\" stroke=\"#cad3f5\" stroke-width=\"1.8\" stroke-linecap=\"round\" stroke-linejoin=\"round\">")
               + shapes + "</g></svg>";
    }

    const char* const globeIcon =
        "<circle cx=\"12\" cy=\"12\" r=\"9\"/>"
        "<ellipse cx=\"12\" cy=\"12\" rx=\"4\" ry=\"9\"/>"
        "<path d=\"M3 12h18M4.6 7.5h14.8M4.6 16.5h14.8\"/>";

    const char* const chatFaceIcon =
        "<path d=\"M6.5 3.5h11a2.5 2.5 0 0 1 2.5 2.5v7.5a2.5 2.5 0 0 1-2.5 2.5H10l-4.5 4v-4a2.5 2.5 0 0 1-1.5-2.5V6a2.5 2.5 0 0 1 2.5-2.5z\"/>"
        "<circle cx=\"9.5\" cy=\"9.5\" r=\"0.9\"/>"
        "<circle cx=\"14.5\" cy=\"9.5\" r=\"0.9\"/>";

    const char* const envelopeIcon =
        "<rect x=\"3\" y=\"5.5\" width=\"18\" height=\"13\" rx=\"2\"/>"
        "<path d=\"M3.5 7l8.5 6 8.5-6\"/>";

    const char* const openBookIcon =
        "<path d=\"M12 6.5C10 5 7 4.5 3 4.5v13c4 0 7 0.5 9 2 2-1.5 5-2 9-2v-13c-4 0-7 0.5-9 2z\"/>"
        "<path d=\"M12 6.5v13\"/>";

    void styleLink (juce::HyperlinkButton& link, juce::Colour colour)
    {
        link.setFont (juce::Font (14.0f, juce::Font::bold), false, juce::Justification::centredLeft);
        link.setColour (juce::HyperlinkButton::textColourId, colour);
        link.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    }
} // namespace

//==============================================================================
HelpDialog::LookAndFeel::LookAndFeel()
{
    setColour (juce::TextButton::buttonColourId, Colours::base);
    setColour (juce::TextButton::textColourOffId, Colours::text);
    setColour (juce::TextButton::textColourOnId, Colours::text);
    setColour (juce::ToggleButton::textColourId, Colours::text);
    setColour (juce::ToggleButton::tickColourId, Colours::teal);
    setColour (juce::TooltipWindow::backgroundColourId, Colours::base);
    setColour (juce::TooltipWindow::textColourId, Colours::text);
    setColour (juce::TooltipWindow::outlineColourId, Colours::surface2);
}

juce::Font HelpDialog::LookAndFeel::getTextButtonFont (juce::TextButton&, int)
{
    return juce::Font (13.0f);
}

void HelpDialog::LookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour&,
                                                    bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown)
{
    auto fill = Colours::base;

    if (shouldDrawButtonAsDown)
        fill = fill.brighter (0.15f);
    else if (shouldDrawButtonAsHighlighted)
        fill = fill.brighter (0.07f);

    const auto bounds = juce::Rectangle<float> (0.5f, 0.5f,
                                                juce::jmax (0.0f, (float) button.getWidth() - 1.0f),
                                                juce::jmax (0.0f, (float) button.getHeight() - 1.0f));
    g.setColour (fill);
    g.fillRoundedRectangle (bounds, 4.0f);

    g.setColour (button.hasKeyboardFocus (true) ? Colours::teal : Colours::surface2.withAlpha (0.6f));
    g.drawRoundedRectangle (bounds, 4.0f, 1.0f);
}

//==============================================================================
HelpDialog::Content::Content (const Info& infoToShow)
    : info (infoToShow)
{
    for (auto* link : { &downloadLink, &mcpLink, &termsLink, &noticesLink, &extraLink })
    {
        styleLink (*link, link == &downloadLink ? Colours::pink : Colours::teal);
        addChildComponent (*link);
    }

    mcpLink.setAddress (getMcpPageUrl());
    termsLink.setAddress (getTermsPageUrl());
    noticesLink.setAddress (getThirdPartyNoticesUrl());
    extraLink.setButtonText (info.extraLinkText);
    extraLink.setAddress (info.extraLinkUrl);

    telemetryToggle.setButtonText ("Help improve " + info.productName);
    telemetryToggle.setTooltip (TelemetryClient::consentText());
    addAndMakeVisible (telemetryToggle);

    copyIdButton.setTooltip ("Copy this " + info.productName + " MCP instance ID");
    copyIdButton.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    copyIdButton.onClick = [this] { copyInstanceId(); };
    addChildComponent (copyIdButton);

    instanceIdLabel.setFont (juce::Font (13.0f));
    instanceIdLabel.setColour (juce::Label::textColourId, Colours::text);
    instanceIdLabel.setBorderSize (juce::BorderSize<int> (0));
    instanceIdLabel.setTitle ("Current instance ID");
    addChildComponent (instanceIdLabel);
}

HelpDialog::Content::~Content()
{
    stopTimer();
}

int HelpDialog::Content::measureText (const juce::String& text, int x, int y, int width,
                                      float fontHeight, juce::Colour colour, bool bold)
{
    juce::AttributedString attributed;
    attributed.setText (text);
    attributed.setFont (juce::Font (fontHeight, bold ? juce::Font::bold : juce::Font::plain));
    attributed.setColour (colour);
    attributed.setJustification (juce::Justification::topLeft);
    attributed.setLineSpacing (1.0f);
    attributed.setWordWrap (juce::AttributedString::byWord);

    TextBlock block;
    block.text = text;
    width = juce::jmax (1, width);
    block.layout.createLayout (attributed, (float) width);

    const auto height = (int) std::ceil (block.layout.getHeight());
    block.bounds = { x, y, width, height };
    textBlocks.push_back (std::move (block));
    return height;
}

int HelpDialog::Content::heading (const juce::String& text, int y, int width)
{
    return measureText (text, 20, y, width, 18.0f, Colours::teal, true);
}

int HelpDialog::Content::bodyText (const juce::String& text, int x, int y, int width)
{
    return measureText (text, x, y, width, 14.0f, Colours::text, false);
}

const HelpDialog::Content::TextBlock* HelpDialog::Content::findTextBlock (const juce::String& text) const
{
    for (auto& block : textBlocks)
        if (block.text == text)
            return &block;

    return nullptr;
}

void HelpDialog::Content::layout (int width)
{
    const auto textWidth = juce::jmax (1, width - 40);
    auto y = 20;

    textBlocks.clear();
    updateBox = {};
    instanceBox = {};
    downloadLink.setVisible (updateVersion.isNotEmpty());

    if (updateVersion.isNotEmpty())
    {
        const bool narrow = textWidth < 480;
        updateBox = { 20, 20, textWidth, narrow ? 90 : 64 };
        const auto noticeWidth = narrow ? width - 64 : width - 208;

        const auto firstLine = measureText (updateAvailableText (updateVersion), 32, 30, noticeWidth, 15.0f, Colours::text, true);
        measureText ("Download the latest " + info.productName + " version.", 32, 30 + firstLine + 4, noticeWidth,
                     13.0f, Colours::subtext0, false);

        downloadLink.setBounds (narrow ? juce::Rectangle<int> (32, 78, 138, 24)
                                       : juce::Rectangle<int> (width - 170, 40, 138, 24));
        y = updateBox.getHeight() + 44;
    }

    const auto labelColumn = juce::jmin (220, 2 * textWidth / 5);

    for (const auto& section : info.sections)
    {
        if (section.title.isNotEmpty())
            y += heading (section.title, y, textWidth) + 8;

        if (section.body.isNotEmpty())
            y += bodyText (section.body, 20, y, textWidth) + 12;

        for (const auto& item : section.items)
        {
            const auto labelHeight = bodyText (item.label, 20, y, juce::jmax (1, labelColumn - 12));
            const auto textHeight = bodyText (item.text, labelColumn + 20, y, juce::jmax (1, textWidth - labelColumn));
            y += juce::jmax (22, labelHeight, textHeight) + 2;
        }

        y += 12;
    }

    const bool showMcp = info.mcpDescription.isNotEmpty();
    const bool showInstance = showMcp && instanceId.isNotEmpty();
    mcpLink.setVisible (showMcp);
    copyIdButton.setVisible (showInstance);
    copyIdButton.setEnabled (instanceId.isNotEmpty());
    instanceIdLabel.setVisible (showInstance);

    if (showMcp)
    {
        y += heading ("Velmar MCP", y, textWidth) + 8;
        y += bodyText (info.mcpDescription, 20, y, textWidth) + 12;

        if (showInstance)
        {
            const bool narrow = textWidth < 420;
            instanceBox = { 20, y, textWidth, narrow ? 88 : 58 };
            measureText ("Current instance ID", 32, y + 8, width - 64, 12.0f, Colours::subtext0, true);
            instanceIdLabel.setText (instanceId, juce::dontSendNotification);
            instanceIdLabel.setBounds (32, y + 28, narrow ? textWidth - 24 : textWidth - 112, 18);
            copyIdButton.setBounds (width - 108, narrow ? y + 56 : y + 17, 76, 24);
            mcpLink.setBounds (20, y + instanceBox.getHeight() + 8, 190, 24);
            y += instanceBox.getHeight() + 56;
        }
        else
        {
            // Without an instance (no bridge) the row is left out and the link moves up.
            mcpLink.setBounds (20, y, 190, 24);
            y += 48;
        }
    }

    y += heading ("Privacy", y, textWidth) + 8;
    telemetryToggle.setBounds (20, y, textWidth, 24);
    const auto consentHeight = bodyText (TelemetryClient::consentText(), 20, y + 32, textWidth);
    const auto termsY = consentHeight > 0 ? y + 32 + consentHeight + 12 : y + 32;
    termsLink.setBounds (20, termsY, 160, 24);
    termsLink.setVisible (true);
    y = termsY + 48;

    y += heading ("Third-party notices", y, textWidth) + 8;
    const auto credits = info.creditsText.isEmpty() ? juce::String ("Built with JUCE.")
                                                    : "Built with JUCE. " + info.creditsText;
    y += bodyText (credits, 20, y, textWidth) + 12;

    extraLink.setVisible (info.extraLinkUrl.isNotEmpty());

    if (info.extraLinkUrl.isNotEmpty())
    {
        extraLink.setBounds (20, y, textWidth, 24);
        y += 32;
    }

    noticesLink.setBounds (20, y, 180, 24);
    noticesLink.setVisible (true);

    setSize (width, y + 44);
    repaint();
}

void HelpDialog::Content::paint (juce::Graphics& g)
{
    const auto drawBox = [&g] (juce::Rectangle<int> box, juce::Colour outline)
    {
        if (box.getWidth() <= 0 || box.getHeight() <= 0)
            return;

        g.setColour (Colours::base);
        g.fillRoundedRectangle (box.toFloat(), cornerRadius);
        g.setColour (outline);
        g.drawRoundedRectangle (box.toFloat().translated (0.5f, 0.5f).withSize ((float) box.getWidth() - 1.0f,
                                                                                (float) box.getHeight() - 1.0f),
                                cornerRadius, 1.0f);
    };

    drawBox (updateBox, Colours::pink);
    drawBox (instanceBox, Colours::surface2);

    for (const auto& block : textBlocks)
        block.layout.draw (g, block.bounds.toFloat());
}

void HelpDialog::Content::copyInstanceId()
{
    if (instanceId.isEmpty())
        return;

    juce::SystemClipboard::copyTextToClipboard (instanceId);
    copyIdButton.setButtonText ("Copied");

    pendingResets.push_back (juce::Time::getMillisecondCounter() + (juce::uint32) copiedMs);

    if (! isTimerRunning())
        startTimer (copiedMs);
}

void HelpDialog::Content::timerCallback()
{
    const auto now = juce::Time::getMillisecondCounter();
    bool due = false;

    while (! pendingResets.empty() && (juce::int32) (pendingResets.front() - now) <= 0)
    {
        pendingResets.pop_front();
        due = true;
    }

    if (due)
        copyIdButton.setButtonText ("Copy ID");

    if (pendingResets.empty())
        stopTimer();
    else
        startTimer (juce::jmax (1, (int) (juce::int32) (pendingResets.front() - now)));
}

//==============================================================================
HelpDialog::HelpDialog (const Info& infoToShow)
    : info (infoToShow),
      content (info)
{
    setLookAndFeel (&lookAndFeel);
    setWantsKeyboardFocus (true);
    setInterceptsMouseClicks (true, true);
    setTitle ("Help & Privacy");

    viewport.setViewedComponent (&content, false);
    viewport.setScrollBarsShown (true, false, true, false);
    viewport.setSingleStepSizes (16, 48);
    viewport.setScrollBarThickness (6);
    viewport.getVerticalScrollBar().setColour (juce::ScrollBar::thumbColourId, Colours::teal);
    addAndMakeVisible (viewport);

    closeButton.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    closeButton.onClick = [this] { closeDialog(); };
    addAndMakeVisible (closeButton);

    addLinkButton (websiteButton, iconSvg (globeIcon), "Open Velmar website", getWebsiteUrl());
    addLinkButton (discordButton, iconSvg (chatFaceIcon), "Join Velmar on Discord", getCommunityInviteUrl());
    addLinkButton (emailButton, iconSvg (envelopeIcon), "Contact VELMAR support", getContactPageUrl());
    addLinkButton (documentationButton, iconSvg (openBookIcon), "Open " + info.productName + " user guide", info.guideUrl);
    documentationButton.setVisible (info.guideUrl.isNotEmpty());

    emailButton.onClick = [this]
    {
        if (onContact != nullptr)
            onContact();
        else
            openWebAddress (getContactPageUrl());
    };

    content.telemetryToggle.onClick = [this]
    {
        if (onTelemetryToggled != nullptr)
            onTelemetryToggled (content.telemetryToggle.getToggleState());
    };
}

HelpDialog::~HelpDialog()
{
    setLookAndFeel (nullptr);
}

void HelpDialog::addLinkButton (juce::DrawableButton& button, const juce::String& svg,
                                const juce::String& tooltip, const juce::String& address)
{
    std::unique_ptr<juce::Drawable> normal, highlighted;

    if (auto xml = juce::XmlDocument::parse (svg))
        normal = juce::Drawable::createFromSVG (*xml);

    if (normal != nullptr)
    {
        highlighted = normal->createCopy();
        highlighted->replaceColour (Colours::text, juce::Colours::white);
    }

    button.setImages (normal.get(), highlighted.get(), highlighted.get());
    button.setEdgeIndent (2);
    button.setTooltip (tooltip);
    button.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    button.onClick = [address]
    {
        if (address.isNotEmpty())
            openWebAddress (address);
    };
    addAndMakeVisible (button);
}

juce::Rectangle<int> HelpDialog::getPanelBounds() const
{
    const auto w = getWidth();
    const auto h = getHeight();
    const auto margin = juce::jmin (40, juce::jmin (w, h) / 12);
    const auto availableWidth = juce::jmax (0, w - 2 * margin);
    const auto availableHeight = juce::jmax (0, h - 2 * margin);
    const auto width = juce::jmin (880, availableWidth);
    const auto height = juce::jmin (680, availableHeight);

    return { margin + (availableWidth - width) / 2, margin + (availableHeight - height) / 2, width, height };
}

void HelpDialog::resized()
{
    const auto card = getPanelBounds();
    const auto header = juce::jmin (card.getHeight(), headerHeight);
    const auto footer = juce::jmin (card.getHeight() - header, footerHeight);

    closeButton.setBounds (card.getX() + juce::jmax (0, card.getWidth() - 50) - 43, card.getY() + 15, 68, 24);

    // The icon row always ends 18 pixels left of "Close".
    auto iconX = closeButton.getX() - (documentationButton.isVisible() ? 132 : 102);

    for (auto* icon : { &websiteButton, &discordButton, &emailButton, &documentationButton })
    {
        if (! icon->isVisible())
            continue;

        icon->setBounds (iconX, closeButton.getY(), 24, 24);
        iconX += 30;
    }

    viewport.setBounds (card.getX() + 10, card.getY() + header + 10,
                        juce::jmax (0, card.getWidth() - 20),
                        juce::jmax (0, card.getHeight() - header - footer - 20));

    content.layout (juce::jmax (1, viewport.getWidth() - 12));
    repaint();
}

void HelpDialog::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black.withAlpha (0.7f));

    const auto card = getPanelBounds();
    const auto cardF = card.toFloat();
    const auto x = (float) card.getX();
    const auto y = (float) card.getY();
    const auto w = (float) card.getWidth();
    const auto h = (float) card.getHeight();

    g.setColour (Colours::helpCard);
    g.fillRoundedRectangle (cardF, cornerRadius);

    // Header with only its top corners rounded.
    g.setColour (Colours::crust);
    g.fillRoundedRectangle (x, y, w, (float) headerHeight, cornerRadius);
    g.fillRect (x, y + 6.0f, w, (float) headerHeight - 6.0f);

    g.setColour (Colours::text);
    g.setFont (juce::Font (22.0f, juce::Font::bold));
    g.drawFittedText ("Help & Privacy",
                      juce::Rectangle<int> (card.getX() + 25, card.getY(), juce::jmax (1, card.getWidth() - 265), headerHeight),
                      juce::Justification::centredLeft, 1, 0.75f);

    const auto footerTop = y + h - (float) footerHeight;
    g.setColour (Colours::crust);
    g.fillRect (x, footerTop, w, (float) footerHeight);
    g.setColour (Colours::surface2.withAlpha (0.5f));
    g.drawHorizontalLine ((int) footerTop, x, x + w);

    const auto versionWidth = juce::jmin (90, juce::jmax (0, card.getWidth() - 50));
    const auto versionX = card.getWidth() > 50 ? card.getRight() - 25 - versionWidth : card.getX() + 25;
    g.setColour (Colours::subtext0);
    g.setFont (juce::Font (12.0f));
    g.drawText ("v" + info.version, juce::Rectangle<int> (versionX, (int) footerTop, versionWidth, footerHeight),
                juce::Justification::centredRight, true);

    g.setColour (Colours::surface2);
    g.drawRoundedRectangle (juce::Rectangle<float> (x + 0.5f, y + 0.5f, juce::jmax (0.0f, w - 1.0f), juce::jmax (0.0f, h - 1.0f)),
                            cornerRadius, 1.0f);
}

bool HelpDialog::keyPressed (const juce::KeyPress& key)
{
    if (key == juce::KeyPress::escapeKey)
    {
        closeDialog();
        return true;
    }

    return viewport.keyPressed (key);
}

void HelpDialog::closeDialog()
{
    setVisible (false);

    if (onClose != nullptr)
        onClose();
}

} // namespace velmar
