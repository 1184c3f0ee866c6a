#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "device/HidBackend.h"

// One line of the HID trace: milliseconds since the trace began, the transfer kind,
// the length, the bytes in hex and the result, e.g.
//   "1234 feature-set 8 07 F7 03 00 99 66 02 33 -> 8"
std::string FormatTraceLine(uint64_t elapsedMs, HidTransferKind kind, const uint8_t* data, size_t length, int result);

// Wraps a backend and appends every transfer to a text file (the TASTRO_HID_TRACE
// switch). Transfers to an interface whose path contains "&MI_03" are traced as
// aux-output. A file that cannot be opened leaves the backend untraced.
class TracingHidBackend : public IHidBackend {
public:
    TracingHidBackend(std::shared_ptr<IHidBackend> inner, const std::wstring& file);
    ~TracingHidBackend() override;

    bool IsTracing() const { return file_ != INVALID_HANDLE_VALUE; }
    std::shared_ptr<IHidBackend> Inner() const { return inner_; }

    std::vector<HidDeviceInfo> Enumerate() override;
    HidHandle Open(const std::string& path) override;
    void Close(HidHandle handle) override;
    int Write(HidHandle handle, const uint8_t* data, size_t length) override;
    int SendFeature(HidHandle handle, const uint8_t* data, size_t length) override;
    int GetFeature(HidHandle handle, uint8_t* data, size_t length) override;

private:
    void Append(HidTransferKind kind, const uint8_t* data, size_t length, int result);
    bool IsAuxiliary(HidHandle handle);

    std::shared_ptr<IHidBackend> inner_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    uint64_t startMs_ = 0;
    std::mutex mutex_;
    std::map<HidHandle, bool> auxiliary_;
};
