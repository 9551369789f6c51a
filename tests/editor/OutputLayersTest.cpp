// The channel-1 layer mix and the Shimmer style: the choice table, the pills, knob and menu,
// and what is offered while the song has no Shimmer notes.
#include "EditorFixture.h"

#include "editor/OutputLayerChoice.h"
#include "editor/look/Palette.h"
#include "support/ComponentSnapshot.h"

namespace
{
struct SongContents
{
    const char* name;
    const char* progression;
    int shimmerStyle;   // 0 Off, 1 Top, 2 Color, 3 Halo
};

// The four tiles in the order DragMIDI, Bass, Body, Shimmer.
const char* const tileNames[] = { "DragMIDI", "tile Bass", "tile Body", "tile Shimmer" };
} // namespace

class OutputLayersTest : public EditorTest
{
protected:
    void useSong (const SongContents& contents)
    {
        auto sections = song ({ { "Verse", contents.progression } });
        sections[0].arrangeShimmerTopNoteEnabled = contents.shimmerStyle == 1 || contents.shimmerStyle == 3;
        sections[0].arrangeShimmerColorNotesEnabled = contents.shimmerStyle == 2 || contents.shimmerStyle == 3;
        processor->setSections (sections, true);
        processor->setSelectedSectionViewIndex (0);
        processor->setWorkingSection (sections[0]);
        waitForCompile();
        editor->syncControlsFromProcessor (true);
    }

    juce::Button& button (const juce::String& name) { return *dynamic_cast<juce::Button*> (probe->find (name)); }
    juce::Slider& knob() { return *dynamic_cast<juce::Slider*> (probe->find ("channel 1 knob")); }
    juce::Label& knobLabel() { return *dynamic_cast<juce::Label*> (probe->find ("channel 1 label")); }

    juce::String pillStates()
    {
        juce::String states;
        for (auto* name : { "pill All", "pill Bass", "pill Body", "pill Shimmer" })
            states << (button (name).getToggleState() ? "1" : "0");
        return states;
    }

    juce::String enabledTiles()
    {
        juce::String states;
        for (auto* name : tileNames)
            states << (probe->find (name)->isEnabled() ? "1" : "0");
        return states;
    }
};

TEST (OutputLayerChoice, TableRows)
{
    ASSERT_EQ (outputLayerChoiceCount, 7);
    const auto* rows = getOutputLayerChoices();

    for (int i = 0; i < outputLayerChoiceCount; ++i)
    {
        EXPECT_EQ (rows[i].value, i);
        EXPECT_EQ (rows[i].menuId, i + 1);
    }

    EXPECT_EQ (outputLayerName (0), "All");
    EXPECT_EQ (outputLayerName (5), "Bass + Shimmer");
    EXPECT_EQ (outputLayerName (7), "All");
    EXPECT_EQ (outputLayerName (-1), "All");
    EXPECT_EQ (rows[0].layers, OutputLayerChoice::bass | OutputLayerChoice::body | OutputLayerChoice::shimmer);
    EXPECT_EQ (rows[6].layers, OutputLayerChoice::body | OutputLayerChoice::shimmer);
    EXPECT_EQ (rows[0].knobColour, juce::Colour (0xffb4befe));
    EXPECT_EQ (rows[3].knobColour, juce::Colour (0xffcba6f7));
    EXPECT_EQ (rows[4].knobColour, juce::Colour (0xff94e2d5).interpolatedWith (juce::Colour (0xff89b4fa), 0.5f));
    EXPECT_EQ (rows[6].knobColour, juce::Colour (0xff89b4fa).interpolatedWith (juce::Colour (0xffcba6f7), 0.5f));
}

