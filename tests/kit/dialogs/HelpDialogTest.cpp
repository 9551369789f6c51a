#include "kit/dialogs/HelpDialog.h"

#include "kit/platform/WebAddressOpener.h"
#include "kit/services/ServiceAddresses.h"
#include "kit/services/TelemetryClient.h"

#include "kit/KitTestSupport.h"
#include "support/ComponentSnapshot.h"

#include <gtest/gtest.h>

using velmar::HelpDialog;

namespace
{
    HelpDialog::Info productInfo()
    {
        HelpDialog::Info info;
        info.productName = "Corvessa";
        info.version = "1.3.4";
        info.guideUrl = "https://velmar.example/guide/corvessa/";
        info.sections = {
            { "Getting started", "Type a progression and press play in the host.",
              { { "Chord", "C, Am7, F/A" }, { "Length", "C:2 holds two bars" } } },
            { "", "", { { "Rest", "R" } } },
            { "Layers", "", {} },
        };
        info.mcpDescription = "An AI client can read and edit the arrangement through Velmar MCP.";
        info.creditsText = "Fonts: DejaVu.";
        info.extraLinkText = "Open changelog";
        info.extraLinkUrl = "https://velmar.example/changelog/";
        return info;
    }

    // Records every address handed to the browser instead of opening it.
    struct RecordingOpener
    {
        juce::StringArray opened;
        RecordingOpener()  { velmar::setWebAddressLauncherForTesting ([this] (const juce::String& a) { opened.add (a); return true; }); }
        ~RecordingOpener() { velmar::setWebAddressLauncherForTesting (nullptr); }
    };

    struct HelpDialogTest : ::testing::Test
    {
        juce::ScopedJuceInitialiser_GUI gui;

        static std::unique_ptr<HelpDialog> shownAt (HelpDialog::Info info, int width, int height)
        {
            auto dialog = std::make_unique<HelpDialog> (info);
            dialog->setBounds (0, 0, width, height);
            dialog->setVisible (true);
            return dialog;
        }

        // The product's part: an update on offer and the instance's id, then a new layout.
        static void offerUpdateWithInstance (HelpDialog& dialog, const juce::String& instanceId)
        {
            dialog.getContent().updateVersion = "1.4.0";
            dialog.getContent().instanceId = instanceId;
            dialog.resized();
        }

        static void click (juce::Button& button)
        {
            button.triggerClick();
            kittest::pumpMessagesFor (20);
        }
    };
} // namespace

TEST_F (HelpDialogTest, CardAndControlsAtTheWindowSize)
{
    auto dialog = shownAt (productInfo(), 600, 860);
    auto& content = dialog->getContent();
    offerUpdateWithInstance (*dialog, "2b0c4f3e-7d3a-4c55-9a51-0f1e2d3c4b5a");

    EXPECT_EQ (dialog->getPanelBounds(), juce::Rectangle<int> (40, 90, 520, 680));
    EXPECT_EQ (dialog->getCloseButton().getBounds(), juce::Rectangle<int> (467, 105, 68, 24));
    EXPECT_EQ (dialog->getWebsiteButton().getBounds(), juce::Rectangle<int> (335, 105, 24, 24));
    EXPECT_EQ (dialog->getDiscordButton().getX(), 365);
    EXPECT_EQ (dialog->getEmailButton().getX(), 395);
    EXPECT_EQ (dialog->getGuideButton().getX(), 425);
    EXPECT_EQ (dialog->getViewport().getBounds(), juce::Rectangle<int> (50, 155, 500, 567));

    // Content width 488, text width 448, label column 179.
    EXPECT_EQ (content.getWidth(), 488);
    EXPECT_EQ (content.getUpdateBox(), juce::Rectangle<int> (20, 20, 448, 90));
    EXPECT_EQ (content.getInstanceBox().getHeight(), 58);
    EXPECT_EQ (content.getInstanceBox().getWidth(), 448);
    EXPECT_EQ (content.downloadLink.getBounds(), juce::Rectangle<int> (32, 78, 138, 24));

    const auto* label = content.findTextBlock ("Chord");
    const auto* text = content.findTextBlock ("C, Am7, F/A");
    ASSERT_NE (label, nullptr);
    ASSERT_NE (text, nullptr);
    EXPECT_EQ (label->bounds.getX(), 20);
    EXPECT_EQ (label->bounds.getWidth(), 167);
    EXPECT_EQ (text->bounds.getX(), 199);
    EXPECT_EQ (text->bounds.getWidth(), 269);
    EXPECT_EQ (text->bounds.getY(), label->bounds.getY());

    // One-line rows take 22 + 2 pixels.
    const auto* nextLabel = content.findTextBlock ("Length");
    ASSERT_NE (nextLabel, nullptr);
    EXPECT_EQ (nextLabel->bounds.getY() - label->bounds.getY(), 24);

    const auto& instanceBox = content.getInstanceBox();
    EXPECT_EQ (content.instanceIdLabel.getBounds(), juce::Rectangle<int> (32, instanceBox.getY() + 28, 336, 18));
    EXPECT_EQ (content.copyIdButton.getBounds(), juce::Rectangle<int> (380, instanceBox.getY() + 17, 76, 24));
    EXPECT_EQ (content.mcpLink.getBounds(), juce::Rectangle<int> (20, instanceBox.getBottom() + 8, 190, 24));
    EXPECT_EQ (content.instanceIdLabel.getText(), content.instanceId);

    // The content ends 44 pixels below the notices link.
    EXPECT_EQ (content.getHeight(), content.noticesLink.getY() + 44);

    const auto image = corvessa::test::writeSnapshot (*dialog, "help-dialog");
    EXPECT_EQ (image.getPixelAt (45, 400).getARGB(), 0xff11111bu);   // card, left of the viewport
    EXPECT_EQ (image.getPixelAt (45, 60).getAlpha(), 178);           // black at 70 % over nothing
    EXPECT_TRUE (corvessa::test::hasInk (image, { 60, 90, 200, 55 }, juce::Colour (0xff181926)));   // the title
}

