#pragma once

// A name lookup that does not answer, for tests of what the kit's network services do while
// the system's resolver hangs. The test executable defines getaddrinfo itself: lookups of
// unansweredHostName block until the test releases them (or, as a bound, for 20 seconds) and
// then fail; every other name goes to the system's lookup as usual.
namespace kittest
{
constexpr const char* unansweredHostName = "lookup-never-answers.invalid";

namespace UnansweredNameLookup
{
// Lookups of the name that are blocked now.
int pending();

// Waits (bounded) until at least one lookup of the name is blocked.
bool waitUntilPending (int timeoutMs);

// Lets every blocked lookup fail now, and waits (bounded) until they have returned.
bool releaseAll (int timeoutMs = 20000);
} // namespace UnansweredNameLookup
} // namespace kittest
