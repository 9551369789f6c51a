// The channel-1 layer mix, the Shimmer style and the MIDI clip tiles.
#include "editor/CorvessaEditor.h"

#include "editor/OutputLayerChoice.h"
#include "editor/look/Palette.h"
#include "kit/clips/FileClipboard.h"
#include "processor/CompiledSection.h"
#include "processor/CorvessaProcessor.h"

namespace
{
const juce::String shimmerPillTooltip ("Choose whether MIDI channel 1 includes the Shimmer layer");
const juce::String shimmerPillUnavailableTooltip ("Shimmer is unavailable for MIDI channel 1 in this progression");
const juce::String shimmerClipUnavailableTooltip ("Shimmer MIDI clip is unavailable for this progression");

enum ClipMenuItem
{
    copyItem = 1,
    saveItem = 2
};

juce::String clipTooltip (const juce::String& layer)
{
    return "Drag " + layer + " MIDI clip | Right-click: copy or save";
}

// The save dialog's look: the window's own palette in the order of the kit's record.
velmar::MidiFileSaveController::Appearance saveDialogAppearance (const juce::String& layer)
{
    velmar::MidiFileSaveController::Appearance appearance;
    appearance.title = "Corvessa / " + layer;
    appearance.shadow = Palette::mantle.getARGB();
    appearance.windowBackground = Palette::base.getARGB();
    appearance.panelBackground = Palette::surface0.getARGB();
    appearance.text = Palette::text.getARGB();
    appearance.secondaryText = Palette::subtext1.getARGB();
    appearance.outline = Palette::overlay2.getARGB();
    appearance.accent = Palette::mauve.getARGB();
    appearance.error = Palette::red.getARGB();
    appearance.fieldBackground = Palette::base.getARGB();
    appearance.buttonBackground = Palette::surface0.getARGB();
    appearance.focusOutline = Palette::mauve.getARGB();
    return appearance;
}
} // namespace

//==== the channel-1 layer mix =======================================================================

void CorvessaEditor::setOutputLayerChoice (int value)
{
    value = applyShimmerFallback (value, hasShimmerNotes());
    processor.setOutputLayerMode (value);
    updatePianoRollOutput();
    updateOutputControls (value, true);
    updateClipTileTooltips();
}

void CorvessaEditor::toggleOutputLayer (int layer)
{
    if (layer == 3 && ! hasShimmerNotes())
    {
        processor.setOutputLayerMode (0);
        updatePianoRollOutput();
        updateOutputControls (0, true);
        updateClipTileTooltips();
        return;
    }

    setOutputLayerChoice (toggleOutputLayerMode (processor.getOutputLayerMode(), layer));
}

void CorvessaEditor::updateOutputControls (int value, bool applyFallback)
{
    const bool available = hasShimmerNotes();

    if (applyFallback)
    {
        const auto result = applyShimmerFallback (value, available);
        if (result != processor.getOutputLayerMode())
        {
            processor.setOutputLayerMode (result);
            updatePianoRollOutput();
        }
        value = result;
    }

    const int layers = value == 0 ? 0 : findOutputLayerChoice (value).layers;
    outputAllPill.setToggleState (value == 0, juce::dontSendNotification);
    outputBassPill.setToggleState ((layers & OutputLayerChoice::bass) != 0, juce::dontSendNotification);
    outputBodyPill.setToggleState ((layers & OutputLayerChoice::body) != 0, juce::dontSendNotification);
    outputShimmerPill.setToggleState (available && (layers & OutputLayerChoice::shimmer) != 0, juce::dontSendNotification);

    outputShimmerPill.setEnabled (available);
    outputShimmerPill.setAlpha (available ? 1.0f : 0.45f);
    outputShimmerPill.setMouseCursor (available ? juce::MouseCursor::PointingHandCursor : juce::MouseCursor::NormalCursor);
    outputShimmerPill.setTooltip (available ? shimmerPillTooltip : shimmerPillUnavailableTooltip);

    updateRoleTabs();
    updateOutputKnob (value);
    updateClipTileTooltips();
}

void CorvessaEditor::updateOutputKnob (int value)
{
    const auto& choice = findOutputLayerChoice (applyShimmerFallback (value, hasShimmerNotes()));

    outputKnob.setValue (choice.menuId, juce::dontSendNotification);
    colourKnob (outputKnob, choice.knobColour);
    outputKnobLabel.setText (choice.name, juce::dontSendNotification);
    outputKnobLabel.setColour (juce::Label::textColourId, choice.knobColour.withAlpha (0.94f));
}

juce::PopupMenu CorvessaEditor::buildOutputLayerMenu() const
{
    const bool available = hasShimmerNotes();
    const auto current = findOutputLayerChoice (applyShimmerFallback (processor.getOutputLayerMode(), available)).menuId;

    juce::PopupMenu menu;
    for (int i = 0; i < outputLayerChoiceCount; ++i)
    {
        const auto& choice = getOutputLayerChoices()[i];
        menu.addItem (choice.menuId, choice.name, available || ! outputLayerUsesShimmer (choice.value),
                      choice.menuId == current);
    }
    return menu;
}

