#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/HidBackend.h"
#include "device/SupportedDevice.h"

// One opened command interface of a supported keyboard.
struct HidInterface {
    int index = 0; // number of interfaces held before it
    uint16_t vid = 0;
    uint16_t pid = 0;
    std::string path; // as enumerated, not upper-cased
    std::wstring product;
    HidHandle handle = nullptr; // owned by the link
    uint16_t release = 0;
    int deviceType = 0;
    int connectionKind = 0;
    bool wired = false;
};

// Connection kinds: how the keyboard is attached.
enum ConnectionKindValue { kConnectionNone = -1, kConnectionWired = 0, kConnectionWireless1 = 1, kConnectionWireless2 = 2 };

// Report sizes of the keyboard's interfaces.
constexpr size_t kFeatureReportSize = 8;   // report id + 7 data bytes
constexpr size_t kOutputReportSize = 65;   // report id + 64 data bytes
constexpr size_t kWirelessPayloadSize = 64;
constexpr size_t kSlotTableSize = 28;

// The process-wide holder of the keyboard's opened HID interfaces; every transfer to the
// keyboard goes through it. It knows report sizes, pauses, retries and which handle a
// transfer uses, not what the bytes mean.
//
// One recursive mutex guards the interface list and the handles: scans and CloseAll hold
// it throughout, every transfer holds it while it uses a handle, and a command sequence
// of several reports holds it from its first report to its last (LockSequence), so no
// report of another thread falls between the pieces and no thread ever transfers on a
// handle that a rescan has closed.
class DeviceLink : public ISupportedDeviceSink {
public:
    using Mutex = std::recursive_mutex;

    // The process-wide link, created on first use. Its backend is chosen at the first scan
    // from the program switches (see HidBackendFactory.h) unless one was set before.
    static DeviceLink& Instance();

    explicit DeviceLink(std::shared_ptr<IHidBackend> backend = nullptr);
    ~DeviceLink() override;
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Replaces the backend (closing every interface of the old one first).
    void SetBackend(std::shared_ptr<IHidBackend> backend);
    std::shared_ptr<IHidBackend> Backend();

    // --- supported keyboards
    void AddSupportedDevice(const SupportedDevice& device) override;
    void AddSupportedDevice(int vid, int pid, const std::wstring& productName, int deviceType, int connectionKind);
    std::vector<SupportedDevice> SupportedDevices() const;
    bool IsSupported(int vid, int pid, const std::wstring& product) const;
    int DeviceTypeOf(int vid, int pid) const;
    int KindOf(int vid, int pid) const;

    // --- interfaces
    void Scan();
    void CloseAll();
    // CloseAll then Scan without letting any transfer in between.
    void Rescan();
    bool IsOpened();
    // Copies of the held records (the handles stay owned by the link).
    bool CollectInterfaces(std::vector<HidInterface>& out);
    int FindInterface(int vid, int pid, const std::wstring& productName, int connectionKind);
    // Sets the device type whose interfaces ActiveHandle and GetConnectionKind consider
    // (0: all interfaces for CollectInterfaces) and forgets the cached active handle.
    void SetCurrentDeviceType(int deviceType);
    int CurrentDeviceType();
    HidHandle ActiveHandle();
    HidHandle AuxiliaryHandle();
    int GetConnectionKind();

    // --- transfers; each returns false at once, sending nothing, when the link was not
    // scanned or has no active (resp. auxiliary) handle.
    bool SendFeature(const uint8_t report[kFeatureReportSize]);
    // Pauses 16 ms, then sends like SendFeature. Callers of the protocol ignore the result.
    bool SendFeatureAfterDelay(const uint8_t report[kFeatureReportSize]);
    bool WriteReport(const uint8_t report[kOutputReportSize]);
    bool WriteAuxReport(const uint8_t report[kOutputReportSize]);
    bool WriteWirelessPayload(const uint8_t payload[kWirelessPayloadSize]);
    // Sends the request, then reads four 7-byte pieces of the slot table. The table is
    // zeroed first; the result is false when the request or any read failed.
    bool ReadSlotTable(const uint8_t request[kFeatureReportSize], uint8_t table[kSlotTableSize]);
    // Asks for the firmware version (07 FD). False when the request failed or no read
    // returned data.
    bool QueryFirmwareVersion(uint16_t& version);

    // Holds the link for a whole multi-report sequence. While it is held, never wait for
    // another thread that may itself want the link (for example by handing a call to the
    // user-interface thread with SendMessageW): other transfers wait for the holder.
    std::unique_lock<Mutex> LockSequence();
    // Holds the link only when no other thread does (for reports that may be skipped).
    std::unique_lock<Mutex> TryLockSequence();

private:
    std::shared_ptr<IHidBackend> EnsureBackendLocked();
    void CloseAllLocked();
    void ScanLocked();
    HidHandle ActiveHandleLocked();
    bool WriteWithRetry(HidHandle handle, const uint8_t* data, unsigned retryPauseMs);
    int ReadFeatureLocked(HidHandle handle, uint8_t* buffer);

    mutable Mutex mutex_;
    std::shared_ptr<IHidBackend> backend_;
    bool opened_ = false;
    std::vector<HidInterface> interfaces_;
    std::vector<SupportedDevice> supported_;
    int currentDeviceType_ = 0;
    HidHandle activeHandle_ = nullptr;
    HidHandle auxHandle_ = nullptr;
};
