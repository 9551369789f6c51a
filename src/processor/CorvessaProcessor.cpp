// The plug-in's processor: construction and tear-down, the host's queries, the bridge's
// description, and the audio callback. The state and its edit path, the host parameters, the
// state chunk, the compiled data and the other services live in the CorvessaProcessor*.cpp
// files beside this one.
#include "processor/CorvessaProcessor.h"

#include "editor/CorvessaEditor.h"
#include "processor/CorvessaServiceConfig.h"
#include "processor/playback/CompiledSlotNotes.h"
#include "processor/playback/SectionTimeline.h"
#include "processor/sync/InstanceSyncLink.h"

#include <algorithm>
#include <cmath>

juce::AudioProcessor::BusesProperties CorvessaProcessor::makeBusesProperties()
{
    if (isMidiEffectWrapper (juce::PluginHostType::getPluginLoadedAs()))
        return {};

    return BusesProperties().withOutput ("Output", juce::AudioChannelSet::stereo(), true);
}

CorvessaProcessor::CorvessaProcessor()
    : juce::AudioProcessor (makeBusesProperties()),
      parameters (*this, nullptr, "CorvessaState", createParameterLayout()),
      generationThread (*this),
      updateChecker (makeUpdateCheckerConfig()),
      telemetryClient (makeTelemetryConfig (wrapperType, &hostContext))
{
    for (auto& slot : parameterSlots)
        slot.store (-1);

    syncModeParameter        = dynamic_cast<juce::AudioParameterChoice*> (parameters.getParameter ("syncMode"));
    outputLayerModeParameter = dynamic_cast<juce::AudioParameterChoice*> (parameters.getParameter ("outputLayerMode"));
    bassLegatoParameter      = dynamic_cast<juce::AudioParameterBool*>   (parameters.getParameter ("bassLegato"));
    bodyLegatoParameter      = dynamic_cast<juce::AudioParameterBool*>   (parameters.getParameter ("bodyLegato"));
    shimmerLegatoParameter   = dynamic_cast<juce::AudioParameterBool*>   (parameters.getParameter ("shimmerLegato"));
    bodyVoicingParameter     = dynamic_cast<juce::AudioParameterChoice*> (parameters.getParameter ("bodyVoicing"));
    shimmerVoicingParameter  = dynamic_cast<juce::AudioParameterChoice*> (parameters.getParameter ("shimmerVoicing"));

    {
        auto owned = std::make_unique<CorvessaSectionParameter> (*this);
        sectionParameter = owned.get();
        addParameter (owned.release());
    }

    {
        const juce::ScopedLock lock (stateLock);

        if (! parameters.state.isValid())
            parameters.state = juce::ValueTree ("CorvessaState");

        writeStateTree();
    }

    syncLink = std::make_unique<InstanceSyncLink> (static_cast<StateEditor&> (*this));
    syncLink->rejoin();

    pushStateToHostParameters();
    addParameterListeners();

    // A running instance always has a bank: the first one is compiled here, before the
    // generation thread exists to do it.
    publishFirstBank();

    {
        velmar::McpPluginBridge::Config config;
        config.exportJson   = [this] { return exportPortableProject(); };
        config.validateJson = [this] (const juce::var& project) { return validatePortableProject (project); };
        config.applyJson    = [this] (const juce::var& project) { return applyPortableProject (project); };
        config.describe     = [this] { return describeForMcp(); };
        bridge = std::make_unique<velmar::McpPluginBridge> (std::move (config));
    }

    generationThread.startThread();
    updateChecker.checkForUpdates();
}

CorvessaProcessor::~CorvessaProcessor()
{
    bridge.reset();

    removeParameterListeners();
    cancelPendingUpdate();

    syncLink.reset();

    generationThread.stopCooperatively();
}

//==============================================================================
bool CorvessaProcessor::isMidiEffectWrapper (juce::AudioProcessor::WrapperType type) noexcept
{
    switch (type)
    {
        case wrapperType_Undefined:
        case wrapperType_VST3:
        case wrapperType_AudioUnit:
        case wrapperType_AudioUnitv3:
        case wrapperType_Standalone:
            return false;

        case wrapperType_VST:
        case wrapperType_AAX:
        case wrapperType_Unity:
        case wrapperType_LV2:
        default:
            return true;
    }
}

