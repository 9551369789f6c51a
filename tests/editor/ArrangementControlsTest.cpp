// The arrangement card's controls in the window: what each one changes in the processor and in
// the next compile, the knobs and their hidden combos, quick choices, hover hints beside the
// tooltips, and the controls a sync follower may not use.
#include "EditorFixture.h"

#include "editor/ArrangementChoices.h"
#include "editor/EditorTexts.h"
#include "editor/look/Palette.h"
#include "editor/views/ViewTestSupport.h"
#include "support/ComponentSnapshot.h"

#include <set>

namespace
{
std::set<int> pitchClassesOf (const std::vector<int>& notes)
{
    std::set<int> classes;
    for (auto n : notes)
        classes.insert (n % 12);
    return classes;
}

std::vector<int> shifted (std::vector<int> notes, int semitones)
{
    for (auto& n : notes)
        n += semitones;
    return notes;
}

// Counts the notifications a control sends to its listeners.
struct NotificationCounter : public juce::ComboBox::Listener, public juce::Slider::Listener
{
    void comboBoxChanged (juce::ComboBox*) override { ++comboChanges; }
    void sliderValueChanged (juce::Slider*) override { ++knobChanges; }

    int comboChanges = 0, knobChanges = 0;
};

// A press, drag or release on a knob whose drag started at `down`.
juce::MouseEvent knobEvent (juce::Component& knob, juce::Point<float> down, juce::Point<float> at, bool dragged)
{
    const auto now = juce::Time::getCurrentTime();
    return { juce::Desktop::getInstance().getMainMouseSource(), at, viewtest::leftButton,
             juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
             juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
             juce::MouseInputSource::defaultTiltY, &knob, &knob, now, down, now, 1, dragged };
}
} // namespace

class ArrangementControlsTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        processor->setSections (song ({ { "A", "C Cmaj9 Am7 F" }, { "B", "G D" } }), true);
        processor->setSelectedSectionViewIndex (0);
        processor->setWorkingSection (processor->getSections()[0]);
        probe->tick();
        waitForCompile();
    }

    template <typename Type>
    Type& control (const juce::String& name)
    {
        auto* component = dynamic_cast<Type*> (probe->find (name));
        EXPECT_NE (component, nullptr) << name;
        return *component;
    }

    // Serves every message queued so far (asynchronous combo changes, button clicks).
    void drainMessages()
    {
        auto done = std::make_shared<bool> (false);
        juce::MessageManager::callAsync ([done] { *done = true; });
        ASSERT_TRUE (pumpUntil ([done] { return *done; }));
    }

    void click (const juce::String& name)
    {
        control<juce::Button> (name).triggerClick();
        drainMessages();
    }

    std::vector<int> compiledNotes (int chord, int layer)
    {
        waitForCompile();
        return processor->getCompiledLayerNotes (chord, layer);
    }

    SectionMode::SectionData activeSection() { return processor->getSections()[0]; }
};

//==== tables ========================================================================================

TEST (ArrangementChoices, HiddenComboIdsStandForVoicingsAndOctaves)
{
    struct Row { int id; int voicing; int octave; };
    const Row rows[] = {
        { 1, 0, -4 }, { 2, 1, -3 }, { 3, 2, -2 }, { 4, 3, -1 }, { 5, 4, 0 }, { 6, 5, 1 }, { 7, 6, 2 },
        // Outside the voicing items: "Smooth"; outside the octave items: clamped to -5 .. 5.
        { 8, 2, 3 }, { 9, 2, 4 }, { 0, 2, -5 }, { -7, 2, -5 }, { 40, 2, 5 },
    };

    for (const auto& row : rows)
    {
        EXPECT_EQ (voicingIndexForComboId (row.id), row.voicing) << row.id;
        EXPECT_EQ (octaveForComboId (row.id), row.octave) << row.id;
    }

    EXPECT_EQ (comboIdForVoicingKnob (6.0), 6);
    EXPECT_EQ (comboIdForOctaveKnob (-4.0), 1);
    EXPECT_EQ (comboIdForOctaveKnob (4.0), 9);
    EXPECT_EQ (comboIdForOctaveKnob (0.0), 5);
}

