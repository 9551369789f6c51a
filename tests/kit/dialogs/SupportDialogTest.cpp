#include "kit/dialogs/SupportDialog.h"

#include "kit/services/ServiceAddresses.h"

#include "kit/KitTestSupport.h"
#include "kit/LoopbackHttpServer.h"
#include "support/ComponentSnapshot.h"

#include <gtest/gtest.h>

using velmar::SupportDialog;
using Response = kittest::LoopbackHttpServer::Response;

namespace
{
    struct SupportDialogTest : ::testing::Test
    {
        juce::ScopedJuceInitialiser_GUI gui;
        kittest::LoopbackHttpServer server;
        std::unique_ptr<SupportDialog> dialog;
        int closes = 0;

        void SetUp() override
        {
            ASSERT_TRUE (server.isRunning());
            server.respondWith ({ 201, "{\"ok\":true,\"requestId\":\" R-7 \"}" });
            dialog = std::make_unique<SupportDialog> (SupportDialog::Config { "corvessa", "Corvessa", "1.3.4", "vst3",
                                                                              "Include current project JSON",
                                                                              server.url ("/api/plugin-support") });
            dialog->setBounds (0, 0, 600, 860);
            dialog->onClose = [this] { ++closes; };
        }

        void fillIn (const juce::String& email, const juce::String& message)
        {
            dialog->open (email);
            dialog->getMessageField().setText (message, false);
        }

        // Sends and waits (bounded) until the form leaves the sending state.
        void sendAndWait()
        {
            dialog->sendRequest();
            kittest::pumpMessagesUntil ([this] { return dialog->getStatusText() != "Sending securely..."; });
        }

        void expectFormEnabled (bool enabled)
        {
            EXPECT_EQ (dialog->getEmailField().isEnabled(), enabled);
            EXPECT_EQ (dialog->getMessageField().isEnabled(), enabled);
            EXPECT_EQ (dialog->getIncludeSwitch().isEnabled(), enabled);
            EXPECT_EQ (dialog->getSendButton().isEnabled(), enabled);
            EXPECT_TRUE (dialog->getCancelButton().isEnabled());
        }
    };
} // namespace

TEST_F (SupportDialogTest, LayoutAtTheWindowSize)
{
    EXPECT_EQ (dialog->getCardBounds(), juce::Rectangle<int> (40, 273, 520, 314));
    EXPECT_EQ (dialog->getEmailLabelArea(), juce::Rectangle<int> (56, 321, 488, 15));
    EXPECT_EQ (dialog->getEmailField().getBounds(), juce::Rectangle<int> (56, 336, 488, 25));
    EXPECT_EQ (dialog->getMessageLabelArea().getY(), 366);
    EXPECT_EQ (dialog->getMessageField().getBounds(), juce::Rectangle<int> (56, 381, 488, 68));
    EXPECT_EQ (dialog->getIncludeSwitch().getBounds(), juce::Rectangle<int> (56, 454, 488, 22));
    EXPECT_EQ (dialog->getNoteArea(), juce::Rectangle<int> (56, 479, 488, 32));
    EXPECT_EQ (dialog->getStatusArea(), juce::Rectangle<int> (56, 511, 488, 18));
    EXPECT_EQ (dialog->getCancelButton().getBounds(), juce::Rectangle<int> (344, 551, 76, 30));
    EXPECT_EQ (dialog->getSendButton().getBounds(), juce::Rectangle<int> (428, 551, 116, 30));

    // Small windows cut every part to what remains, never below nothing.
    for (const auto size : { juce::Point<int> (10, 10), juce::Point<int> (200, 120), juce::Point<int> (0, 0) })
    {
        dialog->setSize (size.x, size.y);
        const auto card = dialog->getCardBounds();
        EXPECT_GE (card.getWidth(), 0);
        EXPECT_LE (card.getHeight(), juce::jmax (0, size.y - 16));
        EXPECT_GE (dialog->getSendButton().getWidth(), 0);
        EXPECT_TRUE (card.isEmpty() || dialog->getLocalBounds().contains (card));
    }
}

