#include "mood/panel/MoodOverviewTable.h"

const std::vector<MoodOverviewGroup>& getMoodOverviewGroups()
{
    static const std::vector<MoodOverviewGroup> groups {
        { "Full Scales (7-note)", {
            //  mood       scale               BPM        keys
            { "Space",  "Lydian",           "60-80",   "C, F, G, D#" },
            { "Forest", "Dorian",           "70-95",   "D, A, E, G" },
            { "Water",  "Mixolydian",       "75-100",  "A#, D#, G#, C" },
            { "Desert", "Phrygian",         "50-70",   "E, B, F#, A" },
            { "Night",  "Minor",            "55-75",   "A, D, E, G" },
            { "Aurora", "Major",            "85-110",  "D, A, E, F#" },
        } },
        { "Pentatonic & Exotic", {
            { "Tribal", "Pentatonic Minor", "90-120",  "A, E, D, G" },
            { "Meadow", "Pentatonic Major", "75-100",  "G, C, D, F" },
            { "Fog",    "Hirajoshi",        "45-65",   "F#, B, D#, A#" },
            { "Smoke",  "Blues",            "60-85",   "E, A, G, A#" },
            { "Sands",  "Egyptian",         "55-80",   "D, E, A, B" },
        } },
        { "Cinematic", {
            { "Velvet", "Melodic Minor",    "118-128", "C, F, D#, G#" },
            { "Noir",   "Lydian Dominant",  "50-70",   "D, A#, D#, G" },
            { "Rust",   "Locrian",          "55-80",   "B, F#, C#, F" },
            { "Glass",  "Whole Tone",       "55-75",   "C, D, F#, G#" },
            { "Ember",  "Hungarian Minor",  "65-90",   "C, A, D, F#" },
        } },
    };
    return groups;
}
