#pragma once
// The music analyser of the spectrum path: it captures what the computer plays (loopback
// of the default render endpoint, mix format), turns it into 256 spectrum bands and
// paints the 256 x 64 colour image that the live step samples at the key grid. It also
// follows the default output device as the system's endpoint notification client.
#include <windows.h>
#include <mmdeviceapi.h>
#include <audioclient.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/live/MusicFrames.h"

namespace live {

// How draining the capture client ended: no packet left, a call failed, or a packet
// without data (the stream broke).
enum class DrainResult { Empty, Failed, Broken };

// Reads the packets waiting in the capture client into the frame's history (16-bit or
// float values; a packet marked silent as zeros) until one comes back empty. Any failing
// call ends it, and so do 256 packets in one frame.
DrainResult DrainCapture(IAudioCaptureClient& capture, bool isFloat, int channels, SpectrumFrames& frames,
                         std::vector<float>& scratch);

class Visualizer : public IMMNotificationClient {
public:
    // enumerator: the system's device enumerator when null (tests give their own; it is
    // AddRef'd and released by Stop).
    explicit Visualizer(IMMDeviceEnumerator* enumerator = nullptr);
    virtual ~Visualizer();
    Visualizer(const Visualizer&) = delete;
    Visualizer& operator=(const Visualizer&) = delete;

    // Worker thread (Startup task): the start values, the device list with the default
    // render endpoint as entry 0, capture activated, the analyser thread started (not
    // enabled). False when it runs already. Without a sound device the list stays empty
    // and the analyser runs on silence.
    bool Start();
    // Ends the thread, unregisters from the endpoint notifications, releases the devices.
    void Stop();
    bool Running() const { return running_.load(); }

    // User-interface thread. Frames are produced only while enabled; while disabled the
    // thread waits on its condition and the capture stream is stopped, costing nothing.
    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_.load(); }

    // The music layer's values (any thread).
    void SetForegroundEffect(int effect) { frames_->SetForegroundEffect(effect); }
    void SetAmplitude(int amplitude) { frames_->SetAmplitude(static_cast<float>(amplitude)); }
    void SetBackgroundEffect(int effect) { frames_->SetBackgroundEffect(effect); }
    void SetBackgroundBrightness(int percent) { frames_->SetBackgroundBrightness(percent); }
    void SetDeviceIndex(int index);
    int DeviceIndex() const { return deviceIndex_.load(); }

    // Stops and releases the current capture client and activates the indexed device
    // again (a music layer reload). Any thread.
    void ActivateCapture();
    // Adds the default capture endpoint to the device list, captured directly (no
    // loopback), and returns its index, or -1 without one. For a sound server whose
    // default source is the monitor of its output.
    int AddDefaultCaptureDevice();
    size_t DeviceCount() const;
    bool CaptureActive() const;

    // One frame on the calling thread: decay, drain the capture client, analyse, paint,
    // publish. The analyser thread runs it every 15 ms while enabled.
    void ComputeFrame();
    // Frames computed so far (any thread).
    unsigned FramesComputed() const { return framesComputed_.load(); }

    // The frames: settings, published image, state for tests.
    SpectrumFrames& Frames() { return *frames_; }
    const SpectrumFrames& Frames() const { return *frames_; }

    // IMMNotificationClient: called on a system thread.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; } // lives as long as its owner
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR id) override;
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override { return S_OK; }

private:
    struct DeviceEntry {
        std::wstring name;
        IMMDevice* endpoint = nullptr; // owned: released when the list is rebuilt
        bool captureDevice = false;    // captured directly instead of through loopback
    };

    void ThreadMain();
    // The helpers below run with deviceMutex_ held.
    void ClearDevicesLocked();
    void AddDefaultRenderDeviceLocked();
    void ReleaseCaptureLocked();
    void ActivateCaptureLocked();
    void DrainLocked();

    std::unique_ptr<SpectrumFrames> frames_;

    // The device list and the capture client: activation, draining and the endpoint
    // notification all take this lock.
    mutable std::mutex deviceMutex_;
    IMMDeviceEnumerator* enumerator_ = nullptr; // owned
    bool notificationsRegistered_ = false;
    std::vector<DeviceEntry> devices_;
    IAudioClient* client_ = nullptr;          // owned
    IAudioCaptureClient* capture_ = nullptr;  // owned
    bool formatIsFloat_ = true;
    int channels_ = 2;
    std::vector<float> convert_; // 16-bit packets as floats

    std::atomic<unsigned> framesComputed_{0};
    std::atomic<int> deviceIndex_{0};
    std::atomic<bool> running_{false};
    std::atomic<bool> enabled_{false};
    std::mutex wakeMutex_;
    std::condition_variable wake_;
    std::thread thread_;
};

} // namespace live
