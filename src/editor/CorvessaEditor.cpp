#include "editor/CorvessaEditor.h"

#include "processor/CorvessaProcessor.h"

CorvessaEditor::CorvessaEditor (CorvessaProcessor& owner)
    : juce::AudioProcessorEditor (owner),
      processor (owner)
{
    // An outside AI client finds this instance by the bridge's id; the user reads it here.
    const auto instanceId = processor.getMcpInstanceId();
    instanceIdLabel.setText (instanceId, juce::dontSendNotification);
    instanceIdLabel.setJustificationType (juce::Justification::centredRight);
    instanceIdLabel.setColour (juce::Label::textColourId, juce::Colour (0xffcdd6f4));
    instanceIdLabel.setVisible (instanceId.isNotEmpty());
    addChildComponent (instanceIdLabel);

    setSize (600, 860);
}

CorvessaEditor::~CorvessaEditor() = default;

void CorvessaEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff1e1e2e));
}

void CorvessaEditor::resized()
{
    instanceIdLabel.setBounds (getLocalBounds().removeFromBottom (24).reduced (8, 2));
}
