// The audio callback under a moving host transport: which section plays, where, and the exact
// MIDI of chord changes, stops, relocations, loop wraps, section changes and previews.
#include "PlaybackFixture.h"
#include "ProcessorTestProbe.h"

#include <cmath>
#include <functional>
#include <string>
#include <thread>

using namespace PlaybackFixture;
using Events = std::vector<MidiEvent>;

namespace
{
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

// Sections of the given lengths in quarter notes, each one chord with its own Bass note
// (36, 38, 40, ...) and no other layer.
std::vector<Section> bassOnlySong (const std::vector<double>& lengths)
{
    std::vector<Section> song;
    for (size_t i = 0; i < lengths.size(); ++i)
        song.push_back (wholeSection (juce::String::charToString ((juce::juce_wchar) ('A' + i)), lengths[i],
                                      { 36 + 2 * (int) i }, {}));
    return song;
}

// The Bass note of section i of bassOnlySong struck (it is not held) on channels 1 and 2.
Events strikes (int section) { return { noteOn (1, 1, 36 + 2 * section), noteOn (1, 2, 36 + 2 * section) }; }

Events changes (int from, int to)
{
    return { noteOff (0, 1, 36 + 2 * from), noteOff (0, 2, 36 + 2 * from),
             noteOn (1, 1, 36 + 2 * to), noteOn (1, 2, 36 + 2 * to) };
}
} // namespace

class Playback : public Player
{
protected:
    // Moves the transport in steps small enough not to count as a relocation; returns the
    // events of the last block and checks that the blocks before it were silent.
    Events hopTo (double from, double to)
    {
        for (double ppq = from; ppq < to - 1.0e-9; ppq += 0.25)
            EXPECT_EQ (playAt (ppq), Events {}) << "at " << ppq;
        return playAt (to);
    }
};

TEST_F (Playback, FirstBlockStrikesTheChordAndAStopEndsIt)
{
    useSong ({ wholeSection ("A", 4.0, { 36 }, { 60, 64, 67 }, { 76 }) });

    // Held layers (Body, Shimmer) start at sample 0, the plain Bass at sample 1.
    EXPECT_EQ (playAt (0.0), (Events { noteOn (0, 1, 60), noteOn (0, 1, 64), noteOn (0, 1, 67), noteOn (0, 1, 76),
                                       noteOn (0, 3, 60), noteOn (0, 3, 64), noteOn (0, 3, 67), noteOn (0, 4, 76),
                                       noteOn (1, 1, 36), noteOn (1, 2, 36) }));
    EXPECT_TRUE (processor.hasSoundingNotes());
    EXPECT_EQ (playAt (blockBeats), Events {}) << "the common block emits nothing";

    const auto transport = processor.getTransportSnapshot();
    EXPECT_TRUE (transport.isPlaying);
    EXPECT_DOUBLE_EQ (transport.bpm, 120.0);
    EXPECT_DOUBLE_EQ (transport.ppqPosition, blockBeats);

    EXPECT_EQ (stopBlock(), (Events { noteOff (0, 1, 36), noteOff (0, 1, 60), noteOff (0, 1, 64), noteOff (0, 1, 67),
                                      noteOff (0, 1, 76), noteOff (0, 2, 36), noteOff (0, 3, 60), noteOff (0, 3, 64),
                                      noteOff (0, 3, 67), noteOff (0, 4, 76) }));
    EXPECT_FALSE (processor.hasSoundingNotes());
    EXPECT_FALSE (processor.getTransportSnapshot().isPlaying);
    EXPECT_EQ (stopBlock(), Events {});

    // Starting again plays the section from its beginning wherever the host stands.
    EXPECT_EQ (playAt (2.5).size(), 10u);
    EXPECT_DOUBLE_EQ (positionBars(), 0.0);
}

