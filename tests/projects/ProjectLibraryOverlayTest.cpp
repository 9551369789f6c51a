#include "projects/ProjectLibraryOverlay.h"

#include "editor/look/Palette.h"
#include "support/ComponentSnapshot.h"

#include "ProjectTestSupport.h"

namespace
{
    using Entry = ProjectLibraryOverlay::Entry;
    using juce::Rectangle;

    std::vector<Entry> makeEntries (int count)
    {
        std::vector<Entry> entries;

        for (int i = 0; i < count; ++i)
            entries.push_back ({ juce::File ("/library/Song " + juce::String (i + 1) + ".json"),
                                 "Song " + juce::String (i + 1), "Description " + juce::String (i + 1) });

        return entries;
    }

    ::testing::AssertionResult near (juce::Colour actual, juce::Colour expected)
    {
        const auto difference = std::abs (actual.getRed() - expected.getRed())
                              + std::abs (actual.getGreen() - expected.getGreen())
                              + std::abs (actual.getBlue() - expected.getBlue());

        if (difference <= 9)
            return ::testing::AssertionSuccess();

        return ::testing::AssertionFailure() << actual.toDisplayString (false) << " is not " << expected.toDisplayString (false);
    }

    // The editor's canvas with the overlay on it, and what the overlay reported.
    struct ProjectLibraryOverlayTest : ::testing::Test
    {
        juce::ScopedJuceInitialiser_GUI gui;
        juce::Component canvas;
        ProjectLibraryOverlay overlay;

        juce::StringArray saves;
        juce::Array<juce::File> loads, deletes;
        int folderOpens = 0;
        bool visibleWhenLoadArrived = true;

        void SetUp() override
        {
            canvas.setSize (600, 860);
            canvas.addChildComponent (overlay);
            overlay.onSave = [this] (const juce::String& name, const juce::String& description) { saves.add (name + "|" + description); };
            overlay.onLoad = [this] (const juce::File& file) { visibleWhenLoadArrived = overlay.isVisible(); loads.add (file); };
            overlay.onDelete = [this] (const juce::File& file) { deletes.add (file); };
            overlay.onOpenFolder = [this] { ++folderOpens; };
        }

        void press (juce::Button& button) { ASSERT_TRUE (button.onClick != nullptr); button.onClick(); }
        bool key (int code) { return overlay.keyPressed (juce::KeyPress (code)); }

        juce::Colour messageColour() const { return overlay.getMessageLabel().findColour (juce::Label::textColourId); }
    };
} // namespace

TEST_F (ProjectLibraryOverlayTest, StartsHiddenAndCoversTheCanvasWhenShown)
{
    EXPECT_FALSE (overlay.isVisible());
    EXPECT_TRUE (overlay.getWantsKeyboardFocus());

    overlay.setEntries ({});
    EXPECT_TRUE (overlay.isVisible());
    EXPECT_EQ (overlay.getBounds(), canvas.getLocalBounds());

    EXPECT_EQ (overlay.getCardBounds(), Rectangle<int> (40, 170, 520, 520));
    EXPECT_EQ (overlay.getCloseButton().getBounds(), Rectangle<int> (465, 184, 70, 27));
    EXPECT_EQ (overlay.getFolderLink().getBounds(), Rectangle<int> (156, 243, 126, 24));
    EXPECT_EQ (overlay.getListViewport().getBounds(), Rectangle<int> (62, 267, 220, 405));
    EXPECT_EQ (overlay.getEmptyListLabel().getBounds(), Rectangle<int> (62, 267, 220, 405));
    EXPECT_EQ (overlay.getNameEditor().getBounds(), Rectangle<int> (302, 269, 236, 32));
    EXPECT_EQ (overlay.getDescriptionEditor().getBounds(), Rectangle<int> (302, 333, 236, 185));
    EXPECT_EQ (overlay.getSaveButton().getBounds(), Rectangle<int> (302, 536, 236, 30));
    EXPECT_EQ (overlay.getLoadButton().getBounds(), Rectangle<int> (302, 574, 236, 30));
    EXPECT_EQ (overlay.getDeleteButton().getBounds(), Rectangle<int> (302, 612, 236, 30));
    EXPECT_EQ (overlay.getMessageLabel().getBounds(), Rectangle<int> (302, 650, 236, 22));
    EXPECT_TRUE (overlay.getConfirmButton().getBounds().isEmpty());

    overlay.setEntries (makeEntries (1));
    press (overlay.getDeleteButton());   // nothing selected
    overlay.selectRow (0);
    press (overlay.getDeleteButton());
    EXPECT_EQ (overlay.getConfirmationLabel().getBounds(), Rectangle<int> (302, 536, 236, 30));
    EXPECT_EQ (overlay.getCancelButton().getBounds(), Rectangle<int> (302, 577, 113, 30));
    EXPECT_EQ (overlay.getConfirmButton().getBounds(), Rectangle<int> (425, 577, 113, 30));
    EXPECT_TRUE (overlay.getSaveButton().getBounds().isEmpty());

    // A small canvas keeps the card at its smallest size, centred.
    canvas.setSize (300, 200);
    overlay.setEntries ({});
    EXPECT_EQ (overlay.getCardBounds(), Rectangle<int> (-10, -50, 320, 300));
    EXPECT_GE (overlay.getDescriptionEditor().getHeight(), 0);
}

