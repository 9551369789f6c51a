#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include "compile/CompiledSection.h"
#include "kit/bridge/McpPluginBridge.h"
#include "kit/services/TelemetryClient.h"
#include "kit/services/TelemetryHostContext.h"
#include "kit/services/UpdateChecker.h"
#include "processor/CorvessaSectionParameter.h"
#include "processor/playback/BankHandover.h"
#include "processor/playback/TransportSnapshot.h"
#include "processor/state/PersistentState.h"
#include "processor/state/StateEditor.h"

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <set>
#include <utility>
#include <vector>

class InstanceSyncLink;

// The plug-in's audio processor: one per plug-in instance. It owns the editable state and its
// lock, the host parameters, the compiled bank and the thread that builds it, the playback and
// preview state of the audio thread, the kit services, the instance-sync link and the bridge
// for an outside AI client. Every other part of the program reaches the arrangement only
// through the locked getters and setters, the compiled-data accessors and the preview calls
// declared here.
//
// The implementation is split by area: CorvessaProcessor.cpp (construction, tear-down, host
// queries, the audio callback) and the CorvessaProcessor*.cpp files beside it (the state and
// its one edit path, host parameters, state chunk, compiled data, playback values, previews,
// MIDI clips, portable project). The pieces it composes sit in sub-folders by concern: state
// (the record and its formats), playback, sync and clips.
//
// Threads: "message" is the thread the host creates the instance on and serves its messages
// on (the editor, the bridge, the sync timers); "audio" is the host's audio callback; "any"
// may be any thread, the audio thread included, and never blocks.
//
// JUCE 7.0.5 has no AudioProcessor::getVST3ClientExtensions: its VST3 wrapper casts the
// processor itself to juce::VST3ClientExtensions, so the processor is one and forwards the
// host application to its host context.
class CorvessaProcessor : public juce::AudioProcessor,
                          public juce::AudioProcessorValueTreeState::Listener,
                          public juce::AsyncUpdater,
                          public juce::VST3ClientExtensions,
                          private StateEditor
{
public:
    //==== compiled section types and the section compile ===========================================
    // The compile engine's types (compile/CompiledSection.h), by the names the processor gives them.
    using CompiledSnapshot = ::CompiledSnapshot;
    using CompiledSectionBank = ::CompiledSectionBank;
    using SectionCompileOutput = ::SectionCompileOutput;

    // Any thread. The engine's section compile (compile/SectionCompile.h); reads no processor state.
    static SectionCompileOutput compileSection (const SectionMode::SectionData& section,
                                                const juce::String& defaultDuration,
                                                juce::uint64 generation,
                                                std::shared_ptr<const CompiledSnapshot> previous,
                                                const std::function<bool()>& overtaken = {});
    //==== end of compiled section types ============================================================

    // The background thread that compiles the state into a bank after each change.
    class ChordGenerationThread : public juce::Thread
    {
    public:
        explicit ChordGenerationThread (CorvessaProcessor& owner);
        ~ChordGenerationThread() override;

        // Any thread but the audio thread. Signals the thread that the state changed (or that it
        // should look at its exit flag).
        void wake();

        // Message thread (tear-down). Asks the thread to stop and waits until it has. A compile in flight is abandoned
        // at its next chord (the generation is moved on), so this never needs the framework's
        // forced kill, which would leave the thread running on freed state.
        void stopCooperatively();

        void run() override;

    private:
        CorvessaProcessor& processor;
        juce::WaitableEvent wakeEvent;   // resets itself when a wait returns

        JUCE_DECLARE_NON_COPYABLE (ChordGenerationThread)
    };

    // The thread the host creates and deletes instances on.
    CorvessaProcessor();
    ~CorvessaProcessor() override;

    //==== host queries (any thread; constants or the wrapper type) ==================================
    const juce::String getName() const override;
    bool isMidiEffect() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    double getTailLengthSeconds() const override;
    bool hasEditor() const override;
    juce::AudioProcessorEditor* createEditor() override;
    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;

    // Message thread. The host context that the VST3 wrapper hands the host application to.
    juce::VST3ClientExtensions* getVST3ClientExtensions();
    void setIHostApplication (Steinberg::FUnknown* host) override;

    // Any thread. Whether an instance of the given wrapper type is a MIDI effect (and so has no bus).
    static bool isMidiEffectWrapper (juce::AudioProcessor::WrapperType type) noexcept;

    //==== AI-client bridge (message thread) ==========================================================
    velmar::McpPluginBridge::Description describeForMcp() const;
    juce::String getMcpInstanceId() const;

    //==== kit services (message thread; the editor shows and changes their state) =====================
    velmar::UpdateChecker& getUpdateChecker() noexcept { return updateChecker; }
    velmar::TelemetryClient& getTelemetryClient() noexcept { return telemetryClient; }
    bool requestTelemetryHeartbeat();
    void requestForcedTelemetryHeartbeat();

    //==== state: getters (message thread; each takes the state lock; texts and lists are copies) ======
    juce::String getProgression() const;
    int getBodyVoicing() const;
    int getShimmerVoicing() const;
    int getBassOctave() const;
    int getBodyOctave() const;
    int getShimmerOctave() const;
    bool getArrangeBassAddOctave() const;
    bool getArrangeBassAddFifth() const;
    bool getArrangeBodyAddRoot() const;
    bool getArrangeBodyAddFifth() const;
    bool getArrangeBodyWithShimmer() const;
    bool getArrangeShimmerTopNoteEnabled() const;
    bool getArrangeShimmerColorNotesEnabled() const;
    bool getBassLegato() const;
    bool getBodyLegato() const;
    bool getShimmerLegato() const;
    bool isLocked() const;
    bool getMoodVisible() const;
    int getMoodId() const;
    int getMoodKeyId() const;
    bool getMoodFifthOfFifth() const;
    bool getMoodTritone() const;
    bool getMoodChromaticMediant() const;
    bool getMoodSlashChords() const;
    int getMoodBars() const;
    juce::String getCurrentScaleName() const;
    juce::String getCurrentRootKey() const;
    juce::String getCurrentSuggestedBpm() const;
    SectionList getSections() const;
    int getSectionPlaybackMode() const;
    int getSelectedArrangementVoiceTab() const;
    int getSelectedSectionViewIndex() const;
    int getSyncMode() const;
    bool isAnotherSyncLeaderActive() const;
    int getOutputLayerMode() const noexcept;   // any thread: the audio-side copy, no lock
    PersistentState getStateCopy() const override;
    SectionMode::SectionData getWorkingSection() const;

    //==== state: setters (message thread; through the edit path: lock, clamp, store, write the tree,
    // unlock, then the setter's effects) ============================================================
    void setArrangeBassAddOctave (bool shouldAdd);
    void setArrangeBassAddFifth (bool shouldAdd);
    void setArrangeBodyAddRoot (bool shouldAdd);
    void setArrangeBodyAddFifth (bool shouldAdd);
    void setArrangeBodyWithShimmer (bool shouldAdd);
    void setArrangeShimmerTopNoteEnabled (bool shouldEnable);
    void setArrangeShimmerColorNotesEnabled (bool shouldEnable);
    void setBassOctave (int offset);
    void setBodyOctave (int offset);
    void setShimmerOctave (int offset);
    void setBassLegato (bool shouldHold);
    void setBodyLegato (bool shouldHold);
    void setShimmerLegato (bool shouldHold);
    void setBodyVoicing (int styleIndex);
    void setShimmerVoicing (int styleIndex);
    void setProgression (const juce::String& newProgression);
    void setCurrentScale (const juce::String& scaleName, const juce::String& rootKey, const juce::String& suggestedBpm);
    void setOutputLayerMode (int mode);
    void setLocked (bool shouldLock);
    void setMoodVisible (bool shouldShow);
    void setMoodFifthOfFifth (bool shouldUse);
    void setMoodTritone (bool shouldUse);
    void setMoodChromaticMediant (bool shouldUse);
    void setMoodSlashChords (bool shouldUse);
    void setMoodId (int moodId);
    void setMoodKeyId (int keyId);
    void setMoodBars (int bars);
    void setSelectedArrangementVoiceTab (int tab);
    void setSections (const SectionList& newSections, bool regenerate);
    void setSectionPlaybackMode (int mode);
    void setSelectedSectionViewIndex (int index);
    bool setSyncMode (int mode);
    bool takeOverSyncLeadership();
    void setWorkingSection (const SectionMode::SectionData& section);
    void replaceState (const PersistentState& newState, bool keepSyncFieldsOfLiveState) override;

    // Message thread. Generation + 1, compile pending, wake the generator.
    void requestRegeneration();

    //==== host parameters =========================================================================
    static juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout();   // constructing thread
    // Any thread (host automation, the audio thread): parks the value for handleAsyncUpdate.
    void parameterChanged (const juce::String& parameterID, float newValue) override;
    // Message thread: the parked host changes reach the state.
    void handleAsyncUpdate() override;
    // Message thread.
    void pushStateToHostParameters();
    void pushSectionParameter (int sectionIndex);
    // Any thread: the section parameter's step, without the state lock.
    int getSectionParameterIndex() const;
    // Any thread: the number of sections, without the state lock.
    int getSectionCount() const noexcept { return sectionCountMirror.load (std::memory_order_relaxed); }

    //==== host state chunk (the thread the host saves and loads on, not the audio thread) ==========
    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;
    void writeStateTree();                              // the caller holds the state lock
    void restoreStateTree (const juce::ValueTree& tree);
    void keepSyncFields (PersistentState& record) const;
    void migrateLegacyState (const juce::XmlElement& root);

    //==== portable project (message thread; the counter any thread) =================================
    juce::var exportPortableProject() const;
    juce::Result validatePortableProject (const juce::var& project) const;
    juce::Result applyPortableProject (const juce::var& project);
    juce::uint64 getExternalEditCounter() const noexcept { return externalEditCounter.load(); }

    // Any thread. Goes up whenever the song is replaced by someone other than the window: the
    // host restoring a state, a sync leader's song reaching this follower. An open window
    // reloads its controls and section row when it moves.
    juce::uint64 getOutsideSongChangeCounter() const noexcept { return outsideSongChangeCounter.load(); }

    //==== compiled bank ===========================================================================
    // compileBank: the generation thread (and the constructing thread once); it reads no lock.
    // publishCompiledBank: the constructing thread, then only the generation thread. The readers
    // below: any thread but the audio thread (which plays through its own hand-over), none takes
    // the state lock except getCurrentCompiledSnapshot and the accessors built on it (to name the
    // current section). compileProgressionPreview: message thread.
    // `putOff` as for the engine's compileBank: sections that may wait, as stand-ins.
    CompiledSectionBank compileBank (const PersistentState& stateCopy, juce::uint64 generationValue,
                                     const std::shared_ptr<const CompiledSectionBank>& previous,
                                     const std::function<bool (size_t)>& putOff = {}) const;
    void publishCompiledBank (std::shared_ptr<const CompiledSectionBank> bank);
    std::shared_ptr<const CompiledSectionBank> loadCompiledBank() const;
    std::shared_ptr<const CompiledSnapshot> getCurrentCompiledSnapshot() const;
    std::vector<int> getCompiledLayerNotes (int slotIndex, int layer) const;
    std::vector<ChordEvent> getCompiledChords() const;
    SectionCompileResult getCompileResult (int index) const;
    juce::StringArray getCompileMessages (int index) const;
    int getCompileStatus (int index) const;
    bool isGenerationPending() const noexcept;
    // The counter of changes the compiled result depends on.
    juce::uint64 getGeneration() const noexcept { return generation.load(); }
    ProgressionPreview compileProgressionPreview (const juce::String& progressionText) const;

    //==== playback ================================================================================
    // Audio thread (the host never calls these concurrently).
    void prepareToPlay (double newSampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages) override;
    using juce::AudioProcessor::processBlock;
    void stopAllNotes (juce::MidiBuffer& midiMessages);
    // Any thread, no lock: values the audio thread wrote, possibly one block old.
    TransportSnapshot getTransportSnapshot() const noexcept;
    bool hasSoundingNotes() const noexcept;
    bool isAutoAdvanceSelected() const;
    // Message thread (reads the selection under the state lock when nothing plays).
    int getCurrentSectionIndex() const;

    //==== previews (message thread posts; renderPreview is the audio thread's) ======================
    void postPreview (const std::vector<std::pair<int, int>>& channelNotePairs, int velocity, bool stop);
    void previewLayerNotes (const std::vector<int>& bassNotes, const std::vector<int>& bodyNotes,
                            const std::vector<int>& shimmerNotes, int velocity);
    void previewCompiledChord (int slotIndex, int velocity);
    void stopPreview();
    void renderPreview (juce::MidiBuffer& midiMessages);

    //==== MIDI clips (message thread) ==============================================================
    juce::File exportSectionMidi (const juce::File& destinationFolder) const;
    juce::File exportLayerMidi (const juce::File& destinationFolder, int layer) const;

    // Indices of the seven parking slots, in the parameter layout's order.
    enum ParameterSlot
    {
        syncModeSlot = 0,
        outputLayerModeSlot,
        bassLegatoSlot,
        bodyLegatoSlot,
        shimmerLegatoSlot,
        bodyVoicingSlot,
        shimmerVoicingSlot,
        numParameterSlots
    };

private:
    friend class CorvessaSectionParameter;
    // Tests only (tests/support): holds the state lock from outside and watches the effects of
    // edits.
    friend struct CorvessaProcessorTestProbe;

    //==== the one edit path =======================================================================
    // Message thread (the constructing thread during construction). Every writer of the state
    // goes through here: `change` edits the live record under the state lock (false: nothing
    // changed, nothing written, no effect), the state tree and the lock-free mirrors follow, and
    // after the lock the writer's effects run in its order.
    bool editState (const std::function<bool (PersistentState&)>& change, const EditEffects& effects) override;
    void runEditEffect (EditEffect effect, bool sectionNamesChanged);
    void markSyncRoleChosen() override;
    // Tests only: told of every effect an edit runs.
    std::function<void (EditEffect)> editEffectObserver;

    // The bus layout follows the wrapper the module was loaded by, decided before the base
    // class exists: formats that treat the plug-in as an instrument get one silent stereo output.
    static BusesProperties makeBusesProperties();

    void addParameterListeners();
    void removeParameterListeners();
    juce::RangedAudioParameter* parameterForSlot (ParameterSlot slot) const;
    // A follower's answer to host edits of its legato and voicing parameters.
    void setBackRefusedParameters (const std::vector<juce::RangedAudioParameter*>& refused);
    // After the number of sections changed: puts the section parameter back on the step it
    // stood on before (its value is a fraction of the step count).
    void keepSectionParameterStep (int countBefore, int stepBefore);
    // Forgets the notes and the chord playback was sounding, when the host starts or stops it.
    void forgetSoundingState();
    // Compiles the state on the constructing thread and publishes it: the instance's first bank.
    void publishFirstBank();
    // One pass of the generation thread: compiles the state as it is now and publishes the bank
    // unless a newer change arrived meanwhile. Returns false when it was overtaken. When other
    // sections need compiling too, the sections heard first go out in a bank of their own before.
    bool compileLatest();
    // Generation thread: which sections of the state playback would play first (the section
    // parameter's step, the selection, the section playing, and under Auto-Advance the place of
    // the transport on the song's timeline), true per index.
    std::vector<bool> sectionsHeardFirst (const PersistentState& stateCopy) const;
    // Below this many chords in the sections not heard first, a song is compiled in one go: about
    // ten milliseconds of the slowest styles' dense chords.
    static constexpr size_t chordsWorthPuttingOff = 256;
    // Runs `setParameters` with the parameter listener ignoring the calls it produces.
    template <typename Function>
    void withoutParameterEcho (Function&& setParameters)
    {
        echoSuppressedOnThread.store (juce::Thread::getCurrentThreadId());
        suppressParameterEcho.store (true);
        setParameters();
        suppressParameterEcho.store (false);
        echoSuppressedOnThread.store (nullptr);
    }


    //==== members, in construction order ==========================================================
    juce::AudioProcessorValueTreeState parameters;
    juce::AudioParameterChoice* syncModeParameter = nullptr;
    juce::AudioParameterChoice* outputLayerModeParameter = nullptr;
    juce::AudioParameterBool* bassLegatoParameter = nullptr;
    juce::AudioParameterBool* bodyLegatoParameter = nullptr;
    juce::AudioParameterBool* shimmerLegatoParameter = nullptr;
    juce::AudioParameterChoice* bodyVoicingParameter = nullptr;
    juce::AudioParameterChoice* shimmerVoicingParameter = nullptr;
    CorvessaSectionParameter* sectionParameter = nullptr;   // owned by the processor's parameter list

    mutable juce::CriticalSection stateLock;
    PersistentState state;
    // The number of sections in `state`, kept beside it so that the audio thread and the host's
    // parameter queries never copy the section list under the lock.
    std::atomic<int> sectionCountMirror { 0 };
    // The selected section as getSelectedSectionViewIndex answers it, for the audio thread.
    std::atomic<int> selectionMirror { -1 };

    BankHandover compiledBank;   // the published bank, for the audio thread too
    std::atomic<juce::uint64> generation { 0 };
    std::atomic<bool> compilePending { false };

    //==== playback and previews: audio-thread state ===============================================
    // The values that the editor reads are atomic. Note sets are fixed-size bit sets and the
    // preview slots atomics, so the audio thread never allocates, frees or locks for them.
    double sampleRate = 44100.0;
    ChannelNoteSet soundingNotes;
    ChannelNoteSet soundingPreviewNotes;
    // Notes that were sounding when the host prepared or released the processor again.
    ChannelNoteSet owedNoteOffs;
    int lastSlotIndex = -1;
    int lastOutputMode = -1;
    // Identity of the snapshot last rendered, only compared: a weak reference cannot match a
    // later snapshot allocated where a freed one was. It always refers to a snapshot of the
    // bank in use, so releasing it never frees anything on the audio thread.
    std::weak_ptr<const CompiledSnapshot> lastSnapshot;
    // Raised by a state replacement on the message thread; the audio thread takes it at the
    // start of a block and forgets `lastSnapshot`, so the chord at the playhead is rendered anew.
    std::atomic<bool> playbackResetRequested { false };
    std::atomic<bool> notesSounding { false };
    std::atomic<int> audioOutputLayerMode { 0 };
    std::atomic<bool> transportPlaying { false };
    std::atomic<double> transportBpm { 120.0 };
    std::atomic<double> transportPpq { 0.0 };
    std::atomic<double> sectionPositionBars { 0.0 };

    // Preview mailbox: the message thread fills the slot the reader is not looking at, then
    // flips the index (processor/PreviewMailbox.h).
    PreviewMailbox previewMailbox;
    juce::uint64 lastPreviewSequence = 0;

    std::atomic<int> playingSectionIndex { -1 };
    SectionCursor cursor;
    std::atomic<int> pendingSectionJump { -1 };
    std::atomic<int> pendingPlaybackMode { -1 };
    int lastHostStep = -1;
    // The step a queued selection is about to move the section parameter to, -1 none.
    int awaitedHostStep = -1;
    double sectionStartPpq = 0.0;
    double lastPpq = -1.0;

    //==== end of playback and previews ============================================================

    std::atomic<juce::uint64> externalEditCounter { 0 };
    std::atomic<juce::uint64> outsideSongChangeCounter { 0 };

    ChordGenerationThread generationThread;

    velmar::UpdateChecker updateChecker;
    velmar::TelemetryHostContext hostContext;
    velmar::TelemetryClient telemetryClient;

    std::unique_ptr<InstanceSyncLink> syncLink;
    std::unique_ptr<velmar::McpPluginBridge> bridge;

    std::atomic<bool> syncRoleChosen { false };
    // Raised while the processor itself sets host parameters (a push, a state load). Only the
    // listener calls made on the thread that raised it are its own echo: a host edit arriving
    // meanwhile on another thread is a real change and must not be swallowed.
    std::atomic<bool> suppressParameterEcho { false };
    std::atomic<juce::Thread::ThreadID> echoSuppressedOnThread { nullptr };
    std::array<std::atomic<int>, numParameterSlots> parameterSlots;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CorvessaProcessor)
};
