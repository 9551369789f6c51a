// The points at which tests of the built plug-in press the window's controls on the screen lie
// on those controls, with nothing in front of them, in every state those tests press them in.
#include "EditorFixture.h"

#include "support/WindowLandmarks.h"

namespace landmarks = corvessa::test::landmarks;

class WindowLandmarksTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        processor->setSections (song ({ { "Mine", "E B C#m A" } }), true);
        processor->setSelectedSectionViewIndex (0);
        waitForCompile();
        editor->syncControlsFromProcessor (true);
        probe->tick();
    }

    // The control that takes a press at the landmark: the innermost child there.
    juce::Component* pressed (const landmarks::Landmark& landmark)
    {
        return probe->canvas().getComponentAt (landmark.x, landmark.y);
    }

    void expectOn (const landmarks::Landmark& landmark, juce::Component* control)
    {
        auto* at = pressed (landmark);
        EXPECT_TRUE (at != nullptr && (at == control || control->isParentOf (at)))
            << landmark.control << " at " << landmark.x << "," << landmark.y << " is on "
            << (at != nullptr ? at->getName() + " " + at->getBounds().toString() : juce::String ("nothing"))
            << "; the control stands at " << control->getBounds().toString();
    }

    void expectDialogButton (const landmarks::Landmark& landmark, const juce::String& text)
    {
        auto* button = dynamic_cast<juce::TextButton*> (pressed (landmark));
        ASSERT_NE (button, nullptr) << landmark.control;
        EXPECT_EQ (button->getButtonText(), text) << landmark.control;
        EXPECT_TRUE (probe->confirmation().isParentOf (button)) << landmark.control;
    }
};

TEST_F (WindowLandmarksTest, HeaderAndOutputControlsForEveryRole)
{
    auto leader = std::make_unique<CorvessaProcessor>();
    leader->setSections (song ({ { "Intro", "C G Am F" } }), true);

    const std::pair<const char*, std::function<void()>> roles[] = {
        { "independent", [] {} },
        { "leader", [this] { probe->requestSyncMode (1, false); } },
        { "follower", [this, &leader] { probe->requestSyncMode (0, false); leader->setSyncMode (1); probe->requestSyncMode (2, false); } },
    };

    for (const auto& [role, enter] : roles)
    {
        SCOPED_TRACE (role);
        enter();
        probe->tick();
        for (const auto& landmark : landmarks::headerAndOutputs)
            expectOn (landmark, probe->find (landmark.control));
    }

    probe->requestSyncMode (0, false);
    leader.reset();
}

TEST_F (WindowLandmarksTest, ShimmerStyleOnTheShimmerTab)
{
    probe->selectTab (2);
    for (const auto& landmark : { landmarks::shimmerTop, landmarks::shimmerHalo })
        expectOn (landmark, probe->find (landmark.control));
}

TEST_F (WindowLandmarksTest, TheTakeOverQuestionsButtons)
{
    auto leader = std::make_unique<CorvessaProcessor>();
    ASSERT_TRUE (leader->setSyncMode (1));

    probe->requestSyncMode (1, false);
    ASSERT_TRUE (probe->confirmation().isVisible());
    expectDialogButton (landmarks::dialogConfirm, "Kick Off");
    expectDialogButton (landmarks::dialogCancel, "Cancel");

    leader.reset();
}
