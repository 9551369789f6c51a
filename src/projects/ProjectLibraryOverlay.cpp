#include "projects/ProjectLibraryOverlay.h"

#include "editor/look/Palette.h"

namespace
{
    void styleActionButton (juce::TextButton& button, juce::Colour colour)
    {
        button.setColour (juce::TextButton::buttonColourId, colour);
        button.setColour (juce::TextButton::textColourOnId, Palette::mauve);
        button.setColour (juce::TextButton::textColourOffId, Palette::text);
        button.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    }

    void styleField (juce::TextEditor& field)
    {
        field.setColour (juce::TextEditor::backgroundColourId, Palette::base);
        field.setColour (juce::TextEditor::textColourId, Palette::text);
        field.setColour (juce::TextEditor::outlineColourId, Palette::overlay2);
        field.setColour (juce::TextEditor::focusedOutlineColourId, Palette::mauve);
    }

    void styleCaption (juce::Label& caption, const juce::String& text)
    {
        caption.setText (text, juce::dontSendNotification);
        caption.setFont (juce::Font (12.0f, juce::Font::bold));
        caption.setColour (juce::Label::textColourId, Palette::subtext1);
    }

    const juce::Colour dangerColour = Palette::red.withAlpha (0.36f);
    constexpr int headerHeight = 55;
    constexpr int rowHeight = 28;
    constexpr int rowPitch = 34;
} // namespace

// The card and its columns for the overlay's size, shared by paint and resized.
struct ProjectLibraryOverlay::Geometry
{
    int x = 0, y = 0, width = 0, height = 0;
    int bodyX = 0, bodyY = 0, bodyWidth = 0, bodyHeight = 0;
    int leftWidth = 0, rightX = 0, rightWidth = 0;
};

ProjectLibraryOverlay::ProjectLibraryOverlay()
{
    styleCaption (nameCaption, "Name");
    addAndMakeVisible (nameCaption);

    styleField (nameEditor);
    nameEditor.setJustification (juce::Justification::centredLeft);
    nameEditor.setIndents (10, 5);
    nameEditor.onReturnKey = [this] { submitSave(); };
    nameEditor.onEscapeKey = [this] { close(); };
    addAndMakeVisible (nameEditor);

    styleCaption (descriptionCaption, "Description");
    addAndMakeVisible (descriptionCaption);

    styleField (descriptionEditor);
    descriptionEditor.setMultiLine (true, true);
    descriptionEditor.setReturnKeyStartsNewLine (true);
    descriptionEditor.setIndents (10, 6);
    descriptionEditor.onEscapeKey = [this] { close(); };
    addAndMakeVisible (descriptionEditor);

    styleActionButton (saveButton, Palette::surface0);
    saveButton.onClick = [this] { submitSave(); };
    addAndMakeVisible (saveButton);

    listViewport.setViewedComponent (&listContent, false);
    listViewport.setScrollBarsShown (true, false);
    addAndMakeVisible (listViewport);

    folderLink.setButtonText ("Open Projects Folder");
    folderLink.setColour (juce::HyperlinkButton::textColourId, Palette::mauve);
    folderLink.setFont (juce::Font (11.5f, juce::Font::underlined), false, juce::Justification::centredRight);
    folderLink.setTooltip ("Open the project folder in your file manager");
    folderLink.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    folderLink.onClick = [this]
    {
        if (onOpenFolder != nullptr)
            onOpenFolder();
    };
    addAndMakeVisible (folderLink);

    emptyListLabel.setText ("No saved projects", juce::dontSendNotification);
    emptyListLabel.setColour (juce::Label::textColourId, Palette::subtext0);
    emptyListLabel.setJustificationType (juce::Justification::centred);
    addAndMakeVisible (emptyListLabel);

    styleActionButton (loadButton, Palette::surface0);
    loadButton.onClick = [this] { loadSelected(); };
    addAndMakeVisible (loadButton);

    styleActionButton (deleteButton, dangerColour);
    deleteButton.onClick = [this] { deleteSelected(); };
    addAndMakeVisible (deleteButton);

    confirmationLabel.setFont (juce::Font (13.0f, juce::Font::bold));
    confirmationLabel.setColour (juce::Label::textColourId, Palette::text);
    confirmationLabel.setJustificationType (juce::Justification::centredLeft);
    addChildComponent (confirmationLabel);

    styleActionButton (confirmButton, Palette::surface0);
    confirmButton.onClick = [this] { confirmPending(); };
    addChildComponent (confirmButton);

    styleActionButton (cancelButton, Palette::surface0);
    cancelButton.onClick = [this] { cancelConfirmation(); };
    addChildComponent (cancelButton);

    messageLabel.setFont (juce::Font (12.0f, juce::Font::bold));
    messageLabel.setColour (juce::Label::textColourId, Palette::green);
    addAndMakeVisible (messageLabel);

    styleActionButton (closeButton, Palette::surface0);
    closeButton.onClick = [this] { close(); };
    addAndMakeVisible (closeButton);

    setWantsKeyboardFocus (true);
    setInterceptsMouseClicks (true, true);
    setVisible (false);
    updateControls();
}

