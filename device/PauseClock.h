#pragma once
#include <cstdint>

// Every protocol pause of the device link and the worker goes through Pause(). The program
// sleeps for real (the worker raises the timer resolution to 1 ms around its tasks); tests
// install a clock that records the pauses and advances a virtual time instead.
class IPauseClock {
public:
    virtual ~IPauseClock() = default;
    virtual void Pause(unsigned milliseconds) = 0;
    // Monotonic milliseconds (any origin): the time stamps of the HID trace.
    virtual uint64_t NowMs() = 0;
};

// The real clock: Sleep, corrected against the performance counter so that a pause ends
// close to its deadline instead of up to a scheduler tick late.
IPauseClock& SystemPauseClock();

// Installs a clock for the whole process; nullptr restores the system clock. Returns the
// clock that was installed before.
IPauseClock* SetPauseClock(IPauseClock* clock);

IPauseClock& CurrentPauseClock();

// Pauses the calling thread through the installed clock.
void Pause(unsigned milliseconds);

// Raises the system timer resolution to 1 ms for its lifetime (timeBeginPeriod(1) and
// timeEndPeriod(1)).
class TimerResolution1ms {
public:
    TimerResolution1ms();
    ~TimerResolution1ms();
    TimerResolution1ms(const TimerResolution1ms&) = delete;
    TimerResolution1ms& operator=(const TimerResolution1ms&) = delete;

private:
    bool raised_;
};
