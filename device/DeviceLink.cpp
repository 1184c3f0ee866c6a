#include "device/DeviceLink.h"

#include <cstring>

#include "device/HidBackendFactory.h"
#include "device/PauseClock.h"

namespace {

constexpr unsigned kFeaturePauseMs = 16;
constexpr unsigned kWriteRetryPauseMs = 10;
constexpr unsigned kWirelessRetryPauseMs = 32;
constexpr uint8_t kCommandReportId = 0x07;

bool IsCommandCollection(uint16_t usagePage, uint16_t usage)
{
    return (usagePage == 0xFF01 && usage == 1) || (usagePage == 0xFF02 && usage == 2);
}

} // namespace

DeviceLink& DeviceLink::Instance()
{
    static DeviceLink link; // thread-safe one-time construction
    return link;
}

DeviceLink::DeviceLink(std::shared_ptr<IHidBackend> backend) : backend_(std::move(backend)) {}

DeviceLink::~DeviceLink()
{
    std::lock_guard<Mutex> lock(mutex_);
    CloseAllLocked();
}

void DeviceLink::SetBackend(std::shared_ptr<IHidBackend> backend)
{
    std::lock_guard<Mutex> lock(mutex_);
    CloseAllLocked();
    backend_ = std::move(backend);
}

std::shared_ptr<IHidBackend> DeviceLink::Backend()
{
    std::lock_guard<Mutex> lock(mutex_);
    return backend_;
}

std::shared_ptr<IHidBackend> DeviceLink::EnsureBackendLocked()
{
    if (!backend_)
        backend_ = CreateHidBackendFromEnvironment(supported_);
    return backend_;
}

// ---------------------------------------------------------------- supported keyboards

void DeviceLink::AddSupportedDevice(const SupportedDevice& device)
{
    std::lock_guard<Mutex> lock(mutex_);
    supported_.push_back(device);
}

void DeviceLink::AddSupportedDevice(int vid, int pid, const std::wstring& productName, int deviceType,
                                    int connectionKind)
{
    SupportedDevice d;
    d.vid = vid;
    d.pid = pid;
    d.productName = productName;
    d.deviceType = deviceType;
    d.connectionKind = connectionKind;
    AddSupportedDevice(d);
}

std::vector<SupportedDevice> DeviceLink::SupportedDevices() const
{
    std::lock_guard<Mutex> lock(mutex_);
    return supported_;
}

bool DeviceLink::IsSupported(int vid, int pid, const std::wstring& product) const
{
    std::lock_guard<Mutex> lock(mutex_);
    for (const SupportedDevice& d : supported_) {
        if (d.vid == vid && d.pid == pid && (d.productName.empty() || d.productName == product))
            return true;
    }
    return false;
}

int DeviceLink::DeviceTypeOf(int vid, int pid) const
{
    std::lock_guard<Mutex> lock(mutex_);
    for (const SupportedDevice& d : supported_) {
        if (d.vid == vid && d.pid == pid)
            return d.deviceType;
    }
    return 0;
}

int DeviceLink::KindOf(int vid, int pid) const
{
    std::lock_guard<Mutex> lock(mutex_);
    for (const SupportedDevice& d : supported_) {
        if (d.vid == vid && d.pid == pid)
            return d.connectionKind;
    }
    return 0;
}

// ---------------------------------------------------------------- interfaces

void DeviceLink::Scan()
{
    std::lock_guard<Mutex> lock(mutex_);
    ScanLocked();
}

void DeviceLink::CloseAll()
{
    std::lock_guard<Mutex> lock(mutex_);
    CloseAllLocked();
}

void DeviceLink::Rescan()
{
    std::lock_guard<Mutex> lock(mutex_);
    CloseAllLocked();
    ScanLocked();
}

void DeviceLink::ScanLocked()
{
    std::shared_ptr<IHidBackend> backend = EnsureBackendLocked();
    activeHandle_ = nullptr;
    if (backend) {
        for (const HidDeviceInfo& info : backend->Enumerate()) {
            if (!IsSupported(info.vid, info.pid, info.product))
                continue;
            const std::string upper = UpperCasePath(info.path);
            HidHandle handle = backend->Open(info.path);
            if (!handle)
                continue;
            if (!IsCommandCollection(info.usagePage, info.usage)) {
                backend->Close(handle);
                continue;
            }
            if (upper.find("&MI_03") != std::string::npos) {
                // A later auxiliary interface replaces an earlier one; the earlier handle
                // is closed rather than left open and unreachable.
                if (auxHandle_)
                    backend->Close(auxHandle_);
                auxHandle_ = handle;
                continue;
            }
            HidInterface rec;
            rec.index = static_cast<int>(interfaces_.size());
            rec.vid = info.vid;
            rec.pid = info.pid;
            rec.path = info.path;
            rec.product = info.product;
            rec.handle = handle;
            rec.release = info.release;
            rec.deviceType = DeviceTypeOf(info.vid, info.pid);
            rec.connectionKind = KindOf(info.vid, info.pid);
            rec.wired = rec.connectionKind == kConnectionWired;
            interfaces_.push_back(std::move(rec));
        }
    }
    opened_ = true;
    activeHandle_ = nullptr;
}

