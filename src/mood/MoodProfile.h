#pragma once

#include <juce_core/juce_core.h>

#include <map>
#include <vector>

// One slash-bass choice of a scale degree: the degree whose note sounds in the bass, and the
// chance that this choice is taken. The choices of one degree are walked in order against one
// uniform draw, each passed choice using up its share of the draw.
struct MoodSlashBass
{
    int bassDegree = 0;
    float probability = 0.0f;
};

// One mood: the recipe from which progressions, sections and next-chord suggestions are made.
// A plain value: copying it copies every list and map. Degrees are 0-based indexes into
// scaleIntervals; all three maps are ordered by degree.
struct MoodProfile
{
    juce::String name;
    juce::String description;
    juce::String scaleName;                              // a name of the scale table
    std::vector<int> scaleIntervals;                     // ascending, first 0; its size is the degree count
    std::map<int, std::vector<juce::String>> qualityPalettes; // chord-quality suffixes per degree; "" is the major triad
    std::vector<juce::String> rhythms;                   // chord lengths in bars, as decimal text
    int voicingStyle = 5;                                // index into the voicing-style names ("Bassist")
    int octave = 3;                                      // base octave from which a section's layer octaves shift
    int bpmMin = 70;
    int bpmMax = 90;
    std::vector<juce::String> keys { "C", "G", "F" };    // sharp note names, in the order shown
    std::vector<float> degreeWeights { 1.0f, 0.6f, 0.4f, 0.9f, 0.5f, 0.8f, 0.2f };
    std::vector<int> allowedDegrees;                     // empty: every degree
    std::vector<std::vector<int>> templates;             // degree sequences a progression cycles through
    std::map<int, std::vector<int>> transitions;         // next degrees, most preferred first
    std::map<int, std::vector<MoodSlashBass>> slashBasses;
};
