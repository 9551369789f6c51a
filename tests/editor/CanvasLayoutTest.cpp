// Where every child of the window stands on the 600 x 860 canvas, at each UI scale and for each
// state the layout reads, and what the canvas paints.
#include "EditorFixture.h"

#include "editor/PixelTestSupport.h"
#include "editor/look/Palette.h"
#include "support/ComponentSnapshot.h"

using R = juce::Rectangle<int>;

namespace
{
struct Expected
{
    const char* name;
    R bounds;
};

void expectBounds (std::function<R (const juce::String&)> boundsOf, std::initializer_list<Expected> rows, const juce::String& label)
{
    for (const auto& row : rows)
        EXPECT_EQ (boundsOf (row.name), row.bounds) << row.name << " (" << label << ")";
}
} // namespace

TEST_F (EditorTest, HeaderAndBodyStandWhereTheLayoutPutsThemAtEveryScale)
{
    // The body never moves; only the room below it (the resize corner's reserve) changes.
    struct Case { double scale; int viewportHeight, statusY; };
    const Case cases[] = {
        { 1.0, 514, 814 },
        { 0.5, 496, 796 },   // 36 logical pixels kept for the corner
        { 2.0, 522, 822 },   // 9 kept, and the 850 limit
    };

    const auto boundsFn = [this] (const juce::String& name) { return boundsOf (name); };

    for (const auto& c : cases)
    {
        probe->scaling().setScale (c.scale);
        const auto label = "scale " + juce::String (c.scale);
        EXPECT_EQ (editor->getWidth(), juce::roundToInt (600 * c.scale)) << label;

        expectBounds (boundsFn, {
            { "brand", { 10, 10, 160, 14 } },
            { "title", { 10, 24, 160, 34 } },
            { "?", { 546, 12, 44, 30 } },
            { "{}", { 494, 12, 44, 30 } },
            { "Projects", { 388, 12, 98, 30 } },
            { "Mood Generator", { 238, 12, 142, 30 } },
            { "Key:", { 10, 64, 30, 24 } },
            { "key combo", { 40, 64, 72, 24 } },
            { "Scale:", { 120, 64, 42, 24 } },
            { "scale combo", { 162, 64, 132, 24 } },
            { "Sync:", { 306, 64, 38, 24 } },
            { "sync Off", { 350, 64, 80, 24 } },
            { "sync Leader", { 430, 64, 80, 24 } },
            { "sync Follower", { 510, 64, 80, 24 } },
            { "Sections", { 20, 111, 72, 16 } },
            { "section hover", { 92, 111, 258, 16 } },
            { "section row", { 20, 132, 330, 27 } },
            { "Auto-Advance", { 226, 162, 124, 23 } },
            { "section name", { 20, 162, 206, 23 } },
            { "Outputs", { 378, 111, 70, 16 } },
            { "output hint", { 448, 111, 132, 16 } },
            { "pill All", { 378, 131, 50, 24 } },
            { "pill Bass", { 428, 131, 50, 24 } },
            { "pill Body", { 478, 131, 50, 24 } },
            { "pill Shimmer", { 528, 131, 52, 24 } },
            { "DragMIDI", { 419, 161, 24, 24 } },
            { "tile Bass", { 451, 161, 24, 24 } },
            { "tile Body", { 483, 161, 24, 24 } },
            { "tile Shimmer", { 515, 161, 24, 24 } },
            { "tab Shimmer", { 18, 206, 74, 24 } },
            { "tab Body", { 18, 230, 74, 24 } },
            { "tab Bass", { 18, 254, 74, 24 } },
            { "Root", { 348, 215, 74, 24 } },
            { "5th", { 428, 215, 74, 24 } },
            { "Shimmer toggle", { 508, 215, 74, 24 } },
            { "Legato", { 512, 246, 70, 22 } },
            { "body octave knob", { 100, 206, 116, 72 } },
            { "body octave caption", { 100, 206, 50, 20 } },
            { "body voicing knob", { 224, 206, 116, 72 } },
            { "body voicing caption", { 224, 206, 50, 20 } },
            { "viewport", { 10, 294, 580, c.viewportHeight } },
            { "roll title", { 20, 302, 220, 24 } },
            { "roll chord info", { 240, 302, 340, 24 } },
            { "hint", { 22, c.statusY + 2, 470, 24 } },
            { "status", { 22, c.statusY + 2, 470, 24 } },
            { "UI size", { 500, c.statusY + 2, 78, 24 } },
            { "strip", {} },
            { "chord info", {} },
        }, label);

        EXPECT_EQ (probe->sectionsCard(), R (10, 104, 350, 88)) << label;
        EXPECT_EQ (probe->outputsCard(), R (368, 104, 222, 88)) << label;
        EXPECT_EQ (probe->arrangementCard(), R (10, 198, 580, 88)) << label;
        EXPECT_EQ (probe->statusCard(), R (10, c.statusY, 580, 28)) << label;

        // The status card ends at least 18 physical pixels above the window's bottom edge, so
        // the resize corner never covers it.
        EXPECT_LE ((double) probe->statusCard().getBottom() * c.scale, editor->getHeight() - 18.0) << label;
    }
}

