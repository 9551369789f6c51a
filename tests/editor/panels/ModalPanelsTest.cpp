// The modal panel family: the panel card, the scrim and the confirmation dialog's order of
// hiding, acting and closing.
#include "editor/panels/ConfirmationDialog.h"
#include "editor/panels/ModalScrimComponent.h"
#include "editor/panels/PanelComponent.h"
#include "editor/look/Palette.h"

#include "editor/PixelTestSupport.h"
#include "support/ComponentSnapshot.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
const juce::Colour backdrop { 0xff000000 };

struct DialogScene
{
    DialogScene()
    {
        dialog.setBounds (0, 0, 500, 170);
        dialog.onClosed = [this] { events.push_back (dialog.isVisible() ? "closed (visible)" : "closed"); };
    }

    void open (bool withAction)
    {
        if (withAction)
            dialog.onConfirm = [this] { events.push_back (dialog.isVisible() ? "action (visible)" : "action"); };
        dialog.setVisible (true);
    }

    void confirm() { dialog.buttonClicked (&dialog.confirmButton); }
    void cancel() { dialog.buttonClicked (&dialog.getCancelButton()); }

    ConfirmationDialog dialog;
    std::vector<juce::String> events;
};
} // namespace

TEST (ConfirmationDialog, HidesThenRunsTheActionOnlyOnConfirmThenCloses)
{
    juce::ScopedJuceInitialiser_GUI gui;

    struct Case { const char* name; bool confirm; std::vector<juce::String> events; };
    const Case cases[] = {
        { "confirm", true,  { "action", "closed" } },
        { "cancel",  false, { "closed" } },
    };

    for (const auto& c : cases)
    {
        DialogScene scene;
        scene.open (true);
        c.confirm ? scene.confirm() : scene.cancel();
        EXPECT_EQ (scene.events, c.events) << c.name;
        EXPECT_FALSE (scene.dialog.isVisible()) << c.name;
        EXPECT_FALSE (scene.dialog.onConfirm) << c.name;
    }
}

TEST (ConfirmationDialog, CancelDiscardsThePendingAction)
{
    juce::ScopedJuceInitialiser_GUI gui;
    DialogScene scene;
    scene.open (true);
    scene.cancel();
    scene.open (false);
    scene.confirm();
    EXPECT_EQ (scene.events, (std::vector<juce::String> { "closed", "closed" }));
}

TEST (ConfirmationDialog, AnActionMayOpenTheDialogAgain)
{
    juce::ScopedJuceInitialiser_GUI gui;
    ConfirmationDialog dialog;
    int actions = 0;
    dialog.onConfirm = [&]
    {
        ++actions;
        EXPECT_FALSE (dialog.isVisible());
        dialog.onConfirm = [&] { ++actions; };
        dialog.setVisible (true);
    };
    dialog.setVisible (true);
    dialog.buttonClicked (&dialog.confirmButton);
    EXPECT_TRUE (dialog.isVisible());
    dialog.buttonClicked (&dialog.confirmButton);
    EXPECT_EQ (actions, 2);
    EXPECT_FALSE (dialog.isVisible());
}

TEST (ConfirmationDialog, ButtonsSitAtTheBottomRight)
{
    juce::ScopedJuceInitialiser_GUI gui;

    struct Case { int width; juce::Rectangle<int> confirm, cancel; };
    const Case cases[] = {
        { 500, { 257, 124, 120, 28 }, { 387, 124, 88, 28 } },
        { 137, { 25, 124, 0, 28 },    { 25, 124, 87, 28 } },    // too narrow: no room to confirm
        { 200, { 25, 124, 52, 28 },   { 87, 124, 88, 28 } },
    };

    for (const auto& c : cases)
    {
        ConfirmationDialog dialog;
        dialog.setBounds (0, 0, c.width, 170);
        EXPECT_EQ (dialog.confirmButton.getBounds(), c.confirm) << c.width;
        EXPECT_EQ (dialog.getCancelButton().getBounds(), c.cancel) << c.width;
    }
}

TEST (ConfirmationDialog, StartsWithItsOwnTextsAndColours)
{
    juce::ScopedJuceInitialiser_GUI gui;
    ConfirmationDialog dialog;
    EXPECT_EQ (dialog.title, "Confirm");
    EXPECT_EQ (dialog.confirmButton.getButtonText(), "Confirm");
    EXPECT_EQ (dialog.getCancelButton().getButtonText(), "Cancel");
    EXPECT_EQ (dialog.confirmButton.findColour (juce::TextButton::buttonColourId), Palette::red.withAlpha (0.36f));
    EXPECT_EQ (dialog.getCancelButton().findColour (juce::TextButton::buttonColourId), Palette::surface0);
}

TEST (PanelComponent, PaintsBodyHeaderAndFrame)
{
    juce::ScopedJuceInitialiser_GUI gui;

    for (const juce::String title : { "", "Rename Section" })
    {
        PanelComponent panel;
        panel.setTitle (title);
        panel.setBounds (0, 0, 420, 170);
        PixelTest::Backdrop scene (panel, backdrop);
        const auto image = scene.render();

        EXPECT_TRUE (PixelTest::near (image.getPixelAt (210, 120), Palette::mantle)) << title;
        EXPECT_TRUE (PixelTest::near (image.getPixelAt (400, 50), Palette::base)) << title;   // square lower header corner
        EXPECT_TRUE (PixelTest::near (image.getPixelAt (1, 85), Palette::overlay2, 8)) << title;
        EXPECT_EQ (corvessa::test::hasInk (image, { 25, 10, 300, 35 }, Palette::base), title.isNotEmpty()) << title;
    }
}

TEST (ModalScrimComponent, DimsWhenAskedAndAlwaysSwallowsClicks)
{
    juce::ScopedJuceInitialiser_GUI gui;
    const juce::Colour behind { 0xff89b4fa };

    for (const bool dimmed : { true, false })
    {
        ModalScrimComponent scrim;
        scrim.dimmed = dimmed;
        scrim.setBounds (0, 0, 60, 60);
        PixelTest::Backdrop scene (scrim, behind);
        const auto expected = dimmed ? PixelTest::over (behind, Palette::mantle.withAlpha (0.85f)) : behind;
        EXPECT_TRUE (PixelTest::near (scene.render().getPixelAt (30, 30), expected)) << dimmed;
        EXPECT_EQ (scene.getComponentAt (30, 30), &scrim) << dimmed;
    }
}
