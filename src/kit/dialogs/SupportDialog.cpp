#include "kit/dialogs/SupportDialog.h"

#include "kit/dialogs/DialogCard.h"
#include "kit/dialogs/DialogColours.h"
#include "kit/services/ServiceAddresses.h"

namespace velmar
{

namespace
{
    namespace Colours = DialogColours;

    constexpr int headerHeight = 40;
    constexpr int footerHeight = 42;
    constexpr int sideInset = 16;

    const char* const privacyNote = "Product, version, operating system, and plugin format are included. "
                                    "Project JSON is sent only when selected.";
} // namespace

//==============================================================================
void SupportDialog::DialogButtonLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button,
                                                                   const juce::Colour& backgroundColour,
                                                                   bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown)
{
    auto fill = backgroundColour;
    if (shouldDrawButtonAsHighlighted)
        fill = fill.interpolatedWith (Colours::hover, 0.72f);
    if (shouldDrawButtonAsDown)
        fill = fill.interpolatedWith (Colours::hover, 0.9f);
    if (! button.isEnabled())
        fill = fill.withMultipliedAlpha (0.45f);

    const auto bounds = button.getLocalBounds().toFloat().reduced (0.5f);
    g.setColour (fill);
    g.fillRoundedRectangle (bounds, 6.0f);

    g.setColour (Colours::surface2.withAlpha (shouldDrawButtonAsHighlighted ? 0.7f : 0.42f));
    g.drawRoundedRectangle (bounds, 6.0f, 1.0f);

    if (button.hasKeyboardFocus (false))
    {
        g.setColour (Colours::teal.withAlpha (0.82f));
        g.drawRoundedRectangle (button.getLocalBounds().toFloat().reduced (2.0f), 5.0f, 1.0f);
    }
}

void SupportDialog::DialogButtonLookAndFeel::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool, bool)
{
    const auto colour = button.findColour (button.getToggleState() ? juce::TextButton::textColourOnId
                                                                   : juce::TextButton::textColourOffId);
    g.setColour (button.isEnabled() ? colour : colour.withMultipliedAlpha (0.48f));
    g.setFont (juce::Font (12.5f, juce::Font::bold));
    g.drawText (button.getButtonText(), button.getLocalBounds().reduced (8, 0), juce::Justification::centred, true);
}

void SupportDialog::RoundedInputLookAndFeel::fillTextEditorBackground (juce::Graphics& g, int width, int height, juce::TextEditor& editor)
{
    g.setColour (editor.findColour (juce::TextEditor::backgroundColourId));
    g.fillRoundedRectangle (0.5f, 0.5f, (float) width - 1.0f, (float) height - 1.0f, 6.0f);
}

void SupportDialog::RoundedInputLookAndFeel::drawTextEditorOutline (juce::Graphics& g, int width, int height, juce::TextEditor& editor)
{
    const bool focused = editor.hasKeyboardFocus (true);
    g.setColour (editor.findColour (focused ? juce::TextEditor::focusedOutlineColourId : juce::TextEditor::outlineColourId));
    g.drawRoundedRectangle (0.5f, 0.5f, (float) width - 1.0f, (float) height - 1.0f, 6.0f, focused ? 2.0f : 1.0f);
}

