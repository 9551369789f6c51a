// The sync role control of the window: its look, the statuses of a role change, the take-over
// question when another instance leads, and a follower's window that closes every editing panel
// and offers nothing to edit. A second processor in this process plays the other instance.
#include "EditorFixture.h"

#include "editor/look/Palette.h"
#include "support/ComponentSnapshot.h"

namespace
{
const juce::String anotherLeader ("Another Corvessa leader is already active somewhere");
const juce::String publishTooltip ("Publish progression, key, scale, BPM, and sections to followers.");
const juce::String takeOverTooltip ("Another Corvessa leader is already active. Click to take over.");
} // namespace

class SyncControlsTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        other = std::make_unique<CorvessaProcessor>();
        other->setSections (song ({ { "Intro", "C G Am F" }, { "Verse", "Dm7 G7 Cmaj7" } }), true);
        processor->setSections (song ({ { "Mine", "E B C#m A" } }), true);
        processor->setSelectedSectionViewIndex (0);
        editor->syncControlsFromProcessor (true);
    }

    void TearDown() override
    {
        EditorTest::TearDown();
        other.reset();
    }

    juce::TextButton& syncButton (const juce::String& role) { return *dynamic_cast<juce::TextButton*> (probe->find ("sync " + role)); }
    void click (const juce::String& role) { editor->buttonClicked (&syncButton (role)); }

    void expectStatus (const juce::String& text, juce::Colour colour)
    {
        EXPECT_EQ (probe->status().getText(), text);
        EXPECT_EQ (probe->status().findColour (juce::Label::textColourId), colour) << text;
        EXPECT_EQ (probe->holdUntil(), clock.now + 2000) << text;
    }

    juce::String toggles()
    {
        juce::String states;
        for (auto* role : { "Off", "Leader", "Follower" })
            states << (syncButton (role).getToggleState() ? "1" : "0");
        return states;
    }

    std::unique_ptr<CorvessaProcessor> other;
};

TEST_F (SyncControlsTest, TheThreeRolesAreOneControlWithTheirOwnAccents)
{
    const struct { const char* role; juce::Colour accent; int edges; const char* tooltip; } buttons[] = {
        { "Off", juce::Colour (0xffbac2de), juce::Button::ConnectedOnRight, "Keep this Corvessa instance independent." },
        { "Leader", juce::Colour (0xffcba6f7), juce::Button::ConnectedOnLeft | juce::Button::ConnectedOnRight,
          "Publish progression, key, scale, BPM, and sections to followers." },
        { "Follower", juce::Colour (0xffa6e3a1), juce::Button::ConnectedOnLeft,
          "Follow the shared musical context from the active leader." },
    };

    for (const auto& b : buttons)
    {
        auto& button = syncButton (b.role);
        EXPECT_EQ (button.findColour (juce::TextButton::buttonColourId), juce::Colour (0xff313244)) << b.role;
        EXPECT_EQ (button.findColour (juce::TextButton::buttonOnColourId), juce::Colour (0xff313244).interpolatedWith (b.accent, 0.18f))
            << b.role;
        EXPECT_EQ (button.findColour (juce::TextButton::textColourOffId), juce::Colour (0xffbac2de)) << b.role;
        EXPECT_EQ (button.findColour (juce::TextButton::textColourOnId), juce::Colour (0xffcdd6f4)) << b.role;
        EXPECT_EQ (button.getConnectedEdgeFlags(), b.edges) << b.role;
        EXPECT_EQ (button.getTooltip(), b.tooltip) << b.role;
        EXPECT_EQ (button.getMouseCursor(), juce::MouseCursor (juce::MouseCursor::PointingHandCursor)) << b.role;
    }

    EXPECT_EQ (toggles(), "100");
}

TEST_F (SyncControlsTest, RoleChangesSayWhatTheRoleIsNow)
{
    click ("Leader");
    EXPECT_EQ (processor->getSyncMode(), 1);
    EXPECT_EQ (toggles(), "010");
    expectStatus ("Status: Sync Leader", juce::Colour (0xff90ee90));

    click ("Off");
    EXPECT_EQ (processor->getSyncMode(), 0);
    EXPECT_EQ (toggles(), "100");
    expectStatus ("Status: Sync Off", juce::Colour (0xff808080));

    // Following without a leader is a role of its own.
    click ("Follower");
    EXPECT_EQ (processor->getSyncMode(), 2);
    EXPECT_EQ (toggles(), "001");
    expectStatus ("Status: Sync Follower", juce::Colour (0xff90ee90));

    // The host chose another role: the next tick shows it.
    processor->setSyncMode (0);
    probe->tick();
    EXPECT_EQ (toggles(), "100");
}

