#include "kit/clips/MidiFileSaveController.h"

#include "kit/KitTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using velmar::MidiFileSaveController;
using Result = MidiFileSaveController::Result;

namespace
{
    // Dialogs that answer only when the test says so, so that late, repeated and abandoned
    // answers can be played in any order.
    struct FakeDialogs
    {
        struct Choice
        {
            juce::File initialFile;
            juce::String title;
            MidiFileSaveController::Appearance appearance;
            MidiFileSaveController::FileCallback answer;
        };

        struct Question
        {
            juce::File file;
            MidiFileSaveController::AnswerCallback answer;
        };

        struct Error
        {
            Result result;
            MidiFileSaveController::FileCallback answer;
        };

        std::vector<Choice> choices;
        std::vector<Question> questions;
        std::vector<Error> errors;
        std::vector<juce::String> events; // "saved <name>" and "result <status>" in order
        int dismissals = 0;

        MidiFileSaveController::Backend backend (const juce::File& startFolder, bool styled = false, bool offersRetry = false)
        {
            MidiFileSaveController::Backend b;

            if (styled)
                b.chooseFileStyled = [this] (juce::Component&, const juce::File& initial,
                                             const MidiFileSaveController::Appearance& appearance,
                                             MidiFileSaveController::FileCallback answer)
                {
                    choices.push_back ({ initial, {}, appearance, std::move (answer) });
                };

            b.chooseFile = [this] (juce::Component&, const juce::File& initial, const juce::String& title,
                                   MidiFileSaveController::FileCallback answer)
            {
                choices.push_back ({ initial, title, {}, std::move (answer) });
            };

            b.confirmReplace = [this] (juce::Component&, const juce::File& file, MidiFileSaveController::AnswerCallback answer)
            {
                questions.push_back ({ file, std::move (answer) });
            };

            b.dismissDialogs = [this] { ++dismissals; };

            if (offersRetry)
                b.showError = [this] (const Result& result, MidiFileSaveController::FileCallback answer)
                {
                    errors.push_back ({ result, std::move (answer) });
                };

            if (startFolder != juce::File())
                b.defaultDirectory = [startFolder] { return startFolder; };

            b.onSaved = [this] (const juce::File& file) { events.push_back ("saved " + file.getFileName()); };
            return b;
        }
    };

    juce::MemoryBlock bytesOf (const char* text)
    {
        return juce::MemoryBlock (text, std::strlen (text));
    }

    struct MidiFileSaveControllerTest : ::testing::Test
    {
        juce::ScopedJuceInitialiser_GUI juce;
        juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                                .getNonexistentChildFile ("midi-save-test", {});
        std::unique_ptr<juce::Component> parent = std::make_unique<juce::Component>();
        FakeDialogs dialogs;
        std::vector<Result> results;

        void SetUp() override { ASSERT_TRUE (folder.createDirectory()); }
        void TearDown() override { folder.deleteRecursively(); }

        MidiFileSaveController::ResultCallback collect()
        {
            return [this] (const Result& r)
            {
                dialogs.events.push_back ("result " + juce::String (r.status));
                results.push_back (r);
            };
        }

        void startRun (MidiFileSaveController& controller, const char* content = "MThd-clip",
                       const juce::String& suggested = "Corvessa-Verse.mid", const juce::String& layer = "Bass")
        {
            controller.start (*parent, bytesOf (content), suggested, layer, {}, collect());
        }

        // Every file in the folder, hidden ones included (a left-over temporary file shows here).
        juce::StringArray filesIn (const juce::File& dir) const
        {
            juce::StringArray names;

            for (const auto& f : dir.findChildFiles (juce::File::findFilesAndDirectories, false))
                names.add (f.getFileName());

            names.sort (false);
            return names;
        }
    };
} // namespace

