#include "kit/clips/FileUri.h"

#include <gtest/gtest.h>

TEST (FileUri, PercentEncodesEverythingButUnreservedCharactersAndSlashes)
{
    const struct { const char* path; const char* uri; } cases[] = {
        { "/tmp/Velmar MIDI Exports/Corvessa/0f3a/Verse - Bass.mid",
          "file:///tmp/Velmar%20MIDI%20Exports/Corvessa/0f3a/Verse%20-%20Bass.mid" },
        { "/tmp/a_b.c~d-e/F9.mid",  "file:///tmp/a_b.c~d-e/F9.mid" },
        { "/tmp/100%/#1?x=y&z.mid", "file:///tmp/100%25/%231%3Fx%3Dy%26z.mid" },
        { "/tmp/a+b,c;d@e:f.mid",   "file:///tmp/a%2Bb%2Cc%3Bd%40e%3Af.mid" },
        { "/tmp/line\nbreak.mid",   "file:///tmp/line%0Abreak.mid" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (velmar::fileUri (juce::File (c.path)), c.uri) << c.path;

    // Each UTF-8 byte of a non-ASCII character, four for one beyond U+FFFF.
    EXPECT_EQ (velmar::fileUri (juce::File (juce::CharPointer_UTF8 ("/tmp/Caf\xc3\xa9 \xf0\x9f\x8e\xb9.mid"))),
               "file:///tmp/Caf%C3%A9%20%F0%9F%8E%B9.mid");
}
