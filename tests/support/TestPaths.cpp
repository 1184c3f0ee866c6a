#include "TestPaths.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>

namespace testsupport {

std::wstring ExeFolder()
{
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : folder.substr(0, slash);
}

std::wstring ProgramFolder()
{
    wchar_t full[MAX_PATH];
    std::wstring rel = ExeFolder() + L"\\..\\Tastro";
    DWORD n = GetFullPathNameW(rel.c_str(), MAX_PATH, full, nullptr);
    return n ? std::wstring(full, n) : rel;
}

std::wstring MakeTempFolder(const wchar_t* prefix)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    for (unsigned i = 0;; ++i) {
        std::wstring path = std::wstring(temp) + prefix + L"-" + std::to_wstring(GetCurrentProcessId()) +
                            L"-" + std::to_wstring(GetTickCount() + i);
        if (CreateDirectoryW(path.c_str(), nullptr))
            return path;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return std::wstring();
    }
}

bool RemoveTree(const std::wstring& folder)
{
    if (folder.empty())
        return false;
    std::wstring from = folder;
    from.push_back(L'\0'); // SHFileOperation wants a double-null-terminated list
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    return SHFileOperationW(&op) == 0;
}

std::string ReadBytes(const std::wstring& path)
{
    std::string bytes;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f)
        return bytes;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, n);
    std::fclose(f);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) {
        ADD_FAILURE() << "cannot create the file";
        return;
    }
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
        ADD_FAILURE() << "cannot write the file";
    if (std::fclose(f) != 0)
        ADD_FAILURE() << "cannot close the file";
}

} // namespace testsupport