TEST (ArrangementChoices, KnobValueTexts)
{
    struct Row { double value; const char* voicing; const char* output; };
    const Row rows[] = {
        { 1.0, "None", "All" }, { 2.0, "1st Inv", "Bass" }, { 3.0, "Smooth", "Body" }, { 4.0, "Guitar", "Shimmer" },
        { 5.0, "Piano", "Bass+Body" }, { 6.0, "Bass", "Bass+Shimmer" }, { 7.0, "Jazz", "Body+Shimmer" },
        { 0.0, "Smooth", "All" }, { 8.0, "Smooth", "All" }, { 1.6, "1st Inv", "Bass" }, { 6.8, "Jazz", "Body+Shimmer" },
    };

    for (const auto& row : rows)
    {
        EXPECT_EQ (shortVoicingName (row.value), row.voicing) << row.value;
        EXPECT_EQ (outputLayerShortName (row.value), row.output) << row.value;
    }
}

TEST_F (ArrangementControlsTest, HoverHintsAndTooltipsAreWordedApart)
{
    // nullptr: the control has no hover hint and leaves the hint line alone.
    struct Row { const char* control; const char* hint; const char* tooltip; };
    const Row rows[] = {
        { "?", "Show Help", "Show help, privacy & tips" },
        { "Mood Generator", "Open mood-based chord generator", "Open mood-based chord generator" },
        { "Projects", "Save, load, or delete local projects", "Save, load, or delete local projects" },
        { "{}", "Import/export chord preset as JSON", "Import/export chord preset as JSON" },
        { "Auto-Advance", "Auto-Advance: Follow the DAW playhead through Sections; the last returns to the first",
          "Auto-Advance section playback" },
        { "bpm hint", "Recommended range only; DAW tempo is unchanged", "Recommended range only; DAW tempo is unchanged" },
        { "+Oct", "Bass: Add a lower octave for extra weight", "Bass: Add a lower octave for extra weight." },
        { "+5th", "Bass: Add the fifth for power-chord or cinematic weight", "Bass: Add the fifth for power-chord or cinematic weight." },
        { "Root", "Body: Include the root in the chord layer", "Body: Include the root in the chord layer." },
        { "5th", "Body: Include the fifth in the chord layer", "Body: Include the fifth in the chord layer." },
        { "Shimmer toggle", "Body includes written Shimmer color tones", "Body: Include written Shimmer color tones." },
        { "body voicing knob", "Drag to change voicing; right-click for exact choices", "Drag to set Body voicing; right-click for quick choices" },
        { "shimmer voicing knob", "Drag to change voicing; right-click for exact choices", "Drag to set Shimmer voicing; right-click for quick choices" },
        { "bass octave knob", "Drag to change octave; right-click for exact choices", "Drag to set Bass octave; right-click for quick choices" },
        { "body octave knob", "Drag to change octave; right-click for exact choices", "Drag to set Body octave; right-click for quick choices" },
        { "shimmer octave knob", "Drag to change octave; right-click for exact choices", "Drag to set Shimmer octave; right-click for quick choices" },
        { "Off", "No separate Shimmer lane", "No separate Shimmer lane." },
        { "Top", "One high note from the voicing.", "One high note from the voicing." },
        { "Color", "Written 7ths, 9ths, 11ths, 13ths, #11s, etc.", "Written 7ths, 9ths, 11ths, 13ths, #11s, etc." },
        { "Halo", "Color notes plus an extra shimmer chord anchor.", "Color notes plus an extra shimmer chord anchor." },
        { "sync Off", "Keep this Corvessa instance independent", "Keep this Corvessa instance independent." },
        { "sync Leader", "Publish progression, key, scale, BPM, and sections to followers",
          "Publish progression, key, scale, BPM, and sections to followers." },
        { "sync Follower", "Follow the shared musical context from the active leader",
          "Follow the shared musical context from the active leader." },
        { "tab All", "Use all layers for the Channel 1 output and full MIDI export", "Use the full Channel 1 output." },
        { "tab Bass", "Show Bass arrangement controls", "Show Bass arrangement controls." },
        { "tab Body", "Show Body arrangement controls", "Show Body arrangement controls." },
        { "tab Shimmer", "Show Shimmer arrangement controls", "Show Shimmer arrangement controls." },
        { "channel 1 knob", "Drag to set Channel 1 output; right-click for exact choices", "Drag to set Channel 1 output; right-click for quick choices" },
        { "Legato", "Tie common notes for the selected voice", "Tie common notes for the selected voice" },
        { "key combo", nullptr, "Set global root, scale, and recommended BPM" },
        { "scale combo", nullptr, "Set global root, scale, and recommended BPM" },
        { "section row", nullptr, nullptr },
        { "title", nullptr, nullptr },
    };

    auto& hint = probe->hint();
    for (const auto& row : rows)
    {
        auto* component = probe->find (row.control);
        ASSERT_NE (component, nullptr) << row.control;

        if (row.tooltip != nullptr)
        {
            EXPECT_EQ (dynamic_cast<juce::SettableTooltipClient&> (*component).getTooltip(), row.tooltip) << row.control;
        }

        hint.setText ("earlier", juce::dontSendNotification);
        editor->mouseEnter (viewtest::mouseAt (*component, { 2.0f, 2.0f }));
        EXPECT_EQ (hint.getText(), row.hint != nullptr ? row.hint : "earlier") << row.control;

        editor->mouseExit (viewtest::mouseAt (*component, { -5.0f, -5.0f }));
        EXPECT_EQ (hint.getText(), row.hint != nullptr ? "" : "earlier") << row.control;
    }

    // Leaving the hint line itself clears it.
    hint.setText ("earlier", juce::dontSendNotification);
    editor->mouseExit (viewtest::mouseAt (hint, { -5.0f, -5.0f }));
    EXPECT_EQ (hint.getText(), "");
}

