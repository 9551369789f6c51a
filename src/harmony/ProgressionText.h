#pragma once

#include <juce_core/juce_core.h>

#include <vector>

// The token model of a progression text: chord tokens separated by spaces, such as
// "C:2 Am F/A G7{V/V}:T256 R". The editors normalise, show and edit a progression token by
// token with these functions; the compile reads the text with rules of its own.

struct ChordToken
{
    juce::String text;             // normalised token (valid chord or rest), else the trimmed input
    juce::String root { "C" };     // as written, e.g. "bb"; "C" for a rest or an unreadable token
    juce::String quality;          // canonical quality; empty for the major triad and for a rest
    juce::String bass;             // slash bass as written; empty when none
    juce::String duration { "1" }; // text after ":" (trimmed); "1" when missing or empty
    juce::String option;           // "{V/V}", "{TT}", "{CM}" or empty
    bool isRest = false;
    bool isValid = true;
    bool hasDuration = false;
};

// The text as it stands when its bytes are UTF-8; otherwise rewritten character by character.
// The framework's text functions step over a broken byte sequence in more than one way (by
// the lead byte in one place, by the continuation bytes that follow in another), so indexes
// found by one are wrong for another and a token would be cut in the wrong place. Text from
// a damaged state chunk may hold such bytes; every reader of progression text takes it
// through here first.
juce::String withWellFormedUtf8 (const juce::String& text);

// The canonical spelling of a chord quality (e.g. "M7" -> "maj7", "min" -> "m", "Major" -> "").
// Exact, case-sensitive, after trimming; a text that is no alias comes back trimmed.
juce::String canonicalQuality (const juce::String& quality);

// Reads one token. Never fails: an unreadable token has isValid false and keeps its text.
ChordToken parseChordToken (const juce::String& tokenText);

// Splits a progression text at spaces (only) and reads every non-empty piece.
std::vector<ChordToken> parseProgressionTokens (const juce::String& progressionText);

// The chord symbol of a token without its duration: "R" for a rest, the typed text for an
// unreadable token, else root + canonical quality + "/" + bass + option tag.
juce::String formatChordSymbol (const ChordToken& token);

// Writes tokens back as a progression text, rebuilding every readable token from its fields.
juce::String joinProgressionTokens (const std::vector<ChordToken>& tokens);

// The canonical form of a progression text.
juce::String normaliseProgressionText (const juce::String& progressionText);

// A token's length for display, e.g. "1 bar", "2 bars", "0.25 bars". Durations in ticks
// ("T256") count 512 to the bar, at least a quarter bar; an unreadable or non-positive
// duration shows as one bar.
juce::String formatDurationLabel (const ChordToken& token);

// "{V/V}" -> "V/V", "{TT}" -> "TT", "{CM}" -> "CM"; anything else (compared exactly) -> empty.
juce::String harmonicOptionLabel (const juce::String& optionTag);

// A positive count of bars as display text ("2 bars", "1 bar", "0.5 bars"): whole numbers
// (within 0.001) without decimals, others with at most two. Shared by the bar-count labels.
juce::String formatBarNumberWithUnit (double bars);
