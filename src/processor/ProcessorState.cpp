// The processor's editable state: locked getters, and setters that store, write the state tree
// and then set their effects in motion (recompile, host parameter push, immediate sync publish)
// once the lock is released.
#include "processor/CorvessaProcessor.h"

#include "processor/InstanceSyncLink.h"

namespace
{
// Whether the host must re-read the section parameter's step count and texts.
bool sectionNamesDiffer (const SectionList& before, const SectionList& after)
{
    if (before.size() != after.size())
        return true;

    for (size_t i = 0; i < before.size(); ++i)
        if (before[i].name != after[i].name)
            return true;

    return false;
}
} // namespace

//==============================================================================
template <typename Field>
void CorvessaProcessor::storeField (Field PersistentState::* field, Field newValue)
{
    const juce::ScopedLock lock (stateLock);
    state.*field = std::move (newValue);
    writeStateTree();
}

// Used from other files of the processor too (host parameters).
template void CorvessaProcessor::storeField<bool> (bool PersistentState::*, bool);
template void CorvessaProcessor::storeField<int> (int PersistentState::*, int);

void CorvessaProcessor::requestRegeneration()
{
    generation.fetch_add (1);
    compilePending.store (true);
    generationThread.wake();
}

void CorvessaProcessor::publishSyncNow()
{
    if (syncLink != nullptr)
        syncLink->publishNow();
}

void CorvessaProcessor::resetPlaybackPosition()
{
    playingSectionIndex.store (-1);
    pendingSectionJump.store (-1);
    playbackResetRequested.store (true);
}

//==============================================================================
#define CORVESSA_LOCKED_GETTER(Type, getterName, field) \
    Type CorvessaProcessor::getterName() const           \
    {                                                    \
        const juce::ScopedLock lock (stateLock);         \
        return state.field;                              \
    }

CORVESSA_LOCKED_GETTER (juce::String, getProgression, progression)
CORVESSA_LOCKED_GETTER (int, getBodyVoicing, bodyVoicing)
CORVESSA_LOCKED_GETTER (int, getShimmerVoicing, shimmerVoicing)
CORVESSA_LOCKED_GETTER (int, getBassOctave, bassOctave)
CORVESSA_LOCKED_GETTER (int, getBodyOctave, bodyOctave)
CORVESSA_LOCKED_GETTER (int, getShimmerOctave, shimmerOctave)
CORVESSA_LOCKED_GETTER (bool, getArrangeBassAddOctave, arrangeBassAddOctave)
CORVESSA_LOCKED_GETTER (bool, getArrangeBassAddFifth, arrangeBassAddFifth)
CORVESSA_LOCKED_GETTER (bool, getArrangeBodyAddRoot, arrangeBodyAddRoot)
CORVESSA_LOCKED_GETTER (bool, getArrangeBodyAddFifth, arrangeBodyAddFifth)
CORVESSA_LOCKED_GETTER (bool, getArrangeBodyWithShimmer, arrangeBodyWithShimmer)
CORVESSA_LOCKED_GETTER (bool, getArrangeShimmerTopNoteEnabled, arrangeShimmerTopNoteEnabled)
CORVESSA_LOCKED_GETTER (bool, getArrangeShimmerColorNotesEnabled, arrangeShimmerColorNotesEnabled)
CORVESSA_LOCKED_GETTER (bool, getBassLegato, bassLegato)
CORVESSA_LOCKED_GETTER (bool, getBodyLegato, bodyLegato)
CORVESSA_LOCKED_GETTER (bool, getShimmerLegato, shimmerLegato)
CORVESSA_LOCKED_GETTER (bool, isLocked, locked)
CORVESSA_LOCKED_GETTER (bool, getMoodVisible, moodVisible)
CORVESSA_LOCKED_GETTER (int, getMoodId, moodId)
CORVESSA_LOCKED_GETTER (int, getMoodKeyId, moodKeyId)
CORVESSA_LOCKED_GETTER (bool, getMoodFifthOfFifth, moodFifthOfFifth)
CORVESSA_LOCKED_GETTER (bool, getMoodTritone, moodTritone)
CORVESSA_LOCKED_GETTER (bool, getMoodChromaticMediant, moodChromaticMediant)
CORVESSA_LOCKED_GETTER (bool, getMoodSlashChords, moodSlashChords)
CORVESSA_LOCKED_GETTER (int, getMoodBars, moodBars)
CORVESSA_LOCKED_GETTER (juce::String, getCurrentScaleName, currentScaleName)
CORVESSA_LOCKED_GETTER (juce::String, getCurrentRootKey, currentRootKey)
CORVESSA_LOCKED_GETTER (juce::String, getCurrentSuggestedBpm, currentSuggestedBpm)
CORVESSA_LOCKED_GETTER (SectionList, getSections, Sections)
CORVESSA_LOCKED_GETTER (int, getSectionPlaybackMode, sectionPlaybackMode)