TEST_F (ProjectLibraryOverlayTest, EmptyLibrary)
{
    overlay.getNameEditor().setText ("left over", false);
    overlay.showMessage ("old", true);
    overlay.setEntries ({});

    EXPECT_TRUE (overlay.getEmptyListLabel().isVisible());
    EXPECT_EQ (overlay.getEmptyListLabel().getText(), "No saved projects");
    EXPECT_FALSE (overlay.getListViewport().isVisible());
    EXPECT_FALSE (overlay.getLoadButton().isEnabled());
    EXPECT_FALSE (overlay.getDeleteButton().isEnabled());
    EXPECT_TRUE (overlay.getNameEditor().isEmpty());
    EXPECT_TRUE (overlay.getDescriptionEditor().isEmpty());
    EXPECT_TRUE (overlay.getMessageLabel().getText().isEmpty());
}

TEST_F (ProjectLibraryOverlayTest, ShowingTheCurrentProjectSelectsItsRow)
{
    const auto entries = makeEntries (3);
    overlay.setEntriesAndSelect (entries, entries[1].file);

    EXPECT_EQ (overlay.getSelectedIndex(), 1);
    EXPECT_EQ (overlay.getNameEditor().getText(), "Song 2");
    EXPECT_EQ (overlay.getDescriptionEditor().getText(), "Description 2");
    EXPECT_TRUE (overlay.getLoadButton().isEnabled());
    EXPECT_TRUE (overlay.getDeleteButton().isEnabled());

    ASSERT_EQ (overlay.getNumRows(), 3);
    EXPECT_EQ (overlay.getRowButton (0)->getButtonText(), "Song 1");
    EXPECT_EQ (overlay.getRowButton (1)->findColour (juce::TextButton::buttonColourId), Palette::surface1);
    EXPECT_EQ (overlay.getRowButton (1)->findColour (juce::TextButton::textColourOffId), Palette::mauve);
    EXPECT_EQ (overlay.getRowButton (0)->findColour (juce::TextButton::buttonColourId), Palette::surface0);
    EXPECT_EQ (overlay.getRowButton (0)->findColour (juce::TextButton::textColourOffId), Palette::text.withAlpha (0.88f));

    // A file that is not listed selects nothing.
    overlay.setEntriesAndSelect (entries, juce::File ("/library/Other.json"));
    EXPECT_EQ (overlay.getSelectedIndex(), -1);
    EXPECT_TRUE (overlay.getNameEditor().isEmpty());
}

TEST_F (ProjectLibraryOverlayTest, RowsStackEveryThirtyFourPixels)
{
    overlay.setEntries (makeEntries (8));

    for (int i = 0; i < 8; ++i)
        EXPECT_EQ (overlay.getRowButton (i)->getBounds(), Rectangle<int> (0, 34 * i, 202, 28)) << i;

    EXPECT_EQ (overlay.getListContent().getHeight(), 405);

    overlay.setEntries (makeEntries (13));
    EXPECT_EQ (overlay.getListContent().getHeight(), 442);
    EXPECT_EQ (overlay.getListContent().getWidth(), 202);
    EXPECT_TRUE (overlay.getListViewport().canScrollVertically());
}

TEST_F (ProjectLibraryOverlayTest, SaveReportsTrimmedTexts)
{
    overlay.setEntries ({});

    overlay.getNameEditor().setText ("   ", false);
    press (overlay.getSaveButton());
    EXPECT_EQ (overlay.getMessageLabel().getText(), "Name cannot be empty.");
    EXPECT_EQ (messageColour(), Palette::red);

    overlay.getNameEditor().setText ("  New Song ", false);
    overlay.getDescriptionEditor().setText ("\n  line one\nline two  \n", false);
    press (overlay.getSaveButton());
    ASSERT_TRUE (overlay.getNameEditor().onReturnKey != nullptr);
    overlay.getNameEditor().onReturnKey();

    EXPECT_EQ (saves, juce::StringArray ({ "New Song|line one\nline two", "New Song|line one\nline two" }));
    EXPECT_TRUE (overlay.isVisible());

    overlay.showMessage ("Saved: New Song", false);
    EXPECT_EQ (messageColour(), Palette::green);
}