TEST_F (ArrangementControlsTest, HelpAndLeaderHintsFollowWhatTheProcessorKnows)
{
    auto& hint = probe->hint();
    const auto hintOn = [&] (const juce::String& name)
    {
        editor->mouseEnter (viewtest::mouseAt (*probe->find (name), { 2.0f, 2.0f }));
        return hint.getText();
    };

    announceUpdate();
    EXPECT_EQ (hintOn ("?"), "Update available - show details");

    // Another instance leads: this one is offered the take-over.
    auto other = std::make_unique<CorvessaProcessor>();
    ASSERT_TRUE (other->setSyncMode (1));
    ASSERT_TRUE (processor->isAnotherSyncLeaderActive());
    EXPECT_EQ (hintOn ("sync Leader"), "Another Corvessa leader is active; click to take over");

    other->setSyncMode (0);
    other.reset();
    EXPECT_EQ (hintOn ("sync Leader"), "Publish progression, key, scale, BPM, and sections to followers");
}

//==== building ======================================================================================

TEST_F (ArrangementControlsTest, HeaderLabelsKeyScaleCombosAndTheHiddenAllTab)
{
    for (const auto* name : { "Key:", "Scale:", "BPM:", "Sync:" })
    {
        auto& label = control<juce::Label> (name);
        EXPECT_TRUE (label.getFont().isBold()) << name;
        EXPECT_FLOAT_EQ (label.getFont().getHeight(), 11.0f) << name;
        EXPECT_EQ (label.findColour (juce::Label::textColourId), Palette::subtext1) << name;
        EXPECT_EQ (label.getJustificationType(), juce::Justification::centredRight) << name;
    }

    for (const auto* name : { "key combo", "scale combo" })
    {
        auto& combo = control<juce::ComboBox> (name);
        EXPECT_EQ (combo.getMouseCursor(), juce::MouseCursor (juce::MouseCursor::PointingHandCursor)) << name;
        EXPECT_EQ (combo.findColour (juce::ComboBox::outlineColourId), Palette::overlay2) << name;
    }

    // The "All" tab is a role tab with its own accent that no layout state shows.
    auto& all = control<juce::TextButton> ("tab All");
    EXPECT_EQ (all.getButtonText(), "All");
    EXPECT_EQ (all.findColour (CorvessaEditor::roleTabAccentColourId), Palette::lavender);
    EXPECT_FALSE (all.getClickingTogglesState());
    for (int tab = 0; tab < 3; ++tab)
    {
        probe->selectTab (tab);
        EXPECT_FALSE (all.isVisible()) << tab;
    }
    probe->chordEditor().setVisible (true);
    probe->layout();
    EXPECT_FALSE (all.isVisible());
    probe->chordEditor().setVisible (false);
    probe->layout();
}

