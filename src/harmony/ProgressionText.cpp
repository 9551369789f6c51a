#include "harmony/ProgressionText.h"

#include "harmony/ProgressionCompiler.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <iterator>
#include <utility>

namespace
{
// Written quality -> canonical quality, one alias per row.
const std::vector<std::pair<const char*, const char*>>& qualityAliases()
{
    static const std::vector<std::pair<const char*, const char*>> aliases {
        { "major",    "" },
        { "Major",    "" },
        { "maj",      "" },
        { "M",        "" },
        { "min",      "m" },
        { "m5",       "5" },
        { "+",        "aug" },
        { "sus",      "sus4" },
        { "(add2)",   "add2" },
        { "(add4)",   "add4" },
        { "(add9)",   "add9" },
        { "madd2",    "m(add2)" },
        { "madd4",    "m(add4)" },
        { "madd9",    "m(add9)" },
        { "maj6",     "6" },
        { "min6",     "m6" },
        { "M7",       "maj7" },
        { "M9",       "maj9" },
        { "M11",      "maj11" },
        { "M13",      "maj13" },
        { "min7",     "m7" },
        { "min9",     "m9" },
        { "min11",    "m11" },
        { "min13",    "m13" },
        { "mM7",      "m(maj7)" },
        { "mMaj7",    "m(maj7)" },
        { "mmaj7",    "m(maj7)" },
        { "mM9",      "m(maj9)" },
        { "mMaj9",    "m(maj9)" },
        { "mmaj9",    "m(maj9)" },
        { "mM11",     "m(maj11)" },
        { "mMaj11",   "m(maj11)" },
        { "mmaj11",   "m(maj11)" },
        { "mM13",     "m(maj13)" },
        { "mMaj13",   "m(maj13)" },
        { "mmaj13",   "m(maj13)" },
        { "7sus",     "7sus4" },
        { "9sus",     "9sus4" },
        { "13sus",    "13sus4" },
        { "7aug",     "7#5" },
        { "7(#11)",   "7#11" },
        { "13(#11)",  "13#11" },
        { "maj7#11",  "maj7(#11)" },
        { "M7#11",    "maj7(#11)" },
        { "maj9#11",  "maj9(#11)" },
        { "M9#11",    "maj9(#11)" },
        { "maj13#11", "maj13(#11)" },
        { "M13#11",   "maj13(#11)" },
        { "maj7(#5)", "maj7#5" },
        { "M7#5",     "maj7#5" },
    };
    return aliases;
}

[[maybe_unused]] const bool aliasesBuiltAtLoad = (qualityAliases(), true);

bool isNoteLetter (juce::juce_wchar c)
{
    return (c >= 'A' && c <= 'G') || (c >= 'a' && c <= 'g');
}

bool isAccidental (juce::juce_wchar c)
{
    return c == '#' || c == 'b';
}

// A slash bass: a note letter and an optional "#" or lower-case "b".
bool isBassNote (const juce::String& text)
{
    const auto length = text.length();
    return (length == 1 || length == 2) && isNoteLetter (text[0]) && (length == 1 || isAccidental (text[1]));
}

// The leading number of a text ("2abc" -> 2, "abc" -> 0). Anything that does not read as a
// finite number counts as no number, so that "inf" or "1e999" cannot make a label of it.
double leadingNumber (const juce::String& text)
{
    const auto value = text.getDoubleValue();
    return std::isfinite (value) ? value : 0.0;
}

juce::String durationSuffix (const ChordToken& token)
{
    return token.hasDuration ? ":" + token.duration : juce::String();
}

// In the order they are looked for.
const char* const optionTags[] = { "{V/V}", "{TT}", "{CM}" };

// Removes every occurrence of a tag, including those that removing one makes
// ("{T{TT}T}" holds a second "{TT}" once the first is gone), in one walk over the text: each
// character is kept, and whenever the kept text ends with the tag, the tag is dropped again.
// (No tag begins with its own end, so this is the same as removing occurrences until none
// is left, however deeply they nest.)
juce::String withoutTag (const juce::String& text, const char* tag)
{
    const auto tagLength = std::strlen (tag);
    std::string kept;
    kept.reserve (text.getNumBytesAsUTF8());

    for (const char* c = text.toRawUTF8(); *c != 0; ++c)
    {
        kept += *c;

        if (kept.size() >= tagLength && kept.compare (kept.size() - tagLength, tagLength, tag) == 0)
            kept.resize (kept.size() - tagLength);
    }

    return juce::String (juce::CharPointer_UTF8 (kept.data()), juce::CharPointer_UTF8 (kept.data() + kept.size()));
}

// Takes the first kind of option tag found out of the chord part. A token is written back
// with its tag at the end, so what stays in the chord part must not make the next reading
// take another kind: when removing the tag leaves an earlier kind behind (only nested tags
// do that, as in "{V/{TT}V}"), that kind is taken instead, so that normalising the written
// text again changes nothing.
juce::String takeOptionTag (juce::String& chordPart)
{
    int taken = -1;

    for (int i = 0; i < (int) std::size (optionTags); ++i)
    {
        if (chordPart.contains (optionTags[i]))
        {
            taken = i;
            break;
        }
    }

    if (taken < 0)
        return {};

    for (;;)
    {
        chordPart = withoutTag (chordPart, optionTags[taken]);

        int earlier = -1;

        for (int i = 0; i < taken && earlier < 0; ++i)
            if (chordPart.contains (optionTags[i]))
                earlier = i;

        if (earlier < 0)
            return optionTags[taken];

        taken = earlier;
    }
}
} // namespace