const juce::String CorvessaProcessor::getName() const      { return "Corvessa"; }
bool CorvessaProcessor::isMidiEffect() const                { return isMidiEffectWrapper (wrapperType); }
bool CorvessaProcessor::acceptsMidi() const                 { return true; }
bool CorvessaProcessor::producesMidi() const                { return true; }
double CorvessaProcessor::getTailLengthSeconds() const      { return 0.0; }
bool CorvessaProcessor::hasEditor() const                   { return true; }
int CorvessaProcessor::getNumPrograms()                     { return 1; }
int CorvessaProcessor::getCurrentProgram()                  { return 0; }
void CorvessaProcessor::setCurrentProgram (int)             {}
// Hosts list the one program by name, and the SDK's validator refuses a program without one.
const juce::String CorvessaProcessor::getProgramName (int)  { return "Default"; }
void CorvessaProcessor::changeProgramName (int, const juce::String&) {}

juce::AudioProcessorEditor* CorvessaProcessor::createEditor()
{
    return new CorvessaEditor (*this);
}

juce::VST3ClientExtensions* CorvessaProcessor::getVST3ClientExtensions()
{
    return &hostContext;
}

void CorvessaProcessor::setIHostApplication (Steinberg::FUnknown* host)
{
    hostContext.setIHostApplication (host);
}

bool CorvessaProcessor::requestTelemetryHeartbeat()
{
    return telemetryClient.requestHeartbeat();
}

void CorvessaProcessor::requestForcedTelemetryHeartbeat()
{
    telemetryClient.requestForcedHeartbeat();
}

//==============================================================================
velmar::McpPluginBridge::Description CorvessaProcessor::describeForMcp() const
{
    velmar::McpPluginBridge::Description description;
    description.product = "Corvessa";
    description.pluginVersion = CORVESSA_VERSION;

    const auto copy = getStateCopy();
    description.sectionCount = (int) copy.Sections.size();

    if ((size_t) (unsigned int) copy.selectedSectionViewIndex < copy.Sections.size())
        description.activeSectionName = copy.Sections[(size_t) copy.selectedSectionViewIndex].name;

    if (getSyncMode() == (int) InstanceSync::Mode::Follower)
    {
        description.writable = false;
        description.readOnlyReason = "INSTANCE_READ_ONLY_SYNC_FOLLOWER";
    }

    return description;
}

juce::String CorvessaProcessor::getMcpInstanceId() const
{
    return bridge != nullptr ? bridge->getInstanceId() : juce::String();
}

//==============================================================================
// The audio callback: follows the host transport, decides which section plays and where, and
// emits the difference between the notes that sound and the notes that should sound.
namespace
{
// Length in quarter notes of section i of a bank, as the timeline and the walk count it.
auto sectionLengthsOf (const CorvessaProcessor::CompiledSectionBank& bank)
{
    return [&bank] (int i)
    {
        const auto& snapshot = bank.sections[(size_t) i];
        return snapshot != nullptr ? snapshot->totalBeats : 0.0;
    };
}

bool isSameSnapshot (const std::weak_ptr<const CorvessaProcessor::CompiledSnapshot>& last,
                     const std::shared_ptr<const CorvessaProcessor::CompiledSnapshot>& current) noexcept
{
    // Identity of the shared object itself, which stays distinct from any snapshot made later
    // even if that one is allocated where this one was.
    return ! last.owner_before (current) && ! current.owner_before (last);
}
} // namespace

void CorvessaProcessor::prepareToPlay (double newSampleRate, int)
{
    telemetryClient.prepareUsageTracking (newSampleRate);
    sampleRate = newSampleRate;
    forgetSoundingState();
    lastPpq = -1.0;
}

void CorvessaProcessor::releaseResources()
{
    forgetSoundingState();
}

void CorvessaProcessor::forgetSoundingState()
{
    // The instrument downstream still holds these notes: the next block ends them first, or
    // they would hang after a buffer or rate change or a re-activation during playback.
    owedNoteOffs.merge (soundingNotes);
    owedNoteOffs.merge (soundingPreviewNotes);
    soundingNotes.clear();
    soundingPreviewNotes.clear();
    lastSlotIndex = -1;
    lastOutputMode = -1;
    lastSnapshot.reset();
    pendingSectionJump.store (-1);
    notesSounding.store (false);
}

