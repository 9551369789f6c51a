#pragma once

#include <juce_core/juce_core.h>

namespace velmar
{

// The one JSON reader for text that comes from outside the running code (files, network
// answers, state chunks). The framework's parser descends one level of recursion per nested
// array or object, so a few dozen kilobytes of "[" overflow the stack of the calling thread
// and take the host down with it. This reader first measures how deep the text nests (outside
// string literals) and refuses anything deeper than the limit without parsing it; everything
// else is parsed by the framework's parser exactly as before.
struct JsonReader
{
    // Far deeper than any document the product reads or writes, and still a small stack.
    static constexpr int defaultMaxDepth = 128;

    // The parsed value; void when the text is not JSON, is a bare value (as the framework's
    // parser answers), nests deeper than maxDepth or holds a number too large to read.
    static juce::var parse (const juce::String& text, int maxDepth = defaultMaxDepth);

    // True when no array or object in the text lies more than maxDepth levels deep.
    static bool nestsNoDeeperThan (const juce::String& text, int maxDepth);

    // True when the whole part of every number in the text (outside string literals) fits a
    // signed 64-bit integer. The framework's parser accumulates it in one and wraps, so
    // 18446744073709551716 would read as 100; such a text is refused instead.
    static bool wholeNumbersFit (const juce::String& text);
};

} // namespace velmar
