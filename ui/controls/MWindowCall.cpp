#include "MWindowCall.h"

#include "MControl.h"
#include "PaintManager.h"

namespace {

// One handed-over call; lives on the caller's stack while it waits.
struct PendingCall {
    const std::function<void()>* call;
    bool done;
};

// Marks the message as ours beyond its registered number.
const WPARAM kTag = 0x5A4C4331; // "ZLC1"

UINT CallMessage()
{
    static const UINT message = RegisterWindowMessageW(L"ZuntUI.WindowCall");
    return message;
}

} // namespace

void MWindowCall::Run(MControl* control, const std::function<void()>& call)
{
    PaintManager* manager = control ? control->GetManager() : nullptr;
    if (!manager || !manager->IsForeignThread() || !IsWindow(manager->GetPaintWnd())) {
        call();
        return;
    }
    PendingCall pending{&call, false};
    SendMessageW(manager->GetPaintWnd(), CallMessage(), kTag, reinterpret_cast<LPARAM>(&pending));
    // Nobody took it (the window is going away, or the control is not reachable from
    // the window): the window no longer paints the control, so the call runs here.
    if (!pending.done)
        call();
}

bool MWindowCall::Dispatch(UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (msg != CallMessage() || wparam != kTag || !lparam)
        return false;
    auto* pending = reinterpret_cast<PendingCall*>(lparam);
    if (pending->done)
        return true;
    pending->done = true;
    (*pending->call)();
    return true;
}