TEST_F (EditorTest, TheResizeCornerSitsOutsideTheCanvasAndResetsTheSize)
{
    for (const double scale : { 1.0, 1.5 })
    {
        probe->scaling().setScale (scale);
        EXPECT_EQ (probe->resizeCorner().getParentComponent(), editor.get());
        EXPECT_EQ (probe->resizeCorner().getBounds(), R (editor->getWidth() - 18, editor->getHeight() - 18, 18, 18)) << scale;
    }

    probe->resizeCorner().mouseDoubleClick ({ juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 1.0f, 0.0f, 0.0f,
                                              0.0f, 0.0f, &probe->resizeCorner(), &probe->resizeCorner(),
                                              juce::Time::getCurrentTime(), {}, juce::Time::getCurrentTime(), 2, false });
    EXPECT_EQ (probe->scaling().getScale(), 1.0);
    EXPECT_EQ (editor->getWidth(), 600);
    EXPECT_EQ (probe->scaling().getButtonText(), "UI 100%");
}

TEST_F (EditorTest, TempoHintNarrowsTheSyncButtons)
{
    processor->setCurrentScale ("Major", "C", "110-90 BPM");
    probe->tick();
    probe->layout();

    EXPECT_EQ (boundsOf ("BPM:"), R (306, 64, 34, 24));
    EXPECT_EQ (boundsOf ("bpm hint"), R (340, 64, 56, 24));
    EXPECT_TRUE (isShown ("BPM:"));
    EXPECT_EQ (dynamic_cast<juce::Label*> (probe->find ("bpm hint"))->getText(), "90-110");
    EXPECT_EQ (boundsOf ("Sync:"), R (402, 64, 38, 24));
    EXPECT_EQ (boundsOf ("sync Off"), R (446, 64, 48, 24));
    EXPECT_EQ (boundsOf ("sync Leader"), R (494, 64, 48, 24));
    EXPECT_EQ (boundsOf ("sync Follower"), R (542, 64, 48, 24));

    processor->setCurrentScale ("Major", "C", "");
    probe->tick();
    EXPECT_FALSE (isShown ("BPM:"));
    EXPECT_FALSE (isShown ("bpm hint"));
    EXPECT_EQ (boundsOf ("BPM:"), R());
    EXPECT_EQ (boundsOf ("sync Off"), R (350, 64, 80, 24));
}

TEST_F (EditorTest, BodyControlsShowByTabChordEditorAndDraft)
{
    struct Case
    {
        const char* name;
        int tab;
        bool chordEditor, draft;
        std::vector<const char*> shown, hidden;
    };

    const std::vector<const char*> always { "tab Bass", "tab Body", "tab Shimmer", "Outputs", "output hint", "pill All",
                                            "pill Bass", "pill Body", "pill Shimmer", "DragMIDI", "tile Bass", "tile Body",
                                            "tile Shimmer", "Sections", "section hover", "section name", "section row" };
    const std::vector<const char*> never { "bass octave combo", "body octave combo", "shimmer octave combo",
                                           "channel 1 knob", "channel 1 label", "strip" };
    const std::vector<const char*> bassOnly { "+Oct", "+5th", "bass octave caption", "bass octave knob" };
    const std::vector<const char*> bodyOnly { "Root", "5th", "Shimmer toggle", "body octave caption", "body octave knob", "body voicing knob" };
    const std::vector<const char*> shimmerOnly { "Off", "Top", "Color", "Halo", "shimmer octave caption", "shimmer octave knob",
                                                 "shimmer voicing knob" };

    const auto join = [] (std::initializer_list<std::vector<const char*>> lists)
    {
        std::vector<const char*> all;
        for (const auto& list : lists)
            all.insert (all.end(), list.begin(), list.end());
        return all;
    };

    const Case cases[] = {
        { "Bass tab", 0, false, false,
          join ({ always, bassOnly, { "Legato" } }),
          join ({ never, bodyOnly, shimmerOnly, { "body voicing caption", "shimmer voicing caption", "body voicing combo", "shimmer voicing combo", "chord editor" } }) },
        { "Body tab", 1, false, false,
          join ({ always, bodyOnly, { "Legato", "body voicing caption" } }),
          join ({ never, bassOnly, shimmerOnly, { "shimmer voicing caption", "body voicing combo", "shimmer voicing combo" } }) },
        { "Shimmer tab", 2, false, false,
          join ({ always, shimmerOnly, { "Legato", "shimmer voicing caption" } }),
          join ({ never, bassOnly, bodyOnly, { "body voicing caption", "body voicing combo", "shimmer voicing combo" } }) },
        { "draft kept after the editor closed", 1, false, true,
          join ({ always, bodyOnly }),
          join ({ never, { "Legato" } }) },
        { "chord editor open", 1, true, true,
          { "body voicing caption", "shimmer voicing caption", "body voicing combo", "shimmer voicing combo", "chord editor" },
          join ({ never, always, bassOnly, bodyOnly, shimmerOnly, { "Legato" } }) },
        { "unknown tab", 7, false, false,
          join ({ always, { "Legato" } }),
          join ({ never, bassOnly, bodyOnly, shimmerOnly }) },
    };

    for (const auto& c : cases)
    {
        probe->tab() = c.tab;
        probe->draftActive() = c.draft;
        probe->chordEditor().setVisible (c.chordEditor);
        probe->layout();

        for (auto* name : c.shown)
            EXPECT_TRUE (isShown (name)) << name << " in " << c.name;
        for (auto* name : c.hidden)
            EXPECT_FALSE (isShown (name)) << name << " in " << c.name;
    }
}

