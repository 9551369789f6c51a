#pragma once

#include "processor/state/PersistentState.h"

#include <juce_core/juce_core.h>

// Older state chunks have a root element named "Corvessa": the working fields as attributes
// of the root and the song in a child "SectionChain" whose attribute "jsonPayload" holds a JSON
// object with an array "sections" of sections in the portable form.

// Reads the working fields of an older chunk's root element into a default record, with the
// older flag names mapped onto the current ones, and the sections of its "SectionChain" (a
// payload that fails to parse leaves no sections). The live sync fields are the caller's.
PersistentState readLegacyState (const juce::XmlElement& root);

// Parses a "SectionChain" payload. On success `sections` holds at most the first 32 sections,
// each read leniently into a default section; on failure `error` holds the message and
// `sections` is left alone.
bool parseLegacySectionChain (SectionList& sections, const juce::String& json, juce::String& error);
