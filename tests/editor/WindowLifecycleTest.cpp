// The window as a whole: what construction sets up, the keyboard rules, the help, support and
// consent flows, and tear-down with timers and a delayed call still pending.
#include "EditorFixture.h"

#include "editor/look/Palette.h"
#include "editor/panels/HelpContent.h"
#include "kit/services/SettingsStore.h"

TEST_F (EditorTest, KeysFollowTheWindowRules)
{
    const auto ctrl = juce::ModifierKeys::commandModifier;
    const auto shift = juce::ModifierKeys::shiftModifier;
    const auto alt = juce::ModifierKeys::altModifier;

    struct Case { const char* name; juce::KeyPress key; bool consumed; };
    const Case cases[] = {
        { "Space goes to the host", juce::KeyPress (juce::KeyPress::spaceKey), false },
        { "plain Z", juce::KeyPress ('z'), false },
        { "a letter", juce::KeyPress ('a', ctrl, 0), false },
        { "Ctrl+Alt+Z", juce::KeyPress ('z', ctrl | alt, 0), false },
        { "Ctrl+Z", juce::KeyPress ('z', ctrl, 0), true },
        { "Ctrl+Z upper case", juce::KeyPress ('Z', ctrl, 0), true },
        { "Ctrl+Shift+Z", juce::KeyPress ('Z', ctrl | shift, 0), true },
    };

    probe->status().setText ("before", juce::dontSendNotification);

    for (const auto& c : cases)
        EXPECT_EQ (probe->press (c.key), c.consumed) << c.name;

    // With nothing to undo or redo the keys are taken but nothing is said.
    EXPECT_EQ (probe->status().getText(), "before");
}

TEST_F (EditorTest, AFollowerSwallowsUndoAndRedo)
{
    processor->setSyncMode (2);
    ASSERT_EQ (processor->getSyncMode(), 2);
    probe->status().setText ("before", juce::dontSendNotification);
    EXPECT_TRUE (probe->press (juce::KeyPress ('z', juce::ModifierKeys::commandModifier, 0)));
    EXPECT_FALSE (probe->press (juce::KeyPress ('z')));
    EXPECT_EQ (probe->status().getText(), "before");
    processor->setSyncMode (0);
}

TEST_F (EditorTest, TheWelcomeCardCoversTheCanvasAndTakesEveryKey)
{
    closeEditor();
    // A fresh settings file: the card is due again.
    velmar::SettingsStore ("VELMAR/Corvessa").getFile().deleteFile();
    ASSERT_TRUE (processor->getTelemetryClient().isWelcomeNeeded());
    openEditor();

    ASSERT_TRUE (probe->welcome().isVisible());
    EXPECT_EQ (probe->welcome().getBounds(), juce::Rectangle<int> (0, 0, 600, 860));
    auto& children = probe->canvas().getChildren();
    EXPECT_GT (children.indexOf (&probe->welcome()), children.indexOf (probe->find ("brand")));

    for (const auto& key : { juce::KeyPress (juce::KeyPress::spaceKey), juce::KeyPress ('a'),
                             juce::KeyPress ('z', juce::ModifierKeys::commandModifier, 0) })
        EXPECT_TRUE (probe->press (key)) << key.getTextDescription();

    probe->welcome().setVisible (false);
    EXPECT_FALSE (probe->press (juce::KeyPress (juce::KeyPress::spaceKey)));
}

