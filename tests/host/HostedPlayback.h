#pragma once

// An instance of the built plug-in loaded with a song and played under a test transport, block
// by block; the MIDI of each block comes back as note events.
#include "PluginHost.h"

#include "../processor/MidiEventList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

class HostedPlayback
{
public:
    using Events = std::vector<MidiEvent>;

    static constexpr double sampleRate = 44100.0;
    static constexpr int blockSize = 512;
    static constexpr double blockBeats = blockSize * 120.0 / (sampleRate * 60.0);

    explicit HostedPlayback (const char* chunkXml) : HostedPlayback (PluginHost::chunkFromXml (chunkXml)) {}

    explicit HostedPlayback (const juce::MemoryBlock& processorChunk)
    {
        juce::String error;
        instance = PluginHost::createInstance (sampleRate, blockSize, &error);
        if (instance == nullptr)
        {
            ADD_FAILURE() << error;
            return;
        }
        instance->setPlayHead (&head);
        midi.ensureSize (1 << 16);
        PluginHost::setProcessorChunk (*instance, processorChunk);
    }

    ~HostedPlayback()
    {
        if (instance != nullptr)
            instance->setPlayHead (nullptr);
    }

    Events playAt (double ppq)
    {
        head.play (ppq, 120.0);
        return runBlock();
    }

    Events stop()
    {
        head.stop();
        return runBlock();
    }

    // The state is compiled on the plug-in's own thread; a block at the start of the song
    // sounds the first chord once the compiled song is there. Every probe before that starts
    // from a stopped transport, so the block returned is a first block of playing.
    Events firstBlockOnceCompiled (double ppq = 0.0)
    {
        Events events;
        PluginHost::pumpUntil ([&]
        {
            stop();
            events = playAt (ppq);
            return ! events.empty();
        });
        return events;
    }

    // From a stopped transport, everything sent while the timeline plays from its start for this
    // many bars, each event placed by its sample from the start; the transport stops after.
    Events playBars (int bars)
    {
        stop();
        Events played;
        int blockStart = 0;
        for (double ppq = 0.0; ppq < bars * 4.0; ppq += blockBeats, blockStart += blockSize)
        {
            for (auto e : playAt (ppq))
            {
                e.sample += blockStart;
                played.push_back (e);
            }
        }
        stop();
        return played;
    }

    // The notes struck on one channel in a block, in ascending order.
    static std::vector<int> notesStruck (const Events& events, int channel)
    {
        std::vector<int> notes;
        for (const auto& e : events)
            if (e.on && e.channel == channel)
                notes.push_back (e.note);
        std::sort (notes.begin(), notes.end());
        return notes;
    }

    // Channel-2 (Bass) note struck in a block, -1 when none.
    static int bassNoteOf (const Events& events)
    {
        for (const auto& e : events)
            if (e.on && e.channel == 2)
                return e.note;
        return -1;
    }

    std::unique_ptr<juce::AudioPluginInstance> instance;

private:
    Events runBlock()
    {
        PluginHost::processBlock (*instance, audio, midi);
        return eventsOf (midi);
    }

    PluginHost::TestPlayHead head;
    juce::AudioBuffer<float> audio { 2, blockSize };
    juce::MidiBuffer midi;
};
