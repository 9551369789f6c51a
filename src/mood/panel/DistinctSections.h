#pragma once

#include "processor/SectionData.h"

#include <functional>
#include <vector>

// Calls `generate` until `wanted` sections with distinct progressions are kept or `attempts`
// calls were made. A section is kept when its trimmed progression is not empty and differs
// (exactly, case-sensitive) from every kept one. When none was kept, one more call is made and
// its section kept whatever it holds, so the result always holds at least one section.
std::vector<SectionMode::SectionData> collectDistinctSections (const std::function<SectionMode::SectionData()>& generate,
                                                               int wanted = 5, int attempts = 20);