TEST_F (SyncControlsTest, LeadingWhileAnotherLeadsAsksBeforeKickingItOff)
{
    ASSERT_TRUE (other->setSyncMode (1));
    probe->tick();
    EXPECT_EQ (syncButton ("Leader").getTooltip(), takeOverTooltip);

    // Cancelled: nothing changes.
    click ("Leader");
    auto& question = probe->confirmation();
    ASSERT_TRUE (question.isVisible());
    EXPECT_EQ (question.title, "Take Over Leader");
    EXPECT_EQ (question.message, "Another Corvessa leader is already active. Kick it off and make this instance the leader?");
    EXPECT_EQ (question.confirmButton.getButtonText(), "Kick Off");
    EXPECT_TRUE (probe->takeOverPending());
    EXPECT_EQ (probe->hint().getText(), anotherLeader);
    EXPECT_TRUE (probe->scrim().isVisible());
    EXPECT_EQ (processor->getSyncMode(), 0);

    question.buttonClicked (&question.getCancelButton());
    EXPECT_FALSE (question.isVisible());
    EXPECT_FALSE (probe->takeOverPending());
    EXPECT_EQ (processor->getSyncMode(), 0);
    EXPECT_EQ (other->getSyncMode(), 1);

    // Kick Off: this instance leads, the other steps down at its next publish.
    click ("Leader");
    ASSERT_TRUE (question.isVisible());
    question.buttonClicked (&question.confirmButton);
    EXPECT_FALSE (question.isVisible());
    EXPECT_FALSE (probe->takeOverPending());
    EXPECT_EQ (processor->getSyncMode(), 1);
    EXPECT_EQ (toggles(), "010");
    expectStatus ("Status: Sync Leader", juce::Colour (0xff90ee90));
    EXPECT_EQ (syncButton ("Leader").getTooltip(), publishTooltip);

    other->setProgression ("C F");
    EXPECT_EQ (other->getSyncMode(), 0);
}

TEST_F (SyncControlsTest, TheLeaderTooltipFollowsTheOtherLeader)
{
    probe->hint().setText (anotherLeader, juce::dontSendNotification);
    ASSERT_TRUE (other->setSyncMode (1));
    probe->tick();
    EXPECT_EQ (syncButton ("Leader").getTooltip(), takeOverTooltip);
    EXPECT_EQ (probe->hint().getText(), anotherLeader);

    ASSERT_TRUE (other->setSyncMode (0));
    probe->tick();
    EXPECT_EQ (syncButton ("Leader").getTooltip(), publishTooltip);
    EXPECT_EQ (probe->hint().getText(), "") << "the conflict hint goes with the conflict";

    // Another hint stays.
    probe->hint().setText ("Show Help", juce::dontSendNotification);
    ASSERT_TRUE (other->setSyncMode (1));
    probe->tick();
    ASSERT_TRUE (other->setSyncMode (0));
    probe->tick();
    EXPECT_EQ (probe->hint().getText(), "Show Help");
}

