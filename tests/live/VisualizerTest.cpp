// The music analyser around its frames: draining a capture client, the device list and
// its endpoint objects, the thread's enabled state.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <memory>
#include <thread>
#include <vector>

#include "LiveTestSupport.h"
#include "device/live/Visualizer.h"

using namespace live;
using livetest::WaitFor;

namespace {

// A capture client that hands out the packets it was given, then fails or breaks as told.
class FakeCaptureClient : public IAudioCaptureClient {
public:
    std::vector<std::vector<float>> packets; // stereo float values
    HRESULT afterPackets = S_OK;            // S_OK: an empty buffer; else this error
    bool breakAfterPackets = false;          // a buffer with frames but no data
    int getCalls = 0;
    int releaseCalls = 0;
    HRESULT releaseResult = S_OK;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** p) override
    {
        *p = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetBuffer(BYTE** data, UINT32* frames, DWORD* flags, UINT64*, UINT64*) override
    {
        ++getCalls;
        *flags = 0;
        if (next_ < packets.size()) {
            *data = reinterpret_cast<BYTE*>(packets[next_].data());
            *frames = static_cast<UINT32>(packets[next_].size() / 2);
            ++next_;
            return S_OK;
        }
        *data = nullptr;
        *frames = breakAfterPackets ? 100 : 0;
        if (breakAfterPackets)
            return S_OK;
        return afterPackets == S_OK ? AUDCLNT_S_BUFFER_EMPTY : afterPackets;
    }
    HRESULT STDMETHODCALLTYPE ReleaseBuffer(UINT32) override
    {
        ++releaseCalls;
        return releaseResult;
    }
    HRESULT STDMETHODCALLTYPE GetNextPacketSize(UINT32* size) override
    {
        *size = 0;
        return S_OK;
    }

private:
    size_t next_ = 0;
};

// An endpoint that counts its references and cannot be activated.
class FakeDevice : public IMMDevice {
public:
    std::atomic<long> refs{1};
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** p) override
    {
        *p = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE Activate(REFIID, DWORD, PROPVARIANT*, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OpenPropertyStore(DWORD, IPropertyStore**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetId(LPWSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetState(DWORD*) override { return E_NOTIMPL; }
};

// Hands out a fresh default render endpoint at every request and keeps them all, so that
// a test can count what is still referenced.
class FakeEnumerator : public IMMDeviceEnumerator {
public:
    std::vector<std::unique_ptr<FakeDevice>> handedOut;
    std::atomic<long> refs{1};
    IMMNotificationClient* client = nullptr;
    std::mutex mutex;

    long LiveDevices()
    {
        std::lock_guard<std::mutex> lock(mutex);
        long live = 0;
        for (auto& d : handedOut)
            live += d->refs.load() > 1 ? 1 : 0; // the test's own reference is the 1
        return live;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** p) override
    {
        *p = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE EnumAudioEndpoints(EDataFlow, DWORD, IMMDeviceCollection**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDefaultAudioEndpoint(EDataFlow flow, ERole, IMMDevice** device) override
    {
        if (flow != eRender)
            return E_NOTFOUND;
        std::lock_guard<std::mutex> lock(mutex);
        handedOut.push_back(std::make_unique<FakeDevice>());
        handedOut.back()->AddRef(); // the caller's reference
        *device = handedOut.back().get();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDevice(LPCWSTR, IMMDevice**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RegisterEndpointNotificationCallback(IMMNotificationClient* c) override
    {
        client = c;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UnregisterEndpointNotificationCallback(IMMNotificationClient*) override
    {
        client = nullptr;
        return S_OK;
    }
};


} // namespace

TEST(AnalyserDrain, EveryPacketIsReadUntilAnEmptyBuffer)
{
    auto frames = std::make_unique<SpectrumFrames>();
    FakeCaptureClient client;
    client.packets = {{1, 1, 1, 1}, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}};
    std::vector<float> scratch;
    frames->BeginFrame();
    EXPECT_EQ(DrainCapture(client, true, 2, *frames, scratch), DrainResult::Empty);
    EXPECT_EQ(client.getCalls, 3);
    EXPECT_EQ(client.releaseCalls, 2);
}

TEST(AnalyserDrain, AFailingCallEndsTheFramesDrain)
{
    struct Case {
        const char* name;
        HRESULT afterPackets;
        bool breaks;
        HRESULT release;
        DrainResult result;
        int getCalls;
    } cases[] = {
        {"GetBuffer fails", AUDCLNT_E_DEVICE_INVALIDATED, false, S_OK, DrainResult::Failed, 2},
        {"ReleaseBuffer fails", S_OK, false, E_FAIL, DrainResult::Failed, 1},
        {"frames without data", S_OK, true, S_OK, DrainResult::Broken, 2},
    };
    for (const Case& c : cases) {
        auto frames = std::make_unique<SpectrumFrames>();
        FakeCaptureClient client;
        client.packets = {{1, 1, 1, 1}};
        client.afterPackets = c.afterPackets;
        client.breakAfterPackets = c.breaks;
        client.releaseResult = c.release;
        std::vector<float> scratch;
        frames->BeginFrame();
        EXPECT_EQ(DrainCapture(client, true, 2, *frames, scratch), c.result) << c.name;
        EXPECT_EQ(client.getCalls, c.getCalls) << c.name;
    }
}

TEST(AnalyserDrain, AClientThatNeverRunsDryStillEndsTheFrame)
{
    auto frames = std::make_unique<SpectrumFrames>();
    FakeCaptureClient client;
    client.packets.assign(1000, std::vector<float>{0.1f, 0.1f});
    std::vector<float> scratch;
    frames->BeginFrame();
    EXPECT_EQ(DrainCapture(client, true, 2, *frames, scratch), DrainResult::Failed);
    EXPECT_EQ(client.getCalls, 256);
}

TEST(AnalyserDevices, TheListIsRebuiltOnADefaultRenderChangeAndReleasesItsEndpoints)
{
    FakeEnumerator enumerator;
    {
        Visualizer analyser(&enumerator);
        ASSERT_TRUE(analyser.Start());
        EXPECT_FALSE(analyser.Start()); // once
        ASSERT_NE(enumerator.client, nullptr);
        EXPECT_EQ(analyser.DeviceCount(), 1u);
        EXPECT_EQ(enumerator.LiveDevices(), 1);
        EXPECT_FALSE(analyser.CaptureActive()); // the fake endpoint cannot be activated

        // Other flows and roles are ignored; a render/console change rebuilds the list.
        enumerator.client->OnDefaultDeviceChanged(eCapture, eConsole, L"x");
        enumerator.client->OnDefaultDeviceChanged(eRender, eMultimedia, L"x");
        EXPECT_EQ(enumerator.handedOut.size(), 1u);
        enumerator.client->OnDefaultDeviceChanged(eRender, eConsole, L"x");
        EXPECT_EQ(enumerator.handedOut.size(), 2u);
        EXPECT_EQ(analyser.DeviceCount(), 1u);
        EXPECT_EQ(enumerator.LiveDevices(), 1); // the first endpoint was released

        // Notifications while the analyser thread drains and computes frames.
        analyser.SetEnabled(true);
        std::thread notifier([&] {
            for (int i = 0; i < 200; ++i)
                enumerator.client->OnDefaultDeviceChanged(eRender, eConsole, L"x");
        });
        for (int i = 0; i < 50; ++i)
            analyser.ActivateCapture();
        notifier.join();
        EXPECT_EQ(analyser.DeviceCount(), 1u);
        EXPECT_EQ(enumerator.LiveDevices(), 1);
    }
    EXPECT_EQ(enumerator.LiveDevices(), 0); // stopped: every endpoint released
    EXPECT_EQ(enumerator.client, nullptr);
    EXPECT_EQ(enumerator.refs.load(), 1);
}

TEST(AnalyserThread, FramesOnlyWhileEnabledAndSilenceWithoutASoundDevice)
{
    Visualizer analyser;
    analyser.SetBackgroundEffect(5);
    analyser.SetBackgroundBrightness(100);
    ASSERT_TRUE(analyser.Start());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(analyser.FramesComputed(), 0u); // started paused

    analyser.SetEnabled(true);
    ASSERT_TRUE(WaitFor([&] { return analyser.FramesComputed() >= 3; }));
    analyser.SetEnabled(false);
    EXPECT_TRUE(livetest::WaitUntilSteady([&] { return analyser.FramesComputed(); }));
    // Nothing plays: the bands stay 0, only the background is seen.
    EXPECT_EQ(analyser.Frames().PublishedPixel(100, 30), 0x00FD00u);
    EXPECT_EQ(analyser.Frames().PublishedPixel(127, 0), 0x00FD00u);
    analyser.Stop();
    EXPECT_FALSE(analyser.Running());
}
