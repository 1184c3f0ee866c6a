#pragma once
#include <windows.h>

#include <functional>

#include "UITypes.h"

class MControl;

// Hands a call to the thread of a control's window and waits for it to run there. The
// list controls use it for every operation that changes them, so that a worker filling a
// list (the page loads) changes it on the window's thread while the window may paint.
//
// From another thread the call travels as a message sent to the control's window; the
// window offers it to its controls (PaintManager routing), and the first list control
// reached runs it. On the window's thread, or for a control without a window, the call
// runs at once. Calls made by one thread run in the order they were made.
//
// The calling thread waits for the window's thread: a window thread that waits for that
// caller without pumping messages would deadlock, as with any SendMessage.
class ZUNTUI_API MWindowCall {
public:
    // Runs `call` on the window thread of `control`. Any thread.
    static void Run(MControl* control, const std::function<void()>& call);
    // Runs the call carried by a message that Run sent; true when `msg` was one. Called
    // by the list controls from OnWindowMessage, on the window's thread.
    static bool Dispatch(UINT msg, WPARAM wparam, LPARAM lparam);
};
