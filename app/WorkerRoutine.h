#pragma once
#include "app/TaskQueue.h"
#include "app/ThreadBasic.h"
#include "app/WorkerHost.h"

// The worker routine: each call takes at most one task from the front of the queue and
// runs it, or, with the queue empty, sends one live lighting frame when one is wanted.
//
// Startup (the first time only), DeviceArrived and DeviceRemoved scan and refresh, and
// CheckSoftwareUpdate runs; then every task is dropped unless a matched keyboard is
// present. A task that passes is run with the main window disabled; ApplyKeys,
// ApplyLighting, ApplyKeyColours and FactoryReset then complete their wait ticket and
// pause 100 ms before the window is enabled again. A task stays at the front while it
// runs. The timer resolution is 1 ms for the whole call.
class WorkerRoutine {
public:
    WorkerRoutine(TaskQueue& queue, IWorkerHost& host, IDeviceTasks& device);

    void RunOnce();
    bool StartupDone() const { return startupDone_; }

private:
    void RunGated(WorkerTask task);
    void ReadAll();
    void Finish(const QueuedTask& task);

    TaskQueue& queue_;
    IWorkerHost& host_;
    IDeviceTasks& device_;
    bool startupDone_ = false;
};

// A worker thread that runs a routine every period.
class TaskWorker : public CThreadBasic {
public:
    explicit TaskWorker(WorkerRoutine& routine) : routine_(routine) {}
    ~TaskWorker() override { Stop(); }

protected:
    void ThreadRoutine() override { routine_.RunOnce(); }

private:
    WorkerRoutine& routine_;
};