//==============================================================================
SupportDialog::SupportDialog (Config configToUse)
    : config (std::move (configToUse)),
      client ({ config.endpointUrl, requestTimeoutMs })
{
    setName ("Contact VELMAR support");
    setInterceptsMouseClicks (true, true);
    setWantsKeyboardFocus (true);

    for (auto* field : { &emailField, &messageField })
    {
        field->setLookAndFeel (&inputLook);
        field->setColour (juce::TextEditor::backgroundColourId, Colours::mantle);
        field->setColour (juce::TextEditor::textColourId, Colours::text);
        field->setColour (juce::TextEditor::outlineColourId, Colours::surface2.withAlpha (0.72f));
        field->setColour (juce::TextEditor::focusedOutlineColourId, Colours::teal.withAlpha (0.84f));
        field->setColour (juce::TextEditor::highlightColourId, Colours::teal.withAlpha (0.24f));
        field->setColour (juce::TextEditor::highlightedTextColourId, Colours::text);
        field->setColour (juce::TextEditor::shadowColourId, juce::Colours::transparentBlack);
        field->setFont (juce::Font (13.0f));
    }

    emailField.setMultiLine (false);
    emailField.setInputRestrictions (254);
    emailField.setTextToShowWhenEmpty ("name@example.com", Colours::subtext0.withAlpha (0.72f));

    messageField.setMultiLine (true, true);
    messageField.setReturnKeyStartsNewLine (true);
    messageField.setScrollbarsShown (true);
    messageField.setInputRestrictions (4000);
    messageField.setTextToShowWhenEmpty ("Describe what happened and what you expected.", Colours::subtext0.withAlpha (0.72f));

    includeSwitch.setLookAndFeel (&toggleLook);
    includeSwitch.setButtonText (config.includeProjectLabel);
    includeSwitch.setClickingTogglesState (true);
    includeSwitch.setToggleState (false, juce::dontSendNotification);
    includeSwitch.setColour (juce::ToggleButton::textColourId, Colours::text);
    includeSwitch.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    includeSwitch.setTooltip ("Optional. Includes a restorable JSON snapshot of the current plugin project.");

    cancelButton.setLookAndFeel (&buttonLook);
    cancelButton.setColour (juce::TextButton::buttonColourId, Colours::raised);
    cancelButton.setColour (juce::TextButton::textColourOffId, Colours::text);
    cancelButton.setColour (juce::TextButton::textColourOnId, Colours::text);
    cancelButton.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    cancelButton.onClick = [this] { close(); };

    sendButton.setLookAndFeel (&buttonLook);
    sendButton.getProperties().set ("isPrimary", true);
    sendButton.setColour (juce::TextButton::buttonColourId, Colours::teal);
    sendButton.setColour (juce::TextButton::textColourOffId, Colours::crust);
    sendButton.setColour (juce::TextButton::textColourOnId, Colours::crust);
    sendButton.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    sendButton.onClick = [this] { sendRequest(); };

    for (auto* child : getFormControls())
        addAndMakeVisible (child);
}

SupportDialog::~SupportDialog()
{
    stopRequest();

    for (auto* child : getFormControls())
        child->setLookAndFeel (nullptr);
}

std::array<juce::Component*, 5> SupportDialog::getFormControls()
{
    return { &emailField, &messageField, &includeSwitch, &cancelButton, &sendButton };
}

void SupportDialog::stopRequest()
{
    client.cancel();
    ++currentRequest;
}

void SupportDialog::open (const juce::String& presetEmail)
{
    stopRequest();

    emailField.setText (presetEmail.trim(), false);
    messageField.clear();
    includeSwitch.setToggleState (false, juce::dontSendNotification);

    statusText.clear();
    statusIsError = false;
    sent = false;

    cancelButton.setButtonText ("Cancel");
    sendButton.setButtonText ("Send to VELMAR");
    setControlsEnabled (true);

    setVisible (true);
    toFront (false);
    focusField (emailField);
    repaint();
}

void SupportDialog::sendRequest()
{
    if (client.isSending() || sent)
        return;

    const auto email = emailField.getText().trim();
    const auto message = messageField.getText().trim();

    if (! juce::URL::isProbablyAnEmailAddress (email))
    {
        setStatus ("Enter a valid reply email.", true);
        focusField (emailField);
        return;
    }

    if (message.length() < 10)
    {
        setStatus ("Describe the issue in at least 10 characters.", true);
        focusField (messageField);
        return;
    }

    juce::String snapshot;

    if (includeSwitch.getToggleState())
    {
        if (getProjectSnapshot != nullptr)
            snapshot = getProjectSnapshot().trim();

        if (snapshot.isEmpty())
        {
            setStatus ("The current project could not be captured.", true);
            return;
        }
    }

    SupportRequest request;
    request.replyEmail = email;
    request.message = message;
    request.product = config.productId;
    request.productName = config.productName;
    request.version = config.version;
    request.platform = getPlatformName();
    request.format = config.format;
    request.projectJson = snapshot;

    setControlsEnabled (false);
    setStatus ("Sending securely...", false);

    const auto requestNumber = ++currentRequest;
    const auto accepted = client.send (request, [safeThis = juce::Component::SafePointer<SupportDialog> (this), requestNumber] (const SupportResponse& response)
    {
        if (safeThis != nullptr && safeThis->currentRequest == requestNumber)
            safeThis->showResponse (response);
    });

    if (! accepted)
    {
        setControlsEnabled (! sent);
        setStatus ("A support request is already being sent.", true);
    }
}

void SupportDialog::showResponse (const SupportResponse& response)
{
    setControlsEnabled (! sent);
    sent = response.success;

    if (sent)
    {
        cancelButton.setButtonText ("Close");
        sendButton.setButtonText ("Sent");
        setControlsEnabled (false);

        auto text = juce::String ("Message sent.");
        if (response.requestId.isNotEmpty())
            text << " Reference: " << response.requestId;

        setStatus (text, false);
    }
    else
    {
        setStatus (response.message, true);
    }
}