TEST_F (MidiFileSaveControllerTest, ANewFileIsWrittenWholeAndReportedOnceAfterOnSaved)
{
    MidiFileSaveController controller (dialogs.backend (folder));
    startRun (controller, "MThd-new-clip");

    ASSERT_EQ (dialogs.choices.size(), 1u);
    EXPECT_EQ (dialogs.choices[0].initialFile, folder.getChildFile ("Corvessa-Verse.mid"));
    EXPECT_EQ (dialogs.choices[0].title, "Save Bass MIDI");
    EXPECT_TRUE (results.empty());

    const auto destination = folder.getChildFile ("Out.mid");
    dialogs.choices[0].answer (destination);
    dialogs.choices[0].answer (destination); // a repeated answer of the same dialog

    ASSERT_EQ (results.size(), 1u);
    EXPECT_EQ (results[0].status, Result::saved);
    EXPECT_EQ (results[0].file, destination);
    EXPECT_TRUE (results[0].message.isEmpty());
    EXPECT_EQ (dialogs.events, (std::vector<juce::String> { "saved Out.mid", "result 0" }));
    EXPECT_EQ (destination.loadFileAsString(), "MThd-new-clip");
    EXPECT_EQ (filesIn (folder), juce::StringArray ("Out.mid"));
    EXPECT_GE (dialogs.dismissals, 1);
    EXPECT_EQ (MidiFileSaveController::describeResult (results[0], "Bass"),
               "Bass MIDI saved to " + destination.getFullPathName());
}

TEST_F (MidiFileSaveControllerTest, SuggestedNamesBecomeLegalMidiFileNamesInTheStartFolder)
{
    const struct { const char* suggested; const char* expected; } cases[] = {
        { "Corvessa-Verse.mid", "Corvessa-Verse.mid" },
        { "Verse.txt",          "Verse.mid" },
        { "Chorus",             "Chorus.mid" },
        { "Intro: A/B?",        "Intro AB.mid" },
        { "",                   "Export.mid" },
        { "/:?",                "Export.mid" },
        { "..",                 "Export.mid" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.suggested);
        FakeDialogs fresh;
        MidiFileSaveController controller (fresh.backend (folder));
        controller.start (*parent, bytesOf ("MThd"), c.suggested, "Body", {}, collect());

        ASSERT_EQ (fresh.choices.size(), 1u);
        EXPECT_EQ (fresh.choices[0].initialFile, folder.getChildFile (c.expected));
    }
}

TEST_F (MidiFileSaveControllerTest, StartFolderIsDocumentsWhenItExistsElseHome)
{
    const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    const auto documents = home.getChildFile ("Documents");
    documents.deleteRecursively();

    for (const bool documentsExist : { false, true })
    {
        SCOPED_TRACE (documentsExist);

        if (documentsExist)
        {
            ASSERT_TRUE (documents.createDirectory());
        }

        FakeDialogs fresh;
        MidiFileSaveController controller (fresh.backend ({}));
        controller.start (*parent, bytesOf ("MThd"), "Clip", "All", {}, collect());

        ASSERT_EQ (fresh.choices.size(), 1u);
        EXPECT_EQ (fresh.choices[0].initialFile.getParentDirectory(), documentsExist ? documents : home);
    }

    documents.deleteRecursively();
}

TEST_F (MidiFileSaveControllerTest, AStyledChooserIsPreferredAndGetsTheAppearance)
{
    MidiFileSaveController::Appearance style;
    style.accent = 0xffcba6f7;

    for (const juce::String title : { "", "Corvessa / Shimmer" })
    {
        FakeDialogs fresh;
        MidiFileSaveController controller (fresh.backend (folder, true));
        style.title = title;
        controller.start (*parent, bytesOf ("MThd"), "Clip", "Shimmer", style, collect());

        ASSERT_EQ (fresh.choices.size(), 1u);
        EXPECT_EQ (fresh.choices[0].title, ""); // not the plain chooser
        EXPECT_EQ (fresh.choices[0].appearance.title, title.isEmpty() ? "Shimmer" : title);
        EXPECT_EQ (fresh.choices[0].appearance.accent, 0xffcba6f7u);
        EXPECT_EQ (fresh.choices[0].appearance.shadow, 0xff181926u);
    }
}

TEST_F (MidiFileSaveControllerTest, CancellingTheChooserGivesExactlyOneCancelledResult)
{
    MidiFileSaveController controller (dialogs.backend (folder));
    startRun (controller);

    dialogs.choices[0].answer ({});
    dialogs.choices[0].answer ({});
    dialogs.choices[0].answer (folder.getChildFile ("Late.mid"));

    ASSERT_EQ (results.size(), 1u);
    EXPECT_EQ (results[0].status, Result::cancelled);
    EXPECT_EQ (results[0].file, juce::File());
    EXPECT_FALSE (folder.getChildFile ("Late.mid").exists());
    EXPECT_EQ (MidiFileSaveController::describeResult (results[0], "Bass"), "");
}

