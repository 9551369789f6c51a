// Pictures of the window in named states, written to <build>/screenshots for a person to
// review the look; each is also checked for being drawn at all.
#include "EditorFixture.h"

#include "editor/look/Palette.h"
#include "support/ComponentSnapshot.h"


TEST_F (EditorTest, PicturesOfTheWindowInItsNamedStates)
{
    const auto picture = [this] (const juce::String& name, float scale = 1.0f)
    {
        probe->layout();
        const auto image = corvessa::test::writeSnapshot (*editor, name, scale);
        EXPECT_TRUE (corvessa::test::hasInk (image, image.getBounds(), Palette::base)) << name;
        return image;
    };

    // Text is drawn (fonts are installed): the title holds ink.
    const auto titleDrawn = [] (const juce::Image& image, float scale)
    {
        return corvessa::test::hasInk (image, (juce::Rectangle<float> (10, 24, 160, 34) * scale).toNearestInt(), Palette::base);
    };

    waitForCompile();
    probe->tick();
    EXPECT_TRUE (titleDrawn (picture ("window-empty-song"), 1.0f));

    processor->setSections (song ({ { "A - Intro", "C:2 Am F G" }, { "B - Verse", "Dm7 G7 Cmaj7 A7" },
                                    { "C - Chorus", "F G Em Am" }, { "D - Bridge", "Bb F Gm Eb" } }), true);
    processor->setSelectedSectionViewIndex (0);
    processor->setCurrentScale ("Major", "C", "90-110 BPM");
    waitForCompile();
    editor->syncControlsFromProcessor (true);
    probe->tick();
    EXPECT_TRUE (titleDrawn (picture ("window-song-with-sections"), 1.0f));
    EXPECT_TRUE (titleDrawn (picture ("window-song-with-sections-200", 2.0f), 2.0f));

    probe->chordEditor().setVisible (true);
    picture ("window-chord-editor-open");
    probe->chordEditor().setVisible (false);

    editor->buttonClicked (&probe->helpButton());
    picture ("window-help");
    probe->help().setVisible (false);

    probe->welcome().setVisible (true);
    picture ("window-welcome");
    probe->welcome().setVisible (false);
}
