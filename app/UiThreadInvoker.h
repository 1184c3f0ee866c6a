#pragma once
#include <windows.h>

#include <functional>

// Runs calls on the thread that created it. From another thread a call is handed over
// with SendMessageW to a message-only window and the caller waits until it has run there;
// on the owner thread it runs at once. Calls made by one thread therefore run on the
// owner thread in the order they were made. The main window uses it to apply the control
// changes the worker asks for.
class UiThreadInvoker {
public:
    UiThreadInvoker();
    ~UiThreadInvoker();
    UiThreadInvoker(const UiThreadInvoker&) = delete;
    UiThreadInvoker& operator=(const UiThreadInvoker&) = delete;

    // False when the call could not be handed over (no window); the call did not run.
    bool Invoke(const std::function<void()>& call);
    DWORD OwnerThread() const { return ownerThread_; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

    HWND window_ = nullptr;
    DWORD ownerThread_ = 0;
};
