#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

namespace corvessa::test
{

// The host's play head as a test drives it: playing at a position, stopped, or without any
// position. Header only, so that the headless host's own copy of the framework can use it too.
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
        position = info;
    }

    void stop()
    {
        PositionInfo info;
        info.setIsPlaying (false);
        info.setPpqPosition (0.0);
        position = info;
    }

    void removePosition() { position = {}; }

    juce::Optional<PositionInfo> position;
};

} // namespace corvessa::test
