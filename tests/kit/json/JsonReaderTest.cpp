#include "kit/json/JsonReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using velmar::JsonReader;

namespace
{
juce::String repeated (const char* piece, int count) { return juce::String::repeatedString (piece, count); }

// The bytes of a file as they are, without the framework's repair of text that is no UTF-8.
juce::String rawText (const juce::File& file)
{
    juce::MemoryBlock bytes;
    file.loadFileAsData (bytes);
    const auto* start = static_cast<const char*> (bytes.getData());
    return juce::String (juce::CharPointer_UTF8 (start), juce::CharPointer_UTF8 (start + bytes.getSize()));
}

juce::File jsonFixture (const char* name)
{
    return juce::File (CORVESSA_TEST_DATA_DIR).getChildFile ("json").getChildFile (name);
}

// Parses on a thread with a small stack, as a host's worker or message thread may have: a
// reader that followed the nesting of a hostile document would overflow it.
juce::var parseOnSmallStack (const juce::String& text)
{
    struct Reader : juce::Thread
    {
        explicit Reader (const juce::String& t) : juce::Thread ("JsonReaderTest", 512 * 1024), text (t) {}
        void run() override { result = JsonReader::parse (text); }
        juce::String text;
        juce::var result { "not read" };
    } reader (text);

    reader.startThread();
    reader.waitForThreadToExit (-1);
    return reader.result;
}

// The framework's writer shows a value's type too (1 and 1.0 differ), so equal texts mean
// equal values.
juce::String describe (const juce::var& v) { return juce::JSON::toString (v, true); }
} // namespace

TEST (JsonReader, RefusesDeepNestingWithoutFollowingIt)
{
    const int limit = JsonReader::defaultMaxDepth;

    struct Case { const char* what; juce::String text; bool readable; };
    const Case cases[] = {
        // Deep enough to overflow the stack of any thread in a reader that recursed.
        { "arrays far too deep",        repeated ("[", 200000), false },
        { "objects far too deep",       repeated ("{\"a\": ", 100000), false },
        { "deep inside a document",     "{\"ok\": true, \"x\": " + repeated ("[", 100000) + repeated ("]", 100000) + "}", false },
        { "one level beyond the limit", repeated ("[", limit + 1) + repeated ("]", limit + 1), false },
        { "exactly at the limit",       repeated ("[", limit) + repeated ("]", limit), true },
        // Brackets inside strings, in either quote character and after escaped quotes, are text.
        { "brackets in a string",       "{\"k\": \"" + repeated ("[", 100000) + "\"}", true },
        { "brackets in single quotes",  "['" + repeated ("{", 100000) + "']", true },
        { "escaped quote in a string",  "{\"k\": \"\\\"" + repeated ("[", 100000) + "\"}", true },
        { "an ordinary document",       "{\"a\": [1, {\"b\": \"]]\"}], \"c\": null}", true },
        // Text that a separate bracket count read differently from the parser: a quote taken
        // as a digit after a minus sign, a byte that is no UTF-8 taken as whitespace together
        // with the bracket after it.
        { "minus and quote",            rawText (jsonFixture ("minus-quote-hides-nesting.json")), false },
        { "lead byte and bracket",      rawText (jsonFixture ("whitespace-lead-byte-hides-nesting.json")), false },
    };

    for (const auto& c : cases)
        EXPECT_EQ (! parseOnSmallStack (c.text).isVoid(), c.readable) << c.what;

    EXPECT_TRUE (JsonReader::parse ("[[1]]", 1).isVoid());
    EXPECT_TRUE (JsonReader::parse ("[[1]]", 2).isArray());
    EXPECT_TRUE (JsonReader::parse (repeated ("[", 1000) + repeated ("]", 1000), 100000).isVoid())
        << "no caller can ask for unbounded nesting";
}

