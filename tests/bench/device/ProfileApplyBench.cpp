// A full profile (13 macros and 10 remaps) read from a profile database and applied by the
// real worker thread to the virtual keyboard, with real pauses:
//   profile_apply   wall time of the ApplyKeys task over the sum of the protocol's pauses
//                   inside it, and the time from the push to the task's end
#include <windows.h>

#include <atomic>
#include <memory>

#include "app/DeviceTasks.h"
#include "app/WorkerRoutine.h"
#include "device/DeviceLink.h"
#include "device/PauseClock.h"
#include "device/VirtualKeyboard.h"
#include "storage/DeviceDescription.h"
#include "storage/ProfileDatabase.h"
#include "support/Bench.h"
#include "DeviceBenchSupport.h"
#include "support/TestPaths.h"

namespace {

using devbench::kFamily;

using devbench::BenchHost;
using devbench::SummingClock;

// The device tasks, timing the key task and the pauses it asked for.
class TimedTasks : public DeviceTasks {
public:
    TimedTasks(ProfileDatabase& db, const ModelLayout& layout, DeviceLink& link, SummingClock& clock)
        : DeviceTasks(db, layout, link), clock_(clock)
    {
    }
    std::atomic<double> start{0}, end{0};
    std::atomic<uint64_t> pauses{0};

    void ApplyKeys(int family) override
    {
        const uint64_t before = clock_.total;
        start = bench::Now();
        DeviceTasks::ApplyKeys(family);
        end = bench::Now();
        pauses = clock_.total - before;
    }

private:
    SummingClock& clock_;
};

void FillProfile(ProfileDatabase& db, int profile)
{
    for (int m = 0; m < 13; ++m) {
        MacroRow macro;
        macro.name = L"Macro";
        macro.play_times = 1;
        const int id = db.AddMacroRow(macro);
        std::vector<MacroEventRow> events;
        for (int i = 0; i < 40; ++i) {
            MacroEventRow e;
            e.macro_id = id;
            e.type = i % 2 ? 3 : 2;
            e.record_index = i;
            e.value = 'A' + (i / 2) % 26;
            e.delay_time = 30;
            events.push_back(e);
        }
        db.AddMacroEvents(events);
        KeyMacroRow key;
        key.profile = profile;
        key.key_code = 0x04 + m;
        key.macro_type = kAssignMacro;
        key.macro_value = id;
        db.SetKeyAssignment(key);
    }
    for (int r = 0; r < 10; ++r) {
        KeyMacroRow key;
        key.profile = profile;
        key.key_code = 0x1E + r;
        key.macro_type = kAssignFunction;
        key.macro_value = 0x04 + r;
        db.SetKeyAssignment(key);
    }
}

} // namespace

TASTRO_BENCH(profile_apply)
{
    const std::wstring folder = testsupport::MakeTempFolder(L"tastro-bench");
    CreateDirectoryW((folder + L"\\db").c_str(), nullptr);
    {
        ProfileDatabase db;
        db.Open(folder + L"\\", L"Bench");
        ProfileRow row;
        row.name = L"Profile 1";
        const int profile = db.AddProfile(row);
        db.SetActiveProfile(profile);
        FillProfile(db, profile);

        auto keyboard = std::make_shared<VirtualKeyboard>();
        keyboard->AddConnection(VirtualConnection::Wired, {0xFFF1, 0x0201, kFamily});
        DeviceLink link(keyboard);
        link.AddSupportedDevice(0xFFF1, 0x0201, L"", kFamily, 0);
        link.Rescan();
        link.SetCurrentDeviceType(kFamily);

        SummingClock clock;
        IPauseClock* previous = SetPauseClock(&clock);
        ModelLayout layout;
        TimedTasks tasks(db, layout, link, clock);
        BenchHost host;
        TaskQueue queue;
        WorkerRoutine routine(queue, host, tasks);
        TaskWorker worker(routine);
        worker.Start();

        // The first application fills the keyboard's slots; the second, measured, first frees
        // them all, as applying a profile to a keyboard in use does.
        double pushToEnd = 0;
        for (int round = 0; round < 2; ++round) {
            keyboard->ClearTransfers();
            const double pushed = bench::Now();
            const WaitTicket ticket = queue.PushWithTicket(WorkerTask::ApplyKeys);
            while (!queue.IsTicketDone(ticket))
                Sleep(1);
            pushToEnd = (tasks.end - pushed) * 1000.0;
            while (!queue.Empty())
                Sleep(1);
        }
        worker.Stop();
        SetPauseClock(previous);

        const double wall = (tasks.end - tasks.start) * 1000.0;
        const double pauses = static_cast<double>(tasks.pauses.load());
        const VirtualFirmwareState state = keyboard->State();
        int filled = 0;
        for (uint8_t k : state.macroSlots)
            filled += k != 0;
        for (uint8_t k : state.remapSlots)
            filled += k != 0;
        bench::Report("slots filled", filled, "(of 23)");
        bench::Report("transfers of the measured application", static_cast<double>(keyboard->Transfers().size()), "");
        bench::Report("ApplyKeys wall time", wall, "ms");
        bench::Report("sum of mandatory pauses", pauses, "ms");
        bench::Report("wall time / pauses", wall / pauses, "(goal <= 1.05)");
        bench::Report("push to end of task", pushToEnd, "ms");
        db.Close();
    }
    testsupport::RemoveTree(folder);
}