TEST_F (SupportDialogTest, ValidationStopsTheRequestWithAReason)
{
    struct Case { const char* email; const char* message; const char* status; };
    const Case cases[] = {
        { "user@example", "The chords stop after bar four.", "Enter a valid reply email." },
        { "@example.com", "The chords stop after bar four.", "Enter a valid reply email." },
        { "user@example.com.", "The chords stop after bar four.", "Enter a valid reply email." },
        { "first.last@example", "The chords stop after bar four.", "Enter a valid reply email." },
        { "user@.com", "The chords stop after bar four.", "Enter a valid reply email." },
        { "", "The chords stop after bar four.", "Enter a valid reply email." },
        { "a@b.c", "  123456789  ", "Describe the issue in at least 10 characters." },
        { "a@b.c", "", "Describe the issue in at least 10 characters." },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.email) + " / " + c.message);
        fillIn (c.email, c.message);
        dialog->sendRequest();
        EXPECT_EQ (dialog->getStatusText(), c.status);
        EXPECT_TRUE (dialog->isStatusError());
        EXPECT_FALSE (dialog->isSending());
        expectFormEnabled (true);
    }

    kittest::pumpMessagesFor (50);
    EXPECT_EQ (server.getConnectionCount(), 0);

    // The shortest message that passes: ten characters.
    fillIn ("  a@b.c ", " 1234567890 ");
    sendAndWait();
    ASSERT_EQ (server.getRequests().size(), 1u);
    const auto body = juce::JSON::parse (juce::String (server.getRequests()[0].body));
    EXPECT_EQ (body["reply_email"].toString(), "a@b.c");
    EXPECT_EQ (body["message"].toString(), "1234567890");
}

TEST_F (SupportDialogTest, SendsTheFormAndLocksItAfterSuccess)
{
    fillIn ("user@example.com", "The chords stop after bar four.");
    server.respondWith ({ 201, "{\"ok\":true,\"requestId\":\" R-7 \",\"message\":\"Thanks!\"}", "application/json", 300 });

    dialog->sendRequest();
    EXPECT_EQ (dialog->getStatusText(), "Sending securely...");
    EXPECT_FALSE (dialog->isStatusError());
    expectFormEnabled (false);
    EXPECT_EQ (dialog->getCancelButton().getButtonText(), "Cancel");

    kittest::pumpMessagesUntil ([this] { return dialog->isSent(); });
    EXPECT_EQ (dialog->getStatusText(), "Message sent. Reference: R-7");   // the service's own text is not shown
    EXPECT_FALSE (dialog->isStatusError());
    EXPECT_EQ (dialog->getCancelButton().getButtonText(), "Close");
    EXPECT_EQ (dialog->getSendButton().getButtonText(), "Sent");
    expectFormEnabled (false);

    const auto requests = server.getRequests();
    ASSERT_EQ (requests.size(), 1u);
    const auto& request = requests[0];
    EXPECT_EQ (request.method, "POST");
    EXPECT_EQ (request.path, "/api/plugin-support");
    EXPECT_EQ (request.header ("x-velmar-client"), "plugin-support/1");
    const auto body = juce::JSON::parse (juce::String (request.body));
    EXPECT_EQ (body["reply_email"].toString(), "user@example.com");
    EXPECT_EQ (body["message"].toString(), "The chords stop after bar four.");
    EXPECT_EQ (body["product"].toString(), "corvessa");
    EXPECT_EQ (body["product_name"].toString(), "Corvessa");
    EXPECT_EQ (body["version"].toString(), "1.3.4");
    EXPECT_EQ (body["platform"].toString(), velmar::getPlatformName());
    EXPECT_EQ (body["format"].toString(), "vst3");
    EXPECT_FALSE (body.hasProperty ("project_json"));

    // Send again after "Sent" does nothing.
    dialog->sendRequest();
    kittest::pumpMessagesFor (100);
    EXPECT_EQ (server.getConnectionCount(), 1);

    // Without a reference only "Message sent.".
    server.respondWith ({ 200, "{\"ok\":true}" });
    fillIn ("user@example.com", "The chords stop after bar four.");
    sendAndWait();
    EXPECT_EQ (dialog->getStatusText(), "Message sent.");
}

