// A right press on an arrangement knob opens its exact choices as a real menu inside the window;
// picking one sets the value everywhere.
#include "../EditorFixture.h"

#include "editor/views/ViewTestSupport.h"

TEST_F (EditorTest, ARightPressOnTheBodyOctaveKnobOffersItsOctavesAndAPickSetsOne)
{
    processor->setSections (song ({ { "A", "C G Am F" } }), true);
    processor->setSelectedSectionViewIndex (0);
    probe->tick();

    showOnDesktop();

    auto& knob = *probe->find ("body octave knob");
    ASSERT_TRUE (knob.isShowing());
    knob.mouseDown (viewtest::mouseAt (knob, { 90.0f, 30.0f }, viewtest::rightButton));
    ASSERT_TRUE (pumpUntil ([] { return juce::Component::getCurrentlyModalComponent() != nullptr; }));
    auto* menu = juce::Component::getCurrentlyModalComponent();
    EXPECT_TRUE (editor->getScreenBounds().contains (menu->getScreenBounds())) << menu->getScreenBounds().toString();

    // "-4" .. "+4": the seventh item is "+2".
    for (int i = 0; i < 7; ++i)
        menu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));
    menu->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
    ASSERT_TRUE (pumpUntil ([this] { return processor->getBodyOctave() == 2; }));

    EXPECT_EQ (dynamic_cast<juce::Slider&> (knob).getValue(), 2.0);
    EXPECT_EQ (processor->getSections()[0].bodyOctave, 2);
    pumpUntil ([] { return juce::Component::getCurrentlyModalComponent() == nullptr; });
    editor->removeFromDesktop();
}
