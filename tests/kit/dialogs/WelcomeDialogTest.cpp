#include "kit/dialogs/WelcomeDialog.h"

#include "kit/platform/WebAddressOpener.h"
#include "processor/CorvessaServiceConfig.h"
#include "kit/services/SettingsStore.h"

#include "kit/KitTestSupport.h"
#include "support/ComponentSnapshot.h"

#include <gtest/gtest.h>

using velmar::TelemetryClient;
using velmar::WelcomeDialog;

namespace
{
    const char* const shortDescription = "Corvessa turns chords into layered arrangements. MIDI only. Place it before an instrument. Use ? for details.";

    struct WelcomeDialogTest : ::testing::Test
    {
        juce::ScopedJuceInitialiser_GUI gui;

        void SetUp() override { kittest::settingsFolder().deleteRecursively(); }
        void TearDown() override { kittest::settingsFolder().deleteRecursively(); }

        static TelemetryClient::Config clientConfig()
        {
            auto config = makeTelemetryConfig (juce::AudioProcessor::wrapperType_VST3, nullptr);
            config.hostNameProvider = nullptr;
            return config;
        }

        static WelcomeDialog::Config cardConfig (const juce::String& description = shortDescription)
        {
            return { description, "https://velmar.example/terms/" };
        }

        static juce::var telemetrySection()
        {
            return velmar::SettingsStore ("VELMAR/Corvessa").readSection ("telemetry");
        }
    };
} // namespace

TEST_F (WelcomeDialogTest, ShowsOncePerWelcomeVersion)
{
    TelemetryClient client (clientConfig());

    {
        WelcomeDialog card (client, cardConfig());
        EXPECT_FALSE (card.isVisible());
        card.getConsentSwitch().setToggleState (false, juce::dontSendNotification);

        EXPECT_TRUE (card.showIfNeeded());
        EXPECT_TRUE (card.isVisible());
        EXPECT_TRUE (card.getConsentSwitch().getToggleState());   // on by default

        card.onContinue();
        EXPECT_FALSE (card.isVisible());
    }

    WelcomeDialog next (client, cardConfig());
    EXPECT_FALSE (next.showIfNeeded());
    EXPECT_FALSE (next.isVisible());

    // A new welcome version brings the card back.
    auto newer = clientConfig();
    newer.welcomeVersion = "2027-01-01";
    TelemetryClient newerClient (newer);
    WelcomeDialog again (newerClient, cardConfig());
    EXPECT_TRUE (again.showIfNeeded());
}

TEST_F (WelcomeDialogTest, NeverShowsWithoutSettingsPathOrWelcomeVersion)
{
    for (const auto withoutPath : { true, false })
    {
        auto config = clientConfig();
        (withoutPath ? config.settingsPath : config.welcomeVersion) = {};
        TelemetryClient client (config);
        WelcomeDialog card (client, cardConfig());
        EXPECT_FALSE (card.showIfNeeded()) << withoutPath;
        EXPECT_FALSE (card.isVisible());
    }
}

TEST_F (WelcomeDialogTest, ContinueStoresTheConsentAnswerEitherWay)
{
    for (const auto enabled : { false, true })
    {
        SCOPED_TRACE (enabled);
        kittest::settingsFolder().deleteRecursively();

        TelemetryClient client (clientConfig());
        WelcomeDialog card (client, cardConfig());
        ASSERT_TRUE (card.showIfNeeded());

        std::vector<bool> finished;
        card.onFinished = [&] (bool state) { finished.push_back (state); };
        card.getConsentSwitch().setToggleState (enabled, juce::dontSendNotification);
        card.getContinueButton().triggerClick();
        kittest::pumpMessagesFor (20);

        EXPECT_EQ (finished, std::vector<bool> { enabled });
        EXPECT_FALSE (card.isVisible());

        const auto section = telemetrySection();
        EXPECT_EQ ((bool) section["telemetry_enabled"], enabled);
        EXPECT_EQ (section["consent_version"].toString(), "2026-07-10");
        EXPECT_EQ (section["welcome_version"].toString(), "2026-08-26");
        EXPECT_EQ (client.isEnabled(), enabled);
        EXPECT_FALSE (client.isWelcomeNeeded());

        // Turning it on creates the installation's identity; off leaves none.
        EXPECT_EQ (section["install_id"].toString().isNotEmpty(), enabled);
        EXPECT_EQ (section["first_seen_at_utc"].toString().isNotEmpty(), enabled);
    }
}

