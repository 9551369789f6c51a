#pragma once

#include "processor/CorvessaProcessor.h"

// One processor for a whole fuzz run, made on first use with the framework started and a HOME
// of the run's own: making one per input would start and stop its threads and services each
// time. Inputs reach it only through its public services, as a host or the bridge would.
namespace FuzzSupport
{
CorvessaProcessor& sharedProcessor();
}