TEST_F (MidiFileSaveControllerTest, AnotherExtensionBecomesMidAndTheReplaceQuestionNamesTheMidFile)
{
    for (const bool replace : { true, false })
    {
        SCOPED_TRACE (replace);
        results.clear();
        FakeDialogs fresh;
        const auto existing = folder.getChildFile ("Take.mid");
        ASSERT_TRUE (existing.replaceWithText ("old content"));

        MidiFileSaveController controller (fresh.backend (folder));
        controller.start (*parent, bytesOf ("MThd-new"), "Take", "Body", {}, collect());
        fresh.choices[0].answer (folder.getChildFile ("Take.txt"));

        ASSERT_EQ (fresh.questions.size(), 1u);
        EXPECT_EQ (fresh.questions[0].file, existing);
        EXPECT_TRUE (results.empty());

        fresh.questions[0].answer (replace);
        fresh.questions[0].answer (! replace); // a second answer to a consumed question

        ASSERT_EQ (results.size(), 1u);
        EXPECT_EQ (results[0].status, replace ? Result::saved : Result::cancelled);
        EXPECT_EQ (existing.loadFileAsString(), replace ? "MThd-new" : "old content");
        EXPECT_FALSE (folder.getChildFile ("Take.txt").exists());
        EXPECT_EQ (filesIn (folder), juce::StringArray ("Take.mid"));
    }
}

TEST_F (MidiFileSaveControllerTest, AFolderAsDestinationFails)
{
    ASSERT_TRUE (folder.getChildFile ("Dir").createDirectory());
    ASSERT_TRUE (folder.getChildFile ("Dir2.mid").createDirectory());

    const struct { const char* chosen; const char* reported; } cases[] = {
        { "Dir",      "Dir" },
        { "Dir2.txt", "Dir2.mid" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.chosen);
        results.clear();
        FakeDialogs fresh;
        MidiFileSaveController controller (fresh.backend (folder));
        controller.start (*parent, bytesOf ("MThd"), "Clip", "Body", {}, collect());
        fresh.choices[0].answer (folder.getChildFile (c.chosen));

        ASSERT_EQ (results.size(), 1u);
        EXPECT_EQ (results[0].status, Result::failed);
        EXPECT_EQ (results[0].file, folder.getChildFile (c.reported));
        EXPECT_EQ (results[0].message, "The destination is a directory.");
        EXPECT_TRUE (fresh.questions.empty());
        EXPECT_EQ (MidiFileSaveController::describeResult (results[0], "Body"),
                   "Could not save Body MIDI to " + folder.getChildFile (c.reported).getFullPathName()
                       + ". The destination is a directory.");
    }
}

TEST_F (MidiFileSaveControllerTest, EmptyBytesFailBeforeStartReturnsWithoutAnyDialog)
{
    MidiFileSaveController controller (dialogs.backend (folder, false, true));
    controller.start (*parent, {}, "Clip", "All", {}, collect());

    ASSERT_EQ (results.size(), 1u); // already inside start
    EXPECT_EQ (results[0].status, Result::failed);
    EXPECT_EQ (results[0].file, juce::File());
    EXPECT_TRUE (dialogs.choices.empty());
    EXPECT_TRUE (dialogs.errors.empty());
    EXPECT_EQ (MidiFileSaveController::describeResult (results[0], "All"),
               "Could not save All MIDI. The prepared MIDI file is empty.");
}