namespace
{
    // Decodes the character at p as the framework does, moving p past it. False when the bytes
    // there are no well-formed UTF-8 for one character: cut short, starting with a byte no
    // sequence starts with, longer than the character needs (an overlong form, which the
    // framework measures by its character but copies by its bytes), a surrogate or beyond
    // Unicode. The decoding stops at the first byte that cannot continue a sequence, so it
    // never reads past the end of the text.
    bool takeCharacter (juce::CharPointer_UTF8& p, juce::juce_wchar& c)
    {
        const auto* start = p.getAddress();
        const auto lead = (juce::uint8) *start;
        const long announced = lead < 0x80 ? 1 : lead < 0xc0 ? 0 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : lead < 0xf8 ? 4 : 0;
        c = p.getAndAdvance();
        const auto used = p.getAddress() - start;

        return used == announced && c != 0 && c <= 0x10ffff && ! (c >= 0xd800 && c <= 0xdfff)
            && (long) juce::CharPointer_UTF8::getBytesRequiredFor (c) == used;
    }
} // namespace

juce::String withWellFormedUtf8 (const juce::String& text)
{
    juce::juce_wchar c = 0;
    bool wellFormed = true;

    for (auto p = text.getCharPointer(); wellFormed && ! p.isEmpty();)
        wellFormed = takeCharacter (p, c);

    if (wellFormed)
        return text;

    // Decoded once, in one way, and written back as well-formed characters.
    juce::MemoryOutputStream out ((size_t) text.getNumBytesAsUTF8());

    for (auto p = text.getCharPointer(); ! p.isEmpty();)
        out.appendUTF8Char (takeCharacter (p, c) ? c : (juce::juce_wchar) 0xfffd);

    return out.toUTF8();
}

juce::String canonicalQuality (const juce::String& quality)
{
    const auto trimmed = quality.trim();

    for (const auto& [written, canonical] : qualityAliases())
        if (trimmed == written)
            return canonical;

    return trimmed;
}

ChordToken parseChordToken (const juce::String& tokenText)
{
    ChordToken token;
    token.text = withWellFormedUtf8 (tokenText).trim();

    auto chordPart = token.text;
    const auto colon = chordPart.indexOfChar (':');

    if (colon >= 0)
    {
        token.hasDuration = true;
        const auto duration = chordPart.substring (colon + 1).trim();
        token.duration = duration.isEmpty() ? juce::String ("1") : duration;
        chordPart = chordPart.substring (0, colon).trim();
    }

    token.option = takeOptionTag (chordPart);

    if (chordPart.equalsIgnoreCase ("R"))
    {
        token.isRest = true;
        token.root = "C";
        token.quality = {};
        token.text = "R" + durationSuffix (token); // a rest carries no option tag in its text
        return token;
    }

    const auto slash = chordPart.lastIndexOfChar ('/');

    if (slash >= 0)
    {
        const auto bass = chordPart.substring (slash + 1).trim();

        if (isBassNote (bass))
        {
            token.bass = bass;
            chordPart = chordPart.substring (0, slash).trim();
        }
    }

    if (chordPart.isEmpty() || ! isNoteLetter (chordPart[0]))
    {
        token.isValid = false;
        return token;
    }

    const auto rootLength = isAccidental (chordPart[1]) ? 2 : 1;
    token.root = chordPart.substring (0, rootLength);
    token.quality = canonicalQuality (chordPart.substring (rootLength));
    token.text = formatChordSymbol (token) + durationSuffix (token);
    return token;
}