//==== each control's effect =========================================================================

TEST_F (ArrangementControlsTest, TogglesChangeTheProcessorTheSectionAndTheNextCompile)
{
    // Chord 0 is C, chord 1 Cmaj9. Each toggle flips its flag from the default.
    using Flag = bool SectionMode::SectionData::*;
    struct Row
    {
        const char* button;
        int tab;
        Flag flag;
        std::function<bool (CorvessaProcessor&)> getter;
        int chord, layer;
        std::function<void (const std::vector<int>& before, const std::vector<int>& after)> check;
    };

    const Row rows[] = {
        { "+Oct", 0, &SectionMode::SectionData::arrangeBassAddOctave, [] (CorvessaProcessor& p) { return p.getArrangeBassAddOctave(); }, 0, 1,
          [] (const auto& before, const auto& after)
          {
              ASSERT_FALSE (before.empty());
              EXPECT_EQ (after.front(), before.front() - 12);
              EXPECT_EQ (after.size(), before.size() + 1);
          } },
        { "+5th", 0, &SectionMode::SectionData::arrangeBassAddFifth, [] (CorvessaProcessor& p) { return p.getArrangeBassAddFifth(); }, 0, 1,
          [] (const auto& before, const auto& after)
          {
              EXPECT_EQ (pitchClassesOf (before), (std::set<int> { 0 }));
              EXPECT_EQ (pitchClassesOf (after), (std::set<int> { 0, 7 }));
          } },
        { "Root", 1, &SectionMode::SectionData::arrangeBodyAddRoot, [] (CorvessaProcessor& p) { return p.getArrangeBodyAddRoot(); }, 0, 2,
          [] (const auto& before, const auto& after)
          {
              EXPECT_EQ (pitchClassesOf (before).count (0), 1u);
              EXPECT_EQ (pitchClassesOf (after).count (0), 0u);
          } },
        { "5th", 1, &SectionMode::SectionData::arrangeBodyAddFifth, [] (CorvessaProcessor& p) { return p.getArrangeBodyAddFifth(); }, 0, 2,
          [] (const auto& before, const auto& after)
          {
              EXPECT_EQ (pitchClassesOf (before).count (7), 1u);
              EXPECT_EQ (pitchClassesOf (after).count (7), 0u);
          } },
        { "Shimmer toggle", 1, &SectionMode::SectionData::arrangeBodyWithShimmer, [] (CorvessaProcessor& p) { return p.getArrangeBodyWithShimmer(); }, 1, 2,
          [] (const auto& before, const auto& after)
          {
              // Cmaj9's written ninth joins the body.
              EXPECT_EQ (pitchClassesOf (before).count (2), 0u);
              EXPECT_EQ (pitchClassesOf (after).count (2), 1u);
          } },
        { "Legato", 0, &SectionMode::SectionData::arrangeBassLegato, [] (CorvessaProcessor& p) { return p.getBassLegato(); }, 0, 1, {} },
        { "Legato", 1, &SectionMode::SectionData::arrangeBodyLegato, [] (CorvessaProcessor& p) { return p.getBodyLegato(); }, 0, 2, {} },
        { "Legato", 2, &SectionMode::SectionData::arrangeShimmerLegato, [] (CorvessaProcessor& p) { return p.getShimmerLegato(); }, 0, 3, {} },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (juce::String (row.button) + " on tab " + juce::String (row.tab));
        const auto start = processor->getSections();
        probe->selectTab (row.tab);
        const bool was = row.getter (*processor);
        const auto before = compiledNotes (row.chord, row.layer);
        const auto others = processor->getSections();

        click (row.button);

        EXPECT_EQ (row.getter (*processor), ! was);
        EXPECT_EQ (control<juce::Button> (row.button).getToggleState(), ! was);
        EXPECT_EQ (activeSection().*row.flag, ! was);
        EXPECT_EQ (processor->getSections()[1], others[1]);
        if (row.check)
            row.check (before, compiledNotes (row.chord, row.layer));

        // Back again, for the next row.
        click (row.button);
        EXPECT_EQ (row.getter (*processor), was);
        EXPECT_EQ (processor->getSections(), start);
    }

    // The roll's range knows about the added octave.
    click ("+Oct");
    EXPECT_TRUE (probe->roll().getBassAddOctave());
}

