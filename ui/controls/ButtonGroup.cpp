#include "ButtonGroup.h"

#include <cwchar>
#include <vector>

#include "PaintManager.h"

int ForEachGroupMember(MControl* self, const wchar_t* className, const std::function<void(MControl*)>& visit)
{
    MObject* owner = self ? self->GetParantObject() : nullptr;
    if (!owner)
        return 0;
    std::vector<MControl*> members;
    const wchar_t* ownerClass = owner->GetClassName();
    if (ownerClass && wcscmp(ownerClass, L"MDialog") == 0) {
        PaintManager* pm = self->GetManager();
        if (!pm)
            return 0;
        MAutoLock guard(pm->GetControlsLock());
        members = pm->GetControls();
    } else if (auto* parent = dynamic_cast<MControl*>(owner)) {
        MAutoLock guard(parent->GetControlsLock());
        members = parent->GetControls();
    }
    for (MControl* c : members)
        if (c != self && c->IsClass(className))
            visit(c);
    return 1;
}
