#pragma once
// A pause clock for tests: records every pause and advances a virtual time instead of
// sleeping, so protocol timing is checked exactly and instantly.
#include <cstdint>
#include <mutex>
#include <vector>

#include "device/PauseClock.h"

namespace testsupport {

class RecordingClock : public IPauseClock {
public:
    void Pause(unsigned milliseconds) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pauses_.push_back(milliseconds);
        now_ += milliseconds;
    }
    uint64_t NowMs() override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return now_;
    }
    std::vector<unsigned> Pauses()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return pauses_;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pauses_.clear();
        now_ = 0;
    }

private:
    std::mutex mutex_;
    std::vector<unsigned> pauses_;
    uint64_t now_ = 0;
};

// Installs a clock for its lifetime.
class ScopedPauseClock {
public:
    explicit ScopedPauseClock(IPauseClock* clock) : previous_(SetPauseClock(clock)) {}
    ~ScopedPauseClock() { SetPauseClock(previous_); }
    ScopedPauseClock(const ScopedPauseClock&) = delete;
    ScopedPauseClock& operator=(const ScopedPauseClock&) = delete;

private:
    IPauseClock* previous_;
};

} // namespace testsupport
