#include "chord_editor/ChordEditPopover.h"

#include "chord_editor/ChoiceBox.h"
#include "editor/look/Palette.h"
#include "harmony/ScaleTable.h"

namespace
{
const juce::Colour gridOnColour = Palette::mauve.withAlpha (0.32f);

void setButtonColours (juce::Button& button, juce::Colour face, juce::Colour on, juce::Colour textOff, juce::Colour textOn)
{
    button.setColour (juce::TextButton::buttonColourId, face);
    button.setColour (juce::TextButton::buttonOnColourId, on);
    button.setColour (juce::TextButton::textColourOffId, textOff);
    button.setColour (juce::TextButton::textColourOnId, textOn);
}

void setGridColours (juce::Button& button, juce::Colour textOff = Palette::text)
{
    setButtonColours (button, Palette::surface0, gridOnColour, textOff, Palette::text);
}

// Cells of equal width across an area, separated by gaps; a cell or gap never reaches past the
// area, and the last cell takes whatever is left.
template <typename Cells>
void placeEqualCells (Cells& cells, juce::Rectangle<int> area, int gap)
{
    const int count = (int) std::size (cells);
    const int width = juce::jmax (0, area.getWidth());
    const int cell = juce::jmax (0, (width - (count - 1) * gap) / count);
    int x = area.getX();
    int left = width;

    for (int i = 0; i < count; ++i)
    {
        const int w = i == count - 1 ? left : juce::jmin (cell, left);
        cells[(size_t) i]->setBounds (x, area.getY(), w, area.getHeight());
        x += w;
        left -= w;

        const int g = juce::jmin (gap, left);
        x += g;
        left -= g;
    }
}

// A value control between two narrow step buttons.
void placeSteppedRow (juce::Component& before, juce::Component& middle, juce::Component& after, int x, int y, int width)
{
    const int step = juce::jlimit (29, 36, width / 5);
    const int beforeWidth = juce::jmin (step, width);
    const int afterWidth = juce::jmin (step, width - beforeWidth);
    before.setBounds (x, y, beforeWidth, 29);
    after.setBounds (x + width - afterWidth, y, afterWidth, 29);
    middle.setBounds (x + beforeWidth, y, width - beforeWidth - afterWidth, 29);
}

template <typename Array>
int indexOf (const Array& buttons, const juce::Button* button)
{
    for (size_t i = 0; i < std::size (buttons); ++i)
        if (&buttons[i] == button)
            return (int) i;
    return -1;
}
} // namespace

ChordEditPopover::ChordEditPopover()
{
    setTitle ("Chord Progression Editor");
    setWantsKeyboardFocus (true);
    configureControls();

    rebuildChoiceBoxes ("C", "major", "None");
    for (auto* box : { &rootBox, &characterBox, &colorBox, &bassBox })
        box->setSelectedItemIndex (0, juce::dontSendNotification);

    lengthEditor.setText ("1 bar", false);
    lengthEditor.setInputRestrictions (8, "0123456789.Tt");

    refreshQuickChords();
    refreshGridButtons();
    easyButton.setToggleState (! expertMode, juce::dontSendNotification);
    expertButton.setToggleState (expertMode, juce::dontSendNotification);
    updateModeVisibility (hasChord);
    refreshSuggestionButtons();
    refreshQuickChords();
}

ChordEditPopover::~ChordEditPopover() = default;

