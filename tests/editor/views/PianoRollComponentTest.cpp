#include "editor/look/Palette.h"
#include "editor/views/PianoRollTestSupport.h"
#include "editor/views/ViewTestSupport.h"
#include "support/ComponentSnapshot.h"

using namespace viewtest;

namespace
{
std::vector<int> range (int from, int to)
{
    std::vector<int> notes;
    for (int n = from; n <= to; ++n)
        notes.push_back (n);
    return notes;
}

// The colour of a chord column's note area where nothing is drawn over it.
juce::Colour columnColour (float alpha = 0.26f)
{
    return over (Palette::mantle, Palette::base, alpha);
}
} // namespace

TEST_F (PianoRollTest, NoteRangeIsWidenedAroundItsMiddleToTheRowsThatFit)
{
    RollChord voicedOnly;
    voicedOnly.voiced = range (50, 55);

    RollChord unresolved;
    unresolved.resolved = false;
    unresolved.voiced = { 10, 11 };

    struct Case
    {
        const char* what;
        std::vector<RollChord> chords;
        int selection, visibleHeight, low, high, height;
    };
    const Case cases[] {
        { "nothing to show, no visible height", {}, 0, 0, 37, 84, 78 + 48 * 8 },
        { "notes 60..64 in 300 px", { { "C", 1, { 60 }, { 62 }, { 64 } } }, 0, 300, 49, 75, 300 },
        { "every note", { { "C", 1, { 0 }, {}, { 127 } } }, 0, 514, 0, 127, 78 + 128 * 8 },
        { "high notes hit the top", { { "C", 1, {}, { 120, 126 }, {} } }, 0, 0, 80, 127, 78 + 48 * 8 },
        { "notes outside MIDI are ignored", { { "C", 1, { -3 }, { 60 }, { 130 } } }, 0, 118, 58, 62, 118 },
        { "chord's own notes when no layer plays", { voicedOnly }, 0, 150, 48, 57, 158 },
        { "own notes only under All", { voicedOnly }, 1, 150, 46, 74, 78 + 29 * 8 },
        { "an unresolved chord shows no notes", { unresolved }, 0, 150, 46, 74, 78 + 29 * 8 },
        { "a short view widens nothing", { { "C", 1, { 60 }, { 64 }, {} } }, 0, 100, 58, 66, 78 + 9 * 8 },
        { "a view shorter than the band still fits one row", { { "C", 1, { 60 }, {}, {} } }, 0, 5, 58, 62, 78 + 5 * 8 },
    };

    for (const auto& c : cases)
    {
        roll.outputSelection = c.selection;
        layoutChanges = 0;
        show (c.chords, 580, c.visibleHeight);
        EXPECT_EQ (roll.lowestNote, c.low) << c.what;
        EXPECT_EQ (roll.highestNote, c.high) << c.what;
        EXPECT_EQ (roll.getHeight(), c.height) << c.what;
        EXPECT_EQ (roll.getWidth(), 580) << c.what;
        EXPECT_EQ (layoutChanges, 1) << c.what;
    }
}

