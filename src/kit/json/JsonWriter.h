#pragma once

#include <juce_core/juce_core.h>

namespace velmar
{

// The one JSON writer for every file and message the product writes. It lays documents out
// like the framework's writer (keys in insertion order, "\r\n" line ends and two-space indents in
// the multi-line form, ", " between items in the single-line form) but its output is valid JSON
// for every value: control characters in strings become \u escapes (the framework writes BEL as
// "\a", which no strict reader accepts), text beyond ASCII is written as UTF-8 (the framework's
// reader garbles the surrogate pairs its writer produces), and values JSON cannot hold
// (non-finite numbers, methods, binary blocks, objects that are not property objects) are
// written as null.
struct JsonWriter
{
    static juce::String toString (const juce::var& value,
                                  bool allOnOneLine = false,
                                  int maximumDecimalPlaces = 15);

    static void write (juce::OutputStream& out,
                       const juce::var& value,
                       bool allOnOneLine = false,
                       int maximumDecimalPlaces = 15);

    // The text as a quoted JSON string literal.
    static juce::String quote (const juce::String& text);
};

} // namespace velmar
