// The chord editor panel on its own: the chord its controls build, the callbacks it fires, its
// modes, layout and its own history.
#include "chord_editor/ChordEditPopover.h"
#include "editor/look/Palette.h"
#include "harmony/ScaleTable.h"

#include "chord_editor/MouseTestSupport.h"
#include "chord_editor/PanelTestSupport.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

namespace
{
using Texts = std::vector<juce::String>;

Texts menuItems (const juce::PopupMenu& menu)
{
    Texts items;
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        items.push_back (it.getItem().text + (it.getItem().isTicked ? " *" : ""));
    return items;
}

Texts boxItems (const juce::ComboBox& box)
{
    Texts items;
    for (int i = 0; i < box.getNumItems(); ++i)
        items.push_back (box.getItemText (i));
    return items;
}

juce::Button& characterButton (ChordEditPopover& panel, const juce::String& label)
{
    for (auto& button : panel.characterButtons)
        if (button.getButtonText() == label)
            return button;
    throw std::runtime_error ("no character button");
}

juce::Button& colorButton (ChordEditPopover& panel, const juce::String& label)
{
    for (auto& button : panel.colorButtons)
        if (button.getButtonText() == label)
            return button;
    throw std::runtime_error ("no color button");
}

juce::Button& rootButton (ChordEditPopover& panel, const juce::String& note)
{
    return panel.rootButtons[(size_t) getPitchClass (note)];
}

bool ctrlZ (ChordEditPopover& panel, int extraModifiers = 0, int keyCode = 'Z')
{
    return panel.keyPressed (juce::KeyPress (keyCode, juce::ModifierKeys (juce::ModifierKeys::ctrlModifier | extraModifiers), 0));
}
} // namespace

TEST (ChordEditPopover, ANewPanelHoldsCMajorOfOneBarInEasyMode)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    auto& panel = rig.panel;

    EXPECT_EQ (panel.title, "Chord Progression Editor");
    EXPECT_FALSE (panel.expertMode);
    EXPECT_TRUE (panel.easyButton.getToggleState());
    EXPECT_FALSE (panel.expertButton.getToggleState());
    EXPECT_EQ (panel.buildChordText(), "C");
    EXPECT_EQ (panel.lengthEditor.getText(), "1 bar");
    EXPECT_EQ (panel.chordIndex, -1);
    EXPECT_EQ (panel.quickChordsButton.getButtonText(), "Quick chords in C Major");
    EXPECT_EQ (panel.quickChords.size(), 7u);
    EXPECT_EQ (panel.moodName, "Space");
    EXPECT_FALSE (panel.isVisible());

    for (auto* box : { &panel.rootBox, &panel.characterBox, &panel.colorBox, &panel.bassBox })
    {
        EXPECT_FALSE (box->isVisible());
        EXPECT_EQ (box->getParentComponent(), &panel);
    }

    EXPECT_TRUE (rig.events.empty());
}

TEST (ChordEditPopover, BuildsTheTokenTextOfTheLoadedChord)
{
    juce::ScopedJuceInitialiser_GUI gui;

    struct Case { const char* loaded; const char* text; const char* display; const char* description; bool fits; };
    const Case cases[] = {
        { "Dm7",        "Dm7",        "Dm7",        "D + Min + 7",      true },
        { "Dm7:1",      "Dm7:1",      "Dm7",        "D + Min + 7",      true },   // a written length stays written
        { "Am7/G:2",    "Am7/G:2",    "Am7/G",      "A + Min + 7",      true },
        { "G9sus4",     "G9sus4",     "G9sus4",     "G + Sus 4 + 9",    true },
        { "C5",         "C5",         "C5",         "C + Power",        true },
        { "Cmin",       "Cm",         "Cm",         "C + Min",          false },
        { "CM7:4",      "Cmaj7:4",    "Cmaj7",      "C + Maj + maj7",   true },
        { "F:1",        "F:1",        "F",          "F + Maj",          true },
        { "G7{V/V}:2",  "G7{V/V}:2",  "G7{V/V}",    "G + Maj + 7",      true },
        { "D{V/V}",     "D{V/V}",     "D{V/V}",     "D + Maj",          false },
        { "C/F#",       "C/F#",       "C/F#",       "C + Maj",          false },  // the bass leaves the key
        { "R:T256",     "R:T256",     "REST",       "Silence",          true },
        // The field shows "0.50 bar"; the length is read back from it.
        { "R:0.5",      "R:0.50",     "REST",       "Silence",          true },
        // A quality the builder cannot split stands as the character.
        { "C7sus2",     "C7sus2",     "C7sus2",     "C + 7sus2",        false },
    };

    for (const auto& c : cases)
    {
        PanelRig rig;
        rig.open (c.loaded);
        EXPECT_EQ (rig.panel.buildChordText(), c.text) << c.loaded;
        EXPECT_EQ (rig.panel.chordDisplayText(), c.display) << c.loaded;
        EXPECT_EQ (rig.panel.chordDescription(), c.description) << c.loaded;
        EXPECT_EQ (rig.panel.chordFitsKey(), c.fits) << c.loaded;
    }
}

