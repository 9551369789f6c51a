#include "kit/json/JsonWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
juce::var makeObject (std::initializer_list<std::pair<const char*, juce::var>> props)
{
    auto* object = new juce::DynamicObject();
    for (const auto& [name, value] : props)
        object->setProperty (name, value);
    return juce::var (object);
}

// A strict check of the escapes inside string literals: JSON allows only \" \\ \/ \b \f \n \r \t
// and \u followed by four hex digits, and no raw control character.
bool hasOnlyStrictEscapes (const juce::String& json)
{
    bool inString = false;
    for (auto p = json.getCharPointer(); ! p.isEmpty();)
    {
        const auto c = p.getAndAdvance();
        if (! inString)
        {
            inString = (c == '"');
            continue;
        }
        if (c < 32)
            return false;
        if (c == '"')
        {
            inString = false;
        }
        else if (c == '\\')
        {
            const auto e = p.getAndAdvance();
            if (e == 'u')
            {
                for (int i = 0; i < 4; ++i)
                    if (juce::CharacterFunctions::getHexDigitValue (p.getAndAdvance()) < 0)
                        return false;
            }
            else if (juce::String ("\"\\/bfnrt").indexOfChar (e) < 0)
            {
                return false;
            }
        }
    }
    return ! inString;
}
} // namespace

TEST (JsonWriter, LaysOutDocumentsLikeTheFrameworkWriter)
{
    // For documents without control characters the text is the framework's, byte for byte, in
    // both forms, so files written before and after the writer changed compare equal.
    const juce::var documents[] = {
        makeObject ({ { "a", 1 }, { "b", "text with \"quotes\" and \\ and / and \t\r\n" } }),
        makeObject ({ { "list", juce::Array<juce::var> { 1, 2.5, true, false, juce::var(), "x" } },
                      { "empty", juce::Array<juce::var> {} },
                      { "nested", makeObject ({ { "deep", makeObject ({}) } }) } }),
        makeObject ({ { "big", (juce::int64) 1 << 40 }, { "third", 1.0 / 3.0 }, { "whole", 3.0 },
                      { "negative", -7 } }),
        juce::var (juce::Array<juce::var> { makeObject ({}), juce::Array<juce::var> { 1 } }),
        makeObject ({}),
    };

    for (const auto& doc : documents)
        for (const bool oneLine : { false, true })
            EXPECT_EQ (velmar::JsonWriter::toString (doc, oneLine, 15), juce::JSON::toString (doc, oneLine, 15))
                << (oneLine ? "single-line" : "multi-line");
}

TEST (JsonWriter, EveryStringIsValidJsonAndReadsBackUnchanged)
{
    // Every control character, the characters JSON escapes, and text beyond the basic plane.
    juce::String all;
    for (juce::juce_wchar c = 1; c < 128; ++c)
        all += juce::String::charToString (c);
    all += juce::String (juce::CharPointer_UTF8 ("\xc3\xa9\xf0\x9f\x8e\xb5"));

    const juce::String texts[] = { all, "bell \a here", "\a", "back\\a slash", "\x7f", "" };

    for (const auto& text : texts)
    {
        for (const bool oneLine : { false, true })
        {
            const auto json = velmar::JsonWriter::toString (makeObject ({ { "k", text } }), oneLine);
            EXPECT_TRUE (hasOnlyStrictEscapes (json)) << json;

            const auto parsed = juce::JSON::parse (json);
            ASSERT_TRUE (parsed.isObject()) << json;
            EXPECT_EQ (parsed["k"].toString(), text);
        }
    }

    EXPECT_EQ (velmar::JsonWriter::quote ("a\ab"), "\"a\\u0007b\"");
    // Beyond ASCII the text stays UTF-8 (the framework's reader garbles escaped surrogate pairs).
    const juce::String music (juce::CharPointer_UTF8 ("\xc3\xa9 \xe2\x80\x93 \xf0\x9f\x8e\xb5"));
    EXPECT_EQ (velmar::JsonWriter::quote (music), "\"" + music + "\"");
    EXPECT_EQ (velmar::JsonWriter::quote ("say \"hi\""), "\"say \\\"hi\\\"\"");
}

TEST (JsonWriter, ValuesWithoutJsonFormBecomeNull)
{
    struct Case { const char* what; juce::var value; };
    const Case cases[] = {
        { "infinity", std::numeric_limits<double>::infinity() },
        { "minus infinity", -std::numeric_limits<double>::infinity() },
        { "not a number", std::numeric_limits<double>::quiet_NaN() },
        { "undefined", juce::var::undefined() },
        { "void", juce::var() },
        { "binary", juce::var (juce::MemoryBlock (4, true)) },
    };

    for (const auto& c : cases)
    {
        const auto json = velmar::JsonWriter::toString (makeObject ({ { "v", c.value } }), true);
        EXPECT_EQ (json, "{\"v\": null}") << c.what;
        EXPECT_TRUE (juce::JSON::parse (json).isObject()) << c.what;
    }
}

TEST (JsonWriter, WritesValidUtf8WhateverAStringHolds)
{
    const auto bytesOf = [] (const juce::String& text) { return std::string (text.toRawUTF8()); };
    const juce::String keyboard (juce::CharPointer_UTF8 ("\xf0\x9f\x8e\xb9"));

    // The framework's reader keeps an escaped surrogate pair as two encoded halves; written as
    // they are, they would be bytes that no UTF-8 reader takes.
    const auto fromFrameworkReader = juce::JSON::parse (R"(["\ud83c\udfb9 keys", "\ud83c alone"])");

    struct Case { const char* what; juce::String text; std::string written; };
    const Case cases[] = {
        { "a pair in two halves",   fromFrameworkReader[0].toString(),            "\"\xf0\x9f\x8e\xb9 keys\"" },
        { "a lone half",            fromFrameworkReader[1].toString(),            "\"\xef\xbf\xbd alone\"" },
        { "bytes that are no UTF-8", juce::String (juce::CharPointer_UTF8 ("a\xff b\xc9")), "\"a\xef\xbf\xbd b\xef\xbf\xbd\"" },
        // Each byte that belongs to no character is one U+FFFD, as other UTF-8 readers count them.
        { "beyond Unicode",         juce::String (juce::CharPointer_UTF8 ("\xf7\xbf\xbf\xbf")),
                                    "\"\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\"" },
        { "a proper character",     keyboard,                                    "\"\xf0\x9f\x8e\xb9\"" },
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (bytesOf (velmar::JsonWriter::quote (c.text)), c.written) << c.what;
        EXPECT_EQ (bytesOf (velmar::JsonWriter::toString (makeObject ({ { "k", c.text } }), true)),
                   "{\"k\": " + c.written + "}") << c.what;
    }

    // Keys are written the same way.
    EXPECT_EQ (bytesOf (velmar::JsonWriter::toString (makeObject ({ { fromFrameworkReader[0].toString().toRawUTF8(), 1 } }), true)),
               "{\"\xf0\x9f\x8e\xb9 keys\": 1}");
}
