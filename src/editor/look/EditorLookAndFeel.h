#pragma once

#include "kit/dialogs/PopupMenuPlacement.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The window's own look: every button, combo box, text field and knob of the plug-in window in
// the Mocha palette. Installed on the editor, so every child inherits it; its combo lists open
// inside the plug-in window (the kit's popup placement). Message thread only.
class EditorLookAndFeel : public velmar::PopupMenuPlacement::LookAndFeel<juce::LookAndFeel_V4>
{
public:
    EditorLookAndFeel();

    void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour& backgroundColour,
                               bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

    // The framework's button text, except that a text it would cut even when squeezed (such as
    // "Follower" on the narrow sync button while the tempo hint shows) is set smaller instead.
    void drawButtonText (juce::Graphics&, juce::TextButton&, bool shouldDrawButtonAsHighlighted,
                         bool shouldDrawButtonAsDown) override;

    // The font for a button text in this width: the given one when the text fits squeezed to
    // the framework's 70 %, else one just small enough (never below 9 px).
    static juce::Font fitButtonFont (const juce::Font& font, const juce::String& text, float width);

    void drawComboBox (juce::Graphics&, int width, int height, bool isButtonDown,
                       int buttonX, int buttonY, int buttonW, int buttonH, juce::ComboBox&) override;

    // A knob wider than the value column draws the framework knob to the right of its value
    // text, with one tick per step of its range.
    void drawRotarySlider (juce::Graphics&, int x, int y, int width, int height, float sliderPosProportional,
                           float rotaryStartAngle, float rotaryEndAngle, juce::Slider&) override;

    void drawTextEditorOutline (juce::Graphics&, int width, int height, juce::TextEditor&) override;
    void fillTextEditorBackground (juce::Graphics&, int width, int height, juce::TextEditor&) override;

    // The width kept at a knob's left for its value text.
    static constexpr int valueColumnWidth = 55;

    // How many ticks a knob shows: one per step of its range (at least 2), else 5.
    static int tickCount (double minimum, double maximum, double interval);

    // Which tick is lit for the value (or, without steps, for the position along the arc).
    static int activeTick (double value, double minimum, double interval, float positionProportional, int ticks);
};