TEST (OutputLayerChoice, TogglingALayerPill)
{
    const struct { int from, layer, to; } cases[] = {
        { 0, 1, 1 }, { 0, 2, 2 }, { 0, 3, 3 },   // from "All", the clicked layer alone
        { 1, 2, 4 },                             // Bass + Body
        { 4, 1, 2 },                             // Body
        { 2, 2, 0 },                             // nothing left: All
        { 4, 3, 0 },                             // all three: All
        { 3, 1, 5 }, { 5, 3, 1 }, { 6, 2, 3 }, { 2, 3, 6 },
    };

    for (const auto& c : cases)
        EXPECT_EQ (toggleOutputLayerMode (c.from, c.layer), c.to) << c.from << " + " << c.layer;
}

// What the outputs offer for each kind of song: the stored choice after the fallback, the
// Shimmer pill, and which clip tiles can be used.
TEST_F (OutputLayersTest, FallbackAndEnableRulesFollowTheSongsLayers)
{
    const struct
    {
        SongContents contents;
        bool shimmerAvailable;
        int afterFallback[7];    // the processor's choice after applying stored 0 .. 6
        const char* tiles;       // DragMIDI, Bass, Body, Shimmer usable
    } cases[] = {
        // First, while nothing playable was ever compiled (later, the last playable result stays).
        { { "rests only", "R R", 1 }, false, { 0, 1, 2, 0, 4, 0, 0 }, "0000" },
        { { "triads with a top note", "C Am F G", 1 }, true, { 0, 1, 2, 3, 4, 5, 6 }, "1111" },
        { { "triads without Shimmer", "C Am F G", 0 }, false, { 0, 1, 2, 0, 4, 0, 0 }, "1110" },
        { { "triads in colour: no colour tones", "C Am F G", 2 }, false, { 0, 1, 2, 0, 4, 0, 0 }, "1110" },
        { { "sevenths in colour", "Cmaj7 Am9 Fmaj7 G7", 2 }, true, { 0, 1, 2, 3, 4, 5, 6 }, "1111" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.contents.name);
        useSong (c.contents);
        EXPECT_EQ (probe->hasShimmerNotes(), c.shimmerAvailable);

        for (int stored = 0; stored < 7; ++stored)
        {
            processor->setOutputLayerMode (stored);
            probe->updateOutputControls (stored, true);
            EXPECT_EQ (processor->getOutputLayerMode(), c.afterFallback[stored]) << "stored " << stored;
        }

        auto& shimmerPill = button ("pill Shimmer");
        EXPECT_EQ (shimmerPill.isEnabled(), c.shimmerAvailable);
        EXPECT_NEAR (shimmerPill.getAlpha(), c.shimmerAvailable ? 1.0f : 0.45f, 0.01f);
        EXPECT_EQ (shimmerPill.getTooltip(), c.shimmerAvailable ? "Choose whether MIDI channel 1 includes the Shimmer layer"
                                                                : "Shimmer is unavailable for MIDI channel 1 in this progression");

        EXPECT_EQ (enabledTiles(), c.tiles);
        for (int i = 0; i < 4; ++i)
        {
            auto* tile = probe->find (tileNames[i]);
            EXPECT_NEAR (tile->getAlpha(), tile->isEnabled() ? 1.0f : 0.3f, 0.01f) << tileNames[i];
        }
        EXPECT_EQ (button ("tile Shimmer").getTooltip(),
                   c.shimmerAvailable ? "Drag Shimmer MIDI clip | Right-click: copy or save"
                                      : "Shimmer MIDI clip is unavailable for this progression");
        EXPECT_EQ (button ("DragMIDI").getTooltip(), "Drag All MIDI clip | Right-click: copy or save");

        // The quick-choice menu greys out what carries Shimmer.
        juce::String enabledItems;
        const auto menu = probe->outputMenu();
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
            enabledItems << (it.getItem().isEnabled ? "1" : "0");
        EXPECT_EQ (enabledItems, c.shimmerAvailable ? "1111111" : "0110100");
    }
}