#undef CORVESSA_LOCKED_GETTER

int CorvessaProcessor::getSelectedArrangementVoiceTab() const
{
    const juce::ScopedLock lock (stateLock);
    return clampArrangementVoiceTab (state.selectedArrangementVoiceTab);
}

int CorvessaProcessor::getSelectedSectionViewIndex() const
{
    const juce::ScopedLock lock (stateLock);
    return clampSelectedSectionViewIndex (state.selectedSectionViewIndex, (int) state.Sections.size());
}

int CorvessaProcessor::getSyncMode() const
{
    if (syncLink != nullptr)
        return (int) syncLink->getMode();

    const juce::ScopedLock lock (stateLock);
    return state.syncMode;
}

bool CorvessaProcessor::isAnotherSyncLeaderActive() const
{
    return syncLink != nullptr && syncLink->isAnotherLeaderActive();
}

int CorvessaProcessor::getOutputLayerMode() const noexcept
{
    return clampOutputLayerMode (audioOutputLayerMode.load (std::memory_order_relaxed));
}

PersistentState CorvessaProcessor::getStateCopy() const
{
    const juce::ScopedLock lock (stateLock);
    return state;
}

SectionMode::SectionData CorvessaProcessor::getWorkingSection() const
{
    return makeWorkingSection (getStateCopy());
}

//==============================================================================
// Arrangement flags and octave offsets: the compiled notes depend on them.
void CorvessaProcessor::setArrangeBassAddOctave (bool b)           { storeField (&PersistentState::arrangeBassAddOctave, b);            requestRegeneration(); }
void CorvessaProcessor::setArrangeBassAddFifth (bool b)            { storeField (&PersistentState::arrangeBassAddFifth, b);             requestRegeneration(); }
void CorvessaProcessor::setArrangeBodyAddRoot (bool b)             { storeField (&PersistentState::arrangeBodyAddRoot, b);              requestRegeneration(); }
void CorvessaProcessor::setArrangeBodyAddFifth (bool b)            { storeField (&PersistentState::arrangeBodyAddFifth, b);             requestRegeneration(); }
void CorvessaProcessor::setArrangeBodyWithShimmer (bool b)         { storeField (&PersistentState::arrangeBodyWithShimmer, b);          requestRegeneration(); }
void CorvessaProcessor::setArrangeShimmerTopNoteEnabled (bool b)   { storeField (&PersistentState::arrangeShimmerTopNoteEnabled, b);    requestRegeneration(); }
void CorvessaProcessor::setArrangeShimmerColorNotesEnabled (bool b){ storeField (&PersistentState::arrangeShimmerColorNotesEnabled, b); requestRegeneration(); }

void CorvessaProcessor::setBassOctave (int offset)    { storeField (&PersistentState::bassOctave, clampLayerOctaveOffset (offset));    requestRegeneration(); }
void CorvessaProcessor::setBodyOctave (int offset)    { storeField (&PersistentState::bodyOctave, clampLayerOctaveOffset (offset));    requestRegeneration(); }
void CorvessaProcessor::setShimmerOctave (int offset) { storeField (&PersistentState::shimmerOctave, clampLayerOctaveOffset (offset)); requestRegeneration(); }

