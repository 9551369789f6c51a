#include "kit/json/JsonReader.h"

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

juce::var JsonReader::parse (const juce::String& text, int maxDepth)
{
    if (! nestsNoDeeperThan (text, maxDepth))
        return {};

    return juce::JSON::parse (text);
}

} // namespace velmar
