// Device link timing with real pauses against the virtual keyboard:
//   worker_latency   how long after a push the task's first report goes out
//   profile_upload   wall time of a full key upload over the sum of its mandatory pauses
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "app/WorkerRoutine.h"
#include "device/DeviceLink.h"
#include "device/KeyboardProtocol.h"
#include "device/PauseClock.h"
#include "device/VirtualKeyboard.h"
#include "support/Bench.h"
#include "DeviceBenchSupport.h"

namespace {

using devbench::kFamily;

std::shared_ptr<VirtualKeyboard> WiredKeyboard()
{
    auto k = std::make_shared<VirtualKeyboard>();
    k->AddConnection(VirtualConnection::Wired, {0xFFF1, 0x0201, kFamily});
    return k;
}

void Prepare(DeviceLink& link)
{
    link.AddSupportedDevice(0xFFF1, 0x0201, L"", kFamily, 0);
    link.Rescan();
    link.SetCurrentDeviceType(kFamily);
}

// Forwards to the keyboard and notes when each feature report went out.
class TimedBackend : public IHidBackend {
public:
    explicit TimedBackend(std::shared_ptr<IHidBackend> inner) : inner_(std::move(inner)) {}
    std::atomic<double> lastFeatureSet{0};

    std::vector<HidDeviceInfo> Enumerate() override { return inner_->Enumerate(); }
    HidHandle Open(const std::string& path) override { return inner_->Open(path); }
    void Close(HidHandle h) override { inner_->Close(h); }
    int Write(HidHandle h, const uint8_t* d, size_t n) override { return inner_->Write(h, d, n); }
    int SendFeature(HidHandle h, const uint8_t* d, size_t n) override
    {
        lastFeatureSet = bench::Now();
        return inner_->SendFeature(h, d, n);
    }
    int GetFeature(HidHandle h, uint8_t* d, size_t n) override { return inner_->GetFeature(h, d, n); }

private:
    std::shared_ptr<IHidBackend> inner_;
};

using devbench::BenchHost;
using devbench::SummingClock;

class BenchDevice : public IDeviceTasks {
public:
    explicit BenchDevice(DeviceLink& link) : link_(link) {}
    std::atomic<double> taskStart{0};
    void ApplyLighting(int) override
    {
        taskStart = bench::Now();
        protocol::LightingSettings s;
        s.mode = 2;
        protocol::SendLighting(link_, s, kConnectionWired);
    }
    void ReconcileAssignments() override {}
    void ApplyKeys(int) override {}
    void ApplyKeyColours() override {}
    void FactoryReset(int) override {}
    void SendLiveFrame() override {}
    void CheckSoftwareUpdate() override {}
    void CheckFirmwareUpdate() override {}
    void DownloadSoftware() override {}
    void DownloadFirmware() override {}

private:
    DeviceLink& link_;
};

struct Stats {
    double mean = 0;
    double max = 0;
};

Stats Summarise(const std::vector<double>& v)
{
    Stats s;
    for (double x : v) {
        s.mean += x;
        s.max = std::max(s.max, x);
    }
    if (!v.empty())
        s.mean /= static_cast<double>(v.size());
    return s;
}

} // namespace

TASTRO_BENCH(worker_latency)
{
    auto timed = std::make_shared<TimedBackend>(WiredKeyboard());
    DeviceLink link(timed);
    Prepare(link);
    BenchHost host;
    BenchDevice device(link);
    TaskQueue queue;
    WorkerRoutine routine(queue, host, device);
    TaskWorker worker(routine);
    worker.Start();

    TimerResolution1ms resolution;
    const int rounds = 40;
    std::vector<double> toStart, toReport;
    for (int i = 0; i < rounds; ++i) {
        Sleep(static_cast<DWORD>(7 * i % 17)); // spread the pushes over the worker's period
        const double pushed = bench::Now();
        const WaitTicket ticket = queue.PushWithTicket(WorkerTask::ApplyLighting);
        while (!queue.IsTicketDone(ticket))
            Sleep(1);
        toStart.push_back((device.taskStart - pushed) * 1000.0);
        // The report itself waits its mandatory 16 ms; the rest is the worker's delay.
        toReport.push_back((timed->lastFeatureSet - pushed) * 1000.0 - 16.0);
        while (!queue.Empty())
            Sleep(1);
    }
    worker.Stop();
    const Stats start = Summarise(toStart);
    const Stats report = Summarise(toReport);
    bench::Report("push to task start, mean", start.mean, "ms");
    bench::Report("push to task start, max", start.max, "ms");
    bench::Report("push to first report less its 16 ms pause, mean", report.mean, "ms");
    bench::Report("push to first report less its 16 ms pause, max", report.max, "ms (goal <= 16)");
}