TEST (ChordEditPopover, OpeningAChordShowsItAndReportsNothing)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    rig.panel.showEmpty();
    rig.open ("Am7/G:2");

    EXPECT_TRUE (rig.events.empty());
    EXPECT_TRUE (rig.panel.isVisible());
    EXPECT_TRUE (rig.panel.hasChord);
    EXPECT_EQ (rig.panel.chordIndex, 0);
    EXPECT_EQ (rig.panel.slashButton.getButtonText(), "G");
    EXPECT_EQ (rig.panel.lengthEditor.getText(), "2 bars");
    // Bounds come back after an empty panel had none.
    EXPECT_EQ (rig.panel.restButton.getBounds(), juce::Rectangle<int> (370, 219, 185, 29));
}

TEST (ChordEditPopover, LengthButtonsStepThroughTheMenuLengths)
{
    juce::ScopedJuceInitialiser_GUI gui;

    struct Case { const char* loaded; bool shorterEnabled, longerEnabled; const char* afterShorter; const char* afterLonger; };
    const Case cases[] = {
        { "C:3",      true,  true,  "C:2",      "C:4" },
        { "C",        true,  true,  "C:0.50",   "C:2" },
        { "C:8",      true,  false, "C:4",      "C:8" },
        { "C:0.25",   false, true,  "C:0.25",   "C:0.50" },
        { "C:12",     true,  false, "C:8",      "C:8" },
        { "C:0.3",    true,  true,  "C:0.25",   "C:0.50" },
        { "R:T256",   true,  true,  "R:0.50",   "R:2" },    // a tick length counts as one bar
    };

    for (const auto& c : cases)
    {
        for (const bool shorter : { true, false })
        {
            PanelRig rig;
            rig.open (c.loaded);
            EXPECT_EQ (rig.panel.shorterButton.isEnabled(), c.shorterEnabled) << c.loaded;
            EXPECT_EQ (rig.panel.longerButton.isEnabled(), c.longerEnabled) << c.loaded;

            auto& button = shorter ? rig.panel.shorterButton : rig.panel.longerButton;
            if (! button.isEnabled())
                continue;

            MouseTest::click (button);
            const juce::String expected = shorter ? c.afterShorter : c.afterLonger;
            EXPECT_EQ (rig.panel.buildChordText(), expected) << c.loaded << (shorter ? " shorter" : " longer");
            EXPECT_EQ (rig.takeEvents(), (Events { "changed 0 " + expected })) << c.loaded;
        }
    }
}

TEST (ChordEditPopover, TheLengthMenuTicksTheLengthAndWritesTheChosenOne)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    rig.open ("C:2");

    EXPECT_EQ (menuItems (rig.panel.makeLengthMenu()),
               (Texts { "0.25 bar", "0.50 bar", "1 bar", "2 bars *", "4 bars", "8 bars" }));

    rig.panel.chooseLengthMenuItem (2);
    EXPECT_EQ (rig.panel.lengthEditor.getText(), "0.50 bar");
    EXPECT_EQ (rig.panel.buildChordText(), "C:0.50");
    EXPECT_EQ (menuItems (rig.panel.makeLengthMenu())[1], "0.50 bar *");

    rig.panel.chooseLengthMenuItem (0);   // dismissed
    rig.panel.chooseLengthMenuItem (7);
    EXPECT_EQ (rig.takeEvents(), (Events { "changed 0 C:0.50" }));
}

