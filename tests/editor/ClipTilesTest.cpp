// The MIDI clip tiles: the files they write, their drags, their copy and save menu, and the
// status texts of every outcome, with the kit's native drag, save dialog and clipboard faked.
#include "EditorFixture.h"

#include "editor/look/Palette.h"

TEST_F (EditorTest, ClipResultsThatFailShowInTheWarningYellow)
{
    const struct { const char* text; juce::Colour colour; } cases[] = {
        { "Status: Bass MIDI drag started", Palette::green },
        { "Status: Body MIDI file copied to clipboard.", Palette::green },
        { "Status: Shimmer MIDI saved to /tmp/x.mid", Palette::green },
        { "Status: Could not create MIDI file.", Palette::yellow },
        { "Status: Could not create a readable Bass MIDI file.", Palette::yellow },
        { "Status: Could not start All MIDI drag. Try again or use Save to Disk.", Palette::yellow },
        { "Status: Could not copy Body MIDI file. Opening clipboard failed. Use Save to Disk.", Palette::yellow },
        { "Status: Could not save Bass MIDI to /tmp/x.mid. Incomplete file write.", Palette::yellow },
        { "Status: Could not prepare Shimmer MIDI clip for saving.", Palette::yellow },
        // Only a failure's own opening words count.
        { "Status: Bass MIDI saved to /tmp/Could not.mid", Palette::green },
    };

    for (const auto& c : cases)
    {
        editor->showStatus (c.text);
        EXPECT_EQ (probe->status().getText(), c.text);
        EXPECT_EQ (probe->status().findColour (juce::Label::textColourId), c.colour) << c.text;
        EXPECT_EQ (probe->holdUntil(), clock.now + 2000) << c.text;
    }
}
