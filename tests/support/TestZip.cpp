#include "TestZip.h"

#include <windows.h>

#include <zip.h>
// after zip.h, which defines what it needs
#include <iowin32.h>

#include <algorithm>

namespace testsupport {

bool WriteZip(const std::wstring& path, const std::vector<ZipEntry>& entries, int level)
{
    zlib_filefunc64_def files;
    fill_win32_filefunc64W(&files);
    zipFile zip = zipOpen2_64(path.c_str(), APPEND_STATUS_CREATE, nullptr, &files);
    if (!zip)
        return false;
    bool ok = true;
    for (const ZipEntry& e : entries) {
        ok = ok &&
             zipOpenNewFileInZip64(zip, e.name.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr,
                                   level == 0 ? 0 : Z_DEFLATED, level, 1) == ZIP_OK &&
             zipWriteInFileInZip(zip, e.data.data(), static_cast<unsigned>(e.data.size())) == ZIP_OK &&
             zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

std::string ReadFileBytes(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    return CloseHandle(file) && ok;
}

namespace {

void Walk(const std::wstring& folder, const std::wstring& prefix, std::vector<std::wstring>& out)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        out.push_back(prefix + name);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            Walk(folder + L"\\" + name, prefix + name + L"\\", out);
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

} // namespace

std::vector<std::wstring> ListTree(const std::wstring& folder)
{
    std::vector<std::wstring> out;
    Walk(folder, L"", out);
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace testsupport
