// The seven voicing styles end to end: a progression text compiled in each style, the voiced
// notes of its chords checked. The searched styles see the chord before as their previous
// voicing, and start afresh after a rest or a chord that could not be read.

#include "harmony/ProgressionCompiler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using Notes = std::vector<int>;

std::string describe (const Notes& notes)
{
    std::string s;
    for (const int n : notes)
        s += std::to_string (n) + " ";
    return s;
}

struct StyleCase
{
    const char* name;
    const char* progression;
    int style;
    int octave;
    std::vector<Notes> voicings; // one per event, in order; empty for rests and unread chords
};
}

TEST (VoicingStylesCompile, EveryStyleVoicesTheProgression)
{
    enum { none, firstInversion, smooth, guitarist, pianist, bassist, jazz };

    const StyleCase cases[] = {
        { "None keeps the register", "C F G C", none, 3,
          { { 60, 64, 67 }, { 53, 57, 60 }, { 55, 59, 62 }, { 60, 64, 67 } } },
        { "First Inversion", "C", firstInversion, 3, { { 64, 67, 72 } } },
        { "Smooth moves least", "C F", smooth, 3, { { 60, 64, 67 }, { 60, 65, 69 } } },

        { "Guitarist follows the chord before", "C G", guitarist, 3, { { 48, 52, 55 }, { 43, 47, 50 } } },
        { "Guitarist starts afresh after a rest", "C R G", guitarist, 3,
          { { 48, 52, 55 }, {}, { 43, 50, 55, 59, 67 } } },
        { "Guitarist starts afresh after an unread chord", "C Hm G", guitarist, 3,
          { { 48, 52, 55 }, {}, { 43, 50, 55, 59, 67 } } },
        { "Guitarist Am", "Am", guitarist, 3, { { 45, 52, 57, 60 } } },

        { "Pianist", "C R C7", pianist, 3, { { 60, 67, 76 }, {}, { 48, 55, 64, 70 } } },
        { "Pianist an octave lower", "Am7", pianist, 2, { { 45, 52, 60, 67 } } },
        { "Bassist", "C G", bassist, 3, { { 36, 43 }, { 31, 38 } } },
        { "Jazz follows the chord before", "Dm7 G7", jazz, 3, { { 53, 60, 64, 69 }, { 53, 59, 64, 69 } } },
        { "Jazz starts afresh after a rest", "Dm7 R C7 R Cmaj7", jazz, 3,
          { { 53, 60, 64, 69 }, {}, { 52, 58, 62, 69 }, {}, { 52, 59, 62, 67 } } },

        // A single tone is never searched.
        { "one tone in a searched style", "C1", bassist, 3, { { 60 } } },
    };

    for (const auto& c : cases)
    {
        ProgressionCompiler compiler;
        const auto events = compiler.compileProgression (c.progression, c.octave, c.style, "1", 1);
        ASSERT_EQ (events.size(), c.voicings.size()) << c.name;

        for (size_t i = 0; i < events.size(); ++i)
        {
            EXPECT_EQ (events[i].notes, c.voicings[i]) << c.name << ", event " << i << ": " << describe (events[i].notes);
            EXPECT_EQ (events[i].voicing, events[i].notes) << c.name << ", event " << i;
        }
    }
}