TEST_F (Playback, HostsWithoutAUsablePositionSilencePlayback)
{
    useSong ({ wholeSection ("A", 4.0, { 36 }, {}) });

    struct Case
    {
        std::string name;
        std::function<void (PlayHead&)> setHead;
        bool stillPlaying;
        Events expected;
    };
    const std::vector<Case> cases {
        { "no position", [] (PlayHead& h) { h.position = {}; }, false, { noteOff (0, 1, 36), noteOff (0, 2, 36) } },
        { "negative position", [] (PlayHead& h) { h.play (-1.0); }, false, { noteOff (0, 1, 36), noteOff (0, 2, 36) } },
        { "position without ppq keeps the notes", [] (PlayHead& h)
          {
              juce::AudioPlayHead::PositionInfo info;
              info.setIsPlaying (true);
              h.position = info;
          },
          true, {} },
    };

    for (const auto& c : cases)
    {
        processor.prepareToPlay (44100.0, 512);
        ASSERT_EQ (playAt (0.0), strikes (0)) << c.name;
        c.setHead (head);
        EXPECT_EQ (block(), c.expected) << c.name;
        EXPECT_EQ (processor.getTransportSnapshot().isPlaying, c.stillPlaying) << c.name;
        EXPECT_EQ (processor.hasSoundingNotes(), c.stillPlaying) << c.name;
    }

    // Without a play head at all.
    processor.prepareToPlay (44100.0, 512);
    playAt (0.0);
    processor.setPlayHead (nullptr);
    EXPECT_EQ (block(), (Events { noteOff (0, 1, 36), noteOff (0, 2, 36) }));
}

TEST_F (Playback, ChordChangeHoldsLegatoNotesAndStrikesPlainOnesAgain)
{
    // Body legato, Bass not; channel 1 carries the Body layer.
    processor.setOutputLayerMode (2);
    useSong ({ { "A", { { 0, 512, { 36 }, { 60, 64, 67 }, {} }, { 512, 512, { 36 }, { 60, 65, 69 }, {} } } } });

    playAt (0.0);
    EXPECT_EQ (hopTo (0.25, 4.0), (Events { noteOff (0, 1, 64), noteOff (0, 1, 67), noteOff (0, 2, 36),
                                            noteOff (0, 3, 64), noteOff (0, 3, 67), noteOn (0, 1, 65), noteOn (0, 1, 69),
                                            noteOn (0, 3, 65), noteOn (0, 3, 69), noteOn (1, 2, 36) }));
    EXPECT_DOUBLE_EQ (positionBars(), 1.0);
}

TEST_F (Playback, LayerModeChangeRerendersTheChordInTheNextBlock)
{
    useSong ({ wholeSection ("A", 4.0, { 36 }, { 60, 64, 67 }, { 76 }) });
    playAt (0.0);

    processor.setOutputLayerMode (1); // channel 1: Bass only
    EXPECT_EQ (playAt (blockBeats), (Events { noteOff (0, 1, 36), noteOff (0, 1, 60), noteOff (0, 1, 64),
                                              noteOff (0, 1, 67), noteOff (0, 1, 76), noteOff (0, 2, 36),
                                              noteOn (1, 1, 36), noteOn (1, 2, 36) }));
    EXPECT_EQ (playAt (2 * blockBeats), Events {});
}

TEST_F (Playback, RecompileEmitsOnlyWhenTheChordUnderThePlayheadChanged)
{
    useSong ({ wholeSection ("A", 4.0, { 36 }, { 60, 64, 67 }) });
    playAt (0.0);

    // A new bank with new snapshot objects but the same notes.
    processor.publishCompiledBank (makeBank ({ wholeSection ("A", 4.0, { 36 }, { 60, 64, 67 }) }));
    EXPECT_EQ (playAt (blockBeats), Events {});

    processor.publishCompiledBank (makeBank ({ wholeSection ("A", 4.0, { 36 }, { 60, 64, 68 }) }));
    EXPECT_EQ (playAt (2 * blockBeats), (Events { noteOff (0, 1, 36), noteOff (0, 1, 67), noteOff (0, 2, 36),
                                                  noteOff (0, 3, 67), noteOn (0, 1, 68), noteOn (0, 3, 68),
                                                  noteOn (1, 1, 36), noteOn (1, 2, 36) }));
}

TEST_F (Playback, ARelocationPlacesTheSectionAnewAtTheNewPosition)
{
    useSong ({ { "A", { { 0, 512, { 36 }, {}, {} }, { 512, 512, { 38 }, {}, {} },
                        { 1024, 512, { 40 }, {}, {} }, { 1536, 512, { 41 }, {}, {} } } } });

    playAt (10.0);
    EXPECT_EQ (playAt (10.25), Events {}) << "a step of 0.25 quarter notes is no relocation";
    EXPECT_DOUBLE_EQ (positionBars(), 0.0625);

    // 10 -> 40: without the relocation the position would be 30 quarter notes into the
    // 16-note section (its last chord); placed anew, it is the first chord again.
    EXPECT_EQ (playAt (40.0), Events {});
    EXPECT_DOUBLE_EQ (positionBars(), 0.0);
    EXPECT_EQ (playAt (40.25), Events {});
    EXPECT_DOUBLE_EQ (positionBars(), 0.0625);
}

