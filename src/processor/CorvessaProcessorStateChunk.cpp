// The host's state chunk: the parameter tree, whose "PersistentState" child is rewritten after
// every change, serialised as the framework's XML blob.
#include "processor/CorvessaProcessor.h"

#include "processor/sync/InstanceSyncLink.h"
#include "processor/state/LegacyStateChunk.h"
#include "processor/state/StateChunkXml.h"
#include "processor/state/StateTree.h"

void CorvessaProcessor::writeStateTree()
{
    if (! parameters.state.isValid())
        parameters.replaceState (juce::ValueTree ("CorvessaState"));

    const auto old = parameters.state.getChildWithName ("PersistentState");
    auto fresh = writePersistentStateTree (state);

    if (old.isValid())
        parameters.state.removeChild (old, nullptr);

    parameters.state.appendChild (fresh, nullptr);

    // Every change of the record passes through here with the lock held; so do the copies of
    // it that the audio thread and the host's parameter queries read without the lock.
    sectionCountMirror.store ((int) state.Sections.size(), std::memory_order_relaxed);
    audioOutputLayerMode.store (state.outputLayerMode, std::memory_order_relaxed);
    selectionMirror.store (clampSelectedSectionViewIndex (state.selectedSectionViewIndex, (int) state.Sections.size()),
                           std::memory_order_relaxed);
}

void CorvessaProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    // The host may ask on any thread while the message thread rewrites the tree: copy it under
    // the same lock that guards those rewrites.
    juce::ValueTree copy;

    {
        const juce::ScopedLock lock (stateLock);
        copy = parameters.copyState();
    }

    if (auto xml = copy.createXml())
        copyXmlToBinary (*xml, destData);
}

void CorvessaProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    // Whatever the chunk held, the song was replaced behind an open window's back.
    const juce::ScopeGuard tellTheWindow { [this] { editState ({}, { EditEffect::countOutsideSongChange }); } };

    if (data != nullptr && sizeInBytes > 0)
    {
        // The text is checked before the framework's XML reader sees it: a damaged or foreign
        // chunk must give the defaults, never hang or crash the host.
        if (auto xml = StateChunkXml::parseChunk (data, sizeInBytes))
        {
            if (xml->getTagName().equalsIgnoreCase ("Corvessa"))
            {
                migrateLegacyState (*xml);
                return;
            }

            const auto tree = juce::ValueTree::fromXml (*xml);

            if (tree.isValid())
            {
                restoreStateTree (tree);
                return;
            }
        }
    }

    // Unreadable: the defaults, with no sections.
    replaceState (PersistentState(), syncRoleChosen.load());
}

void CorvessaProcessor::restoreStateTree (const juce::ValueTree& tree)
{
    PersistentState record;

    {
        const juce::ScopedLock lock (stateLock);

        // The framework takes the host parameter values from the loaded tree; what it reports
        // back through the listener is not a host change.
        withoutParameterEcho ([&] { parameters.replaceState (tree); });

        record = readPersistentStateTree (parameters.state.getChildWithName ("PersistentState"));
    }

    // A role chosen in the life of this instance survives the load; otherwise the stored role
    // is re-entered. Unlike a replacement, a load does not ask the host to refresh its display.
    const bool keepLiveSyncFields = syncRoleChosen.load();

    if (keepLiveSyncFields)
        keepSyncFields (record);

    EditEffects effects { EditEffect::resetPlayback };

    if (! keepLiveSyncFields)
        effects.push_back (EditEffect::rejoinSyncRole);

    effects.insert (effects.end(), { EditEffect::pushHostParameters, EditEffect::regenerate, EditEffect::publishSync });

    editState ([&record] (PersistentState& s) { s = std::move (record); return true; }, effects);
}

void CorvessaProcessor::keepSyncFields (PersistentState& record) const
{
    record.syncMode = getSyncMode();

    const juce::ScopedLock lock (stateLock);
    record.syncInstanceId = state.syncInstanceId;
    record.PreFollowerState = state.PreFollowerState.createCopy();
}

void CorvessaProcessor::migrateLegacyState (const juce::XmlElement& root)
{
    // The parameter tree is not replaced: the older chunk has none. Installing the record
    // rewrites its "PersistentState" child and pushes the host parameters.
    replaceState (readLegacyState (root), syncRoleChosen.load());
}