void DeviceLink::CloseAllLocked()
{
    if (!opened_)
        return;
    for (HidInterface& rec : interfaces_) {
        if (rec.handle && backend_)
            backend_->Close(rec.handle);
    }
    interfaces_.clear();
    if (auxHandle_ && backend_)
        backend_->Close(auxHandle_);
    auxHandle_ = nullptr;
    activeHandle_ = nullptr;
    opened_ = false;
}

bool DeviceLink::IsOpened()
{
    std::lock_guard<Mutex> lock(mutex_);
    return opened_;
}

bool DeviceLink::CollectInterfaces(std::vector<HidInterface>& out)
{
    std::lock_guard<Mutex> lock(mutex_);
    if (interfaces_.empty())
        return false;
    for (const HidInterface& rec : interfaces_) {
        if (currentDeviceType_ == 0 || rec.deviceType == currentDeviceType_)
            out.push_back(rec);
    }
    return true;
}

int DeviceLink::FindInterface(int vid, int pid, const std::wstring& productName, int connectionKind)
{
    std::lock_guard<Mutex> lock(mutex_);
    for (const HidInterface& rec : interfaces_) {
        if (rec.vid == vid && rec.pid == pid && rec.connectionKind == connectionKind) {
            if (!productName.empty() && productName != rec.product)
                return -1;
            return rec.index;
        }
    }
    return -1;
}

void DeviceLink::SetCurrentDeviceType(int deviceType)
{
    std::lock_guard<Mutex> lock(mutex_);
    currentDeviceType_ = deviceType;
    activeHandle_ = nullptr;
}

int DeviceLink::CurrentDeviceType()
{
    std::lock_guard<Mutex> lock(mutex_);
    return currentDeviceType_;
}

HidHandle DeviceLink::ActiveHandle()
{
    std::lock_guard<Mutex> lock(mutex_);
    return ActiveHandleLocked();
}

HidHandle DeviceLink::ActiveHandleLocked()
{
    if (activeHandle_)
        return activeHandle_;
    // Wired first, then the first wireless kind, then the second.
    for (int kind : {kConnectionWired, kConnectionWireless1, kConnectionWireless2}) {
        for (const HidInterface& rec : interfaces_) {
            if (rec.deviceType == currentDeviceType_ && rec.connectionKind == kind) {
                activeHandle_ = rec.handle;
                return activeHandle_;
            }
        }
    }
    return nullptr;
}

HidHandle DeviceLink::AuxiliaryHandle()
{
    std::lock_guard<Mutex> lock(mutex_);
    return auxHandle_;
}

int DeviceLink::GetConnectionKind()
{
    std::lock_guard<Mutex> lock(mutex_);
    bool kind1 = false;
    bool kind2 = false;
    for (const HidInterface& rec : interfaces_) {
        if (rec.deviceType != currentDeviceType_)
            continue;
        if (rec.connectionKind == kConnectionWired)
            return kConnectionWired;
        kind1 |= rec.connectionKind == kConnectionWireless1;
        kind2 |= rec.connectionKind == kConnectionWireless2;
    }
    // Unlike ActiveHandle, the second wireless kind ranks before the first here.
    if (kind2)
        return kConnectionWireless2;
    if (kind1)
        return kConnectionWireless1;
    return kConnectionNone;
}

// ---------------------------------------------------------------- transfers

std::unique_lock<DeviceLink::Mutex> DeviceLink::LockSequence() { return std::unique_lock<Mutex>(mutex_); }

std::unique_lock<DeviceLink::Mutex> DeviceLink::TryLockSequence()
{
    return std::unique_lock<Mutex>(mutex_, std::try_to_lock);
}

bool DeviceLink::SendFeature(const uint8_t report[kFeatureReportSize])
{
    std::lock_guard<Mutex> lock(mutex_);
    HidHandle handle = opened_ ? ActiveHandleLocked() : nullptr;
    if (!handle)
        return false;
    uint8_t buffer[kOutputReportSize] = {};
    std::memcpy(buffer, report, kFeatureReportSize);
    return backend_->SendFeature(handle, buffer, kFeatureReportSize) >= 0;
}

