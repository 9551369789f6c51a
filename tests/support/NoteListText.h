#pragma once

#include <string>
#include <vector>

namespace corvessa::test
{

// A note list as a failure message shows it: the numbers in order, each followed by a space.
std::string describeNotes (const std::vector<int>& notes);

} // namespace corvessa::test