bool SupportDialog::keyPressed (const juce::KeyPress& key)
{
    if (key == juce::KeyPress::escapeKey)
    {
        close();
        return true;
    }

    return false;
}

void SupportDialog::close()
{
    stopRequest();
    setVisible (false);

    if (onClose != nullptr)
        onClose();
}

void SupportDialog::focusField (juce::TextEditor& field)
{
    // Only a form on the screen can take the keyboard focus.
    if (field.isShowing())
        field.grabKeyboardFocus();
}

void SupportDialog::setControlsEnabled (bool enabled)
{
    emailField.setEnabled (enabled);
    messageField.setEnabled (enabled);
    includeSwitch.setEnabled (enabled);
    sendButton.setEnabled (enabled);
}

void SupportDialog::setStatus (const juce::String& text, bool isError)
{
    statusText = text;
    statusIsError = isError;
    repaint (statusArea);
}

juce::Rectangle<int> SupportDialog::getCardBounds() const
{
    const auto area = getLocalBounds().reduced (8);
    const auto width = juce::jmin (520, getWidth() - 16);
    const auto height = juce::jmin (314, getHeight() - 16);

    return { area.getX() + (getWidth() - 16 - width) / 2, area.getY() + (getHeight() - 16 - height) / 2,
             juce::jmax (0, width), juce::jmax (0, height) };
}

void SupportDialog::resized()
{
    auto card = getCardBounds();
    const auto column = [&card] (juce::Rectangle<int> area)
    {
        return juce::Rectangle<int> (card.getX() + sideInset, area.getY(), juce::jmax (0, card.getWidth() - 2 * sideInset), area.getHeight());
    };

    auto body = card;
    body.removeFromTop (headerHeight);
    const auto footer = body.removeFromBottom (footerHeight);

    auto buttons = column (footer.withTrimmedTop (6).withTrimmedBottom (6));
    sendButton.setBounds (buttons.removeFromRight (juce::jmin (116, buttons.getWidth())));
    buttons.removeFromRight (8);
    cancelButton.setBounds (buttons.removeFromRight (juce::jmin (76, buttons.getWidth())));

    auto stack = column (body.withTrimmedTop (8).withHeight (body.getHeight() - 16));
    emailLabelArea = stack.removeFromTop (15);
    emailField.setBounds (stack.removeFromTop (25));
    stack.removeFromTop (5);
    messageLabelArea = stack.removeFromTop (15);
    messageField.setBounds (stack.removeFromTop (68));
    stack.removeFromTop (5);
    includeSwitch.setBounds (stack.removeFromTop (22));
    stack.removeFromTop (3);
    noteArea = stack.removeFromTop (32);
    statusArea = stack.removeFromTop (18);
}

void SupportDialog::paint (juce::Graphics& g)
{
    const auto card = getCardBounds();
    auto rest = card;
    const auto header = rest.removeFromTop (headerHeight);
    const auto footer = rest.removeFromBottom (footerHeight);
    const auto titleArea = juce::Rectangle<int> (card.getX() + sideInset, header.getY(),
                                                 juce::jmax (0, card.getWidth() - 2 * sideInset), header.getHeight());

    DialogCard::paintBackground (g, getLocalBounds(), card, header.getHeight());
    DialogCard::paintTitle (g, "Contact support", titleArea, 20.0f);
    DialogCard::paintFooter (g, footer, 0.78f, (float) card.getX(), (float) card.getRight(), 0.4f);

    g.setColour (Colours::subtext0);
    g.setFont (juce::Font (12.5f, juce::Font::bold));
    g.drawText ("Reply email", emailLabelArea, juce::Justification::centredLeft, true);
    g.drawText ("What happened?", messageLabelArea, juce::Justification::centredLeft, true);

    if (! noteArea.isEmpty())
    {
        juce::AttributedString note;
        note.setText (privacyNote);
        note.setFont (juce::Font (11.5f));
        note.setColour (Colours::subtext0);
        note.setJustification (juce::Justification::topLeft);
        note.setWordWrap (juce::AttributedString::byWord);

        const juce::Graphics::ScopedSaveState savedState (g);
        g.reduceClipRegion (noteArea);
        note.draw (g, noteArea.withHeight (juce::jmax (noteArea.getHeight(), 200)).toFloat());
    }

    if (statusText.isNotEmpty())
    {
        g.setColour (statusIsError ? Colours::red : Colours::teal);
        g.setFont (juce::Font (11.5f, juce::Font::bold));
        g.drawText (statusText, statusArea, juce::Justification::centredLeft, true);
    }

    DialogCard::paintBorder (g, card);
}

} // namespace velmar
