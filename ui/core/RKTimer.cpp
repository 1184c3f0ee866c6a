#include "RKTimer.h"

#include <mmsystem.h>

#include <algorithm>

int RKTimer::s_resolutionSet = 0;
UINT RKTimer::s_resolution = 0;

namespace {

// Every live owner, so that a tick can be checked against owners that went away.
MLock& OwnersLock()
{
    static MLock lock;
    return lock;
}

std::vector<RKTimer*>& Owners()
{
    static std::vector<RKTimer*> owners;
    return owners;
}

} // namespace

RKTimer::RKTimer()
{
    MAutoLock guard(OwnersLock());
    Owners().push_back(this);
}

RKTimer::~RKTimer()
{
    KillMTimer();
    MAutoLock guard(OwnersLock());
    auto& owners = Owners();
    owners.erase(std::remove(owners.begin(), owners.end(), this), owners.end());
}

void RKTimer::OnMTimer(UINT, CString) {}

void RKTimer::OnMTimer(UINT) {}

UINT RKTimer::GetResolution() { return s_resolution; }

UINT RKTimer::SetTimer(UINT periodMs, const wchar_t* name, int applicationFlag)
{
    {
        MAutoLock guard(OwnersLock());
        if (!s_resolutionSet) {
            TIMECAPS caps = {};
            UINT res = 1;
            if (timeGetDevCaps(&caps, sizeof(caps)) == TIMERR_NOERROR)
                res = std::min(std::max(caps.wPeriodMin, 1u), std::max(caps.wPeriodMax, 1u));
            timeBeginPeriod(res);
            s_resolution = res;
            s_resolutionSet = 1;
        }
    }
    if (periodMs == 0)
        periodMs = 1;
    // TIME_KILL_SYNCHRONOUS: no tick starts after timeKillEvent has returned.
    UINT id = timeSetEvent(periodMs, s_resolution, TimerProc, reinterpret_cast<DWORD_PTR>(this),
                           TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
    if (!id)
        return 0;
    MAutoLock guard(m_entriesLock);
    m_entries.push_back(Entry{id, CString(name), applicationFlag});
    return id;
}

void RKTimer::KillMTimer(UINT id)
{
    bool found = false;
    {
        MAutoLock guard(m_entriesLock);
        for (size_t i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].id == id) {
                m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(i));
                found = true;
                break;
            }
        }
    }
    // Stopped outside the entry lock: a tick in progress may need it.
    if (found)
        timeKillEvent(id);
}

void RKTimer::KillMTimer()
{
    std::vector<Entry> entries;
    {
        MAutoLock guard(m_entriesLock);
        entries.swap(m_entries);
    }
    for (const Entry& e : entries)
        timeKillEvent(e.id);
}

int RKTimer::GetTimerIsRun(UINT id)
{
    MAutoLock guard(m_entriesLock);
    for (const Entry& e : m_entries)
        if (e.id == id)
            return 1;
    return 0;
}

int RKTimer::GetTimerIsRun(const wchar_t* name)
{
    MAutoLock guard(m_entriesLock);
    for (const Entry& e : m_entries)
        if (e.name.Compare(name) == 0)
            return 1;
    return 0;
}

CString RKTimer::GetTimerName(UINT id)
{
    MAutoLock guard(m_entriesLock);
    for (const Entry& e : m_entries)
        if (e.id == id)
            return e.name;
    return CString();
}

int RKTimer::IsAppTimer(UINT id)
{
    MAutoLock guard(m_entriesLock);
    for (const Entry& e : m_entries)
        if (e.id == id)
            return e.application;
    return 0;
}

RKTimer* RKTimer::GetFSTimer(UINT id)
{
    MAutoLock guard(OwnersLock());
    for (RKTimer* owner : Owners())
        if (owner->GetTimerIsRun(id))
            return owner;
    return nullptr;
}

void CALLBACK RKTimer::TimerProc(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR)
{
    reinterpret_cast<RKTimer*>(user)->Dispatch(id);
}

void RKTimer::Dispatch(UINT id)
{
    int application = 0;
    CString name;
    {
        MAutoLock guard(m_entriesLock);
        bool live = false;
        for (const Entry& e : m_entries) {
            if (e.id == id) {
                live = true;
                application = e.application;
                if (application)
                    name = e.name;
                break;
            }
        }
        if (!live)
            return; // a late tick of a timer that is being stopped
    }
    OnMTimer(id);
    if (application)
        OnMTimer(id, name);
}
