// The mood panel inside the window: generated sections replacing the song, the panel's
// settings kept in the processor's state (and in its chunk), showing and hiding the panel, the
// panel following a state loaded while the window is open, and the chord editor's suggestions
// ranked by the mood the panel shows.
#include "MoodGeneratorComponentTestAccess.h"

#include "chord_editor/ChordDraftFixture.h"
#include "chord_editor/PanelTestSupport.h"
#include "editor/EditorFixture.h"
#include "editor/views/ViewTestSupport.h"
#include "editor/look/Palette.h"
#include "support/ComponentSnapshot.h"
#include "support/MessagePump.h"

#include <functional>
#include <map>
#include <ostream>

namespace
{
using Access = MoodGeneratorComponentTestAccess;

// What the panel shows, or what a state holds, of the mood settings.
struct MoodSettings
{
    int mood = 1;
    int key = 1;
    int bars = 0;
    bool fifthOfFifth = false;
    bool tritone = false;
    bool chromaticMediant = false;
    bool slashChords = true;
    bool visible = false;

    bool operator== (const MoodSettings& o) const
    {
        return mood == o.mood && key == o.key && bars == o.bars && fifthOfFifth == o.fifthOfFifth && tritone == o.tritone
            && chromaticMediant == o.chromaticMediant && slashChords == o.slashChords && visible == o.visible;
    }

    friend std::ostream& operator<< (std::ostream& out, const MoodSettings& s)
    {
        return out << "{mood " << s.mood << ", key " << s.key << ", bars " << s.bars << ", switches " << s.fifthOfFifth
                   << s.tritone << s.chromaticMediant << s.slashChords << ", visible " << s.visible << "}";
    }
};

MoodSettings shownBy (const MoodGeneratorComponent& panel)
{
    return { panel.getMoodId(), panel.getKeyId(), panel.getBars(), panel.isFifthOfFifthEnabled(),
             panel.isTritoneSubEnabled(), panel.isChromaticMediantEnabled(), panel.isSlashChordsEnabled(), panel.isVisible() };
}

MoodSettings storedIn (const CorvessaProcessor& processor)
{
    return { processor.getMoodId(), processor.getMoodKeyId(), processor.getMoodBars(), processor.getMoodFifthOfFifth(),
             processor.getMoodTritone(), processor.getMoodChromaticMediant(), processor.getMoodSlashChords(),
             processor.getMoodVisible() };
}

// The state chunk of another instance that holds these mood settings and the default song.
juce::MemoryBlock chunkWith (const MoodSettings& s)
{
    CorvessaProcessor source;
    source.setMoodId (s.mood);
    source.setMoodKeyId (s.key);
    source.setMoodBars (s.bars);
    source.setMoodFifthOfFifth (s.fifthOfFifth);
    source.setMoodTritone (s.tritone);
    source.setMoodChromaticMediant (s.chromaticMediant);
    source.setMoodSlashChords (s.slashChords);
    source.setMoodVisible (s.visible);

    juce::MemoryBlock chunk;
    source.getStateInformation (chunk);
    return chunk;
}

// Sections as the panel hands them over: every one named after its mood, each with a
// progression and settings of its own.
SectionList generatedSections (int count)
{
    const char* const progressions[] = { "Cmaj7 D/C", "Em7 F#m7b5", "Am7:2 D9", "Gmaj9 Cmaj7", "Bm7 E7" };

    SectionList sections;
    for (int i = 0; i < count; ++i)
    {
        SectionMode::SectionData s;
        s.name = "Space";
        s.progression = juce::String (progressions[i % 5]) + (i >= 5 ? " C" + juce::String (i) : juce::String());
        s.scale = "Lydian";
        s.rootKey = "C";
        s.suggestedBpm = "60-80 BPM";
        s.bodyVoicing = i % 2 == 0 ? "Pianist" : "Jazz";
        s.baseOctave = 3 + i % 2;
        sections.push_back (s);
    }
    return sections;
}

juce::StringArray namesOf (const SectionList& sections)
{
    juce::StringArray names;
    for (const auto& s : sections)
        names.add (s.name);
    return names;
}

class MoodWindowTest : public EditorTest
{
protected:
    MoodGeneratorComponent& panel() { return probe->moodPanel(); }

    void generate (const SectionList& sections) { panel().onGenerate (sections); }

    // Clicks the window's "Mood Generator" button as the framework does (the click arrives as a message).
    void clickMoodButton()
    {
        auto& button = dynamic_cast<juce::Button&> (*probe->find ("Mood Generator"));
        bool clicked = false;
        button.onClick = [&clicked] { clicked = true; };
        button.triggerClick();
        ASSERT_TRUE (corvessa::test::pumpMessagesUntil ([&] { return clicked; }, 2000));
        button.onClick = nullptr;
    }
};
} // namespace