ProjectLibraryOverlay::~ProjectLibraryOverlay()
{
    listViewport.setViewedComponent (nullptr, false);
}

//==============================================================================
void ProjectLibraryOverlay::setEntries (const std::vector<Entry>& newEntries)
{
    showEntries (newEntries, {});
}

void ProjectLibraryOverlay::setEntriesAndSelect (const std::vector<Entry>& newEntries, const juce::File& file)
{
    showEntries (newEntries, file.getFullPathName());
}

void ProjectLibraryOverlay::replaceEntriesKeepingSelection (const std::vector<Entry>& newEntries)
{
    replaceEntries (newEntries, selectedPath());
}

void ProjectLibraryOverlay::replaceEntriesSelecting (const std::vector<Entry>& newEntries, const juce::File& file)
{
    replaceEntries (newEntries, file.getFullPathName());
}

void ProjectLibraryOverlay::showMessage (const juce::String& text, bool isError)
{
    messageLabel.setText (text, juce::dontSendNotification);
    messageLabel.setColour (juce::Label::textColourId, isError ? Palette::red : Palette::green);
}

void ProjectLibraryOverlay::askOverwrite (const juce::String& name, std::function<void()> action)
{
    askConfirmation ("Overwrite existing project \"" + name + "\"?", "Overwrite", std::move (action), false);
}

void ProjectLibraryOverlay::close()
{
    confirming = false;
    pendingAction = nullptr;
    updateControls();
    setVisible (false);
}

//==============================================================================
void ProjectLibraryOverlay::submitSave()
{
    if (confirming)
        return;

    const auto name = nameEditor.getText().trim();

    if (name.isEmpty())
    {
        showMessage ("Name cannot be empty.", true);
        return;
    }

    if (onSave != nullptr)
        onSave (name, descriptionEditor.getText().trim());
}

void ProjectLibraryOverlay::loadSelected()
{
    if (confirming)
        return;

    if (! hasValidSelection())
    {
        showMessage ("Choose a project first.", true);
        return;
    }

    const auto file = entries[(size_t) selectedIndex].file;
    close();

    if (onLoad != nullptr)
        onLoad (file);
}

void ProjectLibraryOverlay::deleteSelected()
{
    if (confirming)
        return;

    if (! hasValidSelection())
    {
        showMessage ("Choose a project first.", true);
        return;
    }

    const auto& entry = entries[(size_t) selectedIndex];
    const auto file = entry.file;

    askConfirmation ("Delete \"" + entry.name + "\" from the local project library?", "Delete",
                     [this, file]
                     {
                         if (onDelete != nullptr)
                             onDelete (file);
                     },
                     true);
}

void ProjectLibraryOverlay::selectRow (int index)
{
    selectedIndex = index;
    cancelConfirmation();
    fillEditorsFromSelection();
    colourRows();
    updateControls();
}

void ProjectLibraryOverlay::confirmPending()
{
    auto action = std::move (pendingAction);
    pendingAction = nullptr;
    confirming = false;
    updateControls();
    resized();
    repaint();

    if (action != nullptr)
        action();
}

void ProjectLibraryOverlay::cancelConfirmation()
{
    confirming = false;
    pendingAction = nullptr;
    updateControls();
    resized();
    repaint();
}

//==============================================================================
void ProjectLibraryOverlay::askConfirmation (const juce::String& text, const juce::String& confirmLabel,
                                             std::function<void()> action, bool danger)
{
    confirming = true;
    confirmationLabel.setText (text, juce::dontSendNotification);
    confirmButton.setButtonText (confirmLabel);
    confirmButton.setColour (juce::TextButton::buttonColourId, danger ? dangerColour : Palette::surface0);
    pendingAction = std::move (action);
    showMessage ({}, false);
    updateControls();
    showInFront();

    // The question is answered from the keyboard too (Return, Escape), wherever the focus was.
    if (isShowing())
        grabKeyboardFocus();
}

void ProjectLibraryOverlay::showEntries (const std::vector<Entry>& newEntries, const juce::String& path)
{
    nameEditor.setText ({}, false);
    descriptionEditor.setText ({}, false);
    messageLabel.setText ({}, juce::dontSendNotification);
    confirming = false;
    pendingAction = nullptr;
    replaceEntries (newEntries, path);
    showInFront();

    if (isShowing())
        nameEditor.grabKeyboardFocus();
}