// Legato and voicing are also host parameters.
void CorvessaProcessor::setBassLegato (bool b)    { storeField (&PersistentState::bassLegato, b);    requestRegeneration(); pushStateToHostParameters(); }
void CorvessaProcessor::setBodyLegato (bool b)    { storeField (&PersistentState::bodyLegato, b);    requestRegeneration(); pushStateToHostParameters(); }
void CorvessaProcessor::setShimmerLegato (bool b) { storeField (&PersistentState::shimmerLegato, b); requestRegeneration(); pushStateToHostParameters(); }

void CorvessaProcessor::setBodyVoicing (int styleIndex)
{
    {
        const juce::ScopedLock lock (stateLock);
        state.bodyVoicing = styleIndex;
        state.inversionType = styleIndex;
        writeStateTree();
    }

    requestRegeneration();
    pushStateToHostParameters();
}

void CorvessaProcessor::setShimmerVoicing (int styleIndex)
{
    storeField (&PersistentState::shimmerVoicing, styleIndex);
    requestRegeneration();
    pushStateToHostParameters();
}

void CorvessaProcessor::setProgression (const juce::String& newProgression)
{
    storeField (&PersistentState::progression, newProgression);
    requestRegeneration();
    publishSyncNow();
}

void CorvessaProcessor::setCurrentScale (const juce::String& scaleName, const juce::String& rootKey, const juce::String& suggestedBpm)
{
    {
        const juce::ScopedLock lock (stateLock);
        state.currentScaleName = scaleName;
        state.currentRootKey = rootKey;
        state.currentSuggestedBpm = suggestedBpm;
        writeStateTree();
    }

    publishSyncNow();
}

void CorvessaProcessor::setOutputLayerMode (int mode)
{
    const auto clamped = clampOutputLayerMode (mode);
    storeField (&PersistentState::outputLayerMode, clamped);
    // The channel-1 mix is applied by the audio thread at its next block; no recompile.
    audioOutputLayerMode.store (clamped);
    pushStateToHostParameters();
}

// Editor and mood-panel settings: stored and saved, nothing else.
void CorvessaProcessor::setLocked (bool b)                 { storeField (&PersistentState::locked, b); }
void CorvessaProcessor::setMoodVisible (bool b)            { storeField (&PersistentState::moodVisible, b); }
void CorvessaProcessor::setMoodFifthOfFifth (bool b)       { storeField (&PersistentState::moodFifthOfFifth, b); }
void CorvessaProcessor::setMoodTritone (bool b)            { storeField (&PersistentState::moodTritone, b); }
void CorvessaProcessor::setMoodChromaticMediant (bool b)   { storeField (&PersistentState::moodChromaticMediant, b); }
void CorvessaProcessor::setMoodSlashChords (bool b)        { storeField (&PersistentState::moodSlashChords, b); }
void CorvessaProcessor::setMoodId (int value)              { storeField (&PersistentState::moodId, value); }
void CorvessaProcessor::setMoodKeyId (int value)           { storeField (&PersistentState::moodKeyId, value); }
void CorvessaProcessor::setMoodBars (int value)            { storeField (&PersistentState::moodBars, value); }

void CorvessaProcessor::setSelectedArrangementVoiceTab (int tab)
{
    const auto clamped = clampArrangementVoiceTab (tab);
    const juce::ScopedLock lock (stateLock);

    if (state.selectedArrangementVoiceTab == clamped)
        return;

    state.selectedArrangementVoiceTab = clamped;
    writeStateTree();
}

