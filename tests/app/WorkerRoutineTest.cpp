// The worker routine, one call at a time, against recording fakes of the main window and
// the device operations and under the recording clock.
#include <gtest/gtest.h>

#include "app/WorkerRoutine.h"
#include "support/RecordingClock.h"
#include "WorkerFakes.h"

using namespace testsupport;
using Calls = std::vector<std::string>;

namespace {

struct RoutineRig {
    RecordingClock clock;
    ScopedPauseClock useClock{&clock};
    CallLog log;
    FakeHost host{log};
    FakeDevice device{log};
    TaskQueue queue;
    WorkerRoutine routine{queue, host, device};
};

} // namespace

TEST(WorkerRoutine, StartupScansOnlyTheFirstTime)
{
    RoutineRig rig;
    rig.host.present = rig.host.matched = false;
    rig.queue.Push(WorkerTask::Startup);
    rig.queue.Push(WorkerTask::Startup);
    rig.routine.RunOnce();
    EXPECT_EQ(rig.log.Take(), (Calls{"scan 1", "music capture", "disable", "enable"}));
    EXPECT_TRUE(rig.routine.StartupDone());
    rig.routine.RunOnce();
    EXPECT_EQ(rig.log.Take(), (Calls{"disable", "enable"})); // passes the gate, does nothing
    EXPECT_TRUE(rig.queue.Empty());
    EXPECT_TRUE(rig.clock.Pauses().empty());
}

TEST(WorkerRoutine, ScanTasksRunWithoutAKeyboard)
{
    RoutineRig rig;
    rig.host.present = rig.host.matched = false;
    rig.host.scanFindsKeyboard = false;
    rig.queue.Push(WorkerTask::CheckSoftwareUpdate);
    rig.queue.Push(WorkerTask::DeviceArrived);
    rig.queue.Push(WorkerTask::DeviceRemoved);
    for (int i = 0; i < 3; ++i)
        rig.routine.RunOnce();
    EXPECT_EQ(rig.log.Take(), (Calls{"software check", "scan 2", "scan 3"}));
    EXPECT_TRUE(rig.queue.Empty());
}

TEST(WorkerRoutine, DeviceTasksAreDroppedWithoutAMatchedKeyboard)
{
    const WorkerTask tasks[] = {WorkerTask::DeviceSwitched,      WorkerTask::ReadAll,          WorkerTask::ApplyKeys,
                                WorkerTask::ApplyLighting,       WorkerTask::ApplyKeyColours,  WorkerTask::FactoryReset,
                                WorkerTask::CheckFirmwareUpdate, WorkerTask::DownloadSoftware, WorkerTask::DownloadFirmware};
    for (bool present : {false, true}) {
        for (WorkerTask task : tasks) {
            RoutineRig rig;
            rig.host.present = present;
            rig.host.matched = false; // present but unmatched counts as absent
            const WaitTicket ticket = rig.queue.PushWithTicket(task);
            rig.routine.RunOnce();
            // Nothing ran; the dialog's ticket completes all the same.
            EXPECT_EQ(rig.log.Take(), (Calls{"ticket " + std::to_string(ticket)})) << static_cast<int>(task);
            EXPECT_TRUE(rig.queue.IsTicketDone(ticket));
            EXPECT_TRUE(rig.queue.Empty());
            EXPECT_TRUE(rig.clock.Pauses().empty());
        }
    }
}

TEST(WorkerRoutine, AppliedTasksEndTheirDialogAndPause)
{
    struct Case {
        WorkerTask task;
        int family;
        Calls calls; // between disable and the ticket
    } cases[] = {
        {WorkerTask::ApplyKeys, 201, {"keys 201"}},
        {WorkerTask::ApplyKeys, 150, {"keys 150"}},
        {WorkerTask::ApplyKeys, 300, {}},
        {WorkerTask::ApplyLighting, 299, {"lighting 299"}},
        {WorkerTask::ApplyLighting, 305, {}},
        {WorkerTask::ApplyKeyColours, 305, {"key colours"}},
        {WorkerTask::FactoryReset, 200, {"reset 200"}},
        {WorkerTask::FactoryReset, 300, {}},
    };
    for (const Case& c : cases) {
        RoutineRig rig;
        rig.host.family = c.family;
        const WaitTicket ticket = rig.queue.PushWithTicket(c.task);
        EXPECT_FALSE(rig.queue.IsTicketDone(ticket));
        rig.routine.RunOnce();
        Calls expected = {"disable"};
        expected.insert(expected.end(), c.calls.begin(), c.calls.end());
        expected.push_back("ticket " + std::to_string(ticket));
        expected.push_back("enable");
        EXPECT_EQ(rig.log.Take(), expected) << static_cast<int>(c.task) << " family " << c.family;
        EXPECT_TRUE(rig.queue.IsTicketDone(ticket));
        EXPECT_EQ(rig.clock.Pauses(), (std::vector<unsigned>{100}));
        EXPECT_TRUE(rig.queue.Empty());
    }
}

TEST(WorkerRoutine, OtherTasksDoNotPause)
{
    struct Case {
        WorkerTask task;
        Calls calls;
    } cases[] = {
        {WorkerTask::DeviceSwitched, {"disable", "enable"}},
        {WorkerTask::CheckFirmwareUpdate, {"disable", "firmware check", "enable"}},
        {WorkerTask::DownloadSoftware, {"disable", "software download", "enable"}},
        {WorkerTask::DownloadFirmware, {"disable", "firmware download", "enable"}},
        {WorkerTask::CheckSoftwareUpdate, {"software check", "disable", "enable"}},
    };
    for (const Case& c : cases) {
        RoutineRig rig;
        rig.queue.Push(c.task);
        rig.routine.RunOnce();
        EXPECT_EQ(rig.log.Take(), c.calls) << static_cast<int>(c.task);
        EXPECT_TRUE(rig.clock.Pauses().empty());
    }
}

