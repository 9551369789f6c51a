// The panel's suggestions for the chord's place: the mood's ranking around its neighbours in
// the panel's key, the roles that depend on which neighbours exist, and the key's other chords.
#include "chord_editor/ChordEditPopover.h"
#include "harmony/ScaleTable.h"

#include "chord_editor/MouseTestSupport.h"
#include "chord_editor/PanelTestSupport.h"

#include <gtest/gtest.h>

namespace
{
using Texts = std::vector<juce::String>;

Texts suggestionTexts (const ChordEditPopover& panel)
{
    Texts texts;
    for (const auto& s : panel.suggestions)
        texts.push_back (s.label + " (" + s.role + ")");
    return texts;
}

// Opens a new or replacing chord inside a progression, as the window does.
void openIn (PanelRig& rig, const juce::String& progression, int position, bool replaces,
             const juce::String& key = "C", const juce::String& scale = "Major", const juce::String& mood = "Space")
{
    auto tokens = parseProgressionTokens (progression);
    const auto chord = replaces && position < (int) tokens.size() ? tokens[(size_t) position] : parseChordToken ("C");
    rig.panel.setKeyAndScale (key, scale);
    rig.panel.setContext (tokens, position, replaces, mood);
    rig.panel.openChord (position, chord);
}
} // namespace

TEST (ChordSuggestions, RankTheMoodsDegreesAroundTheChordsNeighbours)
{
    juce::ScopedJuceInitialiser_GUI gui;

    struct Case { const char* name; const char* progression; int position; bool replaces; Texts suggestions; };
    const Case cases[] = {
        // A new chord after C in the mood "Space".
        { "after C", "C", 1, false,
          { "iv Fm7b5 (Natural next step)", "vi Am7 (Keeps the flow)", "V Gmaj9 (More contrast)",
            "II D9 (Fresh direction)", "iii Em7 (Wild card)", "vii Bm7 (Wild card)", "I Cmaj9 (Wild card)" } },
        // Between C and G: degrees that lead on to G gain.
        { "between C and G", "C G", 1, false,
          { "iv Fm7b5 (Best connection)", "vi Am7 (Smooth alternative)", "V Gmaj9 (More colour)",
            "II D9 (Stronger turn)", "iii Em7 (Wild card)", "vii Bm7 (Wild card)", "I Cmaj9 (Wild card)" } },
        { "before C", "C", 0, false,
          { "iv Fm7b5 (Best lead-in)", "V Gmaj9 (Gentle approach)", "vii Bm7 (More tension)",
            "II D9 (Fresh approach)", "vi Am7 (Wild card)", "I Cmaj9 (Wild card)", "iii Em7 (Wild card)" } },
        // Editing the only chord: the mood's weights alone.
        { "alone", "C", 0, true,
          { "I Cmaj9 (Strong starting point)", "iv Fm7b5 (Gentle opening)", "vi Am7 (More colour)",
            "V Gmaj9 (Fresh direction)", "II D9 (Wild card)", "iii Em7 (Wild card)", "vii Bm7 (Wild card)" } },
        // A rest before has no degree, but it is a chord before.
        { "after a rest", "R", 1, false,
          { "I Cmaj9 (Natural next step)", "iv Fm7b5 (Keeps the flow)", "vi Am7 (More contrast)",
            "V Gmaj9 (Fresh direction)", "II D9 (Wild card)", "iii Em7 (Wild card)", "vii Bm7 (Wild card)" } },
        // A chord off the scale before has no degree either.
        { "after F#", "F#", 1, false,
          { "I Cmaj9 (Natural next step)", "iv Fm7b5 (Keeps the flow)", "vi Am7 (More contrast)",
            "V Gmaj9 (Fresh direction)", "II D9 (Wild card)", "iii Em7 (Wild card)", "vii Bm7 (Wild card)" } },
    };

    for (const auto& c : cases)
    {
        PanelRig rig;
        openIn (rig, c.progression, c.position, c.replaces);
        EXPECT_EQ (suggestionTexts (rig.panel), c.suggestions) << c.name;
    }
}

