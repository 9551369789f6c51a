#pragma once

#include "projects/ProjectLibraryEntry.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <vector>

// The project library window over the whole editor canvas: a card with the saved projects on
// the left and the name and description fields with the actions on the right. It does no file
// work: it reports the user's choices through its callbacks and the window answers through the
// list, confirmation and message operations below. Deleting, and saving over an existing
// project, ask inside the card first. Message thread only.
class ProjectLibraryOverlay : public juce::Component
{
public:
    using Entry = ProjectLibraryEntry;

    ProjectLibraryOverlay();
    ~ProjectLibraryOverlay() override;

    // Save pressed with a non-empty name (both texts trimmed).
    std::function<void (const juce::String& name, const juce::String& description)> onSave;
    // Load pressed with a project selected; the overlay has hidden itself first.
    std::function<void (const juce::File& file)> onLoad;
    // A deletion was confirmed.
    std::function<void (const juce::File& file)> onDelete;
    // "Open Projects Folder" pressed.
    std::function<void()> onOpenFolder;

    //==== the window's operations =================================================================
    // Shows the overlay with the list, fields emptied and nothing (or the file's entry) selected.
    void setEntries (const std::vector<Entry>& newEntries);
    void setEntriesAndSelect (const std::vector<Entry>& newEntries, const juce::File& file);
    // A new list while shown, keeping the selected file selected when it is still listed, or
    // selecting the given file. The fields are refilled from the selection.
    void replaceEntriesKeepingSelection (const std::vector<Entry>& newEntries);
    void replaceEntriesSelecting (const std::vector<Entry>& newEntries, const juce::File& file);
    void showMessage (const juce::String& text, bool isError);
    // Asks whether to overwrite the project of that name; `action` runs once if confirmed.
    void askOverwrite (const juce::String& name, std::function<void()> action);
    // Hides the overlay; a pending question is dropped.
    void close();

    //==== the user's actions (buttons and keys) ===================================================
    void submitSave();
    void loadSelected();
    void deleteSelected();
    void selectRow (int index);
    void confirmPending();
    void cancelConfirmation();

    //==== what the overlay shows ==================================================================
    const std::vector<Entry>& getEntries() const noexcept     { return entries; }
    int getSelectedIndex() const noexcept                     { return selectedIndex; }
    bool isConfirming() const noexcept                        { return confirming; }
    juce::TextEditor& getNameEditor() noexcept                { return nameEditor; }
    juce::TextEditor& getDescriptionEditor() noexcept         { return descriptionEditor; }
    const juce::Label& getMessageLabel() const noexcept       { return messageLabel; }
    const juce::Label& getConfirmationLabel() const noexcept  { return confirmationLabel; }
    const juce::Label& getEmptyListLabel() const noexcept     { return emptyListLabel; }
    juce::TextButton& getSaveButton() noexcept                { return saveButton; }
    juce::TextButton& getLoadButton() noexcept                { return loadButton; }
    juce::TextButton& getDeleteButton() noexcept              { return deleteButton; }
    juce::TextButton& getConfirmButton() noexcept             { return confirmButton; }
    juce::TextButton& getCancelButton() noexcept              { return cancelButton; }
    juce::TextButton& getCloseButton() noexcept               { return closeButton; }
    juce::HyperlinkButton& getFolderLink() noexcept           { return folderLink; }
    const juce::Viewport& getListViewport() const noexcept    { return listViewport; }
    const juce::Component& getListContent() const noexcept    { return listContent; }
    int getNumRows() const noexcept                           { return rowButtons.size(); }
    juce::TextButton* getRowButton (int index) const noexcept { return rowButtons[index]; }

    // The card's rectangle for the overlay's size.
    juce::Rectangle<int> getCardBounds() const;

    void paint (juce::Graphics& g) override;
    void resized() override;
    bool keyPressed (const juce::KeyPress& key) override;

private:
    struct Geometry;
    Geometry getGeometry() const;

    void askConfirmation (const juce::String& text, const juce::String& confirmLabel,
                          std::function<void()> action, bool danger);
    void replaceEntries (const std::vector<Entry>& newEntries, const juce::String& selectedPath);
    void showEntries (const std::vector<Entry>& newEntries, const juce::String& selectedPath);
    void showInFront();
    void rebuildList();
    void layoutRows();
    void colourRows();
    void fillEditorsFromSelection();
    void updateControls();
    bool hasValidSelection() const noexcept;
    juce::String selectedPath() const;

    juce::String title { "Project Library" };
    juce::Label nameCaption;
    juce::TextEditor nameEditor;
    juce::Label descriptionCaption;
    juce::TextEditor descriptionEditor;
    juce::TextButton saveButton { "Save" };
    juce::Viewport listViewport;
    juce::Component listContent;
    juce::OwnedArray<juce::TextButton> rowButtons;
    juce::HyperlinkButton folderLink;
    juce::Label emptyListLabel;
    juce::TextButton loadButton { "Load" };
    juce::TextButton deleteButton { "Delete" };
    juce::Label confirmationLabel;
    juce::TextButton confirmButton { "Confirm" };
    juce::TextButton cancelButton { "Cancel" };
    juce::Label messageLabel;
    juce::TextButton closeButton { "Close" };
    std::vector<Entry> entries;
    int selectedIndex = -1;
    bool confirming = false;
    std::function<void()> pendingAction;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProjectLibraryOverlay)
};
