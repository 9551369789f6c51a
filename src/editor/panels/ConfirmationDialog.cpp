#include "editor/panels/ConfirmationDialog.h"

#include "editor/look/Palette.h"

ConfirmationDialog::ConfirmationDialog()
{
    setTitle ("Confirm");
    confirmButton.setButtonText ("Confirm");

    for (auto* button : { &confirmButton, &cancelButton })
    {
        addAndMakeVisible (*button);
        button->addListener (this);
        button->setMouseCursor (juce::MouseCursor::PointingHandCursor);
        button->setColour (juce::TextButton::textColourOffId, Palette::text);
    }

    confirmButton.setColour (juce::TextButton::buttonColourId, Palette::red.withAlpha (0.36f));
    cancelButton.setColour (juce::TextButton::buttonColourId, Palette::surface0);
}

ConfirmationDialog::~ConfirmationDialog()
{
    confirmButton.removeListener (this);
    cancelButton.removeListener (this);
}

void ConfirmationDialog::paint (juce::Graphics& g)
{
    PanelComponent::paint (g);

    g.setColour (Palette::subtext1);
    g.setFont (juce::Font (15.0f));
    g.drawFittedText (message, juce::Rectangle<int> (25, 64, getWidth() - 50, 56), juce::Justification::centredLeft, 2);
}

void ConfirmationDialog::resized()
{
    const int w = getWidth();
    const int y = getHeight() - 46;

    const int cancelWidth = juce::jmin (w - 50, 88);
    cancelButton.setBounds (w - cancelWidth - 25, y, cancelWidth, 28);

    int a = (w - 50 < 88) ? 0 : w - 138;
    a -= juce::jmin (a, 10);
    const int confirmWidth = juce::jmin (a, 120);
    confirmButton.setBounds (a - confirmWidth + 25, y, confirmWidth, 28);
}

void ConfirmationDialog::buttonClicked (juce::Button* button)
{
    // The action leaves the dialog before anything runs, so Cancel discards it and an action
    // that opens the dialog again finds it hidden and free.
    auto action = std::move (onConfirm);
    onConfirm = nullptr;

    setVisible (false);

    if (button == &confirmButton && action)
        action();

    if (onClosed)
        onClosed();
}
