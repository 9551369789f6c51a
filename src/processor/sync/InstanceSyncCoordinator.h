#pragma once

#include "kit/platform/NamedProcessLock.h"

#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>

#include <atomic>
#include <functional>

// Leader/follower synchronisation between instances of the plug-in, in one host or in several
// hosts of the same user. The instances meet only through one JSON record in the user's
// application-data folder, guarded by a named inter-process lock: the leader rewrites the record
// every few seconds and after each shared change, followers poll it and apply newer records.
// What the record's payload holds is the owner's business (see InstanceSyncLink).
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
// "Off", "Leader" or "Follower"; any other value gives "Off".
juce::String getModeName (Mode mode);
// The same for a stored or reported role number (getSyncMode); any other number is "Off".
juce::String getModeName (int mode);

// What a leader shares: the section it shows and an opaque JSON object.
struct SharedSnapshot
{
    int activeSectionIndex = -1;
    juce::var payload;
};

// One record as read from the shared file. `valid` is false when the file is missing, cannot
// be read or parsed, or breaks a rule of the format; the other fields then keep their defaults
// or whatever could be read before the rule broke.
struct SyncFileRecord
{
    bool valid = false;
    juce::String leaderId;
    juce::int64 updatedAtMs = 0;
    juce::int64 leaseUntilMs = 0;
    int activeSectionIndex = -1;
    juce::var payload;

    // Valid and its lease has not ended: a lease ending in this very millisecond still counts.
    bool isLiveAt (juce::int64 nowMs) const noexcept { return valid && leaseUntilMs >= nowMs; }
};

// The generic part of the synchronisation: the file, the lock, the lease rules and the timers.
// It exchanges snapshots with its owner through three callbacks. Its timer runs on the message
// thread; its other operations may be called from the owner's non-audio threads. Every
// operation that changes the coordinator runs under one internal lock; a timer tick that finds
// that lock busy skips its turn instead of blocking the message thread.
class InstanceSyncCoordinator : private juce::Timer
{
public:
    struct Config
    {
        juce::File syncFile;
        juce::String lockName;          // empty: "com.velmar.instance-sync"
        int leaderIntervalMs = 2000;
        int followerIntervalMs = 100;
        int leaseMs = 10000;
        int lockWaitMs = 80;
    };

    // Wall-clock milliseconds; leases and write times compare against it. Tests inject their own.
    using Clock = std::function<juce::int64()>;

    using SnapshotProvider = std::function<SharedSnapshot()>;
    using SnapshotReceiver = std::function<void (const SharedSnapshot&)>;
    using ModeListener = std::function<void (Mode)>;

    static constexpr const char* defaultLockName = "com.velmar.instance-sync";
    static constexpr int schemaVersion = 1;
    // A record larger than this is not one of ours and is not read.
    static constexpr juce::int64 maxRecordBytes = 8 * 1024 * 1024;

    InstanceSyncCoordinator (Config config, juce::String instanceId, Clock clock = {});
    ~InstanceSyncCoordinator() override;

    // The owner sets these before it asks for a role.
    void setSnapshotProvider (SnapshotProvider provider);
    void setSnapshotReceiver (SnapshotReceiver receiver);
    void setModeListener (ModeListener listener);

    // Asks for a role; false when leadership was refused (the coordinator is then Off).
    bool setMode (Mode newMode);
    // Forces leadership whatever the file holds; false when the record could not be written.
    bool takeOverLeadership();
    // Stops the timer; a leader gives up the file (only when it still names it); ends Off.
    void stop();

    // Whether the file holds a live record of another instance. Reads without the lock.
    bool isAnotherLeaderActive() const;
    // A leader rewrites the record at once; false unless this instance is leader and wrote it.
    bool publishSnapshot();

    Mode getMode() const noexcept { return mode.load(); }
    const juce::String& getInstanceId() const noexcept { return instanceId; }
    const Config& getConfig() const noexcept { return config; }
    bool isTicking() const { return isTimerRunning(); }
    int getTickIntervalMs() const { return getTimerInterval(); }

    // One timer tick, as the timer runs it: a leader publishes, a follower polls.
    void timerCallback() override;

    // The record the file holds now, following the read rules.
    SyncFileRecord readRecord() const;
    // The JSON object of a record, keys in their written order.
    static juce::var makeRecordJson (const juce::String& leaderId, juce::int64 updatedAtMs,
                                     juce::int64 leaseUntilMs, const SharedSnapshot& snapshot);
    // Parses the text of a record; used by readRecord.
    static SyncFileRecord parseRecord (const juce::String& text);

private:
    enum class PublishOutcome { written, notWritten, anotherLeader };

    juce::int64 now() const;
    void setModeAndTell (Mode newMode);
    void resetFollowState();

    bool writeRecord (juce::int64 nowMs, bool force);        // caller holds the file lock
    bool tryAcquireLeadership (bool force);
    void releaseLeadership();
    void pollLeader();
    PublishOutcome publishAsLeader();
    bool isOtherLeader (const SyncFileRecord& record, juce::int64 nowMs) const;
    void stopAndRelease();

    const Config config;
    const juce::String instanceId;
    const Clock clock;

    mutable velmar::NamedProcessLock fileLock;
    juce::CriticalSection operationLock;

    SnapshotProvider snapshotProvider;
    SnapshotReceiver snapshotReceiver;
    ModeListener modeListener;

    std::atomic<Mode> mode { Mode::Off };
    juce::String lastLeaderId;
    juce::int64 lastLeaderUpdatedAtMs = 0;
    juce::int64 lastWriteMs = 0;

    JUCE_DECLARE_NON_COPYABLE (InstanceSyncCoordinator)
};
} // namespace InstanceSync