TEST_F (EditorTest, ConstructionSetsTheControlsFromTheProcessor)
{
    EXPECT_EQ (probe->status().getText(), "Status: Idle");
    EXPECT_EQ (probe->tab(), 1);
    EXPECT_TRUE (dynamic_cast<juce::Button*> (probe->find ("tab Body"))->getToggleState());
    EXPECT_FALSE (dynamic_cast<juce::Button*> (probe->find ("tab Bass"))->getToggleState());
    EXPECT_EQ (probe->find ("tab Body")->findColour (CorvessaEditor::roleTabAccentColourId), Palette::bodyLayer);
    EXPECT_EQ (dynamic_cast<juce::ComboBox*> (probe->find ("key combo"))->getNumItems(), 12);
    EXPECT_EQ (dynamic_cast<juce::ComboBox*> (probe->find ("scale combo"))->getNumItems(), 20);
    EXPECT_EQ (dynamic_cast<juce::ComboBox*> (probe->find ("body octave combo"))->getItemText (8), "+4");
    EXPECT_EQ (dynamic_cast<juce::Slider*> (probe->find ("bass octave knob"))->getTextFromValue (2.5), "+2");   // halfway to even
    EXPECT_EQ (dynamic_cast<juce::Slider*> (probe->find ("bass octave knob"))->getTextFromValue (-3.0), "-3");
    EXPECT_EQ (dynamic_cast<juce::Slider*> (probe->find ("body voicing knob"))->getTextFromValue (2.0), "1st Inv");
    EXPECT_EQ (dynamic_cast<juce::Slider*> (probe->find ("channel 1 knob"))->getTextFromValue (6.0), "Bass+Shimmer");
    EXPECT_EQ (dynamic_cast<juce::Slider*> (probe->find ("body voicing knob"))->getTooltip(),
               "Drag to set Body voicing; right-click for quick choices");
    EXPECT_EQ (probe->help().getContent().instanceId, processor->getMcpInstanceId());
    EXPECT_FALSE (probe->help().isVisible());
    EXPECT_EQ (probe->scaling().getButtonText(), "UI 100%");
    EXPECT_EQ (editor->getWidth(), 600);

    // The first tick loads every control from the section the processor plays.
    auto sections = processor->getSections();
    ASSERT_FALSE (sections.empty());
    sections[0].shimmerVoicing = "None";
    sections[0].bassOctave = -2;
    processor->setSections (sections, true);
    processor->setSelectedSectionViewIndex (0);
    probe->tick();
    EXPECT_EQ (dynamic_cast<juce::ComboBox*> (probe->find ("bass octave combo"))->getSelectedId(), 3);
    EXPECT_EQ (dynamic_cast<juce::Slider*> (probe->find ("bass octave knob"))->getValue(), -2.0);
    EXPECT_EQ (dynamic_cast<juce::ComboBox*> (probe->find ("shimmer voicing combo"))->getSelectedId(), 1);
}

TEST_F (EditorTest, LegatoFollowsTheSelectedTab)
{
    processor->setBassLegato (true);
    processor->setBodyLegato (false);
    probe->tick();

    struct Case { int tab; bool on; juce::Colour accent; };
    const Case cases[] = { { 0, true, Palette::bassLayer }, { 1, false, Palette::bodyLayer }, { 2, true, Palette::shimmerLayer } };

    auto* legato = dynamic_cast<juce::Button*> (probe->find ("Legato"));
    for (const auto& c : cases)
    {
        probe->selectTab (c.tab);
        EXPECT_EQ (legato->getToggleState(), c.on) << c.tab;
        EXPECT_EQ (legato->findColour (CorvessaEditor::outputPillAccentColourId), c.accent) << c.tab;
    }
}

TEST_F (EditorTest, TheConsentToggleAlwaysShowsTheClientsConsent)
{
    auto& telemetry = processor->getTelemetryClient();
    auto& toggle = probe->help().getContent().telemetryToggle;

    for (const bool on : { true, false, true })
    {
        toggle.setToggleState (! on, juce::dontSendNotification);
        probe->helpToggled (on);
        EXPECT_EQ (telemetry.isEnabled(), on);
        EXPECT_EQ (toggle.getToggleState(), on);
    }

    telemetry.setEnabled (false);
    probe->welcomeFinished (false);
    EXPECT_FALSE (toggle.getToggleState());
}

TEST_F (EditorTest, ConfirmationClosingClearsAPendingTakeOverAndLaysOut)
{
    probe->takeOverPending() = true;
    probe->confirmation().setVisible (true);
    probe->layout();
    EXPECT_TRUE (probe->scrim().isVisible());

    probe->confirmation().buttonClicked (&probe->confirmation().getCancelButton());
    EXPECT_FALSE (probe->takeOverPending());
    EXPECT_FALSE (probe->scrim().isVisible());
}

