#pragma once
// What the toolkit's benchmarks share.
#include <windows.h>
#include <gdiplus.h>

#include "ui/core/Manager.h"

namespace uibench {

// GDI+ (and the toolkit's instance) for the length of one benchmark.
struct GdiplusSession {
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token, &input, nullptr);
        Manager::SetInstance(GetModuleHandleW(nullptr));
    }
    ~GdiplusSession() { Gdiplus::GdiplusShutdown(token); }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    ULONG_PTR token = 0;
};

} // namespace uibench
