#include "device/live/Visualizer.h"

#include <ks.h>
#include <ksmedia.h>

#include <chrono>

namespace live {

namespace {

constexpr auto kFramePeriod = std::chrono::milliseconds(15);
// A driver that keeps handing out packets cannot hold a frame for ever.
constexpr int kMaxPacketsPerFrame = 256;

bool IsFloatFormat(const WAVEFORMATEX& f)
{
    if (f.wFormatTag == WAVE_FORMAT_IEEE_FLOAT)
        return true;
    if (f.wFormatTag == WAVE_FORMAT_EXTENSIBLE && f.cbSize >= 22)
        return IsEqualGUID(reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(f).SubFormat, KSDATAFORMAT_SUBTYPE_IEEE_FLOAT);
    return false;
}

bool IsPcm16Format(const WAVEFORMATEX& f)
{
    if (f.wBitsPerSample != 16)
        return false;
    if (f.wFormatTag == WAVE_FORMAT_PCM)
        return true;
    return f.wFormatTag == WAVE_FORMAT_EXTENSIBLE && f.cbSize >= 22 &&
           IsEqualGUID(reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(f).SubFormat, KSDATAFORMAT_SUBTYPE_PCM);
}

template <class T>
void SafeRelease(T*& p)
{
    if (p) {
        p->Release();
        p = nullptr;
    }
}

} // namespace

Visualizer::Visualizer(IMMDeviceEnumerator* enumerator) : frames_(std::make_unique<SpectrumFrames>()), enumerator_(enumerator)
{
    if (enumerator_)
        enumerator_->AddRef();
}

Visualizer::~Visualizer() { Stop(); }

bool Visualizer::Start()
{
    if (running_.load())
        return false;
    Tables(); // the window and tilt tables, computed once
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    // Left initialised: this is the worker thread, which lives as long as the process.
    (void)com;
    {
        std::lock_guard<std::mutex> lock(deviceMutex_);
        if (!enumerator_ && FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                                    __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&enumerator_))))
            enumerator_ = nullptr;
        if (enumerator_ && !notificationsRegistered_)
            notificationsRegistered_ = SUCCEEDED(enumerator_->RegisterEndpointNotificationCallback(this));
        ClearDevicesLocked();
        AddDefaultRenderDeviceLocked();
        ActivateCaptureLocked();
    }
    running_ = true;
    thread_ = std::thread(&Visualizer::ThreadMain, this);
    return true;
}

void Visualizer::Stop()
{
    if (thread_.joinable()) {
        {
            std::lock_guard<std::mutex> lock(wakeMutex_);
            running_ = false;
        }
        wake_.notify_all();
        thread_.join();
    }
    running_ = false;
    IMMDeviceEnumerator* enumerator = nullptr;
    {
        std::lock_guard<std::mutex> lock(deviceMutex_);
        enumerator = enumerator_;
        enumerator_ = nullptr;
    }
    // Outside the lock: a notification in progress may be waiting for it.
    if (enumerator) {
        if (notificationsRegistered_)
            enumerator->UnregisterEndpointNotificationCallback(this);
        notificationsRegistered_ = false;
    }
    {
        std::lock_guard<std::mutex> lock(deviceMutex_);
        ReleaseCaptureLocked();
        ClearDevicesLocked();
    }
    SafeRelease(enumerator);
}

void Visualizer::SetEnabled(bool enabled)
{
    {
        std::lock_guard<std::mutex> lock(deviceMutex_);
        if (client_ && enabled != enabled_.load()) {
            if (enabled)
                client_->Start();
            else
                client_->Stop();
        }
        std::lock_guard<std::mutex> wakeLock(wakeMutex_);
        enabled_ = enabled;
    }
    wake_.notify_all();
}

void Visualizer::SetDeviceIndex(int index) { deviceIndex_ = index < 0 ? 0 : index; }

void Visualizer::ActivateCapture()
{
    std::lock_guard<std::mutex> lock(deviceMutex_);
    ActivateCaptureLocked();
}

int Visualizer::AddDefaultCaptureDevice()
{
    std::lock_guard<std::mutex> lock(deviceMutex_);
    IMMDevice* device = nullptr;
    if (!enumerator_ || FAILED(enumerator_->GetDefaultAudioEndpoint(eCapture, eConsole, &device)))
        return -1;
    devices_.push_back({L"Default Capture Device", device, true});
    return static_cast<int>(devices_.size()) - 1;
}

size_t Visualizer::DeviceCount() const
{
    std::lock_guard<std::mutex> lock(deviceMutex_);
    return devices_.size();
}

bool Visualizer::CaptureActive() const
{
    std::lock_guard<std::mutex> lock(deviceMutex_);
    return capture_ != nullptr;
}

void Visualizer::ClearDevicesLocked()
{
    for (DeviceEntry& d : devices_)
        SafeRelease(d.endpoint);
    devices_.clear();
}