TEST_F (MoodWindowTest, GeneratedSectionsReplaceTheWholeSongUnderFreshNames)
{
    juce::StringArray allNames;
    for (char c = 'A'; c <= 'Z'; ++c)
        allNames.add (juce::String::charToString (c));
    for (int n = 27; n <= 32; ++n)
        allNames.add (juce::String (n));

    const struct
    {
        const char* name;
        int generated;
        juce::StringArray names;
    } cases[] = {
        { "five", 5, { "A", "B", "C", "D", "E" } },
        { "one", 1, { "A" } },
        { "more than a song holds", 40, allNames },
    };

    for (const auto& c : cases)
    {
        // A song whose names would collide with the new ones, its last section selected.
        processor->setSections (song ({ { "B - Verse", "F G" }, { "a", "Dm" }, { "Intro", "E" } }), true);
        processor->setSelectedSectionViewIndex (2);
        editor->syncControlsFromProcessor (true);
        probe->tick();

        const auto generated = generatedSections (c.generated);
        generate (generated);

        const auto sections = processor->getSections();
        ASSERT_EQ (namesOf (sections), c.names) << c.name;
        for (size_t i = 0; i < sections.size(); ++i)
        {
            auto expected = generated[i];
            expected.name = c.names[(int) i];
            EXPECT_EQ (sections[i], expected) << c.name << " section " << i;
        }

        EXPECT_EQ (processor->getSelectedSectionViewIndex(), 0) << c.name;
        const auto working = processor->getWorkingSection();
        EXPECT_EQ (working.progression, generated[0].progression) << c.name;
        EXPECT_EQ (working.scale, "Lydian") << c.name;
        EXPECT_EQ (working.bodyVoicing, "Pianist") << c.name;

        EXPECT_EQ (namesOf (probe->sectionRow().sections), c.names) << c.name;
        EXPECT_EQ (probe->sectionRow().selectedIndex, 0) << c.name;

        EXPECT_EQ (probe->status().getText(), "Status: " + juce::String (c.names.size()) + " mood sections generated") << c.name;
        EXPECT_EQ (probe->status().findColour (juce::Label::textColourId), Palette::green) << c.name;
    }
}

TEST_F (MoodWindowTest, GeneratingIsOneUndoStepBackToTheSongAsItWasShown)
{
    const auto undo = juce::KeyPress ('z', juce::ModifierKeys::commandModifier, 0);
    const auto redo = juce::KeyPress ('z', juce::ModifierKeys::commandModifier | juce::ModifierKeys::shiftModifier, 0);

    processor->setSections (song ({ { "Verse", "F G" }, { "Chorus", "Am" } }), true);
    processor->setSelectedSectionViewIndex (1);
    editor->syncControlsFromProcessor (true);
    probe->tick();
    // The selected section's controls changed since, never recorded as a step of their own.
    processor->setProgression ("Am F");

    generate (generatedSections (5));
    // The tick that follows sees the new selection as the window's own, not as an outside change.
    probe->tick();

    EXPECT_TRUE (probe->press (undo));
    EXPECT_EQ (probe->status().getText(), "Status: Progression undone");
    auto sections = processor->getSections();
    ASSERT_EQ (namesOf (sections), (juce::StringArray { "Verse", "Chorus" }));
    EXPECT_EQ (sections[0].progression, "F G");
    EXPECT_EQ (sections[1].progression, "Am F");
    EXPECT_EQ (processor->getSelectedSectionViewIndex(), 1);
    EXPECT_EQ (processor->getWorkingSection().progression, "Am F");

    // One step: nothing older is left.
    probe->status().setText ("after one undo", juce::dontSendNotification);
    EXPECT_TRUE (probe->press (undo));
    EXPECT_EQ (probe->status().getText(), "after one undo");
    EXPECT_EQ (namesOf (processor->getSections()), (juce::StringArray { "Verse", "Chorus" }));

    EXPECT_TRUE (probe->press (redo));
    EXPECT_EQ (probe->status().getText(), "Status: Progression redone");
    EXPECT_EQ (namesOf (processor->getSections()), (juce::StringArray { "A", "B", "C", "D", "E" }));
    EXPECT_EQ (processor->getSelectedSectionViewIndex(), 0);
    EXPECT_EQ (processor->getWorkingSection().progression, generatedSections (1)[0].progression);
}