void ProjectLibraryOverlay::showInFront()
{
    if (auto* parent = getParentComponent())
        setBounds (parent->getLocalBounds());

    setVisible (true);
    toFront (false);
    resized();
    repaint();
}

void ProjectLibraryOverlay::replaceEntries (const std::vector<Entry>& newEntries, const juce::String& path)
{
    entries = newEntries;
    selectedIndex = -1;

    if (path.isNotEmpty())
    {
        for (size_t i = 0; i < entries.size(); ++i)
        {
            if (entries[i].file.getFullPathName() == path)
            {
                selectedIndex = (int) i;
                break;
            }
        }
    }

    rebuildList();
    fillEditorsFromSelection();
    updateControls();
}

void ProjectLibraryOverlay::rebuildList()
{
    rowButtons.clear();
    listContent.removeAllChildren();

    for (size_t i = 0; i < entries.size(); ++i)
    {
        auto* row = rowButtons.add (new juce::TextButton (entries[i].name));
        row->setConnectedEdges (0);
        row->setMouseCursor (juce::MouseCursor::PointingHandCursor);
        row->onClick = [this, index = (int) i] { selectRow (index); };
        listContent.addAndMakeVisible (row);
    }

    colourRows();
    layoutRows();
}

void ProjectLibraryOverlay::layoutRows()
{
    const auto rowWidth = juce::jmax (listViewport.getWidth() - 18, 1);

    for (int i = 0; i < rowButtons.size(); ++i)
        rowButtons[i]->setBounds (0, rowPitch * i, rowWidth, rowHeight);

    listContent.setSize (rowWidth, juce::jmax (listViewport.getHeight(), rowPitch * rowButtons.size()));
}

void ProjectLibraryOverlay::colourRows()
{
    for (int i = 0; i < rowButtons.size(); ++i)
    {
        auto* row = rowButtons[i];
        const auto selected = (i == selectedIndex);
        row->setColour (juce::TextButton::buttonColourId, selected ? Palette::surface1 : Palette::surface0);
        row->setColour (juce::TextButton::textColourOffId, selected ? Palette::mauve : Palette::text.withAlpha (0.88f));
        row->setColour (juce::TextButton::textColourOnId, Palette::mauve);
    }
}

void ProjectLibraryOverlay::fillEditorsFromSelection()
{
    const auto valid = hasValidSelection();
    nameEditor.setText (valid ? entries[(size_t) selectedIndex].name : juce::String(), false);
    descriptionEditor.setText (valid ? entries[(size_t) selectedIndex].description : juce::String(), false);
}

void ProjectLibraryOverlay::updateControls()
{
    const auto hasEntries = ! entries.empty();
    listViewport.setVisible (hasEntries);
    emptyListLabel.setVisible (! hasEntries);

    saveButton.setEnabled (! confirming);
    nameEditor.setEnabled (! confirming);
    descriptionEditor.setEnabled (! confirming);

    loadButton.setVisible (! confirming);
    deleteButton.setVisible (! confirming);
    loadButton.setEnabled (hasValidSelection());
    deleteButton.setEnabled (hasValidSelection());

    confirmationLabel.setVisible (confirming);
    confirmButton.setVisible (confirming);
    cancelButton.setVisible (confirming);
}

bool ProjectLibraryOverlay::hasValidSelection() const noexcept
{
    return selectedIndex >= 0 && selectedIndex < (int) entries.size();
}

juce::String ProjectLibraryOverlay::selectedPath() const
{
    return hasValidSelection() ? entries[(size_t) selectedIndex].file.getFullPathName() : juce::String();
}

//==============================================================================
ProjectLibraryOverlay::Geometry ProjectLibraryOverlay::getGeometry() const
{
    Geometry g;
    g.width = juce::jmin (juce::jmax (getWidth() - 80, 320), 700);
    g.height = juce::jmin (juce::jmax (getHeight() - 80, 300), 520);
    g.x = (getWidth() - g.width) / 2;
    g.y = (getHeight() - g.height) / 2;

    g.bodyX = g.x + 22;
    g.bodyY = g.y + headerHeight + 18;
    g.bodyWidth = juce::jmax (g.width - 44, 0);
    g.bodyHeight = juce::jmax (g.height - headerHeight - 36, 0);

    g.leftWidth = juce::jmin (g.bodyWidth, juce::jlimit (220, 380, g.width - 324));
    const auto gap = juce::jmin (20, g.bodyWidth - g.leftWidth);
    g.rightX = g.bodyX + g.leftWidth + gap;
    g.rightWidth = g.bodyWidth - g.leftWidth - gap;
    return g;
}

