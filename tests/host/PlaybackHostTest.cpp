// The built plug-in playing under a host transport: the MIDI it emits for a saved song, block
// by block, as a host receives it.
#include "PluginHost.h"

#include "../processor/MidiEventList.h"

#include <gtest/gtest.h>

namespace
{
using Events = std::vector<MidiEvent>;

constexpr double sampleRate = 44100.0;
constexpr int blockSize = 512;
constexpr double blockBeats = blockSize * 120.0 / (sampleRate * 60.0);

// One section "C" (one bar), everything else at its defaults: Bass not legato, Body and
// Shimmer legato, channel 1 carrying all layers.
const char* const oneSectionChunk = R"(
<CorvessaState>
  <PersistentState>
    <Sections><SectionChain><Section name="A" progression="C"/></SectionChain></Sections>
  </PersistentState>
</CorvessaState>)";

// Two one-bar sections played one after another along the timeline (the selection moves the
// section parameter to its "Auto-Advance" step when the state is loaded).
const char* const twoSectionAdvanceChunk = R"(
<CorvessaState>
  <PersistentState sectionPlaybackMode="advanceSections" selectedSectionViewIndex="0">
    <Sections><SectionChain>
      <Section name="A" progression="C"/>
      <Section name="B" progression="Am"/>
    </SectionChain></Sections>
  </PersistentState>
</CorvessaState>)";

class HostedPlayback
{
public:
    explicit HostedPlayback (const char* chunkXml)
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
        PluginHost::setProcessorChunk (*instance, PluginHost::chunkFromXml (chunkXml));
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
} // namespace

TEST (HostedPlayback, PlaysTheSectionLoopsSilentlyAndEndsItsNotesOnStop)
{
    HostedPlayback host (oneSectionChunk);
    ASSERT_NE (host.instance, nullptr);

    // C compiles to Bass 60 and Body 60 64 67 (no Shimmer by default). The Body layer is
    // legato, so its notes start at sample 0, and note 60 on channel 1, which Bass and Body
    // share, is held too; the plain Bass on channel 2 starts at sample 1.
    EXPECT_EQ (host.firstBlockOnceCompiled(),
               (Events { noteOn (0, 1, 60), noteOn (0, 1, 64), noteOn (0, 1, 67), noteOn (0, 3, 60),
                         noteOn (0, 3, 64), noteOn (0, 3, 67), noteOn (1, 2, 60) }));

    // Two passes of the one-bar loop: the chord does not change, so nothing is sent.
    for (double ppq = blockBeats; ppq < 8.5; ppq += blockBeats)
        ASSERT_EQ (host.playAt (ppq), Events {}) << "at " << ppq;

    EXPECT_EQ (host.stop(), (Events { noteOff (0, 1, 60), noteOff (0, 1, 64), noteOff (0, 1, 67), noteOff (0, 2, 60),
                                      noteOff (0, 3, 60), noteOff (0, 3, 64), noteOff (0, 3, 67) }));
    EXPECT_EQ (host.stop(), Events {});
}

TEST (HostedPlayback, AutoAdvancePlaysTheSectionTheTimelineNames)
{
    HostedPlayback host (twoSectionAdvanceChunk);
    ASSERT_NE (host.instance, nullptr);

    auto* section = PluginHost::findParameter (*host.instance, "Section");
    ASSERT_NE (section, nullptr);
    EXPECT_EQ (section->getCurrentValueAsText(), "Auto-Advance");

    // Section A (C: Bass 60) fills quarter notes 0..4, B (Am: Bass 69) 4..8, then A again.
    ASSERT_EQ (HostedPlayback::bassNoteOf (host.firstBlockOnceCompiled (0.0)), 60);

    struct Case
    {
        double ppq;
        int bassNote;
    };
    for (const auto& c : std::vector<Case> { { 4.5, 69 }, { 8.5, 60 }, { 7.9, 69 }, { 1000.0, 60 }, { 1006.0, 69 } })
    {
        host.stop();
        EXPECT_EQ (HostedPlayback::bassNoteOf (host.playAt (c.ppq)), c.bassNote) << "at " << c.ppq;
    }

    // Playing on across the end of A: B's chord replaces A's in the block at quarter note 4.
    host.stop();
    EXPECT_EQ (HostedPlayback::bassNoteOf (host.playAt (3.9)), 60);
    Events atBoundary;
    double ppq = 3.9;
    while (atBoundary.empty() && ppq < 4.5)
    {
        ppq += blockBeats;
        atBoundary = host.playAt (ppq);
    }
    EXPECT_GE (ppq, 4.0);
    EXPECT_LT (ppq, 4.0 + blockBeats);
    EXPECT_EQ (HostedPlayback::bassNoteOf (atBoundary), 69);
}
