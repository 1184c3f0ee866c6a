#include "Manager.h"

#include <gdiplus.h>
#include <ole2.h>

#include <algorithm>

HINSTANCE Manager::s_instance = nullptr;
ULONG_PTR Manager::s_gdiplusToken = 0;
CString Manager::s_fontName = L"Arial";
int Manager::s_fontSize = 14;
CString Manager::s_deviceName = L"Tastro";
DWORD Manager::s_selectColor = 0xFFFF0000;
std::vector<MWindow*> Manager::s_windows;
UINT Manager::s_controlId = 10000;

void Manager::SetInstance(HINSTANCE instance) { s_instance = instance; }

HINSTANCE Manager::GetInstance() { return s_instance; }

HINSTANCE Manager::GetLibraryInstance()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&Manager::GetLibraryInstance), &module);
    return module;
}

int Manager::InitGdiplus()
{
    if (!s_gdiplusToken) {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&s_gdiplusToken, &input, nullptr) != Gdiplus::Ok) {
            s_gdiplusToken = 0;
            return 0;
        }
    }
    OleInitialize(nullptr);
    return 1;
}

void Manager::UnInitGdiplus()
{
    if (s_gdiplusToken) {
        Gdiplus::GdiplusShutdown(s_gdiplusToken);
        s_gdiplusToken = 0;
        OleUninitialize();
    }
}

void Manager::SetFont(CString name, int size)
{
    s_fontName = name;
    s_fontSize = size;
}

void Manager::SetFontName(CString name) { s_fontName = name; }

const wchar_t* Manager::GetFontName() { return s_fontName.c_str(); }

int Manager::GetFontWidth() { return s_fontSize; }

void Manager::SetDeviceName(const wchar_t* name) { s_deviceName = CString(name); }

const wchar_t* Manager::GetDeviceName() { return s_deviceName.c_str(); }

const wchar_t* Manager::GetTheme() { return L"theme1\\"; }

DWORD Manager::GetSelectColor() { return s_selectColor; }

CString Manager::GetProgramFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0)
            return CString(L".\\");
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    size_t slash = path.find_last_of(L"\\/");
    return CString(slash == std::wstring::npos ? std::wstring(L".\\") : path.substr(0, slash + 1));
}

CString Manager::GetSkinFolder() { return CString(GetProgramFolder() + L"skins\\" + GetTheme()); }

void Manager::AddWnd(MWindow* window)
{
    if (window && std::find(s_windows.begin(), s_windows.end(), window) == s_windows.end())
        s_windows.push_back(window);
}

void Manager::DeleteWnd(MWindow* window)
{
    s_windows.erase(std::remove(s_windows.begin(), s_windows.end(), window), s_windows.end());
}

UINT Manager::GetNextControlID() { return ++s_controlId; }

int Manager::PreTranslateMessage(MSG*)
{
    return GetKeyState(VK_MENU) < 0 && GetKeyState(VK_F4) < 0 ? 1 : 0;
}

int Manager::MessageLoop()
{
    MSG msg = {};
    BOOL r;
    while ((r = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (r == -1)
            return -1;
        if (PreTranslateMessage(&msg))
            continue; // Alt+F4 does not close windows
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
