#include "kit/dialogs/WelcomeDialog.h"

#include "kit/dialogs/DialogCard.h"
#include "kit/dialogs/DialogColours.h"

namespace velmar
{

namespace
{
    namespace Colours = DialogColours;

    constexpr float paragraphFontHeight = 13.5f;
    constexpr int headerHeight = 45;
    constexpr int footerHeight = 40;
    constexpr int sideInset = 18;

    juce::AttributedString paragraph (const juce::String& text, juce::Colour colour)
    {
        juce::AttributedString attributed;
        attributed.setText (text);
        attributed.setFont (juce::Font (paragraphFontHeight));
        attributed.setColour (colour);
        attributed.setLineSpacing (2.0f);
        attributed.setJustification (juce::Justification::topLeft);
        attributed.setWordWrap (juce::AttributedString::byWord);
        return attributed;
    }

    juce::String productNameOf (const TelemetryClient& client)
    {
        const auto name = client.getConfig().productName.trim();
        return name.isEmpty() ? juce::String ("Product") : name;
    }

    // The card's parts for its bounds: header, footer and body, every size cut to what remains.
    struct CardParts
    {
        juce::Rectangle<int> header, body, footer;

        explicit CardParts (juce::Rectangle<int> card)
        {
            header = card.removeFromTop (headerHeight);
            footer = card.removeFromBottom (footerHeight);
            body = card;
        }
    };

    juce::Rectangle<int> contentColumn (juce::Rectangle<int> area, juce::Rectangle<int> card)
    {
        return { card.getX() + sideInset, area.getY(), juce::jmax (0, card.getWidth() - 2 * sideInset), area.getHeight() };
    }
} // namespace

//==============================================================================
void WelcomeDialog::DialogButtonLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button,
                                                                   const juce::Colour& backgroundColour,
                                                                   bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown)
{
    auto fill = backgroundColour;
    if (shouldDrawButtonAsHighlighted)
        fill = fill.interpolatedWith (Colours::teal, 0.14f);
    if (shouldDrawButtonAsDown)
        fill = fill.interpolatedWith (Colours::teal, 0.24f);

    const auto bounds = button.getLocalBounds().toFloat().reduced (0.5f);
    g.setColour (fill);
    g.fillRoundedRectangle (bounds, 6.0f);

    const bool primary = button.getProperties().getWithDefault ("isPrimary", false);
    g.setColour (primary ? Colours::teal : Colours::surface2);
    g.drawRoundedRectangle (bounds, 6.0f, 1.0f);

    if (button.hasKeyboardFocus (false))
    {
        g.setColour (Colours::text.withAlpha (0.82f));
        g.drawRoundedRectangle (button.getLocalBounds().toFloat().reduced (2.5f), 4.0f, 1.0f);
    }
}

void WelcomeDialog::DialogButtonLookAndFeel::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool, bool)
{
    g.setColour (button.findColour (button.getToggleState() ? juce::TextButton::textColourOnId
                                                            : juce::TextButton::textColourOffId));
    g.setFont (juce::Font (13.5f, juce::Font::bold));
    g.drawText (button.getButtonText(), button.getLocalBounds().reduced (6, 0), juce::Justification::centred, true);
}

void WelcomeDialog::LinkButton::paintButton (juce::Graphics& g, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown)
{
    auto colour = findColour (juce::HyperlinkButton::textColourId);

    if (shouldDrawButtonAsHighlighted)
        colour = Colours::linkHover.withAlpha (shouldDrawButtonAsDown ? 0.95f : 0.88f);

    g.setColour (colour);
    g.setFont (juce::Font (13.5f, juce::Font::bold));
    g.drawText (getButtonText(), getLocalBounds().reduced (1, 0), juce::Justification::centredLeft, true);
}

//==============================================================================
WelcomeDialog::WelcomeDialog (TelemetryClient& telemetryClient, Config config)
    : telemetry (telemetryClient),
      productName (productNameOf (telemetryClient)),
      description (config.description.trim())
{
    setName ("Welcome to " + productName);
    setInterceptsMouseClicks (true, true);

    consentSwitch.setLookAndFeel (&toggleLook);
    consentSwitch.setButtonText ("Help improve " + productName);
    consentSwitch.setToggleState (true, juce::dontSendNotification);
    consentSwitch.setColour (juce::ToggleButton::textColourId, Colours::text);
    consentSwitch.setColour (juce::ToggleButton::tickColourId, Colours::teal);
    consentSwitch.setColour (juce::ToggleButton::tickDisabledColourId, Colours::subtext0);
    consentSwitch.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    consentSwitch.setTooltip (TelemetryClient::consentText());

    termsLink.setButtonText ("Terms & Privacy");
    termsLink.setAddress (config.termsUrl);
    termsLink.setColour (juce::HyperlinkButton::textColourId, Colours::teal);

    continueButton.setLookAndFeel (&buttonLook);
    continueButton.getProperties().set ("isPrimary", true);
    continueButton.setColour (juce::TextButton::buttonColourId, Colours::teal);
    continueButton.setColour (juce::TextButton::textColourOffId, Colours::crust);
    continueButton.setColour (juce::TextButton::textColourOnId, Colours::crust);
    continueButton.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    continueButton.onClick = [this] { onContinue(); };

    addAndMakeVisible (consentSwitch);
    addAndMakeVisible (termsLink);
    addAndMakeVisible (continueButton);
}

