#include "storage/Paths.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>
#include <vector>


bool IsPlainName(const wchar_t* name)
{
    if (!name || !*name)
        return false;
    return !std::wcschr(name, L'\\') && !std::wcschr(name, L'/') && !std::wcschr(name, L':') &&
           !std::wcsstr(name, L"..");
}

namespace {
std::wstring g_softwareName;
} // namespace

void SetSoftwareName(const wchar_t* name) { g_softwareName = name ? name : L""; }

std::wstring GetSoftwareName()
{
    return IsPlainName(g_softwareName.c_str()) ? g_softwareName : std::wstring(L"Tastro");
}

std::wstring GetProgramFolder()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return std::wstring();
        if (n < path.size() - 1)
            break;
        path.resize(path.size() * 2);
    }
    PathRemoveFileSpecW(path.data());
    std::wstring folder(path.data());
    if (folder.size() + 1 < MAX_PATH) {
        wchar_t buffer[MAX_PATH];
        wcscpy_s(buffer, folder.c_str());
        if (PathAddBackslashW(buffer))
            return buffer;
    }
    if (folder.empty() || folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

std::wstring GetDataFolder()
{
    wchar_t local[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local)))
        return std::wstring();
    std::wstring folder(local);
    if (folder.empty())
        return folder;
    if (folder.back() != L'\\')
        folder += L'\\';
    return folder + GetSoftwareName() + L" Files\\";
}

namespace {

bool IsFolder(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

bool EnsureFolder(const wchar_t* path)
{
    if (!path || !*path)
        return false;
    const std::wstring full(path);
    if (IsFolder(full))
        return true;
    // Every part before a separator after the first one (the first ends the drive or the
    // root); failures are ignored, the final check decides.
    const size_t first = full.find_first_of(L"\\/");
    if (first != std::wstring::npos) {
        for (size_t i = full.find_first_of(L"\\/", first + 1); i != std::wstring::npos;
             i = full.find_first_of(L"\\/", i + 1))
            CreateDirectoryW(full.substr(0, i).c_str(), nullptr);
    }
    CreateDirectoryW(full.c_str(), nullptr);
    // A file of that name is not a folder, whatever CreateDirectoryW said.
    return IsFolder(full);
}
