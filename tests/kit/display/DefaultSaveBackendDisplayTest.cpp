// The save controller's own dialogs on a real X server: the framework's file chooser (its own
// dialog here, as no desktop chooser is installed) and the "Replace MIDI file?" alert window,
// answered the way a user's click answers them.
#include "kit/clips/DefaultSaveBackend.h"

#include "kit/KitTestSupport.h"
#include "support/ComponentSearch.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using velmar::MidiFileSaveController;
using corvessa::test::findChild;
using corvessa::test::findOnDesktop;

namespace
{
    juce::String alertMessage (juce::AlertWindow& alert)
    {
        juce::String text;

        for (auto* child : alert.getChildren())
            if (auto* label = dynamic_cast<juce::Label*> (child))
                text << label->getText();

        return text;
    }

    struct DefaultSaveBackendDisplayTest : ::testing::Test
    {
        juce::ScopedJuceInitialiser_GUI gui;
        juce::Component parent;
        juce::File home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
        std::vector<MidiFileSaveController::Result> results;

        void SetUp() override
        {
            parent.setBounds (100, 100, 600, 400);
            parent.addToDesktop (juce::ComponentPeer::windowIsTemporary);
            parent.setVisible (true);
            kittest::pumpMessagesFor (100);
        }

        void TearDown() override { parent.removeFromDesktop(); }

        void startRun (MidiFileSaveController& controller, const char* content)
        {
            controller.start (parent, juce::MemoryBlock (content, std::strlen (content)), "Corvessa-Verse.mid", "Bass", {},
                              [this] (const MidiFileSaveController::Result& r) { results.push_back (r); });
        }

        juce::FileChooserDialogBox* waitForChooser()
        {
            juce::FileChooserDialogBox* chooser = nullptr;
            kittest::pumpMessagesUntil ([&] { return (chooser = findOnDesktop<juce::FileChooserDialogBox>()) != nullptr; }, 5000);
            return chooser;
        }

        juce::AlertWindow* waitForAlert()
        {
            juce::AlertWindow* alert = nullptr;
            kittest::pumpMessagesUntil ([&] { return (alert = findOnDesktop<juce::AlertWindow>()) != nullptr; }, 5000);
            return alert;
        }

        // Types a name into the chooser and presses its save button (or its cancel button).
        void answerChooser (juce::FileChooserDialogBox& chooser, const juce::String& name)
        {
            auto* browser = findChild<juce::FileBrowserComponent> (chooser);
            ASSERT_NE (browser, nullptr);

            if (name.isNotEmpty())
                browser->setFileName (name);

            chooser.exitModalState (name.isNotEmpty() ? 1 : 0);
        }

        bool dialogsAreGone()
        {
            return kittest::pumpMessagesUntil ([] { return findOnDesktop<juce::FileChooserDialogBox>() == nullptr
                                                        && findOnDesktop<juce::AlertWindow>() == nullptr; }, 5000);
        }
    };
} // namespace

TEST_F (DefaultSaveBackendDisplayTest, TheReplaceQuestionAnswersFromItsButtons)
{
    const auto file = home.getChildFile ("Existing.mid");

    for (const auto& [button, expected] : { std::pair<const char*, bool> { "Replace", true }, { "Cancel", false } })
    {
        SCOPED_TRACE (button);
        auto backend = velmar::defaultBackend();
        std::optional<bool> answer;
        backend.confirmReplace (parent, file, [&answer] (bool replace) { answer = replace; });

        auto* alert = waitForAlert();
        ASSERT_NE (alert, nullptr);
        EXPECT_EQ (alert->getName(), "Replace MIDI file?");
        EXPECT_TRUE (alertMessage (*alert).contains ("A file already exists at:\n" + file.getFullPathName()))
            << alertMessage (*alert);
        EXPECT_EQ (alert->getNumButtons(), 2);
        EXPECT_EQ (alert->getBounds().getCentre(), parent.getScreenBounds().getCentre());

        alert->triggerButtonClick (button);
        EXPECT_TRUE (kittest::pumpMessagesUntil ([&] { return answer.has_value(); }, 5000));
        EXPECT_EQ (answer, std::optional<bool> (expected));

        backend.dismissDialogs();
        EXPECT_TRUE (dialogsAreGone());
    }
}

TEST_F (DefaultSaveBackendDisplayTest, ARunThroughTheFrameworksChooserSavesAndReplaces)
{
    MidiFileSaveController controller ({});

    // Cancelled in the chooser: one cancelled result.
    startRun (controller, "MThd-0");
    auto* chooser = waitForChooser();
    ASSERT_NE (chooser, nullptr);
    auto* browser = findChild<juce::FileBrowserComponent> (*chooser);
    ASSERT_NE (browser, nullptr);
    EXPECT_EQ (browser->getSelectedFile (0), home.getChildFile ("Corvessa-Verse.mid"));
    answerChooser (*chooser, {});
    ASSERT_TRUE (kittest::pumpMessagesUntil ([&] { return results.size() == 1; }, 5000));
    EXPECT_EQ (results[0].status, MidiFileSaveController::Result::cancelled);
    EXPECT_TRUE (dialogsAreGone());

    // A new file, named with another extension.
    startRun (controller, "MThd-1");
    chooser = waitForChooser();
    ASSERT_NE (chooser, nullptr);
    answerChooser (*chooser, "Picked.txt");
    ASSERT_TRUE (kittest::pumpMessagesUntil ([&] { return results.size() == 2; }, 5000));
    EXPECT_EQ (results[1].status, MidiFileSaveController::Result::saved);
    EXPECT_EQ (results[1].file, home.getChildFile ("Picked.mid"));
    EXPECT_EQ (home.getChildFile ("Picked.mid").loadFileAsString(), "MThd-1");
    EXPECT_TRUE (dialogsAreGone());

    // The same name again: the question comes, and Replace writes the new content.
    startRun (controller, "MThd-2");
    chooser = waitForChooser();
    ASSERT_NE (chooser, nullptr);
    answerChooser (*chooser, "Picked.mid");
    auto* alert = waitForAlert();
    ASSERT_NE (alert, nullptr);
    alert->triggerButtonClick ("Replace");
    ASSERT_TRUE (kittest::pumpMessagesUntil ([&] { return results.size() == 3; }, 5000));
    EXPECT_EQ (results[2].status, MidiFileSaveController::Result::saved);
    EXPECT_EQ (home.getChildFile ("Picked.mid").loadFileAsString(), "MThd-2");
    EXPECT_TRUE (dialogsAreGone());
}

TEST_F (DefaultSaveBackendDisplayTest, AnUnusableBackendFallsBackAndCancelClosesTheChooser)
{
    int fakeChoosers = 0;
    MidiFileSaveController::Backend partial;
    partial.chooseFile = [&fakeChoosers] (juce::Component&, const juce::File&, const juce::String&,
                                          MidiFileSaveController::FileCallback) { ++fakeChoosers; };

    MidiFileSaveController controller (partial);
    startRun (controller, "MThd");
    ASSERT_NE (waitForChooser(), nullptr);
    EXPECT_EQ (fakeChoosers, 0);

    controller.cancel();
    EXPECT_TRUE (dialogsAreGone());
    kittest::pumpMessagesFor (100);
    EXPECT_TRUE (results.empty());
    EXPECT_FALSE (home.getChildFile ("Corvessa-Verse.mid").exists());
}