TEST_F (MoodWindowTest, TheGeneratedStatusIsNotHeldAndNothingHandedOverChangesNothing)
{
    processor->setSections (song ({ { "Intro", "E" } }), true);
    editor->syncControlsFromProcessor (true);
    probe->status().setText ("before", juce::dontSendNotification);
    const auto holdBefore = probe->holdUntil();

    generate ({});
    EXPECT_EQ (namesOf (processor->getSections()), juce::StringArray { "Intro" });
    EXPECT_EQ (probe->status().getText(), "before");

    generate (generatedSections (3));
    EXPECT_EQ (probe->status().getText(), "Status: 3 mood sections generated");
    EXPECT_EQ (probe->holdUntil(), holdBefore);

    // The next tick's compile-state text may replace it at once.
    probe->tick();
    EXPECT_NE (probe->status().getText(), "Status: 3 mood sections generated");
}

TEST_F (MoodWindowTest, Generate5FillsTheSongAndClosesThePanel)
{
    probe->toggleMoodPanel();
    ASSERT_TRUE (panel().isVisible());

    Access::generateButton (panel()).onClick();

    const auto sections = processor->getSections();
    ASSERT_GE (sections.size(), 1u);
    ASSERT_LE (sections.size(), 5u);
    const juce::StringArray firstNames { "A", "B", "C", "D", "E" };
    for (size_t i = 0; i < sections.size(); ++i)
    {
        EXPECT_EQ (sections[i].name, firstNames[(int) i]);
        EXPECT_TRUE (sections[i].progression.isNotEmpty());
        EXPECT_EQ (sections[i].scale, "Lydian");   // Space's scale
    }
    EXPECT_EQ (processor->getWorkingSection().progression, sections[0].progression);
    EXPECT_EQ (probe->status().getText(), "Status: " + juce::String ((int) sections.size()) + " mood sections generated");

    EXPECT_FALSE (panel().isVisible());
    EXPECT_FALSE (processor->getMoodVisible());
}

TEST_F (MoodWindowTest, TheMoodButtonShowsAndHidesThePanelAndItsCloseHidesIt)
{
    clickMoodButton();
    EXPECT_TRUE (panel().isVisible());
    EXPECT_TRUE (processor->getMoodVisible());
    EXPECT_EQ (panel().getBounds(), juce::Rectangle<int> (60, 94, 480, 672));
    EXPECT_TRUE (probe->scrim().isVisible());

    clickMoodButton();
    EXPECT_FALSE (panel().isVisible());
    EXPECT_FALSE (processor->getMoodVisible());
    EXPECT_FALSE (probe->scrim().isVisible());

    clickMoodButton();
    Access::closeButton (panel()).onClick();
    EXPECT_FALSE (panel().isVisible());
    EXPECT_FALSE (processor->getMoodVisible());
    EXPECT_FALSE (probe->scrim().isVisible());
}

TEST_F (MoodWindowTest, AFollowerNeitherOpensThePanelNorTakesGeneratedSections)
{
    processor->setSections (song ({ { "Verse", "F G" } }), true);
    editor->syncControlsFromProcessor (true);
    processor->setSyncMode (2);
    ASSERT_EQ (processor->getSyncMode(), 2);
    probe->status().setText ("before", juce::dontSendNotification);

    clickMoodButton();
    EXPECT_FALSE (panel().isVisible());
    EXPECT_FALSE (processor->getMoodVisible());

    generate (generatedSections (5));
    EXPECT_EQ (namesOf (processor->getSections()), juce::StringArray { "Verse" });
    EXPECT_EQ (probe->status().getText(), "before");

    processor->setSyncMode (0);
}

