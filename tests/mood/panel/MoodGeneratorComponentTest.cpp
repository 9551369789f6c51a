// The mood panel's controls and "Generate 5": combo contents and ids, the bar-count field, the
// settings the owner reads and writes, and the sections handed to the owner.
#include "MoodGeneratorComponentTestAccess.h"

#include "harmony/ProgressionText.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <set>

namespace
{
using Access = MoodGeneratorComponentTestAccess;

class MoodPanelTest : public ::testing::Test
{
protected:
    juce::ScopedJuceInitialiser_GUI gui;
    MoodGeneratorComponent panel { 20240611u };
    int settingsChanges = 0;

    void SetUp() override
    {
        panel.onSettingsChanged = [this] { ++settingsChanges; };
        panel.setBounds (0, 0, 480, MoodGeneratorComponent::getPreferredHeight());
    }
};

// The total length in bars of a progression written by the generator.
double totalBars (const juce::String& progression)
{
    double total = 0.0;
    for (const auto& token : parseProgressionTokens (progression))
    {
        EXPECT_FALSE (token.duration.startsWithIgnoreCase ("T")) << progression;
        total += token.duration.getDoubleValue();
    }
    return total;
}

struct Entry
{
    juce::String text;
    int id;   // 0 for a separator
};

std::vector<Entry> entriesOf (juce::ComboBox& combo)
{
    std::vector<Entry> entries;
    for (juce::PopupMenu::MenuItemIterator it (*combo.getRootMenu()); it.next();)
    {
        const auto& item = it.getItem();
        entries.push_back ({ item.isSeparator ? juce::String ("---") : item.text, item.isSeparator ? 0 : item.itemID });
    }
    return entries;
}

TEST_F (MoodPanelTest, MoodListHasTwoSeparatorsThatTheIdsCount)
{
    const std::vector<Entry> expected {
        { "Space", 1 }, { "Forest", 2 }, { "Water", 3 }, { "Desert", 4 }, { "Night", 5 }, { "Aurora", 6 },
        { "---", 0 },
        { "Tribal", 8 }, { "Meadow", 9 }, { "Fog", 10 }, { "Smoke", 11 }, { "Sands", 12 },
        { "---", 0 },
        { "Velvet", 14 }, { "Noir", 15 }, { "Rust", 16 }, { "Glass", 17 }, { "Ember", 18 },
    };

    const auto entries = entriesOf (Access::moodCombo (panel));
    ASSERT_EQ (entries.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
    {
        EXPECT_EQ (entries[i].text, expected[i].text) << i;
        EXPECT_EQ (entries[i].id, expected[i].id) << i;
    }

    // Selecting a mood by name gives the id a stored state keeps.
    Access::moodCombo (panel).setText ("Tribal", juce::dontSendNotification);
    EXPECT_EQ (panel.getMoodId(), 8);
    Access::moodCombo (panel).setText ("Ember", juce::dontSendNotification);
    EXPECT_EQ (panel.getMoodId(), 18);
}

TEST_F (MoodPanelTest, KeyAndBarsListsAndTheFreshState)
{
    const auto keys = entriesOf (Access::keyCombo (panel));
    const juce::StringArray names { "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B" };
    ASSERT_EQ (keys.size(), 12u);
    for (int i = 0; i < 12; ++i)
    {
        EXPECT_EQ (keys[(size_t) i].text, names[i]);
        EXPECT_EQ (keys[(size_t) i].id, i + 1);
    }

    const auto bars = entriesOf (Access::barsCombo (panel));
    const juce::StringArray barTexts { "4", "8", "12", "16", "24", "32", "48", "64" };
    ASSERT_EQ (bars.size(), 8u);
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ (bars[(size_t) i].text, barTexts[i]);
        EXPECT_EQ (bars[(size_t) i].id, i + 1);
    }
    EXPECT_TRUE (Access::barsCombo (panel).isTextEditable());

    // A fresh panel: Space in C with Space's 32 bars; only "Slash Chords" on.
    EXPECT_EQ (panel.getMoodId(), 1);
    EXPECT_EQ (panel.getMoodName(), "Space");
    EXPECT_EQ (panel.getKeyId(), 1);
    EXPECT_EQ (panel.getBars(), 32);
    EXPECT_EQ (Access::barsCombo (panel).getSelectedId(), 6);
    EXPECT_FALSE (panel.isFifthOfFifthEnabled());
    EXPECT_FALSE (panel.isTritoneSubEnabled());
    EXPECT_FALSE (panel.isChromaticMediantEnabled());
    EXPECT_TRUE (panel.isSlashChordsEnabled());

    MoodGenerator generator { 1u };
    EXPECT_EQ (Access::description (panel).getText(), generator.getMoodDescription ("Space"));
    EXPECT_TRUE (Access::description (panel).getText().isNotEmpty());
    EXPECT_EQ (MoodGeneratorComponent::getPreferredHeight(), 672);
}

TEST (MoodPanelBars, TextReadsAsABarCount)
{
    const struct
    {
        const char* text;
        int bars;
    } cases[] = {
        { "16", 16 }, { "1", 1 }, { "128", 128 }, { "129", 128 }, { "500", 128 },
        { "0", 16 }, { "", 16 }, { "abc", 16 }, { "-5", 16 }, { "-0", 16 },
        { "12abc", 12 }, { " 24", 24 }, { "7.9", 7 }, { "x12", 16 },
        // Long digit runs saturate: wrapping would turn 2^32 + 16 into 16.
        { "4294967312", 128 }, { "99999999999999999999", 128 },
    };

    for (const auto& c : cases)
        EXPECT_EQ (MoodGeneratorComponent::readBarCount (c.text), c.bars) << '"' << c.text << '"';
}

TEST_F (MoodPanelTest, SetBarsSelectsAnItemOrWritesTheNumber)
{
    const struct
    {
        int bars;
        int selectedId;
        const char* text;
    } cases[] = { { 16, 4, "16" }, { 64, 8, "64" }, { 20, 0, "20" }, { 4, 1, "4" }, { 100, 0, "100" } };

    for (const auto& c : cases)
    {
        panel.setBars (c.bars);
        EXPECT_EQ (Access::barsCombo (panel).getSelectedId(), c.selectedId) << c.bars;
        EXPECT_EQ (Access::barsCombo (panel).getText(), c.text) << c.bars;
        EXPECT_EQ (panel.getBars(), c.bars);
    }

    // Owner's setters never report back.
    panel.setMoodId (15);
    panel.setKeyId (3);
    panel.setFifthOfFifthEnabled (true);
    panel.setSlashChordsEnabled (false);
    corvessa::test::pumpMessagesFor (30);
    EXPECT_EQ (settingsChanges, 0);
    EXPECT_EQ (panel.getKeyId(), 3);
    EXPECT_TRUE (panel.isFifthOfFifthEnabled());
    EXPECT_FALSE (panel.isSlashChordsEnabled());
}

TEST_F (MoodPanelTest, EveryMoodChangeResetsTheBarsToTheMoodsDefault)
{
    const struct
    {
        int id;
        const char* mood;
        int bars;
    } cases[] = {
        { 1, "Space", 32 }, { 2, "Forest", 16 }, { 3, "Water", 16 }, { 4, "Desert", 32 },
        { 5, "Night", 32 }, { 6, "Aurora", 16 }, { 8, "Tribal", 12 }, { 9, "Meadow", 16 },
        { 10, "Fog", 48 }, { 11, "Smoke", 16 }, { 12, "Sands", 24 }, { 14, "Velvet", 12 },
        { 15, "Noir", 48 }, { 16, "Rust", 48 }, { 17, "Glass", 48 }, { 18, "Ember", 32 },
    };

    MoodGenerator generator { 1u };
    for (const auto& c : cases)
    {
        panel.setBars (7);
        panel.setMoodId (c.id);
        EXPECT_EQ (panel.getMoodName(), c.mood);
        EXPECT_EQ (panel.getBars(), c.bars) << c.mood;
        EXPECT_EQ (Access::description (panel).getText(), generator.getMoodDescription (c.mood));
    }

    // An id without an item (a separator's) leaves no mood: no description, 16 bars.
    panel.setMoodId (7);
    EXPECT_EQ (panel.getMoodName(), "");
    EXPECT_EQ (panel.getBars(), 16);
    EXPECT_EQ (Access::description (panel).getText(), "");
    EXPECT_EQ (settingsChanges, 0);

    // A change through the combo, as the user makes it, reports once.
    panel.setBars (7);
    Access::moodCombo (panel).setSelectedId (12, juce::sendNotificationSync);
    EXPECT_EQ (panel.getBars(), 24);
    EXPECT_EQ (settingsChanges, 1);
}

TEST_F (MoodPanelTest, UserChangesOfKeyBarsAndSwitchesReport)
{
    Access::keyCombo (panel).setSelectedId (8, juce::sendNotificationSync);
    EXPECT_EQ (settingsChanges, 1);
    EXPECT_EQ (panel.getKeyId(), 8);

    // A typed bar count: the field keeps the text, generation reads it clamped.
    Access::barsCombo (panel).setText ("500", juce::sendNotificationSync);
    EXPECT_EQ (settingsChanges, 2);
    EXPECT_EQ (panel.getBars(), 128);
    EXPECT_EQ (panel.getMoodId(), 1);

    int expected = settingsChanges;
    for (auto* button : { &Access::fifthOfFifth (panel), &Access::tritoneSub (panel),
                          &Access::chromaticMediant (panel), &Access::slashChords (panel) })
    {
        const auto before = button->getToggleState();
        button->triggerClick();
        ++expected;
        ASSERT_TRUE (corvessa::test::pumpMessagesUntil ([&] { return settingsChanges == expected; }, 2000))
            << button->getButtonText();
        EXPECT_NE (button->getToggleState(), before) << button->getButtonText();
    }
    EXPECT_TRUE (panel.isFifthOfFifthEnabled());
    EXPECT_TRUE (panel.isTritoneSubEnabled());
    EXPECT_TRUE (panel.isChromaticMediantEnabled());
    EXPECT_FALSE (panel.isSlashChordsEnabled());
}

TEST_F (MoodPanelTest, GenerateFiveHandsFiveDistinctSectionsThenCloses)
{
    panel.setMoodId (5);   // Night
    panel.setKeyId (10);   // A
    panel.setFifthOfFifthEnabled (true);
    panel.setTritoneSubEnabled (true);
    panel.setChromaticMediantEnabled (true);

    std::vector<juce::String> calls;
    std::vector<SectionMode::SectionData> received;
    panel.onGenerate = [&] (const std::vector<SectionMode::SectionData>& sections)
    {
        calls.push_back ("generate");
        received = sections;
    };
    panel.onClose = [&] { calls.push_back ("close"); };

    panel.generateFiveSections();

    ASSERT_EQ (calls, (std::vector<juce::String> { "generate", "close" }));
    ASSERT_EQ (received.size(), 5u);

    std::set<juce::String> progressions;
    for (const auto& section : received)
    {
        SCOPED_TRACE (section.progression.toStdString());
        EXPECT_EQ (section.name, "Night");
        EXPECT_EQ (section.scale, "Minor");
        EXPECT_EQ (section.rootKey, "A");
        EXPECT_EQ (section.suggestedBpm, "55-75 BPM");
        EXPECT_EQ (section.progression, section.progression.trim());
        EXPECT_TRUE (progressions.insert (section.progression).second) << "repeated";

        const auto tokens = parseProgressionTokens (section.progression);
        ASSERT_FALSE (tokens.empty());
        for (const auto& token : tokens)
            EXPECT_TRUE (token.isValid) << token.text;
        EXPECT_DOUBLE_EQ (totalBars (section.progression), 32.0);
    }
    EXPECT_EQ (settingsChanges, 0);
}

TEST_F (MoodPanelTest, GenerationReadsTheBarsFieldAsTyped)
{
    const struct
    {
        const char* text;
        double bars;
    } cases[] = { { "0", 16.0 }, { "abc", 16.0 }, { "500", 128.0 }, { "12", 12.0 }, { "20", 20.0 } };

    for (const auto& c : cases)
    {
        Access::barsCombo (panel).setText (c.text, juce::dontSendNotification);
        std::vector<SectionMode::SectionData> received;
        panel.onGenerate = [&] (const std::vector<SectionMode::SectionData>& sections) { received = sections; };
        panel.generateFiveSections();

        ASSERT_FALSE (received.empty()) << c.text;
        for (const auto& section : received)
            EXPECT_DOUBLE_EQ (totalBars (section.progression), c.bars) << c.text << ": " << section.progression;
    }
}

TEST_F (MoodPanelTest, ButtonsRunGenerateAndClose)
{
    int generated = 0, closed = 0;
    panel.onGenerate = [&] (const std::vector<SectionMode::SectionData>& sections)
    {
        ++generated;
        EXPECT_FALSE (sections.empty());
    };
    panel.onClose = [&] { ++closed; };

    Access::closeButton (panel).triggerClick();
    ASSERT_TRUE (corvessa::test::pumpMessagesUntil ([&] { return closed == 1; }, 2000));
    EXPECT_EQ (generated, 0);

    Access::generateButton (panel).triggerClick();
    ASSERT_TRUE (corvessa::test::pumpMessagesUntil ([&] { return closed == 2; }, 2000));
    EXPECT_EQ (generated, 1);

    // Without callbacks the buttons do nothing harmful.
    panel.onGenerate = nullptr;
    panel.onClose = nullptr;
    panel.generateFiveSections();
}

TEST (MoodPanelSeed, TheSameSeedGeneratesTheSameSections)
{
    juce::ScopedJuceInitialiser_GUI gui;
    MoodGeneratorComponent first { 99u }, second { 99u };

    std::vector<SectionMode::SectionData> a, b;
    first.onGenerate = [&] (const std::vector<SectionMode::SectionData>& s) { a = s; };
    second.onGenerate = [&] (const std::vector<SectionMode::SectionData>& s) { b = s; };
    first.generateFiveSections();
    second.generateFiveSections();

    ASSERT_EQ (a.size(), 5u);
    EXPECT_TRUE (a == b);
}
} // namespace