void ChordEditPopover::configureControls()
{
    for (auto* box : { &rootBox, &characterBox, &colorBox, &bassBox })
        addChildComponent (*box);
    characterBox.setEditableText (true);

    std::vector<juce::Button*> listened;

    for (size_t i = 0; i < rootButtons.size(); ++i)
        rootButtons[i].setButtonText (getRootChoices()[(int) i]);
    for (size_t i = 0; i < characterButtons.size(); ++i)
        characterButtons[i].setButtonText (getCharacterChoices()[i].label);
    for (size_t i = 0; i < colorButtons.size(); ++i)
        colorButtons[i].setButtonText (i < (size_t) getColorChoices().size() ? getColorChoices()[(int) i] : juce::String ("More"));

    for (auto& button : suggestionButtons)  { setGridColours (button); listened.push_back (&button); }
    for (auto& button : rootButtons)        { setGridColours (button); listened.push_back (&button); }
    for (auto& button : characterButtons)   { setGridColours (button); listened.push_back (&button); }
    for (auto& button : colorButtons)       { setGridColours (button); listened.push_back (&button); }

    previousSlashButton.setButtonText (juce::String::charToString ((juce::juce_wchar) 0x2039));
    nextSlashButton.setButtonText (juce::String::charToString ((juce::juce_wchar) 0x203a));
    shorterButton.setButtonText (juce::String::charToString ((juce::juce_wchar) 0x2212));
    longerButton.setButtonText ("+");
    slashButton.setButtonText ("None");

    for (auto* button : { &previousSlashButton, &slashButton, &nextSlashButton, &shorterButton, &longerButton })
        setGridColours (*button);
    setGridColours (quickChordsButton, Palette::text.withAlpha (0.88f));
    setButtonColours (restButton, Palette::surface0, gridOnColour, Palette::subtext1, Palette::text);

    for (auto* tab : { &easyButton, &expertButton })
        setButtonColours (*tab, Palette::surface0, Palette::surface0.interpolatedWith (Palette::subtext1, 0.18f),
                          Palette::subtext1, Palette::text);
    applyButton.setColour (juce::TextButton::buttonColourId, Palette::surface0);
    applyButton.setColour (juce::TextButton::textColourOffId, Palette::mauve);
    cancelButton.setColour (juce::TextButton::buttonColourId, Palette::surface0);
    cancelButton.setColour (juce::TextButton::textColourOffId, Palette::text);

    lengthEditor.setColour (juce::TextEditor::backgroundColourId, Palette::surface0);
    lengthEditor.setColour (juce::TextEditor::textColourId, Palette::text);
    lengthEditor.setColour (juce::TextEditor::outlineColourId, Palette::surface2);
    lengthEditor.setColour (juce::TextEditor::focusedOutlineColourId, Palette::mauve);
    lengthEditor.setJustification (juce::Justification::centred);
    // A click into the field keeps the whole length selected, as gaining the focus by tab does.
    lengthEditor.setSelectAllWhenFocused (true);

    restButton.setClickingTogglesState (true);
    easyButton.setClickingTogglesState (true);
    expertButton.setClickingTogglesState (true);

    easyButton.setConnectedEdges (juce::Button::ConnectedOnRight);
    expertButton.setConnectedEdges (juce::Button::ConnectedOnLeft);
    previousSlashButton.setConnectedEdges (juce::Button::ConnectedOnRight);
    slashButton.setConnectedEdges (juce::Button::ConnectedOnLeft | juce::Button::ConnectedOnRight);
    nextSlashButton.setConnectedEdges (juce::Button::ConnectedOnLeft);
    shorterButton.setConnectedEdges (juce::Button::ConnectedOnRight);
    longerButton.setConnectedEdges (juce::Button::ConnectedOnLeft);

    easyButton.setTooltip ("Guided chord suggestions");
    expertButton.setTooltip ("Detailed chord controls");
    quickChordsButton.setTooltip ("Choose a chord from the current key");
    previewButton.setTooltip ("Hold to preview the current chord; release to stop");
    previousSlashButton.setTooltip ("Previous slash chord; right-click for shortcuts");
    slashButton.setTooltip ("Current slash chord; click or right-click for shortcuts");
    nextSlashButton.setTooltip ("Next slash chord; right-click for shortcuts");
    shorterButton.setTooltip ("Shorter chord; right-click for shortcuts");
    longerButton.setTooltip ("Longer chord; right-click for shortcuts");
    lengthEditor.setTooltip ("Type any positive bar length; right-click for shortcuts");

    previewButton.setButtonText ("Hold to preview");
    previewButton.onHoldStart = [this] { if (onPreviewStart) onPreviewStart(); };
    previewButton.onHoldEnd = [this] { if (onPreviewEnd) onPreviewEnd(); };

    const auto stepBass = [this] (bool forward)
    {
        const int count = bassBox.getNumItems();
        if (count <= 0)
            return;
        const int selected = bassBox.getSelectedItemIndex();
        const int target = forward ? (selected <= 0 ? 1 : selected + 1) : (selected <= 0 ? -1 : selected - 1);
        selectBassIndex ((count + target) % count);
    };
    previousSlashButton.onClick = [stepBass] { stepBass (false); };
    nextSlashButton.onClick = [stepBass] { stepBass (true); };
    slashButton.onClick = [this] { showSlashMenu (slashButton); };
    for (auto* button : { &previousSlashButton, &slashButton, &nextSlashButton })
        button->onShortcutMenu = [this, button] { showSlashMenu (*button); };

    shorterButton.onClick = [this] { stepLength (-1); };
    longerButton.onClick = [this] { stepLength (1); };
    for (auto* button : { &shorterButton, &longerButton })
        button->onShortcutMenu = [this, button] { showLengthMenu (*button); };

    lengthEditor.onShortcutMenu = [this] { showLengthMenu (lengthEditor); };
    lengthEditor.onTextChange = [this] { lengthTextTyped(); };
    lengthEditor.onFocusGained = [this] { lengthFieldFocused(); };
    lengthEditor.onFocusLost = [this] { commitLengthField(); };
    lengthEditor.onReturnKey = [this]
    {
        commitLengthField();
        applyChord();
    };

    for (auto* button : { &restButton, &applyButton, &cancelButton, &easyButton, &expertButton, &quickChordsButton })
        listened.push_back (button);
    for (auto* button : listened)
        button->addListener (this);

    for (auto* component : std::initializer_list<juce::Component*> {
             &previousSlashButton, &slashButton, &nextSlashButton, &shorterButton, &lengthEditor, &longerButton,
             &restButton, &easyButton, &expertButton, &quickChordsButton, &previewButton, &applyButton, &cancelButton })
        addAndMakeVisible (component);
    for (auto& button : suggestionButtons)  addAndMakeVisible (button);
    for (auto& button : rootButtons)        addAndMakeVisible (button);
    for (auto& button : characterButtons)   addAndMakeVisible (button);
    for (auto& button : colorButtons)       addAndMakeVisible (button);
}

