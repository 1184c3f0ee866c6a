#pragma once
#include <windows.h>

#include <atomic>

// A background thread that calls its routine every period (16 ms) until stopped. The main
// window derives from it and supplies the routine.
class CThreadBasic {
public:
    CThreadBasic();
    // Stops the thread. A derived class whose routine uses its own members must call Stop
    // in its own destructor, before those members go.
    virtual ~CThreadBasic();
    CThreadBasic(const CThreadBasic&) = delete;
    CThreadBasic& operator=(const CThreadBasic&) = delete;

    // 0 when the thread already runs. Otherwise sets the period to 16 ms and the loop flag,
    // records the start tick, creates the done event and starts the thread: 1.
    int Start();

    // Clears the running flag and waits for the thread to end. While it waits, messages
    // that other threads send to this thread's windows are still delivered, so a routine
    // that is handing a call to this thread with SendMessageW finishes instead of
    // deadlocking.
    void Stop();

    bool IsRunning() const { return running_.load() != 0; }
    // Loop flag: 1 calls the routine again after each period; 0 ends the thread after the
    // call in progress.
    void SetLoop(bool loop) { loop_ = loop ? 1 : 0; }
    int Period() const { return period_; }
    DWORD StartTick() const { return startTick_; }
    // Manual-reset event, signalled when the thread procedure has ended.
    HANDLE DoneEvent() const { return doneEvent_; }

protected:
    virtual void ThreadRoutine() = 0;

private:
    static unsigned __stdcall ThreadProc(void* self);

    HANDLE doneEvent_ = nullptr;
    std::atomic<int> running_{0};
    std::atomic<int> loop_{0};
    int period_ = 16;
    DWORD startTick_ = 0;
    HANDLE thread_ = nullptr;
};