TEST_F (SyncControlsTest, AFollowersWindowClosesItsPanelsAndOffersNothingToEdit)
{
    ASSERT_TRUE (other->setSyncMode (1));
    probe->tick();

    // Panels open while this instance is on its own.
    processor->setMoodVisible (true);
    editor->syncControlsFromProcessor (true);
    ASSERT_TRUE (probe->moodPanel().isVisible());
    for (auto* panel : std::initializer_list<juce::Component*> { &probe->jsonOverlay(), &probe->projectLibrary(),
                                                                 &probe->renameDialog(), &probe->confirmation() })
        panel->setVisible (true);
    probe->strip().selectedIndex = 1;
    probe->strip().hoveredIndex = 2;
    probe->pianoRoll().selectedChord = 1;
    probe->pianoRoll().hoveredChord = 0;
    probe->layout();

    click ("Follower");
    EXPECT_EQ (processor->getSyncMode(), 2);
    expectStatus ("Status: Sync Follower", juce::Colour (0xff90ee90));
    EXPECT_EQ (processor->getSections().size(), 2u) << "the leader's song";

    for (auto* name : { "mood", "json", "projects", "rename", "confirm", "scrim" })
        EXPECT_FALSE (isShown (name)) << name;
    EXPECT_FALSE (processor->getMoodVisible());
    EXPECT_TRUE (editor->isTimerRunning (CorvessaEditor::refreshTimerId)) << "the refresh paused for the preset overlay runs again";
    probe->stopRefreshTimer();

    // The song's views stay, dimmed and deaf.
    for (auto* name : { "strip", "section row" })
    {
        auto* view = probe->find (name);
        EXPECT_FALSE (view->isEnabled()) << name;
        EXPECT_NEAR (view->getAlpha(), 0.55f, 0.01f) << name;
        bool clicks = true, childClicks = true;
        view->getInterceptsMouseClicks (clicks, childClicks);
        EXPECT_FALSE (clicks || childClicks) << name;
    }
    EXPECT_FALSE (probe->strip().interactive);
    EXPECT_EQ (probe->strip().selectedIndex, -1);
    EXPECT_EQ (probe->strip().hoveredIndex, -1);
    EXPECT_FALSE (probe->pianoRoll().interactive);
    EXPECT_EQ (probe->pianoRoll().selectedChord, -1);
    EXPECT_EQ (probe->pianoRoll().hoveredChord, -1);
    EXPECT_TRUE (probe->progressionField().isReadOnly());
    EXPECT_FALSE (probe->progressionField().isEnabled());

    // Every editing control is off; the sync buttons, the outputs and the tabs are not.
    for (auto* name : { "key combo", "scale combo", "Key:", "Scale:", "+Oct", "+5th", "Root", "5th", "Shimmer toggle", "Off", "Top",
                        "Color", "Halo", "Legato", "bass octave knob", "body octave knob", "shimmer octave knob",
                        "body voicing knob", "shimmer voicing knob", "body voicing combo", "Mood Generator", "{}", "Projects",
                        "Sections", "DragMIDI", "tile Bass", "tile Body", "tile Shimmer" })
    {
        EXPECT_FALSE (probe->find (name)->isEnabled()) << name;
        EXPECT_EQ (probe->find (name)->getMouseCursor(), juce::MouseCursor (juce::MouseCursor::NormalCursor)) << name;
    }
    for (auto* name : { "sync Off", "sync Leader", "sync Follower", "pill All", "pill Bass", "tab Body", "?", "Auto-Advance" })
        EXPECT_TRUE (probe->find (name)->isEnabled()) << name;

    // Leaving the role gives everything back.
    click ("Off");
    for (auto* name : { "strip", "section row" })
    {
        EXPECT_TRUE (probe->find (name)->isEnabled()) << name;
        EXPECT_NEAR (probe->find (name)->getAlpha(), 1.0f, 0.01f) << name;
    }
    for (auto* name : { "key combo", "+Oct", "Top", "Legato", "body voicing knob", "Projects", "DragMIDI", "tile Bass" })
    {
        EXPECT_TRUE (probe->find (name)->isEnabled()) << name;
        EXPECT_NE (probe->find (name)->getMouseCursor(), juce::MouseCursor (juce::MouseCursor::NormalCursor)) << name;
    }
    EXPECT_TRUE (probe->strip().interactive);
    EXPECT_TRUE (probe->pianoRoll().interactive);
    EXPECT_FALSE (probe->progressionField().isReadOnly());
}

TEST_F (SyncControlsTest, AFollowerKeepsTheTakeOverQuestionOpen)
{
    ASSERT_TRUE (other->setSyncMode (1));
    click ("Follower");
    ASSERT_EQ (processor->getSyncMode(), 2);

    click ("Leader");
    ASSERT_TRUE (probe->confirmation().isVisible());
    probe->applySyncEditLock();
    probe->tick();
    EXPECT_TRUE (probe->confirmation().isVisible()) << "the question this instance asked stays";

    auto& question = probe->confirmation();
    question.buttonClicked (&question.confirmButton);
    EXPECT_EQ (processor->getSyncMode(), 1);
    EXPECT_TRUE (probe->find ("+Oct")->isEnabled());
}

TEST_F (SyncControlsTest, AFollowersEditsAreRefused)
{
    ASSERT_TRUE (other->setSyncMode (1));
    click ("Follower");
    ASSERT_EQ (processor->getSyncMode(), 2);
    waitForCompile();
    const auto before = processor->getStateCopy();

    // Clicks that were queued before the buttons were disabled still arrive.
    for (auto* name : { "Top", "Halo", "Off" })
        editor->buttonClicked (dynamic_cast<juce::Button*> (probe->find (name)));
    EXPECT_TRUE (editor->keyPressed (juce::KeyPress ('z', juce::ModifierKeys::commandModifier, 0)));
    EXPECT_TRUE (editor->keyPressed (juce::KeyPress ('z', juce::ModifierKeys::commandModifier | juce::ModifierKeys::shiftModifier, 0)));

    const auto after = processor->getStateCopy();
    EXPECT_EQ (after.arrangeShimmerTopNoteEnabled, before.arrangeShimmerTopNoteEnabled);
    EXPECT_EQ (after.arrangeShimmerColorNotesEnabled, before.arrangeShimmerColorNotesEnabled);
    const auto songOf = [] (const CorvessaProcessor& p)
    {
        juce::StringArray song;
        for (const auto& section : p.getSections())
            song.add (section.name + "=" + section.progression + (section.arrangeShimmerTopNoteEnabled ? " top" : ""));
        return song;
    };
    EXPECT_EQ (songOf (*processor), songOf (*other)) << "the follower still holds the leader's song";
}

TEST_F (SyncControlsTest, PictureOfAFollowersWindow)
{
    ASSERT_TRUE (other->setSyncMode (1));
    click ("Follower");
    waitForCompile();
    probe->tick();
    probe->layout();
    const auto image = corvessa::test::writeSnapshot (*editor, "window-follower");
    EXPECT_TRUE (corvessa::test::hasInk (image, image.getBounds(), Palette::base));
}