TEST (ChordEditPopover, TypedLengthsCountOnlyWhenValid)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    rig.open ("C");
    auto& field = rig.panel.lengthEditor;

    struct Step { const char* typed; const char* text; Events events; };
    const Step steps[] = {
        { "3",    "C:3",    { "changed 0 C:3" } },
        { "0",    "C:3",    {} },                       // not a length: the last valid one stays
        { "T",    "C:3",    {} },
        { "T96",  "C:T96",  { "changed 0 C:T96" } },
        { "1.5",  "C:1.5",  { "changed 0 C:1.5" } },
    };

    for (const auto& step : steps)
    {
        field.setText (step.typed, true);
        corvessa::test::pumpMessagesFor (20);
        EXPECT_EQ (rig.panel.buildChordText(), step.text) << step.typed;
        EXPECT_EQ (rig.takeEvents(), step.events) << step.typed;
    }

    field.setText ("0", true);
    corvessa::test::pumpMessagesFor (20);
    rig.takeEvents();
    rig.panel.commitLengthField();
    EXPECT_EQ (field.getText(), "1.5 bars");
    EXPECT_TRUE (rig.events.empty());

    // Return in the field commits the length and applies.
    field.setText ("4", false);
    field.onReturnKey();
    EXPECT_EQ (field.getText(), "4 bars");
    EXPECT_EQ (rig.takeEvents(), (Events { "apply 0 C:4" }));
}

TEST (ChordEditPopover, SlashBassEntriesRunInKeyFirstAndTheArrowsWrap)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    rig.open ("C");
    auto& panel = rig.panel;

    EXPECT_EQ (boxItems (panel.bassBox),
               (Texts { "None", "C", "D", "E", "F", "G", "A", "B", "C#", "D#", "F#", "G#", "A#" }));

    struct Step { juce::Button* button; const char* text; };
    const Step steps[] = {
        { &panel.nextSlashButton,     "C/C" },
        { &panel.previousSlashButton, "C" },
        { &panel.previousSlashButton, "C/A#" },    // from "None" back to the last entry
        { &panel.nextSlashButton,     "C" },       // from the last entry on to "None"
    };

    for (const auto& step : steps)
    {
        MouseTest::click (*step.button);
        EXPECT_EQ (panel.buildChordText(), step.text);
    }

    EXPECT_EQ (rig.takeEvents(), (Events { "changed 0 C/C", "changed 0 C", "changed 0 C/A#", "changed 0 C" }));

    panel.chooseSlashMenuItem (5);
    EXPECT_EQ (panel.buildChordText(), "C/F");
    EXPECT_EQ (panel.slashButton.getButtonText(), "F");
    EXPECT_EQ (menuItems (panel.makeSlashMenu())[4], "F *");
    EXPECT_EQ (menuItems (panel.makeSlashMenu()).size(), 13u);

    // In D Major the sharps of the key come first.
    rig.open ("D", "D", "Major");
    EXPECT_EQ (boxItems (panel.bassBox),
               (Texts { "None", "C#", "D", "E", "F#", "G", "A", "B", "C", "D#", "F", "G#", "A#" }));
}

TEST (ChordEditPopover, CharacterAndColorButtonsComposeTheQuality)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    rig.open ("C:2");
    auto& panel = rig.panel;
    rig.switchToExpert();

    struct Step { const char* kind; const char* label; const char* text; };
    const Step steps[] = {
        { "character", "Power", "C5:2" },
        { "character", "Min",   "Cm:2" },
        { "color",     "7",     "Cm7:2" },
        { "color",     "maj7",  "Cm(maj7):2" },
        { "character", "Sus 4", "Csus4:2" },     // a new character starts plain
        { "color",     "7",     "C7sus4:2" },
        { "root",      "A",     "A7sus4:2" },
        { "character", "Maj",   "A:2" },
        { "color",     "add9",  "Aadd9:2" },
    };

    for (const auto& step : steps)
    {
        const juce::String kind (step.kind);
        auto& button = kind == "character" ? characterButton (panel, step.label)
                     : kind == "color"     ? colorButton (panel, step.label)
                                           : rootButton (panel, step.label);
        MouseTest::click (button);
        EXPECT_EQ (panel.buildChordText(), step.text) << step.label;
        EXPECT_EQ (rig.takeEvents(), (Events { juce::String ("changed 0 ") + step.text })) << step.label;
        EXPECT_TRUE (button.getToggleState()) << step.label;
    }
}

