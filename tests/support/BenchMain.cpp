// Entry point of every benchmark executable: runs the registered benchmarks in name order,
// or only those whose names contain one of the arguments.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "support/Bench.h"

namespace bench {
namespace {

std::vector<std::pair<std::string, Fn>>& Registry()
{
    static std::vector<std::pair<std::string, Fn>> list;
    return list;
}

} // namespace

Registrar::Registrar(const char* name, Fn fn) { Registry().emplace_back(name, fn); }

double Now()
{
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

void Report(const std::string& what, double value, const std::string& unit)
{
    std::printf("  %s: %.3f %s\n", what.c_str(), value, unit.c_str());
    std::fflush(stdout);
}

void Note(const std::string& text)
{
    std::printf("  %s\n", text.c_str());
    std::fflush(stdout);
}

namespace {
const void* volatile g_sink = nullptr;
} // namespace

void Consume(const void* p) { g_sink = p; }

} // namespace bench

int wmain(int argc, wchar_t** argv)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    auto list = bench::Registry();
    std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [name, fn] : list) {
        bool wanted = argc < 2;
        for (int i = 1; i < argc && !wanted; ++i) {
            std::wstring w(argv[i]);
            wanted = name.find(std::string(w.begin(), w.end())) != std::string::npos;
        }
        if (!wanted)
            continue;
        std::printf("%s\n", name.c_str());
        std::fflush(stdout);
        fn();
    }
    return 0;
}
