#include "editor/EditorClock.h"

namespace
{
std::function<juce::uint32()>& source()
{
    static std::function<juce::uint32()> clock;
    return clock;
}
} // namespace

namespace EditorClock
{
juce::uint32 now()
{
    return source() ? source()() : juce::Time::getMillisecondCounter();
}

void setSourceForTesting (std::function<juce::uint32()> newSource)
{
    source() = std::move (newSource);
}
} // namespace EditorClock
