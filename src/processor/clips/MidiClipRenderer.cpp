#include "processor/clips/MidiClipRenderer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <utility>

namespace MidiClipRenderer
{
juce::MidiMessageSequence renderClipSequence (const std::vector<ClipChord>& chords)
{
    juce::MidiMessageSequence sequence;

    const auto addNote = [&sequence] (int channel, int note, double start, double end)
    {
        sequence.addEvent (juce::MidiMessage::noteOn (channel, note, (juce::uint8) PlaybackNotes::noteOnVelocity)
                               .withTimeStamp (start));
        sequence.addEvent (juce::MidiMessage::noteOff (channel, note, (juce::uint8) 0).withTimeStamp (end));
    };

    // Held notes not yet written, with the tick they started at, in channel-then-note order.
    std::map<std::pair<int, int>, double> open;

    for (const auto& chord : chords)
    {
        const double s = chord.startTicks;
        const double l = chord.lengthTicks;

        // Live playback never finds a chord of no length under the playhead.
        if (! (l > 0.0))
            continue;

        for (auto it = open.begin(); it != open.end();)
        {
            const auto [channel, note] = it->first;
            if (chord.notes.isHeld (channel, note))
            {
                ++it; // sounds on into this chord
                continue;
            }

            // Played again but not held: end early so that it can be struck again at s.
            const double end = chord.notes.notes.contains (channel, note)
                                   ? std::min (s, std::max (s - releaseGapTicks, it->second + minimumNoteTicks))
                                   : s;
            addNote (channel, note, it->second, end);
            it = open.erase (it);
        }

        chord.notes.notes.forEach ([&] (int channel, int note)
        {
            if (chord.notes.isHeld (channel, note))
                open.emplace (std::make_pair (channel, note), s); // keeps an earlier start
            else
                addNote (channel, note, s, std::max (s + l - releaseGapTicks, s + minimumNoteTicks));
        });
    }

    if (! chords.empty())
    {
        const double end = chords.back().startTicks + chords.back().lengthTicks;
        for (const auto& [key, start] : open)
            addNote (key.first, key.second, start, end);
    }

    return sequence;
}

bool fitsStandardMidiFile (const juce::MidiMessageSequence& sequence)
{
    // A Standard MIDI File stores the time between two events in at most four 7-bit groups,
    // and the framework's writer rounds each time stamp to an int: a section of extreme chord
    // lengths would otherwise come out as a corrupt file that looks written.
    constexpr double maxDeltaTicks = 0x0FFFFFFF;
    constexpr double maxTick = std::numeric_limits<int>::max();
    double previous = 0.0;
    for (const auto* holder : sequence)
    {
        const double tick = std::round (holder->message.getTimeStamp());
        if (! std::isfinite (tick) || tick < 0.0 || tick > maxTick || tick - previous > maxDeltaTicks)
            return false;
        previous = std::max (previous, tick);
    }
    return true;
}

bool writeClipFile (const juce::File& file, const juce::MidiMessageSequence& sequence)
{
    if (! fitsStandardMidiFile (sequence))
        return false;

    juce::MidiFile midiFile;
    midiFile.setTicksPerQuarterNote (ticksPerQuarterNote);
    midiFile.addTrack (sequence);

    juce::FileOutputStream out (file, 16384);
    if (! out.openedOk())
        return false;
    if (! out.setPosition (0))
        return false;
    if (out.truncate().failed())
        return false;
    if (! midiFile.writeTo (out, 1))
        return false;
    out.flush();
    return out.getStatus().wasOk();
}

juce::String fileBaseNameFor (const juce::String& sectionName, int index, bool indexIsSection)
{
    if (indexIsSection)
    {
        const auto legal = juce::File::createLegalFileName (sectionName.trim());
        if (legal.isNotEmpty())
            return legal;
    }
    return "Section " + juce::String (index > 0 ? index + 1 : 1);
}

juce::String layerName (int layer)
{
    switch (layer)
    {
        case PlaybackNotes::bassLayer: return "Bass";
        case PlaybackNotes::bodyLayer: return "Body";
        case PlaybackNotes::shimmerLayer: return "Shimmer";
        default: return {};
    }
}
} // namespace MidiClipRenderer
