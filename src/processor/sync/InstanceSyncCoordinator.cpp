#include "processor/sync/InstanceSyncCoordinator.h"

#include "kit/json/JsonReader.h"
#include "kit/json/JsonWriter.h"

#include <limits>
#include <optional>

namespace InstanceSync
{
Mode toMode (int value) noexcept
{
    switch (value)
    {
        case 1:  return Mode::Leader;
        case 2:  return Mode::Follower;
        default: return Mode::Off;
    }
}

juce::String getModeName (int mode)
{
    return getModeName (toMode (mode));
}

juce::String getModeName (Mode mode)
{
    switch (mode)
    {
        case Mode::Leader:   return "Leader";
        case Mode::Follower: return "Follower";
        case Mode::Off:      break;
    }
    return "Off";
}

namespace
{
    const juce::Identifier schemaVersionKey ("schemaVersion");
    const juce::Identifier leaderIdKey ("leaderId");
    const juce::Identifier updatedAtMsKey ("updatedAtMs");
    const juce::Identifier leaseUntilMsKey ("leaseUntilMs");
    const juce::Identifier activeSectionIndexKey ("activeSectionIndex");
    const juce::Identifier payloadKey ("payload");

    // A record's integer field as the framework would convert it, or nothing when the number
    // does not fit: a cast of an out-of-range double is undefined, and a wrapped value could
    // pass for a valid one.
    std::optional<juce::int64> readInteger (const juce::var& value, juce::int64 lowest, juce::int64 highest)
    {
        juce::int64 number = 0;

        if (value.isDouble())
        {
            const auto d = (double) value;

            // Both bounds are exact doubles, so the comparison decides before any cast.
            if (! (d >= -9223372036854775808.0 && d < 9223372036854775808.0))
                return {};

            number = (juce::int64) d;
        }
        else if (value.isString())
        {
            const auto text = value.toString().trim();
            const auto digits = text.trimCharactersAtStart ("+-");

            if (text.length() - digits.length() > 1 || digits.isEmpty() || ! digits.containsOnly ("0123456789")
                || digits.length() > 18)
                return {};

            number = text.getLargeIntValue();
        }
        else
        {
            number = (juce::int64) value;   // integers, booleans; anything else reads as 0
        }

        if (number < lowest || number > highest)
            return {};

        return number;
    }