TEST (ChordSuggestions, TheFirstFiveShowAndTheFirstIsBest)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    openIn (rig, "C", 1, false);
    auto& panel = rig.panel;

    const char* const labels[] { "iv Fm7b5", "vi Am7", "V Gmaj9", "II D9", "iii Em7" };
    for (size_t i = 0; i < 5; ++i)
    {
        auto& button = panel.suggestionButtons[i];
        EXPECT_TRUE (button.isVisible()) << i;
        EXPECT_EQ (button.getButtonText(), labels[i]);
        EXPECT_EQ (button.chordText, labels[i]);
        EXPECT_EQ (button.roleText, panel.suggestions[i].role);
        EXPECT_EQ (button.getTooltip(), panel.suggestions[i].role);
        EXPECT_EQ (button.isBest, i == 0) << i;
        EXPECT_FALSE (button.getToggleState()) << i;   // the chord in the panel is a plain C
    }
}

TEST (ChordSuggestions, AMoodThatDoesNotFitTheScaleLeavesTheKeysChords)
{
    juce::ScopedJuceInitialiser_GUI gui;

    struct Case { const char* name; const char* scale; const char* mood; Texts suggestions; };
    const Case cases[] = {
        // Seven mood degrees, five scale notes; the degree on E has no triad.
        { "five-note scale", "Pent. Major", "Space",
          { "I C (Also in key)", "II Dsus4 (Also in key)", "IV Gsus4 (Also in key)", "v Am (Also in key)" } },
        { "mood in lower case", "Major", "space",
          { "I C (Also in key)", "ii Dm (Also in key)", "iii Em (Also in key)", "IV F (Also in key)",
            "V G (Also in key)", "vi Am (Also in key)", "viidim Bdim (Also in key)" } },
        { "separator", "Major", "---",
          { "I C (Also in key)", "ii Dm (Also in key)", "iii Em (Also in key)", "IV F (Also in key)",
            "V G (Also in key)", "vi Am (Also in key)", "viidim Bdim (Also in key)" } },
    };

    for (const auto& c : cases)
    {
        PanelRig rig;
        openIn (rig, "C", 1, false, "C", c.scale, c.mood);
        EXPECT_EQ (suggestionTexts (rig.panel), c.suggestions) << c.name;
    }

    PanelRig rig;
    openIn (rig, "C", 1, false, "C", "Pent. Major", "Space");
    auto& last = rig.panel.suggestionButtons[4];
    EXPECT_TRUE (rig.panel.suggestionButtons[3].isVisible());
    EXPECT_FALSE (last.isVisible());
    EXPECT_TRUE (last.getButtonText().isEmpty());
    EXPECT_TRUE (last.chordText.isEmpty());
    EXPECT_TRUE (last.roleText.isEmpty());
    EXPECT_TRUE (last.getTooltip().isEmpty());
}

TEST (ChordSuggestions, AMoodOfTheScalesSizeIsRankedAndTheKeyFillsInOtherRoots)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    // Meadow is a major-pentatonic mood of five degrees.
    openIn (rig, "C D", 1, false, "C", "Pent. Major", "Meadow");
    const auto& suggestions = rig.panel.suggestions;

    ASSERT_FALSE (suggestions.empty());
    EXPECT_EQ (suggestions.front().role, "Best connection");

    juce::StringArray roots;
    bool keyPart = false;
    for (const auto& s : suggestions)
    {
        EXPECT_TRUE (isPitchInScale ("C", "Pent. Major", getPitchClass (s.root))) << s.label;
        EXPECT_TRUE (s.label.endsWith (" " + s.root + s.quality)) << s.label;

        // The key's chords only fill in roots the mood left out, and only after it.
        if (s.role == "Also in key")
            EXPECT_FALSE (roots.contains (s.root)) << s.label;
        else
            EXPECT_FALSE (keyPart) << s.label;

        keyPart = keyPart || s.role == "Also in key";
        roots.add (s.root);
    }
}

