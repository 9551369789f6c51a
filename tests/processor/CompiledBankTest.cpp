// The generation thread and the compiled bank: a bank published after every change, the
// accessors, and tear-down while a compile runs. Which snapshots a bank takes over is the
// compile engine's (tests/compile/BankCompileTest.cpp).
#include "ProcessorTestSupport.h"

#include "compile/CompiledSection.h"
#include "ProcessorTestProbe.h"
#include "support/TestPlayHead.h"

namespace
{
class CompiledBankTest : public ProcessorTest
{
protected:
    using Bank = std::shared_ptr<const CorvessaProcessor::CompiledSectionBank>;

    // Waits until the bank of the latest change is published.
    Bank settledBank() const
    {
        const auto settled = pumpUntil ([this] {
            auto bank = processor->loadCompiledBank();
            return ! processor->isGenerationPending() && bank != nullptr && bank->generation == processor->getGeneration();
        });

        EXPECT_TRUE (settled);
        return processor->loadCompiledBank();
    }

    static SectionList songOf (std::initializer_list<std::pair<const char*, const char*>> namesAndProgressions)
    {
        return corvessa::test::songOf (namesAndProgressions);
    }
};
} // namespace

TEST_F (CompiledBankTest, FreshInstanceHasABankWithOnlyTheWorkingSection)
{
    const auto bank = processor->loadCompiledBank();
    ASSERT_NE (bank, nullptr);
    EXPECT_NE (bank->working, nullptr);
    EXPECT_TRUE (bank->sections.empty());
    EXPECT_EQ (processor->getCurrentCompiledSnapshot(), bank->working);
}

TEST_F (CompiledBankTest, EveryChangeIsPublished)
{
    processor->setProgression ("C G Am F");
    auto bank = settledBank();
    EXPECT_EQ (processor->getCompiledChords().size(), 4u);
    EXPECT_FALSE (processor->getCompiledLayerNotes (0, 2).empty());
    EXPECT_EQ (processor->getCompileStatus (0), 0);

    processor->setSections (songOf ({ { "A", "C F" }, { "B", "Dm G C" } }), true);
    bank = settledBank();
    ASSERT_EQ (bank->sections.size(), 2u);
    ASSERT_EQ (bank->sectionResults.size(), 2u);
    EXPECT_EQ (bank->sections[1]->chords.size(), 3u);

    // The working section's octave moves its compiled body notes.
    processor->setSelectedSectionViewIndex (-1);
    const auto workingBefore = settledBank()->working;
    processor->setBodyOctave (1);
    bank = settledBank();
    EXPECT_NE (bank->working, workingBefore);
    ASSERT_FALSE (bank->working->slots.empty());
    ASSERT_FALSE (workingBefore->slots.empty());
    EXPECT_NE (bank->working->slots[0].bodyNotes, workingBefore->slots[0].bodyNotes);
}

TEST_F (CompiledBankTest, AccessorsAnswerForIndicesOutsideTheBank)
{
    processor->setSections (songOf ({ { "A", "C F" }, { "B", "Xq7 G" }, { "C", "Am" } }), true);
    const auto bank = settledBank();

    EXPECT_EQ (processor->getCompileStatus (5), bank->workingResult.status);
    EXPECT_EQ (processor->getCompileStatus (-1), bank->workingResult.status);
    EXPECT_EQ (processor->getCompileStatus (1), bank->sectionResults[1].status);
    EXPECT_EQ (processor->getCompileMessages (1), bank->sectionResults[1].messages);
    EXPECT_FALSE (processor->getCompileMessages (1).isEmpty());

    EXPECT_TRUE (processor->getCompiledLayerNotes (0, 4).empty());
    EXPECT_TRUE (processor->getCompiledLayerNotes (0, 0).empty());
    EXPECT_TRUE (processor->getCompiledLayerNotes (-1, 1).empty());
    EXPECT_TRUE (processor->getCompiledLayerNotes (99, 1).empty());

    // While a change waits for its compile every index reports 1, and the old bank still answers.
    processor->setBassOctave (2);
    if (processor->isGenerationPending())
    {
        EXPECT_EQ (processor->getCompileStatus (0), 1);
    }
    settledBank();
    EXPECT_NE (processor->getCompileStatus (0), 1);
}

