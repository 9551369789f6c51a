// The AI-client bridge's cost on the message thread, through the processor's own callbacks: a
// tick with nothing to do (no request waiting, presence not due) and a set_json of a 32-section
// song (export, canonical form and hash, the processor's check and apply, the confirming export,
// the presence and the response written). The client's own file work is not timed.
#include "kit/bridge/McpPluginBridge.h"
#include "kit/json/JsonReader.h"
#include "kit/json/JsonWriter.h"
#include "processor/CorvessaProcessor.h"

#include <benchmark/benchmark.h>

#include <set>

namespace
{
velmar::McpPluginBridge::Config callbacksOf (CorvessaProcessor& processor)
{
    velmar::McpPluginBridge::Config config;
    config.exportJson   = [&processor] { return processor.exportPortableProject(); };
    config.validateJson = [&processor] (const juce::var& project) { return processor.validatePortableProject (project); };
    config.applyJson    = [&processor] (const juce::var& project) { return processor.applyPortableProject (project); };
    config.describe     = [&processor] { return processor.describeForMcp(); };
    return config;
}

// 32 sections of four one-bar chords each, the selection on the first.
void loadSong (CorvessaProcessor& processor, const char* const (&chords)[4])
{
    SectionList sections;
    for (int s = 0; s < 32; ++s)
    {
        SectionMode::SectionData section;
        section.name = "Section " + juce::String (s + 1);
        section.progression = juce::String (chords[s % 4]) + " " + chords[(s + 1) % 4] + " "
                              + chords[(s + 2) % 4] + " " + chords[(s + 3) % 4];
        section.rootKey = "C";
        section.scale = "Major";
        section.suggestedBpm = "120 BPM";
        sections.push_back (section);
    }
    processor.setSections (sections, true);
    processor.setSelectedSectionViewIndex (0);
}

void BM_BridgeIdleTick (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    CorvessaProcessor processor;
    const char* const chords[] = { "C", "G", "Am", "F" };
    loadSong (processor, chords);

    const juce::int64 clockMs = 1700000000000;
    velmar::McpPluginBridge bridge (callbacksOf (processor), [clockMs] { return clockMs; });

    for (auto _ : state)
        bridge.timerCallback();

    // Fingerprint: initialised, nothing answered, the presence at revision 1.
    const auto presence = velmar::JsonReader::parse (bridge.getPresenceFile().loadFileAsString());
    state.counters["initialised"] = bridge.isInitialised() ? 1.0 : 0.0;
    state.counters["responses"] = (double) bridge.getResponsesDirectory().getNumberOfChildFiles (juce::File::findFiles);
    state.counters["revision"] = (double) (juce::int64) presence["revision"];
}
BENCHMARK (BM_BridgeIdleTick)->Unit (benchmark::kMicrosecond);

void BM_BridgeSetJson32Sections (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    CorvessaProcessor processor;

    // Two songs to set in turn, in the form the bridge exports.
    const char* const first[] = { "C", "G", "Am", "F" };
    const char* const second[] = { "Dm7", "G7", "Cmaj7", "A7" };
    loadSong (processor, second);
    const auto songB = processor.exportPortableProject();
    loadSong (processor, first);
    const auto songA = processor.exportPortableProject();

    juce::int64 clockMs = 1700000000000;
    velmar::McpPluginBridge bridge (callbacksOf (processor), [&clockMs] { return clockMs; });

    juce::int64 revision = 1;
    int count = 0;
    std::set<juce::String> contents;
    bool allOk = true;

    for (auto _ : state)
    {
        state.PauseTiming();
        const auto id = "set-" + juce::String (++count);
        auto* request = new juce::DynamicObject();
        request->setProperty ("format", "velmar-mcp-request");
        request->setProperty ("version", 1);
        request->setProperty ("requestId", id);
        request->setProperty ("instanceId", bridge.getInstanceId());
        request->setProperty ("operation", "set_json");
        request->setProperty ("createdAtMs", clockMs);
        request->setProperty ("expiresAtMs", clockMs + 60000);
        request->setProperty ("expectedRevision", revision);
        request->setProperty ("changeId", id);
        request->setProperty ("project", count % 2 == 0 ? songA : songB);
        bridge.getRequestsDirectory().getChildFile (id + ".json")
            .replaceWithText (velmar::JsonWriter::toString (juce::var (request)), false, false, nullptr);
        state.ResumeTiming();

        bridge.timerCallback();

        state.PauseTiming();
        const auto responseFile = bridge.getResponsesDirectory().getChildFile (id + ".json");
        const auto response = velmar::JsonReader::parse (responseFile.loadFileAsString());
        allOk = allOk && (bool) response["ok"] && (bool) response["contentChanged"];
        revision = (juce::int64) response["revision"];
        contents.insert (response["contentRevision"].toString());
        responseFile.deleteFile();
        state.ResumeTiming();
    }

    // Fingerprint: every set changed the song, and the two songs' content revisions.
    juce::int64 fingerprint = 0;
    for (const auto& content : contents)
        fingerprint ^= content.hashCode64();

    state.counters["allOk"] = allOk ? 1.0 : 0.0;
    state.counters["songs"] = (double) contents.size();
    state.counters["fingerprint"] = (double) (fingerprint & 0xffffffff);
    state.counters["projectBytes"] = (double) velmar::JsonWriter::toString (songA).getNumBytesAsUTF8();
}
BENCHMARK (BM_BridgeSetJson32Sections)->Unit (benchmark::kMillisecond);
} // namespace
