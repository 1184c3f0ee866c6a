// Startup, ReadAll and ApplyLighting on the real worker thread, through the process-wide
// device link and the program switches, with real pauses. Also the way to watch the
// worker talk to the virtual keyboard by hand (one command line):
//   TASTRO_VIRTUAL_KEYBOARD=wired TASTRO_HID_TRACE='Z:\tmp\trace.txt'
//     scripts/wine-run build/tests/app_tests.exe --gtest_filter='WorkerWalkthrough.*'
// Switches left unset are set here (a wired virtual keyboard, a temporary trace).
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>

#include "app/WorkerRoutine.h"
#include "device/DeviceLink.h"
#include "device/KeyboardProtocol.h"
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

// The main window's part, reduced to what the three tasks need: the scan step and the
// presence flags of the device refresh.
class LinkHost : public IWorkerHost {
public:
    explicit LinkHost(DeviceLink& link) : link_(link) {}
    std::atomic<bool> present{false};
    std::atomic<bool> matched{false};
    std::atomic<int> connectionKind{-1};
    std::atomic<int> scans{0};

    bool DevicePresent() override { return present; }
    bool DeviceMatched() override { return matched; }
    int DeviceFamily() override { return kMainFamily; }
    int CurrentTab() override { return 0; }
    unsigned LightFlags() override { return 0; }
    unsigned PageSet() override { return kPageKeyAssignment | kPageLighting; }

    void ScanAndRefreshDevices(WorkerTask) override
    {
        ++scans;
        matched = false;
        link_.Rescan();
        link_.SetCurrentDeviceType(0);
        std::vector<HidInterface> found;
        link_.CollectInterfaces(found);
        for (const SupportedDevice& d : link_.SupportedDevices()) {
            if (link_.FindInterface(d.vid, d.pid, d.productName, d.connectionKind) >= 0)
                matched = true;
        }
        present = !found.empty();
        if (present) {
            link_.SetCurrentDeviceType(kMainFamily);
            connectionKind = link_.GetConnectionKind();
        }
    }
    void StartMusicCapturePaused() override {}
    void ReloadMacroList() override {}
    void ReloadProfileList() override {}
    void ReloadLightingPage() override {}
    void EnableMainWindow(bool) override {}
    void PostWaitTicketDone(WaitTicket) override {}

private:
    DeviceLink& link_;
};

class LinkDevice : public IDeviceTasks {
public:
    LinkDevice(DeviceLink& link, LinkHost& host) : link_(link), host_(host) {}
    std::atomic<bool> tableRead{false};

    void ReconcileAssignments() override
    {
        protocol::SlotTable table;
        tableRead = protocol::ReadSlotTable(link_, table);
    }
    void ApplyLighting(int) override
    {
        protocol::LightingSettings s;
        s.mode = 4;
        s.colorIndex = 1;
        s.brightness = 4;
        s.colorValue = 0x00336699;
        protocol::SendLighting(link_, s, host_.connectionKind);
    }
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
    LinkHost& host_;
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
    for (const SupportedDevice& d : RigSupportedDevices())
        link.AddSupportedDevice(d);

    LinkHost host(link);
    LinkDevice device(link, host);
    TaskQueue queue;
    WorkerRoutine routine(queue, host, device);
    TaskWorker worker(routine);
    queue.Push(WorkerTask::Startup);
    queue.Push(WorkerTask::ReadAll);
    const WaitTicket lighting = queue.PushWithTicket(WorkerTask::ApplyLighting);
    ASSERT_EQ(worker.Start(), 1);
    for (int waited = 0; !(queue.Empty() && queue.IsTicketDone(lighting)) && waited < 10000; waited += 10)
        Sleep(10);
    worker.Stop();
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(host.scans.load(), 1);
    ASSERT_TRUE(host.present && host.matched);
    EXPECT_TRUE(device.tableRead.load());

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
    if (host.connectionKind == kConnectionWired)
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
