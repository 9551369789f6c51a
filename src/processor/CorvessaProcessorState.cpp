// The processor's editable state: locked getters, and the one edit path through which every
// writer changes it (setters, replacement, state restore, host parameters, the sync link, the
// portable apply), each naming the effects that follow its change.
#include "processor/CorvessaProcessor.h"

#include "processor/sync/InstanceSyncLink.h"

namespace
{
// What the host's texts of the section parameter are made of: the count and the names.
juce::StringArray sectionNamesOf (const SectionList& sections)
{
    juce::StringArray names;

    for (const auto& section : sections)
        names.add (section.name);

    return names;
}

// One field of the record, stored by an edit.
template <typename Field, typename Value>
std::function<bool (PersistentState&)> storing (Field PersistentState::* field, Value value)
{
    return [field, value] (PersistentState& state) { state.*field = value; return true; };
}
} // namespace

//==============================================================================
bool CorvessaProcessor::editState (const std::function<bool (PersistentState&)>& change, const EditEffects& effects)
{
    const auto countBefore = getSectionCount();
    const auto stepBefore = getSectionParameterIndex();
    bool namesChanged = false;

    if (change)
    {
        const juce::ScopedLock lock (stateLock);
        const auto namesBefore = sectionNamesOf (state.Sections);

        if (! change (state))
            return false;

        namesChanged = namesBefore != sectionNamesOf (state.Sections);
        writeStateTree();
    }

    // The section parameter's value is a fraction of its step count: a new count must not make
    // it name another step.
    keepSectionParameterStep (countBefore, stepBefore);

    for (const auto effect : effects)
        runEditEffect (effect, namesChanged);

    return true;
}

void CorvessaProcessor::runEditEffect (EditEffect effect, bool sectionNamesChanged)
{
    if (effect == EditEffect::updateHostDisplay && ! sectionNamesChanged)
        return;

    if (editEffectObserver)
        editEffectObserver (effect);

    switch (effect)
    {
        case EditEffect::regenerate:
            requestRegeneration();
            break;

        case EditEffect::pushHostParameters:
            pushStateToHostParameters();
            break;

        case EditEffect::updateHostDisplay:
            updateHostDisplay (juce::AudioProcessorListener::ChangeDetails().withParameterInfoChanged (true));
            break;

        case EditEffect::publishSync:
            if (syncLink != nullptr)
                syncLink->publishNow();
            break;

        case EditEffect::countExternalEdit:
            externalEditCounter.fetch_add (1);
            break;

        case EditEffect::countOutsideSongChange:
            outsideSongChangeCounter.fetch_add (1);
            break;

        case EditEffect::resetPlayback:
            playingSectionIndex.store (-1);
            pendingSectionJump.store (-1);
            playbackResetRequested.store (true);
            break;

        case EditEffect::rejoinSyncRole:
            if (syncLink != nullptr)
            {
                syncLink->rejoin();

                if (syncLink->getMode() != InstanceSync::Mode::Off)
                    syncRoleChosen.store (true);
            }
            break;

        case EditEffect::moveSectionParameter:
            pushSectionParameter (getSelectedSectionViewIndex());
            break;

        case EditEffect::clearPendingJump:
            pendingSectionJump.store (-1);
            break;

        case EditEffect::postSelectionJump:
            // On a section step the jump waits for the playing section to end; on the
            // Auto-Advance step the timeline decides and a queued jump would fight it.
            if (sectionParameter == nullptr || getSectionParameterIndex() < getSectionCount())
                pendingSectionJump.store (getSelectedSectionViewIndex());
            else
                pendingSectionJump.store (-1);
            break;

        case EditEffect::postPlaybackMode:
        {
            const auto advance = getSectionPlaybackMode() == 1;
            pendingPlaybackMode.store (advance ? 1 : 0);
            pushSectionParameter (advance ? getSectionCount() : juce::jmax (0, playingSectionIndex.load()));
            break;
        }
    }
}

void CorvessaProcessor::requestRegeneration()
{
    generation.fetch_add (1);
    compilePending.store (true);
    generationThread.wake();
}

