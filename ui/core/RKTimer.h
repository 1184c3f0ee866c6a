#pragma once
#include <vector>

#include "UITypes.h"

// Owner of periodic multimedia timers. Ticks arrive on the system's timer thread and are
// handed to OnMTimer(id) (and, for timers started with the application flag, also to
// OnMTimer(id, name)). The first timer of the process fixes the timer resolution: the
// smallest the system supports, at least 1 ms.
//
// Timer ids are the owner's own, not the system's: a timer keeps its id while a subclass
// pauses it (the system timer is stopped) and resumes it. Every method may be called from
// any thread, including from a tick.
class ZUNTUI_API RKTimer {
public:
    RKTimer();
    virtual ~RKTimer();
    RKTimer(const RKTimer&) = delete;
    RKTimer& operator=(const RKTimer&) = delete;

    virtual void OnMTimer(UINT id, CString name);
    virtual void OnMTimer(UINT id);

    // Starts a periodic timer; returns its id, or 0 when the system refused.
    UINT SetTimer(UINT periodMs, const wchar_t* name, int applicationFlag);
    // Stops one timer of this owner and drops its entry; stops all of them without an id.
    void KillMTimer(UINT id);
    void KillMTimer();

    int GetTimerIsRun(UINT id);
    int GetTimerIsRun(const wchar_t* name);
    CString GetTimerName(UINT id);
    int IsAppTimer(UINT id);
    // The owner of a timer id among all owners of the process, or null.
    static RKTimer* GetFSTimer(UINT id);

    // The resolution chosen for the process (0 before the first timer).
    static UINT GetResolution();

protected:
    // Adds a timer that is paused (no system timer) unless `running`; returns its id, or 0
    // when a running timer could not be started.
    UINT AddTimer(UINT periodMs, const wchar_t* name, int applicationFlag, bool running);
    // Stops the system timer of a timer and keeps its entry; true when it was ticking.
    // A tick in progress finishes first (unless this is called from that tick).
    bool PauseTimer(UINT id);
    // Starts the system timer of a paused timer again; true when it is ticking afterwards.
    bool ResumeTimer(UINT id);
    bool IsTimerTicking(UINT id);

private:
    struct Entry {
        UINT id;       // ours, stable while paused
        UINT systemId; // the multimedia timer's, 0 while paused
        UINT periodMs;
        CString name;
        int application;
    };
    static void CALLBACK TimerProc(UINT id, UINT msg, DWORD_PTR user, DWORD_PTR dw1, DWORD_PTR dw2);
    // Called with the system's timer id.
    void Dispatch(UINT systemId);
    UINT StartSystemTimer(UINT periodMs);

    std::vector<Entry> m_entries;
    MLock m_entriesLock;

    static int s_resolutionSet;
    static UINT s_resolution;
};
