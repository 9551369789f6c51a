#pragma once

#include <functional>

namespace corvessa::test
{

// Serves the test's message queue (timers, async calls, window events) for `milliseconds`.
void pumpMessagesFor (int milliseconds);

// Serves it until `condition` holds; false when `milliseconds` passed first.
bool pumpMessagesUntil (const std::function<bool()>& condition, int milliseconds = 5000);

} // namespace corvessa::test