TEST (ChordSuggestions, NoneWithoutAKeyOrScale)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    openIn (rig, "C", 1, false);
    ASSERT_FALSE (rig.panel.suggestions.empty());

    rig.panel.keyRoot = "H";
    rig.panel.rebuildSuggestions();
    EXPECT_TRUE (rig.panel.suggestions.empty());

    for (const auto& button : rig.panel.suggestionButtons)
    {
        EXPECT_FALSE (button.isVisible());
        EXPECT_TRUE (button.chordText.isEmpty());
        EXPECT_FALSE (button.isBest);
        EXPECT_FALSE (button.getToggleState());
    }
}

TEST (ChordSuggestions, AClickTakesRootAndQualityAndKeepsTheRest)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    rig.panel.setKeyAndScale ("C", "Major");
    rig.panel.setContext (parseProgressionTokens ("C"), 1, false, "Space");
    rig.panel.openChord (1, parseChordToken ("Dm/E{CM}:2"));
    auto& panel = rig.panel;
    auto& first = panel.suggestionButtons[0];
    MouseTest::click (panel.restButton);

    EXPECT_FALSE (first.getToggleState());
    MouseTest::click (first);

    EXPECT_FALSE (panel.restButton.getToggleState());
    EXPECT_EQ (panel.buildChordText(), "Fm7b5/E{CM}:2");
    EXPECT_EQ (rig.takeEvents(), (Events { "changed 1 R:2", "changed 1 Fm7b5/E{CM}:2" }));
    EXPECT_TRUE (first.getToggleState());
    EXPECT_FALSE (panel.suggestionButtons[1].getToggleState());

    // Editing the chord moves the mark but not the list.
    const auto before = suggestionTexts (panel);
    MouseTest::click (panel.suggestionButtons[2]);
    EXPECT_EQ (panel.buildChordText(), "Gmaj9/E{CM}:2");
    EXPECT_EQ (suggestionTexts (panel), before);
    EXPECT_FALSE (first.getToggleState());
    EXPECT_TRUE (panel.suggestionButtons[2].getToggleState());

    // Turning the chord into a rest takes the mark off at once.
    MouseTest::click (panel.restButton);
    for (const auto& button : panel.suggestionButtons)
        EXPECT_FALSE (button.getToggleState());
}

TEST (ChordSuggestions, ExpertModeHidesButKeepsThemCurrent)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    openIn (rig, "C", 1, false);
    auto& panel = rig.panel;
    panel.buttonClicked (&panel.expertButton);

    panel.selectQuickChord (5);   // "vi Am": the second suggestion is Am7, so no mark
    EXPECT_EQ (panel.buildChordText(), "Am");
    panel.setQuality ("m7");
    panel.refreshControls();

    for (size_t i = 0; i < 5; ++i)
    {
        EXPECT_FALSE (panel.suggestionButtons[i].isVisible()) << i;
        EXPECT_EQ (panel.suggestionButtons[i].getToggleState(), i == 1) << i;
    }

    panel.setContext (parseProgressionTokens ("C G"), 1, false, "Space");
    EXPECT_EQ (panel.suggestionButtons[0].roleText, "Best connection");
    EXPECT_FALSE (panel.suggestionButtons[0].isVisible());

    panel.buttonClicked (&panel.easyButton);
    EXPECT_TRUE (panel.suggestionButtons[0].isVisible());
}

TEST (ChordSuggestions, TokenDegreesInThePanelsKey)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;

    struct Case { const char* key; const char* scale; const char* token; int degree; };
    const Case cases[] = {
        { "C", "Major",       "C",        0 },
        { "C", "Major",       "Am7/G:2",  5 },
        { "C", "Major",       "G{V/V}",   4 },
        { "C", "Major",       "F#",      -1 },   // off the scale
        { "C", "Major",       "Bb",      -1 },   // flat names are not looked up
        { "C", "Major",       "R",       -1 },
        { "C", "Major",       "Xyz",     -1 },   // did not parse
        { "A", "Minor",       "C",        2 },
        { "A", "Minor",       "G",        6 },   // below the key's root: taken modulo 12
        { "D", "Pent. Minor", "C",        4 },
    };

    for (const auto& c : cases)
    {
        rig.panel.setKeyAndScale (c.key, c.scale);
        EXPECT_EQ (rig.panel.tokenDegree (parseChordToken (c.token)), c.degree) << c.key << " " << c.scale << " " << c.token;
    }
}
