// The file clipboard against a real X server: another program (xclip) reads what we publish,
// and takes the clipboard away from us.
#include "kit/clips/FileClipboard.h"

#include "kit/clips/FileUri.h"
#include "kit/clips/X11ClipboardOwner.h"
#include "kit/KitTestSupport.h"
#include "support/OtherProgram.h"

#include <gtest/gtest.h>

#include <optional>

using velmar::FileClipboard;

namespace
{
    // Runs a program to its end while this process keeps serving its events (the clipboard
    // answers from the message loop); returns its standard output.
    juce::String runWhileServing (const juce::StringArray& command)
    {
        corvessa::test::OtherProgram process (command, true);
        if (! process.started())
            return "<could not start " + command[0] + ">";
        if (! process.waitForEnd())
            return "<" + command[0] + " did not finish>";
        return process.output();
    }

    juce::String readClipboard (const juce::String& target)
    {
        return runWhileServing ({ "xclip", "-selection", "clipboard", "-t", target, "-o" });
    }

    struct FileClipboardDisplayTest : ::testing::Test
    {
        juce::ScopedJuceInitialiser_GUI gui;
        juce::File folder = FileClipboard::makeExportFolder ("Corvessa");
        juce::File clip = folder.getChildFile ("Verse 100% - Bass.mid");

        void SetUp() override { ASSERT_TRUE (clip.replaceWithText ("MThd-clip")); }
        void TearDown() override { folder.deleteRecursively(); }

        FileClipboard::Result copy()
        {
            std::optional<FileClipboard::Result> result;
            FileClipboard::copyFile (clip, nullptr, [&result] (const FileClipboard::Result& r) { result = r; });
            EXPECT_TRUE (kittest::pumpMessagesUntil ([&] { return result.has_value(); }, 5000));
            return result.value_or (FileClipboard::Result { false, "none", "no result" });
        }
    };
} // namespace

TEST_F (FileClipboardDisplayTest, OtherProgramsReadTheFileAsAListAndAsText)
{
    const auto result = copy();
    ASSERT_TRUE (result.ok) << result.error;
    EXPECT_EQ (result.method, "X11 CLIPBOARD");
    EXPECT_EQ (FileClipboard::describeResult (result, "Bass"), "Bass MIDI file copied to clipboard.");

    const auto targets = juce::StringArray::fromLines (readClipboard ("TARGETS").trim());
    for (const auto* expected : { "TARGETS", "text/uri-list", "x-special/gnome-copied-files", "UTF8_STRING", "STRING" })
        EXPECT_TRUE (targets.contains (expected)) << expected << " in " << targets.joinIntoString (" ");

    const auto uri = velmar::fileUri (clip);
    EXPECT_TRUE (uri.contains ("Verse%20100%25%20-%20Bass.mid")) << uri;

    const struct { const char* target; juce::String expected; } reads[] = {
        { "text/uri-list",                uri + "\r\n" },
        { "x-special/gnome-copied-files", "copy\n" + uri },
        { "UTF8_STRING",                  clip.getFullPathName() },
        { "STRING",                       clip.getFullPathName() },
    };

    for (const auto& r : reads)
        EXPECT_EQ (readClipboard (r.target), r.expected) << r.target;

    EXPECT_TRUE (velmar::X11ClipboardOwner::getInstance().ownsClipboard());
}

TEST_F (FileClipboardDisplayTest, AnotherProgramTakingTheClipboardEndsTheOwnershipUntilTheNextCopy)
{
    ASSERT_TRUE (copy().ok);
    auto& owner = velmar::X11ClipboardOwner::getInstance();
    ASSERT_TRUE (owner.ownsClipboard());

    const auto text = folder.getChildFile ("other.txt");
    ASSERT_TRUE (text.replaceWithText ("someone else's text"));

    // xclip owns the clipboard in the foreground until it has answered one request.
    corvessa::test::OtherProgram other (juce::StringArray { "xclip", "-selection", "clipboard", "-quiet", "-loops", "1",
                                                            "-i", text.getFullPathName() });
    ASSERT_TRUE (other.started());

    EXPECT_TRUE (kittest::pumpMessagesUntil ([&] { return ! owner.ownsClipboard(); }, 10000));
    EXPECT_EQ (readClipboard ("UTF8_STRING"), "someone else's text");
    EXPECT_TRUE (other.waitForEnd());

    ASSERT_TRUE (copy().ok);
    EXPECT_TRUE (owner.ownsClipboard());
    EXPECT_EQ (readClipboard ("text/uri-list"), velmar::fileUri (clip) + "\r\n");
}
