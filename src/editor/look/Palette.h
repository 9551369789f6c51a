#pragma once

#include <juce_graphics/juce_graphics.h>

// The window's one dark palette: the published Catppuccin Mocha colours. Every view, panel and
// look-and-feel of the window draws with these, so that one place names each shade.
namespace Palette
{
inline const juce::Colour mantle   { 0xff181825 };   // piano-roll, panel bodies, popup menus, scrim
inline const juce::Colour base     { 0xff1e1e2e };   // window background, panel headers, fields
inline const juce::Colour surface0 { 0xff313244 };   // button bodies, cells, bar lines
inline const juce::Colour surface1 { 0xff45475a };   // hovered or selected, toggled buttons
inline const juce::Colour surface2 { 0xff585b70 };   // thin outlines, pressed states
inline const juce::Colour overlay0 { 0xff6c7086 };   // disabled role text of suggestion cards
inline const juce::Colour overlay2 { 0xff9399b2 };   // field outlines, scroll-bar thumb, panel frame
inline const juce::Colour subtext0 { 0xffa6adc8 };   // secondary text, knob ticks, idle status
inline const juce::Colour subtext1 { 0xffbac2de };   // labels, dialog messages, off button text
inline const juce::Colour text     { 0xffcdd6f4 };   // primary text, playhead
inline const juce::Colour lavender { 0xffb4befe };   // keyboard-focus rings
inline const juce::Colour mauve    { 0xffcba6f7 };   // accent, the Shimmer layer
inline const juce::Colour blue     { 0xff89b4fa };   // the Body layer
inline const juce::Colour teal     { 0xff94e2d5 };   // the Bass layer
inline const juce::Colour green    { 0xffa6e3a1 };   // done
inline const juce::Colour yellow   { 0xfff9e2af };   // working, warnings, refusals
inline const juce::Colour peach    { 0xfffab387 };   // harmonic option or outside the scale
inline const juce::Colour red      { 0xfff38ba8 };   // destructive actions, errors

// Status colours outside the palette: the project library's, also those of typed and chord
// draft edits.
inline const juce::Colour libraryGreen  { 0xff90ee90 };
inline const juce::Colour libraryOrange { 0xffffa500 };

// Status colours of the sync controls, outside the palette: a role taken (the library's green),
// a leader refused (its orange), sync switched off.
inline const juce::Colour& syncGreen  = libraryGreen;
inline const juce::Colour& syncOrange = libraryOrange;
inline const juce::Colour  syncGrey   { 0xff808080 };

// Layer colours are the same everywhere.
inline const juce::Colour& bassLayer    = teal;
inline const juce::Colour& bodyLayer    = blue;
inline const juce::Colour& shimmerLayer = mauve;
} // namespace Palette