TASTRO_BENCH(sleep_16ms)
{
    // What the worker's period costs on this machine: Sleep(16) as the thread loop makes it.
    for (bool raised : {false, true}) {
        std::unique_ptr<TimerResolution1ms> resolution;
        if (raised)
            resolution = std::make_unique<TimerResolution1ms>();
        std::vector<double> v;
        for (int i = 0; i < 60; ++i) {
            const double t = bench::Now();
            Sleep(16);
            v.push_back((bench::Now() - t) * 1000.0);
        }
        const Stats s = Summarise(v);
        bench::Report(raised ? "Sleep(16) at 1 ms resolution, mean" : "Sleep(16), mean", s.mean, "ms");
        bench::Report(raised ? "Sleep(16) at 1 ms resolution, max" : "Sleep(16), max", s.max, "ms");
    }
}

TASTRO_BENCH(profile_upload)
{
    // A full upload of the main command set as the key task makes it: the slot table, a
    // freeing report for every occupied slot, then 13 macros and 10 remaps, 16 ms between
    // keys. The keyboard starts with every slot taken.
    auto keyboard = WiredKeyboard();
    DeviceLink link(keyboard);
    Prepare(link);
    SummingClock clock;
    IPauseClock* previous = SetPauseClock(&clock);
    TimerResolution1ms resolution;

    std::vector<protocol::MacroEvent> events;
    for (int i = 0; i < 40; ++i)
        events.push_back({i % 2 ? protocol::kEventRelease : protocol::kEventPress, 'A' + i / 2, 30});
    const protocol::StoredMacro macro{true, 1, events};
    const protocol::KeyAssignment remap{2, 0x05};
    auto upload = [&] {
        protocol::SlotTable table;
        protocol::ReadSlotTable(link, table);
        for (int s = 1; s <= protocol::kMacroSlots; ++s) {
            if (table.macroKeys[s - 1]) {
                Pause(16);
                protocol::SendMacroSlot(link, table.macroKeys[s - 1], s, protocol::kKindNone, 0, nullptr);
            }
        }
        for (int s = 1; s <= protocol::kRemapSlots; ++s) {
            if (table.remapKeys[s - 1]) {
                Pause(16);
                protocol::SendRemapSlot(link, 0, s, nullptr);
            }
        }
        for (int s = 1; s <= protocol::kMacroSlots; ++s) {
            Pause(16);
            protocol::SendMacroSlot(link, 0x10 + s, s, protocol::kKindMacro, s, &macro);
        }
        for (int s = 1; s <= protocol::kRemapSlots; ++s) {
            Pause(16);
            protocol::SendRemapSlot(link, 0x40 + s, s, &remap);
        }
    };
    upload(); // fills every slot
    clock.total = 0;
    keyboard->ClearTransfers();
    const double start = bench::Now();
    upload();
    const double wall = (bench::Now() - start) * 1000.0;
    SetPauseClock(previous);

    const double pauses = static_cast<double>(clock.total.load());
    bench::Report("transfers", static_cast<double>(keyboard->Transfers().size()), "");
    bench::Report("wall time", wall, "ms");
    bench::Report("sum of mandatory pauses", pauses, "ms");
    bench::Report("wall time / pauses", wall / pauses, "(goal <= 1.05)");
}