TEST_F (CompiledBankTest, QuickEditsEndWithTheBankOfTheLastOne)
{
    for (int i = 0; i < 20; ++i)
        processor->setProgression (i % 2 == 0 ? "C G Am F" : "Dm G");

    processor->setProgression ("E A B E A");
    const auto bank = settledBank();
    EXPECT_EQ (bank->generation, processor->getGeneration());
    EXPECT_EQ (processor->getCompiledChords().size(), 5u);
}

TEST_F (CompiledBankTest, ProgressionPreviewPublishesNothing)
{
    processor->setProgression ("C G");
    const auto bank = settledBank();
    const auto generationBefore = processor->getGeneration();

    const auto empty = processor->compileProgressionPreview ("");
    EXPECT_TRUE (empty.chords.empty());
    EXPECT_TRUE (empty.layerNotes.empty());

    const auto preview = processor->compileProgressionPreview ("Am F C G");
    ASSERT_EQ (preview.chords.size(), 4u);
    ASSERT_EQ (preview.layerNotes.size(), 4u);
    EXPECT_FALSE (preview.layerNotes[0][1].empty());

    EXPECT_EQ (processor->loadCompiledBank(), bank);
    EXPECT_EQ (processor->getGeneration(), generationBefore);
    EXPECT_FALSE (processor->isGenerationPending());
}

TEST_F (CompiledBankTest, TearDownWithACompileInFlightStopsTheThread)
{
    // A long song compiling while the processor goes away: the compile gives up between
    // sections and the thread ends before the state it reads is destroyed.
    SectionList song;

    for (int i = 0; i < 32; ++i)
    {
        SectionMode::SectionData section;
        section.name = juce::String (i + 1);
        section.progression = "Cmaj7 Am7 Dm9 G13 Em7 A7 Dm7 G7 Cmaj9 Fmaj7 Bm7b5 E7 Am9 D9 Dm7 G7sus4";
        section.bodyVoicing = (i % 2 == 0) ? "Jazz" : "Pianist";
        song.push_back (section);
    }

    for (int round = 0; round < 3; ++round)
    {
        auto instance = std::make_unique<CorvessaProcessor>();
        instance->setSections (song, true);
        juce::Thread::sleep (5 * round);
        instance.reset();
    }

    SUCCEED();
}

TEST_F (CompiledBankTest, TearDownDoesNotWaitForTheCompileOfAHugeProgression)
{
    // A state chunk or an editor can hold a progression of any length; compiling a million
    // dense chords takes minutes. Tear-down must stop such a compile inside the section
    // instead of waiting for its end (a host unloading the plug-in would hang meanwhile).
    const auto huge = juce::String::repeatedString ("Cmaj13(#11) A13 Dm11 G13 ", 250000);

    auto instance = std::make_unique<CorvessaProcessor>();
    instance->setBodyVoicing (4);   // Pianist, the slowest style
    instance->setProgression (huge);
    juce::Thread::sleep (300);      // the compile is under way
    EXPECT_TRUE (instance->isGenerationPending());
    instance.reset();
}

//==== the sections heard first ======================================================================

