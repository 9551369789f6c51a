// The compile of a whole state into a bank, and the read accessors of the published bank.
#include "processor/CorvessaProcessor.h"

void CorvessaProcessor::publishFirstBank()
{
}

bool CorvessaProcessor::compileLatest()
{
    compilePending.store (false);
    return true;
}

std::shared_ptr<const CorvessaProcessor::CompiledSnapshot> CorvessaProcessor::getCurrentCompiledSnapshot() const
{
    return {};
}
