#pragma once

#include "harmony/ChordAnalysis.h"
#include "harmony/ChordEvent.h"

#include <juce_core/juce_core.h>

#include <functional>
#include <optional>
#include <vector>

// Compiles progression text ("C:2 Am F/A G7{V/V}:T256 R") into voiced chord events, and holds the
// harmony operations that work on compiled chords: chord analysis, register keeping, voice
// leading, the bass motion and the rendering of the Bass, Body and Shimmer layers.
//
// The object's only state is the list of chord texts the last compile could not read. Every
// other operation is a pure function of its arguments (they are static, but may be called on the
// object as well). One object per thread: the generation thread and the message thread compile
// on objects of their own.
class ProgressionCompiler
{
public:
    // Chord parts the last compileProgression could not read, in text order, repeats kept.
    juce::StringArray unrecognisedChords;

    // Asked before each token when set: a compile whose result nobody will use any more (a
    // newer edit came, the plug-in is going away) stops there and returns the events read so
    // far. A text can be of any length, so without this its compile could not be stopped.
    std::function<bool()> shouldStop;

    //==============================================================================
    // Progression compile

    // One event per chord or rest token. Never throws: an unreadable chord is listed in
    // unrecognisedChords and keeps its place in time without notes.
    std::vector<ChordEvent> compileProgression (const juce::String& progression,
                                                int baseOctave,
                                                int voicingStyle,
                                                const juce::String& defaultDuration,
                                                int bassMotion);

    // Sum of the events' lengths in quarter notes.
    static double getTotalLengthInBeats (const std::vector<ChordEvent>& events);

    // Length in ticks of a duration text: bars ("2", "0.5"), or ticks after a leading T/t
    // ("T384"); anything unreadable is one bar. Never infinite, NaN, negative or longer than
    // maxChordLengthTicks.
    static double durationToTicks (const juce::String& durationText);

    // The longest a single chord or rest may last: 2^22 ticks, 8192 bars (over four hours at
    // 120 bpm), far beyond any musical use. Without a bound, a few tokens such as "C:1e305" are
    // each finite but their sum is not, and an infinite start or section length would reach
    // playback, clip export and the project check. A progression text holds fewer than 2^30
    // tokens (each takes at least a character and a space), so even the longest text sums to
    // less than 2^52 ticks: every start, every section length and its quarter-note count stay
    // finite, and whole tick counts stay exact integers in a double.
    static constexpr double maxChordLengthTicks = 4194304.0;

    // Voices the ascending chord tones of one chord in a voicing style, calling the searched
    // styles and falling back to a fixed voicing when a search finds nothing.
    static std::vector<int> voiceChordTones (const std::vector<int>& chordTones,
                                             int rootMidi,
                                             int voicingStyle,
                                             int baseOctave,
                                             const std::optional<std::vector<int>>& previousVoicing);

    // Fixed voicings used when a searched style finds nothing.
    static std::vector<int> foldIntoRange (const std::vector<int>& notes, int low, int high, size_t maxNotes);
    static std::vector<int> guitarFallback (const std::vector<int>& chordTones);
    static std::vector<int> bassFallback (const std::vector<int>& chordTones);
    static std::vector<int> pianistFallback (const std::vector<int>& chordTones, int baseOctave);
    static std::vector<int> jazzFallback (const std::vector<int>& chordTones, int rootMidi, int baseOctave);

    // The "Smooth" style: the inversion, shifted by octaves, that moves least from the previous
    // voicing.
    static std::vector<int> smoothVoicing (const std::vector<int>& chordTones,
                                           const std::vector<int>& previousVoicing);

    //==============================================================================
    // Voice leading and register

    static std::vector<int> keepRegister (const std::vector<int>& notes, int octave);
    static std::vector<std::vector<int>> inversionCandidates (const std::vector<int>& tones);
    static int voiceLeadingCost (const std::vector<int>& previous, const std::vector<int>& candidate);

    static int bassWindowLow (int octave);
    static int bassWindowHigh (int octave);
    // Throws std::runtime_error ("Invalid note name: ...") when the name is no note name.
    static std::vector<int> bassCandidates (const juce::String& noteName, int octave);
    static std::optional<int> nearestNote (const std::vector<int>& candidates, int target);
    static std::optional<int> chooseRootBass (const ChordEvent& event, int octave, int bassMotion,
                                              std::optional<int> previousBass);
    static std::optional<int> chooseBassWithMotion (const std::vector<int>& candidates,
                                                    std::optional<int> previousBass,
                                                    int bassMotion, int repeatCount);

    // Chooses every event's bassNote in the bass window of the octave, following the bass motion.
    static void applyBassMotion (std::vector<ChordEvent>& events, int octave, int bassMotion);

    //==============================================================================
    // Chord symbol analysis

    struct QualityAndBass
    {
        juce::String quality;
        juce::String bass;
    };

    static QualityAndBass parseChordSymbol (const ChordEvent& event);
    static ChordAnalysis analyseChord (const ChordEvent& event, int octave, bool bodyWithShimmer);
    static std::vector<int> getChordColorIntervals (const ChordEvent& event, int octave);
    static std::vector<int> getChordColorNotes (const ChordEvent& event, int octave);
    static int getFifthInterval (const ChordEvent& event, int rootPitchClass);

    //==============================================================================
    // Layer notes

    enum Layer
    {
        bassLayer = 1,
        bodyLayer = 2,
        shimmerLayer = 3
    };

    // MIDI notes of one layer of a chord: ascending, each once, all within 0..127.
    static std::vector<int> renderLayerNotes (const ChordEvent& event, int layer, int octave,
                                              bool bassAddFifth, bool bodyAddRoot, bool bodyAddFifth,
                                              bool shimmerColorNotes, bool bodyWithShimmer);

    //==============================================================================
    // Octaves are clamped to this range before any arithmetic, so that an octave read from a
    // damaged state chunk cannot overflow; every musically meaningful octave lies well inside.
    static constexpr int minOctave = -1000;
    static constexpr int maxOctave = 1000;
    static int clampOctave (int octave) { return juce::jlimit (minOctave, maxOctave, octave); }
};
