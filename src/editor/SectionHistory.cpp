#include "editor/SectionHistory.h"

bool SectionHistory::Snapshot::operator== (const Snapshot& other) const
{
    return activeIndex == other.activeIndex && sections == other.sections;
}

void SectionHistory::record (const Snapshot& snapshot)
{
    if (! hasCurrent)
    {
        current = snapshot;
        hasCurrent = true;
        return;
    }

    if (snapshot == current)
        return;

    undoStack.push_back (std::move (current));
    trimToDepth (undoStack);
    redoStack.clear();
    current = snapshot;
}

bool SectionHistory::undo (const Snapshot& live, Snapshot& out)
{
    return step (undoStack, redoStack, live, out);
}

bool SectionHistory::redo (const Snapshot& live, Snapshot& out)
{
    return step (redoStack, undoStack, live, out);
}

bool SectionHistory::step (std::vector<Snapshot>& from, std::vector<Snapshot>& to, const Snapshot& live, Snapshot& out)
{
    if (from.empty())
        return false;

    out = std::move (from.back());
    from.pop_back();

    if (out != live)
    {
        to.push_back (live);
        trimToDepth (to);
    }

    return true;
}

void SectionHistory::reset (const Snapshot& snapshot)
{
    undoStack.clear();
    redoStack.clear();
    setCurrent (snapshot);
}

void SectionHistory::setCurrent (const Snapshot& snapshot)
{
    current = snapshot;
    hasCurrent = true;
}

void SectionHistory::trimToDepth (std::vector<Snapshot>& stack)
{
    // Every push is followed by one call, so one removal keeps the stack within its depth.
    if ((int) stack.size() > maxDepth)
        stack.erase (stack.begin());
}
