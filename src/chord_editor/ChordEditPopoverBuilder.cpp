// How the panel's controls hold and compose the chord: the hidden boxes, the buttons that
// follow them, the slash bass and length controls, and their menus.
#include "chord_editor/ChordEditPopover.h"

#include "chord_editor/ChoiceBox.h"
#include "editor/look/Palette.h"
#include "harmony/ChordEditorVocabulary.h"
#include "harmony/ScaleTable.h"
#include "kit/dialogs/PopupMenuPlacement.h"

namespace
{
juce::String firstWord (const juce::String& text)
{
    return text.trim().upToFirstOccurrenceOf (" ", false, false);
}

juce::String trimmedBass (const juce::ComboBox& bassBox)
{
    const auto bass = bassBox.getText().trim();
    return bass == "None" ? juce::String() : bass;
}

void setFitColour (juce::Button& button, bool fits)
{
    button.setColour (juce::TextButton::textColourOffId, fits ? Palette::text : Palette::peach.withAlpha (0.86f));
}
} // namespace

//==============================================================================
juce::String ChordEditPopover::buildChordText() const
{
    const auto length = currentLengthText();
    juce::String text;

    if (restButton.getToggleState())
    {
        text = "R";
    }
    else
    {
        text = rootBox.getText().trim() + currentQuality();

        if (const auto bass = trimmedBass (bassBox); bass.isNotEmpty())
            text << "/" << bass;

        text << optionTag;
    }

    if (durationWritten || length != "1")
        text << ":" << length;

    return text;
}

juce::String ChordEditPopover::currentLengthText() const
{
    // Without the focus the field shows a label ("2 bars"): its first word is the length.
    const auto word = firstWord (lengthEditor.getText());

    if (isValidLengthText (word))
        return word;
    if (isValidLengthText (lastValidLength))
        return lastValidLength;
    return "1";
}

juce::String ChordEditPopover::currentQuality() const
{
    const auto character = characterBox.getText().trim();

    if (const auto* row = findQualityPartsRow (character, colorBox.getText().trim()))
        return row->quality;

    return character == "major" ? juce::String() : character;
}

void ChordEditPopover::setQuality (const juce::String& quality)
{
    if (const auto* row = findQualityPartsRow (quality))
    {
        selectBoxItemByText (characterBox, row->character);
        fillColorBox (row->character, row->color);
        return;
    }

    // A quality the builder cannot split stands as the character, plain.
    const auto character = editorQualityKey (quality);
    selectBoxItemByText (characterBox, character);
    fillColorBox (character, "None");
}

void ChordEditPopover::fillColorBox (const juce::String& character, const juce::String& color)
{
    const juce::ScopedValueSetter<bool> updating (updatingBoxes, true);

    colorBox.clear (juce::dontSendNotification);
    int id = 1;

    for (const auto& row : getQualityPartsTable())
        if (row.character == character)
            colorBox.addItem (row.color, id++);

    selectBoxItemByText (colorBox, color);
}

void ChordEditPopover::rebuildChoiceBoxes (const juce::String& root, const juce::String& quality, const juce::String& bass)
{
    const juce::ScopedValueSetter<bool> updating (updatingBoxes, true);

    const auto inKey = [this] (const juce::String& note)
    {
        return isPitchInScale (keyRoot, scaleName, getPitchClass (note));
    };

    rootBox.clear (juce::dontSendNotification);
    fillChoiceBox (rootBox, getRootChoices(), 1, inKey);
    selectBoxItemByText (rootBox, root.trim().isEmpty() ? juce::String ("C") : root.trim());

    bassBox.clear (juce::dontSendNotification);
    bassBox.addItem ("None", 1);
    fillChoiceBox (bassBox, getRootChoices(), 2, inKey);
    selectBoxItemByText (bassBox, bass.trim().isEmpty() ? juce::String ("None") : bass.trim());

    juce::StringArray characters;
    for (const auto& choice : getCharacterChoices())
        characters.add (choice.value);

    const auto chordRoot = rootBox.getText().trim();
    characterBox.clear (juce::dontSendNotification);
    fillChoiceBox (characterBox, characters, 1, [this, &chordRoot] (const juce::String& character)
    {
        return chordFitsScale (keyRoot, scaleName, chordRoot, character);
    });

    setQuality (quality);
}