TEST_F (ArrangementControlsTest, ControlChangesRecordNoHistoryStep)
{
    click ("+5th");
    probe->chooseQuickChoice (control<juce::ComboBox> ("body octave combo"), 6);
    drainMessages();

    EXPECT_TRUE (probe->press (juce::KeyPress ('z', juce::ModifierKeys::commandModifier, 0)));
    EXPECT_TRUE (processor->getArrangeBassAddFifth());
    EXPECT_EQ (processor->getBodyOctave(), 1);
}

TEST_F (ArrangementControlsTest, QuickChoiceOnTheBodyOctaveKnobSetsTheOctaveEverywhere)
{
    auto& combo = control<juce::ComboBox> ("body octave combo");
    auto& knob = control<juce::Slider> ("body octave knob");

    const auto menu = CorvessaEditorTestProbe::knobQuickChoices (combo);
    juce::StringArray texts;
    std::vector<int> ids, ticked;
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        const auto& item = it.getItem();
        texts.add (item.text);
        ids.push_back (item.itemID);
        EXPECT_TRUE (item.isEnabled) << item.text;
        if (item.isTicked)
            ticked.push_back (item.itemID);
    }
    EXPECT_EQ (texts, juce::StringArray ({ "-4", "-3", "-2", "-1", "0", "+1", "+2", "+3", "+4" }));
    EXPECT_EQ (ids, (std::vector<int> { 1, 2, 3, 4, 5, 6, 7, 8, 9 }));
    EXPECT_EQ (ticked, std::vector<int> { 5 });

    const auto before = compiledNotes (1, 2);

    // A dismissed menu changes nothing.
    probe->chooseQuickChoice (combo, 0);
    drainMessages();
    EXPECT_EQ (processor->getBodyOctave(), 0);

    probe->chooseQuickChoice (combo, 7);   // "+2"
    drainMessages();
    EXPECT_EQ (processor->getBodyOctave(), 2);
    EXPECT_EQ (knob.getValue(), 2.0);
    EXPECT_EQ (knob.getTextFromValue (knob.getValue()), "+2");
    EXPECT_EQ (activeSection().bodyOctave, 2);
    EXPECT_EQ (compiledNotes (1, 2), shifted (before, 24));

    const auto voicingMenu = CorvessaEditorTestProbe::knobQuickChoices (control<juce::ComboBox> ("shimmer voicing combo"));
    juce::StringArray voicings;
    for (juce::PopupMenu::MenuItemIterator it (voicingMenu); it.next();)
        voicings.add (it.getItem().text + (it.getItem().isTicked ? "*" : ""));
    EXPECT_EQ (voicings, juce::StringArray ({ "None", "First Inversion", "Smooth*", "Guitarist", "Pianist", "Bassist", "Jazz" }));
}

TEST_F (ArrangementControlsTest, EveryOctaveAndVoicingComboReachesTheProcessorAndTheSection)
{
    struct Row
    {
        const char* combo;
        int id;
        std::function<int (CorvessaProcessor&)> getter;
        int expected;
        std::function<juce::String (const SectionMode::SectionData&)> stored;
        const char* storedText;
        const char* knob;
        double knobValue;
    };
    const Row rows[] = {
        { "bass octave combo", 2, [] (CorvessaProcessor& p) { return p.getBassOctave(); }, -3,
          [] (const auto& s) { return juce::String (s.bassOctave); }, "-3", "bass octave knob", -3.0 },
        { "shimmer octave combo", 9, [] (CorvessaProcessor& p) { return p.getShimmerOctave(); }, 4,
          [] (const auto& s) { return juce::String (s.shimmerOctave); }, "4", "shimmer octave knob", 4.0 },
        { "body voicing combo", 7, [] (CorvessaProcessor& p) { return p.getBodyVoicing(); }, 6,
          [] (const auto& s) { return s.bodyVoicing; }, "Jazz", "body voicing knob", 7.0 },
        { "shimmer voicing combo", 1, [] (CorvessaProcessor& p) { return p.getShimmerVoicing(); }, 0,
          [] (const auto& s) { return s.shimmerVoicing; }, "None", "shimmer voicing knob", 1.0 },
    };

    const auto bass = compiledNotes (0, 1);
    for (const auto& row : rows)
    {
        control<juce::ComboBox> (row.combo).setSelectedId (row.id, juce::sendNotificationAsync);
        drainMessages();
        EXPECT_EQ (row.getter (*processor), row.expected) << row.combo;
        EXPECT_EQ (row.stored (activeSection()), row.storedText) << row.combo;
        EXPECT_EQ (control<juce::Slider> (row.knob).getValue(), row.knobValue) << row.combo;
    }

    EXPECT_EQ (compiledNotes (0, 1), shifted (bass, -36));
}

