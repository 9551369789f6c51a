// The rename panel: where its parts sit, what a submitted name does, and its look.
#include "editor/panels/SectionRenameDialog.h"
#include "editor/look/Palette.h"

#include "editor/PixelTestSupport.h"
#include "support/ComponentSnapshot.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// A shown dialog at the window's size that logs its callbacks in order.
struct RenameScene
{
    RenameScene()
    {
        dialog.setBounds (0, 0, 420, 170);
        dialog.sectionIndex = 3;
        dialog.onRename = [this] (int index, const juce::String& name)
        {
            events.push_back ("rename " + juce::String (index) + " '" + name + "'" + (dialog.isVisible() ? " (visible)" : ""));
        };
        dialog.onError = [this] (const juce::String& message) { events.push_back ("error " + message); };
        dialog.onClose = [this] { events.push_back (dialog.isVisible() ? "close (visible)" : "close"); };
        dialog.setVisible (true);
    }

    juce::ScopedJuceInitialiser_GUI gui;
    SectionRenameDialog dialog;
    std::vector<juce::String> events;
};
} // namespace

TEST (SectionRenameDialog, ANameIsTrimmedAndReportedAfterTheDialogClosed)
{
    struct Case { const char* name; std::function<void (SectionRenameDialog&)> submit; };
    const Case cases[] = {
        { "Rename button", [] (SectionRenameDialog& d) { d.buttonClicked (&d.getRenameButton()); } },
        { "Return key", [] (SectionRenameDialog& d)
          {
              // The field reports its Return key through the message queue.
              d.nameEditor.keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
              corvessa::test::pumpMessagesUntil ([&d] { return ! d.isVisible(); }, 2000);
          } },
    };

    for (const auto& c : cases)
    {
        RenameScene scene;
        scene.dialog.nameEditor.setText ("  Verse - soft  ", juce::dontSendNotification);
        c.submit (scene.dialog);
        EXPECT_FALSE (scene.dialog.isVisible()) << c.name;
        EXPECT_EQ (scene.events, (std::vector<juce::String> { "close", "rename 3 'Verse - soft'" })) << c.name;
    }
}

TEST (SectionRenameDialog, ABlankNameIsReportedAndKeepsTheDialogOpen)
{
    for (const char* blank : { "", "   ", "\t " })
    {
        RenameScene scene;
        scene.dialog.nameEditor.setText (blank, juce::dontSendNotification);
        scene.dialog.buttonClicked (&scene.dialog.getRenameButton());
        EXPECT_TRUE (scene.dialog.isVisible());
        EXPECT_EQ (scene.events, (std::vector<juce::String> { "error Status: Section name required" }));
    }
}

TEST (SectionRenameDialog, CancelOnlyHidesAndCloses)
{
    RenameScene scene;
    scene.dialog.nameEditor.setText ("Chorus", juce::dontSendNotification);
    scene.dialog.buttonClicked (&scene.dialog.getCancelButton());
    EXPECT_FALSE (scene.dialog.isVisible());
    EXPECT_EQ (scene.events, (std::vector<juce::String> { "close" }));
}

TEST (SectionRenameDialog, FieldAndButtonsFollowTheWidth)
{
    juce::ScopedJuceInitialiser_GUI gui;

    struct Case { int width; juce::Rectangle<int> field, rename, cancel; };
    const Case cases[] = {
        { 420, { 25, 82, 370, 28 }, { 197, 124, 100, 28 }, { 307, 124, 88, 28 } },
        { 200, { 25, 82, 150, 28 }, { 25, 124, 52, 28 },   { 87, 124, 88, 28 } },
        { 137, { 25, 82, 87, 28 },  { 15, 124, 0, 28 },    { 25, 124, 87, 28 } },   // too narrow to rename
    };

    for (const auto& c : cases)
    {
        SectionRenameDialog dialog;
        dialog.setBounds (0, 0, c.width, 170);
        EXPECT_EQ (dialog.nameEditor.getBounds(), c.field) << c.width;
        EXPECT_EQ (dialog.getRenameButton().getBounds(), c.rename) << c.width;
        EXPECT_EQ (dialog.getCancelButton().getBounds(), c.cancel) << c.width;
    }
}

TEST (SectionRenameDialog, LooksLikeTheWindowsOtherPanels)
{
    RenameScene scene;
    auto& d = scene.dialog;
    EXPECT_EQ (d.title, "Rename Section");
    EXPECT_EQ (d.getRenameButton().getButtonText(), "Rename");
    EXPECT_EQ (d.getCancelButton().getButtonText(), "Cancel");
    EXPECT_EQ (d.getRenameButton().findColour (juce::TextButton::textColourOffId), Palette::mauve);
    EXPECT_EQ (d.getCancelButton().findColour (juce::TextButton::textColourOffId), Palette::text);
    for (auto* button : { &d.getRenameButton(), &d.getCancelButton() })
    {
        EXPECT_EQ (button->findColour (juce::TextButton::buttonColourId), Palette::surface0);
        EXPECT_EQ (button->getMouseCursor(), juce::MouseCursor (juce::MouseCursor::PointingHandCursor));
    }
    EXPECT_EQ (d.nameEditor.findColour (juce::TextEditor::focusedOutlineColourId), Palette::mauve);
    EXPECT_EQ (d.nameEditor.findColour (juce::TextEditor::outlineColourId), Palette::overlay2);

    d.nameEditor.setText ("B - Verse", juce::dontSendNotification);
    PixelTest::Backdrop backdrop (d, juce::Colours::black);
    const auto image = corvessa::test::writeSnapshot (backdrop, "section-rename-dialog");
    EXPECT_TRUE (corvessa::test::hasInk (image, { 25, 62, 100, 16 }, Palette::mantle)) << "the field's caption";
    EXPECT_TRUE (PixelTest::near (image.getPixelAt (380, 95), Palette::base)) << "the field's background";
    EXPECT_TRUE (corvessa::test::hasInk (image, { 25, 10, 300, 35 }, Palette::base)) << "the title";
}