TEST (JsonReader, ReadsWhatTheFrameworkReads)
{
    // Documents the framework's parser reads, some of them outside strict JSON: every one
    // keeps its meaning, value and type alike.
    const char* const documents[] = {
        R"({"a": 1, "b": [true, false, null], "c": "text", "nested": {"deep": {}}})",
        R"(['single', "mixed 'quotes'", 'with "double" inside'])",
        R"(["escapes \a\b\f\n\r\t\/\\\"\' and \x stands for x", "\u00e9\u4e2d"])",
        R"([- 5, 007, -0, 1.5e3, 2.5E-2, 1., 2147483647, 2147483648, -2147483648, 9223372036854775807])",
        R"([1e400, -1e400, 1e-400])",
        "[1,]",
        R"({"a": 1,})",
        R"({"a": 1, "a": 2, "b": 3})",
        "  \r\n\t{\"trailing text\": true} is ignored",
        "[\"raw\tcontrol\ncharacters\"]",
        "[\"caf\xc3\xa9 \xf0\x9f\x8e\xb9\"]",
        "[]",
        "{}",
    };

    for (const auto* text : documents)
    {
        const auto ours = JsonReader::parse (juce::String::fromUTF8 (text));
        const auto framework = juce::JSON::parse (juce::String::fromUTF8 (text));
        ASSERT_FALSE (framework.isVoid()) << text;
        EXPECT_EQ (describe (ours), describe (framework)) << text;
    }

    const auto numbers = JsonReader::parse ("[1, 2147483648, 1.0, 12345678901234]");
    EXPECT_TRUE (numbers[0].isInt());
    EXPECT_TRUE (numbers[1].isInt64());
    EXPECT_TRUE (numbers[2].isDouble());
    EXPECT_TRUE (numbers[3].isInt64());

    // And what it refuses, this reader refuses (an empty name too, on which the framework
    // asserts, so it is only asked of ours).
    EXPECT_TRUE (JsonReader::parse (R"({"": 1})").isVoid());

    const char* const refused[] = {
        "", "   ", "42", "\"bare\"", "true", "{'single': 1}", "[1 2]", R"(["\u12"])",
        R"(["\u0000"])", "[tru]", "[1.5x]", "[1e]", "[1.2.3]", R"({"a" 1})", "{\"a\": ", "[\"open",
        "[", "{", "]", "[1,,2]", "[,]", "[.5]", "[+1]",
    };

    for (const auto* text : refused)
    {
        EXPECT_TRUE (juce::JSON::parse (juce::String (text)).isVoid()) << text;
        EXPECT_TRUE (JsonReader::parse (juce::String (text)).isVoid()) << text;
    }
}

TEST (JsonReader, MendsWhatTheFrameworkReadsWrongly)
{
    // An escaped surrogate pair is one character, not two broken ones.
    EXPECT_EQ (JsonReader::parse (R"(["\ud83c\udfb9"])")[0].toString(), juce::String::fromUTF8 ("\xf0\x9f\x8e\xb9"));

    const juce::String replacement = juce::String::fromUTF8 ("\xef\xbf\xbd");

    struct Case { const char* what; juce::String text; juce::var expected; };
    const Case cases[] = {
        { "a lone high surrogate",       R"(["\ud83c"])",              replacement },
        { "a high one before a letter",  R"(["\ud83cx"])",             replacement + "x" },
        { "two high ones",               R"(["\ud83c\ud83c\udfb9"])",  replacement + juce::String::fromUTF8 ("\xf0\x9f\x8e\xb9") },
        { "a lone low surrogate",        R"(["\udfb9"])",              replacement },
        // Bytes that are no UTF-8 inside a string become U+FFFD, each on its own.
        { "a stray byte in a string",    juce::String (juce::CharPointer_UTF8 ("[\"a\xc9 b\xff\"]")), "a" + replacement + " b" + replacement },
    };

    for (const auto& c : cases)
    {
        const auto value = JsonReader::parse (c.text);
        ASSERT_TRUE (value.isArray()) << c.what;
        EXPECT_EQ (describe (value[0]), describe (c.expected)) << c.what;
    }

    // A minus sign must be followed by a number (the framework takes any character as the
    // first digit, and reads past the end of the text after a minus sign at its end), and bytes
    // that are no UTF-8 are never whitespace.
    for (const auto* text : { "[-x]", "[-']", "[-", "[- ]", "[\xc9]", "{\"a\":\xc9 1}", "\xc9[]" })
        EXPECT_TRUE (JsonReader::parse (juce::String (juce::CharPointer_UTF8 (text))).isVoid()) << text;

    // A whole part beyond 64 bits: the framework wraps it around (the first to 100); such a
    // text is refused, with a fraction or an exponent too. Up to the limit numbers read as
    // before.
    for (const auto* text : { "[18446744073709551716]", "[-18446744073709551716]", "{\"bpm\": 9223372036854775808}",
                              "[92233720368547758070.5]", "[18446744073709551616e-10]", "[-9223372036854775808]" })
        EXPECT_TRUE (JsonReader::parse (juce::String (juce::CharPointer_UTF8 (text))).isVoid()) << text;

    EXPECT_EQ ((juce::int64) JsonReader::parse ("[9223372036854775807]")[0], std::numeric_limits<juce::int64>::max());
    EXPECT_EQ ((juce::int64) JsonReader::parse ("[-9223372036854775807]")[0], -std::numeric_limits<juce::int64>::max());
    EXPECT_EQ ((double) JsonReader::parse ("[1e400]")[0], std::numeric_limits<double>::infinity());
}

