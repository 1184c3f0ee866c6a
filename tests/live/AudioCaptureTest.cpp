// The level path: the level of a packet, the capture format, the forwarder and the
// capture thread's quiet end without a loopback stream.
#include <gtest/gtest.h>
#include <windows.h>
#include <ks.h>
#include <ksmedia.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "LiveTestSupport.h"
#include "device/live/AudioCapture.h"

using namespace AudioCapture;
using livetest::WaitFor;

TEST(MusicLevel, ValueAtCountMinusTenShiftedRight)
{
    struct Case {
        std::vector<int16_t> values;
        int count;
        int level;
    } cases[] = {
        {{-32768, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 10, 128}, // full scale: 128, not 128 of a wrapped 16-bit value
        {{32767, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 10, 127},
        {{0, 0x1234, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 11, 0x12},
        {{0, -0x1234, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 11, 0x12},
        {{255, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 10, 0},
        {{-32768, -32768, -32768, -32768, -32768, -32768, -32768, -32768, -32768}, 9, 0}, // short packet
        {{}, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MusicLevel(c.values.empty() ? nullptr : c.values.data(), c.count), c.level) << c.count;
    EXPECT_EQ(MusicLevel(nullptr, 100), 0);
}

TEST(CaptureFormat, MixFormatsBecomeSixteenBitPcm)
{
    WAVEFORMATEX plain = {};
    plain.wFormatTag = WAVE_FORMAT_IEEE_FLOAT;
    plain.nChannels = 2;
    plain.nSamplesPerSec = 48000;
    plain.wBitsPerSample = 32;
    plain.nBlockAlign = 8;
    ConvertToPcm16(plain);
    EXPECT_EQ(plain.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(plain.wBitsPerSample, 16);
    EXPECT_EQ(plain.nBlockAlign, 4);
    EXPECT_EQ(plain.nAvgBytesPerSec, 192000u);

    WAVEFORMATEXTENSIBLE ext = {};
    ext.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    ext.Format.cbSize = 22;
    ext.Format.nChannels = 6;
    ext.Format.nSamplesPerSec = 44100;
    ext.Format.wBitsPerSample = 32;
    ext.Samples.wValidBitsPerSample = 32;
    ext.SubFormat = KSDATAFORMAT_SUBTYPE_IEEE_FLOAT;
    ConvertToPcm16(ext.Format);
    EXPECT_EQ(ext.Format.wFormatTag, WAVE_FORMAT_EXTENSIBLE);
    EXPECT_TRUE(IsEqualGUID(ext.SubFormat, KSDATAFORMAT_SUBTYPE_PCM));
    EXPECT_EQ(ext.Samples.wValidBitsPerSample, 16);
    EXPECT_EQ(ext.Format.nBlockAlign, 12);
    EXPECT_EQ(ext.Format.nAvgBytesPerSec, 12u * 44100);
}

namespace {

// An owner that records what reaches each of its slots.
struct RecordingOwner {
    std::vector<std::string> calls;
    void Stopped() { calls.push_back("stopped"); }
    void Data(const int16_t* values, int count, int blockAlign, int bits, int channels)
    {
        calls.push_back("data " + std::to_string(values ? values[0] : -1) + " " + std::to_string(count) + " " +
                        std::to_string(blockAlign) + " " + std::to_string(bits) + " " + std::to_string(channels));
    }
    void Format(const WAVEFORMATEX& f) { calls.push_back("format " + std::to_string(f.nChannels)); }
};

} // namespace

TEST(CaptureProxy, ForwardsEachSlotToItsOwnerMemberAndUnboundSlotsDoNothing)
{
    RecordingOwner owner;
    Proxy<RecordingOwner> proxy(&owner);
    IProxy& forwarder = proxy;
    const int16_t packet[] = {7, 8};
    WAVEFORMATEX format = {};
    format.nChannels = 2;

    forwarder.OnCaptureStopped();
    forwarder.OnData(packet, 2, 4, 16, 2);
    forwarder.OnFormat(format);
    EXPECT_TRUE(owner.calls.empty());

    proxy.BindData(&RecordingOwner::Data);
    forwarder.OnData(packet, 2, 4, 16, 2);
    forwarder.OnData(nullptr, 0, 4, 16, 2);
    forwarder.OnCaptureStopped();
    proxy.BindStopped(&RecordingOwner::Stopped);
    proxy.BindFormat(&RecordingOwner::Format);
    forwarder.OnFormat(format);
    forwarder.OnCaptureStopped();
    const std::vector<std::string> expected = {"data 7 2 4 16 2", "data -1 0 4 16 2", "format 2", "stopped"};
    EXPECT_EQ(owner.calls, expected);
}

namespace {

struct ThreadOwner {
    std::atomic<int> stopped{0};
    std::atomic<int> packets{0};
    void Stopped() { ++stopped; }
    void Data(const int16_t*, int, int, int, int) { ++packets; }
};


} // namespace

// No loopback stream here (no sound server, or a driver without loopback capture): the
// thread ends by itself, tells its owner and sends no packet; a new start is possible.
TEST(CaptureThread, WithoutALoopbackStreamTheThreadEndsQuietly)
{
    ThreadOwner owner;
    Proxy<ThreadOwner> proxy(&owner);
    proxy.BindStopped(&ThreadOwner::Stopped);
    proxy.BindData(&ThreadOwner::Data);
    CaptureThread capture;
    capture.SetActive(true);
    ASSERT_TRUE(capture.Start(&proxy));
    ASSERT_TRUE(WaitFor([&] { return !capture.Running(); }));
    EXPECT_EQ(owner.stopped.load(), 1);
    EXPECT_EQ(owner.packets.load(), 0);
    EXPECT_FALSE(capture.Start(nullptr));
    EXPECT_TRUE(capture.Start(&proxy));
    capture.Stop();
    EXPECT_FALSE(capture.Running());
}

TEST(CaptureThread, PeriodKeepsTheLastNonZeroValue)
{
    CaptureThread capture;
    EXPECT_EQ(capture.Period(), 33u);
    capture.SetPeriod(99);
    capture.SetPeriod(0);
    EXPECT_EQ(capture.Period(), 99u);
}
