#pragma once
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "app/TaskQueue.h"

class DeviceLink;
struct DeviceRecord;

// The home page's device list as the device scan drives it. The main window implements it
// with its device list control; the calls come from the worker thread and the main window
// hands them to its own thread.
class IDeviceListView {
public:
    virtual ~IDeviceListView() = default;
    // Every entry back to "not connected".
    virtual void ResetAllState() = 0;
    // The entry of a model (by device type): 1 connected.
    virtual void SetDeviceState(int deviceType, int state) = 0;
};

// What the last scan found.
struct DeviceState {
    bool present = false;    // some command interface of a supported keyboard is open
    bool matched = false;    // some device record matched an opened interface
    int connectionKind = -1; // of the last scan that found the keyboard
    // Whether the keyboard counts as there for the pages: present, and not a wireless
    // connection that no record matched.
    bool Shown() const { return present && !(!matched && (connectionKind == 1 || connectionKind == 2)); }
};

// The main window's share of the device refresh that follows every scan: closing its
// auxiliary windows, the caption (present or absent) and the pages for the device family
// and connection kind. Called on the worker thread; the main window hands it to its own
// thread. It does not queue tasks: the refresh queues CheckFirmwareUpdate and ReadAll
// itself.
class IDeviceRefreshView {
public:
    virtual ~IDeviceRefreshView() = default;
    virtual void RefreshDevicePages(const DeviceState& state) = 0;
};

// Whether the keyboard is there and how it is connected.
//
// On the user-interface thread the device-change handler matches arriving and leaving HID
// interfaces against the device records' interface patterns and queues DeviceArrived or
// DeviceRemoved. On the worker thread those tasks (and Startup) run the scan step, which
// reopens every interface and marks the records found, the post-scan step, which makes
// the link serve the current device family and reads the connection kind, and the rest of
// the device refresh.
class DevicePresence {
public:
    // Device-change events handled (WM_DEVICECHANGE's wParam).
    static constexpr UINT kDeviceArrival = 0x8000;
    static constexpr UINT kDeviceRemoveComplete = 0x8004;
    // The Bluetooth LE HID service: interfaces naming it are never matched.
    static const wchar_t kBluetoothLeHidService[];

    // The records are the description file's device records (their present flags are set
    // by scans and cleared by matched removals); they must outlive this object.
    DevicePresence(DeviceLink& link, std::vector<DeviceRecord>& records, TaskQueue& queue, IDeviceListView& list);

    // Registers the window for notifications of the HID device-interface class.
    static HDEVNOTIFY RegisterNotifications(HWND window);

    // --- user-interface thread
    // WM_DEVICECHANGE: arrival and removal of a device interface. True when a task was
    // queued. Anything else (other events, other broadcast types, no data) is ignored.
    bool OnDeviceChange(WPARAM event, LPARAM data);
    // The same for an interface name already taken from the broadcast.
    bool OnInterfaceChange(UINT event, const std::wstring& interfaceName);

    // --- worker thread
    void ScanStep();
    // Run with a keyboard present: the link serves the device family (its interfaces
    // only; 201 before a family is known) and the connection kind is read.
    void PostScanStep(int deviceFamily);
    // A whole refresh for Startup, DeviceArrived or DeviceRemoved: the scan step, the
    // post-scan step when a keyboard is present, the main window's share, then
    // CheckFirmwareUpdate and ReadAll when the keyboard is shown as there. Startup runs
    // once; later Startup tasks do nothing (false).
    bool ScanAndRefresh(WorkerTask reason, int deviceFamily, IDeviceRefreshView& view);

    DeviceState State() const;
    bool DevicePresent() const { return present_; }
    bool DeviceMatched() const { return matched_; }
    int ConnectionKind() const { return connectionKind_; }
    bool StartupScanDone() const { return startupScanDone_; }
    std::vector<bool> PresentFlags() const;

private:
    DeviceLink& link_;
    std::vector<DeviceRecord>& records_;
    TaskQueue& queue_;
    IDeviceListView& list_;

    mutable std::mutex recordsMutex_; // the records' present flags: both threads
    std::atomic<bool> present_{false};
    std::atomic<bool> matched_{false};
    std::atomic<int> connectionKind_{-1};
    std::atomic<bool> startupScanDone_{false};
};