//==============================================================================
void ChordEditPopover::refreshControls()
{
    if (! hasChord)
        return;

    if (! updatingBoxes)
        rebuildChoiceBoxes (rootBox.getText(), currentQuality(), bassBox.getText());

    refreshSuggestionButtons();
    refreshGridButtons();
}

void ChordEditPopover::applyRestState()
{
    if (! hasChord)
        return;

    // A rest has a length but no notes: the length controls stay.
    const bool enabled = ! restButton.getToggleState();

    for (auto* component : std::initializer_list<juce::Component*> {
             &rootBox, &characterBox, &colorBox, &bassBox,
             &previousSlashButton, &slashButton, &nextSlashButton, &previewButton })
        component->setEnabled (enabled);

    refreshGridButtons();
}

void ChordEditPopover::refreshGridButtons()
{
    if (! hasChord)
        return;

    const bool rest = restButton.getToggleState();
    const auto root = rootBox.getText().trim();
    const auto character = characterBox.getText().trim();
    const auto color = colorBox.getText().trim();
    const auto key = keyRoot + " " + scaleName;

    const auto describeFit = [&key] (juce::Button& button, const juce::String& name, bool fits)
    {
        setFitColour (button, fits);
        button.setTooltip (name + (fits ? " fits " : " is outside ") + key);
    };

    for (int pitchClass = 0; pitchClass < 12; ++pitchClass)
    {
        auto& button = rootButtons[(size_t) pitchClass];
        const auto& note = getRootChoices()[pitchClass];
        button.setEnabled (! rest);
        button.setToggleState (note == root, juce::dontSendNotification);
        describeFit (button, note, isPitchInScale (keyRoot, scaleName, pitchClass));
    }

    for (size_t i = 0; i < characterButtons.size(); ++i)
    {
        auto& button = characterButtons[i];
        const auto& choice = getCharacterChoices()[i];
        button.setEnabled (! rest);
        button.setToggleState (choice.value == character, juce::dontSendNotification);
        describeFit (button, choice.label, chordFitsScale (keyRoot, scaleName, root, choice.value));
    }

    const auto& colors = getColorChoices();

    for (int i = 0; i < colors.size(); ++i)
    {
        auto& button = colorButtons[(size_t) i];
        const auto* row = findQualityPartsRow (character, colors[i]);
        button.setEnabled (! rest && row != nullptr);
        button.setToggleState (row != nullptr && colors[i] == color, juce::dontSendNotification);
        describeFit (button, colors[i], row == nullptr || chordFitsScale (keyRoot, scaleName, root, row->quality));
    }

    auto& more = colorButtons.back();
    const bool colorHasButton = colors.contains (color);
    more.setButtonText ("More");
    more.setEnabled (! rest && ! moreColors().isEmpty());
    more.setToggleState (! colorHasButton, juce::dontSendNotification);
    more.setColour (juce::TextButton::textColourOffId, Palette::text);
    more.setTooltip (colorHasButton ? juce::String ("More colors") : "More colors; selected: " + color);

    refreshSlashAndLength();
    repaint();
}

void ChordEditPopover::refreshSlashAndLength()
{
    const auto bass = bassBox.getText().trim();
    slashButton.setButtonText (bass.isEmpty() ? juce::String ("None") : bass);

    if (! lengthEditor.hasKeyboardFocus (true))
        lengthEditor.setText (formatLengthLabel (currentLengthText()), false);

    const double bars = lengthTextBars (currentLengthText());
    shorterButton.setEnabled (bars > 0.2501);
    longerButton.setEnabled (bars < 7.9999);
}

void ChordEditPopover::refreshQuickChords()
{
    quickChords = buildQuickChords (keyRoot, scaleName, 7);

    quickChordsButton.setButtonText ("Quick chords in " + keyRoot + " " + scaleName);
    quickChordsButton.setEnabled (! quickChords.empty());
    quickChordsButton.setTooltip ("Choose a chord from " + keyRoot + " " + scaleName);

    if (getWidth() > 0)
        resized();

    repaint();
}

//==============================================================================
void ChordEditPopover::turnRestOff()
{
    restButton.setToggleState (false, juce::dontSendNotification);
    applyRestState();
    refreshControls();
}