std::vector<ChordToken> parseProgressionTokens (const juce::String& progressionText)
{
    std::vector<ChordToken> tokens;

    for (const auto& piece : juce::StringArray::fromTokens (withWellFormedUtf8 (progressionText).trim(), " ", ""))
        if (piece.trim().isNotEmpty())
            tokens.push_back (parseChordToken (piece));

    return tokens;
}

juce::String formatChordSymbol (const ChordToken& token)
{
    if (token.isRest)
        return "R";

    if (! token.isValid)
        return token.text.upToFirstOccurrenceOf (":", false, false).trim();

    // A quality that begins with "#" or "b" after a root without one can only come from text
    // that parted them with a tab ("C\tb"); written together they would read as another root
    // ("Cb"), so they stay parted and the text reads back as the same chord.
    const auto quality = canonicalQuality (token.quality);
    const bool keepApart = token.root.length() == 1 && isAccidental (quality[0]);

    return token.root + (keepApart ? "\t" : "") + quality
         + (token.bass.isNotEmpty() ? "/" + token.bass : juce::String())
         + token.option;
}

juce::String joinProgressionTokens (const std::vector<ChordToken>& tokens)
{
    juce::StringArray parts;

    for (const auto& token : tokens)
    {
        const auto part = (token.isValid || token.isRest) ? formatChordSymbol (token) + durationSuffix (token)
                                                          : token.text.trim();
        if (part.isNotEmpty())
            parts.add (part);
    }

    return parts.joinIntoString (" ");
}

juce::String normaliseProgressionText (const juce::String& progressionText)
{
    return joinProgressionTokens (parseProgressionTokens (progressionText));
}

juce::String formatDurationLabel (const ChordToken& token)
{
    const auto duration = token.duration.trim();
    float bars;

    // A chord never plays longer than the compile's longest chord, so the label shows that
    // length rather than a number the chord does not last (or one too large for a float).
    constexpr double longestTicks = ProgressionCompiler::maxChordLengthTicks;
    constexpr double longestBars = longestTicks / 512.0;

    if (duration.startsWithIgnoreCase ("T"))
    {
        bars = static_cast<float> (std::min (leadingNumber (duration.substring (1)), longestTicks)) / 512.0f;
        if (! std::isfinite (bars) || bars < 0.25f)
            bars = 0.25f;
    }
    else
    {
        bars = static_cast<float> (std::min (leadingNumber (duration), longestBars));
        if (! std::isfinite (bars) || ! (bars > 0.0f))
            bars = 1.0f;
    }

    return formatBarNumberWithUnit (bars);
}

juce::String harmonicOptionLabel (const juce::String& optionTag)
{
    if (optionTag == "{V/V}") return "V/V";
    if (optionTag == "{TT}")  return "TT";
    if (optionTag == "{CM}")  return "CM";
    return {};
}

juce::String formatBarNumberWithUnit (double bars)
{
    char buffer[64];

    if (std::abs (bars - std::floor (bars)) < 0.001)
        std::snprintf (buffer, sizeof (buffer), "%g", bars);
    else
        std::snprintf (buffer, sizeof (buffer), "%.2f", bars);

    juce::String number (buffer);

    if (number.containsChar ('.'))
    {
        while (number.endsWithChar ('0'))
            number = number.dropLastCharacters (1);
        if (number.endsWithChar ('.'))
            number = number.dropLastCharacters (1);
    }

    return number + (std::abs (bars - 1.0) < 0.001 ? " bar" : " bars");
}
