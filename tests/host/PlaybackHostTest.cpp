// The built plug-in playing under a host transport: the MIDI it emits for a saved song, block
// by block, as a host receives it.
#include "HostedPlayback.h"

#include <gtest/gtest.h>

namespace
{
using Events = HostedPlayback::Events;

constexpr double blockBeats = HostedPlayback::blockBeats;

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