TEST_F (ProjectLibraryOverlayTest, LoadHidesTheOverlayFirst)
{
    const auto entries = makeEntries (2);
    overlay.setEntries (entries);

    overlay.loadSelected();
    EXPECT_EQ (overlay.getMessageLabel().getText(), "Choose a project first.");
    EXPECT_TRUE (loads.isEmpty());

    ASSERT_NE (overlay.getRowButton (1), nullptr);
    press (*overlay.getRowButton (1));
    press (overlay.getLoadButton());

    ASSERT_EQ (loads.size(), 1);
    EXPECT_EQ (loads[0], entries[1].file);
    EXPECT_FALSE (visibleWhenLoadArrived);
    EXPECT_FALSE (overlay.isVisible());
}

TEST_F (ProjectLibraryOverlayTest, DeleteAsksFirstAndEscapeKeepsTheFile)
{
    const auto entries = makeEntries (3);
    overlay.setEntriesAndSelect (entries, entries[2].file);
    overlay.showMessage ("Saved: Song 3", false);

    press (overlay.getDeleteButton());
    EXPECT_TRUE (overlay.isConfirming());
    EXPECT_EQ (overlay.getConfirmationLabel().getText(), "Delete \"Song 3\" from the local project library?");
    EXPECT_EQ (overlay.getConfirmButton().getButtonText(), "Delete");
    EXPECT_EQ (overlay.getConfirmButton().findColour (juce::TextButton::buttonColourId), Palette::red.withAlpha (0.36f));
    EXPECT_TRUE (overlay.getMessageLabel().getText().isEmpty());

    // While asking, the fields and the other actions rest.
    EXPECT_FALSE (overlay.getNameEditor().isEnabled());
    EXPECT_FALSE (overlay.getDescriptionEditor().isEnabled());
    EXPECT_FALSE (overlay.getSaveButton().isEnabled());
    EXPECT_FALSE (overlay.getLoadButton().isVisible());
    EXPECT_FALSE (overlay.getDeleteButton().isVisible());
    EXPECT_TRUE (overlay.getConfirmButton().isVisible());
    EXPECT_TRUE (overlay.getCancelButton().isVisible());
    overlay.submitSave();
    overlay.loadSelected();
    overlay.deleteSelected();
    EXPECT_TRUE (saves.isEmpty());
    EXPECT_TRUE (loads.isEmpty());

    EXPECT_TRUE (key (juce::KeyPress::escapeKey));
    EXPECT_FALSE (overlay.isConfirming());
    EXPECT_TRUE (overlay.isVisible());
    EXPECT_TRUE (deletes.isEmpty());

    // The dropped question never runs, even when confirmed later.
    overlay.confirmPending();
    EXPECT_TRUE (deletes.isEmpty());
}

TEST_F (ProjectLibraryOverlayTest, DeleteThenReturnReportsTheFileOnce)
{
    const auto entries = makeEntries (3);
    overlay.setEntriesAndSelect (entries, entries[0].file);

    press (overlay.getDeleteButton());
    EXPECT_TRUE (key (juce::KeyPress::returnKey));
    EXPECT_FALSE (overlay.isConfirming());
    EXPECT_TRUE (overlay.isVisible());

    EXPECT_FALSE (key (juce::KeyPress::returnKey));   // not asking any more: not consumed
    overlay.confirmPending();
    ASSERT_EQ (deletes.size(), 1);
    EXPECT_EQ (deletes[0], entries[0].file);

    // The window's refresh after the deletion leaves nothing selected and the fields empty.
    overlay.replaceEntriesKeepingSelection ({ entries[1], entries[2] });
    EXPECT_EQ (overlay.getSelectedIndex(), -1);
    EXPECT_TRUE (overlay.getNameEditor().isEmpty());
    EXPECT_FALSE (overlay.getLoadButton().isEnabled());
}