TEST (ChordEditPopover, GridButtonsShowWhatFitsTheKey)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    rig.open ("D");
    auto& panel = rig.panel;
    rig.switchToExpert();
    const auto outside = Palette::peach.withAlpha (0.86f);

    struct Case { juce::Button* button; bool fits; const char* tooltip; };
    const Case cases[] = {
        { &rootButton (panel, "D"),          true,  "D fits C Major" },
        { &rootButton (panel, "F#"),         false, "F# is outside C Major" },
        { &characterButton (panel, "Min"),   true,  "Min fits C Major" },
        { &characterButton (panel, "Maj"),   false, "Maj is outside C Major" },   // D F# A
        { &characterButton (panel, "Sus 4"), true,  "Sus 4 fits C Major" },
        { &colorButton (panel, "7"),         false, "7 is outside C Major" },     // D7 on the major character
        { &colorButton (panel, "9"),         false, "9 is outside C Major" },
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (c.button->findColour (juce::TextButton::textColourOffId), c.fits ? Palette::text : outside) << c.tooltip;
        EXPECT_EQ (c.button->getTooltip(), c.tooltip);
    }

    // Colors the character has no row for are disabled; "More" only with further colors.
    MouseTest::click (characterButton (panel, "Aug"));
    EXPECT_FALSE (colorButton (panel, "6").isEnabled());
    EXPECT_TRUE (colorButton (panel, "None").isEnabled());
    EXPECT_FALSE (colorButton (panel, "More").isEnabled());
    EXPECT_TRUE (colorButton (panel, "None").getToggleState());
}

TEST (ChordEditPopover, MoreOffersTheCharactersFurtherColors)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    rig.open ("Cm7b5");
    auto& panel = rig.panel;
    rig.switchToExpert();
    auto& more = colorButton (panel, "More");

    EXPECT_TRUE (more.isEnabled());
    EXPECT_TRUE (more.getToggleState());
    EXPECT_EQ (more.getTooltip(), "More colors; selected: 7b5");
    EXPECT_EQ (menuItems (panel.makeMoreColorsMenu()),
               (Texts { "7b5 *", "6/9", "maj9", "11", "maj11", "13", "13add11", "13(#11)", "maj13" }));

    panel.restButton.setToggleState (true, juce::dontSendNotification);
    panel.applyRestState();
    panel.chooseMoreColorsMenuItem (3);
    EXPECT_EQ (panel.buildChordText(), "Cm(maj9)");   // choosing a color ends the rest
    EXPECT_FALSE (panel.restButton.getToggleState());
    panel.chooseMoreColorsMenuItem (0);
    EXPECT_EQ (rig.takeEvents(), (Events { "changed 0 Cm(maj9)" }));

    MouseTest::click (colorButton (panel, "7"));
    EXPECT_FALSE (more.getToggleState());
    EXPECT_EQ (more.getTooltip(), "More colors");

    struct Case { const char* chord; bool more; };
    for (const auto& c : { Case { "C5", false }, Case { "Caug", false }, Case { "Cdim", false }, Case { "Csus4", true } })
    {
        rig.open (c.chord);
        EXPECT_EQ (more.isEnabled(), c.more) << c.chord;
    }
}

TEST (ChordEditPopover, AQualityIsSplitIntoCharacterAndColor)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    rig.open ("C");
    auto& panel = rig.panel;

    struct Case { const char* quality; const char* character; const char* color; const char* current; };
    const Case cases[] = {
        { "7sus4",  "sus4",  "7",    "7sus4" },
        { "",       "major", "None", "" },
        { "major",  "major", "None", "" },
        { "min7",   "m",     "7",    "m7" },
        { "mM7",    "m",     "maj7", "m(maj7)" },
        { "dim7",   "dim",   "7",    "dim7" },
        { "9#11",   "major", "9#11", "9#11" },
        { "13b5",   "13b5",  "None", "13b5" },    // no row: the canonical text stands as the character
    };

    for (const auto& c : cases)
    {
        panel.setQuality (c.quality);
        EXPECT_EQ (panel.characterBox.getText(), c.character) << c.quality;
        EXPECT_EQ (panel.colorBox.getText(), c.color) << c.quality;
        EXPECT_EQ (panel.currentQuality(), c.current) << c.quality;
    }

    panel.setQuality ("7sus4");
    EXPECT_EQ (boxItems (panel.colorBox), (Texts { "None", "7", "9", "13", "maj7", "maj13" }));
}

