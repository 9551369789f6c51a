// The clip tiles' menu on a real display: a right click on a tile opens "Copy" and "Save to
// Disk" inside the window; Copy puts the clip on the system clipboard, where another program
// reads it, and Save to Disk writes it where the save dialog is answered.
#include "../EditorFixture.h"

#include "kit/clips/FileUri.h"
#include "support/ComponentSearch.h"
#include "support/OtherProgram.h"

using corvessa::test::findChild;
using corvessa::test::findOnDesktop;

namespace
{
// Runs a command to its end while this process serves its messages (it owns the clipboard).
juce::String runWhilePumping (const juce::StringArray& command, int timeoutMs = 10000)
{
    corvessa::test::OtherProgram process (command, true);
    if (! process.started())
        return "<could not start " + command[0] + ">";
    if (! process.waitForEnd (timeoutMs))
        return "<" + command[0] + " did not finish>";
    return process.output();
}
} // namespace

class ClipTilesDisplayTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        ::setenv ("TMPDIR", home.getChildFile ("tmp").getFullPathName().toRawUTF8(), 1);
        ASSERT_TRUE (home.getChildFile ("tmp").createDirectory());

        processor->setSections (song ({ { "Verse", "C Am F G" } }), true);
        processor->setSelectedSectionViewIndex (0);
        processor->setWorkingSection (processor->getSections()[0]);
        waitForCompile();
        editor->syncControlsFromProcessor (true);
        probe->tick();

        showOnDesktop();
    }

    void TearDown() override
    {
        editor->removeFromDesktop();
        EditorTest::TearDown();
        ::unsetenv ("TMPDIR");
    }

    // A right click on the tile, as the user gives it, and the menu item picked by its keys.
    void pickFromClipMenu (const juce::String& tileName, int item)
    {
        const auto centre = probe->find (tileName)->getScreenBounds().getCentre();
        runWhilePumping ({ "xdotool", "mousemove", juce::String (centre.x), juce::String (centre.y) });
        runWhilePumping ({ "xdotool", "click", "3" });
        ASSERT_TRUE (pumpUntil ([] { return juce::Component::getCurrentlyModalComponent() != nullptr; }));
        auto* menu = juce::Component::getCurrentlyModalComponent();
        EXPECT_TRUE (editor->getScreenBounds().contains (menu->getScreenBounds())) << menu->getScreenBounds().toString();

        for (int i = 0; i < item; ++i)
            menu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));
        menu->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
        pumpUntil ([] { return juce::Component::getCurrentlyModalComponent() == nullptr; });
    }

    juce::File home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
};

TEST_F (ClipTilesDisplayTest, CopyPutsTheClipOnTheSystemClipboard)
{
    pickFromClipMenu ("tile Bass", 1);
    ASSERT_TRUE (pumpUntil ([this] { return probe->status().getText().contains ("clipboard"); }));
    EXPECT_EQ (probe->status().getText(), "Status: Bass MIDI file copied to clipboard.");

    const auto uriList = runWhilePumping ({ "xclip", "-selection", "clipboard", "-t", "text/uri-list", "-o" }).trim();
    ASSERT_TRUE (uriList.startsWith ("file://")) << uriList;
    const auto folders = home.getChildFile ("tmp/Velmar MIDI Exports/Corvessa").findChildFiles (juce::File::findDirectories, false);
    ASSERT_EQ (folders.size(), 1);
    const auto clip = folders[0].getChildFile ("Verse - Bass.mid");
    EXPECT_EQ (uriList, velmar::fileUri (clip));
    EXPECT_TRUE (clip.loadFileAsString().startsWith ("MThd"));
}

TEST_F (ClipTilesDisplayTest, SaveToDiskWritesTheClipWhereTheDialogSays)
{
    pickFromClipMenu ("tile Body", 2);

    juce::FileChooserDialogBox* chooser = nullptr;
    ASSERT_TRUE (pumpUntil ([&] { return (chooser = findOnDesktop<juce::FileChooserDialogBox>()) != nullptr; }));
    auto* browser = findChild<juce::FileBrowserComponent> (*chooser);
    ASSERT_NE (browser, nullptr);
    EXPECT_EQ (browser->getSelectedFile (0).getFileName(), "Corvessa-Verse - Body.mid");

    browser->setFileName ("Body clip");
    chooser->exitModalState (1);

    const auto saved = browser->getRoot().getChildFile ("Body clip.mid");
    ASSERT_TRUE (pumpUntil ([this] { return probe->status().getText().contains ("saved"); }));
    EXPECT_EQ (probe->status().getText(), "Status: Body MIDI saved to " + saved.getFullPathName());

    const auto folders = home.getChildFile ("tmp/Velmar MIDI Exports/Corvessa").findChildFiles (juce::File::findDirectories, false);
    ASSERT_EQ (folders.size(), 1);
    juce::MemoryBlock clip, written;
    ASSERT_TRUE (folders[0].getChildFile ("Verse - Body.mid").loadFileAsData (clip));
    ASSERT_TRUE (saved.loadFileAsData (written));
    EXPECT_EQ (written, clip);
    EXPECT_TRUE (pumpUntil ([] { return findOnDesktop<juce::FileChooserDialogBox>() == nullptr; }));
}