TEST_F (ProjectLibraryOverlayTest, OverwriteQuestionRunsItsActionOnConfirm)
{
    overlay.setEntries (makeEntries (2));
    int overwrites = 0;

    overlay.askOverwrite ("Song 1", [&] { ++overwrites; });
    EXPECT_EQ (overlay.getConfirmationLabel().getText(), "Overwrite existing project \"Song 1\"?");
    EXPECT_EQ (overlay.getConfirmButton().getButtonText(), "Overwrite");
    EXPECT_EQ (overlay.getConfirmButton().findColour (juce::TextButton::buttonColourId), Palette::surface0);

    press (overlay.getConfirmButton());
    press (overlay.getConfirmButton());
    EXPECT_EQ (overwrites, 1);

    // A row click drops an open question and selects the row.
    overlay.askOverwrite ("Song 1", [&] { ++overwrites; });
    press (*overlay.getRowButton (1));
    EXPECT_FALSE (overlay.isConfirming());
    EXPECT_EQ (overlay.getSelectedIndex(), 1);
    EXPECT_EQ (overlay.getNameEditor().getText(), "Song 2");

    // So do Cancel and Close.
    overlay.askOverwrite ("Song 1", [&] { ++overwrites; });
    press (overlay.getCancelButton());
    overlay.askOverwrite ("Song 1", [&] { ++overwrites; });
    press (overlay.getCloseButton());
    EXPECT_FALSE (overlay.isVisible());
    overlay.confirmPending();
    EXPECT_EQ (overwrites, 1);

    // The window's refresh after the save selects the saved file and shows its texts.
    const auto updated = makeEntries (3);
    overlay.replaceEntriesSelecting (updated, updated[2].file);
    EXPECT_EQ (overlay.getSelectedIndex(), 2);
    EXPECT_EQ (overlay.getDescriptionEditor().getText(), "Description 3");
}

TEST_F (ProjectLibraryOverlayTest, EscapeClosesFromEveryPlace)
{
    overlay.setEntries (makeEntries (1));
    EXPECT_TRUE (key (juce::KeyPress::escapeKey));
    EXPECT_FALSE (overlay.isVisible());

    for (auto* field : { &overlay.getNameEditor(), &overlay.getDescriptionEditor() })
    {
        overlay.setEntries (makeEntries (1));
        ASSERT_TRUE (field->onEscapeKey != nullptr);
        field->onEscapeKey();
        EXPECT_FALSE (overlay.isVisible());
    }

    EXPECT_FALSE (key ('a'));
    EXPECT_FALSE (overlay.getDescriptionEditor().onReturnKey != nullptr);   // Return makes a new line there
}

TEST_F (ProjectLibraryOverlayTest, FolderLinkReportsOnly)
{
    overlay.setEntries ({});
    EXPECT_EQ (overlay.getFolderLink().getButtonText(), "Open Projects Folder");
    EXPECT_EQ (overlay.getFolderLink().getTooltip(), "Open the project folder in your file manager");
    EXPECT_TRUE (overlay.getFolderLink().getURL().isEmpty());
    press (overlay.getFolderLink());
    EXPECT_EQ (folderOpens, 1);
}

TEST_F (ProjectLibraryOverlayTest, Pictures)
{
    overlay.setEntries ({});
    auto image = corvessa::test::writeSnapshot (canvas, "project-library-empty");
    EXPECT_TRUE (near (image.getPixelAt (10, 10), Palette::mantle));
    EXPECT_TRUE (near (image.getPixelAt (300, 180), Palette::base));          // header band
    EXPECT_TRUE (near (image.getPixelAt (300, 690 - 10), Palette::mantle));   // card body
    EXPECT_TRUE (corvessa::test::hasInk (image, { 65, 170, 300, 55 }, Palette::base));      // the title
    EXPECT_TRUE (corvessa::test::hasInk (image, { 62, 243, 94, 24 }, Palette::mantle));     // "PROJECTS"
    EXPECT_TRUE (corvessa::test::hasInk (image, { 62, 267, 220, 405 }, Palette::mantle));   // "No saved projects"

    const auto entries = makeEntries (6);
    overlay.setEntriesAndSelect (entries, entries[1].file);
    overlay.showMessage ("Saved: Song 2", false);
    image = corvessa::test::writeSnapshot (canvas, "project-library-list");
    EXPECT_TRUE (near (image.getPixelAt (66, 267 + 34 + 3), Palette::surface1));   // the selected row
    EXPECT_TRUE (near (image.getPixelAt (66, 267 + 3), Palette::surface0));

    press (overlay.getDeleteButton());
    image = corvessa::test::writeSnapshot (canvas, "project-library-confirm-delete");
    EXPECT_TRUE (corvessa::test::hasInk (image, { 302, 536, 236, 30 }, Palette::mantle));
}