TEST_F (SupportDialogTest, FailuresKeepTheFormOpenForAnotherTry)
{
    struct Case { Response response; const char* status; };
    const Case cases[] = {
        { { 503, "<html>Service Unavailable</html>", "text/html" }, "VELMAR support is temporarily unavailable. Please try again." },
        { { 429, "{\"message\":\"\"}" }, "Too many support requests. Please wait a minute and try again." },
        { { 200, "{\"ok\":false,\"message\":\"Invalid email\"}" }, "Invalid email" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.status);
        server.respondWith (c.response);
        fillIn ("user@example.com", "The chords stop after bar four.");
        sendAndWait();

        EXPECT_EQ (dialog->getStatusText(), c.status);
        EXPECT_TRUE (dialog->isStatusError());
        EXPECT_FALSE (dialog->isSent());
        expectFormEnabled (true);
        EXPECT_EQ (dialog->getSendButton().getButtonText(), "Send to VELMAR");
    }

    // After a failure Send works again.
    server.respondWith ({ 200, "{\"ok\":true}" });
    sendAndWait();
    EXPECT_TRUE (dialog->isSent());
}

TEST_F (SupportDialogTest, NoServerMeansCouldNotReach)
{
    // A port nobody listens on.
    SupportDialog unreachable ({ "corvessa", "Corvessa", "1.3.4", "vst3", "Include current project JSON",
                                 "http://127.0.0.1:9/api/plugin-support" });
    unreachable.setSize (600, 860);
    unreachable.open ("user@example.com");
    unreachable.getMessageField().setText ("The chords stop after bar four.", false);
    unreachable.sendRequest();
    ASSERT_TRUE (kittest::pumpMessagesUntil ([&] { return unreachable.getStatusText() != "Sending securely..."; }));
    EXPECT_EQ (unreachable.getStatusText(), "Could not reach VELMAR support. Check your connection and try again.");
    EXPECT_TRUE (unreachable.isStatusError());
}

TEST_F (SupportDialogTest, ProjectSnapshotOnlyWhenAskedForAndCaptured)
{
    int captures = 0;
    juce::String snapshot = "   ";
    dialog->getProjectSnapshot = [&] { ++captures; return snapshot; };

    // Off: never asked for.
    fillIn ("user@example.com", "The chords stop after bar four.");
    sendAndWait();
    EXPECT_EQ (captures, 0);
    ASSERT_EQ (server.getRequests().size(), 1u);
    EXPECT_FALSE (juce::JSON::parse (juce::String (server.getRequests()[0].body)).hasProperty ("project_json"));

    // On, but nothing could be captured: nothing is sent.
    fillIn ("user@example.com", "The chords stop after bar four.");
    dialog->getIncludeSwitch().setToggleState (true, juce::dontSendNotification);
    dialog->sendRequest();
    EXPECT_EQ (captures, 1);
    EXPECT_EQ (dialog->getStatusText(), "The current project could not be captured.");
    EXPECT_TRUE (dialog->isStatusError());
    kittest::pumpMessagesFor (100);
    EXPECT_EQ (server.getConnectionCount(), 1);

    // No provider at all: the same.
    dialog->getProjectSnapshot = nullptr;
    dialog->sendRequest();
    EXPECT_EQ (dialog->getStatusText(), "The current project could not be captured.");

    // On and captured: sent trimmed.
    dialog->getProjectSnapshot = [&] { ++captures; return snapshot; };
    snapshot = "  {\"format\":\"velmar-plugin-project\",\"version\":2}\n";
    sendAndWait();
    ASSERT_EQ (server.getRequests().size(), 2u);
    EXPECT_EQ (juce::JSON::parse (juce::String (server.getRequests()[1].body))["project_json"].toString(),
               "{\"format\":\"velmar-plugin-project\",\"version\":2}");
}

