// The MIDI clip tiles: the files they write, their drags, their copy and save menu, and the
// status texts of every outcome, with the kit's native drag, save dialog and clipboard faked.
#include "EditorFixture.h"

#include "chord_editor/MouseTestSupport.h"
#include "editor/look/Palette.h"
#include "kit/clips/ClipboardFileOwner.h"
#include "kit/clips/ClipsTestSupport.h"

TEST_F (EditorTest, ClipResultsThatFailShowInTheWarningYellow)
{
    const struct { const char* text; juce::Colour colour; } cases[] = {
        { "Status: Bass MIDI drag started", Palette::green },
        { "Status: Body MIDI file copied to clipboard.", Palette::green },
        { "Status: Shimmer MIDI saved to /tmp/x.mid", Palette::green },
        { "Status: Could not create MIDI file.", Palette::yellow },
        { "Status: Could not create a readable Bass MIDI file.", Palette::yellow },
        { "Status: Could not start All MIDI drag. Try again or use Save to Disk.", Palette::yellow },
        { "Status: Could not copy Body MIDI file. Opening clipboard failed. Use Save to Disk.", Palette::yellow },
        { "Status: Could not save Bass MIDI to /tmp/x.mid. Incomplete file write.", Palette::yellow },
        { "Status: Could not prepare Shimmer MIDI clip for saving.", Palette::yellow },
        // Only a failure's own opening words count.
        { "Status: Bass MIDI saved to /tmp/Could not.mid", Palette::green },
    };

    for (const auto& c : cases)
    {
        editor->showStatus (c.text);
        EXPECT_EQ (probe->status().getText(), c.text);
        EXPECT_EQ (probe->status().findColour (juce::Label::textColourId), c.colour) << c.text;
        EXPECT_EQ (probe->holdUntil(), clock.now + 2000) << c.text;
    }
}

namespace
{
struct FakeClipboard : velmar::ClipboardFileOwner
{
    velmar::FileClipboard::Result answer { true, "X11 CLIPBOARD", {} };
    juce::Array<juce::File> published;

    velmar::FileClipboard::Result publish (const juce::File& file) override
    {
        published.add (file);
        return answer;
    }
};

// What the fake native drag was asked to do.
struct DragRequest
{
    juce::StringArray paths;
    bool mayMove = true;
    juce::Component* source = nullptr;
};

// What the fake save dialog was shown, and the file it hands back.
struct SaveDialog
{
    juce::File initialFile, answer;
    velmar::MidiFileSaveController::Appearance appearance;
    int shown = 0;
};

juce::String hexFolderName (const juce::File& folder)
{
    return folder.getFileName().containsOnly ("0123456789abcdef") && folder.getFileName().length() == 32 ? "uuid" : folder.getFileName();
}
} // namespace

class ClipTilesTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        temporary = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("tmp");
        ASSERT_TRUE (temporary.createDirectory());
        ::setenv ("TMPDIR", temporary.getFullPathName().toRawUTF8(), 1);
        velmar::FileClipboard::setOwnerForTesting (&clipboard);

        probe->useDragStarter ([this] (const juce::StringArray& paths, bool mayMove, juce::Component& source, std::function<void()>)
        {
            drags.push_back ({ paths, mayMove, &source });
            return nativeDragStarts;
        });

        velmar::MidiFileSaveController::Backend backend;
        backend.chooseFileStyled = [this] (juce::Component&, const juce::File& initial,
                                           const velmar::MidiFileSaveController::Appearance& appearance,
                                           velmar::MidiFileSaveController::FileCallback chosen)
        {
            ++dialog.shown;
            dialog.initialFile = initial;
            dialog.appearance = appearance;
            juce::MessageManager::callAsync ([chosen, file = dialog.answer] { chosen (file); });
        };
        backend.confirmReplace = [] (juce::Component&, const juce::File&, velmar::MidiFileSaveController::AnswerCallback yes) { yes (true); };
        backend.dismissDialogs = [] {};
        backend.defaultDirectory = [this] { return saveFolder; };
        probe->useSaveBackend (backend);
        ASSERT_TRUE (saveFolder.createDirectory());

        auto sections = song ({ { "Verse", "Cmaj7 Am9 Fmaj7 G7" } });
        sections[0].arrangeShimmerColorNotesEnabled = true;
        processor->setSections (sections, true);
        processor->setSelectedSectionViewIndex (0);
        processor->setWorkingSection (sections[0]);
        waitForCompile();
        editor->syncControlsFromProcessor (true);
    }

    void TearDown() override
    {
        EditorTest::TearDown();
        velmar::FileClipboard::setOwnerForTesting (nullptr);
        ::unsetenv ("TMPDIR");
    }

    juce::Component& tile (const juce::String& name) { return *probe->find (name); }

    // No folder can be made below the temporary folder: it lies under a plain file.
    void breakTemporaryFolder()
    {
        const auto blocker = temporary.getChildFile ("blocker");
        ASSERT_TRUE (blocker.replaceWithText ("x"));
        ::setenv ("TMPDIR", blocker.getChildFile ("below").getFullPathName().toRawUTF8(), 1);
    }

    void pressAndDrag (juce::Component& on, bool rightButton = false)
    {
        const juce::ModifierKeys button (rightButton ? juce::ModifierKeys::rightButtonModifier : juce::ModifierKeys::leftButtonModifier);
        editor->mouseDown (MouseTest::eventFor (on, button));
        editor->mouseDrag (MouseTest::eventFor (on, button));
    }

    void expectStatus (const juce::String& text, juce::Colour colour)
    {
        EXPECT_EQ (probe->status().getText(), text);
        EXPECT_EQ (probe->status().findColour (juce::Label::textColourId), colour) << text;
    }

    juce::File temporary;
    juce::File saveFolder = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("Saved");
    FakeClipboard clipboard;
    std::vector<DragRequest> drags;
    bool nativeDragStarts = true;
    SaveDialog dialog;
};

