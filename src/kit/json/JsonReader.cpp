#include "kit/json/JsonReader.h"

#include <limits>

namespace velmar
{

bool JsonReader::nestsNoDeeperThan (const juce::String& text, int maxDepth)
{
    int depth = 0;
    juce::juce_wchar quote = 0;   // the quote character of the string literal we are in, or 0

    for (auto p = text.getCharPointer(); ! p.isEmpty();)
    {
        const auto c = p.getAndAdvance();

        if (quote != 0)
        {
            // Inside a string literal brackets mean nothing. The framework's reader takes both
            // quote characters, and a backslash hides the character after it.
            if (c == '\\')
            {
                if (p.isEmpty())
                    break;

                p.getAndAdvance();
            }
            else if (c == quote)
            {
                quote = 0;
            }

            continue;
        }

        switch (c)
        {
            case '"':
            case '\'':
                quote = c;
                break;

            case '[':
            case '{':
                if (++depth > maxDepth)
                    return false;
                break;

            case ']':
            case '}':
                // A stray closer cannot lower the count below the top level, so it cannot hide
                // deeper nesting that follows it.
                depth = juce::jmax (0, depth - 1);
                break;

            default:
                break;
        }
    }

    return true;
}

bool JsonReader::wholeNumbersFit (const juce::String& text)
{
    constexpr juce::int64 largest = std::numeric_limits<juce::int64>::max();
    juce::juce_wchar quote = 0;
    bool inNumber = false;   // past a number's whole part: its fraction and exponent follow

    for (auto p = text.getCharPointer(); ! p.isEmpty();)
    {
        const auto c = p.getAndAdvance();

        if (quote != 0)
        {
            if (c == '\\')
            {
                if (p.isEmpty())
                    break;

                p.getAndAdvance();
            }
            else if (c == quote)
            {
                quote = 0;
            }

            continue;
        }

        const bool digit = c >= '0' && c <= '9';

        if (digit && ! inNumber)
        {
            juce::int64 value = c - '0';

            while (*p >= '0' && *p <= '9')
            {
                const int next = (int) (p.getAndAdvance() - '0');

                if (value > (largest - next) / 10)
                    return false;

                value = value * 10 + next;
            }

            inNumber = true;
            continue;
        }

        inNumber = digit || (inNumber && (c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-'));

        if (c == '"' || c == '\'')
            quote = c;
    }

    return true;
}

juce::var JsonReader::parse (const juce::String& text, int maxDepth)
{
    if (! nestsNoDeeperThan (text, maxDepth) || ! wholeNumbersFit (text))
        return {};

    return juce::JSON::parse (text);
}

} // namespace velmar
