// The worker thread end to end with the presence steps, the device tasks, a real profile
// database and the virtual keyboard (under the recording clock, so protocol pauses cost
// nothing): after Startup, ReadAll, ApplyKeys and ApplyLighting the keyboard holds what the
// database holds.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

#include "app/DevicePresence.h"
#include "app/WorkerRoutine.h"
#include "DeviceTasksFixture.h"

using namespace devicetest;
using namespace protocol;

namespace {

// The main window's part, reduced to what the tasks need: presence from the presence
// steps, the device family of the selected model, and the page reloads recorded (the
// profile list load makes the active profile the current one).
class PresenceHost : public IWorkerHost, public IDeviceRefreshView, public IDeviceListView {
public:
    explicit PresenceHost(TasksRig& rig) : rig_(rig) {}
    DevicePresence* presence = nullptr;
    std::mutex mutex;
    std::vector<std::string> calls;

    void Note(const std::string& call)
    {
        std::lock_guard<std::mutex> lock(mutex);
        calls.push_back(call);
    }

    bool DevicePresent() override { return presence->DevicePresent(); }
    bool DeviceMatched() override { return presence->DeviceMatched(); }
    int DeviceFamily() override { return testsupport::kMainFamily; }
    int CurrentTab() override { return 0; }
    unsigned LightFlags() override { return 0; }
    unsigned PageSet() override { return kPageKeyAssignment | kPageMacro | kPageLighting; }
    void ScanAndRefreshDevices(WorkerTask reason) override
    {
        presence->ScanAndRefresh(reason, DeviceFamily(), *this);
    }
    void StartMusicCapturePaused() override { Note("music capture"); }
    void ReloadMacroList() override { Note("macro list"); }
    void ReloadProfileList() override
    {
        Note("profile list");
        rig_.tasks.SetCurrentProfile(rig_.db.GetActiveProfile());
    }
    void ReloadLightingPage() override { Note("lighting page"); }
    void EnableMainWindow(bool) override {}
    void PostWaitTicketDone(WaitTicket) override {}

    void RefreshDevicePages(const DeviceState& state) override { Note(state.Shown() ? "shown" : "absent"); }
    void ResetAllState() override { Note("list reset"); }
    void SetDeviceState(int type, int state) override { Note("list " + std::to_string(type) + " " + std::to_string(state)); }

private:
    TasksRig& rig_;
};

std::vector<DeviceRecord> Records()
{
    std::vector<DeviceRecord> records;
    for (const SupportedDevice& d : testsupport::RigSupportedDevices()) {
        DeviceRecord r;
        r.deviceType = d.deviceType;
        r.connectionKind = d.connectionKind;
        r.vid = d.vid;
        r.pid = d.pid;
        records.push_back(r);
    }
    return records;
}

template <typename Pred> bool WaitFor(Pred done, DWORD timeoutMs = 10000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(5);
    }
    return true;
}

} // namespace

