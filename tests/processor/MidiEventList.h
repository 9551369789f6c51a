#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <ostream>
#include <tuple>
#include <vector>

// A MIDI event reduced to what the tests compare: where it stands, what it is.
struct MidiEvent
{
    int sample = 0;     // sample position in a block, or tick in a clip
    bool on = false;    // note-on (true) or note-off (false)
    int channel = 0;
    int note = 0;
    int velocity = 0;

    bool operator== (const MidiEvent& o) const
    {
        return std::tie (sample, on, channel, note, velocity) == std::tie (o.sample, o.on, o.channel, o.note, o.velocity);
    }
};

inline MidiEvent noteOn (int sample, int channel, int note, int velocity = 110) { return { sample, true, channel, note, velocity }; }
inline MidiEvent noteOff (int sample, int channel, int note) { return { sample, false, channel, note, 0 }; }

inline std::ostream& operator<< (std::ostream& os, const MidiEvent& e)
{
    return os << (e.on ? "on" : "off") << "@" << e.sample << " ch" << e.channel << " n" << e.note << " v" << e.velocity;
}

// Note events in buffer order. A note-off keeps its own velocity (a note-on of velocity 0 would
// show up as "on ... v0").
inline std::vector<MidiEvent> eventsOf (const juce::MidiBuffer& buffer)
{
    std::vector<MidiEvent> events;
    for (const auto meta : buffer)
    {
        const auto m = meta.getMessage();
        const auto* raw = m.getRawData();
        const bool on = (raw[0] & 0xf0) == 0x90;
        const bool off = (raw[0] & 0xf0) == 0x80;
        if (on || off)
            events.push_back ({ meta.samplePosition, on, m.getChannel(), m.getNoteNumber(), (int) raw[2] });
    }
    return events;
}

inline std::vector<MidiEvent> eventsOf (const juce::MidiMessageSequence& sequence)
{
    std::vector<MidiEvent> events;
    for (const auto* holder : sequence)
    {
        const auto& m = holder->message;
        const auto* raw = m.getRawData();
        const bool on = (raw[0] & 0xf0) == 0x90;
        const bool off = (raw[0] & 0xf0) == 0x80;
        if (on || off)
            events.push_back ({ juce::roundToInt (m.getTimeStamp()), on, m.getChannel(), m.getNoteNumber(), (int) raw[2] });
    }
    return events;
}
