#include "processor/CorvessaProcessor.h"

#include "editor/CorvessaEditor.h"
#include "kit/services/CorvessaServiceConfig.h"
#include "processor/InstanceSyncLink.h"

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
    description.pluginVersion = "1.3.4";

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
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new CorvessaProcessor();
}
