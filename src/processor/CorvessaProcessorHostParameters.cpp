// The seven parameters of the parameter tree and the section parameter, mirrored in both
// directions with the state record, which stays the single source of truth.
#include "processor/CorvessaProcessor.h"

#include "processor/sync/InstanceSyncLink.h"

#include <cmath>

namespace
{
// In the order of the parking slots.
const char* const parameterIds[CorvessaProcessor::numParameterSlots] = {
    "syncMode", "outputLayerMode", "bassLegato", "bodyLegato", "shimmerLegato", "bodyVoicing", "shimmerVoicing"
};

const juce::StringArray& voicingChoices()
{
    static const juce::StringArray names { "None", "First Inversion", "Smooth", "Guitarist", "Pianist", "Bassist", "Jazz" };
    return names;
}

// Out-of-range values from the host are mapped as stored values are read.
int outputLayerFromHost (int value) { return value >= 7 ? 0 : value; }
int voicingFromHost (int value)     { return value >= 7 ? 2 : value; }
} // namespace

juce::AudioProcessorValueTreeState::ParameterLayout CorvessaProcessor::createParameterLayout()
{
    juce::AudioProcessorValueTreeState::ParameterLayout layout;

    layout.add (std::make_unique<juce::AudioParameterChoice> (juce::ParameterID { "syncMode", 1 }, "Sync Mode",
                                                              juce::StringArray { "Off", "Leader", "Follower" }, 0));
    layout.add (std::make_unique<juce::AudioParameterChoice> (juce::ParameterID { "outputLayerMode", 1 }, "Output Layer",
                                                              juce::StringArray { "All", "Bass", "Body", "Shimmer",
                                                                                  "Bass + Body", "Bass + Shimmer", "Body + Shimmer" },
                                                              0));
    layout.add (std::make_unique<juce::AudioParameterBool> (juce::ParameterID { "bassLegato", 1 }, "Bass Legato", false));
    layout.add (std::make_unique<juce::AudioParameterBool> (juce::ParameterID { "bodyLegato", 1 }, "Body Legato", true));
    layout.add (std::make_unique<juce::AudioParameterBool> (juce::ParameterID { "shimmerLegato", 1 }, "Shimmer Legato", true));
    layout.add (std::make_unique<juce::AudioParameterChoice> (juce::ParameterID { "bodyVoicing", 1 }, "Body Voicing", voicingChoices(), 2));
    layout.add (std::make_unique<juce::AudioParameterChoice> (juce::ParameterID { "shimmerVoicing", 1 }, "Shimmer Voicing", voicingChoices(), 2));

    return layout;
}

void CorvessaProcessor::addParameterListeners()
{
    for (auto* id : parameterIds)
        parameters.addParameterListener (id, this);
}

void CorvessaProcessor::removeParameterListeners()
{
    for (auto* id : parameterIds)
        parameters.removeParameterListener (id, this);
}

//==============================================================================
// Any thread: only parks the value; the message thread applies it.
void CorvessaProcessor::parameterChanged (const juce::String& parameterID, float newValue)
{
    if (suppressParameterEcho.load() && echoSuppressedOnThread.load() == juce::Thread::getCurrentThreadId())
        return;

    const auto rounded = (int) std::lroundf (newValue);

    for (int slot = 0; slot < numParameterSlots; ++slot)
    {
        if (parameterID == parameterIds[slot])
        {
            parameterSlots[(size_t) slot].store (rounded);
            triggerAsyncUpdate();
            return;
        }
    }
}

void CorvessaProcessor::handleAsyncUpdate()
{
    auto take = [this] (ParameterSlot slot) { return parameterSlots[(size_t) slot].exchange (-1); };

    if (const auto mode = take (syncModeSlot); mode != -1)
    {
        syncRoleChosen.store (true);

        // The sync link stores the role it ends up in itself.
        if (syncLink != nullptr)
            syncLink->setMode (InstanceSync::toMode (mode));
        else
            editState ([mode] (PersistentState& s) { s.syncMode = (int) InstanceSync::toMode (mode); return true; }, {});

        editState ({}, { EditEffect::pushHostParameters });
    }

    // The output layer reaches the audio thread through its copy; no recompile.
    if (const auto layer = take (outputLayerModeSlot); layer != -1)
        editState ([layer] (PersistentState& s) { s.outputLayerMode = outputLayerFromHost (layer); return true; },
                   { EditEffect::pushHostParameters });

    // A follower plays the leader's arrangement: host changes of legato and voicing are set
    // back to the follower's own values instead of being applied.
    const bool following = getSyncMode() == (int) InstanceSync::Mode::Follower;
    std::vector<juce::RangedAudioParameter*> refused;

    auto applyMusical = [&] (ParameterSlot slot, auto&& store)
    {
        const auto value = take (slot);

        if (value == -1)
            return;

        if (following)
        {
            refused.push_back (parameterForSlot (slot));
            return;
        }

        editState ([&] (PersistentState& s) { store (s, value); return true; },
                   { EditEffect::regenerate, EditEffect::pushHostParameters });
    };

    applyMusical (bassLegatoSlot,     [] (PersistentState& s, int v) { s.bassLegato = v >= 1; });
    applyMusical (bodyLegatoSlot,     [] (PersistentState& s, int v) { s.bodyLegato = v >= 1; });
    applyMusical (shimmerLegatoSlot,  [] (PersistentState& s, int v) { s.shimmerLegato = v >= 1; });
    applyMusical (bodyVoicingSlot,    [] (PersistentState& s, int v) { s.bodyVoicing = s.inversionType = voicingFromHost (v); });
    applyMusical (shimmerVoicingSlot, [] (PersistentState& s, int v) { s.shimmerVoicing = voicingFromHost (v); });

    if (! refused.empty())
        setBackRefusedParameters (refused);
}