TEST_F (EditorTest, OpeningTheChordEditorGivesItTheBodyAndShrinksTheRoll)
{
    probe->chordEditor().setVisible (true);
    probe->layout();

    const auto boundsFn = [this] (const juce::String& name) { return boundsOf (name); };
    expectBounds (boundsFn, {
        { "body voicing caption", { 10, 104, 40, 24 } },
        { "body voicing combo", { 50, 104, 245, 24 } },
        { "shimmer voicing caption", { 305, 104, 62, 24 } },
        { "shimmer voicing combo", { 367, 104, 223, 24 } },
        { "chord editor", { 10, 134, 580, 335 } },
        { "viewport", { 10, 477, 580, 331 } },
        { "section row", {} },
        { "Legato", {} },
        { "pill All", {} },
        { "hint", { 22, 816, 470, 24 } },
    }, "chord editor");

    EXPECT_EQ (dynamic_cast<juce::Label*> (probe->find ("body voicing caption"))->getText(), "Body:");
    EXPECT_EQ (dynamic_cast<juce::Label*> (probe->find ("shimmer voicing caption"))->getText(), "Shimmer:");
    EXPECT_TRUE (probe->sectionsCard().isEmpty());
    EXPECT_TRUE (probe->arrangementCard().isEmpty());
    EXPECT_EQ (probe->highlight(), R (6, 130, 588, 682));
    EXPECT_FALSE (probe->scrim().isVisible());   // the chord editor alone is not modal

    // Closing it restores the captions of the selected tab.
    probe->chordEditor().setVisible (false);
    probe->layout();
    EXPECT_EQ (dynamic_cast<juce::Label*> (probe->find ("body voicing caption"))->getText(), "Voicing");
    EXPECT_EQ (boundsOf ("viewport"), R (10, 294, 580, 514));
    EXPECT_TRUE (probe->highlight().isEmpty());
}

TEST_F (EditorTest, SwitchingTabsShowsOnlyThatTabsCells)
{
    struct Case { int tab; std::initializer_list<Expected> rows; };
    const Case cases[] = {
        { 0, { { "bass octave knob", { 100, 206, 116, 72 } }, { "+Oct", { 224, 215, 176, 24 } }, { "+5th", { 406, 215, 176, 24 } } } },
        { 2, { { "shimmer octave knob", { 100, 206, 116, 72 } }, { "shimmer voicing knob", { 224, 206, 116, 72 } },
               { "Off", { 348, 215, 58, 24 } }, { "Top", { 406, 215, 58, 24 } }, { "Color", { 464, 215, 58, 24 } },
               { "Halo", { 522, 215, 60, 24 } } } },
    };

    const auto boundsFn = [this] (const juce::String& name) { return boundsOf (name); };
    for (const auto& c : cases)
    {
        probe->selectTab (c.tab);
        EXPECT_EQ (processor->getSelectedArrangementVoiceTab(), c.tab);
        expectBounds (boundsFn, c.rows, "tab " + juce::String (c.tab));
    }
}