TEST_F (OutputLayersTest, WithoutShimmerAStoredShimmerChoiceShowsAsAllUntilTheNextApply)
{
    useSong ({ "triads without Shimmer", "C Am F G", 0 });
    processor->setOutputLayerMode (5);   // Bass + Shimmer, from the host
    probe->tick();

    EXPECT_EQ (processor->getOutputLayerMode(), 5) << "a refresh applies no fallback";
    EXPECT_EQ (pillStates(), "0100");
    EXPECT_EQ (knob().getValue(), 1.0);
    EXPECT_EQ (knobLabel().getText(), "All");
    EXPECT_EQ (knob().findColour (juce::Slider::thumbColourId), juce::Colour (0xffb4befe));
    EXPECT_EQ (probe->pianoRoll().outputSelection, 0);

    const auto menu = probe->outputMenu();
    int ticked = 0;
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        if (it.getItem().isTicked)
            ticked = it.getItem().itemID;
    EXPECT_EQ (ticked, 1);

    // The next choice made in the window applies the fallback: the stored mix plus Body is all
    // three layers, "All".
    editor->buttonClicked (&button ("pill Body"));
    EXPECT_EQ (processor->getOutputLayerMode(), 0);
}

TEST_F (OutputLayersTest, PillsKnobAndMenuShowAndSetTheChoice)
{
    useSong ({ "triads with a top note", "C Am F G", 1 });

    // Clicks on the pills, in sequence.
    const struct { const char* pill; int expected; const char* pills; } clicks[] = {
        { "pill Bass", 1, "0100" },
        { "pill Body", 4, "0110" },
        { "pill Bass", 2, "0010" },
        { "pill Body", 0, "1000" },
        { "pill Shimmer", 3, "0001" },
        { "pill Bass", 5, "0101" },
        { "pill All", 0, "1000" },
        { "pill Body", 2, "0010" },
        { "pill Bass", 4, "0110" },
        { "pill Shimmer", 0, "1000" },
    };
    for (const auto& click : clicks)
    {
        editor->buttonClicked (&button (click.pill));
        EXPECT_EQ (processor->getOutputLayerMode(), click.expected) << click.pill;
        EXPECT_EQ (pillStates(), click.pills) << click.pill;
        EXPECT_EQ (probe->pianoRoll().outputSelection, click.expected) << click.pill;
    }

    // The knob and its label for each choice.
    for (int value = 0; value < 7; ++value)
    {
        probe->setOutputChoice (value);
        const auto& row = getOutputLayerChoices()[value];
        EXPECT_EQ (knob().getValue(), (double) row.menuId);
        EXPECT_EQ (knob().findColour (juce::Slider::rotarySliderFillColourId), row.knobColour);
        EXPECT_EQ (knob().findColour (juce::Slider::rotarySliderOutlineColourId), juce::Colour (0xff585b70));
        EXPECT_EQ (knobLabel().getText(), row.name);
        EXPECT_EQ (knobLabel().findColour (juce::Label::textColourId), row.knobColour.withAlpha (0.94f));
    }

    // The menu ticks the current choice; its answers set the choice.
    probe->setOutputChoice (6);
    juce::StringArray items;
    const auto menu = probe->outputMenu();
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        items.add (juce::String (it.getItem().itemID) + " " + it.getItem().text + (it.getItem().isTicked ? " *" : ""));
    EXPECT_EQ (items.joinIntoString (", "), "1 All, 2 Bass, 3 Body, 4 Shimmer, 5 Bass + Body, 6 Bass + Shimmer, 7 Body + Shimmer *");

    const struct { int itemId, expected; } answers[] = { { 0, 6 }, { -1, 6 }, { 2, 1 }, { 7, 6 }, { 5, 4 }, { 9, 0 } };
    for (const auto& answer : answers)
    {
        probe->outputMenuResult (answer.itemId);
        EXPECT_EQ (processor->getOutputLayerMode(), answer.expected) << answer.itemId;
    }

    // A click on the Shimmer pill of a song without Shimmer notes gives All.
    useSong ({ "triads without Shimmer", "C Am F G", 0 });
    probe->setOutputChoice (1);
    editor->buttonClicked (&button ("pill Shimmer"));
    EXPECT_EQ (processor->getOutputLayerMode(), 0);
}

