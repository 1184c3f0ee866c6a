#pragma once

// The tasks the user-interface thread (and tasks 12 and 13 themselves) queue for the
// worker. Codes 9 and 11 are not used.
enum class WorkerTask : int {
    Startup = 1,
    DeviceArrived = 2,
    DeviceRemoved = 3,
    DeviceSwitched = 4,
    ReadAll = 5,
    ApplyKeys = 6,
    ApplyLighting = 7,
    ApplyKeyColours = 8,
    FactoryReset = 10,
    CheckSoftwareUpdate = 12,
    CheckFirmwareUpdate = 13,
    DownloadSoftware = 14,
    DownloadFirmware = 15,
};

// Whether a task ends with the wait dialog that its handler shows (6, 7, 8 and 10).
inline bool TaskShowsWaitDialog(WorkerTask task)
{
    return task == WorkerTask::ApplyKeys || task == WorkerTask::ApplyLighting ||
           task == WorkerTask::ApplyKeyColours || task == WorkerTask::FactoryReset;
}