TEST_F (HelpDialogTest, SmallWindowsGetASmallerMarginAndTheNarrowBoxes)
{
    auto dialog = shownAt (productInfo(), 300, 300);
    auto& content = dialog->getContent();
    offerUpdateWithInstance (*dialog, "id");

    EXPECT_EQ (dialog->getPanelBounds(), juce::Rectangle<int> (25, 25, 250, 250));
    EXPECT_EQ (content.getUpdateBox().getHeight(), 90);
    EXPECT_EQ (content.getInstanceBox().getHeight(), 88);

    // A tiny or empty window still gives a card that fits.
    for (const auto size : { juce::Point<int> (0, 0), juce::Point<int> (30, 2000), juce::Point<int> (3000, 3000) })
    {
        dialog->setSize (size.x, size.y);
        const auto card = dialog->getPanelBounds();
        EXPECT_TRUE (dialog->getLocalBounds().contains (card)) << card.toString();
        EXPECT_LE (card.getWidth(), 880);
        EXPECT_LE (card.getHeight(), 680);
    }

    dialog->setSize (1200, 1000);
    EXPECT_EQ (dialog->getPanelBounds(), juce::Rectangle<int> (160, 160, 880, 680));
    EXPECT_EQ (content.getUpdateBox().getHeight(), 64);
    EXPECT_EQ (content.downloadLink.getX(), content.getWidth() - 170);
}

TEST_F (HelpDialogTest, OptionalPartsHideWhenTheirTextIsEmpty)
{
    auto info = productInfo();
    info.guideUrl = {};
    info.mcpDescription = {};
    info.extraLinkUrl = {};
    info.creditsText = {};
    auto dialog = shownAt (info, 600, 860);
    auto& content = dialog->getContent();

    // No guide: the other three icons move 30 pixels right.
    EXPECT_FALSE (dialog->getGuideButton().isVisible());
    EXPECT_EQ (dialog->getWebsiteButton().getX(), 365);
    EXPECT_EQ (dialog->getEmailButton().getX(), 425);

    EXPECT_FALSE (content.downloadLink.isVisible());
    EXPECT_TRUE (content.getUpdateBox().isEmpty());
    EXPECT_FALSE (content.mcpLink.isVisible());
    EXPECT_FALSE (content.copyIdButton.isVisible());
    EXPECT_FALSE (content.instanceIdLabel.isVisible());
    EXPECT_FALSE (content.extraLink.isVisible());
    EXPECT_EQ (content.findTextBlock ("Velmar MCP"), nullptr);
    EXPECT_NE (content.findTextBlock ("Built with JUCE."), nullptr);

    // Empty section titles and bodies are skipped; the first paragraph is the first title.
    EXPECT_EQ (content.getTextBlocks().front().text, "Getting started");
    EXPECT_EQ (content.getTextBlocks().front().bounds.getY(), 20);
    for (const auto& block : content.getTextBlocks())
        EXPECT_TRUE (block.text.isNotEmpty());
}

