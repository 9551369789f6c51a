#pragma once

#include "kit/dialogs/HelpDialog.h"

// The plug-in's help and privacy dialog: the kit's help dialog with this product's content.
// The window keeps its update notice, instance id and consent toggle current. Message thread only.
class HelpComponent : public velmar::HelpDialog
{
public:
    HelpComponent();

    // The update notice shows the version only when there is a link to download it from.
    void setUpdateInfo (const juce::String& version, const juce::String& downloadLink);

    // The AI-client bridge's id of this instance; its row is hidden while the id is empty.
    void setInstanceId (const juce::String& instanceId);

    // Shows the client's real consent, without reporting a change.
    void setTelemetryToggleState (bool enabled);
};
