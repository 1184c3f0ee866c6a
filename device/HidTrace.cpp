#include "device/HidTrace.h"

#include <cstdio>

#include "device/PauseClock.h"

std::string FormatTraceLine(uint64_t elapsedMs, HidTransferKind kind, const uint8_t* data, size_t length, int result)
{
    std::string line = std::to_string(elapsedMs) + " " + TransferKindName(kind) + " " + std::to_string(length);
    char b[4];
    for (size_t i = 0; i < length; ++i) {
        std::snprintf(b, sizeof b, " %02X", data[i]);
        line += b;
    }
    line += " -> " + std::to_string(result);
    return line;
}

TracingHidBackend::TracingHidBackend(std::shared_ptr<IHidBackend> inner, const std::wstring& file)
    : inner_(std::move(inner)), startMs_(CurrentPauseClock().NowMs())
{
    // Appends, shared: a support trace may span several runs and be read while written.
    file_ = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

TracingHidBackend::~TracingHidBackend()
{
    if (file_ != INVALID_HANDLE_VALUE)
        CloseHandle(file_);
}

void TracingHidBackend::Append(HidTransferKind kind, const uint8_t* data, size_t length, int result)
{
    if (file_ == INVALID_HANDLE_VALUE)
        return;
    const uint64_t now = CurrentPauseClock().NowMs();
    const std::string line = FormatTraceLine(now >= startMs_ ? now - startMs_ : 0, kind, data, length, result) + "\r\n";
    std::lock_guard<std::mutex> lock(mutex_);
    DWORD written = 0;
    WriteFile(file_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

bool TracingHidBackend::IsAuxiliary(HidHandle handle)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = auxiliary_.find(handle);
    return it != auxiliary_.end() && it->second;
}

std::vector<HidDeviceInfo> TracingHidBackend::Enumerate() { return inner_->Enumerate(); }

HidHandle TracingHidBackend::Open(const std::string& path)
{
    HidHandle handle = inner_->Open(path);
    if (handle) {
        std::lock_guard<std::mutex> lock(mutex_);
        auxiliary_[handle] = UpperCasePath(path).find("&MI_03") != std::string::npos;
    }
    return handle;
}

void TracingHidBackend::Close(HidHandle handle)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auxiliary_.erase(handle);
    }
    inner_->Close(handle);
}

int TracingHidBackend::Write(HidHandle handle, const uint8_t* data, size_t length)
{
    const int result = inner_->Write(handle, data, length);
    Append(IsAuxiliary(handle) ? HidTransferKind::AuxOutput : HidTransferKind::Output, data, length, result);
    return result;
}

int TracingHidBackend::SendFeature(HidHandle handle, const uint8_t* data, size_t length)
{
    const int result = inner_->SendFeature(handle, data, length);
    Append(HidTransferKind::FeatureSet, data, length, result);
    return result;
}

int TracingHidBackend::GetFeature(HidHandle handle, uint8_t* data, size_t length)
{
    const int result = inner_->GetFeature(handle, data, length);
    Append(HidTransferKind::FeatureGet, data, length, result);
    return result;
}