juce::RangedAudioParameter* CorvessaProcessor::parameterForSlot (ParameterSlot slot) const
{
    switch (slot)
    {
        case syncModeSlot:        return syncModeParameter;
        case outputLayerModeSlot: return outputLayerModeParameter;
        case bassLegatoSlot:      return bassLegatoParameter;
        case bodyLegatoSlot:      return bodyLegatoParameter;
        case shimmerLegatoSlot:   return shimmerLegatoParameter;
        case bodyVoicingSlot:     return bodyVoicingParameter;
        case shimmerVoicingSlot:  return shimmerVoicingParameter;
        case numParameterSlots:   break;
    }

    return nullptr;
}

void CorvessaProcessor::setBackRefusedParameters (const std::vector<juce::RangedAudioParameter*>& refused)
{
    editState ({}, { EditEffect::pushHostParameters });

    // The push sets only parameters that differ from the state. The host's own edits can
    // overtake each other (a delayed one may already have put the follower's value back), and
    // the host may still show the refused value: each refused parameter is announced to it
    // again, whatever it holds now.
    for (auto* parameter : refused)
        if (parameter != nullptr)
            withoutParameterEcho ([parameter] { parameter->setValueNotifyingHost (parameter->getValue()); });
}

//==============================================================================
void CorvessaProcessor::pushStateToHostParameters()
{
    const auto copy = getStateCopy();
    const auto syncMode = getSyncMode();

    // Sets a host parameter without hearing our own change back through the listener.
    auto setQuietly = [this] (auto&& set) { withoutParameterEcho (set); };

    auto pushChoice = [&] (juce::AudioParameterChoice* parameter, int stored)
    {
        if (parameter == nullptr)
            return;

        const auto target = stored < 0 ? 0 : juce::jmin (stored, parameter->choices.size() - 1);

        if (parameter->getIndex() != target)
            setQuietly ([&] { *parameter = target; });
    };

    auto pushBool = [&] (juce::AudioParameterBool* parameter, bool stored)
    {
        if (parameter != nullptr && parameter->get() != stored)
            setQuietly ([&] { *parameter = stored; });
    };

    pushChoice (syncModeParameter, syncMode);
    pushChoice (outputLayerModeParameter, copy.outputLayerMode);
    pushBool (bassLegatoParameter, copy.bassLegato);
    pushBool (bodyLegatoParameter, copy.bodyLegato);
    pushBool (shimmerLegatoParameter, copy.shimmerLegato);
    pushChoice (bodyVoicingParameter, copy.bodyVoicing);
    pushChoice (shimmerVoicingParameter, copy.shimmerVoicing);

    pushSectionParameter (copy.selectedSectionViewIndex);
}

void CorvessaProcessor::pushSectionParameter (int sectionIndex)
{
    if (sectionParameter == nullptr || sectionIndex < 0)
        return;

    const auto numSteps = sectionParameter->getNumSteps();

    if (numSteps < 1)
        return;

    {
        const juce::ScopedLock lock (stateLock);

        if (state.sectionPlaybackMode == 1)
            sectionIndex = (int) state.Sections.size();
    }

    const auto target = numSteps <= 1 ? 0.0f
                                      : (float) juce::jlimit (0, juce::jmax (numSteps - 1, 0), sectionIndex) / (float) (numSteps - 1);
    const auto current = sectionParameter->getValue();

    if (std::isnan (current) || std::abs (current - target) >= 1.0e-6f)
        sectionParameter->setValueNotifyingHost (target);
}

void CorvessaProcessor::keepSectionParameterStep (int countBefore, int stepBefore)
{
    // The parameter stores a normalised value, whose step depends on the step count: without
    // this, a song that grows or shrinks under a parameter the selection does not move would
    // switch to another section mid-song. Auto-Advance stays the last step; a section step that
    // no longer exists becomes the last section.
    const int countAfter = getSectionCount();

    if (sectionParameter == nullptr || countBefore == countAfter || countBefore <= 0 || countAfter <= 0 || stepBefore < 0)
        return;

    const int step = stepBefore >= countBefore ? countAfter : juce::jmin (stepBefore, countAfter - 1);
    const auto target = CorvessaSectionParameter::valueForStepIndex (step, countAfter + 1);

    if (std::abs (sectionParameter->getValue() - target) >= 1.0e-6f)
        sectionParameter->setValueNotifyingHost (target);
}

int CorvessaProcessor::getSectionParameterIndex() const
{
    if (sectionParameter == nullptr)
        return -1;

    return CorvessaSectionParameter::stepIndexForValue (sectionParameter->getValue(), sectionParameter->getNumSteps());
}
