#pragma once

// A voicing style travels as a signed integer: its position in voicingStyleNames()
// (harmony/ChordVocabulary.h). The enum names those positions for code that picks a style.
enum class VoicingStyle : int
{
    none = 0,
    firstInversion = 1,
    smooth = 2,
    guitarist = 3,
    pianist = 4,
    bassist = 5,
    jazz = 6
};

// The same positions as the integers the compile and the state carry, for switches and
// comparisons on such an integer.
constexpr int styleNone = (int) VoicingStyle::none;
constexpr int styleFirstInversion = (int) VoicingStyle::firstInversion;
constexpr int styleSmooth = (int) VoicingStyle::smooth;
constexpr int styleGuitarist = (int) VoicingStyle::guitarist;
constexpr int stylePianist = (int) VoicingStyle::pianist;
constexpr int styleBassist = (int) VoicingStyle::bassist;
constexpr int styleJazz = (int) VoicingStyle::jazz;
