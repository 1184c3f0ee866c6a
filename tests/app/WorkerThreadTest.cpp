// The worker on its own thread: the thread base, real timing against the virtual keyboard,
// and control changes handed to the window's thread in order.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>

#include "app/UiThreadInvoker.h"
#include "app/WorkerRoutine.h"
#include "device/DeviceLink.h"
#include "device/KeyboardProtocol.h"
#include "support/VirtualRig.h"
#include "WorkerFakes.h"

using namespace testsupport;

namespace {

class CountingThread : public CThreadBasic {
public:
    ~CountingThread() override { Stop(); }
    std::atomic<int> calls{0};
    std::atomic<bool> once{false};

protected:
    void ThreadRoutine() override
    {
        ++calls;
        if (once)
            SetLoop(false);
    }
};

// Pumps this thread's messages until the condition holds or the time runs out.
template <typename Pred> bool PumpUntil(Pred done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

} // namespace

TEST(ThreadBasic, StartsOnceAndCallsItsRoutineEveryPeriod)
{
    CountingThread t;
    EXPECT_FALSE(t.IsRunning());
    EXPECT_EQ(t.Start(), 1);
    EXPECT_EQ(t.Start(), 0);
    EXPECT_EQ(t.Period(), 16);
    EXPECT_NE(t.DoneEvent(), nullptr);
    EXPECT_EQ(WaitForSingleObject(t.DoneEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    Sleep(300);
    t.Stop();
    EXPECT_EQ(WaitForSingleObject(t.DoneEvent(), 0), WAIT_OBJECT_0);
    // About one call per 16 ms: neither a single call nor a busy loop.
    EXPECT_GE(t.calls.load(), 5);
    EXPECT_LE(t.calls.load(), 40);
    EXPECT_FALSE(t.IsRunning());

    // It can be started again after a stop.
    EXPECT_EQ(t.Start(), 1);
    t.Stop();
}

TEST(ThreadBasic, WithoutTheLoopFlagTheRoutineRunsOnce)
{
    CountingThread t;
    t.once = true;
    ASSERT_EQ(t.Start(), 1);
    ASSERT_EQ(WaitForSingleObject(t.DoneEvent(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(t.calls.load(), 1);
    EXPECT_FALSE(t.IsRunning());
}

namespace {

// Lighting through the real protocol on a virtual keyboard, with real pauses.
class LightingDevice : public FakeDevice {
public:
    LightingDevice(CallLog& log, DeviceLink& link) : FakeDevice(log), link_(link) {}
    std::atomic<int> brightness{1};
    void ApplyLighting(int family) override
    {
        FakeDevice::ApplyLighting(family);
        protocol::LightingSettings s;
        s.mode = 2;
        s.brightness = brightness; // the setting as stored when the task runs
        protocol::SendLighting(link_, s, kConnectionWired);
    }

private:
    DeviceLink& link_;
};

} // namespace

TEST(WorkerThread, TwoLightingTasksRunAtLeast100msApart)
{
    auto keyboard = std::make_shared<VirtualKeyboard>();
    keyboard->AddConnection(VirtualConnection::Wired, RigIdentity(VirtualConnection::Wired));
    DeviceLink link(keyboard);
    for (const SupportedDevice& d : RigSupportedDevices())
        link.AddSupportedDevice(d);
    link.Rescan();
    link.SetCurrentDeviceType(kMainFamily);

    CallLog log;
    FakeHost host(log);
    LightingDevice device(log, link);
    TaskQueue queue;
    WorkerRoutine routine(queue, host, device);
    TaskWorker worker(routine);
    ASSERT_EQ(worker.Start(), 1);
    const WaitTicket first = queue.PushWithTicket(WorkerTask::ApplyLighting);
    const WaitTicket second = queue.PushWithTicket(WorkerTask::ApplyLighting);
    // Changed after the pushes: the second task sends what is stored when it runs.
    while (!queue.IsTicketDone(first))
        Sleep(1);
    device.brightness = 5;
    ASSERT_TRUE(PumpUntil([&] { return queue.IsTicketDone(second) && queue.Empty(); }, 5000));
    worker.Stop();

    const auto transfers = keyboard->Transfers();
    ASSERT_EQ(transfers.size(), 2u);
    EXPECT_GE(transfers[1].timeMs - transfers[0].timeMs, 100u);
    EXPECT_EQ(transfers[0].bytes[6], 0x00);
    EXPECT_EQ(transfers[1].bytes[6], 0x04);
}

namespace {

// A main window whose control changes run on its own thread, as the real one will do.
class MarshallingHost : public FakeHost {
public:
    MarshallingHost(CallLog& log, UiThreadInvoker& ui) : FakeHost(log), ui_(ui) {}
    std::atomic<int> offThreadCalls{0};

    void EnableMainWindow(bool enable) override { Run([&] { FakeHost::EnableMainWindow(enable); }); }
    void ReloadMacroList() override { Run([&] { FakeHost::ReloadMacroList(); }); }
    void ReloadProfileList() override { Run([&] { FakeHost::ReloadProfileList(); }); }
    void ReloadLightingPage() override { Run([&] { FakeHost::ReloadLightingPage(); }); }

private:
    template <typename F> void Run(F f)
    {
        ui_.Invoke([&] {
            if (GetCurrentThreadId() != ui_.OwnerThread())
                ++offThreadCalls;
            f();
        });
    }
    UiThreadInvoker& ui_;
};

} // namespace

TEST(WorkerThread, ControlChangesRunOnTheWindowThreadInOrder)
{
    RecordingClock clock;
    ScopedPauseClock useClock(&clock);
    UiThreadInvoker ui;
    CallLog log;
    MarshallingHost host(log, ui);
    FakeDevice device(log);
    TaskQueue queue;
    WorkerRoutine routine(queue, host, device);
    TaskWorker worker(routine);
    queue.Push(WorkerTask::ReadAll);
    const WaitTicket ticket = queue.PushWithTicket(WorkerTask::ApplyKeyColours);
    ASSERT_EQ(worker.Start(), 1);
    ASSERT_TRUE(PumpUntil([&] { return queue.Empty(); }, 5000));
    worker.Stop();

    EXPECT_EQ(host.offThreadCalls.load(), 0);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"disable", "macro list", "reconcile", "profile list",
                                                    "lighting page", "enable", "disable", "key colours",
                                                    "ticket " + std::to_string(ticket), "enable"}));
}

TEST(WorkerThread, StoppingWhileTheWorkerWaitsForTheWindowThread)
{
    RecordingClock clock;
    ScopedPauseClock useClock(&clock);
    UiThreadInvoker ui;
    CallLog log;
    MarshallingHost host(log, ui);
    FakeDevice device(log);
    TaskQueue queue;
    WorkerRoutine routine(queue, host, device);
    TaskWorker worker(routine);
    queue.Push(WorkerTask::ReadAll);
    ASSERT_EQ(worker.Start(), 1);
    // No message loop on this thread: the worker blocks in its first control change until
    // Stop delivers it.
    Sleep(100);
    const DWORD start = GetTickCount();
    worker.Stop();
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_EQ(host.offThreadCalls.load(), 0);
}