TEST_F (OutputLayersTest, TheRollShowsEveryLayerWhileAChordIsEdited)
{
    useSong ({ "triads with a top note", "C Am F G", 1 });
    probe->setOutputChoice (4);
    EXPECT_EQ (probe->pianoRoll().outputSelection, 4);

    probe->chordEditor().setVisible (true);
    probe->updatePianoRollOutput();
    EXPECT_EQ (probe->pianoRoll().outputSelection, 0);
    probe->chordEditor().setVisible (false);

    probe->draftActive() = true;
    probe->updatePianoRollOutput();
    EXPECT_EQ (probe->pianoRoll().outputSelection, 0);
    probe->draftActive() = false;

    probe->updatePianoRollOutput();
    EXPECT_EQ (probe->pianoRoll().outputSelection, 4);
}

TEST_F (OutputLayersTest, ShimmerStyleButtonsSetBothFlagsAndTheSection)
{
    useSong ({ "sevenths", "Cmaj7 Am9 Fmaj7 G7", 0 });

    const struct { const char* button; bool top, colour; const char* toggles; } cases[] = {
        { "Top", true, false, "0100" },
        { "Color", false, true, "0010" },
        { "Halo", true, true, "0001" },
        { "Off", false, false, "1000" },
    };

    for (const auto& c : cases)
    {
        editor->buttonClicked (&button (c.button));
        EXPECT_EQ (processor->getArrangeShimmerTopNoteEnabled(), c.top) << c.button;
        EXPECT_EQ (processor->getArrangeShimmerColorNotesEnabled(), c.colour) << c.button;

        juce::String toggles;
        for (auto* name : { "Off", "Top", "Color", "Halo" })
            toggles << (button (name).getToggleState() ? "1" : "0");
        EXPECT_EQ (toggles, c.toggles) << c.button;

        const auto stored = processor->getSections().at (0);
        EXPECT_EQ (stored.arrangeShimmerTopNoteEnabled, c.top) << c.button;
        EXPECT_EQ (stored.arrangeShimmerColorNotesEnabled, c.colour) << c.button;
        EXPECT_EQ (stored.name, "Verse");
    }

    // Turning Shimmer off takes its notes away once compiled: the Shimmer choice falls back.
    editor->buttonClicked (&button ("Top"));
    waitForCompile();
    probe->setOutputChoice (3);
    EXPECT_EQ (processor->getOutputLayerMode(), 3);
    editor->buttonClicked (&button ("Off"));
    waitForCompile();
    probe->tick();
    EXPECT_FALSE (probe->find ("tile Shimmer")->isEnabled());
    EXPECT_EQ (processor->getOutputLayerMode(), 3) << "kept until the next apply";
    editor->buttonClicked (&button ("pill Bass"));
    EXPECT_EQ (processor->getOutputLayerMode(), 0) << "Bass + Shimmer, without Shimmer: All";
}

// Pictures of the outputs card in each choice, for a person to look at.
TEST_F (OutputLayersTest, PicturesOfTheOutputsInEachChoice)
{
    const auto picture = [this] (const juce::String& name)
    {
        probe->layout();
        const auto whole = corvessa::test::renderComponent (*editor, 2.0f);
        const auto card = whole.getClippedImage ((probe->outputsCard().expanded (4) * 2).getIntersection (whole.getBounds()))
                              .createCopy();
        auto file = corvessa::test::getScreenshotFolder().getChildFile (name + ".png");
        file.deleteFile();
        juce::FileOutputStream out (file);
        EXPECT_TRUE (out.openedOk() && juce::PNGImageFormat().writeImageToStream (card, out)) << name;
        EXPECT_TRUE (corvessa::test::hasInk (card, card.getBounds(), Palette::surface0)) << name;
    };

    useSong ({ "triads with a top note", "C Am F G", 1 });
    for (int value = 0; value < 7; ++value)
    {
        probe->setOutputChoice (value);
        picture ("outputs-" + outputLayerName (value).replace (" + ", "-").toLowerCase());
    }

    useSong ({ "triads without Shimmer", "C Am F G", 0 });
    picture ("outputs-without-shimmer");
}
