#include "editor/panels/SectionRenameDialog.h"

#include "editor/look/Palette.h"

SectionRenameDialog::SectionRenameDialog()
{
    setTitle ("Rename Section");

    nameEditor.setMultiLine (false);
    nameEditor.setColour (juce::TextEditor::backgroundColourId, Palette::base);
    nameEditor.setColour (juce::TextEditor::textColourId, Palette::text);
    nameEditor.setColour (juce::TextEditor::outlineColourId, Palette::overlay2);
    nameEditor.setColour (juce::TextEditor::focusedOutlineColourId, Palette::mauve);
    nameEditor.onReturnKey = [this] { submit(); };
    addAndMakeVisible (nameEditor);

    for (auto* button : { &renameButton, &cancelButton })
    {
        button->setColour (juce::TextButton::buttonColourId, Palette::surface0);
        button->setMouseCursor (juce::MouseCursor::PointingHandCursor);
        button->addListener (this);
        addAndMakeVisible (*button);
    }

    renameButton.setColour (juce::TextButton::textColourOffId, Palette::mauve);
    cancelButton.setColour (juce::TextButton::textColourOffId, Palette::text);
}

SectionRenameDialog::~SectionRenameDialog()
{
    renameButton.removeListener (this);
    cancelButton.removeListener (this);
}

void SectionRenameDialog::submit()
{
    const auto name = nameEditor.getText().trim();

    if (name.isEmpty())
    {
        if (onError)
            onError ("Status: Section name required");
        return;
    }

    setVisible (false);

    if (onClose)
        onClose();

    if (onRename)
        onRename (sectionIndex, name);
}

void SectionRenameDialog::paint (juce::Graphics& g)
{
    PanelComponent::paint (g);

    g.setColour (Palette::subtext0);
    g.setFont (juce::Font (11.0f));
    g.drawText ("SECTION NAME", juce::Rectangle<int> (25, 62, getWidth() - 50, 16), juce::Justification::centredLeft, false);
}

void SectionRenameDialog::resized()
{
    const int w = getWidth();
    const int y = getHeight() - 46;

    nameEditor.setBounds (25, 82, w - 50, 28);

    const int cancelWidth = juce::jmin (w - 50, 88);
    const int cancelX = w - 25 - cancelWidth;
    cancelButton.setBounds (cancelX, y, cancelWidth, 28);

    const int room = (w - 50 < 88) ? 0 : juce::jmax (0, w - 138 - 10);
    const int renameWidth = juce::jmin (room, 100);
    renameButton.setBounds (cancelX - 10 - renameWidth, y, renameWidth, 28);
}

void SectionRenameDialog::buttonClicked (juce::Button* button)
{
    if (button == &renameButton)
    {
        submit();
        return;
    }

    setVisible (false);

    if (onClose)
        onClose();
}
