#pragma once

#include <juce_core/juce_core.h>

// Small helpers the bridge's files share for the JSON values and ids it reads and writes.
namespace velmar::McpBridgeValues
{

// Refusals that the direct operations and the transactions share.
inline constexpr const char* transactionBusy = "Another MCP transaction is active";
inline constexpr const char* changeIdUsed = "changeId has already been used";
inline constexpr const char* revisionChanged = "Project revision has changed";

// A JSON object as parsed or built: a plain property object (not an array, not another kind of
// framework object).
bool isPlainObject (const juce::var& value);

// A JSON integer: a whole number written without fraction or exponent, 32 or 64 bits.
bool isInteger (const juce::var& value);

// A new lower-case dashed random UUID, as the bridge mints instance and response ids.
juce::String mintId();

// The multi-line JSON text the bridge writes and hashes (at most 15 decimal places).
juce::String toText (const juce::var& value);

// SHA-256 of the text's UTF-8 bytes, 64 lower-case hexadecimal digits.
juce::String sha256Hex (const juce::String& text);

// A property object holding the given names and values, in this order.
juce::var makeObject (std::initializer_list<std::pair<const char*, juce::var>> properties);

} // namespace velmar::McpBridgeValues