TEST (ChordEditPopover, QuickChordsFollowTheKeyAndKeepBassAndLength)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    rig.open ("C/G:2", "A", "Harm. Minor");
    auto& panel = rig.panel;

    EXPECT_EQ (panel.quickChordsButton.getButtonText(), "Quick chords in A Harm. Minor");
    EXPECT_EQ (panel.quickChordsButton.getTooltip(), "Choose a chord from A Harm. Minor");
    EXPECT_EQ (menuItems (panel.makeQuickChordsMenu()),
               (Texts { "i Am", "iidim Bdim", "III Caug", "iv Dm", "V E", "VI F", "viidim G#dim" }));

    panel.chooseQuickChordsMenuItem (4);
    EXPECT_EQ (panel.buildChordText(), "Dm/G:2");
    EXPECT_EQ (menuItems (panel.makeQuickChordsMenu())[3], "iv Dm *");
    EXPECT_EQ (rig.takeEvents(), (Events { "changed 0 Dm/G:2" }));

    // A key root that is no sharp note name reads as C.
    panel.setKeyAndScale ("Bb", "Natural Minor");
    EXPECT_EQ (panel.keyRoot, "C");
    EXPECT_EQ (panel.scaleName, "Minor");
    EXPECT_EQ (panel.quickChordsButton.getButtonText(), "Quick chords in C Minor");
    EXPECT_TRUE (panel.quickChordsButton.isEnabled());
}

TEST (ChordEditPopover, ARestKeepsItsLengthAndSilencesTheRest)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    rig.open ("Am/E:2");
    auto& panel = rig.panel;

    MouseTest::press (panel.previewButton);
    MouseTest::click (panel.restButton);

    EXPECT_EQ (panel.buildChordText(), "R:2");
    EXPECT_EQ (rig.takeEvents(), (Events { "preview start", "preview end", "changed 0 R:2" }));

    for (juce::Component* control : { (juce::Component*) &panel.rootBox, (juce::Component*) &panel.bassBox,
                                      (juce::Component*) &panel.slashButton, (juce::Component*) &panel.previewButton,
                                      (juce::Component*) &panel.rootButtons[0], (juce::Component*) &panel.characterButtons[0] })
        EXPECT_FALSE (control->isEnabled());

    EXPECT_TRUE (panel.shorterButton.isEnabled());
    EXPECT_TRUE (panel.lengthEditor.isEnabled());
    EXPECT_TRUE (panel.makeSlashMenu().getNumItems() == 0);

    // A root ends the rest and brings back the chord's quality and bass.
    panel.buttonClicked (&rootButton (panel, "F"));
    EXPECT_EQ (panel.buildChordText(), "Fm/E:2");
    EXPECT_TRUE (panel.previewButton.isEnabled());
}

TEST (ChordEditPopover, CallbacksFireInTheirOrder)
{
    juce::ScopedJuceInitialiser_GUI gui;

    struct Case { const char* name; bool hold; const char* action; Events events; bool visible; };
    const Case cases[] = {
        { "cancel",            false, "cancel", { "cancel" },                                   false },
        { "cancel while held", true,  "cancel", { "preview start", "preview end", "cancel" },   false },
        { "apply while held",  true,  "apply",  { "preview start", "preview end", "apply 0 Em" }, true },
        { "return",            false, "return", { "apply 0 Em" },                               true },
        { "easy",              false, "easy",   { "mode" },                                     true },
    };

    for (const auto& c : cases)
    {
        PanelRig rig;
        rig.open ("Em");

        if (c.hold)
            MouseTest::press (rig.panel.previewButton);

        const juce::String action (c.action);
        if (action == "cancel")      MouseTest::click (rig.panel.cancelButton);
        else if (action == "apply")  MouseTest::click (rig.panel.applyButton);
        else if (action == "easy")   MouseTest::click (rig.panel.easyButton);
        else                         EXPECT_TRUE (rig.panel.keyPressed (juce::KeyPress (juce::KeyPress::returnKey)));

        EXPECT_EQ (rig.events, c.events) << c.name;
        EXPECT_EQ (rig.panel.isVisible(), c.visible) << c.name;
        EXPECT_FALSE (rig.panel.previewButton.holding) << c.name;
    }
}

TEST (ChordEditPopover, AnEmptyPanelOnlyAppliesNothingOrCancels)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    rig.open ("G");
    rig.panel.showEmpty();

    EXPECT_TRUE (rig.panel.isVisible());
    EXPECT_FALSE (rig.panel.hasChord);
    EXPECT_EQ (rig.panel.chordIndex, -1);
    EXPECT_TRUE (rig.panel.keyPressed (juce::KeyPress (juce::KeyPress::returnKey)));
    rig.panel.notifyChordChanged();
    EXPECT_TRUE (ctrlZ (rig.panel));
    EXPECT_EQ (rig.takeEvents(), (Events { "apply -1 ", "undo" }));

    rig.panel.onUndoRedo = nullptr;
    EXPECT_TRUE (ctrlZ (rig.panel));   // consumed, though there is nothing to undo
    EXPECT_TRUE (rig.events.empty());
}

