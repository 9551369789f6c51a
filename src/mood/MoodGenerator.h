#pragma once

#include "mood/MoodProfile.h"
#include "song/SectionData.h"

#include <juce_core/juce_core.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <random>
#include <vector>

// The four switches of a generation, in this order.
struct MoodGenerationOptions
{
    bool fifthOfFifth = false;     // "{V/V}" chords
    bool tritoneSub = false;       // "{TT}" chords
    bool chromaticMediant = false; // "{CM}" chords
    bool slashChords = false;      // slash basses from the mood's choices
};

// One ranked candidate for the next chord: a scale degree of the mood, its default quality
// (first of the degree's palette, "" for the major triad) and its score, higher is better.
struct MoodChordSuggestion
{
    int degree = 0;
    juce::String quality;
    float score = 0.0f;
};

// The table of sixteen moods and the one random engine from which all of this generator's
// choices are drawn. Builds sections and progression texts from a mood, and ranks the degrees
// of a mood as candidates for the next chord.
//
// Threads: a generator belongs to its owner's message thread. Nothing is locked; every member
// (the constructors included) is called on that thread only. The table never changes after
// construction; only the engine advances, with each random choice.
class MoodGenerator
{
public:
    // Seeds the engine from the system's random device: two generators, or two runs, draw
    // different sequences. Throws what the random device throws.
    MoodGenerator();

    // Seeds the engine with a fixed value, so that a run can be repeated.
    explicit MoodGenerator (std::uint32_t seed);

    MoodGenerator (const MoodGenerator&) = delete;
    MoodGenerator& operator= (const MoodGenerator&) = delete;

    // Exact, case-sensitive, no trimming; null when no mood has this name. The profile lives as
    // long as the generator.
    const MoodProfile* findMood (const juce::String& name) const;

    // The degrees chords may stand on: the profile's allowed degrees in stored order, skipping
    // values outside 0 .. n-1 and repeats; every degree when none is left (or none was given).
    static std::vector<int> getAllowedDegrees (const MoodProfile& profile);

    // A whole section for a mood (a name not in the table generates from "Space", but keeps
    // its own name, the base arrangement and the "70-90 BPM" tempo text).
    SectionMode::SectionData generateSection (const juce::String& mood, const juce::String& key,
                                              int bars, MoodGenerationOptions options);

    // A random progression text of at most 64 chords whose lengths add up to `bars` (unless the
    // 64 chords end it first); empty for bars of 0 or less. A key that is no note name reads as C.
    juce::String generateProgression (const juce::String& mood, const juce::String& key,
                                      int bars, MoodGenerationOptions options);

    // The allowed degrees of a mood ranked as candidates for the chord between previousDegree
    // and targetDegree (negative: none), best first, at most maxCount. Empty when the mood is
    // not in the table, when degreeCount is not the mood's degree count, or when a count is not
    // positive. Makes no random draw.
    std::vector<MoodChordSuggestion> suggestNextChords (const juce::String& mood, int previousDegree,
                                                        int targetDegree, const std::vector<int>& recentDegrees,
                                                        int degreeCount, int maxCount) const;

    // The mood list as the panel shows it: the sixteen names in table order, with "---"
    // separators between the groups.
    static juce::StringArray getMoodNames();

    // The mood's description; empty for a name not in the table.
    juce::String getMoodDescription (const juce::String& mood) const;

    // The bar count that suits the mood's chord lengths; 16 for a name not in the table or a
    // mood without lengths.
    int getDefaultBars (const juce::String& mood) const;

    // The hint for the slash-chord switch of a mood (a general text for other names).
    static juce::String getSlashChordText (const juce::String& mood);

private:
    friend struct MoodGeneratorTestAccess;

    // Names compare by their UTF-8 bytes, so every lookup is exact and case-sensitive.
    struct Utf8ByteOrder
    {
        bool operator() (const juce::String& a, const juce::String& b) const
        {
            return std::strcmp (a.toRawUTF8(), b.toRawUTF8()) < 0;
        }
    };

    std::map<juce::String, MoodProfile, Utf8ByteOrder> moods;
    std::mt19937 rng;

    // Defined in MoodTable.cpp, beside the rows it stores.
    void buildMoodTable();
    static void applyArrangementDefaults (const juce::String& mood, SectionMode::SectionData& section);

    // A uniform index in 0 .. n-1 (n at least 1); draws from the engine even when n is 1.
    int drawIndex (size_t n);
    // A float in [0, 1) from the top 24 bits of one engine output.
    float drawUnit();

    static std::vector<int> makeOptionQueue (MoodGenerationOptions options);
    int rollHarmonicOption (MoodGenerationOptions options);

    struct RootAndQuality
    {
        juce::String root;
        juce::String quality;
    };
    RootAndQuality makeOptionChord (int code, const MoodProfile& profile, const juce::String& key,
                                    const juce::String& previousRoot);
    juce::String pickOptionQuality (const MoodProfile& profile, const std::vector<const char*>& list,
                                    const juce::String& fallback);
    int chooseNextDegree (const MoodProfile& profile, int degree, const std::vector<int>& recentDegrees);

    static juce::String degreeNoteName (const juce::String& key, const std::vector<int>& scaleIntervals, int degree);
    static int pitchClassOf (const juce::String& noteName);
    static juce::String noteNameOf (int pitchClass);
    static juce::String formatBarLength (double bars);
};
