#include "device/live/AudioCapture.h"

#include <audioclient.h>
#include <avrt.h>
#include <ks.h>
#include <ksmedia.h>
#include <mmdeviceapi.h>
#include <process.h>

#include <cstring>
#include <cstdlib>

#include "device/PauseClock.h"

namespace AudioCapture {

namespace {

template <class T>
void SafeRelease(T*& p)
{
    if (p) {
        p->Release();
        p = nullptr;
    }
}

// COM for the calling thread, ended with the scope when it was started here.
class ComScope {
public:
    ComScope() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
    ~ComScope()
    {
        if (ok_)
            CoUninitialize();
    }

private:
    bool ok_;
};

} // namespace

int MusicLevel(const int16_t* values, int count)
{
    if (!values || count < 10)
        return 0;
    // In int: the magnitude of -32768 is 32768, so full scale gives 128.
    return std::abs(static_cast<int>(values[count - 10])) >> 8;
}

void ConvertToPcm16(WAVEFORMATEX& format)
{
    if (format.wFormatTag == WAVE_FORMAT_IEEE_FLOAT) {
        format.wFormatTag = WAVE_FORMAT_PCM;
    } else if (format.wFormatTag == WAVE_FORMAT_EXTENSIBLE && format.cbSize >= 22) {
        auto& ext = reinterpret_cast<WAVEFORMATEXTENSIBLE&>(format);
        if (IsEqualGUID(ext.SubFormat, KSDATAFORMAT_SUBTYPE_IEEE_FLOAT)) {
            ext.SubFormat = KSDATAFORMAT_SUBTYPE_PCM;
            ext.Samples.wValidBitsPerSample = 16;
        }
    }
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(format.nChannels * 2);
    format.nAvgBytesPerSec = format.nBlockAlign * format.nSamplesPerSec;
}

CaptureThread::CaptureThread(Endpoint endpoint)
    : endpoint_(endpoint), wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr))
{
}

CaptureThread::~CaptureThread()
{
    Stop();
    if (wake_)
        CloseHandle(wake_);
}

bool CaptureThread::Start(IProxy* proxy)
{
    std::lock_guard<std::mutex> lock(startMutex_);
    if (!proxy || threadId_.load() != 0)
        return false;
    if (thread_) { // a thread that ended by itself
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    proxy_ = proxy;
    unsigned id = 0;
    // Created suspended so that the record holds the id before the loop compares it.
    thread_ = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &CaptureThread::ThreadProc, this, CREATE_SUSPENDED, &id));
    if (!thread_)
        return false;
    threadId_ = id;
    ResumeThread(thread_);
    return true;
}

void CaptureThread::Stop()
{
    std::lock_guard<std::mutex> lock(startMutex_);
    threadId_ = 0;
    if (!thread_)
        return;
    SetEvent(wake_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
}

void CaptureThread::SetPeriod(unsigned milliseconds)
{
    if (milliseconds)
        period_ = milliseconds;
}

void CaptureThread::SetActive(bool active)
{
    active_ = active;
    SetEvent(wake_);
}

unsigned __stdcall CaptureThread::ThreadProc(void* self)
{
    auto* capture = static_cast<CaptureThread*>(self);
    capture->Run(GetCurrentThreadId());
    return 0;
}

void CaptureThread::Run(DWORD ownId)
{
    IMMDeviceEnumerator* enumerator = nullptr;
    IMMDevice* device = nullptr;
    IAudioClient* client = nullptr;
    IAudioCaptureClient* capture = nullptr;
    WAVEFORMATEX* format = nullptr;
    HANDLE mmcss = nullptr;
    {
        ComScope com;
        bool ready = false;
        do {
            if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                        reinterpret_cast<void**>(&enumerator))))
                break;
            const bool loopback = endpoint_ == Endpoint::RenderLoopback;
            if (FAILED(enumerator->GetDefaultAudioEndpoint(loopback ? eRender : eCapture, eConsole, &device)))
                break;
            if (FAILED(device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, reinterpret_cast<void**>(&client))))
                break;
            if (FAILED(client->GetMixFormat(&format)) || !format)
                break;
            ConvertToPcm16(*format);
            const DWORD flags = loopback ? AUDCLNT_STREAMFLAGS_LOOPBACK : 0;
            HRESULT hr = client->Initialize(AUDCLNT_SHAREMODE_SHARED, flags, 0, 0, format, nullptr);
            if (hr == AUDCLNT_E_UNSUPPORTED_FORMAT) {
                // A shared stream runs in the mix format unless the system converts.
                hr = client->Initialize(AUDCLNT_SHAREMODE_SHARED,
                                        flags | AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM | AUDCLNT_STREAMFLAGS_SRC_DEFAULT_QUALITY,
                                        0, 0, format, nullptr);
            }
            if (FAILED(hr))
                break;
            if (FAILED(client->GetService(__uuidof(IAudioCaptureClient), reinterpret_cast<void**>(&capture))))
                break;
            DWORD taskIndex = 0;
            mmcss = AvSetMmThreadCharacteristicsW(L"Capture", &taskIndex);
            ready = true;
        } while (false);

        if (ready) {
            proxy_->OnFormat(*format);
            const int channels = format->nChannels;
            const int blockAlign = format->nBlockAlign;
            const int bits = format->wBitsPerSample;
            bool streaming = false;
            while (threadId_.load() == ownId) {
                if (!active_.load()) {
                    if (streaming)
                        client->Stop();
                    streaming = false;
                    WaitForSingleObject(wake_, INFINITE);
                    continue;
                }
                if (!streaming) {
                    if (FAILED(client->Start()))
                        break;
                    streaming = true;
                }
                UINT32 packetSize = 0;
                if (SUCCEEDED(capture->GetNextPacketSize(&packetSize)) && packetSize) {
                    BYTE* data = nullptr;
                    UINT32 frames = 0;
                    DWORD bufferFlags = 0;
                    if (SUCCEEDED(capture->GetBuffer(&data, &frames, &bufferFlags, nullptr, nullptr))) {
                        if (frames) {
                            const size_t bytes = static_cast<size_t>(frames) * blockAlign;
                            packet_.assign((bytes + 1) / 2, 0);
                            const bool silent =
                                bufferFlags & (AUDCLNT_BUFFERFLAGS_SILENT | AUDCLNT_BUFFERFLAGS_TIMESTAMP_ERROR);
                            if (data && !silent)
                                std::memcpy(packet_.data(), data, bytes);
                            proxy_->OnData(packet_.data(), static_cast<int>(frames) * channels, blockAlign, bits,
                                           channels);
                        }
                        capture->ReleaseBuffer(frames);
                    }
                } else {
                    proxy_->OnData(nullptr, 0, blockAlign, bits, channels);
                }
                TimerResolution1ms resolution;
                WaitForSingleObject(wake_, period_.load());
            }
            if (streaming)
                client->Stop();
        }

        proxy_->OnCaptureStopped();
        if (mmcss)
            AvRevertMmThreadCharacteristics(mmcss);
        SafeRelease(capture);
        SafeRelease(client);
        SafeRelease(device);
        SafeRelease(enumerator);
        if (format)
            CoTaskMemFree(format);
    }
    DWORD expected = ownId;
    threadId_.compare_exchange_strong(expected, 0);
}

} // namespace AudioCapture
