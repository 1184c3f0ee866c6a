#pragma once
// Pieces shared by the device benchmarks: a clock that really pauses and sums what it was
// asked for, and a main-window stand-in that always has a matched keyboard present.
#include <atomic>
#include <cstdint>

#include "app/WorkerHost.h"
#include "device/PauseClock.h"

namespace devbench {

constexpr int kFamily = 201;

class SummingClock : public IPauseClock {
public:
    void Pause(unsigned ms) override
    {
        total += ms;
        SystemPauseClock().Pause(ms);
    }
    uint64_t NowMs() override { return SystemPauseClock().NowMs(); }
    std::atomic<uint64_t> total{0};
};

class BenchHost : public IWorkerHost {
public:
    bool DevicePresent() override { return true; }
    bool DeviceMatched() override { return true; }
    int DeviceFamily() override { return kFamily; }
    int CurrentTab() override { return 0; }
    unsigned LightFlags() override { return 0; }
    unsigned PageSet() override { return 0; }
    void ScanAndRefreshDevices(WorkerTask) override {}
    void StartMusicCapturePaused() override {}
    void ReloadMacroList() override {}
    void ReloadProfileList() override {}
    void ReloadLightingPage() override {}
    void EnableMainWindow(bool) override {}
    void PostWaitTicketDone(WaitTicket) override {}
};

} // namespace devbench