TEST_F (Playback, LoopWrapsInsideTheSectionWithoutRestrikingASingleChord)
{
    // Two chords of two quarter notes each: the wrap at 4.0 goes from the second back to the first.
    useSong ({ { "A", { { 0, 256, { 36 }, {}, {} }, { 256, 256, { 43 }, {}, {} } } } });

    std::vector<std::pair<double, Events>> nonEmpty;
    for (double ppq = 0.0; ppq < 8.5; ppq += blockBeats)
        if (auto events = playAt (ppq); ! events.empty())
            nonEmpty.emplace_back (ppq, events);

    ASSERT_EQ (nonEmpty.size(), 5u); // start, 2.0, 4.0 (wrap), 6.0, 8.0 (wrap)
    EXPECT_EQ (nonEmpty[2].second, (Events { noteOff (0, 1, 43), noteOff (0, 2, 43), noteOn (1, 1, 36), noteOn (1, 2, 36) }));
    EXPECT_GE (nonEmpty[2].first, 4.0);
    EXPECT_LT (nonEmpty[2].first, 4.0 + blockBeats);

    // One chord filling the section: the wrap changes nothing.
    useSong ({ wholeSection ("A", 4.0, { 36 }, { 60 }) });
    processor.prepareToPlay (44100.0, 512);
    stopBlock();
    int blocksWithEvents = 0;
    for (double ppq = 0.0; ppq < 9.0; ppq += blockBeats)
        blocksWithEvents += playAt (ppq).empty() ? 0 : 1;
    EXPECT_EQ (blocksWithEvents, 1);
}

TEST_F (Playback, AutoAdvanceFollowsTheTimelineAcrossSectionsOfDifferentLengths)
{
    useSong (bassOnlySong ({ 16.0, 8.0, 16.0 }));
    selectStep (3); // "Auto-Advance"
    EXPECT_TRUE (processor.isAutoAdvanceSelected());

    struct Case
    {
        double ppq;
        int section;
        double bars;
    };
    for (const auto& c : std::vector<Case> { { 44.0, 0, 1.0 }, { 20.0, 1, 1.0 }, { 24.0, 2, 0.0 },
                                             { 39.0, 2, 3.75 }, { 80.0, 0, 0.0 }, { 4.0, 0, 1.0 } })
    {
        processor.prepareToPlay (44100.0, 512);
        stopBlock();
        EXPECT_EQ (playAt (c.ppq), strikes (c.section)) << c.ppq;
        EXPECT_EQ (processor.getCurrentSectionIndex(), c.section) << c.ppq;
        EXPECT_DOUBLE_EQ (positionBars(), c.bars) << c.ppq;
    }

    // Playing on across the end of the first section.
    playAt (15.9);
    EXPECT_EQ (playAt (16.0), changes (0, 1));
    EXPECT_EQ (hopTo (16.25, 24.0), changes (1, 2));
    EXPECT_EQ (hopTo (24.25, 40.0), changes (2, 0));
}

TEST_F (Playback, AQueuedJumpWaitsForTheEndOfTheSection)
{
    useSong (bassOnlySong ({ 16.0, 16.0, 16.0 }));
    EXPECT_EQ (playAt (0.0), strikes (0));
    hopTo (0.25, 5.0);

    processor.setSelectedSectionViewIndex (2); // moves the section parameter too
    EXPECT_EQ (hopTo (5.0 + 0.25, 15.75), Events {});
    EXPECT_EQ (processor.getCurrentSectionIndex(), 0);

    EXPECT_EQ (playAt (16.0), changes (0, 2));
    EXPECT_EQ (processor.getCurrentSectionIndex(), 2);
    EXPECT_DOUBLE_EQ (positionBars(), 0.0);

    // Section 2 now loops.
    EXPECT_EQ (hopTo (16.25, 40.0), Events {});
    EXPECT_EQ (processor.getCurrentSectionIndex(), 2);
    EXPECT_DOUBLE_EQ (positionBars(), 2.0);
}

TEST_F (Playback, MovingTheSectionParameterStartsThatSectionAtOnce)
{
    useSong (bassOnlySong ({ 16.0, 16.0 }));
    playAt (0.0);
    hopTo (0.25, 5.0);

    selectStep (1);
    EXPECT_EQ (playAt (5.25), changes (0, 1));
    EXPECT_DOUBLE_EQ (positionBars(), 0.0);
    EXPECT_EQ (processor.getCurrentSectionIndex(), 1);
}