//==============================================================================
void ChordEditPopover::setKeyAndScale (const juce::String& key, const juce::String& scale)
{
    keyRoot = getPitchClass (key) >= 0 ? key.trim() : juce::String ("C");
    scaleName = normaliseScaleName (scale);
    refreshQuickChords();
    rebuildSuggestions();
    refreshControls();
}

void ChordEditPopover::setContext (const std::vector<ChordToken>& tokens, int position, bool replaces, const juce::String& mood)
{
    contextTokens = tokens;
    editPosition = position;
    replacesChord = replaces;
    moodName = mood;
    rebuildSuggestions();
}

void ChordEditPopover::openChord (int index, const ChordToken& token)
{
    suppressChangeNotifications = true;
    hasChord = true;
    chordIndex = index;
    durationWritten = token.hasDuration;
    optionTag = token.option;
    restButton.setToggleState (token.isRest, juce::dontSendNotification);

    setTitle ("Chord Progression Editor");
    applyButton.setButtonText ("Apply & Close");
    applyButton.setVisible (true);

    updateModeVisibility (true);
    loadToken (token);

    applyRestState();
    refreshQuickChords();
    rebuildSuggestions();
    refreshControls();

    setVisible (true);
    toFront (false);

    // Only a panel on the screen can hold the focus (a window not yet shown, a test without one).
    if (isShowing())
        grabKeyboardFocus();

    resetLocalHistory();
    suppressChangeNotifications = false;
}

void ChordEditPopover::showEmpty()
{
    durationWritten = false;
    suppressChangeNotifications = true;
    hasChord = false;
    chordIndex = -1;
    optionTag.clear();

    setTitle ("Chord Progression Editor");
    applyButton.setButtonText ("Apply & Close");
    applyButton.setVisible (true);
    updateModeVisibility (false);

    setVisible (true);
    toFront (false);
    resetLocalHistory();
    suppressChangeNotifications = false;
    resized();
    repaint();
}

void ChordEditPopover::loadToken (const ChordToken& token)
{
    selectBoxItemByText (rootBox, token.root);
    setQuality (token.quality);
    selectBoxItemByText (bassBox, token.bass.isEmpty() ? juce::String ("None") : token.bass);
    lastValidLength = token.duration.isEmpty() ? juce::String ("1") : token.duration;
    lengthEditor.setText (formatLengthLabel (lastValidLength), false);
}

//==============================================================================
void ChordEditPopover::updateModeVisibility (bool visible)
{
    for (auto* box : { &rootBox, &characterBox, &colorBox, &bassBox })
        box->setVisible (false);

    for (auto* component : std::initializer_list<juce::Component*> {
             &previousSlashButton, &slashButton, &nextSlashButton, &shorterButton, &lengthEditor, &longerButton,
             &restButton, &easyButton, &expertButton, &previewButton })
        component->setVisible (visible);

    quickChordsButton.setVisible (visible && expertMode);

    for (auto& button : suggestionButtons)
        button.setVisible (visible && ! expertMode);

    for (auto& button : rootButtons)        button.setVisible (visible && expertMode);
    for (auto& button : characterButtons)   button.setVisible (visible && expertMode);
    for (auto& button : colorButtons)       button.setVisible (visible && expertMode);

    refreshSuggestionButtons();
}

