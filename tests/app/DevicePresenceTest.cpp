// Device presence: the device-change handler on real WM_DEVICECHANGE data, and the scan,
// post-scan and refresh steps against the virtual keyboard.
#include <gtest/gtest.h>
#include <windows.h>
#include <dbt.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <vector>

#include "support/NullDescriptionView.h"
#include "app/DevicePresence.h"
#include "device/HidBackendFactory.h"
#include "storage/DeviceDescription.h"
#include "storage/ProfileDatabase.h"
#include "support/TestPaths.h"
#include "support/VirtualRig.h"

using namespace testsupport;
using Codes = std::vector<int>;
using Calls = std::vector<std::string>;

namespace {

constexpr int kArrived = static_cast<int>(WorkerTask::DeviceArrived);
constexpr int kRemoved = static_cast<int>(WorkerTask::DeviceRemoved);
constexpr int kFirmwareCheck = static_cast<int>(WorkerTask::CheckFirmwareUpdate);
constexpr int kReadAll = static_cast<int>(WorkerTask::ReadAll);

// One record per identity of the rig, its interface pattern as config.xml writes it.
std::vector<DeviceRecord> RigRecords()
{
    std::vector<DeviceRecord> records;
    for (const SupportedDevice& d : RigSupportedDevices()) {
        DeviceRecord r;
        r.deviceType = d.deviceType;
        r.connectionKind = d.connectionKind;
        r.vid = d.vid;
        r.pid = d.pid;
        wchar_t pattern[32];
        std::swprintf(pattern, 32, L"VID_%04X&PID_%04X", d.vid, d.pid);
        r.hidInterface = pattern;
        records.push_back(r);
    }
    return records;
}

std::wstring InterfaceName(uint16_t pid, const wchar_t* tail = L"&mi_02#8&2a1f01&0&0000")
{
    wchar_t name[256];
    std::swprintf(name, 256, L"\\\\?\\hid#vid_%04x&pid_%04x%ls#{4d1e55b2-f16f-11cf-88cb-001111000030}", kRigVid, pid,
                  tail);
    return name;
}

class RecordingList : public IDeviceListView, public IDeviceRefreshView {
public:
    Calls calls;
    std::vector<DeviceState> refreshes;
    void ResetAllState() override { calls.push_back("reset"); }
    void SetDeviceState(int deviceType, int state) override
    {
        calls.push_back(std::to_string(deviceType) + " " + std::to_string(state));
    }
    void RefreshDevicePages(const DeviceState& state) override { refreshes.push_back(state); }
};

struct PresenceRig : VirtualRig {
    std::vector<DeviceRecord> records = RigRecords();
    TaskQueue queue;
    RecordingList list;
    DevicePresence presence{link, records, queue, list};

