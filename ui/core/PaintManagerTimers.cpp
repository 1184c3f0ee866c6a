// Timers of the paint manager: the periodic control tick (multimedia timer thread) and the
// per-control window timers with their dispatch, next to the manager's own window timers.
#include "PaintManager.h"

#include <algorithm>

namespace {

bool IsReservedTimerId(UINT id)
{
    return id == 0 || id == PM_TIMER_BANNER_HOLD || id == PM_TIMER_BANNER_FADE || id == PM_TIMER_PROGRESS ||
           id == PM_TIMER_CARET;
}

} // namespace

// ---------------------------------------------------------------- periodic timer

// The periodic timer is created paused: its system timer runs only while a registered
// control has the run-timer flag, so an idle window costs nothing between messages.
UINT PaintManager::SetMTimer(UINT periodMs)
{
    m_tickStopped = 0;
    const UINT previous = m_periodicId;
    m_periodicId = AddTimer(periodMs, L"", 0, false);
    if (previous)
        PauseTimer(previous); // replaced: its ticks would be ignored anyway
    RefreshPeriodicTick();
    return m_periodicId;
}

void PaintManager::AddMTimer(MControl* control)
{
    if (!control)
        return;
    {
        MAutoLock guard(m_timerControlsLock);
        if (std::find(m_timerControls.begin(), m_timerControls.end(), control) != m_timerControls.end())
            return;
        m_timerControls.push_back(control);
    }
    RefreshPeriodicTick();
}

void PaintManager::DeleteFSTimer(MControl* control)
{
    {
        MAutoLock guard(m_timerControlsLock);
        auto it = std::find(m_timerControls.begin(), m_timerControls.end(), control);
        if (it == m_timerControls.end())
            return;
        m_timerControls.erase(it);
    }
    RefreshPeriodicTick();
}

bool PaintManager::IsPeriodicTickRunning() { return m_periodicId && IsTimerTicking(m_periodicId); }

bool PaintManager::PeriodicTickWanted()
{
    if (m_tickStopped.load())
        return false;
    MAutoLock guard(m_timerControlsLock);
    for (MControl* c : m_timerControls)
        if (c->IsRunTimer())
            return true;
    return false;
}

void PaintManager::RefreshPeriodicTick()
{
    // Never waits: the thread that holds the switch re-evaluates for everybody who asked
    // meanwhile. Waiting could deadlock, since pausing waits for a running tick, and a
    // tick may itself ask (a control that stops its animation).
    m_tickRecheck = true;
    while (m_tickRecheck.load()) {
        if (!m_tickSwitch.try_lock())
            return;
        while (m_tickRecheck.exchange(false)) {
            const UINT id = m_periodicId;
            if (!id)
                break;
            if (PeriodicTickWanted())
                ResumeTimer(id);
            else
                PauseTimer(id);
        }
        m_tickSwitch.unlock();
    }
}

int PaintManager::IsMTimerControl(MControl* control)
{
    MAutoLock guard(m_timerControlsLock);
    return std::find(m_timerControls.begin(), m_timerControls.end(), control) != m_timerControls.end() ? 1 : 0;
}

void PaintManager::OnMTimer(UINT id)
{
    ++m_inTick;
    if (m_tickStopped.load() || id != m_periodicId) {
        --m_inTick;
        return;
    }
    std::vector<MControl*> snapshot;
    {
        MAutoLock guard(m_timerControlsLock);
        snapshot = m_timerControls;
    }
    for (MControl* c : snapshot) {
        {
            MAutoLock guard(m_timerControlsLock);
            if (m_tickStopped.load() ||
                std::find(m_timerControls.begin(), m_timerControls.end(), c) == m_timerControls.end())
                continue; // removed meanwhile
            m_ticking = c;
        }
        if (c->IsRunTimer() && c->IsVisible() && c->IsParentVisible())
            c->OnTimer();
        MAutoLock guard(m_timerControlsLock);
        m_ticking = nullptr;
    }
    // Stops the tick once no control wants it, also when a flag was cleared directly.
    RefreshPeriodicTick();
    --m_inTick;
}

