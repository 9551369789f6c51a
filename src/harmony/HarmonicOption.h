#pragma once

// The harmonic-option tag a chord may carry in the progression text. The compile removes the
// tag from the chord text and keeps it with the event so that views can label the chord; the
// notes are always those of the chord as written. Travels as a signed 32-bit value.
enum class HarmonicOption : int
{
    none = 0,
    fifthOfFifth = 1,      // "{V/V}"
    tritoneSubstitute = 2, // "{TT}"
    chromaticMediant = 3   // "{CM}"
};