TEST_F (HelpDialogTest, InstanceRowOnlyWithAnInstanceId)
{
    auto dialog = shownAt (productInfo(), 600, 860);
    auto& content = dialog->getContent();

    EXPECT_TRUE (content.mcpLink.isVisible());
    EXPECT_FALSE (content.instanceIdLabel.isVisible());
    EXPECT_FALSE (content.copyIdButton.isVisible());
    EXPECT_FALSE (content.copyIdButton.isEnabled());
    EXPECT_TRUE (content.getInstanceBox().isEmpty());
    EXPECT_EQ (content.findTextBlock ("Current instance ID"), nullptr);
    const auto heightWithout = content.getHeight();

    content.instanceId = "2b0c4f3e";
    dialog->resized();
    EXPECT_TRUE (content.instanceIdLabel.isVisible());
    EXPECT_TRUE (content.copyIdButton.isVisible());
    EXPECT_TRUE (content.copyIdButton.isEnabled());
    EXPECT_NE (content.findTextBlock ("Current instance ID"), nullptr);
    EXPECT_EQ (content.getHeight(), heightWithout + 58 + 8);

    // Pressing "Copy ID" with no id does nothing (the clipboard is never touched).
    content.instanceId = {};
    dialog->resized();
    content.copyInstanceId();
    EXPECT_EQ (content.copyIdButton.getButtonText(), "Copy ID");
}

TEST_F (HelpDialogTest, UpdateNoticeShowsTheVersionAndItsDownloadLink)
{
    auto dialog = shownAt (productInfo(), 600, 860);
    auto& content = dialog->getContent();
    const auto heightWithout = content.getHeight();

    content.updateVersion = "1.4.0";
    content.downloadLink.setAddress ("https://velmar.example/download/");
    dialog->resized();

    EXPECT_TRUE (content.downloadLink.isVisible());
    const auto* notice = content.findTextBlock ("Update available: v1.4.0");
    ASSERT_NE (notice, nullptr);
    EXPECT_EQ (notice->bounds.getTopLeft(), juce::Point<int> (32, 30));
    const auto* second = content.findTextBlock ("Download the latest Corvessa version.");
    ASSERT_NE (second, nullptr);
    EXPECT_EQ (second->bounds.getY(), notice->bounds.getBottom() + 4);
    EXPECT_EQ (content.getHeight(), heightWithout + 90 + 24);   // the sections start at 134, not 20

    content.updateVersion = {};
    dialog->resized();
    EXPECT_FALSE (content.downloadLink.isVisible());
    EXPECT_EQ (content.getHeight(), heightWithout);
}

TEST_F (HelpDialogTest, UpdateNoticeShowsTheFeedVersionCleanedUp)
{
    auto dialog = shownAt (productInfo(), 600, 860);
    auto& content = dialog->getContent();

    struct Case { juce::String feed; juce::String shown; };
    const Case cases[] = {
        { "V1.3.10", "Update available: v1.3.10" },
        { "  v2.0 ", "Update available: v2.0" },
        { juce::String::repeatedString ("9.", 40), "Update available: v" + juce::String::repeatedString ("9.", 16) },
    };

    for (const auto& c : cases)
    {
        content.updateVersion = c.feed;
        dialog->resized();
        EXPECT_NE (content.findTextBlock (c.shown), nullptr) << c.feed;
        EXPECT_EQ (content.updateVersion, c.feed);   // what the product set stays as it was
    }
}

