#pragma once

// The compiled section types live with the compile engine; this keeps code written against the
// earlier layout building. New code includes "compile/CompiledSection.h".
#include "compile/CompiledSection.h"
#include "processor/CorvessaProcessor.h"