void ChordEditPopover::rootButtonClicked (int index)
{
    selectBoxItemByText (rootBox, getRootChoices()[index]);
    turnRestOff();
    repaint();
    notifyChordChanged();
}

void ChordEditPopover::characterButtonClicked (int index)
{
    const auto& value = getCharacterChoices()[(size_t) index].value;
    selectBoxItemByText (characterBox, value);
    fillColorBox (value, "None");
    turnRestOff();
    repaint();
    notifyChordChanged();
}

void ChordEditPopover::colorButtonClicked (int index)
{
    if (index >= getColorChoices().size())
    {
        showMoreColorsMenu();
        return;
    }

    selectBoxItemByText (colorBox, getColorChoices()[index]);
    turnRestOff();
    repaint();
    notifyChordChanged();
}

void ChordEditPopover::selectBassIndex (int index)
{
    if (index < 0 || index >= bassBox.getNumItems())
        return;

    bassBox.setSelectedItemIndex (index, juce::dontSendNotification);
    refreshControls();
    refreshSlashAndLength();
    repaint();
    notifyChordChanged();
}

void ChordEditPopover::selectQuickChord (int index)
{
    if (! hasChord || index < 0 || index >= (int) quickChords.size())
        return;

    const auto chord = quickChords[(size_t) index];
    takeRootAndQuality (chord.root, chord.quality);
}

void ChordEditPopover::takeRootAndQuality (const juce::String& root, const juce::String& quality)
{
    selectBoxItemByText (rootBox, root);
    setQuality (quality);
    turnRestOff();
    notifyChordChanged();
}

void ChordEditPopover::setLengthText (const juce::String& lengthText)
{
    lastValidLength = lengthText;
    lengthEditor.setText (lengthEditor.hasKeyboardFocus (true) ? lengthText : formatLengthLabel (lengthText), false);
    refreshSlashAndLength();
    notifyChordChanged();
}

void ChordEditPopover::stepLength (int direction)
{
    const double bars = lengthTextBars (currentLengthText());
    const auto& choices = getBarLengthChoices();
    const BarLengthChoice* chosen = nullptr;

    if (direction < 0)
    {
        for (const auto& choice : choices)
            if (choice.value.getDoubleValue() < bars - 0.0001)
                chosen = &choice;
        if (chosen == nullptr)
            chosen = &choices.front();
    }
    else
    {
        for (auto it = choices.rbegin(); it != choices.rend(); ++it)
            if (it->value.getDoubleValue() > bars + 0.0001)
                chosen = &*it;
        if (chosen == nullptr)
            chosen = &choices.back();
    }

    setLengthText (chosen->value);
}

void ChordEditPopover::commitLengthField()
{
    if (const auto word = firstWord (lengthEditor.getText()); isValidLengthText (word))
        lastValidLength = word;

    lengthEditor.setText (formatLengthLabel (currentLengthText()), false);
    refreshSlashAndLength();
}

void ChordEditPopover::lengthTextTyped()
{
    if (const auto word = firstWord (lengthEditor.getText()); isValidLengthText (word))
    {
        lastValidLength = word;
        notifyChordChanged();
    }
}

void ChordEditPopover::lengthFieldFocused()
{
    lengthEditor.setText (currentLengthText(), false);
    lengthEditor.selectAll();
}

//==============================================================================
juce::String ChordEditPopover::chordDisplayText() const
{
    if (restButton.getToggleState())
        return "REST";

    auto text = rootBox.getText().trim() + currentQuality();

    if (const auto bass = trimmedBass (bassBox); bass.isNotEmpty())
        text << "/" << bass;

    return text + optionTag;
}

juce::String ChordEditPopover::chordDescription() const
{
    if (restButton.getToggleState())
        return "Silence";

    const auto character = characterBox.getText().trim();
    auto characterLabel = character;

    for (const auto& choice : getCharacterChoices())
        if (choice.value == character)
            characterLabel = choice.label;

    juce::StringArray parts { rootBox.getText().trim(), characterLabel };

    if (const auto color = colorBox.getText().trim(); color.isNotEmpty() && color != "None")
        parts.add (color);

    return parts.joinIntoString (" + ");
}

