#include "app/UpdateTasks.h"

#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <utility>

#include "app/TaskQueue.h"
#include "device/KeyboardProtocol.h"
#include "storage/CodeSignature.h"
#include "storage/DeviceDescription.h"
#include "storage/Paths.h"
#include "storage/ZipUnpack.h"

namespace {

constexpr wchar_t kVersionFile[] = L"version";
constexpr wchar_t kSoftwarePackage[] = L"Keyboard-Software-%ls.zip";
constexpr wchar_t kSoftwareInstaller[] = L"Keyboard-Software-%ls.exe";
constexpr wchar_t kFirmwarePackage[] = L"FirmwareUpdateTool-%ls.zip";
constexpr wchar_t kFirmwareTool[] = L"FirmwareUpdateTool-%ls.exe";

std::wstring Format(const wchar_t* format, const std::wstring& version)
{
    wchar_t text[MAX_PATH];
    std::swprintf(text, MAX_PATH, format, version.c_str());
    return text;
}

bool IsFile(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Deletes a file; true when no file of that name is left.
bool RemoveFile(const std::wstring& path)
{
    if (DeleteFileW(path.c_str()))
        return true;
    return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

} // namespace

UpdateTasks::UpdateTasks(const SoftwareInfo& software, const ModelLayout& layout, std::wstring dataFolder,
                         TaskQueue& queue, IUpdateView& view, ISignatureVerifier& verifier)
    : software_(software), layout_(layout), dataFolder_(std::move(dataFolder)), queue_(queue), view_(view),
      verifier_(verifier)
{
}

std::wstring UpdateTasks::PublishedSoftwareVersion() const
{
    std::lock_guard<std::mutex> lock(versionsMutex_);
    return publishedSoftware_;
}

std::wstring UpdateTasks::PublishedFirmwareVersion() const
{
    std::lock_guard<std::mutex> lock(versionsMutex_);
    return publishedFirmware_;
}

std::wstring UpdateTasks::TempFolder() const
{
    std::wstring folder = dataFolder_;
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/')
        folder.push_back(L'\\');
    return folder + L"temp\\";
}

std::wstring UpdateTasks::FetchPublishedVersion(const std::wstring& versionUrl)
{
    std::wstring text;
    if (fetcher_.FetchText(versionUrl, text) != HttpFetcher::kDone)
        return std::wstring();
    // The version names the package and the program: anything but a plain version text
    // (an error page, a path, a long text) is ignored.
    return IsPublishedVersion(text) ? text : std::wstring();
}

void UpdateTasks::CheckSoftwareUpdate()
{
    view_.StopUpdateTimer();
    if (software_.upgrade.empty())
        return;
    const std::wstring published = FetchPublishedVersion(software_.upgrade + kVersionFile);
    if (published.empty())
        return;
    {
        std::lock_guard<std::mutex> lock(versionsMutex_);
        publishedSoftware_ = published;
    }
    if (CompareVersions(software_.version, published) != 1)
        return;
    DownloadSoftware(); // ends the program when the installer starts
    view_.SetUpgradeMark(UpdateTarget::Software);
}

void UpdateTasks::CheckFirmwareUpdate(const FirmwareVersionReader& readFirmwareVersion)
{
    {
        std::lock_guard<std::mutex> lock(versionsMutex_);
        publishedFirmware_.clear();
    }
    if (layout_.firmwareUrl.empty())
        return;
    const std::wstring published = FetchPublishedVersion(layout_.firmwareUrl + kVersionFile);
    if (published.empty())
        return;
    {
        std::lock_guard<std::mutex> lock(versionsMutex_);
        publishedFirmware_ = published;
    }
    uint16_t version = 0;
    if (!readFirmwareVersion || !readFirmwareVersion(version))
        return;
    // The keyboard's version is compared as its hexadecimal digits read as decimal
    // (0x0105 is "105").
    if (CompareVersions(protocol::FirmwareVersionText(version), published) != 1)
        return;
    view_.SetUpgradeMark(UpdateTarget::Firmware);
    queue_.Push(WorkerTask::DownloadFirmware);
}

void UpdateTasks::DownloadSoftware()
{
    DownloadAndStart(software_.upgrade, PublishedSoftwareVersion(), kSoftwarePackage, kSoftwareInstaller);
}

void UpdateTasks::DownloadFirmware()
{
    DownloadAndStart(layout_.firmwareUrl, PublishedFirmwareVersion(), kFirmwarePackage, kFirmwareTool);
}

void UpdateTasks::DownloadAndStart(const std::wstring& baseUrl, const std::wstring& version,
                                   const wchar_t* packageFormat, const wchar_t* programFormat)
{
    if (baseUrl.empty() || !IsPublishedVersion(version) || dataFolder_.empty())
        return;
    const std::wstring packageName = Format(packageFormat, version);
    const std::wstring temp = TempFolder();
    const std::wstring package = temp + packageName;
    const std::wstring program = temp + Format(programFormat, version);
    if (!EnsureFolder(temp.c_str()) || !RemoveFile(package))
        return;

    FetchFileInfo info;
    if (fetcher_.FetchFile(baseUrl + L"//" + packageName, package, view_.ProgressWindow(), &info) !=
        HttpFetcher::kDone) {
        RemoveFile(package);
        return;
    }
    // Whatever is found under the program's name afterwards must come from this package.
    if (!RemoveFile(program)) {
        RemoveFile(package);
        return;
    }
    UnpackStats unpacked;
    const bool opened = UnpackZip(package, temp, &unpacked);
    RemoveFile(package);
    if (!opened || !unpacked.Complete() || !IsFile(program)) {
        RemoveFile(program);
        return;
    }

    // Held open without write or delete sharing from the check to the start, so the file
    // that is started is the file that was checked.
    HANDLE pinned = CreateFileW(program.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (pinned == INVALID_HANDLE_VALUE) {
        RemoveFile(program);
        return;
    }
    bool started = false;
    if (verifier_.IsTrusted(program)) {
        // The shell may hand the start to extensions that need COM on this thread.
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        const HINSTANCE result = ShellExecuteW(nullptr, L"open", program.c_str(), nullptr, nullptr, SW_SHOW);
        started = reinterpret_cast<INT_PTR>(result) > 32;
        if (SUCCEEDED(com))
            CoUninitialize();
    }
    CloseHandle(pinned);
    if (!started) {
        RemoveFile(program);
        return;
    }
    view_.EndForUpdate();
}