//==== knobs and their combos ========================================================================

TEST_F (ArrangementControlsTest, AKnobDragReachesTheSongOnceWhenItEnds)
{
    auto& knob = control<CorvessaEditor::ArrangementKnob> ("body voicing knob");
    auto& combo = control<juce::ComboBox> ("body voicing combo");
    ASSERT_EQ (knob.getValue(), 3.0);
    const auto generation = processor->getGeneration();

    // From "Smooth" (3) to "Bassist" (6): half of a 250-pixel drag over the range 1 .. 7.
    const juce::Point<float> down (80.0f, 30.0f);
    knob.mouseDown (knobEvent (knob, down, down, false));
    for (float dx : { 40.0f, 80.0f, 125.0f })
    {
        knob.mouseDrag (knobEvent (knob, down, down + juce::Point<float> (dx, 0.0f), true));
        drainMessages();
    }
    EXPECT_EQ (knob.getValue(), 6.0);
    EXPECT_EQ (processor->getBodyVoicing(), 2);
    EXPECT_EQ (combo.getSelectedId(), 3);
    EXPECT_EQ (processor->getGeneration(), generation);

    knob.mouseUp (knobEvent (knob, down, down + juce::Point<float> (125.0f, 0.0f), false));
    drainMessages();
    EXPECT_EQ (processor->getBodyVoicing(), 5);
    EXPECT_EQ (combo.getSelectedId(), 6);
    EXPECT_EQ (activeSection().bodyVoicing, "Bassist");
}

TEST_F (ArrangementControlsTest, WheelStepsReachTheSongEachTimeWithoutBouncingBack)
{
    auto& knob = control<CorvessaEditor::ArrangementKnob> ("bass octave knob");
    auto& combo = control<juce::ComboBox> ("bass octave combo");

    NotificationCounter counter;
    knob.addListener (&counter);
    combo.addListener (&counter);

    juce::MouseWheelDetails wheel {};
    wheel.deltaY = 0.2f;
    for (int step = 1; step <= 2; ++step)
    {
        // The knob ignores a second wheel event with the same time as the one before.
        const auto at = juce::Time::getCurrentTime() + juce::RelativeTime::milliseconds (step);
        const juce::Point<float> p (80.0f, 30.0f);
        knob.mouseWheelMove ({ juce::Desktop::getInstance().getMainMouseSource(), p, {}, juce::MouseInputSource::defaultPressure,
                               juce::MouseInputSource::defaultOrientation, juce::MouseInputSource::defaultRotation,
                               juce::MouseInputSource::defaultTiltX, juce::MouseInputSource::defaultTiltY, &knob, &knob,
                               at, p, at, 0, false },
                             wheel);
        drainMessages();
        EXPECT_EQ (processor->getBassOctave(), step) << step;
        EXPECT_EQ (combo.getSelectedId(), step + 5) << step;
        EXPECT_EQ (activeSection().bassOctave, step) << step;
    }

    // One knob change and one combo change per step: the combo's handler moves the knob back
    // without telling anyone, and the refresh ticks change nothing more.
    probe->tick();
    probe->tick();
    drainMessages();
    EXPECT_EQ (counter.knobChanges, 2);
    EXPECT_EQ (counter.comboChanges, 2);

    // A quick choice moves the knob silently: only the combo speaks.
    probe->chooseQuickChoice (combo, 3);
    drainMessages();
    EXPECT_EQ (knob.getValue(), -2.0);
    EXPECT_EQ (processor->getBassOctave(), -2);
    EXPECT_EQ (counter.knobChanges, 2);
    EXPECT_EQ (counter.comboChanges, 3);

    knob.removeListener (&counter);
    combo.removeListener (&counter);
}