TEST_F (Playback, PlaybackModeRequestTurnsALoopIntoAdvance)
{
    useSong (bassOnlySong ({ 4.0, 4.0 }));
    playAt (0.0);
    EXPECT_EQ (hopTo (0.25, 4.0), Events {}) << "looping section 0";

    // The request alone, as the sync link or the editor posts it: move on at the section end.
    processor.setSectionPlaybackMode (1);
    selectStep (0); // keep the parameter on the section step
    EXPECT_EQ (hopTo (4.25, 8.0), changes (0, 1));
}

TEST_F (Playback, PositionsThatAreNotFiniteNeitherHangNorStickTheSection)
{
    useSong (bassOnlySong ({ 16.0, 16.0 }));
    processor.setSectionPlaybackMode (1); // the parameter goes to "Auto-Advance"
    processor.setSelectedSectionViewIndex (1);
    ASSERT_TRUE (processor.isAutoAdvanceSelected());

    // No timeline position: the selected section is placed; nothing can sound at no position.
    EXPECT_EQ (playAt (notANumber), Events {});
    EXPECT_EQ (processor.getCurrentSectionIndex(), 1);
    EXPECT_EQ (playAt (infinity), Events {});

    // A finite position again finds the timeline.
    EXPECT_EQ (playAt (20.0), strikes (1));
    EXPECT_DOUBLE_EQ (positionBars(), 1.0);

    // On a section step, a position that was not a number is left behind at the next finite one.
    selectStep (0);
    processor.prepareToPlay (44100.0, 512);
    stopBlock();
    playAt (notANumber);
    EXPECT_EQ (playAt (5.0), strikes (0));
    EXPECT_DOUBLE_EQ (positionBars(), 0.0);
    EXPECT_EQ (playAt (5.0 + 4.0 * blockBeats), Events {});
}

TEST_F (Playback, ABankWithoutSectionsEndsTheNotesAndPlaysNothing)
{
    useSong (bassOnlySong ({ 4.0 }));
    playAt (0.0);

    useSong ({});
    EXPECT_EQ (playAt (blockBeats), (Events { noteOff (0, 1, 36), noteOff (0, 2, 36) }));
    EXPECT_EQ (playAt (2 * blockBeats), Events {});
    EXPECT_TRUE (processor.isAutoAdvanceSelected());
    EXPECT_EQ (processor.getCurrentSectionIndex(), -1);
}

TEST_F (Playback, ShortBlocksKeepEveryEventInsideTheBlock)
{
    useSong ({ wholeSection ("A", 4.0, { 36 }, { 60 }) });

    head.play (0.0);
    EXPECT_EQ (block (0), Events {}) << "no samples: no events";
    EXPECT_FALSE (processor.hasSoundingNotes()) << "and nothing moved on";

    EXPECT_EQ (block (1), (Events { noteOn (0, 1, 36), noteOn (0, 1, 60), noteOn (0, 2, 36), noteOn (0, 3, 60) }));
}

TEST_F (Playback, PreviewsSoundWhetherOrNotTheTransportRuns)
{
    useSong ({ wholeSection ("A", 4.0, { 48 }, {}) });

    processor.previewLayerNotes ({ 36 }, { 60, 64 }, { 76 }, 100);
    EXPECT_EQ (stopBlock(), (Events { noteOn (0, 1, 36, 100), noteOn (0, 1, 60, 100), noteOn (0, 1, 64, 100),
                                      noteOn (0, 1, 76, 100), noteOn (0, 2, 36, 100), noteOn (0, 3, 60, 100),
                                      noteOn (0, 3, 64, 100), noteOn (0, 4, 76, 100) }));

    // Playback joins in after the preview; stopping the transport leaves the preview alone.
    EXPECT_EQ (playAt (0.0), (Events { noteOn (1, 1, 48), noteOn (1, 2, 48) }));
    EXPECT_EQ (stopBlock(), (Events { noteOff (0, 1, 48), noteOff (0, 2, 48) }));

    processor.setOutputLayerMode (3); // channel 1: Shimmer only
    processor.previewLayerNotes ({ 36 }, {}, { 76 }, 90);
    processor.previewCompiledChord (99, 100); // no such chord: posts nothing
    EXPECT_EQ (stopBlock(), (Events { noteOff (0, 1, 36), noteOff (0, 1, 60), noteOff (0, 1, 64), noteOff (0, 1, 76),
                                      noteOff (0, 2, 36), noteOff (0, 3, 60), noteOff (0, 3, 64), noteOff (0, 4, 76),
                                      noteOn (0, 1, 76, 90), noteOn (0, 2, 36, 90), noteOn (0, 4, 76, 90) }));

    processor.stopPreview();
    EXPECT_EQ (stopBlock(), (Events { noteOff (0, 1, 76), noteOff (0, 2, 36), noteOff (0, 4, 76) }));
    EXPECT_EQ (stopBlock(), Events {});

    // A chord of the shown section, with the same channel map (no Shimmer, so only channel 2).
    processor.setSelectedSectionViewIndex (0);
    processor.previewCompiledChord (0, 100);
    EXPECT_EQ (stopBlock(), (Events { noteOn (0, 2, 48, 100) }));
}

