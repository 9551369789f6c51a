#pragma once

#include "processor/SectionData.h"

#include <vector>

// Undo and redo of the whole section list: each step is a snapshot of every section and of the
// selected index. A plain value owned by the editor window; it knows nothing of the processor
// (the window takes and applies the snapshots). Message thread only, like the window.
class SectionHistory
{
public:
    // One state of the song as the user sees it.
    struct Snapshot
    {
        std::vector<SectionMode::SectionData> sections;
        int activeIndex = -1;

        // Same selected index, same number of sections, and every section equal in every field
        // (texts exactly, case included).
        bool operator== (const Snapshot& other) const;
        bool operator!= (const Snapshot& other) const { return ! operator== (other); }
    };

    // Steps kept on each side; the oldest goes first.
    static constexpr int maxDepth = 64;

    // Records a step that leads to `snapshot`. The first record only sets the current state; a
    // snapshot equal to the current one records nothing; any other clears the redo side.
    void record (const Snapshot& snapshot);

    // The state to go back (or forward) to, relative to what the user sees now. False when
    // there is no step. A step equal to `live` is handed out without pushing `live` to the
    // other side, so repeated presses never pile up duplicates. The current state is left to
    // the caller, which sets it once the step is applied.
    bool undo (const Snapshot& live, Snapshot& out);
    bool redo (const Snapshot& live, Snapshot& out);

    // Forgets every step; `snapshot` becomes the current state.
    void reset (const Snapshot& snapshot);

    // `snapshot` becomes the current state; the steps stay.
    void setCurrent (const Snapshot& snapshot);

    const std::vector<Snapshot>& getUndoStack() const noexcept { return undoStack; }
    const std::vector<Snapshot>& getRedoStack() const noexcept { return redoStack; }
    const Snapshot& getCurrent() const noexcept { return current; }
    bool hasCurrentState() const noexcept { return hasCurrent; }

private:
    static bool step (std::vector<Snapshot>& from, std::vector<Snapshot>& to, const Snapshot& live, Snapshot& out);
    static void trimToDepth (std::vector<Snapshot>& stack);

    std::vector<Snapshot> undoStack;   // oldest first
    std::vector<Snapshot> redoStack;   // oldest first
    Snapshot current;
    bool hasCurrent = false;
};
