// Hover hints: while the pointer rests on a control, the status row's hint line says what the
// control does. The texts are shorter than the tooltips and worded differently on purpose (the
// tooltips are set where the controls are built).
#include "editor/CorvessaEditor.h"

#include "processor/CorvessaProcessor.h"

std::optional<juce::String> CorvessaEditor::hoverHintFor (const juce::Component* control) const
{
    if (control == nullptr)
        return std::nullopt;

    if (control == &helpButton)
        return processor.getUpdateChecker().isUpdateAvailable() ? "Update available - show details" : "Show Help";

    if (control == &syncLeaderButton)
        return processor.isAnotherSyncLeaderActive() && processor.getSyncMode() != 1
                   ? "Another Corvessa leader is active; click to take over"
                   : "Publish progression, key, scale, BPM, and sections to followers";

    const std::pair<const juce::Component*, const char*> hints[] = {
        { &moodButton,            "Open mood-based chord generator" },
        { &projectsButton,        "Save, load, or delete local projects" },
        { &jsonButton,            "Import/export chord preset as JSON" },
        { &autoAdvanceButton,     "Auto-Advance: Follow the DAW playhead through Sections; the last returns to the first" },
        { &bpmHintLabel,          "Recommended range only; DAW tempo is unchanged" },
        { &bassAddOctaveButton,   "Bass: Add a lower octave for extra weight" },
        { &bassAddFifthButton,    "Bass: Add the fifth for power-chord or cinematic weight" },
        { &bodyAddRootButton,     "Body: Include the root in the chord layer" },
        { &bodyAddFifthButton,    "Body: Include the fifth in the chord layer" },
        { &bodyWithShimmerButton, "Body includes written Shimmer color tones" },
        { &bodyVoicingKnob,       "Drag to change voicing; right-click for exact choices" },
        { &shimmerVoicingKnob,    "Drag to change voicing; right-click for exact choices" },
        { &bassOctaveKnob,        "Drag to change octave; right-click for exact choices" },
        { &bodyOctaveKnob,        "Drag to change octave; right-click for exact choices" },
        { &shimmerOctaveKnob,     "Drag to change octave; right-click for exact choices" },
        { &shimmerOffButton,      "No separate Shimmer lane" },
        { &shimmerTopButton,      "One high note from the voicing." },
        { &shimmerColorButton,    "Written 7ths, 9ths, 11ths, 13ths, #11s, etc." },
        { &shimmerHaloButton,     "Color notes plus an extra shimmer chord anchor." },
        { &syncOffButton,         "Keep this Corvessa instance independent" },
        { &syncFollowerButton,    "Follow the shared musical context from the active leader" },
        { &allTab,                "Use all layers for the Channel 1 output and full MIDI export" },
        { &bassTab,               "Show Bass arrangement controls" },
        { &bodyTab,               "Show Body arrangement controls" },
        { &shimmerTab,            "Show Shimmer arrangement controls" },
        { &outputKnob,            "Drag to set Channel 1 output; right-click for exact choices" },
        { &legatoButton,          "Tie common notes for the selected voice" },
    };

    for (const auto& [c, hint] : hints)
        if (c == control)
            return juce::String (hint);

    return std::nullopt;
}

void CorvessaEditor::mouseEnter (const juce::MouseEvent& e)
{
    if (const auto hint = hoverHintFor (e.eventComponent); hint.has_value() && hint->isNotEmpty())
        hintLabel.setText (*hint, juce::dontSendNotification);
}

void CorvessaEditor::mouseExit (const juce::MouseEvent& e)
{
    if (e.eventComponent == &hintLabel || hoverHintFor (e.eventComponent).has_value())
        hintLabel.setText ({}, juce::dontSendNotification);
}
