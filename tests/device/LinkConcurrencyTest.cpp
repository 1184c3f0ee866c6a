// The link's lock: command sequences keep other reports out, rescans wait for running
// sequences, and no thread ever transfers on a handle a rescan has closed.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <thread>

#include "device/KeyboardProtocol.h"
#include "support/VirtualRig.h"

using namespace protocol;
using namespace testsupport;

namespace {

// A clock whose pauses wait until the test lets them go, so that a thread can be held
// exactly inside a sequence. It opens when it goes out of scope.
class GateClock : public IPauseClock {
public:
    ~GateClock() { Open(); }

    void Pause(unsigned) override
    {
        std::unique_lock<std::mutex> lock(mutex_);
        ++entered_;
        changed_.notify_all();
        changed_.wait(lock, [&] { return open_ || permits_ > 0; });
        if (!open_)
            --permits_;
    }
    uint64_t NowMs() override { return 0; }

    bool WaitForPauses(int count)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return entered_ >= count; });
    }
    // Lets the next `count` pauses pass.
    void Release(int count)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        permits_ += count;
        changed_.notify_all();
    }
    void Open()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int entered_ = 0;
    int permits_ = 0;
    bool open_ = false;
};

// Opens the gate and joins the thread, also when a test stops early.
class Joiner {
public:
    Joiner(std::thread& thread, GateClock& gate) : thread_(thread), gate_(gate) {}
    ~Joiner() { Join(); }
    void Join()
    {
        gate_.Open();
        if (thread_.joinable())
            thread_.join();
    }

private:
    std::thread& thread_;
    GateClock& gate_;
};

// A clock whose pauses only give the processor away: sequences stay quick but other
// threads get their turn inside them.
class YieldingClock : public IPauseClock {
public:
    void Pause(unsigned) override { SwitchToThread(); }
    uint64_t NowMs() override { return 0; }
};

int CountCommand(const std::vector<VirtualTransfer>& transfers, uint8_t command)
{
    int n = 0;
    for (const VirtualTransfer& t : transfers)
        n += t.bytes.size() > 1 && t.bytes[1] == command;
    return n;
}

} // namespace

TEST(LinkLock, SequenceKeepsMusicLevelsAndRescansOut)
{
    VirtualRig rig;
    rig.Attach(VirtualConnection::Wired);
    rig.Scan();
    GateClock gate;
    ScopedPauseClock useGate(&gate);

    gate.Release(1);
    std::thread sequence([&] { SendMacroSlot(rig.link, 0x2C, 4, kKindShortcut, 3, nullptr); });
    Joiner joinSequence(sequence, gate);
    ASSERT_TRUE(gate.WaitForPauses(2)); // the first piece is out; the sequence waits before the second

    // A music level in the middle of the sequence is skipped, not interleaved.
    EXPECT_FALSE(SendMusicLevel(rig.link, 100, MusicSettings()));

    // A rescan waits for the sequence to end.
    std::atomic<bool> rescanned{false};
    std::thread scanner([&] {
        rig.link.Rescan();
        rescanned = true;
    });
    Joiner joinScanner(scanner, gate);
    Sleep(100);
    EXPECT_FALSE(rescanned.load());

    joinSequence.Join();
    joinScanner.Join();
    EXPECT_TRUE(rescanned.load());

    const auto transfers = rig.keyboard->Transfers();
    ASSERT_EQ(transfers.size(), 28u);
    for (const VirtualTransfer& t : transfers)
        EXPECT_GT(t.result, 0);
    EXPECT_EQ(CountCommand(transfers, 0x23), 0);
    EXPECT_EQ(rig.keyboard->State().macroSlots[3], 0x2C);
    EXPECT_EQ(rig.keyboard->State().interruptedMacroAssemblies, 0);
    EXPECT_EQ(rig.keyboard->ClosedHandleUses(), 0);

    // With no sequence running the music level goes out again (on the rescanned handle).
    EXPECT_TRUE(SendMusicLevel(rig.link, 100, MusicSettings()));
}