TEST_F (CompiledBankTest, TheSectionsHeardFirstAreTheStepTheSelectionAndThePlaceOnTheTimeline)
{
    // Bars of four quarter notes: A 0-4, B 4-12, C 12-16, D 16-20.
    processor->setSections (songOf ({ { "A", "C" }, { "B", "C G" }, { "C", "Am" }, { "D", "F" } }), true);
    processor->prepareToPlay (44100.0, 512);
    juce::RangedAudioParameter* step = nullptr;
    for (auto* parameter : processor->getParameters())
        if (auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (parameter); ranged != nullptr && ranged->paramID == "activeSection")
            step = ranged;
    ASSERT_NE (step, nullptr);

    const auto heardFirst = [&] {
        std::vector<int> indices;
        const auto first = CorvessaProcessorTestProbe::sectionsHeardFirst (*processor);
        for (size_t i = 0; i < first.size(); ++i)
            if (first[i])
                indices.push_back ((int) i);
        return indices;
    };

    // The selected section, looped.
    processor->setSelectedSectionViewIndex (2);
    EXPECT_EQ (heardFirst(), (std::vector<int> { 2 }));

    // The host chose another step: both.
    step->setValueNotifyingHost (1.0f / (float) (step->getNumSteps() - 1));
    EXPECT_EQ (heardFirst(), (std::vector<int> { 1, 2 }));

    // Auto-Advance: the section under the transport, found from the lengths before any note.
    processor->setSectionPlaybackMode (1);
    processor->setSelectedSectionViewIndex (0);
    ASSERT_GE (processor->getSectionParameterIndex(), 4);
    corvessa::test::TestPlayHead head;
    head.play (17.0);
    processor->setPlayHead (&head);
    juce::AudioBuffer<float> audio (2, 512);
    juce::MidiBuffer midi;
    processor->processBlock (audio, midi);
    processor->setPlayHead (nullptr);
    EXPECT_EQ (heardFirst(), (std::vector<int> { 0, 3 }));
}

TEST_F (CompiledBankTest, WhileOnlyTheSectionsHeardFirstAreCompiledTheOthersAreSilentAndPending)
{
    processor->setSections (songOf ({ { "A", "C G" }, { "B", "Dm G C" }, { "C", "Am F" } }), true);
    processor->setSelectedSectionViewIndex (1);
    processor->prepareToPlay (44100.0, 512);
    ASSERT_TRUE (settledBank()->complete);

    // Banks as the generation thread publishes them first for a load, put in place while it is
    // idle: the playing section B compiled or a stand-in.
    const auto partialBank = [&] (bool playingCompiled)
    {
        return std::make_shared<const CorvessaProcessor::CompiledSectionBank> (processor->compileBank (
            processor->getStateCopy(), processor->getGeneration(), nullptr,
            [playingCompiled] (size_t i) { return playingCompiled ? i != 1 : i == 1; }));
    };
    const auto notesOnInFirstBlock = [&]
    {
        corvessa::test::TestPlayHead head;
        juce::AudioBuffer<float> audio (2, 512);
        juce::MidiBuffer midi;
        processor->setPlayHead (&head);
        head.stop();
        processor->processBlock (audio, midi);
        head.play (0.0);
        midi.clear();
        processor->processBlock (audio, midi);
        head.stop();
        processor->processBlock (audio, midi);
        processor->setPlayHead (nullptr);
        int count = 0;
        for (const auto meta : midi)
            count += meta.getMessage().isNoteOn() ? 1 : 0;
        return count;
    };

    const auto compiled = partialBank (true);
    ASSERT_FALSE (compiled->complete);
    processor->publishCompiledBank (compiled);
    EXPECT_EQ (processor->getCompileStatus (1), SectionCompileResult::pending) << "the song is not compiled yet";
    EXPECT_EQ (processor->getCurrentCompiledSnapshot(), compiled->sections[1]);
    EXPECT_EQ (processor->getCompiledChords().size(), 3u);
    EXPECT_GT (notesOnInFirstBlock(), 0);

    // A stand-in keeps its section's place and length but sounds nothing, and the window and
    // the clips see nothing compiled there.
    const auto standIn = partialBank (false);
    processor->publishCompiledBank (standIn);
    EXPECT_EQ (notesOnInFirstBlock(), 0);
    EXPECT_EQ (processor->getCurrentCompiledSnapshot(), nullptr);
    EXPECT_TRUE (processor->getCompiledChords().empty());
    EXPECT_TRUE (processor->getCompiledLayerNotes (0, 2).empty());

    // The complete bank that follows ends the pending state.
    processor->setBodyOctave (1);
    EXPECT_TRUE (settledBank()->complete);
    EXPECT_EQ (processor->getCompileStatus (1), SectionCompileResult::clean);
    EXPECT_GT (notesOnInFirstBlock(), 0);
}