TEST (ChordEditPopover, CtrlZReachesTheWindowAndOtherKeysPassOn)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    rig.open ("C");

    struct Case { int modifiers; int keyCode; bool consumed; Events events; };
    const Case cases[] = {
        { juce::ModifierKeys::ctrlModifier,                                      'Z', true,  { "undo" } },
        { juce::ModifierKeys::ctrlModifier,                                      'z', true,  { "undo" } },
        { juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::shiftModifier,  'Z', true,  { "redo" } },
        { juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::altModifier,    'Z', false, {} },
        { 0,                                                                      'Z', false, {} },
        { juce::ModifierKeys::ctrlModifier,                                      'Y', false, {} },
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (rig.panel.keyPressed (juce::KeyPress (c.keyCode, juce::ModifierKeys (c.modifiers), 0)), c.consumed);
        EXPECT_EQ (rig.takeEvents(), c.events) << c.keyCode << " " << c.modifiers;
    }
}

TEST (ChordEditPopover, ItsOwnHistoryUndoesAndRedoesChordChanges)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    rig.panel.onUndoRedo = nullptr;
    rig.open ("C");
    auto& panel = rig.panel;

    MouseTest::click (panel.nextSlashButton);     // C/C
    MouseTest::click (panel.longerButton);        // C/C:2
    rig.takeEvents();

    EXPECT_TRUE (ctrlZ (panel));
    EXPECT_EQ (panel.buildChordText(), "C/C");
    EXPECT_TRUE (ctrlZ (panel));
    EXPECT_EQ (panel.buildChordText(), "C");
    EXPECT_TRUE (ctrlZ (panel));                  // nothing left: no change
    EXPECT_EQ (rig.takeEvents(), (Events { "changed 0 C/C", "changed 0 C" }));

    EXPECT_TRUE (ctrlZ (panel, juce::ModifierKeys::shiftModifier));
    EXPECT_EQ (panel.buildChordText(), "C/C");
    EXPECT_EQ (panel.localRedoStack.size(), 1u);

    // A new change drops what could be redone.
    MouseTest::click (panel.shorterButton);
    EXPECT_EQ (panel.buildChordText(), "C/C:0.50");
    EXPECT_TRUE (panel.localRedoStack.empty());
    EXPECT_EQ (panel.localUndoStack, (Texts { "C", "C/C" }));

    // Opening a chord starts the history afresh.
    rig.open ("G");
    EXPECT_TRUE (panel.localUndoStack.empty());
    EXPECT_EQ (panel.recordedText, "G");
}

TEST (ChordEditPopover, ItsOwnHistoryKeepsTheLatestSixtyFourSteps)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    rig.panel.onUndoRedo = nullptr;
    rig.open ("C");
    auto& panel = rig.panel;

    for (int i = 0; i < 70; ++i)
        MouseTest::click (panel.nextSlashButton);

    EXPECT_EQ (panel.localUndoStack.size(), 64u);

    int steps = 0;
    while (panel.stepLocalHistory (panel.localUndoStack, panel.localRedoStack))
        ++steps;

    EXPECT_EQ (steps, 64);
    EXPECT_EQ (panel.localRedoStack.size(), 64u);
    // The six oldest steps are gone: the walk back ends where the sixth click left the bass.
    EXPECT_EQ (panel.buildChordText(), "C/A");
}

TEST (ChordEditPopover, ModesShowTheirOwnControls)
{
    juce::ScopedJuceInitialiser_GUI gui;

    struct Case { const char* name; bool chord, expert; bool rightColumn, tabs, suggestions, grid, quickChords; };
    const Case cases[] = {
        { "easy",          true,  false, true,  true,  true,  false, false },
        { "expert",        true,  true,  true,  true,  false, true,  false },
        { "empty easy",    false, false, false, false, false, false, false },
        { "empty expert",  false, true,  false, false, false, false, false },
    };

    for (const auto& c : cases)
    {
        PanelRig rig;
        auto& panel = rig.panel;
        rig.open ("C");

        if (c.expert)
            panel.buttonClicked (&panel.expertButton);
        if (! c.chord)
            panel.showEmpty();

        EXPECT_EQ (panel.slashButton.isVisible(), c.rightColumn) << c.name;
        EXPECT_EQ (panel.lengthEditor.isVisible(), c.rightColumn) << c.name;
        EXPECT_EQ (panel.restButton.isVisible(), c.rightColumn) << c.name;
        EXPECT_EQ (panel.previewButton.isVisible(), c.rightColumn) << c.name;
        EXPECT_EQ (panel.easyButton.isVisible(), c.tabs) << c.name;
        EXPECT_EQ (panel.expertButton.isVisible(), c.tabs) << c.name;
        EXPECT_EQ (panel.suggestionButtons[0].isVisible(), c.suggestions) << c.name;
        EXPECT_EQ (panel.rootButtons[0].isVisible(), c.grid) << c.name;
        EXPECT_EQ (panel.colorButtons[6].isVisible(), c.grid) << c.name;
        EXPECT_EQ (panel.quickChordsButton.isVisible(), c.grid) << c.name;
        EXPECT_TRUE (panel.applyButton.isVisible()) << c.name;
        EXPECT_TRUE (panel.cancelButton.isVisible()) << c.name;
        EXPECT_FALSE (panel.rootBox.isVisible()) << c.name;
        EXPECT_EQ (panel.expertButton.getToggleState(), c.expert) << c.name;
        EXPECT_EQ (panel.easyButton.getToggleState(), ! c.expert) << c.name;
    }
}