TEST_F (ClipTilesTest, EachTileWritesItsClipIntoAFreshFolder)
{
    const struct { const char* tile; const char* fileName; } cases[] = {
        { "DragMIDI", "Verse.mid" }, { "tile Bass", "Verse - Bass.mid" },
        { "tile Body", "Verse - Body.mid" }, { "tile Shimmer", "Verse - Shimmer.mid" },
    };

    juce::Array<juce::File> folders;
    for (const auto& c : cases)
    {
        for (int time = 0; time < 2; ++time)
        {
            const auto file = probe->createClipFile (&tile (c.tile));
            EXPECT_EQ (file.getFileName(), c.fileName);
            EXPECT_EQ (hexFolderName (file.getParentDirectory()), "uuid");
            EXPECT_EQ (file.getParentDirectory().getParentDirectory(),
                       temporary.getChildFile ("Velmar MIDI Exports").getChildFile ("Corvessa"));
            EXPECT_TRUE (file.loadFileAsString().startsWith ("MThd")) << c.fileName;
            EXPECT_FALSE (folders.contains (file.getParentDirectory())) << "every clip gets a folder of its own";
            folders.add (file.getParentDirectory());
        }
    }

    EXPECT_EQ (probe->createClipFile (&probe->helpButton()), juce::File());
}

TEST_F (ClipTilesTest, TheWholeSectionClipSwitchesChannelOneToAllLayersFirst)
{
    const auto reference = temporary.getChildFile ("reference");
    ASSERT_TRUE (reference.createDirectory());
    probe->setOutputChoice (1);
    juce::MemoryBlock bassOnly, allLayers;
    ASSERT_TRUE (processor->exportSectionMidi (reference).loadFileAsData (bassOnly));

    const auto file = probe->createClipFile (&tile ("DragMIDI"));
    EXPECT_EQ (processor->getOutputLayerMode(), 0);
    EXPECT_TRUE (dynamic_cast<juce::Button&> (*probe->find ("pill All")).getToggleState());

    juce::MemoryBlock written;
    ASSERT_TRUE (file.loadFileAsData (written));
    ASSERT_TRUE (processor->exportSectionMidi (reference).loadFileAsData (allLayers));
    EXPECT_EQ (written, allLayers);
    EXPECT_NE (written, bassOnly);
}