WelcomeDialog::~WelcomeDialog()
{
    consentSwitch.setLookAndFeel (nullptr);
    continueButton.setLookAndFeel (nullptr);
}

bool WelcomeDialog::showIfNeeded()
{
    if (! telemetry.isWelcomeNeeded())
        return false;

    consentSwitch.setToggleState (true, juce::dontSendNotification);
    setVisible (true);
    return true;
}

void WelcomeDialog::onContinue()
{
    const auto enabled = consentSwitch.getToggleState();
    telemetry.setEnabled (enabled);
    telemetry.markWelcomeSeen();
    setVisible (false);

    if (onFinished != nullptr)
        onFinished (enabled);
}

int WelcomeDialog::measureText (const juce::String& text, int width)
{
    juce::TextLayout layout;
    layout.createLayout (paragraph (text, Colours::text), (float) juce::jmax (1, width));
    return juce::jmax (1, (int) (layout.getHeight() + 0.999f));
}

juce::Rectangle<int> WelcomeDialog::getCardBounds() const
{
    const auto availableWidth = juce::jmax (0, getWidth() - 24);
    const auto availableHeight = juce::jmax (0, getHeight() - 8);
    const auto width = juce::jmin (540, availableWidth);
    const auto textWidth = juce::jmax (1, width - 2 * sideInset);

    const auto wanted = juce::jmax (18, measureText (description, textWidth))
                        + measureText (TelemetryClient::consentText(), textWidth) + 151;
    const auto height = juce::jmin (wanted, availableHeight);

    return { 12 + (availableWidth - width) / 2, 4 + (availableHeight - height) / 2, width, height };
}

void WelcomeDialog::resized()
{
    const auto card = getCardBounds();
    const CardParts parts (card);

    auto footerRow = contentColumn (parts.footer.withTrimmedTop (6).withTrimmedBottom (6), card);
    continueButton.setBounds (footerRow.removeFromRight (juce::jmin (88, footerRow.getWidth())));
    termsLink.setBounds (footerRow.removeFromLeft (juce::jmin (144, footerRow.getWidth())));

    auto body = contentColumn (parts.body.withTrimmedTop (10).withTrimmedBottom (10), card);
    descriptionArea = body.removeFromTop (juce::jmax (18, measureText (description, body.getWidth())));
    body.removeFromTop (6);
    headingArea = body.removeFromTop (18);
    consentSwitch.setBounds (body.removeFromTop (22));
    consentArea = body.removeFromTop (measureText (TelemetryClient::consentText(), body.getWidth()));
}

void WelcomeDialog::paint (juce::Graphics& g)
{
    const auto card = getCardBounds();
    const CardParts parts (card);

    DialogCard::paintBackground (g, getLocalBounds(), card, parts.header.getHeight());
    DialogCard::paintTitle (g, "Welcome to " + productName, contentColumn (parts.header, card), 22.0f);
    DialogCard::paintFooter (g, parts.footer, 0.72f, (float) card.getX() + 1.0f, (float) card.getRight() - 1.0f, 0.38f);

    // A short window cuts the paragraphs; what does not fit is not drawn over the footer.
    const auto drawParagraph = [&g] (const juce::String& text, juce::Colour colour, juce::Rectangle<int> area)
    {
        if (area.isEmpty())
            return;

        const juce::Graphics::ScopedSaveState savedState (g);
        g.reduceClipRegion (area);
        paragraph (text, colour).draw (g, area.withHeight (juce::jmax (area.getHeight(), measureText (text, area.getWidth()))).toFloat());
    };

    drawParagraph (description, Colours::text, descriptionArea);

    g.setColour (Colours::teal);
    g.setFont (juce::Font (16.0f, juce::Font::bold));
    g.drawText ("Privacy", headingArea, juce::Justification::centredLeft, true);

    drawParagraph (TelemetryClient::consentText(), Colours::text.withAlpha (0.9f), consentArea);

    DialogCard::paintBorder (g, card);
}

} // namespace velmar
