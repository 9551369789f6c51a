// The host's view of the processor: the seven parameters, host edits parked and applied on the
// message thread, and the section parameter whose steps follow the sections.
#include "ProcessorTestSupport.h"

#include <thread>

namespace
{
using HostParameterTest = ProcessorTest;
}

TEST_F (HostParameterTest, LayoutNamesChoicesAndDefaults)
{
    const struct
    {
        const char* id;
        const char* name;
        int numChoices;   // 0 for a switch
        const char* defaultText;
    } expected[] = {
        { "syncMode", "Sync Mode", 3, "Off" },
        { "outputLayerMode", "Output Layer", 7, "All" },
        { "bassLegato", "Bass Legato", 0, "Off" },
        { "bodyLegato", "Body Legato", 0, "On" },
        { "shimmerLegato", "Shimmer Legato", 0, "On" },
        { "bodyVoicing", "Body Voicing", 7, "Smooth" },
        { "shimmerVoicing", "Shimmer Voicing", 7, "Smooth" },
        { "activeSection", "Section", 0, "Auto-Advance" },
    };

    const auto& all = processor->getParameters();
    ASSERT_EQ (all.size(), 8);

    for (int i = 0; i < 8; ++i)
    {
        const auto& row = expected[i];
        SCOPED_TRACE (row.id);
        auto* p = dynamic_cast<juce::RangedAudioParameter*> (all[i]);
        ASSERT_NE (p, nullptr);
        EXPECT_EQ (p->getParameterID(), row.id);
        EXPECT_EQ (p->getName (64), row.name);
        EXPECT_EQ (p->getCurrentValueAsText(), row.defaultText);

        if (auto* choice = dynamic_cast<juce::AudioParameterChoice*> (p))
        {
            EXPECT_EQ (choice->choices.size(), row.numChoices);
        }
    }

    EXPECT_EQ (dynamic_cast<juce::AudioParameterChoice*> (parameter ("bodyVoicing"))->choices[6], "Jazz");
    EXPECT_EQ (dynamic_cast<juce::AudioParameterChoice*> (parameter ("outputLayerMode"))->choices[5], "Bass + Shimmer");
}

TEST_F (HostParameterTest, HostAutomationReachesTheStateOnTheMessageThread)
{
    auto* bodyVoicing = parameter ("bodyVoicing");
    const auto generationBefore = processor->getGeneration();

    bodyVoicing->setValueNotifyingHost (bodyVoicing->convertTo0to1 (6.0f));
    // Parked only: nothing changes before the asynchronous update runs.
    EXPECT_EQ (processor->getBodyVoicing(), 2);

    ASSERT_TRUE (pumpUntil ([&] { return processor->getBodyVoicing() == 6; }));
    EXPECT_EQ (processor->getStateCopy().inversionType, 6);
    EXPECT_GT (processor->getGeneration(), generationBefore);
}

TEST_F (HostParameterTest, OnlyTheLaterOfTwoPendingChangesIsApplied)
{
    auto* layer = parameter ("outputLayerMode");
    layer->setValueNotifyingHost (layer->convertTo0to1 (2.0f));
    layer->setValueNotifyingHost (layer->convertTo0to1 (5.0f));

    processor->handleUpdateNowIfNeeded();

    EXPECT_EQ (processor->getStateCopy().outputLayerMode, 5);
    EXPECT_EQ (processor->getOutputLayerMode(), 5);
}

TEST_F (HostParameterTest, HostChangesOfLegatoRecompile)
{
    const auto generationBefore = processor->getGeneration();
    parameter ("bassLegato")->setValueNotifyingHost (1.0f);
    processor->handleUpdateNowIfNeeded();

    EXPECT_TRUE (processor->getBassLegato());
    EXPECT_GT (processor->getGeneration(), generationBefore);
}

TEST_F (HostParameterTest, PushThatChangesNothingSetsNothing)
{
    processor->pushStateToHostParameters();
    EXPECT_FALSE (processor->isUpdatePending());

    // A push that does move parameters is not heard back as host edits either.
    processor->setShimmerLegato (false);
    EXPECT_EQ (parameter ("shimmerLegato")->getValue(), 0.0f);
    EXPECT_FALSE (processor->isUpdatePending());
}