TEST (ChordEditPopover, SwitchingModesKeepsTheChord)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    rig.open ("Bdim/F:4");
    auto& panel = rig.panel;
    MouseTest::click (panel.restButton);
    rig.takeEvents();

    MouseTest::click (panel.expertButton);
    EXPECT_TRUE (panel.expertMode);
    MouseTest::click (panel.easyButton);
    EXPECT_FALSE (panel.expertMode);
    EXPECT_EQ (rig.takeEvents(), (Events { "mode", "mode" }));

    EXPECT_EQ (panel.buildChordText(), "R:4");
    MouseTest::click (panel.restButton);
    EXPECT_EQ (panel.buildChordText(), "Bdim/F:4");

    // Expert survives closing and reopening.
    MouseTest::click (panel.expertButton);
    panel.setVisible (false);
    rig.open ("C");
    EXPECT_TRUE (panel.expertMode);
    EXPECT_TRUE (panel.rootButtons[0].isVisible());
}

TEST (ChordEditPopover, LaysOutItsColumnsOnTheEditorsPanel)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    rig.open ("C");
    auto& panel = rig.panel;
    using R = juce::Rectangle<int>;

    const auto columns = panel.columnLayout();
    EXPECT_EQ (columns.leftX, 25);
    EXPECT_EQ (columns.leftWidth, 328);
    EXPECT_EQ (columns.rightX, 370);
    EXPECT_EQ (columns.rightWidth, 185);
    EXPECT_EQ (columns.dividerX, 361);

    const std::pair<juce::Component*, R> easy[] = {
        { &panel.cancelButton,         { 477, 8, 78, 29 } },
        { &panel.applyButton,          { 341, 8, 128, 29 } },
        { &panel.easyButton,           { 189, 8, 72, 29 } },
        { &panel.expertButton,         { 261, 8, 72, 29 } },
        { &panel.previousSlashButton,  { 370, 97, 36, 29 } },
        { &panel.slashButton,          { 406, 97, 113, 29 } },
        { &panel.nextSlashButton,      { 519, 97, 36, 29 } },
        { &panel.shorterButton,        { 370, 161, 36, 29 } },
        { &panel.lengthEditor,         { 406, 161, 113, 29 } },
        { &panel.longerButton,         { 519, 161, 36, 29 } },
        { &panel.restButton,           { 370, 219, 185, 29 } },
        { &panel.previewButton,        { 370, 264, 185, 61 } },
        { &panel.suggestionButtons[0], { 25, 197, 328, 23 } },
        { &panel.suggestionButtons[4], { 25, 301, 328, 23 } },
        { &panel.quickChordsButton,    {} },
        { &panel.rootButtons[0],       {} },
    };

    for (const auto& [component, bounds] : easy)
        EXPECT_EQ (component->getBounds(), bounds) << component->getName() << " easy";

    panel.buttonClicked (&panel.expertButton);

    const std::pair<juce::Component*, R> expert[] = {
        { &rootButton (panel, "C#"),             { 63, 151, 45, 21 } },
        { &rootButton (panel, "A#"),             { 267, 151, 48, 21 } },
        { &rootButton (panel, "C"),              { 25, 175, 42, 24 } },
        { &rootButton (panel, "D"),              { 72, 175, 42, 24 } },
        { &rootButton (panel, "B"),              { 307, 175, 46, 24 } },
        { &characterButton (panel, "Maj"),       { 25, 218, 43, 25 } },
        { &characterButton (panel, "Min"),       { 119, 218, 43, 25 } },
        { &characterButton (panel, "Dim"),       { 307, 218, 46, 25 } },
        { &colorButton (panel, "None"),          { 25, 263, 45, 25 } },
        { &colorButton (panel, "6"),             { 72, 263, 45, 25 } },
        { &colorButton (panel, "More"),          { 307, 263, 46, 25 } },
        { &panel.quickChordsButton,              { 25, 298, 328, 27 } },
        { &panel.suggestionButtons[0],           {} },
        { &panel.restButton,                     { 370, 219, 185, 29 } },
    };

    for (const auto& [component, bounds] : expert)
        EXPECT_EQ (component->getBounds(), bounds) << component->getName() << " expert";

    panel.showEmpty();
    EXPECT_EQ (panel.restButton.getBounds(), R());
    EXPECT_EQ (panel.rootButtons[0].getBounds(), R());
    EXPECT_EQ (panel.applyButton.getBounds(), R (341, 8, 128, 29));
}