TEST_F (MoodWindowTest, EveryChangeInThePanelIsStoredAndTravelsWithTheStateChunk)
{
    // A switch is clicked as the framework clicks it: the state toggles, then the panel reports.
    const auto click = [] (juce::Button& button)
    {
        const auto before = button.getToggleState();
        button.triggerClick();
        ASSERT_TRUE (corvessa::test::pumpMessagesUntil ([&] { return button.getToggleState() != before; }, 2000));
    };

    const std::pair<const char*, std::function<void (MoodGeneratorComponent&)>> steps[] = {
        { "mood Noir", [] (MoodGeneratorComponent& p) { Access::moodCombo (p).setSelectedId (15, juce::sendNotificationSync); } },
        { "key D#", [] (MoodGeneratorComponent& p) { Access::keyCombo (p).setSelectedId (4, juce::sendNotificationSync); } },
        { "bars typed", [] (MoodGeneratorComponent& p) { Access::barsCombo (p).setText ("20", juce::sendNotificationSync); } },
        { "Fifth of Fifth", [&] (MoodGeneratorComponent& p) { click (Access::fifthOfFifth (p)); } },
        { "Tritone Sub", [&] (MoodGeneratorComponent& p) { click (Access::tritoneSub (p)); } },
        { "Chromatic Mediant", [&] (MoodGeneratorComponent& p) { click (Access::chromaticMediant (p)); } },
        { "Slash Chords", [&] (MoodGeneratorComponent& p) { click (Access::slashChords (p)); } },
        { "a key in the table", [] (MoodGeneratorComponent& p)
          {
              layOutAndPaint (p);
              viewtest::press (p, Access::keyArea (p, "Glass", "F#").getCentre().toFloat());
          } },
    };

    probe->toggleMoodPanel();
    for (const auto& [name, change] : steps)
    {
        change (panel());
        EXPECT_EQ (storedIn (*processor), shownBy (panel())) << name;
    }

    const auto settings = storedIn (*processor);
    EXPECT_EQ (settings, (MoodSettings { 17, 7, 48, true, true, true, false, true }));   // Glass in F#, its 48 bars

    // Another instance given the chunk opens its window on the same panel.
    juce::MemoryBlock chunk;
    processor->getStateInformation (chunk);
    closeEditor();
    processor = std::make_unique<CorvessaProcessor>();
    processor->getTelemetryClient().markWelcomeSeen();
    processor->setStateInformation (chunk.getData(), (int) chunk.getSize());
    EXPECT_EQ (storedIn (*processor), settings);
    openEditor();
    EXPECT_EQ (shownBy (panel()), settings);
}

TEST_F (MoodWindowTest, AStateLoadedWhileTheWindowIsOpenShowsAllItsMoodSettings)
{
    const struct
    {
        const char* name;
        MoodSettings before;   // what the window shows and stores
        MoodSettings loaded;   // what the loaded state holds
        int bars;              // what the panel then shows
    } cases[] = {
        { "same mood, other bars", { 1, 1, 32 }, { 1, 1, 24 }, 24 },
        { "other mood and bars", { 1, 1, 32 }, { 15, 3, 8 }, 8 },
        { "other mood, its default", { 1, 1, 24 }, { 15, 3, 0 }, 48 },
        { "same mood, its default", { 1, 1, 24 }, { 1, 1, 0 }, 32 },
        { "bars beyond the field's maximum", { 1, 1, 32 }, { 1, 1, 500 }, 128 },
        { "other switches", { 1, 1, 32, false, false, false, true }, { 1, 1, 32, true, true, false, false }, 32 },
        { "switches back off", { 4, 2, 32, true, true, true, true }, { 4, 2, 32, false, false, false, true }, 32 },
        { "shown", { 1, 1, 32 }, { 1, 1, 32, false, false, false, true, true }, 32 },
    };

    for (const auto& c : cases)
    {
        probe->moodPanel().setVisible (c.before.visible);
        processor->setMoodVisible (c.before.visible);
        panel().setMoodId (c.before.mood);
        panel().setKeyId (c.before.key);
        panel().setBars (c.before.bars);
        panel().setFifthOfFifthEnabled (c.before.fifthOfFifth);
        panel().setTritoneSubEnabled (c.before.tritone);
        panel().setChromaticMediantEnabled (c.before.chromaticMediant);
        panel().setSlashChordsEnabled (c.before.slashChords);
        panel().onSettingsChanged();
        ASSERT_EQ (shownBy (panel()), c.before) << c.name;

        const auto chunk = chunkWith (c.loaded);
        processor->setStateInformation (chunk.getData(), (int) chunk.getSize());
        editor->syncControlsFromProcessor (true);

        auto expected = c.loaded;
        expected.bars = c.bars;
        EXPECT_EQ (shownBy (panel()), expected) << c.name;

        // The next change in the panel keeps what the project brought.
        const int otherKey = c.loaded.key % 12 + 1;
        Access::keyCombo (panel()).setSelectedId (otherKey, juce::sendNotificationSync);
        expected.key = otherKey;
        EXPECT_EQ (storedIn (*processor), expected) << c.name;
    }
}