void ChordEditPopover::buttonClicked (juce::Button* button)
{
    if (button == &easyButton || button == &expertButton)
    {
        expertMode = (button == &expertButton);
        easyButton.setToggleState (! expertMode, juce::dontSendNotification);
        expertButton.setToggleState (expertMode, juce::dontSendNotification);
        updateModeVisibility (hasChord);
        refreshQuickChords();
        resized();
        repaint();

        if (onModeChanged)
            onModeChanged();
        return;
    }

    if (button == &quickChordsButton)
    {
        showQuickChordsMenu();
        return;
    }

    if (const int index = indexOf (suggestionButtons, button); index >= 0)
    {
        suggestionButtonClicked (index);
        return;
    }

    if (const int index = indexOf (rootButtons, button); index >= 0)
    {
        rootButtonClicked (index);
        return;
    }

    if (const int index = indexOf (characterButtons, button); index >= 0)
    {
        characterButtonClicked (index);
        return;
    }

    if (const int index = indexOf (colorButtons, button); index >= 0)
    {
        colorButtonClicked (index);
        return;
    }

    if (button == &restButton)
    {
        applyRestState();
        // A rest is none of the suggestions: their marks follow at once, not on the next rebuild.
        refreshSuggestionButtons();
        repaint();
        notifyChordChanged();
        return;
    }

    if (button == &cancelButton)
    {
        previewButton.endHold();
        setVisible (false);

        if (onCancel)
            onCancel();
        return;
    }

    if (button == &applyButton)
        applyChord();
}

void ChordEditPopover::applyChord()
{
    previewButton.endHold();

    if (onApply)
        onApply (chordIndex, hasChord ? buildChordText() : juce::String());
}

bool ChordEditPopover::keyPressed (const juce::KeyPress& key)
{
    const auto mods = key.getModifiers();
    const int code = key.getKeyCode();

    if ((code == 'Z' || code == 'z') && mods.isCtrlDown() && ! mods.isAltDown())
    {
        const bool redo = mods.isShiftDown();

        if (onUndoRedo)
            onUndoRedo (redo);
        else if (redo)
            stepLocalHistory (localRedoStack, localUndoStack);
        else
            stepLocalHistory (localUndoStack, localRedoStack);

        return true;
    }

    if (code == juce::KeyPress::returnKey)
    {
        applyChord();
        return true;
    }

    return false;
}

//==============================================================================
void ChordEditPopover::pushLocalHistory (std::vector<juce::String>& stack, const juce::String& text)
{
    stack.push_back (text);

    if ((int) stack.size() > historyDepth)
        stack.erase (stack.begin());
}

void ChordEditPopover::notifyChordChanged()
{
    if (suppressChangeNotifications || loadingText || ! hasChord)
        return;

    const auto text = buildChordText();

    if (! hasRecordedText)
    {
        recordedText = text;
        hasRecordedText = true;
    }
    else if (text != recordedText)
    {
        pushLocalHistory (localUndoStack, recordedText);
        localRedoStack.clear();
        recordedText = text;
    }

    if (onChordChanged)
        onChordChanged (chordIndex, buildChordText());
}

bool ChordEditPopover::stepLocalHistory (std::vector<juce::String>& from, std::vector<juce::String>& to)
{
    if (! hasChord || from.empty())
        return false;

    const auto text = from.back();
    from.pop_back();

    if (buildChordText() != text)
        pushLocalHistory (to, buildChordText());

    loadChordText (text);
    recordedText = buildChordText();
    hasRecordedText = true;
    return true;
}

void ChordEditPopover::loadChordText (const juce::String& text)
{
    const juce::ScopedValueSetter<bool> loading (loadingText, true);

    const auto token = parseChordToken (text);
    durationWritten = token.hasDuration;
    optionTag = token.option;
    restButton.setToggleState (token.isRest, juce::dontSendNotification);
    loadToken (token);

    applyRestState();
    refreshQuickChords();
    refreshControls();

    if (onChordChanged)
        onChordChanged (chordIndex, buildChordText());
}

void ChordEditPopover::resetLocalHistory()
{
    localUndoStack.clear();
    localRedoStack.clear();
    recordedText = hasChord ? buildChordText() : juce::String();
    hasRecordedText = hasChord;
}

