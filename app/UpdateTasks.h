#pragma once
#include <windows.h>

#include <mutex>
#include <string>

#include "app/DeviceTasks.h"
#include "storage/Updates.h"

class ISignatureVerifier;
class TaskQueue;
struct ModelLayout;
struct SoftwareInfo;

// Which update button an upgrade mark belongs to.
enum class UpdateTarget { Software, Firmware };

// What the update tasks ask of the main window. Every call comes from the worker thread;
// the main window hands the ones that change controls to its own thread, as it does for
// IWorkerHost.
class IUpdateView {
public:
    virtual ~IUpdateView() = default;
    // The software check's first step: stops the main window's timer 200.
    virtual void StopUpdateTimer() = 0;
    // Sets the upgrade mark (the badge) of the software or firmware update button.
    virtual void SetUpgradeMark(UpdateTarget target) = 0;
    // The window that receives download progress (kUpdateProgressMessage); may be null.
    virtual HWND ProgressWindow() = 0;
    // A verified installer or firmware tool has been started and takes over: the program
    // ends (exit code 0) so that the tool can replace its files. Not expected to return.
    virtual void EndForUpdate() = 0;
};

// The update tasks 12 to 15 on the update service: the version checks and the verified
// download, unpack and start of the installer or firmware tool.
//
// A downloaded program is started only when all of these hold: the download was complete
// (status 200, the announced length received), the package unpacked whole into the
// temporary folder, the expected program exists there (an old copy is deleted before
// unpacking) and its signature is trusted. The program ends only when the start
// succeeded. On any other outcome the package and the refused program are deleted and
// nothing is shown.
//
// Threads: the tasks run on the worker thread; the published versions may be read and
// Stop called from any thread.
class UpdateTasks : public IUpdateTasks {
public:
    // software and layout are the description's (software/version, upgrade/url and the
    // model's firmware/url are read when a task runs); dataFolder is the per-user data
    // folder. None of the references is owned; all must outlive this object.
    UpdateTasks(const SoftwareInfo& software, const ModelLayout& layout, std::wstring dataFolder, TaskQueue& queue,
                IUpdateView& view, ISignatureVerifier& verifier);

    void CheckSoftwareUpdate() override;
    void CheckFirmwareUpdate(const FirmwareVersionReader& readFirmwareVersion) override;
    void DownloadSoftware() override;
    void DownloadFirmware() override;

    std::wstring PublishedSoftwareVersion() const;
    std::wstring PublishedFirmwareVersion() const;
    // The temporary folder that packages are unpacked into, ending with a backslash.
    std::wstring TempFolder() const;
    // Any thread: a running transfer stops after its current chunk.
    void Stop() { fetcher_.Stop(); }

private:
    // The published version text of `versionUrl`, or empty when none usable came back.
    std::wstring FetchPublishedVersion(const std::wstring& versionUrl);
    void DownloadAndStart(const std::wstring& baseUrl, const std::wstring& version, const wchar_t* packageFormat,
                          const wchar_t* programFormat);

    const SoftwareInfo& software_;
    const ModelLayout& layout_;
    const std::wstring dataFolder_;
    TaskQueue& queue_;
    IUpdateView& view_;
    ISignatureVerifier& verifier_;
    HttpFetcher fetcher_;

    mutable std::mutex versionsMutex_;
    std::wstring publishedSoftware_;
    std::wstring publishedFirmware_;
};