TEST_F (ArrangementControlsTest, ARightPressAsksForChoicesAndNeverMovesTheKnob)
{
    auto& knob = control<CorvessaEditor::ArrangementKnob> ("shimmer octave knob");
    const auto value = knob.getValue();
    const auto wired = knob.onQuickChoiceRequested;

    int requests = 0;
    knob.onQuickChoiceRequested = [&requests] { ++requests; };

    knob.mouseDown (viewtest::mouseAt (knob, { 90.0f, 20.0f }, viewtest::rightButton));
    knob.mouseUp (viewtest::mouseAt (knob, { 90.0f, 20.0f }));
    EXPECT_EQ (requests, 1);
    EXPECT_EQ (knob.getValue(), value);

    knob.mouseDown (knobEvent (knob, { 90.0f, 20.0f }, { 90.0f, 20.0f }, false));
    knob.mouseUp (knobEvent (knob, { 90.0f, 20.0f }, { 90.0f, 20.0f }, false));
    EXPECT_EQ (requests, 1);

    // The window's own request opens nothing for a disabled knob or a disabled combo (a menu
    // would need a display here).
    knob.onQuickChoiceRequested = wired;
    for (auto* disabled : { probe->find ("shimmer octave knob"), probe->find ("shimmer octave combo") })
    {
        disabled->setEnabled (false);
        probe->requestQuickChoices ("shimmer octave knob");
        EXPECT_FALSE (juce::PopupMenu::dismissAllActiveMenus());
        disabled->setEnabled (true);
    }
}

//==== host automation and followers ================================================================

TEST_F (ArrangementControlsTest, HostAutomationShowsInTheControlsOnTheNextTick)
{
    probe->selectTab (0);
    parameter ("bodyVoicing")->setValueNotifyingHost (parameter ("bodyVoicing")->convertTo0to1 (6.0f));
    parameter ("bassLegato")->setValueNotifyingHost (1.0f);
    ASSERT_TRUE (pumpUntil ([this] { return processor->getBodyVoicing() == 6 && processor->getBassLegato(); }));

    probe->tick();
    EXPECT_EQ (control<juce::Slider> ("body voicing knob").getValue(), 7.0);
    EXPECT_EQ (control<juce::ComboBox> ("body voicing combo").getSelectedId(), 7);
    EXPECT_TRUE (control<juce::Button> ("Legato").getToggleState());
    EXPECT_EQ (activeSection().bodyVoicing, "Jazz");
    EXPECT_TRUE (activeSection().arrangeBassLegato);
}

TEST_F (ArrangementControlsTest, AFollowerCannotUseTheEditingControls)
{
    const char* locked[] = {
        "Key:", "key combo", "Scale:", "scale combo", "BPM:", "bpm hint",
        "+Oct", "+5th", "Root", "5th", "Shimmer toggle", "Legato", "Off", "Top", "Color", "Halo",
        "bass octave caption", "bass octave combo", "bass octave knob", "body octave caption", "body octave combo",
        "body octave knob", "shimmer octave caption", "shimmer octave combo", "shimmer octave knob",
        "body voicing caption", "body voicing combo", "body voicing knob", "shimmer voicing caption",
        "shimmer voicing combo", "shimmer voicing knob", "Mood Generator", "{}", "Projects",
    };
    const char* unlocked[] = { "tab Bass", "tab Body", "tab Shimmer", "sync Off", "sync Leader", "sync Follower" };

    struct Case { int syncMode; bool editable; };
    for (const auto c : { Case { 2, false }, Case { 0, true } })
    {
        processor->setSyncMode (c.syncMode);
        ASSERT_EQ (processor->getSyncMode(), c.syncMode);
        probe->tick();

        const juce::MouseCursor expectedCursor (c.editable ? juce::MouseCursor::PointingHandCursor : juce::MouseCursor::NormalCursor);
        for (const auto* name : locked)
        {
            EXPECT_EQ (probe->find (name)->isEnabled(), c.editable) << name << " in mode " << c.syncMode;
            EXPECT_EQ (probe->find (name)->getMouseCursor(), expectedCursor) << name << " in mode " << c.syncMode;
        }
        for (const auto* name : unlocked)
            EXPECT_TRUE (probe->find (name)->isEnabled()) << name << " in mode " << c.syncMode;
    }
}