void CorvessaEditor::showOutputLayerMenu()
{
    if (! outputKnob.isEnabled())
        return;

    const auto options = velmar::PopupMenuPlacement::withPlacement (juce::PopupMenu::Options().withTargetComponent (&outputKnob));
    buildOutputLayerMenu().showMenuAsync (options, [safeThis = juce::Component::SafePointer<CorvessaEditor> (this)] (int id)
    {
        if (safeThis != nullptr)
            safeThis->handleOutputLayerMenuResult (id);
    });
}

void CorvessaEditor::handleOutputLayerMenuResult (int itemId)
{
    if (itemId <= 0)
        return;

    setOutputLayerChoice (itemId >= 2 && itemId <= 7 ? itemId - 1 : 0);
}

void CorvessaEditor::updatePianoRollOutput()
{
    const int shown = chordEditor.isVisible() || chordDraftActive
                          ? 0
                          : applyShimmerFallback (processor.getOutputLayerMode(), hasShimmerNotes());

    if (pianoRoll.outputSelection != shown)
    {
        pianoRoll.outputSelection = shown;
        pianoRoll.recalculateNoteRange();
        pianoRoll.repaint();
    }
}

bool CorvessaEditor::hasShimmerNotes() const
{
    // Read from the published snapshot in place: the tick asks several times over.
    const auto snapshot = processor.getCurrentCompiledSnapshot();
    if (snapshot == nullptr)
        return false;

    return std::any_of (snapshot->slots.begin(), snapshot->slots.end(), [] (const CompiledChordSlot& slot)
                        { return ! slot.event.notes.empty() && ! slot.shimmerNotes.empty(); });
}

//==== the Shimmer style =============================================================================

void CorvessaEditor::setShimmerMode (int style)
{
    // The buttons are disabled for a follower; a click queued before that is set back.
    if (isSyncFollower())
    {
        updateShimmerControls();
        return;
    }

    processor.setArrangeShimmerTopNoteEnabled (style == 1 || style == 3);
    processor.setArrangeShimmerColorNotesEnabled (style == 2 || style == 3);
    updateShimmerControls();
    storeControlsIntoActiveSection();
}

void CorvessaEditor::updateShimmerControls()
{
    const bool follower = isSyncFollower();
    const auto snapshot = processor.getCurrentCompiledSnapshot();
    const bool hasChords = snapshot != nullptr
                        && std::any_of (snapshot->chords.begin(), snapshot->chords.end(),
                                        [] (const ChordEvent& e) { return ! e.notes.empty(); });
    const bool top = processor.getArrangeShimmerTopNoteEnabled();
    const bool colour = processor.getArrangeShimmerColorNotesEnabled();
    const int style = top && colour ? 3 : top ? 1 : colour ? 2 : 0;

    juce::Button* styleButtons[] = { &shimmerOffButton, &shimmerTopButton, &shimmerColorButton, &shimmerHaloButton };
    for (int i = 0; i < 4; ++i)
        styleButtons[i]->setToggleState (style == i, juce::dontSendNotification);

    for (juce::Component* c : std::initializer_list<juce::Component*> { &shimmerOffButton, &shimmerTopButton, &shimmerColorButton,
                                                                        &shimmerHaloButton, &shimmerOctaveLabel, &shimmerOctaveCombo,
                                                                        &shimmerOctaveKnob })
    {
        c->setEnabled (! follower);
        c->setMouseCursor (follower ? juce::MouseCursor::NormalCursor : juce::MouseCursor::PointingHandCursor);
    }

    const bool clipsAllowed = ! follower && hasChords;
    const std::pair<juce::Component*, bool> tiles[] = {
        { dragMidiTile.get(), clipsAllowed },
        { bassClipTile.get(), clipsAllowed },
        { bodyClipTile.get(), clipsAllowed },
        { shimmerClipTile.get(), clipsAllowed && style != 0 && hasShimmerNotes() },
    };
    for (const auto& [tile, enabled] : tiles)
    {
        if (tile == nullptr)
            continue;
        tile->setEnabled (enabled);
        tile->setAlpha (enabled ? 1.0f : 0.3f);
        tile->setMouseCursor (enabled ? juce::MouseCursor::DraggingHandCursor : juce::MouseCursor::NormalCursor);
    }

    updateOutputControls (processor.getOutputLayerMode(), false);
}

void CorvessaEditor::updateBodyWithShimmerToggle()
{
    bodyWithShimmerButton.setToggleState (processor.getArrangeBodyWithShimmer(), juce::dontSendNotification);
}

//==== MIDI clip tiles ===============================================================================

juce::Component* CorvessaEditor::findClipTile (const juce::Component* componentOrChild) const
{
    if (componentOrChild == nullptr)
        return nullptr;

    for (auto* tile : { dragMidiTile.get(), bassClipTile.get(), bodyClipTile.get(), shimmerClipTile.get() })
        if (tile != nullptr && (tile == componentOrChild || tile->isParentOf (componentOrChild)))
            return tile;

    return nullptr;
}