bool ChordEditPopover::chordFitsKey() const
{
    if (restButton.getToggleState())
        return true;

    if (! chordFitsScale (keyRoot, scaleName, rootBox.getText().trim(), currentQuality()))
        return false;

    const auto bass = trimmedBass (bassBox);
    return bass.isEmpty() || (getPitchClass (bass) >= 0 && isPitchInScale (keyRoot, scaleName, getPitchClass (bass)));
}

//==============================================================================
juce::StringArray ChordEditPopover::moreColors() const
{
    const auto character = characterBox.getText().trim();
    juce::StringArray colors;

    for (const auto& row : getQualityPartsTable())
        if (row.character == character && ! getColorChoices().contains (row.color))
            colors.add (row.color);

    return colors;
}

juce::PopupMenu ChordEditPopover::makeSlashMenu() const
{
    juce::PopupMenu menu;

    if (restButton.getToggleState())
        return menu;

    const int selected = bassBox.getSelectedItemIndex();
    for (int i = 0; i < bassBox.getNumItems(); ++i)
        menu.addItem (i + 1, bassBox.getItemText (i), true, i == selected);

    return menu;
}

juce::PopupMenu ChordEditPopover::makeLengthMenu() const
{
    juce::PopupMenu menu;
    const auto length = currentLengthText();
    int id = 1;

    for (const auto& choice : getBarLengthChoices())
        menu.addItem (id++, choice.label, true, lengthTextsMatch (choice.value, length));

    return menu;
}

juce::PopupMenu ChordEditPopover::makeMoreColorsMenu() const
{
    juce::PopupMenu menu;
    const auto color = colorBox.getText().trim();
    int id = 1;

    for (const auto& extra : moreColors())
        menu.addItem (id++, extra, true, extra == color);

    return menu;
}

juce::PopupMenu ChordEditPopover::makeQuickChordsMenu() const
{
    juce::PopupMenu menu;
    const auto root = rootBox.getText().trim();
    const auto quality = currentQuality();
    int id = 1;

    for (const auto& chord : quickChords)
        menu.addItem (id++, chord.label, true, chord.root == root && chord.quality == quality);

    return menu;
}

void ChordEditPopover::chooseSlashMenuItem (int result)
{
    if (result >= 1)
        selectBassIndex (result - 1);
}

void ChordEditPopover::chooseLengthMenuItem (int result)
{
    const auto& choices = getBarLengthChoices();

    if (result >= 1 && result <= (int) choices.size())
        setLengthText (choices[(size_t) result - 1].value);
}

void ChordEditPopover::chooseMoreColorsMenuItem (int result)
{
    const auto colors = moreColors();

    if (result < 1 || result > colors.size())
        return;

    selectBoxItemByText (colorBox, colors[result - 1]);
    turnRestOff();
    repaint();
    notifyChordChanged();
}

void ChordEditPopover::chooseQuickChordsMenuItem (int result)
{
    if (result >= 1)
        selectQuickChord (result - 1);
}

void ChordEditPopover::showMenu (juce::PopupMenu menu, juce::Component& anchor, void (ChordEditPopover::*handler) (int))
{
    if (menu.getNumItems() == 0)
        return;

    const auto options = velmar::PopupMenuPlacement::withPlacement (juce::PopupMenu::Options().withTargetComponent (&anchor));
    juce::Component::SafePointer<ChordEditPopover> panel (this);

    menu.showMenuAsync (options, [panel, handler] (int result)
    {
        if (auto* target = panel.getComponent())
            (target->*handler) (result);
    });
}

void ChordEditPopover::showSlashMenu (juce::Component& anchor)
{
    showMenu (makeSlashMenu(), anchor, &ChordEditPopover::chooseSlashMenuItem);
}

void ChordEditPopover::showLengthMenu (juce::Component& anchor)
{
    showMenu (makeLengthMenu(), anchor, &ChordEditPopover::chooseLengthMenuItem);
}

void ChordEditPopover::showMoreColorsMenu()
{
    showMenu (makeMoreColorsMenu(), colorButtons.back(), &ChordEditPopover::chooseMoreColorsMenuItem);
}

void ChordEditPopover::showQuickChordsMenu()
{
    showMenu (makeQuickChordsMenu(), quickChordsButton, &ChordEditPopover::chooseQuickChordsMenuItem);
}
