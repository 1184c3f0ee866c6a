#include "device/PauseClock.h"

#include <windows.h>
#include <mmsystem.h>

#include <atomic>

namespace {

class SystemClock final : public IPauseClock {
public:
    SystemClock()
    {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        frequency_ = f.QuadPart;
    }

    void Pause(unsigned milliseconds) override
    {
        if (milliseconds == 0)
            return;
        const int64_t deadline = Ticks() + static_cast<int64_t>(milliseconds) * frequency_ / 1000;
        // Sleep returns up to one scheduler tick late: sleep all but the last millisecond,
        // then yield until the deadline.
        if (milliseconds > 1)
            Sleep(milliseconds - 1);
        while (Ticks() < deadline) {
            if (!SwitchToThread())
                Sleep(0);
        }
    }

    uint64_t NowMs() override { return static_cast<uint64_t>(Ticks() * 1000 / frequency_); }

private:
    static int64_t Ticks()
    {
        LARGE_INTEGER t;
        QueryPerformanceCounter(&t);
        return t.QuadPart;
    }

    int64_t frequency_ = 1;
};

std::atomic<IPauseClock*> g_clock{nullptr};

} // namespace

IPauseClock& SystemPauseClock()
{
    static SystemClock clock;
    return clock;
}

IPauseClock* SetPauseClock(IPauseClock* clock)
{
    IPauseClock* previous = g_clock.exchange(clock);
    return previous ? previous : &SystemPauseClock();
}

IPauseClock& CurrentPauseClock()
{
    IPauseClock* clock = g_clock.load();
    return clock ? *clock : SystemPauseClock();
}

void Pause(unsigned milliseconds) { CurrentPauseClock().Pause(milliseconds); }

TimerResolution1ms::TimerResolution1ms() : raised_(timeBeginPeriod(1) == TIMERR_NOERROR) {}

TimerResolution1ms::~TimerResolution1ms()
{
    if (raised_)
        timeEndPeriod(1);
}
