#pragma once

#include <juce_core/juce_core.h>

namespace velmar
{

// The one JSON reader for text that comes from outside the running code (files, network
// answers, state chunks). It reads the same language as the framework's parser, so every
// document written before keeps its meaning: objects and arrays at the top level, strings in
// double or single quotes, the framework's escapes, whitespace after a minus sign, a trailing
// comma, and text after the top-level value, which is ignored. Integers are int when their
// magnitude is below 2^31, int64 otherwise.
//
// Where the framework's parser is unsafe or wrong this one differs:
// - it never nests deeper than maxDepth, so hostile input cannot exhaust the stack (the
//   framework's parser recurses once per bracket, and a guard that counted brackets on its own
//   could be fooled by any difference in how the two read a character);
// - bytes that are no UTF-8 are never skipped as whitespace; inside a string they become
//   U+FFFD, elsewhere they are a syntax error;
// - an escaped surrogate pair ("\ud83c\udfb9") is the one character it stands for, and a lone
//   escaped surrogate is U+FFFD, so every string read is valid Unicode;
// - a minus sign must be followed by a digit;
// - a number whose whole part does not fit 64 bits makes the text unreadable instead of
//   wrapping around (18446744073709551716 read as 100).
struct JsonReader
{
    // Far deeper than any document the product reads or writes, and still a small stack.
    static constexpr int defaultMaxDepth = 128;
    // Whatever a caller asks for, nesting is never followed deeper than this.
    static constexpr int hardMaxDepth = 512;

    // The parsed value; void when the text is not JSON, is a bare value (as the framework's
    // parser answers) or nests deeper than maxDepth. When asked, tells whether a text refused
    // for its depth alone is otherwise a well-formed document (checked without recursion), so
    // that a caller can keep a file it cannot read rather than treat it as broken.
    static juce::var parse (const juce::String& text, int maxDepth = defaultMaxDepth,
                            bool* wellFormedButTooDeep = nullptr);

    // Any JSON value at the start of the text, a bare one too ("42", "\"text\""), as the
    // framework's JSON::fromString reads it; text after the value is ignored. Void when the
    // text holds no value (or holds null), or nests deeper than maxDepth.
    static juce::var parseValue (const juce::String& text, int maxDepth = defaultMaxDepth);

    // For a document that was cut off at a size limit: when the text ends inside the top-level
    // object, the object holds the members that were complete (followed by "," or "}") before
    // the cut. A syntax error anywhere before the cut still gives void, as does a top-level
    // array that was cut.
    static juce::var parseCutOff (const juce::String& text, int maxDepth = defaultMaxDepth);
};

} // namespace velmar