TEST_F (SupportDialogTest, EscapeOrCancelWhileSendingDropsTheAnswer)
{
    server.respondWith ({ 201, "{\"ok\":true,\"requestId\":\"R-8\"}", "application/json", 400 });

    for (const auto byEscape : { true, false })
    {
        SCOPED_TRACE (byEscape ? "Escape" : "Cancel");
        const auto closesBefore = closes;
        fillIn ("user@example.com", "The chords stop after bar four.");
        dialog->sendRequest();
        ASSERT_TRUE (dialog->isSending());

        if (byEscape)
            EXPECT_TRUE (dialog->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
        else
        {
            dialog->getCancelButton().triggerClick();
            kittest::pumpMessagesFor (10);
        }

        EXPECT_FALSE (dialog->isVisible());
        EXPECT_EQ (closes, closesBefore + 1);

        // No answer ever arrives, and reopening shows a fresh form.
        kittest::pumpMessagesUntil ([this] { return ! dialog->isSending(); });
        kittest::pumpMessagesFor (600);
        EXPECT_FALSE (dialog->isSent());

        dialog->open ("  other@example.com ");
        EXPECT_TRUE (dialog->isVisible());
        EXPECT_EQ (dialog->getStatusText(), "");
        EXPECT_EQ (dialog->getEmailField().getText(), "other@example.com");
        EXPECT_EQ (dialog->getMessageField().getText(), "");
        EXPECT_FALSE (dialog->getIncludeSwitch().getToggleState());
        expectFormEnabled (true);
        kittest::pumpMessagesFor (100);
        EXPECT_EQ (dialog->getStatusText(), "");
    }

    // Other keys are not the dialog's.
    EXPECT_FALSE (dialog->keyPressed (juce::KeyPress ('a')));
}

TEST_F (SupportDialogTest, ReopeningBeforeALateAnswerArrivesIgnoresIt)
{
    // The worker has handed its answer to the message thread, which has not served it yet,
    // when the user reopens the form: the answer belongs to the old form and is dropped.
    fillIn ("user@example.com", "The chords stop after bar four.");
    dialog->sendRequest();
    ASSERT_TRUE (server.waitForRequests (1, 20000));

    const auto deadline = juce::Time::getMillisecondCounter() + 20000;
    while (dialog->isSending() && juce::Time::getMillisecondCounter() < deadline)
        juce::Thread::sleep (2);   // no messages served meanwhile
    ASSERT_FALSE (dialog->isSending());

    dialog->open ("user@example.com");
    kittest::pumpMessagesFor (200);
    EXPECT_EQ (dialog->getStatusText(), "");
    EXPECT_FALSE (dialog->isSent());
    expectFormEnabled (true);
}

TEST_F (SupportDialogTest, DeletingTheDialogWhileSendingStopsTheRequest)
{
    server.respondWith ({ 201, "{\"ok\":true}", "application/json", 8000 });
    fillIn ("user@example.com", "The chords stop after bar four.");
    dialog->sendRequest();
    ASSERT_TRUE (server.waitForRequests (1, 20000));

    dialog.reset();   // returns once the worker has ended; the transfer is aborted, not awaited
    EXPECT_TRUE (kittest::pumpMessagesUntil ([this] { return server.getAbortedByClientCount() == 1; }, 5000));
    kittest::pumpMessagesFor (100);   // a late completion would touch the deleted dialog
}

TEST_F (SupportDialogTest, SnapshotShowsTheFormAndItsStatus)
{
    fillIn ("user@example.com", "short");
    dialog->sendRequest();   // an error status in red

    const auto image = corvessa::test::writeSnapshot (*dialog, "support-dialog");
    const auto card = dialog->getCardBounds();

    EXPECT_EQ (image.getPixelAt (5, 5).getAlpha(), 0xd8);                                          // scrim
    EXPECT_EQ (image.getPixelAt (card.getX() + 6, card.getY() + 20).getARGB(), 0xff1e2030u);       // header
    EXPECT_EQ (image.getPixelAt (card.getX() + 8, card.getY() + 60).getARGB(), 0xff181926u);       // body
    EXPECT_EQ (image.getPixelAt (dialog->getSendButton().getX() + 5, dialog->getSendButton().getBounds().getCentreY()).getARGB(),
               0xff8bd5cau);                                                                       // Send
    EXPECT_TRUE (corvessa::test::hasInk (image, dialog->getStatusArea(), juce::Colour (0xff181926)));
    EXPECT_TRUE (corvessa::test::hasInk (image, dialog->getNoteArea(), juce::Colour (0xff181926)));
    EXPECT_TRUE (corvessa::test::hasInk (image, dialog->getEmailLabelArea(), juce::Colour (0xff181926)));

    // The status line is drawn in the error red.
    bool red = false;
    const auto status = dialog->getStatusArea();
    for (int x = status.getX(); x < status.getRight() && ! red; ++x)
        for (int y = status.getY(); y < status.getBottom() && ! red; ++y)
            red = image.getPixelAt (x, y).getARGB() == 0xffed8796u;
    EXPECT_TRUE (red);
}
