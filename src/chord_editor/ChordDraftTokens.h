#pragma once

#include "editor/views/ChordLabel.h"
#include "harmony/ProgressionText.h"

#include <vector>

// What the chord draft does with its tokens, apart from the window: where an edited or new
// chord goes, and how each chord of a progression is labelled against the song's key. Pure
// functions; any thread.

// Places a token into the tokens. Without an insertion anchor (anchor -1) it replaces the chord
// at index, or is appended when index is the count; any other index is refused. With an anchor
// it is inserted before the anchor, or after it, never beyond the end. Returns the token's
// position, or -1 when refused (the tokens are then untouched).
int placeDraftToken (std::vector<ChordToken>& tokens, int index, int insertAnchor, bool insertBefore,
                     const ChordToken& token);

// The display texts of each token: its name ("Rest" for a rest), length and option tag, and,
// when the key is a sharp note name and the scale is known, whether it fits the scale; a fitting
// chord without an option tag is tagged with its degree numeral ("ii", "V").
std::vector<ChordLabel> buildChordTokenLabels (const std::vector<ChordToken>& tokens, const juce::String& keyRoot,
                                               const juce::String& scaleName);