TEST_F (Playback, NotesSoundingWhenTheHostPreparesOrReleasesAgainAreEndedByTheNextBlock)
{
    useSong ({ wholeSection ("A", 4.0, { 36 }, { 60 }) });
    const Events chord { noteOn (0, 1, 60), noteOn (0, 3, 60), noteOn (1, 1, 36), noteOn (1, 2, 36) };
    const Events chordOffs { noteOff (0, 1, 36), noteOff (0, 1, 60), noteOff (0, 2, 36), noteOff (0, 3, 60) };

    // A buffer or rate change while playing: the offs come first, then the chord again.
    EXPECT_EQ (playAt (0.0), chord);
    processor.prepareToPlay (48000.0, 256);
    Events expected = chordOffs;
    expected.insert (expected.end(), chord.begin(), chord.end());
    EXPECT_EQ (playAt (blockBeats), expected);

    // A release while playing, and the host stops before the next block.
    processor.releaseResources();
    EXPECT_EQ (stopBlock(), chordOffs);
    EXPECT_EQ (stopBlock(), Events {});

    // A sounding preview is ended the same way.
    processor.previewLayerNotes ({ 40 }, {}, {}, 100);
    EXPECT_EQ (stopBlock(), (Events { noteOn (0, 1, 40, 100), noteOn (0, 2, 40, 100) }));
    processor.prepareToPlay (44100.0, 512);
    EXPECT_EQ (stopBlock(), (Events { noteOff (0, 1, 40), noteOff (0, 2, 40) }));
    EXPECT_EQ (stopBlock(), Events {});
}

TEST_F (Playback, ASelectionMadeWhilePlayingAlwaysWaitsForTheEndOfTheSection)
{
    // The message thread posts the jump and moves the section parameter; an audio block may
    // fall between the two. Whichever it sees, the section playing goes on to its end.
    useSong (bassOnlySong ({ 16.0, 16.0, 16.0, 16.0 }));
    processor.setSelectedSectionViewIndex (0);
    ASSERT_EQ (playAt (1.0), strikes (0));

    std::atomic<bool> done { false };
    std::atomic<int> switchedTo { -1 };

    std::thread audio ([&] {
        juce::AudioBuffer<float> buffer (2, 512);
        juce::MidiBuffer events;
        events.ensureSize (1 << 12);

        while (! done.load())
        {
            events.clear();
            processor.processBlock (buffer, events);   // the playhead stands still at ppq 1

            if (processor.getTransportSnapshot().isPlaying && processor.getCurrentSectionIndex() != 0)
                switchedTo = processor.getCurrentSectionIndex();
        }
    });

    for (int i = 0; i < 3000 && switchedTo.load() < 0; ++i)
        processor.setSelectedSectionViewIndex (1 + i % 3);

    done = true;
    audio.join();
    EXPECT_EQ (switchedTo.load(), -1) << "a selection took effect in the middle of the section";
}

TEST_F (Playback, AutoAdvanceWithoutATimelinePositionNeverWaitsForTheStateLock)
{
    // With the Auto-Advance step and no usable position the selected section is placed. The
    // message thread may hold the state lock for as long as it likes meanwhile; the audio
    // thread must not wait for it.
    useSong (bassOnlySong ({ 16.0, 16.0, 16.0 }));
    processor.setSectionPlaybackMode (1);
    processor.setSelectedSectionViewIndex (2);
    ASSERT_TRUE (processor.isAutoAdvanceSelected());

    juce::WaitableEvent locked, release;
    std::thread messageThread ([&]
    {
        const juce::ScopedLock hold (CorvessaProcessorTestProbe::stateLock (processor));
        locked.signal();
        release.wait (20000);
    });
    ASSERT_TRUE (locked.wait (10000));

    std::atomic<bool> played { false };
    std::thread audioThread ([&] { playAt (notANumber); played = true; });

    for (int i = 0; i < 1000 && ! played.load(); ++i)
        juce::Thread::sleep (10);

    EXPECT_TRUE (played.load()) << "the block waited for the state lock";
    release.signal();
    audioThread.join();
    messageThread.join();

    EXPECT_EQ (processor.getCurrentSectionIndex(), 2);
}