TEST_F (HostParameterTest, SectionParameterStepsAndTexts)
{
    auto* section = parameter ("activeSection");
    ASSERT_NE (section, nullptr);

    // No sections: one step, Auto-Advance, every text selects it.
    EXPECT_EQ (section->getNumSteps(), 1);
    EXPECT_EQ (section->getText (0.7f, 64), "Auto-Advance");
    EXPECT_EQ (section->getAllValueStrings(), juce::StringArray ("Auto-Advance"));
    EXPECT_EQ (section->getValueForText ("Verse"), 0.0f);
    EXPECT_EQ (section->getValueForText ("3"), 0.0f);

    auto sections = makeSections ({ "Verse", "  ", "Chorus" });
    processor->setSections (sections, false);

    EXPECT_EQ (section->getNumSteps(), 4);
    EXPECT_TRUE (section->isDiscrete());
    EXPECT_FALSE (section->isBoolean());
    EXPECT_EQ (section->getAllValueStrings(), juce::StringArray ({ "Verse", "Section 2", "Chorus", "Auto-Advance" }));

    const struct
    {
        float value;
        const char* text;
    } texts[] = {
        { 0.0f, "Verse" }, { 0.34f, "Section 2" }, { 0.5f, "Chorus" }, { 0.83f, "Chorus" }, { 0.84f, "Auto-Advance" }, { 1.0f, "Auto-Advance" },
    };

    for (const auto& row : texts)
        EXPECT_EQ (section->getText (row.value, 64), row.text) << row.value;

    const struct
    {
        const char* text;
        float value;
    } values[] = {
        { "auto-advance", 1.0f }, { "  CHORUS ", 2.0f / 3.0f }, { "2", 1.0f / 3.0f }, { "9", 1.0f },
        { "0", 0.0f }, { "-3", 0.0f }, { "Bridge", 0.0f }, { "verse", 0.0f },
    };

    for (const auto& row : values)
        EXPECT_FLOAT_EQ (section->getValueForText (row.text), row.value) << row.text;
}

TEST_F (HostParameterTest, StepIndexRoundsHalvesToTheEvenStep)
{
    const struct
    {
        float value;
        int steps, index;
    } cases[] = {
        { 0.5f, 0, -1 }, { 0.9f, 1, 0 }, { 0.34f, 4, 1 }, { 0.5f, 2, 0 }, { 0.5f, 4, 2 },
        { 1.0f / 6.0f, 4, 0 }, { 0.5f / 3.0f * 3.0f, 4, 2 }, { 2.0f, 4, 3 }, { -1.0f, 4, 0 },
        { std::numeric_limits<float>::quiet_NaN(), 4, 0 },
    };

    for (const auto& row : cases)
        EXPECT_EQ (CorvessaSectionParameter::stepIndexForValue (row.value, row.steps), row.index)
            << row.value << " with " << row.steps << " steps";
}

TEST_F (HostParameterTest, SectionParameterFollowsSelectionAndPlaybackMode)
{
    processor->setSections (makeSections ({ "A", "B", "C" }), false);
    auto* section = parameter ("activeSection");

    processor->setSelectedSectionViewIndex (1);
    EXPECT_EQ (processor->getSectionParameterIndex(), 1);

    processor->setSectionPlaybackMode (1);
    EXPECT_EQ (processor->getSectionParameterIndex(), 3);
    EXPECT_EQ (section->getCurrentValueAsText(), "Auto-Advance");
    EXPECT_TRUE (processor->isAutoAdvanceSelected());

    processor->setSectionPlaybackMode (0);
    EXPECT_EQ (processor->getSectionParameterIndex(), 0);
    EXPECT_FALSE (processor->isAutoAdvanceSelected());
}

TEST_F (HostParameterTest, AutomationFromAHostThreadWhileTheEditorEdits)
{
    // Hosts send automation on threads of their own; it only parks values, which the message
    // thread applies between its own edits.
    auto* layer = parameter ("outputLayerMode");
    auto* legato = parameter ("bodyLegato");
    std::atomic<bool> done { false };

    std::thread automation ([&] {
        for (int i = 0; i < 500; ++i)
        {
            layer->setValueNotifyingHost (layer->convertTo0to1 ((float) (i % 7)));
            legato->setValueNotifyingHost ((float) (i % 2));
        }

        layer->setValueNotifyingHost (layer->convertTo0to1 (4.0f));
        done = true;
    });

    for (int i = 0; ! done.load() || i < 50; ++i)
    {
        processor->setSections (makeSections ({ "A", "B" }), i % 2 == 0);
        processor->setBassOctave (i % 5);
        processor->handleUpdateNowIfNeeded();
    }

    automation.join();
    processor->handleUpdateNowIfNeeded();
    EXPECT_EQ (processor->getOutputLayerMode(), 4);
    EXPECT_EQ (processor->getStateCopy().outputLayerMode, 4);
}

