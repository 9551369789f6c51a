#include "kit/json/JsonReader.h"

#include <gtest/gtest.h>

using velmar::JsonReader;

namespace
{
juce::String repeated (const char* piece, int count) { return juce::String::repeatedString (piece, count); }
} // namespace

TEST (JsonReader, RefusesDeepNestingWithoutParsingIt)
{
    const int limit = JsonReader::defaultMaxDepth;

    struct Case { const char* what; juce::String text; bool readable; };
    const Case cases[] = {
        // Deep enough to overflow the stack of any thread in the framework's parser.
        { "arrays far too deep",        repeated ("[", 200000), false },
        { "objects far too deep",       repeated ("{\"a\": ", 100000), false },
        { "deep inside a document",     "{\"ok\": true, \"x\": " + repeated ("[", 100000) + repeated ("]", 100000) + "}", false },
        { "one level beyond the limit", repeated ("[", limit + 1) + repeated ("]", limit + 1), false },
        { "stray closers hide nothing", repeated ("]", 1000) + repeated ("[", limit + 1), false },
        { "exactly at the limit",       repeated ("[", limit) + repeated ("]", limit), true },
        // Brackets inside strings, in either quote character and after escaped quotes, are text.
        { "brackets in a string",       "{\"k\": \"" + repeated ("[", 100000) + "\"}", true },
        { "brackets in single quotes",  "['" + repeated ("{", 100000) + "']", true },
        { "escaped quote in a string",  "{\"k\": \"\\\"" + repeated ("[", 100000) + "\"}", true },
        { "an ordinary document",       "{\"a\": [1, {\"b\": \"]]\"}], \"c\": null}", true },
    };

    for (const auto& c : cases)
    {
        const auto value = JsonReader::parse (c.text);
        EXPECT_EQ (! value.isVoid(), c.readable) << c.what;
        EXPECT_EQ (JsonReader::nestsNoDeeperThan (c.text, limit), c.readable) << c.what;
    }
}

TEST (JsonReader, ReadsWhatTheFrameworkReadsOtherwise)
{
    EXPECT_EQ ((int) JsonReader::parse ("{\"a\": [1, 2, {\"b\": \"x]\"}]}")["a"][2]["b"].toString().length(), 2);
    EXPECT_TRUE (JsonReader::parse ("[true]").isArray());
    EXPECT_TRUE (JsonReader::parse ("42").isVoid());        // a bare value, as the framework answers
    EXPECT_TRUE (JsonReader::parse ("{\"a\": ").isVoid());
    EXPECT_TRUE (JsonReader::parse ("").isVoid());
    EXPECT_TRUE (JsonReader::parse ("[[1]]", 1).isVoid());
    EXPECT_TRUE (JsonReader::parse ("[[1]]", 2).isArray());
}
