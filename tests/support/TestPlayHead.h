#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <cmath>

namespace corvessa::test
{

// The host's play head as a test drives it: playing at a position, stopped, or without any
// position. Header only, so that the headless host's own copy of the framework can use it too.
// A position always carries its time in samples, as every host gives it: the framework's VST3
// hosting asserts on a position without one.
class TestPlayHead : public juce::AudioPlayHead
{
public:
    juce::Optional<PositionInfo> getPosition() const override { return position; }

    void play (double ppq, double bpm = 120.0)
    {
        PositionInfo info;
        info.setIsPlaying (true);
        info.setPpqPosition (ppq);
        info.setBpm (bpm);
        // Tests also play positions that are not numbers: their time is then the start.
        const double samples = ppq * 60.0 / bpm * sampleRate;
        info.setTimeInSamples (std::isfinite (samples) && std::abs (samples) < 1.0e18 ? (juce::int64) std::llround (samples) : 0);
        position = info;
    }

    void stop()
    {
        PositionInfo info;
        info.setIsPlaying (false);
        info.setPpqPosition (0.0);
        info.setTimeInSamples (0);
        position = info;
    }

    void removePosition() { position = {}; }

    double sampleRate = 44100.0;   // turns the quarter-note position into samples
    juce::Optional<PositionInfo> position;
};

} // namespace corvessa::test