juce::String CorvessaEditor::clipTileLayerName (const juce::Component* tile) const
{
    if (tile != nullptr && tile == bassClipTile.get())
        return "Bass";
    if (tile != nullptr && tile == bodyClipTile.get())
        return "Body";
    if (tile != nullptr && tile == shimmerClipTile.get())
        return "Shimmer";
    return "All";
}

void CorvessaEditor::updateClipTileTooltips()
{
    for (auto* tile : { dragMidiTile.get(), bassClipTile.get(), bodyClipTile.get() })
        if (tile != nullptr)
            tile->setTooltip (clipTooltip (clipTileLayerName (tile)));

    if (shimmerClipTile != nullptr)
        shimmerClipTile->setTooltip (hasShimmerNotes() ? clipTooltip ("Shimmer") : shimmerClipUnavailableTooltip);
}

juce::File CorvessaEditor::createClipFile (juce::Component* tile)
{
    const auto folder = velmar::FileClipboard::makeExportFolder ("Corvessa");
    if (folder == juce::File())
        return {};

    if (tile != nullptr && tile == dragMidiTile.get())
    {
        // The whole-section clip is what channel 1 plays, so it carries every layer from now on.
        setOutputLayerChoice (0);
        return processor.exportSectionMidi (folder);
    }

    const int layer = tile == nullptr ? 0
                    : tile == bassClipTile.get() ? 1
                    : tile == bodyClipTile.get() ? 2
                    : tile == shimmerClipTile.get() ? 3
                                                    : 0;
    return layer != 0 ? processor.exportLayerMidi (folder, layer) : juce::File();
}

void CorvessaEditor::mouseDrag (const juce::MouseEvent& e)
{
    if (! e.mods.isLeftButtonDown() || e.mods.isRightButtonDown())
        return;

    auto* tile = findClipTile (e.eventComponent);
    if (tile == nullptr)
        return;

    const auto layer = clipTileLayerName (tile);
    const auto result = fileDragController.start (*tile, [safeThis = juce::Component::SafePointer<CorvessaEditor> (this), tile]
                                                  {
                                                      return safeThis != nullptr ? safeThis->createClipFile (tile) : juce::File();
                                                  },
                                                  juce::String ("Corvessa ") + JucePlugin_VersionString + " " + layer, {});

    if (const auto text = velmar::FileDragController::describeResult (result, layer); text.isNotEmpty())
        showStatus ("Status: " + text);
}

juce::PopupMenu CorvessaEditor::buildClipMenu()
{
    juce::PopupMenu menu;
    menu.addItem (copyItem, "Copy");
    menu.addItem (saveItem, "Save to Disk");
    return menu;
}

void CorvessaEditor::showClipMenu (juce::Component* tile)
{
    if (findClipTile (tile) != tile || tile == nullptr)
        return;

    const auto options = velmar::PopupMenuPlacement::withPlacement (juce::PopupMenu::Options().withTargetComponent (tile));
    buildClipMenu().showMenuAsync (options, [safeThis = juce::Component::SafePointer<CorvessaEditor> (this),
                                             safeTile = juce::Component::SafePointer<juce::Component> (tile)] (int id)
    {
        if (safeThis != nullptr && safeTile != nullptr)
            safeThis->handleClipMenuResult (safeTile.getComponent(), id);
    });
}

void CorvessaEditor::handleClipMenuResult (juce::Component* tile, int itemId)
{
    if (itemId == 0 || tile == nullptr || findClipTile (tile) != tile)
        return;

    const auto layer = clipTileLayerName (tile);
    const auto file = createClipFile (tile);

    if (! file.existsAsFile())
    {
        showStatus ("Status: Could not create MIDI file.");
        return;
    }

    if (itemId == copyItem)
    {
        velmar::FileClipboard::copyFile (file, this, [safeThis = juce::Component::SafePointer<CorvessaEditor> (this), layer]
                                                     (const velmar::FileClipboard::Result& result)
        {
            if (safeThis != nullptr)
                safeThis->showStatus ("Status: " + velmar::FileClipboard::describeResult (result, layer));
        });
    }
    else if (itemId == saveItem)
    {
        saveClipToDisk (file, layer);
    }
}

void CorvessaEditor::saveClipToDisk (const juce::File& file, const juce::String& layer)
{
    juce::MemoryBlock bytes;
    if (! file.loadFileAsData (bytes))
    {
        showStatus ("Status: Could not prepare " + layer + " MIDI clip for saving.");
        return;
    }

    midiFileSaveController.start (*this, bytes, "Corvessa-" + file.getFileName(), layer, saveDialogAppearance (layer),
                                  [safeThis = juce::Component::SafePointer<CorvessaEditor> (this), layer]
                                  (const velmar::MidiFileSaveController::Result& result)
    {
        const auto text = velmar::MidiFileSaveController::describeResult (result, layer);
        if (safeThis != nullptr && text.isNotEmpty())
            safeThis->showStatus ("Status: " + text);
    });
}