void Visualizer::AddDefaultRenderDeviceLocked()
{
    IMMDevice* device = nullptr;
    if (enumerator_ && SUCCEEDED(enumerator_->GetDefaultAudioEndpoint(eRender, eConsole, &device)))
        devices_.push_back({L"Default Loopback Device", device, false});
}

void Visualizer::ReleaseCaptureLocked()
{
    if (client_)
        client_->Stop();
    SafeRelease(capture_);
    SafeRelease(client_);
}

void Visualizer::ActivateCaptureLocked()
{
    ReleaseCaptureLocked();
    if (devices_.empty())
        return;
    if (deviceIndex_.load() >= static_cast<int>(devices_.size()))
        deviceIndex_ = 0;
    const DeviceEntry& entry = devices_[deviceIndex_.load()];
    WAVEFORMATEX* format = nullptr;
    bool ok = SUCCEEDED(entry.endpoint->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr,
                                                 reinterpret_cast<void**>(&client_))) &&
              SUCCEEDED(client_->GetMixFormat(&format)) && format;
    if (ok) {
        formatIsFloat_ = IsFloatFormat(*format);
        channels_ = format->nChannels;
        ok = (formatIsFloat_ || IsPcm16Format(*format)) &&
             SUCCEEDED(client_->Initialize(AUDCLNT_SHAREMODE_SHARED, entry.captureDevice ? 0 : AUDCLNT_STREAMFLAGS_LOOPBACK,
                                           0, 0, format, nullptr)) &&
             SUCCEEDED(client_->GetService(__uuidof(IAudioCaptureClient), reinterpret_cast<void**>(&capture_))) &&
             (!enabled_.load() || SUCCEEDED(client_->Start())); // a disabled analyser keeps it stopped
    }
    if (format)
        CoTaskMemFree(format);
    if (!ok) {
        SafeRelease(capture_);
        SafeRelease(client_);
    }
}

DrainResult DrainCapture(IAudioCaptureClient& capture, bool isFloat, int channels, SpectrumFrames& frames,
                         std::vector<float>& scratch)
{
    for (int packets = 0; packets < kMaxPacketsPerFrame; ++packets) {
        BYTE* data = nullptr;
        UINT32 count = 0;
        DWORD flags = 0;
        const HRESULT hr = capture.GetBuffer(&data, &count, &flags, nullptr, nullptr);
        if (FAILED(hr))
            return DrainResult::Failed;
        if (count == 0)
            return DrainResult::Empty;
        if (!data)
            return DrainResult::Broken;
        const size_t values = static_cast<size_t>(count) * (channels > 0 ? channels : 1);
        const bool silent = flags & AUDCLNT_BUFFERFLAGS_SILENT;
        if (isFloat && !silent) {
            frames.Push(reinterpret_cast<const float*>(data), values);
        } else {
            scratch.assign(values, 0.0f);
            if (!silent) {
                const auto* samples = reinterpret_cast<const int16_t*>(data);
                for (size_t i = 0; i < values; ++i)
                    scratch[i] = samples[i] / 32768.0f;
            }
            frames.Push(scratch.data(), values);
        }
        if (FAILED(capture.ReleaseBuffer(count)))
            return DrainResult::Failed;
    }
    return DrainResult::Failed;
}

void Visualizer::DrainLocked()
{
    if (!capture_)
        return;
    // The stream broke: it stays off until the device changes or the layer reloads.
    if (DrainCapture(*capture_, formatIsFloat_, channels_, *frames_, convert_) == DrainResult::Broken)
        ReleaseCaptureLocked();
}

void Visualizer::ComputeFrame()
{
    frames_->BeginFrame();
    {
        std::lock_guard<std::mutex> lock(deviceMutex_);
        DrainLocked();
    }
    frames_->EndFrame();
    ++framesComputed_;
}

void Visualizer::ThreadMain()
{
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    std::unique_lock<std::mutex> lock(wakeMutex_);
    while (running_.load()) {
        if (!enabled_.load()) {
            wake_.wait(lock, [this] { return !running_.load() || enabled_.load(); });
            continue;
        }
        lock.unlock();
        ComputeFrame();
        lock.lock();
        wake_.wait_for(lock, kFramePeriod, [this] { return !running_.load(); });
    }
    lock.unlock();
    if (SUCCEEDED(com))
        CoUninitialize();
}

HRESULT Visualizer::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, __uuidof(IMMNotificationClient))) {
        *object = static_cast<IMMNotificationClient*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT Visualizer::OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR)
{
    if (flow != eRender || role != eConsole)
        return S_OK;
    std::lock_guard<std::mutex> lock(deviceMutex_);
    ReleaseCaptureLocked();
    ClearDevicesLocked();
    AddDefaultRenderDeviceLocked();
    ActivateCaptureLocked();
    return S_OK;
}

} // namespace live