// ---------------------------------------------------------------- control window timers

int PaintManager::SetTimer(MControl* control, UINT key, UINT elapseMs)
{
    if (!control || !m_hwnd || !IsWindow(m_hwnd))
        return 0;
    MAutoLock guard(m_recordsLock);
    for (TimerRecord& r : m_records) {
        if (r.hwnd == m_hwnd && r.control == control && r.key == key) {
            if (!r.killed)
                return 0;
            if (!::SetTimer(m_hwnd, r.timerId, elapseMs, nullptr))
                return 0;
            r.killed = 0;
            return 1;
        }
    }
    UINT id = 0;
    for (int tries = 0; tries < 240 && !id; ++tries) {
        m_lastTimerId = (m_lastTimerId + 1) % 240;
        const UINT candidate = m_lastTimerId;
        if (IsReservedTimerId(candidate))
            continue;
        bool used = false;
        for (const TimerRecord& r : m_records)
            used = used || (r.hwnd == m_hwnd && r.timerId == candidate);
        if (!used)
            id = candidate;
    }
    if (!id || !::SetTimer(m_hwnd, id, elapseMs, nullptr))
        return 0;
    m_records.push_back(TimerRecord{m_hwnd, key, id, 0, control});
    return 1;
}

int PaintManager::KillTimer(MControl* control, UINT key)
{
    MAutoLock guard(m_recordsLock);
    for (TimerRecord& r : m_records) {
        if (r.control == control && r.key == key && r.hwnd == m_hwnd && !r.killed) {
            ::KillTimer(r.hwnd, r.timerId);
            r.killed = 1;
            return 1;
        }
    }
    return 0;
}

int PaintManager::KillTimer(MControl* control)
{
    MAutoLock guard(m_recordsLock);
    int any = 0;
    for (size_t i = m_records.size(); i-- > 0;) {
        TimerRecord& r = m_records[i];
        if (r.control != control)
            continue;
        if (!r.killed && r.hwnd && IsWindow(r.hwnd))
            ::KillTimer(r.hwnd, r.timerId);
        m_records.erase(m_records.begin() + static_cast<std::ptrdiff_t>(i));
        any = 1;
    }
    return any;
}

void PaintManager::ClearTimers()
{
    MAutoLock guard(m_recordsLock);
    for (const TimerRecord& r : m_records)
        if (!r.killed && r.hwnd && IsWindow(r.hwnd))
            ::KillTimer(r.hwnd, r.timerId);
    m_records.clear();
}

UINT PaintManager::GetTimerID(MControl* control, UINT key)
{
    MAutoLock guard(m_recordsLock);
    for (const TimerRecord& r : m_records)
        if (r.control == control && r.key == key && r.hwnd == m_hwnd)
            return r.timerId;
    return 0;
}

void PaintManager::OnTimerMessage(UINT id)
{
    switch (id) {
    case PM_TIMER_CARET:
        InvalidateRect(m_caretRect, 0);
        m_caretBlink = !m_caretBlink;
        return;
    case PM_TIMER_BANNER_HOLD:
        ::KillTimer(m_hwnd, PM_TIMER_BANNER_HOLD);
        ::SetTimer(m_hwnd, PM_TIMER_BANNER_FADE, 50, nullptr);
        return;
    case PM_TIMER_BANNER_FADE:
        OnBannerFadeStep();
        return;
    case PM_TIMER_PROGRESS:
        OnProgressStep();
        return;
    default:
        break;
    }
    std::vector<MControl*> due;
    {
        MAutoLock guard(m_recordsLock);
        for (const TimerRecord& r : m_records)
            if (r.hwnd == m_hwnd && r.timerId == id && !r.killed)
                due.push_back(r.control);
    }
    for (MControl* c : due) {
        bool live = false;
        {
            MAutoLock guard(m_recordsLock);
            for (const TimerRecord& r : m_records)
                live = live || (r.control == c && r.timerId == id && !r.killed);
        }
        if (live) // an earlier tick may have stopped or removed it
            c->OnTimer();
    }
}
