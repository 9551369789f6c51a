#include "kit/json/Utf8Text.h"

namespace velmar
{
namespace Utf8Text
{

std::uint32_t decode (const char*& p, const char* end) noexcept
{
    const auto lead = (std::uint8_t) *p;

    if (lead < 0x80)
    {
        ++p;
        return lead;
    }

    int extra = 0;
    std::uint32_t c = 0;
    std::uint32_t lowest = 0;   // the smallest value that needs this many bytes

    if (lead >= 0xc2 && lead <= 0xdf)      { extra = 1; c = lead & 0x1fu; lowest = 0x80; }
    else if (lead >= 0xe0 && lead <= 0xef) { extra = 2; c = lead & 0x0fu; lowest = 0x800; }
    else if (lead >= 0xf0 && lead <= 0xf4) { extra = 3; c = lead & 0x07u; lowest = 0x10000; }
    else
    {
        ++p;
        return invalidCharacter;
    }

    if (end - p <= extra)
    {
        ++p;
        return invalidCharacter;
    }

    for (int i = 1; i <= extra; ++i)
    {
        const auto next = (std::uint8_t) p[i];

        if ((next & 0xc0) != 0x80)
        {
            ++p;
            return invalidCharacter;
        }

        c = (c << 6) | (next & 0x3fu);
    }

    if (c < lowest || c > 0x10ffff)
    {
        ++p;
        return invalidCharacter;
    }

    p += extra + 1;
    return c;
}

std::uint32_t decodeScalar (const char*& p, const char* end) noexcept
{
    const auto c = decode (p, end);

    if (c == invalidCharacter || isLowSurrogate (c))
        return replacementCharacter;

    if (isHighSurrogate (c))
    {
        if (p < end)
        {
            auto next = p;
            const auto low = decode (next, end);

            if (isLowSurrogate (low))
            {
                p = next;
                return combineSurrogates (c, low);
            }
        }

        return replacementCharacter;
    }

    return c;
}

void append (std::string& out, std::uint32_t c)
{
    if ((c >= 0xd800 && c <= 0xdfff) || c > 0x10ffff)
        c = replacementCharacter;

    if (c < 0x80)
    {
        out += (char) c;
    }
    else if (c < 0x800)
    {
        out += (char) (0xc0 | (c >> 6));
        out += (char) (0x80 | (c & 0x3f));
    }
    else if (c < 0x10000)
    {
        out += (char) (0xe0 | (c >> 12));
        out += (char) (0x80 | ((c >> 6) & 0x3f));
        out += (char) (0x80 | (c & 0x3f));
    }
    else
    {
        out += (char) (0xf0 | (c >> 18));
        out += (char) (0x80 | ((c >> 12) & 0x3f));
        out += (char) (0x80 | ((c >> 6) & 0x3f));
        out += (char) (0x80 | (c & 0x3f));
    }
}

} // namespace Utf8Text
} // namespace velmar
