#pragma once
#include <vector>

#include "UITypes.h"

class MControl;

// The two child lists of everything that owns controls (a control, a panel, a window's
// paint manager): areas, drawn first and never given mouse input, and controls, drawn above
// them. Each list has its own lock, taken around every iteration, insertion and removal;
// one call never holds both. The owner derives from this class so that it and its
// subclasses reach the lists by name.
//
// The lists hold the children; the owner deletes them (MControl::DeleteControl) after
// taking them out. Any thread may call these (the periodic tick walks the lists too).
class ZUNTUI_API MChildLists {
public:
    MChildLists() = default;
    MChildLists(const MChildLists&) = delete;
    MChildLists& operator=(const MChildLists&) = delete;

protected:
    // Appends a child to the areas (kind 0) or to the controls (any other kind).
    void AddChild(MControl* child, UINT kind);
    // Takes a child out of the controls, else out of the areas; false when it is in neither.
    bool EraseChild(MControl* child);
    // Depth first, controls before areas: a child with the id, else a match in its subtree.
    MControl* FindChild(UINT id);
    // Copies of both lists, controls first, for walks that must not hold a lock.
    std::vector<MControl*> SnapshotChildren();
    // Empties the areas (kind 0) or the controls and hands over what they held.
    std::vector<MControl*> TakeChildren(UINT kind);

    std::vector<MControl*> m_areas;
    std::vector<MControl*> m_controls;
    MLock m_areasLock;
    MLock m_controlsLock;
};
