#pragma once

#include <juce_graphics/juce_graphics.h>

// The kit's own cards and dialogs (help, welcome, support) draw with the published Catppuccin
// Macchiato colours and a few shades of their own, apart from the window's palette, so that a
// product can restyle its window without touching them.
namespace velmar::DialogColours
{
inline const juce::Colour scrim         { 0xd8070911 };   // over the whole window behind a card
inline const juce::Colour helpCard      { 0xff11111b };   // the help dialog's card
inline const juce::Colour crust         { 0xff181926 };   // card bodies, header strips, primary button text
inline const juce::Colour mantle        { 0xff1e2030 };   // header strips, text fields
inline const juce::Colour base          { 0xff24273a };   // footer strips, buttons, boxes, tooltips
inline const juce::Colour raised        { 0xff2b3042 };   // secondary buttons, switch boxes
inline const juce::Colour hover         { 0xff30364a };   // hovered and pressed tints
inline const juce::Colour surface2      { 0xff5b6078 };   // borders, outlines, separators
inline const juce::Colour subtext0      { 0xffa5adcb };   // labels, notes, placeholders
inline const juce::Colour text          { 0xffcad3f5 };   // titles and body text
inline const juce::Colour teal          { 0xff8bd5ca };   // primary buttons, links, headings, focus rings
inline const juce::Colour linkHover     { 0xff39c5cf };   // a link under the mouse
inline const juce::Colour pink          { 0xfff5bde6 };   // the update notice
inline const juce::Colour red           { 0xffed8796 };   // error status
} // namespace velmar::DialogColours
