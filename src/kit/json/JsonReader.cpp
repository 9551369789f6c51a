#include "kit/json/JsonReader.h"

#include "kit/json/Utf8Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace velmar
{

namespace
{
// Thrown inside the parser only; atEnd tells a document that was merely cut short from a
// broken one.
struct ParseError
{
    bool atEnd = false;
    bool tooDeep = false;
};

class Parser
{
public:
    Parser (const juce::String& text, int maxDepthToUse, bool readCutOffToUse)
        : p (text.toRawUTF8()),
          end (p + text.getNumBytesAsUTF8()),
          maxDepth (juce::jlimit (0, JsonReader::hardMaxDepth, maxDepthToUse)),
          readCutOff (readCutOffToUse)
    {
    }

    juce::var parseDocument()
    {
        skipWhitespace();

        if (p == end)
            return {};

        if (*p == '{')
        {
            ++p;
            return parseObject (0, readCutOff);
        }

        if (*p == '[')
        {
            ++p;
            return parseArray (0);
        }

        fail();
    }

    juce::var parseBareOrDocument()
    {
        return parseValue (0);
    }

    // Whether the whole text is a well-formed document, however deep it nests. Nothing is
    // built and nothing recurses: the open containers are kept in a list of their own.
    bool isWellFormed()
    {
        try
        {
            skipWhitespace();
            std::vector<char> open;

            if (matchAscii ('{'))
                open.push_back ('}');
            else if (matchAscii ('['))
                open.push_back (']');
            else
                return false;

            bool afterItem = false;

            while (! open.empty())
            {
                skipWhitespace();
                const char closer = open.back();

                if (matchAscii (closer))
                {
                    open.pop_back();
                    afterItem = true;
                    continue;
                }

                if (afterItem)
                {
                    if (! matchAscii (','))
                        return false;

                    afterItem = false;
                    continue;
                }

                if (closer == '}')
                {
                    if (! matchAscii ('"') || parseString ('"').isEmpty())
                        return false;

                    skipWhitespace();

                    if (! matchAscii (':'))
                        return false;

                    skipWhitespace();
                }

                if (matchAscii ('{'))
                    open.push_back ('}');
                else if (matchAscii ('['))
                    open.push_back (']');
                else
                {
                    parseScalar();
                    afterItem = true;
                }
            }

            return true;
        }
        catch (const ParseError&)
        {
            return false;
        }
    }

private:
    [[noreturn]] void fail() const { throw ParseError { p >= end }; }

    bool isAtEnd() const noexcept { return p >= end; }

    // The character at p without moving, and how many bytes it takes.
    std::uint32_t peek (const char*& next) const noexcept
    {
        next = p;
        return Utf8Text::decode (next, end);
    }

    void skipWhitespace()
    {
        while (p < end)
        {
            // ASCII first: nearly every document is indented with plain spaces.
            const auto byte = (std::uint8_t) *p;

            if (byte == ' ' || byte == '\n' || byte == '\r' || byte == '\t')
            {
                ++p;
                continue;
            }

            const char* next = nullptr;
            const auto c = peek (next);

            if (c == Utf8Text::invalidCharacter || ! juce::CharacterFunctions::isWhitespace ((juce::juce_wchar) c))
                return;

            p = next;
        }
    }

    bool matchAscii (char c)
    {
        if (p < end && *p == c)
        {
            ++p;
            return true;
        }

        return false;
    }

    void expectWord (const char* rest)
    {
        for (; *rest != 0; ++rest)
            if (! matchAscii (*rest))
                fail();
    }

    void enterLevel (int depth) const
    {
        if (depth + 1 > maxDepth)
            throw ParseError { false, true };
    }

    juce::var parseValue (int depth)
    {
        skipWhitespace();

        if (matchAscii ('{'))
            return parseObject (depth, false);

        if (matchAscii ('['))
            return parseArray (depth);

        return parseScalar();
    }

    // A string, number, true, false or null at p (whitespace already skipped).
    juce::var parseScalar()
    {
        if (isAtEnd())
            fail();

        const char c = *p++;

        switch (c)
        {
            case '"':
            case '\'': return juce::var (parseString (c));
            case '-':
                skipWhitespace();
                return parseNumber (true);
            case 't':  expectWord ("rue");  return juce::var (true);
            case 'f':  expectWord ("alse"); return juce::var (false);
            case 'n':  expectWord ("ull");  return {};
            default:
                if (c >= '0' && c <= '9')
                {
                    --p;
                    return parseNumber (false);
                }

                --p;
                fail();
        }
    }

    // The opening bracket has been read. depth counts the containers around this one.
    juce::var parseObject (int depth, bool keepCompleteMembersAtCut)
    {
        enterLevel (depth);

        auto* object = new juce::DynamicObject();
        juce::var result (object);

        for (;;)
        {
            skipWhitespace();

            if (matchAscii ('}'))
                return result;

            // In a cut document, what was read up to the member being read when the text
            // ended is kept; anything broken before that is still an error.
            try
            {
                if (! matchAscii ('"'))
                    fail();

                const auto nameText = parseString ('"');

                // The framework's names cannot be empty (it asserts on one).
                if (nameText.isEmpty())
                    fail();

                const juce::Identifier name (nameText);

                skipWhitespace();

                if (! matchAscii (':'))
                    fail();

                auto value = parseValue (depth + 1);
                skipWhitespace();

                if (matchAscii (','))
                {
                    object->setProperty (name, std::move (value));
                    continue;
                }

                if (matchAscii ('}'))
                {
                    object->setProperty (name, std::move (value));
                    return result;
                }

                fail();
            }
            catch (const ParseError& error)
            {
                if (keepCompleteMembersAtCut && error.atEnd)
                    return result;

                throw;
            }
        }
    }

    juce::var parseArray (int depth)
    {
        enterLevel (depth);

        juce::var result { juce::Array<juce::var>() };
        auto* items = result.getArray();

        for (;;)
        {
            skipWhitespace();

            if (matchAscii (']'))
                return result;

            if (isAtEnd())
                fail();

            items->add (parseValue (depth + 1));
            skipWhitespace();

            if (matchAscii (','))
                continue;

            if (matchAscii (']'))
                return result;

            fail();
        }
    }

    // The opening quote has been read.
    juce::String parseString (char quote)
    {
        std::string text;

        for (;;)
        {
            if (isAtEnd())
                fail();

            const auto byte = *p;

            if (byte == quote)
            {
                ++p;
                break;
            }

            if (byte != '\\')
            {
                if ((std::uint8_t) byte < 0x80)
                {
                    text += byte;
                    ++p;
                }
                else
                {
                    Utf8Text::append (text, Utf8Text::decodeScalar (p, end));
                }

                continue;
            }

            ++p;

            if (isAtEnd())
                fail();

            const auto escaped = *p;

            switch (escaped)
            {
                case 'a': text += '\a'; ++p; break;
                case 'b': text += '\b'; ++p; break;
                case 'f': text += '\f'; ++p; break;
                case 'n': text += '\n'; ++p; break;
                case 'r': text += '\r'; ++p; break;
                case 't': text += '\t'; ++p; break;
                case 'u':
                {
                    ++p;
                    auto c = readHex4();

                    if (Utf8Text::isHighSurrogate (c))
                    {
                        // Only a low surrogate escape right after it makes a pair.
                        if (end - p >= 6 && p[0] == '\\' && p[1] == 'u')
                        {
                            const auto saved = p;
                            p += 2;
                            const auto low = readHex4();

                            if (Utf8Text::isLowSurrogate (low))
                                c = Utf8Text::combineSurrogates (c, low);
                            else
                                p = saved;
                        }
                    }

                    // The framework's parser refuses an escaped NUL as the end of the text.
                    if (c == 0)
                        fail();

                    Utf8Text::append (text, c);   // a surrogate left alone becomes U+FFFD
                    break;
                }
                default:
                    // Any other escaped character stands for itself (\" \' \\ \/ among them).
                    if ((std::uint8_t) escaped < 0x80)
                    {
                        text += escaped;
                        ++p;
                    }
                    else
                    {
                        Utf8Text::append (text, Utf8Text::decodeScalar (p, end));
                    }
                    break;
            }
        }

        return juce::String::fromUTF8 (text.data(), (int) text.size());
    }

    std::uint32_t readHex4()
    {
        std::uint32_t c = 0;

        for (int i = 0; i < 4; ++i)
        {
            if (isAtEnd())
                fail();

            const auto digit = juce::CharacterFunctions::getHexDigitValue ((juce::juce_wchar) (std::uint8_t) *p);

            if (digit < 0)
                fail();

            c = (c << 4) | (std::uint32_t) digit;
            ++p;
        }

        return c;
    }

    static bool isDigit (char c) noexcept { return c >= '0' && c <= '9'; }

    // At the first digit (after the minus sign and any whitespace for a negative number).
    juce::var parseNumber (bool isNegative)
    {
        if (isAtEnd() || ! isDigit (*p))
            fail();

        const auto first = p;
        std::uint64_t magnitude = 0;

        while (p < end && isDigit (*p))
        {
            const auto digit = (std::uint64_t) (*p - '0');

            // A whole part beyond 64 bits makes the text unreadable: the framework's parser
            // wrapped it around (a bpm of 18446744073709551716 read as 100), so no reader of
            // ours ever took such a number, and none expects to.
            if (magnitude > ((std::uint64_t) std::numeric_limits<juce::int64>::max() - digit) / 10)
                fail();

            magnitude = magnitude * 10 + digit;
            ++p;
        }

        bool isFloat = false;

        if (p < end && *p == '.')
        {
            isFloat = true;
            ++p;

            while (p < end && isDigit (*p))
                ++p;
        }

        if (p < end && (*p == 'e' || *p == 'E'))
        {
            // An exponent without digits is not taken: the "e" is then a syntax error of the
            // container, as in the framework's parser.
            auto q = p + 1;

            if (q < end && (*q == '+' || *q == '-'))
                ++q;

            if (q < end && isDigit (*q))
            {
                isFloat = true;

                while (q < end && isDigit (*q))
                    ++q;

                p = q;
            }
            else
            {
                isFloat = true;
            }
        }

        if (! isFloat)
        {
            const auto value = isNegative ? -(juce::int64) magnitude : (juce::int64) magnitude;
            return (magnitude >> 31) != 0 ? juce::var (value) : juce::var ((int) value);
        }

        return juce::var (readDouble (first, p, isNegative));
    }

    static double readDouble (const char* first, const char* last, bool isNegative)
    {
        double value = 0.0;

        if (std::from_chars (first, last, value, std::chars_format::general).ec == std::errc::result_out_of_range)
            value = isBeyondRange (first, last) ? std::numeric_limits<double>::infinity() : 0.0;

        return isNegative ? -value : value;
    }

    // For a number out of the range of doubles: true when it is too large (it reads as
    // infinite), false when it is too small (it reads as zero), as the framework reads them.
    static bool isBeyondRange (const char* first, const char* last)
    {
        // The power of ten of the first significant digit: from the digits before the point,
        // or from the zeros after it, then the exponent (saturated: it only needs a sign).
        int integerDigits = 0, leadingFractionZeros = 0;
        bool significant = false, afterPoint = false;
        auto q = first;

        for (; q < last && *q != 'e' && *q != 'E'; ++q)
        {
            if (*q == '.')
            {
                afterPoint = true;
            }
            else if (! afterPoint)
            {
                significant = significant || *q != '0';
                integerDigits += significant ? 1 : 0;
            }
            else if (integerDigits == 0 && ! significant)
            {
                if (*q == '0')
                    ++leadingFractionZeros;
                else
                    significant = true;
            }
        }

        long long exponent = 0;

        if (q < last)
        {
            ++q;
            const bool negativeExponent = q < last && *q == '-';

            if (q < last && (*q == '-' || *q == '+'))
                ++q;

            for (; q < last; ++q)
                exponent = std::min (exponent * 10 + (*q - '0'), 1000000000LL);

            if (negativeExponent)
                exponent = -exponent;
        }

        const long long firstDigitPower = integerDigits > 0 ? integerDigits - 1 : -(leadingFractionZeros + 1);
        return firstDigitPower + exponent > 0;
    }

    const char* p;
    const char* const end;
    const int maxDepth;
    const bool readCutOff;
};
} // namespace

juce::var JsonReader::parse (const juce::String& text, int maxDepth, bool* wellFormedButTooDeep)
{
    if (wellFormedButTooDeep != nullptr)
        *wellFormedButTooDeep = false;

    try
    {
        return Parser (text, maxDepth, false).parseDocument();
    }
    catch (const ParseError& error)
    {
        if (error.tooDeep && wellFormedButTooDeep != nullptr)
            *wellFormedButTooDeep = Parser (text, maxDepth, false).isWellFormed();

        return {};
    }
}

juce::var JsonReader::parseValue (const juce::String& text, int maxDepth)
{
    try
    {
        return Parser (text, maxDepth, false).parseBareOrDocument();
    }
    catch (const ParseError&)
    {
        return {};
    }
}

juce::var JsonReader::parseCutOff (const juce::String& text, int maxDepth)
{
    try
    {
        return Parser (text, maxDepth, true).parseDocument();
    }
    catch (const ParseError&)
    {
        return {};
    }
}

} // namespace velmar