    // The connection whose handle the link uses: the one the last transfer went to.
    int ActiveConnection()
    {
        const uint8_t r[8] = {0x07, 0x23, 0x45, 0x67, 0x89, 1, 0, 0};
        link.SendFeature(r);
        const auto t = keyboard->Transfers();
        return t.empty() ? -1 : t.back().connectionId;
    }
};

// A device-interface broadcast as Windows hands it to WM_DEVICECHANGE.
std::vector<BYTE> Broadcast(const std::wstring& name, DWORD type = DBT_DEVTYP_DEVICEINTERFACE)
{
    const size_t size = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + (name.size() + 1) * sizeof(wchar_t);
    std::vector<BYTE> buffer(size, 0);
    auto* b = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(buffer.data());
    b->dbcc_size = static_cast<DWORD>(size);
    b->dbcc_devicetype = type;
    std::memcpy(b->dbcc_name, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
    return buffer;
}

LPARAM Data(std::vector<BYTE>& buffer) { return reinterpret_cast<LPARAM>(buffer.data()); }

} // namespace

// ---------------------------------------------------------------- device-change handler

TEST(DeviceChangeHandler, ArrivalOfAMatchingInterfaceQueuesOneDeviceArrived)
{
    struct Case {
        const char* name;
        std::wstring interfaceName;
        Codes expected;
    } cases[] = {
        {"the receiver's interface, in lower case", InterfaceName(kWireless1Pid), {kArrived}},
        {"the auxiliary interface of the older keyboard", InterfaceName(kLegacyPid, L"&mi_03#7&1&0&0000"), {kArrived}},
        {"an unrelated HID device", L"\\\\?\\hid#vid_046d&pid_c52b&mi_00#7&1&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}", {}},
        {"a Bluetooth LE HID interface naming a record's ids",
         L"\\\\?\\hid#{00001812-0000-1000-8000-00805f9b34fb}_dev_vid_fff1&pid_0203#9&1&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}",
         {}},
        {"an empty name", L"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PresenceRig rig;
        rig.presence.OnInterfaceChange(DevicePresence::kDeviceArrival, c.interfaceName);
        EXPECT_EQ(rig.queue.Codes(), c.expected);
    }
}

TEST(DeviceChangeHandler, AnEmptyPatternMatchesEveryArrival)
{
    PresenceRig rig;
    rig.records[2].hidInterface.clear();
    EXPECT_TRUE(rig.presence.OnInterfaceChange(DevicePresence::kDeviceArrival, L"\\\\?\\hid#anything"));
    EXPECT_EQ(rig.queue.Codes(), (Codes{kArrived}));
}

TEST(DeviceChangeHandler, AMatchedRemovalClearsThePresentFlagSoASecondOneDoesNothing)
{
    PresenceRig rig;
    rig.Attach(VirtualConnection::Wired);
    rig.presence.ScanStep();
    ASSERT_EQ(rig.presence.PresentFlags(), (std::vector<bool>{true, false, false, false}));

    // The receiver was never found: its removal is not acted on.
    EXPECT_FALSE(rig.presence.OnInterfaceChange(DevicePresence::kDeviceRemoveComplete, InterfaceName(kWireless1Pid)));
    EXPECT_TRUE(rig.presence.OnInterfaceChange(DevicePresence::kDeviceRemoveComplete, InterfaceName(kWiredPid)));
    EXPECT_EQ(rig.presence.PresentFlags(), (std::vector<bool>{false, false, false, false}));
    EXPECT_FALSE(rig.presence.OnInterfaceChange(DevicePresence::kDeviceRemoveComplete, InterfaceName(kWiredPid)));
    EXPECT_EQ(rig.queue.Codes(), (Codes{kRemoved}));

    // A scan that finds it again re-arms the removal.
    rig.presence.ScanStep();
    EXPECT_TRUE(rig.presence.OnInterfaceChange(DevicePresence::kDeviceRemoveComplete, InterfaceName(kWiredPid)));
    EXPECT_EQ(rig.queue.Codes(), (Codes{kRemoved, kRemoved}));
}

TEST(DeviceChangeHandler, ReadsTheBroadcastOfTheMessageAndIgnoresEverythingElse)
{
    const std::wstring wired = InterfaceName(kWiredPid);
    struct Case {
        const char* name;
        WPARAM event;
        std::vector<BYTE> buffer;
        bool useBuffer;
        Codes expected;
    } cases[] = {
        {"arrival", DBT_DEVICEARRIVAL, Broadcast(wired), true, {kArrived}},
        {"query remove", DBT_DEVICEQUERYREMOVE, Broadcast(wired), true, {}},
        {"removal pending", DBT_DEVICEREMOVEPENDING, Broadcast(wired), true, {}},
        {"a volume broadcast", DBT_DEVICEARRIVAL, Broadcast(wired, DBT_DEVTYP_VOLUME), true, {}},
        {"no data", DBT_DEVICEARRIVAL, {}, false, {}},
        {"node change", DBT_DEVNODES_CHANGED, {}, false, {}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        PresenceRig rig;
        rig.presence.OnDeviceChange(c.event, c.useBuffer ? Data(c.buffer) : 0);
        EXPECT_EQ(rig.queue.Codes(), c.expected);
    }
}

TEST(DeviceChangeHandler, TheNameIsNeverReadPastTheBroadcastSize)
{
    // A broadcast whose declared size ends inside the name and that holds no terminator
    // there: only the declared part counts, which stops before the product id.
    const std::wstring wired = InterfaceName(kWiredPid);
    std::vector<BYTE> buffer = Broadcast(wired);
    auto* b = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(buffer.data());
    const size_t cut = wired.find(L"pid_");
    b->dbcc_size = static_cast<DWORD>(offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + cut * sizeof(wchar_t));
    PresenceRig rig;
    EXPECT_FALSE(rig.presence.OnDeviceChange(DBT_DEVICEARRIVAL, Data(buffer)));
    b->dbcc_size = 4; // smaller than the header itself
    EXPECT_FALSE(rig.presence.OnDeviceChange(DBT_DEVICEARRIVAL, Data(buffer)));
    EXPECT_TRUE(rig.queue.Codes().empty());
}

TEST(DeviceChangeHandler, RegistersAWindowForHidInterfaceNotifications)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    HDEVNOTIFY registration = DevicePresence::RegisterNotifications(window);
    EXPECT_NE(registration, nullptr);
    if (registration)
        UnregisterDeviceNotification(registration);
    DestroyWindow(window);
}

// ---------------------------------------------------------------- scan and post-scan

TEST(DeviceScan, MarksTheFoundRecordsAndPrefersTheCable)
{
    PresenceRig rig;
    const int receiver = rig.Attach(VirtualConnection::Wireless1);
    const int cable = rig.Attach(VirtualConnection::Wired);

    rig.presence.ScanStep();
    EXPECT_TRUE(rig.presence.DevicePresent());
    EXPECT_TRUE(rig.presence.DeviceMatched());
    EXPECT_EQ(rig.presence.PresentFlags(), (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(rig.list.calls, (Calls{"reset", "201 1", "201 1"}));
    EXPECT_EQ(rig.link.CurrentDeviceType(), 0);

    rig.presence.PostScanStep(kMainFamily);
    EXPECT_EQ(rig.link.CurrentDeviceType(), kMainFamily);
    EXPECT_EQ(rig.presence.ConnectionKind(), kConnectionWired);
    EXPECT_EQ(rig.ActiveConnection(), cable);

    // The cable is pulled: the receiver takes over.
    rig.keyboard->Unplug(cable);
    rig.list.calls.clear();
    rig.presence.ScanStep();
    rig.presence.PostScanStep(kMainFamily);
    EXPECT_EQ(rig.list.calls, (Calls{"reset", "201 1"}));
    EXPECT_EQ(rig.presence.ConnectionKind(), kConnectionWireless1);
    EXPECT_EQ(rig.ActiveConnection(), receiver);
}

TEST(DeviceScan, PluggingTheCableInBesideTheReceiverRescansOnceAndSwitchesToIt)
{
    PresenceRig rig;
    rig.Attach(VirtualConnection::Wireless1);
    ASSERT_TRUE(rig.presence.ScanAndRefresh(WorkerTask::Startup, kMainFamily, rig.list));
    EXPECT_EQ(rig.presence.ConnectionKind(), kConnectionWireless1);
    EXPECT_EQ(rig.queue.Codes(), (Codes{kFirmwareCheck, kReadAll}));
    while (rig.queue.PopFront()) {
    }

    const int cable = rig.Attach(VirtualConnection::Wired);
    EXPECT_TRUE(rig.presence.OnInterfaceChange(DevicePresence::kDeviceArrival, InterfaceName(kWiredPid)));
    ASSERT_EQ(rig.queue.Codes(), (Codes{kArrived}));
    rig.queue.PopFront();
    rig.presence.ScanAndRefresh(WorkerTask::DeviceArrived, kMainFamily, rig.list);
    EXPECT_EQ(rig.presence.ConnectionKind(), kConnectionWired);
    EXPECT_EQ(rig.ActiveConnection(), cable);
    ASSERT_EQ(rig.list.refreshes.size(), 2u);
    EXPECT_EQ(rig.list.refreshes[1].connectionKind, kConnectionWired);
    EXPECT_EQ(rig.queue.Codes(), (Codes{kFirmwareCheck, kReadAll}));
}

TEST(DeviceScan, UnpluggingTheOnlyKeyboardShowsItAbsentAndQueuesNothing)
{
    PresenceRig rig;
    const int cable = rig.Attach(VirtualConnection::Wired);
    rig.presence.ScanAndRefresh(WorkerTask::Startup, kMainFamily, rig.list);
    while (rig.queue.PopFront()) {
    }

    rig.keyboard->Unplug(cable);
    ASSERT_TRUE(rig.presence.OnInterfaceChange(DevicePresence::kDeviceRemoveComplete, InterfaceName(kWiredPid)));
    rig.queue.PopFront();
    rig.presence.ScanAndRefresh(WorkerTask::DeviceRemoved, kMainFamily, rig.list);

    EXPECT_FALSE(rig.presence.DevicePresent());
    EXPECT_FALSE(rig.presence.DeviceMatched());
    EXPECT_EQ(rig.link.CurrentDeviceType(), 0);
    ASSERT_EQ(rig.list.refreshes.size(), 2u);
    EXPECT_FALSE(rig.list.refreshes[1].Shown());
    EXPECT_TRUE(rig.queue.Empty());
    EXPECT_EQ(rig.link.ActiveHandle(), nullptr);
}

TEST(DeviceScan, AWirelessConnectionNoRecordMatchesIsShownAbsent)
{
    PresenceRig rig;
    rig.records[1].productName = L"Another receiver"; // interfaces carry no product string
    rig.Attach(VirtualConnection::Wireless1);
    rig.presence.ScanAndRefresh(WorkerTask::DeviceArrived, kMainFamily, rig.list);
    EXPECT_TRUE(rig.presence.DevicePresent());
    EXPECT_FALSE(rig.presence.DeviceMatched());
    EXPECT_EQ(rig.presence.ConnectionKind(), kConnectionWireless1);
    ASSERT_EQ(rig.list.refreshes.size(), 1u);
    EXPECT_FALSE(rig.list.refreshes[0].Shown());
    EXPECT_TRUE(rig.queue.Empty());
}

TEST(DeviceScan, TheLinkServesTheDeviceFamilyOfTheMainWindow)
{
    PresenceRig rig;
    rig.Attach(VirtualConnection::Legacy);
    // Working with the main model, the older keyboard's interfaces are not used.
    rig.presence.ScanAndRefresh(WorkerTask::DeviceArrived, kMainFamily, rig.list);
    EXPECT_TRUE(rig.presence.DevicePresent());
    EXPECT_EQ(rig.link.ActiveHandle(), nullptr);
    // Working with the older model, they are, auxiliary interface included.
    rig.presence.ScanAndRefresh(WorkerTask::DeviceArrived, kLegacyFamily, rig.list);
    EXPECT_NE(rig.link.ActiveHandle(), nullptr);
    EXPECT_NE(rig.link.AuxiliaryHandle(), nullptr);
    EXPECT_EQ(rig.presence.ConnectionKind(), kConnectionWired);
    // Before any family is known the main model is served.
    rig.presence.PostScanStep(0);
    EXPECT_EQ(rig.link.CurrentDeviceType(), kMainFamily);
}

TEST(DeviceScan, TheStartupScanRunsOnce)
{
    PresenceRig rig;
    rig.Attach(VirtualConnection::Wired);
    EXPECT_TRUE(rig.presence.ScanAndRefresh(WorkerTask::Startup, kMainFamily, rig.list));
    EXPECT_TRUE(rig.presence.StartupScanDone());
    const int opens = rig.keyboard->TotalOpens();
    EXPECT_FALSE(rig.presence.ScanAndRefresh(WorkerTask::Startup, kMainFamily, rig.list));
    EXPECT_EQ(rig.keyboard->TotalOpens(), opens);
    EXPECT_EQ(rig.list.refreshes.size(), 1u);
}

namespace {

using NoView = testsupport::NullDescriptionView;

} // namespace

TEST(DeviceScan, TheShippedRecordsAreFoundAndMatchTheirOwnArrivals)
{
    const std::wstring data = MakeTempFolder(L"tastro-presence");
    CreateDirectoryW((data + L"\\db").c_str(), nullptr);
    {
        ProfileDatabase db;
        DeviceDescription description(ProgramFolder() + L"\\", data + L"\\");
        NoView view;
        DeviceLink link;
        ASSERT_TRUE(description.LoadDeviceList(view, link, db));
        auto keyboard = CreateVirtualKeyboard(L"wired,wireless1,wireless2,legacy", link.SupportedDevices());
        ASSERT_EQ(keyboard->ConnectionCount(), 4);
        link.SetBackend(keyboard);

        TaskQueue queue;
        RecordingList list;
        DevicePresence presence(link, description.Records(), queue, list);
        presence.ScanStep();
        const std::vector<bool> flags = presence.PresentFlags();
        ASSERT_FALSE(flags.empty());
        EXPECT_EQ(flags, std::vector<bool>(flags.size(), true));

        // Each connection's interfaces, as Windows would announce them, match a record.
        for (const HidDeviceInfo& itf : keyboard->Enumerate()) {
            std::wstring name(itf.path.begin(), itf.path.end());
            EXPECT_TRUE(presence.OnInterfaceChange(DevicePresence::kDeviceArrival, name)) << itf.path;
        }
        db.Close();
    }
    RemoveTree(data);
}
