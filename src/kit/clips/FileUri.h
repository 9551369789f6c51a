#pragma once

#include <juce_core/juce_core.h>

namespace velmar
{

// The file's absolute path as a "file://" URI: every byte of its UTF-8 form other than the
// unreserved characters (letters, digits, "-", ".", "_", "~") and "/" is percent-encoded, so
// that receivers that follow the URI rules (file managers, hosts reading text/uri-list) read
// back the exact path, spaces and "%" included. Any thread.
juce::String fileUri (const juce::File& file);

} // namespace velmar