TEST (JsonReader, ABareValueReadsAsTheFrameworksFromStringReadsIt)
{
    for (const auto* text : { "42", "  \"text\"", "true", "-1.5e3", "[1, {\"a\": 'b'}] rest", "{\"k\": null}", "'single'" })
        EXPECT_EQ (describe (JsonReader::parseValue (text)), describe (juce::JSON::fromString (text))) << text;

    for (const auto* text : { "", "   ", "x", "[1", "-", "-x", "\"open" })
        EXPECT_TRUE (JsonReader::parseValue (text).isVoid()) << text;

    // The nesting limit holds for a bare value too.
    EXPECT_TRUE (JsonReader::parseValue (rawText (jsonFixture ("whitespace-lead-byte-hides-nesting.json"))).isVoid());
    EXPECT_TRUE (JsonReader::parseValue (repeated ("[", 100000)).isVoid());
}

TEST (JsonReader, ACutOffDocumentKeepsTheMembersThatArrivedWhole)
{
    struct Case { const char* what; juce::String text; juce::String expected; };
    const Case cases[] = {
        { "cut inside a string",      R"({"ok": true, "id": "R", "log": "xxx)",  R"({"ok": true, "id": "R"})" },
        { "cut after a number",       R"({"ok": true, "n": 12)",                 R"({"ok": true})" },
        { "cut inside an array",      R"({"ok": true, "a": [1, {"b": 2)",        R"({"ok": true})" },
        { "cut inside a word",        R"({"ok": tr)",                            "{}" },
        { "cut after a comma",        R"({"ok": false, )",                       R"({"ok": false})" },
        { "whole after all",          R"({"ok": true} and more)",                R"({"ok": true})" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (describe (JsonReader::parseCutOff (c.text)), c.expected) << c.what;

    // A fault before the cut is still a fault, and a cut array or too deep a nesting gives nothing.
    for (const auto* text : { R"({"ok": true, x "later")", R"({"ok": true, "a": [1 2], "b": "cut)", "[1, 2", R"(["ok")" })
        EXPECT_TRUE (JsonReader::parseCutOff (text).isVoid()) << text;

    EXPECT_TRUE (JsonReader::parseCutOff ("{\"ok\": true, \"x\": " + repeated ("[", 1000)).isVoid());
    EXPECT_TRUE (JsonReader::parse (R"({"ok": true, "id": "R)").isVoid()) << "only when asked for";
}

TEST (JsonReader, TellsAGoodDocumentTooDeepToReadFromABrokenOne)
{
    const auto deep = [] (const juce::String& inner) { return repeated ("[", 300) + inner + repeated ("]", 300); };

    struct Case { const char* what; juce::String text; bool wellFormedButTooDeep; };
    const Case cases[] = {
        { "deep and well formed",      "{\"a\": " + deep ("{\"b\": [1, 'x', null]}, 2") + ", \"c\": {}}", true },
        { "deep with trailing commas", "{\"a\": " + deep ("1,") + ",}", true },
        { "deep and never closed",     "{\"a\": " + repeated ("[", 300), false },
        { "deep with a fault inside",  "{\"a\": " + deep ("1 2") + "}", false },
        { "deep with a fault after",   "{\"a\": " + deep ("") + " x}", false },
        { "deep with an empty key",    "{\"a\": " + deep ("{\"\": 1}") + "}", false },
        { "shallow and broken",        "{\"a\": ", false },
        { "shallow and good",          "{\"a\": [1]}", false },
    };

    for (const auto& c : cases)
    {
        bool tooDeep = ! c.wellFormedButTooDeep;
        JsonReader::parse (c.text, JsonReader::defaultMaxDepth, &tooDeep);
        EXPECT_EQ (tooDeep, c.wellFormedButTooDeep) << c.what;
    }
}
