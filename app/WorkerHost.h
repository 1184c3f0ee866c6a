#pragma once
#include "app/TaskQueue.h"
#include "app/WorkerTask.h"
#include "storage/DeviceDescription.h"

// Page set bits of the main window: which pages the current device shows. They are the
// layouts file's page set bits (kPageKeys, kPageMacros, kPageLighting), so that this header
// and the description reader's can be included together.
constexpr unsigned kPageKeyAssignment = kPageKeys;
constexpr unsigned kPageMacro = kPageMacros;
// The lighting tab's index among the main window's tabs.
constexpr int kLightingTab = 3;
// Light flags that ask for live frames (music and screen lighting).
constexpr unsigned kLiveLightFlags = 0x600;

// What the worker routine asks of the main window. Every call comes from the worker
// thread, one at a time, in the routine's order.
//
// The state reads are cheap and must be safe from the worker thread. The other calls
// change the main window's controls: an implementation hands each one to its own thread
// with SendMessageW (UiThreadInvoker does exactly that) and returns when it has run
// there, so the changes happen on the window's thread in the order the worker made them.
// The device scan itself stays on the worker thread; only its effects on controls are
// handed over.
class IWorkerHost {
public:
    virtual ~IWorkerHost() = default;

    virtual bool DevicePresent() = 0;
    virtual bool DeviceMatched() = 0;
    virtual int DeviceFamily() = 0;
    virtual int CurrentTab() = 0;
    virtual unsigned LightFlags() = 0;
    virtual unsigned PageSet() = 0;

    // Closes and rescans the device interfaces, updates the present and matched flags and
    // the device list, and runs the device refresh (which queues CheckFirmwareUpdate and
    // ReadAll when a keyboard is there).
    virtual void ScanAndRefreshDevices(WorkerTask reason) = 0;
    // Starts the music capture in its paused state (once, after the first scan).
    virtual void StartMusicCapturePaused() = 0;
    virtual void ReloadMacroList() = 0;
    // Loads the profile list, which selects the active profile and shows its assignments.
    virtual void ReloadProfileList() = 0;
    virtual void ReloadLightingPage() = 0;
    virtual void EnableMainWindow(bool enable) = 0;
    // The task of this ticket ran or was dropped: post the message that ends its wait
    // dialog. Must not wait for the window's thread and must not touch the dialog.
    virtual void PostWaitTicketDone(WaitTicket ticket) = 0;
};

// The device operations the tasks run, on the worker thread. The family is the device
// family of the current keyboard (up to 200: the older command set; 201 to 299: the main
// one); the worker does not call the key, lighting and reset tasks for families of 300
// and above. Implementations read the database and the model layout and drive the
// protocol; page reloads they need go through the host.
class IDeviceTasks {
public:
    virtual ~IDeviceTasks() = default;

    virtual void ReconcileAssignments() = 0;
    virtual void ApplyKeys(int family) = 0;
    virtual void ApplyLighting(int family) = 0;
    virtual void ApplyKeyColours() = 0;
    // The reset and whatever follows it (reloads, re-sending).
    virtual void FactoryReset(int family) = 0;
    // One live lighting frame: lets the music or screen source recolour the preview, then
    // sends it.
    virtual void SendLiveFrame() = 0;
    virtual void CheckSoftwareUpdate() = 0;
    virtual void CheckFirmwareUpdate() = 0;
    virtual void DownloadSoftware() = 0;
    virtual void DownloadFirmware() = 0;
};
