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