TEST (ChordEditPopover, ANarrowPanelCutsEveryWidthToWhatIsLeft)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelRig rig;
    rig.open ("C");
    auto& panel = rig.panel;
    using R = juce::Rectangle<int>;

    struct Case { int width; R cancel, apply, easy, expert, previous, slash, next; int leftWidth; };
    const Case cases[] = {
        { 200, { 97, 8, 78, 29 }, { 25, 8, 64, 29 }, { 25, 8, 0, 29 }, { 25, 8, 0, 29 },
          { 25, 97, 30, 29 }, { 55, 97, 90, 29 }, { 145, 97, 30, 29 }, 0 },
        { 120, { 25, 8, 70, 29 }, {}, {}, {},
          { 25, 97, 29, 29 }, { 54, 97, 12, 29 }, { 66, 97, 29, 29 }, 0 },
        { 40,  { 15, 8, 0, 29 }, {}, {}, {},
          { 25, 97, 0, 29 }, { 25, 97, 0, 29 }, { 25, 97, 0, 29 }, 0 },
    };

    for (const auto& c : cases)
    {
        panel.setSize (c.width, 335);
        EXPECT_EQ (panel.cancelButton.getBounds(), c.cancel) << c.width;
        EXPECT_EQ (panel.applyButton.getBounds(), c.apply) << c.width;
        EXPECT_EQ (panel.easyButton.getBounds(), c.easy) << c.width;
        EXPECT_EQ (panel.expertButton.getBounds(), c.expert) << c.width;
        EXPECT_EQ (panel.previousSlashButton.getBounds(), c.previous) << c.width;
        EXPECT_EQ (panel.slashButton.getBounds(), c.slash) << c.width;
        EXPECT_EQ (panel.nextSlashButton.getBounds(), c.next) << c.width;
        EXPECT_EQ (panel.columnLayout().leftWidth, c.leftWidth) << c.width;
    }
}

TEST (ChordEditPopover, TheNavigatorShowsTheNeighbours)
{
    juce::ScopedJuceInitialiser_GUI gui;

    struct Case { const char* progression; int position; bool replaces; Texts cards; int next; };
    const Case cases[] = {
        { "C Am F",  3, false, { "PREVIOUS F", "NEW* Em" },               3 },
        { "C Am F",  0, true,  { "REPLACE* Em", "NEXT Am" },              1 },
        { "C Am F",  1, true,  { "PREVIOUS C", "REPLACE* Em", "NEXT F" }, 2 },
        { "C R F",   2, false, { "PREVIOUS Rest", "NEW* Em", "NEXT F" },  2 },
        { "G7{V/V}:2 C", 1, true, { "PREVIOUS G7{V/V}", "REPLACE* Em" },  2 },
        { "C Am F",  9, false, { "PREVIOUS F", "NEW* Em" },               3 },   // clamped to the end
        { "C Am F", -4, false, { "NEW* Em", "NEXT C" },                   0 },
        { "",        0, false, { "NEW* Em" },                             0 },
    };

    for (const auto& c : cases)
    {
        PanelRig rig;
        rig.open ("Em");
        rig.panel.setContext (parseProgressionTokens (c.progression), c.position, c.replaces, "Space");

        Texts cards;
        for (const auto& card : rig.panel.navigatorCards())
            cards.push_back (card.label + (card.current ? "* " : " ") + card.text);

        EXPECT_EQ (cards, c.cards) << c.progression << " @" << c.position;
        EXPECT_EQ (rig.panel.nextTokenIndex(), c.next) << c.progression << " @" << c.position;
    }
}
