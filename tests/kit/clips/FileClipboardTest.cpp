#include "kit/clips/FileClipboard.h"

#include "kit/clips/ClipboardFileOwner.h"
#include "kit/clips/ClipsTestSupport.h"
#include "kit/KitTestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using velmar::FileClipboard;

namespace
{
    struct FakeOwner : velmar::ClipboardFileOwner
    {
        FileClipboard::Result answer { true, "X11 CLIPBOARD", {} };
        juce::Array<juce::File> published;

        FileClipboard::Result publish (const juce::File& file) override
        {
            published.add (file);
            return answer;
        }
    };

    struct LogCapture : juce::Logger
    {
        LogCapture() { juce::Logger::setCurrentLogger (this); }
        ~LogCapture() override { juce::Logger::setCurrentLogger (nullptr); }
        void logMessage (const juce::String& message) override { lines.add (message); }
        juce::StringArray lines;
    };

    struct FileClipboardTest : ::testing::Test
    {
        juce::ScopedJuceInitialiser_GUI juce;
        cliptest::TemporaryFolder folder;
        FakeOwner owner;
        LogCapture log;

        void SetUp() override { FileClipboard::setOwnerForTesting (&owner); }
        void TearDown() override { FileClipboard::setOwnerForTesting (nullptr); }

        // Copies and checks that the result comes later, through the message queue, once.
        std::optional<FileClipboard::Result> copyAndWait (const juce::File& file)
        {
            std::vector<FileClipboard::Result> results;
            FileClipboard::copyFile (file, nullptr, [&results] (const FileClipboard::Result& r) { results.push_back (r); });
            EXPECT_TRUE (results.empty()) << "delivered inside copyFile";

            kittest::pumpMessagesFor (50);
            EXPECT_EQ (results.size(), 1u);
            return results.empty() ? std::nullopt : std::optional (results.front());
        }
    };
} // namespace

TEST_F (FileClipboardTest, MissingEmptyOrFolderIsRefusedBeforeAnyClipboardCall)
{
    const juce::File refused[] = { folder.root.getChildFile ("missing.mid"), folder.file ("Empty.mid", ""), folder.root };

    for (const auto& file : refused)
    {
        SCOPED_TRACE (file.getFileName());
        log.lines.clear();
        const auto result = copyAndWait (file);

        ASSERT_TRUE (result.has_value());
        EXPECT_FALSE (result->ok);
        EXPECT_EQ (result->method, "validation");
        EXPECT_EQ (result->error, "The MIDI file is missing or empty.");
        EXPECT_EQ (log.lines, juce::StringArray ("MIDI file clipboard [validation]: The MIDI file is missing or empty."));
    }

    EXPECT_TRUE (owner.published.isEmpty());
}

TEST_F (FileClipboardTest, ThePublishersResultIsLoggedAndDeliveredLater)
{
    const auto clip = folder.file ("Verse - Body.mid", "MThd-clip");

    const FileClipboard::Result answers[] = {
        { true, "X11 CLIPBOARD", {} },
        { false, "X11 CLIPBOARD", "Publishing file failed (X11 10)." },
    };

    for (const auto& answer : answers)
    {
        log.lines.clear();
        owner.answer = answer;
        const auto result = copyAndWait (clip);

        ASSERT_TRUE (result.has_value());
        EXPECT_EQ (result->ok, answer.ok);
        EXPECT_EQ (result->method, answer.method);
        EXPECT_EQ (result->error, answer.error);
        EXPECT_EQ (log.lines, juce::StringArray ("MIDI file clipboard [X11 CLIPBOARD]: "
                                                 + (answer.ok ? juce::String ("file published") : answer.error)));
    }

    EXPECT_EQ (owner.published, juce::Array<juce::File> (clip, clip));

    // Nobody to tell is fine too.
    FileClipboard::copyFile (clip, nullptr, nullptr);
    kittest::pumpMessagesFor (20);
}

TEST_F (FileClipboardTest, WithoutADisplayTheOwnerCannotBeCreated)
{
    FileClipboard::setOwnerForTesting (nullptr);
    cliptest::ScopedEnvironment noDisplay ("DISPLAY", nullptr);

    const auto result = copyAndWait (folder.file ("Clip.mid", "MThd"));

    ASSERT_TRUE (result.has_value());
    EXPECT_FALSE (result->ok);
    EXPECT_EQ (result->method, "X11 CLIPBOARD");
    EXPECT_TRUE (result->error.startsWith ("Creating clipboard owner failed (X11 ")) << result->error;
    EXPECT_TRUE (result->error.endsWith (").")) << result->error;

    const auto text = FileClipboard::describeResult (*result, "Bass");
    EXPECT_EQ (text, "Could not copy Bass MIDI file. " + result->error + " Use Save to Disk.");
}

TEST_F (FileClipboardTest, DescribeResultTexts)
{
    EXPECT_EQ (FileClipboard::describeResult ({ true, "X11 CLIPBOARD", {} }, "Shimmer"), "Shimmer MIDI file copied to clipboard.");
    EXPECT_EQ (FileClipboard::describeResult ({ false, "validation", "The MIDI file is missing or empty." }, "All"),
               "Could not copy All MIDI file. The MIDI file is missing or empty. Use Save to Disk.");
}

TEST_F (FileClipboardTest, EveryExportFolderIsNewAndNamedByARandomId)
{
    const auto exports = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("Velmar MIDI Exports");
    const auto first = FileClipboard::makeExportFolder ("Corvessa");
    const auto second = FileClipboard::makeExportFolder ("Corvessa");
    const auto legalised = FileClipboard::makeExportFolder ("Cor/ves:sa?");

    for (const auto& made : { first, second, legalised })
    {
        EXPECT_TRUE (made.isDirectory());
        EXPECT_EQ (made.getParentDirectory(), exports.getChildFile ("Corvessa"));
        EXPECT_EQ (made.getFileName().length(), 32);
        EXPECT_TRUE (made.getFileName().containsOnly ("0123456789abcdef")) << made.getFileName();
    }

    EXPECT_NE (first, second);
    EXPECT_NE (second, legalised);

    for (const auto& made : { first, second, legalised })
        made.deleteRecursively();
}

TEST_F (FileClipboardTest, AnExportFolderThatCannotBeCreatedIsTheEmptyFile)
{
    const auto name = "clips-test-" + juce::Uuid().toString();
    const auto blocker = juce::File::getSpecialLocation (juce::File::tempDirectory)
                             .getChildFile ("Velmar MIDI Exports").getChildFile (name);
    ASSERT_TRUE (blocker.create()); // a file where the product's folder belongs

    EXPECT_EQ (FileClipboard::makeExportFolder (name), juce::File());
    blocker.deleteFile();
}