TEST (PianoRollLayers, OutputSelectionIncludesItsLayersAndAlphaFollowsTheDrawnLayers)
{
    // Selection -> included layers (1 Bass, 2 Body, 4 Shimmer).
    const int included[] { 7, 1, 2, 4, 3, 5, 6 };
    for (int selection = 0; selection < 7; ++selection)
        EXPECT_EQ (PianoRollComponent::includedLayerMask (selection), included[selection]) << selection;

    struct Case { int drawn, layer; bool anyIncluded; float alpha; };
    const Case cases[] {
        { 1, 1, true, 0.8f }, { 2, 2, true, 0.7f }, { 4, 4, true, 0.9f },
        { 3, 1, true, 0.95f }, { 3, 2, true, 0.95f }, { 7, 4, true, 0.95f },
        { 1, 1, false, 0.16f }, { 6, 4, false, 0.16f },
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ (PianoRollComponent::noteBarAlpha (c.drawn, c.layer, c.anyIncluded), c.alpha) << c.drawn << "/" << c.layer;
}

TEST_F (PianoRollTest, NoteBarsAreSplitByLayerAndFadedWhenNoIncludedLayerPlaysThem)
{
    // One note, 60, in Bass and Body; rows of 20 px so that the sub-bars can be sampled.
    const std::vector<RollChord> chords { { "C", 1, { 60, 40 }, { 60 }, { 76 } } };
    const auto sample = [this, &chords] (int selection, int y)
    {
        roll.outputSelection = selection;
        show (chords, 200, 78 + 5 * 8);
        roll.lowestNote = 58;
        roll.highestNote = 62;
        roll.setSize (200, 78 + 5 * 20);   // note 60's row: y 118 to 138
        return corvessa::test::renderComponent (roll).getPixelAt (100, y);
    };

    // Bass alone: one teal bar over the whole row.
    EXPECT_TRUE (near (sample (1, 120), over (columnColour(), Palette::bassLayer, 0.8f)));
    EXPECT_TRUE (near (sample (1, 135), over (columnColour(), Palette::bassLayer, 0.8f)));

    // Shimmer alone does not play it: Body above Bass, both faint, on the gap colour.
    EXPECT_TRUE (near (sample (3, 121), over (Palette::mantle, Palette::bodyLayer, 0.16f)));
    EXPECT_TRUE (near (sample (3, 133), over (Palette::mantle, Palette::bassLayer, 0.16f)));

    // All: both layers at 0.95.
    EXPECT_TRUE (near (sample (0, 121), over (Palette::mantle, Palette::bodyLayer, 0.95f)));
    EXPECT_TRUE (near (sample (0, 133), over (Palette::mantle, Palette::bassLayer, 0.95f)));
    EXPECT_TRUE (near (sample (0, 127), Palette::mantle, 12));   // the 1 px gap between them
}

TEST_F (PianoRollTest, TiedNotesReachTheNextChordOnlyForALegatoLayer)
{
    // Two one-bar chords, 100 px each; 60 is in Body both times, 62 in Bass both times.
    const std::vector<RollChord> chords { { "C", 1, { 62 }, { 60 }, {} }, { "F", 1, { 62 }, { 60 }, {} } };
    const auto lastPixelOfFirstChord = [this, &chords] (int note)
    {
        show (chords, 200, 78 + 10 * 8);
        const auto row = (float) (roll.getHeight() - 78) / (float) (roll.highestNote - roll.lowestNote + 1);
        const auto y = (float) roll.getHeight() - (float) (note - roll.lowestNote + 1) * row + row / 2.0f;
        return corvessa::test::renderComponent (roll).getPixelAt (99, (int) y);
    };

    roll.bodyLegato = true;
    roll.bassLegato = false;
    EXPECT_TRUE (near (lastPixelOfFirstChord (60), over (columnColour(), Palette::bodyLayer, 0.7f)));
    EXPECT_TRUE (near (lastPixelOfFirstChord (62), columnColour()));

    roll.bodyLegato = false;
    roll.bassLegato = true;
    EXPECT_TRUE (near (lastPixelOfFirstChord (60), columnColour()));
    EXPECT_TRUE (near (lastPixelOfFirstChord (62), over (columnColour(), Palette::bassLayer, 0.8f)));
}

TEST_F (PianoRollTest, ChordAtAndTheAddColumnShareTheWidth)
{
    const std::vector<RollChord> chords { { "C", 1, { 48 } }, { "F", 1, { 53 } }, { "G", 2, { 55 } } };
    roll.canAdd = true;
    show (chords, 580);   // 540 px for four bars: 135 px a bar; the add column from 540

    ASSERT_FLOAT_EQ (roll.getContentWidth(), 540.0f);
    EXPECT_EQ (roll.getAddZoneBounds(), juce::Rectangle<float> (540.0f, 36.0f, 40.0f, (float) roll.getHeight() - 36.0f));

    struct Case { float x, y; int chord; bool addZone; };
    const Case cases[] {
        { 0, 36, 0, false }, { 134.9f, 300, 0, false }, { 135, 40, 1, false }, { 539, 300, 2, false },
        { 540, 300, -1, true }, { 579, 36, -1, true }, { 579, 35, -1, false }, { 100, 35, -1, false },
        { -1, 100, -1, false },
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ (roll.chordAt ({ c.x, c.y }), c.chord) << c.x << ", " << c.y;
        EXPECT_EQ (roll.isInAddZone ({ c.x, c.y }), c.addZone) << c.x << ", " << c.y;
    }

    roll.canAdd = false;
    EXPECT_FLOAT_EQ (roll.getContentWidth(), 580.0f);
    EXPECT_EQ (roll.chordAt ({ 560, 100 }), 2);
    EXPECT_TRUE (roll.getAddZoneBounds().isEmpty());

    // With no chords the add zone is the whole area below the top strip, inset by 10.
    roll.canAdd = true;
    show ({}, 580, 300);
    EXPECT_EQ (roll.getAddZoneBounds(), juce::Rectangle<float> (10.0f, 46.0f, 560.0f, (float) roll.getHeight() - 36.0f - 20.0f));
    EXPECT_EQ (roll.chordAt ({ 100, 100 }), -1);
}

TEST_F (PianoRollTest, LabelsAndHoverTextsCompleteWhatTheOwnerLeftEmpty)
{
    const std::vector<RollChord> chords {
        { "C", 1, { 48 } },
        RollChord::rest (1.5),
        RollChord ("G7", 1, { 43 }).withOption (HarmonicOption::tritoneSubstitute),
        { "Dm", 2, { 50 } },
        { "F#", 1, { 54 } },
        RollChord::unreadable ("Xq"),
        RollChord ("A", 1, { 45 }).withOption (HarmonicOption::fifthOfFifth),
    };
    show (chords);
    roll.labels = { {}, {}, {}, { "Dm", "ii", "", 1 }, { "", "", "", 2 }, {}, { "A7", "IV", "x", 0 } };

    struct Case { int index; const char* name; const char* tag; const char* length; const char* hover; };
    const Case cases[] {
        { 0, "C", "", "1 bar", "C" },
        { 1, "Rest", "", "1.5 bars", "Rest" },
        { 2, "G7", "TT", "1 bar", "G7 | TT" },
        { 3, "Dm", "ii", "2 bars", "Dm | ii" },
        { 4, "F#", "", "1 bar", "F# | Outside selected scale" },
        { 5, "Xq", "", "1 bar", "Xq" },
        { 6, "A7", "IV", "x", "A7 | IV" },
    };
    for (const auto& c : cases)
    {
        const auto label = roll.getChordLabel (c.index, roll.chords[(size_t) c.index]);
        EXPECT_EQ (label.name, c.name) << c.index;
        EXPECT_EQ (label.tag, c.tag) << c.index;
        EXPECT_EQ (label.lengthText, c.length) << c.index;
        roll.hoveredChord = c.index;
        EXPECT_EQ (roll.getHoverDescription(), c.hover) << c.index;
    }

    roll.hoveredChord = -1;
    EXPECT_EQ (roll.getHoverDescription(), "");
    roll.hoveredChord = 7;
    EXPECT_EQ (roll.getHoverDescription(), "");

    // Flagged chords (an option, or outside the scale) carry a peach bar in the name band; the
    // others do not.
    roll.hoveredChord = -1;
    const auto image = corvessa::test::writeSnapshot (roll, "piano-roll-flagged-chords");
    const auto pixelsPerBar = 580.0 / roll.getTotalBars();
    const auto bandPixel = [&] (double startBars) { return image.getPixelAt ((int) (startBars * pixelsPerBar) + 2, 56); };
    const auto flagBar = over (over (Palette::mantle, Palette::base, 0.68f), Palette::peach, 0.88f);
    EXPECT_TRUE (near (bandPixel (2.5), flagBar, 10));    // G7{TT}
    EXPECT_TRUE (near (bandPixel (5.5), flagBar, 10));    // F#, outside the scale
    EXPECT_TRUE (near (bandPixel (7.5), flagBar, 10));    // A{V/V}
    EXPECT_FALSE (near (bandPixel (0.0), flagBar, 30));   // C
    EXPECT_FALSE (near (bandPixel (3.5), flagBar, 30));   // Dm, inside the scale
}

TEST_F (PianoRollTest, SetChordsDoesNothingForTheSameChordsAndDropsAPreviewsNotes)
{
    const auto preview = makePreview (inSequence ({ { "C", 1, { 36 }, { 60 }, { 72 } }, { "F", 1, { 41 }, { 65 }, {} } }));
    roll.setSize (580, 0);
    roll.setPreview (preview);
    ASSERT_EQ (roll.layerNotes.size(), 2u);
    EXPECT_EQ (roll.getLayerNotes (0, 3), std::vector<int> { 72 });
    layoutChanges = 0;

    // The same chords from the compiled section: the preview's notes go, the range is redone.
    roll.setChords (preview.chords);
    EXPECT_TRUE (roll.layerNotes.empty());
    EXPECT_EQ (layoutChanges, 1);

    // The refresh tick hands the same chords again: nothing happens.
    roll.setChords (preview.chords);
    EXPECT_EQ (layoutChanges, 1);

    auto moved = preview.chords;
    moved[1].lengthTicks = 1024.0;
    roll.setChords (moved);
    EXPECT_EQ (layoutChanges, 2);
    EXPECT_EQ (roll.chords, moved);

    roll.setChords ({ moved[0] });
    EXPECT_EQ (layoutChanges, 3);
}

TEST_F (PianoRollTest, WithoutItsOwnNotesTheRollReadsTheCompiledLayerNotes)
{
    processor.setProgression ("C:2 Am F G");
    ASSERT_TRUE (pumpUntil ([this] { return ! processor.isGenerationPending() && processor.getCompiledChords().size() == 4; }));

    roll.setSize (580, 0);
    roll.setChords (processor.getCompiledChords());

    for (int layer = 1; layer <= 3; ++layer)
        EXPECT_EQ (roll.getLayerNotes (2, layer), processor.getCompiledLayerNotes (2, layer)) << layer;
    ASSERT_FALSE (processor.getCompiledLayerNotes (0, 2).empty());

    int lowest = 127;
    for (int chord = 0; chord < 4; ++chord)
        for (int layer = 1; layer <= 3; ++layer)
            for (auto note : processor.getCompiledLayerNotes (chord, layer))
                lowest = std::min (lowest, note);
    EXPECT_LE (roll.lowestNote, lowest - 2);
    EXPECT_EQ (roll.getTotalBars(), 5.0);
}

TEST_F (PianoRollTest, LayerViewAndBassOctaveRecalculateOnlyWhenTheyChange)
{
    show ({ { "C", 1, { 48 } } });
    layoutChanges = 0;

    roll.setLayerView (6);
    roll.setBassAddOctave (false);
    EXPECT_EQ (layoutChanges, 0);

    roll.setBassAddOctave (true);
    EXPECT_EQ (layoutChanges, 1);
    EXPECT_TRUE (roll.getBassAddOctave());
    roll.setLayerView (5);
    EXPECT_EQ (layoutChanges, 2);
    EXPECT_EQ (roll.getLayerView(), 5);
}

TEST_F (PianoRollTest, EmptyRollInvitesOrShowsTheAddButtonOrStaysBlank)
{
    const auto textArea = juce::Rectangle<int> (0, 0, 580, 462);

    show ({}, 580, 0);
    ASSERT_EQ (roll.getHeight(), 462);
    auto image = corvessa::test::writeSnapshot (roll, "piano-roll-empty-get-started");
    EXPECT_TRUE (corvessa::test::hasInk (image, { 0, 150, 580, 31 }, Palette::mantle));    // "Get started" above the middle
    EXPECT_TRUE (corvessa::test::hasInk (image, { 0, 211, 580, 66 }, Palette::mantle));    // the three lines below it

    roll.interactive = false;
    image = corvessa::test::renderComponent (roll);
    EXPECT_FALSE (corvessa::test::hasInk (image, textArea.reduced (10), Palette::mantle, 1));

    roll.interactive = true;
    roll.canAdd = true;
    image = corvessa::test::writeSnapshot (roll, "piano-roll-empty-add");
    EXPECT_FALSE (corvessa::test::hasInk (image, { 20, 150, 540, 31 }, Palette::mantle));
    EXPECT_TRUE (corvessa::test::hasInk (image, juce::Rectangle<int> (30, 30).withCentre ({ 290, 254 }), Palette::mantle));  // the "+"
    EXPECT_TRUE (near (image.getPixelAt (11, 150), Palette::surface2, 30));   // the add button's outline
}

TEST_F (PianoRollTest, PlayheadWrapsAroundTheProgression)
{
    show ({ { "C", 2, { 48 } }, { "G", 2, { 43 } } }, 400, 300);   // four bars, 100 px each

    roll.playheadPosition = 9.5;
    roll.playheadVisible = false;
    auto image = corvessa::test::renderComponent (roll);
    EXPECT_FALSE (near (image.getPixelAt (150, 200), Palette::text, 30));

    roll.playheadVisible = true;
    image = corvessa::test::renderComponent (roll);
    EXPECT_TRUE (near (image.getPixelAt (150, 200), Palette::text));
    EXPECT_FALSE (near (image.getPixelAt (149, 200), Palette::text, 30));
    EXPECT_FALSE (near (image.getPixelAt (151, 200), Palette::text, 30));
    EXPECT_FALSE (near (image.getPixelAt (150, 60), Palette::text, 30));   // not through the name band
}

TEST_F (PianoRollTest, ChordNameBandFollowsTheScrollPositionButNotPastTheEnd)
{
    show ({ { "Cmaj7", 2, { 0 }, {}, { 127 } }, { "G", 2, { 43 } } }, 580, 300);
    ASSERT_EQ (roll.getHeight(), 78 + 128 * 8);

    juce::Viewport viewport;
    viewport.setViewedComponent (&roll, false);
    viewport.setScrollBarsShown (false, false);
    viewport.setSize (580, 300);

    const auto nameInk = [this] (int bandTop)
    {
        const auto image = corvessa::test::renderComponent (roll);
        return corvessa::test::hasInk (image, { 6, bandTop + 5, 270, 18 }, Palette::base.withAlpha (1.0f));
    };

    EXPECT_TRUE (nameInk (36));

    viewport.setViewPosition (0, 200);
    EXPECT_TRUE (nameInk (236));
    EXPECT_FALSE (nameInk (36));
    corvessa::test::writeSnapshot (roll, "piano-roll-scrolled-band");

    viewport.setViewPosition (0, 5000);   // clamped by the viewport to the end
    const auto end = roll.getHeight() - 78 + 36;
    EXPECT_TRUE (nameInk (std::min (end, viewport.getViewPositionY() + 36)));
    viewport.setViewedComponent (nullptr, false);
}

TEST_F (PianoRollTest, PressesAndDragsAreIgnoredWhilePlayingButReleasesAreReported)
{
    show ({ { "C", 1, { 48 } }, { "F", 1, { 53 } } }, 200, 300);

    std::vector<std::pair<const char*, int>> calls;
    roll.onChordPressStarted = [&] (int i, juce::Component& source, juce::Point<int>) { EXPECT_EQ (&source, &roll); calls.emplace_back ("press", i); };
    roll.onChordPressDragged = [&] (int i, juce::Component&, juce::Point<int>) { calls.emplace_back ("drag", i); };
    roll.onChordPressReleased = [&] (int i, juce::Component&, juce::Point<int>) { calls.emplace_back ("release", i); };
    roll.onChordMenuRequested = [&] (int i, juce::Component&, juce::Point<int>) { calls.emplace_back ("menu", i); };
    roll.onEmptyRollClicked = [&] { calls.emplace_back ("empty", 0); };
    roll.onAddZoneClicked = [&] { calls.emplace_back ("add", 0); };

    EXPECT_EQ (roll.getMouseCursor(), juce::MouseCursor (juce::MouseCursor::PointingHandCursor));
    press (roll, { 150, 200 });
    drag (roll, { 250, 200 });
    release (roll, { 50, 200 });
    press (roll, { 50, 20 }, rightButton);    // above the band: no chord, still a menu
    press (roll, { 150, 200 }, rightButton);
    press (roll, { 50, 20 });                 // left press on no chord: nothing

    roll.playing = true;
    EXPECT_EQ (roll.getMouseCursor(), juce::MouseCursor (juce::MouseCursor::NormalCursor));
    press (roll, { 150, 200 });
    press (roll, { 150, 200 }, rightButton);
    drag (roll, { 50, 200 });
    release (roll, { 150, 200 });

    const std::vector<std::pair<const char*, int>> expected {
        { "press", 1 }, { "drag", -1 }, { "release", 0 }, { "menu", -1 }, { "menu", 1 }, { "release", 1 },
    };
    ASSERT_EQ (calls.size(), expected.size());
    for (size_t i = 0; i < calls.size(); ++i)
    {
        EXPECT_STREQ (calls[i].first, expected[i].first) << i;
        EXPECT_EQ (calls[i].second, expected[i].second) << i;
    }

    // An add column press, and a press on a roll without chords.
    roll.playing = false;
    calls.clear();
    roll.canAdd = true;
    press (roll, { 190, 200 });
    release (roll, { 190, 200 });             // released in the add zone: not reported
    show ({}, 200, 300);
    roll.canAdd = false;
    press (roll, { 100, 100 });
    ASSERT_EQ (calls.size(), 2u);
    EXPECT_STREQ (calls[0].first, "add");
    EXPECT_STREQ (calls[1].first, "empty");
}

TEST_F (PianoRollTest, HoverGoesToTheOwnerWhenItListensAndTheAddZoneReportsEntryAndExit)
{
    show ({ { "C", 1, { 48 } }, { "F", 1, { 53 } } }, 240, 300);
    roll.canAdd = true;   // chords in 200 px, the add column from 200

    // Without a hover callback the roll keeps the index itself.
    move (roll, { 150, 200 });
    EXPECT_EQ (roll.hoveredChord, 1);
    leave (roll);
    EXPECT_EQ (roll.hoveredChord, -1);

    std::vector<int> hovers;
    std::vector<bool> addZone;
    roll.onChordHovered = [this, &hovers] (int i)
    {
        hovers.push_back (i);
        roll.hoveredChord = i;   // what the owner does
    };
    roll.onAddZoneHoverChanged = [&addZone] (bool inside) { addZone.push_back (inside); };

    move (roll, { 50, 200 });
    move (roll, { 60, 200 });                 // same chord: no call
    move (roll, { 220, 200 });                // into the add column: the hover is cleared
    move (roll, { 225, 100 });
    move (roll, { 150, 200 });
    leave (roll);
    leave (roll);                             // reported every time

    EXPECT_EQ (hovers, (std::vector<int> { 0, -1, 1, -1, -1 }));
    EXPECT_EQ (addZone, (std::vector<bool> { true, false }));

    // A follower's roll ignores moves and presses but still reports leaving.
    hovers.clear();
    roll.interactive = false;
    EXPECT_EQ (roll.getMouseCursor(), juce::MouseCursor (juce::MouseCursor::NormalCursor));
    move (roll, { 50, 200 });
    bool pressed = false;
    roll.onChordPressStarted = [&pressed] (int, juce::Component&, juce::Point<int>) { pressed = true; };
    press (roll, { 50, 200 });
    leave (roll);
    EXPECT_FALSE (pressed);
    EXPECT_EQ (hovers, std::vector<int> { -1 });
}
