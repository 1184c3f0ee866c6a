// UnpackZip on a 20 MB update package beside Info-ZIP's unzip (the host's, run on the
// same file through the shell). Both unpack into a fresh folder; each is timed three
// times and the best run counts. The package mixes incompressible data (like the
// compressed parts of an installer) with text that deflates well.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "storage/ZipUnpack.h"
#include "support/Bench.h"
#include "support/TestPaths.h"
#include "support/TestZip.h"

namespace {

constexpr int kRuns = 3;

std::string Noise(size_t size, unsigned seed)
{
    std::string out(size, '\0');
    unsigned x = seed * 2654435761u + 1;
    for (char& c : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x);
    }
    return out;
}

std::string Text(size_t size, unsigned seed)
{
    std::string out;
    for (unsigned i = 0; out.size() < size; ++i)
        out += "line " + std::to_string(seed) + "." + std::to_string(i) + ": key=value; colour=0x00FF8800\r\n";
    out.resize(size);
    return out;
}

// The Unix path of a Windows path (Wine only), or empty.
std::string UnixPath(const std::wstring& path)
{
    using Fn = char*(CDECL*)(const wchar_t*);
    auto fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!fn)
        return std::string();
    char* unixName = fn(path.c_str());
    if (!unixName)
        return std::string();
    std::string out(unixName);
    HeapFree(GetProcessHeap(), 0, unixName);
    return out;
}

// Runs the host's unzip on the package and returns its wall time in seconds, measured by
// the shell around it, or a negative value when it could not be run.
double TimeHostUnzip(const std::wstring& box, const std::wstring& package, int run)
{
    const std::string unixBox = UnixPath(box);
    const std::string unixPackage = UnixPath(package);
    if (unixBox.empty() || unixPackage.empty())
        return -1;
    const std::string out = "unzip-" + std::to_string(run);
    const std::string result = unixBox + "/" + out + ".ns";
    const std::string script = "s=$(date +%s%N); unzip -qo '" + unixPackage + "' -d '" + unixBox + "/" + out +
                               "' >/dev/null 2>&1; e=$(date +%s%N); echo $((e-s)) > '" + result + ".tmp'; mv '" +
                               result + ".tmp' '" + result + "'";
    std::wstring command = L"/bin/sh -c \"" + std::wstring(script.begin(), script.end()) + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    if (pi.hProcess)
        CloseHandle(pi.hProcess);
    if (pi.hThread)
        CloseHandle(pi.hThread);
    // A Unix process gives Wine no handle to wait on: wait for its result file instead.
    const std::wstring resultFile = box + L"\\" + std::wstring(out.begin(), out.end()) + L".ns";
    for (int i = 0; i < 1200; ++i) {
        const std::string text = testsupport::ReadFileBytes(resultFile);
        if (!text.empty())
            return std::stod(text) / 1e9;
        Sleep(100);
    }
    return -1;
}

} // namespace

TASTRO_BENCH(unpack_zip)
{
    const std::wstring box = testsupport::MakeTempFolder(L"tastro-unzip-bench");
    std::vector<testsupport::ZipEntry> entries;
    for (unsigned i = 0; i < 24; ++i) {
        entries.push_back({"bin/module" + std::to_string(i) + ".dll", Noise(700 * 1024, i)});
        entries.push_back({"data/text" + std::to_string(i) + ".txt", Text(600 * 1024, i)});
    }
    entries.push_back({"Keyboard-Software-1.0.2.exe", Noise(3 * 1024 * 1024, 99)});
    const std::wstring package = box + L"\\package.zip";
    if (!testsupport::WriteZip(package, entries)) {
        bench::Note("cannot write the package");
        testsupport::RemoveTree(box);
        return;
    }
    WIN32_FILE_ATTRIBUTE_DATA info;
    GetFileAttributesExW(package.c_str(), GetFileExInfoStandard, &info);
    const double packageMb = (static_cast<double>(info.nFileSizeHigh) * 4294967296.0 + info.nFileSizeLow) / 1e6;
    double unpackedMb = 0;
    for (const auto& e : entries)
        unpackedMb += e.data.size() / 1e6;
    bench::Report("package size", packageMb, "MB");
    bench::Report("unpacked size", unpackedMb, "MB");

    double ours = 1e30;
    for (int run = 0; run < kRuns; ++run) {
        const std::wstring target = box + L"\\ours-" + std::to_wstring(run);
        CreateDirectoryW(target.c_str(), nullptr);
        UnpackStats stats;
        const double start = bench::Now();
        const bool opened = UnpackZip(package, target, &stats);
        const double seconds = bench::Now() - start;
        if (!opened || !stats.Complete()) {
            bench::Note("UnpackZip did not unpack the whole package");
            break;
        }
        ours = std::min(ours, seconds);
    }
    double theirs = 1e30;
    for (int run = 0; run < kRuns; ++run) {
        const double seconds = TimeHostUnzip(box, package, run);
        if (seconds < 0) {
            bench::Note("the host's unzip could not be run (not under Wine, or unzip missing)");
            theirs = -1;
            break;
        }
        theirs = std::min(theirs, seconds);
    }
    bench::Report("UnpackZip", packageMb / ours, "MB/s of package");
    if (theirs > 0) {
        bench::Report("unzip", packageMb / theirs, "MB/s of package");
        bench::Report("UnpackZip / unzip", theirs / ours, "x (goal >= 0.8)");
    }
    testsupport::RemoveTree(box);
}