TEST_F (HostParameterTest, HostEditOnAnotherThreadDuringAPushIsNotLost)
{
    // While the processor pushes its state to the host, a host thread automates another
    // parameter. The push must ignore only its own echo, not that edit.
    auto* layer = parameter ("outputLayerMode");
    auto* bodyVoicing = parameter ("bodyVoicing");

    struct EditDuringPush : juce::AudioProcessorParameter::Listener
    {
        juce::RangedAudioParameter* target = nullptr;
        bool fired = false;

        void parameterValueChanged (int, float) override
        {
            if (std::exchange (fired, true))
                return;

            std::thread host ([this] { target->setValueNotifyingHost (target->convertTo0to1 (6.0f)); });
            host.join();
        }

        void parameterGestureChanged (int, bool) override {}
    } listener;

    listener.target = bodyVoicing;
    layer->addListener (&listener);
    processor->setOutputLayerMode (2);   // pushes "outputLayerMode" to the host
    layer->removeListener (&listener);

    ASSERT_TRUE (listener.fired);
    processor->handleUpdateNowIfNeeded();
    EXPECT_EQ (processor->getBodyVoicing(), 6);
}

TEST_F (HostParameterTest, SectionParameterKeepsItsStepWhenTheSectionCountChanges)
{
    // The selection stays at -1 (as after a load), so nothing else moves the parameter: the
    // step must survive the new step count, or playback would jump to another section.
    const struct
    {
        int countBefore, stepBefore, countAfter, stepAfter;
    } cases[] = {
        { 3, 2, 4, 2 },   // a section added after the playing one
        { 3, 1, 5, 1 },
        { 3, 3, 4, 4 },   // Auto-Advance stays Auto-Advance
        { 3, 3, 2, 2 },
        { 4, 1, 3, 1 },   // a section removed
        { 3, 2, 2, 1 },   // the playing section removed: the last one left
    };

    const char* const names[] = { "A", "B", "C", "D", "E" };
    auto song = [&] (int count)
    {
        SectionList sections;
        for (int i = 0; i < count; ++i)
            sections.push_back (makeSections ({ names[i] }).front());
        return sections;
    };

    auto* section = parameter ("activeSection");

    for (const auto& row : cases)
    {
        SCOPED_TRACE (juce::String (row.countBefore) + " sections, step " + juce::String (row.stepBefore)
                      + " -> " + juce::String (row.countAfter) + " sections");
        processor->setSections (song (row.countBefore), false);
        ASSERT_EQ (processor->getSelectedSectionViewIndex(), -1);
        section->setValueNotifyingHost (CorvessaSectionParameter::valueForStepIndex (row.stepBefore, row.countBefore + 1));
        ASSERT_EQ (processor->getSectionParameterIndex(), row.stepBefore);

        processor->setSections (song (row.countAfter), false);
        EXPECT_EQ (processor->getSectionParameterIndex(), row.stepAfter);
    }

    // A state load that changes the count keeps the step as well.
    processor->setSections (song (3), false);
    section->setValueNotifyingHost (CorvessaSectionParameter::valueForStepIndex (2, 4));
    auto loaded = processor->getStateCopy();
    loaded.Sections = song (5);
    juce::MemoryBlock chunk;
    {
        auto other = std::make_unique<CorvessaProcessor>();
        other->replaceState (loaded, false);
        other->getStateInformation (chunk);
    }
    processor->setStateInformation (chunk.getData(), (int) chunk.getSize());
    EXPECT_EQ (processor->getSectionParameterIndex(), 2);
}

TEST_F (HostParameterTest, SectionParameterTextsReadBackAsTheirOwnSteps)
{
    // Unnamed sections are shown by their position; a host that sends such a text back (or
    // stores automation as text) must land on the same step.
    processor->setSections (makeSections ({ "Verse", "", "  ", "Chorus" }), false);
    auto* section = parameter ("activeSection");
    const int steps = section->getNumSteps();
    ASSERT_EQ (steps, 5);

    for (int step = 0; step < steps; ++step)
    {
        const auto text = section->getText (CorvessaSectionParameter::valueForStepIndex (step, steps), 64);
        SCOPED_TRACE (text);
        EXPECT_EQ (CorvessaSectionParameter::stepIndexForValue (section->getValueForText (text), steps), step);
    }

    EXPECT_EQ (CorvessaSectionParameter::stepIndexForValue (section->getValueForText ("section 3"), steps), 2);
}
