#include "editor/panels/HelpComponent.h"

#include "editor/panels/HelpContent.h"

HelpComponent::HelpComponent()
    : velmar::HelpDialog (makeCorvessaHelpInfo())
{
}

void HelpComponent::setUpdateInfo (const juce::String& version, const juce::String& downloadLink)
{
    auto& content = getContent();
    content.updateVersion = downloadLink.isNotEmpty() ? version : juce::String();
    content.downloadLink.setAddress (downloadLink);
    resized();
}

void HelpComponent::setInstanceId (const juce::String& instanceId)
{
    auto& content = getContent();
    content.instanceId = instanceId;
    content.copyIdButton.setEnabled (instanceId.isNotEmpty());
    resized();
}

void HelpComponent::setTelemetryToggleState (bool enabled)
{
    getContent().telemetryToggle.setToggleState (enabled, juce::dontSendNotification);
}
