// Loading and deleting one instance in the headless host, as a host does when it opens or
// closes a project with many instances: Corvessa beside a bare JUCE instrument built the same
// way. Wall time counts, not only CPU: a host waits for whatever the plug-in waits on (its
// threads, its services' shutdown). The label carries a checksum of what the host saw of each
// instance (its name and parameters), so that the two stay the plug-ins they claim to be.

#include <juce_audio_processors/juce_audio_processors.h>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace
{
struct Host
{
    Host()
    {
        // A HOME of the run's own: the plug-in writes settings, sync and bridge files.
        char pattern[] = "/tmp/corvessa-bench-home-XXXXXX";
        if (const char* dir = ::mkdtemp (pattern))
            ::setenv ("HOME", dir, 1);
        ::setenv ("DISPLAY", ":59999", 1);

        initialiser = std::make_unique<juce::ScopedJuceInitialiser_GUI>();
    }

    juce::PluginDescription describe (const char* bundle)
    {
        juce::OwnedArray<juce::PluginDescription> found;
        format.findAllTypesForFile (found, bundle);
        return found.isEmpty() ? juce::PluginDescription() : *found.getFirst();
    }

    std::unique_ptr<juce::ScopedJuceInitialiser_GUI> initialiser;
    juce::VST3PluginFormat format;
};

// Made and destroyed by main, around the run: a function-local static would be destroyed at
// exit, after statics of the framework's that its shutdown still uses, and crash there.
Host* currentHost = nullptr;

Host& host()
{
    return *currentHost;
}

void loadAndDelete (benchmark::State& state, const char* bundle)
{
    auto& h = host();
    const auto description = h.describe (bundle);

    if (description.name.isEmpty())
    {
        state.SkipWithError ("the plug-in cannot be scanned");
        return;
    }

    std::uint64_t checksum = 0;

    for (auto _ : state)
    {
        juce::String error;
        auto instance = h.format.createInstanceFromDescription (description, 44100.0, 512, error);

        if (instance == nullptr)
        {
            state.SkipWithError (error.toRawUTF8());
            return;
        }

        instance->enableAllBuses();
        instance->prepareToPlay (44100.0, 512);

        checksum = (std::uint64_t) instance->getName().hashCode64() ^ (std::uint64_t) instance->getParameters().size();

        instance->releaseResources();
        instance.reset();
    }

    state.SetLabel ("checksum=" + std::to_string (checksum));
}

void BM_LoadAndDeleteCorvessa (benchmark::State& state)       { loadAndDelete (state, CORVESSA_VST3_PATH); }
void BM_LoadAndDeleteBareInstrument (benchmark::State& state) { loadAndDelete (state, BARE_INSTRUMENT_VST3_PATH); }
} // namespace

BENCHMARK (BM_LoadAndDeleteBareInstrument)->UseRealTime()->Unit (benchmark::kMillisecond);
BENCHMARK (BM_LoadAndDeleteCorvessa)->UseRealTime()->Unit (benchmark::kMillisecond);

int main (int argc, char** argv)
{
    benchmark::Initialize (&argc, argv);

    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;

    {
        Host h;
        currentHost = &h;
        benchmark::RunSpecifiedBenchmarks();
        currentHost = nullptr;
    }

    return 0;
}
