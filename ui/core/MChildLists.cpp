#include "MChildLists.h"

#include "MControl.h"

void MChildLists::AddChild(MControl* child, UINT kind)
{
    if (!child)
        return;
    if (kind == 0) {
        MAutoLock guard(m_areasLock);
        m_areas.push_back(child);
    } else {
        MAutoLock guard(m_controlsLock);
        m_controls.push_back(child);
    }
}

bool MChildLists::EraseChild(MControl* child)
{
    return EraseUnderLock(m_controlsLock, m_controls, child) || EraseUnderLock(m_areasLock, m_areas, child);
}

MControl* MChildLists::FindChild(UINT id)
{
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<MControl*>& list = pass == 0 ? m_controls : m_areas;
        // A child's own lists are taken inside this lock: locks are only ever taken
        // downwards, from owner to child.
        MAutoLock guard(pass == 0 ? m_controlsLock : m_areasLock);
        for (size_t i = 0; i < list.size(); ++i) {
            MControl* c = list[i];
            if (c->GetControlID() == id)
                return c;
            if (MControl* found = c->GetControl(id))
                return found;
        }
    }
    return nullptr;
}

std::vector<MControl*> MChildLists::SnapshotChildren()
{
    std::vector<MControl*> children;
    {
        MAutoLock guard(m_controlsLock);
        children = m_controls;
    }
    MAutoLock guard(m_areasLock);
    children.insert(children.end(), m_areas.begin(), m_areas.end());
    return children;
}

std::vector<MControl*> MChildLists::TakeChildren(UINT kind)
{
    std::vector<MControl*> taken;
    MAutoLock guard(kind == 0 ? m_areasLock : m_controlsLock);
    taken.swap(kind == 0 ? m_areas : m_controls);
    return taken;
}
