// Startup, ReadAll and ApplyLighting on the real worker thread, through the process-wide
// device link and the program switches, with the presence steps, the device tasks, a
// profile database and real pauses. Also the way to watch the
// worker talk to the virtual keyboard by hand (one command line):
//   TASTRO_VIRTUAL_KEYBOARD=wired TASTRO_HID_TRACE='Z:\tmp\trace.txt'
//     scripts/wine-run build/tests/app_tests.exe --gtest_filter='WorkerWalkthrough.*'
// Switches left unset are set here (a wired virtual keyboard, a temporary trace).
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>

#include "app/DevicePresence.h"
#include "app/DeviceTasks.h"
#include "app/WorkerRoutine.h"
#include "device/DeviceLink.h"
#include "storage/DeviceDescription.h"
#include "storage/ProfileDatabase.h"
#include "support/TestPaths.h"
#include "support/VirtualRig.h"

using namespace testsupport;

namespace {

std::wstring Env(const wchar_t* name)
{
    wchar_t value[1024];
    const DWORD n = GetEnvironmentVariableW(name, value, 1024);
    return n > 0 && n < 1024 ? std::wstring(value, n) : std::wstring();
}

// The main window's part, reduced to what the three tasks need: the presence steps behind
// the scan, the device family of the start-up model, and the profile list load that makes
// the active profile the current one.
class LinkHost : public IWorkerHost, public IDeviceRefreshView, public IDeviceListView {
public:
    LinkHost(DeviceLink& link, std::vector<DeviceRecord>& records, TaskQueue& queue)
        : presence(link, records, queue, *this)
    {
    }
    DevicePresence presence;
    std::atomic<int> scans{0};

    bool DevicePresent() override { return presence.DevicePresent(); }
    bool DeviceMatched() override { return presence.DeviceMatched(); }
    int DeviceFamily() override { return kMainFamily; }
    int CurrentTab() override { return 0; }
    unsigned LightFlags() override { return 0; }
    unsigned PageSet() override { return kPageKeyAssignment | kPageLighting; }

    void ScanAndRefreshDevices(WorkerTask reason) override
    {
        ++scans;
        presence.ScanAndRefresh(reason, DeviceFamily(), *this);
    }
    void StartMusicCapturePaused() override {}
    void ReloadMacroList() override {}
    void ReloadProfileList() override {}
    void ReloadLightingPage() override {}
    void EnableMainWindow(bool) override {}
    void PostWaitTicketDone(WaitTicket) override {}
    void RefreshDevicePages(const DeviceState&) override {}
    void ResetAllState() override {}
    void SetDeviceState(int, int) override {}
};

// The reconciliation's table read, observed.
class ObservedTasks : public DeviceTasks {
public:
    using DeviceTasks::DeviceTasks;
    std::atomic<bool> tableRead{false};
    void ReconcileAssignments() override { tableRead = Reconcile(); }
};

} // namespace

TEST(WorkerWalkthrough, StartupReadAllApplyLightingOnTheVirtualKeyboard)
{
    std::wstring folder;
    if (Env(L"TASTRO_VIRTUAL_KEYBOARD").empty())
        SetEnvironmentVariableW(L"TASTRO_VIRTUAL_KEYBOARD", L"wired");
    std::wstring trace = Env(L"TASTRO_HID_TRACE");
    if (trace.empty()) {
        folder = MakeTempFolder(L"walkthrough");
        trace = folder + L"\\trace.txt";
        SetEnvironmentVariableW(L"TASTRO_HID_TRACE", trace.c_str());
    }
    // A trace may already hold earlier runs: look only at what this one appends.
    std::streamoff before = 0;
    {
        std::ifstream existing(trace.c_str(), std::ios::binary | std::ios::ate);
        if (existing)
            before = existing.tellg();
    }

    // The supported list comes from config.xml in the program; here from the test rig.
    DeviceLink& link = DeviceLink::Instance();
    std::vector<DeviceRecord> records;
    for (const SupportedDevice& d : RigSupportedDevices()) {
        link.AddSupportedDevice(d);
        DeviceRecord r;
        r.deviceType = d.deviceType;
        r.connectionKind = d.connectionKind;
        r.vid = d.vid;
        r.pid = d.pid;
        records.push_back(r);
    }

    // A profile database holding one profile and the lighting mode to send.
    const std::wstring data = MakeTempFolder(L"walkthrough-db");
    CreateDirectoryW((data + L"\\db").c_str(), nullptr);
    ProfileDatabase db;
    ASSERT_TRUE(db.Open(data + L"\\", L"Walkthrough"));
    ProfileRow profile;
    profile.name = L"Profile 1";
    db.SetActiveProfile(db.AddProfile(profile));
    LightRow light;
    light.profile = kLightingProfile;
    light.mode = 4;
    light.brightness = 4;
    light.colorindex = 1;
    light.color_value = 0x00336699;
    db.AddLightMode(light);
    db.SetActiveLightMode(kLightingProfile, 4);
    ModelLayout layout;

    TaskQueue queue;
    LinkHost host(link, records, queue);
    ObservedTasks device(db, layout, link);
    WorkerRoutine routine(queue, host, device);
    TaskWorker worker(routine);
    queue.Push(WorkerTask::Startup); // its refresh queues CheckFirmwareUpdate and ReadAll
    ASSERT_EQ(worker.Start(), 1);
    for (int waited = 0; !(routine.StartupDone() && queue.Empty()) && waited < 10000; waited += 10)
        Sleep(10);
    const WaitTicket lighting = queue.PushWithTicket(WorkerTask::ApplyLighting);
    for (int waited = 0; !(queue.Empty() && queue.IsTicketDone(lighting)) && waited < 10000; waited += 10)
        Sleep(10);
    worker.Stop();
    db.Close();
    RemoveTree(data);
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(host.scans.load(), 1);
    ASSERT_TRUE(host.presence.DevicePresent() && host.presence.DeviceMatched());
    EXPECT_TRUE(device.tableRead.load());
    const int connectionKind = host.presence.ConnectionKind();

    std::ifstream in(trace.c_str(), std::ios::binary);
    ASSERT_TRUE(in) << "no trace";
    in.seekg(before);
    std::stringstream appended;
    appended << in.rdbuf();
    const std::string text = appended.str();
    EXPECT_NE(text.find(" feature-set 8 07 FB 01 00 00 00 00 00 -> 8"), std::string::npos) << text;
    size_t reads = 0;
    for (size_t at = text.find(" feature-get 8 07 "); at != std::string::npos; at = text.find(" feature-get 8 07 ", at + 1))
        ++reads;
    EXPECT_EQ(reads, 4u);
    if (connectionKind == kConnectionWired)
        EXPECT_NE(text.find(" feature-set 8 07 F7 03 01 99 66 03 33 -> 8"), std::string::npos) << text;
    else
        EXPECT_NE(text.find(" output 65 00 BB AA 99 88 AA 03 01 99 66 03 33"), std::string::npos) << text;
    // The slot table is read before the lighting goes out.
    EXPECT_LT(text.find("07 FB 01"), text.find("03 01 99 66 03 33"));

    link.CloseAll();
    if (!folder.empty()) {
        link.SetBackend(nullptr); // releases the trace file
        RemoveTree(folder);
    }
}
