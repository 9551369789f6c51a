#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace velmar
{

// Reading and writing UTF-8 byte by byte, for the JSON reader and writer. Text that comes from
// outside can hold anything: bytes that are no UTF-8 at all, surrogates encoded as characters
// (the framework's own JSON reader and UTF-16 conversions produce those), code points beyond
// Unicode. Readers of such text decode it here and never step past the end of the bytes.
namespace Utf8Text
{
constexpr std::uint32_t replacementCharacter = 0xfffd;

// Decodes the character at p (which must be before end) and moves p past it. A byte that does
// not start a well-formed sequence (a stray continuation byte, a sequence cut short, an
// overlong form, a value beyond U+10FFFF) gives invalidCharacter and moves p by one byte only.
// A surrogate encoded as a three-byte sequence is decoded as that surrogate, so that a caller
// can pair it with the one that follows.
constexpr std::uint32_t invalidCharacter = 0xffffffffu;
std::uint32_t decode (const char*& p, const char* end) noexcept;

// Like decode, but a high surrogate followed by a low one becomes the character they stand for,
// and a lone surrogate or an invalid sequence becomes U+FFFD: the result is always a Unicode
// scalar value.
std::uint32_t decodeScalar (const char*& p, const char* end) noexcept;

inline bool isHighSurrogate (std::uint32_t c) noexcept { return c >= 0xd800 && c <= 0xdbff; }
inline bool isLowSurrogate (std::uint32_t c) noexcept  { return c >= 0xdc00 && c <= 0xdfff; }

inline std::uint32_t combineSurrogates (std::uint32_t high, std::uint32_t low) noexcept
{
    return 0x10000 + ((high - 0xd800) << 10) + (low - 0xdc00);
}

// Appends the UTF-8 form of a Unicode scalar value (a surrogate or a value beyond U+10FFFF is
// written as U+FFFD).
void append (std::string& out, std::uint32_t c);
} // namespace Utf8Text

} // namespace velmar
