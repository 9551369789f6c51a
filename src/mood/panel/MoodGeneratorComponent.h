#pragma once

#include "mood/MoodGenerator.h"
#include "mood/panel/MoodOverviewTable.h"
#include "processor/SectionData.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>
#include <functional>
#include <vector>

// The "Mood Generator" panel of the window: a mood, a key, a bar count and four harmonic-option
// switches, the table of moods (rows and keys can be clicked), and "Generate 5", which hands up
// to five freshly generated sections with distinct progressions to the owner. The panel never
// reaches the processor: it reports through its callbacks and the window stores its settings
// and applies the sections.
//
// Threads: message thread only, like its own generator.
class MoodGeneratorComponent : public juce::Component
{
public:
    // The switches: text buttons that toggle, drawn with an indicator dot and an accent of their
    // own, which the panel sets under `accentColourId`.
    class HarmonicOptionButtonLookAndFeel : public juce::LookAndFeel_V4
    {
    public:
        static constexpr int accentColourId = 0x2001201;

        void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour& backgroundColour,
                                   bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
        void drawButtonText (juce::Graphics&, juce::TextButton&,
                             bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
    };

    // The generator draws from the system's random source.
    MoodGeneratorComponent();
    // The generator draws from a fixed seed, so that a run can be repeated.
    explicit MoodGeneratorComponent (std::uint32_t generatorSeed);
    ~MoodGeneratorComponent() override;

    // Each may be empty. onGenerate gets 1 to 5 sections, each named after its mood.
    std::function<void (const std::vector<SectionMode::SectionData>& sections)> onGenerate;
    std::function<void()> onClose;
    // The mood, the key, the bar count or a switch changed through the panel (not through the
    // setters below).
    std::function<void()> onSettingsChanged;

    static int getPreferredHeight() { return 672; }

    // Selected ids: moods 1 .. 18 counting the two separators, keys 1 .. 12 (C .. B); 0 when
    // nothing is selected.
    int getMoodId() const;
    int getKeyId() const;
    juce::String getMoodName() const;
    // The bar count field as generation reads it (see readBarCount).
    int getBars() const;

    bool isFifthOfFifthEnabled() const;
    bool isTritoneSubEnabled() const;
    bool isChromaticMediantEnabled() const;
    bool isSlashChordsEnabled() const;

    // None of the setters reports through onSettingsChanged.
    void setFifthOfFifthEnabled (bool shouldBeOn);
    void setTritoneSubEnabled (bool shouldBeOn);
    void setChromaticMediantEnabled (bool shouldBeOn);
    void setSlashChordsEnabled (bool shouldBeOn);
    // Selecting a mood resets the bar count to the mood's default.
    void setMoodId (int id);
    void setKeyId (int id);
    // Selects the item that reads as n, else writes n into the field.
    void setBars (int n);

    // Shows the selected mood's description and its default bar count.
    void refreshMoodInfo();

    // "Generate 5": up to 20 attempts for five distinct progressions with the current settings,
    // then onGenerate with what was kept and onClose.
    void generateFiveSections();

    // A bar-count text as a number of bars: its leading integer (none reads as 0); 0 or less
    // gives 16, more than 128 gives 128. Digits beyond any int saturate instead of wrapping.
    static int readBarCount (const juce::String& text);

    void paint (juce::Graphics&) override;
    void resized() override;
    void mouseMove (const juce::MouseEvent&) override;
    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;

private:
    friend struct MoodGeneratorComponentTestAccess;

    struct RowTarget
    {
        juce::Rectangle<int> area;
        juce::String mood;
    };

    struct KeyTarget
    {
        juce::Rectangle<int> area;
        juce::String mood;
        juce::String key;
    };

    MoodGenerator generator;

    juce::TextButton closeButton { "Close" };
    juce::TextButton generateButton { "Generate 5" };

    juce::Label moodLabel { {}, "Mood:" };
    juce::ComboBox moodCombo;
    juce::Label keyLabel { {}, "Key:" };
    juce::ComboBox keyCombo;
    juce::Label barsLabel { {}, "Bars:" };
    juce::ComboBox barsCombo;

    juce::Label descriptionLabel;
    juce::String descriptionText;   // the selected mood's, put back after a hint

    HarmonicOptionButtonLookAndFeel optionLookAndFeel;
    juce::TextButton fifthOfFifthButton { "Fifth of Fifth" };
    juce::TextButton tritoneSubButton { "Tritone Sub" };
    juce::TextButton chromaticMediantButton { "Chromatic Mediant" };
    juce::TextButton slashChordsButton { "Slash Chords" };

    // Rebuilt by every paint, in the panel's coordinates; read by the mouse handlers.
    std::vector<RowTarget> rowTargets;
    std::vector<KeyTarget> keyTargets;

    // What the pointer is over: a key (mood and key), a row (mood only) or nothing (both empty).
    struct TableHit
    {
        juce::String mood;
        juce::String key;
    };

    juce::String hoveredMood;
    juce::String hoveredKey;

    void buildControls();
    void reportSettingsChanged();
    void setUpOptionButton (juce::TextButton& button, juce::Colour accent, bool initiallyOn);
    TableHit hitTable (juce::Point<int> position) const;
    bool isOptionButton (const juce::Component* component) const;
    juce::String hintFor (const juce::Component* component) const;
    int paintTableGroup (juce::Graphics& g, const MoodOverviewGroup& group, int y, bool first);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MoodGeneratorComponent)
};
