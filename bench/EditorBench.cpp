// The plug-in window's steady costs: one 33 ms refresh tick with nothing changed, and one full
// paint of the canvas at scales 1.0 and 2.0. Each reports the median in microseconds, the
// tick's share of its period, and a fingerprint of what it produced.
#include "editor/CorvessaEditor.h"
#include "processor/CorvessaProcessor.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>

namespace
{
// A window with a song of four sections, its compile done, in a HOME of its own so that the
// window's settings never reach the user's.
struct WindowScene
{
    WindowScene()
    {
        static const auto home = juce::File::createTempFile ("corvessa-bench-home");
        home.createDirectory();
        ::setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);
        if (const char* display = std::getenv ("DISPLAY"); display == nullptr || *display == 0)
            ::setenv ("DISPLAY", ":65535", 1);

        processor = std::make_unique<CorvessaProcessor>();
        processor->getTelemetryClient().markWelcomeSeen();

        SectionList sections;
        const char* progressions[] = { "C:2 Am F G", "Dm7 G7 Cmaj7 A7", "F G Em Am", "Bb F Gm Eb" };
        for (int i = 0; i < 4; ++i)
        {
            SectionMode::SectionData section;
            section.name = juce::String::charToString ((juce::juce_wchar) ('A' + i));
            section.progression = progressions[i];
            sections.push_back (section);
        }
        processor->setSections (sections, true);
        processor->setSelectedSectionViewIndex (0);

        const auto end = juce::Time::getMillisecondCounter() + 10000;
        while (processor->isGenerationPending() && juce::Time::getMillisecondCounter() < end)
            juce::Thread::sleep (1);

        editor.reset (dynamic_cast<CorvessaEditor*> (processor->createEditor()));
        for (int i = 0; i < 3; ++i)
            tick();
    }

    ~WindowScene()
    {
        processor->editorBeingDeleted (editor.get());
        editor.reset();
        processor.reset();
    }

    void tick() { editor->timerCallback (CorvessaEditor::refreshTimerId); }

    juce::ScopedJuceInitialiser_GUI gui;
    std::unique_ptr<CorvessaProcessor> processor;
    std::unique_ptr<CorvessaEditor> editor;
};

double medianMicroseconds (std::vector<double>& samples)
{
    std::sort (samples.begin(), samples.end());
    return samples.empty() ? 0.0 : samples[samples.size() / 2];
}

void BM_EditorIdleTick (benchmark::State& state)
{
    WindowScene scene;
    std::vector<double> samples;

    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        scene.tick();
        samples.push_back (std::chrono::duration<double, std::micro> (std::chrono::steady_clock::now() - start).count());
    }

    const auto median = medianMicroseconds (samples);
    state.counters["median_us"] = median;
    state.counters["share_of_33ms_percent"] = median / 33000.0 * 100.0;
    state.counters["fingerprint"] = (double) (juce::DefaultHashFunctions::generateHash (
        scene.processor->exportPortableProject().toString(), 1 << 20));
}

void BM_EditorFullPaint (benchmark::State& state)
{
    WindowScene scene;
    const auto scale = (double) state.range (0) / 100.0;
    scene.editor->setSize (juce::roundToInt (600 * scale), juce::roundToInt (860 * scale));

    juce::Image image (juce::Image::ARGB, scene.editor->getWidth(), scene.editor->getHeight(), true);
    std::vector<double> samples;

    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        {
            juce::Graphics g (image);
            scene.editor->paintEntireComponent (g, true);
        }
        samples.push_back (std::chrono::duration<double, std::micro> (std::chrono::steady_clock::now() - start).count());
    }

    juce::int64 fingerprint = 0;
    for (int y = 0; y < image.getHeight(); y += 7)
        for (int x = 0; x < image.getWidth(); x += 5)
            fingerprint = (fingerprint * 31 + (juce::int64) image.getPixelAt (x, y).getARGB()) % 1000000007;

    state.counters["median_us"] = medianMicroseconds (samples);
    state.counters["fingerprint"] = (double) fingerprint;
}
} // namespace

BENCHMARK (BM_EditorIdleTick)->Unit (benchmark::kMicrosecond)->MinTime (0.5);
BENCHMARK (BM_EditorFullPaint)->Arg (100)->Arg (200)->Unit (benchmark::kMillisecond)->MinTime (0.5);