TEST_F (WelcomeDialogTest, CardBoundsFollowTheMeasuredTexts)
{
    TelemetryClient client (clientConfig());
    const auto longDescription = juce::String (shortDescription) + " " + juce::String (shortDescription) + " "
                                 + juce::String (shortDescription) + " " + juce::String (shortDescription);

    WelcomeDialog shortCard (client, cardConfig());
    WelcomeDialog longCard (client, cardConfig (longDescription));
    shortCard.setSize (600, 860);
    longCard.setSize (600, 860);

    const auto consent = WelcomeDialog::measureText (TelemetryClient::consentText(), 504);
    const auto shortText = WelcomeDialog::measureText (shortDescription, 504);
    const auto longText = WelcomeDialog::measureText (longDescription, 504);
    ASSERT_GT (longText, shortText);
    ASSERT_GT (consent, 15);   // two lines of the consent sentence at 504 pixels

    for (auto* card : { &shortCard, &longCard })
    {
        const auto bounds = card->getCardBounds();
        const auto text = card == &shortCard ? shortText : longText;
        EXPECT_EQ (bounds.getWidth(), 540);
        EXPECT_EQ (bounds.getX(), 30);
        EXPECT_EQ (bounds.getHeight(), std::max (18, text) + consent + 151);
        EXPECT_EQ (bounds.getY(), 4 + (852 - bounds.getHeight()) / 2);

        // The parts stack inside the card: header 45, 10 free, description, 6, "Privacy" 18,
        // switch 22, consent text, 10 free, footer 40.
        EXPECT_EQ (card->getDescriptionArea(), juce::Rectangle<int> (48, bounds.getY() + 55, 504, std::max (18, text)));
        EXPECT_EQ (card->getHeadingArea().getY(), card->getDescriptionArea().getBottom() + 6);
        EXPECT_EQ (card->getConsentSwitch().getBounds(), juce::Rectangle<int> (48, card->getHeadingArea().getBottom(), 504, 22));
        EXPECT_EQ (card->getConsentArea().getHeight(), consent);
        EXPECT_EQ (card->getContinueButton().getBounds(), juce::Rectangle<int> (464, bounds.getBottom() - 34, 88, 28));
        EXPECT_EQ (card->getTermsLink().getBounds(), juce::Rectangle<int> (48, bounds.getBottom() - 34, 144, 28));
    }

    // An empty description still leaves 18 pixels for it.
    WelcomeDialog emptyCard (client, cardConfig ("   "));
    emptyCard.setSize (600, 860);
    EXPECT_EQ (emptyCard.getCardBounds().getHeight(), 18 + consent + 151);
}

TEST_F (WelcomeDialogTest, SmallWindowsCutTheCardAndTheConsentTextFirst)
{
    TelemetryClient client (clientConfig());
    WelcomeDialog card (client, cardConfig());

    card.setSize (20, 400);
    EXPECT_EQ (card.getCardBounds().getWidth(), 0);
    EXPECT_TRUE (card.getContinueButton().getBounds().isEmpty());
    EXPECT_TRUE (card.getTermsLink().getBounds().isEmpty());

    card.setSize (600, 180);
    const auto bounds = card.getCardBounds();
    EXPECT_EQ (bounds.getHeight(), 172);
    EXPECT_EQ (bounds.getY(), 4);
    EXPECT_EQ (card.getDescriptionArea().getHeight(), std::max (18, WelcomeDialog::measureText (shortDescription, 504)));
    EXPECT_LT (card.getConsentArea().getHeight(), WelcomeDialog::measureText (TelemetryClient::consentText(), 504));
    EXPECT_LE (card.getConsentArea().getBottom(), bounds.getBottom() - 40 - 10);
    EXPECT_FALSE (card.getContinueButton().getBounds().isEmpty());
}

