#include "RKTimer.h"

#include <mmsystem.h>

#include <algorithm>
#include <atomic>

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

namespace {

// Ids handed out by every owner of the process; 0 is "no timer".
std::atomic<UINT> g_nextTimerId{1};

void EnsureResolution(int& set, UINT& resolution)
{
    MAutoLock guard(OwnersLock());
    if (set)
        return;
    TIMECAPS caps = {};
    UINT res = 1;
    if (timeGetDevCaps(&caps, sizeof(caps)) == TIMERR_NOERROR)
        res = std::min(std::max(caps.wPeriodMin, 1u), std::max(caps.wPeriodMax, 1u));
    timeBeginPeriod(res);
    resolution = res;
    set = 1;
}

} // namespace

UINT RKTimer::SetTimer(UINT periodMs, const wchar_t* name, int applicationFlag)
{
    return AddTimer(periodMs, name, applicationFlag, true);
}

UINT RKTimer::StartSystemTimer(UINT periodMs)
{
    // TIME_KILL_SYNCHRONOUS: no tick starts after timeKillEvent has returned.
    return timeSetEvent(periodMs, s_resolution, TimerProc, reinterpret_cast<DWORD_PTR>(this),
                        TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
}

UINT RKTimer::AddTimer(UINT periodMs, const wchar_t* name, int applicationFlag, bool running)
{
    EnsureResolution(s_resolutionSet, s_resolution);
    if (periodMs == 0)
        periodMs = 1;
    MAutoLock guard(m_entriesLock);
    UINT systemId = 0;
    if (running) {
        // Started under the entry lock: a first tick waits for the entry it belongs to.
        systemId = StartSystemTimer(periodMs);
        if (!systemId)
            return 0;
    }
    const UINT id = g_nextTimerId++;
    m_entries.push_back(Entry{id, systemId, periodMs, CString(name), applicationFlag});
    return id;
}

bool RKTimer::PauseTimer(UINT id)
{
    UINT systemId = 0;
    {
        MAutoLock guard(m_entriesLock);
        for (Entry& e : m_entries) {
            if (e.id == id) {
                systemId = e.systemId;
                e.systemId = 0;
                break;
            }
        }
    }
    // Stopped outside the entry lock: a tick in progress may need it.
    if (systemId)
        timeKillEvent(systemId);
    return systemId != 0;
}

bool RKTimer::ResumeTimer(UINT id)
{
    MAutoLock guard(m_entriesLock);
    for (Entry& e : m_entries) {
        if (e.id == id) {
            if (!e.systemId)
                e.systemId = StartSystemTimer(e.periodMs);
            return e.systemId != 0;
        }
    }
    return false;
}

bool RKTimer::IsTimerTicking(UINT id)
{
    MAutoLock guard(m_entriesLock);
    for (const Entry& e : m_entries)
        if (e.id == id)
            return e.systemId != 0;
    return false;
}

void RKTimer::KillMTimer(UINT id)
{
    UINT systemId = 0;
    {
        MAutoLock guard(m_entriesLock);
        for (size_t i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].id == id) {
                systemId = m_entries[i].systemId;
                m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(i));
                break;
            }
        }
    }
    // Stopped outside the entry lock: a tick in progress may need it.
    if (systemId)
        timeKillEvent(systemId);
}

void RKTimer::KillMTimer()
{
    std::vector<Entry> entries;
    {
        MAutoLock guard(m_entriesLock);
        entries.swap(m_entries);
    }
    for (const Entry& e : entries)
        if (e.systemId)
            timeKillEvent(e.systemId);
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

void RKTimer::Dispatch(UINT systemId)
{
    int application = 0;
    UINT id = 0;
    CString name;
    {
        MAutoLock guard(m_entriesLock);
        bool live = false;
        for (const Entry& e : m_entries) {
            if (e.systemId == systemId) {
                live = true;
                id = e.id;
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