TEST_F (EditorTest, PanelsTakeTheirRectanglesAndTheScrimDimsBehindModalOnes)
{
    struct Case { const char* panel; R bounds; bool scrim; };
    const Case cases[] = {
        { "help", { 0, 0, 600, 860 }, true },
        { "mood", { 60, 94, 480, 672 }, true },
        { "text panel", { 30, 102, 540, 112 }, true },
        { "confirm", { 50, 345, 500, 170 }, true },
        { "rename", { 90, 345, 420, 170 }, true },
        { "json", { 0, 0, 600, 860 }, false },
        { "projects", { 0, 0, 600, 860 }, false },
    };

    for (const auto& c : cases)
    {
        auto* panel = probe->find (c.panel);
        panel->setVisible (true);
        probe->layout();
        EXPECT_EQ (panel->getBounds(), c.bounds) << c.panel;
        EXPECT_EQ (probe->scrim().isVisible(), c.scrim) << c.panel;
        if (c.scrim)
        {
            EXPECT_TRUE (probe->scrim().dimmed) << c.panel;
            EXPECT_EQ (probe->scrim().getBounds(), R (0, 0, 600, 860)) << c.panel;
        }

        // The panel is in front of everything but the menu host.
        auto& children = probe->canvas().getChildren();
        EXPECT_GT (children.indexOf (panel), children.indexOf (&probe->scrim())) << c.panel;

        panel->setVisible (false);
        probe->layout();
        EXPECT_FALSE (probe->scrim().isVisible()) << c.panel;
    }
}

TEST_F (EditorTest, TextPanelStaysBehindAnOpenOverlay)
{
    probe->textPanel().setVisible (true);
    probe->projectLibrary().setVisible (true);
    probe->layout();

    auto& children = probe->canvas().getChildren();
    EXPECT_LT (children.indexOf (&probe->textPanel()), children.indexOf (&probe->projectLibrary()));
}

TEST_F (EditorTest, CanvasHoldsTheChildrenInReverseWithTheMenuHostLast)
{
    auto& children = probe->canvas().getChildren();
    // The brand label was added first, the title after it: reversed, the brand lies above.
    EXPECT_GT (children.indexOf (probe->find ("brand")), children.indexOf (probe->find ("title")));
    // A knob caption is added before its knob, so it is drawn over the knob.
    EXPECT_GT (children.indexOf (probe->find ("body octave caption")), children.indexOf (probe->find ("body octave knob")));
    EXPECT_NE (dynamic_cast<velmar::PopupMenuPlacement::Host*> (children.getLast()), nullptr);
    EXPECT_EQ (editor->getNumChildComponents(), 2);   // the canvas and the resize corner
}

TEST_F (EditorTest, CanvasPaintsBaseCardsAndSeparator)
{
    const auto image = corvessa::test::renderComponent (*editor, 1.0f);

    struct Case { const char* what; int x, y; juce::Colour colour; int tolerance; };
    const Case cases[] = {
        { "base outside the cards", 5, 150, Palette::base, 3 },
        { "sections card fill", 14, 150, Palette::surface0, 3 },
        { "sections card outline", 10, 150, Palette::surface2, 12 },
        { "outputs card fill", 372, 180, Palette::surface0, 3 },
        { "arrangement card fill", 200, 282, Palette::surface0, 3 },
        { "status card fill", 14, 828, Palette::surface0, 3 },
        { "header separator", 300, 55, Palette::surface2, 3 },
    };

    for (const auto& c : cases)
        EXPECT_TRUE (PixelTest::near (image.getPixelAt (c.x, c.y), c.colour, c.tolerance)) << c.what;

    // The same canvas at twice the size: the separator is two pixels thick at 2.0.
    probe->scaling().setScale (2.0);
    const auto large = corvessa::test::renderComponent (*editor, 1.0f);
    EXPECT_EQ (large.getWidth(), 1200);
    EXPECT_TRUE (PixelTest::near (large.getPixelAt (600, 110), Palette::surface2));
    EXPECT_TRUE (PixelTest::near (large.getPixelAt (600, 111), Palette::surface2));
    EXPECT_TRUE (PixelTest::near (large.getPixelAt (28, 300), Palette::surface0));
}

TEST_F (EditorTest, StatusTextIsVisibleOnTheStatusLineUnlessAHintCoversIt)
{
    waitForCompile();
    probe->tick();
    ASSERT_EQ (probe->status().getText(), "Status: Ready");

    const auto line = R (22, 816, 470, 24);
    const auto render = [this, line] { return corvessa::test::renderComponent (*editor, 1.0f).getClippedImage (line); };

    EXPECT_TRUE (corvessa::test::hasInk (render(), { 0, 0, line.getWidth(), line.getHeight() }, Palette::surface0));
    EXPECT_EQ (probe->canvas().getComponentAt (line.getCentre()), &probe->status());

    // A hint covers the status text completely while it is shown.
    probe->hint().setText ("Add chord at end", juce::dontSendNotification);
    const auto withStatus = render();
    probe->status().setText ({}, juce::dontSendNotification);
    const auto withoutStatus = render();
    for (int y = 0; y < line.getHeight(); ++y)
        for (int x = 0; x < line.getWidth(); ++x)
            ASSERT_EQ (withStatus.getPixelAt (x, y), withoutStatus.getPixelAt (x, y)) << x << "," << y;
    EXPECT_EQ (probe->canvas().getComponentAt (line.getCentre()), &probe->hint());
}