TEST_F (ArrangementControlsTest, AFollowerRefusesEditsThatArriveAnyway)
{
    processor->setSyncMode (2);
    ASSERT_EQ (processor->getSyncMode(), 2);
    probe->tick();
    const auto sections = processor->getSections();
    const auto bodyOctave = processor->getBodyOctave();

    // A click queued before the switch, and a quick choice whose menu was open during it.
    auto& addOctave = control<juce::Button> ("+Oct");
    addOctave.setToggleState (true, juce::dontSendNotification);
    editor->buttonClicked (&addOctave);
    auto& combo = control<juce::ComboBox> ("body octave combo");
    probe->chooseQuickChoice (combo, 9);
    drainMessages();

    EXPECT_FALSE (processor->getArrangeBassAddOctave());
    EXPECT_FALSE (addOctave.getToggleState());
    EXPECT_EQ (processor->getBodyOctave(), bodyOctave);
    EXPECT_EQ (combo.getSelectedId(), juce::jlimit (-4, 4, bodyOctave) + 5);
    EXPECT_EQ (control<juce::Slider> ("body octave knob").getValue(), juce::jlimit (-4, 4, bodyOctave));
    EXPECT_EQ (processor->getSections(), sections);
}

TEST_F (ArrangementControlsTest, TabsChooseTheVoiceShownAndTellTheProcessor)
{
    for (const auto& [name, tab] : { std::pair<const char*, int> { "tab Shimmer", 2 }, { "tab Bass", 0 }, { "tab Body", 1 } })
    {
        click (name);
        EXPECT_EQ (probe->tab(), tab) << name;
        EXPECT_EQ (processor->getSelectedArrangementVoiceTab(), tab) << name;
        EXPECT_TRUE (control<juce::Button> (name).getToggleState()) << name;
    }
}

TEST_F (ArrangementControlsTest, AutoAdvancePaintsItsStateAndFadesWhenDisabled)
{
    auto& button = *probe->find ("Auto-Advance");
    probe->layout();
    const auto bounds = button.getBounds();
    ASSERT_EQ (bounds, juce::Rectangle<int> (226, 162, 124, 23));

    // Sampled on the sections card (surface0), clear of the outline, the dot and the text.
    const auto fillAt = bounds.getTopLeft() + juce::Point<int> (60, 2);
    const auto dotAt = bounds.getTopLeft() + juce::Point<int> (14, 11);

    struct Case { bool on, enabled; juce::Colour fill; float alpha; };
    const Case cases[] = {
        { false, true, Palette::surface0.interpolatedWith (Palette::mauve, 0.06f), 1.0f },
        { true, true, Palette::surface0.interpolatedWith (Palette::overlay2, 0.28f), 1.0f },
        { false, false, Palette::surface0.interpolatedWith (Palette::mauve, 0.06f), 0.48f },
        { true, false, Palette::surface0.interpolatedWith (Palette::overlay2, 0.28f), 0.48f },
    };

    for (const auto& c : cases)
    {
        button.setEnabled (c.enabled);
        dynamic_cast<juce::Button&> (button).setToggleState (c.on, juce::dontSendNotification);
        const auto image = corvessa::test::renderComponent (*editor);
        const auto label = juce::String (c.on ? "on" : "off") + (c.enabled ? "" : ", disabled");

        EXPECT_TRUE (PixelTest::near (image.getPixelAt (fillAt.x, fillAt.y), PixelTest::over (Palette::surface0, c.fill.withMultipliedAlpha (c.alpha))))
            << label;
        if (c.on)
            EXPECT_TRUE (PixelTest::near (image.getPixelAt (dotAt.x, dotAt.y), Palette::mauve)) << label;
        else
            EXPECT_FALSE (PixelTest::near (image.getPixelAt (dotAt.x, dotAt.y), Palette::mauve, 20)) << label;
    }
}