//==============================================================================
void CorvessaProcessor::setSections (const SectionList& newSections, bool regenerate)
{
    bool namesChanged = false;
    const auto countBefore = getSectionCount();
    const auto stepBefore = getSectionParameterIndex();

    {
        const juce::ScopedLock lock (stateLock);
        namesChanged = sectionNamesDiffer (state.Sections, newSections);
        state.Sections = newSections;
        state.selectedSectionViewIndex = clampSelectedSectionViewIndex (state.selectedSectionViewIndex,
                                                                        (int) state.Sections.size());
        writeStateTree();
    }

    keepSectionParameterStep (countBefore, stepBefore);
    pushSectionParameter (getSelectedSectionViewIndex());

    if (namesChanged)
        updateHostDisplay (juce::AudioProcessorListener::ChangeDetails().withParameterInfoChanged (true));

    pendingSectionJump.store (-1);

    if (regenerate)
        requestRegeneration();

    publishSyncNow();
}

void CorvessaProcessor::setSectionPlaybackMode (int mode)
{
    storeField (&PersistentState::sectionPlaybackMode, mode);

    pendingPlaybackMode.store (mode == 1 ? 1 : 0);

    if (mode == 1)
        pushSectionParameter (getSectionCount());
    else
        pushSectionParameter (juce::jmax (0, playingSectionIndex.load()));

    publishSyncNow();
}

void CorvessaProcessor::setSelectedSectionViewIndex (int index)
{
    {
        const juce::ScopedLock lock (stateLock);
        state.selectedSectionViewIndex = clampSelectedSectionViewIndex (index, (int) state.Sections.size());
        writeStateTree();
    }

    const auto selected = getSelectedSectionViewIndex();

    // On a section step the jump waits for the playing section to end; on the Auto-Advance step
    // the timeline decides and a queued jump would fight it.
    if (sectionParameter == nullptr || getSectionParameterIndex() < getSectionCount())
        pendingSectionJump.store (selected);
    else
        pendingSectionJump.store (-1);

    pushSectionParameter (selected);
    publishSyncNow();
}

bool CorvessaProcessor::setSyncMode (int mode)
{
    syncRoleChosen.store (true);

    bool accepted = true;

    if (syncLink != nullptr)
        accepted = syncLink->setMode (InstanceSync::toMode (mode));
    else
        storeField (&PersistentState::syncMode, mode);

    pushStateToHostParameters();
    return accepted;
}

bool CorvessaProcessor::takeOverSyncLeadership()
{
    syncRoleChosen.store (true);

    bool accepted = true;

    if (syncLink != nullptr)
        accepted = syncLink->takeOver();
    else
        storeField (&PersistentState::syncMode, (int) InstanceSync::Mode::Leader);

    pushStateToHostParameters();
    return accepted;
}

void CorvessaProcessor::setWorkingSection (const SectionMode::SectionData& section)
{
    {
        const juce::ScopedLock lock (stateLock);
        state.applySection (section);
        writeStateTree();
    }

    requestRegeneration();
    pushStateToHostParameters();
    publishSyncNow();
}

void CorvessaProcessor::replaceState (const PersistentState& newState, bool keepSyncFieldsOfLiveState)
{
    auto record = newState;

    if (keepSyncFieldsOfLiveState)
        keepSyncFields (record);

    bool namesChanged = false;
    const auto countBefore = getSectionCount();
    const auto stepBefore = getSectionParameterIndex();

    {
        const juce::ScopedLock lock (stateLock);
        namesChanged = sectionNamesDiffer (state.Sections, record.Sections);
        state = std::move (record);
        writeStateTree();
        audioOutputLayerMode.store (state.outputLayerMode);
    }

    keepSectionParameterStep (countBefore, stepBefore);

    resetPlaybackPosition();

    if (syncLink != nullptr && ! keepSyncFieldsOfLiveState)
    {
        syncLink->rejoin();

        if (syncLink->getMode() != InstanceSync::Mode::Off)
            syncRoleChosen.store (true);
    }

    pushStateToHostParameters();

    if (namesChanged)
        updateHostDisplay (juce::AudioProcessorListener::ChangeDetails().withParameterInfoChanged (true));

    requestRegeneration();
    publishSyncNow();
}
