#include "app/DevicePresence.h"

#include <dbt.h>

#include <cstddef>

#include "device/DeviceLink.h"
#include "storage/DeviceDescription.h"

namespace {

constexpr int kDefaultLinkDeviceType = 201;

// The HID device-interface class.
const GUID kHidInterfaceClass = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

std::wstring UpperCase(const std::wstring& text)
{
    std::wstring upper = text;
    if (!upper.empty())
        CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
    return upper;
}

// An empty pattern occurs in every name.
bool Occurs(const std::wstring& upperName, const std::wstring& pattern)
{
    return upperName.find(pattern) != std::wstring::npos;
}

} // namespace

const wchar_t DevicePresence::kBluetoothLeHidService[] = L"00001812-0000-1000-8000-00805F9B34FB";

DevicePresence::DevicePresence(DeviceLink& link, std::vector<DeviceRecord>& records, TaskQueue& queue,
                               IDeviceListView& list)
    : link_(link), records_(records), queue_(queue), list_(list)
{
}

HDEVNOTIFY DevicePresence::RegisterNotifications(HWND window)
{
    DEV_BROADCAST_DEVICEINTERFACE_W filter = {};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kHidInterfaceClass;
    return RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

// ---------------------------------------------------------------- device-change handler

bool DevicePresence::OnDeviceChange(WPARAM event, LPARAM data)
{
    if (event != kDeviceArrival && event != kDeviceRemoveComplete)
        return false;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if (!header || header->dbch_size < sizeof(DEV_BROADCAST_HDR) ||
        header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE)
        return false;
    // The name runs to its terminator, but never past the size the broadcast declares.
    const size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    if (header->dbch_size <= nameOffset)
        return false;
    const auto* broadcast = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header);
    const size_t limit = (header->dbch_size - nameOffset) / sizeof(wchar_t);
    size_t length = 0;
    while (length < limit && broadcast->dbcc_name[length] != L'\0')
        ++length;
    return OnInterfaceChange(static_cast<UINT>(event), std::wstring(broadcast->dbcc_name, length));
}

bool DevicePresence::OnInterfaceChange(UINT event, const std::wstring& interfaceName)
{
    if (event != kDeviceArrival && event != kDeviceRemoveComplete)
        return false;
    const std::wstring name = UpperCase(interfaceName);
    if (Occurs(name, kBluetoothLeHidService))
        return false;

    std::lock_guard<std::mutex> lock(recordsMutex_);
    for (DeviceRecord& record : records_) {
        if (event == kDeviceRemoveComplete && !record.present)
            continue;
        if (!Occurs(name, record.hidInterface))
            continue;
        if (event == kDeviceArrival) {
            queue_.Push(WorkerTask::DeviceArrived);
        } else {
            // Until a scan finds the record again, another removal for it does nothing.
            record.present = false;
            queue_.Push(WorkerTask::DeviceRemoved);
        }
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- scan

void DevicePresence::ScanStep()
{
    matched_ = false;
    std::vector<HidInterface> found;
    {
        // No transfer of another thread between closing the old handles and choosing
        // among the new ones.
        auto hold = link_.LockSequence();
        link_.Rescan();
        link_.SetCurrentDeviceType(0);
        link_.CollectInterfaces(found);
    }
    list_.ResetAllState();
    bool matched = false;
    std::vector<int> connectedTypes;
    {
        std::lock_guard<std::mutex> lock(recordsMutex_);
        for (DeviceRecord& record : records_) {
            if (link_.FindInterface(record.vid, record.pid, record.productName, record.connectionKind) < 0)
                continue;
            matched = true;
            record.present = true;
            connectedTypes.push_back(record.deviceType);
        }
    }
    // The list is told outside the lock: the main window may run it on its own thread.
    for (int type : connectedTypes)
        list_.SetDeviceState(type, 1);
    matched_ = matched;
    present_ = !found.empty();
}

void DevicePresence::PostScanStep(int deviceFamily)
{
    // The link serves the interfaces of the family the main window works with. Before any
    // family is known that is the main model (201).
    link_.SetCurrentDeviceType(deviceFamily > 0 ? deviceFamily : kDefaultLinkDeviceType);
    connectionKind_ = link_.GetConnectionKind();
}

bool DevicePresence::ScanAndRefresh(WorkerTask reason, int deviceFamily, IDeviceRefreshView& view)
{
    if (reason == WorkerTask::Startup && startupScanDone_.exchange(true))
        return false;
    ScanStep();
    if (present_)
        PostScanStep(deviceFamily);
    const DeviceState state = State();
    view.RefreshDevicePages(state);
    if (state.Shown()) {
        queue_.Push(WorkerTask::CheckFirmwareUpdate);
        queue_.Push(WorkerTask::ReadAll);
    }
    return true;
}

DeviceState DevicePresence::State() const
{
    DeviceState s;
    s.present = present_;
    s.matched = matched_;
    s.connectionKind = connectionKind_;
    return s;
}

std::vector<bool> DevicePresence::PresentFlags() const
{
    std::lock_guard<std::mutex> lock(recordsMutex_);
    std::vector<bool> flags;
    for (const DeviceRecord& record : records_)
        flags.push_back(record.present);
    return flags;
}
