// The leader's sync file as any instance (or anything else) may leave it: the record reader
// takes it or refuses it, a record it takes carries what the format promises, and a follower
// merging the leader's snapshot gets a song that, shared again and merged, shares the same.

#include "FuzzSupport.h"

#include "kit/json/JsonWriter.h"
#include "processor/sync/InstanceSyncCoordinator.h"
#include "processor/sync/SyncPayload.h"

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    FuzzSupport::useOwnHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    const auto record = InstanceSync::InstanceSyncCoordinator::parseRecord (FuzzSupport::textOf (data, size));

    if (! record.valid)
        return 0;

    if (record.leaderId.isEmpty() || record.payload.getDynamicObject() == nullptr)
        FuzzSupport::fail ("a record was taken that breaks the format");

    const PersistentState follower;
    const auto merged = mergeLeaderSnapshot (follower, { record.activeSectionIndex, record.payload }, "fuzz-follower");

    if (! merged.has_value())
        FuzzSupport::fail ("an object payload was not merged");

    const auto shared = makeSyncPayload (*merged);
    const auto again = mergeLeaderSnapshot (follower, { record.activeSectionIndex, shared }, "fuzz-follower");

    if (! again.has_value()
        || velmar::JsonWriter::toString (makeSyncPayload (*again), true) != velmar::JsonWriter::toString (shared, true))
        FuzzSupport::fail ("a merged song, shared again and merged, shared something else");

    chooseSyncApplyPath (follower, *merged);
    return 0;
}
