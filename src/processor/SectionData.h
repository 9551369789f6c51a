#pragma once

// The section record lives with the song's plain records; this keeps code written against the
// earlier layout building. New code includes "song/SectionData.h".
#include "song/SectionData.h"