TEST_F (MidiFileSaveControllerTest, ASecondStartDropsTheFirstRunAndItsLateAnswer)
{
    MidiFileSaveController controller (dialogs.backend (folder));
    std::vector<Result> firstResults;
    controller.start (*parent, bytesOf ("first"), "First", "Bass", {}, [&] (const Result& r) { firstResults.push_back (r); });
    startRun (controller, "second", "Second");

    ASSERT_EQ (dialogs.choices.size(), 2u);
    dialogs.choices[0].answer (folder.getChildFile ("First.mid"));
    dialogs.choices[0].answer ({}); // not even its cancel ends the new run
    EXPECT_TRUE (results.empty());

    dialogs.choices[1].answer (folder.getChildFile ("Second.mid"));
    dialogs.choices[0].answer (folder.getChildFile ("First.mid"));
    dialogs.choices[0].answer ({});

    EXPECT_TRUE (firstResults.empty());
    ASSERT_EQ (results.size(), 1u);
    EXPECT_EQ (results[0].status, Result::saved);
    EXPECT_EQ (filesIn (folder), juce::StringArray ("Second.mid"));
    EXPECT_EQ (folder.getChildFile ("Second.mid").loadFileAsString(), "second");
}

TEST_F (MidiFileSaveControllerTest, AnAbandonedRunIgnoresItsLateAnswersAndDismissesItsDialogs)
{
    enum class Way { cancel, parentDeleted, controllerDeleted };
    const auto existing = folder.getChildFile ("Keep.mid");

    for (const auto way : { Way::cancel, Way::parentDeleted, Way::controllerDeleted })
    {
        for (const bool atQuestion : { false, true })
        {
            SCOPED_TRACE (juce::String ((int) way) + (atQuestion ? " at the question" : " at the chooser"));
            results.clear();
            parent = std::make_unique<juce::Component>();
            ASSERT_TRUE (existing.replaceWithText ("old"));
            FakeDialogs fresh;
            auto controller = std::make_unique<MidiFileSaveController> (fresh.backend (folder));
            controller->start (*parent, bytesOf ("new"), "Clip", "Bass", {}, collect());

            if (atQuestion)
            {
                fresh.choices[0].answer (existing);
                ASSERT_EQ (fresh.questions.size(), 1u);
            }

            const int dismissalsBefore = fresh.dismissals;

            if (way == Way::cancel)               controller->cancel();
            else if (way == Way::parentDeleted)   parent.reset();
            else                                  controller.reset();

            EXPECT_GT (fresh.dismissals, dismissalsBefore);

            if (atQuestion)
                fresh.questions[0].answer (true);
            else
                fresh.choices[0].answer (folder.getChildFile ("Other.mid"));

            EXPECT_TRUE (results.empty());
            EXPECT_EQ (existing.loadFileAsString(), "old");
            EXPECT_FALSE (folder.getChildFile ("Other.mid").exists());
        }
    }
}

TEST_F (MidiFileSaveControllerTest, AReplaceThatFailsKeepsTheOldDestinationAndTellsWhy)
{
    MidiFileSaveController controller (dialogs.backend (folder));
    const auto destination = folder.getChildFile ("Locked.mid");
    ASSERT_TRUE (destination.replaceWithText ("old"));

    startRun (controller);
    dialogs.choices[0].answer (destination);
    ASSERT_EQ (dialogs.questions.size(), 1u);

    // Before the answer comes, the destination turns into a folder that cannot be replaced.
    ASSERT_TRUE (destination.deleteFile());
    ASSERT_TRUE (destination.getChildFile ("inside.txt").create());

    dialogs.questions[0].answer (true);

    ASSERT_EQ (results.size(), 1u);
    EXPECT_EQ (results[0].status, Result::failed);
    EXPECT_EQ (results[0].file, destination);
    EXPECT_EQ (results[0].message, "Could not replace the destination file. Check folder permissions.");
    EXPECT_TRUE (destination.getChildFile ("inside.txt").existsAsFile());
    EXPECT_EQ (filesIn (folder), juce::StringArray ("Locked.mid")); // no temporary file left
    EXPECT_EQ (MidiFileSaveController::describeResult (results[0], "Bass"),
               "Could not save Bass MIDI to " + destination.getFullPathName()
                   + ". Could not replace the destination file. Check folder permissions.");
}

TEST_F (MidiFileSaveControllerTest, AStreamThatCannotOpenReportsItsOwnMessage)
{
    MidiFileSaveController controller (dialogs.backend (folder));
    const auto destination = folder.getChildFile ("missing/Clip.mid");

    startRun (controller);
    dialogs.choices[0].answer (destination);

    ASSERT_EQ (results.size(), 1u);
    EXPECT_EQ (results[0].status, Result::failed);
    EXPECT_EQ (results[0].file, destination);
    EXPECT_TRUE (results[0].message.isNotEmpty());
    EXPECT_FALSE (folder.getChildFile ("missing").exists());
}

