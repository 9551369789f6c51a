#pragma once

#include <juce_core/juce_core.h>

class CorvessaProcessor;

namespace InstanceSync
{
// The role of an instance among the instances that keep in step.
enum class Mode : int
{
    Off = 0,
    Leader = 1,
    Follower = 2
};

// 0, 1 and 2 map to themselves, anything else to Off.
Mode toMode (int value) noexcept;
juce::String getModeName (Mode mode);
} // namespace InstanceSync

// Connects one processor to the instances it keeps in step with. For now the instance always
// stays on its own (mode Off) and nothing is shared; the interface is the one the processor's
// setters, state load and host parameters call.
class InstanceSyncLink
{
public:
    explicit InstanceSyncLink (CorvessaProcessor& owner);
    ~InstanceSyncLink();

    // The instance's lasting sync id, minted into the state when it has none.
    juce::String makeInstanceId();

    InstanceSync::Mode getMode() const;
    bool isAnotherLeaderActive() const;

    // Lets a leader share the state at once; other roles do nothing.
    void publishNow();

    // The user's or the host's choice of role; false when the change was refused.
    bool setMode (InstanceSync::Mode newMode);
    // Re-enters the stored role after construction and after every state load or replacement.
    void rejoin();
    // Forces leadership; false when refused.
    bool takeOver();

private:
    CorvessaProcessor& processor;
    juce::String syncInstanceId;

    JUCE_DECLARE_NON_COPYABLE (InstanceSyncLink)
};