TEST(LinkLock, SingleReportDoesNotHoldTheLinkDuringItsPause)
{
    VirtualRig rig;
    rig.Attach(VirtualConnection::Wired);
    rig.Scan();
    GateClock gate;
    ScopedPauseClock useGate(&gate);

    const uint8_t lighting[8] = {0x07, 0xF7, 0x01};
    std::atomic<bool> sent{false};
    std::thread sender([&] { sent = rig.link.SendFeatureAfterDelay(lighting); });
    Joiner joinSender(sender, gate);
    ASSERT_TRUE(gate.WaitForPauses(1));

    // Music levels and a rescan go ahead while the report waits out its pause...
    EXPECT_TRUE(SendMusicLevel(rig.link, 10, MusicSettings()));
    rig.link.Rescan();
    rig.link.SetCurrentDeviceType(kMainFamily);

    // ...and the report then goes to the interface as it is after the rescan.
    joinSender.Join();
    EXPECT_TRUE(sent.load());
    EXPECT_EQ(rig.keyboard->ClosedHandleUses(), 0);
    EXPECT_EQ(rig.keyboard->State().lighting[0], 0x01);
}

TEST(LinkLock, MusicLevelsAgainstRescansAndUnplugging)
{
    VirtualRig rig;
    const int wired = rig.Attach(VirtualConnection::Wired);
    rig.Attach(VirtualConnection::Wireless1);
    rig.Scan();
    YieldingClock yielding;
    ScopedPauseClock useYielding(&yielding);

    std::atomic<bool> done{false};
    std::atomic<int> rescans{0};
    std::thread scanner([&] {
        while (!done) {
            rig.keyboard->Unplug(wired);
            rig.link.Rescan();
            rig.link.SetCurrentDeviceType(kMainFamily);
            rig.keyboard->Plug(wired);
            rig.link.Rescan();
            rig.link.SetCurrentDeviceType(kMainFamily);
            ++rescans;
            Sleep(1);
        }
    });
    // A worker running colour sequences at the same time.
    std::thread worker([&] {
        const ColourTable table = BuildKeyColourTable({{3, 0x00FFFFFF}});
        while (!done) {
            SendKeyColours(rig.link, table);
            Sleep(1);
        }
    });

    // Sent in bursts, as a capture thread does, so that scans and sequences run between.
    TimerResolution1ms resolution;
    int delivered = 0;
    for (int i = 0; i < 10000; ++i) {
        delivered += SendMusicLevel(rig.link, i % 129, MusicSettings()) ? 1 : 0;
        if (i % 20 == 19)
            Sleep(1);
    }
    done = true;
    scanner.join();
    worker.join();

    EXPECT_GT(rescans.load(), 0);
    EXPECT_GT(delivered, 0);
    EXPECT_EQ(rig.keyboard->ClosedHandleUses(), 0);
    // No music level inside a colour sequence: from its first piece (offset 0) to its last
    // (offset 420) nothing else reached the keyboard.
    bool inSequence = false;
    int completeSequences = 0;
    int intruders = 0;
    for (const VirtualTransfer& t : rig.keyboard->Transfers()) {
        ASSERT_FALSE(t.onClosedHandle);
        const bool colours = t.kind == HidTransferKind::Output && t.bytes[1] == 0x8B;
        if (colours && t.bytes[3] == 0 && t.bytes[4] == 0)
            inSequence = true;
        intruders += inSequence && !colours;
        if (colours && (t.result < 0 || t.bytes[3] == 0xA4)) {
            completeSequences += t.result > 0;
            inSequence = false;
        }
    }
    EXPECT_GT(completeSequences, 0);
    EXPECT_EQ(intruders, 0) << "reports that came between the pieces of a colour sequence";
    RecordProperty("music_levels_delivered", delivered);
    RecordProperty("rescans", rescans.load());
    rig.link.CloseAll();
    EXPECT_EQ(rig.keyboard->OpenHandleCount(), 0);
}
