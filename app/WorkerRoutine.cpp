#include "app/WorkerRoutine.h"

#include "device/PauseClock.h"

namespace {

constexpr unsigned kAfterAppliedTaskMs = 100;

bool FamilyHasCommands(int family) { return family < 300; }

} // namespace

WorkerRoutine::WorkerRoutine(TaskQueue& queue, IWorkerHost& host, IDeviceTasks& device)
    : queue_(queue), host_(host), device_(device)
{
}

void WorkerRoutine::RunOnce()
{
    TimerResolution1ms resolution;
    QueuedTask front;
    if (!queue_.Front(front)) {
        if (host_.DevicePresent() && host_.CurrentTab() == kLightingTab && host_.DeviceFamily() < 200 &&
            (host_.LightFlags() & kLiveLightFlags)) {
            TimerResolution1ms frameResolution;
            device_.SendLiveFrame();
        }
        return;
    }

    const WorkerTask task = static_cast<WorkerTask>(front.code);
    switch (task) {
    case WorkerTask::Startup:
        if (!startupDone_) {
            startupDone_ = true;
            host_.ScanAndRefreshDevices(task);
            host_.StartMusicCapturePaused();
        }
        break;
    case WorkerTask::DeviceArrived:
    case WorkerTask::DeviceRemoved:
        host_.ScanAndRefreshDevices(task);
        break;
    case WorkerTask::CheckSoftwareUpdate:
        device_.CheckSoftwareUpdate();
        break;
    default:
        break;
    }

    if (!(host_.DevicePresent() && host_.DeviceMatched())) {
        Finish(front); // dropped (or, for the codes above, already run)
        return;
    }

    host_.EnableMainWindow(false);
    RunGated(task);
    if (TaskShowsWaitDialog(task)) {
        if (front.ticket) {
            queue_.CompleteTicket(front.ticket);
            host_.PostWaitTicketDone(front.ticket);
            front.ticket = 0;
        }
        Pause(kAfterAppliedTaskMs);
    }
    host_.EnableMainWindow(true);
    Finish(front);
}

void WorkerRoutine::RunGated(WorkerTask task)
{
    const int family = host_.DeviceFamily();
    switch (task) {
    case WorkerTask::ReadAll:
        ReadAll();
        break;
    case WorkerTask::ApplyKeys:
        if (FamilyHasCommands(family))
            device_.ApplyKeys(family);
        break;
    case WorkerTask::ApplyLighting:
        if (FamilyHasCommands(family))
            device_.ApplyLighting(family);
        break;
    case WorkerTask::ApplyKeyColours:
        device_.ApplyKeyColours();
        break;
    case WorkerTask::FactoryReset:
        if (FamilyHasCommands(family))
            device_.FactoryReset(family);
        break;
    case WorkerTask::CheckFirmwareUpdate:
        device_.CheckFirmwareUpdate();
        break;
    case WorkerTask::DownloadSoftware:
        device_.DownloadSoftware();
        break;
    case WorkerTask::DownloadFirmware:
        device_.DownloadFirmware();
        break;
    default: // 1, 2, 3, 4 and 12 have nothing more to do here
        break;
    }
}

void WorkerRoutine::ReadAll()
{
    const unsigned pages = host_.PageSet();
    const int family = host_.DeviceFamily();
    if (pages & kPageMacro)
        host_.ReloadMacroList();
    if (pages & kPageKeyAssignment) {
        if (family >= 200 && family <= 300)
            device_.ReconcileAssignments();
        host_.ReloadProfileList();
    }
    if (pages & kPageLighting)
        host_.ReloadLightingPage();
}

void WorkerRoutine::Finish(const QueuedTask& task)
{
    // A ticket still open here belongs to a task that was dropped (or carried a ticket it
    // did not need): its dialog must end all the same.
    if (task.ticket) {
        queue_.CompleteTicket(task.ticket);
        host_.PostWaitTicketDone(task.ticket);
    }
    queue_.PopFront();
}