juce::Rectangle<int> ProjectLibraryOverlay::getCardBounds() const
{
    const auto g = getGeometry();
    return { g.x, g.y, g.width, g.height };
}

void ProjectLibraryOverlay::paint (juce::Graphics& g)
{
    const auto geo = getGeometry();
    const auto card = getCardBounds().toFloat();

    g.fillAll (Palette::mantle.withAlpha (0.85f));

    g.setColour (Palette::mantle);
    g.fillRoundedRectangle (card, 6.0f);

    g.setColour (Palette::base);
    g.fillRoundedRectangle (card.withHeight ((float) headerHeight), 6.0f);
    g.fillRect (juce::Rectangle<int> (geo.x, geo.y + 6, geo.width, headerHeight - 6));

    g.setColour (Palette::text);
    g.setFont (juce::Font (24.0f, juce::Font::bold));
    g.drawText (title, geo.x + 25, geo.y, geo.width - 50, headerHeight, juce::Justification::centredLeft, true);

    g.setColour (Palette::subtext0);
    g.setFont (juce::Font (10.5f));
    g.drawText ("PROJECTS", geo.x + 22, geo.y + 73, geo.leftWidth, juce::jmin (geo.bodyHeight, 16),
                juce::Justification::centredLeft, true);

    g.setColour (Palette::surface2.withAlpha (0.42f));
    g.drawVerticalLine (geo.x + geo.leftWidth + 32, (float) (geo.y + 78), (float) (geo.y + geo.height - 22));

    g.setColour (Palette::overlay2);
    g.drawRoundedRectangle (card.reduced (1.0f), 6.0f, 2.0f);
}

void ProjectLibraryOverlay::resized()
{
    const auto geo = getGeometry();

    auto header = juce::Rectangle<int> (geo.x, geo.y, geo.width, juce::jmin (geo.height, headerHeight)).reduced (25, 14);
    closeButton.setBounds (header.removeFromRight (juce::jmin (geo.width - 50, 70)));

    const auto linkWidth = juce::jmin (geo.leftWidth, 126);
    folderLink.setBounds (geo.bodyX + geo.leftWidth - linkWidth, geo.bodyY, linkWidth, juce::jmin (geo.bodyHeight, 24));
    listViewport.setBounds (geo.bodyX, geo.bodyY + 24, geo.leftWidth, juce::jmax (geo.bodyHeight - 24, 0));
    emptyListLabel.setBounds (listViewport.getBounds());

    auto column = juce::Rectangle<int> (geo.rightX, geo.bodyY, geo.rightWidth, geo.bodyHeight);
    messageLabel.setBounds (column.removeFromBottom (22));
    column.removeFromBottom (8);
    column.removeFromTop (4);
    auto actions = column.removeFromBottom (106);
    column.removeFromBottom (18);

    nameCaption.setBounds (column.removeFromTop (18));
    column.removeFromTop (4);
    nameEditor.setBounds (column.removeFromTop (32));
    column.removeFromTop (10);
    descriptionCaption.setBounds (column.removeFromTop (18));
    column.removeFromTop (4);
    descriptionEditor.setBounds (column);

    if (confirming)
    {
        confirmationLabel.setBounds (actions.removeFromTop (30));
        actions.removeFromTop (10);
        auto row = actions.removeFromTop (32).reduced (0, 1);
        cancelButton.setBounds (row.removeFromLeft ((geo.rightWidth - 10) / 2));
        row.removeFromLeft (10);
        confirmButton.setBounds (row);

        for (auto* button : { &saveButton, &loadButton, &deleteButton })
            button->setBounds ({});
    }
    else
    {
        saveButton.setBounds (actions.removeFromTop (30));
        actions.removeFromTop (8);
        loadButton.setBounds (actions.removeFromTop (30));
        actions.removeFromTop (8);
        deleteButton.setBounds (actions.removeFromTop (30));

        for (auto* component : std::initializer_list<juce::Component*> { &confirmationLabel, &confirmButton, &cancelButton })
            component->setBounds ({});
    }

    layoutRows();
}

bool ProjectLibraryOverlay::keyPressed (const juce::KeyPress& key)
{
    if (key.isKeyCode (juce::KeyPress::escapeKey))
    {
        if (confirming)
            cancelConfirmation();
        else
            close();

        return true;
    }

    if (key.isKeyCode (juce::KeyPress::returnKey) && confirming)
    {
        confirmPending();
        return true;
    }

    return false;
}
