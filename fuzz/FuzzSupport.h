#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>
#include <cstdint>

// What every fuzz target shares.
namespace FuzzSupport
{
// The input as text, byte for byte as a file or a network answer would give it (bytes that are
// no UTF-8 included), up to its first NUL, which no text we read can hold.
juce::String textOf (const std::uint8_t* data, std::size_t size);

// Gives the process a HOME of its own before anything reads it, so that the settings, sync
// and bridge files a target touches never reach the user's folders. Call from
// LLVMFuzzerInitialize.
void useOwnHome();

// Stops the run with a message: the input broke a rule the code under test promises.
[[noreturn]] void fail (const char* what);
} // namespace FuzzSupport