    // Our records nest five levels deep. The framework's parser recurses once per level, so a
    // file of a few megabytes of brackets could exhaust the message thread's stack: such a
    // text is refused before it is parsed.
    constexpr int maxNestingDepth = 64;
} // namespace

//==============================================================================
InstanceSyncCoordinator::InstanceSyncCoordinator (Config configToUse, juce::String id, Clock clockToUse)
    : config (std::move (configToUse)),
      instanceId (std::move (id)),
      clock (clockToUse ? std::move (clockToUse) : Clock ([] { return juce::Time::currentTimeMillis(); })),
      fileLock (config.lockName.isNotEmpty() ? config.lockName : juce::String (defaultLockName))
{
}

InstanceSyncCoordinator::~InstanceSyncCoordinator()
{
    stopAndRelease();
}

void InstanceSyncCoordinator::setSnapshotProvider (SnapshotProvider provider)
{
    const juce::ScopedLock sl (operationLock);
    snapshotProvider = std::move (provider);
}

void InstanceSyncCoordinator::setSnapshotReceiver (SnapshotReceiver receiver)
{
    const juce::ScopedLock sl (operationLock);
    snapshotReceiver = std::move (receiver);
}

void InstanceSyncCoordinator::setModeListener (ModeListener listener)
{
    const juce::ScopedLock sl (operationLock);
    modeListener = std::move (listener);
}

juce::int64 InstanceSyncCoordinator::now() const
{
    return clock();
}

void InstanceSyncCoordinator::setModeAndTell (Mode newMode)
{
    if (mode.load() == newMode)
        return;

    mode.store (newMode);

    if (modeListener)
        modeListener (newMode);
}

void InstanceSyncCoordinator::resetFollowState()
{
    lastLeaderId.clear();
    lastLeaderUpdatedAtMs = 0;
    lastWriteMs = 0;
}

bool InstanceSyncCoordinator::isOtherLeader (const SyncFileRecord& record, juce::int64 nowMs) const
{
    return record.isLiveAt (nowMs) && record.leaderId != instanceId;
}

//==============================================================================
SyncFileRecord InstanceSyncCoordinator::parseRecord (const juce::String& text)
{
    SyncFileRecord record;

    // The shared reader refuses over-deep nesting in every quoting form the parser accepts.
    const auto parsed = velmar::JsonReader::parse (text, maxNestingDepth);
    auto* object = parsed.getDynamicObject();

    if (object == nullptr)
        return record;

    constexpr auto anyInt64 = std::numeric_limits<juce::int64>::max();
    const auto version = readInteger (object->getProperty (schemaVersionKey), -anyInt64 - 1, anyInt64);
    const auto updatedAt = readInteger (object->getProperty (updatedAtMsKey), -anyInt64 - 1, anyInt64);
    const auto leaseUntil = readInteger (object->getProperty (leaseUntilMsKey), -anyInt64 - 1, anyInt64);
    const auto activeSection = object->hasProperty (activeSectionIndexKey)
                                   ? readInteger (object->getProperty (activeSectionIndexKey),
                                                  std::numeric_limits<int>::min(), std::numeric_limits<int>::max())
                                   : std::optional<juce::int64> (-1);

    record.leaderId = object->getProperty (leaderIdKey).toString();
    record.updatedAtMs = updatedAt.value_or (0);
    record.leaseUntilMs = leaseUntil.value_or (0);
    record.activeSectionIndex = (int) activeSection.value_or (-1);
    record.payload = object->getProperty (payloadKey);

    record.valid = version == (juce::int64) schemaVersion
                && updatedAt.has_value() && leaseUntil.has_value() && activeSection.has_value()
                && record.leaderId.isNotEmpty()
                && record.payload.getDynamicObject() != nullptr;
    return record;
}

SyncFileRecord InstanceSyncCoordinator::readRecord() const
{
    const auto& file = config.syncFile;

    if (! file.existsAsFile() || file.getSize() > maxRecordBytes)
        return {};

    juce::FileInputStream in (file);

    if (! in.openedOk())
        return {};

    // Read one byte past the limit, so a file that grew since its size was asked is caught.
    juce::MemoryBlock bytes;
    in.readIntoMemoryBlock (bytes, (ssize_t) (maxRecordBytes + 1));

    if ((juce::int64) bytes.getSize() > maxRecordBytes)
        return {};

    return parseRecord (juce::String::fromUTF8 (static_cast<const char*> (bytes.getData()), (int) bytes.getSize()));
}

juce::var InstanceSyncCoordinator::makeRecordJson (const juce::String& leaderId, juce::int64 updatedAtMs,
                                                   juce::int64 leaseUntilMs, const SharedSnapshot& snapshot)
{
    auto* object = new juce::DynamicObject();
    juce::var record (object);

    object->setProperty (schemaVersionKey, schemaVersion);
    object->setProperty (leaderIdKey, leaderId);
    object->setProperty (updatedAtMsKey, updatedAtMs);
    object->setProperty (leaseUntilMsKey, leaseUntilMs);
    object->setProperty (activeSectionIndexKey, snapshot.activeSectionIndex);
    object->setProperty (payloadKey, snapshot.payload);
    return record;
}

//==============================================================================
bool InstanceSyncCoordinator::writeRecord (juce::int64 nowMs, bool force)
{
    if (! snapshotProvider)
        return false;

    const auto existing = readRecord();

    if (! force && isOtherLeader (existing, nowMs))
        return false;

    const auto snapshot = snapshotProvider();

    // Readers ignore a record whose payload is not an object; writing one would only hide the
    // leader from its followers.
    if (snapshot.payload.getDynamicObject() == nullptr)
        return false;

    const auto writtenAt = juce::jmax (nowMs, lastWriteMs + 1);
    const auto text = velmar::JsonWriter::toString (makeRecordJson (instanceId, writtenAt,
                                                                    writtenAt + config.leaseMs, snapshot),
                                                    false, 15);

    const auto folder = config.syncFile.getParentDirectory();

    if (! folder.createDirectory().wasOk())
        return false;

    // Readers never lock: they must find either the old record or the new one whole, so the
    // text goes into a hidden file beside the target that is then renamed over it.
    const auto temporary = folder.getChildFile ("." + config.syncFile.getFileName() + "."
                                                + juce::Uuid().toString() + ".tmp");
    bool written = false;

    {
        juce::FileOutputStream out (temporary);

        if (out.openedOk())
        {
            written = out.writeText (text, false, false, nullptr);
            out.flush();
            written = written && out.getStatus().wasOk();
        }
    }

    if (! written || ! temporary.replaceFileIn (config.syncFile))
    {
        temporary.deleteFile();
        return false;
    }

    lastWriteMs = writtenAt;
    return true;
}

bool InstanceSyncCoordinator::tryAcquireLeadership (bool force)
{
    if (instanceId.isEmpty() || ! snapshotProvider)
        return false;

    const velmar::ScopedNamedProcessLock locked (fileLock, config.lockWaitMs);

    if (! locked.isLocked())
        return false;

    const auto nowMs = now();
    const auto record = readRecord();

    if (force || ! isOtherLeader (record, nowMs))
        return writeRecord (nowMs, force);

    return false;
}

void InstanceSyncCoordinator::releaseLeadership()
{
    if (instanceId.isEmpty())
        return;

    const velmar::ScopedNamedProcessLock locked (fileLock, config.lockWaitMs);

    if (! locked.isLocked())
        return;

    const auto record = readRecord();

    if (record.valid && record.leaderId == instanceId)
        config.syncFile.deleteFile();
}

InstanceSyncCoordinator::PublishOutcome InstanceSyncCoordinator::publishAsLeader()
{
    if (mode.load() != Mode::Leader)
        return PublishOutcome::notWritten;

    bool anotherLeader = false;
    bool written = false;

    {
        const velmar::ScopedNamedProcessLock locked (fileLock, config.lockWaitMs);

        if (! locked.isLocked())
            return PublishOutcome::notWritten;

        const auto nowMs = now();

        if (isOtherLeader (readRecord(), nowMs))
            anotherLeader = true;
        else
            written = writeRecord (nowMs, false);
    }

    if (anotherLeader)
    {
        // Someone took over: step down and leave their record alone.
        stopTimer();
        setModeAndTell (Mode::Off);
        return PublishOutcome::anotherLeader;
    }

    return written ? PublishOutcome::written : PublishOutcome::notWritten;
}

void InstanceSyncCoordinator::pollLeader()
{
    if (! snapshotReceiver)
        return;

    const auto record = readRecord();

    if (! record.isLiveAt (now()) || record.leaderId == instanceId)
        return;

    if (record.leaderId == lastLeaderId && record.updatedAtMs <= lastLeaderUpdatedAtMs)
        return;

    lastLeaderId = record.leaderId;
    lastLeaderUpdatedAtMs = record.updatedAtMs;

    SharedSnapshot snapshot;
    snapshot.activeSectionIndex = record.activeSectionIndex;
    snapshot.payload = record.payload;
    snapshotReceiver (snapshot);
}

//==============================================================================
bool InstanceSyncCoordinator::setMode (Mode newMode)
{
    const juce::ScopedLock sl (operationLock);

    if (newMode == mode.load())
        return true;

    if (mode.load() == Mode::Leader)
        releaseLeadership();

    stopTimer();
    resetFollowState();

    switch (newMode)
    {
        case Mode::Leader:
            if (! tryAcquireLeadership (false))
            {
                setModeAndTell (Mode::Off);
                return false;
            }

            setModeAndTell (Mode::Leader);
            startTimer (config.leaderIntervalMs);
            return true;

        case Mode::Follower:
            setModeAndTell (Mode::Follower);
            startTimer (config.followerIntervalMs);
            pollLeader();
            return true;

        case Mode::Off:
            break;
    }

    setModeAndTell (Mode::Off);
    return true;
}

bool InstanceSyncCoordinator::takeOverLeadership()
{
    const juce::ScopedLock sl (operationLock);

    if (mode.load() == Mode::Leader && ! isOtherLeader (readRecord(), now()))
        return true;

    stopTimer();
    resetFollowState();

    if (! tryAcquireLeadership (true))
    {
        setModeAndTell (Mode::Off);
        return false;
    }

    setModeAndTell (Mode::Leader);
    startTimer (config.leaderIntervalMs);
    return true;
}

void InstanceSyncCoordinator::stopAndRelease()
{
    stopTimer();

    // Waits for a tick that is running on the message thread.
    const juce::ScopedLock sl (operationLock);
    stopTimer();

    if (mode.load() == Mode::Leader)
        releaseLeadership();

    resetFollowState();
    setModeAndTell (Mode::Off);
}

void InstanceSyncCoordinator::stop()
{
    stopAndRelease();
}

bool InstanceSyncCoordinator::isAnotherLeaderActive() const
{
    return isOtherLeader (readRecord(), now());
}

bool InstanceSyncCoordinator::publishSnapshot()
{
    const juce::ScopedLock sl (operationLock);
    return publishAsLeader() == PublishOutcome::written;
}

void InstanceSyncCoordinator::timerCallback()
{
    // Never block the message thread behind a host thread's sync operation: skip this turn.
    const juce::ScopedTryLock sl (operationLock);

    if (! sl.isLocked())
        return;

    switch (mode.load())
    {
        case Mode::Leader:   publishAsLeader(); break;
        case Mode::Follower: pollLeader(); break;
        case Mode::Off:      break;
    }
}
} // namespace InstanceSync
