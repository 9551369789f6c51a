// The window keeps its progression strip off screen but fed: the refresh hands it the shown
// section's compiled times (not while a chord draft holds the views), and the layout gives it
// the piano roll's width.
#include "EditorFixture.h"

TEST_F (EditorTest, TheHiddenStripFollowsTheShownSection)
{
    processor->setSections (song ({ { "Verse", "C Am:2 F:T256" }, { "Chorus", "G D" } }), true);
    processor->setSelectedSectionViewIndex (0);
    processor->setWorkingSection (processor->getSections()[0]);
    waitForCompile();
    editor->syncControlsFromProcessor (true);
    probe->tick();

    auto& strip = probe->strip();
    EXPECT_FALSE (strip.isVisible());
    EXPECT_TRUE (strip.getBounds().isEmpty());
    using Bars = std::vector<std::pair<float, float>>;
    EXPECT_EQ (strip.bars, (Bars { { 0.0f, 1.0f }, { 1.0f, 2.0f }, { 3.0f, 0.5f } }));

    const auto* roll = dynamic_cast<juce::Viewport*> (probe->find ("viewport"));
    ASSERT_NE (roll, nullptr);
    EXPECT_GT (strip.contentWidth, 0);
    EXPECT_LE (strip.contentWidth, roll->getWidth());
    EXPECT_GE (strip.contentWidth, roll->getWidth() - roll->getScrollBarThickness());

    // Another section shown: its times.
    probe->selectSection (1);
    waitForCompile();
    probe->tick();
    EXPECT_EQ (strip.bars, (Bars { { 0.0f, 1.0f }, { 1.0f, 1.0f } }));

    // A chord draft holds the views: the refresh leaves the strip alone.
    probe->draftActive() = true;
    processor->setSelectedSectionViewIndex (0);
    processor->setWorkingSection (processor->getSections()[0]);
    waitForCompile();
    probe->tick();
    EXPECT_EQ (strip.bars, (Bars { { 0.0f, 1.0f }, { 1.0f, 1.0f } }));
    probe->draftActive() = false;
}
