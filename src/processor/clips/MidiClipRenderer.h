#pragma once

#include "processor/playback/PlaybackNotes.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <vector>

// Renders a compiled section as a MIDI clip with the note rules of live playback: velocity 110,
// plain notes ending 4 ticks before their chord's end (but lasting at least one tick), chords of
// no length left out, held notes sounding on as one long note
// across every chord that holds them.
namespace MidiClipRenderer
{
constexpr int ticksPerQuarterNote = 128;
constexpr double releaseGapTicks = 4.0;
// A note-on and a note-off at one tick are read off-first by MIDI readers (JUCE's among them),
// and the note would never end: even the notes of the shortest chords last this long.
constexpr double minimumNoteTicks = 1.0;

// One chord of the clip: its place in ticks and the notes it sounds.
struct ClipChord
{
    double startTicks = 0.0;
    double lengthTicks = 0.0;
    PlaybackNotes::OutputNoteSet notes;
};

// The clip's events in time order (equal times keep the order in which they were made),
// time stamps in ticks.
juce::MidiMessageSequence renderClipSequence (const std::vector<ClipChord>& chords);

// True when every time stamp of the sequence can be stored in a Standard MIDI File: whole
// ticks from 0 to the int range, no gap between two events beyond the file format's limit.
bool fitsStandardMidiFile (const juce::MidiMessageSequence& sequence);

// Writes the sequence as a Standard MIDI File of format 1 with one track and 128 ticks per
// quarter note, replacing any file of that name. False when any step of the write fails, or
// when the sequence does not fit the file format (then no file is touched).
bool writeClipFile (const juce::File& file, const juce::MidiMessageSequence& sequence);

// The base of a clip's file name: the section's trimmed name made legal for a file name, or
// "Section " and its position from 1 when that is empty or the index names no section.
juce::String fileBaseNameFor (const juce::String& sectionName, int index, bool indexIsSection);

template <typename SectionList>
juce::String sectionFileBaseName (const SectionList& sections, int index)
{
    const bool isSection = index >= 0 && index < (int) sections.size();
    return fileBaseNameFor (isSection ? sections[(size_t) index].name : juce::String(), index, isSection);
}

// The layer names used in a layer clip's file name; empty for a layer outside 1..3.
juce::String layerName (int layer);
} // namespace MidiClipRenderer