TEST_F (MoodWindowTest, PicturesOfTheWindowWithTheMoodPanelOpenAndAfterGenerating)
{
    processor->setSections (song ({ { "A", "Cmaj7 Em7 Am7 Fmaj7" }, { "B", "Dm7 G7" } }), true);
    processor->setSelectedSectionViewIndex (0);
    waitForCompile();
    editor->syncControlsFromProcessor (true);
    probe->tick();

    probe->toggleMoodPanel();
    probe->layout();
    const auto image = corvessa::test::writeSnapshot (*editor, "window-mood-panel");

    const auto panelArea = juce::Rectangle<int> (60, 94, 480, 672);
    EXPECT_EQ (image.getPixelAt (panelArea.getX() + 10, panelArea.getY() + 80), juce::Colour (0xff181825));   // panel body
    EXPECT_EQ (image.getPixelAt (panelArea.getX() + 10, panelArea.getY() + 30), juce::Colour (0xff1e1e2e));   // header band
    EXPECT_EQ (image.getPixelAt (panelArea.getX() + 1, panelArea.getY() + 300), juce::Colour (0xff9399b2));   // border
    // The title, the table and "Generate 5" are drawn.
    EXPECT_TRUE (corvessa::test::hasInk (image, { panelArea.getX() + 25, panelArea.getY(), 200, 55 }, juce::Colour (0xff1e1e2e)));
    EXPECT_TRUE (corvessa::test::hasInk (image, { panelArea.getX() + 25, panelArea.getY() + 230, 400, 400 }, juce::Colour (0xff181825)));
    EXPECT_TRUE (corvessa::test::hasInk (image, { panelArea.getRight() - 195, panelArea.getY() + 14, 90, 28 }, juce::Colour (0xff1e1e2e)));

    // After "Generate 5" the panel is gone and the window shows the new song, its first section selected.
    Access::generateButton (panel()).onClick();
    waitForCompile();
    probe->tick();
    probe->layout();
    const auto generated = corvessa::test::writeSnapshot (*editor, "window-mood-generated");
    EXPECT_NE (generated.getPixelAt (panelArea.getX() + 10, panelArea.getY() + 80), juce::Colour (0xff181825));
    EXPECT_FALSE (probe->scrim().isVisible());
    EXPECT_EQ (probe->sectionRow().sections.front().name, "A");
    EXPECT_EQ (probe->sectionRow().selectedIndex, 0);
}

TEST_F (MoodWindowTest, ChordSuggestionsFollowTheMoodChosenInThePanel)
{
    auto sections = song ({ { "A", "C G" } });
    processor->setSections (sections, true);
    processor->setSelectedSectionViewIndex (0);
    processor->setWorkingSection (sections[0]);
    probe->tick();
    ChordDraftTestProbe draft (*editor);

    const auto suggestionsOf = [] (const ChordEditPopover& p)
    {
        std::vector<juce::String> texts;
        for (const auto& s : p.suggestions)
            texts.push_back (s.label + " (" + s.role + ")");
        return texts;
    };

    // The window's ways into the chord editor, and the place each gives the panel in "C G".
    struct Entry { const char* name; std::function<void()> open; int position; bool replaces; const char* chord; };
    const Entry entries[] = {
        { "edit G", [&] { draft.openChord (1); }, 1, true, "G" },
        { "append", [&] { draft.openForAppend(); }, 2, false, "C" },
        { "insert after C", [&] { draft.openForInsert (0, false); }, 1, false, "C" },
    };

    // What the panel offers at that place in the song's key under a mood.
    const auto expectedFor = [&] (const Entry& entry, const juce::String& mood)
    {
        PanelRig rig;
        rig.panel.setKeyAndScale (processor->getWorkingSection().rootKey, processor->getWorkingSection().scale);
        rig.panel.setContext (parseProgressionTokens ("C G"), entry.position, entry.replaces, mood);
        rig.panel.openChord (entry.position, parseChordToken (entry.chord));
        return suggestionsOf (rig.panel);
    };

    // Two moods of seven degrees rank differently; one of five does not fit a seven-note scale.
    std::map<juce::String, std::vector<juce::String>> shown;
    for (const juce::String mood : { "Space", "Forest", "Meadow" })
    {
        Access::moodCombo (panel()).setText (mood, juce::sendNotificationSync);
        ASSERT_EQ (panel().getMoodName(), mood);

        for (const auto& entry : entries)
        {
            SCOPED_TRACE (mood + ", " + entry.name);
            entry.open();
            ASSERT_TRUE (draft.panel().isVisible());
            const auto suggestions = suggestionsOf (draft.panel());
            EXPECT_FALSE (suggestions.empty());
            EXPECT_EQ (suggestions, expectedFor (entry, mood));
            draft.closeChordEditing();
            if (entry.replaces)
                shown[mood] = suggestions;
        }
    }
    EXPECT_NE (shown["Space"], shown["Forest"]);
    EXPECT_NE (shown["Space"], shown["Meadow"]);
}