void CorvessaProcessor::stopAllNotes (juce::MidiBuffer& midiMessages)
{
    PlaybackNotes::emitNoteOffs (soundingNotes, midiMessages);
    soundingNotes.clear();
    notesSounding.store (false);
    lastSlotIndex = -1;
    lastOutputMode = -1;
    lastSnapshot.reset();
    playingSectionIndex.store (-1);
    pendingSectionJump.store (-1);
    lastPpq = -1.0;
}

void CorvessaProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages)
{
    juce::ScopedNoDenormals noDenormals;

    // 1. The plug-in never makes sound.
    if (! buffer.hasBeenCleared())
        buffer.clear();

    const int numSamples = buffer.getNumSamples();
    if (numSamples <= 0)
        return; // a block without samples has no place for events and moves no time on

    // Notes that a preparation or release forgot end before anything else happens.
    if (! owedNoteOffs.isEmpty())
    {
        PlaybackNotes::emitNoteOffs (owedNoteOffs, midiMessages);
        owedNoteOffs.clear();
    }

    // A state replacement asks for the chord at the playhead to be rendered anew.
    if (playbackResetRequested.exchange (false))
        lastSnapshot.reset();

    // 2. Previews sound whatever the transport does.
    renderPreview (midiMessages);

    // 3, 4. Transport.
    juce::Optional<juce::AudioPlayHead::PositionInfo> position;
    if (auto* playHead = getPlayHead())
        position = playHead->getPosition();

    if (! position.hasValue())
    {
        transportPlaying.store (false);
        stopAllNotes (midiMessages);
        return;
    }

    const bool playing = position->getIsPlaying();
    transportPlaying.store (playing);
    if (! playing)
    {
        stopAllNotes (midiMessages);
        return;
    }

    // 5.
    telemetryClient.addProcessedSamples (numSamples, true);

    // 6. The bank stays alive to the end of the block (and beyond, until a newer one is used).
    // The last rendered snapshot belongs to the bank in use: it is forgotten before that bank
    // is given up, so its reference is never the last one to go on this thread.
    const auto* bank = compiledBank.acquireForAudio ([this] { lastSnapshot.reset(); });
    if (bank == nullptr)
        return;

    // 7, 8.
    const auto ppqValue = position->getPpqPosition();
    if (! ppqValue.hasValue())
        return;

    const double ppq = *ppqValue;
    if (ppq < 0.0)
    {
        transportPlaying.store (false);
        stopAllNotes (midiMessages);
        return;
    }

    // 9.
    const double bpm = position->getBpm().orFallback (120.0);
    transportBpm.store (bpm);
    transportPpq.store (ppq);

    // 10. The working section is never played on its own.
    const int numSections = (int) bank->sections.size();
    if (numSections < 1)
    {
        stopAllNotes (midiMessages);
        return;
    }

    // 11. The section parameter's step, read without the state lock.
    const int hostStep = getSectionParameterIndex();

    // 12. A jump of the host position between blocks places the cursor anew; so does a
    // finite position after a pass start that is not finite (a host position that was not a
    // number), which could never be walked from.
    const double blockBeats = numSamples * bpm / (juce::jmax (sampleRate, 1.0) * 60.0);
    const bool relocated = (lastPpq >= 0.0 && std::abs (ppq - lastPpq) > juce::jmax (2.0 * blockBeats, 0.25))
                           || (std::isfinite (ppq) && ! std::isfinite (sectionStartPpq));

    // 13.
    const int previousSection = playingSectionIndex.load();
    const auto lengthOf = sectionLengthsOf (*bank);

    // 14. Auto-Advance follows the timeline when there is one.
    bool placedOnTimeline = false;
    if (hostStep >= numSections)
    {
        SectionTimeline::Place place;
        if (SectionTimeline::placeOnTimeline (numSections, ppq, lengthOf, place))
        {
            cursor.reset (place.section, numSections, true);
            sectionStartPpq = place.passStart;
            lastHostStep = hostStep;
            awaitedHostStep = -1;
            pendingSectionJump.store (-1);
            pendingPlaybackMode.store (-1);
            placedOnTimeline = true;
        }
    }

    if (! placedOnTimeline)
    {
        // 15. Placement and requests.
        if (previousSection < 0 || relocated)
        {
            // The Auto-Advance step without a timeline position places the selected section,
            // read from its mirror: the audio thread never waits for the state lock.
            const int target = hostStep < numSections ? hostStep : selectionMirror.load (std::memory_order_relaxed);
            cursor.reset (target, numSections, hostStep >= numSections);
            sectionStartPpq = ppq;
            lastHostStep = hostStep;
            awaitedHostStep = -1;
            pendingSectionJump.store (-1);
        }
        else
        {
            const int mode = pendingPlaybackMode.exchange (-1);
            const int jump = pendingSectionJump.exchange (-1);

            if (mode >= 0)
            {
                cursor.advance = mode != 0;
                lastHostStep = hostStep;
            }

            if (jump >= 0)
            {
                cursor.queuedIndex = juce::jmin (jump, numSections - 1);
                lastHostStep = hostStep;
                // A selection posts its jump and then moves the section parameter to the same
                // step; this block may fall between the two. That move, when it comes, is not
                // a host's request to start the section at once.
                awaitedHostStep = hostStep == cursor.queuedIndex ? -1 : cursor.queuedIndex;
            }
            else if (hostStep != lastHostStep)
            {
                if (hostStep == awaitedHostStep)
                {
                    // The selection's own parameter move: its jump is already queued.
                }
                else if (hostStep >= numSections)
                {
                    cursor.advance = true;
                }
                else
                {
                    cursor.index = juce::jlimit (0, numSections - 1, hostStep);
                    cursor.queuedIndex = -1;
                    cursor.advance = false;
                    sectionStartPpq = ppq;
                }
                lastHostStep = hostStep;
                awaitedHostStep = -1;
            }
        }

        // A newer bank may hold fewer sections than the cursor assumes.
        if (cursor.index >= numSections)
            cursor.index = numSections - 1;

        // 16. Walk over the section ends up to the position.
        SectionTimeline::walkSectionEnds (cursor, sectionStartPpq, ppq, numSections, lengthOf);
    }

    const int section = cursor.index >= numSections ? numSections - 1 : cursor.index;

    // 17.
    if (section != previousSection)
        playingSectionIndex.store (section);
    lastPpq = ppq;

    // 18.
    const auto& snapshotRef = section >= 0 ? bank->sections[(size_t) section] : bank->working;
    const auto* snapshot = snapshotRef.get();

    // 19. Nothing to play: the notes that sound end.
    if (snapshot == nullptr || ! (snapshot->totalBeats > 0.0) || snapshot->slots.empty())
    {
        sectionPositionBars.store (0.0);
        if (! soundingNotes.isEmpty())
        {
            PlaybackNotes::emitNoteOffs (soundingNotes, midiMessages);
            soundingNotes.clear();
        }
        notesSounding.store (false);
        lastSlotIndex = -1;
        lastOutputMode = -1;
        lastSnapshot = snapshotRef;
        return;
    }

    // 20. Position inside the section.
    double sectionPosition = std::fmod (ppq - sectionStartPpq, snapshot->totalBeats);
    if (sectionPosition < 0.0)
        sectionPosition += snapshot->totalBeats;
    sectionPositionBars.store (sectionPosition * 0.25);
    const double tick = sectionPosition * 128.0;
    const int mode = clampOutputLayerMode (audioOutputLayerMode.load (std::memory_order_relaxed));

    // 21. The chord slot under the playhead.
    const bool sameSnapshot = isSameSnapshot (lastSnapshot, snapshotRef);
    int slot;
    if (sameSnapshot)
    {
        slot = PlaybackNotes::findChordSlotAt (snapshot->slots, tick, lastSlotIndex, 0.0);
        if (mode == lastOutputMode && slot == lastSlotIndex)
            return; // nothing changed
    }
    else
    {
        slot = PlaybackNotes::findChordSlotAt (snapshot->slots, tick, -1, 0.0);
    }

    // 22.
    PlaybackNotes::OutputNoteSet next;
    if (slot >= 0 && slot < (int) snapshot->slots.size())
        next = outputNoteSet (snapshot->slots[(size_t) slot], mode, *snapshot);

    // 23. A recompile that leaves the chord under the playhead as it was does not retrigger it.
    const bool unchangedAfterRecompile = ! sameSnapshot && slot == lastSlotIndex && soundingNotes == next.notes;

    // 24.
    if (! unchangedAfterRecompile)
    {
        PlaybackNotes::emitNoteDifference (soundingNotes, next, midiMessages, numSamples);
        soundingNotes = next.notes;
    }

    // 25.
    notesSounding.store (! soundingNotes.isEmpty());
    lastSlotIndex = slot;
    lastOutputMode = mode;
    lastSnapshot = snapshotRef;
}

//==============================================================================
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new CorvessaProcessor();
}