TEST_F (WelcomeDialogTest, NamesTextsAndAnEmptyProductName)
{
    {
        TelemetryClient client (clientConfig());
        WelcomeDialog card (client, cardConfig());
        EXPECT_EQ (card.getName(), "Welcome to Corvessa");
        EXPECT_EQ (card.getConsentSwitch().getButtonText(), "Help improve Corvessa");
        EXPECT_EQ (card.getConsentSwitch().getTooltip(), TelemetryClient::consentText());
        EXPECT_EQ (card.getTermsLink().getButtonText(), "Terms & Privacy");
        EXPECT_EQ (card.getContinueButton().getButtonText(), "Continue");
        EXPECT_TRUE ((bool) card.getContinueButton().getProperties()["isPrimary"]);
    }

    auto config = clientConfig();
    config.productName = "   ";
    TelemetryClient client (config);
    WelcomeDialog card (client, cardConfig());
    EXPECT_EQ (card.getProductName(), "Product");
    EXPECT_EQ (card.getName(), "Welcome to Product");
    EXPECT_EQ (card.getConsentSwitch().getButtonText(), "Help improve Product");
}

TEST_F (WelcomeDialogTest, TermsLinkOpensThroughTheSafeOpenerAndKeysDoNothing)
{
    juce::StringArray opened;
    velmar::setWebAddressLauncherForTesting ([&] (const juce::String& a) { opened.add (a); return true; });

    TelemetryClient client (clientConfig());
    WelcomeDialog card (client, cardConfig());
    card.setSize (600, 860);
    ASSERT_TRUE (card.showIfNeeded());

    card.getTermsLink().triggerClick();
    kittest::pumpMessagesFor (20);
    EXPECT_EQ (opened, juce::StringArray ("https://velmar.example/terms/"));

    // The card has no way out but Continue.
    EXPECT_FALSE (card.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_TRUE (card.isVisible());

    bool selfClicks = false, childClicks = false;
    card.getInterceptsMouseClicks (selfClicks, childClicks);
    EXPECT_TRUE (selfClicks);
    EXPECT_TRUE (childClicks);

    velmar::setWebAddressLauncherForTesting (nullptr);
}

TEST_F (WelcomeDialogTest, SnapshotShowsTheCardOverTheScrim)
{
    TelemetryClient client (clientConfig());
    WelcomeDialog card (client, cardConfig());
    card.setSize (600, 860);
    ASSERT_TRUE (card.showIfNeeded());

    const auto image = corvessa::test::writeSnapshot (card, "welcome-dialog");
    const auto bounds = card.getCardBounds();

    EXPECT_EQ (image.getPixelAt (5, 5).getAlpha(), 0xd8);                                            // scrim
    EXPECT_EQ (image.getPixelAt (bounds.getX() + 6, bounds.getY() + 60).getARGB(), 0xff181926u);     // body
    EXPECT_EQ (image.getPixelAt (bounds.getX() + 6, bounds.getY() + 20).getARGB(), 0xff1e2030u);     // header
    const auto continueCentre = card.getContinueButton().getBounds().getCentre();
    EXPECT_EQ (image.getPixelAt (continueCentre.x - 35, continueCentre.y).getARGB(), 0xff8bd5cau);   // Continue
    EXPECT_TRUE (corvessa::test::hasInk (image, card.getDescriptionArea(), juce::Colour (0xff181926)));
    EXPECT_TRUE (corvessa::test::hasInk (image, card.getConsentArea(), juce::Colour (0xff181926)));
    EXPECT_TRUE (corvessa::test::hasInk (image, { bounds.getX() + 18, bounds.getY(), 300, 45 }, juce::Colour (0xff1e2030)));
}
