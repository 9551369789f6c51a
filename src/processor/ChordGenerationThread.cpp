// The background thread that turns the state into a compiled bank after each change, and the
// atomic hand-over of banks to their readers.
#include "processor/CorvessaProcessor.h"

#include "compile/CompiledSection.h"

CorvessaProcessor::ChordGenerationThread::ChordGenerationThread (CorvessaProcessor& owner)
    : juce::Thread ("ChordGenerationThread"),
      processor (owner)
{
}

CorvessaProcessor::ChordGenerationThread::~ChordGenerationThread()
{
    stopCooperatively();
}

void CorvessaProcessor::ChordGenerationThread::wake()
{
    wakeEvent.signal();
}

void CorvessaProcessor::ChordGenerationThread::stopCooperatively()
{
    if (! isThreadRunning())
        return;

    signalThreadShouldExit();
    // A compile asks whether it was overtaken before every chord: moving the generation makes
    // one in flight give up at once instead of finishing a bank nobody will read, however long
    // the progression it is compiling.
    processor.generation.fetch_add (1);
    wake();

    // The framework's stopThread would kill a thread still compiling after its time-out and
    // leave it running on freed state; the compile gives up within one chord, so wait.
    while (! waitForThreadToExit (2000))
        jassertfalse;
}

void CorvessaProcessor::ChordGenerationThread::run()
{
    while (! threadShouldExit())
    {
        // A time-out only leads back to the exit check.
        if (! wakeEvent.wait (2000))
            continue;

        // A change that arrives during a compile moves the generation: compile again from the
        // newer state until a bank survives to be published.
        while (! threadShouldExit() && ! processor.compileLatest())
        {
        }
    }
}

//==============================================================================
void CorvessaProcessor::publishCompiledBank (std::shared_ptr<const CompiledSectionBank> bank)
{
    const auto builtFrom = bank != nullptr ? bank->generation : generation.load();
    // A bank with stand-ins leaves its compile pending: the rest of the song is still to come.
    const bool complete = bank == nullptr || bank->complete;
    compiledBank.publish (std::move (bank));
    compilePending.store (! complete);

    // A change that landed after the compile's last generation check must not be reported as
    // compiled: its own compile is still to come.
    if (generation.load() != builtFrom)
        compilePending.store (true);
}

std::shared_ptr<const CorvessaProcessor::CompiledSectionBank> CorvessaProcessor::loadCompiledBank() const
{
    return compiledBank.load();
}

bool CorvessaProcessor::isGenerationPending() const noexcept
{
    return compilePending.load();
}
