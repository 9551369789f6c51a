// The chord builder's pure parts: triads on scale degrees, degree numerals, a key's quick
// chords, chord-length texts and the hidden choice boxes.
#include "chord_editor/ChordBuilder.h"
#include "chord_editor/ChoiceBox.h"
#include "harmony/ScaleTable.h"

#include <gtest/gtest.h>

namespace
{
std::vector<juce::String> labelsOf (const std::vector<QuickChord>& chords)
{
    std::vector<juce::String> labels;
    for (const auto& chord : chords)
        labels.push_back (chord.label);
    return labels;
}

std::vector<juce::String> itemsOf (const juce::ComboBox& box)
{
    std::vector<juce::String> items;
    for (int i = 0; i < box.getNumItems(); ++i)
        items.push_back (box.getItemText (i) + ":" + juce::String (box.getItemId (i)));
    return items;
}

using Texts = std::vector<juce::String>;
} // namespace

TEST (DiatonicTriadQuality, StacksThirdsInSevenNoteScalesAndFallsBackToWhatTheNotesAllow)
{
    struct Case { const char* scale; Texts qualities; };
    const Case cases[] = {
        { "Major",          { "", "m", "m", "", "", "m", "dim" } },
        // The leading tone's third and fifth lie below it: differences taken modulo 12.
        { "Harm. Minor",    { "m", "dim", "aug", "m", "", "", "dim" } },
        { "Locrian",        { "dim", "", "m", "m", "", "", "m" } },
        // Five and six notes: only the general rule applies.
        { "Pent. Major",    { "", "sus4", "__skip__", "sus4", "m" } },
        { "Pent. Minor",    { "m", "", "sus4", "__skip__", "sus4" } },
        { "Whole Tone",     { "aug", "aug", "aug", "aug", "aug", "aug" } },
        { "Hirajoshi",      { "m", "__skip__", "__skip__", "sus4", "" } },
    };

    for (const auto& c : cases)
    {
        const auto* scale = findScale (c.scale);
        ASSERT_NE (scale, nullptr) << c.scale;
        ASSERT_EQ (scale->intervals.size(), c.qualities.size()) << c.scale;

        for (size_t degree = 0; degree < c.qualities.size(); ++degree)
            EXPECT_EQ (diatonicTriadQuality (scale->intervals, (int) degree), c.qualities[degree])
                << c.scale << " degree " << degree;
    }
}

TEST (DiatonicTriadQuality, ASevenNoteDegreeWithoutAStackedTriadUsesTheGeneralRule)
{
    // Stacked thirds give a major third over a diminished fifth here (C E F#); the scale's own
    // notes still hold a perfect fifth above C, so the general rule finds a major triad.
    const std::vector<int> scale { 0, 2, 4, 5, 6, 7, 9 };
    EXPECT_EQ (diatonicTriadQuality (scale, 0), "");
    EXPECT_EQ (diatonicTriadQuality (scale, 7), noTriadOnDegree);
    EXPECT_EQ (diatonicTriadQuality (scale, -1), noTriadOnDegree);
}

