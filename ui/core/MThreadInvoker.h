#pragma once
#include <windows.h>

#include <deque>
#include <functional>

#include "UITypes.h"

// Runs work on one thread (the thread that constructed the invoker, normally a window's
// thread) on behalf of any other thread. Work is queued and the owner thread is woken
// through a message-only window, so it runs from that thread's message loop.
//
// Controls use it where another thread calls in (the periodic tick runs on the multimedia
// timer thread): the caller posts, and the control's state changes on the window thread.
class ZUNTUI_API MThreadInvoker {
public:
    // Binds to the calling thread and creates the message-only window there.
    MThreadInvoker();
    // On the owner thread. Work still queued is dropped.
    ~MThreadInvoker();
    MThreadInvoker(const MThreadInvoker&) = delete;
    MThreadInvoker& operator=(const MThreadInvoker&) = delete;

    // True on the thread the invoker belongs to. Any thread.
    bool IsOwnerThread() const { return GetCurrentThreadId() == m_thread; }
    // Queues `work` for the owner thread. Any thread; false when the owner thread cannot
    // be woken (its window is gone), and then the work is dropped.
    bool Post(std::function<void()> work);
    // Runs the queued work now, in order. Owner thread only (called by the window).
    void RunPending();
    // Number of queued pieces of work. Any thread.
    size_t PendingCount();

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

    DWORD m_thread;
    HWND m_hwnd = nullptr; // message-only window, owned; destroyed by the destructor
    MLock m_lock;          // guards m_queue
    std::deque<std::function<void()>> m_queue;
};