TEST_F (HelpDialogTest, CloseAndEscapeHideTheDialogAndReportIt)
{
    auto dialog = shownAt (productInfo(), 600, 860);

    // Without a callback: only hidden.
    EXPECT_TRUE (dialog->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_FALSE (dialog->isVisible());

    int closes = 0;
    dialog->onClose = [&] { ++closes; };

    dialog->setVisible (true);
    EXPECT_TRUE (dialog->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_FALSE (dialog->isVisible());
    EXPECT_EQ (closes, 1);

    dialog->setVisible (true);
    click (dialog->getCloseButton());
    EXPECT_FALSE (dialog->isVisible());
    EXPECT_EQ (closes, 2);

    // Other keys go to the viewport: a letter is not consumed and changes nothing.
    dialog->setVisible (true);
    EXPECT_FALSE (dialog->keyPressed (juce::KeyPress ('a')));
    EXPECT_TRUE (dialog->isVisible());
    EXPECT_EQ (closes, 2);
}

TEST_F (HelpDialogTest, TelemetryToggleReportsItsNewState)
{
    auto dialog = shownAt (productInfo(), 600, 860);
    auto& toggle = dialog->getContent().telemetryToggle;
    EXPECT_EQ (toggle.getButtonText(), "Help improve Corvessa");
    EXPECT_EQ (toggle.getTooltip(), velmar::TelemetryClient::consentText());
    EXPECT_NE (dialog->getContent().findTextBlock (velmar::TelemetryClient::consentText()), nullptr);

    std::vector<bool> reported;
    dialog->onTelemetryToggled = [&] (bool enabled) { reported.push_back (enabled); };

    click (toggle);
    click (toggle);
    toggle.setToggleState (true, juce::dontSendNotification);   // the product's own update: silent

    EXPECT_EQ (reported, (std::vector<bool> { true, false }));
}

TEST_F (HelpDialogTest, EveryLinkOpensThroughTheSafeOpener)
{
    RecordingOpener opener;
    auto info = productInfo();
    auto dialog = shownAt (info, 600, 860);
    auto& content = dialog->getContent();
    content.updateVersion = "1.4.0";
    content.downloadLink.setAddress ("https://velmar.example/download/corvessa-1.4.0");
    dialog->resized();

    struct Case { juce::Button* button; juce::String address; };
    const Case cases[] = {
        { &content.downloadLink, "https://velmar.example/download/corvessa-1.4.0" },
        { &content.mcpLink, velmar::getMcpPageUrl() },
        { &content.termsLink, velmar::getTermsPageUrl() },
        { &content.noticesLink, velmar::getThirdPartyNoticesUrl() },
        { &content.extraLink, info.extraLinkUrl },
        { &dialog->getWebsiteButton(), velmar::getWebsiteUrl() },
        { &dialog->getDiscordButton(), velmar::getCommunityInviteUrl() },
        { &dialog->getEmailButton(), velmar::getContactPageUrl() },   // no contact callback set
        { &dialog->getGuideButton(), info.guideUrl },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.button->getName().toStdString() + " " + c.address.toStdString());
        opener.opened.clear();
        click (*c.button);
        EXPECT_EQ (opener.opened, juce::StringArray (c.address));
    }

    EXPECT_TRUE (velmar::getThirdPartyNoticesUrl().endsWith ("/terms/#third-party-notices"));

    // With a contact callback the e-mail icon opens the support form instead of a page.
    int contacts = 0;
    dialog->onContact = [&] { ++contacts; };
    opener.opened.clear();
    click (dialog->getEmailButton());
    EXPECT_EQ (contacts, 1);
    EXPECT_TRUE (opener.opened.isEmpty());

    // A hostile address from the feed never reaches the browser; an empty one opens nothing.
    for (const auto* address : { "file:///etc/passwd", "javascript:alert(1)", "" })
    {
        content.downloadLink.setAddress (address);
        click (content.downloadLink);
    }
    EXPECT_TRUE (opener.opened.isEmpty());
}

TEST_F (HelpDialogTest, IconsAndTooltips)
{
    auto dialog = shownAt (productInfo(), 600, 860);

    EXPECT_EQ (dialog->getWebsiteButton().getTooltip(), "Open Velmar website");
    EXPECT_EQ (dialog->getDiscordButton().getTooltip(), "Join Velmar on Discord");
    EXPECT_EQ (dialog->getEmailButton().getTooltip(), "Contact VELMAR support");
    EXPECT_EQ (dialog->getGuideButton().getTooltip(), "Open Corvessa user guide");
    EXPECT_EQ (dialog->getContent().copyIdButton.getTooltip(), "Copy this Corvessa MCP instance ID");
    EXPECT_EQ (dialog->getTitle(), "Help & Privacy");

    for (auto* icon : { &dialog->getWebsiteButton(), &dialog->getDiscordButton(), &dialog->getEmailButton(), &dialog->getGuideButton() })
    {
        ASSERT_NE (icon->getNormalImage(), nullptr) << icon->getName();
        const auto image = corvessa::test::renderComponent (*icon);
        EXPECT_TRUE (corvessa::test::hasInk (image, image.getBounds(), juce::Colours::transparentBlack)) << icon->getName();
    }
}