TEST(WorkerRoutine, ReadAllReloadsPagesAndReconcilesByFamily)
{
    struct Case {
        unsigned pages;
        int family;
        Calls calls;
    } cases[] = {
        {0x07, 201, {"macro list", "reconcile", "profile list", "lighting page"}},
        {0x07, 300, {"macro list", "reconcile", "profile list", "lighting page"}},
        {0x07, 200, {"macro list", "reconcile", "profile list", "lighting page"}},
        {0x07, 150, {"macro list", "profile list", "lighting page"}},
        {0x07, 301, {"macro list", "profile list", "lighting page"}},
        {0x04, 201, {"lighting page"}},
        {0x00, 201, {}},
    };
    for (const Case& c : cases) {
        RoutineRig rig;
        rig.host.pages = c.pages;
        rig.host.family = c.family;
        rig.queue.Push(WorkerTask::ReadAll);
        rig.routine.RunOnce();
        Calls expected = {"disable"};
        expected.insert(expected.end(), c.calls.begin(), c.calls.end());
        expected.push_back("enable");
        EXPECT_EQ(rig.log.Take(), expected) << c.pages << " family " << c.family;
    }
}

TEST(WorkerRoutine, IdleLiveFrameOnlyWhenWanted)
{
    struct Case {
        const char* name;
        bool present;
        int tab;
        int family;
        unsigned flags;
        bool frame;
    } cases[] = {
        {"music lighting shown", true, 3, 150, 0x200, true},
        {"screen lighting shown", true, 3, 199, 0x400, true},
        {"absent", false, 3, 150, 0x200, false},
        {"other tab", true, 2, 150, 0x200, false},
        {"main command set", true, 3, 200, 0x200, false},
        {"no live mode", true, 3, 150, 0x100, false},
    };
    for (const Case& c : cases) {
        RoutineRig rig;
        rig.host.present = c.present;
        rig.host.tab = c.tab;
        rig.host.family = c.family;
        rig.host.lightFlags = c.flags;
        rig.routine.RunOnce();
        EXPECT_EQ(rig.log.Take(), c.frame ? Calls{"live frame"} : Calls{}) << c.name;
    }

    // A queued task goes first: no frame in that call.
    RoutineRig rig;
    rig.host.tab = 3;
    rig.host.family = 150;
    rig.host.lightFlags = 0x200;
    rig.queue.Push(WorkerTask::DeviceSwitched);
    rig.routine.RunOnce();
    EXPECT_EQ(rig.log.Take(), (Calls{"disable", "enable"}));
}

namespace {

// Pushes a task while its own runs, as the update checks do.
class PushingDevice : public FakeDevice {
public:
    PushingDevice(CallLog& log, TaskQueue& queue) : FakeDevice(log), queue_(queue) {}
    void CheckFirmwareUpdate() override
    {
        FakeDevice::CheckFirmwareUpdate();
        queue_.Push(WorkerTask::DownloadFirmware);
    }

private:
    TaskQueue& queue_;
};

} // namespace

TEST(WorkerRoutine, TaskStaysAtTheFrontWhileItRuns)
{
    RecordingClock clock;
    ScopedPauseClock useClock(&clock);
    CallLog log;
    FakeHost host(log);
    TaskQueue queue;
    PushingDevice device(log, queue);
    WorkerRoutine routine(queue, host, device);
    queue.Push(WorkerTask::CheckFirmwareUpdate);
    queue.Push(WorkerTask::ApplyLighting);
    routine.RunOnce();
    EXPECT_EQ(queue.Codes(), (std::vector<int>{7, 15}));
    routine.RunOnce();
    routine.RunOnce();
    EXPECT_EQ(log.Take(), (Calls{"disable", "firmware check", "enable", "disable", "lighting 201", "enable",
                                 "disable", "firmware download", "enable"}));
}

TEST(TaskQueue, OrderAndTickets)
{
    TaskQueue queue;
    QueuedTask front;
    EXPECT_FALSE(queue.Front(front));
    EXPECT_FALSE(queue.PopFront());
    queue.Push(WorkerTask::CheckSoftwareUpdate);
    queue.Push(WorkerTask::Startup);
    const WaitTicket a = queue.PushWithTicket(WorkerTask::ApplyLighting);
    const WaitTicket b = queue.TakeTicket();
    queue.Push(WorkerTask::ApplyKeys, b);
    EXPECT_NE(a, 0u);
    EXPECT_NE(a, b);
    EXPECT_EQ(queue.Codes(), (std::vector<int>{12, 1, 7, 6}));
    ASSERT_TRUE(queue.Front(front));
    EXPECT_EQ(front.code, 12);
    EXPECT_EQ(front.ticket, 0u);

    EXPECT_FALSE(queue.IsTicketDone(a));
    queue.CompleteTicket(a);
    EXPECT_TRUE(queue.IsTicketDone(a));
    EXPECT_FALSE(queue.IsTicketDone(b));
    EXPECT_FALSE(queue.IsTicketDone(0));
    EXPECT_FALSE(queue.IsTicketDone(b + 1)); // never issued
    EXPECT_EQ(queue.Size(), 4u);
}
