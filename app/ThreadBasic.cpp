#include "app/ThreadBasic.h"

#include <process.h>

CThreadBasic::CThreadBasic() = default;

CThreadBasic::~CThreadBasic()
{
    Stop();
    if (doneEvent_)
        CloseHandle(doneEvent_);
}

int CThreadBasic::Start()
{
    if (running_.load())
        return 0;
    if (thread_) {
        // A thread that ended by itself (loop flag 0): reap it before starting anew.
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    period_ = 16;
    loop_ = 1;
    startTick_ = GetTickCount();
    if (doneEvent_)
        CloseHandle(doneEvent_);
    doneEvent_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    running_ = 1;
    thread_ = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &CThreadBasic::ThreadProc, this, 0, nullptr));
    if (!thread_) {
        running_ = 0;
        return 0;
    }
    return 1;
}

void CThreadBasic::Stop()
{
    running_ = 0;
    if (!thread_)
        return;
    if (GetThreadId(thread_) == GetCurrentThreadId())
        return; // called by the routine itself: the thread ends after this call
    for (;;) {
        const DWORD r = MsgWaitForMultipleObjects(1, &thread_, FALSE, INFINITE, QS_SENDMESSAGE);
        if (r != WAIT_OBJECT_0 + 1)
            break;
        // Delivers the messages sent to this thread; posted ones stay queued.
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(thread_);
    thread_ = nullptr;
}

unsigned __stdcall CThreadBasic::ThreadProc(void* self)
{
    auto* t = static_cast<CThreadBasic*>(self);
    while (t->running_.load()) {
        t->ThreadRoutine();
        if (!t->loop_.load())
            break;
        Sleep(static_cast<DWORD>(t->period_));
    }
    t->running_ = 0;
    SetEvent(t->doneEvent_);
    return t->startTick_;
}