TEST(DeviceWorker, StartupReadAllApplyKeysApplyLightingLeaveTheKeyboardEqualToTheDatabase)
{
    TasksRig rig(VirtualConnection::Wired, /*scan=*/false);
    // The keyboard still holds an older state of this profile: A, D and B, C, plus a
    // stale key E; the database also has F, which the keyboard never received.
    rig.link.Rescan();
    rig.link.SetCurrentDeviceType(testsupport::kMainFamily);
    rig.Occupy({{1, kKeyA}, {2, kKeyD}, {3, kKeyE}}, {{1, kKeyB}, {2, kKeyC}});
    rig.link.CloseAll();

    const int macro = rig.AddMacro(2, {{kEventPress, 'X', 30}, {1, 0, 0}, {kEventRelease, 'X', 2000}});
    rig.Assign(kKeyA, kAssignMacro, macro);
    rig.Assign(kKeyB, kAssignFunction, 0x2C);
    rig.Assign(kKeyC, kAssignDisabled, 1);
    rig.Assign(kKeyD, kAssignShortcut, 4);
    rig.Assign(kKeyF, kAssignFunction, 0x2D);
    rig.AddLightMode(1, 4, 3, 2, 0, 0xFF);
    rig.AddLightMode(4, 3, 1, 2, 6, 0x00336699);
    rig.db.SetActiveLightMode(kLightingProfile, 4);

    std::vector<DeviceRecord> records = Records();
    TaskQueue queue;
    PresenceHost host(rig);
    DevicePresence presence(rig.link, records, queue, host);
    host.presence = &presence;
    WorkerRoutine routine(queue, host, rig.tasks);
    TaskWorker worker(routine);

    queue.Push(WorkerTask::Startup);
    ASSERT_EQ(worker.Start(), 1);
    // Startup's refresh queues the firmware check and ReadAll.
    ASSERT_TRUE(WaitFor([&] { return routine.StartupDone() && queue.Empty(); }));
    EXPECT_FALSE(rig.Assigned(kKeyF)); // ReadAll: not on the keyboard, so not assigned
    EXPECT_TRUE(rig.Assigned(kKeyA));

    const WaitTicket keys = queue.PushWithTicket(WorkerTask::ApplyKeys);
    const WaitTicket lighting = queue.PushWithTicket(WorkerTask::ApplyLighting);
    ASSERT_TRUE(WaitFor([&] { return queue.IsTicketDone(keys) && queue.IsTicketDone(lighting) && queue.Empty(); }));
    worker.Stop();

    {
        std::lock_guard<std::mutex> lock(host.mutex);
        EXPECT_EQ(host.calls, (std::vector<std::string>{"list reset", "list 201 1", "shown", "music capture",
                                                        "macro list", "profile list", "lighting page"}));
    }

    // Every stored assignment is in a slot of its kind, and nothing else is.
    const VirtualFirmwareState s = rig.keyboard->State();
    std::vector<KeyMacroRow> rows;
    rig.db.GetKeyAssignments(rig.profile, 0, rows);
    ASSERT_EQ(rows.size(), 4u);
    std::vector<int> macroKeys, remapKeys;
    for (const KeyMacroRow& row : rows) {
        SCOPED_TRACE(row.key_code);
        if (row.macro_type == kAssignMacro || row.macro_type == kAssignShortcut) {
            const int slot = static_cast<int>(macroKeys.size()) + 1;
            macroKeys.push_back(row.key_code);
            ASSERT_EQ(s.macroSlots[slot - 1], row.key_code);
            if (row.macro_type == kAssignShortcut) {
                EXPECT_EQ(s.macroPayloads[slot - 1], BuildShortcutPayload(slot, row.key_code, row.macro_value));
            }
        } else {
            const int slot = static_cast<int>(remapKeys.size()) + 1;
            remapKeys.push_back(row.key_code);
            ASSERT_EQ(s.remapSlots[slot - 1], row.key_code);
            EXPECT_EQ(s.remapTargets[slot - 1], row.macro_value);
        }
    }
    for (size_t i = macroKeys.size(); i < s.macroSlots.size(); ++i)
        EXPECT_EQ(s.macroSlots[i], 0) << "macro slot " << i + 1;
    for (size_t i = remapKeys.size(); i < s.remapSlots.size(); ++i)
        EXPECT_EQ(s.remapSlots[i], 0) << "remap slot " << i + 1;
    // The macro with its play count and its key events (the other event skipped).
    const uint8_t macroHead[] = {1, 1, kKeyA, 2, 0x1B, 0x03, 0x1B, 0xD4, 0};
    EXPECT_TRUE(std::equal(std::begin(macroHead), std::end(macroHead), s.macroPayloads[0].begin()));
    // The lighting of the active mode: 07 F7 03 06 99 66 02 33.
    EXPECT_TRUE(s.lightingSet);
    EXPECT_FALSE(s.lightingWireless);
    EXPECT_EQ(std::vector<int>(s.lighting.begin(), s.lighting.end()), (std::vector<int>{3, 6, 0x99, 0x66, 2, 0x33}));
    EXPECT_EQ(s.unknownReports, 0);
    EXPECT_EQ(s.interruptedMacroAssemblies, 0);
    EXPECT_EQ(rig.keyboard->ClosedHandleUses(), 0);
}