bool DeviceLink::SendFeatureAfterDelay(const uint8_t report[kFeatureReportSize])
{
    {
        std::lock_guard<Mutex> lock(mutex_);
        if (!opened_ || !ActiveHandleLocked())
            return false;
    }
    // The pause is taken outside the lock (unless a sequence holds it); SendFeature looks
    // the handle up again, so a rescan during the pause is harmless.
    Pause(kFeaturePauseMs);
    return SendFeature(report);
}

bool DeviceLink::WriteWithRetry(HidHandle handle, const uint8_t* data, unsigned retryPauseMs)
{
    // One retry after a pause; the outcome is that of the last attempt made.
    if (backend_->Write(handle, data, kOutputReportSize) > 0)
        return true;
    Pause(retryPauseMs);
    return backend_->Write(handle, data, kOutputReportSize) > 0;
}

bool DeviceLink::WriteReport(const uint8_t report[kOutputReportSize])
{
    std::lock_guard<Mutex> lock(mutex_);
    HidHandle handle = opened_ ? ActiveHandleLocked() : nullptr;
    if (!handle)
        return false;
    return WriteWithRetry(handle, report, kWriteRetryPauseMs);
}

bool DeviceLink::WriteAuxReport(const uint8_t report[kOutputReportSize])
{
    std::lock_guard<Mutex> lock(mutex_);
    if (!opened_ || !ActiveHandleLocked() || !auxHandle_)
        return false;
    return WriteWithRetry(auxHandle_, report, kWriteRetryPauseMs);
}

bool DeviceLink::WriteWirelessPayload(const uint8_t payload[kWirelessPayloadSize])
{
    std::lock_guard<Mutex> lock(mutex_);
    HidHandle handle = opened_ ? ActiveHandleLocked() : nullptr;
    if (!handle)
        return false;
    uint8_t report[kOutputReportSize] = {};
    std::memcpy(report + 1, payload, kWirelessPayloadSize);
    return WriteWithRetry(handle, report, kWirelessRetryPauseMs);
}

int DeviceLink::ReadFeatureLocked(HidHandle handle, uint8_t* buffer)
{
    return backend_->GetFeature(handle, buffer, kFeatureReportSize);
}

bool DeviceLink::ReadSlotTable(const uint8_t request[kFeatureReportSize], uint8_t table[kSlotTableSize])
{
    std::lock_guard<Mutex> lock(mutex_);
    std::memset(table, 0, kSlotTableSize);
    HidHandle handle = opened_ ? ActiveHandleLocked() : nullptr;
    if (!handle)
        return false;
    uint8_t ownRequest[kFeatureReportSize];
    std::memcpy(ownRequest, request, kFeatureReportSize);
    bool complete = backend_->SendFeature(handle, ownRequest, kFeatureReportSize) >= 0;
    uint8_t work[kFeatureReportSize] = {};
    for (size_t piece = 0; piece < 4; ++piece) {
        work[0] = kCommandReportId;
        work[1] = 0xFB;
        work[2] = 0x01;
        Pause(kFeaturePauseMs);
        if (ReadFeatureLocked(handle, work) > 0)
            std::memcpy(table + 7 * piece, work + 1, 7);
        else
            complete = false;
    }
    return complete;
}

bool DeviceLink::QueryFirmwareVersion(uint16_t& version)
{
    {
        std::lock_guard<Mutex> lock(mutex_);
        if (!opened_ || !ActiveHandleLocked())
            return false;
    }
    Pause(kFeaturePauseMs);
    std::lock_guard<Mutex> lock(mutex_);
    HidHandle handle = opened_ ? ActiveHandleLocked() : nullptr;
    if (!handle)
        return false;
    uint8_t buffer[kFeatureReportSize] = {kCommandReportId, 0xFD, 0, 0, 0, 0, 0, 0};
    if (backend_->SendFeature(handle, buffer, kFeatureReportSize) < 0)
        return false;
    uint8_t reply[kFeatureReportSize] = {};
    bool gotData = false;
    Pause(kFeaturePauseMs);
    if (ReadFeatureLocked(handle, buffer) > 0) {
        std::memcpy(reply, buffer, sizeof reply);
        gotData = true;
    }
    // A second read when the first brought no report 7 (or nothing at all).
    if (!gotData || reply[0] != kCommandReportId) {
        Pause(kFeaturePauseMs);
        if (ReadFeatureLocked(handle, buffer) > 0) {
            std::memcpy(reply, buffer, sizeof reply);
            gotData = true;
        }
    }
    if (!gotData)
        return false;
    version = static_cast<uint16_t>((reply[1] << 8) | reply[2]);
    return true;
}
