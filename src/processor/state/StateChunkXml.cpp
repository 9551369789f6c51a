#include "processor/state/StateChunkXml.h"

#include <cstring>
#include <vector>

namespace StateChunkXml
{
namespace
{
// The framework's binary XML form begins with this number (little-endian), then the text's
// length in bytes.
constexpr juce::uint32 binaryXmlMagic = 0x21324356;

using Char = juce::juce_wchar;

bool isSpace (Char c) noexcept { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isAsciiLetter (Char c) noexcept { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isAsciiDigit (Char c) noexcept { return c >= '0' && c <= '9'; }
bool isNameStart (Char c) noexcept { return isAsciiLetter (c) || c == '_' || c == ':'; }
bool isNameChar (Char c) noexcept { return isNameStart (c) || isAsciiDigit (c) || c == '.' || c == '-'; }

// A single forward pass over the text, keeping only the names of the open elements.
class Checker
{
public:
    explicit Checker (const juce::String& text) : pos (text.getCharPointer()) {}

    bool check()
    {
        skipSpaces();

        if (startsWith ("<?xml") && ! skipDeclaration())
            return false;

        skipSpaces();

        if (*pos != '<' || ! readElements())
            return false;

        skipSpaces();
        return *pos == 0;
    }

private:
    bool startsWith (const char* literal) const
    {
        auto p = pos;

        for (; *literal != 0; ++literal, ++p)
            if (*p != (Char) (unsigned char) *literal)
                return false;

        return true;
    }

    bool skipLiteral (const char* literal)
    {
        if (! startsWith (literal))
            return false;

        pos += (int) std::strlen (literal);
        return true;
    }

    void skipSpaces()
    {
        while (isSpace (*pos))
            ++pos;
    }

    // "<?xml", something without markup, "?>".
    bool skipDeclaration()
    {
        pos += 5;

        if (! isSpace (*pos) && *pos != '?')
            return false;

        for (;; ++pos)
        {
            if (*pos == 0 || *pos == '<')
                return false;

            if (skipLiteral ("?>"))
                return true;
        }
    }

    bool readName (juce::String* name)
    {
        if (! isNameStart (*pos))
            return false;

        auto start = pos;

        while (isNameChar (*pos))
            ++pos;

        if (name != nullptr)
            *name = juce::String (start, pos);

        return true;
    }

    // After the "&": a predefined entity, or a character reference whose value is a character.
    bool skipEntity()
    {
        for (auto* named : { "amp;", "lt;", "gt;", "quot;", "apos;" })
            if (skipLiteral (named))
                return true;

        if (*pos != '#')
            return false;

        ++pos;
        const bool hex = *pos == 'x';

        if (hex)
            ++pos;

        const int maxDigits = hex ? 6 : 7;
        juce::int64 value = 0;
        int digits = 0;

        for (; *pos != ';'; ++pos)
        {
            const int digit = hex ? juce::CharacterFunctions::getHexDigitValue (*pos)
                                  : (isAsciiDigit (*pos) ? (int) (*pos - '0') : -1);

            if (digit < 0 || ++digits > maxDigits)
                return false;

            value = value * (hex ? 16 : 10) + digit;
        }

        ++pos;
        return digits > 0 && value > 0 && value <= 0x10ffff;
    }

    // Characters up to the quote, with entities; no markup.
    bool skipAttributeValue()
    {
        const auto quote = *pos;

        if (quote != '"' && quote != '\'')
            return false;

        for (++pos; *pos != quote; )
        {
            const auto c = *pos;

            if (c == 0 || c == '<')
                return false;

            ++pos;

            if (c == '&' && ! skipEntity())
                return false;
        }

        ++pos;
        return true;
    }

    // After "<": the name, the attributes and the end of the start tag. Returns false for
    // anything else; `selfClosing` tells whether the element ends here.
    bool readStartTag (juce::String& name, bool& selfClosing)
    {
        if (! readName (&name))
            return false;

        for (int attributes = 0;; ++attributes)
        {
            const bool spaced = isSpace (*pos);
            skipSpaces();

            if (skipLiteral ("/>"))
            {
                selfClosing = true;
                return true;
            }

            if (skipLiteral (">"))
            {
                selfClosing = false;
                return true;
            }

            if (! spaced || attributes >= maxAttributesPerElement || ! readName (nullptr))
                return false;

            skipSpaces();

            if (! skipLiteral ("="))
                return false;

            skipSpaces();

            if (! skipAttributeValue())
                return false;
        }
    }

    // The root element and everything inside it, without recursion.
    bool readElements()
    {
        std::vector<juce::String> open;

        do
        {
            if (*pos == 0)
                return false;

            if (*pos == '&')
            {
                ++pos;

                if (! skipEntity())
                    return false;

                continue;
            }

            if (*pos != '<')
            {
                ++pos;   // text
                continue;
            }

            ++pos;

            if (*pos == '/')
            {
                ++pos;
                juce::String name;

                if (open.empty() || ! readName (&name) || name != open.back())
                    return false;

                skipSpaces();

                if (! skipLiteral (">"))
                    return false;

                open.pop_back();
                continue;
            }

            // Comments, sections and processing instructions are never written by us.
            juce::String name;
            bool selfClosing = false;

            if (! readStartTag (name, selfClosing))
                return false;

            if (! selfClosing)
            {
                if ((int) open.size() >= maxDepth)
                    return false;

                open.push_back (name);
            }
        }
        while (! open.empty());

        return true;
    }

    juce::String::CharPointerType pos;
};
} // namespace

bool isAcceptedXmlText (const juce::String& text)
{
    return Checker (text).check();
}

std::unique_ptr<juce::XmlElement> parseChunk (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes <= 8)
        return {};

    const auto* bytes = static_cast<const char*> (data);

    if (juce::ByteOrder::littleEndianInt (bytes) != binaryXmlMagic)
        return {};

    const auto declaredLength = (int) juce::ByteOrder::littleEndianInt (bytes + 4);

    if (declaredLength <= 0)
        return {};

    // The text ends at its declared length, the chunk's end or a zero byte, as for the
    // framework's own reader.
    const auto* text = bytes + 8;
    const auto length = (int) ::strnlen (text, (size_t) juce::jmin (sizeInBytes - 8, declaredLength));

    if (length == 0 || ! juce::CharPointer_UTF8::isValidString (text, length))
        return {};

    const auto xmlText = juce::String::fromUTF8 (text, length);

    if (! isAcceptedXmlText (xmlText))
        return {};

    return juce::parseXML (xmlText);
}
} // namespace StateChunkXml