TEST (RomanDegreeLabel, NumeralCaseFollowsTheQuality)
{
    struct Case { int degree; const char* quality; const char* label; };
    const Case cases[] = {
        { 0, "",      "I" },     { 1, "m",     "ii" },   { 3, "maj7", "IV" },  { 3, "m7b5", "iv" },
        { 4, "maj9",  "V" },     { 5, "m(maj7)", "vi" }, { 6, "dim",  "viidim" },
        { 6, "dim7",  "vii" },   { 2, "aug",   "III" },  { 1, "sus4", "II" },  { 4, "5", "V" },
        { -3, "m",    "i" },     { 9, "",      "VII" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (romanDegreeLabel (c.degree, c.quality), c.label) << c.degree << " " << c.quality;
}

TEST (BuildQuickChords, GivesEachKeyItsDiatonicChords)
{
    struct Case { const char* key; const char* scale; int limit; Texts labels; };
    const Case cases[] = {
        { "C", "Major",       7, { "I C", "ii Dm", "iii Em", "IV F", "V G", "vi Am", "viidim Bdim" } },
        { "A", "Harm. Minor", 7, { "i Am", "iidim Bdim", "III Caug", "iv Dm", "V E", "VI F", "viidim G#dim" } },
        { "C", "Pent. Major", 7, { "I C", "II Dsus4", "IV Gsus4", "v Am" } },
        { "F#", "Minor",      7, { "i F#m", "iidim G#dim", "III A", "iv Bm", "v C#m", "VI D", "VII E" } },
        { "G", "Major",       3, { "I G", "ii Am", "iii Bm" } },
        { "Bb", "Major",      7, {} },   // flat names are no key roots
        { "c", "Major",       7, {} },
    };

    for (const auto& c : cases)
        EXPECT_EQ (labelsOf (buildQuickChords (c.key, c.scale, c.limit)), c.labels) << c.key << " " << c.scale;

    const auto chords = buildQuickChords ("A", "Harm. Minor", 7);
    ASSERT_EQ (chords.size(), 7u);
    EXPECT_EQ (chords[6].root, "G#");
    EXPECT_EQ (chords[6].quality, "dim");
    EXPECT_EQ (chords[4].quality, "");
}

TEST (LengthTexts, ValidityBarsAndLabels)
{
    struct Case { const char* text; bool valid; double bars; const char* label; };
    const Case cases[] = {
        { "1",      true,  1.0,  "1 bar" },
        { "1.0",    true,  1.0,  "1 bar" },
        { "0.5",    true,  0.5,  "0.50 bar" },
        { "0.50",   true,  0.5,  "0.50 bar" },
        { "0.25",   true,  0.25, "0.25 bar" },
        { "2",      true,  2.0,  "2 bars" },
        { "8",      true,  8.0,  "8 bars" },
        { "3",      true,  3.0,  "3 bars" },
        { "1.5",    true,  1.5,  "1.5 bars" },
        { "T256",   true,  1.0,  "T256" },     // a tick length counts as one bar when stepping
        { "t96",    true,  1.0,  "t96" },
        { "T",      false, 1.0,  "T" },
        { "T0",     false, 1.0,  "T0" },
        { "0",      false, 0.0,  "0 bars" },
        { "",       false, 0.0,  " bars" },
        { "2 bars", true,  2.0,  "2 bars" },   // the lenient number: the label reads as its number
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (isValidLengthText (c.text), c.valid) << c.text;
        EXPECT_DOUBLE_EQ (lengthTextBars (c.text), c.bars) << c.text;
        EXPECT_EQ (formatLengthLabel (c.text), c.label) << c.text;
    }
}

TEST (LengthTexts, MatchByNumberOrByTickTextIgnoringCase)
{
    struct Case { const char* a; const char* b; bool match; };
    const Case cases[] = {
        { "0.5", "0.50", true }, { "0.5", "0.5002", false }, { "2", "2.00005", true },
        { "T256", "t256", true }, { "T256", "T512", false }, { "T512", "1", false }, { "1", "2", false },
    };

    for (const auto& c : cases)
        EXPECT_EQ (lengthTextsMatch (c.a, c.b), c.match) << c.a << " / " << c.b;
}

TEST (QualityPartsLookup, FindsTheRowOfAQualityUnderAnyOfItsNames)
{
    struct Case { const char* quality; const char* character; const char* color; };
    const Case cases[] = {
        { "",       "major", "None" }, { "major", "major", "None" }, { "M", "major", "None" },
        { "min",    "m",     "None" }, { "7sus4", "sus4",  "7" },    { "M7", "major", "maj7" },
        { "m7b5",   "m",     "7b5" },  { "5",     "5",     "None" },
    };

    for (const auto& c : cases)
    {
        const auto* row = findQualityPartsRow (c.quality);
        ASSERT_NE (row, nullptr) << c.quality;
        EXPECT_EQ (row->character, c.character) << c.quality;
        EXPECT_EQ (row->color, c.color) << c.quality;
        EXPECT_EQ (findQualityPartsRow (row->character, row->color), row) << c.quality;
    }

    EXPECT_EQ (findQualityPartsRow ("7sus2"), nullptr);
    EXPECT_EQ (findQualityPartsRow ("aug", "7"), nullptr);
}

TEST (ChoiceBox, PutsPassingEntriesFirstAndSelectsByExactText)
{
    juce::ScopedJuceInitialiser_GUI gui;
    juce::ComboBox box;
    fillChoiceBox (box, { "C", "C#", "D", "D#", "E" }, 3,
                   [] (const juce::String& note) { return ! note.containsChar ('#'); });
    EXPECT_EQ (itemsOf (box), (Texts { "C:3", "D:4", "E:5", "C#:6", "D#:7" }));

    selectBoxItemByText (box, "D#");
    EXPECT_EQ (box.getSelectedId(), 7);
    EXPECT_EQ (box.getText(), "D#");

    selectBoxItemByText (box, "d");   // exact: no entry, so the text stands in the box
    EXPECT_EQ (box.getSelectedId(), 0);
    EXPECT_EQ (box.getText(), "d");
}