//==============================================================================
ChordEditPopover::Columns ChordEditPopover::columnLayout() const
{
    const int content = juce::jmax (0, getWidth() - 50);

    Columns columns;
    columns.rightWidth = juce::jmin (content, juce::jlimit (166, 190, content * 35 / 100));
    columns.rightX = 25 + content - columns.rightWidth;
    columns.leftX = 25;
    columns.leftWidth = juce::jmax (0, columns.rightX - 17 - columns.leftX);
    columns.dividerX = columns.rightX - 9;
    return columns;
}

void ChordEditPopover::clearBounds()
{
    for (auto* component : std::initializer_list<juce::Component*> {
             &rootBox, &characterBox, &colorBox, &bassBox,
             &previousSlashButton, &slashButton, &nextSlashButton, &shorterButton, &lengthEditor, &longerButton,
             &restButton, &quickChordsButton, &previewButton })
        component->setBounds ({});

    for (auto& button : suggestionButtons)  button.setBounds ({});
    for (auto& button : rootButtons)        button.setBounds ({});
    for (auto& button : characterButtons)   button.setBounds ({});
    for (auto& button : colorButtons)       button.setBounds ({});
}

void ChordEditPopover::resized()
{
    const int width = getWidth();

    // Header buttons, packed leftwards from the right edge; each takes what space is left.
    int right = width - 25;
    int left = juce::jmax (0, width - 50);
    const auto take = [&] (int wanted)
    {
        const int taken = juce::jmin (wanted, left);
        right -= taken;
        left -= taken;
        return taken;
    };

    const int cancelWidth = take (78);
    cancelButton.setBounds (right, 8, cancelWidth, 29);

    if (width - 50 >= 78)
    {
        take (8);
        const int applyWidth = take (128);
        applyButton.setBounds (right, 8, applyWidth, 29);
        take (8);
        const int tabsWidth = take (144);
        const int easyWidth = juce::jmin (72, tabsWidth);
        easyButton.setBounds (right, 8, easyWidth, 29);
        expertButton.setBounds (right + easyWidth, 8, tabsWidth - easyWidth, 29);
    }
    else
    {
        applyButton.setBounds ({});
        easyButton.setBounds ({});
        expertButton.setBounds ({});
    }

    clearBounds();

    if (! hasChord)
        return;

    const auto columns = columnLayout();
    layoutRightColumn (columns);

    if (expertMode)
    {
        layoutExpertGrid (columns);
        return;
    }

    int budget = 127;
    int y = 197;

    for (auto& button : suggestionButtons)
    {
        const int height = juce::jmin (budget, 23);
        button.setBounds (columns.leftX, y, columns.leftWidth, height);
        y += height;
        budget -= height;

        const int gap = juce::jmin (budget, 3);
        y += gap;
        budget -= gap;
    }
}

void ChordEditPopover::layoutRightColumn (const Columns& columns)
{
    const int x = columns.rightX;
    const int w = columns.rightWidth;

    placeSteppedRow (previousSlashButton, slashButton, nextSlashButton, x, 97, w);
    placeSteppedRow (shorterButton, lengthEditor, longerButton, x, 161, w);
    restButton.setBounds (x, 219, w, 29);
    previewButton.setBounds (x, 264, w, 61);
}

void ChordEditPopover::layoutExpertGrid (const Columns& columns)
{
    const int l = columns.leftX;
    const int lw = columns.leftWidth;

    // The root keyboard: sharps above, naturals below, as on a piano.
    std::array<juce::Component*, 5> blackKeys;
    std::array<juce::Component*, 7> whiteKeys;
    size_t black = 0, white = 0;

    for (int pitchClass = 0; pitchClass < 12; ++pitchClass)
    {
        auto* key = &rootButtons[(size_t) pitchClass];
        if (getRootChoices()[pitchClass].containsChar ('#'))
            blackKeys[black++] = key;
        else
            whiteKeys[white++] = key;
    }

    placeEqualCells (blackKeys, { l + 38, 151, juce::jmax (0, lw - 76), 21 }, 6);
    placeEqualCells (whiteKeys, { l, 175, lw, 24 }, 5);

    std::array<juce::Component*, 7> characters, colors;
    for (size_t i = 0; i < 7; ++i)
    {
        characters[i] = &characterButtons[i];
        colors[i] = &colorButtons[i];
    }

    placeEqualCells (characters, { l, 218, lw, 25 }, 4);
    placeEqualCells (colors, { l, 263, lw, 25 }, 2);
    quickChordsButton.setBounds (l, 298, lw, 27);
}
