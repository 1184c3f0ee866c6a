#include "storage/ZipUnpack.h"

#include <windows.h>

#include <unzip.h>
// after unzip.h, which defines what it needs
#include <iowin32.h>

#include <cstring>
#include <cwctype>
#include <vector>

#include "storage/Paths.h"

namespace {

constexpr unsigned kNameUtf8Flag = 0x800; // general purpose bit 11: the name is UTF-8
constexpr unsigned kCopyBufferSize = 256 * 1024;

std::wstring DecodeName(const char* name, unsigned long flags)
{
    const int length = static_cast<int>(strlen(name));
    if (length == 0)
        return std::wstring();
    const UINT codePage = (flags & kNameUtf8Flag) ? CP_UTF8 : 437; // the ZIP default is IBM PC
    int n = MultiByteToWideChar(codePage, 0, name, length, nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring out(n, L'\0');
    MultiByteToWideChar(codePage, 0, name, length, out.data(), n);
    return out;
}

bool IsReservedDeviceName(const std::wstring& component)
{
    // The part before the first dot names the device ("nul.txt" is NUL).
    std::wstring base = component.substr(0, component.find(L'.'));
    while (!base.empty() && (base.back() == L' ' || base.back() == L'.'))
        base.pop_back();
    for (wchar_t& c : base)
        c = static_cast<wchar_t>(towupper(c));
    static const wchar_t* const kNames[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* name : kNames) {
        if (base == name)
            return true;
    }
    return base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0) &&
           base[3] >= L'0' && base[3] <= L'9';
}

std::wstring FullPath(const std::wstring& path)
{
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return std::wstring();
    std::wstring out(n, L'\0');
    n = GetFullPathNameW(path.c_str(), n, out.data(), nullptr);
    out.resize(n);
    return out;
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix)
{
    return text.size() >= prefix.size() &&
           CompareStringOrdinal(text.data(), static_cast<int>(prefix.size()), prefix.data(),
                                static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

// Copies the current entry into `path`; false (and no file left) when reading, writing
// or the CRC check failed.
bool WriteCurrentEntry(unzFile zip, const std::wstring& path, std::vector<char>& buffer)
{
    if (unzOpenCurrentFile(zip) != UNZ_OK)
        return false;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    bool ok = file != INVALID_HANDLE_VALUE;
    while (ok) {
        const int n = unzReadCurrentFile(zip, buffer.data(), static_cast<unsigned>(buffer.size()));
        if (n == 0)
            break;
        DWORD written = 0;
        ok = n > 0 && WriteFile(file, buffer.data(), static_cast<DWORD>(n), &written, nullptr) &&
             written == static_cast<DWORD>(n);
    }
    if (file != INVALID_HANDLE_VALUE && !CloseHandle(file))
        ok = false;
    if (unzCloseCurrentFile(zip) != UNZ_OK) // UNZ_CRCERROR for damaged data
        ok = false;
    if (!ok && file != INVALID_HANDLE_VALUE)
        DeleteFileW(path.c_str());
    return ok;
}

} // namespace

std::wstring SafeEntryPath(const std::wstring& stored)
{
    std::wstring out;
    size_t start = 0;
    bool first = true;
    while (start <= stored.size()) {
        size_t end = stored.find_first_of(L"\\/", start);
        if (end == std::wstring::npos)
            end = stored.size();
        std::wstring part = stored.substr(start, end - start);
        start = end + 1;
        if (first && part.size() >= 2 && part[1] == L':' && iswalpha(part[0]))
            part.erase(0, 2); // drive prefix, "C:x" included
        first = false;
        const size_t colon = part.find(L':');
        if (colon != std::wstring::npos)
            part.erase(colon); // alternate data stream
        while (!part.empty() && (part.back() == L'.' || part.back() == L' '))
            part.pop_back(); // Windows drops these, so ". ." and "..." mean the folder itself
        if (part.empty())
            continue;
        if (IsReservedDeviceName(part))
            return std::wstring();
        if (!out.empty())
            out.push_back(L'\\');
        out += part;
    }
    return out;
}

bool UnpackZip(const std::wstring& archive, const std::wstring& folder, UnpackStats* stats)
{
    UnpackStats counts;
    zlib_filefunc64_def files;
    fill_win32_filefunc64W(&files);
    unzFile zip = unzOpen2_64(archive.c_str(), &files);
    if (!zip) {
        if (stats)
            *stats = counts;
        return false;
    }

    std::wstring root = FullPath(folder);
    if (!root.empty() && root.back() != L'\\')
        root.push_back(L'\\');
    unz_global_info64 global;
    if (unzGetGlobalInfo64(zip, &global) == UNZ_OK)
        counts.entries = static_cast<unsigned>(global.number_entry);

    std::vector<char> buffer(kCopyBufferSize);
    std::vector<char> name(65536 + 1);
    unsigned visited = 0;
    for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK && !root.empty(); rc = unzGoToNextFile(zip)) {
        ++visited;
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(zip, &info, name.data(), static_cast<uLong>(name.size()), nullptr, 0, nullptr,
                                    0) != UNZ_OK) {
            ++counts.failed;
            continue;
        }
        const std::wstring stored = DecodeName(name.data(), info.flag);
        const bool isFolder = !stored.empty() && (stored.back() == L'/' || stored.back() == L'\\');
        const std::wstring relative = SafeEntryPath(stored);
        if (relative.empty()) {
            // A folder entry that names the target itself ("./") needs nothing.
            if (isFolder)
                ++counts.written;
            else
                ++counts.skipped;
            continue;
        }
        const std::wstring path = FullPath(root + relative);
        if (path.size() <= root.size() || !StartsWithNoCase(path, root)) {
            ++counts.skipped;
            continue;
        }
        if (isFolder) {
            if (EnsureFolder(path.c_str()))
                ++counts.written;
            else
                ++counts.failed;
            continue;
        }
        const size_t slash = path.find_last_of(L'\\');
        if (slash >= root.size() && !EnsureFolder(path.substr(0, slash).c_str())) {
            ++counts.failed;
            continue;
        }
        if (WriteCurrentEntry(zip, path, buffer))
            ++counts.written;
        else
            ++counts.failed;
    }
    // A damaged central directory ends the walk early: the rest counts as failed.
    if (visited < counts.entries)
        counts.failed += counts.entries - visited;
    unzClose(zip);
    if (stats)
        *stats = counts;
    return true;
}