TEST_F (ClipTilesTest, DragsReportEveryOutcome)
{
    EXPECT_EQ (tile ("tile Bass").getMouseCursor(), juce::MouseCursor (juce::MouseCursor::DraggingHandCursor));

    // Started: the clip's file goes to the native drag, which may not move it.
    pressAndDrag (tile ("tile Bass"));
    ASSERT_EQ (drags.size(), 1u);
    EXPECT_EQ (juce::File (drags[0].paths[0]).getFileName(), "Verse - Bass.mid");
    EXPECT_TRUE (juce::File (drags[0].paths[0]).existsAsFile());
    EXPECT_FALSE (drags[0].mayMove);
    EXPECT_EQ (drags[0].source, &tile ("tile Bass"));
    expectStatus ("Status: Bass MIDI drag started", Palette::green);
    EXPECT_EQ (probe->holdUntil(), clock.now + 2000);

    // A second drag within the same press is no new drag, and says nothing.
    probe->status().setText ("unchanged", juce::dontSendNotification);
    editor->mouseDrag (MouseTest::eventFor (tile ("tile Bass"), juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier)));
    EXPECT_EQ (drags.size(), 1u);
    EXPECT_EQ (probe->status().getText(), "unchanged");

    // A right-button drag, or a drag over anything but a tile, starts nothing.
    editor->mouseDown (MouseTest::eventFor (tile ("tile Body"), juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier)));
    editor->mouseDrag (MouseTest::eventFor (tile ("tile Body"), juce::ModifierKeys (juce::ModifierKeys::rightButtonModifier)));
    editor->mouseDrag (MouseTest::eventFor (probe->helpButton(), juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier)));
    EXPECT_EQ (drags.size(), 1u);
    EXPECT_EQ (probe->status().getText(), "unchanged");

    // Refused by the desktop.
    nativeDragStarts = false;
    pressAndDrag (tile ("tile Body"));
    EXPECT_EQ (drags.size(), 2u);
    expectStatus ("Status: Could not start Body MIDI drag. Try again or use Save to Disk.", Palette::yellow);

    // No file could be written.
    nativeDragStarts = true;
    breakTemporaryFolder();
    pressAndDrag (tile ("tile Shimmer"));
    EXPECT_EQ (drags.size(), 2u);
    expectStatus ("Status: Could not create a readable Shimmer MIDI file.", Palette::yellow);
}

TEST_F (ClipTilesTest, TheDragsTraceNamesTheProductAndTheLayer)
{
    cliptest::ScopedEnvironment tracing ("VELMAR_MIDI_DRAG_TRACE", "1");
    const auto trace = cliptest::captureStandardError ([this] { pressAndDrag (tile ("DragMIDI")); });
    EXPECT_TRUE (trace.contains ("[Velmar MIDI drag] Corvessa 1.3.4 All gesture=")) << trace;
    EXPECT_TRUE (trace.contains ("native start=true")) << trace;
}

