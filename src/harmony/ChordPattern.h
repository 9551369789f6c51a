#pragma once

#include <juce_core/juce_core.h>

#include <optional>

// Splits a chord text into its root (a letter A-G in either case, optionally followed by "#",
// "b" or "B") and the rest. This is the case-insensitive ECMAScript pattern
// ^([A-G][#b]?)(.*)$ written out by hand: it runs for every chord of every compile, and a regex
// object per call would cost far more than the chord itself. As in the pattern, "." does not
// match a line terminator, so a text holding one after the root letter does not match.
struct ChordPatternMatch
{
    juce::String root;
    juce::String rest;
};

inline std::optional<ChordPatternMatch> matchChordPattern (const juce::String& text)
{
    auto isRootLetter = [] (juce::juce_wchar c) { return (c >= 'A' && c <= 'G') || (c >= 'a' && c <= 'g'); };
    auto isLineTerminator = [] (juce::juce_wchar c) { return c == '\n' || c == '\r' || c == 0x2028 || c == 0x2029; };

    auto p = text.getCharPointer();

    if (p.isEmpty() || ! isRootLetter (*p))
        return std::nullopt;

    for (auto q = p + 1; ! q.isEmpty(); ++q)
        if (isLineTerminator (*q))
            return std::nullopt;

    const auto second = *(p + 1);
    const int rootLength = (second == '#' || second == 'b' || second == 'B') ? 2 : 1;

    return ChordPatternMatch { text.substring (0, rootLength), text.substring (rootLength) };
}