void CorvessaProcessor::markSyncRoleChosen()
{
    syncRoleChosen.store (true);
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
void CorvessaProcessor::setArrangeBassAddOctave (bool b)            { editState (storing (&PersistentState::arrangeBassAddOctave, b), { EditEffect::regenerate }); }
void CorvessaProcessor::setArrangeBassAddFifth (bool b)             { editState (storing (&PersistentState::arrangeBassAddFifth, b), { EditEffect::regenerate }); }
void CorvessaProcessor::setArrangeBodyAddRoot (bool b)              { editState (storing (&PersistentState::arrangeBodyAddRoot, b), { EditEffect::regenerate }); }
void CorvessaProcessor::setArrangeBodyAddFifth (bool b)             { editState (storing (&PersistentState::arrangeBodyAddFifth, b), { EditEffect::regenerate }); }
void CorvessaProcessor::setArrangeBodyWithShimmer (bool b)          { editState (storing (&PersistentState::arrangeBodyWithShimmer, b), { EditEffect::regenerate }); }
void CorvessaProcessor::setArrangeShimmerTopNoteEnabled (bool b)    { editState (storing (&PersistentState::arrangeShimmerTopNoteEnabled, b), { EditEffect::regenerate }); }
void CorvessaProcessor::setArrangeShimmerColorNotesEnabled (bool b) { editState (storing (&PersistentState::arrangeShimmerColorNotesEnabled, b), { EditEffect::regenerate }); }

void CorvessaProcessor::setBassOctave (int offset)    { editState (storing (&PersistentState::bassOctave, clampLayerOctaveOffset (offset)), { EditEffect::regenerate }); }
void CorvessaProcessor::setBodyOctave (int offset)    { editState (storing (&PersistentState::bodyOctave, clampLayerOctaveOffset (offset)), { EditEffect::regenerate }); }
void CorvessaProcessor::setShimmerOctave (int offset) { editState (storing (&PersistentState::shimmerOctave, clampLayerOctaveOffset (offset)), { EditEffect::regenerate }); }

// Legato and voicing are also host parameters.
void CorvessaProcessor::setBassLegato (bool b)    { editState (storing (&PersistentState::bassLegato, b), { EditEffect::regenerate, EditEffect::pushHostParameters }); }
void CorvessaProcessor::setBodyLegato (bool b)    { editState (storing (&PersistentState::bodyLegato, b), { EditEffect::regenerate, EditEffect::pushHostParameters }); }
void CorvessaProcessor::setShimmerLegato (bool b) { editState (storing (&PersistentState::shimmerLegato, b), { EditEffect::regenerate, EditEffect::pushHostParameters }); }

void CorvessaProcessor::setBodyVoicing (int styleIndex)
{
    editState ([styleIndex] (PersistentState& s) { s.bodyVoicing = s.inversionType = styleIndex; return true; },
               { EditEffect::regenerate, EditEffect::pushHostParameters });
}

void CorvessaProcessor::setShimmerVoicing (int styleIndex)
{
    editState (storing (&PersistentState::shimmerVoicing, styleIndex), { EditEffect::regenerate, EditEffect::pushHostParameters });
}

void CorvessaProcessor::setProgression (const juce::String& newProgression)
{
    editState (storing (&PersistentState::progression, newProgression), { EditEffect::regenerate, EditEffect::publishSync });
}

void CorvessaProcessor::setCurrentScale (const juce::String& scaleName, const juce::String& rootKey, const juce::String& suggestedBpm)
{
    // No recompile: the caller sets the sections next.
    editState ([&] (PersistentState& s)
               {
                   s.currentScaleName = scaleName;
                   s.currentRootKey = rootKey;
                   s.currentSuggestedBpm = suggestedBpm;
                   return true;
               },
               { EditEffect::publishSync });
}

void CorvessaProcessor::setOutputLayerMode (int mode)
{
    // The channel-1 mix reaches the audio thread through its copy at the next block; no recompile.
    editState (storing (&PersistentState::outputLayerMode, clampOutputLayerMode (mode)), { EditEffect::pushHostParameters });
}

// Editor and mood-panel settings: stored and saved, nothing else.
void CorvessaProcessor::setLocked (bool b)                 { editState (storing (&PersistentState::locked, b), {}); }
void CorvessaProcessor::setMoodVisible (bool b)            { editState (storing (&PersistentState::moodVisible, b), {}); }
void CorvessaProcessor::setMoodFifthOfFifth (bool b)       { editState (storing (&PersistentState::moodFifthOfFifth, b), {}); }
void CorvessaProcessor::setMoodTritone (bool b)            { editState (storing (&PersistentState::moodTritone, b), {}); }
void CorvessaProcessor::setMoodChromaticMediant (bool b)   { editState (storing (&PersistentState::moodChromaticMediant, b), {}); }
void CorvessaProcessor::setMoodSlashChords (bool b)        { editState (storing (&PersistentState::moodSlashChords, b), {}); }
void CorvessaProcessor::setMoodId (int value)              { editState (storing (&PersistentState::moodId, value), {}); }
void CorvessaProcessor::setMoodKeyId (int value)           { editState (storing (&PersistentState::moodKeyId, value), {}); }
void CorvessaProcessor::setMoodBars (int value)            { editState (storing (&PersistentState::moodBars, value), {}); }

void CorvessaProcessor::setSelectedArrangementVoiceTab (int tab)
{
    const auto clamped = clampArrangementVoiceTab (tab);

    // Written only when it changes.
    editState ([clamped] (PersistentState& s)
               {
                   if (s.selectedArrangementVoiceTab == clamped)
                       return false;

                   s.selectedArrangementVoiceTab = clamped;
                   return true;
               },
               {});
}

//==============================================================================
void CorvessaProcessor::setSections (const SectionList& newSections, bool regenerate)
{
    EditEffects effects { EditEffect::moveSectionParameter, EditEffect::updateHostDisplay, EditEffect::clearPendingJump };

    if (regenerate)
        effects.push_back (EditEffect::regenerate);

    effects.push_back (EditEffect::publishSync);

    editState ([&newSections] (PersistentState& s)
               {
                   s.Sections = newSections;
                   s.selectedSectionViewIndex = clampSelectedSectionViewIndex (s.selectedSectionViewIndex, (int) s.Sections.size());
                   return true;
               },
               effects);
}

void CorvessaProcessor::setSectionPlaybackMode (int mode)
{
    editState (storing (&PersistentState::sectionPlaybackMode, mode), { EditEffect::postPlaybackMode, EditEffect::publishSync });
}

void CorvessaProcessor::setSelectedSectionViewIndex (int index)
{
    editState ([index] (PersistentState& s)
               {
                   s.selectedSectionViewIndex = clampSelectedSectionViewIndex (index, (int) s.Sections.size());
                   return true;
               },
               { EditEffect::postSelectionJump, EditEffect::moveSectionParameter, EditEffect::publishSync });
}

bool CorvessaProcessor::setSyncMode (int mode)
{
    syncRoleChosen.store (true);

    // The sync link stores the role it ends up in itself.
    const bool accepted = syncLink != nullptr ? syncLink->setMode (InstanceSync::toMode (mode))
                                              : editState (storing (&PersistentState::syncMode, mode), {});

    // Also after a refusal: the host's parameter shows the role in force.
    editState ({}, { EditEffect::pushHostParameters });
    return accepted;
}

bool CorvessaProcessor::takeOverSyncLeadership()
{
    syncRoleChosen.store (true);

    const bool accepted = syncLink != nullptr ? syncLink->takeOver()
                                              : editState (storing (&PersistentState::syncMode, (int) InstanceSync::Mode::Leader), {});

    editState ({}, { EditEffect::pushHostParameters });
    return accepted;
}

void CorvessaProcessor::setWorkingSection (const SectionMode::SectionData& section)
{
    editState ([&section] (PersistentState& s) { s.applySection (section); return true; },
               { EditEffect::regenerate, EditEffect::pushHostParameters, EditEffect::publishSync });
}

void CorvessaProcessor::replaceState (const PersistentState& newState, bool keepSyncFieldsOfLiveState)
{
    auto record = newState;

    if (keepSyncFieldsOfLiveState)
        keepSyncFields (record);

    EditEffects effects { EditEffect::resetPlayback };

    if (! keepSyncFieldsOfLiveState)
        effects.push_back (EditEffect::rejoinSyncRole);

    effects.insert (effects.end(), { EditEffect::pushHostParameters, EditEffect::updateHostDisplay,
                                     EditEffect::regenerate, EditEffect::publishSync });

    editState ([&record] (PersistentState& s) { s = std::move (record); return true; }, effects);
}