TEST_F (ClipTilesTest, TheClipMenuCopiesAndSaves)
{
    const auto menu = probe->clipMenu();
    juce::StringArray items;
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        items.add (juce::String (it.getItem().itemID) + " " + it.getItem().text + (it.getItem().isEnabled ? "" : " (off)"));
    EXPECT_EQ (items.joinIntoString (", "), "1 Copy, 2 Save to Disk");

    // Copy: the clip's file reaches the clipboard; the result comes later.
    probe->clipMenuResult (&tile ("tile Bass"), 1);
    ASSERT_EQ (clipboard.published.size(), 1);
    EXPECT_EQ (clipboard.published[0].getFileName(), "Verse - Bass.mid");
    EXPECT_TRUE (pumpUntil ([this] { return probe->status().getText() != "Status: Idle"; }));
    expectStatus ("Status: Bass MIDI file copied to clipboard.", Palette::green);

    clipboard.answer = { false, "X11 CLIPBOARD", "Taking the clipboard failed (X11 error 3)." };
    probe->clipMenuResult (&tile ("tile Body"), 1);
    EXPECT_TRUE (pumpUntil ([this] { return probe->status().getText().contains ("Could not"); }));
    expectStatus ("Status: Could not copy Body MIDI file. Taking the clipboard failed (X11 error 3). Use Save to Disk.",
                  Palette::yellow);

    // Save to Disk: the dialog offers the product's name and look; the clip's bytes are written.
    dialog.answer = saveFolder.getChildFile ("Picked.mid");
    probe->clipMenuResult (&tile ("tile Shimmer"), 2);
    EXPECT_TRUE (pumpUntil ([this] { return probe->status().getText().contains ("saved"); }));
    expectStatus ("Status: Shimmer MIDI saved to " + dialog.answer.getFullPathName(), Palette::green);
    EXPECT_EQ (dialog.initialFile, saveFolder.getChildFile ("Corvessa-Verse - Shimmer.mid"));
    EXPECT_EQ (dialog.appearance.title, "Corvessa / Shimmer");
    const juce::uint32 colours[] = { dialog.appearance.shadow, dialog.appearance.windowBackground, dialog.appearance.panelBackground,
                                     dialog.appearance.text, dialog.appearance.secondaryText, dialog.appearance.outline,
                                     dialog.appearance.accent, dialog.appearance.error, dialog.appearance.fieldBackground,
                                     dialog.appearance.buttonBackground, dialog.appearance.focusOutline };
    const juce::uint32 expected[] = { 0xff181825, 0xff1e1e2e, 0xff313244, 0xffcdd6f4, 0xffbac2de, 0xff9399b2,
                                      0xffcba6f7, 0xfff38ba8, 0xff1e1e2e, 0xff313244, 0xffcba6f7 };
    for (size_t i = 0; i < std::size (colours); ++i)
        EXPECT_EQ (colours[i], expected[i]) << "colour " << i;
    EXPECT_TRUE (dialog.answer.loadFileAsString().startsWith ("MThd"));

    // Cancelled: no status of its own.
    dialog.answer = juce::File();
    probe->status().setText ("unchanged", juce::dontSendNotification);
    probe->clipMenuResult (&tile ("tile Bass"), 2);
    EXPECT_TRUE (pumpUntil ([this] { return dialog.shown == 2; }));
    pumpUntil ([] { return false; }, 50);
    EXPECT_EQ (probe->status().getText(), "unchanged");

    // Failed: a folder is no place for the file.
    dialog.answer = saveFolder;
    probe->clipMenuResult (&tile ("DragMIDI"), 2);
    EXPECT_TRUE (pumpUntil ([this] { return probe->status().getText() != "unchanged"; }));
    expectStatus ("Status: Could not save All MIDI to " + saveFolder.getFullPathName() + ". The destination is a directory.",
                  Palette::yellow);

    // A dismissed menu does nothing.
    probe->status().setText ("unchanged", juce::dontSendNotification);
    probe->clipMenuResult (&tile ("tile Bass"), 0);
    EXPECT_EQ (clipboard.published.size(), 2);
    EXPECT_EQ (dialog.shown, 3);
    EXPECT_EQ (probe->status().getText(), "unchanged");
}

TEST_F (ClipTilesTest, AClipThatCannotBeWrittenOrReadBackIsReported)
{
    probe->saveClipToDisk (temporary.getChildFile ("gone.mid"), "Bass");
    expectStatus ("Status: Could not prepare Bass MIDI clip for saving.", Palette::yellow);
    EXPECT_EQ (dialog.shown, 0);

    breakTemporaryFolder();
    for (const int item : { 1, 2 })
    {
        probe->status().setText ("unchanged", juce::dontSendNotification);
        probe->clipMenuResult (&tile ("tile Body"), item);
        expectStatus ("Status: Could not create MIDI file.", Palette::yellow);
    }
    EXPECT_TRUE (clipboard.published.isEmpty());
    EXPECT_EQ (dialog.shown, 0);
}

TEST_F (ClipTilesTest, ResultsArrivingAfterTheWindowClosedAreDropped)
{
    probe->clipMenuResult (&tile ("tile Bass"), 1);
    dialog.answer = saveFolder.getChildFile ("Late.mid");
    probe->clipMenuResult (&tile ("tile Body"), 2);
    closeEditor();

    pumpUntil ([] { return false; }, 100);
    EXPECT_EQ (clipboard.published.size(), 1);
    EXPECT_FALSE (saveFolder.getChildFile ("Late.mid").exists()) << "closing the window cancelled the dialog";
}

TEST_F (ClipTilesTest, TilesOfAnInstanceWithoutVoicedChordsAreDisabled)
{
    // A section with nothing playable keeps its last result, so this needs an instance that
    // never had one.
    closeEditor();
    processor = std::make_unique<CorvessaProcessor>();
    processor->getTelemetryClient().markWelcomeSeen();
    openEditor();
    waitForCompile();
    probe->tick();

    for (auto* name : { "DragMIDI", "tile Bass", "tile Body", "tile Shimmer" })
    {
        EXPECT_FALSE (tile (name).isEnabled()) << name;
        EXPECT_EQ (tile (name).getMouseCursor(), juce::MouseCursor (juce::MouseCursor::NormalCursor)) << name;
    }
}