TEST_F (MidiFileSaveControllerTest, ShowErrorKeepsTheRunOpenForAnotherChoice)
{
    MidiFileSaveController controller (dialogs.backend (folder, false, true));
    ASSERT_TRUE (folder.getChildFile ("Dir.mid").createDirectory());
    ASSERT_TRUE (folder.getChildFile ("Taken.mid").replaceWithText ("old"));
    startRun (controller, "fresh");

    dialogs.choices[0].answer (folder.getChildFile ("Dir.mid"));
    ASSERT_EQ (dialogs.errors.size(), 1u);
    EXPECT_EQ (dialogs.errors[0].result.status, Result::failed);
    EXPECT_EQ (dialogs.errors[0].result.message, "The destination is a directory.");

    // Declining a replacement is reported to the backend as well, not to the caller.
    dialogs.errors[0].answer (folder.getChildFile ("Taken.mid"));
    ASSERT_EQ (dialogs.questions.size(), 1u);
    dialogs.questions[0].answer (false);
    ASSERT_EQ (dialogs.errors.size(), 2u);
    EXPECT_EQ (dialogs.errors[1].result.status, Result::cancelled);
    dialogs.questions[0].answer (true); // the question was answered already
    EXPECT_EQ (folder.getChildFile ("Taken.mid").loadFileAsString(), "old");
    EXPECT_TRUE (results.empty());

    dialogs.errors[0].answer (folder.getChildFile ("Stale.mid")); // an older offer
    dialogs.errors[1].answer (folder.getChildFile ("Good.mid"));

    ASSERT_EQ (results.size(), 1u);
    EXPECT_EQ (results[0].status, Result::saved);
    EXPECT_EQ (folder.getChildFile ("Good.mid").loadFileAsString(), "fresh");
    EXPECT_FALSE (folder.getChildFile ("Stale.mid").exists());
}

TEST_F (MidiFileSaveControllerTest, ABackendIsUsableOnlyWithAChooserTheQuestionAndDismissal)
{
    const auto chooser = [] (juce::Component&, const juce::File&, const juce::String&, MidiFileSaveController::FileCallback) {};
    const auto styled = [] (juce::Component&, const juce::File&, const MidiFileSaveController::Appearance&,
                            MidiFileSaveController::FileCallback) {};
    const auto question = [] (juce::Component&, const juce::File&, MidiFileSaveController::AnswerCallback) {};
    const auto dismiss = [] {};

    const struct { bool plain, styledChooser, confirm, dismissal, usable; } cases[] = {
        { true,  false, true,  true,  true },
        { false, true,  true,  true,  true },
        { false, false, true,  true,  false },
        { true,  false, false, true,  false },
        { true,  false, true,  false, false },
        { false, false, false, false, false },
    };

    for (const auto& c : cases)
    {
        MidiFileSaveController::Backend b;
        if (c.plain)         b.chooseFile = chooser;
        if (c.styledChooser) b.chooseFileStyled = styled;
        if (c.confirm)       b.confirmReplace = question;
        if (c.dismissal)     b.dismissDialogs = dismiss;

        EXPECT_EQ (b.isUsable(), c.usable) << c.plain << c.styledChooser << c.confirm << c.dismissal;
    }
}

TEST_F (MidiFileSaveControllerTest, DescribeResultTexts)
{
    const auto file = juce::File ("/tmp/Verse.mid");

    EXPECT_EQ (MidiFileSaveController::describeResult ({ Result::saved, file, {} }, "Bass"), "Bass MIDI saved to /tmp/Verse.mid");
    EXPECT_EQ (MidiFileSaveController::describeResult ({ Result::cancelled, file, {} }, "Bass"), "");
    EXPECT_EQ (MidiFileSaveController::describeResult ({ Result::failed, file, "Disk full." }, "Body"),
               "Could not save Body MIDI to /tmp/Verse.mid. Disk full.");
    EXPECT_EQ (MidiFileSaveController::describeResult ({ Result::failed, {}, "Disk full." }, "Body"),
               "Could not save Body MIDI. Disk full.");
}