TEST_F (EditorTest, ClosingWithTimersAndTheHeartbeatCallPendingIsSafe)
{
    closeEditor();
    openEditor (false);
    probe->startOneShotTimers();
    closeEditor();
    // Serve what was pending when the window closed: the timers died with it and the delayed
    // heartbeat call finds no window.
    pumpUntil ([] { return false; }, 600);

    // A window opened again works as before.
    openEditor();
    probe->tick();
    EXPECT_FALSE (probe->status().getText().isEmpty());
}

TEST (HelpContent, NineSectionsWithTheProductTexts)
{
    const auto info = makeCorvessaHelpInfo();
    EXPECT_EQ (info.productName, "Corvessa");
    EXPECT_EQ (info.version, CORVESSA_VERSION);
    EXPECT_FALSE (info.guideUrl.isEmpty());
    EXPECT_TRUE (info.creditsText.isEmpty());
    EXPECT_TRUE (info.extraLinkUrl.isEmpty());
    EXPECT_EQ (info.mcpDescription, "Connect an AI client to edit Corvessa or manage saved Projects. Use this instance ID "
                                    "to select the right plugin. Edit Followers through their Leader.");

    struct Case { const char* title; int bodyLines; std::vector<std::pair<const char*, const char*>> items; };
    const Case cases[] = {
        { "Quick start", 4, {} },
        { "Chords", 1, {} },
        { "Sections", 1, {} },
        { "MIDI routing", 0, { { "Channel 1", "Selected Output mix" }, { "Channel 2", "Bass" }, { "Channel 3", "Body" }, { "Channel 4", "Shimmer" } } },
        { "Layers", 0, { { "Shimmer", "Top: one note. Color: extensions. Halo: color plus a chord tone. Off: silent." },
                         { "Body", "Choose Voicing, Root and 5th; Shimmer includes written color tones." },
                         { "Bass", "+Oct: lower octave. +5th: extra fifth." } } },
        { "Legato", 1, {} },
        { "Sync", 1, {} },
        { "Save & export", 2, {} },
        { "Shortcuts", 0, { { "Cmd/Ctrl + Z", "Undo chord edits" }, { "Cmd/Ctrl + Shift + Z", "Redo chord edits" } } },
    };

    ASSERT_EQ (info.sections.size(), std::size (cases));
    for (size_t i = 0; i < std::size (cases); ++i)
    {
        const auto& section = info.sections[i];
        const auto& c = cases[i];
        EXPECT_EQ (section.title, c.title);
        const auto lines = section.body.isEmpty() ? 0 : juce::StringArray::fromLines (section.body).size();
        EXPECT_EQ (lines, c.bodyLines) << c.title;
        ASSERT_EQ (section.items.size(), c.items.size()) << c.title;
        for (size_t k = 0; k < c.items.size(); ++k)
        {
            EXPECT_EQ (section.items[k].label, c.items[k].first) << c.title;
            EXPECT_EQ (section.items[k].text, c.items[k].second) << c.title;
        }
    }

    EXPECT_EQ (info.sections[0].body, "1. Route Corvessa's MIDI channel 1 to an instrument.\n"
                                      "2. Choose Mood, Key and Bars in Mood Generator, then Generate 5.\n"
                                      "3. Select a section and start your DAW.\n"
                                      "Generate 5 replaces all sections. Save first.");
    EXPECT_EQ (info.sections[7].body, "Projects saves sections and playback mode. In {}, APPLY replaces all sections with your JSON.\n"
                                      "Drag an export icon to your DAW; right-click to copy/save. Export covers one active section. "
                                      "All includes every layer and resets Output to All.");
    EXPECT_EQ (info.sections[6].body, "Choose one Leader and set other instances to Follower. Edit music on the Leader; "
                                      "choose Output on each Follower. Leaving Follower restores its previous music.");
}
